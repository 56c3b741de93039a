// The main frame as the user meets it: menus, accelerators, toolbar and tooltips, status
// bar prompts, the View commands, docking, closing, and the settings profile.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "support/AppFixture.h"

namespace {

std::string MenuText(HMENU h, int pos)
{
    char buf[128] = "";
    GetMenuStringA(h, static_cast<UINT>(pos), buf, sizeof(buf), MF_BYPOSITION);
    return buf;
}

HMENU FindPopup(HMENU hBar, const char* text)
{
    for (int i = 0; i < GetMenuItemCount(hBar); i++) {
        if (MenuText(hBar, i) == text) return GetSubMenu(hBar, i);
    }
    return nullptr;
}

std::string StatusText(CMainFrame* pFrame)
{
    return pFrame->m_wndStatusBar.GetPaneText0().GetString();
}

std::string ToolTipFor(HWND hFrame, HWND hFrom, UINT nID, bool wide)
{
    if (wide) {
        NMTTDISPINFOW info = {};
        info.hdr.hwndFrom = hFrom;
        info.hdr.idFrom = nID;
        info.hdr.code = TTN_NEEDTEXTW;
        SendMessageA(hFrame, WM_NOTIFY, nID, reinterpret_cast<LPARAM>(&info));
        const WCHAR* p = info.lpszText ? info.lpszText : info.szText;
        char out[256] = "";
        WideCharToMultiByte(CP_ACP, 0, p, -1, out, sizeof(out), nullptr, nullptr);
        return out;
    }
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = hFrom;
    info.hdr.idFrom = nID;
    info.hdr.code = TTN_NEEDTEXTA;
    SendMessageA(hFrame, WM_NOTIFY, nID, reinterpret_cast<LPARAM>(&info));
    return info.lpszText ? info.lpszText : info.szText;
}

class MainFrameTest : public AppFixture {};

}  // namespace

TEST_F(MainFrameTest, WithoutBrowserWindowTheFrameShowsMenu128)
{
    HMENU hBar = GetMenu(MainWnd());
    ASSERT_NE(nullptr, hBar);
    ASSERT_EQ(3, GetMenuItemCount(hBar));
    EXPECT_EQ("&File", MenuText(hBar, 0));
    EXPECT_EQ("&View", MenuText(hBar, 1));
    EXPECT_EQ("&Help", MenuText(hBar, 2));
    HMENU hFile = GetSubMenu(hBar, 0);
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(hFile); i++) ids.push_back(GetMenuItemID(hFile, i));
    std::vector<UINT> expected = {ID_FILE_NEW, 0, ID_RUN, ID_SHELL_RUN, 0, static_cast<UINT>(-1), 0, ID_APP_EXIT};
    EXPECT_EQ(expected, ids);
    EXPECT_EQ("&New\tCtrl+N", MenuText(hFile, 0));
    EXPECT_EQ("Find", MenuText(hFile, 5));
    EXPECT_EQ("&About Folvane...", MenuText(GetSubMenu(hBar, 2), 0));
}

TEST_F(MainFrameTest, RunIsDisabledWithoutBrowserWindowAndTheRestFollowTheirHandlers)
{
    HMENU hFile = FindPopup(GetMenu(MainWnd()), "&File");
    EXPECT_TRUE(MenuState(hFile, ID_RUN) & MF_GRAYED);
    EXPECT_FALSE(MenuState(hFile, ID_FILE_NEW) & MF_GRAYED);
    EXPECT_FALSE(MenuState(hFile, ID_APP_EXIT) & MF_GRAYED);
}

TEST_F(MainFrameTest, TheAcceleratorTableIsTheFramesOwn)
{
    HACCEL hAccel = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ACCEL table[32];
    int n = CopyAcceleratorTableA(hAccel, table, 32);
    // The twelve keys of the frame and the five of the address box and Back and Forward.
    ASSERT_EQ(17, n);
    auto has = [&](BYTE fVirt, WORD key, WORD cmd) {
        for (int i = 0; i < n; i++) {
            if ((table[i].fVirt & ~FNOINVERT) == (fVirt | FVIRTKEY) && table[i].key == key && table[i].cmd == cmd) return true;
        }
        return false;
    };
    EXPECT_TRUE(has(FCONTROL, 'N', ID_FILE_NEW));
    EXPECT_TRUE(has(0, VK_F5, ID_REFRESH));
    EXPECT_TRUE(has(FSHIFT, VK_F5, ID_WINDOW_CASCADE));
    EXPECT_TRUE(has(FSHIFT, VK_F4, ID_WINDOW_TILE_VERT));
    EXPECT_TRUE(has(FSHIFT, VK_F6, ID_WINDOW_TILE_HORZ));
    EXPECT_TRUE(has(FSHIFT, VK_DELETE, ID_EDIT_CUT));
    EXPECT_TRUE(has(FCONTROL, VK_INSERT, ID_EDIT_COPY));
    EXPECT_TRUE(has(FSHIFT, VK_INSERT, ID_EDIT_PASTE));
    EXPECT_TRUE(has(FCONTROL, 'L', ID_GO_ADDRESS));
    EXPECT_TRUE(has(FALT, 'D', ID_GO_ADDRESS));
    EXPECT_TRUE(has(0, VK_F4, ID_GO_ADDRESS));
    EXPECT_TRUE(has(FALT, VK_LEFT, ID_GO_BACK));
    EXPECT_TRUE(has(FALT, VK_RIGHT, ID_GO_FORWARD));
}

TEST_F(MainFrameTest, AcceleratorKeysReachTheCommands)
{
    // Alt+F4 is the window system's; a key of the table goes through PreTranslateMessage.
    MSG msg = {};
    msg.hwnd = MainWnd();
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_F5;
    EXPECT_TRUE(m_pApp->PreTranslateMessage(&msg)) << "F5 is translated to Refresh";
    msg.wParam = 'Q';
    EXPECT_FALSE(m_pApp->PreTranslateMessage(&msg));
}

TEST_F(MainFrameTest, ToolbarHasNewAndUpOneLevelWithTheirTooltips)
{
    CToolBar& tb = Frame()->m_wndToolBar;
    ASSERT_EQ(3, tb.GetCount());
    EXPECT_EQ(static_cast<UINT>(ID_FILE_NEW), tb.GetItemID(0));
    EXPECT_EQ(0u, tb.GetItemID(1));
    EXPECT_EQ(static_cast<UINT>(ID_UP_ONE_LEVEL), tb.GetItemID(2));
    EXPECT_TRUE(tb.GetStyle() & TBSTYLE_TOOLTIPS);
    HWND hTip = reinterpret_cast<HWND>(tb.SendMessage(TB_GETTOOLTIPS));
    EXPECT_NE(nullptr, hTip);
    for (bool wide : {false, true}) {
        EXPECT_EQ("New", ToolTipFor(MainWnd(), hTip, ID_FILE_NEW, wide));
        EXPECT_EQ("Up One Level", ToolTipFor(MainWnd(), hTip, ID_UP_ONE_LEVEL, wide));
    }
    // A button id of the shell view's range with no browser window open: the framework's
    // text, the command's own tip; no crash.
    EXPECT_EQ("Large Icons", ToolTipFor(MainWnd(), hTip, 28713, true));
}

TEST_F(MainFrameTest, ToolbarButtonsFollowTheirHandlersAtIdle)
{
    PumpFor(50);
    CToolBar& tb = Frame()->m_wndToolBar;
    EXPECT_TRUE(tb.SendMessage(TB_ISBUTTONENABLED, ID_FILE_NEW));
    EXPECT_FALSE(tb.SendMessage(TB_ISBUTTONENABLED, ID_UP_ONE_LEVEL)) << "only a browser window handles it";
}

TEST_F(MainFrameTest, StatusBarSaysReadyAndShowsMenuPrompts)
{
    PumpFor(50);
    EXPECT_EQ("Ready", StatusText(Frame()));
    HMENU hFile = FindPopup(GetMenu(MainWnd()), "&File");
    SendMessageA(MainWnd(), WM_MENUSELECT, MAKEWPARAM(ID_RUN, MF_STRING), reinterpret_cast<LPARAM>(hFile));
    EXPECT_EQ("Starts or opens an application or document", StatusText(Frame()));
    SendMessageA(MainWnd(), WM_MENUSELECT, MAKEWPARAM(ID_FILE_NEW, MF_STRING), reinterpret_cast<LPARAM>(hFile));
    EXPECT_EQ("Create a new document", StatusText(Frame()));
    SendMessageA(MainWnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ("Ready", StatusText(Frame()));
}

TEST_F(MainFrameTest, HoveringAToolbarButtonShowsItsPrompt)
{
    CToolBar& tb = Frame()->m_wndToolBar;
    RECT rc;
    tb.GetItemRect(0, &rc);
    tb.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
    EXPECT_EQ("Create a new document", StatusText(Frame()));
    tb.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ("Ready", StatusText(Frame()));
}

// The bars belong to the main frame, but while a browser window is active the command and
// its check go to that window's frame first; it has no bars, declines, and the main frame
// must still get them.
TEST_F(MainFrameTest, ViewToolbarAndViewStatusBarToggleTheBarsAndTheirChecks)
{
    for (bool bBrowserWindow : {false, true}) {
        SCOPED_TRACE(bBrowserWindow ? "a browser window open" : "no browser window");
        if (bBrowserWindow) {
            SendMessageA(MainWnd(), WM_COMMAND, ID_FILE_NEW, 0);
            Pump();
            ASSERT_NE(nullptr, Frame()->MDIGetActive());
        }
        HMENU hView = FindPopup(GetMenu(MainWnd()), "&View");
        ASSERT_NE(nullptr, hView);
        HWND hClient = Frame()->m_hWndMDIClient;
        RECT before;
        GetWindowRect(hClient, &before);
        EXPECT_TRUE(MenuState(hView, ID_VIEW_TOOLBAR) & MF_CHECKED);
        EXPECT_TRUE(MenuState(hView, ID_VIEW_STATUS_BAR) & MF_CHECKED);

        SendMessageA(MainWnd(), WM_COMMAND, ID_VIEW_TOOLBAR, 0);
        SendMessageA(MainWnd(), WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
        EXPECT_FALSE(Frame()->m_wndToolBar.IsWindowVisible());
        EXPECT_FALSE(Frame()->m_wndStatusBar.IsWindowVisible());
        EXPECT_FALSE(MenuState(hView, ID_VIEW_TOOLBAR) & MF_CHECKED);
        EXPECT_FALSE(MenuState(hView, ID_VIEW_STATUS_BAR) & MF_CHECKED);
        RECT hidden;
        GetWindowRect(hClient, &hidden);
        EXPECT_LT(hidden.top, before.top) << "the client area takes the toolbar's place";
        EXPECT_GT(hidden.bottom, before.bottom) << "and the status bar's";

        SendMessageA(MainWnd(), WM_COMMAND, ID_VIEW_TOOLBAR, 0);
        SendMessageA(MainWnd(), WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
        EXPECT_TRUE(Frame()->m_wndToolBar.IsWindowVisible());
        EXPECT_TRUE(Frame()->m_wndStatusBar.IsWindowVisible());
        EXPECT_TRUE(MenuState(hView, ID_VIEW_TOOLBAR) & MF_CHECKED);
        EXPECT_TRUE(MenuState(hView, ID_VIEW_STATUS_BAR) & MF_CHECKED);
        RECT after;
        GetWindowRect(hClient, &after);
        EXPECT_TRUE(EqualRect(&before, &after));
    }
}

TEST_F(MainFrameTest, TheToolbarDocksOnEverySideAndFloats)
{
    CMainFrame* f = Frame();
    CToolBar& tb = f->m_wndToolBar;
    RECT client;
    GetClientRect(MainWnd(), &client);
    struct { DWORD side; const char* name; } sides[] = {
        {CBRS_ALIGN_LEFT, "left"}, {CBRS_ALIGN_RIGHT, "right"}, {CBRS_ALIGN_BOTTOM, "bottom"}, {CBRS_ALIGN_TOP, "top"}};
    for (auto& s : sides) {
        f->DockControlBar(&tb, s.side);
        RECT rc;
        tb.GetWindowRect(&rc);
        f->ScreenToClient(&rc);
        EXPECT_EQ(MainWnd(), GetParent(tb.m_hWnd)) << s.name;
        bool vertical = s.side == CBRS_ALIGN_LEFT || s.side == CBRS_ALIGN_RIGHT;
        EXPECT_EQ(vertical, (rc.bottom - rc.top) > (rc.right - rc.left)) << s.name;
        if (s.side == CBRS_ALIGN_LEFT) {
            EXPECT_EQ(0, rc.left);
        } else if (s.side == CBRS_ALIGN_RIGHT) {
            EXPECT_EQ(client.right, rc.right);
        } else if (s.side == CBRS_ALIGN_TOP) {
            EXPECT_EQ(0, rc.top);
        }
        RECT mdi;
        GetWindowRect(f->m_hWndMDIClient, &mdi);
        RECT overlap;
        f->ClientToScreen(&rc);
        EXPECT_FALSE(IntersectRect(&overlap, &rc, &mdi)) << "the client area makes room on the " << s.name;
    }

    POINT pt = {300, 300};
    f->FloatControlBar(&tb, pt);
    HWND hFloat = GetParent(tb.m_hWnd);
    EXPECT_NE(MainWnd(), hFloat);
    EXPECT_EQ(MainWnd(), GetWindow(hFloat, GW_OWNER));
    EXPECT_TRUE(IsWindowVisible(hFloat));
    // Hiding the bar with View Toolbar hides its small window too, and brings both back.
    SendMessageA(MainWnd(), WM_COMMAND, ID_VIEW_TOOLBAR, 0);
    EXPECT_FALSE(IsWindowVisible(hFloat));
    SendMessageA(MainWnd(), WM_COMMAND, ID_VIEW_TOOLBAR, 0);
    EXPECT_TRUE(IsWindowVisible(hFloat));
    // Tooltip requests from the floating bar still reach the frame.
    HWND hTip = reinterpret_cast<HWND>(tb.SendMessage(TB_GETTOOLTIPS));
    EXPECT_EQ("New", ToolTipFor(hFloat, hTip, ID_FILE_NEW, false));

    f->DockControlBar(&tb, CBRS_ALIGN_TOP);
    EXPECT_EQ(MainWnd(), GetParent(tb.m_hWnd));
    EXPECT_FALSE(IsWindow(hFloat)) << "the small window goes once the bar is docked again";
}

TEST_F(MainFrameTest, TheFrameClassDoesNotRepaintWholeOnResize)
{
    DWORD style = GetClassLongA(MainWnd(), GCL_STYLE);
    EXPECT_EQ(0u, style & (CS_HREDRAW | CS_VREDRAW));
}

TEST_F(MainFrameTest, TheCloseBoxSavesTheSessionOnceBeforeAnythingCloses)
{
    PostMessageA(MainWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(PumpUntil([&] { return m_pApp->m_pMainWnd == nullptr; }));
    EXPECT_EQ(1, m_pApp->m_nSaveSessionCalls);
    EXPECT_TRUE(m_pApp->m_bMainVisibleAtSave);
}

TEST_F(MainFrameTest, FileExitSavesTheSessionOnceBeforeAnythingCloses)
{
    PostMessageA(MainWnd(), WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_TRUE(PumpUntil([&] { return m_pApp->m_pMainWnd == nullptr; }));
    EXPECT_EQ(1, m_pApp->m_nSaveSessionCalls);
    EXPECT_TRUE(m_pApp->m_bMainVisibleAtSave);
}

TEST_F(MainFrameTest, OtherWaysOfClosingDoNotSaveTheSession)
{
    PostMessageA(MainWnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return m_pApp->m_pMainWnd == nullptr; }));
    EXPECT_EQ(0, m_pApp->m_nSaveSessionCalls);
}

TEST_F(MainFrameTest, TheProfileLivesUnderTheCompanyKey)
{
    EXPECT_STREQ("Quorrel", m_pApp->m_pszRegistryKey);
    EXPECT_STREQ("Folvane", m_pApp->m_pszProfileName);
    ASSERT_TRUE(m_pApp->WriteProfileString("Probe", "Value", "x,y"));
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quorrel\\Folvane\\Probe", 0, KEY_READ, &hKey));
    char buf[16] = "";
    DWORD size = sizeof(buf);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(hKey, "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size));
    RegCloseKey(hKey);
    EXPECT_STREQ("x,y", buf);
    EXPECT_STREQ("x,y", m_pApp->GetProfileString("Probe", "Value"));
    EXPECT_STREQ("dflt", m_pApp->GetProfileString("Probe", "Missing", "dflt"));
    EXPECT_EQ(42u, m_pApp->GetProfileInt("Probe", "Number", 42));
}
