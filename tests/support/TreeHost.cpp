#include "support/TreeHost.h"

#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "shell/Wine.h"
#include "tree/IdList.h"

namespace {

const UINT kTreeId = 1000;
const DWORD kTreeStyle = 0x5001000F;  // the view template's: child, visible, tab stop, buttons, lines, edit labels

std::wstring Widen(const std::string& s)
{
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], n);
    w.resize(w.size() - 1);
    return w;
}

// Where every test of the folder tree makes its folders (and the shell its trash).
std::string TestsBase()
{
    char szTemp[MAX_PATH];
    GetTempPathA(MAX_PATH, szTemp);
    return std::string(szTemp) + "folvane-tree-tests";
}

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
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR, UINT, UINT*, LPSTR, UINT) override { return E_NOTIMPL; }

private:
    CTestFolderState* m_pState;
    LONG m_nRefs = 1;
};

class CTestFolder : public IShellFolder {
public:
    CTestFolder(IShellFolder* pInner, CTestFolderState* pState) : m_pInner(pInner), m_pState(pState)
    {
        m_pInner->AddRef();
        m_pState->nLive++;
        m_pState->nRefs++;
    }
    virtual ~CTestFolder() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IShellFolder) ? this : nullptr;
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
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
            m_pInner->Release();
            delete this;
        }
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND h, LPBC pbc, LPWSTR psz, ULONG* pch, LPITEMIDLIST* ppidl, ULONG* pa) override
    {
        return m_pInner->ParseDisplayName(h, pbc, psz, pch, ppidl, pa);
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND h, SHCONTF flags, IEnumIDList** ppEnum) override
    {
        if (m_pState->bFailEnum) {
            *ppEnum = nullptr;
            return E_FAIL;
        }
        return m_pInner->EnumObjects(h, flags, ppEnum);
    }
    HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST pidl, LPBC pbc, REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        if (m_pState->bFailBind) return E_FAIL;
        IShellFolder* pChild = nullptr;
        HRESULT hr = m_pInner->BindToObject(pidl, pbc, IID_IShellFolder, reinterpret_cast<void**>(&pChild));
        if (FAILED(hr)) return hr;
        IShellFolder* pWrapped = NewTestFolder(pChild, m_pState);
        pChild->Release();
        hr = pWrapped->QueryInterface(riid, ppv);
        pWrapped->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE BindToStorage(LPCITEMIDLIST pidl, LPBC pbc, REFIID riid, void** ppv) override
    {
        return m_pInner->BindToStorage(pidl, pbc, riid, ppv);
    }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM l, LPCITEMIDLIST p1, LPCITEMIDLIST p2) override
    {
        return m_pState->bFailCompare ? E_FAIL : m_pInner->CompareIDs(l, p1, p2);
    }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND h, REFIID riid, void** ppv) override
    {
        return m_pInner->CreateViewObject(h, riid, ppv);
    }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT cidl, LPCITEMIDLIST* apidl, SFGAOF* pAttrs) override
    {
        HRESULT hr = m_pInner->GetAttributesOf(cidl, apidl, pAttrs);
        if (SUCCEEDED(hr) && cidl == 1) {
            std::wstring name = ChildName(m_pInner, apidl[0]);
            auto add = m_pState->addAttrs.find(name);
            if (add != m_pState->addAttrs.end()) *pAttrs |= add->second;
            auto remove = m_pState->removeAttrs.find(name);
            if (remove != m_pState->removeAttrs.end()) *pAttrs &= ~remove->second;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND h, UINT cidl, LPCITEMIDLIST* apidl, REFIID riid, UINT* pr, void** ppv) override
    {
        m_pState->nUIObjects++;
        *ppv = nullptr;
        if (FAILED(m_pState->hrUIObject)) return m_pState->hrUIObject;
        if (m_pState->bOwnMenu && IsEqualIID(riid, IID_IContextMenu)) {
            *ppv = static_cast<IContextMenu*>(new CTestMenu(m_pState));
            return S_OK;
        }
        if (IsEqualIID(riid, IID_IDropTarget) && cidl == 1) {
            auto target = m_pState->dropTargets.find(ChildName(m_pInner, apidl[0]));
            if (target != m_pState->dropTargets.end()) {
                target->second->AddRef();
                *ppv = target->second;
                return S_OK;
            }
        }
        return m_pInner->GetUIObjectOf(h, cidl, apidl, riid, pr, ppv);
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST pidl, SHGDNF flags, STRRET* pName) override
    {
        if (flags == SHGDN_NORMAL && m_pState->nNamesBeforeFailure >= 0 &&
            m_pState->nNames++ >= m_pState->nNamesBeforeFailure)
            return E_FAIL;
        return m_pInner->GetDisplayNameOf(pidl, flags, pName);
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND h, LPCITEMIDLIST pidl, LPCWSTR psz, SHGDNF flags, LPITEMIDLIST* ppidlOut) override
    {
        m_pState->nRenames++;
        if (m_pState->bFailRename) return E_FAIL;
        return m_pInner->SetNameOf(h, pidl, psz, flags, ppidlOut);
    }

private:
    IShellFolder* m_pInner;
    CTestFolderState* m_pState;
    LONG m_nRefs = 1;
};

}  // namespace

IShellFolder* NewTestFolder(IShellFolder* pInner, CTestFolderState* pState)
{
    return new CTestFolder(pInner, pState);
}

// ---- CTreeHost ----------------------------------------------------------------------------

CTreeHost::CTreeHost()
{
    LPCSTR pszClass = RegisterWndClass("FolvaneTreeHost", 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    CreateEx(0, pszClass, "tree host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 420, 640, nullptr, nullptr);
    HWND hTree = CreateWindowExA(0, WC_TREEVIEWA, "Tree1", kTreeStyle, 0, 0, 400, 600, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTreeId)), GetModuleHandleA(nullptr), nullptr);
    m_tree.SubclassWindow(hTree);
    m_tree.SetSystemImageList();
}

CTreeHost::~CTreeHost()
{
    if (m_hWnd) DestroyWindow();
}

int CTreeHost::Count(UINT code) const
{
    int n = 0;
    for (UINT c : m_codes) n += c == code;
    return n;
}

void CTreeHost::Paint()
{
    RedrawWindow(m_tree.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

BOOL CTreeHost::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    m_codes.push_back(pNMHDR->code);
    if (pNMHDR->code == TVN_ITEMEXPANDINGA && m_bVetoExpanding) {
        *pResult = 1;
        return TRUE;
    }
    if (m_tree.HandleTreeNotify(pNMHDR, pResult)) {
        NMTVCUSTOMDRAW* pDraw = reinterpret_cast<NMTVCUSTOMDRAW*>(pNMHDR);
        if (pNMHDR->code == NM_CUSTOMDRAW && pDraw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            HTREEITEM hItem = reinterpret_cast<HTREEITEM>(pDraw->nmcd.dwItemSpec);
            m_textColor[hItem] = pDraw->clrText;
            m_drawState[hItem] = pDraw->nmcd.uItemState;
        }
        return TRUE;
    }
    return CWnd::OnNotify(wParam, lParam, pResult);
}

LRESULT CTreeHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The menu's loop tells its owner when it waits for input: the answer is given once.
    if (message == WM_ENTERMENULOOP) m_bMenuAnswered = FALSE;
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && !m_bMenuAnswered) {
        m_bMenuAnswered = TRUE;
        m_nMenusShown++;
        if (m_menu == Menu::Dismiss) {
            EndMenu();
        } else {
            ::PostMessageA(reinterpret_cast<HWND>(lParam), WM_KEYDOWN, VK_DOWN, 0);
            ::PostMessageA(reinterpret_cast<HWND>(lParam), WM_KEYDOWN, VK_RETURN, 0);
        }
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- CFixtureDir ----------------------------------------------------------------------------

CFixtureDir::CFixtureDir(const std::string& name)
{
    std::string base = TestsBase();
    CreateDirectoryA(base.c_str(), nullptr);
    m_path = base + "\\" + name;
    RemoveTree(Widen(m_path));  // left by a run that was killed
    CreateDirectoryA(m_path.c_str(), nullptr);
}

CFixtureDir::~CFixtureDir()
{
    RemoveTree(Widen(m_path));
}

void CFixtureDir::RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
            else DeleteFileW(child.c_str());
        } while (FindNextFileW(hFind, &fd));
        FindClose(hFind);
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(path.c_str());
}

std::string CFixtureDir::Path(const std::string& rel) const
{
    return rel.empty() ? m_path : m_path + "\\" + rel;
}

std::wstring CFixtureDir::WPath(const std::wstring& rel) const
{
    return rel.empty() ? Widen(m_path) : Widen(m_path) + L"\\" + rel;
}

void CFixtureDir::MakeDirs(std::initializer_list<const char*> rels) const
{
    for (const char* rel : rels) {
        std::string sub;
        for (const char* p = rel;; ++p) {
            if (*p == '\\' || !*p) CreateDirectoryA(Path(sub).c_str(), nullptr);
            if (!*p) break;
            sub += *p;
        }
    }
}

void CFixtureDir::MakeFile(const std::string& rel, const std::string& text) const
{
    HANDLE h = CreateFileA(Path(rel).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    if (h != INVALID_HANDLE_VALUE) {
        WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
        CloseHandle(h);
    }
}

LPITEMIDLIST CFixtureDir::IdList(const std::string& rel) const
{
    return PathToIdList(Path(rel).c_str());
}

// ---- The trash ------------------------------------------------------------------------------

void UseTestTrash(const std::string& windowsPath)
{
    typedef char*(CDECL * UnixNameFn)(LPCWSTR);
    UnixNameFn pfnUnixName = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!pfnUnixName) return;
    const std::wstring path = Widen(windowsPath);
    CreateDirectoryW(path.c_str(), nullptr);
    if (char* pszUnix = pfnUnixName(path.c_str())) {
        SetEnvironmentVariableA("XDG_DATA_HOME", pszUnix);
        HeapFree(GetProcessHeap(), 0, pszUnix);
    }
}

// ---- Items ----------------------------------------------------------------------------------

std::vector<HTREEITEM> Children(const CTreeCtrl& tree, HTREEITEM hParent)
{
    std::vector<HTREEITEM> items;
    for (HTREEITEM h = tree.GetChildItem(hParent); h; h = tree.GetNextSiblingItem(h)) items.push_back(h);
    return items;
}

std::vector<std::string> Labels(const CTreeCtrl& tree, HTREEITEM hParent)
{
    std::vector<std::string> labels;
    for (HTREEITEM h : Children(tree, hParent)) labels.push_back(tree.GetItemText(h).GetString());
    return labels;
}

HTREEITEM ChildByLabel(const CTreeCtrl& tree, HTREEITEM hParent, const std::string& label)
{
    for (HTREEITEM h : Children(tree, hParent))
        if (label == tree.GetItemText(h).GetString()) return h;
    return nullptr;
}

// ---- TreeTest -------------------------------------------------------------------------------

void TreeTest::TearDownTestSuite()
{
    CFixtureDir::RemoveTree(Widen(TestsBase()));  // the tests' trash with it
}

void TreeTest::SetUpTestSuite()
{
    CMallocSpy::Instance();
    std::string base = TestsBase();
    CFixtureDir::RemoveTree(Widen(base));
    CreateDirectoryA(base.c_str(), nullptr);
    UseTestTrash(base + "\\xdg");
    // The shell keeps caches alive for good after its first walk down to a folder.
    CTreeHost warm;
    warm.m_tree.FillRoot();
    CIdListPtr pidl(PathToIdList(base.c_str()));
    warm.m_tree.SelectIdList(pidl);
    warm.Paint();
}

void TreeTest::SetUp()
{
    m_pDir.reset(new CFixtureDir(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    m_pHost.reset(new CTreeHost);
    m_pScope.reset(new CMallocSpy::CScope);
}

void TreeTest::TearDown()
{
    m_pHost.reset();  // the tree's window goes, and every record with it
    EXPECT_EQ(0, m_pScope->Leaked());
    m_pDir.reset();
    SetWineCheckForTesting(WineCheck::Detect);
}

HTREEITEM TreeTest::ShowFixture()
{
    Tree().FillRoot();
    CIdListPtr pidl(m_pDir->IdList());
    EXPECT_EQ(S_OK, Tree().SelectIdList(pidl));
    return Tree().GetSelectedItem();
}

CComPtr<IShellFolder> TreeTest::FixtureFolder()
{
    CComPtr<IShellFolder> spDesktop, spFolder;
    SHGetDesktopFolder(spDesktop.Put());
    CIdListPtr pidl(m_pDir->IdList());
    spDesktop->BindToObject(pidl, nullptr, IID_IShellFolder, spFolder.PutVoid());
    return spFolder;
}

void TreeTest::InsertFixtureRoots(IShellFolder* pFolder)
{
    CIdListPtr pidl(m_pDir->IdList());
    Tree().InsertFolderChildren(pFolder, pidl, TVI_ROOT);
}

bool TreeTest::SameItem(LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2)
{
    CComPtr<IShellFolder> spDesktop;
    SHGetDesktopFolder(spDesktop.Put());
    return pidl1 && pidl2 && spDesktop->CompareIDs(0, pidl1, pidl2) == 0;
}

POINT TreeTest::ButtonPoint(HTREEITEM hItem)
{
    RECT rc;
    Tree().GetItemRect(hItem, &rc, TRUE);
    POINT pt = {rc.left, (rc.top + rc.bottom) / 2};
    UINT nFlags = 0;
    while (pt.x > 0 && (Tree().HitTest(pt, &nFlags), !(nFlags & TVHT_ONITEMBUTTON))) pt.x--;
    return pt;
}

BOOL TreeTest::EditLabel(HTREEITEM hItem, const char* pszText, BOOL bCancel)
{
    HWND hEdit = reinterpret_cast<HWND>(Tree().SendMessage(TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(hItem)));
    if (!hEdit) return FALSE;
    if (pszText) SetWindowTextA(hEdit, pszText);
    Tree().SendMessage(TVM_ENDEDITLABELNOW, bCancel, 0);
    return TRUE;
}
