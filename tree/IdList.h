// Item identifier lists: measuring, copying and joining them, turning the shell's
// display names into text, and paths into absolute lists.
// Every list returned here is a new block from the shell allocator and belongs to the
// caller (hold it in a CIdListPtr); no input is ever consumed.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "framework/String.h"

// The size field of the identifier at p; identifiers have no alignment promise.
USHORT IdListReadCb(const void* p);

// Size in bytes including the terminator; 0 for null.
UINT IdListGetSize(LPCITEMIDLIST pidl);

// The identifier after the first one. Does not look for the terminator: test cb first.
LPITEMIDLIST IdListGetNext(LPITEMIDLIST pidl);
LPCITEMIDLIST IdListGetNext(LPCITEMIDLIST pidl);

// A zero-filled block of cb bytes from the shell allocator, or null.
LPITEMIDLIST IdListAlloc(UINT cb);

// pidl1 followed by pidl2. A null pidl1 gives a copy of pidl2; a null pidl2 counts as
// the empty list. Null when the allocation fails.
LPITEMIDLIST IdListConcat(LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2);

// A one-level list holding the first identifier of pidl, allocated through pMalloc
// (the shell allocator when null). The empty list copies to the empty list; null in, null out.
LPITEMIDLIST IdListCopyFirst(IMalloc* pMalloc, LPCITEMIDLIST pidl);

// With no buffer (or cchBuf <= 0) measures: the name's length in characters, terminator
// excluded, for every form; 0 for an unknown form. Otherwise copies at most cchBuf
// characters, terminator included, and returns the length copied.
// pidl is the list the name was asked for (STRRET_OFFSET points into it).
// A STRRET_WSTR string still belongs to the caller afterwards; free it after copying.
int StrRetToText(const STRRET* pStrRet, LPCITEMIDLIST pidl, LPSTR pszBuf, int cchBuf);

// Fills str with the name and frees a STRRET_WSTR string (pOleStr is then null).
BOOL StrRetToString(STRRET* pStrRet, LPCITEMIDLIST pidl, CString& str);

// The child's name as GetDisplayNameOf gives it, into a buffer of MAX_PATH characters.
// FALSE, with the buffer untouched, for any result but S_OK.
BOOL GetItemDisplayName(IShellFolder* pFolder, LPCITEMIDLIST pidl, DWORD uFlags, LPSTR pszName);

// The absolute list of a path, or null when the shell cannot parse it or it does not
// fit the MAX_PATH wide buffer (it is never parsed cut short).
LPITEMIDLIST PathToIdList(LPCSTR pszPath);
