// The explorer view as the host of shell views: the IShellBrowser it hands them (menus,
// control windows, navigation requests, the shared toolbar's buttons), and the messages by
// which shell windows and the main frame reach it.
#include "view/FolvaneView.h"

#include <commctrl.h>

#include "framework/AfxRes.h"
#include "framework/ControlBar.h"
#include "framework/FrameWnd.h"
#include "framework/MergeMenus.h"
#include "framework/WinApp.h"
#include "res/resource.h"

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
    const LRESULT lResult = ::SendMessageA(m_hwndShellView, WM_NOTIFY, wParam, lParam);
    // A tip the view leaves empty (Wine's, for the buttons added for it) is its command's own.
    NMTTDISPINFOW* pInfo = reinterpret_cast<NMTTDISPINFOW*>(lParam);
    if (pInfo && pInfo->hdr.code == TTN_NEEDTEXTW && !pInfo->hinst &&
        (!pInfo->lpszText || (!IS_INTRESOURCE(pInfo->lpszText) && !pInfo->lpszText[0]))) {
        CString strTip;
        strTip.LoadString(static_cast<UINT>(pInfo->hdr.idFrom));
        const int nl = strTip.Find('\n');
        if (nl >= 0) {
            const CString strShort = strTip.Mid(nl + 1);
            ::MultiByteToWideChar(CP_ACP, 0, strShort, -1, pInfo->szText, sizeof(pInfo->szText) / sizeof(pInfo->szText[0]));
            pInfo->szText[sizeof(pInfo->szText) / sizeof(pInfo->szText[0]) - 1] = 0;
            pInfo->lpszText = pInfo->szText;
        }
    }
    return lResult;
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
