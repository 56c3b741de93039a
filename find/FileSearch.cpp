#include "find/FileSearch.h"

#include <vector>

namespace {

const size_t kNoFrame = static_cast<size_t>(-1);

// A stretch of the walk that reached its folders through one link (or, the first one, the
// folder searched): where it shows and where it really is. Links are rare, so the real path
// of a folder is worked out only when a link is met, from the stretch it lies in.
struct Stretch {
    size_t parent;             // the stretch the link was met in; kNoFrame for the first
    std::wstring shownBase;    // the link's path (or the searched folder's) as results show it
    std::wstring realBase;     // folded: where that really is
    std::wstring realAtLink;   // folded: the real path of the folder that held the link
};

struct Pending {
    std::wstring path;
    size_t stretch;
    bool bLink;  // a link or junction, followed only if it leads nowhere on the way to it
};

std::wstring Join(const std::wstring& folder, const wchar_t* name)
{
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\') path += L'\\';
    path += name;
    return path;
}

// The pattern that lists a folder; long paths take the form without a length limit.
std::wstring ListPattern(const std::wstring& folder)
{
    std::wstring pattern = Join(folder, L"*");
    if (pattern.size() >= MAX_PATH && pattern.compare(0, 4, L"\\\\?\\") != 0) {
        pattern = pattern.compare(0, 2, L"\\\\") == 0 ? L"\\\\?\\UNC\\" + pattern.substr(2) : L"\\\\?\\" + pattern;
    }
    return pattern;
}

// Both folded.
bool SameOrInside(const std::wstring& item, const std::wstring& folder)
{
    if (folder.empty() || item.size() < folder.size() || item.compare(0, folder.size(), folder) != 0) return false;
    return item.size() == folder.size() || folder.back() == L'\\' || item[folder.size()] == L'\\';
}

bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool IsNetworkPath(const std::wstring& folder)
{
    if (folder.size() >= 2 && folder[0] == L'\\' && folder[1] == L'\\') return true;
    if (folder.size() >= 2 && folder[1] == L':') {
        const wchar_t root[] = {folder[0], L':', L'\\', L'\0'};
        return ::GetDriveTypeW(root) == DRIVE_REMOTE;
    }
    return false;
}

CFindSummary::Root RootFailure(const std::wstring& folder, DWORD dwError)
{
    if (dwError == ERROR_ACCESS_DENIED || dwError == ERROR_SHARING_VIOLATION) return CFindSummary::kRootUnreadable;
    // A network path that fails in any other way: the server, the share or the network did
    // not answer (Wine answers "path not found" for every one).
    if (IsNetworkPath(folder)) return CFindSummary::kRootNoAnswer;
    switch (dwError) {
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_HOST_UNREACHABLE:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_SEM_TIMEOUT:
    case ERROR_NO_NETWORK:
        return CFindSummary::kRootNoAnswer;
    default:
        return CFindSummary::kRootMissing;
    }
}

// An empty folder may list nothing at all rather than "." and "..".
bool IsEmptyListing(DWORD dwError)
{
    return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_NO_MORE_FILES;
}

ULONGLONG SizeOf(const WIN32_FIND_DATAW& data)
{
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

std::wstring CFoundItem::Folder() const
{
    std::wstring folder = path.substr(0, nameAt);
    // "C:\" keeps its separator; any other folder loses it.
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

HANDLE CFileSearch::FindFirst(const wchar_t* pszPattern, WIN32_FIND_DATAW* pData)
{
    return ::FindFirstFileExW(pszPattern, FindExInfoBasic, pData, FindExSearchNameMatch, nullptr,
                              FIND_FIRST_EX_LARGE_FETCH);
}

std::wstring RealFolderPath(const std::wstring& folder)
{
    HANDLE h = ::CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::wstring();
    std::wstring real(MAX_PATH, L'\0');
    DWORD n = ::GetFinalPathNameByHandleW(h, &real[0], static_cast<DWORD>(real.size()), FILE_NAME_NORMALIZED);
    if (n >= real.size()) {
        real.resize(n + 1);
        n = ::GetFinalPathNameByHandleW(h, &real[0], static_cast<DWORD>(real.size()), FILE_NAME_NORMALIZED);
    }
    ::CloseHandle(h);
    if (n == 0 || n >= real.size()) return std::wstring();
    real.resize(n);
    if (real.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + real.substr(8);
    if (real.compare(0, 4, L"\\\\?\\") == 0) return real.substr(4);
    return real;
}

CFindSummary CFileSearch::Run(const CFindCriteria& criteria, CFindSink& sink, const std::atomic<bool>& stop) const
{
    CFindSummary summary;
    std::wstring root = criteria.folder;
    while (root.size() > 3 && root.back() == L'\\') root.pop_back();

    const DWORD dwRootAttributes = ::GetFileAttributesW(root.c_str());
    if (dwRootAttributes == INVALID_FILE_ATTRIBUTES) {
        summary.dwRootError = ::GetLastError();
        summary.root = RootFailure(root, summary.dwRootError);
        return summary;
    }
    if (!(dwRootAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        summary.root = CFindSummary::kRootNotFolder;
        return summary;
    }

    std::vector<Stretch> stretches;
    std::wstring realRoot = RealFolderPath(root);
    stretches.push_back({kNoFrame, root, FoldCase(realRoot.empty() ? root : realRoot), std::wstring()});

    const bool bFilesOnly = criteria.FilesOnly();
    std::vector<Pending> pending;
    pending.push_back({root, 0, false});
    std::vector<Pending> subFolders;
    std::vector<BYTE> buffer;
    WIN32_FIND_DATAW data;
    while (!pending.empty()) {
        if (stop.load(std::memory_order_relaxed)) break;
        Pending folder = std::move(pending.back());
        pending.pop_back();

        if (folder.bLink) {
            // Followed unless it leads back to a folder on the way here (a loop): the real
            // path of each stretch's deepest folder on the way, and of the folder holding it.
            const Stretch& held = stretches[folder.stretch];
            const std::wstring real = FoldCase(RealFolderPath(folder.path));
            if (real.empty()) continue;  // a broken link: nothing to search
            std::wstring parentShown = folder.path.substr(0, folder.path.find_last_of(L'\\'));
            if (parentShown.size() < 3) parentShown += L'\\';  // "C:" is "C:\"
            const std::wstring realParent = held.realBase + FoldCase(parentShown.substr(held.shownBase.size()));
            bool bLoop = SameOrInside(realParent, real);
            for (size_t s = folder.stretch; !bLoop && s != kNoFrame; s = stretches[s].parent) {
                bLoop = SameOrInside(stretches[s].realAtLink, real);
            }
            if (bLoop) {
                summary.nLoopsAvoided++;
                continue;
            }
            stretches.push_back({folder.stretch, folder.path, real, realParent});
            folder.stretch = stretches.size() - 1;
        }

        sink.OnFolder(folder.path);
        const std::wstring pattern = ListPattern(folder.path);
        HANDLE hFind = m_pfnFindFirst(pattern.c_str(), &data);
        if (hFind == INVALID_HANDLE_VALUE) {
            const DWORD dwError = ::GetLastError();
            if (IsEmptyListing(dwError)) {
                summary.nFolders++;
            } else if (folder.path == root) {
                summary.dwRootError = dwError;
                summary.root = RootFailure(root, dwError);
                return summary;
            } else {
                summary.nUnreadableFolders++;
            }
            continue;
        }
        summary.nFolders++;
        subFolders.clear();
        do {
            if (stop.load(std::memory_order_relaxed)) break;
            if (IsDotEntry(data.cFileName)) continue;
            const bool bFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (bFolder && criteria.bSubFolders) {
                subFolders.push_back({Join(folder.path, data.cFileName), folder.stretch,
                                      (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
            }
            if (bFolder && bFilesOnly) continue;
            if (!criteria.names.Matches(data.cFileName, ::wcslen(data.cFileName))) continue;
            if (criteria.bModifiedSince && ::CompareFileTime(&data.ftLastWriteTime, &criteria.ftModifiedSince) < 0) {
                continue;
            }
            const ULONGLONG cbSize = bFolder ? 0 : SizeOf(data);
            if ((criteria.bMinSize && cbSize < criteria.cbMin) || (criteria.bMaxSize && cbSize > criteria.cbMax)) continue;

            CFoundItem item;
            item.path = Join(folder.path, data.cFileName);
            item.nameAt = item.path.size() - ::wcslen(data.cFileName);
            item.dwAttributes = data.dwFileAttributes;
            item.cbSize = cbSize;
            item.ftModified = data.ftLastWriteTime;
            if (!criteria.text.IsEmpty()) {
                if (cbSize > kLargeFileBytes && !criteria.bLargeFiles) {
                    summary.nLargeFilesSkipped++;
                    continue;
                }
                const TextFound found = FileContainsText(item.path, criteria.text, stop, buffer);
                if (found == TextFound::kUnreadable) summary.nUnreadableFiles++;
                if (found != TextFound::kYes) continue;
            }
            summary.nFound++;
            sink.OnFound(std::move(item));
        } while (::FindNextFileW(hFind, &data));
        ::FindClose(hFind);
        // Depth first, in the order the folder listed them.
        for (auto it = subFolders.rbegin(); it != subFolders.rend(); ++it) pending.push_back(std::move(*it));
    }
    summary.bStopped = stop.load(std::memory_order_relaxed);
    return summary;
}
