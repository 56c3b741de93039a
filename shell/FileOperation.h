// The file operations the program starts (a paste, a drop onto the tree, the tree's Delete)
// as one call each: on Windows the shell's own operation, under Wine the program's own
// (TransferProgress.h), which Wine's cannot be trusted to stand in for. Either way what
// happened is checked on disk afterwards, and what could not be done is told in one box.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "shell/TransferResult.h"

// Copies or moves files and folders into a folder. Each goes by its long name; one copied
// into the folder it is in gets a name of its own ("Copy of ..."); one moved into the folder
// it is in stays where it is (skipped); a folder never goes into itself or below itself
// (failed). A name that is taken is asked about: a file is replaced only on a yes, a folder
// of the same name is merged into only on a yes.
TransferResult TransferFilesInto(HWND hwndOwner, TransferKind kind, const std::vector<std::wstring>& sources,
                                 const std::wstring& folder);

// A shortcut in the folder to each file, under a free "Shortcut to ..." name.
TransferResult LinkFilesInto(HWND hwndOwner, const std::vector<std::wstring>& files, const std::wstring& folder);

// Deletes an item of the folder as the shell's delete does: asks, then sends it to the
// trash (asking again before deleting it for good where the trash cannot take it). S_OK
// when the command ran, whatever the user answered; a failure when it could not start.
HRESULT DeleteItemToTrash(HWND hwndOwner, IShellFolder* pFolder, LPCITEMIDLIST pidlRel);

// The one box that names what could not be done and why; nothing when all was done.
void ShowTransferFailures(HWND hwndOwner, const TransferResult& result);
