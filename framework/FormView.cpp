#include "framework/FormView.h"

#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CFormView, CView)

BEGIN_MESSAGE_MAP(CFormView, CView)
    ON_WM_CREATE()
    ON_WM_SETFOCUS()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CFormView::CFormView(UINT nIDTemplate) : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate))
{
}

INT_PTR CALLBACK CFormView::DialogProc(HWND, UINT, WPARAM, LPARAM)
{
    // Everything goes through the message map; the dialog manager only does its defaults.
    return FALSE;
}

BOOL CFormView::Create(LPCSTR, LPCSTR, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    if (!pParentWnd) return FALSE;
    m_pCreateContext = static_cast<CCreateContext*>(lpParam);
    HINSTANCE hInst = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    // The window belongs to this object from its first message, so WM_CREATE reaches OnCreate.
    AfxHookWindowCreate(this, nullptr);  // a dialog box, of whatever class its template names
    HWND hWnd = ::CreateDialogParamA(hInst, m_lpszTemplateName, pParentWnd->m_hWnd, &CFormView::DialogProc, 0);
    BOOL bAttached = AfxUnhookWindowCreate();
    m_pCreateContext = nullptr;
    if (!hWnd) {
        // A form that failed in WM_CREATE went through PostNcDestroy already.
        if (!bAttached) PostNcDestroy();
        return FALSE;
    }
    // The template's window becomes the frame's pane: its id, its place, its visibility.
    ::SetWindowLongPtrA(hWnd, GWLP_ID, static_cast<LONG_PTR>(nID));
    ModifyStyle(0, WS_CLIPCHILDREN);
    ::SetWindowPos(hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (dwStyle & WS_VISIBLE) ::ShowWindow(hWnd, SW_SHOWNA);
    return TRUE;
}

int CFormView::OnCreate(LPCREATESTRUCTA lpcs)
{
    // A dialog's creation data is not a creation context: the one given to Create is used.
    if (CWnd::OnCreate(lpcs) == -1) return -1;
    if (m_pCreateContext && m_pCreateContext->m_pCurrentDoc) m_pCreateContext->m_pCurrentDoc->AddView(this);
    return 0;
}

void CFormView::OnInitialUpdate()
{
    // The first exchange attaches the form's controls to their members.
    if (!UpdateData(FALSE)) return;
    CView::OnInitialUpdate();
}

void CFormView::SaveFocusControl()
{
    HWND hFocus = ::GetFocus();
    if (hFocus && ::IsChild(m_hWnd, hFocus)) m_hWndFocus = hFocus;
}

void CFormView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    if (!bActivate) SaveFocusControl();
    CView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

void CFormView::OnActivateFrame(UINT nState, CFrameWnd* pFrame)
{
    if (nState == WA_INACTIVE) SaveFocusControl();
    CView::OnActivateFrame(nState, pFrame);
}

void CFormView::OnSetFocus(CWnd*)
{
    // The focus goes back to the control that had it, else to the first that takes it.
    HWND hTarget = m_hWndFocus;
    if (!hTarget || !::IsWindow(hTarget) || !::IsChild(m_hWnd, hTarget)) {
        m_hWndFocus = nullptr;
        hTarget = ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
    }
    if (hTarget && ::IsWindowVisible(hTarget) && ::IsWindowEnabled(hTarget)) ::SetFocus(hTarget);
}

void CFormView::OnSize(UINT, int, int)
{
    Default();
}

BOOL CFormView::PreTranslateMessage(MSG* pMsg)
{
    const bool bKey = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    if (bKey) {
        // The frames' accelerators first: the dialog manager would take their keys for itself.
        for (CFrameWnd* pFrame = GetParentFrame(); pFrame; pFrame = pFrame->GetParentFrame()) {
            if (pFrame->PreTranslateMessage(pMsg)) return TRUE;
        }
    }
    if (bKey && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        if (::IsDialogMessageW(m_hWnd, pMsg)) return TRUE;
    }
    return FALSE;
}
