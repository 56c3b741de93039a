// Start-up time: from process creation to the main window shown, for folvane.exe and, as
// the peer under the same Wine, a bare program that shows one window. Prints a table and
// the ratio of the medians.
//
//   bench_startup.exe [--runs R]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchOptions.h"
#include "bench/BenchStats.h"

namespace {

std::string Beside(const char* relative)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    s = s.substr(0, s.find_last_of('\\') + 1);
    return s + relative;
}

// Milliseconds until a visible top-level window of the class shows, or -1.
double TimeToWindow(const std::string& exe, const char* windowClass)
{
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::string cmd = "\"" + exe + "\"";
    double start = NowMs();
    if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    double shown = -1;
    HWND hWnd = nullptr;
    while (NowMs() - start < 30000) {
        hWnd = FindWindowA(windowClass, nullptr);
        if (hWnd && IsWindowVisible(hWnd)) {
            shown = NowMs() - start;
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
        Sleep(1);
    }
    // WM_CLOSE, not the close box: the program records nothing for its next start.
    if (hWnd) PostMessageA(hWnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return shown;
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 9;
    CBenchOptions options("bench_startup [--runs R]  (R at least 3)");
    options.Count("--runs", &runs, 3);
    if (!options.Parse(argc, argv)) return 2;
    std::string folvane = Beside("..\\folvane.exe");
    std::string bare = Beside("bench_bare_window.exe");
    std::vector<double> tf, tb;
    // Warm the file cache and the Wine services once each.
    TimeToWindow(folvane, "Folvane:CMainFrame");
    TimeToWindow(bare, "BareWindow");
    for (int i = 0; i < runs; i++) {
        double a = TimeToWindow(folvane, "Folvane:CMainFrame");
        double b = TimeToWindow(bare, "BareWindow");
        if (a < 0 || b < 0) {
            printf("run %d: a window did not appear\n", i + 1);
            return 1;
        }
        tf.push_back(a);
        tb.push_back(b);
    }
    printf("%-22s %10s %10s\n", "program", "min ms", "median ms");
    printf("%-22s %10.1f %10.1f\n", "folvane.exe", Min(tf), Median(tf));
    printf("%-22s %10.1f %10.1f\n", "bare one-window exe", Min(tb), Median(tb));
    printf("(%d runs each, alternating)\n", runs);
    printf("startup: %.2f ratio\n", Median(tf) / Median(tb));
    return 0;
}
