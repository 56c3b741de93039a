// The program's private window messages, in one place: every part of the program may send
// or answer them without knowing the window class that does the other side.
#pragma once

#include <windows.h>

// Sent by a shell window to its parent to find the browser; answered without a reference.
#define CWM_GETISHELLBROWSER (WM_USER + 7)

// Sent to a browser window's view: wParam points to the sender's buffer, lParam gives
// its size in characters, terminator included. The view writes at most that much,
// always terminated when the size is not 0, and returns the length of the whole text
// without terminator, so a return value of lParam or more means the text was cut.
#define WM_GETBROWSERWINDOWSTRING (WM_USER + 666)

// The shell's notice of folders made, removed or renamed anywhere (SHChangeNotifyRegister).
#define WM_SHELLFOLDERCHANGE (WM_APP + 7)

// Sent by the main frame to the view of its active window with a notification for a toolbar
// button the view's shell view added (a tooltip request): wParam and lParam as WM_NOTIFY.
// The view hands it to its shell view and returns the shell view's answer.
#define WM_SHELLVIEWNOTIFY (WM_APP + 8)

// Posted by a find window's worker to the window when found items wait to be taken or the
// search has ended: wParam is the number of the search, so that a stopped one's is ignored.
#define WM_FINDITEMS (WM_APP + 9)

// Posted to a browser window's view when the items its shell view lists, or their selection,
// have changed (where the program writes the view's status).
#define WM_SHELLVIEWCHANGED (WM_APP + 41)
// Sent by the main frame to the view of its active browser window for the text that stands
// where "Ready" would: lParam points to a CString to fill. TRUE when the view has one.
#define WM_GETBROWSERSTATUS (WM_APP + 42)
