// The search engine on real folder trees, without windows: names, contents in three
// encodings, dates, sizes, links that loop, folders and files that cannot be read, large
// files, long paths, a large tree, stopping, and the worker that hands results over in
// batches; and what the find window reads from what the user typed.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "find/FileSearch.h"
#include "find/FindInput.h"
#include "find/SearchThread.h"
#include "res/resource.h"
#include "shell/Wine.h"
#include "support/ScratchFolder.h"

namespace {

// Records what a search reports; may ask it to stop after so many items.
class CRecordingSink : public CFindSink {
public:
    explicit CRecordingSink(std::atomic<bool>* pStop = nullptr, size_t nStopAfter = 0)
        : m_pStop(pStop), m_nStopAfter(nStopAfter) {}
    void OnFolder(const std::wstring& folder) override { folders.push_back(folder); }
    void OnFound(CFoundItem&& item) override
    {
        items.push_back(std::move(item));
        if (m_pStop && items.size() >= m_nStopAfter) m_pStop->store(true);
    }
    std::vector<CFoundItem> items;
    std::vector<std::wstring> folders;

private:
    std::atomic<bool>* m_pStop;
    size_t m_nStopAfter;
};

std::string Narrow(const std::wstring& text)
{
    return std::string(AnsiText(text).GetString());
}

class FindEngineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_root.Made()); }

    CFindCriteria Criteria(const std::wstring& names = L"", const std::wstring& text = L"")
    {
        CFindCriteria criteria;
        criteria.folder = Widen(m_root.Path());
        EXPECT_EQ(CNamePattern::kOk, criteria.names.Parse(names));
        criteria.text.Prepare(text);
        return criteria;
    }

    // What the search finds, as sorted paths relative to the root (folders end in '\').
    std::vector<std::string> Found(const CFindCriteria& criteria, CFindSummary* pSummary = nullptr,
                                   const CFileSearch& engine = CFileSearch())
    {
        std::atomic<bool> stop(false);
        CRecordingSink sink;
        CFindSummary summary = engine.Run(criteria, sink, stop);
        if (pSummary) *pSummary = summary;
        std::vector<std::string> found;
        const size_t cchRoot = m_root.Path().size() + 1;
        for (const CFoundItem& item : sink.items) {
            std::string relative = Narrow(item.path).substr(cchRoot);
            if (item.IsFolder()) relative += "\\";
            found.push_back(relative);
        }
        std::sort(found.begin(), found.end());
        EXPECT_EQ(sink.items.size(), summary.nFound);
        return found;
    }

    void MakeFileOfSize(const std::string& relative, LONGLONG cb, const std::string& start = "")
    {
        m_root.MakeFile(relative, start);
        HANDLE h = CreateFileA(m_root.Sub(relative).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER size;
        size.QuadPart = cb;
        SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
        SetEndOfFile(h);
        CloseHandle(h);
    }

    void SetModified(const std::string& relative, int nDaysAgo)
    {
        FILETIME ft;
        GetSystemTimeAsFileTime(&ft);
        ULARGE_INTEGER t = {{ft.dwLowDateTime, ft.dwHighDateTime}};
        t.QuadPart -= static_cast<ULONGLONG>(nDaysAgo) * 24 * 3600 * 10000000ULL;
        ft.dwLowDateTime = t.LowPart;
        ft.dwHighDateTime = t.HighPart;
        HANDLE h = CreateFileA(m_root.Sub(relative).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        SetFileTime(h, nullptr, nullptr, &ft);
        CloseHandle(h);
    }

    ScratchFolder m_root{"findengine"};
};

// Links to folders that a test makes, removed again when it ends. Windows makes them with
// CreateSymbolicLinkW. Wine 8 answers that call with success and makes nothing, but shows a
// Unix symbolic link to a folder as a folder that is a reparse point, so there /bin/ln makes
// them; and as Wine cannot remove such a link (RemoveDirectoryW and DeleteFileW both fail),
// /bin/rm removes them.
class CFolderLinks {
public:
    CFolderLinks() = default;
    CFolderLinks(const CFolderLinks&) = delete;
    CFolderLinks& operator=(const CFolderLinks&) = delete;
    ~CFolderLinks()
    {
        for (auto it = m_links.rbegin(); it != m_links.rend(); ++it) {
            if (!GetWineVersion() || !RunUnix("Z:\\bin\\rm", "rm \"" + UnixName(*it) + "\"")) {
                RemoveDirectoryA(it->c_str());
            }
            for (int i = 0; i < 500 && Exists(*it); i++) Sleep(10);
        }
    }

    // Empty when made, else why it could not be.
    std::string Make(const std::string& link, const std::string& target)
    {
        if (CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && Exists(link)) {
            m_links.push_back(link);
            return "";
        }
        if (!GetWineVersion()) return "CreateSymbolicLinkW failed (no privilege to make links)";
        const std::string unixTarget = UnixName(target), unixLink = UnixName(link);
        if (unixTarget.empty() || unixLink.empty()) return "Wine's kernel32 gives no Unix names";
        if (!RunUnix("Z:\\bin\\ln", "ln -s \"" + unixTarget + "\" \"" + unixLink + "\"")) return "/bin/ln could not be run";
        m_links.push_back(link);
        // Wine's process for a Unix program ends before the program has done its work.
        DWORD attributes = INVALID_FILE_ATTRIBUTES;
        for (int i = 0; i < 500 && attributes == INVALID_FILE_ATTRIBUTES; i++, Sleep(10)) {
            attributes = GetFileAttributesA(link.c_str());
        }
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT) || attributes == INVALID_FILE_ATTRIBUTES) {
            return "a link made by /bin/ln does not show as a reparse point";
        }
        return "";
    }

    // The Unix path Wine maps a path to (also for one that does not exist yet).
    static std::string UnixName(const std::string& path)
    {
        typedef char*(__cdecl * UnixNameFn)(LPCWSTR);
        UnixNameFn pfn = reinterpret_cast<UnixNameFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
        char* psz = pfn ? pfn(Widen(path).c_str()) : nullptr;
        const std::string name = psz ? psz : "";
        if (psz) HeapFree(GetProcessHeap(), 0, psz);
        return name;
    }

    // Runs a Unix program under Wine and waits for it.
    static bool RunUnix(const char* pszProgram, std::string command)
    {
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi;
        if (!CreateProcessA(pszProgram, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
        WaitForSingleObject(pi.hProcess, 10000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return true;
    }

private:
    std::vector<std::string> m_links;
};

}  // namespace

// ---- Names ----------------------------------------------------------------------------------

TEST(NamePattern, WildcardsSeveralPatternsAndNoCase)
{
    const struct {
        const wchar_t* patterns;
        const wchar_t* name;
        bool match;
    } cases[] = {
        {L"*.txt", L"a.TXT", true},
        {L"*.txt", L"a.txt.bak", false},
        {L"a?c", L"ABC", true},
        {L"a?c", L"ac", false},
        {L"a?c", L"abbc", false},
        {L"*.txt;*.log", L"x.log", true},
        {L"*.txt *.log", L"x.LOG", true},
        {L"*.txt ; *.log", L"x.doc", false},
        {L"*a*b*c", L"xAxBxC", true},
        {L"*a*b*c", L"xaxcxb", false},
        {L"a*", L"A", true},
        {L"report", L"Annual REPORT 2020.doc", true},  // no wildcard: anywhere in the name
        {L"report", L"repor.doc", false},
        {L"", L"anything", true},
        {L"  ;  ", L"anything", true},
        {L"*.*", L"no-dot", true},
        {L"*", L"x", true},
        {L"\"my file*\"", L"My File 2.txt", true},
        {L"\"my file*\"", L"file.txt", false},
        {L"\xC4*", L"\xE4rger.txt", true},            // non-ASCII letters fold too
        {L"?.txt", L"\xD83D\xDE00.txt", true},       // a surrogate pair is one character
    };
    for (const auto& c : cases) {
        CNamePattern pattern;
        ASSERT_EQ(CNamePattern::kOk, pattern.Parse(c.patterns)) << Narrow(c.patterns);
        EXPECT_EQ(c.match, pattern.Matches(c.name)) << Narrow(c.patterns) << " / " << Narrow(c.name);
    }
}

TEST(NamePattern, PatternsNoNameCanMatchAreErrors)
{
    const struct {
        const wchar_t* patterns;
        CNamePattern::Error error;
        wchar_t bad;
    } cases[] = {
        {L"a|b", CNamePattern::kBadCharacter, L'|'},
        {L"*.txt dir\\x", CNamePattern::kBadCharacter, L'\\'},
        {L"c:x", CNamePattern::kBadCharacter, L':'},
        {L"<a>", CNamePattern::kBadCharacter, L'<'},
        {L"\"my file", CNamePattern::kUnbalancedQuote, 0},
    };
    for (const auto& c : cases) {
        CNamePattern pattern;
        EXPECT_EQ(c.error, pattern.Parse(c.patterns)) << Narrow(c.patterns);
        EXPECT_EQ(c.bad, pattern.BadCharacter()) << Narrow(c.patterns);
    }
}

// ---- Text -----------------------------------------------------------------------------------

// The text in each form a file holds it, found without regard to case; a form that does not
// hold it, and text that is not there, are not found.
TEST_F(FindEngineTest, TextIsFoundAsAnsiUtf16AndUtf8WithoutCase)
{
    // "Grüße" in the code page (1252 here), UTF-16LE with its mark, and UTF-8.
    const std::string ansi = "xx GR\xDC\xDF" "E yy";
    const std::string utf16("\xFF\xFEg\0r\0\xFC\0\xDF\0" "e\0", 12);
    const std::string utf8 = "-- gR\xC3\x9C\xC3\x9F" "E --";
    m_root.MakeFile("ansi.txt", ansi);
    m_root.MakeFile("utf16.txt", utf16);
    m_root.MakeFile("utf8.txt", utf8);
    m_root.MakeFile("other.txt", "Gruesse, nothing here");
    m_root.MakeFile("empty.txt", "");
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI case is written for code page 1252; this one is " << GetACP();
    EXPECT_EQ((std::vector<std::string>{"ansi.txt", "utf16.txt", "utf8.txt"}), Found(Criteria(L"", L"gr\xFC\xDF" L"e")));
    EXPECT_EQ((std::vector<std::string>{"other.txt"}), Found(Criteria(L"", L"NOTHING")));
    EXPECT_EQ(std::vector<std::string>{}, Found(Criteria(L"", L"absent")));
}

// Text the code page cannot hold is still found in the Unicode forms.
TEST(TextMatcher, TextOutsideTheCodePageIsFoundInTheUnicodeForms)
{
    CTextMatcher matcher;
    ASSERT_TRUE(matcher.Prepare(L"\x65E5\x672C"));  // 日本
    const std::string utf8 = "a \xE6\x97\xA5\xE6\x9C\xAC b";
    const std::string utf16("\xE5\x65\x2C\x67", 4);
    const std::string neither = "a ?? b";
    EXPECT_TRUE(matcher.Search(reinterpret_cast<const BYTE*>(utf8.data()), utf8.size()));
    EXPECT_TRUE(matcher.Search(reinterpret_cast<const BYTE*>(utf16.data()), utf16.size()));
    EXPECT_FALSE(matcher.Search(reinterpret_cast<const BYTE*>(neither.data()), neither.size()));
    EXPECT_FALSE(CTextMatcher().Prepare(L"")) << "an empty text is no search";
}

// Files are read in blocks: text that straddles the end of one block is found all the same,
// in each form; text cut short at the very end of the file is not.
TEST_F(FindEngineTest, TextAcrossTheBoundaryOfTwoBlocksIsFound)
{
    const size_t kBlock = 256 * 1024;
    const struct {
        const char* name;
        std::string needle;  // as the file holds it
        size_t before;       // bytes before it
    } cases[] = {
        {"ansi-straddles.bin", "NEEDLE", kBlock - 3},
        {"utf16-straddles.bin", std::string("N\0E\0E\0D\0L\0E\0", 12), kBlock - 5},
        {"at-block-end.bin", "NEEDLE", kBlock - 6},
        {"second-block.bin", "needle", kBlock + 100},
    };
    for (const auto& c : cases) m_root.MakeFile(c.name, std::string(c.before, 'x') + c.needle + "tail");
    m_root.MakeFile("cut-short.bin", std::string(kBlock - 3, 'x') + "NEED");
    EXPECT_EQ((std::vector<std::string>{"ansi-straddles.bin", "at-block-end.bin", "second-block.bin",
                                        "utf16-straddles.bin"}),
              Found(Criteria(L"", L"needle")));
}

// Text search is about files: folders do not match it, nor a size limit.
TEST_F(FindEngineTest, TextAndSizeLeaveFoldersOut)
{
    m_root.MakeFolders({"needle-folder"});
    m_root.MakeFile("needle.txt", "needle");
    EXPECT_EQ((std::vector<std::string>{"needle-folder\\", "needle.txt"}), Found(Criteria(L"needle")));
    EXPECT_EQ((std::vector<std::string>{"needle.txt"}), Found(Criteria(L"needle", L"needle")));
    CFindCriteria sized = Criteria(L"needle");
    sized.bMaxSize = true;
    sized.cbMax = 1024;
    EXPECT_EQ((std::vector<std::string>{"needle.txt"}), Found(sized));
}

// Files over 100 MB are read for the text only when asked; skipped ones are counted.
TEST_F(FindEngineTest, LargeFilesAreSearchedForTextOnlyWhenAsked)
{
    MakeFileOfSize("big.dat", static_cast<LONGLONG>(kLargeFileBytes) + 1, "marker at the start");
    MakeFileOfSize("exactly-100mb.dat", static_cast<LONGLONG>(kLargeFileBytes), "marker too");
    m_root.MakeFile("small.txt", "a marker");
    CFindSummary summary;
    CFindCriteria criteria = Criteria(L"", L"MARKER");
    EXPECT_EQ((std::vector<std::string>{"exactly-100mb.dat", "small.txt"}), Found(criteria, &summary));
    EXPECT_EQ(1u, summary.nLargeFilesSkipped);
    criteria.bLargeFiles = true;
    EXPECT_EQ((std::vector<std::string>{"big.dat", "exactly-100mb.dat", "small.txt"}), Found(criteria, &summary));
    EXPECT_EQ(0u, summary.nLargeFilesSkipped);
    // Without text nothing is read: a large file is found by its name like any other.
    EXPECT_EQ((std::vector<std::string>{"big.dat"}), Found(Criteria(L"big*")));
}

// A file another program holds without sharing cannot be read: it is counted, not found,
// and the search goes on.
TEST_F(FindEngineTest, AFileThatCannotBeReadIsCountedAndTheSearchGoesOn)
{
    m_root.MakeFile("held.txt", "needle");
    m_root.MakeFile("free.txt", "needle");
    HANDLE hHeld = CreateFileA(m_root.Sub("held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    CFindSummary summary;
    EXPECT_EQ((std::vector<std::string>{"free.txt"}), Found(Criteria(L"", L"needle"), &summary));
    EXPECT_EQ(1u, summary.nUnreadableFiles);
    CloseHandle(hHeld);
}

// ---- Dates, sizes, sub-folders ------------------------------------------------------------

TEST_F(FindEngineTest, DateSizeAndSubFolderFiltersCombine)
{
    m_root.MakeFolders({"sub", "sub\\deeper"});
    MakeFileOfSize("new-small.txt", 100);
    MakeFileOfSize("new-big.txt", 50 * 1024);
    MakeFileOfSize("old-small.txt", 100);
    MakeFileOfSize("sub\\new-mid.txt", 5 * 1024);
    MakeFileOfSize("sub\\deeper\\old-mid.txt", 5 * 1024);
    SetModified("old-small.txt", 30);
    SetModified("sub\\deeper\\old-mid.txt", 400);
    SetModified("sub\\deeper", 400);
    FILETIME ftNow;
    GetSystemTimeAsFileTime(&ftNow);

    const struct {
        const char* name;
        const wchar_t *days, *minKB, *maxKB;
        bool bSubFolders;
        std::vector<std::string> expected;
    } cases[] = {
        {"everything", L"", L"", L"", true,
         {"new-big.txt", "new-small.txt", "old-small.txt", "sub\\", "sub\\deeper\\", "sub\\deeper\\old-mid.txt",
          "sub\\new-mid.txt"}},
        {"top folder only", L"", L"", L"", false, {"new-big.txt", "new-small.txt", "old-small.txt", "sub\\"}},
        {"last 7 days", L"7", L"", L"", true, {"new-big.txt", "new-small.txt", "sub\\", "sub\\new-mid.txt"}},
        {"last 31 days", L"31", L"", L"", true,
         {"new-big.txt", "new-small.txt", "old-small.txt", "sub\\", "sub\\new-mid.txt"}},
        {"at least 5 KB", L"", L"5", L"", true, {"new-big.txt", "sub\\deeper\\old-mid.txt", "sub\\new-mid.txt"}},
        {"at most 5 KB", L"", L"", L"5", true,
         {"new-small.txt", "old-small.txt", "sub\\deeper\\old-mid.txt", "sub\\new-mid.txt"}},
        {"between 1 and 10 KB, new", L"7", L"1", L"10", true, {"sub\\new-mid.txt"}},
    };
    for (const auto& c : cases) {
        CFindInput input;
        input.folder = Widen(m_root.Path());
        input.days = c.days;
        input.minKB = c.minKB;
        input.maxKB = c.maxKB;
        input.bSubFolders = c.bSubFolders;
        CFindCriteria criteria;
        CString error;
        ASSERT_TRUE(ReadFindInput(input, ftNow, criteria, error)) << c.name << ": " << error.GetString();
        EXPECT_EQ(c.expected, Found(criteria)) << c.name;
    }
}

// ---- Links, unreadable folders, the folder itself -------------------------------------------

// A link back to a folder on the way is not followed, whether it points at the folder that
// holds it, at one further up, or comes back through another link; a link elsewhere is
// followed, once.
TEST_F(FindEngineTest, LinksThatLoopAreFollowedAtMostOnce)
{
    ScratchFolder outside("findengine-outside");
    m_root.MakeFolders({"a", "a\\b"});
    m_root.MakeFile("a\\b\\inner.txt");
    CreateDirectoryA(outside.Sub("o").c_str(), nullptr);
    outside.MakeFile("o\\away.txt");
    const struct {
        std::string link, target;
    } links[] = {
        {m_root.Sub("a\\b\\up"), m_root.Sub("a")},        // to the folder above
        {m_root.Sub("a\\self"), m_root.Sub("a")},         // to the folder that holds it
        {m_root.Sub("a\\top"), m_root.Path()},            // to the folder searched
        {m_root.Sub("away"), outside.Sub("o")},           // elsewhere
        {outside.Sub("o\\back"), m_root.Sub("a")},        // ... and from there back in
    };
    CFolderLinks made;
    for (const auto& l : links) {
        const std::string why = made.Make(l.link, l.target);
        if (!why.empty()) GTEST_SKIP() << "no folder links can be made here: " << why;
    }
    CFindSummary summary;
    const std::vector<std::string> found = Found(Criteria(L"*.txt"), &summary);
    EXPECT_EQ((std::vector<std::string>{"a\\b\\inner.txt", "away\\away.txt", "away\\back\\b\\inner.txt"}), found);
    // up, self and top loop; through away, back is followed (a is not on that way), and
    // inside it up, self and top are met again, and loop again.
    EXPECT_EQ(6u, summary.nLoopsAvoided);
    EXPECT_FALSE(summary.bStopped);
}

namespace {

// Lists folders whose name says "locked" as a folder without access does.
HANDLE FindFirstRefusingLocked(const wchar_t* pszPattern, WIN32_FIND_DATAW* pData)
{
    if (::wcsstr(pszPattern, L"locked")) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return CFileSearch::FindFirst(pszPattern, pData);
}

}  // namespace

// Sub-folders that cannot be listed are skipped and counted; the rest is searched. (The tests
// run as a user who may read every folder, so the listing is refused for them here.)
TEST_F(FindEngineTest, UnreadableSubFoldersAreSkippedAndCounted)
{
    m_root.MakeFolders({"open", "locked1", "open\\locked2", "open\\deeper"});
    m_root.MakeFiles({"open\\a.txt", "locked1\\hidden.txt", "open\\locked2\\hidden.txt", "open\\deeper\\b.txt"});
    CFileSearch engine;
    engine.m_pfnFindFirst = &FindFirstRefusingLocked;
    CFindSummary summary;
    EXPECT_EQ((std::vector<std::string>{"open\\a.txt", "open\\deeper\\b.txt"}), Found(Criteria(L"*.txt"), &summary, engine));
    EXPECT_EQ(2u, summary.nUnreadableFolders);
    EXPECT_EQ(CFindSummary::kRootSearched, summary.root);
}

// The same with the file system's own refusal, where the tests' user can be refused at all.
TEST_F(FindEngineTest, AFolderWithoutReadPermissionIsCounted_NeedsAUserWhoCanBeRefused)
{
    m_root.MakeFolders({"closed"});
    m_root.MakeFile("closed\\x.txt");
    if (!GetWineVersion()) GTEST_SKIP() << "only under Wine can the test take the permission away (chmod)";
    const std::string unixName = CFolderLinks::UnixName(m_root.Sub("closed"));
    ASSERT_TRUE(CFolderLinks::RunUnix("Z:\\bin\\chmod", "chmod 000 \"" + unixName + "\""));
    // Wine's process for a Unix program ends before the program has done its work.
    WIN32_FIND_DATAW data;
    HANDLE hProbe = INVALID_HANDLE_VALUE;
    for (int i = 0; i < 100; i++, Sleep(20)) {
        hProbe = CFileSearch::FindFirst(Widen(m_root.Sub("closed\\*")).c_str(), &data);
        if (hProbe == INVALID_HANDLE_VALUE) break;
        FindClose(hProbe);
    }
    if (hProbe != INVALID_HANDLE_VALUE) {
        GTEST_SKIP() << "the tests' user reads a folder without permissions (root): no folder can be unreadable";
    }
    CFindSummary summary;
    EXPECT_EQ(std::vector<std::string>{}, Found(Criteria(L"*.txt"), &summary));
    EXPECT_EQ(1u, summary.nUnreadableFolders);
    CFolderLinks::RunUnix("Z:\\bin\\chmod", "chmod 755 \"" + unixName + "\"");
}

TEST_F(FindEngineTest, AFolderToLookInThatCannotBeSearchedSaysWhy)
{
    m_root.MakeFile("file.txt");
    CFileSearch refusing;
    refusing.m_pfnFindFirst = &FindFirstRefusingLocked;
    m_root.MakeFolders({"locked"});
    const struct {
        std::string folder;
        CFindSummary::Root root;
        const char* sentence;
    } cases[] = {
        {m_root.Sub("missing"), CFindSummary::kRootMissing, "The folder \"%s\" does not exist."},
        {m_root.Sub("file.txt"), CFindSummary::kRootNotFolder, "\"%s\" is a file, not a folder to look in."},
        {m_root.Sub("locked"), CFindSummary::kRootUnreadable, "The folder \"%s\" cannot be read."},
        {"\\\\no-such-server.invalid\\share", CFindSummary::kRootNoAnswer,
         "The network folder \"%s\" cannot be reached: it does not exist, or the network does not answer."},
    };
    for (const auto& c : cases) {
        CFindCriteria criteria = Criteria();
        criteria.folder = Widen(c.folder);
        CFindSummary summary;
        EXPECT_EQ(std::vector<std::string>{}, Found(criteria, &summary, refusing)) << c.folder;
        EXPECT_EQ(c.root, summary.root) << c.folder;
        CString expected;
        expected.Format(c.sentence, c.folder.c_str());
        EXPECT_EQ(expected.str(), DescribeRootFailure(summary, criteria.folder).str());
    }
}

// ---- Long paths, a large tree, stopping --------------------------------------------------

// Paths longer than MAX_PATH are walked and reported whole.
TEST_F(FindEngineTest, FoldersDeeperThanMaxPathAreSearched)
{
    // The scratch folder's removal does not reach below MAX_PATH: the test removes its own.
    struct DeepFolders {
        std::wstring path;
        int nMade = 0;
        ~DeepFolders()
        {
            DeleteFileW((path + L"\\deep.txt").c_str());
            for (; nMade > 0; nMade--) {
                RemoveDirectoryW(path.c_str());
                path.resize(path.rfind(L'\\'));
            }
        }
    } deep;
    deep.path = L"\\\\?\\" + Widen(m_root.Path());
    for (int i = 0; i < 12; i++) {
        deep.path += L"\\a-folder-with-a-rather-long-name-" + std::to_wstring(i);
        ASSERT_TRUE(CreateDirectoryW(deep.path.c_str(), nullptr));
        deep.nMade++;
    }
    HANDLE h = CreateFileW((deep.path + L"\\deep.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
    std::atomic<bool> stop(false);
    CRecordingSink sink;
    CFileSearch().Run(Criteria(L"deep.txt"), sink, stop);
    ASSERT_EQ(1u, sink.items.size());
    EXPECT_GT(sink.items[0].path.size(), static_cast<size_t>(MAX_PATH));
    EXPECT_EQ(deep.path.substr(4) + L"\\deep.txt", sink.items[0].path);
}

// Thousands of folders and files: each is seen once, and the pattern picks exactly its own.
TEST_F(FindEngineTest, ALargeTreeIsWalkedWholeAndOnce)
{
    const int kFolders = 40, kSub = 10, kFiles = 12;
    for (int f = 0; f < kFolders; f++) {
        const std::string folder = "f" + std::to_string(f);
        m_root.MakeFolder(folder);
        for (int s = 0; s < kSub; s++) {
            const std::string sub = folder + "\\s" + std::to_string(s);
            m_root.MakeFolder(sub);
            for (int i = 0; i < kFiles; i++) m_root.MakeFile(sub + "\\file" + std::to_string(i) + (i % 3 ? ".txt" : ".log"));
        }
    }
    std::atomic<bool> stop(false);
    CRecordingSink all;
    const CFindSummary summary = CFileSearch().Run(Criteria(), all, stop);
    EXPECT_EQ(static_cast<size_t>(kFolders + kFolders * kSub + kFolders * kSub * kFiles), all.items.size());
    EXPECT_EQ(static_cast<unsigned long>(1 + kFolders + kFolders * kSub), summary.nFolders);
    std::vector<std::wstring> paths;
    for (const CFoundItem& item : all.items) paths.push_back(item.path);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths.end(), std::adjacent_find(paths.begin(), paths.end())) << "an item reported twice";
    CRecordingSink logs;
    CFileSearch().Run(Criteria(L"*.LOG"), logs, stop);
    EXPECT_EQ(static_cast<size_t>(kFolders * kSub * kFiles / 3), logs.items.size());
}

// Stop ends the search at once: nothing more is reported after it, in the walk or while a
// file is read for its text.
TEST_F(FindEngineTest, StopEndsTheSearchAtOnce)
{
    for (int f = 0; f < 20; f++) {
        m_root.MakeFolder("f" + std::to_string(f));
        for (int i = 0; i < 10; i++) m_root.MakeFile("f" + std::to_string(f) + "\\x" + std::to_string(i) + ".txt");
    }
    std::atomic<bool> stop(false);
    CRecordingSink sink(&stop, 3);
    const CFindSummary summary = CFileSearch().Run(Criteria(L"*.txt"), sink, stop);
    EXPECT_TRUE(summary.bStopped);
    EXPECT_EQ(3u, sink.items.size());

    // Asked to stop while reading: the reading ends before the next block.
    MakeFileOfSize("big.dat", 4 * 1024 * 1024);
    CTextMatcher matcher;
    matcher.Prepare(L"absent");
    std::vector<BYTE> buffer;
    std::atomic<bool> stopped(true);
    EXPECT_EQ(TextFound::kStopped, FileContainsText(Widen(m_root.Sub("big.dat")), matcher, stopped, buffer));
    std::atomic<bool> running(false);
    EXPECT_EQ(TextFound::kNo, FileContainsText(Widen(m_root.Sub("big.dat")), matcher, running, buffer));
}

// The worker hands everything over exactly once, in far fewer messages than items, and
// says when it has ended; once stopped, it tells the window nothing more.
TEST_F(FindEngineTest, TheWorkerHandsItemsOverInBatches)
{
    for (int f = 0; f < 30; f++) {
        m_root.MakeFolder("f" + std::to_string(f));
        for (int i = 0; i < 50; i++) m_root.MakeFile("f" + std::to_string(f) + "\\x" + std::to_string(i));
    }
    HWND hWnd = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const UINT kMessage = WM_APP + 77;
    std::shared_ptr<CSearchThread> pSearch = CSearchThread::Start(Criteria(L"x*"), hWnd, kMessage, 5);
    size_t nMessages = 0, nItems = 0;
    bool bEnded = false;
    CFindSummary summary;
    for (DWORD start = GetTickCount(); !bEnded && GetTickCount() - start < 30000;) {
        MSG msg;
        if (!PeekMessageA(&msg, hWnd, kMessage, kMessage, PM_REMOVE)) {
            Sleep(5);
            continue;
        }
        EXPECT_EQ(5u, msg.wParam);
        nMessages++;
        std::vector<CFoundItem> items;
        bEnded = pSearch->TakeFound(items, summary);
        nItems += items.size();
    }
    ASSERT_TRUE(bEnded);
    EXPECT_EQ(1500u, nItems);
    EXPECT_EQ(1500u, summary.nFound);
    EXPECT_LT(nMessages, nItems / 10) << "a message per batch, not per file";

    // Stopped: no message comes after Stop, however much is still to be found.
    std::shared_ptr<CSearchThread> pStopped = CSearchThread::Start(Criteria(), hWnd, kMessage, 6);
    pStopped->Stop();
    ASSERT_TRUE(pStopped->Wait(30000));
    MSG msg;
    while (PeekMessageA(&msg, hWnd, kMessage, kMessage, PM_REMOVE)) {
        EXPECT_NE(6u, msg.wParam) << "a stopped search told the window";
    }
    DestroyWindow(hWnd);
}

// ---- What the user typed --------------------------------------------------------------

TEST_F(FindEngineTest, InputThatCannotBeSearchedForGetsItsSentence)
{
    FILETIME ftNow;
    GetSystemTimeAsFileTime(&ftNow);
    const std::wstring folder = Widen(m_root.Path());
    const struct {
        const wchar_t *names, *folder, *days, *minKB, *maxKB;
        int nBadControl;
        const char* sentence;
    } cases[] = {
        {L"a|b", folder.c_str(), L"", L"", L"", IDC_FIND_NAME,
         "The name \"a|b\" cannot be found: no file name contains the character |. Use * and ? as wildcards, and ; or "
         "blanks between names."},
        {L"\"my file", folder.c_str(), L"", L"", L"", IDC_FIND_NAME,
         "The name \"\"my file\" has a quote that is not closed. Put quotes around each name that holds blanks."},
        {L"", L"  ", L"", L"", L"", IDC_FIND_LOOKIN, "Enter the folder to look in, or choose one with Browse."},
        {L"", L"relative\\folder", L"", L"", L"", IDC_FIND_LOOKIN,
         "\"relative\\folder\" is not the full path of a folder. Enter one such as C:\\Data, or choose one with Browse."},
        {L"", folder.c_str(), L"seven", L"", L"", IDC_FIND_DAYS,
         "\"seven\" is not a number of days. Enter a whole number from 1 to 36500, or leave the box empty."},
        {L"", folder.c_str(), L"0", L"", L"", IDC_FIND_DAYS,
         "\"0\" is not a number of days. Enter a whole number from 1 to 36500, or leave the box empty."},
        {L"", folder.c_str(), L"36501", L"", L"", IDC_FIND_DAYS,
         "\"36501\" is not a number of days. Enter a whole number from 1 to 36500, or leave the box empty."},
        {L"", folder.c_str(), L"", L"1.5", L"", IDC_FIND_MINSIZE,
         "\"1.5\" is not a size. Enter a whole number of kilobytes, or leave the box empty."},
        {L"", folder.c_str(), L"", L"", L"99999999999999999999", IDC_FIND_MAXSIZE,
         "\"99999999999999999999\" is not a size. Enter a whole number of kilobytes, or leave the box empty."},
        {L"", folder.c_str(), L"", L"10", L"5", IDC_FIND_MINSIZE,
         "No file can be at least 10 KB and at most 5 KB: the first size must not be larger than the second."},
    };
    for (const auto& c : cases) {
        CFindInput input;
        input.names = c.names;
        input.folder = c.folder;
        input.days = c.days;
        input.minKB = c.minKB;
        input.maxKB = c.maxKB;
        CFindCriteria criteria;
        CString error;
        int nBad = 0;
        EXPECT_FALSE(ReadFindInput(input, ftNow, criteria, error, &nBad)) << c.sentence;
        EXPECT_EQ(c.sentence, error.str());
        EXPECT_EQ(c.nBadControl, nBad) << c.sentence;
    }
}

TEST_F(FindEngineTest, InputIsReadIntoCriteria)
{
    FILETIME ftNow = {0x12345678, 0x01D00000};
    CFindInput input;
    input.names = L" *.txt ";
    input.text = L"Needle";
    input.folder = L" C: ";
    input.days = L" 2 ";
    input.minKB = L"1";
    input.maxKB = L"3";
    input.bSubFolders = false;
    input.bLargeFiles = true;
    CFindCriteria criteria;
    CString error;
    ASSERT_TRUE(ReadFindInput(input, ftNow, criteria, error)) << error.GetString();
    EXPECT_EQ(L"C:\\", criteria.folder) << "a drive alone means its root";
    EXPECT_TRUE(criteria.names.Matches(L"a.TXT"));
    EXPECT_FALSE(criteria.names.Matches(L"a.doc"));
    EXPECT_FALSE(criteria.text.IsEmpty());
    ULARGE_INTEGER now = {{ftNow.dwLowDateTime, ftNow.dwHighDateTime}};
    ULARGE_INTEGER since = {{criteria.ftModifiedSince.dwLowDateTime, criteria.ftModifiedSince.dwHighDateTime}};
    EXPECT_TRUE(criteria.bModifiedSince);
    EXPECT_EQ(2ULL * 24 * 3600 * 10000000ULL, now.QuadPart - since.QuadPart);
    EXPECT_TRUE(criteria.bMinSize && criteria.bMaxSize);
    EXPECT_EQ(1024u, criteria.cbMin);
    EXPECT_EQ(3072u, criteria.cbMax);
    EXPECT_FALSE(criteria.bSubFolders);
    EXPECT_TRUE(criteria.bLargeFiles);
    // Empty boxes set no limit; a network path is a full path.
    CFindInput plain;
    plain.folder = L"\\\\server\\share";
    ASSERT_TRUE(ReadFindInput(plain, ftNow, criteria, error));
    EXPECT_FALSE(criteria.bModifiedSince || criteria.bMinSize || criteria.bMaxSize);
    EXPECT_TRUE(criteria.names.MatchesAll());
    EXPECT_TRUE(criteria.text.IsEmpty());
}
