#include "support/AppFixture.h"

void TestFolvaneApp::SaveSession()
{
    m_nSaveSessionCalls++;
    m_bMainVisibleAtSave = m_pMainWnd && ::IsWindowVisible(m_pMainWnd->m_hWnd);
    if (CMDIFrameWnd* pFrame = dynamic_cast<CMDIFrameWnd*>(m_pMainWnd)) {
        int n = 0;
        for (HWND h = ::GetWindow(pFrame->m_hWndMDIClient, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
            if (::GetWindow(h, GW_OWNER) == nullptr) n++;
        }
        m_nChildrenAtSave = n;
    }
    CFolvaneApp::SaveSession();
}

IDispatch* TestFolvaneApp::CreateShellDispatchObject()
{
    return m_bFailShellDispatch ? nullptr : CFolvaneApp::CreateShellDispatchObject();
}

void ClearFolvaneProfile()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorrel\\Folvane");
}

void PumpFor(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        if (CWinApp* p = AfxGetApp()) p->PumpWaitingMessages();
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

void AppFixture::SetUp()
{
    ClearFolvaneProfile();
    m_pApp = new TestFolvaneApp;
    if (m_bAutoStart) Start();
}

void AppFixture::Start()
{
    // A copy of the program already in this Wine prefix (make run, or a test executable
    // that a killed run left going) holds the single-instance event: this one cannot start.
    HANDLE hOther = OpenEventA(SYNCHRONIZE, FALSE, CFolvaneApp::kInstanceEventName);
    if (hOther) CloseHandle(hOther);
    m_bStarted = m_pApp->InitInstance();
    ASSERT_TRUE(m_bStarted) << (hOther ? "another copy of the program runs in this Wine prefix" : "");
    Pump();
}

void AppFixture::TearDown()
{
    m_pApp->CloseAllDocuments(FALSE);
    if (m_pApp->m_pMainWnd) m_pApp->m_pMainWnd->DestroyWindow();
    PumpFor(20);
    m_pApp->ExitInstance();
    delete m_pApp;
    m_pApp = nullptr;
    AfxOleTerm();
    // A WM_QUIT posted by the main window's end must not reach the next test.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

UINT AppFixture::MenuState(HMENU hPopup, UINT nID)
{
    ::SendMessageA(MainWnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), 0);
    return GetMenuState(hPopup, nID, MF_BYCOMMAND);
}
