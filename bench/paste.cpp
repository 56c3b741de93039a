// Pasting a copy of a folder: (a) the program's own paste (the files put on the clipboard,
// read back and pasted as Edit > Paste does, which runs the program's own file operation
// under Wine), (b) the shell's file operation, (c) the floor: a plain loop of
// CreateDirectoryW and CopyFileW over the same tree. On a folder of 300 small files, one
// of 3,000 small files in 30 sub-folders, and one 200 MB file. For the small files also (d):
// the same tree of empty files, the least any copy costs.
//
//   bench_paste.exe [--runs R] [--shell-runs S] [--big-mb M] [--only N]
//
// --only N runs the Nth case alone (1, 2 or 3).
//
// The shell's operation costs tens of milliseconds a file under Wine, so it runs S times
// (1 by default) where the others run R times (3). The last line is
//   paste: R x
// with R = median (a) / median (c) for the 3,000-file folder.
#include "bench/BenchOptions.h"
#include "bench/BenchStats.h"
#include "shell/ClipboardFiles.h"
#include "support/ScratchFolder.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Case {
    const char* name;
    int nFolders;        // sub-folders (0: files straight in the folder)
    int nFilesPerFolder;
    int nBigMb;          // one file of this size instead
    size_t Files() const { return nBigMb ? 1 : static_cast<size_t>(nFilesPerFolder) * (nFolders ? nFolders : 1); }
};

void MakeFile(const std::wstring& path, size_t cb)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::vector<char> block(cb < (1u << 20) ? cb : (1u << 20), 'p');
    for (size_t done = 0; done < cb;) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(cb - done < block.size() ? cb - done : block.size());
        if (!WriteFile(h, block.data(), want, &n, nullptr) || !n) break;
        done += n;
    }
    CloseHandle(h);
}

// The folder to copy, "payload", below base.
std::wstring MakeSource(const std::wstring& base, const Case& c)
{
    const std::wstring root = base + L"\\payload";
    CreateDirectoryW(root.c_str(), nullptr);
    if (c.nBigMb) {
        MakeFile(root + L"\\big.bin", static_cast<size_t>(c.nBigMb) << 20);
        return root;
    }
    for (int f = 0; f < (c.nFolders ? c.nFolders : 1); f++) {
        const std::wstring folder = c.nFolders ? root + L"\\sub" + std::to_wstring(f) : root;
        CreateDirectoryW(folder.c_str(), nullptr);
        for (int i = 0; i < c.nFilesPerFolder; i++) MakeFile(folder + L"\\file" + std::to_wstring(i) + L".txt", 1024);
    }
    return root;
}

// The same tree made with the plainest calls there are: (c) copies each file with CopyFileW;
// (d), without bData, makes each file empty, reading and writing no data. Any copy makes
// each of them, so nothing can be more than (b)/(d) times faster than (b).
bool FloorCopy(const std::wstring& from, const std::wstring& to, bool bData = true)
{
    if (!CreateDirectoryW(to.c_str(), nullptr)) return false;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((from + L"\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return true;
    bool bOk = true;
    do {
        const std::wstring name = found.cFileName, source = from + L"\\" + name, dest = to + L"\\" + name;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            bOk = FloorCopy(source, dest, bData) && bOk;
        } else if (bData) {
            bOk = CopyFileW(source.c_str(), dest.c_str(), TRUE) && bOk;
        } else {
            HANDLE hFile = CreateFileW(dest.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            bOk = hFile != INVALID_HANDLE_VALUE && bOk;
            if (hFile != INVALID_HANDLE_VALUE) CloseHandle(hFile);
        }
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return bOk;
}

// (b)
bool ShellCopy(const std::wstring& from, const std::wstring& toFolder)
{
    const std::wstring f = from + L'\0', t = toFolder + L'\0';
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_COPY;
    op.pFrom = f.c_str();
    op.pTo = t.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT | FOF_NOERRORUI;
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

// (a): on the clipboard as a copy, then pasted as Edit > Paste pastes it.
bool ProgramPaste(HWND hwnd, const std::wstring& from, const std::wstring& toFolder)
{
    const size_t cbNames = (from.size() + 2) * sizeof(wchar_t);
    HGLOBAL hDrop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + cbNames);
    DROPFILES* pDrop = static_cast<DROPFILES*>(GlobalLock(hDrop));
    pDrop->pFiles = sizeof(DROPFILES);
    pDrop->fWide = TRUE;
    memcpy(reinterpret_cast<BYTE*>(pDrop) + sizeof(DROPFILES), from.c_str(), from.size() * sizeof(wchar_t));
    GlobalUnlock(hDrop);
    HGLOBAL hEffect = GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
    *static_cast<DWORD*>(GlobalLock(hEffect)) = DROPEFFECT_COPY;
    GlobalUnlock(hEffect);
    if (!OpenClipboard(hwnd)) return false;
    EmptyClipboard();
    SetClipboardData(CF_HDROP, hDrop);
    SetClipboardData(RegisterClipboardFormatA(CFSTR_PREFERREDDROPEFFECT), hEffect);
    CloseClipboard();

    CClipboardFiles files;
    if (!files.Read()) return false;
    const TransferResult result = files.PasteInto(hwnd, toFolder);
    return result.failures.empty() && result.Count(ItemOutcome::kDone) == 1;
}

// The tree's files and their sizes (or only the files) added up.
bool SameSize(const std::wstring& a, const std::wstring& b, bool bSizes = true)
{
    ULARGE_INTEGER fa = {}, fb = {};
    auto size = [bSizes](const std::wstring& path, ULARGE_INTEGER& out) {
        WIN32_FIND_DATAW found;
        std::vector<std::wstring> stack = {path};
        while (!stack.empty()) {
            const std::wstring folder = stack.back();
            stack.pop_back();
            HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
            if (h == INVALID_HANDLE_VALUE) continue;
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) stack.push_back(folder + L"\\" + name);
                else out.QuadPart += (bSizes ? (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) + found.nFileSizeLow : 0) + 1;
            } while (FindNextFileW(h, &found));
            FindClose(h);
        }
    };
    size(a, fa);
    size(b, fb);
    return fa.QuadPart == fb.QuadPart && fa.QuadPart > 0;
}

}  // namespace

int main(int argc, char** argv)
{
    int nRuns = 3, nShellRuns = 1, nBigMb = 200, nOnly = 0;
    CBenchOptions options("bench_paste [--runs R] [--shell-runs S] [--big-mb M] [--only N]");
    options.Count("--runs", &nRuns).Count("--shell-runs", &nShellRuns).Count("--big-mb", &nBigMb).Count("--only", &nOnly, 0);
    if (!options.Parse(argc, argv)) return 2;
    OleInitialize(nullptr);
    HWND hwnd = CreateWindowA("STATIC", "paste", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);

    const Case cases[] = {
        {"300 small files", 0, 300, 0},
        {"3,000 small files in 30 folders", 30, 100, 0},
        {"one large file", 0, 0, nBigMb},
    };
    double ratio = 0;
    for (const Case& c : cases) {
        if (nOnly && &c != &cases[nOnly - 1]) continue;
        ScratchFolder fixture("paste");
        if (!fixture.Made()) {
            std::fprintf(stderr, "cannot make the fixture folder\n");
            return 1;
        }
        const std::wstring base = Widen(fixture.Path());
        const std::wstring source = MakeSource(base, c);
        const std::wstring target = base + L"\\into";
        struct Way {
            const char* name;
            int nRuns;
            std::vector<double> ms;
        } ways[] = {{"(a) program's paste", nRuns, {}},
                    {"(b) shell's operation", nShellRuns, {}},
                    {"(c) floor", nRuns, {}},
                    {"(d) empty files only", c.nBigMb ? 0 : nRuns, {}}};
        for (int run = 0; run < nRuns; run++) {
            for (int w = 0; w < 4; w++) {
                if (run >= ways[w].nRuns) continue;
                RemoveTree(target);
                CreateDirectoryW(target.c_str(), nullptr);
                const double t0 = NowMs();
                const bool bOk = w == 0   ? ProgramPaste(hwnd, source, target)
                                 : w == 1 ? ShellCopy(source, target)
                                 : w == 2 ? FloorCopy(source, target + L"\\payload")
                                          : FloorCopy(source, target + L"\\payload", false);
                const double t = NowMs() - t0;
                if (!bOk || !SameSize(source, target + L"\\payload", w != 3)) {
                    std::fprintf(stderr, "%s: %s did not copy the whole folder\n", c.name, ways[w].name);
                    return 1;
                }
                ways[w].ms.push_back(t);
            }
        }
        RemoveTree(target);
        std::printf("%s:\n", c.name);
        for (const Way& way : ways) {
            if (way.ms.empty()) continue;
            const double median = Median(way.ms);
            std::printf("  %-22s median %9.1f ms over %d run(s), %7.3f ms a file\n", way.name, median,
                        static_cast<int>(way.ms.size()), median / static_cast<double>(c.Files()));
        }
        const double a = Median(ways[0].ms), b = Median(ways[1].ms), floor = Median(ways[2].ms);
        std::printf("  (a)/(c) %.2f, (b)/(a) %.1f", floor > 0 ? a / floor : 0, a > 0 ? b / a : 0);
        if (!ways[3].ms.empty()) std::printf(", (b)/(d) %.1f at most for any copy", b / Median(ways[3].ms));
        std::printf("\n");
        if (c.nFolders == 30) ratio = floor > 0 ? a / floor : 0;
        std::fflush(stdout);
    }
    DestroyWindow(hwnd);
    OleUninitialize();
    std::printf("paste: %.2f x\n", ratio);
    return 0;
}
