#include "shell/ClipboardDataObject.h"

#include <shlobj.h>

#include <cstring>

namespace {

// A new movable block with the same bytes; null when there is no memory.
HGLOBAL CopyGlobal(HGLOBAL hSource)
{
    const SIZE_T cb = ::GlobalSize(hSource);
    const void* pSource = ::GlobalLock(hSource);
    if (!pSource) return nullptr;
    HGLOBAL hCopy = ::GlobalAlloc(GMEM_MOVEABLE, cb ? cb : 1);
    void* pCopy = hCopy ? ::GlobalLock(hCopy) : nullptr;
    if (pCopy) {
        std::memcpy(pCopy, pSource, cb);
        ::GlobalUnlock(hCopy);
    } else if (hCopy) {
        ::GlobalFree(hCopy);
        hCopy = nullptr;
    }
    ::GlobalUnlock(hSource);
    return hCopy;
}

// The formats of a data object, one after the other. (Wine's SHCreateStdEnumFmtEtc hands
// out an enumerator that one Release never frees.)
class CFormatEnumerator : public IEnumFORMATETC {
public:
    explicit CFormatEnumerator(const std::vector<FORMATETC>& formats, size_t next = 0) : m_formats(formats), m_next(next) {}
    virtual ~CFormatEnumerator() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumFORMATETC) ? this : nullptr;
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_nRef)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG n = ::InterlockedDecrement(&m_nRef);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override
    {
        if (!rgelt || (celt > 1 && !pceltFetched)) return E_INVALIDARG;
        ULONG n = 0;
        while (n < celt && m_next < m_formats.size()) rgelt[n++] = m_formats[m_next++];
        if (pceltFetched) *pceltFetched = n;
        return n == celt ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override
    {
        const size_t left = m_formats.size() - m_next;
        m_next += celt < left ? celt : left;
        return celt <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        m_next = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** ppEnum) override
    {
        if (!ppEnum) return E_POINTER;
        *ppEnum = new CFormatEnumerator(m_formats, m_next);
        return S_OK;
    }

private:
    LONG m_nRef = 1;
    std::vector<FORMATETC> m_formats;  // no target devices: nothing to free
    size_t m_next;
};

}  // namespace

HRESULT CClipboardDataObject::Create(IDataObject* pInner, DWORD dwEffect, IDataObject** ppOut)
{
    if (!ppOut) return E_POINTER;
    *ppOut = nullptr;
    if (!pInner) return E_INVALIDARG;
    HGLOBAL hEffect = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
    DWORD* pEffect = hEffect ? static_cast<DWORD*>(::GlobalLock(hEffect)) : nullptr;
    if (!pEffect) {
        if (hEffect) ::GlobalFree(hEffect);
        return E_OUTOFMEMORY;
    }
    *pEffect = dwEffect;
    ::GlobalUnlock(hEffect);
    CClipboardDataObject* pObject = new CClipboardDataObject(pInner);
    pObject->Store(static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(CFSTR_PREFERREDDROPEFFECT)), hEffect);
    *ppOut = pObject;
    return S_OK;
}

CClipboardDataObject::CClipboardDataObject(IDataObject* pInner) : m_pInner(pInner)
{
}

CClipboardDataObject::~CClipboardDataObject()
{
    for (const Stored& s : m_stored) ::GlobalFree(s.hGlobal);
}

HRESULT CClipboardDataObject::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *ppv = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CClipboardDataObject::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRef));
}

ULONG CClipboardDataObject::Release()
{
    LONG n = ::InterlockedDecrement(&m_nRef);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

const CClipboardDataObject::Stored* CClipboardDataObject::Find(const FORMATETC* pFormat) const
{
    if (!pFormat || !(pFormat->tymed & TYMED_HGLOBAL) || pFormat->dwAspect != DVASPECT_CONTENT) return nullptr;
    for (const Stored& s : m_stored) {
        if (s.cf == pFormat->cfFormat) return &s;
    }
    return nullptr;
}

void CClipboardDataObject::Store(CLIPFORMAT cf, HGLOBAL hGlobal)
{
    for (Stored& s : m_stored) {
        if (s.cf == cf) {
            ::GlobalFree(s.hGlobal);
            s.hGlobal = hGlobal;
            return;
        }
    }
    m_stored.push_back({cf, hGlobal});
}

HRESULT CClipboardDataObject::GetData(FORMATETC* pFormat, STGMEDIUM* pMedium)
{
    if (!pFormat || !pMedium) return E_INVALIDARG;
    if (const Stored* s = Find(pFormat)) {
        HGLOBAL hCopy = CopyGlobal(s->hGlobal);
        if (!hCopy) return E_OUTOFMEMORY;
        pMedium->tymed = TYMED_HGLOBAL;
        pMedium->hGlobal = hCopy;
        pMedium->pUnkForRelease = nullptr;
        return S_OK;
    }
    return m_pInner->GetData(pFormat, pMedium);
}

HRESULT CClipboardDataObject::GetDataHere(FORMATETC* pFormat, STGMEDIUM* pMedium)
{
    if (Find(pFormat)) return DATA_E_FORMATETC;
    return m_pInner->GetDataHere(pFormat, pMedium);
}

HRESULT CClipboardDataObject::QueryGetData(FORMATETC* pFormat)
{
    if (Find(pFormat)) return S_OK;
    return m_pInner->QueryGetData(pFormat);
}

HRESULT CClipboardDataObject::GetCanonicalFormatEtc(FORMATETC* pFormatIn, FORMATETC* pFormatOut)
{
    return m_pInner->GetCanonicalFormatEtc(pFormatIn, pFormatOut);
}

HRESULT CClipboardDataObject::SetData(FORMATETC* pFormat, STGMEDIUM* pMedium, BOOL fRelease)
{
    if (!pFormat || !pMedium) return E_INVALIDARG;
    if (pMedium->tymed != TYMED_HGLOBAL || !pMedium->hGlobal || pFormat->dwAspect != DVASPECT_CONTENT) {
        return m_pInner->SetData(pFormat, pMedium, fRelease);
    }
    HGLOBAL hCopy = CopyGlobal(pMedium->hGlobal);
    if (!hCopy) return E_OUTOFMEMORY;
    Store(pFormat->cfFormat, hCopy);
    // Given to keep: what the caller handed over is freed as the medium says.
    if (fRelease) ::ReleaseStgMedium(pMedium);
    return S_OK;
}

HRESULT CClipboardDataObject::EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum)
{
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    if (dwDirection != DATADIR_GET) return m_pInner->EnumFormatEtc(dwDirection, ppEnum);
    std::vector<FORMATETC> formats;
    for (const Stored& s : m_stored) formats.push_back({s.cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    CComPtr<IEnumFORMATETC> pInnerEnum;
    if (SUCCEEDED(m_pInner->EnumFormatEtc(DATADIR_GET, pInnerEnum.Put())) && pInnerEnum) {
        FORMATETC fmt;
        while (pInnerEnum->Next(1, &fmt, nullptr) == S_OK) {
            // Target devices are not offered on; each came with its own block.
            if (fmt.ptd) ::CoTaskMemFree(fmt.ptd);
            fmt.ptd = nullptr;
            bool bKnown = false;
            for (const FORMATETC& f : formats) bKnown = bKnown || f.cfFormat == fmt.cfFormat;
            if (!bKnown) formats.push_back(fmt);
        }
    }
    *ppEnum = new CFormatEnumerator(formats);
    return S_OK;
}

HRESULT CClipboardDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT CClipboardDataObject::DUnadvise(DWORD)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT CClipboardDataObject::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}
