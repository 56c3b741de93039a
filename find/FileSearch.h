// The search engine: walks a folder (and its sub-folders) and reports every file and folder
// whose name, date, size and contents match. Plain code without windows, run on any thread;
// the find window runs it on a worker thread and the benchmark runs it as it is.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "find/NamePattern.h"
#include "find/TextMatcher.h"

// Files larger than this are searched for text only when the criteria ask for it.
const ULONGLONG kLargeFileBytes = 100ULL * 1024 * 1024;

struct CFindCriteria {
    std::wstring folder;           // where to look
    CNamePattern names;            // matches everything when empty
    CTextMatcher text;             // empty: contents do not matter
    bool bSubFolders = true;
    bool bModifiedSince = false;   // only items written at or after ftModifiedSince
    FILETIME ftModifiedSince = {0, 0};
    bool bMinSize = false;         // only files of at least cbMin bytes
    ULONGLONG cbMin = 0;
    bool bMaxSize = false;         // only files of at most cbMax bytes
    ULONGLONG cbMax = 0;
    bool bLargeFiles = false;      // search the text of files over kLargeFileBytes too

    // Text and size are facts of files: with either, no folder matches.
    bool FilesOnly() const { return !text.IsEmpty() || bMinSize || bMaxSize; }
};

struct CFoundItem {
    std::wstring path;         // the full path
    size_t nameAt = 0;         // where the name begins in it
    DWORD dwAttributes = 0;
    ULONGLONG cbSize = 0;
    FILETIME ftModified = {0, 0};

    bool IsFolder() const { return (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    const wchar_t* Name() const { return path.c_str() + nameAt; }
    // The folder the item is in, as the search reached it.
    std::wstring Folder() const;
};

struct CFindSummary {
    // Why the folder to look in could not be searched at all.
    enum Root {
        kRootSearched,
        kRootMissing,      // there is no such folder
        kRootNotFolder,    // it is a file
        kRootUnreadable,   // it cannot be read (access denied and the like)
        kRootNoAnswer,     // a network path that does not answer
    };
    Root root = kRootSearched;
    DWORD dwRootError = 0;
    unsigned long nFound = 0;
    unsigned long nFolders = 0;              // folders listed
    unsigned long nUnreadableFolders = 0;    // sub-folders that could not be listed
    unsigned long nUnreadableFiles = 0;      // files whose text could not be read
    unsigned long nLargeFilesSkipped = 0;    // files over kLargeFileBytes not read for the text
    unsigned long nLoopsAvoided = 0;         // links back into a folder on the way, not followed
    bool bStopped = false;
};

// What a search tells while it runs (on the thread that runs it).
class CFindSink {
public:
    // The search goes into a folder.
    virtual void OnFolder(const std::wstring& folder) = 0;
    virtual void OnFound(CFoundItem&& item) = 0;

protected:
    ~CFindSink() = default;
};

class CFileSearch {
public:
    // How a folder's entries are listed: FindFirstFileExW's form and answer (the first
    // entry, or INVALID_HANDLE_VALUE with the last error set). Tests replace it to make
    // folders fail as an unreadable one does where the tests' user may read everything.
    typedef HANDLE (*FindFirstFn)(const wchar_t* pszPattern, WIN32_FIND_DATAW* pData);
    static HANDLE FindFirst(const wchar_t* pszPattern, WIN32_FIND_DATAW* pData);
    FindFirstFn m_pfnFindFirst = &FindFirst;

    // Searches; returns when done or, soon after stop becomes true, with bStopped set.
    CFindSummary Run(const CFindCriteria& criteria, CFindSink& sink, const std::atomic<bool>& stop) const;
};

// The path the file system gives for where a folder really is (links resolved), without
// the \\?\ prefix; empty when it cannot be opened.
std::wstring RealFolderPath(const std::wstring& folder);
