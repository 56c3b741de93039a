#include "support/TestShellFolder.h"

#include "support/WideText.h"
#include "tree/IdList.h"

// ---- CForwardingFolder ----------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE CForwardingFolder::QueryInterface(REFIID riid, void** ppv)
{
    *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IShellFolder) ? static_cast<IShellFolder*>(this)
                                                                                 : nullptr;
    if (!*ppv) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CForwardingFolder::ParseDisplayName(HWND hwnd, LPBC pbc, LPWSTR pszName, ULONG* pchEaten,
                                                              LPITEMIDLIST* ppidl, ULONG* pdwAttributes)
{
    return m_spInner->ParseDisplayName(hwnd, pbc, pszName, pchEaten, ppidl, pdwAttributes);
}

HRESULT STDMETHODCALLTYPE CForwardingFolder::EnumObjects(HWND hwnd, SHCONTF flags, IEnumIDList** ppEnum)
{
    return m_spInner->EnumObjects(hwnd, flags, ppEnum);
}

HRESULT STDMETHODCALLTYPE CForwardingFolder::BindToObject(LPCITEMIDLIST pidl, LPBC pbc, REFIID riid, void** ppv)
{
    return m_spInner->BindToObject(pidl, pbc, riid, ppv);
}

HRESULT STDMETHODCALLTYPE CForwardingFolder::BindToStorage(LPCITEMIDLIST pidl, LPBC pbc, REFIID riid, void** ppv)
{
    return m_spInner->BindToStorage(pidl, pbc, riid, ppv);
}

HRESULT STDMETHODCALLTYPE CForwardingFolder::CompareIDs(LPARAM lParam, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2)
{
    return m_spInner->CompareIDs(lParam, pidl1, pidl2);
}

HRESULT STDMETHODCALLTYPE CForwardingFolder::CreateViewObject(HWND hwnd, REFIID riid, void** ppv)
{
    return m_spInner->CreateViewObject(hwnd, riid, ppv);
}

HRESULT STDMETHODCALLTYPE CForwardingFolder::GetAttributesOf(UINT cidl, LPCITEMIDLIST* apidl, SFGAOF* pAttrs)
{
    return m_spInner->GetAttributesOf(cidl, apidl, pAttrs);
}

HRESULT STDMETHODCALLTYPE CForwardingFolder::GetUIObjectOf(HWND hwnd, UINT cidl, LPCITEMIDLIST* apidl, REFIID riid,
                                                           UINT* pReserved, void** ppv)
{
    return m_spInner->GetUIObjectOf(hwnd, cidl, apidl, riid, pReserved, ppv);
}

HRESULT STDMETHODCALLTYPE CForwardingFolder::GetDisplayNameOf(LPCITEMIDLIST pidl, SHGDNF flags, STRRET* pName)
{
    return m_spInner->GetDisplayNameOf(pidl, flags, pName);
}

HRESULT STDMETHODCALLTYPE CForwardingFolder::SetNameOf(HWND hwnd, LPCITEMIDLIST pidl, LPCWSTR pszName, SHGDNF flags,
                                                       LPITEMIDLIST* ppidlOut)
{
    return m_spInner->SetNameOf(hwnd, pidl, pszName, flags, ppidlOut);
}

// ---- The wrapping folder of NewTestFolder ---------------------------------------------------

namespace {

// The name a folder gives its child for parsing inside it.
std::wstring ChildName(IShellFolder* pFolder, LPCITEMIDLIST pidl)
{
    STRRET sr = {};
    if (FAILED(pFolder->GetDisplayNameOf(pidl, SHGDN_INFOLDER | SHGDN_FORPARSING, &sr))) return L"";
    if (sr.uType == STRRET_WSTR) {
        std::wstring name = sr.pOleStr ? sr.pOleStr : L"";
        CoTaskMemFree(sr.pOleStr);
        return name;
    }
    char szName[MAX_PATH] = "";
    StrRetToText(&sr, pidl, szName, MAX_PATH);
    return Widen(szName);
}

// The context menu of one item that bOwnMenu gives: one command, which returns hrInvoke.
class CTestMenu : public IContextMenu {
public:
    explicit CTestMenu(CTestFolderState* pState) : m_pState(pState) {}
    virtual ~CTestMenu() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IContextMenu) ? this : nullptr;
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_nRefs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG n = --m_nRefs;
        if (!n) delete this;
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU hMenu, UINT index, UINT idFirst, UINT, UINT) override
    {
        InsertMenuA(hMenu, index, MF_BYPOSITION | MF_STRING, idFirst, "Fail");
        return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 1);
    }
    HRESULT STDMETHODCALLTYPE InvokeCommand(LPCMINVOKECOMMANDINFO) override
    {
        m_pState->nInvokes++;
        return m_pState->hrInvoke;
    }
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR idCmd, UINT flags, UINT*, LPSTR pszName, UINT cchMax) override
    {
        if (idCmd != 0 || m_pState->menuVerb.empty() || m_pState->menuVerb.size() >= cchMax) return E_FAIL;
        if (flags == GCS_VERBA) lstrcpyA(pszName, m_pState->menuVerb.c_str());
        else if (flags == GCS_VERBW) MultiByteToWideChar(CP_ACP, 0, m_pState->menuVerb.c_str(), -1, reinterpret_cast<LPWSTR>(pszName), static_cast<int>(cchMax));
        else return E_INVALIDARG;
        return S_OK;
    }

private:
    CTestFolderState* m_pState;
    LONG m_nRefs = 1;
};

class CTestFolder : public CForwardingFolder {
public:
    CTestFolder(IShellFolder* pInner, CTestFolderState* pState) : CForwardingFolder(pInner), m_pState(pState)
    {
        m_pState->nLive++;
        m_pState->nRefs++;
    }
    ULONG STDMETHODCALLTYPE AddRef() override
    {
        m_pState->nRefs++;
        return static_cast<ULONG>(++m_nRefs);
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        m_pState->nRefs--;
        LONG n = --m_nRefs;
        if (!n) {
            m_pState->nLive--;
            delete this;
        }
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND h, SHCONTF flags, IEnumIDList** ppEnum) override
    {
        if (m_pState->bFailEnum) {
            *ppEnum = nullptr;
            return E_FAIL;
        }
        return CForwardingFolder::EnumObjects(h, flags, ppEnum);
    }
    HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST pidl, LPBC pbc, REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        if (m_pState->bFailBind) return E_FAIL;
        CComPtr<IShellFolder> spChild;
        HRESULT hr = m_spInner->BindToObject(pidl, pbc, IID_IShellFolder, spChild.PutVoid());
        if (FAILED(hr)) return hr;
        IShellFolder* pWrapped = NewTestFolder(spChild, m_pState);
        hr = pWrapped->QueryInterface(riid, ppv);
        pWrapped->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM l, LPCITEMIDLIST p1, LPCITEMIDLIST p2) override
    {
        return m_pState->bFailCompare ? E_FAIL : CForwardingFolder::CompareIDs(l, p1, p2);
    }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT cidl, LPCITEMIDLIST* apidl, SFGAOF* pAttrs) override
    {
        HRESULT hr = CForwardingFolder::GetAttributesOf(cidl, apidl, pAttrs);
        if (SUCCEEDED(hr) && cidl == 1) {
            std::wstring name = ChildName(m_spInner, apidl[0]);
            auto add = m_pState->addAttrs.find(name);
            if (add != m_pState->addAttrs.end()) *pAttrs |= add->second;
            auto remove = m_pState->removeAttrs.find(name);
            if (remove != m_pState->removeAttrs.end()) *pAttrs &= ~remove->second;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND h, UINT cidl, LPCITEMIDLIST* apidl, REFIID riid, UINT* pr,
                                            void** ppv) override
    {
        m_pState->nUIObjects++;
        *ppv = nullptr;
        if (FAILED(m_pState->hrUIObject)) return m_pState->hrUIObject;
        if (m_pState->bOwnMenu && IsEqualIID(riid, IID_IContextMenu)) {
            *ppv = static_cast<IContextMenu*>(new CTestMenu(m_pState));
            return S_OK;
        }
        if (IsEqualIID(riid, IID_IDropTarget) && cidl == 1) {
            auto target = m_pState->dropTargets.find(ChildName(m_spInner, apidl[0]));
            if (target != m_pState->dropTargets.end()) {
                target->second->AddRef();
                *ppv = target->second;
                return S_OK;
            }
        }
        return CForwardingFolder::GetUIObjectOf(h, cidl, apidl, riid, pr, ppv);
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST pidl, SHGDNF flags, STRRET* pName) override
    {
        if (flags == SHGDN_NORMAL && m_pState->nNamesBeforeFailure >= 0 &&
            m_pState->nNames++ >= m_pState->nNamesBeforeFailure)
            return E_FAIL;
        if (flags == SHGDN_NORMAL && !m_pState->failNameOf.empty() && ChildName(m_spInner, pidl) == m_pState->failNameOf)
            return E_FAIL;
        return CForwardingFolder::GetDisplayNameOf(pidl, flags, pName);
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND h, LPCITEMIDLIST pidl, LPCWSTR psz, SHGDNF flags,
                                        LPITEMIDLIST* ppidlOut) override
    {
        m_pState->nRenames++;
        if (m_pState->bFailRename) return E_FAIL;
        return CForwardingFolder::SetNameOf(h, pidl, psz, flags, ppidlOut);
    }

private:
    CTestFolderState* m_pState;
    LONG m_nRefs = 1;
};

}  // namespace

IShellFolder* NewTestFolder(IShellFolder* pInner, CTestFolderState* pState)
{
    return new CTestFolder(pInner, pState);
}
