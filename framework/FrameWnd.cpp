#include "framework/FrameWnd.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/AfxRes.h"
#include "framework/ControlBar.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/View.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_SYSCOMMAND()
    ON_WM_INITMENUPOPUP()
    ON_WM_MENUSELECT()
    ON_WM_SETFOCUS()
    ON_MESSAGE(WM_ACTIVATE, &CFrameWnd::OnActivateMessage)
    ON_WM_ENABLE()
    ON_MESSAGE(WM_SETMESSAGESTRING, &CFrameWnd::OnSetMessageString)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, &CFrameWnd::OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_EXITMENULOOP, &CFrameWnd::OnExitMenuLoop)
    ON_COMMAND_EX(ID_VIEW_TOOLBAR, &CFrameWnd::OnBarCheck)
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, &CFrameWnd::OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, &CFrameWnd::OnUpdateControlBarMenu)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, &CFrameWnd::OnUpdateControlBarMenu)
    // Every id: a tool named by its window has the window's handle as its id.
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFFFFFF, &CFrameWnd::OnToolTipText)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFFFFFF, &CFrameWnd::OnToolTipText)
END_MESSAGE_MAP()

CFrameWnd::~CFrameWnd() = default;

LPCSTR CFrameWnd::RegisterFrameClass(UINT nIDResource)
{
    // One class per frame kind: class-style changes made by a frame stay with its kind.
    CString name;
    name.Format("Folvane:%s", GetRuntimeClass()->m_lpszClassName);
    HICON hIcon = LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
    // A frame kind without an icon of its own shows the application's.
    if (!hIcon && AfxGetMainWnd() && AfxGetMainWnd()->m_hWnd) {
        hIcon = reinterpret_cast<HICON>(GetClassLongPtrA(AfxGetMainWnd()->m_hWnd, GCLP_HICON));
    }
    return RegisterWndClass(name, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, nullptr,
                            reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), hIcon);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!cs.lpszClass) cs.lpszClass = RegisterFrameClass(m_nIDHelp);
    // Frames draw nothing beneath their children.
    cs.style |= WS_CLIPCHILDREN;
    return cs.lpszClass != nullptr;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    m_bAddToTitle = (dwDefaultStyle & FWS_ADDTOTITLE) != 0;
    dwDefaultStyle &= ~FWS_ADDTOTITLE;
    CString title;
    title.LoadString(nIDResource);
    m_strTitle = title;
    HINSTANCE hInst = AfxGetResourceHandle();
    HMENU hMenu = LoadMenuA(hInst, MAKEINTRESOURCEA(nIDResource));
    m_hMenuDefault = hMenu;
    if (!CreateEx(0, nullptr, m_strTitle, dwDefaultStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  pParentWnd ? pParentWnd->m_hWnd : nullptr, hMenu, pContext)) {
        return FALSE;
    }
    m_hAccelTable = LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(nIDResource));
    if (!pContext) SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1) return -1;
    CCreateContext* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (!OnCreateClient(lpcs, pContext)) return -1;
    PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCTA, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass) {
        if (!CreateView(pContext, AFX_IDW_PANE_FIRST)) return FALSE;
    }
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CObject* pObject = pContext->m_pNewViewClass->CreateObject();
    CWnd* pView = dynamic_cast<CWnd*>(pObject);
    if (!pView) {
        delete pObject;
        return nullptr;
    }
    RECT rc = {0, 0, 0, 0};
    if (!pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rc, this, nID, pContext)) {
        // A view that failed to create has deleted itself in PostNcDestroy.
        return nullptr;
    }
    return pView;
}

void CFrameWnd::OnDestroy()
{
    // Bars are owned by the derived frame; forget them before they go.
    m_listControlBars.clear();
    // A shared menu (a document template's) is not this frame's to destroy with it.
    if (m_hMenuDefault && ::GetMenu(m_hWnd) != m_hMenuDefault) ::SetMenu(m_hWnd, m_hMenuDefault);
    CWnd::OnDestroy();
}

void CFrameWnd::OnClose()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this) {
        if (!pApp->SaveAllModified()) return;
        // Closing the documents closes their frames before this one goes.
        pApp->CloseAllDocuments(FALSE);
        if (!pApp->m_pMainWnd) return;
    } else if (CDocument* pDoc = GetActiveDocument()) {
        if (!pDoc->CanCloseFrame(this)) return;
    }
    DestroyWindow();
}

void CFrameWnd::OnSize(UINT nType, int, int)
{
    Default();
    if (nType != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnSysCommand(UINT, LPARAM)
{
    Default();
}

LRESULT CFrameWnd::OnActivateMessage(WPARAM wParam, LPARAM)
{
    // Before the focus leaves with the activation, the active view learns it goes, so that a
    // form remembers its focused control for the activation's return.
    if (LOWORD(wParam) == WA_INACTIVE) {
        CFrameWnd* pActiveFrame = GetActiveFrame();
        if (CView* pView = pActiveFrame ? pActiveFrame->GetActiveView() : nullptr) pView->OnActivateFrame(WA_INACTIVE, pActiveFrame);
    }
    return Default();
}

void CFrameWnd::OnSetFocus(CWnd*)
{
    if (m_pViewActive) ::SetFocus(m_pViewActive->m_hWnd);
    else Default();
}

void CFrameWnd::OnEnable(BOOL bEnable)
{
    // A floating bar lives in a small window of its own, which the modal loop (disabling only
    // the box's owner) does not reach: while this frame is disabled, so are its floating bars.
    for (CControlBar* pBar : m_listControlBars) {
        if (HWND hFloat = pBar->GetFloatingWindow()) ::EnableWindow(hFloat, bEnable);
    }
    Default();
}

HWND CFrameWnd::GetClientAreaWindow()
{
    return ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
}

void CFrameWnd::RepositionBars(const std::vector<CControlBar*>& bars, CWnd* pParent, RECT& rc)
{
    for (CControlBar* pBar : bars) {
        if (!pBar->m_hWnd || !pBar->IsWindowVisible() || pBar->IsFloating()) continue;
        if (::GetParent(pBar->m_hWnd) != pParent->m_hWnd) continue;
        DWORD side = pBar->GetDockedSide();
        BOOL bHorz = side == CBRS_ALIGN_TOP || side == CBRS_ALIGN_BOTTOM;
        SIZE size = pBar->CalcFixedLayout(TRUE, bHorz);
        switch (side) {
        case CBRS_ALIGN_BOTTOM:
            pBar->MoveWindow(rc.left, rc.bottom - size.cy, rc.right - rc.left, size.cy);
            rc.bottom -= size.cy;
            break;
        case CBRS_ALIGN_LEFT:
            pBar->MoveWindow(rc.left, rc.top, size.cx, rc.bottom - rc.top);
            rc.left += size.cx;
            break;
        case CBRS_ALIGN_RIGHT:
            pBar->MoveWindow(rc.right - size.cx, rc.top, size.cx, rc.bottom - rc.top);
            rc.right -= size.cx;
            break;
        default:
            pBar->MoveWindow(rc.left, rc.top, rc.right - rc.left, size.cy);
            rc.top += size.cy;
            break;
        }
        if (rc.right < rc.left) rc.right = rc.left;
        if (rc.bottom < rc.top) rc.bottom = rc.top;
    }
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_bInRecalcLayout || !m_hWnd) return;
    m_bInRecalcLayout = TRUE;
    RECT rc;
    GetClientRect(&rc);
    // The status bar goes first, at the very bottom, so that side bars stop above it.
    std::vector<CControlBar*> order(m_listControlBars);
    std::stable_partition(order.begin(), order.end(),
                          [](CControlBar* p) { return p->GetDlgCtrlID() == AFX_IDW_STATUS_BAR; });
    RepositionBars(order, this, rc);
    if (HWND hClient = GetClientAreaWindow()) {
        ::MoveWindow(hClient, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    }
    m_nIdleFlags &= ~idleLayout;
    m_bInRecalcLayout = FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, UINT nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active view (and through it its document) first, then the frame, then the application.
    if (CView* pView = GetActiveView()) {
        if (pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    }
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    if (CWinApp* pApp = AfxGetApp()) {
        if (pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    }
    return FALSE;
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // A command arriving while a menu prompt is shown ends the prompt.
    if (m_bMenuPrompt) {
        m_bMenuPrompt = FALSE;
        SetMessageText(AFX_IDS_IDLEMESSAGE);
    }
    return CWnd::OnCommand(wParam, lParam);
}

HACCEL CFrameWnd::GetDefaultAccelerator()
{
    return m_hAccelTable;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        HACCEL hAccel = GetDefaultAccelerator();
        if (hAccel && ::TranslateAcceleratorW(m_hWnd, hAccel, pMsg)) return TRUE;
    }
    return FALSE;
}

void CFrameWnd::OnInitMenuPopup(HMENU hPopup, UINT, BOOL bSysMenu)
{
    if (bSysMenu) return;
    CCmdUI state;
    state.m_pMenu = hPopup;
    state.m_nIndexMax = static_cast<UINT>(GetMenuItemCount(hPopup));
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++) {
        state.m_nID = GetMenuItemID(hPopup, static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0) continue;  // separator
        if (state.m_nID == static_cast<UINT>(-1)) continue;  // a popup: updated when it opens
        // System commands (SC_SIZE is the first) are the window system's: a maximised child's
        // control menu opens here as an ordinary popup. The MDI window list above them is the
        // client's business.
        if (state.m_nID >= SC_SIZE) continue;
        state.m_pSubMenu = nullptr;
        state.DoUpdate(this, TRUE);
    }
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    if (nFlags == 0xFFFF && !hSysMenu) {
        // The menu closed.
        m_bMenuPrompt = FALSE;
        SetMessageText(AFX_IDS_IDLEMESSAGE);
        return;
    }
    m_bMenuPrompt = TRUE;
    if (nFlags & (MF_POPUP | MF_SEPARATOR)) {
        SetMessageText("");
    } else if (nFlags & MF_SYSMENU) {
        // System commands have prompts of their own (AFX_IDS_SC*).
        UINT id = 0;
        switch (nItemID & 0xFFF0) {
        case SC_SIZE: id = AFX_IDS_SCSIZE; break;
        case SC_MOVE: id = AFX_IDS_SCMOVE; break;
        case SC_MINIMIZE: id = AFX_IDS_SCMINIMIZE; break;
        case SC_MAXIMIZE: id = AFX_IDS_SCMAXIMIZE; break;
        case SC_NEXTWINDOW: id = AFX_IDS_SCNEXTWINDOW; break;
        case SC_PREVWINDOW: id = AFX_IDS_SCPREVWINDOW; break;
        case SC_CLOSE: id = AFX_IDS_SCCLOSE; break;
        case SC_RESTORE: id = AFX_IDS_SCRESTORE; break;
        case SC_TASKLIST: id = AFX_IDS_SCTASKLIST; break;
        }
        if (id) SetMessageText(id);
        else SetMessageText("");
    } else if (nItemID >= AFX_IDM_FIRST_MDICHILD) {
        SetMessageText(AFX_IDS_MDICHILD);
    } else {
        SetMessageText(nItemID);
    }
}

LRESULT CFrameWnd::OnExitMenuLoop(WPARAM, LPARAM)
{
    m_bMenuPrompt = FALSE;
    SetMessageText(AFX_IDS_IDLEMESSAGE);
    return 0;
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    CString s;
    s.LoadString(nID);
    int nl = s.Find('\n');
    rMessage = nl >= 0 ? s.Left(nl) : s;
}

CWnd* CFrameWnd::GetMessageBar()
{
    // The status bar belongs to the top-level frame, shared by all its children.
    CFrameWnd* pTop = GetTopLevelFrame();
    if (!pTop) pTop = this;
    return CWnd::FromHandlePermanent(::GetDlgItem(pTop->m_hWnd, AFX_IDW_STATUS_BAR));
}

void CFrameWnd::SetMessageText(LPCSTR lpszText)
{
    if (CWnd* pBar = GetMessageBar()) {
        pBar->SetWindowText(lpszText);
        ::UpdateWindow(pBar->m_hWnd);
    }
}

void CFrameWnd::SetMessageText(UINT nID)
{
    CString text;
    GetMessageString(nID, text);
    SetMessageText(text);
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    if (lParam) SetMessageText(reinterpret_cast<LPCSTR>(lParam));
    else SetMessageText(static_cast<UINT>(wParam));
    return 0;
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (m_nIdleFlags & idleLayout) RecalcLayout();
    if (m_nIdleFlags & idleTitle) {
        m_nIdleFlags &= ~idleTitle;
        OnUpdateFrameTitle(TRUE);
    }
    // Floating bars are not among this frame's descendants, which get the update otherwise.
    std::vector<CControlBar*> bars(m_listControlBars);
    for (CControlBar* pBar : bars) {
        if (pBar->IsFloating() && pBar->m_hWnd) pBar->SendMessage(WM_IDLEUPDATECMDUI, wParam, 0);
    }
    return 0;
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!m_bAddToTitle) return;
    CDocument* pDoc = GetActiveDocument();
    if (bAddToTitle && pDoc) UpdateFrameTitleForDocument(pDoc->GetTitle());
    else UpdateFrameTitleForDocument(nullptr);
}

std::wstring CFrameWnd::GetDisplayTitle(LPCSTR lpszTitle) const
{
    std::wstring text;
    const int cch = lpszTitle ? ::MultiByteToWideChar(CP_ACP, 0, lpszTitle, -1, nullptr, 0) : 0;
    if (cch > 1) {
        text.resize(static_cast<size_t>(cch));
        ::MultiByteToWideChar(CP_ACP, 0, lpszTitle, -1, &text[0], cch);
        text.resize(static_cast<size_t>(cch - 1));
    }
    return text;
}

std::wstring CFrameWnd::GetWideWindowText(HWND hWnd)
{
    const LRESULT cch = ::DefWindowProcW(hWnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(cch) + 1, L'\0');
    const LRESULT n = ::DefWindowProcW(hWnd, WM_GETTEXT, static_cast<WPARAM>(cch + 1), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(n > 0 && n <= cch ? static_cast<size_t>(n) : 0);
    return text;
}

BOOL CFrameWnd::SetWindowTextIfChanged(const std::wstring& text)
{
    if (GetWideWindowText(m_hWnd) == text) return FALSE;
    SetWideWindowText(text.c_str());
    return TRUE;
}

void CFrameWnd::SetWideWindowText(LPCWSTR lpszText)
{
    ::DefWindowProcW(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCSTR lpszDocName)
{
    UpdateFrameTitleForDocumentW(lpszDocName ? GetDisplayTitle(lpszDocName).c_str() : nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocumentW(LPCWSTR lpszDocName)
{
    std::wstring text = GetDisplayTitle(m_strTitle);
    if (lpszDocName && *lpszDocName) {
        text += L" - ";
        text += lpszDocName;
    }
    SetWindowTextIfChanged(text);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1) {
        if (!IsWindowVisible()) nCmdShow = SW_SHOWNORMAL;
        else if (IsIconic()) nCmdShow = SW_RESTORE;
    }
    if (nCmdShow != -1) {
        ShowWindow(nCmdShow);
        ::BringWindowToTop(m_hWnd);
    }
}

void CFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    HMENU hMenu = hMenuAlt ? hMenuAlt : m_hMenuDefault;
    if (hMenu && ::GetMenu(m_hWnd) != hMenu) ::SetMenu(m_hWnd, hMenu);
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    CView* pView = GetActiveView();
    if (!pView) {
        if (CWnd* p = CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST))) {
            pView = dynamic_cast<CView*>(p);
            if (pView) SetActiveView(pView, FALSE);
        }
    }
    // Every view gets its first update, shown or not.
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
    if (bMakeVisible) {
        ActivateFrame();
        if (pView) pView->OnActivateView(TRUE, pView, pView);
    }
    if (pDoc) pDoc->UpdateFrameCounts();
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld) return;
    m_pViewActive = nullptr;
    if (pViewOld && bNotify) pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    m_pViewActive = pViewNew;
    if (pViewNew && bNotify) pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* pView = GetActiveView();
    return pView ? pView->GetDocument() : nullptr;
}

// ---- Control bars -----------------------------------------------------------------------

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    for (CControlBar* p : m_listControlBars) {
        if (p == pBar) return;
    }
    m_listControlBars.push_back(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    for (auto it = m_listControlBars.begin(); it != m_listControlBars.end(); ++it) {
        if (*it == pBar) {
            m_listControlBars.erase(it);
            return;
        }
    }
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    for (CControlBar* p : m_listControlBars) {
        if (p->m_hWnd && static_cast<UINT>(p->GetDlgCtrlID()) == nID) return p;
    }
    return nullptr;
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID)
{
    DWORD side = nDockBarID ? nDockBarID : (pBar->GetBarStyle() & CBRS_ALIGN_ANY);
    if (!side) side = CBRS_ALIGN_TOP;
    // Take the first side the bar and the frame both allow, starting with the one asked for.
    static const DWORD order[] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT};
    DWORD allowed = m_dwDockStyle & pBar->m_dwDockStyle;
    if (!(allowed & side)) {
        side = 0;
        for (DWORD s : order) {
            if (allowed & s) {
                side = s;
                break;
            }
        }
    }
    if (!side) return;
    pBar->DockAt(this, side);
    RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, POINT point)
{
    pBar->FloatAt(this, point);
    RecalcLayout();
}

DWORD CFrameWnd::CanDockAt(POINT pt) const
{
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&rc.left));
    ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&rc.right));
    const int margin = 24;
    if (pt.x < rc.left - margin || pt.x > rc.right + margin || pt.y < rc.top - margin || pt.y > rc.bottom + margin) {
        return 0;
    }
    struct { DWORD side; LONG dist; } cand[] = {
        {CBRS_ALIGN_TOP, pt.y - rc.top}, {CBRS_ALIGN_BOTTOM, rc.bottom - pt.y},
        {CBRS_ALIGN_LEFT, pt.x - rc.left}, {CBRS_ALIGN_RIGHT, rc.right - pt.x}};
    DWORD best = 0;
    LONG bestDist = margin + 1;
    for (auto& c : cand) {
        LONG d = c.dist < 0 ? -c.dist : c.dist;
        if ((m_dwDockStyle & c.side) && d <= margin && d < bestDist) {
            best = c.side;
            bestDist = d;
        }
    }
    return best;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    pBar->ShowBar(bShow);
    if (bDelay) DelayRecalcLayout();
    else RecalcLayout();
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* pBar = GetControlBar(nID);
    if (!pBar) return FALSE;
    ShowControlBar(pBar, !pBar->IsBarVisible(), FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
    if (pBar) {
        pCmdUI->SetCheck(pBar->IsBarVisible());
        return;
    }
    pCmdUI->ContinueRouting();
}

BOOL CFrameWnd::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    // The tool's command is its id, or for a tool named by its window that window's id; the
    // tip is the second line of the command's string. The flags sit at different places in
    // the two forms of the request, and a window's handle is read at its full width.
    const UINT uFlags = pNMHDR->code == TTN_NEEDTEXTW ? reinterpret_cast<NMTTDISPINFOW*>(pNMHDR)->uFlags
                                                      : reinterpret_cast<NMTTDISPINFOA*>(pNMHDR)->uFlags;
    UINT_PTR id = pNMHDR->idFrom;
    if (uFlags & TTF_IDISHWND) id = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(id)));
    // Commands are 16-bit; anything else names none.
    if (id == 0 || id > 0xFFFF) return FALSE;
    const UINT nID = static_cast<UINT>(id);
    CString full;
    full.LoadString(nID);
    int nl = full.Find('\n');
    CString tip = nl >= 0 ? full.Mid(nl + 1) : CString();
    if (pNMHDR->code == TTN_NEEDTEXTA) {
        NMTTDISPINFOA* p = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
        lstrcpynA(p->szText, tip, static_cast<int>(sizeof(p->szText)));
        p->lpszText = p->szText;
    } else {
        NMTTDISPINFOW* p = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
        MultiByteToWideChar(CP_ACP, 0, tip, -1, p->szText, static_cast<int>(sizeof(p->szText) / sizeof(WCHAR)));
        p->szText[sizeof(p->szText) / sizeof(WCHAR) - 1] = 0;
        p->lpszText = p->szText;
    }
    *pResult = 0;
    // Keep the tooltip above a floating bar.
    ::SetWindowPos(pNMHDR->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE);
    return TRUE;
}
