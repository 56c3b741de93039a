// Real mouse and keyboard input through SendInput, as the user gives it: it reaches
// whichever window is under the cursor or has the focus, through the system's own queues.
#pragma once

#include <windows.h>
#include <commctrl.h>

// A press and release of the left button at a screen point.
void ClickAt(POINT pt);
// The mouse moved to a screen point (absolute), with a button pressed or released there
// if a MOUSEEVENTF_ button flag is given.
void SendMouse(POINT pt, DWORD dwButton = 0);
// A press and release of a key, alone or with a modifier held.
void PressKey(WORD vk);
void PressChord(WORD modifier, WORD vk);
// A drag with the left button, for a thread other than the one whose drag loop takes it up:
// presses at from, moves in small steps to to, and there keeps making small moves until
// arrived() says the target shows the drag (or a few seconds have passed), then releases.
void DragWithMouse(POINT from, POINT to, bool (*arrived)(void* pContext), void* pContext);
// For DragWithMouse: a tree shows its item as the drop target.
struct TreeDropSpot {
    HWND hTree;
    HTREEITEM hItem;
};
bool TreeShowsDropTarget(void* pSpot);
// Characters typed one after another as the keyboard would give them (each a key press of
// its own, whatever the keyboard layout).
void TypeText(const char* pszText);
void TypeText(const wchar_t* pszText);
