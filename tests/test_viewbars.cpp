// What the frame shows of the active browser window's shell view: under Wine, whose view
// supplies neither, the view's toolbar buttons (images, order, commands, state, tips) and its
// status (objects, selection and size, free space) supplied by the program; the View menu's
// mark on the view mode; and the folder left by Up One Level selected in the right pane.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "shell/Wine.h"
#include "support/ModalWatcher.h"
#include "support/RealInput.h"
#include "support/ViewTest.h"
#include "view/FolvaneView.h"

namespace {

const UINT kViewButtons[] = {ID_SHELL_EDIT_CUT,         ID_SHELL_EDIT_COPY,        ID_SHELL_EDIT_PASTE, 0,
                             ID_SHELL_EDIT_UNDO,        0,                         ID_SHELL_FILE_DELETE,
                             ID_SHELL_FILE_PROPERTIES,  0,                         ID_SHELL_VIEW_LARGE_ICONS,
                             ID_SHELL_VIEW_SMALL_ICONS, ID_SHELL_VIEW_LIST,        ID_SHELL_VIEW_REPORT};
const size_t kViewButtonCount = sizeof(kViewButtons) / sizeof(kViewButtons[0]);

std::string ByteSize(ULONGLONG cb)
{
    char sz[64] = "";
    StrFormatByteSize64A(static_cast<LONGLONG>(cb), sz, sizeof(sz));
    return sz;
}

class ViewBarsTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        m_root.MakeFile("a.bin", std::string(1000, 'a'));
        m_root.MakeFile("b.bin", std::string(2500, 'b'));
    }
    void TearDown() override
    {
        SetWineCheckForTesting(WineCheck::Detect);
        ViewTest::TearDown();
    }
    CToolBar& Bar() { return Frame()->m_wndToolBar; }
    std::vector<UINT> ButtonIds()
    {
        std::vector<UINT> ids;
        for (int i = 0; i < Bar().GetCount(); i++) ids.push_back(Bar().GetItemID(i));
        return ids;
    }
    // The buttons after the program's own (New ... Up One Level) and the separator after them.
    std::vector<UINT> AddedButtons()
    {
        std::vector<UINT> ids = ButtonIds();
        const int iUp = Bar().CommandToIndex(ID_UP_ONE_LEVEL);
        return iUp < 0 ? ids : std::vector<UINT>(ids.begin() + iUp + 2, ids.end());
    }
    void Idle()
    {
        for (LONG n = 0; n < 3; n++) m_pApp->OnIdle(n);
    }
    BOOL ButtonEnabled(UINT nID)
    {
        Idle();
        return static_cast<BOOL>(Bar().SendMessage(TB_ISBUTTONENABLED, nID, 0));
    }
    std::string Status() { return Frame()->m_wndStatusBar.GetPaneText0().str(); }
    // The status once the posted change has been taken up.
    std::string StatusAfterChange()
    {
        PumpFor(100);
        return Status();
    }
    std::string TipOf(UINT nID)
    {
        NMTTDISPINFOW info = {};
        info.hdr.hwndFrom = reinterpret_cast<HWND>(Bar().SendMessage(TB_GETTOOLTIPS));
        info.hdr.idFrom = nID;
        info.hdr.code = TTN_NEEDTEXTW;
        info.lpszText = info.szText;
        SendMessageA(MainWnd(), WM_NOTIFY, nID, reinterpret_cast<LPARAM>(&info));
        char text[100] = "";
        if (info.lpszText && !IS_INTRESOURCE(info.lpszText))
            WideCharToMultiByte(CP_ACP, 0, info.lpszText, -1, text, sizeof(text), nullptr, nullptr);
        return text;
    }
    UINT ViewMode(CFolvaneView* pView)
    {
        FOLDERSETTINGS fs = {};
        pView->m_pShellView->GetCurrentInfo(&fs);
        return fs.ViewMode;
    }
    std::vector<std::string> SelectedNames(CFolvaneView* pView)
    {
        std::vector<std::string> names = ListNames(pView), selected;
        for (size_t i = 0; i < names.size(); i++) {
            if (SendMessageA(ListOf(pView), LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED) selected.push_back(names[i]);
        }
        return selected;
    }
    void Click(UINT nID)
    {
        SendMessageA(MainWnd(), WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(Bar().m_hWnd));
        Pump();
    }
};

}  // namespace

// ---- Toolbar -----------------------------------------------------------------------------------

TEST_F(ViewBarsTest, UnderWineTheViewsButtonsFollowTheProgramsOwnWithImagesAndGoWithTheLastWindow)
{
    CFolvaneView* pFirst = Open(m_root.Path());
    ASSERT_TRUE(pFirst);
    EXPECT_EQ(std::vector<UINT>(kViewButtons, kViewButtons + kViewButtonCount), AddedButtons());
    // Each button has an image of its own from the system's standard sets.
    HIMAGELIST himl = reinterpret_cast<HIMAGELIST>(Bar().SendMessage(TB_GETIMAGELIST));
    std::vector<int> images;
    for (UINT nID : kViewButtons) {
        if (!nID) continue;
        TBBUTTONINFOA bi = {};
        bi.cbSize = sizeof(bi);
        bi.dwMask = TBIF_IMAGE;
        Bar().SendMessage(TB_GETBUTTONINFOA, nID, reinterpret_cast<LPARAM>(&bi));
        EXPECT_LT(bi.iImage, ImageList_GetImageCount(himl)) << nID;
        for (int other : images) EXPECT_NE(other, bi.iImage) << nID;
        images.push_back(bi.iImage);
    }
    // They stay while one window follows another, and go with the last.
    CFolvaneView* pSecond = Open(m_root.Sub("beta"));
    ASSERT_TRUE(pSecond && pSecond != pFirst);
    pSecond->GetParentFrame()->SendMessage(WM_CLOSE);
    PumpFor(100);
    EXPECT_EQ(kViewButtonCount, AddedButtons().size());
    pFirst->GetParentFrame()->SendMessage(WM_CLOSE);
    PumpFor(100);
    EXPECT_EQ(-1, Bar().CommandToIndex(ID_SHELL_EDIT_CUT));
    EXPECT_EQ(static_cast<int>(ButtonIds().size()) - 1, Bar().CommandToIndex(ID_UP_ONE_LEVEL)) << "the program's own alone";
}

TEST_F(ViewBarsTest, OnWindowsTheProgramAddsNoButtonsAndWritesNoStatus)
{
    SetWineCheckForTesting(WineCheck::Windows);
    ASSERT_TRUE(Open(m_root.Path()));
    PumpFor(100);
    EXPECT_EQ(-1, Bar().CommandToIndex(ID_SHELL_EDIT_CUT));
    EXPECT_EQ("Ready", Status());
}

// Each button sends its menu item's command: the view modes change the mode and mark it on the
// toolbar and in the View menu with a bullet.
TEST_F(ViewBarsTest, TheViewModeButtonsChangeTheModeAndTheMenuAndToolbarMarkIt)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_TRUE(pView);
    HMENU hViewMenu = GetSubMenu(GetMenu(MainWnd()), 2);
    const struct { UINT nID; UINT mode; } cases[] = {{ID_SHELL_VIEW_LARGE_ICONS, FVM_ICON},
                                                     {ID_SHELL_VIEW_SMALL_ICONS, FVM_SMALLICON},
                                                     {ID_SHELL_VIEW_LIST, FVM_LIST},
                                                     {ID_SHELL_VIEW_REPORT, FVM_DETAILS}};
    for (const auto& c : cases) {
        Click(c.nID);
        EXPECT_EQ(c.mode, ViewMode(pView)) << c.nID;
        Idle();
        for (const auto& other : cases) {
            const bool bOn = other.nID == c.nID;
            EXPECT_EQ(bOn, Bar().SendMessage(TB_ISBUTTONCHECKED, other.nID, 0) != 0) << c.nID << " " << other.nID;
            EXPECT_EQ(bOn, (MenuState(hViewMenu, other.nID) & MF_CHECKED) != 0) << c.nID << " " << other.nID;
        }
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(hViewMenu, c.nID, FALSE, &mii);
        EXPECT_TRUE(mii.fType & MFT_RADIOCHECK);
    }
    // A real click on a button does the same.
    RECT rc;
    Bar().SendMessage(TB_GETRECT, ID_SHELL_VIEW_LIST, reinterpret_cast<LPARAM>(&rc));
    MapWindowPoints(Bar().m_hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    ClickAt({(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
    EXPECT_TRUE(PumpUntil([&] { return ViewMode(pView) == FVM_LIST; }, 3000));
}

// Grey where the command cannot act: Undo always (its prompt says why), Cut, Copy, Delete and
// Properties with nothing selected in the list; the tree, focused, has its folder for the first three.
TEST_F(ViewBarsTest, ButtonsAreGreyWhereTheirCommandCannotActAndTipsAndPromptsNameThem)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_TRUE(pView);
    const struct { UINT nID; bool bNone, bSelected, bTree; const char* tip; } cases[] = {
        {ID_SHELL_EDIT_CUT, false, true, true, "Cut"},
        {ID_SHELL_EDIT_COPY, false, true, true, "Copy"},
        {ID_SHELL_EDIT_PASTE, true, true, true, "Paste"},
        {ID_SHELL_EDIT_UNDO, false, false, false, "Undo"},
        {ID_SHELL_FILE_DELETE, false, true, true, "Delete"},
        {ID_SHELL_FILE_PROPERTIES, false, true, false, "Properties"},
        {ID_SHELL_VIEW_LARGE_ICONS, true, true, true, "Large Icons"},
        {ID_SHELL_VIEW_REPORT, true, true, true, "Details"},
    };
    SetFocus(ListOf(pView));
    SelectInList(pView, {});
    for (const auto& c : cases) EXPECT_EQ(c.bNone, ButtonEnabled(c.nID) != FALSE) << "none selected: " << c.nID;
    SelectInList(pView, {"a.bin"});
    for (const auto& c : cases) EXPECT_EQ(c.bSelected, ButtonEnabled(c.nID) != FALSE) << "a.bin selected: " << c.nID;
    SelectInList(pView, {});
    SetFocus(pView->m_tree.m_hWnd);
    for (const auto& c : cases) EXPECT_EQ(c.bTree, ButtonEnabled(c.nID) != FALSE) << "tree focused: " << c.nID;
    for (const auto& c : cases) EXPECT_EQ(c.tip, TipOf(c.nID));
    // The prompt of a button the mouse is over, Undo's with its reason.
    RECT rc;
    Bar().SendMessage(TB_GETRECT, ID_SHELL_EDIT_UNDO, reinterpret_cast<LPARAM>(&rc));
    Bar().SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
    EXPECT_EQ("Undo is not available on this system: its shell keeps no record of file operations.", Status());
    Bar().SendMessage(TB_GETRECT, ID_SHELL_FILE_DELETE, reinterpret_cast<LPARAM>(&rc));
    Bar().SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
    EXPECT_EQ("Deletes the selected items.", Status());
}

TEST_F(ViewBarsTest, CopyCutDeleteAndPropertiesButtonsActOnTheListsSelection)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_TRUE(pView);
    SetFocus(ListOf(pView));
    const UINT cfEffect = RegisterClipboardFormatA("Preferred DropEffect");
    const struct { UINT nID; DWORD effect; } cases[] = {{ID_SHELL_EDIT_COPY, DROPEFFECT_COPY}, {ID_SHELL_EDIT_CUT, DROPEFFECT_MOVE}};
    for (const auto& c : cases) {
        OleSetClipboard(nullptr);
        SelectInList(pView, {"a.bin"});
        Click(c.nID);
        IDataObject* pData = nullptr;
        ASSERT_EQ(S_OK, OleGetClipboard(&pData)) << c.nID;
        FORMATETC fmt = {static_cast<CLIPFORMAT>(cfEffect), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium = {};
        ASSERT_EQ(S_OK, pData->GetData(&fmt, &medium)) << c.nID;
        EXPECT_EQ(c.effect, *static_cast<DWORD*>(GlobalLock(medium.hGlobal))) << c.nID;
        GlobalUnlock(medium.hGlobal);
        ReleaseStgMedium(&medium);
        pData->Release();
    }
    OleSetClipboard(nullptr);
    SelectInList(pView, {"b.bin"});
    ModalWatcher yes(IDYES);
    Click(ID_SHELL_FILE_DELETE);
    EXPECT_TRUE(PumpUntil([&] { return !Exists(m_root.Sub("b.bin")); }, 3000));
    EXPECT_TRUE(Exists(m_root.Sub("a.bin")));
    // Properties shows the selection's property sheet, modal.
    SelectInList(pView, {"a.bin"});
    ModalWatcher cancel(IDCANCEL);
    Click(ID_SHELL_FILE_PROPERTIES);
    EXPECT_TRUE(PumpUntil([&] { return cancel.Count() > 0; }, 3000));
    if (cancel.Count()) {
        EXPECT_NE(std::string::npos, cancel.Seen()[0].caption.find("a.bin")) << cancel.Seen()[0].caption;
    }
}

// ---- Status bar --------------------------------------------------------------------------------

TEST_F(ViewBarsTest, TheStatusCountsObjectsAndTheSelectionsSizeAndFollowsEveryChange)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_TRUE(pView);
    // Listed: alpha, beta, gamma, one.txt, two.txt, a.bin (1000 bytes), b.bin (2500).
    const struct { std::vector<std::string> selected; std::string count; ULONGLONG size; } cases[] = {
        {{}, "7 object(s)", 3500},
        {{"a.bin"}, "1 object(s) selected", 1000},
        {{"a.bin", "b.bin", "alpha"}, "3 object(s) selected", 3500},
        {{"beta"}, "1 object(s) selected", 0},
    };
    for (const auto& c : cases) {
        SelectInList(pView, c.selected);
        const std::string status = StatusAfterChange();
        EXPECT_EQ(c.count + "\t\t" + ByteSize(c.size) + "    Disk free space: ",
                  status.substr(0, status.find("space: ") + 7));
        EXPECT_GT(status.size(), status.find("space: ") + 7) << "the free space follows";
    }
    // A real click selects, and the status follows.
    RECT rc = {};
    rc.left = LVIR_LABEL;
    SendMessageA(ListOf(pView), LVM_GETITEMRECT, ListIndexOf(pView, "b.bin"), reinterpret_cast<LPARAM>(&rc));
    MapWindowPoints(ListOf(pView), nullptr, reinterpret_cast<POINT*>(&rc), 2);
    ClickAt({(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
    EXPECT_TRUE(PumpUntil([&] { return Status().rfind("1 object(s) selected\t\t" + ByteSize(2500), 0) == 0; }, 3000))
        << Status();
    // Another folder, and files made there that a refresh brings in.
    ASSERT_TRUE(Browse(pView, m_root.Sub("gamma")));
    EXPECT_EQ(0u, StatusAfterChange().rfind("0 object(s)\t\t" + ByteSize(0), 0)) << Status();
    m_root.MakeFile("gamma\\c.bin", std::string(700, 'c'));
    SendMessageA(MainWnd(), WM_COMMAND, ID_REFRESH, 0);
    EXPECT_TRUE(PumpUntil([&] { return Status().rfind("1 object(s)\t\t" + ByteSize(700), 0) == 0; }, 3000)) << Status();
}

TEST_F(ViewBarsTest, MenuPromptsReplaceTheStatusAndReadyComesBackOnlyWithNoWindowActive)
{
    CFolvaneView* pFirst = Open(m_root.Path());
    CFolvaneView* pSecond = Open(m_root.Sub("alpha"));
    ASSERT_TRUE(pFirst && pSecond);
    EXPECT_EQ(0u, StatusAfterChange().rfind("2 object(s)\t\t", 0)) << Status();
    SendMessageA(MainWnd(), WM_MENUSELECT, MAKEWPARAM(ID_SHELL_VIEW_LIST, MF_STRING), reinterpret_cast<LPARAM>(GetMenu(MainWnd())));
    EXPECT_EQ("Displays items in a list.", Status());
    SendMessageA(MainWnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(0u, Status().rfind("2 object(s)\t\t", 0)) << Status();
    // Each window's own when it is active.
    Frame()->MDIActivate(pFirst->GetParentFrame());
    EXPECT_EQ(0u, StatusAfterChange().rfind("7 object(s)\t\t", 0)) << Status();
    pFirst->GetParentFrame()->SendMessage(WM_CLOSE);
    EXPECT_EQ(0u, StatusAfterChange().rfind("2 object(s)\t\t", 0)) << Status();
    pSecond->GetParentFrame()->SendMessage(WM_CLOSE);
    EXPECT_EQ("Ready", StatusAfterChange());
}

// ---- Up One Level ------------------------------------------------------------------------------

TEST_F(ViewBarsTest, UpOneLevelSelectsTheFolderItCameFromInTheRightPane)
{
    CFolvaneView* pView = Open(m_root.Sub("alpha\\inner\\deepest"));
    ASSERT_TRUE(pView);
    const struct { const char* shown; const char* selected; } steps[] = {{"alpha\\inner", "deepest"},
                                                                          {"alpha", "inner"}};
    for (const auto& s : steps) {
        SendMessageA(MainWnd(), WM_COMMAND, ID_UP_ONE_LEVEL, 0);
        Pump();
        EXPECT_EQ(m_root.Sub(s.shown), Shown(pView));
        EXPECT_EQ(std::vector<std::string>{s.selected}, SelectedNames(pView)) << s.shown;
    }
    EXPECT_EQ(0u, StatusAfterChange().rfind("1 object(s) selected", 0)) << Status();
}
