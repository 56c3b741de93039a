// The test support that the other suites stand on, where a fault would not show as a
// failure of its own: fixture folders after an interrupted run.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tlhelp32.h>

#include "support/ScratchFolder.h"

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
    ASSERT_TRUE(Exists(pKilled->Sub("deep\\locked.txt")));
    const std::string path = pKilled->Path();

    {
        ScratchFolder next("support");
        ASSERT_TRUE(next.Made()) << "made afresh over a full folder";
        EXPECT_EQ(path, next.Path());
        EXPECT_FALSE(Exists(next.Sub("deep")));
        EXPECT_FALSE(Exists(next.Sub("top.txt")));
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
