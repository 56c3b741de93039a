// Navigation in the explorer view: every way of moving to a folder ends in a change of the
// tree's selection, which makes a shell view for the new folder and swaps it in; and a
// double click (or Enter) on a sub-folder on the right opens it in this window.
#include "view/FolvaneView.h"

#include <commctrl.h>

#include "framework/FrameWnd.h"
#include "shell/AnsiNames.h"
#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "shell/ShellSelection.h"
#include "view/FolvaneDoc.h"

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
    OnShellViewShown();
    if (bHadFocus) {
        m_pShellView->UIActivate(SVUIA_ACTIVATE_FOCUS);
        if (!::GetFocus()) ::SetFocus(m_hwndShellView);
    }
    return hr;
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
        TitleWindow(strTitle);
    }
}

void CFolvaneView::OnSelChanged(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    CString strPath;
    if (m_tree.GetItemName(nullptr, SHGDN_FORPARSING, strPath)) {
        SetShownFolder(strPath);
        RecordVisit(strPath);
    }
    m_live.Update();
}

void CFolvaneView::TitleWindow(const CString& strTitle)
{
    // The frame's first: the document's new title captions each of its windows again.
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame) pFrame->SetTitle(strTitle);
    if (CFolvaneDoc* pDoc = GetDocument()) pDoc->SetTitle(strTitle);
    else if (pFrame) pFrame->OnUpdateFrameTitle(TRUE);
}

void CFolvaneView::SetShownFolder(const CString& strPath)
{
    m_strShownFolder = strPath;
    if (CFolvaneDoc* pDoc = GetDocument()) pDoc->m_strFolderPath = strPath;
}

void CFolvaneView::OnTreeNotify(NMHDR* pNMHDR, LRESULT* pResult)
{
    m_tree.HandleTreeNotify(pNMHDR, pResult);
    // The tree answers the control no even for a rename it made (it sets the label itself).
    if (pNMHDR->code == TVN_ENDLABELEDITA || pNMHDR->code == TVN_ENDLABELEDITW) FollowRenamedFolder();
}

void CFolvaneView::FollowRenamedFolder()
{
    // A rename of the folder on show, or of one above it, moves it: the right pane, the title
    // and the path that reopens the window follow it to its new name.
    CString strPath;
    if (!m_tree.GetItemName(nullptr, SHGDN_FORPARSING, strPath) || strPath == m_strShownFolder) return;
    CComPtr<IShellFolder> pFolder;
    pFolder.Attach(m_tree.BindItemFolder(nullptr));
    if (pFolder) ShowFolder(pFolder);
    CString strTitle;
    m_tree.GetItemTitle(m_tree.GetSelectedItem(), strTitle);
    TitleWindow(strTitle);
    SetShownFolder(strPath);
    m_history.RenameCurrent(strPath.str(), LongPathOf(strTitle));
}

void CFolvaneView::OnRefresh()
{
    // The tree's open folders as well; a folder on show that went gives way to one still there.
    m_live.RereadAll();
    if (m_pShellView) m_pShellView->Refresh();
}

void CFolvaneView::OnUpOneLevel()
{
    HTREEITEM hSelected = m_tree.GetSelectedItem();
    HTREEITEM hParent = m_tree.GetParentItem(hSelected);
    if (!hParent) return;
    // The folder left behind is where the user looks next: it is selected in the parent's list.
    const FolderItemData* pData = m_tree.GetItemRecord(hSelected);
    CIdListPtr pidlCameFrom(pData && pData->pidlRel ? ::ILClone(pData->pidlRel) : nullptr);
    if (!m_tree.SelectItem(hParent) || m_tree.GetSelectedItem() != hParent) return;
    if (m_pShellView && pidlCameFrom)
        m_pShellView->SelectItem(pidlCameFrom, SVSI_SELECT | SVSI_DESELECTOTHERS | SVSI_ENSUREVISIBLE | SVSI_FOCUSED);
}

void CFolvaneView::OnUpdateUpOneLevel(CCmdUI* pCmdUI)
{
    HTREEITEM hSelected = m_tree.m_hWnd ? m_tree.GetSelectedItem() : nullptr;
    pCmdUI->Enable(hSelected && m_tree.GetParentItem(hSelected));
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
