// Whole runs of folvane.exe for process tests, and waiting for what they do.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class ModalWatcher;

// Waits until the predicate holds or the time is up, pumping this thread's messages meanwhile
// so that a window of the test's own keeps answering. False if the time ran out.
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

// One run of folvane.exe, started with the given command-line arguments and ended by force
// if the test leaves it running.
class FolvaneProcess {
public:
    // Whether a thread answers (with OK) every modal box the program shows.
    enum class Boxes { Leave, Answer };
    // How the user ends the program: File Exit, the close box, or a plain WM_CLOSE to the
    // main window (as another program would send it).
    enum class Ending { FileExit, CloseBox, CloseMessage };

    // The program: <build>/folvane.exe, beside <build>/tests where the test executables are.
    static std::string Path();

    explicit FolvaneProcess(const std::string& args = "", Boxes boxes = Boxes::Leave);
    ~FolvaneProcess();
    FolvaneProcess(const FolvaneProcess&) = delete;
    FolvaneProcess& operator=(const FolvaneProcess&) = delete;

    bool Started() const { return m_bStarted; }
    const std::string& CommandLine() const { return m_commandLine; }
    DWORD Pid() const { return m_pi.dwProcessId; }
    bool Running() const;

    // The main window (the visible window of class "Folvane:CMainFrame"), waited for until it
    // shows, the process ends or the time is up; null if it did not show.
    HWND MainWindow(DWORD timeoutMs = 15000) const;

    // Waits for the end; meanwhile records every visible top-level window the process has.
    bool WaitForEnd(DWORD timeoutMs = 15000);
    const std::vector<HWND>& WindowsSeen() const { return m_windowsSeen; }
    DWORD ExitCode() const;

    // Asks the main window to end the program as the user would, without waiting.
    bool PostClose(Ending how = Ending::CloseBox);
    // Asks, then waits for the end.
    bool Close(Ending how = Ending::CloseBox);

    // The modal boxes answered so far (with Boxes::Answer).
    size_t BoxCount() const;

private:
    std::string m_commandLine;
    bool m_bStarted = false;
    PROCESS_INFORMATION m_pi = {};
    std::vector<HWND> m_windowsSeen;
    std::unique_ptr<ModalWatcher> m_pBoxes;
};
