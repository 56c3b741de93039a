#include "frames/WindowPlacement.h"

#include <cstring>

#include "dialogs/TextUtil.h"
#include "framework/Wnd.h"

namespace {

// Two's complement, without relying on how the compiler converts out-of-range values.
LONG WrapToLong(DWORD value)
{
    return value <= 0x7FFFFFFFUL ? static_cast<LONG>(value) : -static_cast<LONG>(~value) - 1;
}

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

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// Reads a field as "%lu" does: blanks, an optional sign, then decimal digits; what
// follows the digits is ignored. A minus sign and numbers past 32 bits wrap around
// modulo 2^32, so "-5" comes back as the 32-bit pattern of -5.
bool ReadUnsigned(const char* p, DWORD& value)
{
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (*p < '0' || *p > '9') return false;
    DWORD v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) v = v * 10UL + static_cast<DWORD>(*p - '0');
    value = negative ? 0UL - v : v;
    return true;
}

}  // namespace

CString GetWindowPlacementString(CWnd* pWnd)
{
    if (!pWnd || !pWnd->m_hWnd) return CString();
    DWORD state = 0;
    if (pWnd->IsZoomed()) state |= PLACEMENT_MAXIMIZED;
    if (pWnd->IsIconic()) state |= PLACEMENT_MINIMIZED;
    RECT rc;
    GetPlacementRect(pWnd->m_hWnd, rc);
    CString text;
    text.Format("%d,%d,%d,%d,%lu", static_cast<int>(rc.left), static_cast<int>(rc.top), static_cast<int>(rc.right),
                static_cast<int>(rc.bottom), static_cast<unsigned long>(state));
    return text;
}

int ReadWindowPlacementString(LPCSTR lpszPlacement, CWindowPlacementFields& fields)
{
    int nFields = 0;
    CString field;
    for (const char* p = GetDelimitedField(lpszPlacement, 0, field, ","); p; p = GetDelimitedField(p, 0, field, ",")) {
        const int index = nFields++;
        DWORD value;
        if (index > 4 || !ReadUnsigned(field, value)) continue;
        switch (index) {
        case 0: fields.rect.left = WrapToLong(value); break;
        case 1: fields.rect.top = WrapToLong(value); break;
        case 2: fields.rect.right = WrapToLong(value); break;
        case 3: fields.rect.bottom = WrapToLong(value); break;
        default: fields.state = value; break;
        }
    }
    return nFields;
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
