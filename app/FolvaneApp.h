// The application object: start-up, shutdown, and the application-wide commands.
#pragma once

#include "app/InstanceGuard.h"
#include "framework/WinApp.h"

class CShellDispatch;

// Brings a window, or with 0 the application's main window, to the front, restored.
int ActivateMainWindow(DWORD hWnd);

class CFolvaneApp : public CWinApp {
public:
    CFolvaneApp();
    ~CFolvaneApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    CShellDispatch* GetShellDispatch() const { return m_pShellDispatch; }
    // Records the open browser windows for the next start. Virtual so that tests can
    // see when it runs relative to the windows closing.
    virtual void SaveSession();

    void OnAppAbout();
    void OnAppExit();

    // Name of the event that keeps one copy running.
    static const char* const kInstanceEventName;

protected:
    // Creates the shell's automation object; null when it is not available.
    virtual IDispatch* CreateShellDispatchObject();

    CShellDispatch* m_pShellDispatch = nullptr;
    CInstanceGuard m_instanceGuard;

    DECLARE_MESSAGE_MAP()
};
