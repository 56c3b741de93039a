// Browser windows of the running application as tests see them, and direct access to
// the record of open windows in the profile.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class CDocument;
class CFrameWnd;
class CFolvaneView;

// The browser windows (child frames of the main frame's client area), the top one first.
std::vector<HWND> BrowserWindows(HWND hMain);
// The window rectangle in the client coordinates of its parent, as "l,t,r,b".
RECT RectInParent(HWND hWnd);
std::string RectText(const RECT& rc);
std::string WindowText(HWND hWnd);

CFolvaneView* FirstViewOf(CDocument* pDoc);
CFrameWnd* FirstFrameOf(CDocument* pDoc);
// The view's answer to the browser window query, asked with ample room.
std::string BrowserWindowStringOf(HWND hView);

void WriteRecordValue(const char* name, DWORD type, const void* data, DWORD size);
void WriteRecordString(const char* name, const std::string& text);
// Every value of the record: name and text ("<type>" for values that are no strings).
std::vector<std::pair<std::string, std::string>> ReadRecordStrings();
