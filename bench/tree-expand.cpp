// The folder tree expanding, re-reading and collapsing folders of 1,000, 3,000 and 10,000
// sub-folders through its real notification path, against the floor (what reading the
// folder costs at least) and the shell view creating its window for the same folder.
//
//   bench_tree-expand.exe [--runs R] [--sizes N,N,...] [--huge] [--dir PATH]
//
// --huge adds a folder of 100,000 sub-folders. The fixture lives in a scratch folder of
// its own under the temporary folder, which an interrupted run leaves to the next to remove. Wine makes a folder in time linear in the number of its siblings
// (a quarter of an hour for 100,000), so bench/tree-expand.sh makes the fixture on the
// Unix side and passes it with --dir: folders n1000, n3000, ... made and removed by the caller.
#include "bench/BenchOptions.h"
#include "bench/BenchShellView.h"
#include "bench/BenchStats.h"
#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "shell/DiskFolders.h"
#include "shell/ItemNames.h"
#include "tree/IdList.h"
#include "tree/ShellTreeCtrl.h"
#include "support/ScratchFolder.h"
#include "support/TreeItems.h"

#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const UINT kTreeId = 1000;
const DWORD kTreeStyle = 0x5001000F;  // the view template's tree control

struct Options {
    std::vector<int> sizes = {1000, 3000, 10000};
    int nRuns = 5;
    std::string dir;  // a fixture made by the caller
};

// One folder per size, each with its sub-folders, under a base folder of the bench's own
// (or one the caller made).
class CFixture {
public:
    explicit CFixture(const std::string& dir) : m_base(dir)
    {
        if (!dir.empty()) return;
        m_pOwned.reset(new ScratchFolder("bench-tree-expand"));
        m_base = m_pOwned->Path();
    }

    const std::string& Base() const { return m_base; }
    static std::string Name(int n) { return "n" + std::to_string(n); }
    bool Make(int n) const
    {
        std::string dir = m_base + "\\" + Name(n);
        if (!m_pOwned) {
            DWORD dwAttrs = GetFileAttributesA(dir.c_str());
            return dwAttrs != INVALID_FILE_ATTRIBUTES && (dwAttrs & FILE_ATTRIBUTE_DIRECTORY);
        }
        if (!CreateDirectoryA(dir.c_str(), nullptr)) return false;
        for (int i = 0; i < n; ++i) {
            char szName[32];
            std::snprintf(szName, sizeof(szName), "\\folder%06d", i);
            if (!CreateDirectoryA((dir + szName).c_str(), nullptr)) return false;
        }
        return true;
    }

private:
    std::string m_base;
    std::unique_ptr<ScratchFolder> m_pOwned;  // made here, unless the caller made it
};

// The tree's host hands the control's notifications to the tree as the explorer view does.
LRESULT CALLBACK TreeHostProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_NOTIFY) {
        CShellTreeCtrl* pTree = reinterpret_cast<CShellTreeCtrl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        LRESULT lResult = 0;
        if (pTree && pTree->HandleTreeNotify(reinterpret_cast<NMHDR*>(lParam), &lResult)) return lResult;
    }
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof(pmc);
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof(pmc));
    return pmc.PagefileUsage;
}

struct Step {
    const char* pszName;
    std::vector<double> totals;  // ms for the whole folder, one per run
};

enum StepIndex { kExpand, kExpandIdle, kReread, kCollapse, kFloor, kView, kDiskChecks, kStepCount };

struct SizeResult {
    int n = 0;
    std::vector<Step> steps;
};

// What reading a folder costs at least: enumerating, attributes, display names and
// the shell's sort, as the tree asks for them.
double FloorMs(IShellFolder* pFolder)
{
    double t0 = NowMs();
    std::vector<CIdListPtr> children;
    CComPtr<IEnumIDList> spEnum;
    if (pFolder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, spEnum.Put()) == S_OK && spEnum) {
        CIdListPtr child;
        ULONG nFetched = 0;
        while (spEnum->Next(1, child.Put(), &nFetched) == S_OK) children.push_back(std::move(child));
    }
    char szName[MAX_PATH];
    std::vector<LPITEMIDLIST> order;
    for (const CIdListPtr& child : children) {
        LPCITEMIDLIST pidl = child;
        SFGAOF attrs = SFGAO_HASSUBFOLDER | SFGAO_FOLDER | SFGAO_SHARE | SFGAO_LINK;
        pFolder->GetAttributesOf(1, &pidl, &attrs);
        GetItemDisplayName(pFolder, pidl, SHGDN_NORMAL, szName);
        order.push_back(child);
    }
    std::sort(order.begin(), order.end(), [pFolder](LPITEMIDLIST a, LPITEMIDLIST b) {
        return static_cast<short>(HRESULT_CODE(pFolder->CompareIDs(0, a, b))) < 0;
    });
    return NowMs() - t0;
}

double ShellViewMs(IShellFolder* pFolder, CBenchViewHost& viewHost)
{
    double t0 = NowMs();
    HWND hwndView = viewHost.Create(pFolder, FVM_DETAILS);
    double ms = NowMs() - t0;
    viewHost.Destroy();
    PumpUntilIdle();
    return hwndView ? ms : -1;
}

// What deciding every child's button and icon from the disk up front would cost.
double DiskChecksMs(IShellFolder* pFolder)
{
    std::vector<std::wstring> paths;
    CComPtr<IEnumIDList> spEnum;
    if (pFolder->EnumObjects(nullptr, SHCONTF_FOLDERS, spEnum.Put()) == S_OK && spEnum) {
        CIdListPtr child;
        ULONG nFetched = 0;
        std::wstring path;
        while (spEnum->Next(1, child.Put(), &nFetched) == S_OK)
            if (GetChildParsingName(pFolder, child, path)) paths.push_back(path);
    }
    double t0 = NowMs();
    for (const std::wstring& path : paths) {
        DiskFolderHasSubFolder(path.c_str());
        DiskFolderHasDesktopIni(path.c_str());
    }
    return NowMs() - t0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options opt;
    bool bHuge = false;
    CBenchOptions options("bench_tree-expand [--runs R] [--sizes N,N,...] [--huge] [--dir PATH]");
    options.Count("--runs", &opt.nRuns).Sizes("--sizes", &opt.sizes).Flag("--huge", &bHuge).Text("--dir", &opt.dir);
    if (!options.Parse(argc, argv)) return 2;
    if (bHuge) opt.sizes.push_back(100000);
    CBenchOle ole;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HINSTANCE hInst = GetModuleHandleA(nullptr);

    WNDCLASSA wc = {};
    wc.hInstance = hInst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpfnWndProc = TreeHostProc;
    wc.lpszClassName = "FolvaneBenchTreeHost";
    RegisterClassA(&wc);
    HWND hwndTreeHost = CreateWindowA("FolvaneBenchTreeHost", "tree-expand", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 320,
                                      600, nullptr, nullptr, hInst, nullptr);
    CBenchViewHost viewHost("shell view", 330, 0, 800, 600);

    CShellTreeCtrl tree;
    HWND hwndTree = CreateWindowExA(0, WC_TREEVIEWA, "Tree1", kTreeStyle, 0, 0, 300, 560, hwndTreeHost,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTreeId)), hInst, nullptr);
    tree.SubclassWindow(hwndTree);
    SetWindowLongPtrA(hwndTreeHost, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&tree));

    CFixture fixture(opt.dir);
    std::vector<int> sizes;
    for (int n : opt.sizes) {
        if (opt.dir.empty()) std::fprintf(stderr, "tree-expand: making %d sub-folders\n", n);
        if (fixture.Make(n)) sizes.push_back(n);
        else std::fprintf(stderr, "tree-expand: could not make %d sub-folders\n", n);
    }

    // The tree as a browser window has it: filled from the desktop, down to the fixture.
    tree.SetSystemImageList();
    tree.FillRoot();
    CIdListPtr pidlBase(PathToIdList(fixture.Base().c_str()));
    if (tree.SelectIdList(pidlBase) != S_OK) {
        std::printf("tree-expand: failed (cannot select %s)\n", fixture.Base().c_str());
        return 1;
    }
    HTREEITEM hBase = tree.GetSelectedItem();
    PumpUntilIdle();

    // Memory per expanded item, on the process's first expansion of 10,000 (or the largest).
    int nMemory = sizes.empty() ? 0 : *std::max_element(sizes.begin(), sizes.end());
    for (int n : sizes) if (n == 10000) nMemory = n;
    double bytesPerItem = 0;
    if (HTREEITEM hItem = nMemory ? ChildByLabel(tree, hBase, CFixture::Name(nMemory)) : nullptr) {
        SIZE_T before = PrivateBytes();
        tree.ExpandWithNotify(hItem, TVE_EXPAND);
        PumpUntilIdle();
        SIZE_T after = PrivateBytes();
        bytesPerItem = (static_cast<double>(after) - static_cast<double>(before)) / nMemory;
        tree.ExpandWithNotify(hItem, TVE_COLLAPSE);
        PumpUntilIdle();
    }

    std::vector<SizeResult> results;
    for (int n : sizes) {
        SizeResult r;
        r.n = n;
        r.steps = {{"tree: ExpandWithNotify(TVE_EXPAND)", {}},
                   {"tree: expand + paint, disk checks on screen", {}},
                   {"tree: RefreshFolderItem, nothing changed", {}},
                   {"tree: ExpandWithNotify(TVE_COLLAPSE)", {}},
                   {"floor: enum + attrs + names + sort", {}},
                   {"shell view: object + window", {}},
                   {"(ref) disk checks of every child", {}}};
        HTREEITEM hItem = ChildByLabel(tree, hBase, CFixture::Name(n));
        CComPtr<IShellFolder> spFolder;
        spFolder.Attach(tree.BindItemFolder(hItem));
        if (!hItem || !spFolder) continue;
        for (int run = 0; run < opt.nRuns; ++run) {
            double t0 = NowMs();
            tree.ExpandWithNotify(hItem, TVE_EXPAND);
            double t1 = NowMs();
            PumpUntilIdle();
            UpdateWindow(hwndTree);
            double t2 = NowMs();
            r.steps[kExpand].totals.push_back(t1 - t0);
            r.steps[kExpandIdle].totals.push_back(t2 - t0);
            // What a notice of a folder made or removed inside costs an open folder.
            t0 = NowMs();
            tree.RefreshFolderItem(hItem);
            r.steps[kReread].totals.push_back(NowMs() - t0);
            PumpUntilIdle();
            t0 = NowMs();
            tree.ExpandWithNotify(hItem, TVE_COLLAPSE);
            r.steps[kCollapse].totals.push_back(NowMs() - t0);
            PumpUntilIdle();
            r.steps[kFloor].totals.push_back(FloorMs(spFolder));
            r.steps[kView].totals.push_back(ShellViewMs(spFolder, viewHost));
            std::fprintf(stderr, "tree-expand: N=%d run %d/%d done\n", n, run + 1, opt.nRuns);
        }
        r.steps[kDiskChecks].totals.push_back(DiskChecksMs(spFolder));
        results.push_back(r);
    }

    std::printf("tree-expand: %d runs each, minimum / median; per item = total / N.\n", opt.nRuns);
    std::printf("Tree in a 300x560 window; shell view in details mode in an 800x600 window.\n\n");
    std::printf("%7s  %-44s %12s %12s %11s %11s\n", "N", "step", "total ms min", "total ms med", "us/item min",
                "us/item med");
    for (const SizeResult& r : results) {
        for (const Step& s : r.steps) {
            double lo = Min(s.totals), med = Median(s.totals);
            std::printf("%7d  %-44s %12.1f %12.1f %11.2f %11.2f\n", r.n, s.pszName, lo, med, 1000.0 * lo / r.n,
                        1000.0 * med / r.n);
        }
        std::printf("\n");
    }
    std::printf("Private bytes per expanded item (%d sub-folders, first expansion): %.0f\n", nMemory, bytesPerItem);

    const SizeResult* pRef = nullptr;
    const SizeResult* pHuge = nullptr;
    for (const SizeResult& r : results) {
        if (r.n == 10000 || (!pRef && &r == &results.back())) pRef = &r;
        if (r.n == 100000) pHuge = &r;
    }
    int rc = 1;
    if (pRef) {
        double expand = Median(pRef->steps[kExpand].totals);
        double view = Median(pRef->steps[kView].totals);
        std::printf("At %d: expansion / floor %.2f (target <= 2), collapse / expansion %.3f (target < 0.1)\n", pRef->n,
                    expand / Median(pRef->steps[kFloor].totals), Median(pRef->steps[kCollapse].totals) / expand);
        if (pHuge) {
            std::printf("Expansion of 100000 / expansion of %d: %.1f (target <= 12)\n", pRef->n,
                        Median(pHuge->steps[kExpand].totals) / expand);
        }
        std::printf("tree-expand: %.3f x\n", view > 0 ? expand / view : 0.0);
        rc = 0;
    } else {
        std::printf("tree-expand: failed\n");
    }

    DestroyWindow(hwndTreeHost);
    return rc;
}
