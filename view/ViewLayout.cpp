// The explorer view's layout: the tree on the left, a splitter gap the mouse drags, and the
// shell view's pane filling the rest.
#include "view/FolvaneView.h"

#include "res/resource.h"

namespace {

const int kSplitterGap = 4;

// A file manager needs its splitter back: the gap stays where the mouse can reach it.
LONG ClampSplitter(LONG x, LONG cxClient)
{
    LONG xMax = cxClient - kSplitterGap;
    if (x > xMax) x = xMax;
    if (x < 0) x = 0;
    return x;
}

RECT ChildRectInClient(HWND hChild, HWND hParent)
{
    RECT rc = {0, 0, 0, 0};
    if (hChild) {
        ::GetWindowRect(hChild, &rc);
        ::MapWindowPoints(HWND_DESKTOP, hParent, reinterpret_cast<POINT*>(&rc), 2);
    }
    return rc;
}

}  // namespace

BOOL CFolvaneView::GetShellViewRect(RECT* pRect, const RECT* pClient) const
{
    RECT rcClient;
    if (pClient) rcClient = *pClient;
    else ::GetClientRect(m_hWnd, &rcClient);
    RECT rcTree = ChildRectInClient(::GetDlgItem(m_hWnd, IDC_TREE), m_hWnd);
    pRect->left = rcClient.left + (rcTree.right - rcTree.left) + kSplitterGap;
    pRect->top = rcClient.top - 2;
    pRect->right = rcClient.right + 1;
    pRect->bottom = rcClient.bottom + 1;
    return TRUE;
}

void CFolvaneView::OnSize(UINT nType, int cx, int cy)
{
    HWND hTree = ::GetDlgItem(m_hWnd, IDC_TREE);
    if (!hTree) return;
    RECT rcTree = ChildRectInClient(hTree, m_hWnd);
    ::MoveWindow(hTree, 0, 0, rcTree.right - rcTree.left, cy, TRUE);
    if (m_hwndShellView) {
        RECT rcClient = {0, 0, cx, cy};
        RECT rc;
        GetShellViewRect(&rc, &rcClient);
        ::MoveWindow(m_hwndShellView, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    }
    CFormView::OnSize(nType, cx, cy);
}

BOOL CFolvaneView::OnEraseBkgnd(HDC hdc)
{
    // Only the splitter gap is this window's to paint; the panes cover the rest.
    HWND hTree = ::GetDlgItem(m_hWnd, IDC_TREE);
    if (!hTree) return TRUE;
    RECT rcTree = ChildRectInClient(hTree, m_hWnd);
    RECT rcPane;
    GetShellViewRect(&rcPane);
    RECT rcGap = {rcTree.right, rcTree.top, rcPane.left, rcTree.bottom};
    ::FillRect(hdc, &rcGap, ::GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
}

void CFolvaneView::DrawSplitterTracker(POINT point)
{
    HDC hdc = ::GetDC(m_hWnd);
    POINT ptScreen = point;
    ClientToScreen(&ptScreen);
    RECT rc;
    GetWindowRect(&rc);
    rc.left = ptScreen.x;
    rc.right = ptScreen.x + 2;
    ScreenToClient(&rc);
    ::DrawFocusRect(hdc, &rc);
    ::ReleaseDC(m_hWnd, hdc);
}

void CFolvaneView::OnLButtonDown(UINT, POINT point)
{
    m_bTracking = TRUE;
    ::SetCapture(m_hWnd);
    m_ptTrack = point;
    DrawSplitterTracker(point);
}

void CFolvaneView::OnMouseMove(UINT nFlags, POINT point)
{
    if (!m_bTracking) {
        CFormView::OnMouseMove(nFlags, point);
        return;
    }
    DrawSplitterTracker(m_ptTrack);
    DrawSplitterTracker(point);
    m_ptTrack = point;
}

void CFolvaneView::OnLButtonUp(UINT nFlags, POINT point)
{
    if (!m_bTracking) {
        CFormView::OnLButtonUp(nFlags, point);
        return;
    }
    DrawSplitterTracker(m_ptTrack);
    HWND hTree = ::GetDlgItem(m_hWnd, IDC_TREE);
    RECT rcClient;
    GetClientRect(&rcClient);
    if (hTree) {
        RECT rcTree = ChildRectInClient(hTree, m_hWnd);
        rcTree.right = ClampSplitter(m_ptTrack.x, rcClient.right);
        ::MoveWindow(hTree, rcTree.left, rcTree.top, rcTree.right - rcTree.left, rcTree.bottom - rcTree.top, TRUE);
    }
    RECT rcWindow;
    GetWindowRect(&rcWindow);
    SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top));
    m_bTracking = FALSE;
    ::ReleaseCapture();
}

BOOL CFolvaneView::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_bTracking) {
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
    }
    POINT pt;
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    RECT rcWindow;
    GetWindowRect(&rcWindow);
    RECT rcAll = {0, 0, rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top};
    RECT rcPane;
    GetShellViewRect(&rcPane, &rcAll);
    RECT rcTree = ChildRectInClient(::GetDlgItem(m_hWnd, IDC_TREE), m_hWnd);
    if (rcTree.right < pt.x && pt.x < rcPane.left) {
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
    }
    return CFormView::OnSetCursor(pWnd, nHitTest, message);
}
