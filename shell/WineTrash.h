// The trash under Wine: a folder of the host's (the freedesktop.org trash), where Wine's shell
// puts what its delete removes with undo allowed. Where that folder cannot be made, Wine's
// delete removes the item for good without a word; so the program asks first whether the
// trash can take anything at all.
#pragma once

#include <windows.h>

#include <string>

// Sends the item to the trash with the shell's own delete, once the trash is known to be
// there: 0 when the item went, kErrorNoTrash when the trash cannot take it, otherwise the
// system's reason (the item stays).
DWORD RecycleUnderWine(const std::wstring& path);
