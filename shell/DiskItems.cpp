#include "shell/DiskItems.h"

#include <shellapi.h>
#include <shlobj.h>

#include "shell/ComPtr.h"
#include "shell/Paths.h"

namespace {

// Enough for any folder a person fills by hand; past that the item is given up.
const int kMaxNameTries = 10000;

bool IsNameTaken(const std::wstring& path)
{
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD err = ::GetLastError();
    // Anything else (no access, say) may hide a file: the name counts as taken.
    return err != ERROR_FILE_NOT_FOUND && err != ERROR_PATH_NOT_FOUND;
}

template <typename Char, typename Convert>
void SplitNames(const Char* p, size_t count, Convert convert, std::vector<std::wstring>& files)
{
    size_t i = 0;
    while (i < count && p[i]) {
        const size_t start = i;
        while (i < count && p[i]) i++;
        if (i == count) break;  // unterminated: not a name
        files.push_back(convert(p + start, i - start));
        i++;
    }
}

}  // namespace

std::wstring CopyName(const std::wstring& name, int n)
{
    return n <= 1 ? L"Copy of " + name : L"Copy (" + std::to_wstring(n) + L") of " + name;
}

std::wstring ShortcutName(const std::wstring& name, int n)
{
    return (n <= 1 ? L"Shortcut to " : L"Shortcut (" + std::to_wstring(n) + L") to ") + name + L".lnk";
}

std::wstring FreeName(const std::wstring& folder, const std::wstring& name, NameForm form,
                      std::set<std::wstring>& taken)
{
    for (int n = 1; n <= kMaxNameTries; n++) {
        const std::wstring candidate = form(name, n);
        if (taken.count(PathKey(candidate)) || IsNameTaken(JoinPath(folder, candidate))) continue;
        taken.insert(PathKey(candidate));
        return candidate;
    }
    return std::wstring();
}

std::vector<std::wstring> ParseDropFiles(HGLOBAL hGlobal)
{
    std::vector<std::wstring> files;
    const SIZE_T cb = ::GlobalSize(hGlobal);
    const BYTE* p = static_cast<const BYTE*>(::GlobalLock(hGlobal));
    if (!p) return files;
    const DROPFILES* pDrop = reinterpret_cast<const DROPFILES*>(p);
    if (cb >= sizeof(DROPFILES) && pDrop->pFiles >= sizeof(DROPFILES) && pDrop->pFiles < cb) {
        if (pDrop->fWide) {
            SplitNames(reinterpret_cast<const WCHAR*>(p + pDrop->pFiles), (cb - pDrop->pFiles) / sizeof(WCHAR),
                       [](const WCHAR* s, size_t n) { return std::wstring(s, n); }, files);
        } else {
            auto widen = [](const char* s, size_t n) {
                const int cch = ::MultiByteToWideChar(CP_ACP, 0, s, static_cast<int>(n), nullptr, 0);
                std::wstring name(static_cast<size_t>(cch > 0 ? cch : 0), L'\0');
                if (cch > 0) ::MultiByteToWideChar(CP_ACP, 0, s, static_cast<int>(n), &name[0], cch);
                return name;
            };
            SplitNames(reinterpret_cast<const char*>(p + pDrop->pFiles), cb - pDrop->pFiles, widen, files);
        }
    }
    ::GlobalUnlock(hGlobal);
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
