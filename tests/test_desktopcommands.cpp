// The commands that hand over to the desktop shell, under Wine, where Shell.Application and
// the network router do nothing: the shell's own Run dialog, every window minimised, and a
// clear sentence where the system has nothing to show.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "res/resource.h"
#include "shell/Wine.h"
#include "support/ModalWatcher.h"
#include "support/ViewTest.h"

namespace {

class DesktopCommandsTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        SetWineCheckForTesting(WineCheck::Wine);
        ASSERT_NE(nullptr, Open(m_root.Path()));
    }
    void TearDown() override
    {
        SetWineCheckForTesting(WineCheck::Detect);
        ViewTest::TearDown();
    }
};

HWND MakeWindow(DWORD style, bool bVisible)
{
    HWND h = CreateWindowExA(0, "STATIC", "test window", style, 10, 10, 200, 100, nullptr, nullptr, nullptr, nullptr);
    if (bVisible) ShowWindow(h, SW_SHOWNOACTIVATE);
    return h;
}

}  // namespace

TEST_F(DesktopCommandsTest, ShellRunShowsTheShellsOwnRunDialog)
{
    ModalWatcher cancel(IDCANCEL);
    // Returns once the dialog has been answered.
    SendMessageA(MainWnd(), WM_COMMAND, ID_SHELL_RUN, 0);
    ASSERT_EQ(1u, cancel.Count());
    const SeenBox box = cancel.Seen()[0];
    EXPECT_EQ("Run", box.caption);
    EXPECT_NE(std::string::npos, box.text.find("Open:")) << box.text;
    EXPECT_EQ(std::string::npos, box.text.find("Command Line:")) << "not the program's own Run dialog";
}

TEST_F(DesktopCommandsTest, MinimizeAllMinimisesEveryVisibleWindowWithAMinimiseBox)
{
    HWND hPlain = MakeWindow(WS_OVERLAPPEDWINDOW, true);
    HWND hNoBox = MakeWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU, true);
    HWND hHidden = MakeWindow(WS_OVERLAPPEDWINDOW, false);
    // A window of another thread, which answers in its own time.
    HWND hOther = nullptr;
    HANDLE hMade = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        hOther = MakeWindow(WS_OVERLAPPEDWINDOW, true);
        SetEvent(hMade);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        DestroyWindow(hOther);
    });
    WaitForSingleObject(hMade, 5000);

    SendMessageA(MainWnd(), WM_COMMAND, ID_MINIMIZE_ALL, 0);
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(hOther) != 0; }, 3000)) << "another thread's window";
    EXPECT_TRUE(IsIconic(MainWnd()));
    EXPECT_TRUE(IsIconic(hPlain));
    EXPECT_FALSE(IsIconic(hNoBox)) << "no minimise box";
    EXPECT_FALSE(IsIconic(hHidden));
    EXPECT_FALSE(IsWindowVisible(hHidden)) << "a hidden window stays hidden";

    PostThreadMessageA(GetWindowThreadProcessId(hOther, nullptr), WM_QUIT, 0, 0);
    other.join();
    CloseHandle(hMade);
    for (HWND h : {hPlain, hNoBox, hHidden}) DestroyWindow(h);
    ShowWindow(MainWnd(), SW_RESTORE);
}

// Wine's Shell.Application fails both searches and its router shows no drive dialogs. (The
// search for files has a window of the program's own there: test_findwindow.)
TEST_F(DesktopCommandsTest, WineHasNoSearchOrDriveDialogs_EachCommandSaysSoInOneSentence)
{
    if (!GetWineVersion()) GTEST_SKIP() << "Windows shows its own search and drive dialogs";
    struct { UINT nID; const char* text; } cases[] = {
        {ID_FIND_COMPUTER, "Finding a computer is not available on this system."},
        {ID_SHELL_MAP_DRIVE, "Connecting a network drive is not available on this system."},
        {ID_SHELL_DISCONNECT_DRIVE, "Disconnecting a network drive is not available on this system."},
    };
    for (const auto& c : cases) {
        ModalWatcher ok;
        SendMessageA(MainWnd(), WM_COMMAND, c.nID, 0);
        ASSERT_EQ(1u, ok.Count()) << "command " << c.nID;
        EXPECT_EQ("Folvane", ok.Seen()[0].caption);
        EXPECT_EQ(c.text, ok.Seen()[0].text);
    }
}
