// The text form of a window's size, position and state.
#pragma once

#include <windows.h>

#include "frames/WindowText.h"
#include "framework/String.h"

class CWnd;

// "left,top,right,bottom,state" of a window: its window rectangle in the client
// coordinates of its parent (screen coordinates for a window without one) and its state.
CString GetWindowPlacementString(CWnd* pWnd);

// Maximises, minimises or moves the window as the text says. A text of fewer than five
// fields changes nothing. Fields that are empty or unreadable keep the window's current
// value. Always TRUE.
BOOL ApplyWindowPlacementString(CWnd* pWnd, LPCSTR lpszPlacement);

// Copies text into a buffer of nSize characters, cutting it to fit and terminating it
// when nSize is not 0. Returns the length of the whole text.
LRESULT CopyTextToBuffer(const CString& text, char* pBuffer, LPARAM nSize);
