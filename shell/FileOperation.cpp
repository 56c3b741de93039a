#include "shell/FileOperation.h"

#include <shellapi.h>

#include <set>

#include "shell/ComPtr.h"
#include "shell/DiskItems.h"
#include "shell/IdListPtr.h"
#include "shell/ItemNames.h"
#include "shell/Paths.h"
#include "shell/TransferProgress.h"
#include "shell/Wine.h"
#include "shell/WineTrash.h"

namespace {

bool ExistsOnDisk(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The shell's own operation, which asks its questions and reports its failures itself.
TransferResult ShellTransfer(HWND hwndOwner, TransferKind kind, const std::vector<TransferItem>& items)
{
    TransferResult result;
    result.kind = kind;
    std::wstring from, to;
    for (const TransferItem& item : items) {
        from += item.source + L'\0';
        to += item.dest + L'\0';
        ItemOutcome outcome;
        outcome.source = item.source;
        outcome.dest = item.dest;
        outcome.state = ItemOutcome::kDone;  // as the shell will claim; checked below
        const DWORD dwAttrs = ::GetFileAttributesW(item.source.c_str());
        outcome.bFolder = dwAttrs != INVALID_FILE_ATTRIBUTES && (dwAttrs & FILE_ATTRIBUTE_DIRECTORY);
        result.items.push_back(outcome);
    }
    from += L'\0';
    to += L'\0';
    SHFILEOPSTRUCTW op = {};
    op.hwnd = hwndOwner;
    op.wFunc = kind == TransferKind::Move ? FO_MOVE : FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    // One destination per source; no FOF_NOCONFIRMATION: a taken name is asked about.
    op.fFlags = FOF_MULTIDESTFILES | FOF_ALLOWUNDO;
    const int nResult = ::SHFileOperationW(&op);
    result.bCancelled = op.fAnyOperationsAborted || nResult == ERROR_CANCELLED;
    VerifyOnDisk(result);
    // A failure the shell admitted it has shown; one it reported as success it has not.
    if (nResult != 0) {
        for (TransferFailure& failure : result.failures) failure.bToldUser = true;
    }
    return result;
}

// The shell's notices of what the program's own operation changed, as the shell's own
// operation sends them: the trees follow them.
void NotifyShell(const TransferResult& result)
{
    for (const ItemOutcome& item : result.items) {
        if (item.state != ItemOutcome::kDone && item.state != ItemOutcome::kPartly) continue;
        const bool bLeaves = result.kind == TransferKind::Move || result.kind == TransferKind::Delete;
        if (bLeaves && !ExistsOnDisk(item.source)) {
            ::SHChangeNotify(item.bFolder ? SHCNE_RMDIR : SHCNE_DELETE, SHCNF_PATHW, item.source.c_str(), nullptr);
        }
        if (!item.dest.empty()) {
            const bool bFolder = item.bFolder && result.kind != TransferKind::Link;
            ::SHChangeNotify(bFolder ? SHCNE_MKDIR : SHCNE_CREATE, SHCNF_PATHW, item.dest.c_str(), nullptr);
        }
    }
}

HRESULT InvokeDeleteVerb(HWND hwndOwner, IShellFolder* pFolder, LPCITEMIDLIST pidlRel)
{
    CComPtr<IContextMenu> spMenu;
    HRESULT hr = pFolder->GetUIObjectOf(hwndOwner, 1, &pidlRel, IID_IContextMenu, nullptr, spMenu.PutVoid());
    if (FAILED(hr)) return hr;
    if (!spMenu) return E_FAIL;
    CMINVOKECOMMANDINFO ici = {};
    ici.cbSize = sizeof(ici);
    ici.hwnd = hwndOwner;
    // Lower case: Windows compares verbs without regard to case, Wine exactly. Its result
    // is not used: any confirmation is the verb's own.
    ici.lpVerb = "delete";
    spMenu->InvokeCommand(&ici);
    return S_OK;
}

// The trash as the shell names it ("Recycle Bin", "Trash").
std::wstring TrashName()
{
    CIdListPtr pidl;
    SHFILEINFOW info = {};
    if (SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, pidl.Put())) && pidl &&
        ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(static_cast<LPCITEMIDLIST>(pidl)), 0, &info, sizeof(info),
                         SHGFI_PIDL | SHGFI_DISPLAYNAME) &&
        info.szDisplayName[0]) {
        return info.szDisplayName;
    }
    return L"Recycle Bin";
}

}  // namespace

TransferResult TransferFilesInto(HWND hwndOwner, TransferKind kind, const std::vector<std::wstring>& sources,
                                 const std::wstring& folder)
{
    TransferResult result;
    result.kind = kind;
    const std::wstring target = NormalPath(folder);
    std::set<std::wstring> taken;
    std::vector<TransferItem> toRun;
    std::vector<size_t> ranAt;
    for (const std::wstring& source : sources) {
        ItemOutcome item;
        item.source = source;
        // The long form: a short name on the list is not the name the item is to have.
        const std::wstring full = NormalPath(source), name = NameOf(full);
        const DWORD dwAttrs = ::GetFileAttributesW(full.c_str());
        item.bFolder = dwAttrs != INVALID_FILE_ATTRIBUTES && (dwAttrs & FILE_ATTRIBUTE_DIRECTORY);
        if (name.empty()) {
            item.state = ItemOutcome::kSkipped;  // a drive is never copied or moved whole
        } else if (item.bFolder && IsSameOrInside(target, full)) {
            item.state = ItemOutcome::kFailed;
            result.Fail(source, kErrorIntoItself);
        } else if (SamePath(ParentOf(full), target)) {
            // Into its own folder: a move has nothing to do, a copy needs a name of its own.
            const std::wstring copyName = kind == TransferKind::Move ? std::wstring() : FreeName(folder, name, &CopyName, taken);
            if (!copyName.empty()) item.dest = JoinPath(folder, copyName);
            else item.state = ItemOutcome::kSkipped;
        } else {
            item.dest = JoinPath(folder, name);
        }
        if (item.state == ItemOutcome::kNotReached) {
            ranAt.push_back(result.items.size());
            toRun.push_back({source, item.dest});
        }
        result.items.push_back(item);
    }
    if (!toRun.empty()) {
        const bool bWine = IsRunningUnderWine();
        const TransferResult ran = bWine ? RunFileOperation(hwndOwner, kind, toRun) : ShellTransfer(hwndOwner, kind, toRun);
        for (size_t i = 0; i < ranAt.size() && i < ran.items.size(); i++) result.items[ranAt[i]] = ran.items[i];
        result.failures.insert(result.failures.end(), ran.failures.begin(), ran.failures.end());
        result.bCancelled = ran.bCancelled;
        if (bWine) NotifyShell(result);
    }
    ShowTransferFailures(hwndOwner, result);
    return result;
}

TransferResult LinkFilesInto(HWND hwndOwner, const std::vector<std::wstring>& files, const std::wstring& folder)
{
    TransferResult result = MakeShortcuts(files, folder);
    VerifyOnDisk(result);
    NotifyShell(result);
    ShowTransferFailures(hwndOwner, result);
    return result;
}

HRESULT DeleteItemToTrash(HWND hwndOwner, IShellFolder* pFolder, LPCITEMIDLIST pidlRel)
{
    if (!pFolder || !pidlRel) return E_INVALIDARG;
    std::wstring path;
    const DWORD dwAttrs = IsRunningUnderWine() && GetChildParsingName(pFolder, pidlRel, path)
                              ? ::GetFileAttributesW(path.c_str())
                              : INVALID_FILE_ATTRIBUTES;
    // What is not a file or folder on disk is the shell's own business everywhere.
    if (dwAttrs == INVALID_FILE_ATTRIBUTES) return InvokeDeleteVerb(hwndOwner, pFolder, pidlRel);
    const bool bFolder = (dwAttrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::wstring question = L"Are you sure you want to send '" + NameOf(path) + L"' to the " + TrashName() + L"?";
    if (::MessageBoxW(hwndOwner, question.c_str(), bFolder ? L"Confirm Folder Delete" : L"Confirm File Delete",
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
        return S_OK;
    const TransferResult result = RunFileOperation(hwndOwner, TransferKind::Delete, {{path, std::wstring()}}, &RecycleUnderWine);
    NotifyShell(result);
    ShowTransferFailures(hwndOwner, result);
    return S_OK;
}

void ShowTransferFailures(HWND hwndOwner, const TransferResult& result)
{
    const std::wstring text = DescribeFailures(result);
    if (!text.empty()) ::MessageBoxW(hwndOwner, text.c_str(), FailureCaption(result.kind), MB_OK | MB_ICONWARNING);
}
