// The selection of a hosted shell view, read from its data object's "Shell IDList Array".
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "shell/TransferBlocks.h"

// The first selected item of a shell view: a new one-level list relative to the folder the
// view shows, which the caller frees with the shell allocator. *ppidl is null on failure.
HRESULT GetFirstSelectedItem(IShellView* pView, LPITEMIDLIST* ppidl);
