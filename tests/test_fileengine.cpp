// The program's own copy, move and delete on real folders: what arrives, what stays, what
// is asked, and what a failure or a cancel leaves (nothing partial, nothing lost); then the
// same run as the user meets it, with its progress window and Cancel button.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "shell/FileEngine.h"
#include "shell/TransferProgress.h"
#include "support/ModalWatcher.h"
#include "support/ScratchFolder.h"

namespace {

// Answers the engine's questions from a list (No once it runs out) and writes them down.
class ScriptedAnswers : public ITransferCallbacks {
public:
    std::deque<Answer> answers;
    std::vector<std::string> asked;  // "merge dst\x", "replace dst\y", "delete x"
    std::function<void(const TransferProgress&, CFileEngine&)> onProgress;
    CFileEngine* pEngine = nullptr;
    TransferProgress last;

    Answer AskMergeFolder(const std::wstring& existing, const std::wstring&) override { return Next("merge", existing); }
    Answer AskReplaceFile(const std::wstring& existing, const std::wstring&) override { return Next("replace", existing); }
    Answer AskDeleteForGood(const std::wstring& path) override { return Next("delete", path); }
    void OnProgress(const TransferProgress& progress) override
    {
        last = progress;
        if (onProgress && pEngine) onProgress(progress, *pEngine);
    }

private:
    Answer Next(const char* what, const std::wstring& path)
    {
        asked.push_back(std::string(what) + " " + std::string(path.begin(), path.end()));
        if (answers.empty()) return Answer::No;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

std::wstring W(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

FILETIME WriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

void SetWriteTime(const std::string& path, bool bFolder)
{
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, bFolder ? FILE_FLAG_BACKUP_SEMANTICS : 0, nullptr);
    SYSTEMTIME st = {2001, 2, 0, 3, 4, 5, 6, 0};
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
}

void MakeBigFile(const std::string& path, DWORD cb)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::vector<char> block(64 * 1024, 'z');
    for (DWORD done = 0; done < cb; done += static_cast<DWORD>(block.size())) {
        DWORD n = 0;
        WriteFile(h, block.data(), std::min<DWORD>(static_cast<DWORD>(block.size()), cb - done), &n, nullptr);
    }
    CloseHandle(h);
}

ULONGLONG SizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

class FileEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.Made());
        m_root.MakeFolders({"src\\alpha\\inner", "dst"});
        m_root.MakeFiles({"src\\a.txt"}, "new a");
        m_root.MakeFiles({"src\\alpha\\x.txt", "src\\alpha\\inner\\y.txt"}, "alpha's");
    }

    TransferResult Run(TransferKind kind, const std::vector<std::pair<std::string, std::string>>& items,
                       ScriptedAnswers& answers, Recycler recycler = nullptr)
    {
        std::vector<TransferItem> list;
        for (const auto& item : items) {
            list.push_back({W(m_root.Sub(item.first)), item.second.empty() ? std::wstring() : W(m_root.Sub(item.second))});
        }
        CFileEngine engine(kind, answers, std::move(recycler));
        answers.pEngine = &engine;
        TransferResult result = engine.Run(list);
        answers.pEngine = nullptr;
        return result;
    }

    ScratchFolder m_root{"fileengine"};
};

struct PlainCase {
    const char* what;
    TransferKind kind;
    const char* source;
    const char* dest;
    std::vector<std::string> dstAfter;  // the tree under dst afterwards
    bool bSourceStays;
};

TEST_F(FileEngineTest, CopyAndMoveFilesAndFoldersLeaveTheSourceAsTheySay)
{
    const PlainCase cases[] = {
        {"copy a file", TransferKind::Copy, "src\\a.txt", "dst\\a.txt", {"a.txt=new a"}, true},
        {"copy a file under another name", TransferKind::Copy, "src\\a.txt", "dst\\Copy of a.txt", {"Copy of a.txt=new a"}, true},
        {"copy a folder", TransferKind::Copy, "src\\alpha", "dst\\alpha",
         {"alpha\\", "alpha\\inner\\", "alpha\\inner\\y.txt=alpha's", "alpha\\x.txt=alpha's"}, true},
        {"move a file", TransferKind::Move, "src\\a.txt", "dst\\a.txt", {"a.txt=new a"}, false},
        {"move a folder", TransferKind::Move, "src\\alpha", "dst\\alpha",
         {"alpha\\", "alpha\\inner\\", "alpha\\inner\\y.txt=alpha's", "alpha\\x.txt=alpha's"}, false},
    };
    for (const PlainCase& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        ScriptedAnswers answers;
        const TransferResult result = Run(c.kind, {{c.source, c.dest}}, answers);
        EXPECT_EQ(c.dstAfter, TreeOf(m_root.Sub("dst")));
        EXPECT_EQ(c.bSourceStays, Exists(m_root.Sub(c.source)));
        ASSERT_EQ(1u, result.items.size());
        EXPECT_EQ(ItemOutcome::kDone, result.items[0].state);
        EXPECT_TRUE(result.failures.empty());
        EXPECT_TRUE(answers.asked.empty()) << "nothing in the way, nothing asked";
        EXPECT_EQ(answers.last.filesTotal, answers.last.filesDone) << "all that was counted at the start was done";
        RemoveTree(m_root.Sub("dst"));
        RemoveTree(m_root.Sub("src"));
    }
}

TEST_F(FileEngineTest, AMoveToAnotherDriveCopiesThenDeletesEachSource)
{
    const std::string other = FolderOnAnotherDrive("fileengine-z", m_root.Path());
    if (other.empty()) GTEST_SKIP() << "no folder on a second drive (Z:\\tmp) to move to";
    SetFileAttributesA(m_root.Sub("src\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    std::vector<TransferItem> items = {{W(m_root.Sub("src\\alpha")), W(other + "\\alpha")},
                                       {W(m_root.Sub("src\\a.txt")), W(other + "\\a.txt")}};
    ScriptedAnswers answers;
    CFileEngine engine(TransferKind::Move, answers);
    const TransferResult result = engine.Run(items);
    EXPECT_EQ(2u, result.Count(ItemOutcome::kDone));
    EXPECT_EQ((std::vector<std::string>{"a.txt=new a", "alpha\\", "alpha\\inner\\", "alpha\\inner\\y.txt=alpha's",
                                        "alpha\\x.txt=alpha's"}),
              TreeOf(other));
    EXPECT_TRUE(TreeOf(m_root.Sub("src")).empty()) << "each source went once it had arrived";
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY),
              GetFileAttributesA((other + "\\a.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(3u, answers.last.filesDone) << "two files in alpha and a.txt, counted one by one";
    SetFileAttributesA((other + "\\a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveTree(other);
}

struct ClashCase {
    const char* what;
    TransferKind kind;
    std::vector<Answer> answers;
    std::vector<std::string> asked;     // relative to the fixture
    std::vector<std::string> dstAfter;  // the tree under dst\alpha afterwards
    bool bSourceStays;                  // src\alpha\x.txt
    ItemOutcome::State state;
};

TEST_F(FileEngineTest, AFolderOfTheSameNameIsMergedIntoOnlyOnAYesAndNeverNested)
{
    // dst\alpha has an x.txt of its own and a file the incoming folder does not have.
    const ClashCase cases[] = {
        {"copy, no to the merge", TransferKind::Copy, {Answer::No}, {"merge dst\\alpha"},
         {"keep.txt=theirs", "x.txt=theirs"}, true, ItemOutcome::kSkipped},
        {"copy, merge, keep the file", TransferKind::Copy, {Answer::Yes, Answer::No},
         {"merge dst\\alpha", "replace dst\\alpha\\x.txt"},
         {"inner\\", "inner\\y.txt=alpha's", "keep.txt=theirs", "x.txt=theirs"}, true, ItemOutcome::kPartly},
        {"copy, merge, replace the file", TransferKind::Copy, {Answer::Yes, Answer::Yes},
         {"merge dst\\alpha", "replace dst\\alpha\\x.txt"},
         {"inner\\", "inner\\y.txt=alpha's", "keep.txt=theirs", "x.txt=alpha's"}, true, ItemOutcome::kDone},
        {"move, merge, keep the file", TransferKind::Move, {Answer::Yes, Answer::No},
         {"merge dst\\alpha", "replace dst\\alpha\\x.txt"},
         {"inner\\", "inner\\y.txt=alpha's", "keep.txt=theirs", "x.txt=theirs"}, true, ItemOutcome::kPartly},
        {"move, merge to all", TransferKind::Move, {Answer::YesToAll, Answer::YesToAll}, {"merge dst\\alpha", "replace dst\\alpha\\x.txt"},
         {"inner\\", "inner\\y.txt=alpha's", "keep.txt=theirs", "x.txt=alpha's"}, false, ItemOutcome::kDone},
        {"cancel at the merge", TransferKind::Move, {Answer::Cancel}, {"merge dst\\alpha"},
         {"keep.txt=theirs", "x.txt=theirs"}, true, ItemOutcome::kSkipped},
    };
    for (const ClashCase& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        m_root.MakeFolders({"dst\\alpha"});
        m_root.MakeFiles({"dst\\alpha\\x.txt", "dst\\alpha\\keep.txt"}, "theirs");
        ScriptedAnswers answers;
        answers.answers.assign(c.answers.begin(), c.answers.end());
        const TransferResult result = Run(c.kind, {{"src\\alpha", "dst\\alpha"}}, answers);
        std::vector<std::string> asked;
        for (const std::string& a : c.asked) {
            const size_t space = a.find(' ');
            asked.push_back(a.substr(0, space + 1) + m_root.Sub(a.substr(space + 1)));
        }
        EXPECT_EQ(asked, answers.asked);
        EXPECT_EQ(c.dstAfter, TreeOf(m_root.Sub("dst\\alpha")));
        EXPECT_FALSE(Exists(m_root.Sub("dst\\alpha\\alpha"))) << "never nested";
        EXPECT_EQ(c.bSourceStays, Exists(m_root.Sub("src\\alpha\\x.txt")));
        EXPECT_EQ(c.bSourceStays, Exists(m_root.Sub("src\\alpha"))) << "a moved folder goes once it is empty";
        ASSERT_EQ(1u, result.items.size());
        EXPECT_EQ(c.state, result.items[0].state);
        EXPECT_TRUE(result.failures.empty());
        RemoveTree(m_root.Sub("dst"));
        RemoveTree(m_root.Sub("src"));
    }
}

struct RefusedCase {
    const char* what;
    TransferKind kind;
    const char* source;
    const char* dest;
    DWORD dwError;
};

TEST_F(FileEngineTest, WhatCannotGoWhereItIsToGoFailsAndLeavesBothSidesAsTheyWere)
{
    m_root.MakeFolders({"dst\\a.txt", "dst\\alpha"});
    m_root.MakeFiles({"dst\\alpha\\keep.txt"}, "theirs");
    m_root.MakeFiles({"src\\file"}, "f");
    m_root.MakeFiles({"dst\\file"}, "dst's");
    m_root.MakeFolders({"src\\file-folder"});
    const RefusedCase cases[] = {
        {"a folder into itself", TransferKind::Copy, "src\\alpha", "src\\alpha\\alpha", kErrorIntoItself},
        {"a folder into its own sub-folder", TransferKind::Move, "src\\alpha", "src\\alpha\\inner\\alpha",
         kErrorIntoItself},
        {"a folder into its sub-folder, in other case", TransferKind::Move, "src\\ALPHA", "src\\alpha\\Inner\\ALPHA",
         kErrorIntoItself},
        {"a file where a folder of its name is", TransferKind::Copy, "src\\a.txt", "dst\\a.txt", kErrorFolderInTheWay},
        {"a file moved where a folder of its name is", TransferKind::Move, "src\\a.txt", "dst\\a.txt",
         kErrorFolderInTheWay},
        {"a folder where a file of its name is", TransferKind::Copy, "src\\file-folder", "dst\\file",
         kErrorFileInTheWay},
        {"a source that is gone", TransferKind::Copy, "src\\gone.txt", "dst\\gone.txt", ERROR_FILE_NOT_FOUND},
    };
    const std::vector<std::string> before = TreeOf(m_root.Path());
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedAnswers answers;
        answers.answers = {Answer::YesToAll, Answer::YesToAll};
        const TransferResult result = Run(c.kind, {{c.source, c.dest}}, answers);
        EXPECT_EQ(before, TreeOf(m_root.Path()));
        ASSERT_EQ(1u, result.items.size());
        EXPECT_EQ(ItemOutcome::kFailed, result.items[0].state);
        ASSERT_EQ(1u, result.failures.size());
        EXPECT_EQ(c.dwError, result.failures[0].dwError);
        EXPECT_FALSE(DescribeFailures(result).empty()) << "the user is told";
    }
    // A path longer than the system makes: that part fails, the rest goes on.
    const std::string longName(240 - m_root.Sub("dst\\").size(), 'n');
    m_root.MakeFolder("dst\\" + longName);
    ASSERT_TRUE(Exists(m_root.Sub("dst\\" + longName)));
    ScriptedAnswers answers;
    const TransferResult result =
        Run(TransferKind::Copy, {{"src\\alpha", "dst\\" + longName + "\\alpha"}, {"src\\a.txt", "dst\\b.txt"}}, answers);
    ASSERT_EQ(2u, result.items.size());
    EXPECT_EQ(ItemOutcome::kPartly, result.items[0].state);
    EXPECT_EQ("alpha's", Contents(m_root.Sub("dst\\" + longName + "\\alpha\\x.txt")));
    EXPECT_FALSE(Exists(m_root.Sub("dst\\" + longName + "\\alpha\\inner")));
    EXPECT_EQ(ItemOutcome::kDone, result.items[1].state);
    EXPECT_EQ("new a", Contents(m_root.Sub("dst\\b.txt")));
    ASSERT_FALSE(result.failures.empty());
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), result.failures[0].dwError);
}

TEST_F(FileEngineTest, AFileInUseStaysWhereItWasAndTheRestGoesOn)
{
    m_root.MakeFiles({"src\\b.txt"}, "b");
    // Held open by another program, with no sharing at all.
    HANDLE hHeld = CreateFileA(m_root.Sub("src\\a.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    for (TransferKind kind : {TransferKind::Copy, TransferKind::Move}) {
        SCOPED_TRACE(kind == TransferKind::Copy ? "copy" : "move");
        ScriptedAnswers answers;
        const TransferResult result = Run(kind, {{"src\\a.txt", "dst\\a.txt"}, {"src\\b.txt", "dst\\b.txt"}}, answers);
        ASSERT_EQ(2u, result.items.size());
        EXPECT_EQ(ItemOutcome::kFailed, result.items[0].state);
        EXPECT_EQ(ItemOutcome::kDone, result.items[1].state);
        EXPECT_FALSE(Exists(m_root.Sub("dst\\a.txt"))) << "nothing partial";
        EXPECT_EQ("b", Contents(m_root.Sub("dst\\b.txt")));
        ASSERT_EQ(1u, result.failures.size());
        EXPECT_EQ(m_root.Sub("src\\a.txt"), std::string(result.failures[0].path.begin(), result.failures[0].path.end()));
        EXPECT_NE(0u, result.failures[0].dwError);
        DeleteFileA(m_root.Sub("dst\\b.txt").c_str());
        if (!Exists(m_root.Sub("src\\b.txt"))) m_root.MakeFiles({"src\\b.txt"}, "b");
    }
    CloseHandle(hHeld);
    EXPECT_EQ("new a", Contents(m_root.Sub("src\\a.txt")));
}

TEST_F(FileEngineTest, AReadOnlyFileInTheWayIsReplacedOnlyOnAYesAndAttributesAndTimesComeAlong)
{
    m_root.MakeFiles({"dst\\a.txt"}, "old a");
    SetFileAttributesA(m_root.Sub("dst\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    for (Answer answer : {Answer::No, Answer::Yes}) {
        ScriptedAnswers answers;
        answers.answers = {answer};
        Run(TransferKind::Copy, {{"src\\a.txt", "dst\\a.txt"}}, answers);
        EXPECT_EQ(answer == Answer::Yes ? "new a" : "old a", Contents(m_root.Sub("dst\\a.txt")));
        EXPECT_EQ(1u, answers.asked.size());
    }
    EXPECT_EQ((std::vector<std::string>{"a.txt=new a"}), TreeOf(m_root.Sub("dst"))) << "no spare copy left behind";

    // Read-only, hidden and the modification time are kept, for a small file, a large one
    // (copied piece by piece) and a folder.
    MakeBigFile(m_root.Sub("src\\alpha\\big.bin"), 3 * CFileEngine::kPieceSize + 17);
    for (const char* rel : {"src\\alpha\\x.txt", "src\\alpha\\big.bin", "src\\alpha\\inner"}) {
        SetWriteTime(m_root.Sub(rel), std::string(rel).find('.') == std::string::npos);
        SetFileAttributesA(m_root.Sub(rel).c_str(), GetFileAttributesA(m_root.Sub(rel).c_str()) |
                                                        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    }
    ScriptedAnswers answers;
    Run(TransferKind::Copy, {{"src\\alpha", "dst\\alpha"}}, answers);
    for (const char* rel : {"alpha\\x.txt", "alpha\\big.bin", "alpha\\inner"}) {
        SCOPED_TRACE(rel);
        const std::string from = m_root.Sub(std::string("src\\") + rel), to = m_root.Sub(std::string("dst\\") + rel);
        EXPECT_EQ(GetFileAttributesA(from.c_str()), GetFileAttributesA(to.c_str()));
        const FILETIME a = WriteTime(from), b = WriteTime(to);
        EXPECT_EQ(a.dwLowDateTime, b.dwLowDateTime);
        EXPECT_EQ(a.dwHighDateTime, b.dwHighDateTime);
    }
    EXPECT_EQ(SizeOf(m_root.Sub("src\\alpha\\big.bin")), SizeOf(m_root.Sub("dst\\alpha\\big.bin")));
    for (const char* rel : {"src\\alpha\\x.txt", "src\\alpha\\big.bin", "src\\alpha\\inner", "dst\\alpha\\x.txt",
                            "dst\\alpha\\big.bin", "dst\\alpha\\inner", "dst\\a.txt"}) {
        SetFileAttributesA(m_root.Sub(rel).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

struct CancelCase {
    const char* what;
    TransferKind kind;
    bool bWithinLargeFile;  // else between files
};

TEST_F(FileEngineTest, ACancelKeepsWhatWasCompletedAndLeavesNothingPartial)
{
    const CancelCase cases[] = {
        {"copy, within a large file", TransferKind::Copy, true},
        {"copy, between files", TransferKind::Copy, false},
    };
    for (const CancelCase& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveTree(m_root.Sub("src"));
        RemoveTree(m_root.Sub("dst"));
        m_root.MakeFolders({"src\\many", "dst"});
        for (int i = 0; i < 6; i++) m_root.MakeFile("src\\many\\f" + std::to_string(i) + ".txt", "f");
        MakeBigFile(m_root.Sub("src\\big.bin"), 4 * CFileEngine::kPieceSize);
        ScriptedAnswers answers;
        answers.onProgress = [&](const TransferProgress& p, CFileEngine& engine) {
            const bool bInBig = p.current.find(L"big.bin") != std::wstring::npos;
            if (c.bWithinLargeFile ? (bInBig && p.bytesDone >= 2 * CFileEngine::kPieceSize) : p.filesDone == 3)
                engine.Cancel();
        };
        // The folder first, then the large file.
        const TransferResult result = Run(c.kind, {{"src\\many", "dst\\many"}, {"src\\big.bin", "dst\\big.bin"}}, answers);
        EXPECT_TRUE(result.bCancelled);
        EXPECT_FALSE(Exists(m_root.Sub("dst\\big.bin"))) << "the partial copy was removed";
        EXPECT_TRUE(Exists(m_root.Sub("src\\big.bin")));
        EXPECT_EQ(4 * CFileEngine::kPieceSize, SizeOf(m_root.Sub("src\\big.bin")));
        size_t nArrived = 0, nLeft = 0;
        for (int i = 0; i < 6; i++) {
            const std::string name = "\\many\\f" + std::to_string(i) + ".txt";
            const bool bArrived = Exists(m_root.Sub("dst" + name)), bLeft = Exists(m_root.Sub("src" + name));
            nArrived += bArrived;
            nLeft += bLeft;
            EXPECT_TRUE(bArrived || bLeft) << name << " is somewhere";
            if (bArrived) {
                EXPECT_EQ("f", Contents(m_root.Sub("dst" + name)));
            }
        }
        EXPECT_EQ(c.bWithinLargeFile ? 6u : 3u, nArrived) << "what was completed stays";
        EXPECT_EQ(c.kind == TransferKind::Copy ? 6u : 0u, nLeft) << "a moved file goes once it has arrived";
        ASSERT_EQ(2u, result.items.size());
        EXPECT_NE(ItemOutcome::kDone, result.items[1].state);
        EXPECT_TRUE(result.failures.empty()) << "a cancel is no failure";
    }
}

TEST_F(FileEngineTest, ADeleteGoesToTheTrashOrAsksBeforeDeletingForGood)
{
    struct {
        const char* what;
        DWORD dwRecycled;  // what the trash says
        Answer answer;
        bool bGone;
        bool bAsked;
    } const cases[] = {
        {"the trash takes it", 0, Answer::No, true, false},
        {"no trash, and no to deleting for good", kErrorNoTrash, Answer::No, false, true},
        {"no trash, and yes to deleting for good", kErrorNoTrash, Answer::Yes, true, true},
        {"the trash fails", ERROR_ACCESS_DENIED, Answer::Yes, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_root.MakeFolders({"src\\alpha\\inner"});
        m_root.MakeFiles({"src\\alpha\\x.txt"}, "x");
        SetFileAttributesA(m_root.Sub("src\\alpha\\x.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        std::vector<std::wstring> recycled;
        ScriptedAnswers answers;
        answers.answers = {c.answer};
        const TransferResult result = Run(TransferKind::Delete, {{"src\\alpha", ""}}, answers,
                                          [&](const std::wstring& path) {
                                              recycled.push_back(path);
                                              if (c.dwRecycled == 0) RemoveTree(path);
                                              return c.dwRecycled;
                                          });
        EXPECT_EQ(1u, recycled.size()) << "the trash is tried first";
        EXPECT_EQ(!c.bGone, Exists(m_root.Sub("src\\alpha\\x.txt")));
        EXPECT_EQ(!c.bGone, Exists(m_root.Sub("src\\alpha")));
        EXPECT_EQ(c.bAsked, !answers.asked.empty());
        EXPECT_EQ(c.bGone ? ItemOutcome::kDone : (c.bAsked ? ItemOutcome::kSkipped : ItemOutcome::kFailed),
                  result.items[0].state);
        SetFileAttributesA(m_root.Sub("src\\alpha\\x.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_TRUE(Exists(m_root.Sub("src\\a.txt"))) << "nothing outside the operation is touched";
    }
}

// ---- As the user meets it ----------------------------------------------------------------------

// The program's own windows while the operation runs: the progress window (once it shows),
// and how often a window of the caller's thread was served.
struct WhileRunning {
    HWND hProgress = nullptr;
    std::string counts;
    bool bCancelPressed = false;
    int nTicks = 0;
};

BOOL CALLBACK FindProgress(HWND hWnd, LPARAM lParam)
{
    wchar_t cls[64] = L"";
    GetClassNameW(hWnd, cls, 64);
    if (lstrcmpW(cls, kTransferProgressClass) == 0 && IsWindowVisible(hWnd)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

WhileRunning g_seen;

// Served by the caller's thread, as every window of the program is: watches for the progress
// window and presses its Cancel once it shows counts of bytes.
void CALLBACK WatchProgress(HWND, UINT, UINT_PTR, DWORD)
{
    g_seen.nTicks++;
    if (!g_seen.hProgress) EnumThreadWindows(GetCurrentThreadId(), FindProgress, reinterpret_cast<LPARAM>(&g_seen.hProgress));
    if (!g_seen.hProgress || g_seen.bCancelPressed) return;
    char text[256] = "";
    for (HWND hChild = GetWindow(g_seen.hProgress, GW_CHILD); hChild; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
        GetWindowTextA(hChild, text, sizeof(text));
        if (strstr(text, " of ")) g_seen.counts = text;
    }
    if (g_seen.counts.find("MB of") != std::string::npos) {
        g_seen.bCancelPressed = true;
        PostMessageA(g_seen.hProgress, WM_COMMAND, IDCANCEL, 0);
    }
}

TEST_F(FileEngineTest, ALongOperationShowsItsProgressKeepsWindowsServedAndCancelsOnTheButton)
{
    MakeBigFile(m_root.Sub("src\\big.bin"), 16 * CFileEngine::kPieceSize);
    CFileEngine::SetPieceDelayForTesting(100);
    g_seen = WhileRunning();
    HWND hOwner = CreateWindowA("STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_TRUE(hOwner);
    SetTimer(hOwner, 1, 50, WatchProgress);
    const TransferResult result =
        RunFileOperation(hOwner, TransferKind::Copy, {{W(m_root.Sub("src\\big.bin")), W(m_root.Sub("dst\\big.bin"))}});
    CFileEngine::SetPieceDelayForTesting(0);
    KillTimer(hOwner, 1);
    DestroyWindow(hOwner);

    EXPECT_TRUE(g_seen.hProgress) << "a progress window after half a second";
    EXPECT_NE(std::string::npos, g_seen.counts.find("0 of 1 item")) << g_seen.counts;
    EXPECT_TRUE(g_seen.bCancelPressed);
    EXPECT_GT(g_seen.nTicks, 5) << "the caller's windows were served meanwhile";
    EXPECT_TRUE(result.bCancelled);
    EXPECT_FALSE(Exists(m_root.Sub("dst\\big.bin")));
    EXPECT_FALSE(IsWindow(g_seen.hProgress)) << "the window went with the operation";

    // A short one shows no window at all, and a question is a box of the user's to answer.
    g_seen = WhileRunning();
    m_root.MakeFiles({"dst\\a.txt"}, "old a");
    {
        ModalWatcher no(IDNO);
        const TransferResult quick =
            RunFileOperation(nullptr, TransferKind::Copy, {{W(m_root.Sub("src\\a.txt")), W(m_root.Sub("dst\\a.txt"))}});
        ASSERT_EQ(1u, no.Count());
        EXPECT_EQ("Confirm File Replace", no.Seen()[0].caption);
        EXPECT_EQ(ItemOutcome::kSkipped, quick.items[0].state);
    }
    EXPECT_EQ("old a", Contents(m_root.Sub("dst\\a.txt")));
}

}  // namespace
