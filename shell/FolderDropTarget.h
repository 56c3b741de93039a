// The drop target of a folder, for a drag onto the tree.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

// The target of the folder pidlRel in pParent, with one reference for the caller: the
// shell's own, where it carries a drop out; where it takes a drop and moves nothing (Wine),
// the program's stand-in for a file-system folder (WineFolderDropTarget.h).
HRESULT GetFolderDropTarget(HWND hwndOwner, IShellFolder* pParent, LPCITEMIDLIST pidlRel, IDropTarget** ppTarget);
