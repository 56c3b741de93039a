// The cost of browser windows that follow the disk: (1) the processor time the application's
// own message loop uses over a few seconds with 10 windows open on a quiet disk, with the
// folders watched and, as the floor, with watching off; (2) how often the right pane is read
// again while another program (a thread of this one, writing as fast as it can) makes
// 10,000 files in the folder on show, and how long until it lists them all.
//
//   bench_idle.exe [--seconds S] [--windows W] [--files N]
#include "bench/BenchOptions.h"
#include "bench/BenchShellView.h"
#include "support/ScratchFolder.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/FolvaneApp.h"
#include "framework/Document.h"
#include "frames/MainFrame.h"
#include "shell/Wine.h"
#include "view/FolvaneDoc.h"
#include "view/FolvaneView.h"

namespace {

double ProcessCpuMs()
{
    FILETIME ftCreate, ftExit, ftKernel, ftUser;
    if (!GetProcessTimes(GetCurrentProcess(), &ftCreate, &ftExit, &ftKernel, &ftUser)) return 0;
    auto ms = [](const FILETIME& ft) {
        return static_cast<double>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 10000.0;
    };
    return ms(ftKernel) + ms(ftUser);
}

// Runs the application's own message loop (waiting as the program waits) for a while.
void RunLoopFor(CWinApp& app, DWORD milliseconds)
{
    const UINT_PTR idTimer = SetTimer(nullptr, 0, milliseconds, nullptr);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) app.PumpMessage();
    KillTimer(nullptr, idTimer);
}

std::vector<CFolvaneView*> OpenWindows(CFolvaneApp& app, const ScratchFolder& root, int nWindows)
{
    std::vector<CFolvaneView*> views;
    for (int i = 0; i < nWindows; i++) {
        CDocument* pDoc = app.OpenDocumentFile(root.Sub("w" + std::to_string(i)).c_str());
        if (CFolvaneView* pView = pDoc ? dynamic_cast<CFolvaneView*>(pDoc->GetFirstView()) : nullptr) views.push_back(pView);
    }
    PumpUntilIdle();
    return views;
}

size_t ListCount(CFolvaneView* pView)
{
    HWND hList = pView->m_hwndShellView ? FindWindowExA(pView->m_hwndShellView, nullptr, "SysListView32", nullptr) : nullptr;
    return hList ? static_cast<size_t>(SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    int nSeconds = 5, nWindows = 10, nFiles = 10000;
    CBenchOptions options("bench_idle [--seconds S] [--windows W] [--files N]");
    options.Count("--seconds", &nSeconds).Count("--windows", &nWindows).Count("--files", &nFiles);
    if (!options.Parse(argc, argv)) return 2;
    SetEnvironmentVariableA("FOLVANE_WATCH_DISK", "1");
    CFolvaneApp app;
    if (!app.InitInstance()) {
        std::fprintf(stderr, "idle: the application did not start (is Folvane running?)\n");
        return 1;
    }
    int rc = 0;
    {
        ScratchFolder root("idle");
        for (int i = 0; i < nWindows; i++) {
            root.MakeFolder("w" + std::to_string(i) + "\\sub");
            root.MakeFile("w" + std::to_string(i) + "\\file.txt", "x");
        }
        root.MakeFolder("burst");
        const DWORD dwIdleMs = static_cast<DWORD>(nSeconds) * 1000;
        double cpu[2] = {0, 0};
        size_t nWatched[2] = {0, 0};
        for (int pass = 0; pass < 2 && rc == 0; pass++) {
            // Pass 0, the floor: the program as on Windows, watching nothing itself.
            SetWineCheckForTesting(pass == 0 ? WineCheck::Windows : WineCheck::Detect);
            std::vector<CFolvaneView*> views = OpenWindows(app, root, nWindows);
            if (static_cast<int>(views.size()) != nWindows) {
                std::fprintf(stderr, "idle: only %zu windows opened\n", views.size());
                rc = 1;
            }
            nWatched[pass] = static_cast<CMainFrame*>(app.m_pMainWnd)->m_diskWatch.Watched().size();
            RunLoopFor(app, 500);  // what opening left to do
            const double c0 = ProcessCpuMs();
            RunLoopFor(app, dwIdleMs);
            cpu[pass] = ProcessCpuMs() - c0;
            app.CloseAllDocuments(FALSE);
            PumpUntilIdle();
        }
        SetWineCheckForTesting(WineCheck::Detect);
        if (!IsRunningUnderWine()) std::fprintf(stderr, "idle: not under Wine, nothing is watched by the program\n");

        // The burst: one window on the folder, another program filling it.
        CDocument* pDoc = rc == 0 ? app.OpenDocumentFile(root.Sub("burst").c_str()) : nullptr;
        CFolvaneView* pView = pDoc ? dynamic_cast<CFolvaneView*>(pDoc->GetFirstView()) : nullptr;
        unsigned nRereads = 0;
        double dSeconds = 0;
        if (!pView) {
            std::fprintf(stderr, "idle: the burst window did not open\n");
            rc = 1;
        } else {
            RunLoopFor(app, 500);
            const unsigned nBefore = pView->m_live.m_nShownRereads;
            std::atomic<bool> bDone{false};
            const std::string folder = root.Sub("burst");
            const DWORD t0 = GetTickCount();
            std::thread writer([&] {
                for (int i = 0; i < nFiles; i++) {
                    const std::string path = folder + "\\f" + std::to_string(i) + ".txt";
                    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
                    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
                }
                bDone = true;
            });
            while (!(bDone && ListCount(pView) >= static_cast<size_t>(nFiles)) && GetTickCount() - t0 < 120000)
                RunLoopFor(app, 100);
            dSeconds = (GetTickCount() - t0) / 1000.0;
            writer.join();
            RunLoopFor(app, 2 * CDiskWatch::kLongestMs);  // anything still to come
            nRereads = pView->m_live.m_nShownRereads - nBefore;
            if (ListCount(pView) < static_cast<size_t>(nFiles)) {
                std::fprintf(stderr, "idle: the right pane lists %zu of %d files\n", ListCount(pView), nFiles);
                rc = 1;
            }
        }
        if (rc == 0) {
            std::printf("| %d windows, loop running %d s | folders watched | processor ms |\n", nWindows, nSeconds);
            std::printf("|---|---|---|\n");
            std::printf("| watching off (floor) | %zu | %.1f |\n", nWatched[0], cpu[0]);
            std::printf("| watching on | %zu | %.1f |\n", nWatched[1], cpu[1]);
            std::printf("\n%d files made in the folder on show: right pane read %u times, all listed after %.1f s\n",
                        nFiles, nRereads, dSeconds);
            std::printf("burst: %u re-reads\n", nRereads);
            std::printf("idle: %.1f ms\n", cpu[1] - cpu[0]);
        }
    }
    if (app.m_pMainWnd) app.m_pMainWnd->DestroyWindow();
    PumpUntilIdle();
    app.ExitInstance();
    return rc;
}
