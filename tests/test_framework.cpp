// Message maps, command routing, command-UI updates and the exception boundary,
// on small frame/document/view classes of the test's own.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/ControlBar.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/Exception.h"
#include "framework/FrameWnd.h"
#include "framework/MDIChildWnd.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "support/AppFixture.h"
#include "support/ModalWatcher.h"

namespace {

std::string g_handledBy;

enum : UINT {
    CMD_ALL = 1001,     // every target handles it
    CMD_DOC_UP = 1002,  // document and above
    CMD_CHILD_UP = 1003,
    CMD_MAIN_UP = 1004,
    CMD_APP = 1005,
    CMD_NOBODY = 1006,
    CMD_THROW_DISPATCH = 1007,
    CMD_THROW_STD = 1008,
    CMD_DISABLED = 1009,  // main frame handles it but its update handler disables it
};

class RoutingDoc : public CDocument {
    DECLARE_DYNCREATE(RoutingDoc)
public:
    void OnAll() { g_handledBy = "doc"; }
    void OnDocUp() { g_handledBy = "doc"; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(RoutingDoc, CDocument)
BEGIN_MESSAGE_MAP(RoutingDoc, CDocument)
    ON_COMMAND(CMD_ALL, &RoutingDoc::OnAll)
    ON_COMMAND(CMD_DOC_UP, &RoutingDoc::OnDocUp)
END_MESSAGE_MAP()

class RoutingView : public CView {
    DECLARE_DYNCREATE(RoutingView)
public:
    void OnAll() { g_handledBy = "view"; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(RoutingView, CView)
BEGIN_MESSAGE_MAP(RoutingView, CView)
    ON_COMMAND(CMD_ALL, &RoutingView::OnAll)
END_MESSAGE_MAP()

class RoutingChild : public CMDIChildWnd {
    DECLARE_DYNCREATE(RoutingChild)
public:
    void OnHandle() { g_handledBy = "child"; }
    void OnUpdateChildUp(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(RoutingChild, CMDIChildWnd)
BEGIN_MESSAGE_MAP(RoutingChild, CMDIChildWnd)
    ON_COMMAND(CMD_ALL, &RoutingChild::OnHandle)
    ON_COMMAND(CMD_DOC_UP, &RoutingChild::OnHandle)
    ON_COMMAND(CMD_CHILD_UP, &RoutingChild::OnHandle)
    ON_UPDATE_COMMAND_UI(CMD_CHILD_UP, &RoutingChild::OnUpdateChildUp)
END_MESSAGE_MAP()

class RoutingMain : public CMDIFrameWnd {
    DECLARE_DYNAMIC(RoutingMain)
public:
    CToolBar m_toolBar;
    int OnCreate(LPCREATESTRUCTA lpcs)
    {
        if (CMDIFrameWnd::OnCreate(lpcs) == -1) return -1;
        static const UINT buttons[] = {CMD_MAIN_UP, CMD_NOBODY, CMD_ALL, CMD_DISABLED};
        if (!m_toolBar.Create(this) || !m_toolBar.SetButtons(buttons, 4)) return -1;
        return 0;
    }
    void OnHandle() { g_handledBy = "main"; }
    void OnThrowDispatch() { AfxThrowOleDispatchException(0, "The shell refused."); }
    void OnThrowStd() { throw std::runtime_error("boom"); }
    void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNAMIC(RoutingMain, CMDIFrameWnd)
BEGIN_MESSAGE_MAP(RoutingMain, CMDIFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(CMD_ALL, &RoutingMain::OnHandle)
    ON_COMMAND(CMD_DOC_UP, &RoutingMain::OnHandle)
    ON_COMMAND(CMD_CHILD_UP, &RoutingMain::OnHandle)
    ON_COMMAND(CMD_MAIN_UP, &RoutingMain::OnHandle)
    ON_COMMAND(CMD_DISABLED, &RoutingMain::OnHandle)
    ON_UPDATE_COMMAND_UI(CMD_DISABLED, &RoutingMain::OnUpdateDisabled)
    ON_COMMAND(CMD_THROW_DISPATCH, &RoutingMain::OnThrowDispatch)
    ON_COMMAND(CMD_THROW_STD, &RoutingMain::OnThrowStd)
END_MESSAGE_MAP()

class RoutingApp : public CWinApp {
public:
    void OnHandle() { g_handledBy = "app"; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(RoutingApp, CWinApp)
    ON_COMMAND(CMD_ALL, &RoutingApp::OnHandle)
    ON_COMMAND(CMD_DOC_UP, &RoutingApp::OnHandle)
    ON_COMMAND(CMD_CHILD_UP, &RoutingApp::OnHandle)
    ON_COMMAND(CMD_MAIN_UP, &RoutingApp::OnHandle)
    ON_COMMAND(CMD_APP, &RoutingApp::OnHandle)
END_MESSAGE_MAP()

class RoutingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pApp = new RoutingApp;
        m_pMain = new RoutingMain;
        ASSERT_TRUE(m_pMain->LoadFrame(IDR_MAINFRAME));
        m_pApp->m_pMainWnd = m_pMain;
        m_pMain->ShowWindow(SW_SHOW);
        m_pApp->AddDocTemplate(new CMultiDocTemplate(IDR_FOLVANTYPE, RUNTIME_CLASS(RoutingDoc),
                                                     RUNTIME_CLASS(RoutingChild), RUNTIME_CLASS(RoutingView)));
    }
    void TearDown() override
    {
        if (m_pApp->m_pMainWnd) m_pApp->m_pMainWnd->DestroyWindow();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        delete m_pApp;
    }
    std::string Route(UINT nID)
    {
        g_handledBy.clear();
        m_pMain->SendMessage(WM_COMMAND, nID, 0);
        return g_handledBy;
    }
    HMENU PopupWith(std::initializer_list<UINT> ids)
    {
        HMENU h = CreatePopupMenu();
        for (UINT id : ids) AppendMenuA(h, MF_STRING, id, "item");
        m_pMain->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(h), 0);
        return h;
    }
    static bool Grayed(HMENU h, UINT id) { return (GetMenuState(h, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

    RoutingApp* m_pApp = nullptr;
    RoutingMain* m_pMain = nullptr;
};

}  // namespace

TEST_F(RoutingTest, CommandsGoViewDocumentChildMainThenApplication)
{
    m_pApp->OnFileNew();
    ASSERT_NE(nullptr, m_pMain->MDIGetActive());
    EXPECT_EQ("view", Route(CMD_ALL));
    EXPECT_EQ("doc", Route(CMD_DOC_UP));
    EXPECT_EQ("child", Route(CMD_CHILD_UP));
    EXPECT_EQ("main", Route(CMD_MAIN_UP));
    EXPECT_EQ("app", Route(CMD_APP));
    EXPECT_EQ("", Route(CMD_NOBODY));
}

TEST_F(RoutingTest, WithoutBrowserWindowTheMainFrameAndApplicationAnswer)
{
    EXPECT_EQ(nullptr, m_pMain->MDIGetActive());
    EXPECT_EQ("main", Route(CMD_ALL));
    EXPECT_EQ("main", Route(CMD_CHILD_UP));
    EXPECT_EQ("app", Route(CMD_APP));
}

TEST_F(RoutingTest, ClosingTheDocumentTakesItsWindowAway)
{
    m_pApp->OnFileNew();
    ASSERT_NE(nullptr, m_pMain->MDIGetActive());
    Route(ID_FILE_CLOSE);
    EXPECT_EQ(nullptr, m_pMain->MDIGetActive());
    EXPECT_EQ("main", Route(CMD_ALL));
}

TEST_F(RoutingTest, MenuItemsFollowTheirHandlers)
{
    m_pApp->OnFileNew();
    HMENU h = PopupWith({CMD_ALL, CMD_APP, CMD_NOBODY, CMD_DISABLED, CMD_CHILD_UP});
    EXPECT_FALSE(Grayed(h, CMD_ALL));
    EXPECT_FALSE(Grayed(h, CMD_APP));
    EXPECT_TRUE(Grayed(h, CMD_NOBODY)) << "an item nobody handles is disabled";
    EXPECT_TRUE(Grayed(h, CMD_DISABLED)) << "the update handler's answer wins over the command handler";
    EXPECT_TRUE(GetMenuState(h, CMD_CHILD_UP, MF_BYCOMMAND) & MF_CHECKED);
    DestroyMenu(h);
}

TEST_F(RoutingTest, AMenuCommandThatIsDisabledIsNotCarriedOut)
{
    EXPECT_EQ("", Route(CMD_DISABLED));
}

TEST_F(RoutingTest, ToolbarButtonsAreUpdatedAtIdleTime)
{
    m_pApp->PumpWaitingMessages();
    CToolBar& tb = m_pMain->m_toolBar;
    EXPECT_TRUE(tb.SendMessage(TB_ISBUTTONENABLED, CMD_MAIN_UP));
    EXPECT_TRUE(tb.SendMessage(TB_ISBUTTONENABLED, CMD_ALL));
    EXPECT_FALSE(tb.SendMessage(TB_ISBUTTONENABLED, CMD_NOBODY));
    EXPECT_FALSE(tb.SendMessage(TB_ISBUTTONENABLED, CMD_DISABLED));
}

TEST_F(RoutingTest, AnExceptionInAHandlerIsReportedAndTheProgramGoesOn)
{
    ModalWatcher watcher;
    Route(CMD_THROW_DISPATCH);
    Route(CMD_THROW_STD);
    auto seen = watcher.Seen();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("The shell refused.", seen[0].text);
    EXPECT_EQ("Command failed.", seen[1].text);
    EXPECT_TRUE(IsWindow(m_pMain->m_hWnd));
    EXPECT_EQ("main", Route(CMD_MAIN_UP));
}

// ---- Message maps on plain windows ----------------------------------------------------

namespace {

class ProbeWnd : public CWnd {
public:
    UINT m_firstMessage = 0;
    int m_nCreate = 0;
    std::string m_sizeBy;
    LRESULT m_lastApp = 0;
    std::function<void()> m_onCreate;  // runs in OnCreate, e.g. to throw

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (!m_firstMessage) m_firstMessage = message;
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int OnCreate(LPCREATESTRUCTA lpcs)
    {
        m_nCreate++;
        if (m_onCreate) m_onCreate();
        return CWnd::OnCreate(lpcs);
    }
    void OnSize(UINT, int, int) { m_sizeBy = "base"; }
    LRESULT OnApp(WPARAM w, LPARAM l) { return m_lastApp = static_cast<LRESULT>(w + l); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ProbeWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_MESSAGE(WM_APP + 1, &ProbeWnd::OnApp)
END_MESSAGE_MAP()

class DerivedProbeWnd : public ProbeWnd {
public:
    void OnSize(UINT, int cx, int) { m_sizeBy = "derived:" + std::to_string(cx); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(DerivedProbeWnd, ProbeWnd)
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CreateProbe(ProbeWnd& w)
{
    LPCSTR cls = CWnd::RegisterWndClass("FolvaneTest:Probe", 0);
    return w.CreateEx(0, cls, "probe", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr);
}

}  // namespace

TEST(MessageMap, TheObjectSeesItsWindowFromTheFirstMessage)
{
    ProbeWnd w;
    ASSERT_TRUE(CreateProbe(w));
    EXPECT_TRUE(w.m_firstMessage == WM_GETMINMAXINFO || w.m_firstMessage == WM_NCCREATE) << w.m_firstMessage;
    EXPECT_EQ(1, w.m_nCreate);
    EXPECT_EQ(&w, CWnd::FromHandlePermanent(w.m_hWnd));
    EXPECT_EQ(7, w.SendMessage(WM_APP + 1, 3, 4));
    w.DestroyWindow();
    EXPECT_EQ(nullptr, w.m_hWnd) << "the object lets go of its window at the last message";
}

TEST(MessageMap, ADerivedMapOverridesAndInheritsEntries)
{
    DerivedProbeWnd w;
    ASSERT_TRUE(CreateProbe(w));
    w.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(123, 45));
    EXPECT_EQ("derived:123", w.m_sizeBy);
    EXPECT_EQ(9, w.SendMessage(WM_APP + 1, 4, 5)) << "entries of the base map still apply";
    w.DestroyWindow();
}

// Whatever is thrown while the window is made, the creation fails (no half-made window
// is left) and the user is told once.
TEST(MessageMap, AnExceptionInCreateFailsTheCreationAndIsReported)
{
    struct Case {
        const char* kind;
        std::function<void()> raise;
        const char* text;  // the box's text; null where the system words it
    };
    const Case cases[] = {
        {"standard", [] { throw std::runtime_error("no"); }, "Internal application error."},
        {"out of memory", [] { throw std::bad_alloc(); }, "Insufficient memory to perform operation."},
        {"dispatch", [] { AfxThrowOleDispatchException(0, "The shell refused."); }, "The shell refused."},
        {"OLE", [] { AfxThrowOleException(E_OUTOFMEMORY); }, nullptr},
        {"framework memory", [] { throw CMemoryException(); }, nullptr},
        {"anything else", [] { throw 7; }, "Internal application error."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        ModalWatcher watcher;
        ProbeWnd w;
        w.m_onCreate = c.raise;
        EXPECT_FALSE(CreateProbe(w));
        EXPECT_EQ(nullptr, w.m_hWnd);
        EXPECT_EQ(nullptr, FindWindowA("FolvaneTest:Probe", nullptr)) << "a half-made window is left";
        const std::vector<SeenBox> seen = watcher.Seen();
        ASSERT_EQ(1u, seen.size());
        if (c.text) EXPECT_EQ(c.text, seen[0].text);
        else EXPECT_FALSE(seen[0].text.empty());
    }
}
