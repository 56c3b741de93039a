#include "framework/View.h"

#include "framework/Document.h"
#include "framework/FrameWnd.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_INITIALUPDATE, &CView::OnInitialUpdateMsg)
    ON_MESSAGE(WM_PAINT, &CView::OnPaint)
END_MESSAGE_MAP()

CView::~CView()
{
    if (m_pDocument) m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!cs.lpszClass) {
        // One class per view kind, so that class-style changes stay with the kind.
        CString name;
        name.Format("Folvane:%s", GetRuntimeClass()->m_lpszClassName);
        cs.lpszClass = RegisterWndClass(name, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, nullptr,
                                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        if (!cs.lpszClass) return FALSE;
    }
    cs.style |= WS_CLIPCHILDREN;
    return TRUE;
}

int CView::OnCreate(LPCREATESTRUCTA lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1) return -1;
    CCreateContext* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (pContext && pContext->m_pCurrentDoc) pContext->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame && pFrame->GetActiveView() == this) pFrame->SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

BOOL CView::OnCmdMsg(UINT nID, UINT nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return m_pDocument ? m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo) : FALSE;
}

LRESULT CView::OnInitialUpdateMsg(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    Invalidate(TRUE);
}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*)
{
    // While the top-level window is still hidden (start-up) the focus comes with its first show.
    if (bActivate && pActivateView == this && ::IsWindowVisible(::GetAncestor(m_hWnd, GA_ROOT))) {
        HWND hFocus = ::GetFocus();
        if (hFocus != m_hWnd && !::IsChild(m_hWnd, hFocus)) ::SetFocus(m_hWnd);
    }
}

void CView::OnDraw(HDC)
{
}

DROPEFFECT CView::OnDragEnter(COleDataObject*, DWORD, POINT)
{
    return DROPEFFECT_NONE;
}

DROPEFFECT CView::OnDragOver(COleDataObject*, DWORD, POINT)
{
    return DROPEFFECT_NONE;
}

void CView::OnDragLeave()
{
}

BOOL CView::OnDrop(COleDataObject*, DROPEFFECT, POINT)
{
    return FALSE;
}

DROPEFFECT CView::OnDropEx(COleDataObject*, DROPEFFECT, DROPEFFECT, POINT)
{
    return static_cast<DROPEFFECT>(-1);
}

LRESULT CView::OnPaint(WPARAM, LPARAM)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(m_hWnd, &ps);
    OnDraw(hdc);
    EndPaint(m_hWnd, &ps);
    return 0;
}
