// The About box: its text from the program's own version resource, how it looks,
// how it is opened and closed.
#include "dialogs/AboutDlg.h"

#include <gtest/gtest.h>

#include <string>

#include "dialogs/VersionInfo.h"
#include "support/AppFixture.h"
#include "support/FolvaneProcess.h"
#include "support/ModalWatcher.h"

namespace {

// What the program's version resource makes of the template: no company name, so the
// first line begins with a blank.
std::string ExpectedAboutText()
{
    char copyrightSign[8] = "";
    WideCharToMultiByte(CP_ACP, 0, L"\u00A9", -1, copyrightSign, sizeof(copyrightSign), nullptr, nullptr);
    return std::string(" Folvane 1.0\r\nCopyright ") + copyrightSign + " 2026 Quorrel. All rights reserved.";
}

// Records what the box shows once initialised, then presses OK.
class CProbeAboutDlg : public CAboutDlg {
public:
    std::string m_text;
    DWORD m_dwTextStyle = 0;
    bool m_bHasIcon = false;
    HWND m_hWndOwner = nullptr;
    BOOL m_bOwnerEnabled = TRUE;

protected:
    BOOL OnInitDialog() override
    {
        BOOL bResult = CAboutDlg::OnInitDialog();
        char buf[512] = "";
        ::GetDlgItemTextA(m_hWnd, IDC_VERSION, buf, sizeof(buf));
        m_text = buf;
        m_dwTextStyle = static_cast<DWORD>(::GetWindowLongA(::GetDlgItem(m_hWnd, IDC_VERSION), GWL_STYLE));
        for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
            if ((::GetWindowLongA(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && ::SendMessageA(h, STM_GETICON, 0, 0))
                m_bHasIcon = true;
        }
        m_hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
        m_bOwnerEnabled = m_hWndOwner ? ::IsWindowEnabled(m_hWndOwner) : TRUE;
        PostMessage(WM_COMMAND, IDOK, 0);
        return bResult;
    }
};

}  // namespace

TEST(AboutBox, ShowsTheProgramsVersionTextUnderItsIcon)
{
    CProbeAboutDlg dlg;
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(ExpectedAboutText(), dlg.m_text);
    EXPECT_TRUE(dlg.m_dwTextStyle & SS_NOPREFIX) << "an ampersand in a value shows as itself";
    EXPECT_TRUE(dlg.m_bHasIcon);
}

TEST(AboutBox, TheProgramFileCarriesTheSameText)
{
    const std::string program = FolvaneProcess::Path();
    if (GetFileAttributesA(program.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no " << program;
    CVersionInfo info;
    ASSERT_TRUE(info.Load(program.c_str()));
    EXPECT_EQ(ExpectedAboutText(), std::string(info.Expand(CAboutDlg::s_szTemplate)));
}

class AboutCommandTest : public AppFixture {};

TEST_F(AboutCommandTest, TheBoxIsOwnedByTheMainWindowWhichWaitsForIt)
{
    CProbeAboutDlg dlg;
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(MainWnd(), dlg.m_hWndOwner);
    EXPECT_FALSE(dlg.m_bOwnerEnabled);
    EXPECT_TRUE(IsWindowEnabled(MainWnd()));
}

TEST_F(AboutCommandTest, HelpAboutOpensTheBoxAndReturnsWhenItCloses)
{
    ModalWatcher watcher;
    SendMessageA(MainWnd(), WM_COMMAND, ID_APP_ABOUT, 0);
    std::vector<SeenBox> seen = watcher.Seen();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("About Folvane", seen[0].caption);
    // The watcher also reads the icon's static, whose "text" is the icon's resource ordinal.
    EXPECT_NE(std::string::npos, seen[0].text.find(ExpectedAboutText())) << seen[0].text;
    EXPECT_TRUE(IsWindowEnabled(MainWnd()));
}
