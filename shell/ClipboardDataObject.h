// A data object for the clipboard that wraps the shell's data object for a selection and
// carries formats the shell's object will not take itself (Wine's refuses SetData), such as
// the "Preferred DropEffect" that tells a paste whether the files were cut or copied.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <vector>

#include "shell/ComPtr.h"

class CClipboardDataObject : public IDataObject {
public:
    // A new object over pInner (one reference for the caller) offering dwEffect as its
    // "Preferred DropEffect".
    static HRESULT Create(IDataObject* pInner, DWORD dwEffect, IDataObject** ppOut);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDataObject: formats of its own first, then the inner object's.
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* pFormat, STGMEDIUM* pMedium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* pFormat, STGMEDIUM* pMedium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* pFormat) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* pFormatIn, FORMATETC* pFormatOut) override;
    // Global-memory formats are kept here (a paste reports "Performed DropEffect" and the
    // like this way); anything else goes to the inner object.
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* pFormat, STGMEDIUM* pMedium, BOOL fRelease) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* pFormat, DWORD advf, IAdviseSink* pSink, DWORD* pdwConnection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD dwConnection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** ppEnum) override;

private:
    explicit CClipboardDataObject(IDataObject* pInner);
    virtual ~CClipboardDataObject();
    CClipboardDataObject(const CClipboardDataObject&) = delete;
    CClipboardDataObject& operator=(const CClipboardDataObject&) = delete;

    struct Stored {
        CLIPFORMAT cf;
        HGLOBAL hGlobal;  // owned
    };
    // The stored entry for a request of global memory in this format, or null.
    const Stored* Find(const FORMATETC* pFormat) const;
    // Keeps a block of global memory under a format, replacing what was kept for it.
    void Store(CLIPFORMAT cf, HGLOBAL hGlobal);

    LONG m_nRef = 1;
    CComPtr<IDataObject> m_pInner;
    std::vector<Stored> m_stored;
};
