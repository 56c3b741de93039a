#include "support/BrowserWindows.h"

#include "frames/WindowPlacement.h"
#include "framework/AfxRes.h"
#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "view/FolvaneView.h"

std::vector<HWND> BrowserWindows(HWND hMain)
{
    std::vector<HWND> found;
    HWND hClient = FindWindowExA(hMain, nullptr, "MDIClient", nullptr);
    for (HWND h = hClient ? GetWindow(hClient, GW_CHILD) : nullptr; h; h = GetWindow(h, GW_HWNDNEXT)) {
        found.push_back(h);
    }
    return found;
}

RECT RectInParent(HWND hWnd)
{
    RECT rc;
    GetWindowRect(hWnd, &rc);
    MapWindowPoints(HWND_DESKTOP, GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::string RectText(const RECT& rc)
{
    char buf[64];
    wsprintfA(buf, "%ld,%ld,%ld,%ld", rc.left, rc.top, rc.right, rc.bottom);
    return buf;
}

std::string WindowText(HWND hWnd)
{
    // Any length: a box may hold a long paste.
    std::string s(static_cast<size_t>(GetWindowTextLengthA(hWnd)) + 1, '\0');
    s.resize(static_cast<size_t>(GetWindowTextA(hWnd, &s[0], static_cast<int>(s.size()))));
    return s;
}

CFolvaneView* FirstViewOf(CDocument* pDoc)
{
    return pDoc ? dynamic_cast<CFolvaneView*>(pDoc->GetFirstView()) : nullptr;
}

CFrameWnd* FirstFrameOf(CDocument* pDoc)
{
    CFolvaneView* pView = FirstViewOf(pDoc);
    return pView ? pView->GetParentFrame() : nullptr;
}

std::string BrowserWindowStringOf(HWND hView)
{
    std::vector<char> buf(4096, '\0');
    LRESULT n = SendMessageA(hView, WM_GETBROWSERWINDOWSTRING, reinterpret_cast<WPARAM>(buf.data()),
                             static_cast<LPARAM>(buf.size()));
    return n > 0 ? std::string(buf.data()) : std::string();
}

std::vector<std::string> WindowMenuEntries(HWND hMain)
{
    std::vector<std::string> entries;
    HMENU hBar = GetMenu(hMain);
    for (int i = 0, n = GetMenuItemCount(hBar); i < n; i++) {
        HMENU hPopup = GetSubMenu(hBar, i);
        if (!hPopup || GetMenuState(hPopup, ID_WINDOW_NEW, MF_BYCOMMAND) == static_cast<UINT>(-1)) continue;
        for (int j = 0, m = GetMenuItemCount(hPopup); j < m; j++) {
            const UINT nID = GetMenuItemID(hPopup, j);
            if (nID < AFX_IDM_FIRST_MDICHILD || nID == static_cast<UINT>(-1)) continue;
            char text[1024] = "";
            GetMenuStringA(hPopup, j, text, sizeof(text), MF_BYPOSITION);
            entries.push_back(text);
        }
    }
    return entries;
}
