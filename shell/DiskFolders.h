// What the disk says of a folder, where the shell's own answer cannot be trusted: read with
// the file system's calls, by path.
#pragma once

#include <windows.h>

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
