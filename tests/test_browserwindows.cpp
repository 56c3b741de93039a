// Browser windows as the user tells them apart: each window's caption, Window-menu entry and
// recorded text name the folder that window shows, also when two windows belong to one
// document; a window opened maximised shows its own folder; and the window asked for on the
// command line comes to the front once the recorded windows are open.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/FolderDocManager.h"
#include "framework/MDIChildWnd.h"
#include "res/resource.h"
#include "support/BrowserWindows.h"
#include "support/OpenWindowsRecord.h"
#include "support/ViewTest.h"
#include "view/FolvaneDoc.h"
#include "view/FolvaneView.h"

namespace {

// The folder part of a browser window text.
std::string FolderOf(const std::string& text)
{
    return text.substr(0, text.find(','));
}

class BrowserWindowsTest : public ViewTest {
protected:
    CFolderDocManager* Manager() { return static_cast<CFolderDocManager*>(m_pApp->m_pDocManager); }
    CFolvaneView* ActiveView()
    {
        CMDIChildWnd* pChild = Frame()->MDIGetActive();
        return pChild ? dynamic_cast<CFolvaneView*>(pChild->GetActiveView()) : nullptr;
    }
    // What the Window menu lists, each entry as the caption of a window with its number:
    // "&<n> <caption>" for the windows in the order of their numbers.
    std::vector<std::string> ExpectedMenu(const std::vector<HWND>& windows)
    {
        std::vector<std::string> entries;
        for (size_t i = 0; i < windows.size(); i++) entries.push_back("&" + std::to_string(i + 1) + " " + WindowText(windows[i]));
        return entries;
    }
};

}  // namespace

// Window > New Window gives the document a second window; each then goes its own way, and
// nothing the user sees of one follows the other.
TEST_F(BrowserWindowsTest, TwoWindowsOfOneDocumentEachNameTheFolderTheyShow)
{
    CFolvaneView* pFirst = Open(m_root.Path());
    ASSERT_NE(nullptr, pFirst);
    SendMessageA(MainWnd(), WM_COMMAND, ID_WINDOW_NEW, 0);
    Pump();
    CFolvaneView* pSecond = ActiveView();
    ASSERT_NE(nullptr, pSecond);
    ASSERT_NE(pFirst, pSecond);
    ASSERT_EQ(pFirst->GetDocument(), pSecond->GetDocument());
    const HWND hFirst = pFirst->GetParentFrame()->m_hWnd, hSecond = pSecond->GetParentFrame()->m_hWnd;
    EXPECT_EQ(m_root.Path() + ":2", WindowText(hSecond)) << "a new window starts on the folder of the one it came from";

    struct Step {
        int window;  // which one navigates: 1 or 2
        std::string to;
        std::string first, second;  // the folders each shows then
    } steps[] = {
        {2, m_root.Sub("alpha"), m_root.Path(), m_root.Sub("alpha")},
        {1, m_root.Sub("beta"), m_root.Sub("beta"), m_root.Sub("alpha")},
        {2, m_root.Sub("alpha\\inner"), m_root.Sub("beta"), m_root.Sub("alpha\\inner")},
        {1, m_root.Sub("alpha\\inner"), m_root.Sub("alpha\\inner"), m_root.Sub("alpha\\inner")},
        {1, m_root.Sub("gamma"), m_root.Sub("gamma"), m_root.Sub("alpha\\inner")},
    };
    for (const Step& s : steps) {
        const std::string what = "window " + std::to_string(s.window) + " to " + s.to;
        ASSERT_TRUE(Browse(s.window == 1 ? pFirst : pSecond, s.to)) << what;
        PumpFor(50);
        EXPECT_EQ(s.first + ":1", WindowText(hFirst)) << what;
        EXPECT_EQ(s.second + ":2", WindowText(hSecond)) << what;
        EXPECT_EQ(ExpectedMenu({hFirst, hSecond}), WindowMenuEntries(MainWnd())) << what;
        EXPECT_EQ(s.first, FolderOf(BrowserWindowStringOf(pFirst->m_hWnd))) << what;
        EXPECT_EQ(s.second, FolderOf(BrowserWindowStringOf(pSecond->m_hWnd))) << what;
        // The document keeps the folder last shown in any of its windows.
        EXPECT_EQ(s.to, Shown(pFirst)) << what;
    }

    // A window made from the first starts on the first's folder, not on the one shown last.
    ASSERT_TRUE(Browse(pSecond, m_root.Sub("beta")));
    static_cast<CMDIChildWnd*>(pFirst->GetParentFrame())->MDIActivate();
    Pump();
    ASSERT_EQ(hFirst, Frame()->MDIGetActive()->m_hWnd);
    SendMessageA(MainWnd(), WM_COMMAND, ID_WINDOW_NEW, 0);
    Pump();
    CFolvaneView* pThird = ActiveView();
    ASSERT_NE(nullptr, pThird);
    ASSERT_NE(pSecond, pThird);
    EXPECT_EQ(m_root.Sub("gamma") + ":3", WindowText(pThird->GetParentFrame()->m_hWnd));
    EXPECT_EQ("gamma", SelectedText(pThird));
    pThird->GetParentFrame()->SendMessage(WM_CLOSE);
    Pump();
    ASSERT_TRUE(Browse(pSecond, m_root.Sub("alpha\\inner")));

    // At exit each is recorded on its own folder, and so the next start reopens each there.
    Manager()->SaveOpenWindows();
    std::vector<std::string> recorded;
    for (const auto& value : ReadRecordStrings()) recorded.push_back(FolderOf(value.second));
    std::sort(recorded.begin(), recorded.end());
    EXPECT_EQ((std::vector<std::string>{m_root.Sub("alpha\\inner"), m_root.Sub("gamma")}), recorded);
    m_pApp->CloseAllDocuments(FALSE);
    Manager()->RestoreOpenWindows();
    Pump();
    std::vector<std::string> reopened;
    for (HWND h : BrowserWindows(MainWnd())) reopened.push_back(WindowText(h));
    std::sort(reopened.begin(), reopened.end());
    EXPECT_EQ(recorded, reopened);
}

// Maximising or minimising a window as it opens must not lose the folder it was opened for.
TEST_F(BrowserWindowsTest, AWindowOpensOnItsFolderWhateverItsState)
{
    struct Case {
        const char* state;
        bool bAlone;  // the first window, or one more beside another
    } cases[] = {
        {"0", true}, {"16777216", true}, {"536870912", true},
        {"0", false}, {"16777216", false}, {"536870912", false},
    };
    for (const Case& c : cases) {
        const std::string what = std::string("state ") + c.state + (c.bAlone ? ", alone" : ", beside another");
        m_pApp->CloseAllDocuments(FALSE);
        if (!c.bAlone) {
            ASSERT_NE(nullptr, Open(m_root.Sub("gamma")));
        }
        const std::string folder = m_root.Sub("alpha\\inner");
        CFolvaneView* pView = Open(folder + ",10,10,300,200," + c.state);
        ASSERT_NE(nullptr, pView) << what;
        PumpFor(50);
        EXPECT_EQ(folder, WindowText(pView->GetParentFrame()->m_hWnd)) << what;
        EXPECT_EQ("inner", SelectedText(pView)) << what;
        EXPECT_EQ(folder, FolderOf(BrowserWindowStringOf(pView->m_hWnd))) << what;
    }
}

namespace {

// The application started as the program starts, with one argument on its command line.
class StartWithArgumentTest : public BrowserWindowsTest {
protected:
    StartWithArgumentTest() { m_bAutoStart = FALSE; }
    void StartWith(const std::string& argument)
    {
        int argc = __argc;
        char** argv = __argv;
        char* args[] = {argv[0], const_cast<char*>(argument.c_str()), nullptr};
        __argc = 2;
        __argv = args;
        Start();
        __argc = argc;
        __argv = argv;
    }
};

}  // namespace

// Started with a folder while recorded windows are being reopened, the program shows the
// folder asked for in front of them, and the Window menu names every window by its folder.
TEST_F(StartWithArgumentTest, TheFolderAskedForComesToTheFrontOverTheRestoredWindows)
{
    const std::string asked = m_root.Sub("alpha\\inner");
    WriteRecordString("Window1", m_root.Sub("alpha") + ",0,0,300,200,16777216");
    WriteRecordString("Window2", m_root.Sub("beta") + ",10,10,300,200,0");
    WriteRecordString("Window3", m_root.Sub("gamma") + ",20,20,300,200,536870912");
    StartWith(asked);
    ASSERT_TRUE(m_bStarted);
    PumpFor(100);
    std::vector<HWND> windows = BrowserWindows(MainWnd());
    ASSERT_EQ(4u, windows.size());
    ASSERT_TRUE(Frame()->MDIGetActive());
    EXPECT_EQ(asked, WindowText(Frame()->MDIGetActive()->m_hWnd));
    EXPECT_EQ(asked, WindowText(windows.front())) << "on top";
    EXPECT_TRUE(IsZoomed(windows.front())) << "in the maximised state the others are in";

    std::vector<std::string> captions;
    for (HWND h : windows) captions.push_back(WindowText(h));
    std::sort(captions.begin(), captions.end());
    EXPECT_EQ((std::vector<std::string>{m_root.Sub("alpha"), asked, m_root.Sub("beta"), m_root.Sub("gamma")}), captions);
    std::vector<std::string> menu = WindowMenuEntries(MainWnd());
    ASSERT_EQ(4u, menu.size());
    for (size_t i = 0; i < menu.size(); i++) {
        const std::string number = "&" + std::to_string(i + 1) + " ";
        ASSERT_EQ(number, menu[i].substr(0, number.size())) << menu[i];
        EXPECT_NE(captions.end(), std::find(captions.begin(), captions.end(), menu[i].substr(number.size())))
            << "an entry that names no window: " << menu[i];
    }
}
