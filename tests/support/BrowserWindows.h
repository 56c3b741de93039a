// Browser windows of the running application as tests see them: the windows, their views
// and frames, and the rectangles and texts tests compare.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CDocument;
class CFrameWnd;
class CFolvaneView;

// The browser windows (child frames of the main frame's client area), the top one first.
std::vector<HWND> BrowserWindows(HWND hMain);
// The window rectangle in the client coordinates of its parent.
RECT RectInParent(HWND hWnd);
// A rectangle as "l,t,r,b".
std::string RectText(const RECT& rc);
std::string WindowText(HWND hWnd);

CFolvaneView* FirstViewOf(CDocument* pDoc);
CFrameWnd* FirstFrameOf(CDocument* pDoc);
// The view's answer to the browser window query, asked with ample room.
std::string BrowserWindowStringOf(HWND hView);
// The entries of the main menu's Window popup that name browser windows, in menu order.
std::vector<std::string> WindowMenuEntries(HWND hMain);
