// The explorer view's life: creation, the first update that fills the tree and shows the
// document's folder, focus, the end of its window, and the text that reopens it. The rest
// of the class is split by concept: ViewLayout (panes and splitter), ShellBrowserHost (the
// IShellBrowser given to shell views), ViewKeys (keys before translation), ViewNavigation
// (showing folders), ViewCommands (the shell view's commands), ViewOptions, ViewDrop (drags
// onto the tree), TransferRefresh (windows showing folders the program changed) and
// RunCommand; FolderChangeWatch follows the shell's notices for the tree.
#include "view/FolvaneView.h"

#include <commctrl.h>

#include "frames/WindowPlacement.h"
#include "framework/ClassStyle.h"
#include "framework/Dialog.h"
#include "framework/FrameWnd.h"
#include "res/resource.h"
#include "shell/IdListPtr.h"
#include "tree/IdList.h"
#include "view/FolvaneDoc.h"

IMPLEMENT_DYNCREATE(CFolvaneView, CFormView)

BEGIN_MESSAGE_MAP(CFolvaneView, CFormView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_DESTROY()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
    ON_WM_PARENTNOTIFY()
    ON_MESSAGE(CWM_GETISHELLBROWSER, &CFolvaneView::OnGetShellBrowser)
    ON_MESSAGE(WM_GETBROWSERWINDOWSTRING, &CFolvaneView::OnGetBrowserWindowString)
    ON_MESSAGE(WM_SHELLFOLDERCHANGE, &CFolvaneView::OnShellFolderChange)
    ON_MESSAGE(WM_SHELLVIEWNOTIFY, &CFolvaneView::OnShellViewNotify)
    ON_MESSAGE(WM_TIMER, &CFolvaneView::OnTimerMessage)
    ON_MESSAGE(WM_SHELLVIEWCHANGED, &CFolvaneView::OnShellViewChanged)
    ON_MESSAGE(WM_GETBROWSERSTATUS, &CFolvaneView::OnGetBrowserStatus)
    // The tree talks ANSI to this window; the wide codes cost nothing to accept.
    ON_NOTIFY(TVN_SELCHANGINGA, IDC_TREE, &CFolvaneView::OnSelChanging)
    ON_NOTIFY(TVN_SELCHANGINGW, IDC_TREE, &CFolvaneView::OnSelChanging)
    ON_NOTIFY(TVN_SELCHANGEDA, IDC_TREE, &CFolvaneView::OnSelChanged)
    ON_NOTIFY(TVN_SELCHANGEDW, IDC_TREE, &CFolvaneView::OnSelChanged)
    ON_NOTIFY(TVN_ITEMEXPANDINGA, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_ITEMEXPANDINGW, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(NM_RCLICK, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_ITEMEXPANDEDA, IDC_TREE, &CFolvaneView::OnTreeExpanded)
    ON_NOTIFY(TVN_ITEMEXPANDEDW, IDC_TREE, &CFolvaneView::OnTreeExpanded)
    ON_NOTIFY(TVN_BEGINLABELEDITA, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_BEGINLABELEDITW, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_ENDLABELEDITA, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_ENDLABELEDITW, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_KEYDOWN, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_BEGINDRAGA, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_BEGINDRAGW, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_BEGINRDRAGA, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_BEGINRDRAGW, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_COMMAND(ID_REFRESH, &CFolvaneView::OnRefresh)
    ON_COMMAND(ID_UP_ONE_LEVEL, &CFolvaneView::OnUpOneLevel)
    ON_UPDATE_COMMAND_UI(ID_UP_ONE_LEVEL, &CFolvaneView::OnUpdateUpOneLevel)
    ON_COMMAND(ID_VIEW_OPTIONS, &CFolvaneView::OnViewOptions)
    ON_UPDATE_COMMAND_UI(ID_VIEW_OPTIONS, &CFolvaneView::OnUpdateViewOptions)
    // Run: above the range forwarded to the shell view.
    ON_COMMAND(ID_RUN, &CFolvaneView::OnRun)
    ON_UPDATE_COMMAND_UI(ID_RUN, &CFolvaneView::OnUpdateRun)
    ON_COMMAND(ID_GO_BACK, &CFolvaneView::OnGoBack)
    ON_COMMAND(ID_GO_FORWARD, &CFolvaneView::OnGoForward)
    ON_UPDATE_COMMAND_UI(ID_GO_BACK, &CFolvaneView::OnUpdateGoBack)
    ON_UPDATE_COMMAND_UI(ID_GO_FORWARD, &CFolvaneView::OnUpdateGoForward)
    ON_COMMAND_RANGE(0, 0x7FFF, &CFolvaneView::OnShellCommand)
    ON_UPDATE_COMMAND_UI_RANGE(0, 0x7FFF, &CFolvaneView::OnUpdateShellCommand)
END_MESSAGE_MAP()

BEGIN_INTERFACE_MAP(CFolvaneView, CFormView)
    INTERFACE_PART(CFolvaneView, IID_IShellBrowser, ShellBrowser)
END_INTERFACE_MAP()

CFolvaneView::CFolvaneView() : CFormView(IDD_FOLVANE_FORM)
{
}

CFolvaneView::~CFolvaneView() = default;

CFolvaneDoc* CFolvaneView::GetDocument() const
{
    return dynamic_cast<CFolvaneDoc*>(m_pDocument);
}

void CFolvaneView::DoDataExchange(CDataExchange* pDX)
{
    CFormView::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TREE, m_tree);
}

int CFolvaneView::OnCreate(LPCREATESTRUCTA lpcs)
{
    if (CFormView::OnCreate(lpcs) == -1) return -1;
    DisableResizeRedraw(this);
    // Window > New Window: the new window starts on the folder of the one it was made from.
    CFrameWnd* pOther = m_pCreateContext ? m_pCreateContext->m_pCurrentFrame : nullptr;
    if (const CFolvaneView* pOtherView = pOther ? dynamic_cast<const CFolvaneView*>(pOther->GetActiveView()) : nullptr)
        m_strShownFolder = pOtherView->m_strShownFolder;
    return 0;
}

void CFolvaneView::OnInitialUpdate()
{
    CFormView::OnInitialUpdate();
    m_tree.SetSystemImageList();
    m_tree.FillRoot();
    // The view's window takes the drags; the tree control itself is not registered.
    m_dropTarget.Register(this);
    m_dropTarget.m_pTree = &m_tree;
    m_folderChanges.Start(m_hWnd, &m_tree);
    CFolvaneDoc* pDoc = GetDocument();
    if (!pDoc) return;
    // Taken before the placement: maximising activates the window, and the tree, focused with
    // nothing selected, selects its first item, which would become the folder to show.
    const CString strFolder = m_strShownFolder.IsEmpty() ? pDoc->m_strFolderPath : m_strShownFolder;
    // The frame is still hidden: it appears where the placement puts it.
    if (!pDoc->m_strPlacement.IsEmpty()) ApplyWindowPlacementString(GetParentFrame(), pDoc->m_strPlacement);
    CIdListPtr pidl(PathToIdList(strFolder));
    GetShellBrowser(FALSE)->BrowseObject(pidl, SBSP_SAMEBROWSER | SBSP_ABSOLUTE);
    // What the tree showed on its own before (its first item, as the window was maximised) is
    // no place the user went: Back starts here.
    m_history = CNavigationHistory();
    if (!m_strShownFolder.IsEmpty()) RecordVisit(m_strShownFolder);
}

void CFolvaneView::OnDraw(HDC)
{
}

void CFolvaneView::OnDestroy()
{
    m_folderChanges.Stop();
    m_live.Stop();
    ReleaseShellView();
    LeaveFrameBars();
    CFormView::OnDestroy();
}

// ---- Focus ----------------------------------------------------------------------------------

void CFolvaneView::OnSetFocus(CWnd* pOldWnd)
{
    CFormView::OnSetFocus(pOldWnd);
    // The pane that had the focus gets it back: the tree keeps it, with the shell view
    // active beside it; otherwise the shell view takes it.
    if (m_hwndShellView && ::GetFocus() != m_hwndShellView)
        m_pShellView->UIActivate(TreeHasFocus() ? SVUIA_ACTIVATE_NOFOCUS : SVUIA_ACTIVATE_FOCUS);
}

void CFolvaneView::OnKillFocus(CWnd* pNewWnd)
{
    if (m_pShellView) m_pShellView->UIActivate(SVUIA_ACTIVATE_NOFOCUS);
    CFormView::OnKillFocus(pNewWnd);
}

// ---- Browser window text --------------------------------------------------------------

CString CFolvaneView::GetBrowserWindowString() const
{
    CString text = m_strShownFolder;
    text += ",";
    text += GetWindowPlacementString(GetParentFrame());
    return text;
}

LRESULT CFolvaneView::OnGetBrowserWindowString(WPARAM wParam, LPARAM lParam)
{
    return CopyTextToBuffer(GetBrowserWindowString(), reinterpret_cast<char*>(wParam), lParam);
}

// ---- Folders changed behind the tree's back ---------------------------------------------------

LRESULT CFolvaneView::OnShellFolderChange(WPARAM wParam, LPARAM lParam)
{
    m_folderChanges.OnFolderChange(wParam, lParam);
    return 0;
}

void CFolvaneView::OnTreeExpanded(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    m_live.Update();
}

LRESULT CFolvaneView::OnTimerMessage(WPARAM wParam, LPARAM)
{
    return m_folderChanges.OnTimer(wParam) ? 0 : Default();
}
