// Files and folders on disk as the program's own file commands handle them (a paste, a drop
// onto the tree where the shell's own commands do nothing): names that are free in a folder,
// the file lists other programs hand over, and shortcuts.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <set>
#include <string>
#include <vector>

#include "shell/FreeNames.h"
#include "shell/TransferResult.h"

// The first form of the name that is free in the folder: on disk (a name that cannot be
// checked counts as taken) and among the upper-case names in taken, to which it is added.
// Empty when none is free within a sensible number of tries.
std::wstring FreeName(const std::wstring& folder, const std::wstring& name, NameForm form,
                      std::set<std::wstring>& taken);

// The paths a data object offers as CF_HDROP, read only within its block: it may come from
// any program. FALSE when it offers none.
BOOL ReadDropFiles(IDataObject* pDataObject, std::vector<std::wstring>& files);
// The same from the block itself.
std::vector<std::wstring> ParseDropFiles(HGLOBAL hGlobal);

// A shortcut in the folder to each file, under a free "Shortcut to ..." name, never replacing
// a file; what was made and what failed.
TransferResult MakeShortcuts(const std::vector<std::wstring>& files, const std::wstring& folder);
