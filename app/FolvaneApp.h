// The application object: start-up, shutdown, and the application-wide commands.
#pragma once

#include <atomic>

#include "app/InstanceGuard.h"
#include "frames/MainFrame.h"
#include "framework/WinApp.h"

// Brings a window, or with 0 the application's main window, to the front, restored.
int ActivateMainWindow(DWORD hWnd);

class CFolvaneApp : public CWinApp, public CMainFrameOwner {
public:
    CFolvaneApp();
    ~CFolvaneApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    CShellDispatch* GetShellDispatch() const override { return m_pShellDispatch; }
    // The main window for the guard's waiter thread: a plain handle, readable from any
    // thread, set once the main window exists and cleared as soon as it starts to go.
    HWND GetActivationWindow() const { return m_hWndActivate.load(); }
    void SetActivationWindow(HWND hWnd) override { m_hWndActivate.store(hWnd); }
    // Records the open browser windows for the next start. Virtual so that tests can
    // see when it runs relative to the windows closing.
    void SaveSession() override;

    void OnAppAbout();
    void OnAppExit();

    // Name of the event that keeps one copy running.
    static const char* const kInstanceEventName;

protected:
    // Creates the shell's automation object; null when it is not available.
    virtual IDispatch* CreateShellDispatchObject();

    CShellDispatch* m_pShellDispatch = nullptr;
    std::atomic<HWND> m_hWndActivate{nullptr};
    CInstanceGuard m_instanceGuard;

    DECLARE_MESSAGE_MAP()
};
