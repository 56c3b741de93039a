// The find window's search engine against the floor of any search: a plain recursive
// FindFirstFileExW walk (basic information, large fetch) that matches nothing, over the same
// tree of 100,000 files in 5,000 folders. The engine runs as the window runs it, on its
// worker thread with results handed over in batches, only without drawing them. Also timed:
// a search for text through 1,000 files of 100 KB, against reading the same files whole.
//
//   bench_find.exe [--runs R] [--folders F] [--files-per-folder N] [--text-files T]
#include "bench/BenchOptions.h"
#include "bench/BenchStats.h"
#include "find/FileSearch.h"
#include "find/SearchThread.h"
#include "support/ScratchFolder.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Options {
    int nRuns = 5;
    int nFolders = 5000;
    int nFilesPerFolder = 20;
    int nTextFiles = 1000;
};

const size_t kTextFileBytes = 100 * 1024;
// Sub-folders under each folder of the first level: 50 x (1 + 99) = 5,000 folders.
const int kSubFoldersEach = 99;

bool MakeEmptyFile(const std::wstring& path)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

// nFolders folders two levels deep, each with nFiles files; one name in 20 ends in .log.
bool MakeNameTree(const std::wstring& root, int nFolders, int nFiles)
{
    int nMade = 0;
    for (int top = 0; nMade < nFolders; top++) {
        const std::wstring topPath = root + L"\\dir" + std::to_wstring(top);
        std::vector<std::wstring> folders = {topPath};
        for (int sub = 0; sub < kSubFoldersEach && nMade + static_cast<int>(folders.size()) < nFolders; sub++) {
            folders.push_back(topPath + L"\\sub" + std::to_wstring(sub));
        }
        for (const std::wstring& folder : folders) {
            if (!::CreateDirectoryW(folder.c_str(), nullptr)) return false;
            for (int f = 0; f < nFiles; f++) {
                const wchar_t* ext = f % 20 == 7 ? L".log" : L".txt";
                if (!MakeEmptyFile(folder + L"\\file" + std::to_wstring(f) + ext)) return false;
            }
            nMade++;
        }
    }
    return true;
}

// nFiles files of 100 KB in folders of 100; every tenth holds the text near its end.
bool MakeTextTree(const std::wstring& root, int nFiles)
{
    std::string content(kTextFileBytes, 'x');
    for (size_t i = 0; i < content.size(); i += 64) content[i] = '\n';
    for (int i = 0; i < nFiles; i++) {
        const std::wstring folder = root + L"\\text" + std::to_wstring(i / 100);
        if (i % 100 == 0 && !::CreateDirectoryW(folder.c_str(), nullptr)) return false;
        std::string bytes = content;
        if (i % 10 == 0) bytes.replace(bytes.size() - 100, 11, "Needle here");
        HANDLE h = ::CreateFileW((folder + L"\\page" + std::to_wstring(i) + L".txt").c_str(), GENERIC_WRITE, 0,
                                 nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        const BOOL bOk = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(h);
        if (!bOk || written != bytes.size()) return false;
    }
    return true;
}

// The floor: every entry listed, nothing compared. Returns the entries seen.
unsigned long PlainWalk(const std::wstring& folder)
{
    unsigned long n = 0;
    WIN32_FIND_DATAW data;
    HANDLE h = ::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                  FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        const wchar_t* name = data.cFileName;
        if (name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2]))) continue;
        n++;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) n += PlainWalk(folder + L"\\" + name);
    } while (::FindNextFileW(h, &data));
    ::FindClose(h);
    return n;
}

// Reads every file below the folder whole, as a floor for the text search.
unsigned long long PlainRead(const std::wstring& folder, std::vector<BYTE>& buffer)
{
    unsigned long long cb = 0;
    WIN32_FIND_DATAW data;
    HANDLE h = ::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                  FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::wstring path = folder + L"\\" + data.cFileName;
        if (data.cFileName[0] == L'.') continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            cb += PlainRead(path, buffer);
            continue;
        }
        HANDLE hFile = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (hFile == INVALID_HANDLE_VALUE) continue;
        DWORD n = 0;
        while (::ReadFile(hFile, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr) && n) cb += n;
        ::CloseHandle(hFile);
    } while (::FindNextFileW(h, &data));
    ::FindClose(h);
    return cb;
}

// A search as the window runs it: on the worker, taken in batches (here by polling).
size_t EngineSearch(const CFindCriteria& criteria, CFindSummary& summary)
{
    std::shared_ptr<CSearchThread> pSearch = CSearchThread::Start(criteria, nullptr, 0, 0);
    size_t nFound = 0;
    std::vector<CFoundItem> items;
    for (;;) {
        const bool bEnded = pSearch->TakeFound(items, summary);
        nFound += items.size();
        if (bEnded) break;
        pSearch->Wait(5);
    }
    return nFound;
}

}  // namespace

int main(int argc, char** argv)
{
    Options opt;
    CBenchOptions options("bench_find [--runs R] [--folders F] [--files-per-folder N] [--text-files T]");
    options.Count("--runs", &opt.nRuns)
        .Count("--folders", &opt.nFolders)
        .Count("--files-per-folder", &opt.nFilesPerFolder)
        .Count("--text-files", &opt.nTextFiles);
    if (!options.Parse(argc, argv)) return 2;

    ScratchFolder names("find-names");
    ScratchFolder texts("find-text");
    const std::wstring namesRoot = Widen(names.Path()), textRoot = Widen(texts.Path());
    std::fprintf(stderr, "find: making %d files in %d folders\n", opt.nFolders * opt.nFilesPerFolder, opt.nFolders);
    const double tMake = NowMs();
    if (!names.Made() || !MakeNameTree(namesRoot, opt.nFolders, opt.nFilesPerFolder)) {
        std::printf("find: failed (could not make the tree in %s)\n", names.Path().c_str());
        return 1;
    }
    std::fprintf(stderr, "find: making %d files of 100 KB\n", opt.nTextFiles);
    if (!texts.Made() || !MakeTextTree(textRoot, opt.nTextFiles)) {
        std::printf("find: failed (could not make the text files in %s)\n", texts.Path().c_str());
        return 1;
    }
    std::fprintf(stderr, "find: fixtures made in %.0f s\n", (NowMs() - tMake) / 1000);

    CFindCriteria byName;
    byName.folder = namesRoot;
    byName.names.Parse(L"*.log");
    CFindCriteria byText;
    byText.folder = textRoot;
    byText.text.Prepare(L"needle");

    // One walk first, so that every timed run finds the tree in the same caches.
    const unsigned long nEntries = PlainWalk(namesRoot);
    std::vector<double> engine, direct, walk, text, read;
    size_t nNameHits = 0, nTextHits = 0;
    unsigned long long cbRead = 0;
    std::vector<BYTE> buffer(64 * 1024);
    for (int run = 0; run < opt.nRuns; run++) {
        // Alternated, so that a change in the machine's load falls on both.
        CFindSummary summary;
        double t = NowMs();
        nNameHits = EngineSearch(byName, summary);
        engine.push_back(NowMs() - t);
        t = NowMs();
        {
            struct NullSink : CFindSink {
                void OnFolder(const std::wstring&) override {}
                void OnFound(CFoundItem&&) override {}
            } sink;
            std::atomic<bool> stop{false};
            CFileSearch().Run(byName, sink, stop);
        }
        direct.push_back(NowMs() - t);
        t = NowMs();
        const unsigned long n = PlainWalk(namesRoot);
        walk.push_back(NowMs() - t);
        if (n != nEntries || summary.nFolders != static_cast<unsigned long>(opt.nFolders) + 1) {
            std::printf("find: failed (the walks saw %lu and %lu entries, the engine %lu folders)\n", nEntries, n,
                        summary.nFolders);
            return 1;
        }
        t = NowMs();
        nTextHits = EngineSearch(byText, summary);
        text.push_back(NowMs() - t);
        t = NowMs();
        cbRead = PlainRead(textRoot, buffer);
        read.push_back(NowMs() - t);
        std::fprintf(stderr, "find: run %d/%d done\n", run + 1, opt.nRuns);
    }

    std::printf("find: %d runs each, minimum / median in ms.\n", opt.nRuns);
    std::printf("Name tree: %lu entries (%d folders); text tree: %d files of %u KB (%.0f MB read).\n\n", nEntries,
                opt.nFolders, opt.nTextFiles, static_cast<unsigned>(kTextFileBytes / 1024),
                static_cast<double>(cbRead) / (1024 * 1024));
    std::printf("%-52s %10s %10s %8s\n", "step", "min", "median", "found");
    const struct {
        const char* name;
        const std::vector<double>& times;
        long found;
    } rows[] = {
        {"engine, names *.log (worker, batches, no drawing)", engine, static_cast<long>(nNameHits)},
        {"engine on this thread, no hand-over", direct, -1},
        {"floor: FindFirstFileExW walk matching nothing", walk, -1},
        {"engine, text \"needle\" in every file", text, static_cast<long>(nTextHits)},
        {"plain read of the same files, whole", read, -1},
    };
    for (const auto& r : rows) {
        std::printf("%-52s %10.1f %10.1f", r.name, Min(r.times), Median(r.times));
        if (r.found >= 0) std::printf(" %8ld", r.found);
        std::printf("\n");
    }
    const double textMB = static_cast<double>(opt.nTextFiles) * kTextFileBytes / (1024 * 1024);
    std::printf("\nText search: %.0f ms median for %d files (%.0f MB/s), %.2f x a plain read.\n", Median(text),
                opt.nTextFiles, Median(text) > 0 ? textMB * 1000 / Median(text) : 0.0,
                Median(read) > 0 ? Median(text) / Median(read) : 0.0);
    std::printf("find: %.2f x\n", Median(walk) > 0 ? Median(engine) / Median(walk) : 0.0);
    return 0;
}
