// Files and folders named by their paths, handed to the shell as items: a data object for
// several of them from any folders (for the clipboard and for drags), and one of them
// selected in a shell view.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

// A data object offering the items as the shell offers a selection (CF_HDROP, "Shell IDList
// Array", file names), wrapped as the shell view's selection is for the clipboard, so that
// it says whether the items were copied or cut (dwEffect). Paths the shell does not know
// (gone meanwhile) are left out; E_FAIL when none is left. One reference for the caller.
HRESULT CreatePathsDataObject(HWND hwndOwner, const std::vector<std::wstring>& paths, DWORD dwEffect,
                              IDataObject** ppData);

// Selects the item with this path, and it alone, in a shell view of its folder, focused and
// scrolled into view.
HRESULT SelectPathInShellView(IShellView* pView, const std::wstring& path);
