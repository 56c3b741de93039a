#include "support/DropTestUtil.h"

#include <shlobj.h>

#include <cstring>
#include <map>

// ---- CRecordingDropTarget -------------------------------------------------------------------

std::string CRecordingDropTarget::Kinds() const
{
    std::string kinds;
    for (const Call& call : m_calls) kinds += call.kind;
    return kinds;
}

int CRecordingDropTarget::Count(char kind) const
{
    int n = 0;
    for (const Call& call : m_calls) n += call.kind == kind;
    return n;
}

const CRecordingDropTarget::Call* CRecordingDropTarget::Last(char kind) const
{
    for (auto it = m_calls.rbegin(); it != m_calls.rend(); ++it) {
        if (it->kind == kind) return &*it;
    }
    return nullptr;
}

void CRecordingDropTarget::Record(char kind, DWORD keys, POINTL pt, DWORD offered)
{
    m_calls.push_back({kind, keys, {pt.x, pt.y}, offered});
}

STDMETHODIMP CRecordingDropTarget::QueryInterface(REFIID riid, void** ppv)
{
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
        *ppv = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CRecordingDropTarget::AddRef()
{
    return static_cast<ULONG>(++m_nRefs);
}

STDMETHODIMP_(ULONG) CRecordingDropTarget::Release()
{
    return static_cast<ULONG>(--m_nRefs);
}

STDMETHODIMP CRecordingDropTarget::DragEnter(IDataObject*, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect)
{
    Record('E', grfKeyState, pt, *pdwEffect);
    *pdwEffect = m_dwAnswer;
    return S_OK;
}

STDMETHODIMP CRecordingDropTarget::DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect)
{
    Record('O', grfKeyState, pt, *pdwEffect);
    *pdwEffect = m_dwOverAnswer != 0xFFFFFFFF ? m_dwOverAnswer : m_dwAnswer;
    return S_OK;
}

STDMETHODIMP CRecordingDropTarget::DragLeave()
{
    POINTL none = {0, 0};
    Record('L', 0, none, 0);
    return S_OK;
}

STDMETHODIMP CRecordingDropTarget::Drop(IDataObject*, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect)
{
    Record('D', grfKeyState, pt, *pdwEffect);
    *pdwEffect = SUCCEEDED(m_hrDrop) ? m_dwAnswer : DROPEFFECT_NONE;
    return m_hrDrop;
}

// ---- Data objects ----------------------------------------------------------------------------

namespace {

// Offers one format, as a fresh copy of a global block for every request; keeps what a
// target sets on it (as a drop target tells the source what it did) and offers that too.
class CGlobalDataObject final : public IDataObject {
public:
    CGlobalDataObject(CLIPFORMAT cf, const void* pData, size_t cb) : m_cf(cf), m_bytes(cb)
    {
        std::memcpy(m_bytes.data(), pData, cb);
    }

    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
            *ppv = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(InterlockedIncrement(&m_cRef)); }
    STDMETHOD_(ULONG, Release)() override
    {
        LONG n = InterlockedDecrement(&m_cRef);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    STDMETHOD(GetData)(FORMATETC* pFormat, STGMEDIUM* pMedium) override
    {
        HRESULT hr = QueryGetData(pFormat);
        if (hr != S_OK) return hr;
        const std::vector<BYTE>& bytes = pFormat->cfFormat == m_cf ? m_bytes : m_set[pFormat->cfFormat];
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size() ? bytes.size() : 1);
        if (!h) return E_OUTOFMEMORY;
        std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
        GlobalUnlock(h);
        pMedium->tymed = TYMED_HGLOBAL;
        pMedium->hGlobal = h;
        pMedium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHOD(GetDataHere)(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHOD(QueryGetData)(FORMATETC* pFormat) override
    {
        if (!pFormat) return E_POINTER;
        if (pFormat->cfFormat != m_cf && !m_set.count(pFormat->cfFormat)) return DV_E_FORMATETC;
        if (!(pFormat->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        return S_OK;
    }
    STDMETHOD(GetCanonicalFormatEtc)(FORMATETC*, FORMATETC* pOut) override
    {
        if (pOut) pOut->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHOD(SetData)(FORMATETC* pFormat, STGMEDIUM* pMedium, BOOL fRelease) override
    {
        if (!pFormat || !pMedium || pMedium->tymed != TYMED_HGLOBAL || pFormat->cfFormat == m_cf) return E_NOTIMPL;
        const BYTE* p = static_cast<const BYTE*>(GlobalLock(pMedium->hGlobal));
        if (!p) return E_INVALIDARG;
        m_set[pFormat->cfFormat].assign(p, p + GlobalSize(pMedium->hGlobal));
        GlobalUnlock(pMedium->hGlobal);
        if (fRelease) ReleaseStgMedium(pMedium);
        return S_OK;
    }
    STDMETHOD(EnumFormatEtc)(DWORD dwDirection, IEnumFORMATETC** ppEnum) override
    {
        if (dwDirection != DATADIR_GET) return E_NOTIMPL;
        FORMATETC fmt = {m_cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(1, &fmt, ppEnum);
    }
    STDMETHOD(DAdvise)(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHOD(DUnadvise)(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHOD(EnumDAdvise)(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ~CGlobalDataObject() = default;
    LONG m_cRef = 1;
    CLIPFORMAT m_cf;
    std::vector<BYTE> m_bytes;
    std::map<CLIPFORMAT, std::vector<BYTE>> m_set;
};

}  // namespace

std::string DropFilesList(const std::vector<std::wstring>& names, bool bWide)
{
    std::string bytes;
    for (const std::wstring& name : names) {
        if (bWide) {
            bytes.append(reinterpret_cast<const char*>(name.c_str()), (name.size() + 1) * sizeof(wchar_t));
        } else {
            const int n = WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, nullptr, 0, nullptr, nullptr);
            std::string ansi(static_cast<size_t>(n), '\0');  // with its terminator
            WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, &ansi[0], n, nullptr, nullptr);
            bytes += ansi;
        }
    }
    bytes.append(bWide ? sizeof(wchar_t) : 1, '\0');
    return bytes;
}

std::string DropFilesBlock(const std::string& list, bool bWide, DWORD dwOffset)
{
    DROPFILES header = {};
    header.pFiles = dwOffset;
    header.fWide = bWide;
    std::memcpy(&header.pt.x, "AAA", 4);
    return std::string(reinterpret_cast<const char*>(&header), sizeof(header)) + list;
}

IDataObject* NewFileListDataObject(const std::vector<std::string>& paths)
{
    std::vector<std::wstring> names;
    for (const std::string& path : paths) {
        const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
        std::wstring wide(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], n);
        names.push_back(wide.c_str());
    }
    const std::string block = DropFilesBlock(DropFilesList(names, true), true);
    return new CGlobalDataObject(CF_HDROP, block.data(), block.size());
}

IDataObject* NewTextDataObject(const std::string& text)
{
    return new CGlobalDataObject(CF_TEXT, text.c_str(), text.size() + 1);
}

// ---- Scripted drags --------------------------------------------------------------------------

namespace {

// Moves the cursor to the next point each time the loop asks, a few times per point so
// that the loop sees the cursor rest there, then ends the drag.
class CScriptedDropSource : public IDropSource {
public:
    CScriptedDropSource(const std::vector<POINT>& path, bool bDrop) : m_path(path), m_bDrop(bDrop) {}

    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
            *ppv = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(QueryContinueDrag)(BOOL, DWORD) override
    {
        const size_t step = m_nCalls++ / kCallsPerPoint;
        if (step >= m_path.size()) return m_bDrop ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
        if (m_nCalls % kCallsPerPoint == 1) SetCursorPos(m_path[step].x, m_path[step].y);
        Sleep(5);
        return S_OK;
    }
    STDMETHOD(GiveFeedback)(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    static const size_t kCallsPerPoint = 4;
    std::vector<POINT> m_path;
    bool m_bDrop;
    size_t m_nCalls = 0;
};

}  // namespace

HRESULT RunScriptedDrag(IDataObject* pData, DWORD dwAllowed, const std::vector<POINT>& path, bool bDrop,
                        DWORD* pdwEffect)
{
    if (!path.empty()) SetCursorPos(path[0].x, path[0].y);
    CScriptedDropSource source(path, bDrop);
    DWORD dwEffect = DROPEFFECT_NONE;
    HRESULT hr = DoDragDrop(pData, &source, dwAllowed, &dwEffect);
    if (pdwEffect) *pdwEffect = dwEffect;
    return hr;
}
