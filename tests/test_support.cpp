// The test support that the other suites stand on, where a fault would not show as a
// failure of its own: fixture folders after an interrupted run, and the shell folder that
// stands in front of a real one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tlhelp32.h>
#include <vector>

#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "support/ScratchFolder.h"
#include "support/TestShellFolder.h"
#include "tree/IdList.h"

namespace {

void MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path;
    DWORD written = 0;
    WriteFile(h, "x", 1, &written, nullptr);
    CloseHandle(h);
}

// Some other process that runs now, or 0.
DWORD AnotherRunningProcess()
{
    DWORD pid = 0;
    HANDLE hSnap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnap == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL ok = Process32First(hSnap, &entry); ok && !pid; ok = Process32Next(hSnap, &entry)) {
        if (entry.th32ProcessID != 0 && entry.th32ProcessID != GetCurrentProcessId()) pid = entry.th32ProcessID;
    }
    CloseHandle(hSnap);
    return pid;
}

}  // namespace

// A killed run leaves its folder full; process ids come round again, so the next run with
// the same id must start from an empty folder and still leave nothing behind.
TEST(ScratchFolder, ALeftoverOfAKilledRunIsReplacedAndAllOfItGoesAfterwards)
{
    // The killed run: its folder is never destroyed.
    ScratchFolder* pKilled = new ScratchFolder("support");
    ASSERT_TRUE(pKilled->Made());
    pKilled->MakeFolder("deep");
    pKilled->MakeFolder("deep\\deeper");
    MakeFile(pKilled->Sub("deep\\deeper\\file.txt"));
    MakeFile(pKilled->Sub("deep\\locked.txt"), FILE_ATTRIBUTE_READONLY);
    MakeFile(pKilled->Sub("top.txt"));
    // What the tree tests leave: parents made on the way, read-only folders, and names that
    // the ANSI code page cannot spell.
    const std::string nested = pKilled->MakeFolder("made\\with\\parents");
    ASSERT_TRUE(Exists(nested));
    ASSERT_TRUE(SetFileAttributesA(pKilled->Sub("made").c_str(), FILE_ATTRIBUTE_READONLY));
    const std::wstring wide = pKilled->WideSub(L"\x65e5\x672c\x0141");
    ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
    const std::wstring wideFile = wide + L"\\\x0141.txt";
    HANDLE h = CreateFileW(wideFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
    ASSERT_TRUE(Exists(pKilled->Sub("deep\\locked.txt")));
    const std::string path = pKilled->Path();

    {
        ScratchFolder next("support");
        ASSERT_TRUE(next.Made()) << "made afresh over a full folder";
        EXPECT_EQ(path, next.Path());
        EXPECT_FALSE(Exists(next.Sub("deep")));
        EXPECT_FALSE(Exists(next.Sub("top.txt")));
        EXPECT_FALSE(Exists(next.Sub("made")));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(wide.c_str())) << "a name outside the code page";
        next.MakeFolder("own");
        MakeFile(next.Sub("own\\read-only.txt"), FILE_ATTRIBUTE_READONLY);
    }
    EXPECT_FALSE(Exists(path)) << "removed with all it held";
}

// Runs killed under a process id that does not come round again leave folders too: the
// next folder of the kind removes those whose process has ended, and only those.
TEST(ScratchFolder, FoldersOfEndedRunsGoThoseOfRunningOnesStay)
{
    const DWORD other = AnotherRunningProcess();
    ASSERT_NE(0u, other);
    std::string ended, running, unrelated;
    {
        ScratchFolder probe("sweep");  // only to learn where the folders live
        const std::string prefix = probe.Path().substr(0, probe.Path().find_last_of('-') + 1);
        ended = prefix + "4294967292";  // no process has this id
        running = prefix + std::to_string(other);
        unrelated = prefix + "notes";
    }
    for (const std::string& path : {ended, running, unrelated}) {
        ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
        MakeFile(path + "\\file.txt");
    }
    {
        ScratchFolder next("sweep");
        EXPECT_FALSE(Exists(ended));
        EXPECT_TRUE(Exists(running + "\\file.txt")) << "a run going on beside this one keeps its folder";
        EXPECT_TRUE(Exists(unrelated + "\\file.txt"));
    }
    RemoveTree(running);
    RemoveTree(unrelated);
}

namespace {

std::vector<CIdListPtr> ChildrenOf(IShellFolder* pFolder)
{
    std::vector<CIdListPtr> children;
    CComPtr<IEnumIDList> spEnum;
    if (pFolder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, spEnum.Put()) != S_OK) return children;
    CIdListPtr pidl;
    ULONG n = 0;
    while (spEnum->Next(1, pidl.Put(), &n) == S_OK) children.push_back(std::move(pidl));
    return children;
}

std::string NameIn(IShellFolder* pFolder, LPCITEMIDLIST pidl, DWORD flags)
{
    char name[MAX_PATH] = "";
    GetItemDisplayName(pFolder, pidl, flags, name);
    return name;
}

}  // namespace

// The tree tests put this wrapper between the tree and the shell to make chosen calls fail:
// with no option set it must change nothing, or those tests would test the wrapper. Every
// folder it binds is wrapped too, and every reference it hands out comes back.
TEST(TestShellFolder, WithNoOptionSetItAnswersAsTheFolderItWrapsAndGivesEveryReferenceBack)
{
    ScratchFolder dir("support-folder");
    ASSERT_TRUE(dir.Made());
    dir.MakeFolders({"b", "a\\inner", "c"});
    dir.MakeFile("file.txt", "x");
    CComPtr<IShellFolder> spDesktop, spReal;
    ASSERT_HRESULT_SUCCEEDED(SHGetDesktopFolder(spDesktop.Put()));
    CIdListPtr pidlDir(PathToIdList(dir.Path().c_str()));
    ASSERT_HRESULT_SUCCEEDED(spDesktop->BindToObject(pidlDir, nullptr, IID_IShellFolder, spReal.PutVoid()));

    CTestFolderState state;
    {
        CComPtr<IShellFolder> spTest;
        spTest.Attach(NewTestFolder(spReal, &state));
        EXPECT_EQ(1, state.nLive);
        const std::vector<CIdListPtr> children = ChildrenOf(spReal);
        ASSERT_EQ(4u, children.size());
        EXPECT_EQ(children.size(), ChildrenOf(spTest).size());
        const SFGAOF kMask = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_HASSUBFOLDER;
        for (const CIdListPtr& child : children) {
            const std::string name = NameIn(spReal, child, SHGDN_NORMAL);
            for (DWORD flags : {static_cast<DWORD>(SHGDN_NORMAL), static_cast<DWORD>(SHGDN_INFOLDER | SHGDN_FORPARSING)})
                EXPECT_EQ(NameIn(spReal, child, flags), NameIn(spTest, child, flags)) << name << " flags " << flags;
            LPCITEMIDLIST pidl = child;
            SFGAOF real = kMask, wrapped = kMask;
            EXPECT_EQ(spReal->GetAttributesOf(1, &pidl, &real), spTest->GetAttributesOf(1, &pidl, &wrapped)) << name;
            EXPECT_EQ(real & kMask, wrapped & kMask) << name;
            for (const CIdListPtr& other : children)
                EXPECT_EQ(spReal->CompareIDs(0, child, other), spTest->CompareIDs(0, child, other))
                    << name << " against " << NameIn(spReal, other, SHGDN_NORMAL);
        }

        // A bound child is wrapped as well and reads the same.
        LPCITEMIDLIST pidlA = nullptr;
        for (const CIdListPtr& child : children)
            if (NameIn(spReal, child, SHGDN_NORMAL) == "a") pidlA = child;
        ASSERT_NE(nullptr, pidlA);
        CComPtr<IShellFolder> spA;
        ASSERT_HRESULT_SUCCEEDED(spTest->BindToObject(pidlA, nullptr, IID_IShellFolder, spA.PutVoid()));
        EXPECT_EQ(2, state.nLive);
        const std::vector<CIdListPtr> inner = ChildrenOf(spA);
        ASSERT_EQ(1u, inner.size());
        EXPECT_EQ("inner", NameIn(spA, inner[0], SHGDN_NORMAL));
    }
    EXPECT_EQ(0, state.nLive);
    EXPECT_EQ(0, state.nRefs);
}
