#include "app/InstanceGuard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

// Each test uses its own event name, so tests cannot see each other's guards.
std::string UniqueName()
{
    static int counter = 0;
    return "FolvaneGuardTest-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

// What the callback saw. The tests run one at a time, so one record serves.
struct Record {
    HANDLE hCalled = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<int> count{0};
    std::atomic<DWORD> value{0}, threadId{0};
    std::atomic<bool> finished{false};
    DWORD delayMs = 0;
} g_record;

int OnSignal(DWORD value)
{
    g_record.value = value;
    g_record.threadId = GetCurrentThreadId();
    ++g_record.count;
    SetEvent(g_record.hCalled);
    Sleep(g_record.delayMs);
    g_record.finished = true;
    return 0;
}

void ResetRecord()
{
    g_record.count = 0;
    ResetEvent(g_record.hCalled);
}

// How a copy starting now would find the named event: signalled means no copy has reset it.
bool EventIsSignalled(const std::string& name)
{
    HANDLE h = OpenEventA(SYNCHRONIZE, FALSE, name.c_str());
    if (!h) return false;
    const bool signalled = WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
    CloseHandle(h);
    return signalled;
}

// A pulse is lost while the waiter is not yet waiting, so start later copies
// until one gets through.
bool LaterCopyActivates(const std::string& name)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        CInstanceGuard later;
        if (later.Create(name.c_str(), nullptr, 0)) return false;
        later.Close();
        if (WaitForSingleObject(g_record.hCalled, 250) == WAIT_OBJECT_0) return true;
    }
    return false;
}

}  // namespace

TEST(InstanceGuard, LaterCopiesRunTheFirstOnesCallbackOnItsWaiterThread)
{
    const std::string name = UniqueName();
    ResetRecord();
    CInstanceGuard first;
    ASSERT_TRUE(first.Create(name.c_str(), OnSignal, 42));

    ASSERT_TRUE(LaterCopyActivates(name));
    EXPECT_EQ(1, g_record.count.load());
    EXPECT_EQ(42u, g_record.value.load());
    EXPECT_NE(GetCurrentThreadId(), g_record.threadId.load());

    ASSERT_TRUE(LaterCopyActivates(name));  // a third copy, after the second
    EXPECT_EQ(2, g_record.count.load());
    first.Close();
}

TEST(InstanceGuard, FirstPlaceIsFreeOnceNoCopyHoldsTheEvent)
{
    const std::string name = UniqueName();
    CInstanceGuard first, later;
    ASSERT_TRUE(first.Create(name.c_str(), nullptr, 0));
    EXPECT_FALSE(later.Create(name.c_str(), nullptr, 0));
    first.Close();

    // The later copy still holds the event, so a new copy counts it as running.
    CInstanceGuard third;
    EXPECT_FALSE(third.Create(name.c_str(), nullptr, 0));
    third.Close();
    later.Close();

    EXPECT_TRUE(first.Create(name.c_str(), nullptr, 0));  // the same object serves again
    first.Close();
}

TEST(InstanceGuard, CloseReturnsOnlyAfterTheWaiterHasEnded)
{
    const std::string name = UniqueName();
    g_record.delayMs = 300;
    g_record.finished = false;
    CInstanceGuard first;
    ASSERT_TRUE(first.Create(name.c_str(), OnSignal, 0));
    ASSERT_TRUE(LaterCopyActivates(name));
    first.Close();  // the callback is still sleeping
    EXPECT_TRUE(g_record.finished.load());
    g_record.delayMs = 0;
}

// Until a later copy starts, the first copy's waiter sleeps: an event that woke it by
// itself would restore the main window over and over.
TEST(InstanceGuard, AFirstCopyAloneRunsNoCallback)
{
    const std::string name = UniqueName();
    ResetRecord();
    CInstanceGuard first;
    ASSERT_TRUE(first.Create(name.c_str(), OnSignal, 0));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(g_record.hCalled, 500));
    EXPECT_EQ(0, g_record.count.load());
    EXPECT_FALSE(EventIsSignalled(name));
    first.Close();
}

// A first copy without a callback: later copies still find it and end, no copy runs a
// callback (a later copy's own is never called), and the pulses leave the event as a
// running copy keeps it, so the waiter does not spin on it.
TEST(InstanceGuard, PulseWithoutCallbackIsHarmless)
{
    const std::string name = UniqueName();
    ResetRecord();
    CInstanceGuard first;
    ASSERT_TRUE(first.Create(name.c_str(), nullptr, 0));
    for (int i = 0; i < 5; ++i) {
        Sleep(20);
        CInstanceGuard later;
        EXPECT_FALSE(later.Create(name.c_str(), OnSignal, 0));
        later.Close();
        EXPECT_FALSE(EventIsSignalled(name)) << "after later copy " << i;
    }
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(g_record.hCalled, 200));
    EXPECT_EQ(0, g_record.count.load());
    first.Close();

    CInstanceGuard next;  // the first copy's end frees the name
    EXPECT_TRUE(next.Create(name.c_str(), OnSignal, 0));
    next.Close();
}

// A first copy that has created the event but not yet reset it: a copy
// starting in that moment is still a later copy.
TEST(InstanceGuard, EventFoundStillSignalledMeansAnotherCopyRuns)
{
    const std::string name = UniqueName();
    HANDLE hOther = CreateEventA(nullptr, TRUE, TRUE, name.c_str());
    CInstanceGuard guard;
    EXPECT_FALSE(guard.Create(name.c_str(), nullptr, 0));
    guard.Close();
    CloseHandle(hOther);
}

TEST(InstanceGuard, CopiesStartedTogetherHaveExactlyOneFirst)
{
    for (int round = 0; round < 100; ++round) {
        const std::string name = UniqueName();
        CInstanceGuard guards[4];
        std::atomic<int> ready{0}, firsts{0};
        std::vector<std::thread> threads;
        for (CInstanceGuard& g : guards) {
            threads.emplace_back([&, pg = &g] {
                ++ready;
                while (ready.load() < 4) {}
                if (pg->Create(name.c_str(), nullptr, 0)) ++firsts;
            });
        }
        for (std::thread& t : threads) t.join();
        ASSERT_EQ(1, firsts.load()) << "round " << round;
        for (CInstanceGuard& g : guards) g.Close();
    }
}

TEST(InstanceGuard, NameTakenByAnotherKindOfObject)
{
    const std::string name = UniqueName();
    HANDLE hMutex = CreateMutexA(nullptr, FALSE, name.c_str());
    CInstanceGuard guard;
    EXPECT_FALSE(guard.Create(name.c_str(), nullptr, 0));
    guard.Close();
    guard.Close();
    CloseHandle(hMutex);
}
