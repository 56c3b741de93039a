// Whole runs of folvane.exe: the command line opens its folder, and the windows open when
// the user ends the program with File Exit or with the close box are reopened at the next
// start, where and as they were, and nothing else is.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "framework/AfxRes.h"
#include "support/AppFixture.h"
#include "support/BrowserWindows.h"
#include "support/FolvaneProcess.h"
#include "support/OpenWindowsRecord.h"
#include "support/ScratchFolder.h"

namespace {

// The browser windows of a run by title, once `count` are there, and after a while for any more.
std::map<std::string, HWND> Windows(const FolvaneProcess& run, size_t count)
{
    HWND hMain = run.MainWindow(10000);
    WaitFor([&] { return BrowserWindows(hMain).size() == count; }, 5000);
    Sleep(300);
    std::map<std::string, HWND> byTitle;
    for (HWND h : BrowserWindows(hMain)) byTitle[WindowText(h)] = h;
    return byTitle;
}

class Session : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folders.Made()) << m_folders.Path();
        ClearFolvaneProfile();
    }
    void TearDown() override { ClearFolvaneProfile(); }
    // The folders the runs open: made by the test where it needs them to exist.
    ScratchFolder m_folders{"session"};
    std::string Folder(const std::string& name) const { return m_folders.Sub(name); }
    std::string MakeFolder(const std::string& name) const { return m_folders.MakeFolder(name); }
    // Every run has a thread that answers any modal box the program shows, and counts them.
    static constexpr FolvaneProcess::Boxes kAnswerBoxes = FolvaneProcess::Boxes::Answer;

    // Recorded windows and one from the command line open; the user moves one partly out of
    // sight, minimises one, closes one, opens a new one and maximises it, then ends the run.
    // The next run has exactly those four, as they were.
    void ReopenedAfter(FolvaneProcess::Ending ending)
    {
        // The windows show their folders, so the folders exist (a window on a missing one shows
        // the tree's first item instead, and is titled with it).
        const std::string a = MakeFolder("a"), b = MakeFolder("b"), c = MakeFolder("c"), d = MakeFolder("d");
        WriteRecordString("Window1", b + ",40,50,340,250,0");
        WriteRecordString("Window2", c + ",70,80,370,280,0");
        WriteRecordString("Window5", d + ",100,110,300,250,0");
        {
            FolvaneProcess run("\"" + a + ",10,10,310,210,0\"", kAnswerBoxes);
            std::map<std::string, HWND> w = Windows(run, 4);
            ASSERT_EQ(4u, w.size());
            EXPECT_EQ("40,50,340,250", RectText(RectInParent(w[b])));
            SetWindowPos(w[b], nullptr, -20, -10, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
            SendMessageA(w[c], WM_SYSCOMMAND, SC_MINIMIZE, 0);
            SendMessageA(w[d], WM_CLOSE, 0, 0);
            SendMessageA(run.MainWindow(), WM_COMMAND, ID_FILE_NEW, 0);
            w = Windows(run, 4);
            // File New shows the tree's first item: the one window that is none of the folders.
            HWND hNew = nullptr;
            for (const auto& kv : w) {
                if (kv.first != a && kv.first != b && kv.first != c) hNew = kv.second;
            }
            ASSERT_NE(nullptr, hNew);
            SendMessageA(hNew, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            ASSERT_TRUE(IsZoomed(hNew));
            ASSERT_TRUE(run.Close(ending));
            EXPECT_EQ(0u, run.BoxCount());
        }
        EXPECT_EQ(4u, ReadRecordStrings().size());

        FolvaneProcess next("", kAnswerBoxes);
        std::map<std::string, HWND> w = Windows(next, 4);
        ASSERT_EQ(4u, w.size()) << "nothing else comes back";
        EXPECT_EQ("10,10,310,210", RectText(RectInParent(w[a])));
        EXPECT_EQ("-20,-10,280,190", RectText(RectInParent(w[b])));
        EXPECT_TRUE(IsIconic(w[c]));
        HWND hTop = BrowserWindows(next.MainWindow()).front();
        EXPECT_TRUE(IsZoomed(hTop) && hTop != w[a] && hTop != w[b] && hTop != w[c]) << "the new one, maximised on top";
        EXPECT_TRUE(next.Close(FolvaneProcess::Ending::CloseMessage));
        EXPECT_EQ(0u, next.BoxCount());
    }
};

}  // namespace

TEST_F(Session, AFolderOnTheCommandLineOpensOneWindowTitledWithIt)
{
    const std::string folder = MakeFolder("with blank");
    FolvaneProcess run("\"" + folder + "\"", kAnswerBoxes);
    std::map<std::string, HWND> w = Windows(run, 1);
    ASSERT_EQ(1u, w.size());
    EXPECT_EQ(folder, w.begin()->first);
    // The window opened before the frame's first show; the frame is still the active window
    // and the focus is in the browser window.
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof(gui);
    DWORD tid = GetWindowThreadProcessId(run.MainWindow(), nullptr);
    ASSERT_TRUE(GetGUIThreadInfo(tid, &gui));
    EXPECT_EQ(run.MainWindow(), gui.hwndActive);
    HWND hChild = w.begin()->second;
    EXPECT_TRUE(gui.hwndFocus == hChild || IsChild(hChild, gui.hwndFocus)) << "focus " << gui.hwndFocus;
    EXPECT_TRUE(run.Close(FolvaneProcess::Ending::CloseMessage));
    EXPECT_TRUE(ReadRecordStrings().empty()) << "only File Exit and the close box record the windows";
}

TEST_F(Session, AnUnquotedPathWithBlanksTakesItsFirstWord)
{
    MakeFolder("two words");
    FolvaneProcess run(MakeFolder("two") + " words", kAnswerBoxes);
    std::map<std::string, HWND> w = Windows(run, 1);
    ASSERT_EQ(1u, w.size());
    EXPECT_EQ(Folder("two"), w.begin()->first);
    EXPECT_TRUE(run.Close(FolvaneProcess::Ending::FileExit));
}

TEST_F(Session, TheWindowsOpenAtFileExitAreReopenedAtTheNextStart)
{
    ReopenedAfter(FolvaneProcess::Ending::FileExit);
}

TEST_F(Session, TheWindowsOpenAtTheCloseBoxAreReopenedAtTheNextStart)
{
    ReopenedAfter(FolvaneProcess::Ending::CloseBox);
}
