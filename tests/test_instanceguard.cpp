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

// What the callback records. The callback value is a slot number, since a
// 32-bit value cannot carry a pointer on every target.
struct Signal {
    HANDLE hCalled = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<int> count{0};
    std::atomic<DWORD> threadId{0};
    DWORD delayMs = 0;
    std::atomic<bool> finished{false};
    DWORD slot;

    Signal();
    ~Signal();
    DWORD Value() const { return slot; }
};

Signal* g_apSignals[8];

Signal::Signal() : slot(0)
{
    while (g_apSignals[slot]) ++slot;
    g_apSignals[slot] = this;
}

Signal::~Signal()
{
    g_apSignals[slot] = nullptr;
    CloseHandle(hCalled);
}

int OnSignal(DWORD value)
{
    Signal* s = g_apSignals[value];
    s->threadId = GetCurrentThreadId();
    ++s->count;
    SetEvent(s->hCalled);
    if (s->delayMs) Sleep(s->delayMs);
    s->finished = true;
    return 0;
}

// A later copy's pulse is lost while the waiter is not yet waiting, so start
// later copies until one gets through.
bool LaterCopyActivates(const std::string& name, Signal& s)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        CInstanceGuard later;
        if (later.Create(name.c_str(), nullptr, 0)) return false;  // not a later copy
        later.Close();
        if (WaitForSingleObject(s.hCalled, 250) == WAIT_OBJECT_0) return true;
    }
    return false;
}

}  // namespace

TEST(InstanceGuard, LaterCopiesWakeTheFirstOnItsWaiterThread)
{
    const std::string name = UniqueName();
    Signal s;
    CInstanceGuard first;
    ASSERT_TRUE(first.Create(name.c_str(), OnSignal, s.Value()));

    ASSERT_TRUE(LaterCopyActivates(name, s));
    EXPECT_EQ(1, s.count.load());
    EXPECT_NE(0u, s.threadId.load());
    EXPECT_NE(GetCurrentThreadId(), s.threadId.load());

    // A third copy, one after the other: the first is activated again.
    ASSERT_TRUE(LaterCopyActivates(name, s));
    EXPECT_EQ(2, s.count.load());
    first.Close();
}

TEST(InstanceGuard, AfterTheFirstClosesANewCopyIsFirst)
{
    const std::string name = UniqueName();
    CInstanceGuard first;
    ASSERT_TRUE(first.Create(name.c_str(), nullptr, 0));
    first.Close();

    CInstanceGuard next;
    EXPECT_TRUE(next.Create(name.c_str(), nullptr, 0));
    next.Close();

    // The same object can serve again once closed.
    EXPECT_TRUE(first.Create(name.c_str(), nullptr, 0));
    first.Close();
}

TEST(InstanceGuard, LaterCopyStillClosingDoesNotHoldTheFirstPlace)
{
    const std::string name = UniqueName();
    CInstanceGuard first;
    ASSERT_TRUE(first.Create(name.c_str(), nullptr, 0));
    CInstanceGuard later;
    EXPECT_FALSE(later.Create(name.c_str(), nullptr, 0));
    first.Close();

    // The later copy still holds the event: a new copy counts it as running.
    CInstanceGuard third;
    EXPECT_FALSE(third.Create(name.c_str(), nullptr, 0));
    third.Close();
    later.Close();

    CInstanceGuard fresh;
    EXPECT_TRUE(fresh.Create(name.c_str(), nullptr, 0));
    fresh.Close();
}

TEST(InstanceGuard, CloseReturnsOnlyAfterTheWaiterHasEnded)
{
    const std::string name = UniqueName();
    Signal s;
    s.delayMs = 300;
    CInstanceGuard first;
    ASSERT_TRUE(first.Create(name.c_str(), OnSignal, s.Value()));
    ASSERT_TRUE(LaterCopyActivates(name, s));
    // The callback is still sleeping; Close must wait for it to finish.
    first.Close();
    EXPECT_TRUE(s.finished.load());
}

TEST(InstanceGuard, PulseWithoutCallbackIsHarmless)
{
    const std::string name = UniqueName();
    CInstanceGuard first;
    ASSERT_TRUE(first.Create(name.c_str(), nullptr, 0));
    for (int i = 0; i < 5; ++i) {
        Sleep(20);
        CInstanceGuard later;
        EXPECT_FALSE(later.Create(name.c_str(), nullptr, 0));
        later.Close();
    }
    first.Close();
}

// A first copy that has created the event but not yet reset it: a copy
// starting in that moment must not take itself for a first copy too.
TEST(InstanceGuard, EventCreatedButNotYetResetMeansAnotherCopyRuns)
{
    const std::string name = UniqueName();
    HANDLE hOther = CreateEventA(nullptr, TRUE, TRUE, name.c_str());
    ASSERT_NE(nullptr, hOther);
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
        std::atomic<int> ready{0};
        std::atomic<int> firsts{0};
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
    ASSERT_NE(nullptr, hMutex);
    CInstanceGuard guard;
    EXPECT_FALSE(guard.Create(name.c_str(), nullptr, 0));
    guard.Close();
    guard.Close();
    CloseHandle(hMutex);
}
