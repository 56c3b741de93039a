#include "shell/WineFolders.h"

#include <shlwapi.h>

#include "shell/DiskItems.h"

BOOL GetChildParsingName(IShellFolder* pFolder, LPCITEMIDLIST pidlRel, std::wstring& strPath)
{
    strPath.clear();
    if (!pFolder || !pidlRel) return FALSE;
    STRRET sr = {};
    if (FAILED(pFolder->GetDisplayNameOf(pidlRel, SHGDN_FORPARSING, &sr))) return FALSE;
    LPWSTR psz = nullptr;
    if (FAILED(StrRetToStrW(&sr, pidlRel, &psz)) || !psz) return FALSE;
    strPath = psz;
    CoTaskMemFree(psz);
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
