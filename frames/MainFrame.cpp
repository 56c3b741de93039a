#include "frames/MainFrame.h"

#include <commctrl.h>

#include "app/FolvaneApp.h"
#include "frames/ShellDispatch.h"
#include "framework/Document.h"
#include "framework/MDIChildWnd.h"
#include "res/resource.h"
#include "shell/Wine.h"
#include "shell/WineDesktop.h"
#include "view/FolvaneView.h"

IMPLEMENT_DYNAMIC(CMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
    ON_WM_CREATE()
    ON_UPDATE_COMMAND_UI(ID_FIND_COMPUTER, &CMainFrame::OnUpdateShellCommand)
    ON_COMMAND(ID_FIND_COMPUTER, &CMainFrame::OnFindComputer)
    ON_COMMAND(ID_FIND_FILES, &CMainFrame::OnFindFiles)
    ON_COMMAND(ID_SHELL_RUN, &CMainFrame::OnShellRun)
    ON_COMMAND(ID_MINIMIZE_ALL, &CMainFrame::OnMinimizeAll)
    ON_UPDATE_COMMAND_UI(ID_FIND_FILES, &CMainFrame::OnUpdateShellCommand)
    ON_UPDATE_COMMAND_UI(ID_SHELL_RUN, &CMainFrame::OnUpdateShellCommand)
    ON_UPDATE_COMMAND_UI(ID_MINIMIZE_ALL, &CMainFrame::OnUpdateShellCommand)
    ON_WM_SYSCOMMAND()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

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

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs)
{
    return CMDIFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCTA lpcs)
{
    if (CMDIFrameWnd::OnCreate(lpcs) == -1) return -1;
    if (!m_wndToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS, AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINFRAME)) {
        return -1;
    }
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR)) return -1;
    m_wndToolBar.SetWindowText("Toolbar");
    m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);
    DisableResizeRedraw(this);
    return 0;
}

void CMainFrame::OnDestroy()
{
    // From here on a later copy's pulse leaves this window alone.
    CFolvaneApp* pApp = dynamic_cast<CFolvaneApp*>(AfxGetApp());
    if (pApp && pApp->m_pMainWnd == this) pApp->SetActivationWindow(nullptr);
    CMDIFrameWnd::OnDestroy();
}

BOOL CMainFrame::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // Tooltips of the buttons the shell view added are the shell view's to give.
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR && pNMHDR->code == TTN_NEEDTEXTW && static_cast<UINT>(pNMHDR->idFrom) < 0x7FFF) {
        CMDIChildWnd* pChild = MDIGetActive();
        CDocument* pDoc = pChild ? pChild->GetActiveDocument() : nullptr;
        CFolvaneView* pView = pDoc ? dynamic_cast<CFolvaneView*>(pDoc->GetFirstView()) : nullptr;
        if (pView) {
            *pResult = ::SendMessageA(pView->m_hwndShellView, WM_NOTIFY, wParam, lParam);
            return TRUE;
        }
    }
    return CMDIFrameWnd::OnNotify(wParam, lParam, pResult);
}

void CMainFrame::GetMessageString(UINT nID, CString& rMessage) const
{
    // While the automation object is missing its four commands say why they are grey.
    if ((nID == ID_FIND_FILES || nID == ID_FIND_COMPUTER || nID == ID_SHELL_RUN || nID == ID_MINIMIZE_ALL) &&
        !static_cast<CFolvaneApp*>(AfxGetApp())->GetShellDispatch()) {
        rMessage.LoadString(IDS_SHELL_UNAVAILABLE);
        return;
    }
    // Undo is grey under Wine; its prompt says why.
    if (nID == ID_SHELL_EDIT_UNDO && IsRunningUnderWine()) {
        rMessage.LoadString(IDS_UNDO_UNAVAILABLE);
        return;
    }
    CMDIFrameWnd::GetMessageString(nID, rMessage);
}

void CMainFrame::OnSysCommand(UINT nID, LPARAM lParam)
{
    // The low four bits are the system's own (the window system masks them off too).
    if ((nID & 0xFFF0) == SC_CLOSE) static_cast<CFolvaneApp*>(AfxGetApp())->SaveSession();
    CMDIFrameWnd::OnSysCommand(nID, lParam);
}

void CMainFrame::OnUpdateShellCommand(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(static_cast<CFolvaneApp*>(AfxGetApp())->GetShellDispatch() != nullptr);
}

// Under Wine, Shell.Application creates but does none of these: the desktop's own Run
// dialog and minimising stand in, and the two searches are tried and, failing, explained.

void CMainFrame::OnFindComputer()
{
    InvokeFind(&CShellDispatch::FindComputer, IDS_FIND_COMPUTER_UNAVAILABLE);
}

void CMainFrame::OnFindFiles()
{
    InvokeFind(&CShellDispatch::FindFiles, IDS_FIND_FILES_UNAVAILABLE);
}

void CMainFrame::InvokeFind(void (CShellDispatch::*pfnFind)(), UINT nIDUnavailable)
{
    CShellDispatch* p = static_cast<CFolvaneApp*>(AfxGetApp())->GetShellDispatch();
    if (!p) return;
    if (!IsRunningUnderWine()) {
        (p->*pfnFind)();
        return;
    }
    try {
        (p->*pfnFind)();
    } catch (const CException&) {
        AfxMessageBox(nIDUnavailable, MB_OK | MB_ICONINFORMATION);
    }
}

void CMainFrame::OnShellRun()
{
    CShellDispatch* p = static_cast<CFolvaneApp*>(AfxGetApp())->GetShellDispatch();
    if (!p) return;
    if (IsRunningUnderWine() && CWineDesktop::ShowRunDialog(m_hWnd)) return;
    p->FileRun();
}

void CMainFrame::OnMinimizeAll()
{
    CShellDispatch* p = static_cast<CFolvaneApp*>(AfxGetApp())->GetShellDispatch();
    if (!p) return;
    if (IsRunningUnderWine()) {
        CWineDesktop::MinimizeAll();
        return;
    }
    p->MinimizeAll();
}
