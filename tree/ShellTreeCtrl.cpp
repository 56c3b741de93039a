// The folder tree's life, its records and the queries on its items; the rest of the class
// is split by concept: ShellTreeFill (reading folders, icons, order), ShellTreeNavigation
// (expanding, collapsing, selecting), ShellTreeDiskChecks (what is read from the disk once
// items show), ShellTreeCommands (context menu, rename, delete), ShellTreeRefresh (after
// changes made behind the tree's back) and ShellTreeDraw (colours).
#include "tree/ShellTreeCtrl.h"

#include <algorithm>

#include "framework/WaitCursor.h"
#include "shell/AnsiNames.h"
#include "shell/ItemAttributes.h"
#include "shell/ItemNames.h"
#include "shell/TreeViewItems.h"
#include "tree/IdList.h"

IMPLEMENT_DYNAMIC(CShellTreeCtrl, CTreeCtrl)

BEGIN_MESSAGE_MAP(CShellTreeCtrl, CTreeCtrl)
    ON_WM_DESTROY()
    ON_MESSAGE(WM_PAINT, &CShellTreeCtrl::OnPaintMessage)
    ON_MESSAGE(WM_KEYDOWN, &CShellTreeCtrl::OnKeyDownMessage)
    ON_MESSAGE(WM_LBUTTONDOWN, &CShellTreeCtrl::OnLButtonDownMessage)
    ON_MESSAGE(WM_RBUTTONDOWN, &CShellTreeCtrl::OnRButtonDownMessage)
END_MESSAGE_MAP()

CShellTreeCtrl::~CShellTreeCtrl()
{
    // Destroyed before its window: let the window go first, so the records go with it.
    if (m_hWnd) DestroyWindow();
}

BOOL CShellTreeCtrl::PreTranslateMessage(MSG* pMsg)
{
    return CWnd::PreTranslateMessage(pMsg);
}

LRESULT CShellTreeCtrl::OnLButtonDownMessage(WPARAM wParam, LPARAM lParam)
{
    return OnButtonDown(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT CShellTreeCtrl::OnRButtonDownMessage(WPARAM wParam, LPARAM lParam)
{
    return OnButtonDown(WM_RBUTTONDOWN, wParam, lParam);
}

LRESULT CShellTreeCtrl::OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Wine's control marks an item it reports as dragged as the drop target once the report
    // is back, and nothing would ever take the mark away: the tree drags nothing itself.
    m_hDragStartItem = nullptr;
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (m_hDragStartItem && m_hWnd && GetDropHilightItem() == m_hDragStartItem) SelectDropTarget(nullptr);
    m_hDragStartItem = nullptr;
    return result;
}

void CShellTreeCtrl::OnDestroy()
{
    // Records only: selecting or deleting items now would send selection changes to a
    // parent that is going away.
    FreeDescendantRecords(TVI_ROOT);
    m_records.Clear();
    m_pendingChecks.clear();
    m_hEditItem = nullptr;
    m_hCommandItem = nullptr;
    CTreeCtrl::OnDestroy();
}

BOOL CShellTreeCtrl::HandleTreeNotify(NMHDR* pNMHDR, LRESULT* pResult)
{
    if (!pNMHDR || pNMHDR->hwndFrom != m_hWnd) return FALSE;
    switch (pNMHDR->code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW:
        OnItemExpanding(pNMHDR, pResult);
        *pResult = 0;
        return TRUE;
    case NM_RCLICK:
        OnRightClick(pNMHDR, pResult);
        *pResult = 0;
        return TRUE;
    case TVN_BEGINLABELEDITA:
    case TVN_BEGINLABELEDITW:
        OnBeginLabelEdit(pNMHDR, pResult);
        return TRUE;
    case TVN_ENDLABELEDITA:
    case TVN_ENDLABELEDITW: {
        CWaitCursor wait;
        OnEndLabelEdit(pNMHDR, pResult);
        return TRUE;
    }
    case TVN_KEYDOWN:
        *pResult = 0;
        if (reinterpret_cast<const NMTVKEYDOWN*>(pNMHDR)->wVKey == VK_DELETE) {
            if (HTREEITEM hSelected = GetSelectedItem()) DeleteFolderItem(hSelected);
        }
        return TRUE;
    case NM_CUSTOMDRAW:
        OnCustomDraw(pNMHDR, pResult);
        return TRUE;
    case TVN_BEGINDRAGA:
    case TVN_BEGINDRAGW:
    case TVN_BEGINRDRAGA:
    case TVN_BEGINRDRAGW:
        // The tree starts no drag of its own (the A and W forms agree up to the handle).
        m_hDragStartItem = reinterpret_cast<const NMTREEVIEWA*>(pNMHDR)->itemNew.hItem;
        *pResult = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

// ---- Records ---------------------------------------------------------------------------

FolderItemData* CShellTreeCtrl::GetItemRecord(HTREEITEM hItem) const
{
    if (!hItem) hItem = GetSelectedItem();
    return hItem ? reinterpret_cast<FolderItemData*>(GetItemData(hItem)) : nullptr;
}

void CShellTreeCtrl::DeleteChildItems(HTREEITEM hItem, HTREEITEM hReplacement, BOOL bReleaseItem)
{
    if (hItem && GetChildItem(hItem)) {
        // A selection anywhere below moves to the replacement before its item goes.
        HTREEITEM hSelected = GetSelectedItem();
        for (HTREEITEM h = hSelected ? GetParentItem(hSelected) : nullptr; h; h = GetParentItem(h)) {
            if (h == hItem) {
                Select(hReplacement, TVGN_CARET);
                break;
            }
        }
        // The items go, then their records.
        CFolderRecords::Level children = m_records.Take(hItem);
        std::vector<HTREEITEM> items;
        items.reserve(children.size());
        for (const auto& child : children) items.push_back(child.first);
        DeleteTreeViewChildren(m_hWnd, hItem, items);
        FreeLevel(std::move(children));
    }
    if (bReleaseItem && hItem) ReleaseRecord(hItem);
}

void CShellTreeCtrl::ForgetItem(HTREEITEM hItem)
{
    if (!m_pendingChecks.empty()) m_pendingChecks.erase(hItem);
    if (m_hEditItem == hItem) m_hEditItem = nullptr;
    if (m_hCommandItem == hItem) m_hCommandItem = nullptr;
    for (HTREEITEM* pHandle : m_watchedHandles) {
        if (*pHandle == hItem) *pHandle = nullptr;
    }
}

void CShellTreeCtrl::WatchItemHandle(HTREEITEM* pHandle)
{
    if (pHandle && std::find(m_watchedHandles.begin(), m_watchedHandles.end(), pHandle) == m_watchedHandles.end())
        m_watchedHandles.push_back(pHandle);
}

void CShellTreeCtrl::UnwatchItemHandle(HTREEITEM* pHandle)
{
    m_watchedHandles.erase(std::remove(m_watchedHandles.begin(), m_watchedHandles.end(), pHandle),
                           m_watchedHandles.end());
}

void CShellTreeCtrl::FreeLevel(CFolderRecords::Level level)
{
    for (auto& child : level) {
        FreeDescendantRecords(child.first);
        ForgetItem(child.first);
        child.second.reset();
    }
}

void CShellTreeCtrl::FreeDescendantRecords(HTREEITEM hItem)
{
    FreeLevel(m_records.Take(hItem));
}

void CShellTreeCtrl::ReleaseRecord(HTREEITEM hItem)
{
    if (!GetItemRecord(hItem)) return;
    FreeDescendantRecords(hItem);
    HTREEITEM hParent = GetParentItem(hItem);
    FolderItemDataPtr pData = m_records.TakeOne(hParent ? hParent : TVI_ROOT, hItem);
    ForgetItem(hItem);
    SetItemData(hItem, 0);
}

// ---- Queries ---------------------------------------------------------------------------

IShellFolder* CShellTreeCtrl::BindItemFolder(HTREEITEM hItem)
{
    const FolderItemData* pData = GetItemRecord(hItem);
    if (!pData || !pData->pFolder) return nullptr;
    IShellFolder* pFolder = nullptr;
    if (FAILED(pData->pFolder->BindToObject(pData->pidlRel, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&pFolder)))) {
        if (pFolder) pFolder->Release();
        return nullptr;
    }
    return pFolder;
}

BOOL CShellTreeCtrl::GetItemNameW(HTREEITEM hItem, DWORD uFlags, std::wstring& strName)
{
    const FolderItemData* pData = GetItemRecord(hItem);
    return pData && GetChildDisplayName(pData->pFolder, pData->pidlRel, uFlags, strName);
}

BOOL CShellTreeCtrl::GetItemName(HTREEITEM hItem, DWORD uFlags, CString& strName)
{
    std::wstring strWide;
    if (!GetItemNameW(hItem, uFlags, strWide)) return FALSE;
    const BOOL bPath = (uFlags & SHGDN_FORPARSING) && !(uFlags & SHGDN_INFOLDER);
    strName = bPath ? AnsiPathFor(strWide) : AnsiOf(strWide);
    return TRUE;
}

BOOL CShellTreeCtrl::GetItemTitle(HTREEITEM hItem, CString& strTitle)
{
    const FolderItemData* pData = GetItemRecord(hItem);
    if (!pData) return FALSE;
    SFGAOF attrs = ItemAttributes(pData->pFolder, pData->pidlRel, SFGAO_FILESYSTEM | SFGAO_FOLDER);
    GetItemName(hItem, (attrs & SFGAO_FILESYSTEM) ? SHGDN_FORPARSING : SHGDN_NORMAL, strTitle);
    return TRUE;
}
