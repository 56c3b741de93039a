// Opening a browser window on a folder five levels deep that holds 3,000 items (half
// sub-folders, half files): from the document being opened to the window showing it (tree
// filled, path expanded and selected, shell view window made), against the shell view alone
// making its window for the same folder, in the same run.
//
//   bench_open-window.exe [--runs R] [--items N]
#include "bench/BenchOptions.h"
#include "bench/BenchShellView.h"
#include "bench/BenchStats.h"
#include "support/ScratchFolder.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/FolvaneApp.h"
#include "view/FolvaneDoc.h"
#include "framework/Document.h"
#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "tree/IdList.h"
#include "view/FolvaneView.h"

namespace {

// A folder five levels down holding nItems items, half sub-folders and half files.
std::string MakeFixture(const ScratchFolder& root, int nItems, int* pnMade)
{
    std::string rel;
    for (int level = 1; level <= 5; level++) {
        rel += (level > 1 ? "\\level" : "level") + std::to_string(level);
        root.MakeFolder(rel);
    }
    const std::string path = root.Sub(rel);
    int made = 0;
    for (int i = 0; i < nItems; i++) {
        char name[32];
        std::snprintf(name, sizeof(name), i % 2 ? "file%05d.txt" : "folder%05d", i);
        const std::string item = path + "\\" + name;
        if (i % 2) {
            HANDLE hFile = CreateFileA(item.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (hFile == INVALID_HANDLE_VALUE) continue;
            CloseHandle(hFile);
        } else if (!CreateDirectoryA(item.c_str(), nullptr)) {
            continue;
        }
        made++;
    }
    *pnMade = made;
    return path;
}

}  // namespace

int main(int argc, char** argv)
{
    int nRuns = 5, nItems = 3000;
    CBenchOptions options("bench_open-window [--runs R] [--items N]");
    options.Count("--runs", &nRuns).Count("--items", &nItems);
    if (!options.Parse(argc, argv)) return 2;
    CFolvaneApp app;
    if (!app.InitInstance()) {
        std::fprintf(stderr, "open-window: the application did not start (is Folvane running?)\n");
        return 1;
    }
    // A browser window's usual size, so both sides draw the same right pane.
    if (app.m_pMainWnd) ::MoveWindow(app.m_pMainWnd->m_hWnd, 0, 0, 900, 700, TRUE);
    std::fprintf(stderr, "open-window: making %d items five levels down\n", nItems);
    int rc = 0;
    {
        ScratchFolder root("open-window");
        int nMade = 0;
        const std::string folder = MakeFixture(root, nItems, &nMade);
        if (nMade != nItems) {
            std::fprintf(stderr, "open-window: made only %d items\n", nMade);
            rc = 1;
        }
        CIdListPtr pidl(PathToIdList(folder.c_str()));
        CComPtr<IShellFolder> pDesktop, pFolder;
        if (!pidl || FAILED(SHGetDesktopFolder(pDesktop.Put())) ||
            FAILED(pDesktop->BindToObject(pidl, nullptr, IID_IShellFolder, pFolder.PutVoid()))) {
            std::fprintf(stderr, "open-window: cannot bind %s\n", folder.c_str());
            rc = 1;
        }
        // The shell view alone, in a window the size of the right pane of the program's window.
        CBenchViewHost viewAlone("shell view alone", 0, 0, 560, 480);
        std::vector<double> open, openIdle, alone, aloneIdle;
        for (int run = -1; run < nRuns && rc == 0; run++) {  // run -1 warms the caches up
            // The window of the run before is closed, so the same text opens a new one.
            const std::string& text = folder;
            double t0 = NowMs();
            CDocument* pDoc = app.OpenDocumentFile(text.c_str());
            double t1 = NowMs();
            PumpUntilIdle();
            double t2 = NowMs();
            CFolvaneView* pView = pDoc ? dynamic_cast<CFolvaneView*>(pDoc->GetFirstView()) : nullptr;
            if (!pView || !pView->m_hwndShellView || pView->GetDocument()->m_strFolderPath != folder.c_str()) {
                std::fprintf(stderr, "open-window: the window did not show the folder\n");
                rc = 1;
            }
            app.CloseAllDocuments(FALSE);
            PumpUntilIdle();

            double a0 = NowMs();
            bool bMade = viewAlone.Create(pFolder, FVM_DETAILS) != nullptr;
            double a1 = NowMs();
            PumpUntilIdle();
            double a2 = NowMs();
            viewAlone.Destroy();
            PumpUntilIdle();
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
    PumpUntilIdle();
    app.ExitInstance();
    return rc;
}
