// System commands as a user reaches them: the control menu of a maximised browser window in
// the main menu bar, and the main window's Close by every form of the command.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "framework/AfxRes.h"
#include "framework/MDIChildWnd.h"
#include "support/AppFixture.h"
#include "support/RealInput.h"

namespace {

std::vector<UINT> ItemStates(HMENU hMenu)
{
    std::vector<UINT> states;
    for (int i = 0; i < GetMenuItemCount(hMenu); i++) states.push_back(GetMenuState(hMenu, static_cast<UINT>(i), MF_BYPOSITION));
    return states;
}

class SystemMenuTest : public AppFixture {};

}  // namespace

TEST_F(SystemMenuTest, OpeningAMaximisedBrowserWindowsControlMenuLeavesItsCommandsAlone)
{
    m_pApp->OnFileNew();
    Pump();
    CMDIChildWnd* pChild = Frame()->MDIGetActive();
    ASSERT_NE(nullptr, pChild);
    HWND hChild = pChild->m_hWnd;
    pChild->ShowWindow(SW_MAXIMIZE);
    Pump();
    ASSERT_TRUE(IsZoomed(hChild));

    // The maximised window's control menu sits first in the main menu bar: to the main frame
    // it opens as an ordinary popup of its menu.
    HMENU hBar = GetMenu(MainWnd());
    HMENU hControl = GetSubMenu(hBar, 0);
    ASSERT_NE(nullptr, hControl);
    ASSERT_NE(static_cast<UINT>(-1), GetMenuState(hControl, SC_CLOSE, MF_BYCOMMAND)) << "not the control menu";
    const std::vector<UINT> before = ItemStates(hControl);
    SendMessageA(MainWnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hControl), MAKELPARAM(0, FALSE));
    EXPECT_EQ(before, ItemStates(hControl));
    EXPECT_FALSE(GetMenuState(hControl, SC_CLOSE, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    EXPECT_FALSE(GetMenuState(hControl, SC_RESTORE, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    SendMessageA(MainWnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);

    // Restored, the window can still be closed from the keyboard.
    pChild->ShowWindow(SW_RESTORE);
    Pump();
    EXPECT_FALSE(GetMenuState(GetSystemMenu(hChild, FALSE), SC_CLOSE, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    SetForegroundWindow(MainWnd());
    Frame()->MDIActivate(pChild);
    Pump();
    PressChord(VK_CONTROL, VK_F4);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hChild); }, 3000)) << "Ctrl+F4 did not close the window";
}

TEST_F(SystemMenuTest, TheUpdatePassStillGreysTheFramesOwnCommandsInTheSamePopup)
{
    // A popup holding system commands and commands of the program: only the latter are updated.
    struct {
        UINT id;
        bool grayed;
    } items[] = {
        {SC_SIZE, false},  {SC_RESTORE, false}, {SC_CLOSE, false}, {SC_TASKLIST, false},
        {0x7F10, true},    // nobody handles it
        {0xEFFF, true},    // the last id below the system commands, nobody's either
        {ID_FILE_NEW, false},
    };
    HMENU h = CreatePopupMenu();
    for (auto& item : items) AppendMenuA(h, MF_STRING, item.id, "item");
    SendMessageA(MainWnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(h), 0);
    for (auto& item : items) {
        EXPECT_EQ(item.grayed, (GetMenuState(h, item.id, MF_BYCOMMAND) & MF_GRAYED) != 0) << std::hex << item.id;
    }
    DestroyMenu(h);
}

// The low four bits of a system command are the system's own; Close is Close whatever they hold.
class SystemCloseTest : public AppFixture, public ::testing::WithParamInterface<WPARAM> {};

TEST_P(SystemCloseTest, SavesTheSessionOnceBeforeTheWindowCloses)
{
    PostMessageA(MainWnd(), WM_SYSCOMMAND, GetParam(), 0);
    EXPECT_TRUE(PumpUntil([&] { return m_pApp->m_pMainWnd == nullptr; }));
    EXPECT_EQ(1, m_pApp->m_nSaveSessionCalls);
    EXPECT_TRUE(m_pApp->m_bMainVisibleAtSave);
}

INSTANTIATE_TEST_SUITE_P(LowBits, SystemCloseTest, ::testing::Values(SC_CLOSE, SC_CLOSE | 0x1, SC_CLOSE | 0x2, SC_CLOSE | 0xF));
