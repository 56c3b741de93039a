// Activation of the first copy's main window from the guard's waiter thread: it goes by the
// window handle handed over at start-up, never through the frame object the user-interface
// thread may be deleting, and stops as soon as the main window starts to go.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/AppFixture.h"

namespace {

DWORD WINAPI ActivateFromAnotherThread(LPVOID)
{
    return static_cast<DWORD>(ActivateMainWindow(0));
}

// Runs the activation as the waiter thread does and pumps this thread meanwhile, since the
// window functions hand their work to the window's own thread.
bool ActivateAndWait(DWORD timeoutMs)
{
    HANDLE hThread = CreateThread(nullptr, 0, ActivateFromAnotherThread, nullptr, 0, nullptr);
    bool bEnded = PumpUntil([&] { return WaitForSingleObject(hThread, 0) == WAIT_OBJECT_0; }, timeoutMs);
    CloseHandle(hThread);
    return bEnded;
}

// Watches the main window's end: right after its WM_DESTROY was handled (the frame object and
// the application's pointer to it still exist), a later copy's pulse arrives.
struct DestroyWatch {
    HHOOK hHook = nullptr;
    HWND hMain = nullptr;
    HANDLE hThread = nullptr;
    bool bReturnedAtOnce = false;
} g_watch;

LRESULT CALLBACK AfterWindowProc(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* p = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && p->hwnd == g_watch.hMain && p->message == WM_DESTROY && !g_watch.hThread) {
        g_watch.hThread = CreateThread(nullptr, 0, ActivateFromAnotherThread, nullptr, 0, nullptr);
        // This thread is busy destroying: an activation that touches the window waits for it.
        g_watch.bReturnedAtOnce = WaitForSingleObject(g_watch.hThread, 1500) == WAIT_OBJECT_0;
    }
    return CallNextHookEx(g_watch.hHook, code, wParam, lParam);
}

class ActivationTest : public AppFixture {};

}  // namespace

TEST_F(ActivationTest, ThePulseRestoresTheMainWindowHandedOverAtStartUp)
{
    Frame()->ShowWindow(SW_MINIMIZE);
    Pump();
    ASSERT_TRUE(IsIconic(MainWnd()));
    ASSERT_TRUE(ActivateAndWait(5000));
    EXPECT_FALSE(IsIconic(MainWnd()));
    EXPECT_TRUE(IsWindowVisible(MainWnd()));
}

TEST_F(ActivationTest, TheWaiterReadsNothingFromTheFrameObject)
{
    // What the frame object holds is not the waiter's to read: an object that says another
    // window must not steer the activation.
    LPCSTR cls = CWnd::RegisterWndClass("FolvaneTest:Decoy", 0);
    CWnd decoy;
    ASSERT_TRUE(decoy.CreateEx(0, cls, "decoy", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr));
    decoy.ShowWindow(SW_MINIMIZE);
    Frame()->ShowWindow(SW_MINIMIZE);
    Pump();
    CWnd* pReal = m_pApp->m_pMainWnd;
    m_pApp->m_pMainWnd = &decoy;
    bool bEnded = ActivateAndWait(5000);
    m_pApp->m_pMainWnd = pReal;
    ASSERT_TRUE(bEnded);
    EXPECT_FALSE(IsIconic(MainWnd())) << "the main window was not restored";
    EXPECT_TRUE(IsIconic(decoy.m_hWnd)) << "the waiter went by the object";
    decoy.DestroyWindow();
}

TEST_F(ActivationTest, APulseWhileTheMainWindowGoesLeavesItAlone)
{
    g_watch = DestroyWatch();
    g_watch.hMain = MainWnd();
    g_watch.hHook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterWindowProc, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, g_watch.hHook);
    m_pApp->m_pMainWnd->DestroyWindow();
    UnhookWindowsHookEx(g_watch.hHook);
    ASSERT_NE(nullptr, g_watch.hThread);
    // Let a blocked activation finish before judging.
    PumpUntil([&] { return WaitForSingleObject(g_watch.hThread, 0) == WAIT_OBJECT_0; }, 5000);
    CloseHandle(g_watch.hThread);
    EXPECT_TRUE(g_watch.bReturnedAtOnce) << "the waiter reached for the window being destroyed";
    EXPECT_EQ(nullptr, m_pApp->m_pMainWnd);
}
