// The shell access layer's holders, the Wine check, and the allocator spy that the
// other tests rely on for their leak checks.
#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "shell/Wine.h"
#include "support/MallocSpy.h"

#include <gtest/gtest.h>

#include <cctype>
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

}  // namespace
