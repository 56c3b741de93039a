// The four commands that hand over to Shell.Application, in the running application:
// enabled with the automation object, greyed everywhere without it, and a failing
// call reported by the framework with the wrapper left usable.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "frames/ShellDispatch.h"
#include "res/resource.h"
#include "shell/Wine.h"
#include "support/AppFixture.h"
#include "support/ModalWatcher.h"

namespace {

const UINT kShellCommands[] = {ID_FIND_FILES, ID_FIND_COMPUTER, ID_SHELL_RUN, ID_MINIMIZE_ALL};

bool IsShellCommand(UINT nID)
{
    for (UINT id : kShellCommands) {
        if (id == nID) return true;
    }
    return false;
}

std::string StatusText(CMainFrame* pFrame)
{
    return pFrame->m_wndStatusBar.GetPaneText0().GetString();
}

class ShellCommandsTest : public AppFixture {
protected:
    // Each popup is opened as the user opens it (nested ones too); returns the state
    // of every item, by command id.
    std::map<UINT, UINT> OpenAllPopups(HMENU hMenu)
    {
        std::map<UINT, UINT> states;
        for (int i = 0; i < GetMenuItemCount(hMenu); i++) {
            if (HMENU hSub = GetSubMenu(hMenu, i)) {
                ::SendMessageA(MainWnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hSub), MAKELPARAM(i, FALSE));
                for (const auto& kv : OpenAllPopups(hSub)) states[kv.first] = kv.second;
            } else if (UINT id = GetMenuItemID(hMenu, i)) {
                states[id] = GetMenuState(hMenu, static_cast<UINT>(i), MF_BYPOSITION);
            }
        }
        return states;
    }

    // Opens a browser window, which puts menu 129 on the frame.
    bool OpenBrowserWindow()
    {
        HMENU hBefore = GetMenu(MainWnd());
        ::SendMessageA(MainWnd(), WM_COMMAND, ID_FILE_NEW, 0);
        return PumpUntil([&] { return GetMenu(MainWnd()) != hBefore; });
    }

    // The four commands as found in the frame's current menu bar.
    std::map<UINT, UINT> ShellCommandStates()
    {
        std::map<UINT, UINT> found;
        for (const auto& kv : OpenAllPopups(GetMenu(MainWnd()))) {
            if (IsShellCommand(kv.first)) found[kv.first] = kv.second;
        }
        return found;
    }
};

// Started only once the test has decided whether the automation object may be created.
class ShellCommandsWithoutObjectTest : public ShellCommandsTest {
protected:
    ShellCommandsWithoutObjectTest() { m_bAutoStart = FALSE; }
    void SetUp() override
    {
        ShellCommandsTest::SetUp();
        m_pApp->m_bFailShellDispatch = TRUE;
        Start();
    }
};

}  // namespace

TEST_F(ShellCommandsTest, WithTheAutomationObjectTheCommandsAreEnabledInBothMenus)
{
    if (!m_pApp->GetShellDispatch()) GTEST_SKIP() << "Shell.Application cannot be created here";

    std::map<UINT, UINT> menu128 = ShellCommandStates();
    EXPECT_EQ(3u, menu128.size()) << "Shell Run, Files or Folders and Computer";
    for (const auto& kv : menu128) EXPECT_FALSE(kv.second & MF_GRAYED) << "command " << kv.first;

    ASSERT_TRUE(OpenBrowserWindow());
    std::map<UINT, UINT> menu129 = ShellCommandStates();
    EXPECT_EQ(4u, menu129.size()) << "and Minimize All";
    for (const auto& kv : menu129) EXPECT_FALSE(kv.second & MF_GRAYED) << "command " << kv.first;

    HMENU hBar = GetMenu(MainWnd());
    SendMessageA(MainWnd(), WM_MENUSELECT, MAKEWPARAM(ID_FIND_FILES, MF_STRING), reinterpret_cast<LPARAM>(hBar));
    EXPECT_EQ("Search for files or Folders", StatusText(Frame()));
    SendMessageA(MainWnd(), WM_MENUSELECT, MAKEWPARAM(ID_MINIMIZE_ALL, MF_STRING), reinterpret_cast<LPARAM>(hBar));
    EXPECT_EQ("Minimize all the top-level windows in the system", StatusText(Frame()));
}

TEST_F(ShellCommandsWithoutObjectTest, TheCommandsAreGreyedWhereverTheyAppearAndSayWhy)
{
    ASSERT_EQ(nullptr, m_pApp->GetShellDispatch());

    std::map<UINT, UINT> menu128 = ShellCommandStates();
    EXPECT_EQ(3u, menu128.size());
    for (const auto& kv : menu128) EXPECT_TRUE(kv.second & MF_GRAYED) << "command " << kv.first;

    ASSERT_TRUE(OpenBrowserWindow());
    std::map<UINT, UINT> menu129 = ShellCommandStates();
    EXPECT_EQ(4u, menu129.size());
    for (const auto& kv : menu129) EXPECT_TRUE(kv.second & MF_GRAYED) << "command " << kv.first;

    HMENU hBar = GetMenu(MainWnd());
    for (UINT id : kShellCommands) {
        SendMessageA(MainWnd(), WM_MENUSELECT, MAKEWPARAM(id, MF_STRING | MF_GRAYED), reinterpret_cast<LPARAM>(hBar));
        EXPECT_EQ("This command is only available if Internet Explorer 4.0 is installed.", StatusText(Frame()))
            << "command " << id;
    }
}

TEST_F(ShellCommandsWithoutObjectTest, EverythingElseWorksAndTheCommandsDoNothing)
{
    ModalWatcher watcher;
    // An accelerator or a stale menu could still send them: nothing happens, nothing is said.
    for (UINT id : kShellCommands) SendMessageA(MainWnd(), WM_COMMAND, id, 0);
    PumpFor(100);
    EXPECT_EQ(0u, watcher.Count());

    // The other commands are enabled and do what they do.
    std::map<UINT, UINT> states = OpenAllPopups(GetMenu(MainWnd()));
    for (UINT id : {ID_FILE_NEW, ID_APP_EXIT, ID_APP_ABOUT, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        ASSERT_TRUE(states.count(id)) << "command " << id;
        EXPECT_FALSE(states[id] & MF_GRAYED) << "command " << id;
    }
    ASSERT_TRUE(OpenBrowserWindow());
    SendMessageA(MainWnd(), WM_COMMAND, ID_APP_ABOUT, 0);
    ASSERT_EQ(1u, watcher.Count());
    EXPECT_EQ("About Folvane", watcher.Seen()[0].caption);
}

// Wine creates Shell.Application but fails all four calls (DISP_E_EXCEPTION, E_NOTIMPL). With
// the Wine check forced off the program calls them as on Windows.
TEST_F(ShellCommandsTest, WineFailsTheFourCalls_TheFrameworkReportsEachAndTheWrapperStaysUsable)
{
    if (!IsRunningUnderWine()) GTEST_SKIP() << "on Windows the calls succeed and open the shell's own windows";
    struct WindowsPath {
        WindowsPath() { SetWineCheckForTesting(WineCheck::Windows); }
        ~WindowsPath() { SetWineCheckForTesting(WineCheck::Detect); }
    } windowsPath;
    CShellDispatch* pShell = m_pApp->GetShellDispatch();
    ASSERT_NE(nullptr, pShell);
    ASSERT_TRUE(OpenBrowserWindow());

    ModalWatcher watcher;
    for (UINT id : kShellCommands) {
        // Returns once the watcher has answered the box.
        SendMessageA(MainWnd(), WM_COMMAND, id, 0);
    }
    std::vector<SeenBox> seen = watcher.Seen();
    ASSERT_EQ(4u, seen.size());
    for (const SeenBox& box : seen) {
        EXPECT_EQ("Folvane", box.caption);
        EXPECT_EQ("Unable to invoke method.", box.text);
    }

    // The same wrapper is still there, still enabled, and still talks to the shell.
    EXPECT_EQ(pShell, m_pApp->GetShellDispatch());
    for (const auto& kv : ShellCommandStates()) EXPECT_FALSE(kv.second & MF_GRAYED) << "command " << kv.first;
    VARIANT vDesktop;
    VariantInit(&vDesktop);
    vDesktop.vt = VT_I4;
    vDesktop.lVal = 0;
    LPDISPATCH pFolder = pShell->NameSpace(vDesktop);
    EXPECT_NE(nullptr, pFolder);
    if (pFolder) pFolder->Release();

    // And a later command is reported the same way.
    SendMessageA(MainWnd(), WM_COMMAND, ID_FIND_FILES, 0);
    EXPECT_EQ(5u, watcher.Count());
}
