#include "shell/TransferResult.h"

#include <shlobj.h>

#include "shell/Paths.h"

namespace {

// More lines than this make a box taller than a screen; the rest are counted.
const size_t kMaxListedFailures = 12;

bool ExistsOnDisk(const std::wstring& path)
{
    return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Why an item is still where it was, as far as the system says when asked to let it go.
DWORD WhyStillThere(const std::wstring& path)
{
    const DWORD dwAttrs = ::GetFileAttributesW(path.c_str());
    if (dwAttrs == INVALID_FILE_ATTRIBUTES) return ::GetLastError();
    const DWORD dwFlags = (dwAttrs & FILE_ATTRIBUTE_DIRECTORY) ? FILE_FLAG_BACKUP_SEMANTICS : 0;
    HANDLE h = ::CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, dwFlags, nullptr);
    if (h == INVALID_HANDLE_VALUE) return ::GetLastError();
    ::CloseHandle(h);
    return kErrorNotDone;
}

bool ArrivedAsReported(TransferKind kind, const ItemOutcome& item)
{
    switch (kind) {
    case TransferKind::Copy:
    case TransferKind::Link: return ExistsOnDisk(item.dest);
    case TransferKind::Move: return ExistsOnDisk(item.dest) && !ExistsOnDisk(item.source);
    case TransferKind::Delete: return !ExistsOnDisk(item.source);
    }
    return false;
}

void SetDropEffectFormat(IDataObject* pData, const char* pszFormat, DWORD dwEffect)
{
    FORMATETC fmt = {static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(pszFormat)), nullptr, DVASPECT_CONTENT, -1,
                     TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
    if (!medium.hGlobal) return;
    if (DWORD* p = static_cast<DWORD*>(::GlobalLock(medium.hGlobal))) {
        *p = dwEffect;
        ::GlobalUnlock(medium.hGlobal);
    }
    // The data object owns the block when it takes it; a source that keeps nothing refuses.
    if (FAILED(pData->SetData(&fmt, &medium, TRUE))) ::ReleaseStgMedium(&medium);
}

}  // namespace

size_t TransferResult::Count(ItemOutcome::State state) const
{
    size_t n = 0;
    for (const ItemOutcome& item : items) n += item.state == state;
    return n;
}

std::wstring DescribeError(DWORD dwError)
{
    switch (dwError) {
    case kErrorIntoItself: return L"The destination folder is the folder itself or one of its sub-folders.";
    case kErrorFolderInTheWay: return L"A folder of this name is there already.";
    case kErrorFileInTheWay: return L"A file of this name is there already.";
    case kErrorIncomplete: return L"The copy did not arrive whole; it has been removed.";
    case kErrorNotDone: return L"The system reported it done, but it is not so on disk.";
    case kErrorNoTrash: return L"The trash cannot take it.";
    }
    wchar_t* pszText = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, dwError, 0, reinterpret_cast<wchar_t*>(&pszText), 0, nullptr);
    std::wstring text = n && pszText ? std::wstring(pszText, n) : std::wstring();
    if (pszText) ::LocalFree(pszText);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return text.empty() ? L"Error " + std::to_wstring(dwError) + L"." : text;
}

const wchar_t* FailureCaption(TransferKind kind)
{
    switch (kind) {
    case TransferKind::Copy: return L"Error Copying File or Folder";
    case TransferKind::Move: return L"Error Moving File or Folder";
    case TransferKind::Link: return L"Error Making Shortcut";
    case TransferKind::Delete: return L"Error Deleting File or Folder";
    }
    return L"";
}

std::wstring DescribeFailures(const TransferResult& result)
{
    std::vector<const TransferFailure*> untold;
    for (const TransferFailure& failure : result.failures) {
        if (!failure.bToldUser) untold.push_back(&failure);
    }
    if (untold.empty()) return std::wstring();
    static const wchar_t* const kVerbs[] = {L"copied", L"moved", L"linked to", L"deleted"};
    std::wstring text = L"These items could not be ";
    text += kVerbs[static_cast<int>(result.kind)];
    text += L":\n";
    size_t nListed = 0;
    for (const TransferFailure* pFailure : untold) {
        const TransferFailure& failure = *pFailure;
        if (nListed == kMaxListedFailures) {
            text += L"\n... and " + std::to_wstring(untold.size() - nListed) + L" more.";
            break;
        }
        // Named from the folder its item came from: "alpha\x.txt" for a file inside "alpha".
        std::wstring name = NameOf(failure.path);
        for (const ItemOutcome& item : result.items) {
            const std::wstring parent = ParentOf(item.source);
            if (!parent.empty() && IsSameOrInside(failure.path, item.source) &&
                failure.path.size() > parent.size()) {
                name = failure.path.substr(parent.size() + (parent.back() == L'\\' ? 0 : 1));
                break;
            }
        }
        text += L"\n" + (name.empty() ? failure.path : name) + L": " + DescribeError(failure.dwError);
        nListed++;
    }
    return text;
}

void VerifyOnDisk(TransferResult& result)
{
    for (ItemOutcome& item : result.items) {
        if (item.state != ItemOutcome::kDone || ArrivedAsReported(result.kind, item)) continue;
        if (result.bCancelled) {
            item.state = ItemOutcome::kNotReached;
            continue;
        }
        item.state = ItemOutcome::kFailed;
        // Still where it was: the system is asked why; gone from there yet not arrived: the
        // place it was to go says.
        const bool bStuck = result.kind != TransferKind::Copy && result.kind != TransferKind::Link &&
                            ExistsOnDisk(item.source);
        result.Fail(item.source, bStuck ? WhyStillThere(item.source)
                                        : (ExistsOnDisk(item.source) ? kErrorNotDone : ERROR_FILE_NOT_FOUND));
    }
}

DWORD DropEffectOf(const TransferResult& result)
{
    if (!result.AnyDone()) return DROPEFFECT_NONE;
    switch (result.kind) {
    case TransferKind::Copy: return DROPEFFECT_COPY;
    case TransferKind::Link: return DROPEFFECT_LINK;
    case TransferKind::Move:    // done by the target: nothing is left for the source to do
    case TransferKind::Delete: break;
    }
    return DROPEFFECT_NONE;
}

DWORD LogicalDropEffectOf(const TransferResult& result)
{
    if (!result.AnyDone()) return DROPEFFECT_NONE;
    return result.kind == TransferKind::Move ? static_cast<DWORD>(DROPEFFECT_MOVE) : DropEffectOf(result);
}

void TellDragSource(IDataObject* pData, const TransferResult& result)
{
    if (!pData) return;
    SetDropEffectFormat(pData, CFSTR_PERFORMEDDROPEFFECT, DropEffectOf(result));
    SetDropEffectFormat(pData, CFSTR_LOGICALPERFORMEDDROPEFFECT, LogicalDropEffectOf(result));
}
