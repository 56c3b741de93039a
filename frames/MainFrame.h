// The main window: a multiple-document frame holding the browser windows, with the
// menu bar, accelerators, the shared toolbar and status bar, and the shell commands.
#pragma once

#include "framework/ControlBar.h"
#include "framework/FrameWnd.h"

class CShellDispatch;

// Removes and adds class-style bits of a window's class (for every window of that class).
void ModifyClassStyle(CWnd* pWnd, DWORD dwRemove, DWORD dwAdd);
// Stops a window class from repainting whole windows on every change of size.
void DisableResizeRedraw(CWnd* pWnd);

class CMainFrame : public CMDIFrameWnd {
    DECLARE_DYNAMIC(CMainFrame)
public:
    CMainFrame() = default;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void GetMessageString(UINT nID, CString& rMessage) const override;
    virtual void OnSysCommand(UINT nID, LPARAM lParam);

    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    void OnUpdateShellCommand(CCmdUI* pCmdUI);
    void OnFindComputer();
    void OnFindFiles();
    // Windows reports a failed search as the automation call does; under Wine, where it always
    // fails, a box says the search is not there.
    void InvokeFind(void (CShellDispatch::*pfnFind)(), UINT nIDUnavailable);
    void OnShellRun();
    void OnMinimizeAll();

protected:
    DECLARE_MESSAGE_MAP()
};
