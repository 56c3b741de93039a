// What the tree needs to know of a folder that the shell answers differently on different
// systems.
#pragma once

#include <windows.h>
#include <shlobj.h>

// The attribute part of the plain-folder condition: under Wine, SHGetFileInfo by item
// identifier list gives every file-system folder (not a shortcut) whose container is
// itself a file-system folder the same normal and open icon, unless the folder holds a
// desktop.ini. Virtual folders, the desktop's own items and drives (whose containers
// are virtual) have icons of their own.
BOOL MayShowPlainFolderIcon(SFGAOF attrsItem, SFGAOF attrsContainer);

// The attributes MayShowPlainFolderIcon looks at.
const SFGAOF kPlainFolderAttributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_LINK;
