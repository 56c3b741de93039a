#include "support/ViewTestUtil.h"

#include <commctrl.h>

#include <algorithm>

#include "view/FolvaneDoc.h"
#include "shell/IdListPtr.h"
#include "support/DocTestUtil.h"
#include "tree/IdList.h"
#include "view/FolvaneView.h"

HWND ListOf(CFolvaneView* pView)
{
    return pView->m_hwndShellView ? FindWindowExA(pView->m_hwndShellView, nullptr, "SysListView32", nullptr) : nullptr;
}

std::vector<std::string> ListNames(CFolvaneView* pView)
{
    std::vector<std::string> names;
    HWND hList = ListOf(pView);
    int n = hList ? static_cast<int>(SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < n; i++) {
        char text[MAX_PATH] = "";
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        SendMessageA(hList, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        names.push_back(text);
    }
    return names;
}

int ListIndexOf(CFolvaneView* pView, const std::string& name)
{
    std::vector<std::string> names = ListNames(pView);
    for (size_t i = 0; i < names.size(); i++) {
        if (lstrcmpiA(names[i].c_str(), name.c_str()) == 0) return static_cast<int>(i);
    }
    return -1;
}

// Selects the named items of the right pane, as clicks with Ctrl would.
void SelectInList(CFolvaneView* pView, const std::vector<std::string>& names)
{
    HWND hList = ListOf(pView);
    LVITEMA none = {};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    for (const std::string& name : names) {
        LVITEMA sel = {};
        sel.stateMask = LVIS_SELECTED;
        sel.state = LVIS_SELECTED;
        SendMessageA(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(ListIndexOf(pView, name)),
                     reinterpret_cast<LPARAM>(&sel));
    }
}

// A real press and release of the left button at a screen point.
UINT MessageSpy::s_message = 0;
WNDPROC MessageSpy::s_old = nullptr;

MessageSpy::MessageSpy(HWND h, UINT message) : m_h(h)
{
    s_message = message;
    Seen().clear();
    s_old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
}

MessageSpy::~MessageSpy()
{
    if (IsWindow(m_h)) SetWindowLongPtrA(m_h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_old));
}

std::vector<std::pair<WPARAM, LPARAM>>& MessageSpy::Seen()
{
    static std::vector<std::pair<WPARAM, LPARAM>> seen;
    return seen;
}

int MessageSpy::Count(WPARAM w) const
{
    return static_cast<int>(std::count_if(Seen().begin(), Seen().end(), [w](const auto& p) { return p.first == w; }));
}

LRESULT CALLBACK MessageSpy::Proc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == s_message) Seen().emplace_back(w, l);
    return CallWindowProcA(s_old, h, m, w, l);
}

void ClickAt(POINT pt)
{
    SetCursorPos(pt.x, pt.y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

void PressChord(WORD modifier, WORD vk)
{
    std::vector<INPUT> in;
    auto add = [&](WORD key, DWORD flags) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = key;
        i.ki.dwFlags = flags | (key == VK_INSERT || key == VK_DELETE ? KEYEVENTF_EXTENDEDKEY : 0);
        in.push_back(i);
    };
    if (modifier) add(modifier, 0);
    add(vk, 0);
    add(vk, KEYEVENTF_KEYUP);
    if (modifier) add(modifier, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void PressKey(WORD vk)
{
    PressChord(0, vk);
}

void ViewTest::SetUp()
{
    AppFixture::SetUp();
    m_root.MakeFolders({"alpha", "alpha\\inner", "alpha\\inner\\deepest", "beta", "gamma"});
    m_root.MakeFiles({"one.txt", "two.txt", "alpha\\x.txt"});
}

void ViewTest::TearDown()
{
    if (m_pApp->m_pMainWnd) m_pApp->CloseAllDocuments(FALSE);
    AppFixture::TearDown();
}

CFolvaneView* ViewTest::Open(const std::string& text)
{
    CFolvaneDoc* pDoc = dynamic_cast<CFolvaneDoc*>(m_pApp->OpenDocumentFile(text.c_str()));
    Pump();
    return FirstViewOf(pDoc);
}

std::string ViewTest::Shown(CFolvaneView* pView)
{
    return pView->GetDocument()->m_strFolderPath.str();
}

std::string ViewTest::SelectedText(CFolvaneView* pView)
{
    return pView->m_tree.GetItemText(pView->m_tree.GetSelectedItem()).str();
}

bool ViewTest::Browse(CFolvaneView* pView, const std::string& path)
{
    CIdListPtr pidl(PathToIdList(path.c_str()));
    HRESULT hr = pView->GetShellBrowser(FALSE)->BrowseObject(pidl, SBSP_SAMEBROWSER | SBSP_ABSOLUTE);
    Pump();
    return SUCCEEDED(hr);
}

BOOL ViewTest::Enabled(UINT nID)
{
    CTestCmdUI state;
    state.m_nID = nID;
    state.DoUpdate(Frame(), TRUE);
    return state.m_bEnabled;
}
