#include "shell/ItemNames.h"

#include <shlwapi.h>

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
