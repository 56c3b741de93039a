// The blocks other programs hand over on the clipboard and in drops, read as bytes: any
// program may have made them, so every count and offset is checked against the block's size
// and nothing is read outside it.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

// The paths of a CF_HDROP block (DROPFILES, then names each ending in a zero, wide or ANSI);
// a name whose terminator lies outside the block is dropped with what follows.
std::vector<std::wstring> ParseDropFilesBlock(const void* pBlock, SIZE_T cbBlock);

// What a "Preferred DropEffect" block asks a paste to do: DROPEFFECT_MOVE after a cut (the
// move offered alone), DROPEFFECT_COPY for anything else, a block too small included.
DWORD ReadPreferredDropEffect(const void* pBlock, SIZE_T cbBlock);

// The first item of a "Shell IDList Array" block (a CIDA of cbBlock bytes) where it lies in
// the block. The first offset names the parent folder and the selection follows. Null for
// an empty selection, or when the block is too small for one item or the item's first
// identifier and a terminator do not lie inside it.
LPCITEMIDLIST FindFirstIdListArrayItem(const void* pBlock, SIZE_T cbBlock);

// Every selected item of a "Shell IDList Array" block, in order: those whose whole list,
// terminator included, lies inside the block (others are left out).
std::vector<LPCITEMIDLIST> IdListArrayItems(const void* pBlock, SIZE_T cbBlock);
