// Dropping onto the folder tree of a browser window: the framework's drop target registered
// for the view (client coordinates, a drop only after an allowed move, revoked with the
// window), and the tree's drop target through that registration in the running
// application, with drop targets of the test's own standing in for the folders': the drop
// highlight follows the cursor, the selection's look goes and comes back, targets are
// entered, left and released once, points reach them in screen coordinates, icons are read
// again after a drop. Finally files dragged with the mouse from the right pane land in a
// folder of the tree.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/View.h"
#include "shell/ComPtr.h"
#include "shell/Wine.h"
#include "support/DropTestUtil.h"
#include "support/MallocSpy.h"
#include "support/RealInput.h"
#include "support/TestShellFolder.h"
#include "support/TestTrash.h"
#include "support/TreeItems.h"
#include "support/ViewTest.h"
#include "view/FolvaneView.h"

namespace {

const DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

POINTL ToPointL(POINT pt)
{
    POINTL p = {pt.x, pt.y};
    return p;
}

ULONG RefsOf(IUnknown* p)
{
    p->AddRef();
    return p->Release();
}

// ---- The framework's drop target ------------------------------------------------------------

// A view of the test's own that records the drag as the framework hands it over.
class CDragRecordingView : public CView {
public:
    struct Event {
        char kind;
        DWORD keys;
        POINT pt;
        DROPEFFECT effect;
    };
    std::vector<Event> m_events;
    DROPEFFECT m_enterAnswer = DROPEFFECT_COPY;
    DROPEFFECT m_overAnswer = DROPEFFECT_COPY;
    BOOL m_bDropResult = TRUE;

    std::string Kinds() const
    {
        std::string kinds;
        for (const Event& e : m_events) kinds += e.kind;
        return kinds;
    }
    DROPEFFECT OnDragEnter(COleDataObject* pData, DWORD dwKeyState, POINT point) override
    {
        m_bSawData = m_bSawData || pData->GetIDataObject(FALSE) != nullptr;
        m_events.push_back({'E', dwKeyState, point, 0});
        return m_enterAnswer;
    }
    DROPEFFECT OnDragOver(COleDataObject*, DWORD dwKeyState, POINT point) override
    {
        m_events.push_back({'O', dwKeyState, point, 0});
        return m_overAnswer;
    }
    void OnDragLeave() override { m_events.push_back({'L', 0, {0, 0}, 0}); }
    BOOL OnDrop(COleDataObject*, DROPEFFECT dropEffect, POINT point) override
    {
        m_events.push_back({'D', 0, point, dropEffect});
        return m_bDropResult;
    }
    void PostNcDestroy() override {}  // owned by the test

    BOOL m_bSawData = FALSE;
};

class OleDropTargetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LPCSTR pszClass = CWnd::RegisterWndClass("FolvaneDropHost", 0);
        m_host.CreateEx(0, pszClass, "drop host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 300, 200, nullptr, nullptr);
        RECT rc = {20, 30, 220, 130};
        ASSERT_TRUE(m_view.Create(nullptr, "view", WS_CHILD | WS_VISIBLE, rc, &m_host, 1));
        m_pData.Attach(NewTextDataObject("dragged"));
    }
    void TearDown() override
    {
        if (m_view.m_hWnd) m_view.DestroyWindow();
        if (m_host.m_hWnd) m_host.DestroyWindow();
    }
    IDropTarget* Target() { return static_cast<IDropTarget*>(m_target.GetInterface(&IID_IDropTarget)); }
    POINT ScreenPoint(int x, int y)
    {
        POINT pt = {x, y};
        ClientToScreen(m_view.m_hWnd, &pt);
        return pt;
    }

    CWnd m_host;
    CDragRecordingView m_view;
    COleDropTarget m_target;
    CComPtr<IDataObject> m_pData;
};

struct FrameworkDropCase {
    const char* what;
    DROPEFFECT enter, over;
    DWORD allowed;
    BOOL dropResult;
    const char* kinds;    // what the view hears
    DWORD enterEffect;    // answered to OLE at enter
    DWORD dropEffect;     // answered to OLE at the drop
};

TEST_F(OleDropTargetTest, TheViewHearsTheDragInClientPointsAndADropOnlyAfterAnAllowedMove)
{
    const FrameworkDropCase cases[] = {
        {"allowed and taken", DROPEFFECT_COPY, DROPEFFECT_MOVE, kAll, TRUE, "EOD", DROPEFFECT_COPY, DROPEFFECT_MOVE},
        {"taken, then refused by the last move", DROPEFFECT_COPY, DROPEFFECT_NONE, kAll, TRUE, "EOL", DROPEFFECT_COPY,
         DROPEFFECT_NONE},
        {"an effect the source does not allow", DROPEFFECT_MOVE, DROPEFFECT_MOVE, DROPEFFECT_COPY, TRUE, "EOL",
         DROPEFFECT_NONE, DROPEFFECT_NONE},
        {"a drop the view fails", DROPEFFECT_LINK, DROPEFFECT_LINK, kAll, FALSE, "EOD", DROPEFFECT_LINK,
         DROPEFFECT_NONE},
    };
    ASSERT_TRUE(m_target.Register(&m_view));
    for (const FrameworkDropCase& c : cases) {
        SCOPED_TRACE(c.what);
        m_view.m_events.clear();
        m_view.m_enterAnswer = c.enter;
        m_view.m_overAnswer = c.over;
        m_view.m_bDropResult = c.dropResult;
        DWORD dwEffect = c.allowed;
        ASSERT_EQ(S_OK, Target()->DragEnter(m_pData, MK_LBUTTON, ToPointL(ScreenPoint(5, 6)), &dwEffect));
        EXPECT_EQ(c.enterEffect, dwEffect);
        dwEffect = c.allowed;
        Target()->DragOver(MK_LBUTTON | MK_SHIFT, ToPointL(ScreenPoint(7, 8)), &dwEffect);
        dwEffect = c.allowed;
        Target()->Drop(m_pData, MK_SHIFT, ToPointL(ScreenPoint(9, 10)), &dwEffect);
        EXPECT_EQ(c.dropEffect, dwEffect);
        ASSERT_EQ(c.kinds, m_view.Kinds());
        EXPECT_EQ(5, m_view.m_events[0].pt.x);
        EXPECT_EQ(6, m_view.m_events[0].pt.y);
        EXPECT_EQ(static_cast<DWORD>(MK_LBUTTON | MK_SHIFT), m_view.m_events[1].keys);
        EXPECT_EQ(8, m_view.m_events[1].pt.y);
        if (m_view.m_events[2].kind == 'D') {
            EXPECT_EQ(9, m_view.m_events[2].pt.x);
            EXPECT_EQ(c.over, m_view.m_events[2].effect) << "the drop takes the last move's effect";
        }
    }
    EXPECT_TRUE(m_view.m_bSawData);
    EXPECT_EQ(1u, RefsOf(m_pData)) << "the framework holds the data only during the drag";
}

TEST_F(OleDropTargetTest, TheRegistrationHoldsTheTargetUntilTheWindowGoesAndEndsADragInProgress)
{
    EXPECT_EQ(1, m_target.GetRefCount());
    ASSERT_TRUE(m_target.Register(&m_view));
    EXPECT_GT(m_target.GetRefCount(), 1);
    EXPECT_EQ(m_view.m_hWnd, m_target.GetRegisteredWindow());
    COleDropTarget second;
    EXPECT_FALSE(second.Register(&m_view)) << "one target per window";
    EXPECT_FALSE(m_target.Register(&m_host)) << "one window per target";
    EXPECT_EQ(1, second.GetRefCount());

    DWORD dwEffect = kAll;
    Target()->DragEnter(m_pData, MK_LBUTTON, ToPointL(ScreenPoint(1, 1)), &dwEffect);
    dwEffect = kAll;
    Target()->DragEnter(m_pData, MK_LBUTTON, ToPointL(ScreenPoint(1, 1)), &dwEffect);
    EXPECT_EQ("ELE", m_view.Kinds()) << "an enter without a leave ends the drag before";
    EXPECT_EQ(2u, RefsOf(m_pData));
    m_view.DestroyWindow();
    EXPECT_EQ("ELEL", m_view.Kinds()) << "a window that goes ends the drag for its handlers";
    EXPECT_EQ(1, m_target.GetRefCount()) << "nothing holds the target once its window is gone";
    EXPECT_EQ(nullptr, m_target.GetRegisteredWindow());
    EXPECT_EQ(1u, RefsOf(m_pData));

    // Any other window refuses drops unless its target says otherwise.
    COleDropTarget hostTarget;
    ASSERT_TRUE(hostTarget.Register(&m_host));
    IDropTarget* pHost = static_cast<IDropTarget*>(hostTarget.GetInterface(&IID_IDropTarget));
    dwEffect = kAll;
    pHost->DragEnter(m_pData, MK_LBUTTON, ToPointL(ScreenPoint(1, 1)), &dwEffect);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), dwEffect);
    pHost->DragLeave();
    hostTarget.Revoke();
    EXPECT_EQ(1, hostTarget.GetRefCount());
}

// ---- The tree's drop target in the running application ---------------------------------------

// A browser window on the test's folder, whose sub-folders alpha and beta hand out drop
// targets of the test's own and gamma takes no drops. The Part's own calls are used (the
// Windows path), so that the targets are the test's.
class TreeDropTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        SetWineCheckForTesting(WineCheck::Windows);
        m_pView = Open(m_root.Path());
        ASSERT_TRUE(m_pView);
        m_hRoot = Tree().GetSelectedItem();
        ASSERT_TRUE(m_hRoot);
        m_hAlpha = ChildByLabel(Tree(), m_hRoot, "alpha");
        m_hBeta = ChildByLabel(Tree(), m_hRoot, "beta");
        m_hGamma = ChildByLabel(Tree(), m_hRoot, "gamma");
        ASSERT_TRUE(m_hAlpha && m_hBeta && m_hGamma);

        m_state.dropTargets[L"alpha"] = &m_alpha;
        m_state.dropTargets[L"beta"] = &m_beta;
        m_state.removeAttrs[L"gamma"] = SFGAO_DROPTARGET;
        FolderItemData* pAlpha = Tree().GetItemRecord(m_hAlpha);
        IShellFolder* pWrapped = NewTestFolder(pAlpha->pFolder, &m_state);
        for (HTREEITEM h : {m_hAlpha, m_hBeta, m_hGamma}) {
            Tree().GetItemRecord(h)->pFolder = CComPtr<IShellFolder>(pWrapped);
        }
        pWrapped->Release();
        m_pData.Attach(NewTextDataObject("dragged"));
        m_pScope.reset(new CMallocSpy::CScope);
    }

    void TearDown() override
    {
        SetWineCheckForTesting(WineCheck::Detect);
        ViewTest::TearDown();
    }

    CShellTreeCtrl& Tree() { return m_pView->m_tree; }
    IDropTarget* Target() { return static_cast<IDropTarget*>(m_pView->m_dropTarget.GetInterface(&IID_IDropTarget)); }

    // A point on the item's label, in screen coordinates; dx moves it along the label.
    POINT PointOn(HTREEITEM hItem, int dx = 0)
    {
        RECT rc;
        Tree().GetItemRect(hItem, &rc, TRUE);
        POINT pt = {rc.left + 3 + dx, (rc.top + rc.bottom) / 2};
        ClientToScreen(Tree().m_hWnd, &pt);
        return pt;
    }
    // A point of the tree that is on no item: below the last one where there is room,
    // otherwise in the indentation of a nested item's row.
    POINT EmptyPoint()
    {
        RECT rcClient, rcLast;
        Tree().GetClientRect(&rcClient);
        HTREEITEM hLast = Tree().GetFirstVisibleItem();
        for (HTREEITEM h = hLast; h; h = Tree().GetNextVisibleItem(h)) hLast = h;
        Tree().GetItemRect(hLast, &rcLast, FALSE);
        POINT pt = {rcClient.left + 10, rcLast.bottom + 4};
        if (pt.y >= rcClient.bottom) pt = {1, (rcLast.top + rcLast.bottom) / 2};
        UINT nFlags = 0;
        HTREEITEM hHit = Tree().HitTest(pt, &nFlags);
        EXPECT_TRUE(!hHit || !(nFlags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON | TVHT_ONITEMRIGHT)));
        ClientToScreen(Tree().m_hWnd, &pt);
        return pt;
    }

    DWORD Enter(POINT pt, DWORD keys = MK_LBUTTON, DWORD allowed = kAll)
    {
        DWORD dwEffect = allowed;
        Target()->DragEnter(m_pData, keys, ToPointL(pt), &dwEffect);
        return dwEffect;
    }
    DWORD Over(POINT pt, DWORD keys = MK_LBUTTON, DWORD allowed = kAll)
    {
        DWORD dwEffect = allowed;
        Target()->DragOver(keys, ToPointL(pt), &dwEffect);
        return dwEffect;
    }
    DWORD Drop(POINT pt, DWORD keys = 0, DWORD allowed = kAll)
    {
        DWORD dwEffect = allowed;
        Target()->Drop(m_pData, keys, ToPointL(pt), &dwEffect);
        return dwEffect;
    }
    BOOL Selected(HTREEITEM hItem) { return Tree().GetItemState(hItem, TVIS_SELECTED) != 0; }
    // The re-read the shell's notices start; which folders are gone the platform's own way
    // tells (Wine binds a deleted folder all the same).
    void ReRead(HTREEITEM hItem)
    {
        SetWineCheckForTesting(WineCheck::Detect);
        Tree().RefreshFolderItem(hItem);
        SetWineCheckForTesting(WineCheck::Windows);
    }
    // The colour behind an item's label as the tree draws it now.
    COLORREF LabelBackground(HTREEITEM hItem)
    {
        ::RedrawWindow(Tree().m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        RECT rc;
        Tree().GetItemRect(hItem, &rc, TRUE);
        HDC hdc = ::GetDC(Tree().m_hWnd);
        const COLORREF color = ::GetPixel(hdc, rc.left + 1, rc.top + 1);
        ::ReleaseDC(Tree().m_hWnd, hdc);
        return color;
    }
    int ImageOf(HTREEITEM hItem)
    {
        TVITEMA item = {};
        item.mask = TVIF_HANDLE | TVIF_IMAGE;
        item.hItem = hItem;
        Tree().GetItem(&item);
        return item.iImage;
    }
    void SetImage(HTREEITEM hItem, int iImage)
    {
        TVITEMA item = {};
        item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = hItem;
        item.iImage = item.iSelectedImage = iImage;
        Tree().SetItem(&item);
    }
    // Between drags the tree's target holds nothing, and the tree looks as before.
    void ExpectDragOver()
    {
        EXPECT_EQ(nullptr, m_pView->m_dropTarget.m_hDropItem);
        EXPECT_EQ(nullptr, m_pView->m_dropTarget.m_pItemDropTarget);
        EXPECT_EQ(nullptr, Tree().GetDropHilightItem());
        EXPECT_TRUE(Selected(m_hRoot)) << "the selection has its look back";
        EXPECT_EQ(1, m_alpha.m_nRefs) << "no reference of alpha's target is held";
        EXPECT_EQ(1, m_beta.m_nRefs) << "no reference of beta's target is held";
        EXPECT_EQ(1u, RefsOf(m_pData)) << "no reference of the data is held";
        EXPECT_EQ(0, m_pScope->Leaked()) << "shell-allocator blocks left after the drag";
    }

    CFolvaneView* m_pView = nullptr;
    HTREEITEM m_hRoot = nullptr, m_hAlpha = nullptr, m_hBeta = nullptr, m_hGamma = nullptr;
    CRecordingDropTarget m_alpha, m_beta;
    CTestFolderState m_state;
    CComPtr<IDataObject> m_pData;
    std::unique_ptr<CMallocSpy::CScope> m_pScope;
};

TEST_F(TreeDropTest, TheHighlightFollowsTheFolderUnderTheCursorAndTheSelectionLooksBackAfterALeave)
{
    // The view's window takes the drags; the tree control has no registration of its own.
    EXPECT_EQ(m_pView->m_hWnd, m_pView->m_dropTarget.GetRegisteredWindow());
    EXPECT_EQ(&Tree(), m_pView->m_dropTarget.m_pTree);
    CRecordingDropTarget probe;
    EXPECT_EQ(S_OK, RegisterDragDrop(Tree().m_hWnd, &probe));
    RevokeDragDrop(Tree().m_hWnd);
    EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(m_pView->m_hWnd, &probe));
    EXPECT_EQ(1, probe.m_nRefs);

    EXPECT_TRUE(Selected(m_hRoot));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), Enter(PointOn(m_hAlpha)));
    EXPECT_EQ(m_hAlpha, Tree().GetDropHilightItem());
    EXPECT_FALSE(Selected(m_hRoot)) << "only the drop highlight shows during the drag";
    EXPECT_EQ(m_hRoot, Tree().GetSelectedItem()) << "the selection itself stays";
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), LabelBackground(m_hAlpha)) << "the folder under the cursor is drawn highlighted";
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), LabelBackground(m_hRoot)) << "the selection is drawn plain";

    m_beta.m_dwAnswer = DROPEFFECT_MOVE;
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), Over(PointOn(m_hBeta)));
    EXPECT_EQ(m_hBeta, Tree().GetDropHilightItem());
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), LabelBackground(m_hBeta));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), LabelBackground(m_hAlpha));
    EXPECT_EQ("EL", m_alpha.Kinds()) << "the folder left behind hears its drag end once";
    EXPECT_EQ(1, m_alpha.m_nRefs);
    EXPECT_EQ("EO", m_beta.Kinds());

    // A folder that takes no drops is highlighted all the same, and refuses.
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), Over(PointOn(m_hGamma)));
    EXPECT_EQ(m_hGamma, Tree().GetDropHilightItem());
    EXPECT_EQ("EOL", m_beta.Kinds());

    Over(PointOn(m_hAlpha));
    Target()->DragLeave();
    EXPECT_EQ("ELEOL", m_alpha.Kinds()) << "a leave ends the folder's drag exactly once";
    EXPECT_EQ(0, m_alpha.Count('D'));
    ExpectDragOver();
}

TEST_F(TreeDropTest, EmptySpaceKeepsTheLastFolderAndAReleaseThereDropsIntoIt)
{
    const int iReal = ImageOf(m_hAlpha);
    const int iStale = iReal == 0 ? 1 : 0;
    SetImage(m_hAlpha, iStale);

    Enter(PointOn(m_hAlpha));
    const POINT ptEmpty = EmptyPoint();
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), Over(ptEmpty)) << "the last folder's target still answers";
    EXPECT_EQ(m_hAlpha, Tree().GetDropHilightItem());
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), Drop(ptEmpty, MK_CONTROL));
    ASSERT_EQ("EOD", m_alpha.Kinds()) << "no leave after the drop";
    EXPECT_EQ(ptEmpty.y, m_alpha.Last('D')->pt.y);
    EXPECT_EQ(static_cast<DWORD>(MK_LBUTTON), m_alpha.Last('D')->keys) << "the drop keeps the last move's keys";
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), m_alpha.Last('D')->offered) << "the chosen effect is offered";
    EXPECT_EQ(iReal, ImageOf(m_hAlpha)) << "the folder's icons are read again after the drop";
    ExpectDragOver();

    // A drag that starts over empty space has no folder yet, and a release there drops nothing.
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), Enter(EmptyPoint()));
    EXPECT_EQ(nullptr, Tree().GetDropHilightItem());
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), Drop(EmptyPoint()));
    EXPECT_EQ("EOD", m_alpha.Kinds());
    ExpectDragOver();
}

TEST_F(TreeDropTest, AFolderIsAskedOnceOnArrivalThenForEveryMoveAlwaysInScreenPoints)
{
    const std::vector<POINT> points = {PointOn(m_hBeta), PointOn(m_hBeta, 4), PointOn(m_hBeta, 8), PointOn(m_hBeta, 2)};
    const int nUIObjects = m_state.nUIObjects;
    Enter(points[0], MK_LBUTTON, DROPEFFECT_COPY | DROPEFFECT_LINK);
    Over(points[1], MK_LBUTTON | MK_CONTROL);
    Over(points[2], MK_LBUTTON);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), Drop(points[3]));
    ASSERT_EQ("EOOD", m_beta.Kinds()) << "two moves over one item: one enter, two overs";
    EXPECT_EQ(1, m_state.nUIObjects - nUIObjects) << "the folder's target is fetched once per arrival";
    for (size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(points[i].x, m_beta.m_calls[i].pt.x);
        EXPECT_EQ(points[i].y, m_beta.m_calls[i].pt.y);
    }
    // A source that forbids a move: the folder chooses among what it allows (else it would
    // pick a move within one drive, and the drag would show no effect at all).
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_LINK), m_beta.m_calls[0].offered);
    EXPECT_EQ(kAll, m_beta.m_calls[1].offered) << "as the source says at each move";
    EXPECT_EQ(static_cast<DWORD>(MK_LBUTTON | MK_CONTROL), m_beta.m_calls[1].keys);
    EXPECT_EQ(static_cast<DWORD>(MK_LBUTTON), m_beta.m_calls[3].keys);
    ExpectDragOver();
}

TEST_F(TreeDropTest, ADropTheFolderRefusesOrFailsReportsNoEffectAndLeavesTheIcons)
{
    const int iStale = ImageOf(m_hBeta) == 0 ? 1 : 0;
    SetImage(m_hBeta, iStale);

    // The folder refuses at the last move: its drag is left, not dropped.
    m_beta.m_dwOverAnswer = DROPEFFECT_NONE;
    Enter(PointOn(m_hBeta));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), Over(PointOn(m_hBeta, 3)));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), Drop(PointOn(m_hBeta, 3)));
    EXPECT_EQ("EOL", m_beta.Kinds());
    ExpectDragOver();

    // The folder's drop fails: nothing is reported done and the icons are not read.
    m_beta.m_calls.clear();
    m_beta.m_dwOverAnswer = 0xFFFFFFFF;
    m_beta.m_hrDrop = E_FAIL;
    Enter(PointOn(m_hBeta));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), Drop(PointOn(m_hBeta)));
    EXPECT_EQ("ED", m_beta.Kinds());
    EXPECT_EQ(iStale, ImageOf(m_hBeta));
    ExpectDragOver();
}

TEST_F(TreeDropTest, OLEsOwnDragLoopReachesTheTreeThroughTheViewsRegistration)
{
    DWORD dwEffect = DROPEFFECT_NONE;
    const HRESULT hr = RunScriptedDrag(m_pData, kAll, {PointOn(m_hAlpha), PointOn(m_hBeta), PointOn(m_hBeta, 5)}, true,
                                       &dwEffect);
    EXPECT_EQ(DRAGDROP_S_DROP, hr);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), dwEffect);
    ASSERT_FALSE(m_alpha.m_calls.empty());
    EXPECT_EQ('E', m_alpha.m_calls.front().kind);
    EXPECT_EQ(PointOn(m_hAlpha).x, m_alpha.m_calls.front().pt.x);
    EXPECT_EQ('L', m_alpha.m_calls.back().kind);
    EXPECT_EQ(1, m_alpha.Count('L'));
    ASSERT_FALSE(m_beta.m_calls.empty());
    EXPECT_EQ('E', m_beta.m_calls.front().kind);
    EXPECT_EQ('D', m_beta.m_calls.back().kind);
    EXPECT_EQ(0, m_beta.Count('L'));
    ExpectDragOver();

    // Cancelled over a folder: its drag is left.
    m_alpha.m_calls.clear();
    RunScriptedDrag(m_pData, kAll, {PointOn(m_hAlpha), PointOn(m_hAlpha, 5)}, false, &dwEffect);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), dwEffect);
    ASSERT_FALSE(m_alpha.m_calls.empty());
    EXPECT_EQ('L', m_alpha.m_calls.back().kind);
    EXPECT_EQ(0, m_alpha.Count('D'));
    ExpectDragOver();
}

// The drag's loop lets the tree read a folder again while the drag goes on (the shell's
// notices of another program's changes): the folder under the cursor and the selection may
// go, and the control may give a new folder the handle of a gone one.
TEST_F(TreeDropTest, FoldersThatGoDuringTheDragAreNeitherTargetsNorSelectedAfterIt)
{
    Tree().SelectItem(m_hGamma);
    ASSERT_EQ(m_hGamma, Tree().GetSelectedItem());
    Enter(PointOn(m_hAlpha));
    ASSERT_EQ(m_hAlpha, m_pView->m_dropTarget.m_hDropItem);
    ASSERT_TRUE(RemoveTree(m_root.Sub("alpha")) && RemoveTree(m_root.Sub("gamma")));
    ReRead(m_hRoot);
    EXPECT_EQ(nullptr, m_pView->m_dropTarget.m_hDropItem) << "the drop target kept the handle of a gone folder";
    EXPECT_EQ(nullptr, m_pView->m_dropTarget.m_hSelectedBeforeDrag) << "and of the selection that went";
    EXPECT_EQ(m_hRoot, Tree().GetSelectedItem());
    m_root.MakeFolders({"delta", "epsilon"});
    ReRead(m_hRoot);
    m_pScope.reset(new CMallocSpy::CScope);  // the new folders' records stay with their items

    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), Over(EmptyPoint())) << "a gone folder takes no drop";
    EXPECT_EQ("EL", m_alpha.Kinds()) << "its drag ends once";
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), Over(PointOn(m_hBeta)));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), Drop(PointOn(m_hBeta)));
    EXPECT_EQ("EOD", m_beta.Kinds());
    for (const char* name : {"delta", "epsilon"}) {
        HTREEITEM hNew = ChildByLabel(Tree(), m_hRoot, name);
        ASSERT_TRUE(hNew) << name;
        EXPECT_FALSE(Selected(hNew)) << name << " looks selected";
    }
    ExpectDragOver();
}

// ---- A real drag with the mouse -------------------------------------------------------------

// Drags to a tree item from a thread of its own (the drag's loop runs on the user-interface
// thread meanwhile) and releases there once the tree shows it as the drop target.
void DragToTreeItem(POINT from, POINT to, HWND hTree, HTREEITEM hTarget, std::atomic<bool>* pDone)
{
    TreeDropSpot spot = {hTree, hTarget};
    DragWithMouse(from, to, TreeShowsDropTarget, &spot);
    *pDone = true;
}

class MouseDragTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        // Should the shell send anything to the trash, it goes to one of the test's own.
        UseTestTrash(m_trash.Path());
    }

    ScratchFolder m_trash{"treedrop-trash"};
};

TEST_F(MouseDragTest, WhatIsDraggedFromTheRightPaneLandsInTheFolderDroppedOnAndBothPanesShowIt)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_TRUE(pView);
    CShellTreeCtrl& tree = pView->m_tree;
    HWND hList = ListOf(pView);
    ASSERT_TRUE(hList);
    struct { const char* item; const char* into; bool bFolder; } cases[] = {
        {"one.txt", "beta", false},
        {"alpha", "gamma", true},
    };
    for (const auto& c : cases) {
        HTREEITEM hRoot = tree.GetSelectedItem();
        HTREEITEM hInto = ChildByLabel(tree, hRoot, c.into);
        const int iItem = ListIndexOf(pView, c.item);
        ASSERT_TRUE(hInto && iItem >= 0) << c.item;

        RECT rcItem = {LVIR_LABEL, 0, 0, 0};
        SendMessageA(hList, LVM_GETITEMRECT, static_cast<WPARAM>(iItem), reinterpret_cast<LPARAM>(&rcItem));
        POINT from = {rcItem.left + 6, (rcItem.top + rcItem.bottom) / 2};
        ClientToScreen(hList, &from);
        RECT rcInto;
        tree.GetItemRect(hInto, &rcInto, TRUE);
        POINT to = {rcInto.left + 4, (rcInto.top + rcInto.bottom) / 2};
        ClientToScreen(tree.m_hWnd, &to);

        std::atomic<bool> done{false};
        std::thread mouse(DragToTreeItem, from, to, tree.m_hWnd, hInto, &done);
        const std::string landed = m_root.Sub(std::string(c.into) + "\\" + c.item);
        PumpUntil([&] { return done && GetFileAttributesA(landed.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000);
        mouse.join();
        Pump();
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(landed.c_str())) << "in the folder dropped on: " << c.item;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_root.Sub(c.item).c_str()))
            << "moved within one drive, as with no key on Windows: " << c.item;
        EXPECT_EQ(nullptr, tree.GetDropHilightItem());
        EXPECT_EQ(nullptr, pView->m_dropTarget.m_pItemDropTarget);

        // Both panes show the move: the folder on show lists it no more, the tree has it in
        // its new place only, and the window still shows the same folder.
        EXPECT_EQ(-1, ListIndexOf(pView, c.item)) << c.item;
        EXPECT_EQ(hRoot, tree.GetSelectedItem());
        if (c.bFolder) {
            // The two come from different reads (of the folder left, and of the one dropped on).
            PumpUntil([&] {
                HTREEITEM h = ChildByLabel(tree, hRoot, c.into);
                return !ChildByLabel(tree, hRoot, c.item) && h && tree.GetChildItem(h);
            }, 3000);
            EXPECT_EQ(nullptr, ChildByLabel(tree, hRoot, c.item)) << "gone from where it was";
            hInto = ChildByLabel(tree, hRoot, c.into);
            ASSERT_TRUE(hInto);
            ASSERT_TRUE(tree.GetChildItem(hInto)) << "the folder dropped on offers its new sub-folder";
            tree.ExpandWithNotify(hInto, TVE_EXPAND);
            EXPECT_TRUE(ChildByLabel(tree, hInto, c.item)) << "found in its new place";
        }
    }
}

// A tree folder dragged and let go anywhere: the tree drags nothing itself, so nothing may
// look like a drop target afterwards (Wine's control marks the dragged item as one).
TEST_F(MouseDragTest, ATreeFolderDraggedAndLetGoLeavesNoDropHighlight)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_TRUE(pView);
    SetForegroundWindow(MainWnd());
    CShellTreeCtrl& tree = pView->m_tree;
    HTREEITEM hRoot = tree.GetSelectedItem();
    HTREEITEM hAlpha = ChildByLabel(tree, hRoot, "alpha"), hGamma = ChildByLabel(tree, hRoot, "gamma");
    ASSERT_TRUE(hAlpha && hGamma);
    RECT rcTree, rcAlpha, rcGamma;
    tree.GetWindowRect(&rcTree);
    tree.GetItemRect(hAlpha, &rcAlpha, TRUE);
    tree.GetItemRect(hGamma, &rcGamma, TRUE);
    POINT from = {rcAlpha.left + 4, (rcAlpha.top + rcAlpha.bottom) / 2};
    POINT onGamma = {rcGamma.left + 4, (rcGamma.top + rcGamma.bottom) / 2};
    ClientToScreen(tree.m_hWnd, &from);
    ClientToScreen(tree.m_hWnd, &onGamma);
    const struct { const char* over; POINT to; DWORD down, up; } cases[] = {
        {"the splitter", {rcTree.right + 2, from.y}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
        {"another folder", onGamma, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
        {"the right pane", {rcTree.right + 80, from.y}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
        {"the splitter, right button", {rcTree.right + 2, from.y}, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
    };
    for (const auto& c : cases) {
        std::atomic<bool> done{false};
        std::thread mouse([&] {
            SendMouse(from);
            Sleep(100);
            SendMouse(from, c.down);
            Sleep(100);
            for (int i = 1; i <= 10; ++i) {
                SendMouse({from.x + (c.to.x - from.x) * i / 10, from.y + (c.to.y - from.y) * i / 10});
                Sleep(30);
            }
            SendMouse(c.to, c.up);
            Sleep(100);
            done = true;
        });
        PumpUntil([&] { return done.load(); }, 10000);
        mouse.join();
        PumpFor(200);
        // A right-button release may open a menu: none is wanted here.
        EndMenu();
        EXPECT_EQ(nullptr, tree.GetDropHilightItem()) << "let go over " << c.over;
        EXPECT_EQ(hRoot, tree.GetSelectedItem()) << c.over;
        EXPECT_TRUE(Exists(m_root.Sub("alpha"))) << c.over;
    }
}

}  // namespace
