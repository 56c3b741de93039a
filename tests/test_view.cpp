// The explorer view in the running application, with the real tree and the system's shell
// view on folders made by the test: pane geometry and the splitter, the shell browser the
// view offers, navigation by tree, browse requests, Up One Level and double clicks, the
// shell view's commands, and what a window leaves behind when it closes.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/MDIChildWnd.h"
#include "res/resource.h"
#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "shell/ShellSelection.h"
#include "shell/Wine.h"
#include "support/AppFixture.h"
#include "support/BrowserWindows.h"
#include "support/MallocSpy.h"
#include "support/MessageSpy.h"
#include "support/RealInput.h"
#include "support/ScratchFolder.h"
#include "support/TreeItems.h"
#include "support/ViewTest.h"
#include "framework/MergeMenus.h"
#include "tree/IdList.h"
#include "view/FolvaneDoc.h"
#include "view/FolvaneView.h"

namespace {

const int kGap = 4;

RECT ClientRectOf(HWND h)
{
    RECT rc;
    GetClientRect(h, &rc);
    return rc;
}

RECT RectIn(HWND hChild, HWND hParent)
{
    RECT rc;
    GetWindowRect(hChild, &rc);
    MapWindowPoints(HWND_DESKTOP, hParent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::string SelectedName(IShellFolder* pParent, LPCITEMIDLIST pidl)
{
    char name[MAX_PATH] = "";
    GetItemDisplayName(pParent, pidl, SHGDN_INFOLDER, name);
    return name;
}

UINT ViewMode(IShellView* pView)
{
    FOLDERSETTINGS fs = {};
    pView->GetCurrentInfo(&fs);
    return fs.ViewMode;
}

void ExpectLayout(CFolvaneView* pView)
{
    RECT rcClient = ClientRectOf(pView->m_hWnd);
    RECT rcTree = RectIn(pView->m_tree.m_hWnd, pView->m_hWnd);
    RECT rcShell = RectIn(pView->m_hwndShellView, pView->m_hWnd);
    LONG cxTree = rcTree.right - rcTree.left;
    EXPECT_EQ(0, rcTree.left);
    EXPECT_EQ(0, rcTree.top);
    EXPECT_EQ(rcClient.bottom, rcTree.bottom);
    EXPECT_EQ(cxTree + kGap, rcShell.left);
    EXPECT_EQ(-2, rcShell.top);
    EXPECT_EQ(rcClient.right + 1, rcShell.right);
    EXPECT_EQ(rcClient.bottom + 1, rcShell.bottom);
}

}  // namespace

// ---- Layout and splitter ---------------------------------------------------------------------

TEST_F(ViewTest, PanesFollowEveryResizeAndTheTreeKeepsItsWidth)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    ASSERT_NE(nullptr, pView->m_hwndShellView);
    HWND hFrame = pView->GetParentFrame()->m_hWnd;
    const LONG cxTree = RectIn(pView->m_tree.m_hWnd, pView->m_hWnd).right;
    EXPECT_GT(cxTree, 100) << "the tree starts as wide as the form's control";
    ExpectLayout(pView);
    const SIZE sizes[] = {{640, 480}, {300, 200}, {900, 700}, {cxTree + 20, 120}};
    for (const SIZE& s : sizes) {
        SetWindowPos(hFrame, nullptr, 0, 0, s.cx, s.cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
        Pump();
        EXPECT_EQ(cxTree, RectIn(pView->m_tree.m_hWnd, pView->m_hWnd).right) << s.cx << "x" << s.cy;
        ExpectLayout(pView);
    }
}

TEST_F(ViewTest, ASizeBeforeTheTreeExistsMovesNothing)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    const RECT before = RectIn(pView->m_hwndShellView, pView->m_hWnd);
    // Without its tree the view is as it is while the form is still being made.
    HWND hTree = pView->m_tree.m_hWnd;
    SetWindowLongPtrA(hTree, GWLP_ID, 4242);
    SendMessageA(pView->m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 100));
    const RECT after = RectIn(pView->m_hwndShellView, pView->m_hWnd);
    SetWindowLongPtrA(hTree, GWLP_ID, IDC_TREE);
    EXPECT_EQ(RectText(before), RectText(after));
}

TEST_F(ViewTest, TheSplitterFollowsTheMouseAndStaysWithinReach)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    HWND hView = pView->m_hWnd;
    auto drag = [&](int xFrom, int xTo) {
        SendMessageA(hView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(xFrom, 20));
        EXPECT_EQ(hView, GetCapture());
        SendMessageA(hView, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((xFrom + xTo) / 2, 25));
        SendMessageA(hView, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(xTo), 30));
        SendMessageA(hView, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(xTo), 30));
        EXPECT_NE(hView, GetCapture());
        EXPECT_FALSE(pView->m_bTracking);
        return RectIn(pView->m_tree.m_hWnd, hView).right;
    };
    const LONG cx = ClientRectOf(hView).right;
    LONG gap = RectIn(pView->m_tree.m_hWnd, hView).right + 2;
    EXPECT_EQ(250, drag(gap, 250));
    ExpectLayout(pView);
    EXPECT_EQ(90, drag(252, 90));
    ExpectLayout(pView);
    // Released beyond either edge: the gap stays on screen, where it can be taken again.
    EXPECT_EQ(0, drag(92, -40));
    EXPECT_EQ(cx - kGap, drag(2, cx + 300));
    ExpectLayout(pView);
    EXPECT_EQ(120, drag(cx - 2, 120));
}

TEST_F(ViewTest, TheCursorShowsTheSplitterOnlyBetweenThePanes)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    HWND hView = pView->m_hWnd;
    HCURSOR hSizeWE = LoadCursor(nullptr, IDC_SIZEWE);
    const LONG treeRight = RectIn(pView->m_tree.m_hWnd, hView).right;
    struct { LONG x; bool sizing; } cases[] = {
        {treeRight - 1, false}, {treeRight, false}, {treeRight + 1, true}, {treeRight + 3, true}, {treeRight + 4, false}};
    for (const auto& c : cases) {
        POINT pt = {c.x, 40};
        ClientToScreen(hView, &pt);
        SetCursorPos(pt.x, pt.y);
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        LRESULT r = SendMessageA(hView, WM_SETCURSOR, reinterpret_cast<WPARAM>(hView), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(c.sizing, GetCursor() == hSizeWE && r) << "x = tree right + " << (c.x - treeRight);
    }
    // During a drag the cursor says so wherever the mouse is.
    SendMessageA(hView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(treeRight + 2, 20));
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    SendMessageA(hView, WM_SETCURSOR, reinterpret_cast<WPARAM>(hView), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(hSizeWE, GetCursor());
    SendMessageA(hView, WM_LBUTTONUP, 0, MAKELPARAM(treeRight + 2, 20));
}

TEST_F(ViewTest, TheFolderAppearsOnceInTheCaptionWhateverTheWindowsState)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    HWND hFrame = pView->GetParentFrame()->m_hWnd;
    auto count = [&] {
        const std::string caption = WindowText(MainWnd());
        size_t n = 0;
        for (size_t at = caption.find(m_root.Path()); at != std::string::npos; at = caption.find(m_root.Path(), at + 1)) n++;
        return n;
    };
    for (int show : {SW_MAXIMIZE, SW_RESTORE, SW_MAXIMIZE}) {
        ShowWindow(hFrame, show);
        Pump();
        EXPECT_EQ(1u, count()) << WindowText(MainWnd());
    }
}

// ---- The shell browser ----------------------------------------------------------------------

TEST_F(ViewTest, TheBrowserAnswersOnlyForItselfAndCountsItsReferences)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    IShellBrowser* pBrowser = pView->GetShellBrowser(FALSE);
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, pBrowser->QueryInterface(IID_IOleWindow, &p));
    EXPECT_EQ(nullptr, p);
    IUnknown* pUnk = nullptr;
    IShellBrowser* pSame = nullptr;
    ASSERT_EQ(S_OK, pBrowser->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pUnk)));
    ASSERT_EQ(S_OK, pBrowser->QueryInterface(IID_IShellBrowser, reinterpret_cast<void**>(&pSame)));
    EXPECT_EQ(static_cast<void*>(pBrowser), static_cast<void*>(pUnk));
    EXPECT_EQ(pBrowser, pSame);
    const LONG base = pView->GetRefCount();
    EXPECT_EQ(static_cast<ULONG>(base), pSame->Release() + 1);
    pUnk->Release();
    EXPECT_EQ(base - 2, pView->GetRefCount());
    EXPECT_EQ(reinterpret_cast<LRESULT>(pBrowser), SendMessageA(pView->m_hWnd, CWM_GETISHELLBROWSER, 0, 0));
    EXPECT_EQ(base - 2, pView->GetRefCount()) << "the message adds no reference";
    HWND hWnd = nullptr;
    EXPECT_EQ(S_OK, pBrowser->GetWindow(&hWnd));
    EXPECT_EQ(pView->m_hWnd, hWnd);
}

TEST_F(ViewTest, ControlWindowsAndMessagesReachTheSharedBarsAndTheTree)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    IShellBrowser* pBrowser = pView->GetShellBrowser(FALSE);
    struct { UINT id; HWND expected; HRESULT hr; } cases[] = {
        {FCW_STATUS, Frame()->m_wndStatusBar.m_hWnd, S_OK},
        {FCW_TOOLBAR, Frame()->m_wndToolBar.m_hWnd, S_OK},
        {FCW_TREE, pView->m_tree.m_hWnd, S_OK},
        {FCW_PROGRESS, nullptr, E_NOTIMPL},
        {0, nullptr, E_NOTIMPL}};
    for (const auto& c : cases) {
        HWND h = reinterpret_cast<HWND>(1);
        EXPECT_EQ(c.hr, pBrowser->GetControlWindow(c.id, &h)) << c.id;
        EXPECT_EQ(c.expected, h) << c.id;
    }
    EXPECT_EQ(S_OK, pBrowser->SendControlMsg(FCW_STATUS, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("from the view"), nullptr));
    EXPECT_EQ("from the view", Frame()->m_wndStatusBar.GetPaneText0().str());
    LRESULT r = -7;
    EXPECT_EQ(S_OK, pBrowser->SendControlMsg(FCW_TREE, TVM_GETCOUNT, 0, 0, &r));
    EXPECT_EQ(static_cast<LRESULT>(pView->m_tree.GetCount()), r);
    r = -7;
    EXPECT_EQ(E_NOTIMPL, pBrowser->SendControlMsg(FCW_PROGRESS, WM_NULL, 0, 0, &r));
    EXPECT_EQ(-7, r);
}

// Tooltip requests for toolbar buttons that a shell view added (ids below 0x7FFF) are the
// active window's shell view's to answer; the frame's own buttons keep their tips.
TEST_F(ViewTest, TheFrameHandsTooltipRequestsForShellViewButtonsToTheActiveShellView)
{
    CFolvaneView* pOther = Open(m_root.Sub("alpha"));
    CFolvaneView* pActive = Open(m_root.Sub("beta"));
    ASSERT_TRUE(pOther && pActive);
    ASSERT_EQ(pActive->GetParentFrame(), Frame()->MDIGetActive());
    const HWND hTip = reinterpret_cast<HWND>(Frame()->m_wndToolBar.SendMessage(TB_GETTOOLTIPS));
    struct { const char* what; UINT_PTR id; CFolvaneView* pWatched; size_t nSeen; } cases[] = {
        {"a shell view's button, to the active window's shell view", ID_SHELL_VIEW_LIST, pActive, 1},
        {"not to another window's", ID_SHELL_VIEW_LIST, pOther, 0},
        {"the frame's own button stays the frame's", ID_FILE_NEW, pActive, 0},
    };
    for (const auto& c : cases) {
        NMTTDISPINFOW info = {};
        info.hdr.hwndFrom = hTip;
        info.hdr.idFrom = c.id;
        info.hdr.code = TTN_NEEDTEXTW;
        MessageSpy spy(c.pWatched->m_hwndShellView, WM_NOTIFY);
        SendMessageA(MainWnd(), WM_NOTIFY, c.id, reinterpret_cast<LPARAM>(&info));
        ASSERT_EQ(c.nSeen, MessageSpy::Seen().size()) << c.what;
        if (c.nSeen) {
            EXPECT_EQ(reinterpret_cast<LPARAM>(&info), MessageSpy::Seen()[0].second) << c.what;
        }
    }
}

TEST_F(ViewTest, TheActiveShellViewIsHandedOutWithAReference)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    IShellBrowser* pBrowser = pView->GetShellBrowser(FALSE);
    IShellView* pShellView = nullptr;
    ASSERT_EQ(S_OK, pBrowser->QueryActiveShellView(&pShellView));
    EXPECT_EQ(pView->m_pShellView, pShellView);
    pShellView->Release();
    pView->ReleaseShellView();
    EXPECT_EQ(nullptr, pView->m_hwndShellView);
    pShellView = reinterpret_cast<IShellView*>(1);
    EXPECT_EQ(E_NOTIMPL, pBrowser->QueryActiveShellView(&pShellView));
    EXPECT_EQ(nullptr, pShellView);
    EXPECT_EQ(1, pView->GetRefCount()) << "the released view gave back every reference to its browser";
}

TEST_F(ViewTest, MenusMergedIntoTheSharedMenuLiveAsLongAsIt)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    HMENU hShared = CreateMenu();
    OLEMENUGROUPWIDTHS widths = {};
    ASSERT_EQ(S_OK, pView->GetShellBrowser(FALSE)->InsertMenusSB(hShared, &widths));
    const int n = GetMenuItemCount(hShared);
    ASSERT_GE(n, 4);
    EXPECT_EQ(n, widths.width[0] + widths.width[2] + widths.width[4]);
    EXPECT_EQ(0, widths.width[1] + widths.width[3] + widths.width[5]);
    char text[64] = "";
    GetMenuStringA(hShared, 1, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ("Edit", text);
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_ID;
    ASSERT_TRUE(GetMenuItemInfoA(hShared, 1, TRUE, &mii));
    EXPECT_EQ(static_cast<UINT>(FCIDM_MENU_EDIT), mii.wID);
    HMENU hEdit = GetSubMenu(hShared, 1);
    ASSERT_TRUE(IsMenu(hEdit)) << "the template that held it is gone; the popup is not";
    EXPECT_EQ(static_cast<UINT>(ID_SHELLMENU_DUMMY), GetMenuItemID(hEdit, 0));
    DestroyMenu(hShared);
    EXPECT_FALSE(IsMenu(hEdit)) << "and it goes with the shared menu";
}

// Merging by OLE menu groups: a separator in the source moves on to the next group of its
// side, each item goes to the end of its group, and the widths follow.
TEST(MergeMenus, ItemsJoinTheirGroupsAtTheGroupsEnds)
{
    struct Case {
        const char* source;  // popups by letter, '|' a separator
        int iWidthIndex;
        BOOL bHelp;
        LONG before[6];
        const char* expected;  // the shared menu's popups afterwards
        LONG after[6];
    } cases[] = {
        {"AB|C", 0, FALSE, {0, 0, 0, 0, 0, 0}, "ABC", {2, 0, 1, 0, 0, 0}},
        {"AB|C|D|E", 0, FALSE, {0, 0, 0, 0, 0, 0}, "ABCDE", {2, 0, 1, 0, 2, 0}},
        {"AB|C", 1, FALSE, {1, 0, 1, 0, 1, 0}, "xAByCz", {1, 2, 1, 1, 1, 0}},
        {"AB|CH", 0, TRUE, {0, 1, 0, 0, 0, 0}, "ABxCH", {2, 1, 1, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        // The shared menu starts with one popup per width already counted, named x, y, z...
        HMENU hShared = CreateMenu();
        char name = 'x';
        for (int g = 0; g < 6; g++) {
            for (LONG i = 0; i < c.before[g]; i++) {
                char text[2] = {name++, 0};
                AppendMenuA(hShared, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), text);
            }
        }
        HMENU hSource = CreateMenu();
        for (const char* p = c.source; *p; p++) {
            char text[2] = {*p, 0};
            if (*p == '|') AppendMenuA(hSource, MF_SEPARATOR, 0, nullptr);
            else AppendMenuA(hSource, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), text);
        }
        LONG widths[6];
        std::copy(c.before, c.before + 6, widths);
        HMENU hHelp = AfxMergeMenus(hShared, hSource, widths, c.iWidthIndex, c.bHelp);
        std::string got;
        for (int i = 0; i < GetMenuItemCount(hShared); i++) {
            char text[8] = "";
            GetMenuStringA(hShared, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
            got += text;
        }
        EXPECT_EQ(c.expected, got) << c.source;
        EXPECT_EQ(std::vector<LONG>(c.after, c.after + 6), std::vector<LONG>(widths, widths + 6)) << c.source;
        EXPECT_EQ(c.bHelp, hHelp != nullptr) << c.source;
        while (GetMenuItemCount(hSource) > 0) RemoveMenu(hSource, 0, MF_BYPOSITION);
        DestroyMenu(hSource);
        DestroyMenu(hShared);
    }
}

TEST_F(ViewTest, ToolbarItemsFollowTheApplicationsOwnButtons)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    CToolBar& bar = Frame()->m_wndToolBar;
    auto ids = [&] {
        std::vector<UINT> v;
        for (int i = 0; i < bar.GetCount(); i++) v.push_back(bar.GetItemID(i));
        return v;
    };
    TBBUTTON buttons[2] = {};
    buttons[0].idCommand = ID_SHELL_VIEW_LIST;
    buttons[0].fsState = TBSTATE_ENABLED;
    buttons[1].idCommand = ID_SHELL_VIEW_REPORT;
    buttons[1].fsState = TBSTATE_ENABLED;
    ASSERT_EQ(S_OK, pView->GetShellBrowser(FALSE)->SetToolbarItems(buttons, 2, 0));
    EXPECT_EQ((std::vector<UINT>{ID_FILE_NEW, 0, ID_UP_ONE_LEVEL, 0, ID_SHELL_VIEW_LIST, ID_SHELL_VIEW_REPORT}), ids());
    // Each call starts again: nothing of the last one stays.
    ASSERT_EQ(S_OK, pView->GetShellBrowser(FALSE)->SetToolbarItems(nullptr, 0, 0));
    EXPECT_EQ((std::vector<UINT>{ID_FILE_NEW, 0, ID_UP_ONE_LEVEL, 0}), ids());
    EXPECT_TRUE(bar.IsWindowVisible());
}

// ---- Navigation -----------------------------------------------------------------------------

TEST_F(ViewTest, AFolderOpensSelectedInTheTreeWithItsContentsOnTheRight)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    EXPECT_EQ(m_root.Path(), Shown(pView));
    EXPECT_EQ(m_root.Name(), SelectedText(pView));
    EXPECT_EQ(m_root.Path(), pView->GetDocument()->GetTitle().str()) << "a file-system folder is titled by its path";
    std::vector<std::string> names = ListNames(pView);
    for (const char* name : {"alpha", "beta", "gamma", "one.txt", "two.txt"}) {
        EXPECT_NE(-1, ListIndexOf(pView, name)) << name;
    }
    EXPECT_EQ(5u, names.size());
    EXPECT_EQ(static_cast<UINT>(FVM_DETAILS), ViewMode(pView->m_pShellView)) << "a new window opens in details";
}

TEST_F(ViewTest, TheViewModeTheUserChoseCarriesOverToTheNextFolder)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_VIEW_LIST, 0);
    Pump();
    ASSERT_EQ(static_cast<UINT>(FVM_LIST), ViewMode(pView->m_pShellView));
    IShellView* pBefore = pView->m_pShellView;
    ASSERT_TRUE(Browse(pView, m_root.Sub("beta")));
    EXPECT_NE(pBefore, pView->m_pShellView);
    EXPECT_EQ(m_root.Sub("beta"), Shown(pView));
    EXPECT_EQ(static_cast<UINT>(FVM_LIST), ViewMode(pView->m_pShellView));
    ExpectLayout(pView);
}

namespace {

// The pixels of a window's client area as they stand, without painting anything first.
std::vector<DWORD> ClientPixels(HWND hWnd)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = rc.right;
    bi.bmiHeader.biHeight = -rc.bottom;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC hWindow = GetDC(hWnd);
    HDC hMemory = CreateCompatibleDC(hWindow);
    void* pBits = nullptr;
    HBITMAP hBitmap = CreateDIBSection(hWindow, &bi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
    BitBlt(hMemory, 0, 0, rc.right, rc.bottom, hWindow, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD* p = static_cast<const DWORD*>(pBits);
    std::vector<DWORD> pixels(p, p + static_cast<size_t>(rc.right) * rc.bottom);
    SelectObject(hMemory, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hMemory);
    ReleaseDC(hWnd, hWindow);
    return pixels;
}

}  // namespace

// What a view-mode command leaves on the screen is what a full repaint would draw: no rows
// of the mode before stay beside the items in the new one.
TEST_F(ViewTest, EveryViewModeChangeShowsAtOnce)
{
    m_root.MakeFiles({"f01.txt", "f02.txt", "f03.txt", "f04.txt", "f05.txt", "f06.txt", "f07.txt", "f08.txt"});
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    SetWindowPos(pView->GetParentFrame()->m_hWnd, HWND_TOP, 0, 0, 700, 420, SWP_NOACTIVATE);
    PumpFor(200);
    struct Step {
        UINT nID;
        DWORD style;
    } steps[] = {
        {ID_SHELL_VIEW_LARGE_ICONS, LVS_ICON}, {ID_SHELL_VIEW_SMALL_ICONS, LVS_SMALLICON},
        {ID_SHELL_VIEW_LIST, LVS_LIST},        {ID_SHELL_VIEW_REPORT, LVS_REPORT},
        {ID_SHELL_VIEW_LIST, LVS_LIST},        {ID_SHELL_VIEW_LARGE_ICONS, LVS_ICON},
        {ID_SHELL_VIEW_REPORT, LVS_REPORT},    {ID_SHELL_VIEW_SMALL_ICONS, LVS_SMALLICON},
    };
    for (const Step& s : steps) {
        SendMessageA(MainWnd(), WM_COMMAND, s.nID, 0);
        PumpFor(150);
        HWND hList = ListOf(pView);
        ASSERT_NE(nullptr, hList);
        ASSERT_EQ(s.style, static_cast<DWORD>(GetWindowLongPtrA(hList, GWL_STYLE)) & LVS_TYPEMASK) << s.nID;
        const std::vector<DWORD> shown = ClientPixels(hList);
        RedrawWindow(hList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(150);
        const std::vector<DWORD> repainted = ClientPixels(hList);
        ASSERT_EQ(repainted.size(), shown.size());
        size_t nStale = 0;
        for (size_t i = 0; i < shown.size(); i++) nStale += shown[i] != repainted[i];
        EXPECT_EQ(0u, nStale) << "pixels that a repaint changed after command " << s.nID;
    }
}

TEST_F(ViewTest, BrowseRequestsNavigateOnlyWithTheTwoExactFlagValues)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    IShellBrowser* pBrowser = pView->GetShellBrowser(FALSE);
    CIdListPtr pidlAlpha(PathToIdList(m_root.Sub("alpha").c_str()));
    // alpha relative to the folder shown: the last identifier of its absolute list.
    LPCITEMIDLIST pLast = pidlAlpha.Get();
    for (LPCITEMIDLIST p = pidlAlpha.Get(); p->mkid.cb; p = IdListGetNext(p)) pLast = p;
    CIdListPtr pidlAlphaRel(IdListCopyFirst(nullptr, pLast));
    const UINT refused[] = {SBSP_DEFBROWSER | SBSP_RELATIVE, SBSP_SAMEBROWSER | SBSP_RELATIVE | SBSP_OPENMODE,
                            SBSP_PARENT, SBSP_NEWBROWSER | SBSP_ABSOLUTE, SBSP_SAMEBROWSER | SBSP_ABSOLUTE | SBSP_EXPLOREMODE};
    for (UINT flags : refused) {
        EXPECT_EQ(E_FAIL, pBrowser->BrowseObject(flags & SBSP_RELATIVE ? pidlAlphaRel.Get() : pidlAlpha.Get(), flags))
            << std::hex << flags;
        Pump();
        EXPECT_EQ(m_root.Path(), Shown(pView)) << std::hex << flags;
    }
    EXPECT_EQ(S_OK, pBrowser->BrowseObject(pidlAlphaRel, SBSP_SAMEBROWSER | SBSP_RELATIVE));
    Pump();
    EXPECT_EQ(m_root.Sub("alpha"), Shown(pView));
    EXPECT_EQ(S_OK, pBrowser->BrowseObject(pidlAlpha, SBSP_SAMEBROWSER | SBSP_ABSOLUTE));
    CIdListPtr pidlDeep(PathToIdList(m_root.Sub("alpha\\inner\\deepest").c_str()));
    EXPECT_EQ(S_OK, pBrowser->BrowseObject(pidlDeep, SBSP_SAMEBROWSER | SBSP_ABSOLUTE));
    Pump();
    EXPECT_EQ(m_root.Sub("alpha\\inner\\deepest"), Shown(pView));
    EXPECT_EQ(m_root.Sub("alpha\\inner\\deepest"), pView->GetDocument()->GetTitle().str());
}

TEST_F(ViewTest, UpOneLevelIsOfferedBelowTheTopLevelAndGoesUp)
{
    CFolvaneView* pView = Open(m_root.Sub("alpha\\inner"));
    ASSERT_NE(nullptr, pView);
    EXPECT_TRUE(Enabled(ID_UP_ONE_LEVEL));
    SendMessageA(MainWnd(), WM_COMMAND, ID_UP_ONE_LEVEL, 0);
    Pump();
    EXPECT_EQ(m_root.Sub("alpha"), Shown(pView));
    // On a top-level item there is nowhere to go.
    pView->m_tree.SelectItem(pView->m_tree.GetRootItem());
    Pump();
    EXPECT_FALSE(Enabled(ID_UP_ONE_LEVEL));
    const std::string top = Shown(pView);
    SendMessageA(MainWnd(), WM_COMMAND, ID_UP_ONE_LEVEL, 0);
    Pump();
    EXPECT_EQ(top, Shown(pView));
    // The toolbar button follows at idle time.
    EXPECT_FALSE(SendMessageA(Frame()->m_wndToolBar.m_hWnd, TB_ISBUTTONENABLED, ID_UP_ONE_LEVEL, 0));
}

// How the commands reach a shell view is checked in test_editcommands.
TEST_F(ViewTest, WithoutAShellViewTheShellCommandsStayOnOfferAndDoNothing)
{
    // As on Windows: under Wine stand-ins take most of these commands.
    struct WindowsPath {
        WindowsPath() { SetWineCheckForTesting(WineCheck::Windows); }
        ~WindowsPath() { SetWineCheckForTesting(WineCheck::Detect); }
    } windowsPath;
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    pView->ReleaseShellView();
    for (UINT id : {ID_SHELL_EDIT_UNDO, ID_SHELL_EDIT_COPY, ID_SHELL_VIEW_LIST}) EXPECT_TRUE(Enabled(id));
    SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_VIEW_LIST, 0);
    EXPECT_EQ(nullptr, pView->m_pShellView);
}

TEST_F(ViewTest, TheFirstSelectedItemIsTheFirstTheViewLists)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    CComPtr<IShellFolder> pFolder;
    pFolder.Attach(pView->m_tree.BindItemFolder(nullptr));
    ASSERT_TRUE(pFolder);
    // The shell view keeps its last selection list until the next request or its end, so
    // blocks are counted once it has gone.
    CMallocSpy::CScope scope;
    LPITEMIDLIST pidl = reinterpret_cast<LPITEMIDLIST>(1);
    SelectInList(pView, {});
    EXPECT_TRUE(FAILED(GetFirstSelectedItem(pView->m_pShellView, &pidl)));
    EXPECT_EQ(nullptr, pidl);
    SelectInList(pView, {"two.txt", "beta"});
    ASSERT_EQ(S_OK, GetFirstSelectedItem(pView->m_pShellView, &pidl));
    ASSERT_NE(nullptr, pidl);
    EXPECT_EQ(0, IdListGetNext(pidl)->mkid.cb) << "one level";
    const std::string first = ListIndexOf(pView, "beta") < ListIndexOf(pView, "two.txt") ? "beta" : "two.txt";
    EXPECT_EQ(first, SelectedName(pFolder, pidl));
    CIdListPtr free(pidl);
    free.Free();
    pView->ReleaseShellView();
    EXPECT_EQ(0, scope.Leaked());
}

// Renaming in the tree as the user does: the label editor, a new name, Enter.
void RenameInTree(CFolvaneView* pView, HTREEITEM hItem, const char* name)
{
    HWND hEdit = reinterpret_cast<HWND>(pView->m_tree.SendMessage(TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(hItem)));
    ASSERT_NE(nullptr, hEdit);
    SetWindowTextA(hEdit, name);
    pView->m_tree.SendMessage(TVM_ENDEDITLABELNOW, FALSE, 0);
}

TEST_F(ViewTest, RenamingTheFolderOnShowOrOneAboveItMovesTheWindowWithIt)
{
    CFolvaneView* pView = Open(m_root.Sub("alpha\\inner"));
    ASSERT_NE(nullptr, pView);
    HTREEITEM hInner = pView->m_tree.GetSelectedItem(), hAlpha = pView->m_tree.GetParentItem(hInner);
    struct { HTREEITEM hItem; const char* name; std::string shown; } cases[] = {
        {hInner, "renamed", m_root.Sub("alpha\\renamed")},
        {hAlpha, "alpha2", m_root.Sub("alpha2\\renamed")},
    };
    for (const auto& c : cases) {
        HWND hOld = pView->m_hwndShellView;
        RenameInTree(pView, c.hItem, c.name);
        Pump();
        EXPECT_EQ(c.shown, Shown(pView)) << "the window reopens here";
        EXPECT_EQ(c.shown, pView->GetDocument()->GetTitle().str());
        EXPECT_NE(hOld, pView->m_hwndShellView) << "the right pane shows the folder under its new name";
        EXPECT_NE(-1, ListIndexOf(pView, "deepest"));
    }
    // A folder elsewhere renamed: the window stays as it is.
    HWND hBefore = pView->m_hwndShellView;
    HTREEITEM hBeta = nullptr;
    for (HTREEITEM h = pView->m_tree.GetChildItem(pView->m_tree.GetParentItem(hAlpha)); h; h = pView->m_tree.GetNextSiblingItem(h)) {
        if (pView->m_tree.GetItemText(h) == "beta") hBeta = h;
    }
    ASSERT_NE(nullptr, hBeta);
    RenameInTree(pView, hBeta, "beta2");
    Pump();
    EXPECT_EQ(hBefore, pView->m_hwndShellView);
    EXPECT_EQ(m_root.Sub("alpha2\\renamed"), Shown(pView));
}

namespace {

// A file operation as another program makes it: the shell tells everyone who listens.
bool OperateElsewhere(UINT wFunc, const std::string& from, const std::string& to = std::string())
{
    std::string f = from + '\0', t = to + '\0';
    SHFILEOPSTRUCTA op = {};
    op.wFunc = wFunc;
    op.pFrom = f.c_str();
    op.pTo = to.empty() ? nullptr : t.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

}  // namespace

TEST_F(ViewTest, FoldersMadeRemovedOrRenamedElsewhereShowInTheTree)
{
    CFolvaneView* pView = Open(m_root.Sub("alpha\\inner"));
    ASSERT_TRUE(pView);
    CShellTreeCtrl& tree = pView->m_tree;
    HTREEITEM hInner = tree.GetSelectedItem();
    HTREEITEM hRoot = tree.GetParentItem(tree.GetParentItem(hInner));
    ASSERT_EQ((std::vector<std::string>{"alpha", "beta", "gamma"}), Labels(tree, hRoot));

    struct { const char* what; std::function<bool()> change; std::vector<std::string> after; } steps[] = {
        {"renamed", [&] { return OperateElsewhere(FO_RENAME, m_root.Sub("beta"), m_root.Sub("bravo")); },
         {"alpha", "bravo", "gamma"}},
        {"removed", [&] { return OperateElsewhere(FO_DELETE, m_root.Sub("gamma")); }, {"alpha", "bravo"}},
        {"made",
         [&] {
             // Made by a program that tells the shell, as programs do.
             if (!CreateDirectoryA(m_root.Sub("delta").c_str(), nullptr)) return false;
             SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHA, m_root.Sub("delta").c_str(), nullptr);
             return true;
         },
         {"alpha", "bravo", "delta"}},
        {"moved", [&] { return OperateElsewhere(FO_MOVE, m_root.Sub("bravo"), m_root.Sub("delta")); }, {"alpha", "delta"}},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(step.change()) << step.what;
        PumpUntil([&] { return Labels(tree, hRoot) == step.after; }, 3000);
        EXPECT_EQ(step.after, Labels(tree, hRoot)) << step.what;
        EXPECT_EQ(hInner, tree.GetSelectedItem()) << "the folder on show stays: " << step.what;
    }
    HTREEITEM hDelta = ChildByLabel(tree, hRoot, "delta");
    ASSERT_TRUE(hDelta);
    tree.ExpandWithNotify(hDelta, TVE_EXPAND);
    EXPECT_EQ((std::vector<std::string>{"bravo"}), Labels(tree, hDelta)) << "the moved folder in its new place";

    // The folder on show removed: the window goes up to the nearest folder that is left.
    ASSERT_TRUE(OperateElsewhere(FO_DELETE, m_root.Sub("alpha")));
    PumpUntil([&] { return tree.GetSelectedItem() == hRoot; }, 3000);
    EXPECT_EQ(hRoot, tree.GetSelectedItem());
    EXPECT_EQ(m_root.Path(), Shown(pView));
    EXPECT_EQ((std::vector<std::string>{"delta"}), Labels(tree, hRoot));
}

TEST_F(ViewTest, KeysTypedIntoANameBeingEditedAreTheEditors)
{
    CFolvaneView* pView = Open(m_root.Sub("alpha"));
    ASSERT_NE(nullptr, pView);
    SetForegroundWindow(MainWnd());
    // Text of the user's on the clipboard, to paste into the new name with Ctrl+V.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL hText = GlobalAlloc(GMEM_MOVEABLE, 8);
    lstrcpyA(static_cast<char*>(GlobalLock(hText)), "pasted");
    GlobalUnlock(hText);
    SetClipboardData(CF_TEXT, hText);
    CloseClipboard();
    HWND hEdit = reinterpret_cast<HWND>(
        pView->m_tree.SendMessage(TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(pView->m_tree.GetSelectedItem())));
    ASSERT_NE(nullptr, hEdit);
    SetFocus(hEdit);
    SendMessageA(hEdit, EM_SETSEL, 0, -1);
    PressChord(VK_CONTROL, 'V');
    PressKey(VK_BACK);  // a key the right pane would take for Up One Level
    PumpFor(200);
    char text[64] = "";
    GetWindowTextA(hEdit, text, sizeof(text));
    EXPECT_STREQ("paste", text);
    EXPECT_EQ(m_root.Sub("alpha"), Shown(pView));
    pView->m_tree.SendMessage(TVM_ENDEDITLABELNOW, TRUE, 0);
}

// ---- Focus and keys ------------------------------------------------------------------------------

// The pane with the focus when the window gave up the activation, to another browser window
// (Ctrl+F6 there and back) or to another program, has it again when the user comes back.
TEST_F(ViewTest, EachWindowKeepsThePaneThatHadTheFocusThroughAnActivationElsewhere)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, Open(m_root.Sub("beta")));
    LPCSTR pszClass = CWnd::RegisterWndClass("FolvaneTest:OtherProgram", 0);
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, pszClass, "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 10, 200, 100, nullptr, nullptr));
    HWND hFirst = pView->GetParentFrame()->m_hWnd;
    auto toFirst = [&] {
        SetForegroundWindow(MainWnd());
        static_cast<CMDIChildWnd*>(pView->GetParentFrame())->MDIActivate();
        PumpFor(100);
    };
    const struct { const char* pane; bool bTree; const char* away; bool bOtherProgram; } cases[] = {
        {"tree", true, "another window", false},
        {"list", false, "another window", false},
        {"tree", true, "another program", true},
        {"list", false, "another program", true},
    };
    for (const auto& c : cases) {
        toFirst();
        ::SetFocus(c.bTree ? pView->m_tree.m_hWnd : ListOf(pView));
        Pump();
        if (c.bOtherProgram) {
            SetForegroundWindow(other.m_hWnd);
            PumpFor(150);
            SetForegroundWindow(MainWnd());
        } else {
            PressChord(VK_CONTROL, VK_F6);
            PumpUntil([&] { return BrowserWindows(MainWnd())[0] != hFirst; }, 3000);
            PressChord(VK_CONTROL, VK_F6);
            PumpUntil([&] { return BrowserWindows(MainWnd())[0] == hFirst; }, 3000);
        }
        PumpFor(150);
        const HWND hFocus = GetFocus();
        EXPECT_EQ(c.bTree, hFocus == pView->m_tree.m_hWnd) << c.pane << " after " << c.away;
        EXPECT_EQ(!c.bTree, hFocus == ListOf(pView)) << c.pane << " after " << c.away;
    }
    other.DestroyWindow();
}

// A key pressed in the tree of an open browser window reaches the frame's accelerators.
TEST_F(ViewTest, KeysInTheTreeReachTheFramesAccelerators)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    const struct { const char* key; WORD modifier, vk; } cases[] = {
        {"F5", 0, VK_F5},
        {"Ctrl+N", VK_CONTROL, 'N'},
        {"Ctrl+F4", VK_CONTROL, VK_F4},
    };
    for (const auto& c : cases) {
        const size_t nWindows = BrowserWindows(MainWnd()).size();
        const std::string file = std::string(c.key) + ".txt";
        m_root.MakeFiles({file.c_str()});
        SetForegroundWindow(MainWnd());
        static_cast<CMDIChildWnd*>(pView->GetParentFrame())->MDIActivate();
        pView->m_tree.SetFocus();
        Pump();
        ASSERT_EQ(pView->m_tree.m_hWnd, GetFocus());
        PressChord(c.modifier, c.vk);
        if (c.vk == VK_F5) {
            EXPECT_TRUE(PumpUntil([&] { return ListIndexOf(pView, "F5.txt") >= 0; }, 3000)) << "refreshed";
        } else if (c.vk == 'N') {
            EXPECT_TRUE(PumpUntil([&] { return BrowserWindows(MainWnd()).size() == nWindows + 1; }, 3000)) << "a new window";
            // The new window goes again; the first stays for the next key.
            SendMessageA(BrowserWindows(MainWnd())[0], WM_CLOSE, 0, 0);
            Pump();
        } else {
            EXPECT_TRUE(PumpUntil([&] { return BrowserWindows(MainWnd()).size() == nWindows - 1; }, 3000)) << "closed";
        }
    }
}

// A folder of the test's own that fails where it is told to.
class FailingFolder : public IShellFolder {
public:
    enum Fail { Bind, ViewObject, ViewWindow };
    explicit FailingFolder(Fail fail) : m_fail(fail) {}
    int m_nBinds = 0;
    LONG m_nViewRefs = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IShellFolder)) ? this : nullptr;
        if (*ppv) AddRef();
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_nRef); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--m_nRef); }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, LPITEMIDLIST*, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST, IBindCtx*, REFIID riid, void** ppv) override
    {
        m_nBinds++;
        if (m_fail == Bind) return E_FAIL;
        return QueryInterface(riid, ppv);
    }
    HRESULT STDMETHODCALLTYPE BindToStorage(LPCITEMIDLIST, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, LPCITEMIDLIST, LPCITEMIDLIST) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, LPCITEMIDLIST*, SFGAOF* rgf) override
    {
        *rgf &= SFGAO_FOLDER;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, LPCITEMIDLIST*, REFIID, UINT*, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST, SHGDNF, STRRET*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, LPCITEMIDLIST, LPCWSTR, SHGDNF, LPITEMIDLIST*) override { return E_NOTIMPL; }

    LONG m_nRef = 1;

private:
    Fail m_fail;
};

// A shell view that cannot make its window.
class WindowlessView : public IShellView {
public:
    explicit WindowlessView(LONG* pRefs) : m_pRefs(pRefs) { ++*m_pRefs; }
    virtual ~WindowlessView() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IShellView)) ? this : nullptr;
        if (*ppv) AddRef();
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++*m_pRefs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG n = --*m_pRefs;
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UIActivate(UINT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Refresh() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE CreateViewWindow(IShellView*, LPCFOLDERSETTINGS, IShellBrowser*, RECT*, HWND* phwnd) override
    {
        *phwnd = nullptr;
        return E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE DestroyViewWindow() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetCurrentInfo(LPFOLDERSETTINGS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddPropertySheetPages(DWORD, LPFNSVADDPROPSHEETPAGE, LPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SaveViewState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SelectItem(LPCITEMIDLIST, SVSIF) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemObject(UINT, REFIID, void**) override { return E_NOTIMPL; }

private:
    LONG* m_pRefs;
};

HRESULT FailingFolder::CreateViewObject(HWND, REFIID riid, void** ppv)
{
    *ppv = nullptr;
    if (m_fail == ViewObject || !IsEqualIID(riid, IID_IShellView)) return E_FAIL;
    *ppv = static_cast<IShellView*>(new WindowlessView(&m_nViewRefs));
    return S_OK;
}

TEST_F(ViewTest, AFolderThatCannotBeShownCannotBeSelectedAndTheOldOneStays)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    HTREEITEM hOld = pView->m_tree.GetSelectedItem();
    HWND hOldShellView = pView->m_hwndShellView;
    for (FailingFolder::Fail fail : {FailingFolder::Bind, FailingFolder::ViewObject, FailingFolder::ViewWindow}) {
        FailingFolder folder(fail);
        // An item of the test's own, whose record names its folder (and holds a reference).
        FolderItemDataPtr pData = NewFolderItemData();
        ASSERT_TRUE(pData);
        pData->pFolder = CComPtr<IShellFolder>(&folder);
        pData->pidlRel.Attach(IdListAlloc(2));
        pData->pidlAbs.Attach(IdListAlloc(2));
        TVINSERTSTRUCTA ins = {};
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM;
        ins.item.pszText = const_cast<char*>("cannot be shown");
        ins.item.lParam = reinterpret_cast<LPARAM>(pData.get());
        HTREEITEM hItem = pView->m_tree.InsertItem(&ins);
        EXPECT_FALSE(pView->m_tree.SelectItem(hItem) && pView->m_tree.GetSelectedItem() == hItem);
        Pump();
        EXPECT_EQ(hOld, pView->m_tree.GetSelectedItem()) << fail;
        EXPECT_EQ(hOldShellView, pView->m_hwndShellView) << fail;
        EXPECT_TRUE(IsWindowVisible(hOldShellView)) << fail;
        EXPECT_EQ(m_root.Path(), Shown(pView)) << fail;
        EXPECT_EQ(1, folder.m_nBinds) << fail;
        EXPECT_EQ(0, folder.m_nViewRefs) << "a view without a window is released: " << fail;
        EXPECT_EQ(2, folder.m_nRef) << "the bound folder is released: " << fail;
        pView->m_tree.SetItemData(hItem, 0);
        pView->m_tree.DeleteItem(hItem);
        pData.reset();
        EXPECT_EQ(1, folder.m_nRef) << fail;
    }
}

// ---- Double clicks in the right pane --------------------------------------------------------

class DoubleClickTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        m_pView = Open(m_root.Path());
        ASSERT_NE(nullptr, m_pView);
        // Large enough that the items sit well away from the scroll bar.
        HWND hFrame = m_pView->GetParentFrame()->m_hWnd;
        SetWindowPos(hFrame, HWND_TOP, 0, 0, 700, 420, SWP_NOACTIVATE);
        Pump();
    }
    // The centre of a list item's label, on the screen.
    POINT ItemPoint(const std::string& name)
    {
        HWND hList = ListOf(m_pView);
        RECT rc = {};
        rc.left = LVIR_LABEL;
        SendMessageA(hList, LVM_GETITEMRECT, static_cast<WPARAM>(ListIndexOf(m_pView, name)), reinterpret_cast<LPARAM>(&rc));
        POINT pt = {rc.left + 6, (rc.top + rc.bottom) / 2};
        ClientToScreen(hList, &pt);
        return pt;
    }
    void Press(POINT pt)
    {
        ClickAt(pt);
        Pump();
        PumpFor(30);
    }
    CFolvaneView* m_pView = nullptr;
};

TEST_F(DoubleClickTest, TwoPressesCloseTogetherOpenTheSelectedSubFolder)
{
    POINT pt = ItemPoint("alpha");
    Press(pt);
    Press({pt.x + 2, pt.y + 2});
    ASSERT_TRUE(PumpUntil([&] { return Shown(m_pView) == m_root.Sub("alpha"); }, 3000));
    EXPECT_TRUE(IsChild(m_pView->m_hwndShellView, GetFocus())) << "the keys still reach the right pane";
    EXPECT_EQ("alpha", SelectedText(m_pView));
    HTREEITEM hParent = m_pView->m_tree.GetParentItem(m_pView->m_tree.GetSelectedItem());
    EXPECT_TRUE(m_pView->m_tree.GetItemState(hParent, TVIS_EXPANDED)) << "the parent is expanded in the tree";
    EXPECT_NE(-1, ListIndexOf(m_pView, "inner"));
    LPITEMIDLIST pidl = nullptr;
    EXPECT_TRUE(FAILED(GetFirstSelectedItem(m_pView->m_pShellView, &pidl))) << "nothing selected in the new folder";
    CIdListPtr free(pidl);
}

TEST_F(DoubleClickTest, PressesTooFarApartOrTooSlowOpenNothing)
{
    POINT pt = ItemPoint("beta");
    Press(pt);
    Press({pt.x + 3, pt.y});
    PumpFor(100);
    EXPECT_EQ(m_root.Path(), Shown(m_pView)) << "3 pixels apart";
    Sleep(GetDoubleClickTime() + 100);
    Press(pt);
    Sleep(GetDoubleClickTime() + 100);
    Press(pt);
    PumpFor(100);
    EXPECT_EQ(m_root.Path(), Shown(m_pView)) << "later than the double-click time";
}

TEST_F(DoubleClickTest, APressOnTheScrollBarStripIsNotRecorded)
{
    SelectInList(m_pView, {"gamma"});
    RECT rc;
    GetWindowRect(m_pView->m_hwndShellView, &rc);
    const LONG x0 = rc.right - GetSystemMetrics(SM_CXVSCROLL), y = (rc.top + rc.bottom) / 2;
    auto pressAt = [&](LONG x) {
        SetCursorPos(x, y);
        SendMessageA(m_pView->m_hWnd, WM_PARENTNOTIFY, WM_LBUTTONDOWN, MAKELPARAM(x - rc.left, y - rc.top));
        Pump();
    };
    pressAt(x0);  // just left of the strip: recorded
    pressAt(x0 + 1);  // a second press in the strip: ignored and not recorded
    EXPECT_EQ(m_root.Path(), Shown(m_pView));
    EXPECT_EQ(x0, m_pView->m_ptLastPress.x);
    pressAt(x0);  // measured against the first: a double click on the selected folder
    EXPECT_EQ(m_root.Sub("gamma"), Shown(m_pView));
}

TEST_F(DoubleClickTest, EnterOpensTheSelectedSubFolderAndBackspaceGoesUp)
{
    m_root.MakeFiles({"three.folvanetest"});
    SendMessageA(MainWnd(), WM_COMMAND, ID_REFRESH, 0);
    Pump();
    SetFocus(ListOf(m_pView));
    SelectInList(m_pView, {"alpha"});
    PressKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return Shown(m_pView) == m_root.Sub("alpha"); }, 3000));
    EXPECT_EQ("alpha", SelectedText(m_pView));
    ASSERT_TRUE(IsChild(m_pView->m_hwndShellView, GetFocus()));
    PressKey(VK_BACK);
    ASSERT_TRUE(PumpUntil([&] { return Shown(m_pView) == m_root.Path(); }, 3000));
    ASSERT_TRUE(IsChild(m_pView->m_hwndShellView, GetFocus()));
    // On a file, Enter is the list's own (which opens the file with its verb), and the
    // window stays where it is.
    SelectInList(m_pView, {"three.folvanetest"});
    HWND hList = ListOf(m_pView);
    MessageSpy spy(hList, WM_KEYDOWN);
    PressKey(VK_RETURN);
    PumpFor(200);
    EXPECT_EQ(1, spy.Count(VK_RETURN)) << "the list received Enter";
    EXPECT_EQ(m_root.Path(), Shown(m_pView));
}

// ---- Lifetime ------------------------------------------------------------------------------

namespace {
SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof(pmc);
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof(pmc));
    return pmc.PagefileUsage;
}
}  // namespace

TEST_F(ViewTest, WindowsThatVisitFoldersAndCloseLeaveNothingBehind)
{
    const std::string folders[] = {m_root.Path(), m_root.Sub("alpha"), m_root.Sub("alpha\\inner"),
                                   m_root.Sub("alpha\\inner\\deepest"), m_root.Sub("beta"), m_root.Sub("gamma"),
                                   m_root.Sub("alpha\\inner"), m_root.Path(), m_root.Sub("gamma"), m_root.Sub("alpha")};
    auto round = [&](int nWindows) {
        for (int w = 0; w < nWindows; w++) {
            CFolvaneView* pView = Open(m_root.Path() + "," + std::to_string(10 + w) + ",10,500,400,0");
            ASSERT_NE(nullptr, pView);
            for (const std::string& f : folders) ASSERT_TRUE(Browse(pView, f)) << f;
            EXPECT_EQ(m_root.Sub("alpha"), Shown(pView));
            pView->ReleaseShellView();
            EXPECT_EQ(1, pView->GetRefCount()) << "the shell views gave back their references";
            SendMessageA(pView->GetParentFrame()->m_hWnd, WM_CLOSE, 0, 0);
            Pump();
        }
        EXPECT_EQ(0u, BrowserWindows(MainWnd()).size());
    };
    round(2);  // warm-up: caches of the shell and the controls
    const SIZE_T before = PrivateBytes();
    CMallocSpy::CScope scope;
    round(20);
    PumpFor(50);
    EXPECT_EQ(0, scope.Leaked());
    const SIZE_T after = PrivateBytes();
    EXPECT_LT(after, before + 4 * 1024 * 1024) << "private bytes grew by " << (after - before) / 1024 << " KB";
}
