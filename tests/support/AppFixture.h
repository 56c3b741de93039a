// Runs the real application object in-process, without its blocking message loop:
// start-up as the program does it, messages pumped on demand, shutdown at the end.
#pragma once

#include <gtest/gtest.h>

#include "app/FolvaneApp.h"
#include "frames/MainFrame.h"

class TestFolvaneApp : public CFolvaneApp {
public:
    int m_nSaveSessionCalls = 0;
    BOOL m_bMainVisibleAtSave = FALSE;  // the main window still showed when the session was saved
    int m_nChildrenAtSave = -1;         // browser windows open when the session was saved
    BOOL m_bFailShellDispatch = FALSE;  // stand for a system without Shell.Application

    void SaveSession() override;

protected:
    IDispatch* CreateShellDispatchObject() override;
};

// Deletes the program's settings profile (HKCU\Software\Quorrel\Folvane).
void ClearFolvaneProfile();
// Pumps messages and idle updates of the running application for a while.
void PumpFor(DWORD milliseconds);
// Pumps until the predicate holds or the time is up; returns the predicate's last answer.
template <class Pred>
bool PumpUntil(Pred pred, DWORD milliseconds = 5000)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (CWinApp* p = AfxGetApp()) p->PumpWaitingMessages();
        if (pred()) return true;
        if (GetTickCount() - start > milliseconds) return false;
        Sleep(5);
    }
}

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the application; separate from SetUp so that a test can prepare the seams first.
    void Start();
    void Pump() { m_pApp->PumpWaitingMessages(); }
    CMainFrame* Frame() const { return static_cast<CMainFrame*>(m_pApp->m_pMainWnd); }
    HWND MainWnd() const { return Frame() ? Frame()->m_hWnd : nullptr; }
    // The menu item states after the popup is opened as a user would open it.
    UINT MenuState(HMENU hPopup, UINT nID);

    TestFolvaneApp* m_pApp = nullptr;
    BOOL m_bStarted = FALSE;
    BOOL m_bAutoStart = TRUE;
};
