#include "shell/ItemNames.h"

#include <shlwapi.h>

BOOL GetChildDisplayName(IShellFolder* pFolder, LPCITEMIDLIST pidlRel, DWORD uFlags, std::wstring& strName)
{
    strName.clear();
    if (!pFolder || !pidlRel) return FALSE;
    STRRET sr = {};
    const HRESULT hr = pFolder->GetDisplayNameOf(pidlRel, uFlags, &sr);
    if (FAILED(hr)) return FALSE;
    // A success code other than S_OK counts as failure; a string it handed over is freed.
    LPWSTR psz = nullptr;
    if (FAILED(StrRetToStrW(&sr, pidlRel, &psz)) || !psz) return FALSE;
    if (hr == S_OK) strName = psz;
    CoTaskMemFree(psz);
    return !strName.empty();
}

BOOL GetChildParsingName(IShellFolder* pFolder, LPCITEMIDLIST pidlRel, std::wstring& strPath)
{
    return GetChildDisplayName(pFolder, pidlRel, SHGDN_FORPARSING, strPath);
}
