// COleDispatchDriver: calls an automation object through its IDispatch by
// dispatch id, packing C arguments into a DISPPARAMS by a parameter-type string
// and unpacking the result. Failures are thrown: COleDispatchException when the
// server raised an exception, COleException for any other failing result.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "framework/Exception.h"

// Parameter-type strings, concatenated for each argument in order, e.g.
// static const BYTE params[] = VTS_BSTR VTS_I4;
// The C argument each takes: VTS_I2 short, VTS_I4 long, VTS_R4 float, VTS_R8 double,
// VTS_DATE DATE, VTS_BSTR LPCSTR, VTS_DISPATCH LPDISPATCH, VTS_SCODE SCODE,
// VTS_BOOL BOOL, VTS_VARIANT const VARIANT*, VTS_UNKNOWN LPUNKNOWN, VTS_UI1 BYTE.
#define VTS_NONE     ""
#define VTS_I2       "\x02"
#define VTS_I4       "\x03"
#define VTS_R4       "\x04"
#define VTS_R8       "\x05"
#define VTS_DATE     "\x07"
#define VTS_BSTR     "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_SCODE    "\x0A"
#define VTS_BOOL     "\x0B"
#define VTS_VARIANT  "\x0C"
#define VTS_UNKNOWN  "\x0D"
#define VTS_UI1      "\x11"

class COleDispatchDriver {
public:
    LPDISPATCH m_lpDispatch = nullptr;
    BOOL m_bAutoRelease = TRUE;  // release m_lpDispatch when detached by release or destruction

    COleDispatchDriver() = default;
    // Takes over the caller's reference.
    explicit COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
    // A copy holds a reference of its own.
    COleDispatchDriver(const COleDispatchDriver& other);
    COleDispatchDriver& operator=(const COleDispatchDriver& other);
    virtual ~COleDispatchDriver();

    // Releases what is held, then takes over the caller's reference.
    void AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
    // Gives the reference to the caller without releasing it.
    LPDISPATCH DetachDispatch();
    // Releases the interface if auto-release is on, and forgets it either way.
    void ReleaseDispatch();

    // wFlags: DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT(REF).
    // vtRet/pvRet: VT_EMPTY and null for no result; otherwise pvRet points at the C
    // type of vtRet (as for VTS_* above, but CString for VT_BSTR and VARIANT for
    // VT_VARIANT, which the caller then owns; an interface comes with a reference).
    // pbParamInfo: a VTS_* string or null, followed by the arguments.
    void InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo, ...);
    void InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo,
                       va_list argList);

    void GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) const;
    // The value is passed as a VTS_* argument of type vtProp. A template rather than
    // a C variadic: va_start on a VARTYPE parameter would be undefined.
    template <class T>
    void SetProperty(DISPID dwDispID, VARTYPE vtProp, T value)
    {
        const BYTE params[] = {static_cast<BYTE>(vtProp), 0};
        InvokeHelper(dwDispID, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, params, value);
    }
};
