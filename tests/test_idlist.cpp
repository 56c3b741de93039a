#include "tree/IdList.h"

#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "support/MallocSpy.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

// A list built byte by byte: one identifier per size given, each payload filled with
// its own byte value (1, 2, ...), then the terminator.
std::vector<BYTE> MakeList(std::initializer_list<USHORT> sizes)
{
    std::vector<BYTE> bytes;
    BYTE fill = 1;
    for (USHORT cb : sizes) {
        bytes.push_back(static_cast<BYTE>(cb & 0xFF));
        bytes.push_back(static_cast<BYTE>(cb >> 8));
        bytes.insert(bytes.end(), cb - 2u, fill++);
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

LPCITEMIDLIST AsList(const std::vector<BYTE>& bytes)
{
    return reinterpret_cast<LPCITEMIDLIST>(bytes.data());
}

std::vector<BYTE> BytesOf(LPCITEMIDLIST pidl)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(pidl);
    return std::vector<BYTE>(p, p + IdListGetSize(pidl));
}

USHORT FirstCb(LPCITEMIDLIST pidl)
{
    USHORT cb;
    std::memcpy(&cb, pidl, sizeof(cb));
    return cb;
}

LPWSTR ShellWideString(const wchar_t* psz)
{
    size_t cb = (wcslen(psz) + 1) * sizeof(wchar_t);
    IMalloc* pMalloc = nullptr;
    if (FAILED(SHGetMalloc(&pMalloc))) return nullptr;
    LPWSTR p = static_cast<LPWSTR>(pMalloc->Alloc(cb));
    pMalloc->Release();
    if (p) std::memcpy(p, psz, cb);
    return p;
}

// Every test here promises that the shell allocator holds nothing more afterwards.
class IdList : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CMallocSpy::Instance().IsRegistered());
        m_pScope.reset(new CMallocSpy::CScope);
    }
    void TearDown() override
    {
        EXPECT_EQ(0, m_pScope->Leaked()) << "shell allocator blocks left behind";
    }

private:
    std::unique_ptr<CMallocSpy::CScope> m_pScope;
};

TEST_F(IdList, SizeAndNextWalkIdentifierByIdentifier)
{
    EXPECT_EQ(0u, IdListGetSize(nullptr));
    EXPECT_EQ(2u, IdListGetSize(AsList(MakeList({}))));
    // Counts above 255 use the high byte.
    EXPECT_EQ(302u, IdListGetSize(AsList(MakeList({300}))));

    std::vector<BYTE> list = MakeList({20, 14});
    EXPECT_EQ(36u, IdListGetSize(AsList(list)));
    LPCITEMIDLIST pSecond = IdListGetNext(AsList(list));
    EXPECT_EQ(list.data() + 20, reinterpret_cast<const BYTE*>(pSecond));
    EXPECT_EQ(14, FirstCb(pSecond));
    EXPECT_EQ(0, FirstCb(IdListGetNext(pSecond)));
}

TEST_F(IdList, AllocGivesZeroFilledShellBlock)
{
    CIdListPtr pidl(IdListAlloc(64));
    ASSERT_TRUE(pidl);
    CComPtr<IMalloc> spMalloc;
    ASSERT_HRESULT_SUCCEEDED(SHGetMalloc(spMalloc.Put()));
    EXPECT_EQ(1, spMalloc->DidAlloc(pidl));
    EXPECT_GE(spMalloc->GetSize(pidl), 64u);
    std::vector<BYTE> zeros(64, 0);
    EXPECT_EQ(0, std::memcmp(zeros.data(), pidl.Get(), zeros.size()));
}

TEST_F(IdList, ConcatJoinsWithOneTerminator)
{
    std::vector<BYTE> two = MakeList({20, 14});
    std::vector<BYTE> one = MakeList({9});
    std::vector<BYTE> empty = MakeList({});

    CIdListPtr joined(IdListConcat(AsList(two), AsList(one)));
    ASSERT_TRUE(joined);
    std::vector<BYTE> expected(two.begin(), two.end() - 2);
    expected.insert(expected.end(), one.begin(), one.end());
    EXPECT_EQ(expected, BytesOf(joined));
    EXPECT_EQ(20u + 14u + 9u + 2u, IdListGetSize(joined));

    // No first list: a copy of the second, in a block of its own.
    CIdListPtr copy(IdListConcat(nullptr, AsList(one)));
    ASSERT_TRUE(copy);
    EXPECT_NE(AsList(one), copy.Get());
    EXPECT_EQ(one, BytesOf(copy));

    // The empty list, or no second list at all, leaves the first as it is.
    CIdListPtr withEmpty(IdListConcat(AsList(two), AsList(empty)));
    ASSERT_TRUE(withEmpty);
    EXPECT_EQ(two, BytesOf(withEmpty));
    CIdListPtr withNull(IdListConcat(AsList(two), nullptr));
    ASSERT_TRUE(withNull);
    EXPECT_EQ(two, BytesOf(withNull));

    CIdListPtr nothing(IdListConcat(nullptr, nullptr));
    ASSERT_TRUE(nothing);
    EXPECT_EQ(empty, BytesOf(nothing));
}

// Counts calls and references, and allocates from the task allocator so the spy sees it.
class CCountingMalloc : public IMalloc {
public:
    LONG m_nRefs = 1;
    int m_nAllocs = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMalloc)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_nRefs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--m_nRefs); }
    void* STDMETHODCALLTYPE Alloc(SIZE_T cb) override
    {
        ++m_nAllocs;
        return CoTaskMemAlloc(cb);
    }
    void* STDMETHODCALLTYPE Realloc(void* pv, SIZE_T cb) override { return CoTaskMemRealloc(pv, cb); }
    void STDMETHODCALLTYPE Free(void* pv) override { CoTaskMemFree(pv); }
    SIZE_T STDMETHODCALLTYPE GetSize(void*) override { return static_cast<SIZE_T>(-1); }
    int STDMETHODCALLTYPE DidAlloc(void*) override { return -1; }
    void STDMETHODCALLTYPE HeapMinimize() override {}
};

TEST_F(IdList, CopyFirstKeepsOnlyTheFirstIdentifier)
{
    std::vector<BYTE> three = MakeList({6, 10, 4});
    CIdListPtr first(IdListCopyFirst(nullptr, AsList(three)));
    ASSERT_TRUE(first);
    EXPECT_EQ(MakeList({6}), BytesOf(first));

    CIdListPtr empty(IdListCopyFirst(nullptr, AsList(MakeList({}))));
    ASSERT_TRUE(empty);
    EXPECT_EQ(2u, IdListGetSize(empty));

    EXPECT_EQ(nullptr, IdListCopyFirst(nullptr, nullptr));
}

TEST_F(IdList, CopyFirstUsesAndKeepsTheGivenAllocator)
{
    CCountingMalloc malloc;
    std::vector<BYTE> two = MakeList({12, 8});
    CIdListPtr first(IdListCopyFirst(&malloc, AsList(two)));
    ASSERT_TRUE(first);
    EXPECT_EQ(1, malloc.m_nAllocs);
    EXPECT_EQ(1, malloc.m_nRefs) << "a given allocator is neither kept nor released";
    EXPECT_EQ(MakeList({12}), BytesOf(first));
}

// A one-level list whose payload carries an ANSI name at byte offset 4.
std::vector<BYTE> ListWithName(const char* pszName)
{
    size_t cchName = std::strlen(pszName) + 1;
    USHORT cb = static_cast<USHORT>(4 + cchName);
    std::vector<BYTE> bytes(cb + 2u, 0);
    bytes[0] = static_cast<BYTE>(cb & 0xFF);
    bytes[1] = static_cast<BYTE>(cb >> 8);
    bytes[2] = 'x';
    bytes[3] = 'y';
    std::memcpy(&bytes[4], pszName, cchName);
    return bytes;
}

TEST_F(IdList, StrRetOffsetReadsTheNameInsideTheGivenList)
{
    std::vector<BYTE> list = ListWithName("Documents");
    STRRET sr = {};
    sr.uType = STRRET_OFFSET;
    sr.uOffset = 4;
    EXPECT_EQ(9, StrRetToText(&sr, AsList(list), nullptr, 0));

    char buf[16];
    EXPECT_EQ(9, StrRetToText(&sr, AsList(list), buf, sizeof(buf)));
    EXPECT_STREQ("Documents", buf);

    CString str;
    EXPECT_TRUE(StrRetToString(&sr, AsList(list), str));
    EXPECT_STREQ("Documents", str);

    // An offset beyond the list names nothing rather than reading past it.
    sr.uOffset = static_cast<UINT>(list.size()) + 10;
    EXPECT_EQ(0, StrRetToText(&sr, AsList(list), nullptr, 0));
}

TEST_F(IdList, StrRetCopiesStayWithinTheBuffer)
{
    std::vector<BYTE> list = ListWithName("Documents");
    STRRET offset = {};
    offset.uType = STRRET_OFFSET;
    offset.uOffset = 4;
    STRRET cstr = {};
    cstr.uType = STRRET_CSTR;
    lstrcpyA(cstr.cStr, "Documents");
    STRRET wstr = {};
    wstr.uType = STRRET_WSTR;
    wstr.pOleStr = ShellWideString(L"Documents");
    ASSERT_NE(nullptr, wstr.pOleStr);

    for (const STRRET* pStrRet : {&offset, &cstr, &wstr}) {
        char buf[8];
        std::memset(buf, '#', sizeof(buf));
        EXPECT_EQ(3, StrRetToText(pStrRet, AsList(list), buf, 4)) << "form " << pStrRet->uType;
        EXPECT_STREQ("Doc", buf);
        EXPECT_EQ('#', buf[4]) << "form " << pStrRet->uType << " wrote past the buffer";
    }
    CoTaskMemFree(wstr.pOleStr);

    // A CSTR that fills its whole array unterminated is measured within the array.
    std::memset(cstr.cStr, 'a', sizeof(cstr.cStr));
    EXPECT_EQ(static_cast<int>(sizeof(cstr.cStr)), StrRetToText(&cstr, nullptr, nullptr, 0));
}

TEST_F(IdList, StrRetMeasuresEveryFormWithoutTerminator)
{
    STRRET wstr = {};
    wstr.uType = STRRET_WSTR;
    wstr.pOleStr = ShellWideString(L"abc");
    ASSERT_NE(nullptr, wstr.pOleStr);
    EXPECT_EQ(3, StrRetToText(&wstr, nullptr, nullptr, 0)) << "as long as the same name in CSTR form";
    EXPECT_EQ(3, StrRetToText(&wstr, nullptr, nullptr, -1));
    CoTaskMemFree(wstr.pOleStr);

    STRRET unknown = {};
    unknown.uType = 7;
    EXPECT_EQ(0, StrRetToText(&unknown, nullptr, nullptr, 0));
    char buf[4] = "zzz";
    EXPECT_EQ(0, StrRetToText(&unknown, nullptr, buf, sizeof(buf)));
    EXPECT_STREQ("", buf);
}

TEST_F(IdList, StrRetToStringConvertsAndFreesWideName)
{
    STRRET sr = {};
    sr.uType = STRRET_WSTR;
    sr.pOleStr = ShellWideString(L"Program Files");
    ASSERT_NE(nullptr, sr.pOleStr);
    CString str("previous text");
    EXPECT_TRUE(StrRetToString(&sr, nullptr, str));
    EXPECT_STREQ("Program Files", str);
    EXPECT_EQ(13, str.GetLength());
    EXPECT_EQ(nullptr, sr.pOleStr) << "the freed string must not be reachable";
    // Leak check in TearDown.
}

// An IShellFolder whose GetDisplayNameOf answers what the test sets.
class CNameFolder : public IShellFolder {
public:
    HRESULT m_hr = S_OK;
    STRRET m_sr = {};
    bool m_bWide = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override { *ppv = nullptr; return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, LPITEMIDLIST*, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToStorage(LPCITEMIDLIST, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, LPCITEMIDLIST, LPCITEMIDLIST) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, LPCITEMIDLIST*, SFGAOF*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, LPCITEMIDLIST*, REFIID, UINT*, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST, SHGDNF, STRRET* pName) override
    {
        *pName = m_sr;
        // Like the shell, hand over a string only with a success code.
        if (m_bWide && SUCCEEDED(m_hr)) {
            pName->uType = STRRET_WSTR;
            pName->pOleStr = ShellWideString(L"wide");
        }
        return m_hr;
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, LPCITEMIDLIST, LPCWSTR, SHGDNF, LPITEMIDLIST*) override { return E_NOTIMPL; }
};

TEST_F(IdList, DisplayNameOnlyOnS_OK)
{
    std::vector<BYTE> list = ListWithName("Readme");
    CNameFolder folder;
    folder.m_sr.uType = STRRET_OFFSET;
    folder.m_sr.uOffset = 4;

    char szName[MAX_PATH] = "untouched";
    EXPECT_TRUE(GetItemDisplayName(&folder, AsList(list), SHGDN_NORMAL, szName));
    EXPECT_STREQ("Readme", szName);

    folder.m_bWide = true;
    EXPECT_TRUE(GetItemDisplayName(&folder, AsList(list), SHGDN_NORMAL, szName));
    EXPECT_STREQ("wide", szName);

    // S_FALSE is a success code but gives no name, and what it handed over is freed.
    for (HRESULT hr : {S_FALSE, E_FAIL}) {
        folder.m_hr = hr;
        lstrcpyA(szName, "untouched");
        EXPECT_FALSE(GetItemDisplayName(&folder, AsList(list), SHGDN_NORMAL, szName)) << std::hex << hr;
        EXPECT_STREQ("untouched", szName);
    }
}

// Folders made for the test in the temporary folder:
//   root\alpha\beta\gamma, and root\long\<name> whose full path is MAX_PATH - 1 characters.
class RealIdList : public IdList {
protected:
    static std::unique_ptr<ScratchFolder> s_pRoot;
    static std::string s_root;
    static std::string s_longFile;

    static void SetUpTestSuite()
    {
        s_pRoot.reset(new ScratchFolder("idlist"));
        ASSERT_TRUE(s_pRoot->Made()) << s_pRoot->Path();
        s_root = s_pRoot->Path();
        for (const char* psz : {"\\alpha", "\\alpha\\beta", "\\alpha\\beta\\gamma", "\\long"})
            ASSERT_TRUE(CreateDirectoryA((s_root + psz).c_str(), nullptr)) << psz;
        std::string dir = s_root + "\\long\\";
        ASSERT_LT(dir.size(), static_cast<size_t>(MAX_PATH - 10));
        s_longFile = dir + std::string(MAX_PATH - 1 - dir.size(), 'f');
        HANDLE h = CreateFileA(s_longFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h) << GetLastError();
        CloseHandle(h);
    }
    static void TearDownTestSuite() { s_pRoot.reset(); }

    static std::string Path(const char* pszRelative) { return s_root + "\\" + pszRelative; }

    static std::string PathOf(LPCITEMIDLIST pidl)
    {
        char sz[MAX_PATH] = "";
        return SHGetPathFromIDListA(pidl, sz) ? sz : "";
    }
};
std::unique_ptr<ScratchFolder> RealIdList::s_pRoot;
std::string RealIdList::s_root;
std::string RealIdList::s_longFile;

TEST_F(RealIdList, PathToIdListNamesExistingItemsOnly)
{
    CIdListPtr pidl(PathToIdList(Path("alpha\\beta").c_str()));
    ASSERT_TRUE(pidl);
    EXPECT_STRCASEEQ(Path("alpha\\beta").c_str(), PathOf(pidl).c_str());
    CComPtr<IShellFolder> spDesktop;
    ASSERT_HRESULT_SUCCEEDED(SHGetDesktopFolder(spDesktop.Put()));
    char szName[MAX_PATH];
    ASSERT_TRUE(GetItemDisplayName(spDesktop, pidl, SHGDN_FORPARSING, szName));
    EXPECT_STRCASEEQ(Path("alpha\\beta").c_str(), szName);

    EXPECT_EQ(nullptr, PathToIdList(Path("alpha\\missing").c_str()));
    EXPECT_EQ(nullptr, PathToIdList(Path("missing\\deeper\\still").c_str()));
    EXPECT_EQ(nullptr, PathToIdList(nullptr));
}

TEST_F(RealIdList, PathToIdListNeverParsesAnOverlongPathCutShort)
{
    ASSERT_EQ(static_cast<size_t>(MAX_PATH - 1), s_longFile.size());
    // The longest path that fits still parses ...
    CIdListPtr pidl(PathToIdList(s_longFile.c_str()));
    EXPECT_TRUE(pidl) << "a path of MAX_PATH - 1 characters";

    // ... and one that does not fit gives null, though its first MAX_PATH - 1
    // characters name that existing file.
    EXPECT_EQ(nullptr, PathToIdList((s_longFile + "\\child").c_str()));
    EXPECT_EQ(nullptr, PathToIdList((s_longFile + std::string(5000, 'x')).c_str()));
}

TEST_F(RealIdList, LevelsCopiedOneByOneJoinBackToTheWholeList)
{
    CIdListPtr pidlGamma(PathToIdList(Path("alpha\\beta\\gamma").c_str()));
    ASSERT_TRUE(pidlGamma);

    // Cut the list into one-level copies and join them up again, as the tree does
    // while walking an absolute list.
    CIdListPtr rebuilt;
    int nLevels = 0;
    for (LPCITEMIDLIST p = pidlGamma; FirstCb(p) != 0; p = IdListGetNext(p)) {
        CIdListPtr level(IdListCopyFirst(nullptr, p));
        ASSERT_TRUE(level);
        EXPECT_EQ(FirstCb(p) + 2u, IdListGetSize(level));
        rebuilt.Attach(IdListConcat(rebuilt, level));
        ASSERT_TRUE(rebuilt);
        ++nLevels;
    }
    EXPECT_GE(nLevels, 4) << "desktop children down to alpha, beta, gamma";
    EXPECT_EQ(BytesOf(pidlGamma), BytesOf(rebuilt));
    EXPECT_STRCASEEQ(Path("alpha\\beta\\gamma").c_str(), PathOf(rebuilt).c_str());

    // The first level alone, made absolute the way a top-level folder is.
    CIdListPtr top(IdListConcat(nullptr, CIdListPtr(IdListCopyFirst(nullptr, pidlGamma))));
    ASSERT_TRUE(top);
    EXPECT_EQ(FirstCb(pidlGamma) + 2u, IdListGetSize(top));
}

TEST_F(RealIdList, EnumeratedChildJoinsToItsParent)
{
    CIdListPtr pidlBeta(PathToIdList(Path("alpha\\beta").c_str()));
    ASSERT_TRUE(pidlBeta);
    CComPtr<IShellFolder> spDesktop;
    ASSERT_HRESULT_SUCCEEDED(SHGetDesktopFolder(spDesktop.Put()));
    CComPtr<IShellFolder> spBeta;
    ASSERT_HRESULT_SUCCEEDED(spDesktop->BindToObject(pidlBeta, nullptr, IID_IShellFolder, spBeta.PutVoid()));
    CComPtr<IEnumIDList> spEnum;
    ASSERT_EQ(S_OK, spBeta->EnumObjects(nullptr, SHCONTF_FOLDERS, spEnum.Put()));

    CIdListPtr child;
    ASSERT_EQ(S_OK, spEnum->Next(1, child.Put(), nullptr));
    EXPECT_EQ(S_FALSE, spEnum->Next(1, CIdListPtr().Put(), nullptr)) << "gamma is beta's only child";

    char szName[MAX_PATH];
    ASSERT_TRUE(GetItemDisplayName(spBeta, child, SHGDN_NORMAL, szName));
    EXPECT_STREQ("gamma", szName);

    STRRET sr = {};
    ASSERT_EQ(S_OK, spBeta->GetDisplayNameOf(child, SHGDN_INFOLDER, &sr));
    CString str;
    EXPECT_TRUE(StrRetToString(&sr, child, str));
    EXPECT_STREQ("gamma", str);

    CIdListPtr joined(IdListConcat(pidlBeta, child));
    ASSERT_TRUE(joined);
    EXPECT_EQ(IdListGetSize(pidlBeta) - 2 + IdListGetSize(child), IdListGetSize(joined));
    CIdListPtr parsed(PathToIdList(Path("alpha\\beta\\gamma").c_str()));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(0, static_cast<short>(HRESULT_CODE(spDesktop->CompareIDs(0, joined, parsed))));
    EXPECT_STRCASEEQ(Path("alpha\\beta\\gamma").c_str(), PathOf(joined).c_str());
}

}  // namespace
