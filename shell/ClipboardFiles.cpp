#include "shell/ClipboardFiles.h"

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include "shell/ComPtr.h"

namespace {

// Enough for any folder a person fills by hand; past that the paste gives up on the item.
const int kMaxNameTries = 10000;

std::wstring Upper(std::wstring s)
{
    if (!s.empty()) ::CharUpperBuffW(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

std::wstring WithoutTrailingSlash(std::wstring s)
{
    // "C:\" keeps its separator: without it, it would name the drive's current folder.
    while (s.size() > 3 && (s.back() == L'\\' || s.back() == L'/')) s.pop_back();
    return s;
}

std::wstring Join(const std::wstring& strFolder, const std::wstring& strName)
{
    std::wstring s = strFolder;
    if (!s.empty() && s.back() != L'\\') s += L'\\';
    return s + strName;
}

std::wstring FileNameOf(const std::wstring& strPath)
{
    std::wstring s = WithoutTrailingSlash(strPath);
    const size_t slash = s.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? s : s.substr(slash + 1);
    // A drive's root has no name to copy under.
    return name.find(L':') == std::wstring::npos ? name : std::wstring();
}

std::wstring ParentOf(const std::wstring& strPath)
{
    std::wstring s = WithoutTrailingSlash(strPath);
    const size_t slash = s.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return std::wstring();
    return slash == 2 && s[1] == L':' ? s.substr(0, 3) : s.substr(0, slash);
}

// The one spelling of a path that two names of the same place share: full, long, without a
// trailing separator, upper case.
std::wstring Canonical(const std::wstring& strPath)
{
    WCHAR full[MAX_PATH * 4];
    DWORD n = ::GetFullPathNameW(strPath.c_str(), MAX_PATH * 4, full, nullptr);
    std::wstring s = n && n < MAX_PATH * 4 ? std::wstring(full) : strPath;
    WCHAR longer[MAX_PATH * 4];
    n = ::GetLongPathNameW(s.c_str(), longer, MAX_PATH * 4);
    if (n && n < MAX_PATH * 4) s = longer;
    return Upper(WithoutTrailingSlash(s));
}

// Whether the folder is the item itself or lies below it.
bool IsSameOrBelow(const std::wstring& strFolder, const std::wstring& strItem)
{
    const std::wstring folder = Canonical(strFolder), item = Canonical(strItem);
    if (folder == item) return true;
    const std::wstring prefix = item.back() == L'\\' ? item : item + L'\\';
    return folder.compare(0, prefix.size(), prefix) == 0;
}

bool Exists(const std::wstring& strPath)
{
    if (::GetFileAttributesW(strPath.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD err = ::GetLastError();
    // Anything else (no access, say) may hide a file: the name counts as taken.
    return err != ERROR_FILE_NOT_FOUND && err != ERROR_PATH_NOT_FOUND;
}

// The names of a DROPFILES block, read only within the block: it may come from any program.
std::vector<std::wstring> ParseDropFiles(HGLOBAL hGlobal)
{
    std::vector<std::wstring> files;
    const SIZE_T cb = ::GlobalSize(hGlobal);
    const BYTE* p = static_cast<const BYTE*>(::GlobalLock(hGlobal));
    if (!p) return files;
    const DROPFILES* pDrop = reinterpret_cast<const DROPFILES*>(p);
    if (cb >= sizeof(DROPFILES) && pDrop->pFiles >= sizeof(DROPFILES) && pDrop->pFiles < cb) {
        if (pDrop->fWide) {
            const WCHAR* pw = reinterpret_cast<const WCHAR*>(p + pDrop->pFiles);
            const size_t count = (cb - pDrop->pFiles) / sizeof(WCHAR);
            size_t i = 0;
            while (i < count && pw[i]) {
                size_t start = i;
                while (i < count && pw[i]) i++;
                if (i == count) break;  // unterminated: not a name
                files.emplace_back(pw + start, i - start);
                i++;
            }
        } else {
            const char* pa = reinterpret_cast<const char*>(p + pDrop->pFiles);
            const size_t count = cb - pDrop->pFiles;
            size_t i = 0;
            while (i < count && pa[i]) {
                size_t start = i;
                while (i < count && pa[i]) i++;
                if (i == count) break;
                int cch = ::MultiByteToWideChar(CP_ACP, 0, pa + start, static_cast<int>(i - start), nullptr, 0);
                std::wstring name(static_cast<size_t>(cch), L'\0');
                if (cch > 0) ::MultiByteToWideChar(CP_ACP, 0, pa + start, static_cast<int>(i - start), &name[0], cch);
                files.push_back(name);
                i++;
            }
        }
    }
    ::GlobalUnlock(hGlobal);
    return files;
}

}  // namespace

BOOL CClipboardFiles::Read()
{
    m_files.clear();
    m_dwEffect = DROPEFFECT_COPY;
    CComPtr<IDataObject> pData;
    if (FAILED(::OleGetClipboard(pData.Put())) || !pData) return FALSE;
    FORMATETC fmt = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(pData->GetData(&fmt, &medium))) return FALSE;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) m_files = ParseDropFiles(medium.hGlobal);
    ::ReleaseStgMedium(&medium);

    FORMATETC fmtEffect = {static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(CFSTR_PREFERREDDROPEFFECT)), nullptr,
                           DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM mediumEffect = {};
    if (SUCCEEDED(pData->GetData(&fmtEffect, &mediumEffect))) {
        if (mediumEffect.tymed == TYMED_HGLOBAL && ::GlobalSize(mediumEffect.hGlobal) >= sizeof(DWORD)) {
            if (const DWORD* pEffect = static_cast<const DWORD*>(::GlobalLock(mediumEffect.hGlobal))) {
                // A cut offers the move alone; anything that also allows a copy is copied.
                if ((*pEffect & DROPEFFECT_MOVE) && !(*pEffect & DROPEFFECT_COPY)) m_dwEffect = DROPEFFECT_MOVE;
                ::GlobalUnlock(mediumEffect.hGlobal);
            }
        }
        ::ReleaseStgMedium(&mediumEffect);
    }
    return !m_files.empty();
}

std::wstring CClipboardFiles::CopyName(const std::wstring& strName, int n)
{
    return n <= 1 ? L"Copy of " + strName : L"Copy (" + std::to_wstring(n) + L") of " + strName;
}

std::wstring CClipboardFiles::ShortcutName(const std::wstring& strName, int n)
{
    return (n <= 1 ? L"Shortcut to " : L"Shortcut (" + std::to_wstring(n) + L") to ") + strName + L".lnk";
}

std::wstring CClipboardFiles::MakeFreeName(const std::wstring& strFolder, std::wstring (*nth)(const std::wstring&, int),
                                           const std::wstring& strName, const std::set<std::wstring>* pTaken)
{
    for (int n = 1; n <= kMaxNameTries; n++) {
        std::wstring candidate = nth(strName, n);
        if (pTaken && pTaken->count(Upper(candidate))) continue;
        if (!Exists(Join(strFolder, candidate))) return candidate;
    }
    return std::wstring();
}

HRESULT CClipboardFiles::PasteInto(HWND hwndOwner, const std::wstring& strFolder)
{
    const bool bMove = m_dwEffect == DROPEFFECT_MOVE;
    std::wstring from, to;
    std::set<std::wstring> taken;
    size_t nItems = 0;
    for (const std::wstring& strFile : m_files) {
        const std::wstring name = FileNameOf(strFile);
        if (name.empty() || IsSameOrBelow(strFolder, strFile)) continue;
        std::wstring dest;
        if (Canonical(ParentOf(strFile)) == Canonical(strFolder)) {
            // Into its own folder: a move has nothing to do, a copy needs a name of its own.
            if (bMove) continue;
            std::wstring free = MakeFreeName(strFolder, &CopyName, name, &taken);
            if (free.empty()) continue;
            taken.insert(Upper(free));
            dest = Join(strFolder, free);
        } else {
            dest = Join(strFolder, name);
        }
        from += strFile;
        from += L'\0';
        to += dest;
        to += L'\0';
        nItems++;
    }
    if (nItems == 0) return S_FALSE;
    from += L'\0';
    to += L'\0';

    SHFILEOPSTRUCTW op = {};
    op.hwnd = hwndOwner;
    op.wFunc = bMove ? FO_MOVE : FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    // One destination per source; no FOF_NOCONFIRMATION, so a taken name is asked about.
    op.fFlags = FOF_MULTIDESTFILES;
    const int result = ::SHFileOperationW(&op);
    if (result == ERROR_CANCELLED || (result != 0 && op.fAnyOperationsAborted)) return HRESULT_FROM_WIN32(ERROR_CANCELLED);
    if (result != 0) return E_FAIL;
    if (bMove && !op.fAnyOperationsAborted) {
        // The cut is used up; another program may have put something else there meanwhile.
        CClipboardFiles now;
        if (now.Read() && now.m_files == m_files && now.m_dwEffect == DROPEFFECT_MOVE && ::OpenClipboard(hwndOwner)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
    }
    return S_OK;
}

HRESULT CClipboardFiles::PasteShortcutsInto(const std::wstring& strFolder)
{
    HRESULT hrFirstFailure = S_OK;
    std::set<std::wstring> taken;
    for (const std::wstring& strFile : m_files) {
        std::wstring name = FileNameOf(strFile);
        if (name.empty()) name = Upper(WithoutTrailingSlash(strFile)).substr(0, 1);  // a drive: "Shortcut to C"
        const std::wstring linkName = MakeFreeName(strFolder, &ShortcutName, name, &taken);
        HRESULT hr = linkName.empty() ? HRESULT_FROM_WIN32(ERROR_FILE_EXISTS) : S_OK;
        CComPtr<IShellLinkW> pLink;
        if (SUCCEEDED(hr)) {
            hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, pLink.PutVoid());
        }
        if (SUCCEEDED(hr)) hr = pLink->SetPath(strFile.c_str());
        if (SUCCEEDED(hr)) pLink->SetWorkingDirectory(ParentOf(strFile).c_str());
        CComPtr<IPersistFile> pFile;
        if (SUCCEEDED(hr)) hr = pLink.As(IID_IPersistFile, pFile);
        if (SUCCEEDED(hr)) hr = pFile->Save(Join(strFolder, linkName).c_str(), TRUE);
        if (SUCCEEDED(hr)) taken.insert(Upper(linkName));
        if (FAILED(hr) && SUCCEEDED(hrFirstFailure)) hrFirstFailure = hr;
    }
    return hrFirstFailure;
}
