// The address box and Back and Forward: typed paths read into folders (a table on a scratch
// folder), the history each window keeps, and the running application driven by real keys,
// the mouse's side buttons and the bar's buttons.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/MDIChildWnd.h"
#include "res/resource.h"
#include "shell/AddressPath.h"
#include "shell/AnsiNames.h"
#include "support/BrowserWindows.h"
#include "support/ModalWatcher.h"
#include "support/RealInput.h"
#include "support/ScratchFolder.h"
#include "support/ViewTest.h"
#include "view/FolvaneView.h"
#include "view/NavigationHistory.h"

namespace {

// A drive letter that names no drive here, or 0.
char FreeDriveLetter()
{
    const DWORD drives = GetLogicalDrives();
    for (char c = 'Q'; c <= 'Y'; c++) {
        if (!(drives & (1u << (c - 'A')))) return c;
    }
    return 0;
}

void PutTextOnClipboard(const std::string& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
    GlobalUnlock(h);
    SetClipboardData(CF_TEXT, h);
    CloseClipboard();
}

}  // namespace

// ---- Typed paths ------------------------------------------------------------------------------

TEST(AddressPath, TypedPathsNameTheFolderToShowAndTheFileToSelect)
{
    ScratchFolder root("address-path");
    ASSERT_TRUE(root.Made());
    root.MakeFolders({"alpha", "alpha\\inner", "beta"});
    root.MakeFiles({"alpha\\x.txt"});
    SetEnvironmentVariableA("FOLVANE_ADDRESS_TEST", root.Path().c_str());
    const std::string alpha = root.Sub("alpha");
    const char drive = FreeDriveLetter();
    const std::string noDrive = std::string(1, drive ? drive : 'Q') + ":\\x";
    std::string slashes = root.Sub("alpha/inner");
    const struct {
        std::string typed, base;
        AddressTarget::Problem problem;
        std::string folder, item;
    } cases[] = {
        {root.Sub("beta"), alpha, AddressTarget::None, root.Sub("beta"), ""},
        {"  \"" + root.Sub("beta") + "\"  ", alpha, AddressTarget::None, root.Sub("beta"), ""},
        {root.Sub("beta") + "\\", alpha, AddressTarget::None, root.Sub("beta"), ""},
        {"inner", alpha, AddressTarget::None, root.Sub("alpha\\inner"), ""},
        {"..", alpha, AddressTarget::None, root.Path(), ""},
        {"..\\beta\\.", alpha, AddressTarget::None, root.Sub("beta"), ""},
        {"%FOLVANE_ADDRESS_TEST%\\alpha\\inner", "", AddressTarget::None, root.Sub("alpha\\inner"), ""},
        {slashes, alpha, AddressTarget::None, root.Sub("alpha\\inner"), ""},
        {root.Sub("alpha\\x.txt"), "", AddressTarget::None, alpha, root.Sub("alpha\\x.txt")},
        {"x.txt", alpha, AddressTarget::None, alpha, root.Sub("alpha\\x.txt")},
        {"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", alpha, AddressTarget::None,
         "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", ""},
        {"", alpha, AddressTarget::Empty, "", ""},
        {"   \"\"  ", alpha, AddressTarget::Empty, "", ""},
        {std::string(5000, 'a'), alpha, AddressTarget::TooLong, "", ""},
        {"%FOLVANE_ADDRESS_TEST%\\" + std::string(300, 'b'), alpha, AddressTarget::TooLong, "", ""},
        {root.Sub("al\tpha"), alpha, AddressTarget::ControlCharacter, "", ""},
        {root.Sub("al\npha"), alpha, AddressTarget::ControlCharacter, "", ""},
        {"beta", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", AddressTarget::NotFullPath, "", ""},
        {root.Sub("nowhere"), alpha, AddressTarget::NotFound, "", ""},
        {"%NO_SUCH_FOLVANE_VARIABLE%\\x", alpha, AddressTarget::NotFound, "", ""},
        {"\\\\folvane-no-such-host\\share\\x", alpha, AddressTarget::NotFound, "", ""},
    };
    for (const auto& c : cases) {
        const AddressTarget t = ResolveAddress(c.typed, c.base);
        const std::string label = c.typed.substr(0, 80) + " from " + c.base;
        EXPECT_EQ(c.problem, t.problem) << label;
        if (c.problem != AddressTarget::None) continue;
        EXPECT_EQ(c.folder, t.folder) << label;
        EXPECT_EQ(c.item, t.item) << label;
    }
    if (drive) {
        const AddressTarget t = ResolveAddress(noDrive, alpha);
        EXPECT_EQ(AddressTarget::NoSuchDrive, t.problem);
        EXPECT_EQ(noDrive.substr(0, 2), t.folder);
    }
    EXPECT_EQ(5000u, ResolveAddress(std::string(5000, 'a'), alpha).length);
    SetEnvironmentVariableA("FOLVANE_ADDRESS_TEST", nullptr);
}

// ---- The history of one window ----------------------------------------------------------------

TEST(NavigationHistory, BackAndForwardMoveThroughThePlacesAndANewPlaceDropsThoseAhead)
{
    CNavigationHistory h;
    EXPECT_FALSE(h.CanGo(false));
    for (const char* p : {"a", "b", "c", "d"}) h.Visit(p, L"title " + Widen(p));
    h.Visit("D", L"again");  // the same place, shown again
    ASSERT_EQ(4u, h.Size());
    EXPECT_EQ(L"again", h.At(h.Current()).title);

    // Two back by a move begun and ended as the view does it.
    const int i = h.Target(false, 2);
    ASSERT_EQ(1, i);
    h.BeginMove(i);
    h.Visit("b", L"title b");
    h.EndMove();
    EXPECT_EQ(1, h.Current());
    std::vector<std::string> behind, ahead;
    for (const auto& p : h.Places(false)) behind.push_back(p.path);
    for (const auto& p : h.Places(true)) ahead.push_back(p.path);
    EXPECT_EQ(std::vector<std::string>({"a"}), behind);
    EXPECT_EQ(std::vector<std::string>({"c", "d"}), ahead);

    // A move that ends somewhere else is a new place: those ahead go.
    h.BeginMove(h.Target(true, 1));
    h.Visit("e", L"title e");
    EXPECT_FALSE(h.CanGo(true));
    EXPECT_EQ(3u, h.Size());

    // A place that is gone goes, and the one on show keeps its place.
    h.Forget(0);
    EXPECT_EQ(1, h.Current());
    EXPECT_EQ("e", h.At(h.Current()).path);
    h.Forget(h.Current());
    EXPECT_EQ(2u, h.Size());

    h.RenameCurrent("f", L"title f");
    EXPECT_EQ("f", h.At(h.Current()).path);
    EXPECT_EQ(2u, h.Size());
}

TEST(NavigationHistory, ItKeepsABoundedNumberOfPlacesTheOldestGoingFirst)
{
    CNavigationHistory h;
    for (int i = 0; i < 50; i++) h.Visit("place" + std::to_string(i), L"");
    EXPECT_EQ(CNavigationHistory::kMaxPlaces, h.Size());
    const auto behind = h.Places(false);
    ASSERT_EQ(CNavigationHistory::kMaxPlaces - 1, behind.size());
    EXPECT_EQ("place48", behind.front().path);
    EXPECT_EQ("place" + std::to_string(50 - CNavigationHistory::kMaxPlaces), behind.back().path);
    EXPECT_EQ(-1, h.Target(false, CNavigationHistory::kMaxPlaces));
}

// ---- The running application ------------------------------------------------------------------

class AddressTest : public ViewTest {
protected:
    CAddressBar& Bar() { return Frame()->m_wndAddressBar; }
    HWND Edit() { return Bar().GetEditWindow(); }
    // The main window in front with this window active and its list focused.
    void Activate(CFolvaneView* pView)
    {
        SetForegroundWindow(MainWnd());
        static_cast<CMDIChildWnd*>(pView->GetParentFrame())->MDIActivate();
        Pump();
        ::SetFocus(ListOf(pView));
        Pump();
    }
    // Types or pastes into the box after Ctrl+L, then Enter.
    void Enter(CFolvaneView* pView, const std::string& text, bool bPaste)
    {
        Activate(pView);
        PressChord(VK_CONTROL, 'L');
        PumpUntil([&] { return GetFocus() == Edit(); }, 2000);
        if (bPaste) {
            PutTextOnClipboard(text);
            PressChord(VK_CONTROL, 'V');
        } else {
            TypeText(text.c_str());
        }
        PressKey(VK_RETURN);
        PumpFor(300);
    }
    void Go(UINT nID, CFolvaneView* pView)
    {
        Activate(pView);
        SendMessageA(MainWnd(), WM_COMMAND, nID, 0);
        Pump();
    }
};

TEST_F(AddressTest, TheBoxShowsTheActiveWindowsFolderThroughActivationAndNavigation)
{
    CFolvaneView* pFirst = Open(m_root.Sub("alpha"));
    CFolvaneView* pSecond = Open(m_root.Sub("beta"));
    ASSERT_TRUE(pFirst && pSecond);
    Activate(pFirst);
    EXPECT_EQ(m_root.Sub("alpha"), WindowText(Edit()));
    Activate(pSecond);
    EXPECT_EQ(m_root.Sub("beta"), WindowText(Edit()));
    ASSERT_TRUE(Browse(pSecond, m_root.Sub("gamma")));
    EXPECT_EQ(m_root.Sub("gamma"), WindowText(Edit()));
    // View Toolbar takes the box away with the toolbar and brings both back.
    for (BOOL bVisible : {FALSE, TRUE}) {
        SendMessageA(MainWnd(), WM_COMMAND, ID_VIEW_TOOLBAR, 0);
        Pump();
        EXPECT_EQ(bVisible, IsWindowVisible(Bar().m_hWnd));
        EXPECT_EQ(bVisible, IsWindowVisible(Frame()->m_wndToolBar.m_hWnd));
    }
}

TEST_F(AddressTest, KeysPutTheFocusInTheBoxWithItsTextSelectedAndEscapeGivesItBack)
{
    CFolvaneView* pView = Open(m_root.Sub("alpha"));
    ASSERT_NE(nullptr, pView);
    const struct { const char* name; WORD modifier, vk; } keys[] = {
        {"Ctrl+L", VK_CONTROL, 'L'}, {"Alt+D", VK_MENU, 'D'}, {"F4", 0, VK_F4}};
    for (const auto& k : keys) {
        Activate(pView);
        PressChord(k.modifier, k.vk);
        ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Edit(); }, 2000)) << k.name;
        DWORD first = 1, last = 0;
        SendMessageA(Edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
        EXPECT_EQ(0u, first) << k.name;
        EXPECT_EQ(m_root.Sub("alpha").size(), last) << k.name;
        TypeText("junk");
        PressKey(VK_ESCAPE);
        PumpFor(150);
        EXPECT_EQ(m_root.Sub("alpha"), WindowText(Edit())) << k.name;
        EXPECT_TRUE(IsChild(pView->m_hWnd, GetFocus())) << k.name;
        EXPECT_EQ(m_root.Sub("alpha"), Shown(pView)) << k.name;
    }
}

TEST_F(AddressTest, APathTypedOrPastedShowsItsFolderOrSaysWhyNot)
{
    CFolvaneView* pView = Open(m_root.Sub("alpha"));
    ASSERT_NE(nullptr, pView);
    m_root.MakeFiles({"beta\\y.txt"});
    SetEnvironmentVariableA("FOLVANE_ADDRESS_TEST", m_root.Path().c_str());
    const char drive = FreeDriveLetter();
    const struct {
        std::string text;
        bool bPaste;
        std::string shown;     // the folder on show afterwards
        std::string selected;  // the item selected on the right
        std::string sentence;  // part of the sentence said, when it fails
    } cases[] = {
        {"inner", false, m_root.Sub("alpha\\inner"), "", ""},
        {"..\\beta", false, m_root.Sub("beta"), "", ""},
        {"\"" + m_root.Sub("gamma") + "\"", true, m_root.Sub("gamma"), "", ""},
        {"%FOLVANE_ADDRESS_TEST%\\alpha", false, m_root.Sub("alpha"), "", ""},
        {m_root.Sub("beta\\y.txt"), true, m_root.Sub("beta"), "y.txt", ""},
        {m_root.Sub("nowhere"), true, m_root.Sub("alpha"), "", "cannot find \"" + m_root.Sub("nowhere") + "\""},
        {"\\\\folvane-no-such-host\\share", true, m_root.Sub("alpha"), "",
         "cannot find \"\\\\folvane-no-such-host\\share\""},
        {"", false, m_root.Sub("alpha"), "", "Type the path"},
        {std::string(5000, 'x'), true, m_root.Sub("alpha"), "", "5000 characters long"},
        {m_root.Sub("be\tta"), true, m_root.Sub("alpha"), "", "control character"},
        {std::string(1, drive) + ":\\folder", false, m_root.Sub("alpha"), "",
         std::string("no drive ") + drive + ": on this computer, so \"" + drive + ":\\folder\" cannot"},
    };
    for (const auto& c : cases) {
        if (c.text[0] == 0 && !c.text.empty()) continue;  // no free drive letter here
        // Every case starts from alpha, typed into the box.
        if (Shown(pView) != m_root.Sub("alpha")) {
            ASSERT_TRUE(Browse(pView, m_root.Sub("alpha")));
        }
        ModalWatcher watcher;
        if (c.text.empty()) {
            Activate(pView);
            PressChord(VK_CONTROL, 'L');
            PumpUntil([&] { return GetFocus() == Edit(); }, 2000);
            PressKey(VK_DELETE);
            PressKey(VK_RETURN);
            PumpFor(300);
        } else {
            Enter(pView, c.text, c.bPaste);
        }
        const std::string label = c.text.substr(0, 60);
        EXPECT_EQ(c.shown, Shown(pView)) << label;
        const std::vector<SeenBox> seen = watcher.Seen();
        if (c.sentence.empty()) {
            EXPECT_TRUE(seen.empty()) << label << ": " << (seen.empty() ? "" : seen[0].text);
            EXPECT_EQ(c.shown, WindowText(Edit())) << label;
            EXPECT_TRUE(IsChild(pView->m_hWnd, GetFocus())) << label;
        } else {
            ASSERT_EQ(1u, seen.size()) << label;
            EXPECT_NE(std::string::npos, seen[0].text.find(c.sentence)) << label << ": " << seen[0].text;
            // The box keeps what was typed, to be put right.
            EXPECT_EQ(Edit(), GetFocus()) << label;
        }
        if (!c.selected.empty()) {
            HWND hList = ListOf(pView);
            const int iSelected = static_cast<int>(SendMessageA(hList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
            EXPECT_EQ(ListIndexOf(pView, c.selected), iSelected) << label;
            EXPECT_GE(iSelected, 0) << label;
        }
    }
    SetEnvironmentVariableA("FOLVANE_ADDRESS_TEST", nullptr);
}

TEST_F(AddressTest, BackAndForwardByKeysButtonsAndMouseRetraceTheWindowsOwnPlaces)
{
    CFolvaneView* pView = Open(m_root.Path());
    CFolvaneView* pOther = Open(m_root.Sub("gamma"));
    ASSERT_TRUE(pView && pOther);
    Activate(pView);
    EXPECT_FALSE(Enabled(ID_GO_BACK));
    for (const char* sub : {"alpha", "beta", "gamma"}) ASSERT_TRUE(Browse(pView, m_root.Sub(sub)));
    EXPECT_TRUE(Enabled(ID_GO_BACK));
    EXPECT_FALSE(Enabled(ID_GO_FORWARD));

    const struct { const char* how; std::string expected; } steps[] = {
        {"Alt+Left", m_root.Sub("beta")},
        {"Alt+Left", m_root.Sub("alpha")},
        {"Alt+Right", m_root.Sub("beta")},
        {"Back button", m_root.Sub("alpha")},
        {"X2 over the list", m_root.Sub("beta")},
        {"app command over the list", m_root.Sub("alpha")},
        {"X1 over the tree", m_root.Path()},
        {"Forward button", m_root.Sub("alpha")},
        {"real X2 over the list", m_root.Sub("beta")},
        {"real X1 over the list", m_root.Sub("alpha")},
    };
    for (const auto& s : steps) {
        Activate(pView);
        const std::string how = s.how;
        if (how == "Alt+Left") PressChord(VK_MENU, VK_LEFT);
        else if (how == "Alt+Right") PressChord(VK_MENU, VK_RIGHT);
        else if (how == "Back button") {
            // A real click on the button itself, not on its arrow.
            RECT rc = {};
            Bar().GetButtons().SendMessage(TB_GETRECT, ID_GO_BACK, reinterpret_cast<LPARAM>(&rc));
            POINT pt = {rc.left + 6, (rc.top + rc.bottom) / 2};
            ClientToScreen(Bar().GetButtons().m_hWnd, &pt);
            ClickAt(pt);
        } else if (how.compare(0, 6, "real X") == 0) {
            // The mouse's own side button, pressed and released over the list.
            RECT rc;
            GetWindowRect(ListOf(pView), &rc);
            SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
            INPUT in[2] = {};
            in[0].type = in[1].type = INPUT_MOUSE;
            in[0].mi.dwFlags = MOUSEEVENTF_XDOWN;
            in[1].mi.dwFlags = MOUSEEVENTF_XUP;
            in[0].mi.mouseData = in[1].mi.mouseData = how[6] == '1' ? XBUTTON1 : XBUTTON2;
            SendInput(2, in, sizeof(INPUT));
        } else if (how == "Forward button") {
            SendMessageA(Bar().m_hWnd, WM_COMMAND, ID_GO_FORWARD, reinterpret_cast<LPARAM>(Bar().GetButtons().m_hWnd));
        }
        else if (how == "X2 over the list") PostMessageA(ListOf(pView), WM_XBUTTONUP, MAKEWPARAM(0, XBUTTON2), MAKELPARAM(5, 5));
        else if (how == "X1 over the tree") PostMessageA(pView->m_tree.m_hWnd, WM_XBUTTONUP, MAKEWPARAM(0, XBUTTON1), MAKELPARAM(5, 5));
        else SendMessageA(ListOf(pView), WM_APPCOMMAND, reinterpret_cast<WPARAM>(ListOf(pView)),
                          MAKELPARAM(0, FAPPCOMMAND_MOUSE | APPCOMMAND_BROWSER_BACKWARD));
        EXPECT_TRUE(PumpUntil([&] { return Shown(pView) == s.expected; }, 3000)) << how << ": " << Shown(pView);
    }
    // The other window went nowhere and has no place behind it.
    EXPECT_EQ(m_root.Sub("gamma"), Shown(pOther));
    Activate(pOther);
    EXPECT_FALSE(Enabled(ID_GO_BACK));
    // A new place drops those ahead.
    Activate(pView);
    ASSERT_TRUE(Browse(pView, m_root.Sub("gamma")));
    EXPECT_FALSE(Enabled(ID_GO_FORWARD));
}

// A window opened maximised or not, on a folder or on none, has nothing behind it.
TEST_F(AddressTest, ANewWindowHasNoPlaceBehindIt)
{
    const std::string texts[] = {m_root.Sub("beta"), m_root.Sub("beta") + ",0,0,400,300,16777216",
                                 m_root.Sub("gamma") + ",10,10,400,300,0"};
    for (const std::string& text : texts) {
        CFolvaneView* pView = Open(text);
        ASSERT_NE(nullptr, pView) << text;
        Activate(pView);
        EXPECT_FALSE(Enabled(ID_GO_BACK)) << text;
        EXPECT_EQ(text.substr(0, text.find(',')), WindowText(Edit())) << text;
        m_pApp->CloseAllDocuments(FALSE);
        Pump();
    }
}

// With no window open, a path typed into the box opens one on it; a bad one opens none.
TEST_F(AddressTest, WithNoWindowOpenAPathOpensOne)
{
    const struct { std::string text; std::string shown; } cases[] = {
        {m_root.Sub("nowhere"), ""},
        {m_root.Sub("beta"), m_root.Sub("beta")},
    };
    for (const auto& c : cases) {
        m_pApp->CloseAllDocuments(FALSE);
        Pump();
        SetForegroundWindow(MainWnd());
        PressChord(VK_CONTROL, 'L');
        ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Edit(); }, 2000));
        ModalWatcher watcher;
        PutTextOnClipboard(c.text);
        PressChord(VK_CONTROL, 'V');
        PressKey(VK_RETURN);
        PumpFor(400);
        const std::vector<HWND> windows = BrowserWindows(MainWnd());
        if (c.shown.empty()) {
            EXPECT_TRUE(windows.empty());
            EXPECT_EQ(1u, watcher.Count());
        } else {
            ASSERT_EQ(1u, windows.size());
            EXPECT_EQ(0u, watcher.Count());
            EXPECT_EQ(c.shown, WindowText(Edit()));
        }
    }
}

TEST_F(AddressTest, AFolderGoneMeanwhileIsPassedOverWithASentence)
{
    // The one that goes has a name the code page lacks: the sentence names it as it was.
    const std::wstring epsilon = m_root.WideSub(L"\x0395\x03BB\x03BB\x03AC\x03B4\x03B1");  // Ελλάδα
    m_root.MakeFolders({"delta"});
    ASSERT_TRUE(CreateDirectoryW(epsilon.c_str(), nullptr));
    CFolvaneView* pView = Open(m_root.Sub("alpha"));
    ASSERT_NE(nullptr, pView);
    for (const std::string& path : {m_root.Sub("delta"), AnsiPathFor(epsilon), m_root.Sub("gamma")})
        ASSERT_TRUE(Browse(pView, path));
    ASSERT_TRUE(RemoveTree(epsilon));
    {
        ModalWatcher watcher;
        Go(ID_GO_BACK, pView);
        EXPECT_EQ(m_root.Sub("delta"), Shown(pView));
        ASSERT_EQ(1u, watcher.Count());
        EXPECT_NE(std::wstring::npos, watcher.Seen()[0].wideText.find(epsilon + L"\" no longer exists"))
            << watcher.Seen()[0].text;
    }
    {
        // The gone place is forgotten: Forward goes straight on.
        ModalWatcher watcher;
        Go(ID_GO_FORWARD, pView);
        EXPECT_EQ(m_root.Sub("gamma"), Shown(pView));
        EXPECT_EQ(0u, watcher.Count());
    }
    ASSERT_TRUE(RemoveTree(m_root.Sub("delta")));
    ASSERT_TRUE(RemoveTree(m_root.Sub("alpha")));
    {
        // Nothing behind is left: the window stays, and says so.
        ModalWatcher watcher;
        Go(ID_GO_BACK, pView);
        EXPECT_EQ(m_root.Sub("gamma"), Shown(pView));
        ASSERT_EQ(1u, watcher.Count());
        EXPECT_NE(std::string::npos, watcher.Seen()[0].text.find("no other folder")) << watcher.Seen()[0].text;
        EXPECT_FALSE(Enabled(ID_GO_BACK));
    }
}

TEST_F(AddressTest, TheButtonsDropDownTheLastPlacesAndHaveTheirPromptsTipsAndMenuItems)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    for (const char* sub : {"alpha", "beta", "gamma"}) ASSERT_TRUE(Browse(pView, m_root.Sub(sub)));
    Activate(pView);
    const std::vector<std::wstring> titles = pView->GetHistoryTitles(FALSE);
    ASSERT_EQ(3u, titles.size());
    EXPECT_EQ(Widen(m_root.Sub("beta")), titles[0]);
    EXPECT_EQ(Widen(m_root.Path()), titles[2]);

    // The drop-down arrow of Back, a real click, then the second place down the list.
    CNavButtons& buttons = Bar().GetButtons();
    RECT rc = {};
    buttons.SendMessage(TB_GETRECT, ID_GO_BACK, reinterpret_cast<LPARAM>(&rc));
    POINT pt = {rc.right - 4, (rc.top + rc.bottom) / 2};
    ClientToScreen(buttons.m_hWnd, &pt);
    Pump();
    ClickAt(pt);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return Shown(pView) == m_root.Sub("alpha"); }, 3000)) << Shown(pView);
    EXPECT_TRUE(Enabled(ID_GO_FORWARD));

    // Tooltips and prompts.
    for (UINT nID : {ID_GO_BACK, ID_GO_FORWARD}) {
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = buttons.m_hWnd;
        info.hdr.idFrom = nID;
        info.hdr.code = TTN_NEEDTEXTA;
        SendMessageA(Bar().m_hWnd, WM_NOTIFY, nID, reinterpret_cast<LPARAM>(&info));
        EXPECT_STREQ(nID == ID_GO_BACK ? "Back (Alt+Left)" : "Forward (Alt+Right)", info.lpszText);
        CString prompt;
        Frame()->GetMessageString(nID, prompt);
        EXPECT_EQ(0, prompt.Find("Goes ")) << prompt.str();
    }
    // The View menu carries the three commands, enabled as they can act.
    HMENU hView = nullptr;
    HMENU hBar = GetMenu(MainWnd());
    for (int i = 0; i < GetMenuItemCount(hBar) && !hView; i++) {
        HMENU hPopup = GetSubMenu(hBar, i);
        if (hPopup && GetMenuState(hPopup, ID_VIEW_TOOLBAR, MF_BYCOMMAND) != static_cast<UINT>(-1)) hView = hPopup;
    }
    ASSERT_NE(nullptr, hView);
    for (UINT nID : {ID_GO_ADDRESS, ID_GO_BACK, ID_GO_FORWARD}) {
        EXPECT_EQ(0u, MenuState(hView, nID) & (MF_GRAYED | MF_DISABLED)) << nID;
    }
}
