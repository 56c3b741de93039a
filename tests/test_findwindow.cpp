// The program's own find window, as the running application opens it under Wine (where the
// shell's search fails), driven with real keys and clicks: searches, their sentences, sorting,
// stopping, and the items opened, shown in their folder, copied and dragged.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "find/FindWindow.h"
#include "framework/MDIChildWnd.h"
#include "res/resource.h"
#include "shell/AnsiNames.h"
#include "shell/ClipboardFiles.h"
#include "shell/Wine.h"
#include "support/BrowserWindows.h"
#include "support/BuiltPrograms.h"
#include "support/ModalWatcher.h"
#include "support/RealInput.h"
#include "support/TreeItems.h"
#include "support/ViewTest.h"
#include "view/FolvaneView.h"

namespace {

class FindWindowTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        SetWineCheckForTesting(WineCheck::Wine);
        m_pView = Open(m_root.Path());
        ASSERT_NE(nullptr, m_pView);
    }
    void TearDown() override
    {
        SetWineCheckForTesting(WineCheck::Detect);
        ViewTest::TearDown();
        EXPECT_TRUE(CFindWindow::OpenWindows().empty()) << "a find window outlived the main window";
    }

    // The window the command opens, as the menu's Files or Folders... does.
    CFindWindow* OpenFind()
    {
        const std::vector<CFindWindow*> before = CFindWindow::OpenWindows();
        SendMessageA(MainWnd(), WM_COMMAND, ID_FIND_FILES, 0);
        Pump();
        for (CFindWindow* p : CFindWindow::OpenWindows()) {
            if (std::find(before.begin(), before.end(), p) == before.end()) return p;
        }
        return nullptr;
    }

    static std::string Text(HWND hWnd, int nID)
    {
        char text[MAX_PATH] = "";
        GetDlgItemTextA(hWnd, nID, text, MAX_PATH);
        return text;
    }
    static std::string Status(CFindWindow* p, int nPart)
    {
        char text[512] = "";
        SendMessageA(GetDlgItem(*p, IDC_FIND_STATUS), SB_GETTEXTA, static_cast<WPARAM>(nPart), reinterpret_cast<LPARAM>(text));
        return text;
    }
    static HWND Results(CFindWindow* p) { return GetDlgItem(*p, IDC_FIND_RESULTS); }
    // A column of the results as the list shows it.
    static std::vector<std::string> Column(CFindWindow* p, int nColumn = CFindWindow::kName)
    {
        std::vector<std::string> texts;
        const int n = ListView_GetItemCount(Results(p));
        for (int i = 0; i < n; i++) {
            char text[MAX_PATH] = "";
            ListView_GetItemText(Results(p), i, nColumn, text, MAX_PATH);
            texts.push_back(text);
        }
        return texts;
    }
    static std::vector<std::string> Sorted(std::vector<std::string> v)
    {
        std::sort(v.begin(), v.end());
        return v;
    }
    static int Row(CFindWindow* p, const std::string& name)
    {
        const std::vector<std::string> names = Column(p);
        const auto it = std::find(names.begin(), names.end(), name);
        return it == names.end() ? -1 : static_cast<int>(it - names.begin());
    }
    static POINT ScreenPoint(HWND hWnd, const RECT& rc)
    {
        POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        ClientToScreen(hWnd, &pt);
        return pt;
    }
    static POINT RowPoint(CFindWindow* p, int nRow)
    {
        RECT rc = {};
        ListView_GetItemRect(Results(p), nRow, &rc, LVIR_LABEL);
        return ScreenPoint(Results(p), rc);
    }
    static void Select(CFindWindow* p, const std::vector<std::string>& names)
    {
        ListView_SetItemState(Results(p), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (const std::string& name : names) {
            ListView_SetItemState(Results(p), Row(p, name), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
    }
    // The window on top and active, as a click on it makes it.
    static void Front(CFindWindow* p)
    {
        SetWindowPos(*p, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(*p);
    }
    // A key in a box of the window, as the user presses it there.
    void PressIn(CFindWindow* p, int nID, WORD vk = VK_RETURN)
    {
        Front(p);
        SetFocus(GetDlgItem(*p, nID));
        PressKey(vk);
    }
    // Types into the boxes and presses Enter in the name box; returns once the search has
    // ended (the status line says how).
    void Search(CFindWindow* p, const std::string& names, const std::string& text = "", const std::string& folder = "")
    {
        SetDlgItemTextA(*p, IDC_FIND_NAME, names.c_str());
        SetDlgItemTextA(*p, IDC_FIND_TEXT, text.c_str());
        if (!folder.empty()) SetDlgItemTextA(*p, IDC_FIND_LOOKIN, folder.c_str());
        SendMessageA(GetDlgItem(*p, IDC_FIND_STATUS), SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(""));
        PressIn(p, IDC_FIND_NAME);
        EXPECT_TRUE(PumpUntil([&] { return !p->IsSearching() && !Status(p, 1).empty(); }, 20000)) << names;
    }
    CFolvaneView* ActiveView()
    {
        CMDIChildWnd* pChild = static_cast<CMDIFrameWnd*>(Frame())->MDIGetActive();
        return pChild ? dynamic_cast<CFolvaneView*>(pChild->GetActiveView()) : nullptr;
    }

    CFolvaneView* m_pView = nullptr;
};

}  // namespace

TEST_F(FindWindowTest, UnderWineFindFilesOpensAWindowOfItsOwnPerRequest)
{
    CFindWindow* pFirst = OpenFind();
    CFindWindow* pSecond = OpenFind();
    ASSERT_TRUE(pFirst && pSecond);
    EXPECT_NE(pFirst, pSecond);
    for (CFindWindow* p : {pFirst, pSecond}) {
        EXPECT_TRUE(IsWindowVisible(*p));
        EXPECT_EQ("Find: All Files", WindowText(*p));
        EXPECT_EQ(m_root.Path(), Text(*p, IDC_FIND_LOOKIN)) << "the active browser window's folder";
        EXPECT_TRUE(IsDlgButtonChecked(*p, IDC_FIND_SUBFOLDERS));
    }
    // Escape closes a window that is not searching.
    PressIn(pSecond, IDC_FIND_NAME, VK_ESCAPE);
    Pump();
    EXPECT_EQ(1u, CFindWindow::OpenWindows().size());

    // Without a browser window it looks on the first fixed drive.
    m_pApp->CloseAllDocuments(FALSE);
    Pump();
    CFindWindow* pThird = OpenFind();
    ASSERT_TRUE(pThird);
    EXPECT_EQ(3u, Text(*pThird, IDC_FIND_LOOKIN).size());

    // The search for computers still says that there is none.
    {
        ModalWatcher ok;
        SendMessageA(MainWnd(), WM_COMMAND, ID_FIND_COMPUTER, 0);
        ASSERT_EQ(1u, ok.Count());
        EXPECT_EQ("Finding a computer is not available on this system.", ok.Seen()[0].text);
    }
    // Where the system is taken for Windows, the shell's own search is asked for and its
    // failure reported as such; no window of the program's own stands in.
    if (GetWineVersion()) {
        SetWineCheckForTesting(WineCheck::Windows);
        ModalWatcher ok;
        SendMessageA(MainWnd(), WM_COMMAND, ID_FIND_FILES, 0);
        Pump();
        EXPECT_EQ(1u, ok.Count());
        EXPECT_EQ(2u, CFindWindow::OpenWindows().size());
    }
}

TEST_F(FindWindowTest, ASearchListsWhatItFindsWithFolderSizeTypeDateAndIcon)
{
    m_root.MakeFile("alpha\\needle.txt", std::string(1500, 'x') + " a Needle inside");
    CFindWindow* p = OpenFind();
    ASSERT_TRUE(p);
    Search(p, "*.txt");
    EXPECT_EQ((std::vector<std::string>{"needle.txt", "one.txt", "two.txt", "x.txt"}), Sorted(Column(p)));
    EXPECT_EQ("Find: Files named *.txt", WindowText(*p));
    EXPECT_EQ("4 items found", Status(p, 0));
    EXPECT_EQ("Search done.", Status(p, 1));
    const int nNeedle = Row(p, "needle.txt");
    EXPECT_EQ(m_root.Sub("alpha"), Column(p, CFindWindow::kFolder)[nNeedle]);
    EXPECT_EQ("2 KB", Column(p, CFindWindow::kSize)[nNeedle]);
    EXPECT_FALSE(Column(p, CFindWindow::kType)[nNeedle].empty());
    EXPECT_FALSE(Column(p, CFindWindow::kModified)[nNeedle].empty());

    // Contents: only the file that holds the text. Without a pattern, folders come too,
    // each with the folder icon rather than a file's.
    Search(p, "", "NEEDLE");
    EXPECT_EQ(std::vector<std::string>{"needle.txt"}, Column(p));
    Search(p, "");
    EXPECT_EQ((std::vector<std::string>{"alpha", "beta", "deepest", "gamma", "inner", "needle.txt", "one.txt",
                                        "two.txt", "x.txt"}),
              Sorted(Column(p)));
    auto icon = [&](const std::string& name) {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = Row(p, name);
        ListView_GetItem(Results(p), &item);
        return item.iImage;
    };
    EXPECT_EQ(icon("alpha"), icon("beta"));
    EXPECT_NE(icon("alpha"), icon("one.txt"));
}

TEST_F(FindWindowTest, InputThatCannotBeSearchedForIsSaidAndItsBoxGetsTheFocus)
{
    CFindWindow* p = OpenFind();
    ASSERT_TRUE(p);
    const struct {
        int nID;
        const char* value;
        const char* start;  // of the sentence (ReadFindInput's own tests have them whole)
    } cases[] = {
        {IDC_FIND_NAME, "a|b", "The name \"a|b\" cannot be found"},
        {IDC_FIND_DAYS, "0", "\"0\" is not a number of days."},
        {IDC_FIND_MAXSIZE, "x", "\"x\" is not a size."},
    };
    for (const auto& c : cases) {
        SetDlgItemTextA(*p, c.nID, c.value);
        ModalWatcher ok;
        PressIn(p, IDC_FIND_TEXT);
        ASSERT_TRUE(PumpUntil([&] { return ok.Count() == 1; })) << c.value;
        EXPECT_EQ(0u, ok.Seen()[0].text.find(c.start)) << ok.Seen()[0].text;
        Pump();
        EXPECT_EQ(GetDlgItem(*p, c.nID), GetFocus()) << c.value;
        EXPECT_FALSE(p->IsSearching());
        SetDlgItemTextA(*p, c.nID, "");
    }
    // A folder that is not there is found out by the search itself.
    ModalWatcher ok;
    Search(p, "", "", m_root.Sub("missing"));
    const std::string sentence = "The folder \"" + m_root.Sub("missing") + "\" does not exist.";
    ASSERT_EQ(1u, ok.Count());
    EXPECT_EQ(sentence, ok.Seen()[0].text);
    EXPECT_EQ(sentence, Status(p, 1));
    EXPECT_EQ(0, ListView_GetItemCount(Results(p)));
}

TEST_F(FindWindowTest, AClickOnAColumnHeaderSortsByItAndASecondTurnsTheOrderRound)
{
    m_root.MakeFile("big.dat", std::string(5000, 'b'));
    m_root.MakeFile("mid.dat", std::string(2000, 'm'));
    m_root.MakeFile("small.dat", "s");
    CFindWindow* p = OpenFind();
    ASSERT_TRUE(p);
    Search(p, "*.dat");
    HWND hHeader = ListView_GetHeader(Results(p));
    auto clickHeader = [&](int nColumn) {
        RECT rc = {};
        Header_GetItemRect(hHeader, nColumn, &rc);
        ClickAt(ScreenPoint(hHeader, rc));
        // Two clicks in a row on one place would be a double-click.
        PumpFor(GetDoubleClickTime() + 100);
    };
    clickHeader(CFindWindow::kSize);
    EXPECT_EQ((std::vector<std::string>{"small.dat", "mid.dat", "big.dat"}), Column(p));
    clickHeader(CFindWindow::kSize);
    EXPECT_EQ((std::vector<std::string>{"big.dat", "mid.dat", "small.dat"}), Column(p));
    clickHeader(CFindWindow::kName);
    clickHeader(CFindWindow::kName);
    EXPECT_EQ((std::vector<std::string>{"small.dat", "mid.dat", "big.dat"}), Column(p));
    // The next search's items take their places in that order as they come.
    Search(p, "*");
    std::vector<std::string> names = Column(p);
    std::vector<std::string> expected = names;
    std::sort(expected.begin(), expected.end(),
              [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) > 0; });
    EXPECT_EQ(expected, names);
    EXPECT_EQ(11u, names.size());
}

// A search that reads large files for text: it runs while the window takes keys, and Stop
// ends it at once, keeping what it found.
TEST_F(FindWindowTest, StopEndsASearchAtOnceWhileTheWindowStaysLive)
{
    m_root.MakeFolder("large");
    for (int i = 0; i < 12; i++) {
        const std::string path = m_root.Sub("large\\part" + std::to_string(i) + ".bin");
        m_root.MakeFile("large\\part" + std::to_string(i) + ".bin");
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER at;
        at.QuadPart = 1024LL * 1024 * 1024;  // sparse: the text is at the end of 1 GB of nothing
        SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
        DWORD written = 0;
        WriteFile(h, "needle", 6, &written, nullptr);
        CloseHandle(h);
    }
    CFindWindow* p = OpenFind();
    ASSERT_TRUE(p);
    CheckDlgButton(*p, IDC_FIND_LARGE, BST_CHECKED);
    SetDlgItemTextA(*p, IDC_FIND_TEXT, "needle");
    SetDlgItemTextA(*p, IDC_FIND_LOOKIN, m_root.Sub("large").c_str());
    PressIn(p, IDC_FIND_NAME);
    ASSERT_TRUE(PumpUntil([&] { return p->IsSearching() && ListView_GetItemCount(Results(p)) >= 1; }, 30000));
    EXPECT_EQ(0u, Status(p, 1).find("Searching " + m_root.Sub("large")));
    PressIn(p, IDC_FIND_NAME, 'Q');
    ASSERT_TRUE(PumpUntil([&] { return Text(*p, IDC_FIND_NAME) == "q"; }));
    ASSERT_TRUE(p->IsSearching()) << "the search ended before the test could stop it";

    RECT rc;
    GetClientRect(GetDlgItem(*p, IDC_FIND_STOP), &rc);
    ClickAt(ScreenPoint(GetDlgItem(*p, IDC_FIND_STOP), rc));
    ASSERT_TRUE(PumpUntil([&] { return !p->IsSearching(); }, 2000));
    const int nFound = ListView_GetItemCount(Results(p));
    EXPECT_EQ("Search stopped.", Status(p, 1));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(*p, IDOK)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(*p, IDC_FIND_STOP)));
    PumpFor(500);
    EXPECT_EQ(nFound, ListView_GetItemCount(Results(p))) << "items came after Stop";
    EXPECT_LT(nFound, 12);
}

TEST_F(FindWindowTest, ItemsOpenAsTheShellOpensThemAndShowInTheirFolder)
{
    const std::string record = m_root.Sub("record.txt");
    SetEnvironmentVariableA("FOLVANE_RUN_RECORD", record.c_str());
    ASSERT_TRUE(CopyFileA(FixtureProgram("recorder").c_str(), m_root.Sub("beta\\rec.exe").c_str(), FALSE));
    CFindWindow* p = OpenFind();
    ASSERT_TRUE(p);
    Search(p, "");

    // A folder opens in a browser window of this program.
    const size_t nWindows = BrowserWindows(MainWnd()).size();
    const POINT ptGamma = RowPoint(p, Row(p, "gamma"));
    Front(p);
    ClickAt(ptGamma);
    ClickAt(ptGamma);
    ASSERT_TRUE(PumpUntil([&] { return BrowserWindows(MainWnd()).size() == nWindows + 1; }));
    ASSERT_TRUE(ActiveView());
    EXPECT_EQ(m_root.Sub("gamma"), Shown(ActiveView()));

    // Open Containing Folder, from the results' menu: the folder, with the item selected.
    Select(p, {"x.txt"});
    Front(p);
    // The menu is chosen from once it shows (its loop holds this thread).
    std::thread chooser([] {
        for (int i = 0; i < 500 && !FindWindowA("#32768", nullptr); i++) Sleep(10);
        PressKey('F');
    });
    SendMouse(RowPoint(p, Row(p, "x.txt")), MOUSEEVENTF_RIGHTDOWN);
    SendMouse(RowPoint(p, Row(p, "x.txt")), MOUSEEVENTF_RIGHTUP);
    const bool bShown = PumpUntil([&] { return ActiveView() && Shown(ActiveView()) == m_root.Sub("alpha"); });
    chooser.join();
    ASSERT_TRUE(bShown);
    HWND hList = ListOf(ActiveView());
    const int nSelected = ListView_GetNextItem(hList, -1, LVNI_SELECTED);
    ASSERT_GE(nSelected, 0);
    EXPECT_EQ("x.txt", ListNames(ActiveView())[static_cast<size_t>(nSelected)]);
    EXPECT_EQ(1u, ListView_GetSelectedCount(hList));

    // Enter on a file opens it with its default verb, in its folder.
    Select(p, {"rec.exe"});
    PressIn(p, IDC_FIND_RESULTS);
    ASSERT_TRUE(PumpUntil([&] { return Contents(record).find("end") != std::string::npos; }, 10000));
    EXPECT_NE(std::string::npos, Contents(record).find("cwd=" + m_root.Sub("beta"))) << Contents(record);
    SetEnvironmentVariableA("FOLVANE_RUN_RECORD", nullptr);
}

TEST_F(FindWindowTest, CtrlCAndADragHandTheItemsOnAsTheShellsOwn)
{
    CFindWindow* p = OpenFind();
    ASSERT_TRUE(p);
    Search(p, "*.txt");
    Select(p, {"one.txt", "x.txt"});
    Front(p);
    SetFocus(Results(p));
    PressChord(VK_CONTROL, 'C');
    Pump();
    CClipboardFiles clip;
    ASSERT_TRUE(clip.Read());
    std::vector<std::wstring> files = clip.GetFiles();
    std::sort(files.begin(), files.end());
    EXPECT_EQ((std::vector<std::wstring>{Widen(m_root.Sub("alpha\\x.txt")), Widen(m_root.Sub("one.txt"))}), files);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), clip.GetEffect());
    EXPECT_TRUE(IsClipboardFormatAvailable(RegisterClipboardFormatA(CFSTR_SHELLIDLIST)));

    // Dragged onto a folder of the tree: the folder's drop moves it there (the same drive),
    // and the list lets it go.
    SetWindowPos(MainWnd(), nullptr, 0, 0, 620, 700, SWP_NOZORDER);
    SetWindowPos(*p, nullptr, 640, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpFor(100);
    CShellTreeCtrl& tree = m_pView->m_tree;
    tree.Expand(tree.GetSelectedItem(), TVE_EXPAND);
    HTREEITEM hGamma = ChildByLabel(tree, tree.GetSelectedItem(), "gamma");
    ASSERT_TRUE(hGamma);
    tree.EnsureVisible(hGamma);
    RECT rcGamma = {};
    tree.GetItemRect(hGamma, &rcGamma, TRUE);
    const POINT ptTarget = ScreenPoint(tree.m_hWnd, rcGamma);
    Select(p, {"one.txt"});
    const POINT ptFrom = RowPoint(p, Row(p, "one.txt"));
    Front(p);
    TreeDropSpot target = {tree.m_hWnd, hGamma};
    std::thread dragger(DragWithMouse, ptFrom, ptTarget, TreeShowsDropTarget, &target);
    const bool bMoved = PumpUntil([&] { return Exists(m_root.Sub("gamma\\one.txt")); }, 15000);
    dragger.join();
    ASSERT_TRUE(bMoved);
    EXPECT_FALSE(Exists(m_root.Sub("one.txt")));
    EXPECT_TRUE(PumpUntil([&] { return Row(p, "one.txt") < 0; }));
    EXPECT_EQ((std::vector<std::string>{"two.txt", "x.txt"}), Sorted(Column(p)));
}

// Names outside the code page: a window opened on such a folder looks in it by its own name,
// and a name typed into the name box is searched for as it is typed (read through the code page
// it would be "??", which matches any two characters).
TEST_F(FindWindowTest, NamesOutsideTheCodePageAreShownAndSearchedForAsTheyAre)
{
    const std::wstring folder = m_root.WideSub(L"\u0141\u00f3d\u017a");
    const std::wstring wanted = L"\u65e5\u672c.txt";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    for (const std::wstring& name : {wanted, std::wstring(L"ab.txt")}) {
        HANDLE h = CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        CloseHandle(h);
    }
    ASSERT_NE(nullptr, Open(AnsiPathFor(folder)));  // as the window's folder is recorded
    CFindWindow* p = OpenFind();
    ASSERT_TRUE(p);
    auto wideText = [&](int nID) {
        wchar_t text[MAX_PATH] = L"";
        GetWindowTextW(GetDlgItem(*p, nID), text, MAX_PATH);
        return std::wstring(text);
    };
    EXPECT_EQ(folder, wideText(IDC_FIND_LOOKIN));
    // Typed, as a keyboard that has these letters gives them.
    Front(p);
    ::SetFocus(GetDlgItem(*p, IDC_FIND_NAME));
    SendDlgItemMessageA(*p, IDC_FIND_NAME, EM_SETSEL, 0, -1);
    TypeText(wanted.c_str());
    PumpFor(100);
    EXPECT_EQ(wanted, wideText(IDC_FIND_NAME));
    SendMessageA(GetDlgItem(*p, IDC_FIND_STATUS), SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(""));
    PressIn(p, IDC_FIND_NAME);
    EXPECT_TRUE(PumpUntil([&] { return !p->IsSearching() && !Status(p, 1).empty(); }, 20000));
    ASSERT_EQ(1, ListView_GetItemCount(Results(p))) << "the name matched more than itself";
    wchar_t name[MAX_PATH] = L"";
    LVITEMW item = {};
    item.iSubItem = CFindWindow::kName;
    item.pszText = name;
    item.cchTextMax = MAX_PATH;
    SendMessageW(Results(p), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(wanted, std::wstring(name));
}
