// Opening a browser window on a folder five levels deep that holds 3,000 items (half
// sub-folders, half files): from the document being opened to the window showing it (tree
// filled, path expanded and selected, shell view window made), against the shell view alone
// making its window for the same folder, in the same run.
//
//   bench_open-window.exe [--runs R] [--items N]
#include "bench/BenchStats.h"
#include "bench/ShellViewHost.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/FolvaneApp.h"
#include "app/FolvaneDoc.h"
#include "framework/Document.h"
#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "tree/IdList.h"
#include "view/FolvaneView.h"

namespace {

const char kPrefix[] = "folvane-open-window-";

std::string TempDir()
{
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    char longTemp[MAX_PATH] = "";
    if (GetLongPathNameA(temp, longTemp, MAX_PATH)) lstrcpyA(temp, longTemp);
    return temp;
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
            else DeleteFileA(child.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

// What an interrupted earlier run left behind goes first.
void RemoveLeftovers()
{
    std::string temp = TempDir();
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((temp + kPrefix + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> found;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) found.push_back(temp + fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    for (const std::string& path : found) {
        std::fprintf(stderr, "open-window: removing %s, left by an earlier run\n", path.c_str());
        RemoveTree(path);
    }
}

class Fixture {
public:
    explicit Fixture(int nItems)
    {
        m_root = TempDir() + kPrefix + std::to_string(GetCurrentProcessId());
        std::string path = m_root;
        CreateDirectoryA(path.c_str(), nullptr);
        for (int level = 1; level <= 5; level++) {
            path += "\\level" + std::to_string(level);
            CreateDirectoryA(path.c_str(), nullptr);
        }
        m_folder = path;
        int made = 0;
        for (int i = 0; i < nItems; i++) {
            char name[32];
            std::snprintf(name, sizeof(name), i % 2 ? "file%05d.txt" : "folder%05d", i);
            std::string item = path + "\\" + name;
            if (i % 2) {
                HANDLE hFile = CreateFileA(item.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
                if (hFile == INVALID_HANDLE_VALUE) continue;
                CloseHandle(hFile);
            } else if (!CreateDirectoryA(item.c_str(), nullptr)) {
                continue;
            }
            made++;
        }
        m_nMade = made;
    }
    ~Fixture() { RemoveTree(m_root); }
    const std::string& Folder() const { return m_folder; }
    int Made() const { return m_nMade; }

private:
    std::string m_root, m_folder;
    int m_nMade = 0;
};

void PumpAll()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    int nRuns = 5, nItems = 3000;
    for (int i = 1; i + 1 < argc; i++) {
        if (!std::strcmp(argv[i], "--runs")) nRuns = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--items")) nItems = std::atoi(argv[++i]);
    }
    RemoveLeftovers();
    CFolvaneApp app;
    if (!app.InitInstance()) {
        std::fprintf(stderr, "open-window: the application did not start (is Folvane running?)\n");
        return 1;
    }
    std::fprintf(stderr, "open-window: making %d items five levels down\n", nItems);
    int rc = 0;
    {
        Fixture fixture(nItems);
        if (fixture.Made() != nItems) {
            std::fprintf(stderr, "open-window: made only %d items\n", fixture.Made());
            rc = 1;
        }
        CShellViewHost host;
        std::vector<double> open, openIdle, alone, aloneIdle;
        for (int run = -1; run < nRuns && rc == 0; run++) {  // run -1 warms the caches up
            // The window of the run before is closed, so the same text opens a new one.
            std::string text = fixture.Folder();
            double t0 = NowMs();
            CDocument* pDoc = app.OpenDocumentFile(text.c_str());
            double t1 = NowMs();
            PumpAll();
            double t2 = NowMs();
            CFolvaneView* pView = pDoc ? dynamic_cast<CFolvaneView*>(pDoc->GetFirstView()) : nullptr;
            if (!pView || !pView->m_hwndShellView || pView->GetDocument()->m_strFolderPath != fixture.Folder().c_str()) {
                std::fprintf(stderr, "open-window: the window did not show the folder\n");
                rc = 1;
            }
            app.CloseAllDocuments(FALSE);
            PumpAll();

            double a0 = NowMs();
            bool bMade = host.Create(fixture.Folder().c_str());
            double a1 = NowMs();
            PumpAll();
            double a2 = NowMs();
            host.Destroy();
            PumpAll();
            if (!bMade) {
                std::fprintf(stderr, "open-window: the shell view alone could not be made\n");
                rc = 1;
            }
            if (run >= 0) {
                open.push_back(t1 - t0);
                openIdle.push_back(t2 - t0);
                alone.push_back(a1 - a0);
                aloneIdle.push_back(a2 - a0);
            }
        }
        if (rc == 0) {
            std::printf("| step (%d items, %d runs) | min ms | median ms |\n", nItems, nRuns);
            std::printf("|---|---|---|\n");
            std::printf("| open window: document to shell view window | %.1f | %.1f |\n", Min(open), Median(open));
            std::printf("| open window: + messages until idle | %.1f | %.1f |\n", Min(openIdle), Median(openIdle));
            std::printf("| shell view alone: object + window | %.1f | %.1f |\n", Min(alone), Median(alone));
            std::printf("| shell view alone: + messages until idle | %.1f | %.1f |\n", Min(aloneIdle), Median(aloneIdle));
            // Both until idle: the program's window is made hidden and paints once shown,
            // while the shell view alone makes its list in a window already on screen.
            std::printf("open-window: %.2f x\n", Median(openIdle) / Median(aloneIdle));
        }
    }
    if (app.m_pMainWnd) app.m_pMainWnd->DestroyWindow();
    PumpAll();
    app.ExitInstance();
    return rc;
}
