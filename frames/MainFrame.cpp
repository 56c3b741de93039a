#include "frames/MainFrame.h"

#include <commctrl.h>

#include "find/FindWindow.h"
#include "frames/ShellDispatch.h"
#include "framework/ClassStyle.h"
#include "framework/Document.h"
#include "framework/MDIChildWnd.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "res/Messages.h"
#include "res/resource.h"
#include "shell/DesktopCommands.h"
#include "shell/ShellViewCommands.h"

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
    ON_MESSAGE(WM_APPCOMMAND, &CMainFrame::OnAppCommand)
    ON_COMMAND(ID_GO_ADDRESS, &CMainFrame::OnGoAddress)
END_MESSAGE_MAP()

namespace {

CMainFrameOwner* Owner()
{
    return dynamic_cast<CMainFrameOwner*>(AfxGetApp());
}

CShellDispatch* ShellDispatch()
{
    CMainFrameOwner* pOwner = Owner();
    return pOwner ? pOwner->GetShellDispatch() : nullptr;
}

}  // namespace

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
    // Without its address bar the program still works.
    m_wndAddressBar.Create(this, IDW_ADDRESS_BAR);
    RecalcLayout();
    DisableResizeRedraw(this);
    return 0;
}

void CMainFrame::RecalcLayout(BOOL bNotify)
{
    m_wndAddressBar.FollowToolBar(m_wndToolBar.IsBarVisible());
    CMDIFrameWnd::RecalcLayout(bNotify);
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg)
{
    // Only in this window: the find windows' messages pass here too.
    const BOOL bMine = pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd);
    if (UINT nID = bMine ? CAddressBar::CommandForMessage(*pMsg) : 0) {
        SendMessage(WM_COMMAND, nID, 0);
        return TRUE;
    }
    return CMDIFrameWnd::PreTranslateMessage(pMsg);
}

LRESULT CMainFrame::OnAppCommand(WPARAM, LPARAM lParam)
{
    if (UINT nID = CAddressBar::CommandForAppCommand(lParam)) {
        SendMessage(WM_COMMAND, nID, 0);
        return TRUE;
    }
    return Default();
}

void CMainFrame::OnGoAddress()
{
    // Go To brings a hidden address bar back, with the toolbar it goes with.
    if (!m_wndToolBar.IsBarVisible()) ShowControlBar(&m_wndToolBar, TRUE, FALSE);
    m_wndAddressBar.FocusAddress();
}

void CMainFrame::OnDestroy()
{
    // From here on a later copy's pulse leaves this window alone.
    CMainFrameOwner* pOwner = Owner();
    if (pOwner && AfxGetApp()->m_pMainWnd == this) pOwner->SetActivationWindow(nullptr);
    // The find windows are windows of their own, but they go with the program.
    CFindWindow::CloseAll();
    CMDIFrameWnd::OnDestroy();
}

BOOL CMainFrame::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // Tooltips of the buttons the shell view added are the shell view's to give.
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR && pNMHDR->code == TTN_NEEDTEXTW && static_cast<UINT>(pNMHDR->idFrom) < 0x7FFF) {
        CMDIChildWnd* pChild = MDIGetActive();
        CDocument* pDoc = pChild ? pChild->GetActiveDocument() : nullptr;
        CView* pView = pDoc ? pDoc->GetFirstView() : nullptr;
        if (pView) {
            *pResult = pView->SendMessage(WM_SHELLVIEWNOTIFY, wParam, lParam);
            return TRUE;
        }
    }
    return CMDIFrameWnd::OnNotify(wParam, lParam, pResult);
}

void CMainFrame::GetMessageString(UINT nID, CString& rMessage) const
{
    // While the automation object is missing its four commands say why they are grey.
    if ((nID == ID_FIND_FILES || nID == ID_FIND_COMPUTER || nID == ID_SHELL_RUN || nID == ID_MINIMIZE_ALL) &&
        !ShellDispatch()) {
        rMessage.LoadString(IDS_SHELL_UNAVAILABLE);
        return;
    }
    // Undo is grey where it has nothing to act on; its prompt says why.
    if (nID == ID_SHELL_EDIT_UNDO && !CShellViewCommands::CanUndo()) {
        rMessage.LoadString(IDS_UNDO_UNAVAILABLE);
        return;
    }
    // While a browser window is active, what it says of its folder stands where "Ready" would.
    if (nID == AFX_IDS_IDLEMESSAGE) {
        CMDIChildWnd* pChild = MDIGetActive();
        CView* pView = pChild ? pChild->GetActiveView() : nullptr;
        if (pView && pView->SendMessage(WM_GETBROWSERSTATUS, 0, reinterpret_cast<LPARAM>(&rMessage))) return;
    }
    CMDIFrameWnd::GetMessageString(nID, rMessage);
}

void CMainFrame::OnSysCommand(UINT nID, LPARAM lParam)
{
    // The low four bits are the system's own (the window system masks them off too).
    if ((nID & 0xFFF0) == SC_CLOSE) {
        if (CMainFrameOwner* pOwner = Owner()) pOwner->SaveSession();
    }
    CMDIFrameWnd::OnSysCommand(nID, lParam);
}

void CMainFrame::OnUpdateShellCommand(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(ShellDispatch() != nullptr);
}

// Where Shell.Application does none of these (Wine), the desktop's own Run dialog and
// minimising stand in, the program's own find window stands in for the search of files,
// and the search of computers is tried and, failing, explained.

void CMainFrame::OnFindComputer()
{
    if (!InvokeFind(&CShellDispatch::FindComputer)) {
        AfxMessageBox(IDS_FIND_COMPUTER_UNAVAILABLE, MB_OK | MB_ICONINFORMATION);
    }
}

void CMainFrame::OnFindFiles()
{
    if (InvokeFind(&CShellDispatch::FindFiles)) return;
    if (!CFindWindow::Open(CFindWindow::ActiveBrowserFolder(this))) {
        AfxMessageBox(IDS_FIND_FILES_UNAVAILABLE, MB_OK | MB_ICONINFORMATION);
    }
}

BOOL CMainFrame::InvokeFind(void (CShellDispatch::*pfnFind)())
{
    CShellDispatch* p = ShellDispatch();
    if (!p) return TRUE;
    if (!CDesktopCommands::SearchesMayBeMissing()) {
        (p->*pfnFind)();
        return TRUE;
    }
    try {
        (p->*pfnFind)();
    } catch (const CException&) {
        return FALSE;
    }
    return TRUE;
}

void CMainFrame::OnShellRun()
{
    CShellDispatch* p = ShellDispatch();
    if (!p) return;
    if (CDesktopCommands::ShowRunDialogStandIn(m_hWnd)) return;
    p->FileRun();
}

void CMainFrame::OnMinimizeAll()
{
    CShellDispatch* p = ShellDispatch();
    if (!p) return;
    if (CDesktopCommands::MinimizeAllStandIn()) return;
    p->MinimizeAll();
}
