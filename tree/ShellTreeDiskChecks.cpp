// The disk facts of items, read only once the items show: just before they are painted or
// a key acts on them. Only where the shell's own answers need the disk (FolderFacts.h) are
// items queued for it: whether a file-system folder has sub-folders, and whether a folder
// that took the plain folder icons holds a desktop.ini.
#include "tree/ShellTreeCtrl.h"

#include "shell/DiskFolders.h"
#include "shell/ItemNames.h"

LRESULT CShellTreeCtrl::OnPaintMessage(WPARAM wParam, LPARAM lParam)
{
    if (!m_pendingChecks.empty()) ReadVisiblePendingItems();
    return DefWindowProc(WM_PAINT, wParam, lParam);
}

LRESULT CShellTreeCtrl::OnKeyDownMessage(WPARAM wParam, LPARAM lParam)
{
    // A key may act on an item that scrolled into view since the last paint.
    if (!m_pendingChecks.empty()) ReadVisiblePendingItems();
    return DefWindowProc(WM_KEYDOWN, wParam, lParam);
}

void CShellTreeCtrl::ReadVisiblePendingItems()
{
    // Walked afresh at every paint: the control hands out only live items.
    UINT nLeft = GetVisibleCount() + 1;
    for (HTREEITEM h = GetFirstVisibleItem(); h && nLeft && !m_pendingChecks.empty(); h = GetNextVisibleItem(h), --nLeft) {
        auto it = m_pendingChecks.find(h);
        if (it == m_pendingChecks.end()) continue;
        UINT nChecks = it->second;
        m_pendingChecks.erase(it);
        ReadPendingItem(h, nChecks);
    }
}

void CShellTreeCtrl::ReadPendingItem(HTREEITEM hItem, UINT nChecks)
{
    FolderItemData* pData = GetItemRecord(hItem);
    std::wstring strPath;
    if (!pData || !GetChildParsingName(pData->pFolder, pData->pidlRel, strPath)) return;

    if ((nChecks & kCheckIcon) && DiskFolderHasDesktopIni(strPath.c_str())) {
        TVITEMA item = {};
        item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = hItem;
        SetItemIcons(pData->pidlAbs, item.iImage, item.iSelectedImage);
        SetItem(&item);
    }
    // An item expanded meanwhile has its children (or none) read already.
    if ((nChecks & kCheckSubFolders) && !GetChildItem(hItem) && !(GetItemState(hItem, TVIS_EXPANDED) & TVIS_EXPANDED) &&
        DiskFolderHasSubFolder(strPath.c_str())) {
        InsertPlaceholder(hItem);
    }
}
