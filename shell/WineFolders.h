// What Wine's shell does not tell about file-system folders, read from the disk; and the
// condition under which Wine draws a folder with its plain folder icon. Used only when
// IsRunningUnderWine() says so; on Windows the shell's own answers stand.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

// The child's full parsing name (its path, for a file-system item) as wide text, so
// that names outside the ANSI code page survive. FALSE when the folder gives none.
BOOL GetChildParsingName(IShellFolder* pFolder, LPCITEMIDLIST pidlRel, std::wstring& strPath);

// Whether the folder at this path holds a sub-folder that the tree would show: a
// directory that is not hidden. Stops at the first one. A folder that cannot be read
// (gone, no access) has none. Wine reports SFGAO_HASSUBFOLDER for every folder.
BOOL DiskFolderHasSubFolder(LPCWSTR pszPath);

// Whether a folder still exists on disk. Wine binds a file-system folder (and lists
// it) even after it has been deleted, so binding cannot tell.
BOOL DiskFolderExists(LPCWSTR pszPath);

// Whether the folder holds a desktop.ini. Wine takes a folder's icon from it whatever
// the folder's attributes (read-only, system or neither), so such a folder may not show
// the plain folder icon.
BOOL DiskFolderHasDesktopIni(LPCWSTR pszPath);

// The attribute part of the plain-folder condition: under Wine, SHGetFileInfo by item
// identifier list gives every file-system folder (not a shortcut) whose container is
// itself a file-system folder the same normal and open icon, unless the folder holds a
// desktop.ini. Virtual folders, the desktop's own items and drives (whose containers
// are virtual) have icons of their own.
BOOL MayShowPlainFolderIcon(SFGAOF attrsItem, SFGAOF attrsContainer);

// The attributes MayShowPlainFolderIcon looks at.
const SFGAOF kPlainFolderAttributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_LINK;
