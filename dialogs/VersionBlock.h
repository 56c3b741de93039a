// A file's version block read as bytes: the block comes from any file the reader is pointed
// at, so every length in it is checked against the block's size.
#pragma once

#include <windows.h>

#include "framework/String.h"

// The text a path such as "\StringFileInfo\040904B0\FileVersion" names in a version block as
// GetFileVersionInfo gives it (the wide form, or the ANSI form of 16-bit files), read only
// within its cb bytes; keys match without regard to case. FALSE when the path names nothing.
BOOL ReadVersionString(const BYTE* pBlock, size_t cb, const char* pszPath, CString& value);
