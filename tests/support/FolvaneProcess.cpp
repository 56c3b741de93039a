#include "support/FolvaneProcess.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/AfxRes.h"
#include "support/BuiltPrograms.h"
#include "support/ModalWatcher.h"
#include "support/TopLevelWindows.h"

namespace {

// Every run of the program goes into one job whose processes end when its last handle
// closes, which happens however this test process ends: a test killed half-way (by a
// time-out, say) leaves no copy of the program behind to hold the single-instance event
// and spoil every test after it. Null where no such job can be made.
HANDLE ProgramJob()
{
    static HANDLE s_hJob = [] {
        HANDLE hJob = CreateJobObjectA(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (hJob && !SetInformationJobObject(hJob, JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
            CloseHandle(hJob);
            hJob = nullptr;
        }
        return hJob;
    }();
    return s_hJob;
}

}  // namespace

std::string FolvaneProcess::Path()
{
    std::string folder = TestsFolder();
    folder.erase(folder.size() - 1);               // the tests folder, without its separator
    folder.erase(folder.find_last_of("\\/") + 1);  // the build folder, separator kept
    return folder + "folvane.exe";
}

FolvaneProcess::FolvaneProcess(const std::string& args, Boxes boxes)
{
    m_commandLine = "\"" + Path() + "\"";
    if (!args.empty()) m_commandLine += " " + args;
    std::vector<char> buf(m_commandLine.begin(), m_commandLine.end());
    buf.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    m_bStarted = CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si,
                                &m_pi) != 0;
    if (!m_bStarted) {
        ADD_FAILURE() << "could not start " << m_commandLine << " (error " << GetLastError() << ")";
        return;
    }
    // In the job before it runs a single instruction, so that no copy can escape it.
    HANDLE hJob = ProgramJob();
    EXPECT_TRUE(hJob && AssignProcessToJobObject(hJob, m_pi.hProcess)) << "error " << GetLastError();
    ResumeThread(m_pi.hThread);
    if (boxes == Boxes::Answer) m_pBoxes.reset(new ModalWatcher(IDOK, m_pi.dwProcessId));
}

FolvaneProcess::~FolvaneProcess()
{
    m_pBoxes.reset();
    if (!m_bStarted) return;
    if (Running()) {
        TerminateProcess(m_pi.hProcess, 99);
        WaitForSingleObject(m_pi.hProcess, 5000);
    }
    CloseHandle(m_pi.hThread);
    CloseHandle(m_pi.hProcess);
}

bool FolvaneProcess::Running() const
{
    return m_bStarted && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

HWND FolvaneProcess::MainWindow(DWORD timeoutMs) const
{
    HWND hMain = nullptr;
    WaitFor(
        [&] {
            std::vector<HWND> found = TopLevelWindowsOf(Pid(), true, "Folvane:CMainFrame");
            hMain = found.empty() ? nullptr : found.front();
            return hMain != nullptr || !Running();
        },
        timeoutMs);
    return hMain;
}

bool FolvaneProcess::WaitForEnd(DWORD timeoutMs)
{
    if (!m_bStarted) return false;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(m_pi.hProcess, 5) == WAIT_TIMEOUT) {
        for (HWND h : TopLevelWindowsOf(Pid(), true)) {
            if (std::find(m_windowsSeen.begin(), m_windowsSeen.end(), h) == m_windowsSeen.end())
                m_windowsSeen.push_back(h);
        }
        if (GetTickCount() - start > timeoutMs) return false;
    }
    return true;
}

DWORD FolvaneProcess::ExitCode() const
{
    DWORD code = 0;
    GetExitCodeProcess(m_pi.hProcess, &code);
    return code;
}

bool FolvaneProcess::PostClose(Ending how)
{
    HWND hMain = MainWindow(5000);
    if (!hMain) return false;
    switch (how) {
    case Ending::FileExit:
        return PostMessageA(hMain, WM_COMMAND, ID_APP_EXIT, 0) != 0;
    case Ending::CloseBox:
        return PostMessageA(hMain, WM_SYSCOMMAND, SC_CLOSE, 0) != 0;
    case Ending::CloseMessage:
        return PostMessageA(hMain, WM_CLOSE, 0, 0) != 0;
    }
    return false;
}

bool FolvaneProcess::Close(Ending how)
{
    PostClose(how);
    return WaitForEnd();
}

size_t FolvaneProcess::BoxCount() const
{
    return m_pBoxes ? m_pBoxes->Count() : 0;
}
