// The top-level windows of a process (this one or another), as tests look for them.
#pragma once

#include <windows.h>

#include <vector>

// The top-level windows of a process, top one first: only the visible ones if asked, and
// only those of one window class if a class is named.
std::vector<HWND> TopLevelWindowsOf(DWORD pid, bool visibleOnly, const char* windowClass = nullptr);
