#include "shell/WineFolders.h"

#include "shell/ComPtr.h"

namespace {

void FreeShellString(LPWSTR psz)
{
    CComPtr<IMalloc> spMalloc;
    if (psz && SUCCEEDED(SHGetMalloc(spMalloc.Put())) && spMalloc) spMalloc->Free(psz);
}

// path + "\" + name, with no doubled separator after a root such as "C:\".
std::wstring JoinPath(LPCWSTR pszPath, LPCWSTR pszName)
{
    std::wstring str(pszPath);
    if (!str.empty() && str.back() != L'\\') str += L'\\';
    return str + pszName;
}

}  // namespace

BOOL GetChildParsingName(IShellFolder* pFolder, LPCITEMIDLIST pidlRel, std::wstring& strPath)
{
    if (!pFolder || !pidlRel) return FALSE;
    STRRET sr = {};
    if (FAILED(pFolder->GetDisplayNameOf(pidlRel, SHGDN_FORPARSING, &sr))) return FALSE;
    switch (sr.uType) {
    case STRRET_WSTR:
        strPath = sr.pOleStr ? sr.pOleStr : L"";
        FreeShellString(sr.pOleStr);
        break;
    case STRRET_CSTR:
    case STRRET_OFFSET: {
        const char* psz = sr.uType == STRRET_CSTR ? sr.cStr : reinterpret_cast<const char*>(pidlRel) + sr.uOffset;
        if (sr.uType == STRRET_CSTR) sr.cStr[MAX_PATH - 1] = '\0';
        int cch = MultiByteToWideChar(CP_ACP, 0, psz, -1, nullptr, 0);
        if (cch <= 0) return FALSE;
        strPath.assign(static_cast<size_t>(cch), L'\0');
        MultiByteToWideChar(CP_ACP, 0, psz, -1, &strPath[0], cch);
        strPath.resize(static_cast<size_t>(cch - 1));
        break;
    }
    default:
        return FALSE;
    }
    return !strPath.empty();
}

BOOL DiskFolderHasSubFolder(LPCWSTR pszPath)
{
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW(JoinPath(pszPath, L"*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE) return FALSE;
    BOOL bFound = FALSE;
    do {
        // The tree does not ask for hidden items, so a hidden sub-folder gives no button.
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)) continue;
        if (lstrcmpW(fd.cFileName, L".") == 0 || lstrcmpW(fd.cFileName, L"..") == 0) continue;
        bFound = TRUE;
    } while (!bFound && FindNextFileW(hFind, &fd));
    FindClose(hFind);
    return bFound;
}

BOOL DiskFolderExists(LPCWSTR pszPath)
{
    DWORD dwAttrs = GetFileAttributesW(pszPath);
    return dwAttrs != INVALID_FILE_ATTRIBUTES && (dwAttrs & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL DiskFolderHasDesktopIni(LPCWSTR pszPath)
{
    DWORD dwAttrs = GetFileAttributesW(JoinPath(pszPath, L"desktop.ini").c_str());
    return dwAttrs != INVALID_FILE_ATTRIBUTES && !(dwAttrs & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL MayShowPlainFolderIcon(SFGAOF attrsItem, SFGAOF attrsContainer)
{
    const SFGAOF kFileSystemFolder = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    return (attrsItem & kPlainFolderAttributes) == kFileSystemFolder &&
           (attrsContainer & kPlainFolderAttributes) == kFileSystemFolder;
}
