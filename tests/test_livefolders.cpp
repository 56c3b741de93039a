// Browser windows that follow the disk: files and folders made or removed by another program
// show in the right pane and the tree (under Wine, whose shell tells no one), one watch per
// folder on show or open however many windows have it, a burst read a few times and not once
// per file, no read while a name is being edited, and F5 reading the tree's open folders too.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "shell/DiskWatch.h"
#include "shell/IdListPtr.h"
#include "shell/FileOperation.h"
#include "shell/Paths.h"
#include "shell/Wine.h"
#include "support/ModalWatcher.h"
#include "support/TreeItems.h"
#include "support/ViewTest.h"
#include "support/WideText.h"
#include "tree/IdList.h"
#include "view/FolvaneView.h"

namespace {

// Runs a command line of the system's command interpreter, as another program would, to its end.
bool RunCommand(const std::string& command)
{
    std::string line = "cmd.exe /c " + command;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code == 0;
}

// The Unix name Wine gives a path (kernel32's wine_get_unix_file_name), or empty.
std::string UnixPath(const std::string& path)
{
    typedef char*(CDECL * UnixName)(const WCHAR*);
    UnixName pfn = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* psz = pfn ? pfn(Widen(path).c_str()) : nullptr;
    std::string unix = psz ? psz : "";
    if (psz) HeapFree(GetProcessHeap(), 0, psz);
    return unix;
}

// The tree item of a folder below the test's root ("alpha\\inner"; "" the root), or null.
HTREEITEM TreeItemOf(CFolvaneView* pView, const ScratchFolder& root, const std::string& relative)
{
    CIdListPtr pidl(PathToIdList(root.Path().c_str()));
    HTREEITEM hItem = pidl ? pView->m_tree.FindFolderItem(pidl) : nullptr;
    for (size_t start = 0; hItem && start < relative.size();) {
        size_t end = relative.find('\\', start);
        if (end == std::string::npos) end = relative.size();
        hItem = ChildByLabel(pView->m_tree, hItem, relative.substr(start, end - start));
        start = end + 1;
    }
    return hItem;
}

class LiveFoldersTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        if (!IsRunningUnderWine()) GTEST_SKIP() << "the system's own shell follows the disk";
        ASSERT_TRUE(CDiskWatch::IsWanted()) << "watching is on by itself under Wine";
    }
    HTREEITEM TreeItem(CFolvaneView* pView, const std::string& relative) { return TreeItemOf(pView, m_root, relative); }
    std::vector<std::wstring> Watched() { return Frame()->m_diskWatch.Watched(); }
    bool IsWatched(const std::string& relative, bool bFiles)
    {
        std::wstring key = PathKey(Widen(relative.empty() ? m_root.Path() : m_root.Sub(relative)));
        if (bFiles) key += L" (files)";
        const std::vector<std::wstring> watched = Watched();
        return std::find(watched.begin(), watched.end(), key) != watched.end();
    }
};

}  // namespace

TEST_F(LiveFoldersTest, WhatAnotherProgramChangesShowsInBothPanes)
{
    CFolvaneView* pView = Open(m_root.Sub("alpha"));
    ASSERT_NE(nullptr, pView);
    pView->m_tree.ExpandWithNotify(TreeItem(pView, "alpha"), TVE_EXPAND);
    Pump();
    struct Case {
        const char* what;
        std::string command;
        std::function<bool()> shows;
    } cases[] = {
        {"a file made in the folder on show", "echo x> " + m_root.Sub("alpha\\made.txt"),
         [&] { return ListIndexOf(pView, "made.txt") >= 0; }},
        {"a file removed from it", "del " + m_root.Sub("alpha\\x.txt"), [&] { return ListIndexOf(pView, "x.txt") < 0; }},
        {"a sub-folder made in it", "mkdir " + m_root.Sub("alpha\\fresh"),
         [&] { return ListIndexOf(pView, "fresh") >= 0 && TreeItem(pView, "alpha\\fresh") != nullptr; }},
        {"a sub-folder removed from it", "rmdir " + m_root.Sub("alpha\\fresh"),
         [&] { return ListIndexOf(pView, "fresh") < 0 && TreeItem(pView, "alpha\\fresh") == nullptr; }},
        {"a folder made in an open folder not on show", "mkdir " + m_root.Sub("delta"),
         [&] { return TreeItem(pView, "delta") != nullptr; }},
        {"it moved into a folder that had none", "move " + m_root.Sub("delta") + " " + m_root.Sub("beta"),
         [&] { return !TreeItem(pView, "delta") && pView->m_tree.GetChildItem(TreeItem(pView, "beta")); }},
        {"a folder removed from it", "rmdir " + m_root.Sub("gamma"), [&] { return TreeItem(pView, "gamma") == nullptr; }},
        {"a folder made two levels down in an open folder", "mkdir " + m_root.Sub("alpha\\inner\\new"),
         [&] { return TreeItem(pView, "alpha\\inner\\new") != nullptr; }},
    };
    pView->m_tree.ExpandWithNotify(TreeItem(pView, "alpha\\inner"), TVE_EXPAND);
    for (const Case& c : cases) {
        ASSERT_TRUE(RunCommand(c.command)) << c.command;
        EXPECT_TRUE(PumpUntil(c.shows, 5000)) << c.what;
    }
    EXPECT_EQ(TreeItem(pView, "alpha"), pView->m_tree.GetSelectedItem()) << "the selection stays";
    EXPECT_TRUE(pView->m_tree.GetItemState(TreeItem(pView, "alpha\\inner"), TVIS_EXPANDED) & TVIS_EXPANDED)
        << "and so does what was open";
}

TEST_F(LiveFoldersTest, AFolderOnShowRemovedByAnotherProgramMovesTheWindowToTheNearestFolderLeft)
{
    struct Case {
        const char* what;
        const char* shown;
        std::string command;
        const char* movesTo;
    } cases[] = {
        // Its files go first, which the watch hears; it lets go, and the folder can go.
        {"a Windows program removing it with what it holds", "alpha\\inner", "rmdir /s /q " + m_root.Sub("alpha\\inner"),
         "alpha"},
        {"a Unix program removing it and its parent", "beta\\b1\\b2",
         "start /unix /bin/rm -rf " + UnixPath(m_root.Sub("beta\\b1")), "beta"},
    };
    m_root.MakeFolder("beta\\b1\\b2");
    for (const Case& c : cases) {
        CFolvaneView* pView = Open(m_root.Sub(c.shown));
        ASSERT_NE(nullptr, pView) << c.what;
        PumpFor(100);
        ASSERT_TRUE(RunCommand(c.command)) << c.command;
        EXPECT_TRUE(PumpUntil([&] { return Shown(pView) == m_root.Sub(c.movesTo); }, 5000)) << c.what << ": " << Shown(pView);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_root.Sub(c.shown).c_str())) << c.what;
        EXPECT_EQ(TreeItem(pView, c.movesTo), pView->m_tree.GetSelectedItem()) << c.what;
        EXPECT_EQ(nullptr, TreeItem(pView, c.shown)) << c.what;
    }
}

// Under Wine a folder that a Windows program removes while a watch holds it stays on disk
// until the watch lets go, and nothing is heard: an empty folder (no files go first) stays
// on show until F5, which lets every watch go and then finds it gone.
TEST_F(LiveFoldersTest, AnEmptyFolderOnShowRemovedByAWindowsProgramGoesAtF5_WineKeepsItWhileWatched)
{
    CFolvaneView* pView = Open(m_root.Sub("alpha\\inner\\deepest"));
    ASSERT_NE(nullptr, pView);
    PumpFor(100);
    ASSERT_TRUE(RunCommand("rmdir " + m_root.Sub("alpha\\inner\\deepest")));
    PumpFor(300);
    SendMessageA(MainWnd(), WM_COMMAND, ID_REFRESH, 0);
    EXPECT_TRUE(PumpUntil([&] { return Shown(pView) == m_root.Sub("alpha\\inner"); }, 3000)) << Shown(pView);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_root.Sub("alpha\\inner\\deepest").c_str()));
    EXPECT_EQ(nullptr, TreeItem(pView, "alpha\\inner\\deepest"));
}

// A removal made in this process goes at once, however the remover names the folder, though
// folders below it are watched: the watches let go first (held, a folder would stay, and the
// folder above it could not be removed: "directory not empty").
TEST_F(LiveFoldersTest, RemovalsMadeInThisProcessGoAtOnceThoughFoldersBelowAreWatched)
{
    m_root.MakeFolders({"beta\\Quarterly Reports", "gamma\\g1\\g2", "delta\\inner"});
    const std::string other = FolderOnAnotherDrive("livefolders-z", m_root.Path());
    auto shellDelete = [](const std::string& path) {
        const std::wstring from = Widen(path) + L'\0';
        SHFILEOPSTRUCTW op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
    };
    auto shortForm = [](const std::string& path) {
        wchar_t sz[MAX_PATH] = L"";
        GetShortPathNameW(Widen(path).c_str(), sz, MAX_PATH);
        return std::wstring(sz);
    };
    struct Case {
        const char* what;
        const char* shown;
        const char* removed;
        std::function<bool(const std::string&)> remove;
        const char* movesTo;
    } cases[] = {
        {"the shell's permanent delete of the folder above", "alpha\\inner", "alpha", shellDelete, ""},
        {"the shell's delete of a folder above an open one", "gamma", "gamma\\g1", shellDelete, "gamma"},
        {"by its short name", "beta\\Quarterly Reports", "beta\\Quarterly Reports",
         [&](const std::string& path) {
             const std::wstring name = shortForm(path);
             return name.find(L'~') != std::wstring::npos && RemoveDirectoryW(name.c_str());
         },
         "beta"},
        {"by a \\\\?\\ name", "beta", "beta",
         [](const std::string& path) { return RemoveDirectoryW((L"\\\\?\\" + Widen(path)).c_str()); }, ""},
        {"in 8-bit text with a separator after", "gamma", "gamma",
         [](const std::string& path) { return RemoveDirectoryA((path + "\\").c_str()); }, ""},
        // Its file operations remove folders on a thread of their own.
        {"the program's own move to another drive", "delta\\inner", "delta",
         [&](const std::string& path) {
             return !other.empty() &&
                    TransferFilesInto(MainWnd(), TransferKind::Move, {Widen(path)}, Widen(other)).Count(ItemOutcome::kDone) == 1;
         },
         ""},
    };
    ModalWatcher boxes;  // a failure would be told in one
    for (const Case& c : cases) {
        CFolvaneView* pView = Open(m_root.Sub(c.shown));
        ASSERT_NE(nullptr, pView) << c.what;
        if (std::string(c.removed) == "gamma\\g1") pView->m_tree.ExpandWithNotify(TreeItem(pView, "gamma\\g1"), TVE_EXPAND);
        PumpFor(100);
        ASSERT_TRUE(IsWatched(c.removed, std::string(c.removed) == c.shown)) << c.what;
        EXPECT_TRUE(c.remove(m_root.Sub(c.removed))) << c.what;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_root.Sub(c.removed).c_str())) << c.what << ": still there";
        const std::string nearest = *c.movesTo ? m_root.Sub(c.movesTo) : m_root.Path();
        EXPECT_TRUE(PumpUntil([&] { return Shown(pView) == nearest && !TreeItem(pView, c.removed); }, 3000))
            << c.what << ": " << Shown(pView);
    }
    for (const SeenBox& box : boxes.Seen()) ADD_FAILURE() << box.text;
    if (!other.empty()) RemoveTree(other);
}

TEST_F(LiveFoldersTest, OneWatchPerFolderOnShowOrOpenSharedByWindowsAndNoneForTheRest)
{
    CFolvaneView* pFirst = Open(m_root.Sub("alpha\\inner"));
    ASSERT_NE(nullptr, pFirst);
    SendMessageA(MainWnd(), WM_COMMAND, ID_WINDOW_NEW, 0);
    Pump();
    CFolvaneView* pSecond = nullptr;
    for (CFrameWnd* pFrame : Frame()->GetMDIChildFrames()) {
        CFolvaneView* p = dynamic_cast<CFolvaneView*>(pFrame->GetActiveView());
        if (p && p != pFirst) pSecond = p;
    }
    ASSERT_NE(nullptr, pSecond);
    ASSERT_EQ(m_root.Sub("alpha\\inner"), Shown(pSecond));
    const struct {
        const char* folder;
        bool bFiles;
        bool bWatched;
    } shownByBoth[] = {
        {"alpha\\inner", true, true},  // on show
        {"alpha", false, true},        // open on the way to it
        {"", false, true},
        {"beta", false, false},  // neither
        {"alpha\\inner\\deepest", false, false},
    };
    for (const auto& c : shownByBoth) EXPECT_EQ(c.bWatched, IsWatched(c.folder, c.bFiles)) << c.folder;
    std::vector<std::wstring> watched = Watched();
    EXPECT_EQ(watched.end(), std::adjacent_find(watched.begin(), watched.end())) << "a folder watched twice";

    // One window moves on and closes what was open: what the other shows is still watched.
    ASSERT_TRUE(Browse(pSecond, m_root.Sub("beta")));
    pSecond->m_tree.ExpandWithNotify(TreeItem(pSecond, "alpha"), TVE_COLLAPSE);
    EXPECT_TRUE(IsWatched("beta", true));
    EXPECT_TRUE(IsWatched("alpha\\inner", true));
    // The other does the same: what neither shows nor has open goes.
    ASSERT_TRUE(Browse(pFirst, m_root.Sub("gamma")));
    pFirst->m_tree.ExpandWithNotify(TreeItem(pFirst, "alpha"), TVE_COLLAPSE);
    EXPECT_FALSE(IsWatched("alpha\\inner", true));
    EXPECT_FALSE(IsWatched("alpha\\inner", false));
    EXPECT_FALSE(IsWatched("alpha", false));
    EXPECT_TRUE(IsWatched("gamma", true));
    // A window that closes lets go of its folders.
    pSecond->GetParentFrame()->SendMessageA(WM_CLOSE);
    Pump();
    EXPECT_FALSE(IsWatched("beta", true));
}

TEST_F(LiveFoldersTest, ABurstOfFilesIsReadAFewTimesNotOncePerFile)
{
    CFolvaneView* pView = Open(m_root.Sub("beta"));
    ASSERT_NE(nullptr, pView);
    PumpFor(300);
    const unsigned nBefore = pView->m_live.m_nShownRereads;
    const int kFiles = 1000;
    for (int i = 0; i < kFiles; i++) {
        const std::string path = m_root.Sub("beta\\f" + std::to_string(i) + ".txt");
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h) << path;
        CloseHandle(h);
        if (i % 50 == 0) Pump();
    }
    EXPECT_TRUE(PumpUntil([&] { return ListNames(pView).size() == static_cast<size_t>(kFiles); }, 15000))
        << ListNames(pView).size();
    PumpFor(2 * CDiskWatch::kQuietMs);
    const unsigned nRereads = pView->m_live.m_nShownRereads - nBefore;
    EXPECT_GE(nRereads, 1u);
    EXPECT_LE(nRereads, 4u) << "read again every few files";
}

// A read while a name is edited would end the edit (the tree's items are read again): it
// waits until the edit is over.
TEST_F(LiveFoldersTest, NothingIsReadWhileAFolderNameIsEdited)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    PumpFor(100);
    pView->m_tree.SetFocus();
    ASSERT_TRUE(pView->m_tree.EditLabel(TreeItem(pView, "beta")));
    ASSERT_TRUE(pView->m_tree.GetEditControl());
    ASSERT_TRUE(RunCommand("mkdir " + m_root.Sub("delta")));
    PumpFor(3 * CDiskWatch::kQuietMs);
    EXPECT_TRUE(pView->m_tree.GetEditControl()) << "the edit was ended";
    EXPECT_EQ(nullptr, TreeItem(pView, "delta")) << "read during the edit";
    pView->m_tree.SendMessageA(TVM_ENDEDITLABELNOW, TRUE);
    EXPECT_TRUE(PumpUntil([&] { return TreeItem(pView, "delta") != nullptr; }, 3000)) << "read after it";
}

// F5 reads the tree's open folders as well as the right pane, at once and on every system:
// folders made and removed behind its back show before any notice was handled, with the
// window's open folders and selection kept.
class RefreshTest : public ViewTest {};

TEST_F(RefreshTest, RefreshReadsTheTreesOpenFoldersAsWell)
{
    CFolvaneView* pView = Open(m_root.Sub("alpha"));
    ASSERT_NE(nullptr, pView);
    CShellTreeCtrl& tree = pView->m_tree;
    auto item = [&](const std::string& relative) { return TreeItemOf(pView, m_root, relative); };
    tree.ExpandWithNotify(item("alpha"), TVE_EXPAND);
    tree.ExpandWithNotify(item("alpha\\inner"), TVE_EXPAND);
    PumpFor(2 * CDiskWatch::kQuietMs);
    ASSERT_TRUE(CreateDirectoryA(m_root.Sub("epsilon").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(m_root.Sub("alpha\\zeta").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(m_root.Sub("alpha\\inner\\eta").c_str(), nullptr));
    ASSERT_TRUE(RemoveDirectoryA(m_root.Sub("beta").c_str()));
    ASSERT_TRUE(RemoveDirectoryA(m_root.Sub("alpha\\inner\\deepest").c_str()));
    SendMessageA(MainWnd(), WM_COMMAND, ID_REFRESH, 0);
    const struct {
        const char* folder;
        bool bListed;
    } cases[] = {
        {"epsilon", true}, {"alpha\\zeta", true}, {"alpha\\inner\\eta", true},
        {"beta", false},   {"alpha\\inner\\deepest", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.bListed, item(c.folder) != nullptr) << c.folder;
    EXPECT_NE(-1, ListIndexOf(pView, "zeta")) << "the right pane too";
    EXPECT_EQ(item("alpha"), tree.GetSelectedItem());
    EXPECT_TRUE(tree.GetItemState(item("alpha"), TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_TRUE(tree.GetItemState(item("alpha\\inner"), TVIS_EXPANDED) & TVIS_EXPANDED);
}
