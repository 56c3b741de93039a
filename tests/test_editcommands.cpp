// The Edit and Arrange commands of a browser window and their keys, in the running application
// on folders made by the test, checked by what they do: the list's selection and order, the
// clipboard's formats and drop effect, the files on disk. Wine's hosted view does none of these
// itself (Delete aside); with the Wine check forced off they go to the shell view as they are.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/resource.h"
#include "shell/ClipboardFiles.h"
#include "shell/Wine.h"
#include "support/DropTestUtil.h"
#include "support/MallocSpy.h"
#include "support/MessageSpy.h"
#include "support/ModalWatcher.h"
#include "support/RealInput.h"
#include "support/TestTrash.h"
#include "support/TreeItems.h"
#include "support/ViewTest.h"
#include "view/FolvaneView.h"

namespace {

// ---- Another program that puts files on the clipboard ------------------------------------------
//   test_editcommands.exe --put-files <ready event> <done event> <wide 0|1> <effect> <file>...
// Started by a test as a second process: it offers the files as CF_HDROP, sets the ready event
// and holds the clipboard's owner window until the done event (or a minute has passed).
const wchar_t kHelperSwitch[] = L"--put-files";

// A copy of the bytes in movable global memory, as the clipboard takes them.
HGLOBAL GlobalCopy(const void* p, size_t cb)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, cb);
    memcpy(GlobalLock(h), p, cb);
    GlobalUnlock(h);
    return h;
}
HGLOBAL GlobalCopy(const std::string& bytes)
{
    return GlobalCopy(bytes.data(), bytes.size());
}

int RunAsClipboardHelperIfAsked()
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 6 || lstrcmpW(argv[1], kHelperSwitch) != 0) {
        if (argv) LocalFree(argv);
        return 0;
    }
    std::vector<std::wstring> files(argv + 6, argv + argc);
    HWND hOwner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const DWORD dwEffect = static_cast<DWORD>(_wtoi(argv[5]));
    const bool bWide = argv[4][0] == L'1';
    if (OpenClipboard(hOwner)) {
        EmptyClipboard();
        SetClipboardData(CF_HDROP, GlobalCopy(DropFilesBlock(DropFilesList(files, bWide), bWide)));
        SetClipboardData(RegisterClipboardFormatA(CFSTR_PREFERREDDROPEFFECT), GlobalCopy(&dwEffect, sizeof(dwEffect)));
        CloseClipboard();
    }
    HANDLE hReady = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]), hDone = OpenEventW(SYNCHRONIZE, FALSE, argv[3]);
    if (hReady) SetEvent(hReady);
    if (hDone) WaitForSingleObject(hDone, 60000);
    ExitProcess(0);
    return 1;
}

// Runs the helper and keeps it alive (its window owns the clipboard) until the object goes.
class OtherProgramsClipboard {
public:
    OtherProgramsClipboard(const std::vector<std::string>& files, bool bWide, DWORD dwEffect)
    {
        const std::string tag = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
        const std::string ready = "folvane-clip-ready-" + tag, done = "folvane-clip-done-" + tag;
        m_hReady = CreateEventA(nullptr, TRUE, FALSE, ready.c_str());
        m_hDone = CreateEventA(nullptr, TRUE, FALSE, done.c_str());
        char exe[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        std::string cmd = "\"" + std::string(exe) + "\" --put-files " + ready + " " + done + " " + (bWide ? "1 " : "0 ") +
                          std::to_string(dwEffect);
        for (const std::string& f : files) cmd += " \"" + f + "\"";
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        m_bStarted = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi) &&
                     WaitForSingleObject(m_hReady, 20000) == WAIT_OBJECT_0;
    }
    ~OtherProgramsClipboard()
    {
        SetEvent(m_hDone);
        if (m_pi.hProcess) {
            WaitForSingleObject(m_pi.hProcess, 10000);
            CloseHandle(m_pi.hProcess);
            CloseHandle(m_pi.hThread);
        }
        CloseHandle(m_hReady);
        CloseHandle(m_hDone);
    }
    bool m_bStarted = false;

private:
    HANDLE m_hReady = nullptr, m_hDone = nullptr;
    PROCESS_INFORMATION m_pi = {};
};

}  // namespace

// Before the tests start: a helper run does its work and ends here.
int g_nClipboardHelper = RunAsClipboardHelperIfAsked();

namespace {

// ---- The clipboard and the disk as the tests read them -------------------------------------------

const DWORD kNoEffect = 0xFFFFFFFF;

struct Clipboard {
    std::vector<std::string> files;  // CF_HDROP, sorted
    bool bIdList = false;            // "Shell IDList Array"
    DWORD dwEffect = kNoEffect;      // "Preferred DropEffect"
    std::string text;                // CF_TEXT
};

Clipboard ReadClipboard()
{
    Clipboard c;
    if (!OpenClipboard(nullptr)) return c;
    if (HANDLE h = GetClipboardData(CF_HDROP)) {
        HDROP hDrop = static_cast<HDROP>(h);
        for (UINT i = 0, n = DragQueryFileA(hDrop, 0xFFFFFFFF, nullptr, 0); i < n; i++) {
            char name[MAX_PATH] = "";
            DragQueryFileA(hDrop, i, name, MAX_PATH);
            c.files.push_back(name);
        }
        std::sort(c.files.begin(), c.files.end());
    }
    c.bIdList = IsClipboardFormatAvailable(RegisterClipboardFormatA(CFSTR_SHELLIDLIST)) != 0;
    if (HANDLE h = GetClipboardData(RegisterClipboardFormatA(CFSTR_PREFERREDDROPEFFECT))) {
        c.dwEffect = *static_cast<const DWORD*>(GlobalLock(h));
        GlobalUnlock(h);
    }
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
        c.text = static_cast<const char*>(GlobalLock(h));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return c;
}

// Puts the bytes on the clipboard in one format, in place of what it held.
void PutOnClipboard(UINT cf, const std::string& bytes)
{
    OpenClipboard(nullptr);
    EmptyClipboard();
    SetClipboardData(cf, GlobalCopy(bytes));
    CloseClipboard();
}
void PutTextOnClipboard(const std::string& text)
{
    PutOnClipboard(CF_TEXT, std::string(text.c_str(), text.size() + 1));
}

// How a test issues a command: from the menu (the frame's WM_COMMAND), or by keys in the list.
struct Trigger {
    const char* name;
    UINT nID;          // menu command, or 0
    WORD modifier, vk;  // keys, when nID is 0
};

class EditCommandsTest : public ViewTest {
protected:
    static void SetUpTestSuite()
    {
        static ScratchFolder s_xdg("edit-xdg");
        UseTestTrash(s_xdg.Path());
        CMallocSpy::Instance();
    }
    void SetUp() override
    {
        ViewTest::SetUp();
        SetWineCheckForTesting(WineCheck::Wine);
        m_root.MakeFiles({"one.txt", "two.txt", "alpha\\x.txt"}, "original");
        m_pView = Open(m_root.Path());
        ASSERT_NE(nullptr, m_pView);
        m_pScope.reset(new CMallocSpy::CScope);
    }
    void TearDown() override
    {
        // What the clipboard, the windows and the shell view held goes; nothing else may stay.
        OleSetClipboard(nullptr);
        PutTextOnClipboard("");
        if (m_pApp->m_pMainWnd) m_pApp->CloseAllDocuments(FALSE);
        Pump();
        if (m_pScope) {
            EXPECT_EQ(0, m_pScope->Leaked()) << "shell-allocator blocks left behind";
        }
        SetWineCheckForTesting(WineCheck::Detect);
        ViewTest::TearDown();
    }

    void Issue(const Trigger& t)
    {
        if (t.nID) {
            SendMessageA(MainWnd(), WM_COMMAND, t.nID, 0);
        } else {
            SetForegroundWindow(MainWnd());
            SetFocus(ListOf(m_pView));
            PressChord(t.modifier, t.vk);
        }
        PumpFor(150);
    }
    // The command given with the tree focused, from the menu (the focus stays where it is
    // while a menu is open) or by keys.
    void IssueInTree(const Trigger& t)
    {
        SetForegroundWindow(MainWnd());
        m_pView->m_tree.SetFocus();
        Pump();
        if (t.nID) SendMessageA(MainWnd(), WM_COMMAND, t.nID, 0);
        else PressChord(t.modifier, t.vk);
        PumpFor(150);
    }
    std::vector<std::string> Selected()
    {
        std::vector<std::string> names;
        HWND hList = ListOf(m_pView);
        std::vector<std::string> all = ListNames(m_pView);
        for (size_t i = 0; i < all.size(); i++) {
            if (SendMessageA(hList, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED) names.push_back(all[i]);
        }
        return names;
    }
    std::vector<std::string> Paths(std::vector<std::string> names)
    {
        for (std::string& n : names) n = m_root.Sub(n);
        std::sort(names.begin(), names.end());
        return names;
    }

    CFolvaneView* m_pView = nullptr;
    std::unique_ptr<CMallocSpy::CScope> m_pScope;
};

}  // namespace

// ---- Selection and arrangement -------------------------------------------------------------

TEST_F(EditCommandsTest, SelectAllAndInvertSelectionChangeTheListsSelection)
{
    const std::vector<std::string> all = ListNames(m_pView);
    ASSERT_EQ(5u, all.size());
    struct { Trigger how; std::vector<std::string> before; std::vector<std::string> after; } cases[] = {
        {{"Select All", ID_SHELL_EDIT_SELECT_ALL, 0, 0}, {}, all},
        {{"Ctrl+A", 0, VK_CONTROL, 'A'}, {"beta"}, all},
        {{"Invert Selection", ID_SHELL_EDIT_INVERT_SELECTION, 0, 0}, {"beta", "one.txt"}, {"alpha", "gamma", "two.txt"}},
        {{"Invert Selection of all", ID_SHELL_EDIT_INVERT_SELECTION, 0, 0}, all, {}},
    };
    for (const auto& c : cases) {
        SelectInList(m_pView, c.before);
        Issue(c.how);
        EXPECT_EQ(c.after, Selected()) << c.how.name;
    }
    // The view's own idea of its selection follows: a copy takes every item.
    SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_SELECT_ALL, 0);
    SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_COPY, 0);
    EXPECT_EQ(Paths(all), ReadClipboard().files);
}

TEST_F(EditCommandsTest, ArrangeIconsSortsTheListByTheColumn)
{
    // Three files that each column puts in another order; folders stay first.
    struct { const char* name; size_t size; WORD day; } files[] = {{"a.mmm", 200, 5}, {"b.zzz", 300, 9}, {"c.aaa", 100, 3}};
    for (const auto& f : files) {
        m_root.MakeFiles({f.name}, std::string(f.size, 'x'));
        HANDLE h = CreateFileA(m_root.Sub(f.name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        SYSTEMTIME st = {2020, 1, 0, f.day, 12, 0, 0, 0};
        FILETIME ft;
        SystemTimeToFileTime(&st, &ft);
        SetFileTime(h, nullptr, nullptr, &ft);
        CloseHandle(h);
    }
    for (const char* name : {"one.txt", "two.txt"}) DeleteFileA(m_root.Sub(name).c_str());
    SendMessageA(MainWnd(), WM_COMMAND, ID_REFRESH, 0);
    struct { UINT nID; std::vector<std::string> order; } cases[] = {
        {ID_SHELL_ARRANGE_SIZE, {"c.aaa", "a.mmm", "b.zzz"}},
        {ID_SHELL_ARRANGE_NAME, {"a.mmm", "b.zzz", "c.aaa"}},
        {ID_SHELL_ARRANGE_DATE, {"b.zzz", "a.mmm", "c.aaa"}},  // the newest first
        {ID_SHELL_ARRANGE_TYPE, {"c.aaa", "a.mmm", "b.zzz"}},
    };
    for (const auto& c : cases) {
        SendMessageA(MainWnd(), WM_COMMAND, c.nID, 0);
        std::vector<std::string> expected = {"alpha", "beta", "gamma"};
        expected.insert(expected.end(), c.order.begin(), c.order.end());
        EXPECT_EQ(expected, ListNames(m_pView)) << "command " << c.nID;
    }
}

// ---- Copy, Cut and Paste ---------------------------------------------------------------------

TEST_F(EditCommandsTest, CopyAndCutPutTheSelectionOnTheClipboardWithItsDropEffect)
{
    const Trigger triggers[] = {{"Copy", ID_SHELL_EDIT_COPY, 0, 0},    {"Cut", ID_SHELL_EDIT_CUT, 0, 0},
                                {"Ctrl+C", 0, VK_CONTROL, 'C'},        {"Ctrl+X", 0, VK_CONTROL, 'X'},
                                {"Ctrl+Insert", 0, VK_CONTROL, VK_INSERT}, {"Shift+Delete", 0, VK_SHIFT, VK_DELETE}};
    for (const Trigger& t : triggers) {
        PutTextOnClipboard("before");
        SelectInList(m_pView, {"two.txt", "alpha"});
        Issue(t);
        Clipboard clip = ReadClipboard();
        const bool bCut = t.nID == ID_SHELL_EDIT_CUT || t.vk == 'X' || t.vk == VK_DELETE;
        EXPECT_EQ(Paths({"alpha", "two.txt"}), clip.files) << t.name;
        EXPECT_TRUE(clip.bIdList) << t.name;
        EXPECT_EQ(static_cast<DWORD>(bCut ? DROPEFFECT_MOVE : DROPEFFECT_COPY), clip.dwEffect) << t.name;
        EXPECT_TRUE(Exists(m_root.Sub("two.txt"))) << "nothing moves before the paste: " << t.name;
    }
    // With nothing selected the clipboard keeps what it had.
    PutTextOnClipboard("kept");
    SelectInList(m_pView, {});
    Issue(triggers[0]);
    Issue(triggers[3]);
    EXPECT_EQ("kept", ReadClipboard().text);
}

TEST_F(EditCommandsTest, PasteCopiesIntoTheFolderShownAndShowsTheCopies)
{
    struct { Trigger how; const char* into; } cases[] = {
        {{"Paste", ID_SHELL_EDIT_PASTE, 0, 0}, "beta"},
        {{"Ctrl+V", 0, VK_CONTROL, 'V'}, "gamma"},
        {{"Shift+Insert", 0, VK_SHIFT, VK_INSERT}, "gamma\\delta"},
    };
    m_root.MakeFolder("gamma\\delta");
    for (const auto& c : cases) {
        ASSERT_TRUE(Browse(m_pView, m_root.Path()));
        SelectInList(m_pView, {"one.txt", "alpha"});
        SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_COPY, 0);
        ASSERT_TRUE(Browse(m_pView, m_root.Sub(c.into)));
        Issue(c.how);
        const std::string into = m_root.Sub(c.into);
        EXPECT_EQ("original", Contents(into + "\\one.txt")) << c.how.name;
        EXPECT_EQ("original", Contents(into + "\\alpha\\x.txt")) << "a folder comes with its contents: " << c.how.name;
        EXPECT_TRUE(Exists(into + "\\alpha\\inner\\deepest")) << c.how.name;
        EXPECT_EQ("original", Contents(m_root.Sub("one.txt"))) << "the original stays: " << c.how.name;
        EXPECT_NE(-1, ListIndexOf(m_pView, "one.txt")) << "the right pane shows the copy: " << c.how.name;
        EXPECT_EQ(Paths({"alpha", "one.txt"}), ReadClipboard().files) << "a copy can be pasted again";
    }
}

TEST_F(EditCommandsTest, CutAndPasteMovesAndEmptiesTheClipboard)
{
    SelectInList(m_pView, {"one.txt", "alpha"});
    Issue({"Ctrl+X", 0, VK_CONTROL, 'X'});
    ASSERT_TRUE(Browse(m_pView, m_root.Sub("beta")));
    Issue({"Ctrl+V", 0, VK_CONTROL, 'V'});
    EXPECT_FALSE(Exists(m_root.Sub("one.txt")));
    EXPECT_FALSE(Exists(m_root.Sub("alpha")));
    EXPECT_EQ("original", Contents(m_root.Sub("beta\\one.txt")));
    EXPECT_EQ("original", Contents(m_root.Sub("beta\\alpha\\x.txt")));
    EXPECT_NE(-1, ListIndexOf(m_pView, "alpha"));
    EXPECT_TRUE(ReadClipboard().files.empty()) << "the cut is used up";
    // A second paste has nothing to move.
    Issue({"Ctrl+V", 0, VK_CONTROL, 'V'});
    EXPECT_EQ("original", Contents(m_root.Sub("beta\\one.txt")));
}

TEST_F(EditCommandsTest, ACutPastedInAnotherWindowLeavesBothWindowsShowingTheFoldersAsTheyAre)
{
    SelectInList(m_pView, {"one.txt", "alpha"});
    Issue({"Ctrl+X", 0, VK_CONTROL, 'X'});
    CFolvaneView* pOther = Open(m_root.Sub("gamma"));
    ASSERT_TRUE(pOther && pOther != m_pView);
    SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_PASTE, 0);
    PumpFor(150);
    ASSERT_EQ("original", Contents(m_root.Sub("gamma\\one.txt")));
    ASSERT_TRUE(Exists(m_root.Sub("gamma\\alpha\\x.txt")));

    EXPECT_NE(-1, ListIndexOf(pOther, "alpha")) << "the window pasted into";
    EXPECT_EQ(-1, ListIndexOf(m_pView, "one.txt")) << "the window cut from";
    EXPECT_EQ(-1, ListIndexOf(m_pView, "alpha")) << "the window cut from";
    // Each tree has the folder in its new place only, and each window stays where it was.
    CShellTreeCtrl& cutFrom = m_pView->m_tree;
    HTREEITEM hRoot = cutFrom.GetSelectedItem();
    PumpUntil([&] { return !ChildByLabel(cutFrom, hRoot, "alpha"); }, 3000);
    EXPECT_EQ(nullptr, ChildByLabel(cutFrom, hRoot, "alpha"));
    HTREEITEM hGamma = ChildByLabel(cutFrom, hRoot, "gamma");
    ASSERT_TRUE(hGamma);
    EXPECT_TRUE(cutFrom.GetChildItem(hGamma)) << "gamma offers its new sub-folder";
    CShellTreeCtrl& pastedInto = pOther->m_tree;
    hGamma = pastedInto.GetSelectedItem();
    EXPECT_EQ("gamma", SelectedText(pOther));
    pastedInto.ExpandWithNotify(hGamma, TVE_EXPAND);
    EXPECT_TRUE(ChildByLabel(pastedInto, hGamma, "alpha"));
    EXPECT_EQ(nullptr, ChildByLabel(pastedInto, pastedInto.GetParentItem(hGamma), "alpha"));
    EXPECT_TRUE(ChildByLabel(pastedInto, pastedInto.GetParentItem(hGamma), "beta")) << "the rest stays";
}

TEST_F(EditCommandsTest, FilesAnotherProgramPutOnTheClipboardArePastedCopiedOrMoved)
{
    ScratchFolder outside("edit-outside");
    outside.MakeFiles({"copied.txt", "moved.txt"}, "theirs");
    // Names in 8-bit or wide text; a copy that also allows a link is a copy.
    struct { const char* file; bool bWide; DWORD dwEffect; bool bMoves; } cases[] = {
        {"copied.txt", false, DROPEFFECT_COPY | DROPEFFECT_LINK, false},
        {"moved.txt", true, DROPEFFECT_MOVE, true},
    };
    for (const auto& c : cases) {
        OtherProgramsClipboard other({outside.Sub(c.file)}, c.bWide, c.dwEffect);
        ASSERT_TRUE(other.m_bStarted) << c.file;
        SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_PASTE, 0);
        EXPECT_EQ("theirs", Contents(m_root.Sub(c.file))) << c.file;
        EXPECT_EQ(!c.bMoves, Exists(outside.Sub(c.file))) << c.file;
        EXPECT_NE(-1, ListIndexOf(m_pView, c.file)) << c.file;
    }

    // A list naming items by their short names: they arrive under their long ones.
    outside.MakeFolders({"Quarterly Reports"});
    outside.MakeFiles({"Quarterly Reports\\q1.txt", "Annual Summary.text"}, "long");
    for (const char* name : {"Quarterly Reports", "Annual Summary.text"}) {
        char shortPath[MAX_PATH] = "";
        ASSERT_TRUE(GetShortPathNameA(outside.Sub(name).c_str(), shortPath, MAX_PATH));
        ASSERT_EQ(std::string::npos, std::string(shortPath).find(' ')) << "a short name: " << shortPath;
        OtherProgramsClipboard other({shortPath}, true, DROPEFFECT_COPY);
        ASSERT_TRUE(other.m_bStarted);
        SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_PASTE, 0);
        EXPECT_TRUE(Exists(m_root.Sub(name))) << name << " from " << shortPath;
        const std::string shortName = std::string(shortPath).substr(std::string(shortPath).find_last_of('\\') + 1);
        WIN32_FIND_DATAA found;
        HANDLE hFind = FindFirstFileA(m_root.Sub("*").c_str(), &found);
        bool bShortOnDisk = false;
        if (hFind != INVALID_HANDLE_VALUE) {
            do bShortOnDisk = bShortOnDisk || shortName == found.cFileName;
            while (FindNextFileA(hFind, &found));
            FindClose(hFind);
        }
        EXPECT_FALSE(bShortOnDisk) << shortName << " is no name of its own";
    }
    EXPECT_EQ("long", Contents(m_root.Sub("Quarterly Reports\\q1.txt")));
}

TEST_F(EditCommandsTest, ANameClashOnPasteLosesNothing)
{
    // Into the folder the files came from: copies under names of their own.
    SelectInList(m_pView, {"one.txt", "beta"});
    SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_COPY, 0);
    for (int i = 0; i < 2; i++) SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_PASTE, 0);
    for (const char* name : {"one.txt", "Copy of one.txt", "Copy (2) of one.txt"}) {
        EXPECT_EQ("original", Contents(m_root.Sub(name))) << name;
    }
    EXPECT_TRUE(Exists(m_root.Sub("Copy of beta")));
    EXPECT_TRUE(Exists(m_root.Sub("Copy (2) of beta")));
    EXPECT_NE(-1, ListIndexOf(m_pView, "Copy (2) of one.txt"));

    // Into another folder that has the name: the shell asks, and a refusal keeps both.
    m_root.MakeFiles({"gamma\\one.txt"}, "theirs");
    ASSERT_TRUE(Browse(m_pView, m_root.Sub("gamma")));
    {
        ModalWatcher refuse(IDCANCEL);
        SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_PASTE, 0);
        EXPECT_LE(1u, refuse.Count()) << "the shell asked before replacing";
    }
    EXPECT_EQ("theirs", Contents(m_root.Sub("gamma\\one.txt")));
    EXPECT_EQ("original", Contents(m_root.Sub("one.txt")));

    // Cut and pasted there: asked about each, and a no keeps both, and the cut on the
    // clipboard while any of its items is still where it was.
    m_root.MakeFiles({"beta\\one.txt"}, "beta's");
    OtherProgramsClipboard cut({m_root.Sub("one.txt"), m_root.Sub("beta\\one.txt")}, true, DROPEFFECT_MOVE);
    ASSERT_TRUE(cut.m_bStarted);
    {
        ModalWatcher no(IDNO);
        SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_PASTE, 0);
        EXPECT_EQ(2u, no.Count()) << "asked once for each";
    }
    EXPECT_EQ("theirs", Contents(m_root.Sub("gamma\\one.txt")));
    EXPECT_EQ("original", Contents(m_root.Sub("one.txt")));
    EXPECT_EQ("beta's", Contents(m_root.Sub("beta\\one.txt")));
    EXPECT_EQ(2u, ReadClipboard().files.size()) << "the cut can be pasted again";
    // A folder where a file of its name is, or a file where a folder is: never inside it.
    m_root.MakeFolders({"gamma\\two.txt"});
    OtherProgramsClipboard cutTwo({m_root.Sub("two.txt")}, true, DROPEFFECT_MOVE);
    ASSERT_TRUE(cutTwo.m_bStarted);
    {
        ModalWatcher ok(IDOK);
        SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_PASTE, 0);
        ASSERT_EQ(1u, ok.Count()) << "told why it could not be moved";
        EXPECT_NE(std::string::npos, ok.Seen()[0].text.find("two.txt")) << ok.Seen()[0].text;
    }
    EXPECT_FALSE(Exists(m_root.Sub("gamma\\two.txt\\two.txt")));
    EXPECT_EQ("original", Contents(m_root.Sub("two.txt")));
    EXPECT_EQ(Paths({"two.txt"}), ReadClipboard().files) << "the cut stays while its item does";
    RemoveDirectoryA(m_root.Sub("gamma\\two.txt").c_str());
    // One item of a cut moved and one could not (held open, no sharing): the cut stays.
    m_root.MakeFiles({"p1.txt", "p2.txt"}, "p");
    HANDLE hHeld = CreateFileA(m_root.Sub("p1.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    OtherProgramsClipboard cutPart({m_root.Sub("p1.txt"), m_root.Sub("p2.txt")}, true, DROPEFFECT_MOVE);
    ASSERT_TRUE(cutPart.m_bStarted);
    {
        ModalWatcher ok(IDOK);
        SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_PASTE, 0);
        EXPECT_EQ(1u, ok.Count());
    }
    CloseHandle(hHeld);
    EXPECT_EQ("p", Contents(m_root.Sub("gamma\\p2.txt")));
    EXPECT_EQ("p", Contents(m_root.Sub("p1.txt")));
    EXPECT_EQ(2u, ReadClipboard().files.size()) << "the cut stays while one of its items does";

    // Cut and pasted where it is, or a folder into itself, copied or cut: nothing moves and
    // nothing is lost.
    struct { UINT nCommand; const char* item; const char* into; } stays[] = {
        {ID_SHELL_EDIT_CUT, "two.txt", ""}, {ID_SHELL_EDIT_CUT, "alpha", "alpha\\inner"},
        {ID_SHELL_EDIT_COPY, "alpha", "alpha"}, {ID_SHELL_EDIT_COPY, "alpha", "alpha\\inner\\deepest"}};
    for (const auto& c : stays) {
        ASSERT_TRUE(Browse(m_pView, m_root.Path()));
        SelectInList(m_pView, {c.item});
        SendMessageA(MainWnd(), WM_COMMAND, c.nCommand, 0);
        ASSERT_TRUE(Browse(m_pView, *c.into ? m_root.Sub(c.into) : m_root.Path()));
        {
            ModalWatcher ok(IDOK);
            SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_PASTE, 0);
            // Into its own folder a cut has nothing to do; into itself a folder cannot go.
            EXPECT_EQ(*c.into ? 1u : 0u, ok.Count()) << c.item << " into " << c.into;
        }
        EXPECT_EQ("original", Contents(m_root.Sub("two.txt"))) << c.item << " into " << c.into;
        EXPECT_EQ("original", Contents(m_root.Sub("alpha\\x.txt"))) << c.item << " into " << c.into;
        if (*c.into) {
            EXPECT_FALSE(Exists(m_root.Sub(std::string(c.into) + "\\alpha"))) << "into " << c.into;
        }
        EXPECT_EQ(Paths({c.item}), ReadClipboard().files) << "still on the clipboard";
    }
}

TEST_F(EditCommandsTest, PasteShortcutMakesAShortcutToEachItemUnderAFreeName)
{
    SelectInList(m_pView, {"one.txt", "beta"});
    SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_COPY, 0);
    ASSERT_TRUE(Browse(m_pView, m_root.Sub("gamma")));
    const size_t before = ListNames(m_pView).size();
    for (int i = 0; i < 2; i++) SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_EDIT_PASTE_SHORTCUT, 0);
    struct { const char* link; const char* target; } cases[] = {
        {"Shortcut to one.txt.lnk", "one.txt"}, {"Shortcut (2) to one.txt.lnk", "one.txt"},
        {"Shortcut to beta.lnk", "beta"}, {"Shortcut (2) to beta.lnk", "beta"}};
    for (const auto& c : cases) {
        EXPECT_EQ(m_root.Sub(c.target), LinkTarget(m_root.Sub(std::string("gamma\\") + c.link))) << c.link;
    }
    EXPECT_EQ(before + 4, ListNames(m_pView).size()) << "the right pane shows them";
}

// ---- Delete, Undo and keys elsewhere ------------------------------------------------------------

// Wine's view deletes with its own confirmation; the edit keys must not take Delete from it.
TEST_F(EditCommandsTest, DeleteInTheListAsksAndDeletesTheSelection)
{
    struct { int nAnswer; bool bGone; } cases[] = {{IDNO, false}, {IDYES, true}};
    for (const auto& c : cases) {
        SelectInList(m_pView, {"two.txt", "gamma"});
        ModalWatcher answer(c.nAnswer);
        Issue({"Delete", 0, 0, VK_DELETE});
        ASSERT_TRUE(PumpUntil([&] { return answer.Count() > 0 && Exists(m_root.Sub("two.txt")) != c.bGone; }, 3000))
            << "answered " << c.nAnswer;
        EXPECT_EQ(c.bGone, ListIndexOf(m_pView, "gamma") == -1);
        CShellTreeCtrl& tree = m_pView->m_tree;
        PumpUntil([&] { return !ChildByLabel(tree, tree.GetSelectedItem(), "gamma") == c.bGone; }, 3000);
        EXPECT_EQ(c.bGone, !ChildByLabel(tree, tree.GetSelectedItem(), "gamma")) << "the tree follows";
    }
}

// With the tree focused the Edit commands and keys act on the tree's selected folder, never
// on the right pane's selection; keys the tree has no use for leave the list alone.
TEST_F(EditCommandsTest, WithTheTreeFocusedCutAndCopyTakeItsSelectedFolder)
{
    const Trigger triggers[] = {{"Copy", ID_SHELL_EDIT_COPY, 0, 0},    {"Cut", ID_SHELL_EDIT_CUT, 0, 0},
                                {"Ctrl+C", 0, VK_CONTROL, 'C'},        {"Ctrl+X", 0, VK_CONTROL, 'X'},
                                {"Ctrl+Insert", 0, VK_CONTROL, VK_INSERT}, {"Shift+Delete", 0, VK_SHIFT, VK_DELETE}};
    ASSERT_TRUE(Browse(m_pView, m_root.Sub("alpha")));
    for (const Trigger& t : triggers) {
        PutTextOnClipboard("before");
        SelectInList(m_pView, {"x.txt"});
        IssueInTree(t);
        Clipboard clip = ReadClipboard();
        const bool bCut = t.nID == ID_SHELL_EDIT_CUT || t.vk == 'X' || t.vk == VK_DELETE;
        EXPECT_EQ(std::vector<std::string>{m_root.Sub("alpha")}, clip.files) << t.name;
        EXPECT_EQ(static_cast<DWORD>(bCut ? DROPEFFECT_MOVE : DROPEFFECT_COPY), clip.dwEffect) << t.name;
        EXPECT_TRUE(Exists(m_root.Sub("alpha\\x.txt"))) << t.name;
    }
    // Select All is the list's: the tree leaves its selection alone.
    IssueInTree({"Ctrl+A", 0, VK_CONTROL, 'A'});
    EXPECT_EQ(std::vector<std::string>{"x.txt"}, Selected());

    // A cut folder pasted with the tree focused on another goes there.
    IssueInTree({"Ctrl+X", 0, VK_CONTROL, 'X'});
    ASSERT_TRUE(Browse(m_pView, m_root.Sub("beta")));
    IssueInTree({"Ctrl+V", 0, VK_CONTROL, 'V'});
    EXPECT_EQ("original", Contents(m_root.Sub("beta\\alpha\\x.txt")));
    EXPECT_FALSE(Exists(m_root.Sub("alpha")));
}

TEST_F(EditCommandsTest, WithTheTreeFocusedPasteGoesIntoItsSelectedFolder)
{
    struct { Trigger how; const char* into; } cases[] = {
        {{"Paste", ID_SHELL_EDIT_PASTE, 0, 0}, "beta"},
        {{"Ctrl+V", 0, VK_CONTROL, 'V'}, "gamma"},
        {{"Shift+Insert", 0, VK_SHIFT, VK_INSERT}, "alpha\\inner"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Browse(m_pView, m_root.Path()));
        SelectInList(m_pView, {"one.txt"});
        Issue({"Ctrl+C", 0, VK_CONTROL, 'C'});  // in the list
        ASSERT_TRUE(Browse(m_pView, m_root.Sub(c.into)));
        IssueInTree(c.how);
        EXPECT_EQ("original", Contents(m_root.Sub(std::string(c.into) + "\\one.txt"))) << c.how.name;
    }
}

// F2 edits the name of the tree's selected folder in the tree; Delete deletes that folder,
// not the list's selection.
TEST_F(EditCommandsTest, WithTheTreeFocusedF2AndDeleteActOnItsSelectedFolder)
{
    ASSERT_TRUE(Browse(m_pView, m_root.Sub("gamma")));
    m_root.MakeFiles({"gamma\\g.txt"}, "original");
    SendMessageA(MainWnd(), WM_COMMAND, ID_REFRESH, 0);
    SelectInList(m_pView, {"g.txt"});
    IssueInTree({"F2", 0, 0, VK_F2});
    CShellTreeCtrl& tree = m_pView->m_tree;
    HTREEITEM hRoot = tree.GetParentItem(tree.GetSelectedItem());
    HWND hEdit = tree.GetEditControl();
    ASSERT_TRUE(hEdit) << "F2 edits the tree's label";
    char text[MAX_PATH] = "";
    GetWindowTextA(hEdit, text, MAX_PATH);
    EXPECT_STREQ("gamma", text);
    tree.SendMessage(TVM_ENDEDITLABELNOW, TRUE, 0);

    ModalWatcher answer(IDYES);
    IssueInTree({"Delete", 0, 0, VK_DELETE});
    ASSERT_TRUE(PumpUntil([&] { return !Exists(m_root.Sub("gamma")); }, 3000));
    EXPECT_GE(answer.Count(), 1u);
    EXPECT_TRUE(Exists(m_root.Sub("one.txt")));
    EXPECT_EQ(nullptr, ChildByLabel(tree, hRoot, "gamma"));
}

TEST_F(EditCommandsTest, UndoIsGreyWithAPromptThatSaysWhy)
{
    EXPECT_FALSE(Enabled(ID_SHELL_EDIT_UNDO));
    EXPECT_TRUE(Enabled(ID_SHELL_EDIT_PASTE));
    SendMessageA(MainWnd(), WM_MENUSELECT, MAKEWPARAM(ID_SHELL_EDIT_UNDO, MF_STRING | MF_GRAYED),
                 reinterpret_cast<LPARAM>(GetMenu(MainWnd())));
    EXPECT_EQ("Undo is not available on this system: its shell keeps no record of file operations.",
              Frame()->m_wndStatusBar.GetPaneText0().str());
    SetWineCheckForTesting(WineCheck::Windows);
    EXPECT_TRUE(Enabled(ID_SHELL_EDIT_UNDO)) << "on Windows the shell view undoes";
}

// ---- On Windows --------------------------------------------------------------------------------

TEST_F(EditCommandsTest, OnWindowsEveryCommandGoesToTheShellViewAsItIs)
{
    SetWineCheckForTesting(WineCheck::Windows);
    PutTextOnClipboard("kept");
    SelectInList(m_pView, {"one.txt"});
    // From the menu; also from an accelerator (high word 1) and from a toolbar button (the
    // toolbar as sender): the shell view gets the identifier alone.
    const HWND hToolBar = Frame()->m_wndToolBar.m_hWnd;
    const struct { UINT nID; WORD wCode = 0; HWND hFrom = nullptr; } sent[] = {
        {ID_SHELL_EDIT_COPY}, {ID_SHELL_EDIT_CUT}, {ID_SHELL_EDIT_PASTE}, {ID_SHELL_EDIT_PASTE_SHORTCUT},
        {ID_SHELL_EDIT_UNDO}, {ID_SHELL_EDIT_SELECT_ALL}, {ID_SHELL_EDIT_INVERT_SELECTION}, {ID_SHELL_ARRANGE_NAME},
        {ID_SHELL_ARRANGE_SIZE}, {ID_SHELL_ARRANGE_TYPE}, {ID_SHELL_ARRANGE_DATE}, {ID_SHELL_MAP_DRIVE},
        {ID_SHELL_DISCONNECT_DRIVE}, {ID_SHELL_VIEW_SMALL_ICONS, 1}, {ID_SHELL_VIEW_REPORT, BN_CLICKED, hToolBar}};
    ModalWatcher boxes;
    {
        MessageSpy spy(m_pView->m_hwndShellView, WM_COMMAND);
        for (const auto& s : sent)
            SendMessageA(MainWnd(), WM_COMMAND, MAKEWPARAM(s.nID, s.wCode), reinterpret_cast<LPARAM>(s.hFrom));
        // The keys are the shell view's to translate, then the frame's accelerators'.
        for (WORD vk : {'C', 'X', 'A', 'V'}) Issue({"key", 0, VK_CONTROL, vk});
        ASSERT_EQ(sizeof(sent) / sizeof(sent[0]), MessageSpy::Seen().size());
        for (size_t i = 0; i < MessageSpy::Seen().size(); i++) {
            EXPECT_EQ(static_cast<WPARAM>(sent[i].nID), MessageSpy::Seen()[i].first);
            EXPECT_EQ(0, MessageSpy::Seen()[i].second);
        }
    }
    for (UINT id : {ID_SHELL_EDIT_UNDO, ID_SHELL_ARRANGE_DATE, ID_SHELL_DISCONNECT_DRIVE}) EXPECT_TRUE(Enabled(id));
    // Nothing of the stand-ins ran: the clipboard, the selection and the folder are as they were.
    EXPECT_EQ("kept", ReadClipboard().text);
    EXPECT_EQ(std::vector<std::string>{"one.txt"}, Selected());
    EXPECT_FALSE(Exists(m_root.Sub("Copy of one.txt")));
    EXPECT_EQ(0u, boxes.Count());
}

// ---- Lists of files from other programs ------------------------------------------------------

namespace {
std::string Wide(const std::wstring& s)
{
    return std::string(reinterpret_cast<const char*>(s.data()), s.size() * sizeof(wchar_t));
}
}  // namespace

// Any program may put a list there: names are read only within the block it gave.
TEST(ClipboardFilesTest, ListsAreReadWithinTheirBlockWhateverTheyHold)
{
    const DWORD kAt = sizeof(DROPFILES);
    const std::string kTwo("C:\\a.txt\0C:\\b c\\d.txt\0\0", 24);
    struct { const char* what; DWORD offset; BOOL bWide; std::string list; std::vector<std::wstring> names; } cases[] = {
        {"two 8-bit names", kAt, FALSE, kTwo, {L"C:\\a.txt", L"C:\\b c\\d.txt"}},
        {"two wide names", kAt, TRUE, Wide(std::wstring(L"C:\\a.txt\0C:\\e.txt\0\0", 20)), {L"C:\\a.txt", L"C:\\e.txt"}},
        {"no closing terminator", kAt, FALSE, std::string("C:\\a.txt\0", 9), {L"C:\\a.txt"}},
        {"a name cut off", kAt, FALSE, std::string("C:\\a.txt\0C:\\b", 13), {L"C:\\a.txt"}},
        {"a wide name cut off", kAt, TRUE, Wide(L"C:\\a.txt"), {}},
        {"offset past the end", 4096, FALSE, kTwo, {}},
        {"offset inside the header", 4, FALSE, kTwo, {}},
        {"empty list", kAt, FALSE, std::string(2, '\0'), {}},
    };
    for (const auto& c : cases) {
        PutOnClipboard(CF_HDROP, DropFilesBlock(c.list, c.bWide, c.offset));
        CClipboardFiles files;
        EXPECT_EQ(!c.names.empty(), files.Read() != FALSE) << c.what;
        EXPECT_TRUE(c.names == files.GetFiles()) << c.what;
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), files.GetEffect()) << "no drop effect offered: a copy";
    }
    PutTextOnClipboard("");
}
