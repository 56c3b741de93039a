#include "framework/ControlBar.h"

#include <commctrl.h>

#include "framework/AfxRes.h"
#include "framework/FrameWnd.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)
IMPLEMENT_DYNAMIC(CMiniDockFrameWnd, CWnd)

// ---- CControlBar ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, &CControlBar::OnIdleUpdateCmdUI)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CControlBar::~CControlBar()
{
    if (m_pDockSite && m_pDockSite->m_hWnd) m_pDockSite->RemoveControlBar(this);
}

void CControlBar::OnDestroy()
{
    if (m_pDockSite) m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
    if (m_pFloatFrame) {
        m_pFloatFrame->DetachBar();
        m_pFloatFrame = nullptr;
    }
    Default();
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    // The side a bar sits on is the bar's own business, not the caller's.
    m_dwStyle = (dwStyle & ~CBRS_ALIGN_ANY) | (m_dwStyle & CBRS_ALIGN_ANY);
    if (m_hWnd && (dwStyle & CBRS_TOOLTIPS)) ModifyStyle(0, TBSTYLE_TOOLTIPS);
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (m_pDockSite && IsBarVisible()) OnUpdateCmdUI(m_pDockSite, static_cast<BOOL>(wParam));
    return 0;
}

HWND CControlBar::GetFloatingWindow() const
{
    return m_pFloatFrame ? m_pFloatFrame->m_hWnd : nullptr;
}

BOOL CControlBar::IsBarVisible() const
{
    return m_hWnd && (GetStyle() & WS_VISIBLE) != 0;
}

void CControlBar::ShowBar(BOOL bShow)
{
    ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
    if (m_pFloatFrame) m_pFloatFrame->ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
}

void CControlBar::DockAt(CFrameWnd* pFrame, DWORD dwSide)
{
    m_pDockSite = pFrame;
    pFrame->AddControlBar(this);
    BOOL bVisible = IsBarVisible();
    if (m_pFloatFrame) {
        CMiniDockFrameWnd* pMini = m_pFloatFrame;
        m_pFloatFrame = nullptr;
        ::SetParent(m_hWnd, pFrame->m_hWnd);
        ModifyStyle(WS_POPUP, WS_CHILD);
        pMini->DetachBar();
        pMini->DestroyWindow();
    }
    m_dwStyle = (m_dwStyle & ~CBRS_ALIGN_ANY) | dwSide;
    m_dwLastDockSide = dwSide;
    OnBarOrientation(dwSide == CBRS_ALIGN_TOP || dwSide == CBRS_ALIGN_BOTTOM);
    if (bVisible) ShowWindow(SW_SHOWNA);
}

void CControlBar::FloatAt(CFrameWnd* pFrame, POINT ptScreen)
{
    m_pDockSite = pFrame;
    pFrame->AddControlBar(this);
    if (!m_pFloatFrame) {
        CMiniDockFrameWnd* pMini = new CMiniDockFrameWnd(this, pFrame);
        if (!pMini->Create(ptScreen)) return;
        // It follows the frame's enabled state from then on (the frame's OnEnable).
        if (!::IsWindowEnabled(pFrame->m_hWnd)) pMini->EnableWindow(FALSE);
        m_pFloatFrame = pMini;
        ::SetParent(m_hWnd, pMini->m_hWnd);
    }
    OnBarOrientation(TRUE);
    SIZE size = CalcFixedLayout(FALSE, TRUE);
    MoveWindow(0, 0, size.cx, size.cy);
    m_pFloatFrame->FitToBar();
    ::SetWindowPos(m_pFloatFrame->m_hWnd, nullptr, ptScreen.x, ptScreen.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(SW_SHOWNA);
    m_pFloatFrame->ShowWindow(SW_SHOWNA);
}

// ---- CToolBar ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_MESSAGE(WM_MOUSELEAVE, &CToolBar::OnMouseLeave)
    ON_MESSAGE(WM_CAPTURECHANGED, &CToolBar::OnCaptureChanged)
    // Buttons that others add or take away (a shell view's) are laid out like the bar's own.
    ON_MESSAGE(TB_ADDBUTTONSA, &CToolBar::OnButtonsChange)
    ON_MESSAGE(TB_ADDBUTTONSW, &CToolBar::OnButtonsChange)
    ON_MESSAGE(TB_INSERTBUTTONA, &CToolBar::OnButtonsChange)
    ON_MESSAGE(TB_INSERTBUTTONW, &CToolBar::OnButtonsChange)
    ON_MESSAGE(TB_DELETEBUTTON, &CToolBar::OnButtonsChange)
END_MESSAGE_MAP()

CToolBar::~CToolBar()
{
    // The window goes first, and its image bitmap with it.
    if (m_hWnd) DestroyWindow();
    if (m_hbmImageWell) DeleteObject(m_hbmImageWell);
}

void CToolBar::PostNcDestroy()
{
    if (m_hbmImageWell) DeleteObject(m_hbmImageWell);
    m_hbmImageWell = nullptr;
    m_nIDImageWell = 0;
    m_iImageWell = m_nImageWell = 0;
    CControlBar::PostNcDestroy();
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    m_dwLastDockSide = m_dwStyle & CBRS_ALIGN_ANY;
    DWORD wndStyle = (dwStyle & ~CBRS_ALL) | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | WS_CLIPSIBLINGS;
    if (dwStyle & CBRS_TOOLTIPS) wndStyle |= TBSTYLE_TOOLTIPS;
    if (!CreateEx(0, TOOLBARCLASSNAMEA, nullptr, wndStyle, 0, 0, 100, m_sizeButton.cy + 4, pParentWnd->m_hWnd,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)))) {
        return FALSE;
    }
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    m_pDockSite = dynamic_cast<CFrameWnd*>(pParentWnd);
    if (m_pDockSite) m_pDockSite->AddControlBar(this);
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT nIDResource)
{
    if (!m_hWnd) return FALSE;
    // The toolbar resource: version, image width, image height, count, then the command ids.
    HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCEA(nIDResource), RT_TOOLBAR);
    HRSRC hRsrc = FindResourceA(hInst, MAKEINTRESOURCEA(nIDResource), RT_TOOLBAR);
    if (!hRsrc) return FALSE;
    HGLOBAL hGlobal = LoadResource(hInst, hRsrc);
    const WORD* pData = hGlobal ? static_cast<const WORD*>(LockResource(hGlobal)) : nullptr;
    DWORD cbData = SizeofResource(hInst, hRsrc);
    if (!pData || cbData < 8 || pData[0] != 1) return FALSE;
    WORD nCount = pData[3];
    if (cbData < 8u + 2u * nCount) return FALSE;
    const SIZE sizeImage = {pData[1], pData[2]};
    int nImages = 0;
    for (WORD i = 0; i < nCount; i++) {
        if (pData[4 + i] != 0) nImages++;
    }

    if (!LoadImages(hInst, nIDResource, nImages, sizeImage)) return FALSE;
    std::vector<UINT> ids(pData + 4, pData + 4 + nCount);
    return SetButtons(ids.data(), static_cast<int>(ids.size()));
}

BOOL CToolBar::LoadImages(HINSTANCE hInst, UINT nIDResource, int nImages, SIZE sizeImage)
{
    // Reloaded (the shell view does so on every folder change): the images are in place already.
    if (m_hbmImageWell && m_nIDImageWell == nIDResource && m_nImageWell == nImages) return TRUE;
    // The control's images keep the size they were first given.
    if (m_hbmImageWell && (sizeImage.cx != m_sizeImage.cx || sizeImage.cy != m_sizeImage.cy)) return FALSE;

    HBITMAP hbm = LoadImageWell(hInst, nIDResource);
    if (!hbm) return FALSE;
    if (!m_hbmImageWell) {
        // The sizes can be set only while the control has no images.
        m_sizeImage = sizeImage;
        m_sizeButton.cx = m_sizeImage.cx + 7;
        m_sizeButton.cy = m_sizeImage.cy + 7;
        SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(m_sizeImage.cx, m_sizeImage.cy));
        SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(m_sizeButton.cx, m_sizeButton.cy));
        TBADDBITMAP ab = {nullptr, reinterpret_cast<UINT_PTR>(hbm)};
        LRESULT iFirst = SendMessage(TB_ADDBITMAP, static_cast<WPARAM>(nImages), reinterpret_cast<LPARAM>(&ab));
        if (iFirst < 0) {
            DeleteObject(hbm);
            return FALSE;
        }
        m_iImageWell = static_cast<int>(iFirst);
    } else {
        // Another resource's images take the place of the present ones.
        TBREPLACEBITMAP rb = {nullptr, reinterpret_cast<UINT_PTR>(m_hbmImageWell), nullptr,
                              reinterpret_cast<UINT_PTR>(hbm), nImages};
        if (!SendMessage(TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&rb))) {
            DeleteObject(hbm);
            return FALSE;
        }
        DeleteObject(m_hbmImageWell);
    }
    m_hbmImageWell = hbm;
    m_nIDImageWell = nIDResource;
    m_nImageWell = nImages;
    return TRUE;
}

HBITMAP CToolBar::LoadImageWell(HINSTANCE hInst, UINT nIDResource)
{
    // The bitmap's greys, black and white follow the system colours.
    return CreateMappedBitmap(hInst, static_cast<INT_PTR>(nIDResource), 0, nullptr, 0);
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    m_bSettingButtons = TRUE;
    while (GetCount() > 0) SendMessage(TB_DELETEBUTTON, 0, 0);
    std::vector<TBBUTTON> buttons;
    int iImage = m_iImageWell;
    for (int i = 0; i < nIDCount; i++) {
        TBBUTTON b = {};
        if (lpIDArray[i] == 0) {
            b.iBitmap = 8;
            b.fsStyle = TBSTYLE_SEP;
        } else {
            b.iBitmap = iImage++;
            b.idCommand = static_cast<int>(lpIDArray[i]);
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = TBSTYLE_BUTTON;
        }
        buttons.push_back(b);
    }
    BOOL bAdded = buttons.empty() ||
                  SendMessage(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())) != 0;
    m_bSettingButtons = FALSE;
    RecalcBarLayout();
    return bAdded;
}

void CToolBar::RecalcBarLayout()
{
    if (!m_hWnd) return;
    DWORD side = GetDockedSide();
    OnBarOrientation(IsFloating() || (side != CBRS_ALIGN_LEFT && side != CBRS_ALIGN_RIGHT));
    if (m_pFloatFrame) {
        SIZE size = CalcFixedLayout(FALSE, TRUE);
        MoveWindow(0, 0, size.cx, size.cy);
        m_pFloatFrame->FitToBar();
    } else if (m_pDockSite) {
        m_pDockSite->RecalcLayout();
    }
}

LRESULT CToolBar::OnButtonsChange(WPARAM, LPARAM)
{
    LRESULT lResult = Default();
    if (!m_bSettingButtons) RecalcBarLayout();
    return lResult;
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON b = {};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b))) return 0;
    return (b.fsStyle & TBSTYLE_SEP) ? 0 : static_cast<UINT>(b.idCommand);
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, nIDFind, 0));
}

void CToolBar::GetItemRect(int nIndex, RECT* lpRect) const
{
    SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect));
}

void CToolBar::OnBarOrientation(BOOL bHorz)
{
    // A vertical bar is one button per row.
    int n = GetCount();
    for (int i = 0; i < n; i++) {
        TBBUTTON b = {};
        SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        BYTE state = b.fsState;
        state = bHorz ? static_cast<BYTE>(state & ~TBSTATE_WRAP) : static_cast<BYTE>(state | TBSTATE_WRAP);
        if (state != b.fsState) {
            TBBUTTONINFOA bi = {};
            bi.cbSize = sizeof(bi);
            bi.dwMask = TBIF_STATE | TBIF_BYINDEX;
            bi.fsState = state;
            SendMessage(TB_SETBUTTONINFOA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&bi));
        }
    }
}

SIZE CToolBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    int n = GetCount();
    SIZE size = {m_sizeButton.cx + 4, m_sizeButton.cy + 4};
    if (n > 0) {
        RECT rc = {};
        GetItemRect(n - 1, &rc);
        if (bHorz) size.cx = rc.right + 4;
        else size.cy = rc.bottom + 4;
    }
    return size;
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler)
{
    CCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(GetCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++) {
        state.m_nID = GetItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0) continue;
        state.DoUpdate(pTarget, bDisableIfNoHandler);
    }
}

void CToolBar::SetFlyBy(UINT nID)
{
    if (!(m_dwStyle & CBRS_FLYBY) || nID == m_nFlyById || !m_pDockSite) return;
    m_nFlyById = nID;
    if (nID) m_pDockSite->SetMessageText(nID);
    else m_pDockSite->SetMessageText(AFX_IDS_IDLEMESSAGE);
}

RECT CToolBar::DragRectAt(POINT pt, DWORD* pSide) const
{
    DWORD side = m_pDockSite ? (m_pDockSite->CanDockAt(pt) & m_dwDockStyle) : 0;
    if (pSide) *pSide = side;
    BOOL bHorz = !(side == CBRS_ALIGN_LEFT || side == CBRS_ALIGN_RIGHT);
    int n = GetCount();
    int buttons = 0;
    for (int i = 0; i < n; i++) {
        if (GetItemID(i)) buttons++;
    }
    int along = buttons * m_sizeButton.cx + 12;
    int across = m_sizeButton.cy + 6;
    RECT rc = {pt.x, pt.y, pt.x + (bHorz ? along : across), pt.y + (bHorz ? across : along)};
    return rc;
}

void CToolBar::DrawDragRect(const RECT* prc)
{
    HDC hdc = GetDC(nullptr);
    if (m_bDragDrawn) DrawFocusRect(hdc, &m_rcDragLast);
    m_bDragDrawn = FALSE;
    if (prc) {
        m_rcDragLast = *prc;
        DrawFocusRect(hdc, &m_rcDragLast);
        m_bDragDrawn = TRUE;
    }
    ReleaseDC(nullptr, hdc);
}

void CToolBar::OnMouseMove(UINT nFlags, POINT point)
{
    if (m_bDragging) {
        POINT pt = point;
        ClientToScreen(&pt);
        RECT rc = DragRectAt(pt, nullptr);
        DrawDragRect(&rc);
        return;
    }
    int hit = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
    SetFlyBy(hit >= 0 ? GetItemID(hit) : 0);
    if (!m_bTrackingLeave) {
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
        m_bTrackingLeave = TrackMouseEvent(&tme);
    }
    CWnd::OnMouseMove(nFlags, point);
}

LRESULT CToolBar::OnMouseLeave(WPARAM, LPARAM)
{
    m_bTrackingLeave = FALSE;
    SetFlyBy(0);
    return Default();
}

void CToolBar::OnLButtonDown(UINT nFlags, POINT point)
{
    int hit = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
    BOOL onButton = hit >= 0 && GetItemID(hit) != 0;
    if (!onButton && m_pDockSite && (m_dwDockStyle & CBRS_ALIGN_ANY)) {
        // A press between buttons picks the bar up.
        m_bDragging = TRUE;
        m_ptDragStart = point;
        ClientToScreen(&m_ptDragStart);
        SetCapture(m_hWnd);
        RECT rc = DragRectAt(m_ptDragStart, nullptr);
        DrawDragRect(&rc);
        return;
    }
    CWnd::OnLButtonDown(nFlags, point);
}

void CToolBar::OnLButtonUp(UINT nFlags, POINT point)
{
    if (!m_bDragging) {
        CWnd::OnLButtonUp(nFlags, point);
        return;
    }
    m_bDragging = FALSE;
    DrawDragRect(nullptr);
    ReleaseCapture();
    POINT pt = point;
    ClientToScreen(&pt);
    if (abs(pt.x - m_ptDragStart.x) < 4 && abs(pt.y - m_ptDragStart.y) < 4) return;
    DWORD side = 0;
    DragRectAt(pt, &side);
    if (side) m_pDockSite->DockControlBar(this, side);
    else m_pDockSite->FloatControlBar(this, pt);
}

LRESULT CToolBar::OnCaptureChanged(WPARAM, LPARAM)
{
    if (m_bDragging) {
        m_bDragging = FALSE;
        DrawDragRect(nullptr);
    }
    return Default();
}

// ---- CStatusBar -------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
END_MESSAGE_MAP()

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    DWORD wndStyle = (dwStyle & ~CBRS_ALL) | CCS_NOPARENTALIGN | CCS_NORESIZE | SBARS_SIZEGRIP | WS_CLIPSIBLINGS;
    if (!CreateEx(0, STATUSCLASSNAMEA, nullptr, wndStyle, 0, 0, 100, 20, pParentWnd->m_hWnd,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)))) {
        return FALSE;
    }
    // One message pane across the whole bar.
    int right = -1;
    SendMessage(SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right));
    m_pDockSite = dynamic_cast<CFrameWnd*>(pParentWnd);
    if (m_pDockSite) m_pDockSite->AddControlBar(this);
    return TRUE;
}

CString CStatusBar::GetPaneText0() const
{
    LRESULT len = SendMessage(SB_GETTEXTLENGTHA, 0, 0);
    CString s;
    char* p = s.GetBuffer(LOWORD(len) + 1);
    SendMessage(SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(p));
    s.ReleaseBuffer();
    return s;
}

SIZE CStatusBar::CalcFixedLayout(BOOL, BOOL)
{
    HDC hdc = GetDC(m_hWnd);
    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    HGDIOBJ old = hFont ? SelectObject(hdc, hFont) : nullptr;
    TEXTMETRICA tm = {};
    GetTextMetricsA(hdc, &tm);
    if (old) SelectObject(hdc, old);
    ReleaseDC(m_hWnd, hdc);
    int borders[3] = {0, 2, 2};
    SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    SIZE size = {32767, tm.tmHeight + 2 * borders[1] + 6};
    return size;
}

// ---- CMiniDockFrameWnd ------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CWnd)
    ON_WM_CLOSE()
    ON_MESSAGE(WM_NCLBUTTONDBLCLK, &CMiniDockFrameWnd::OnNcLButtonDblClk)
END_MESSAGE_MAP()

BOOL CMiniDockFrameWnd::Create(POINT pt)
{
    LPCSTR cls = RegisterWndClass("Folvane:MiniDock", CS_DBLCLKS, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    CString caption;
    if (m_pBar) m_pBar->GetWindowText(caption);
    HWND hOwner = m_pDockSite ? m_pDockSite->m_hWnd : nullptr;
    return CreateEx(WS_EX_TOOLWINDOW, cls, caption, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, pt.x, pt.y,
                    100, 40, hOwner, nullptr);
}

void CMiniDockFrameWnd::FitToBar()
{
    if (!m_pBar) return;
    RECT rcBar;
    m_pBar->GetWindowRect(&rcBar);
    RECT rc = {0, 0, rcBar.right - rcBar.left, rcBar.bottom - rcBar.top};
    AdjustWindowRectEx(&rc, GetStyle(), FALSE, GetExStyle());
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CMiniDockFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // Commands from a floating bar belong to the frame it was taken from.
    if (m_pDockSite) return static_cast<BOOL>(m_pDockSite->SendMessage(WM_COMMAND, wParam, lParam) == 0);
    return FALSE;
}

BOOL CMiniDockFrameWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (!m_pDockSite) return FALSE;
    *pResult = m_pDockSite->SendMessage(WM_NOTIFY, wParam, lParam);
    return TRUE;
}

void CMiniDockFrameWnd::OnClose()
{
    // Closing a floating bar hides it; View Toolbar brings it back where it was.
    if (m_pBar && m_pDockSite) m_pDockSite->ShowControlBar(m_pBar, FALSE, FALSE);
    else DestroyWindow();
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDblClk(WPARAM wParam, LPARAM)
{
    if (wParam == HTCAPTION && m_pBar && m_pDockSite) {
        m_pDockSite->DockControlBar(m_pBar, m_pBar->m_dwLastDockSide);
        return 0;
    }
    return Default();
}
