#include "framework/OleDispatchDriver.h"

#include <cstring>
#include <vector>

namespace {

CString AnsiFromBstr(BSTR bstr)
{
    UINT nLen = bstr ? SysStringLen(bstr) : 0;
    if (nLen == 0) return CString();
    int nBytes = WideCharToMultiByte(CP_ACP, 0, bstr, static_cast<int>(nLen), nullptr, 0, nullptr, nullptr);
    CString str;
    char* psz = str.GetBuffer(nBytes);
    WideCharToMultiByte(CP_ACP, 0, bstr, static_cast<int>(nLen), psz, nBytes, nullptr, nullptr);
    str.ReleaseBuffer(nBytes);
    return str;
}

BSTR BstrFromAnsi(LPCSTR psz)
{
    if (!psz) return nullptr;  // a null BSTR is the empty string
    int nLen = static_cast<int>(std::strlen(psz));
    int nChars = MultiByteToWideChar(CP_ACP, 0, psz, nLen, nullptr, 0);
    BSTR bstr = SysAllocStringLen(nullptr, static_cast<UINT>(nChars));
    if (!bstr) AfxThrowOleException(E_OUTOFMEMORY);
    MultiByteToWideChar(CP_ACP, 0, psz, nLen, bstr, nChars);
    return bstr;
}

bool IsSupportedReturnType(VARTYPE vt)
{
    switch (vt) {
    case VT_EMPTY: case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_DATE: case VT_BSTR:
    case VT_DISPATCH: case VT_ERROR: case VT_BOOL: case VT_VARIANT: case VT_UNKNOWN: case VT_UI1:
        return true;
    default:
        return false;
    }
}

// The argument array of one call; frees the strings it converted, whichever way the call ends.
class CArguments {
public:
    explicit CArguments(size_t n) : m_args(n) {}
    ~CArguments()
    {
        for (BSTR b : m_strings) SysFreeString(b);
    }
    CArguments(const CArguments&) = delete;
    CArguments& operator=(const CArguments&) = delete;

    VARIANT* Data() { return m_args.empty() ? nullptr : m_args.data(); }

    // DISPPARAMS lists the arguments last to first.
    void Fill(const BYTE* pbParamInfo, va_list argList)
    {
        const size_t n = m_args.size();
        for (size_t i = 0; i < n; ++i) {
            VARIANT& v = m_args[n - 1 - i];
            VariantInit(&v);
            const VARTYPE vt = pbParamInfo[i];
            v.vt = vt;
            switch (vt) {
            case VT_I2: v.iVal = static_cast<SHORT>(va_arg(argList, int)); break;
            case VT_I4: v.lVal = va_arg(argList, LONG); break;
            case VT_R4: v.fltVal = static_cast<FLOAT>(va_arg(argList, double)); break;
            case VT_R8: v.dblVal = va_arg(argList, double); break;
            case VT_DATE: v.date = va_arg(argList, DATE); break;
            case VT_BSTR:
                v.bstrVal = BstrFromAnsi(va_arg(argList, LPCSTR));
                if (v.bstrVal) m_strings.push_back(v.bstrVal);
                break;
            case VT_DISPATCH: v.pdispVal = va_arg(argList, LPDISPATCH); break;
            case VT_UNKNOWN: v.punkVal = va_arg(argList, LPUNKNOWN); break;
            case VT_ERROR: v.scode = va_arg(argList, SCODE); break;
            case VT_BOOL: v.boolVal = va_arg(argList, BOOL) ? VARIANT_TRUE : VARIANT_FALSE; break;
            case VT_UI1: v.bVal = static_cast<BYTE>(va_arg(argList, int)); break;
            case VT_VARIANT: {
                // Passed as it is; the caller keeps ownership. Null omits an optional argument.
                const VARIANT* p = va_arg(argList, const VARIANT*);
                if (p) {
                    v = *p;
                } else {
                    v.vt = VT_ERROR;
                    v.scode = DISP_E_PARAMNOTFOUND;
                }
                break;
            }
            default:
                AfxThrowOleException(E_INVALIDARG);
            }
        }
    }

private:
    std::vector<VARIANT> m_args;
    std::vector<BSTR> m_strings;
};

[[noreturn]] void ThrowDispatchException(EXCEPINFO& excepInfo)
{
    if (excepInfo.pfnDeferredFillIn) excepInfo.pfnDeferredFillIn(&excepInfo);
    COleDispatchException e(AnsiFromBstr(excepInfo.bstrDescription), excepInfo.dwHelpContext, excepInfo.wCode);
    e.m_scError = excepInfo.scode;
    e.m_strSource = AnsiFromBstr(excepInfo.bstrSource);
    SysFreeString(excepInfo.bstrDescription);
    SysFreeString(excepInfo.bstrSource);
    SysFreeString(excepInfo.bstrHelpFile);
    throw e;
}

// Moves the result into the caller's variable; the variant no longer owns it afterwards.
void StoreResult(VARIANT& result, VARTYPE vtRet, void* pvRet)
{
    switch (vtRet) {
    case VT_I2: *static_cast<short*>(pvRet) = result.iVal; break;
    case VT_I4: *static_cast<long*>(pvRet) = result.lVal; break;
    case VT_R4: *static_cast<float*>(pvRet) = result.fltVal; break;
    case VT_R8: *static_cast<double*>(pvRet) = result.dblVal; break;
    case VT_DATE: *static_cast<DATE*>(pvRet) = result.date; break;
    case VT_ERROR: *static_cast<SCODE*>(pvRet) = result.scode; break;
    case VT_BOOL: *static_cast<BOOL*>(pvRet) = result.boolVal != VARIANT_FALSE; break;
    case VT_UI1: *static_cast<BYTE*>(pvRet) = result.bVal; break;
    case VT_BSTR:
        *static_cast<CString*>(pvRet) = AnsiFromBstr(result.bstrVal);
        VariantClear(&result);
        return;
    case VT_DISPATCH: *static_cast<LPDISPATCH*>(pvRet) = result.pdispVal; break;
    case VT_UNKNOWN: *static_cast<LPUNKNOWN*>(pvRet) = result.punkVal; break;
    case VT_VARIANT: *static_cast<VARIANT*>(pvRet) = result; break;
    default: break;
    }
    VariantInit(&result);
}

}  // namespace

COleDispatchDriver::COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease)
    : m_lpDispatch(lpDispatch), m_bAutoRelease(bAutoRelease)
{
}

COleDispatchDriver::COleDispatchDriver(const COleDispatchDriver& other)
    : m_lpDispatch(other.m_lpDispatch), m_bAutoRelease(TRUE)
{
    if (m_lpDispatch) m_lpDispatch->AddRef();
}

COleDispatchDriver& COleDispatchDriver::operator=(const COleDispatchDriver& other)
{
    if (this != &other) {
        LPDISPATCH p = other.m_lpDispatch;
        if (p) p->AddRef();
        AttachDispatch(p, TRUE);
    }
    return *this;
}

COleDispatchDriver::~COleDispatchDriver()
{
    ReleaseDispatch();
}

void COleDispatchDriver::AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease)
{
    ReleaseDispatch();
    m_lpDispatch = lpDispatch;
    m_bAutoRelease = bAutoRelease;
}

LPDISPATCH COleDispatchDriver::DetachDispatch()
{
    LPDISPATCH p = m_lpDispatch;
    m_lpDispatch = nullptr;
    return p;
}

void COleDispatchDriver::ReleaseDispatch()
{
    if (m_lpDispatch && m_bAutoRelease) m_lpDispatch->Release();
    m_lpDispatch = nullptr;
}

void COleDispatchDriver::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                      const BYTE* pbParamInfo, ...)
{
    va_list argList;
    va_start(argList, pbParamInfo);
    try {
        InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo, argList);
    } catch (...) {
        va_end(argList);
        throw;
    }
    va_end(argList);
}

void COleDispatchDriver::InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                       const BYTE* pbParamInfo, va_list argList)
{
    // Nothing to call is a failure, not a call that quietly did nothing.
    if (!m_lpDispatch) AfxThrowOleException(OLE_E_BLANK);
    if (!IsSupportedReturnType(vtRet) || (vtRet != VT_EMPTY && !pvRet)) AfxThrowOleException(E_INVALIDARG);

    const size_t nArgs = pbParamInfo ? std::strlen(reinterpret_cast<const char*>(pbParamInfo)) : 0;
    CArguments args(nArgs);
    args.Fill(pbParamInfo, argList);

    DISPPARAMS dispParams = {args.Data(), nullptr, static_cast<UINT>(nArgs), 0};
    DISPID dispidNamed = DISPID_PROPERTYPUT;
    if ((wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && nArgs > 0) {
        // The value of a property assignment must be named so.
        dispParams.rgdispidNamedArgs = &dispidNamed;
        dispParams.cNamedArgs = 1;
    }

    VARIANT result;
    VariantInit(&result);
    EXCEPINFO excepInfo = {};
    UINT nArgErr = 0;
    HRESULT hr = m_lpDispatch->Invoke(dwDispID, IID_NULL, 0, wFlags, &dispParams,
                                      vtRet == VT_EMPTY ? nullptr : &result, &excepInfo, &nArgErr);
    if (FAILED(hr)) {
        VariantClear(&result);
        if (hr == DISP_E_EXCEPTION) ThrowDispatchException(excepInfo);
        AfxThrowOleException(hr);
    }
    if (vtRet == VT_EMPTY) return;

    if (vtRet != VT_VARIANT && result.vt != vtRet) {
        hr = VariantChangeType(&result, &result, 0, vtRet);
        if (FAILED(hr)) {
            VariantClear(&result);
            AfxThrowOleException(hr);
        }
    }
    StoreResult(result, vtRet, pvRet);
}

void COleDispatchDriver::GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) const
{
    const_cast<COleDispatchDriver*>(this)->InvokeHelper(dwDispID, DISPATCH_PROPERTYGET, vtProp, pvProp, nullptr);
}
