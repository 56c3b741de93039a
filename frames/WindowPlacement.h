// The text form of a window's size, position and state.
#pragma once

#include <windows.h>

#include "framework/String.h"

class CWnd;

// States of a window placement text.
#define PLACEMENT_MAXIMIZED 0x01000000UL  // WS_MAXIMIZE
#define PLACEMENT_MINIMIZED 0x20000000UL  // WS_MINIMIZE

// What a placement text names: the window rectangle in the parent's client coordinates
// and the state bits.
struct CWindowPlacementFields {
    RECT rect;
    DWORD state;
};

// "left,top,right,bottom,state" of a window: its window rectangle in the client
// coordinates of its parent (screen coordinates for a window without one) and its state.
CString GetWindowPlacementString(CWnd* pWnd);

// Reads the fields of a placement text into `fields`. A field that is empty or does not
// start with a number keeps the value it had; fields after the fifth are ignored.
// Returns the number of fields the text has (a comma at the very end adds none).
int ReadWindowPlacementString(LPCSTR lpszPlacement, CWindowPlacementFields& fields);

// Maximises, minimises or moves the window as the text says. A text of fewer than five
// fields changes nothing. Fields that are empty or unreadable keep the window's current
// value. Always TRUE.
BOOL ApplyWindowPlacementString(CWnd* pWnd, LPCSTR lpszPlacement);

// Copies text into a buffer of nSize characters, cutting it to fit and terminating it
// when nSize is not 0. Returns the length of the whole text.
LRESULT CopyTextToBuffer(const CString& text, char* pBuffer, LPARAM nSize);
