#include "shell/DiskFolders.h"

#include "shell/Paths.h"

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
