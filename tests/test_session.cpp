// Whole runs of folvane.exe: the command line opens its folder, and the windows open when
// the user ends the program with File Exit or with the close box are reopened at the next
// start, where and as they were, and nothing else is.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "framework/AfxRes.h"
#include "support/AppFixture.h"
#include "support/DocTestUtil.h"

namespace {

template <class Pred>
bool WaitFor(Pred pred, DWORD timeoutMs = 10000)
{
    for (const DWORD start = GetTickCount(); !pred(); Sleep(20)) {
        if (GetTickCount() - start > timeoutMs) return false;
    }
    return true;
}

struct Search {
    DWORD pid;
    const char* cls;
    std::vector<HWND> found;
};

BOOL CALLBACK FindVisible(HWND hWnd, LPARAM lParam)
{
    Search* s = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    char cls[64] = "";
    GetClassNameA(hWnd, cls, sizeof(cls));
    if (pid == s->pid && lstrcmpA(cls, s->cls) == 0 && IsWindowVisible(hWnd)) s->found.push_back(hWnd);
    return TRUE;
}

std::vector<HWND> VisibleWindows(DWORD pid, const char* cls)
{
    Search s = {pid, cls, {}};
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// One run of the program (<build>/folvane.exe beside <build>/tests); a thread answers any
// modal box it shows. Ended by force if the test leaves it running.
class CRun {
public:
    explicit CRun(const std::string& args)
    {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string cmd = path;
        cmd.erase(cmd.find_last_of('\\'));
        cmd = "\"" + cmd.substr(0, cmd.find_last_of('\\') + 1) + "folvane.exe\" " + args;
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        const bool started = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi);
        EXPECT_TRUE(started) << cmd;
        if (started) m_watcher = std::thread([this] {
            for (; !m_stop; Sleep(20)) {
                for (HWND h : VisibleWindows(m_pi.dwProcessId, "#32770")) {
                    ++m_nBoxes;
                    PostMessageA(h, WM_COMMAND, IDOK, 0);
                    Sleep(300);
                }
            }
        });
    }
    ~CRun()
    {
        m_stop = true;
        if (!m_watcher.joinable()) return;
        m_watcher.join();
        if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_pi.hProcess, 99);
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }

    HWND Main()
    {
        std::vector<HWND> found;
        WaitFor([&] { return !(found = VisibleWindows(m_pi.dwProcessId, "Folvane:CMainFrame")).empty(); });
        return found.empty() ? nullptr : found[0];
    }
    // The browser windows by title, once `count` are there, and after a while for any more.
    std::map<std::string, HWND> Windows(size_t count)
    {
        HWND hMain = Main();
        WaitFor([&] { return BrowserWindows(hMain).size() == count; }, 5000);
        Sleep(300);
        std::map<std::string, HWND> byTitle;
        for (HWND h : BrowserWindows(hMain)) byTitle[WindowText(h)] = h;
        return byTitle;
    }
    bool End(UINT message, WPARAM wParam)
    {
        PostMessageA(Main(), message, wParam, 0);
        return WaitForSingleObject(m_pi.hProcess, 15000) == WAIT_OBJECT_0;
    }

    std::atomic<int> m_nBoxes{0};

private:
    PROCESS_INFORMATION m_pi = {};
    std::thread m_watcher;
    std::atomic<bool> m_stop{false};
};

class Session : public ::testing::Test {
protected:
    void SetUp() override { ClearFolvaneProfile(); }
    void TearDown() override { ClearFolvaneProfile(); }
    static std::string Folder(const std::string& name) { return TempFolder("folvane-session") + "\\" + name; }

    // Recorded windows and one from the command line open; the user moves one partly out of
    // sight, minimises one, closes one, opens a new one and maximises it, then ends the run.
    // The next run has exactly those four, as they were.
    void ReopenedAfter(UINT message, WPARAM wParam)
    {
        const std::string a = TempFolder(Folder("a")), b = Folder("b"), c = Folder("c"), d = Folder("d");
        WriteRecordString("Window1", b + ",40,50,340,250,0");
        WriteRecordString("Window2", c + ",70,80,370,280,0");
        WriteRecordString("Window5", d + ",100,110,300,250,0");
        {
            CRun run("\"" + a + ",10,10,310,210,0\"");
            std::map<std::string, HWND> w = run.Windows(4);
            ASSERT_EQ(4u, w.size());
            EXPECT_EQ("40,50,340,250", RectText(RectInParent(w[b])));
            SetWindowPos(w[b], nullptr, -20, -10, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
            SendMessageA(w[c], WM_SYSCOMMAND, SC_MINIMIZE, 0);
            SendMessageA(w[d], WM_CLOSE, 0, 0);
            SendMessageA(run.Main(), WM_COMMAND, ID_FILE_NEW, 0);
            w = run.Windows(4);
            ASSERT_EQ(1u, w.count("Folvane1"));
            SendMessageA(w["Folvane1"], WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            ASSERT_TRUE(IsZoomed(w["Folvane1"]));
            ASSERT_TRUE(run.End(message, wParam));
            EXPECT_EQ(0, run.m_nBoxes);
        }
        EXPECT_EQ(4u, ReadRecordStrings().size());

        CRun next("");
        std::map<std::string, HWND> w = next.Windows(4);
        ASSERT_EQ(4u, w.size()) << "nothing else comes back";
        EXPECT_EQ("10,10,310,210", RectText(RectInParent(w[a])));
        EXPECT_EQ("-20,-10,280,190", RectText(RectInParent(w[b])));
        EXPECT_TRUE(IsIconic(w[c]));
        HWND hTop = BrowserWindows(next.Main()).front();
        EXPECT_TRUE(IsZoomed(hTop) && hTop != w[a] && hTop != w[b] && hTop != w[c]) << "the new one, maximised on top";
        EXPECT_TRUE(next.End(WM_CLOSE, 0));
        EXPECT_EQ(0, next.m_nBoxes);
    }
};

}  // namespace

TEST_F(Session, AFolderOnTheCommandLineOpensOneWindowTitledWithIt)
{
    const std::string folder = TempFolder(Folder("with blank"));
    CRun run("\"" + folder + "\"");
    std::map<std::string, HWND> w = run.Windows(1);
    ASSERT_EQ(1u, w.size());
    EXPECT_EQ(folder, w.begin()->first);
    EXPECT_TRUE(run.End(WM_CLOSE, 0));
    EXPECT_TRUE(ReadRecordStrings().empty()) << "only File Exit and the close box record the windows";
}

TEST_F(Session, AnUnquotedPathWithBlanksTakesItsFirstWord)
{
    TempFolder(Folder("two words"));
    CRun run(TempFolder(Folder("two")) + " words");
    std::map<std::string, HWND> w = run.Windows(1);
    ASSERT_EQ(1u, w.size());
    EXPECT_EQ(Folder("two"), w.begin()->first);
    EXPECT_TRUE(run.End(WM_COMMAND, ID_APP_EXIT));
}

TEST_F(Session, TheWindowsOpenAtFileExitAreReopenedAtTheNextStart)
{
    ReopenedAfter(WM_COMMAND, ID_APP_EXIT);
}

TEST_F(Session, TheWindowsOpenAtTheCloseBoxAreReopenedAtTheNextStart)
{
    ReopenedAfter(WM_SYSCOMMAND, SC_CLOSE);
}
