#include "shell/DiskItems.h"

#include <shellapi.h>
#include <shlobj.h>

#include "shell/ComPtr.h"
#include "shell/Paths.h"
#include "shell/TransferBlocks.h"

namespace {

bool IsNameTaken(const std::wstring& path)
{
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD err = ::GetLastError();
    // Anything else (no access, say) may hide a file: the name counts as taken.
    return err != ERROR_FILE_NOT_FOUND && err != ERROR_PATH_NOT_FOUND;
}

}  // namespace

std::wstring FreeName(const std::wstring& folder, const std::wstring& name, NameForm form,
                      std::set<std::wstring>& taken)
{
    return FirstFreeName(name, form, taken,
                         [&folder](const std::wstring& candidate) { return IsNameTaken(JoinPath(folder, candidate)); });
}

std::vector<std::wstring> ParseDropFiles(HGLOBAL hGlobal)
{
    std::vector<std::wstring> files;
    if (const void* p = ::GlobalLock(hGlobal)) {
        files = ParseDropFilesBlock(p, ::GlobalSize(hGlobal));
        ::GlobalUnlock(hGlobal);
    }
    return files;
}

BOOL ReadDropFiles(IDataObject* pDataObject, std::vector<std::wstring>& files)
{
    files.clear();
    if (!pDataObject) return FALSE;
    FORMATETC fmt = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(pDataObject->GetData(&fmt, &medium))) return FALSE;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) files = ParseDropFiles(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return !files.empty();
}

TransferResult MakeShortcuts(const std::vector<std::wstring>& files, const std::wstring& folder)
{
    TransferResult result;
    result.kind = TransferKind::Link;
    std::set<std::wstring> taken;
    for (const std::wstring& file : files) {
        std::wstring name = NameOf(file);
        if (name.empty()) name = PathKey(file).substr(0, 1);  // a drive: "Shortcut to C"
        const std::wstring linkName = FreeName(folder, name, &ShortcutName, taken);
        HRESULT hr = linkName.empty() ? HRESULT_FROM_WIN32(ERROR_FILE_EXISTS) : S_OK;
        CComPtr<IShellLinkW> pLink;
        if (SUCCEEDED(hr)) {
            hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, pLink.PutVoid());
        }
        if (SUCCEEDED(hr)) hr = pLink->SetPath(file.c_str());
        const std::wstring parent = ParentOf(file);
        if (SUCCEEDED(hr) && !parent.empty()) pLink->SetWorkingDirectory(parent.c_str());
        CComPtr<IPersistFile> pFile;
        if (SUCCEEDED(hr)) hr = pLink.As(IID_IPersistFile, pFile);
        ItemOutcome item;
        item.source = file;
        item.dest = linkName.empty() ? std::wstring() : JoinPath(folder, linkName);
        if (SUCCEEDED(hr)) hr = pFile->Save(item.dest.c_str(), TRUE);
        item.state = SUCCEEDED(hr) ? ItemOutcome::kDone : ItemOutcome::kFailed;
        // A system error travels in the result's low word.
        if (FAILED(hr)) result.Fail(file, HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : static_cast<DWORD>(hr));
        result.items.push_back(item);
    }
    return result;
}
