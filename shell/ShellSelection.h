// The selection of a hosted shell view, read from its data object's "Shell IDList Array".
#pragma once

#include <windows.h>
#include <shlobj.h>

// The first selected item of a shell view: a new one-level list relative to the folder the
// view shows, which the caller frees with the shell allocator. *ppidl is null on failure.
HRESULT GetFirstSelectedItem(IShellView* pView, LPITEMIDLIST* ppidl);

// The first item of a "Shell IDList Array" block (a CIDA of cbBlock bytes) where it lies in
// the block. The first offset names the parent folder and the selection follows. The block
// comes from a data object that any program may have made, so every count and offset is
// checked against cbBlock: null for an empty selection, or when the block is too small for
// one item or the item's first identifier and a terminator do not lie inside it.
LPCITEMIDLIST FindFirstIdListArrayItem(const void* pBlock, SIZE_T cbBlock);
