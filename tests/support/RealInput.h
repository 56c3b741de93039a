// Real mouse and keyboard input through SendInput, as the user gives it: it reaches
// whichever window is under the cursor or has the focus, through the system's own queues.
#pragma once

#include <windows.h>

// A press and release of the left button at a screen point.
void ClickAt(POINT pt);
// The mouse moved to a screen point (absolute), with a button pressed or released there
// if a MOUSEEVENTF_ button flag is given.
void SendMouse(POINT pt, DWORD dwButton = 0);
// A press and release of a key, alone or with a modifier held.
void PressKey(WORD vk);
void PressChord(WORD modifier, WORD vk);
