#include "shell/FileEngine.h"

#include "shell/Paths.h"

namespace {

// Only a test changes it, before it starts an operation.
std::atomic<DWORD> g_dwPieceDelay{0};

// The attributes a copy takes over from its original.
const DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
// The longest paths the system makes: a file's, and a folder's (room left for an 8.3 name).
const size_t kMaxFilePath = MAX_PATH - 1;
const size_t kMaxFolderPath = MAX_PATH - 12;

bool ReadEntry(const std::wstring& path, CFileEngine::Entry& entry)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    entry.dwAttrs = data.dwFileAttributes;
    entry.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.created = data.ftCreationTime;
    entry.accessed = data.ftLastAccessTime;
    entry.written = data.ftLastWriteTime;
    return true;
}

bool IsAbsentError(DWORD dwError)
{
    return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
}

struct Child {
    std::wstring name;
    CFileEngine::Entry entry;
};

// The folder's children, or the system's reason why they cannot be read.
DWORD ListFolder(const std::wstring& folder, std::vector<Child>& children)
{
    children.clear();
    WIN32_FIND_DATAW found;
    HANDLE hFind = ::FindFirstFileW(JoinPath(folder, L"*").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE) {
        const DWORD dwError = ::GetLastError();
        return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_NO_MORE_FILES ? 0 : dwError;
    }
    do {
        if (!lstrcmpW(found.cFileName, L".") || !lstrcmpW(found.cFileName, L"..")) continue;
        Child child;
        child.name = found.cFileName;
        child.entry.dwAttrs = found.dwFileAttributes;
        child.entry.size = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        child.entry.created = found.ftCreationTime;
        child.entry.accessed = found.ftLastAccessTime;
        child.entry.written = found.ftLastWriteTime;
        children.push_back(child);
    } while (::FindNextFileW(hFind, &found));
    const DWORD dwError = ::GetLastError();
    ::FindClose(hFind);
    return dwError == ERROR_NO_MORE_FILES ? 0 : dwError;
}

// Removes a file, read-only or not; 0 or the reason it stays (with its attributes as they were).
DWORD RemoveFile(const std::wstring& path, DWORD dwAttrs)
{
    if (dwAttrs & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesW(path.c_str(), dwAttrs & ~FILE_ATTRIBUTE_READONLY);
    if (::DeleteFileW(path.c_str())) return 0;
    const DWORD dwError = ::GetLastError();
    if (dwAttrs & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesW(path.c_str(), dwAttrs);
    return dwError;
}

DWORD RemoveFolder(const std::wstring& path, DWORD dwAttrs)
{
    if (dwAttrs & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesW(path.c_str(), dwAttrs & ~FILE_ATTRIBUTE_READONLY);
    return ::RemoveDirectoryW(path.c_str()) ? 0 : ::GetLastError();
}

// A copy's own attributes and times, as its original has them.
void KeepAttributesAndTimes(const std::wstring& path, const CFileEngine::Entry& entry)
{
    if (entry.IsFolder()) {
        HANDLE h = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            ::SetFileTime(h, &entry.created, &entry.accessed, &entry.written);
            ::CloseHandle(h);
        }
    }
    const DWORD dwAttrs = entry.dwAttrs & kKeptAttributes;
    ::SetFileAttributesW(path.c_str(), dwAttrs ? dwAttrs : FILE_ATTRIBUTE_NORMAL);
}

// A name beside dest that nothing has, for a copy that is to replace dest once it is whole.
std::wstring SpareNameBeside(const std::wstring& dest)
{
    const std::wstring folder = ParentOf(dest);
    for (int n = 1; n < 1000; n++) {
        const std::wstring candidate = JoinPath(folder, L"~folvane" + std::to_wstring(n) + L".tmp");
        if (::GetFileAttributesW(candidate.c_str()) == INVALID_FILE_ATTRIBUTES &&
            IsAbsentError(::GetLastError()))
            return candidate;
    }
    return std::wstring();
}

}  // namespace

void CFileEngine::SetPieceDelayForTesting(DWORD dwMs)
{
    g_dwPieceDelay = dwMs;
}

CFileEngine::CFileEngine(TransferKind kind, ITransferCallbacks& callbacks, Recycler recycler)
    : m_kind(kind), m_callbacks(callbacks), m_recycler(std::move(recycler))
{
}

TransferResult CFileEngine::Run(const std::vector<TransferItem>& items)
{
    m_result = TransferResult();
    m_result.kind = m_kind;
    m_progress = TransferProgress();
    Measure(items);
    for (const TransferItem& given : items) {
        ItemOutcome item;
        item.source = given.source;
        item.dest = given.dest;
        if (!m_bCancel) {
            m_nArrived = m_nFailed = m_nSkipped = m_nAbandoned = 0;
            if (m_kind == TransferKind::Delete) DeleteTop(item);
            else TransferTop(item);
            if (m_nFailed + m_nSkipped + m_nAbandoned == 0 && m_nArrived) item.state = ItemOutcome::kDone;
            else if (m_nArrived) item.state = ItemOutcome::kPartly;
            else if (m_nFailed) item.state = ItemOutcome::kFailed;
            else if (m_nSkipped) item.state = ItemOutcome::kSkipped;
        }
        m_result.items.push_back(item);
    }
    m_result.bCancelled = m_bCancel;
    VerifyOnDisk(m_result);
    return m_result;
}

void CFileEngine::Measure(const std::vector<TransferItem>& items)
{
    for (const TransferItem& item : items) {
        Entry entry;
        if (m_bCancel || !ReadEntry(item.source, entry)) continue;
        // Renamed or trashed whole: one step each.
        const bool bWhole = (m_kind == TransferKind::Delete && m_recycler) ||
                            (m_kind == TransferKind::Move && SamePath(VolumeOf(item.source), VolumeOf(ParentOf(item.dest))));
        if (entry.IsFolder() && !bWhole) {
            MeasureFolder(item.source);
        } else {
            m_progress.filesTotal++;
            if (!bWhole) m_progress.bytesTotal += entry.size;
        }
    }
}

void CFileEngine::MeasureFolder(const std::wstring& path)
{
    std::vector<Child> children;
    ListFolder(path, children);
    for (const Child& child : children) {
        if (m_bCancel) return;
        if (child.entry.IsFolder()) {
            MeasureFolder(JoinPath(path, child.name));
        } else {
            m_progress.filesTotal++;
            m_progress.bytesTotal += child.entry.size;
        }
    }
}

void CFileEngine::TransferTop(ItemOutcome& item)
{
    Entry entry;
    if (!ReadEntry(item.source, entry)) {
        Fail(item.source, ::GetLastError());
        return;
    }
    item.bFolder = entry.IsFolder();
    const std::wstring source = NormalPath(item.source), folder = NormalPath(ParentOf(item.dest));
    if (item.bFolder && IsSameOrInside(folder, source)) {
        Fail(item.source, kErrorIntoItself);
        return;
    }
    if (SamePath(source, JoinPath(folder, NameOf(item.dest)))) {
        m_nSkipped++;  // onto itself: nothing to do
        return;
    }
    m_bSameVolume = SamePath(VolumeOf(source), VolumeOf(folder));
    PlaceOrMeet(item.source, entry, item.dest, true);
}

void CFileEngine::PlaceOrMeet(const std::wstring& source, const Entry& entry, const std::wstring& dest, bool bAskMerge)
{
    Entry there;
    if (!ReadEntry(dest, there)) {
        const DWORD dwError = ::GetLastError();
        if (IsAbsentError(dwError)) Place(source, entry, dest);
        else Fail(source, dwError);
        return;
    }
    if (entry.IsFolder() != there.IsFolder()) {
        Fail(source, entry.IsFolder() ? kErrorFileInTheWay : kErrorFolderInTheWay);
        return;
    }
    if (!entry.IsFolder()) {
        ReplaceFile(source, entry, dest, there);
        return;
    }
    if (bAskMerge && !m_bMergeAll && !Agreed(m_callbacks.AskMergeFolder(dest, source), &m_bMergeAll)) return;
    const size_t nLeftBefore = LeftBehind();
    PlaceChildren(source, dest, true);
    // Merged whole: it counts as arrived even when it brought nothing.
    if (LeftBehind() == nLeftBefore) m_nArrived++;
    RemoveMovedFolder(source, entry, nLeftBefore);
}

void CFileEngine::Place(const std::wstring& source, const Entry& entry, const std::wstring& dest)
{
    if (dest.size() > (entry.IsFolder() ? kMaxFolderPath : kMaxFilePath)) {
        Fail(source, ERROR_FILENAME_EXCED_RANGE);
        return;
    }
    if (m_kind == TransferKind::Move && m_bSameVolume) {
        Report(source);
        if (::MoveFileExW(source.c_str(), dest.c_str(), 0)) {
            Arrived();
            return;
        }
        const DWORD dwError = ::GetLastError();
        // Volumes the system joins in one place still need a copy.
        if (dwError != ERROR_NOT_SAME_DEVICE) {
            Fail(source, dwError);
            return;
        }
    }
    if (entry.IsFolder()) PlaceFolder(source, entry, dest);
    else PlaceFile(source, entry, dest);
}

void CFileEngine::PlaceFile(const std::wstring& source, const Entry& entry, const std::wstring& dest)
{
    if (!CopyFileData(source, entry, dest)) return;
    if (m_kind == TransferKind::Move) {
        // The original goes only now that its copy is whole; where it cannot, the copy goes.
        if (const DWORD dwError = RemoveFile(source, entry.dwAttrs)) {
            RemoveFile(dest, entry.dwAttrs);
            Fail(source, dwError);
            return;
        }
    }
    Arrived();
}

void CFileEngine::PlaceFolder(const std::wstring& source, const Entry& entry, const std::wstring& dest)
{
    if (!::CreateDirectoryW(dest.c_str(), nullptr)) {
        Fail(source, ::GetLastError());
        return;
    }
    m_nArrived++;
    const size_t nLeftBefore = LeftBehind();
    PlaceChildren(source, dest, false);
    KeepAttributesAndTimes(dest, entry);
    RemoveMovedFolder(source, entry, nLeftBefore);
}

void CFileEngine::PlaceChildren(const std::wstring& source, const std::wstring& dest, bool bMerge)
{
    std::vector<Child> children;
    if (const DWORD dwError = ListFolder(source, children)) {
        Fail(source, dwError);
        return;
    }
    for (const Child& child : children) {
        if (m_bCancel) {
            m_nAbandoned++;
            return;
        }
        const std::wstring from = JoinPath(source, child.name), to = JoinPath(dest, child.name);
        // In a folder just made nothing can be in the way.
        if (bMerge) PlaceOrMeet(from, child.entry, to, false);
        else Place(from, child.entry, to);
    }
}

void CFileEngine::RemoveMovedFolder(const std::wstring& source, const Entry& entry, size_t nLeftBefore)
{
    if (m_kind != TransferKind::Move || LeftBehind() != nLeftBefore) return;
    if (const DWORD dwError = RemoveFolder(source, entry.dwAttrs)) Fail(source, dwError);
}

void CFileEngine::ReplaceFile(const std::wstring& source, const Entry& entry, const std::wstring& dest,
                              const Entry& existing)
{
    if (!m_bReplaceAll && !Agreed(m_callbacks.AskReplaceFile(dest, source), &m_bReplaceAll)) return;
    const DWORD dwExisting = existing.dwAttrs;
    if (m_kind == TransferKind::Move && m_bSameVolume) {
        Report(source);
        if (dwExisting & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesW(dest.c_str(), dwExisting & ~FILE_ATTRIBUTE_READONLY);
        if (::MoveFileExW(source.c_str(), dest.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            Arrived();
            return;
        }
        const DWORD dwError = ::GetLastError();
        ::SetFileAttributesW(dest.c_str(), dwExisting);
        if (dwError != ERROR_NOT_SAME_DEVICE) {
            Fail(source, dwError);
            return;
        }
    }
    // The copy is made beside the existing file and takes its place only once it is whole:
    // a copy that fails or is cancelled leaves the existing file as it was.
    const std::wstring spare = SpareNameBeside(dest);
    if (spare.empty()) {
        Fail(source, ERROR_FILE_EXISTS);
        return;
    }
    if (!CopyFileData(source, entry, spare)) return;
    if (m_kind == TransferKind::Move) {
        if (const DWORD dwError = RemoveFile(source, entry.dwAttrs)) {
            RemoveFile(spare, entry.dwAttrs);
            Fail(source, dwError);
            return;
        }
    }
    if (dwExisting & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesW(dest.c_str(), dwExisting & ~FILE_ATTRIBUTE_READONLY);
    if (!::MoveFileExW(spare.c_str(), dest.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD dwError = ::GetLastError();
        ::SetFileAttributesW(dest.c_str(), dwExisting);
        // A moved file lives on in the spare copy; a copied one is still where it was.
        if (m_kind == TransferKind::Copy) RemoveFile(spare, entry.dwAttrs);
        Fail(m_kind == TransferKind::Copy ? source : spare, dwError);
        return;
    }
    Arrived();
}

void CFileEngine::DeleteTop(ItemOutcome& item)
{
    Entry entry;
    if (!ReadEntry(item.source, entry)) {
        Fail(item.source, ::GetLastError());
        return;
    }
    item.bFolder = entry.IsFolder();
    if (m_recycler) {
        Report(item.source);
        const DWORD dwError = m_recycler(item.source);
        if (dwError == 0) {
            Arrived();
            return;
        }
        if (dwError != kErrorNoTrash) {
            Fail(item.source, dwError);
            return;
        }
        if (!m_bDeleteAll && !Agreed(m_callbacks.AskDeleteForGood(item.source), &m_bDeleteAll)) return;
    }
    DeleteForGood(item.source, entry);
}

void CFileEngine::DeleteForGood(const std::wstring& path, const Entry& entry)
{
    if (m_bCancel) {
        m_nAbandoned++;
        return;
    }
    if (!entry.IsFolder()) {
        Report(path);
        if (const DWORD dwError = RemoveFile(path, entry.dwAttrs)) Fail(path, dwError);
        else Arrived();
        return;
    }
    std::vector<Child> children;
    if (const DWORD dwError = ListFolder(path, children)) {
        Fail(path, dwError);
        return;
    }
    const size_t nLeftBefore = LeftBehind();
    for (const Child& child : children) DeleteForGood(JoinPath(path, child.name), child.entry);
    if (LeftBehind() != nLeftBefore) return;
    if (const DWORD dwError = RemoveFolder(path, entry.dwAttrs)) Fail(path, dwError);
    else m_nArrived++;
}

bool CFileEngine::CopyFileData(const std::wstring& source, const Entry& entry, const std::wstring& dest)
{
    if (dest.size() > kMaxFilePath) {
        Fail(source, ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    Report(source);
    const ULONGLONG bytesBefore = m_progress.bytesDone;
    DWORD dwError = 0;
    if (entry.size <= kPieceSize) {
        // Attributes and times come along.
        if (!::CopyFileW(source.c_str(), dest.c_str(), TRUE)) dwError = ::GetLastError();
    } else {
        dwError = CopyInPieces(source, entry, dest);
    }
    // Before a source goes, its copy is checked to be whole; a copy alone is as the system reports it.
    Entry copy;
    if (!dwError && m_kind == TransferKind::Move && (!ReadEntry(dest, copy) || copy.size != entry.size))
        dwError = kErrorIncomplete;
    if (!dwError) {
        m_progress.bytesDone = bytesBefore + entry.size;
        return true;
    }
    m_progress.bytesDone = bytesBefore;
    // Something else of that name appeared meanwhile: it is not the copy's to remove.
    if (dwError != ERROR_FILE_EXISTS) RemoveFile(dest, entry.dwAttrs);
    if (dwError == ERROR_CANCELLED) m_nAbandoned++;
    else Fail(source, dwError);
    return false;
}

DWORD CFileEngine::CopyInPieces(const std::wstring& source, const Entry& entry, const std::wstring& dest)
{
    HANDLE hIn = ::CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (hIn == INVALID_HANDLE_VALUE) return ::GetLastError();
    HANDLE hOut = ::CreateFileW(dest.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hOut == INVALID_HANDLE_VALUE) {
        const DWORD dwError = ::GetLastError();
        ::CloseHandle(hIn);
        return dwError;
    }
    m_buffer.resize(kPieceSize);
    DWORD dwError = 0;
    for (;;) {
        if (m_bCancel) {
            dwError = ERROR_CANCELLED;
            break;
        }
        DWORD nRead = 0, nWritten = 0;
        if (!::ReadFile(hIn, m_buffer.data(), kPieceSize, &nRead, nullptr)) {
            dwError = ::GetLastError();
            break;
        }
        if (nRead == 0) break;
        if (!::WriteFile(hOut, m_buffer.data(), nRead, &nWritten, nullptr) || nWritten != nRead) {
            dwError = ::GetLastError();
            if (!dwError) dwError = ERROR_DISK_FULL;
            break;
        }
        m_progress.bytesDone += nRead;
        Report(source);
        if (const DWORD dwDelay = g_dwPieceDelay) ::Sleep(dwDelay);
    }
    if (!dwError) ::SetFileTime(hOut, &entry.created, &entry.accessed, &entry.written);
    ::CloseHandle(hOut);
    ::CloseHandle(hIn);
    if (!dwError) KeepAttributesAndTimes(dest, entry);
    return dwError;
}

bool CFileEngine::Agreed(Answer answer, bool* pbAll)
{
    switch (answer) {
    case Answer::YesToAll: *pbAll = true; return true;
    case Answer::Yes: return true;
    case Answer::Cancel: Cancel(); break;
    case Answer::No: break;
    }
    m_nSkipped++;
    return false;
}

void CFileEngine::Arrived()
{
    m_nArrived++;
    m_progress.filesDone++;
    Report(std::wstring());
}

void CFileEngine::Fail(const std::wstring& path, DWORD dwError)
{
    m_nFailed++;
    m_result.Fail(path, dwError);
}

void CFileEngine::Report(const std::wstring& current)
{
    if (!current.empty()) m_progress.current = current;
    m_callbacks.OnProgress(m_progress);
}
