// What the folder tree does for each child of a folder, timed on folders of 1,000,
// 3,000 and 10,000 sub-folders, against the shell view creating its window for the
// same folder.
//
//   bench_enumerate.exe [--runs R] [--sample K] [--all-icons] [--sizes N,N,...]
//
// The icon calls by item identifier list cost time linear in the number of siblings,
// so over a whole folder they grow with the square of N. By default they are timed on
// K evenly spaced items (100) and their totals extrapolated to N; --all-icons times
// every item (several minutes for 10,000).
#include "bench/BenchOptions.h"
#include "bench/BenchShellView.h"
#include "bench/BenchStats.h"
#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "tree/IdList.h"
#include "support/ScratchFolder.h"

#include <windows.h>
#include <shlobj.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const SFGAOF kTreeAttributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_SHARE | SFGAO_LINK |
                               SFGAO_FILESYSTEM | SFGAO_CANRENAME | SFGAO_CANDELETE |
                               SFGAO_COMPRESSED | SFGAO_DROPTARGET;
const UINT kIconFlags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;

struct Options {
    std::vector<int> sizes = {1000, 3000, 10000};
    int nRuns = 5;
    int nSample = 100;
    bool bAllIcons = false;
};

// A temporary folder with N sub-folders, made afresh (a leftover of an interrupted run
// goes first) and removed again when it goes.
class CFixtureFolder {
public:
    explicit CFixtureFolder(int nChildren) : m_folder("enumerate-" + std::to_string(nChildren))
    {
        if (!m_folder.Made()) return;
        for (int i = 0; i < nChildren; ++i) {
            char szName[32];
            std::snprintf(szName, sizeof(szName), "folder%05d", i);
            if (!CreateDirectoryA(m_folder.Sub(szName).c_str(), nullptr)) return;
            ++m_nChildren;
        }
    }
    CFixtureFolder(const CFixtureFolder&) = delete;
    CFixtureFolder& operator=(const CFixtureFolder&) = delete;

    const std::string& Path() const { return m_folder.Path(); }
    size_t Count() const { return m_nChildren; }

private:
    ScratchFolder m_folder;
    size_t m_nChildren = 0;
};

// The times of one step over all runs, each in ms for the whole folder.
struct Step {
    Step(const char* psz) : pszName(psz) {}
    const char* pszName;
    std::vector<double> totals;
    bool bExtrapolated = false;
    int nFailures = 0;
};

struct SizeResult {
    int n = 0;
    std::vector<Step> steps;
    double compares = 0;
};

enum StepIndex { kEnum, kAttr, kName, kSort, kIcon, kOpenIcon, kTreeSum, kIconByAttr, kView, kViewIdle, kStepCount };

SizeResult RunSize(int n, const Options& opt, CBenchViewHost& viewHost)
{
    SizeResult result;
    result.n = n;
    result.steps = {"EnumObjects + Next",
                    "GetAttributesOf",
                    "GetDisplayNameOf (normal)",
                    "CompareIDs, sort",
                    "SHGetFileInfo icon by list",
                    "SHGetFileInfo open icon by list",
                    "= tree, per child (sum)",
                    "(ref) SHGetFileInfo by attributes",
                    "shell view: object + window",
                    "shell view: + messages until idle"};

    std::fprintf(stderr, "enumerate: making %d sub-folders\n", n);
    CFixtureFolder fixture(n);
    if (fixture.Count() != static_cast<size_t>(n)) {
        std::fprintf(stderr, "enumerate: could not make %d sub-folders in %s\n", n, fixture.Path().c_str());
        result.n = 0;
        return result;
    }
    CIdListPtr pidlFolder(PathToIdList(fixture.Path().c_str()));
    CComPtr<IShellFolder> spDesktop;
    CComPtr<IShellFolder> spFolder;
    if (!pidlFolder || FAILED(SHGetDesktopFolder(spDesktop.Put())) ||
        FAILED(spDesktop->BindToObject(pidlFolder, nullptr, IID_IShellFolder, spFolder.PutVoid()))) {
        std::fprintf(stderr, "enumerate: cannot bind %s\n", fixture.Path().c_str());
        result.n = 0;
        return result;
    }

    double compares = 0;
    for (int run = 0; run < opt.nRuns; ++run) {
        std::vector<CIdListPtr> children;
        children.reserve(static_cast<size_t>(n));

        double t0 = NowMs();
        CComPtr<IEnumIDList> spEnum;
        if (spFolder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, spEnum.Put()) == S_OK && spEnum) {
            CIdListPtr child;
            ULONG nFetched = 0;
            while (spEnum->Next(1, child.Put(), &nFetched) == S_OK && nFetched == 1)
                children.push_back(std::move(child));
        }
        double t1 = NowMs();
        result.steps[kEnum].totals.push_back(t1 - t0);
        if (children.size() != static_cast<size_t>(n)) ++result.steps[kEnum].nFailures;

        t0 = NowMs();
        for (const CIdListPtr& child : children) {
            LPCITEMIDLIST pidl = child;
            SFGAOF attrs = kTreeAttributes;
            if (FAILED(spFolder->GetAttributesOf(1, &pidl, &attrs)) || !(attrs & SFGAO_FOLDER))
                ++result.steps[kAttr].nFailures;
        }
        result.steps[kAttr].totals.push_back(NowMs() - t0);

        t0 = NowMs();
        char szName[MAX_PATH];
        for (const CIdListPtr& child : children)
            if (!GetItemDisplayName(spFolder, child, SHGDN_NORMAL, szName)) ++result.steps[kName].nFailures;
        result.steps[kName].totals.push_back(NowMs() - t0);

        std::vector<LPITEMIDLIST> order;
        for (const CIdListPtr& child : children) order.push_back(child);
        long nCompares = 0;
        IShellFolder* pFolder = spFolder;
        t0 = NowMs();
        std::sort(order.begin(), order.end(), [pFolder, &nCompares](LPITEMIDLIST a, LPITEMIDLIST b) {
            ++nCompares;
            return static_cast<short>(HRESULT_CODE(pFolder->CompareIDs(0, a, b))) < 0;
        });
        result.steps[kSort].totals.push_back(NowMs() - t0);
        compares = static_cast<double>(nCompares);

        // The icon calls take absolute lists; making them is not what is timed.
        std::vector<size_t> sample;
        size_t nSample = opt.bAllIcons ? order.size() : std::min(order.size(), static_cast<size_t>(opt.nSample));
        for (size_t i = 0; i < nSample; ++i) sample.push_back(i * order.size() / nSample);
        std::vector<CIdListPtr> absolute;
        std::vector<std::string> paths;
        for (size_t i : sample) {
            absolute.emplace_back(IdListConcat(pidlFolder, order[i]));
            GetItemDisplayName(spFolder, order[i], SHGDN_NORMAL, szName);
            paths.push_back(fixture.Path() + "\\" + szName);
        }
        double scale = nSample ? static_cast<double>(order.size()) / static_cast<double>(nSample) : 0;
        bool bExtrapolated = nSample != order.size();

        const struct { int step; UINT flags; } iconCalls[] = {{kIcon, kIconFlags}, {kOpenIcon, kIconFlags | SHGFI_OPENICON}};
        for (const auto& call : iconCalls) {
            t0 = NowMs();
            for (const CIdListPtr& pidl : absolute) {
                SHFILEINFOA sfi = {};
                if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(pidl.Get()), 0, &sfi, sizeof(sfi), call.flags))
                    ++result.steps[call.step].nFailures;
            }
            result.steps[call.step].totals.push_back((NowMs() - t0) * scale);
            result.steps[call.step].bExtrapolated = bExtrapolated;
        }

        t0 = NowMs();
        for (const std::string& path : paths) {
            SHFILEINFOA sfi = {};
            if (!SHGetFileInfoA(path.c_str(), FILE_ATTRIBUTE_DIRECTORY, &sfi, sizeof(sfi),
                                SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
                ++result.steps[kIconByAttr].nFailures;
        }
        result.steps[kIconByAttr].totals.push_back((NowMs() - t0) * scale);
        result.steps[kIconByAttr].bExtrapolated = bExtrapolated;

        double sum = 0;
        for (int s = kEnum; s < kTreeSum; ++s) sum += result.steps[s].totals.back();
        result.steps[kTreeSum].totals.push_back(sum);
        result.steps[kTreeSum].bExtrapolated = bExtrapolated;

        // The peer: the shell view showing the same folder.
        t0 = NowMs();
        HWND hwndView = viewHost.Create(spFolder, FVM_ICON, 0);
        t1 = NowMs();
        PumpUntilIdle();
        double t2 = NowMs();
        if (!hwndView) ++result.steps[kView].nFailures;
        result.steps[kView].totals.push_back(t1 - t0);
        result.steps[kViewIdle].totals.push_back(t2 - t0);
        viewHost.Destroy();
        PumpUntilIdle();
        std::fprintf(stderr, "enumerate: N=%d run %d/%d done\n", n, run + 1, opt.nRuns);
    }
    result.compares = compares;
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    Options opt;
    CBenchOptions options("bench_enumerate [--runs R] [--sample K] [--all-icons] [--sizes N,N,...]");
    options.Count("--runs", &opt.nRuns).Count("--sample", &opt.nSample).Flag("--all-icons", &opt.bAllIcons);
    options.Sizes("--sizes", &opt.sizes);
    if (!options.Parse(argc, argv)) return 2;
    CBenchOle ole;
    CBenchViewHost viewHost("enumerate", 0, 0, 800, 600);
    PumpUntilIdle();

    // The shell's first icon lookup and desktop folder fill caches once per process.
    {
        CComPtr<IShellFolder> spDesktop;
        SHGetDesktopFolder(spDesktop.Put());
        SHFILEINFOA sfi = {};
        static const USHORT kDesktop = 0;
        SHGetFileInfoA(reinterpret_cast<LPCSTR>(&kDesktop), 0, &sfi, sizeof(sfi), kIconFlags);
    }

    std::vector<SizeResult> results;
    for (int n : opt.sizes) results.push_back(RunSize(n, opt, viewHost));

    std::printf("enumerate: %d runs each, minimum / median; per item = total / N.\n", opt.nRuns);
    if (opt.bAllIcons)
        std::printf("Icon calls timed on every item.\n");
    else
        std::printf("Icon calls (*) timed on %d evenly spaced items per run, totals extrapolated to N.\n", opt.nSample);
    std::printf("Shell view in large-icon mode in an 800x600 window.\n\n");
    std::printf("%6s  %-36s %12s %12s %12s %12s\n", "N", "step", "total ms min", "total ms med", "us/item min",
                "us/item med");
    for (const SizeResult& r : results) {
        if (!r.n) continue;
        for (const Step& s : r.steps) {
            double lo = Min(s.totals), med = Median(s.totals);
            std::printf("%6d  %-36s %12.2f %12.2f %12.2f %12.2f%s", r.n,
                        (std::string(s.pszName) + (s.bExtrapolated ? " *" : "")).c_str(), lo, med,
                        1000.0 * lo / r.n, 1000.0 * med / r.n, s.nFailures ? "" : "\n");
            if (s.nFailures) std::printf("   (%d failures)\n", s.nFailures);
        }
        std::printf("%6d  %-36s %12.0f\n\n", r.n, "(CompareIDs calls in the sort)", r.compares);
    }

    // The figure that decides how the tree gets its icons: filling a level the way the
    // tree does, against the shell view showing the same folder.
    const SizeResult* pRef = nullptr;
    for (const SizeResult& r : results)
        if (r.n && (!pRef || r.n == 3000)) pRef = &r;
    int rc = 1;
    if (pRef) {
        double tree = Median(pRef->steps[kTreeSum].totals);
        double view = Median(pRef->steps[kView].totals);
        std::printf("Tree fill with icons by list / shell view window, %d sub-folders (medians): %.0f ms / %.0f ms\n",
                    pRef->n, tree, view);
        std::printf("enumerate: %.1f x\n", view > 0 ? tree / view : 0.0);
        rc = 0;
    } else {
        std::printf("enumerate: failed\n");
    }
    return rc;
}
