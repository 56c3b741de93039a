// The main frame's toolbar and status bar for the active browser window. Windows' shell view
// puts its buttons on the toolbar and its figures in the status bar itself; Wine's does
// neither, and there this window supplies them for it: the view's buttons (added as the view
// would add them), and its count of objects, the selection's size and the disk's free space,
// read again whenever the view's items or selection change.
#include "view/FolvaneView.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "framework/ControlBar.h"
#include "framework/FrameWnd.h"
#include "res/resource.h"
#include "shell/ShellViewStatus.h"
#include "shell/ShellViewToolbar.h"

namespace {

CString ByteSizeText(ULONGLONG cb)
{
    char sz[64] = "";
    ::StrFormatByteSize64A(static_cast<LONGLONG>(cb), sz, sizeof(sz));
    return sz;
}

CString FormatResource(UINT nID, const char* pszArgument)
{
    CString format, text;
    format.LoadString(nID);
    text.Format(format, pszArgument);
    return text;
}

}  // namespace

BOOL CFolvaneView::IsActiveBrowserView() const
{
    CFrameWnd* pTop = GetTopLevelFrame();
    CMDIFrameWnd* pMain = pTop ? dynamic_cast<CMDIFrameWnd*>(pTop) : nullptr;
    CFrameWnd* pActive = pMain ? pMain->GetActiveFrame() : nullptr;
    return pActive && pActive != pMain && pActive->GetActiveView() == this;
}

void CFolvaneView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    CFormView::OnActivateView(bActivate, pActivateView, pDeactiveView);
    if (!bActivate || !IsActiveBrowserView()) return;
    // Every browser window has the same buttons: they stay while one window follows another.
    CToolBar* pBar = dynamic_cast<CToolBar*>(FindControlWindow(FCW_TOOLBAR));
    if (pBar && pBar->m_hWnd && pBar->CommandToIndex(ID_SHELL_EDIT_CUT) < 0)
        CShellViewToolbar::AddForView(GetShellBrowser(FALSE));
    UpdateStatus();
}

void CFolvaneView::OnShellViewShown()
{
    if (!CShellViewStatus::Watch(m_hwndShellView, m_hWnd, WM_SHELLVIEWCHANGED)) return;
    // Read once the tree's selection, which names the folder, has moved to it.
    PostMessage(WM_SHELLVIEWCHANGED);
}

LRESULT CFolvaneView::OnShellViewChanged(WPARAM, LPARAM)
{
    UpdateStatus();
    return 0;
}

void CFolvaneView::UpdateStatus()
{
    if (CShellViewStatus::ViewWritesItsStatus()) return;
    m_strStatus.Empty();
    if (m_pShellView) {
        const FolderItemData* pData = m_tree.m_hWnd ? m_tree.GetItemRecord(m_tree.GetSelectedItem()) : nullptr;
        const ShellViewFigures f =
            CShellViewStatus::Read(m_pShellView, m_hwndShellView, pData ? pData->pidlAbs.Get() : nullptr);
        CString count;
        count.LoadString(f.nSelected ? IDS_STATUS_SELECTED : IDS_STATUS_OBJECTS);
        m_strStatus.Format(count, f.nSelected ? f.nSelected : f.nItems);
        // The figures stand at the right of the bar, as in a pane of their own.
        CString figures;
        if (f.bSizeKnown) figures = ByteSizeText(f.cbFiles);
        if (f.bFreeKnown) {
            if (!figures.IsEmpty()) figures += "    ";
            figures += FormatResource(IDS_STATUS_FREE, ByteSizeText(f.cbFree));
        }
        if (!figures.IsEmpty()) m_strStatus += "\t\t" + figures;
    }
    if (IsActiveBrowserView()) {
        if (CFrameWnd* pTop = GetTopLevelFrame()) pTop->SetMessageText(AFX_IDS_IDLEMESSAGE);
    }
}

LRESULT CFolvaneView::OnGetBrowserStatus(WPARAM, LPARAM lParam)
{
    if (m_strStatus.IsEmpty() || !lParam) return FALSE;
    *reinterpret_cast<CString*>(lParam) = m_strStatus;
    return TRUE;
}

void CFolvaneView::LeaveFrameBars()
{
    m_strStatus.Empty();
    CFrameWnd* pTop = GetTopLevelFrame();
    if (!pTop) return;
    // Another window, active already, has put its own there.
    CFrameWnd* pActive = pTop->GetActiveFrame();
    if (pActive && pActive != pTop && pActive->GetActiveView() != this) return;
    if (!CShellViewToolbar::ViewAddsItsButtons()) {
        CToolBar* pBar = dynamic_cast<CToolBar*>(FindControlWindow(FCW_TOOLBAR));
        if (pBar && pBar->m_hWnd) pBar->LoadToolBar(IDR_MAINFRAME);
    }
    // Asked once this window is gone: the next active window's status, or "Ready".
    if (!CShellViewStatus::ViewWritesItsStatus()) pTop->PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
}
