#include "frames/WindowPlacement.h"

#include <cstring>

#include "framework/Wnd.h"

namespace {

// The rectangle in the coordinates MoveWindow takes: the parent's client area for a
// child window, the screen for any other (an owner is not a parent here).
void GetPlacementRect(HWND hWnd, RECT& rc)
{
    ::GetWindowRect(hWnd, &rc);
    if (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD) {
        if (HWND hParent = ::GetParent(hWnd)) {
            ::ScreenToClient(hParent, reinterpret_cast<POINT*>(&rc.left));
            ::ScreenToClient(hParent, reinterpret_cast<POINT*>(&rc.right));
        }
    }
}

}  // namespace

CString GetWindowPlacementString(CWnd* pWnd)
{
    if (!pWnd || !pWnd->m_hWnd) return CString();
    DWORD state = 0;
    if (pWnd->IsZoomed()) state |= PLACEMENT_MAXIMIZED;
    if (pWnd->IsIconic()) state |= PLACEMENT_MINIMIZED;
    CWindowPlacementFields fields;
    GetPlacementRect(pWnd->m_hWnd, fields.rect);
    fields.state = state;
    return FormatWindowPlacement(fields);
}

BOOL ApplyWindowPlacementString(CWnd* pWnd, LPCSTR lpszPlacement)
{
    if (!pWnd || !pWnd->m_hWnd) return TRUE;
    CWindowPlacementFields fields;
    GetPlacementRect(pWnd->m_hWnd, fields.rect);
    fields.state = 0;
    if (ReadWindowPlacementString(lpszPlacement, fields) < 5) return TRUE;

    if (fields.state & PLACEMENT_MAXIMIZED) {
        pWnd->ShowWindow(SW_MAXIMIZE);
    } else if (fields.state & PLACEMENT_MINIMIZED) {
        pWnd->ShowWindow(SW_MINIMIZE);
    } else {
        // Differences taken modulo 2^32 as well: garbage coordinates must not overflow.
        const RECT& rc = fields.rect;
        const LONG cx = WrapToLong(static_cast<DWORD>(rc.right) - static_cast<DWORD>(rc.left));
        const LONG cy = WrapToLong(static_cast<DWORD>(rc.bottom) - static_cast<DWORD>(rc.top));
        pWnd->MoveWindow(rc.left, rc.top, cx, cy, TRUE);
    }
    return TRUE;
}

LRESULT CopyTextToBuffer(const CString& text, char* pBuffer, LPARAM nSize)
{
    const int length = text.GetLength();
    if (pBuffer && nSize > 0) {
        const LPARAM n = length < nSize ? length : nSize - 1;
        memcpy(pBuffer, text.GetString(), static_cast<size_t>(n));
        pBuffer[n] = '\0';
    }
    return length;
}
