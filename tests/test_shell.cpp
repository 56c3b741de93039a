// The shell access layer's holders, the Wine check, and the allocator spy that the
// other tests rely on for their leak checks.
#include "shell/ComPtr.h"
#include "shell/DesktopCommands.h"
#include "shell/FolderFacts.h"
#include "shell/IdListPtr.h"
#include "shell/ShellSelection.h"
#include "shell/ShellViewCommands.h"
#include "shell/Wine.h"
#include "support/MallocSpy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <vector>
#include <utility>

namespace {

void* ShellAlloc(SIZE_T cb)
{
    CComPtr<IMalloc> spMalloc;
    if (FAILED(SHGetMalloc(spMalloc.Put()))) return nullptr;
    return spMalloc->Alloc(cb);
}

LPITEMIDLIST NewEmptyList()
{
    void* p = ShellAlloc(2);
    if (p) static_cast<BYTE*>(p)[0] = static_cast<BYTE*>(p)[1] = 0;
    return static_cast<LPITEMIDLIST>(p);
}

TEST(MallocSpy, CountsShellBlocksThroughAllocReallocAndFree)
{
    CMallocSpy& spy = CMallocSpy::Instance();
    ASSERT_TRUE(spy.IsRegistered());
    LONG nBefore = spy.LiveBlocks();
    CMallocSpy::CScope scope;

    void* p = ShellAlloc(16);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(nBefore + 1, spy.LiveBlocks());
    EXPECT_EQ(1, scope.Leaked());

    // Growing a block (it may move) is still one block.
    p = CoTaskMemRealloc(p, 64 * 1024);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(1, scope.Leaked());

    CoTaskMemFree(p);
    EXPECT_EQ(nBefore, spy.LiveBlocks());
    EXPECT_EQ(0, scope.Leaked());
}

TEST(MallocSpy, ScopeIsNotFooledByFreeingAnOlderBlock)
{
    void* pOld = ShellAlloc(8);
    ASSERT_NE(nullptr, pOld);
    CMallocSpy::CScope scope;
    void* pNew = ShellAlloc(8);
    ASSERT_NE(nullptr, pNew);
    CoTaskMemFree(pOld);
    EXPECT_EQ(1, scope.Leaked()) << "the new block is still alive";
    CoTaskMemFree(pNew);
    EXPECT_EQ(0, scope.Leaked());
}

TEST(IdListPtr, FreesExactlyOnceThroughMovesAndOutParameters)
{
    CMallocSpy::CScope scope;
    {
        CIdListPtr a(NewEmptyList());
        ASSERT_TRUE(a);
        LPITEMIDLIST pidlA = a.Get();

        CIdListPtr b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(pidlA, b.Get());

        CIdListPtr c(NewEmptyList());
        c = std::move(b);  // frees c's own list
        EXPECT_EQ(pidlA, c.Get());
        EXPECT_EQ(1, scope.Leaked());

        c = std::move(c);  // moving onto itself keeps the list
        EXPECT_EQ(pidlA, c.Get());

        // Put frees what is held before the callee writes a new list into it.
        *c.Put() = NewEmptyList();
        EXPECT_EQ(1, scope.Leaked());

        c.Attach(c.Get());  // adopting what it holds already is no double free
        EXPECT_EQ(1, scope.Leaked());

        LPITEMIDLIST pidlOut = c.Detach();
        EXPECT_FALSE(c);
        EXPECT_EQ(1, scope.Leaked()) << "detached, not freed";
        CIdListPtr(pidlOut).Free();
    }
    EXPECT_EQ(0, scope.Leaked());
}

// An object with two interfaces that tracks its reference count.
class CCounted : public IClassFactory {
public:
    LONG m_nRefs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_nRefs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--m_nRefs); }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

TEST(ComPtr, HoldsOneReferencePerHolder)
{
    CCounted obj;
    {
        CComPtr<IClassFactory> a(&obj);  // shares: adds a reference
        EXPECT_EQ(2, obj.m_nRefs);
        CComPtr<IClassFactory> b(a);
        EXPECT_EQ(3, obj.m_nRefs);
        CComPtr<IClassFactory> c(std::move(b));
        EXPECT_EQ(3, obj.m_nRefs);
        EXPECT_FALSE(b);

        a = a;  // assigning to itself keeps the pointer and its one reference
        EXPECT_EQ(&obj, a.Get());
        EXPECT_EQ(3, obj.m_nRefs);

        CComPtr<IUnknown> unk;
        EXPECT_EQ(S_OK, c.As(IID_IUnknown, unk));
        EXPECT_EQ(4, obj.m_nRefs);
        EXPECT_EQ(E_NOINTERFACE, c.As(IID_IStream, unk));
        EXPECT_FALSE(unk);
        EXPECT_EQ(3, obj.m_nRefs);

        c = nullptr;
        EXPECT_EQ(2, obj.m_nRefs);
    }
    EXPECT_EQ(1, obj.m_nRefs);
}

TEST(ComPtr, AttachDetachAndPutTransferOwnership)
{
    CCounted obj;
    CComPtr<IClassFactory> p;
    obj.AddRef();
    p.Attach(&obj);  // adopts the reference the caller made
    EXPECT_EQ(2, obj.m_nRefs);

    // An out-parameter call writing over the slot must not leak the old reference.
    IClassFactory** pp = p.Put();
    EXPECT_EQ(1, obj.m_nRefs);
    EXPECT_EQ(nullptr, *pp);
    EXPECT_EQ(S_OK, obj.QueryInterface(IID_IClassFactory, p.PutVoid()));
    EXPECT_EQ(2, obj.m_nRefs);

    IClassFactory* pRaw = p.Detach();
    EXPECT_FALSE(p);
    EXPECT_EQ(2, obj.m_nRefs);
    pRaw->Release();
    EXPECT_EQ(1, obj.m_nRefs);
}

TEST(Wine, DetectionAgreesWithThePrefixRegistry)
{
    // Every Wine prefix carries HKLM\Software\Wine; Windows has no such key.
    HKEY hKey = nullptr;
    bool bWineKey = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &hKey) == ERROR_SUCCESS;
    if (hKey) RegCloseKey(hKey);

    EXPECT_EQ(bWineKey, IsRunningUnderWine());
    const char* pszVersion = GetWineVersion();
    if (IsRunningUnderWine()) {
        ASSERT_NE(nullptr, pszVersion);
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(pszVersion[0]))) << pszVersion;
    } else {
        EXPECT_EQ(nullptr, pszVersion);
    }
}

// Every call that chooses between the shell's own behaviour and a stand-in follows the one
// detection, and with it the tests' override: on Windows the shell's answers stand.
TEST(PlatformChoice, EveryCallFollowsTheDetection)
{
    struct Restore {
        ~Restore() { SetWineCheckForTesting(WineCheck::Detect); }
    } restore;
    const SFGAOF kFileSystemFolder = SFGAO_FILESYSTEM | SFGAO_FOLDER;
    for (WineCheck check : {WineCheck::Windows, WineCheck::Wine}) {
        SetWineCheckForTesting(check);
        const bool bWine = check == WineCheck::Wine;
        const char* what = bWine ? "Wine" : "Windows";
        EXPECT_EQ(bWine ? kPlainFolderAttributes : 0, DiskCheckAttributes()) << what;
        EXPECT_EQ(bWine, SubFoldersNeedDiskCheck(kFileSystemFolder | SFGAO_HASSUBFOLDER)) << what;
        EXPECT_FALSE(SubFoldersNeedDiskCheck(SFGAO_FOLDER | SFGAO_HASSUBFOLDER)) << what << ": a virtual folder's answer stands";
        EXPECT_EQ(bWine, MayShowPlainFolderIcon(kFileSystemFolder, kFileSystemFolder) != FALSE) << what;
        EXPECT_FALSE(MayShowPlainFolderIcon(kFileSystemFolder | SFGAO_LINK, kFileSystemFolder)) << what << ": a shortcut";
        EXPECT_EQ(!bWine, CShellViewCommands::CanUndo()) << what;
        EXPECT_EQ(!bWine, CShellViewCommands::ShowsTransfersItself()) << what;
        EXPECT_EQ(bWine, CDesktopCommands::SearchesMayBeMissing()) << what;
        if (!bWine) {
            // Nothing stands in: no dialog shows and no window is minimised.
            EXPECT_FALSE(CDesktopCommands::ShowRunDialogStandIn(nullptr));
            EXPECT_FALSE(CDesktopCommands::MinimizeAllStandIn());
        }
    }
}

// A "Shell IDList Array" comes from a data object that any program may have made: its first
// item is found only where the item's first identifier and a terminator lie in the block.
TEST(ShellSelection, TheFirstItemOfAnIdListArrayIsReadOnlyFromInsideTheBlock)
{
    // cidl 1, the parent's empty list at 12, an item of one 4-byte identifier at 14 and its
    // terminator: 20 bytes.
    const std::vector<BYTE> good = {1, 0, 0, 0, 12, 0, 0, 0, 14, 0, 0, 0, 0, 0, 4, 0, 'a', 'b', 0, 0};
    auto with = [&](size_t at, std::vector<BYTE> bytes, size_t size = 0) {
        std::vector<BYTE> block = good;
        std::copy(bytes.begin(), bytes.end(), block.begin() + static_cast<std::ptrdiff_t>(at));
        block.resize(size ? size : block.size());
        return block;
    };
    struct Case { const char* what; std::vector<BYTE> block; long found; } cases[] = {
        {"a whole block", good, 14},
        {"the item's terminator at the very end", with(0, {}, 20), 14},
        {"the item points at an empty list", with(8, {12, 0, 0, 0}), 12},
        {"an empty selection", with(0, {0, 0, 0, 0}), -1},
        {"too small for a count and two offsets", with(0, {}, 11), -1},
        {"the item's terminator cut off", with(0, {}, 19), -1},
        {"the item's identifier longer than the block", with(14, {6, 0}), -1},
        {"the item's count past the end", with(8, {19, 0, 0, 0}), -1},
        {"the item's offset past the end", with(8, {21, 0, 0, 0}), -1},
        {"an offset that would wrap around", with(8, {0xFF, 0xFF, 0xFF, 0xFF}), -1},
    };
    for (const Case& c : cases) {
        LPCITEMIDLIST pItem = FindFirstIdListArrayItem(c.block.data(), c.block.size());
        const long found = pItem ? static_cast<long>(reinterpret_cast<const BYTE*>(pItem) - c.block.data()) : -1;
        EXPECT_EQ(c.found, found) << c.what;
    }
    EXPECT_EQ(nullptr, FindFirstIdListArrayItem(nullptr, 0));
}

// Every item of the block, each only where its whole list lies inside it.
TEST(ShellSelection, EveryItemOfAnIdListArrayIsReadOnlyWhereItLiesWholeInTheBlock)
{
    // cidl 2, the parent's empty list at 16, items at 18 ("ab") and 24 (two identifiers), 34 bytes.
    const std::vector<BYTE> good = {2, 0, 0, 0, 16, 0, 0, 0, 18, 0, 0, 0, 24, 0, 0, 0, 0, 0,
                                    4, 0, 'a', 'b', 0, 0, 3, 0, 'c', 3, 0, 'd', 0, 0, 0, 0};
    auto with = [&](size_t at, std::vector<BYTE> bytes, size_t size = 0) {
        std::vector<BYTE> block = good;
        std::copy(bytes.begin(), bytes.end(), block.begin() + static_cast<std::ptrdiff_t>(at));
        block.resize(size ? size : block.size());
        return block;
    };
    struct Case { const char* what; std::vector<BYTE> block; std::vector<long> found; } cases[] = {
        {"a whole block", good, {18, 24}},
        {"the second item's terminator cut off", with(0, {}, 31), {18}},
        {"the second item's second identifier past the end", with(27, {9, 0}), {18}},
        {"an identifier shorter than its own count", with(18, {1, 0, 0, 0}), {24}},
        {"more items counted than the block holds", with(0, {9, 0, 0, 0}, 24), {18}},
        {"an offset past the end", with(8, {0xFF, 0xFF, 0xFF, 0xFF}), {24}},
        {"an empty selection", with(0, {0, 0, 0, 0}), {}},
        {"too small for a count", with(0, {}, 3), {}},
    };
    for (const Case& c : cases) {
        std::vector<long> found;
        for (LPCITEMIDLIST pItem : IdListArrayItems(c.block.data(), c.block.size()))
            found.push_back(static_cast<long>(reinterpret_cast<const BYTE*>(pItem) - c.block.data()));
        EXPECT_EQ(c.found, found) << c.what;
    }
}

}  // namespace
