// The names of shell items as text.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

// The child's name in the form the flags ask (SHGDN_*), as wide text. FALSE when the
// folder gives none.
BOOL GetChildDisplayName(IShellFolder* pFolder, LPCITEMIDLIST pidlRel, DWORD uFlags, std::wstring& strName);
// The child's full parsing name (its path, for a file-system item) as wide text, so
// that names outside the ANSI code page survive. FALSE when the folder gives none.
BOOL GetChildParsingName(IShellFolder* pFolder, LPCITEMIDLIST pidlRel, std::wstring& strPath);
