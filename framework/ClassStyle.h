// Changes to a window's class style, which every window of that class shares.
#pragma once

#include <windows.h>

class CWnd;

// Removes and adds class-style bits of a window's class (for every window of that class).
void ModifyClassStyle(CWnd* pWnd, DWORD dwRemove, DWORD dwAdd);
// Stops a window class from repainting whole windows on every change of size.
void DisableResizeRedraw(CWnd* pWnd);
