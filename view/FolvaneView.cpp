#include "view/FolvaneView.h"

#include <commctrl.h>
#include <algorithm>
#include <prsht.h>

#include <vector>

#include "frames/WindowPlacement.h"
#include "framework/AfxRes.h"
#include "framework/ClassStyle.h"
#include "framework/ControlBar.h"
#include "framework/Dialog.h"
#include "framework/FrameWnd.h"
#include "framework/MergeMenus.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "shell/ClipboardFiles.h"
#include "shell/ComPtr.h"
#include "shell/DiskFolders.h"
#include "shell/DiskItems.h"
#include "shell/IdListPtr.h"
#include "shell/ItemNames.h"
#include "shell/Paths.h"
#include "shell/ShellSelection.h"
#include "shell/ShellViewCommands.h"
#include "shell/ShellViewList.h"
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
    // The tree talks ANSI to this window; the wide codes cost nothing to accept.
    ON_NOTIFY(TVN_SELCHANGINGA, IDC_TREE, &CFolvaneView::OnSelChanging)
    ON_NOTIFY(TVN_SELCHANGINGW, IDC_TREE, &CFolvaneView::OnSelChanging)
    ON_NOTIFY(TVN_SELCHANGEDA, IDC_TREE, &CFolvaneView::OnSelChanged)
    ON_NOTIFY(TVN_SELCHANGEDW, IDC_TREE, &CFolvaneView::OnSelChanged)
    ON_NOTIFY(TVN_ITEMEXPANDINGA, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_ITEMEXPANDINGW, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(NM_RCLICK, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_BEGINLABELEDITA, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_BEGINLABELEDITW, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_ENDLABELEDITA, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_ENDLABELEDITW, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(TVN_KEYDOWN, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_TREE, &CFolvaneView::OnTreeNotify)
    ON_COMMAND(ID_REFRESH, &CFolvaneView::OnRefresh)
    ON_COMMAND(ID_UP_ONE_LEVEL, &CFolvaneView::OnUpOneLevel)
    ON_UPDATE_COMMAND_UI(ID_UP_ONE_LEVEL, &CFolvaneView::OnUpdateUpOneLevel)
    ON_COMMAND(ID_VIEW_OPTIONS, &CFolvaneView::OnViewOptions)
    ON_UPDATE_COMMAND_UI(ID_VIEW_OPTIONS, &CFolvaneView::OnUpdateViewOptions)
    // Run: above the range forwarded to the shell view.
    ON_COMMAND(ID_RUN, &CFolvaneView::OnRun)
    ON_UPDATE_COMMAND_UI(ID_RUN, &CFolvaneView::OnUpdateRun)
    ON_COMMAND_RANGE(0, 0x7FFF, &CFolvaneView::OnShellCommand)
    ON_UPDATE_COMMAND_UI_RANGE(0, 0x7FFF, &CFolvaneView::OnUpdateShellCommand)
END_MESSAGE_MAP()

BEGIN_INTERFACE_MAP(CFolvaneView, CFormView)
    INTERFACE_PART(CFolvaneView, IID_IShellBrowser, ShellBrowser)
END_INTERFACE_MAP()

namespace {

const int kSplitterGap = 4;

// A file manager needs its splitter back: the gap stays where the mouse can reach it.
LONG ClampSplitter(LONG x, LONG cxClient)
{
    LONG xMax = cxClient - kSplitterGap;
    if (x > xMax) x = xMax;
    if (x < 0) x = 0;
    return x;
}

RECT ChildRectInClient(HWND hChild, HWND hParent)
{
    RECT rc = {0, 0, 0, 0};
    if (hChild) {
        ::GetWindowRect(hChild, &rc);
        ::MapWindowPoints(HWND_DESKTOP, hParent, reinterpret_cast<POINT*>(&rc), 2);
    }
    return rc;
}

}  // namespace

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
    // The frame is still hidden: it appears where the placement puts it.
    if (!pDoc->m_strPlacement.IsEmpty()) ApplyWindowPlacementString(GetParentFrame(), pDoc->m_strPlacement);
    CIdListPtr pidl(PathToIdList(pDoc->m_strFolderPath));
    GetShellBrowser(FALSE)->BrowseObject(pidl, SBSP_SAMEBROWSER | SBSP_ABSOLUTE);
}

void CFolvaneView::OnDraw(HDC)
{
}

// ---- Layout and splitter --------------------------------------------------------------

BOOL CFolvaneView::GetShellViewRect(RECT* pRect, const RECT* pClient) const
{
    RECT rcClient;
    if (pClient) rcClient = *pClient;
    else ::GetClientRect(m_hWnd, &rcClient);
    RECT rcTree = ChildRectInClient(::GetDlgItem(m_hWnd, IDC_TREE), m_hWnd);
    pRect->left = rcClient.left + (rcTree.right - rcTree.left) + kSplitterGap;
    pRect->top = rcClient.top - 2;
    pRect->right = rcClient.right + 1;
    pRect->bottom = rcClient.bottom + 1;
    return TRUE;
}

void CFolvaneView::OnSize(UINT nType, int cx, int cy)
{
    HWND hTree = ::GetDlgItem(m_hWnd, IDC_TREE);
    if (!hTree) return;
    RECT rcTree = ChildRectInClient(hTree, m_hWnd);
    ::MoveWindow(hTree, 0, 0, rcTree.right - rcTree.left, cy, TRUE);
    if (m_hwndShellView) {
        RECT rcClient = {0, 0, cx, cy};
        RECT rc;
        GetShellViewRect(&rc, &rcClient);
        ::MoveWindow(m_hwndShellView, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    }
    CFormView::OnSize(nType, cx, cy);
}

BOOL CFolvaneView::OnEraseBkgnd(HDC hdc)
{
    // Only the splitter gap is this window's to paint; the panes cover the rest.
    HWND hTree = ::GetDlgItem(m_hWnd, IDC_TREE);
    if (!hTree) return TRUE;
    RECT rcTree = ChildRectInClient(hTree, m_hWnd);
    RECT rcPane;
    GetShellViewRect(&rcPane);
    RECT rcGap = {rcTree.right, rcTree.top, rcPane.left, rcTree.bottom};
    ::FillRect(hdc, &rcGap, ::GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
}

void CFolvaneView::DrawSplitterTracker(POINT point)
{
    HDC hdc = ::GetDC(m_hWnd);
    POINT ptScreen = point;
    ClientToScreen(&ptScreen);
    RECT rc;
    GetWindowRect(&rc);
    rc.left = ptScreen.x;
    rc.right = ptScreen.x + 2;
    ScreenToClient(&rc);
    ::DrawFocusRect(hdc, &rc);
    ::ReleaseDC(m_hWnd, hdc);
}

void CFolvaneView::OnLButtonDown(UINT, POINT point)
{
    m_bTracking = TRUE;
    ::SetCapture(m_hWnd);
    m_ptTrack = point;
    DrawSplitterTracker(point);
}

void CFolvaneView::OnMouseMove(UINT nFlags, POINT point)
{
    if (!m_bTracking) {
        CFormView::OnMouseMove(nFlags, point);
        return;
    }
    DrawSplitterTracker(m_ptTrack);
    DrawSplitterTracker(point);
    m_ptTrack = point;
}

void CFolvaneView::OnLButtonUp(UINT nFlags, POINT point)
{
    if (!m_bTracking) {
        CFormView::OnLButtonUp(nFlags, point);
        return;
    }
    DrawSplitterTracker(m_ptTrack);
    HWND hTree = ::GetDlgItem(m_hWnd, IDC_TREE);
    RECT rcClient;
    GetClientRect(&rcClient);
    if (hTree) {
        RECT rcTree = ChildRectInClient(hTree, m_hWnd);
        rcTree.right = ClampSplitter(m_ptTrack.x, rcClient.right);
        ::MoveWindow(hTree, rcTree.left, rcTree.top, rcTree.right - rcTree.left, rcTree.bottom - rcTree.top, TRUE);
    }
    RECT rcWindow;
    GetWindowRect(&rcWindow);
    SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top));
    m_bTracking = FALSE;
    ::ReleaseCapture();
}

BOOL CFolvaneView::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_bTracking) {
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
    }
    POINT pt;
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    RECT rcWindow;
    GetWindowRect(&rcWindow);
    RECT rcAll = {0, 0, rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top};
    RECT rcPane;
    GetShellViewRect(&rcPane, &rcAll);
    RECT rcTree = ChildRectInClient(::GetDlgItem(m_hWnd, IDC_TREE), m_hWnd);
    if (rcTree.right < pt.x && pt.x < rcPane.left) {
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
    }
    return CFormView::OnSetCursor(pWnd, nHitTest, message);
}

// ---- Focus and lifetime -----------------------------------------------------------------

void CFolvaneView::OnSetFocus(CWnd* pOldWnd)
{
    CFormView::OnSetFocus(pOldWnd);
    if (m_hwndShellView && ::GetFocus() != m_hwndShellView) m_pShellView->UIActivate(SVUIA_ACTIVATE_FOCUS);
}

void CFolvaneView::OnKillFocus(CWnd* pNewWnd)
{
    if (m_pShellView) m_pShellView->UIActivate(SVUIA_ACTIVATE_NOFOCUS);
    CFormView::OnKillFocus(pNewWnd);
}

void CFolvaneView::ReleaseShellView()
{
    // Cleared first: nothing the old view does while it goes may find it still installed.
    CComPtr<IShellView> pView = std::move(m_pShellView);
    m_hwndShellView = nullptr;
    if (pView) {
        pView->UIActivate(SVUIA_DEACTIVATE);
        pView->DestroyViewWindow();
    }
}

void CFolvaneView::OnDestroy()
{
    m_folderChanges.Stop();
    ReleaseShellView();
    CFormView::OnDestroy();
}

// ---- Browser window text --------------------------------------------------------------

CString CFolvaneView::GetBrowserWindowString() const
{
    CFolvaneDoc* pDoc = GetDocument();
    CString text = pDoc ? pDoc->m_strFolderPath : CString();
    text += ",";
    text += GetWindowPlacementString(GetParentFrame());
    return text;
}

LRESULT CFolvaneView::OnGetBrowserWindowString(WPARAM wParam, LPARAM lParam)
{
    return CopyTextToBuffer(GetBrowserWindowString(), reinterpret_cast<char*>(wParam), lParam);
}

// ---- Shell browser host -------------------------------------------------------------------

IShellBrowser* CFolvaneView::GetShellBrowser(BOOL bAddRef)
{
    IShellBrowser* pBrowser = &m_xShellBrowser;
    if (bAddRef) pBrowser->AddRef();
    return pBrowser;
}

LRESULT CFolvaneView::OnGetShellBrowser(WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>(GetShellBrowser(FALSE));
}

LRESULT CFolvaneView::OnShellViewNotify(WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(m_hwndShellView, WM_NOTIFY, wParam, lParam);
}

CWnd* CFolvaneView::FindControlWindow(UINT id)
{
    // The bars are the main frame's, shared by every browser window.
    CFrameWnd* pFrame = GetTopLevelFrame();
    switch (id) {
    case FCW_STATUS: return pFrame ? pFrame->GetControlBar(AFX_IDW_STATUS_BAR) : nullptr;
    case FCW_TOOLBAR: return pFrame ? pFrame->GetControlBar(AFX_IDW_TOOLBAR) : nullptr;
    case FCW_TREE: return &m_tree;
    default: return nullptr;
    }
}

STDMETHODIMP_(ULONG) CFolvaneView::XShellBrowser::AddRef()
{
    METHOD_PROLOGUE(CFolvaneView, ShellBrowser)
    return pThis->ExternalAddRef();
}

STDMETHODIMP_(ULONG) CFolvaneView::XShellBrowser::Release()
{
    METHOD_PROLOGUE(CFolvaneView, ShellBrowser)
    return pThis->ExternalRelease();
}

STDMETHODIMP CFolvaneView::XShellBrowser::QueryInterface(REFIID iid, void** ppvObj)
{
    METHOD_PROLOGUE(CFolvaneView, ShellBrowser)
    return pThis->ExternalQueryInterface(&iid, ppvObj);
}

STDMETHODIMP CFolvaneView::XShellBrowser::GetWindow(HWND* phwnd)
{
    METHOD_PROLOGUE(CFolvaneView, ShellBrowser)
    if (!phwnd) return E_POINTER;
    *phwnd = pThis->m_hWnd;
    return S_OK;
}

STDMETHODIMP CFolvaneView::XShellBrowser::ContextSensitiveHelp(BOOL)
{
    return S_OK;
}

STDMETHODIMP CFolvaneView::XShellBrowser::InsertMenusSB(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS lpMenuWidths)
{
    if (!hmenuShared || !lpMenuWidths) return E_INVALIDARG;
    HMENU hTemplate = ::LoadMenuA(AfxFindResourceHandle(MAKEINTRESOURCEA(IDR_SHELLMENU), RT_MENU),
                                  MAKEINTRESOURCEA(IDR_SHELLMENU));
    if (!hTemplate) return E_FAIL;
    AfxMergeMenus(hmenuShared, hTemplate, lpMenuWidths->width, 0, FALSE);
    // The shell view looks for its Edit popup under this id.
    MENUITEMINFOA mii = {};
    mii.cbSize = offsetof(MENUITEMINFOA, hbmpItem);  // the structure without its last member, as of old
    mii.fMask = MIIM_ID;
    mii.wID = FCIDM_MENU_EDIT;
    ::SetMenuItemInfoA(hmenuShared, 1, TRUE, &mii);
    // The merged popups now belong to the shared menu: taken out of the template before it
    // goes, they live until the shell view destroys the shared menu.
    while (::GetMenuItemCount(hTemplate) > 0) ::RemoveMenu(hTemplate, 0, MF_BYPOSITION);
    ::DestroyMenu(hTemplate);
    return S_OK;
}

STDMETHODIMP CFolvaneView::XShellBrowser::SetMenuSB(HMENU, HOLEMENU, HWND)
{
    return S_OK;
}

STDMETHODIMP CFolvaneView::XShellBrowser::RemoveMenusSB(HMENU)
{
    return S_OK;
}

STDMETHODIMP CFolvaneView::XShellBrowser::SetStatusTextSB(LPCWSTR)
{
    return S_OK;
}

STDMETHODIMP CFolvaneView::XShellBrowser::EnableModelessSB(BOOL)
{
    return S_OK;
}

STDMETHODIMP CFolvaneView::XShellBrowser::TranslateAcceleratorSB(MSG*, WORD)
{
    return S_OK;
}

STDMETHODIMP CFolvaneView::XShellBrowser::BrowseObject(LPCITEMIDLIST pidl, UINT wFlags)
{
    METHOD_PROLOGUE(CFolvaneView, ShellBrowser)
    // Only these two exact requests navigate; a new window or a mode change is not offered.
    if (wFlags == (SBSP_SAMEBROWSER | SBSP_RELATIVE)) return pThis->m_tree.SelectChild(pidl);
    if (wFlags == (SBSP_SAMEBROWSER | SBSP_ABSOLUTE)) return pThis->m_tree.SelectIdList(pidl);
    return E_FAIL;
}

STDMETHODIMP CFolvaneView::XShellBrowser::GetViewStateStream(DWORD, IStream**)
{
    return E_NOTIMPL;
}

STDMETHODIMP CFolvaneView::XShellBrowser::GetControlWindow(UINT id, HWND* phwnd)
{
    METHOD_PROLOGUE(CFolvaneView, ShellBrowser)
    if (!phwnd) return E_POINTER;
    CWnd* pWnd = pThis->FindControlWindow(id);
    *phwnd = pWnd ? pWnd->m_hWnd : nullptr;
    return *phwnd ? S_OK : E_NOTIMPL;
}

STDMETHODIMP CFolvaneView::XShellBrowser::SendControlMsg(UINT id, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                                         LRESULT* pret)
{
    METHOD_PROLOGUE(CFolvaneView, ShellBrowser)
    CWnd* pWnd = pThis->FindControlWindow(id);
    if (!pWnd || !pWnd->m_hWnd) return E_NOTIMPL;
    LRESULT r = ::SendMessageA(pWnd->m_hWnd, uMsg, wParam, lParam);
    if (pret) *pret = r;
    return S_OK;
}

STDMETHODIMP CFolvaneView::XShellBrowser::QueryActiveShellView(IShellView** ppshv)
{
    METHOD_PROLOGUE(CFolvaneView, ShellBrowser)
    if (!ppshv) return E_POINTER;
    *ppshv = pThis->m_pShellView;
    if (!*ppshv) return E_NOTIMPL;
    (*ppshv)->AddRef();
    return S_OK;
}

STDMETHODIMP CFolvaneView::XShellBrowser::OnViewWindowActive(IShellView*)
{
    return S_OK;
}

STDMETHODIMP CFolvaneView::XShellBrowser::SetToolbarItems(LPTBBUTTONSB lpButtons, UINT nButtons, UINT)
{
    METHOD_PROLOGUE(CFolvaneView, ShellBrowser)
    CToolBar* pBar = dynamic_cast<CToolBar*>(pThis->FindControlWindow(FCW_TOOLBAR));
    if (!pBar || !pBar->m_hWnd) return E_FAIL;
    // Each call starts again from the application's own buttons: the toolbar is shared, and
    // shows the buttons of the shell view that called last.
    pBar->LoadToolBar(IDR_MAINFRAME);
    TBBUTTON sep = {};
    sep.fsStyle = TBSTYLE_SEP;
    pBar->SendMessage(TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&sep));
    BOOL bAdded = static_cast<BOOL>(pBar->SendMessage(TB_ADDBUTTONSA, nButtons, reinterpret_cast<LPARAM>(lpButtons)));
    if (CFrameWnd* pFrame = pThis->GetTopLevelFrame()) pFrame->ShowControlBar(pBar, TRUE, FALSE);
    return bAdded ? S_OK : E_FAIL;
}

BOOL CFolvaneView::PreTranslateMessage(MSG* pMsg)
{
    // While a name is being edited, in the tree or in the list, the keys are the editor's:
    // neither the shell view, the form's dialog keys (Enter, Escape) nor the frame's
    // accelerators (Ctrl+C, Ctrl+V) may take them.
    if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP || pMsg->message == WM_CHAR) {
        HWND hFocus = ::GetFocus();
        char cls[16] = "";
        if (hFocus && ::IsChild(m_hWnd, hFocus) && ::GetClassNameA(hFocus, cls, sizeof(cls)) &&
            lstrcmpiA(cls, "Edit") == 0) {
            ::TranslateMessage(pMsg);
            ::DispatchMessageA(pMsg);
            return TRUE;
        }
    }
    // The shell view sees keys first, unless the tree has the focus.
    if (m_pShellView && ::GetFocus() != m_tree.m_hWnd && m_pShellView->TranslateAccelerator(pMsg) == S_OK) {
        return TRUE;
    }
    // Enter opens the selected sub-folder in this window and Backspace goes up, as in the
    // shell's own folder windows; the shell view takes neither for itself here.
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_BACK) && m_hwndShellView &&
        ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_MENU) >= 0 && ::GetKeyState(VK_SHIFT) >= 0 &&
        CShellViewList(m_pShellView, m_hwndShellView).ListHasFocus()) {
        if (pMsg->wParam == VK_BACK) {
            OnUpOneLevel();
            return TRUE;
        }
        if (OpenSelectedSubFolder()) return TRUE;
        // Anything else is the list's to open, with its default verb.
        ::TranslateMessage(pMsg);
        ::DispatchMessageA(pMsg);
        return TRUE;
    }
    // Where the view takes none of its edit keys, in its list they do what the Edit menu
    // does, before the frame's accelerators (whose Cut, Copy and Paste have no handler) see them.
    if (pMsg->message == WM_KEYDOWN && m_hwndShellView) {
        if (UINT nID = CShellViewCommands(m_pShellView, m_hwndShellView).CommandForKey(pMsg->wParam)) {
            OnShellCommand(nID);
            return TRUE;
        }
    }
    return CFormView::PreTranslateMessage(pMsg);
}

// ---- Navigation ---------------------------------------------------------------------------

HRESULT CFolvaneView::ShowFolder(IShellFolder* pFolder)
{
    // The view mode the user chose carries over from folder to folder.
    FOLDERSETTINGS fs = {FVM_DETAILS, FWF_AUTOARRANGE};
    if (m_pShellView) m_pShellView->GetCurrentInfo(&fs);
    RECT rc;
    GetShellViewRect(&rc);
    CComPtr<IShellView> pNewView;
    HRESULT hr = pFolder->CreateViewObject(m_hWnd, IID_IShellView, pNewView.PutVoid());
    if (FAILED(hr)) return hr;
    HWND hwndNew = nullptr;
    hr = pNewView->CreateViewWindow(m_pShellView, &fs, GetShellBrowser(FALSE), &rc, &hwndNew);
    if (FAILED(hr)) return hr;
    // The old view goes only now that the new window exists. When the user was working in
    // it, the focus would go with its window: the new one takes it instead.
    HWND hFocus = ::GetFocus();
    const BOOL bHadFocus = m_hwndShellView && hFocus && (hFocus == m_hwndShellView || ::IsChild(m_hwndShellView, hFocus));
    ReleaseShellView();
    m_pShellView = std::move(pNewView);
    m_hwndShellView = hwndNew;
    if (bHadFocus) {
        m_pShellView->UIActivate(SVUIA_ACTIVATE_FOCUS);
        if (!::GetFocus()) ::SetFocus(m_hwndShellView);
    }
    return hr;
}

void CFolvaneView::OnSelChanging(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 1;  // refused until the new folder is on show
    const NMTREEVIEWA* pNMTreeView = reinterpret_cast<const NMTREEVIEWA*>(pNMHDR);
    HTREEITEM hItem = pNMTreeView->itemNew.hItem;
    const FolderItemData* pData = reinterpret_cast<const FolderItemData*>(pNMTreeView->itemNew.lParam);
    if (!hItem || !pData || !pData->pFolder) return;
    CComPtr<IShellFolder> pItemFolder;
    if (FAILED(pData->pFolder->BindToObject(pData->pidlRel, nullptr, IID_IShellFolder, pItemFolder.PutVoid()))) return;
    if (SUCCEEDED(ShowFolder(pItemFolder))) {
        *pResult = 0;
        CString strTitle;
        m_tree.GetItemTitle(hItem, strTitle);
        if (CFolvaneDoc* pDoc = GetDocument()) pDoc->SetTitle(strTitle);
    }
}

void CFolvaneView::OnSelChanged(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    CString strPath;
    CFolvaneDoc* pDoc = GetDocument();
    if (pDoc && m_tree.GetItemName(nullptr, SHGDN_FORPARSING, strPath)) pDoc->m_strFolderPath = strPath;
}

void CFolvaneView::OnTreeNotify(NMHDR* pNMHDR, LRESULT* pResult)
{
    m_tree.HandleTreeNotify(pNMHDR, pResult);
    if ((pNMHDR->code == TVN_ENDLABELEDITA || pNMHDR->code == TVN_ENDLABELEDITW) && *pResult) FollowRenamedFolder();
}

void CFolvaneView::FollowRenamedFolder()
{
    // A rename of the folder on show, or of one above it, moves it: the right pane, the title
    // and the path that reopens the window follow it to its new name.
    CFolvaneDoc* pDoc = GetDocument();
    CString strPath;
    if (!pDoc || !m_tree.GetItemName(nullptr, SHGDN_FORPARSING, strPath) || strPath == pDoc->m_strFolderPath) return;
    CComPtr<IShellFolder> pFolder;
    pFolder.Attach(m_tree.BindItemFolder(nullptr));
    if (pFolder) ShowFolder(pFolder);
    CString strTitle;
    m_tree.GetItemTitle(m_tree.GetSelectedItem(), strTitle);
    pDoc->SetTitle(strTitle);
    pDoc->m_strFolderPath = strPath;
}

void CFolvaneView::OnRefresh()
{
    if (m_pShellView) m_pShellView->Refresh();
}

void CFolvaneView::OnUpOneLevel()
{
    HTREEITEM hParent = m_tree.GetParentItem(m_tree.GetSelectedItem());
    if (hParent) m_tree.SelectItem(hParent);
}

void CFolvaneView::OnUpdateUpOneLevel(CCmdUI* pCmdUI)
{
    HTREEITEM hSelected = m_tree.m_hWnd ? m_tree.GetSelectedItem() : nullptr;
    pCmdUI->Enable(hSelected && m_tree.GetParentItem(hSelected));
}

void CFolvaneView::OnShellCommand(UINT nID)
{
    if (!m_hwndShellView) return;
    switch (CShellViewCommands(m_pShellView, m_hwndShellView).Execute(nID, m_hWnd)) {
    case CShellViewCommands::kDone: break;
    case CShellViewCommands::kPasteFiles: PasteClipboardFiles(FALSE); break;
    case CShellViewCommands::kPasteShortcuts: PasteClipboardFiles(TRUE); break;
    case CShellViewCommands::kMapDriveUnavailable:
        AfxMessageBox(IDS_MAP_DRIVE_UNAVAILABLE, MB_OK | MB_ICONINFORMATION);
        break;
    case CShellViewCommands::kDisconnectDriveUnavailable:
        AfxMessageBox(IDS_DISCONNECT_DRIVE_UNAVAILABLE, MB_OK | MB_ICONINFORMATION);
        break;
    }
}

void CFolvaneView::OnUpdateShellCommand(CCmdUI* pCmdUI)
{
    // Without a record of file operations there is nothing to undo.
    if (pCmdUI->m_nID == ID_SHELL_EDIT_UNDO && !CShellViewCommands::CanUndo()) {
        pCmdUI->Enable(FALSE);
        return;
    }
    // With a shell view the framework's default (a handler exists) enables it as well.
    if (!m_hwndShellView) pCmdUI->Enable(TRUE);
}

void CFolvaneView::OnParentNotify(UINT message, LPARAM)
{
    if (message != WM_LBUTTONDOWN) return;
    DWORD dwTick = ::GetTickCount();
    POINT pt;
    ::GetCursorPos(&pt);
    LONG dx = pt.x > m_ptLastPress.x ? pt.x - m_ptLastPress.x : m_ptLastPress.x - pt.x;
    LONG dy = pt.y > m_ptLastPress.y ? pt.y - m_ptLastPress.y : m_ptLastPress.y - pt.y;
    BOOL bSecond = m_pShellView && dx <= 2 && dy <= 2 && dwTick - m_dwLastPressTick < ::GetDoubleClickTime();
    if (bSecond) {
        RECT rc;
        ::GetWindowRect(m_hwndShellView, &rc);
        // A double click on the scroll bar is no request to open anything.
        if (pt.x > rc.right - ::GetSystemMetrics(SM_CXVSCROLL)) return;
        OpenSelectedSubFolder();
    }
    m_dwLastPressTick = dwTick;
    m_ptLastPress = pt;
}

BOOL CFolvaneView::OpenSelectedSubFolder()
{
    LPITEMIDLIST pidl = nullptr;
    if (!m_pShellView || FAILED(GetFirstSelectedItem(m_pShellView, &pidl)) || !pidl) return FALSE;
    CIdListPtr holder(pidl);
    // The parent's sub-folders come into the tree, where the selected one is then found.
    m_tree.ExpandWithNotify(m_tree.GetSelectedItem(), TVE_EXPAND);
    if (FAILED(GetShellBrowser(FALSE)->BrowseObject(pidl, SBSP_SAMEBROWSER | SBSP_RELATIVE))) return FALSE;
    if (m_pShellView) m_pShellView->SelectItem(nullptr, SVSI_DESELECTOTHERS);
    return TRUE;
}

// ---- Options ------------------------------------------------------------------------------

namespace {

// Every page the shell view adds goes into the sheet's array.
BOOL CALLBACK AddOptionsPage(HPROPSHEETPAGE hPage, LPARAM lParam)
{
    reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(lParam)->push_back(hPage);
    return TRUE;
}

std::vector<HPROPSHEETPAGE> CollectOptionsPages(IShellView* pView)
{
    std::vector<HPROPSHEETPAGE> pages;
    if (pView) pView->AddPropertySheetPages(0, &AddOptionsPage, reinterpret_cast<LPARAM>(&pages));
    return pages;
}

}  // namespace

void CFolvaneView::OnViewOptions()
{
    std::vector<HPROPSHEETPAGE> pages = CollectOptionsPages(m_pShellView);
    if (pages.empty()) return;
    PROPSHEETHEADERA psh = {};
    psh.dwSize = PROPSHEETHEADERA_V1_SIZE;
    psh.hwndParent = m_hWnd;
    psh.hInstance = AfxGetInstanceHandle();
    psh.pszCaption = "Options";
    psh.nPages = static_cast<UINT>(pages.size());
    psh.nStartPage = 0;
    psh.phpage = pages.data();
    ::PropertySheetA(&psh);
}

void CFolvaneView::OnUpdateViewOptions(CCmdUI* pCmdUI)
{
    // Offered only where the shell view has pages to offer.
    std::vector<HPROPSHEETPAGE> pages = CollectOptionsPages(m_pShellView);
    for (HPROPSHEETPAGE hPage : pages) ::DestroyPropertySheetPage(hPage);
    pCmdUI->Enable(!pages.empty());
}

// ---- Drops onto the tree ------------------------------------------------------------------

DROPEFFECT CFolvaneView::OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, POINT point)
{
    ClientToScreen(&point);
    return m_dropTarget.OnTreeDragEnter(pDataObject, dwKeyState, point);
}

DROPEFFECT CFolvaneView::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, POINT point)
{
    ClientToScreen(&point);
    return m_dropTarget.OnTreeDragOver(pDataObject, dwKeyState, point);
}

void CFolvaneView::OnDragLeave()
{
    m_dropTarget.OnTreeDragLeave();
}

BOOL CFolvaneView::OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, POINT point)
{
    // What is dropped where, read while the drag still holds it.
    std::vector<std::wstring> files;
    std::wstring strTarget;
    const FolderItemData* pTarget = m_dropTarget.m_hDropItem ? m_tree.GetItemRecord(m_dropTarget.m_hDropItem) : nullptr;
    if (pTarget && pTarget->pFolder && pDataObject && pDataObject->GetIDataObject(FALSE)) {
        if (!GetChildParsingName(pTarget->pFolder, pTarget->pidlRel, strTarget) ||
            !ReadDropFiles(pDataObject->GetIDataObject(FALSE), files)) {
            files.clear();
        }
    }
    ClientToScreen(&point);
    const BOOL bDropped = m_dropTarget.OnTreeDrop(pDataObject, dropEffect, point);
    if (bDropped && !files.empty()) ShowFoldersChanged(FoldersTouchedBy(files, strTarget));
    return bDropped;
}

// ---- Folders changed behind the tree's back ---------------------------------------------------

LRESULT CFolvaneView::OnShellFolderChange(WPARAM wParam, LPARAM lParam)
{
    m_folderChanges.OnFolderChange(wParam, lParam);
    return 0;
}

LRESULT CFolvaneView::OnTimerMessage(WPARAM wParam, LPARAM)
{
    return m_folderChanges.OnTimer(wParam) ? 0 : Default();
}

// ---- Folders changed by the program's own transfers -----------------------------------------

std::vector<std::wstring> CFolvaneView::FoldersTouchedBy(const std::vector<std::wstring>& files,
                                                          const std::wstring& strTarget)
{
    std::vector<std::wstring> folders;
    if (!strTarget.empty()) folders.push_back(strTarget);
    for (const std::wstring& strFile : files) {
        // One still there was copied: its folder is as it was.
        if (::GetFileAttributesW(strFile.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        std::wstring strParent = ParentOf(strFile);
        if (!strParent.empty()) folders.push_back(strParent);
    }
    return folders;
}

void CFolvaneView::ShowFoldersChanged(const std::vector<std::wstring>& folders)
{
    // A shell view that follows the shell's notices by itself, as the tree does, needs no help.
    CMDIFrameWnd* pMain = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    if (CShellViewCommands::ShowsTransfersItself() || folders.empty() || !pMain) return;
    for (CFrameWnd* pFrame : pMain->GetMDIChildFrames()) {
        CFolvaneView* pView = dynamic_cast<CFolvaneView*>(pFrame->GetActiveView());
        if (!pView || !pView->m_pShellView) continue;
        const FolderItemData* pShown = pView->m_tree.GetItemRecord(pView->m_tree.GetSelectedItem());
        std::wstring strShown;
        if (!pShown || !pShown->pFolder || !GetChildParsingName(pShown->pFolder, pShown->pidlRel, strShown)) continue;
        for (const std::wstring& strFolder : folders) {
            if (SamePath(strFolder, strShown)) {
                pView->m_pShellView->Refresh();
                break;
            }
        }
    }
}

// ---- Pasting files where the shell view does not ------------------------------------------

void CFolvaneView::PasteClipboardFiles(BOOL bShortcuts)
{
    // Only a folder on disk takes files.
    const FolderItemData* pData = m_tree.m_hWnd ? m_tree.GetItemRecord(m_tree.GetSelectedItem()) : nullptr;
    std::wstring strFolder;
    CClipboardFiles files;
    if (!pData || !GetChildParsingName(pData->pFolder, pData->pidlRel, strFolder) ||
        !DiskFolderExists(strFolder.c_str()) || !files.Read()) {
        ::MessageBeep(MB_OK);
        return;
    }
    // The file operation asks its questions modally; this window may go meanwhile.
    HWND hWnd = m_hWnd;
    HRESULT hr = bShortcuts ? files.PasteShortcutsInto(strFolder) : files.PasteInto(hWnd, strFolder);
    // What was done by a failure or a cancel stays done: show it all the same.
    if (hr != S_FALSE) ShowFoldersChanged(FoldersTouchedBy(files.GetFiles(), strFolder));
}
