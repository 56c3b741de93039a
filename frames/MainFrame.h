// The main window: a multiple-document frame holding the browser windows, with the
// menu bar, accelerators, the shared toolbar and status bar, and the shell commands.
#pragma once

#include "frames/AddressBar.h"
#include "framework/ControlBar.h"
#include "framework/FrameWnd.h"
#include "frames/DiskWatchSource.h"

class CShellDispatch;

// What the main frame asks of the application that makes it. The application is assembled
// above the frames, so it answers through this interface.
class CMainFrameOwner {
public:
    // The desktop shell's automation object; null where the system has none.
    virtual CShellDispatch* GetShellDispatch() const = 0;
    // Records the open browser windows for the next start.
    virtual void SaveSession() = 0;
    // The window a later copy of the program brings to the front (null: none).
    virtual void SetActivationWindow(HWND hWnd) = 0;

protected:
    ~CMainFrameOwner() = default;
};

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
    // Folders the browser windows show or have open, watched on disk where the shell does not.
    CDiskWatchSource m_diskWatch;
    CAddressBar m_wndAddressBar;  // under the toolbar, shown with it

    // The address bar follows the toolbar; Back and Forward come from the mouse's side
    // buttons anywhere in the window.
    void RecalcLayout(BOOL bNotify = TRUE) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT OnAppCommand(WPARAM wParam, LPARAM lParam);
    void OnGoAddress();

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    void OnUpdateShellCommand(CCmdUI* pCmdUI);
    void OnFindComputer();
    void OnFindFiles();
    // Asks the shell for its search. A failed search is reported as the automation call
    // reports it, unless the system may have no search at all (Wine, where it always fails):
    // then FALSE, for the caller to stand in or to say it is not there.
    BOOL InvokeFind(void (CShellDispatch::*pfnFind)());
    void OnShellRun();
    void OnMinimizeAll();

protected:
    DECLARE_MESSAGE_MAP()
};
