// A framework window's life as its object sees it: which window the object takes at creation,
// what its handlers receive, messages sent down a tree whose windows go away meanwhile, and the
// last message when a handler fails.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Wnd.h"
#include "framework/WinApp.h"
#include "support/ModalWatcher.h"

namespace {

LPCSTR ProbeClass()
{
    return CWnd::RegisterWndClass("FolvaneTest:LifeProbe", 0);
}

// Records the events its children report, as a double-click detector would read them.
class NotifiedWnd : public CWnd {
public:
    struct Event {
        UINT message;
        LPARAM lParam;
    };
    std::vector<Event> m_events;
    void OnParentNotify(UINT message, LPARAM lParam) { m_events.push_back({message, lParam}); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(NotifiedWnd, CWnd)
    ON_WM_PARENTNOTIFY()
END_MESSAGE_MAP()

}  // namespace

TEST(WindowLife, AParentNotifyHandlerGetsTheEventAloneAndTheChildInLParam)
{
    NotifiedWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, ProbeClass(), "parent", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr));
    const int childId = 0x4D2;
    HWND hChild = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, parent.m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(childId)), nullptr, nullptr);
    ASSERT_NE(nullptr, hChild);
    // A press is reported with the position; the high word of the event is not the handler's business.
    const LPARAM pos = MAKELPARAM(5, 6);
    parent.SendMessage(WM_PARENTNOTIFY, MAKEWPARAM(WM_LBUTTONDOWN, 0), pos);
    parent.SendMessage(WM_PARENTNOTIFY, MAKEWPARAM(WM_XBUTTONDOWN, XBUTTON2), pos);
    DestroyWindow(hChild);

    struct {
        UINT message;
        LPARAM lParam;
    } expected[] = {
        {WM_CREATE, reinterpret_cast<LPARAM>(hChild)},
        {WM_LBUTTONDOWN, pos},
        {WM_XBUTTONDOWN, pos},
        {WM_DESTROY, reinterpret_cast<LPARAM>(hChild)},
    };
    ASSERT_EQ(sizeof(expected) / sizeof(expected[0]), parent.m_events.size());
    for (size_t i = 0; i < parent.m_events.size(); i++) {
        EXPECT_EQ(expected[i].message, parent.m_events[i].message) << "event " << i;
        EXPECT_EQ(expected[i].lParam, parent.m_events[i].lParam) << "event " << i;
    }
    parent.DestroyWindow();
}

// ---- Which window the object takes --------------------------------------------------------

namespace {

class CountingWnd : public CWnd {
public:
    int m_nCreate = 0;
    int OnCreate(LPCREATESTRUCTA lpcs)
    {
        m_nCreate++;
        return CWnd::OnCreate(lpcs);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CountingWnd, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

// Stands for the system making a window of its own (an input-method window) on the thread
// just before the window being created: a hook installed after the framework's runs first.
HHOOK g_hIntruderHook = nullptr;
HWND g_hIntruder = nullptr;

LRESULT CALLBACK IntruderHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && !g_hIntruder) {
        g_hIntruder = reinterpret_cast<HWND>(1);  // no second intruder from the intruder's own creation
        g_hIntruder = CreateWindowExA(0, "STATIC", "intruder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    }
    return CallNextHookEx(g_hIntruderHook, code, wParam, lParam);
}

}  // namespace

TEST(WindowLife, AWindowTheSystemCreatesFirstDoesNotTakeThePendingObject)
{
    CountingWnd probe;
    // The framework's hook exists once a framework window was made on this thread.
    CountingWnd warmup;
    ASSERT_TRUE(warmup.CreateEx(0, ProbeClass(), "warm-up", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr));
    warmup.DestroyWindow();

    g_hIntruder = nullptr;
    g_hIntruderHook = SetWindowsHookExA(WH_CBT, IntruderHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, g_hIntruderHook);
    BOOL bCreated = probe.CreateEx(0, ProbeClass(), "probe", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr);
    UnhookWindowsHookEx(g_hIntruderHook);

    ASSERT_TRUE(bCreated);
    ASSERT_TRUE(IsWindow(g_hIntruder));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(g_hIntruder)) << "the intruder took the object";
    char cls[64] = "";
    GetClassNameA(probe.m_hWnd, cls, sizeof(cls));
    EXPECT_STREQ("FolvaneTest:LifeProbe", cls);
    EXPECT_EQ(&probe, CWnd::FromHandlePermanent(probe.m_hWnd));
    EXPECT_EQ(1, probe.m_nCreate);
    DestroyWindow(g_hIntruder);
    probe.DestroyWindow();
}

// ---- Messages sent down a tree of windows ---------------------------------------------------

namespace {

const UINT WM_PROBE_PASS = WM_APP + 7;

// A framework child that counts the pass, and may go away (object and window) when it gets it.
class PassChild : public CWnd {
public:
    explicit PassChild(std::vector<std::string>* pLog, std::string name, bool bDie)
        : m_pLog(pLog), m_name(std::move(name)), m_bDie(bDie)
    {
    }
    HWND m_hWndVictim = nullptr;  // a window this one destroys when it gets the pass
    LRESULT OnPass(WPARAM, LPARAM)
    {
        m_pLog->push_back(m_name);
        if (m_hWndVictim) ::DestroyWindow(m_hWndVictim);
        if (m_bDie) DestroyWindow();
        return 0;
    }
    void PostNcDestroy() override { delete this; }
    static PassChild* Make(std::vector<std::string>* pLog, const std::string& name, HWND hParent, bool bDie = false)
    {
        PassChild* p = new PassChild(pLog, name, bDie);
        RECT rc = {0, 0, 10, 10};
        if (!p->Create(ProbeClass(), name.c_str(), WS_CHILD, rc, CWnd::FromHandle(hParent), 0)) return nullptr;
        return p;
    }

private:
    std::vector<std::string>* m_pLog;
    std::string m_name;
    bool m_bDie;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(PassChild, CWnd)
    ON_MESSAGE(WM_PROBE_PASS, &PassChild::OnPass)
END_MESSAGE_MAP()

}  // namespace

TEST(WindowLife, AMessageSentToDescendantsReachesEveryOneLeftWhenSomeGoAwayOnTheWay)
{
    std::vector<std::string> log;
    CountingWnd top;
    ASSERT_TRUE(top.CreateEx(0, ProbeClass(), "top", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr));
    // In creation order (the order of the pass): a child that goes with its children, one
    // that stays and has a child that goes, one that takes the next sibling with it, and the
    // last one.
    PassChild* pDying = PassChild::Make(&log, "dying", top.m_hWnd, true);
    ASSERT_NE(nullptr, pDying);
    ASSERT_NE(nullptr, PassChild::Make(&log, "dying's child", pDying->m_hWnd));
    PassChild* pStays = PassChild::Make(&log, "stays", top.m_hWnd);
    ASSERT_NE(nullptr, pStays);
    ASSERT_NE(nullptr, PassChild::Make(&log, "stays' dying child", pStays->m_hWnd, true));
    PassChild* pKiller = PassChild::Make(&log, "killer", top.m_hWnd);
    ASSERT_NE(nullptr, pKiller);
    PassChild* pVictim = PassChild::Make(&log, "victim", top.m_hWnd);
    ASSERT_NE(nullptr, pVictim);
    pKiller->m_hWndVictim = pVictim->m_hWnd;
    ASSERT_NE(nullptr, PassChild::Make(&log, "last", top.m_hWnd));
    // A plain (non-framework) window in between is passed through to its framework children.
    HWND hPlain = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, top.m_hWnd, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, PassChild::Make(&log, "plain's child", hPlain));

    top.SendMessageToDescendants(WM_PROBE_PASS, 0, 0, TRUE);
    std::vector<std::string> expected = {"dying", "stays", "stays' dying child", "killer", "last", "plain's child"};
    EXPECT_EQ(expected, log);

    log.clear();
    pKiller->m_hWndVictim = nullptr;
    top.SendMessageToDescendants(WM_PROBE_PASS, 0, 0, TRUE);
    expected = {"stays", "killer", "last", "plain's child"};
    EXPECT_EQ(expected, log) << "only those still there";
    top.DestroyWindow();
}

// ---- The last message -----------------------------------------------------------------------

namespace {

class FailingAtEndWnd : public CWnd {
public:
    bool* m_pFinalRan;
    explicit FailingAtEndWnd(bool* pFinalRan) : m_pFinalRan(pFinalRan) {}
    LRESULT OnNcDestroy(WPARAM, LPARAM) { throw std::runtime_error("failed at the end"); }
    void PostNcDestroy() override
    {
        *m_pFinalRan = true;
        delete this;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(FailingAtEndWnd, CWnd)
    ON_MESSAGE(WM_NCDESTROY, &FailingAtEndWnd::OnNcDestroy)
END_MESSAGE_MAP()

}  // namespace

TEST(WindowLife, AFailureInTheLastMessageIsReportedAndTheObjectIsStillLetGo)
{
    ModalWatcher watcher;
    bool bFinalRan = false;
    FailingAtEndWnd* p = new FailingAtEndWnd(&bFinalRan);
    ASSERT_TRUE(p->CreateEx(0, ProbeClass(), "failing", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr));
    HWND hWnd = p->m_hWnd;
    DestroyWindow(hWnd);
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd)) << "a dead handle left in the map";
    EXPECT_TRUE(bFinalRan) << "the object's own end never ran";
    ASSERT_EQ(1u, watcher.Seen().size());
    EXPECT_EQ("Internal application error.", watcher.Seen()[0].text);
}
