#include "framework/ClassStyle.h"

#include "framework/Wnd.h"

void ModifyClassStyle(CWnd* pWnd, DWORD dwRemove, DWORD dwAdd)
{
    if (!pWnd || !pWnd->m_hWnd) return;
    DWORD style = GetClassLongA(pWnd->m_hWnd, GCL_STYLE);
    if (style == 0) return;
    SetClassLongA(pWnd->m_hWnd, GCL_STYLE, static_cast<LONG>((style & ~dwRemove) | dwAdd));
}

void DisableResizeRedraw(CWnd* pWnd)
{
    ModifyClassStyle(pWnd, CS_HREDRAW | CS_VREDRAW, 0);
}
