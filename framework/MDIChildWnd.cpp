#include "framework/MDIChildWnd.h"

#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/View.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CMDIChildWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_MESSAGE(WM_MDIACTIVATE, &CMDIChildWnd::OnMDIActivate)
END_MESSAGE_MAP()

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const
{
    HWND hClient = ::GetParent(m_hWnd);
    HWND hFrame = hClient ? ::GetParent(hClient) : nullptr;
    return dynamic_cast<CMDIFrameWnd*>(CWnd::FromHandlePermanent(hFrame));
}

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
    cs.style |= WS_CHILD | WS_CLIPSIBLINGS;
    return TRUE;
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    CMDIFrameWnd* pMain = dynamic_cast<CMDIFrameWnd*>(pParentWnd ? pParentWnd : AfxGetMainWnd());
    if (!pMain || !pMain->m_hWndMDIClient) {
        PostNcDestroy();
        return FALSE;
    }
    m_nIDHelp = nIDResource;
    m_bAddToTitle = (dwDefaultStyle & FWS_ADDTOTITLE) != 0;
    if (pContext && pContext->m_pNewDocTemplate) {
        m_hMenuShared = pContext->m_pNewDocTemplate->m_hMenuShared;
        m_hAccelShared = pContext->m_pNewDocTemplate->m_hAccelTable;
    }

    CREATESTRUCTA cs = {};
    cs.style = static_cast<LONG>(dwDefaultStyle & ~(FWS_ADDTOTITLE | WS_VISIBLE));
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    cs.hwndParent = pMain->m_hWndMDIClient;
    cs.hInstance = AfxGetInstanceHandle();
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    // Created hidden: the view applies its placement before the frame is first shown.
    MDICREATESTRUCTA mcs = {};
    mcs.szClass = cs.lpszClass;
    mcs.szTitle = "";
    mcs.hOwner = cs.hInstance;
    mcs.x = cs.x;
    mcs.y = cs.y;
    mcs.cx = cs.cx;
    mcs.cy = cs.cy;
    mcs.style = static_cast<DWORD>(cs.style) & ~(WS_MAXIMIZE | WS_VISIBLE);
    mcs.lParam = reinterpret_cast<LPARAM>(pContext);
    AfxHookWindowCreate(this, mcs.szClass);
    HWND hWnd = reinterpret_cast<HWND>(
        ::SendMessageA(pMain->m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    BOOL bAttached = AfxUnhookWindowCreate();
    if (!hWnd) {
        if (!bAttached) PostNcDestroy();
        return FALSE;
    }
    m_hAccelTable = nullptr;
    return TRUE;
}

int CMDIChildWnd::OnCreate(LPCREATESTRUCTA lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1) return -1;
    const MDICREATESTRUCTA* pMcs = static_cast<const MDICREATESTRUCTA*>(lpcs->lpCreateParams);
    CCreateContext* pContext = pMcs ? reinterpret_cast<CCreateContext*>(pMcs->lParam) : nullptr;
    if (!OnCreateClient(lpcs, pContext)) return -1;
    RecalcLayout();
    return 0;
}

void CMDIChildWnd::OnSize(UINT nType, int cx, int cy)
{
    CFrameWnd::OnSize(nType, cx, cy);
    // Maximised, the child's title joins the frame's caption, so the frame's own part changes.
    if (CMDIFrameWnd* pMain = GetMDIFrame()) pMain->DelayUpdateFrameTitle();
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefMDIChildProcA(m_hWnd, message, wParam, lParam);
}

BOOL CMDIChildWnd::DestroyWindow()
{
    if (!m_hWnd) return FALSE;
    HWND hClient = ::GetParent(m_hWnd);
    ::SendMessageA(hClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
    return TRUE;
}

BOOL CMDIChildWnd::OnCmdMsg(UINT nID, UINT nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // View (and its document), then this frame; the main frame and the application come after.
    if (CView* pView = GetActiveView()) {
        if (pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    }
    return CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMDIChildWnd::PreTranslateMessage(MSG*)
{
    // Keys are translated by the main frame, which knows the active child's table.
    return FALSE;
}

void CMDIChildWnd::MDIActivate()
{
    if (CMDIFrameWnd* pMain = GetMDIFrame()) pMain->MDIActivate(this);
}

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    // A state set before the first show (maximised or minimised) is kept, and a new frame
    // opens maximised while the active one is, as the client area keeps them all.
    if (nCmdShow == -1 && !IsWindowVisible()) {
        BOOL bMaximized = FALSE;
        CMDIFrameWnd* pMain = GetMDIFrame();
        CMDIChildWnd* pActive = pMain ? pMain->MDIGetActive(&bMaximized) : nullptr;
        nCmdShow = (IsZoomed() || (bMaximized && pActive && pActive != this)) ? SW_SHOWMAXIMIZED : SW_SHOW;
    }
    if (nCmdShow != -1) ShowWindow(nCmdShow);
    MDIActivate();
    if (CMDIFrameWnd* pMain = GetMDIFrame()) {
        pMain->OnUpdateFrameMenu(m_hMenuShared);
        pMain->DelayUpdateFrameTitle();
    }
}

LRESULT CMDIChildWnd::OnMDIActivate(WPARAM wParam, LPARAM lParam)
{
    HWND hActivated = reinterpret_cast<HWND>(lParam);
    // The focus is still in this window as it goes: its view remembers where.
    if (reinterpret_cast<HWND>(wParam) == m_hWnd && hActivated != m_hWnd && m_pViewActive)
        m_pViewActive->OnActivateView(FALSE, m_pViewActive, m_pViewActive);
    LRESULT r = Default();
    CMDIFrameWnd* pMain = GetMDIFrame();
    if (pMain) {
        if (hActivated == m_hWnd) {
            pMain->OnUpdateFrameMenu(m_hMenuShared);
        } else if (!hActivated) {
            // The last browser window is going: the frame's own menu comes back.
            pMain->OnUpdateFrameMenu(nullptr);
        }
        pMain->DelayUpdateFrameTitle();
    }
    if (hActivated == m_hWnd && m_pViewActive) m_pViewActive->OnActivateView(TRUE, m_pViewActive, m_pViewActive);
    return r;
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    CDocument* pDoc = bAddToTitle ? GetActiveDocument() : nullptr;
    UpdateChildTitle(bAddToTitle, pDoc ? pDoc->GetTitle().GetString() : nullptr);
}

void CMDIChildWnd::SetWideWindowText(LPCWSTR lpszText)
{
    // The system also updates the main window's caption when the child is maximised.
    ::DefMDIChildProcW(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CMDIChildWnd::UpdateChildTitle(BOOL bAddToTitle, LPCSTR lpszDocName)
{
    if (bAddToTitle) {
        std::wstring text = GetDisplayTitle(lpszDocName ? lpszDocName : m_strTitle.GetString());
        if (lpszDocName && m_nWindow > 0) text += L":" + std::to_wstring(m_nWindow);
        if (SetWindowTextIfChanged(text)) {
            // Wine's client lists a window under the text it had when listed: list them anew.
            if (CMDIFrameWnd* pMain = GetMDIFrame()) ::SendMessageA(pMain->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
        }
    }
    if (CMDIFrameWnd* pMain = GetMDIFrame()) pMain->OnUpdateFrameTitle(TRUE);
}
