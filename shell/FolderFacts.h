// What the tree needs to know of a folder where the shell's answer differs from system to
// system: whether it may have sub-folders, whether it is gone, and whether its icon can be
// taken from another folder's. On Windows the shell's answers stand. Wine's shell says every
// folder has sub-folders and binds a deleted folder all the same, so for file-system folders
// the disk is asked instead (DiskFolders.h); and it gives plain file-system folders one icon.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

// Whether the folder pidlRel in pFolder may have sub-folders: its SFGAO_HASSUBFOLDER,
// checked on the disk where the shell claims sub-folders for every folder.
BOOL FolderMayHaveSubFolders(IShellFolder* pFolder, LPCITEMIDLIST pidlRel);

// Whether the folder pidlRel in pFolder no longer exists: it no longer binds, or where the
// shell binds deleted folders, a folder on a disk is not there. pPath: its parsing name,
// when the caller has it already.
BOOL IsFolderGone(IShellFolder* pFolder, LPCITEMIDLIST pidlRel, const std::wstring* pPath = nullptr);

// When the tree reads a folder's items it asks each one these attributes beside its own
// (and the folder itself too), so that the two questions below need no call of their own.
// None where the shell's answers stand.
SFGAOF DiskCheckAttributes();

// Whether an item with these attributes learns from the disk, once it shows, whether it has
// sub-folders (and so a button): a file-system folder, where the shell claims sub-folders
// for every folder.
bool SubFoldersNeedDiskCheck(SFGAOF attrs);

// Whether an item shows the system's plain folder icon unless it holds a desktop.ini, so
// that the tree can give it the icons it learnt from the first such folder instead of asking
// for each item's, a call whose cost grows with the number of its siblings. So under Wine,
// where SHGetFileInfo by item identifier list gives every file-system folder (not a
// shortcut) whose container is itself a file-system folder the same normal and open icon,
// unless the folder holds a desktop.ini; virtual folders, the desktop's own items and drives
// (whose containers are virtual) have icons of their own. Never on Windows, where each
// folder's icons are asked. attrsContainer: the attributes of the item's folder.
BOOL MayShowPlainFolderIcon(SFGAOF attrsItem, SFGAOF attrsContainer);

// The attributes MayShowPlainFolderIcon looks at.
const SFGAOF kPlainFolderAttributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_LINK;
