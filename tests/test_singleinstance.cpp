// Whole copies of folvane.exe under the single-instance guard: later copies end
// without a window and bring the first copy's main window back to the front.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/FolvaneProcess.h"
#include "support/ScratchFolder.h"

namespace {

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
    // Asked again until it holds: under Wine a focus change still on its way from the X
    // server (the first copy's window just minimised) can take the foreground back once.
    bool Take()
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            SetForegroundWindow(m_hWnd);
            if (WaitFor([&] { return GetForegroundWindow() == m_hWnd; }, 1000)) return true;
        }
        return false;
    }
    HWND m_hWnd;
};

// A later copy that must end by itself, without showing a window.
void StartLaterCopy(const std::string& args = "")
{
    FolvaneProcess later(args);
    ASSERT_TRUE(later.Started());
    ASSERT_TRUE(later.WaitForEnd()) << "the later copy did not end";
    EXPECT_TRUE(later.WindowsSeen().empty()) << "the later copy showed a window";
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
        if (GetFileAttributesA(FolvaneProcess::Path().c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "no " << FolvaneProcess::Path();
    }
};

TEST_F(SingleInstance, LaterCopyEndsWithoutAWindowAndRestoresTheFirstFromMinimisedAndMaximised)
{
    FolvaneProcess first;
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
    ScratchFolder scratch("later-copy");
    const std::string folder = scratch.MakeFolder("given");

    FolvaneProcess first;
    HWND hMain = first.MainWindow();
    ASSERT_NE(nullptr, hMain);
    const int nBefore = MdiChildCount(hMain);

    ASSERT_TRUE(LaterCopyBringsFirstToFront(hMain, "\"" + folder + "\""));
    // Give a wrongly handed-over command line time to show up.
    WaitFor([] { return false; }, 500);
    EXPECT_EQ(nBefore, MdiChildCount(hMain));
    EXPECT_TRUE(first.Close());
}

TEST_F(SingleInstance, ThreeLaterCopiesInARowEachActivateTheFirst)
{
    FolvaneProcess first;
    HWND hMain = first.MainWindow();
    ASSERT_NE(nullptr, hMain);
    CForegroundHolder holder;
    for (int i = 0; i < 3; ++i) {
        ShowWindow(hMain, SW_MINIMIZE);
        ASSERT_TRUE(WaitFor([&] { return IsIconic(hMain) != FALSE; }));
        ASSERT_TRUE(holder.Take()) << "copy " << i << ": the foreground is "
                                   << (GetForegroundWindow() == hMain ? "the first copy's" : "another") << " window";
        EXPECT_TRUE(LaterCopyBringsFirstToFront(hMain)) << "copy " << i;
    }
    EXPECT_TRUE(first.Close());
}

TEST_F(SingleInstance, AfterTheFirstEndsANewCopyIsFirst)
{
    {
        FolvaneProcess first;
        ASSERT_NE(nullptr, first.MainWindow());
        ASSERT_TRUE(first.Close());
    }
    FolvaneProcess next;
    HWND hMain = next.MainWindow();
    EXPECT_NE(nullptr, hMain);
    EXPECT_TRUE(next.Running());
    EXPECT_TRUE(next.Close());
    EXPECT_EQ(0u, next.ExitCode());
}

TEST_F(SingleInstance, CopyStartedWhileTheFirstShutsDownDoesNoHarm)
{
    for (DWORD delay : {0u, 5u, 20u, 50u}) {
        FolvaneProcess first;
        HWND hMain = first.MainWindow();
        ASSERT_NE(nullptr, hMain);
        ASSERT_TRUE(first.PostClose(FolvaneProcess::Ending::CloseBox));
        Sleep(delay);
        FolvaneProcess second;
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
    FolvaneProcess next;
    EXPECT_NE(nullptr, next.MainWindow());
    EXPECT_TRUE(next.Close());
}
