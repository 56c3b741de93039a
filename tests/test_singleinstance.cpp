// Whole copies of folvane.exe under the single-instance guard: later copies end
// without a window and bring the first copy's main window back to the front.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string ProgramPath()
{
    // Test executables live in <build>/tests, the program in <build>.
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    s.erase(s.find_last_of('\\'));
    s.erase(s.find_last_of('\\') + 1);
    return s + "folvane.exe";
}

struct WindowSearch {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindows(HWND hWnd, LPARAM lParam)
{
    WindowSearch* s = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid == s->pid && (!s->visibleOnly || IsWindowVisible(hWnd))) s->found.push_back(hWnd);
    return TRUE;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid, bool visibleOnly)
{
    WindowSearch s = {pid, visibleOnly, {}};
    EnumWindows(&CollectWindows, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

template <class Pred>
bool WaitFor(Pred pred, DWORD timeoutMs = 10000)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(20);
    }
}

// One copy of the program, ended (forcibly, if it is still there) when the test ends.
class CCopy {
public:
    explicit CCopy(const std::string& args = "")
    {
        std::string cmd = "\"" + ProgramPath() + "\"";
        if (!args.empty()) cmd += " " + args;
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        std::vector<char> buf(cmd.begin(), cmd.end());
        buf.push_back('\0');
        m_bStarted = CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi) != 0;
    }
    ~CCopy()
    {
        if (!m_bStarted) return;
        if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_pi.hProcess, 99);
            WaitForSingleObject(m_pi.hProcess, 5000);
        }
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }
    CCopy(const CCopy&) = delete;
    CCopy& operator=(const CCopy&) = delete;

    bool Started() const { return m_bStarted; }
    DWORD Pid() const { return m_pi.dwProcessId; }
    bool Running() const { return WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT; }

    // The main window: its visible, unowned top-level window.
    HWND MainWindow(DWORD timeoutMs = 15000) const
    {
        HWND hMain = nullptr;
        WaitFor(
            [&] {
                for (HWND h : TopLevelWindowsOf(Pid(), true)) {
                    if (!GetWindow(h, GW_OWNER)) hMain = h;
                }
                return hMain != nullptr || !Running();
            },
            timeoutMs);
        return hMain;
    }

    // Waits for the end; records every top-level window the copy had meanwhile.
    bool WaitForEnd(DWORD timeoutMs = 15000)
    {
        const DWORD start = GetTickCount();
        while (WaitForSingleObject(m_pi.hProcess, 5) == WAIT_TIMEOUT) {
            for (HWND h : TopLevelWindowsOf(Pid(), true)) m_windowsSeen.push_back(h);
            if (GetTickCount() - start > timeoutMs) return false;
        }
        return true;
    }

    DWORD ExitCode() const
    {
        DWORD code = 0;
        GetExitCodeProcess(m_pi.hProcess, &code);
        return code;
    }

    // Ends the copy as the user does with the close box.
    bool Close()
    {
        HWND hMain = MainWindow(5000);
        if (hMain) PostMessageA(hMain, WM_SYSCOMMAND, SC_CLOSE, 0);
        return WaitForEnd();
    }

    std::vector<HWND> m_windowsSeen;

private:
    bool m_bStarted = false;
    PROCESS_INFORMATION m_pi = {};
};

int MdiChildCount(HWND hMain)
{
    HWND hClient = FindWindowExA(hMain, nullptr, "MDIClient", nullptr);
    int n = 0;
    for (HWND h = hClient ? GetWindow(hClient, GW_CHILD) : nullptr; h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (!GetWindow(h, GW_OWNER)) ++n;
    }
    return n;
}

// A window of the test's own that holds the foreground while a later copy starts.
class CForegroundHolder {
public:
    CForegroundHolder()
    {
        m_hWnd = CreateWindowExA(0, "STATIC", "Holder", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 400, 200, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~CForegroundHolder() { DestroyWindow(m_hWnd); }
    bool Take()
    {
        SetForegroundWindow(m_hWnd);
        return WaitFor([&] { return GetForegroundWindow() == m_hWnd; }, 3000);
    }
    HWND m_hWnd;
};

// A later copy that must end by itself, without showing a window.
void StartLaterCopy(const std::string& args = "")
{
    CCopy later(args);
    ASSERT_TRUE(later.Started());
    ASSERT_TRUE(later.WaitForEnd()) << "the later copy did not end";
    EXPECT_TRUE(later.m_windowsSeen.empty()) << "the later copy showed a window";
}

bool IsNormalForeground(HWND hMain)
{
    return !IsIconic(hMain) && !IsZoomed(hMain) && IsWindowVisible(hMain) && GetForegroundWindow() == hMain;
}

// Starts later copies until the first copy's main window is restored and in front. A pulse
// that arrives while the waiter is not waiting is lost by design, as it is for a user, who
// then starts the program once more; a second try is allowed, a third is not.
bool LaterCopyBringsFirstToFront(HWND hMain, const std::string& args = "")
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        StartLaterCopy(args);
        if (WaitFor([&] { return IsNormalForeground(hMain); }, 4000)) return true;
    }
    return false;
}

}  // namespace

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (GetFileAttributesA(ProgramPath().c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "no " << ProgramPath();
    }
};

TEST_F(SingleInstance, LaterCopyEndsWithoutAWindowAndRestoresTheFirstFromMinimisedAndMaximised)
{
    CCopy first;
    ASSERT_TRUE(first.Started());
    HWND hMain = first.MainWindow();
    ASSERT_NE(nullptr, hMain);
    RECT rcNormal;
    GetWindowRect(hMain, &rcNormal);
    CForegroundHolder holder;

    for (int state : {SW_MINIMIZE, SW_MAXIMIZE}) {
        ShowWindow(hMain, state);
        ASSERT_TRUE(WaitFor([&] { return state == SW_MINIMIZE ? IsIconic(hMain) : IsZoomed(hMain); }));
        ASSERT_TRUE(holder.Take());

        EXPECT_TRUE(LaterCopyBringsFirstToFront(hMain))
            << "state " << state << ": iconic " << IsIconic(hMain) << ", zoomed " << IsZoomed(hMain)
            << ", foreground " << (GetForegroundWindow() == hMain);
        RECT rc;
        GetWindowRect(hMain, &rc);
        EXPECT_TRUE(EqualRect(&rc, &rcNormal)) << "state " << state;
    }
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(first.Close());
    EXPECT_EQ(0u, first.ExitCode());
}

TEST_F(SingleInstance, LaterCopyGivenAFolderOpensNothingInEitherCopy)
{
    char szTemp[MAX_PATH];
    GetTempPathA(MAX_PATH, szTemp);
    std::string folder = std::string(szTemp) + "folvane-later-copy";
    CreateDirectoryA(folder.c_str(), nullptr);

    CCopy first;
    HWND hMain = first.MainWindow();
    ASSERT_NE(nullptr, hMain);
    const int nBefore = MdiChildCount(hMain);

    ASSERT_TRUE(LaterCopyBringsFirstToFront(hMain, "\"" + folder + "\""));
    // Give a wrongly handed-over command line time to show up.
    WaitFor([] { return false; }, 500);
    EXPECT_EQ(nBefore, MdiChildCount(hMain));
    EXPECT_TRUE(first.Close());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(SingleInstance, ThreeLaterCopiesInARowEachActivateTheFirst)
{
    CCopy first;
    HWND hMain = first.MainWindow();
    ASSERT_NE(nullptr, hMain);
    CForegroundHolder holder;
    for (int i = 0; i < 3; ++i) {
        ShowWindow(hMain, SW_MINIMIZE);
        ASSERT_TRUE(WaitFor([&] { return IsIconic(hMain) != FALSE; }));
        ASSERT_TRUE(holder.Take());
        EXPECT_TRUE(LaterCopyBringsFirstToFront(hMain)) << "copy " << i;
    }
    EXPECT_TRUE(first.Close());
}

TEST_F(SingleInstance, AfterTheFirstEndsANewCopyIsFirst)
{
    {
        CCopy first;
        ASSERT_NE(nullptr, first.MainWindow());
        ASSERT_TRUE(first.Close());
    }
    CCopy next;
    HWND hMain = next.MainWindow();
    EXPECT_NE(nullptr, hMain);
    EXPECT_TRUE(next.Running());
    EXPECT_TRUE(next.Close());
    EXPECT_EQ(0u, next.ExitCode());
}

TEST_F(SingleInstance, CopyStartedWhileTheFirstShutsDownDoesNoHarm)
{
    for (DWORD delay : {0u, 5u, 20u, 50u}) {
        CCopy first;
        HWND hMain = first.MainWindow();
        ASSERT_NE(nullptr, hMain);
        PostMessageA(hMain, WM_SYSCOMMAND, SC_CLOSE, 0);
        Sleep(delay);
        CCopy second;
        ASSERT_TRUE(second.Started());

        ASSERT_TRUE(first.WaitForEnd()) << "delay " << delay;
        EXPECT_EQ(0u, first.ExitCode()) << "delay " << delay;
        // The second copy either ended as a later copy or found the first gone
        // and became a first copy itself; either way it ends normally.
        if (second.Running() && second.MainWindow(3000)) {
            EXPECT_TRUE(second.Close());
        }
        ASSERT_TRUE(second.WaitForEnd()) << "delay " << delay;
        EXPECT_LT(second.ExitCode(), 0x80000000u) << "delay " << delay;
    }
    // The guard is not left in a state that blocks the next start.
    CCopy next;
    EXPECT_NE(nullptr, next.MainWindow());
    EXPECT_TRUE(next.Close());
}
