// The folder tree after items were made, moved or removed behind its back (another window,
// a drop, a paste, another program): a folder's item is found among those read, and its
// sub-folders are read again.
#include "tree/ShellTreeCtrl.h"

#include <set>
#include <string>
#include <vector>

#include "shell/ComPtr.h"
#include "shell/FolderFacts.h"
#include "shell/IdListPtr.h"
#include "shell/ItemNames.h"
#include "shell/Paths.h"
#include "tree/IdList.h"

BOOL CShellTreeCtrl::IsBelow(HTREEITEM hItem, HTREEITEM hAncestor)
{
    for (HTREEITEM h = hItem ? GetParentItem(hItem) : nullptr; h; h = GetParentItem(h)) {
        if (h == hAncestor) return TRUE;
    }
    return FALSE;
}

HTREEITEM CShellTreeCtrl::FindFolderItem(LPCITEMIDLIST pidlAbs)
{
    if (!pidlAbs) return nullptr;
    CComPtr<IMalloc> spMalloc;
    SHGetMalloc(spMalloc.Put());
    HTREEITEM hFound = TVI_ROOT;  // the top level holds the desktop's children
    for (LPCITEMIDLIST pidlRest = pidlAbs; hFound && pidlRest->mkid.cb; pidlRest = IdListGetNext(pidlRest)) {
        CIdListPtr pidlFirst(IdListCopyFirst(spMalloc, pidlRest));
        const CFolderRecords::Level* pChildren = m_records.Find(hFound);
        hFound = nullptr;
        if (!pidlFirst || !pChildren) break;
        for (const auto& child : *pChildren) {
            const FolderItemData* pData = child.second.get();
            if (pData->pFolder && pData->pFolder->CompareIDs(0, pidlFirst, pData->pidlRel) == 0) {
                hFound = child.first;
                break;
            }
        }
    }
    // The desktop itself has no item.
    return hFound == TVI_ROOT ? nullptr : hFound;
}

void CShellTreeCtrl::RefreshFolderItem(HTREEITEM hItem)
{
    FolderItemData* pData = hItem ? GetItemRecord(hItem) : nullptr;
    if (!pData) return;
    const CFolderRecords::Level* pChildren = m_records.Find(hItem);
    if (!pChildren) {
        // None read (not yet, or there were none): at most a placeholder to replace. An
        // item that was open stays open and reads them; another reads them when opened.
        const BOOL bOpen = (GetItemState(hItem, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
        HTREEITEM hChild;
        while ((hChild = GetChildItem(hItem)) != nullptr) DeleteItem(hChild);
        SetItemState(hItem, 0, TVIS_EXPANDED | TVIS_EXPANDEDONCE);
        if (FolderMayHaveSubFolders(pData->pFolder, pData->pidlRel)) {
            InsertPlaceholder(hItem);
            if (bOpen) ExpandWithNotify(hItem, TVE_EXPAND);
        }
        return;
    }
    std::vector<HTREEITEM> gone;
    std::set<std::wstring> present;
    for (const auto& child : *pChildren) {
        std::wstring strPath;
        GetChildParsingName(child.second->pFolder, child.second->pidlRel, strPath);
        if (IsFolderGone(child.second->pFolder, child.second->pidlRel, &strPath)) {
            gone.push_back(child.first);
        } else if (!strPath.empty()) {
            present.insert(PathKey(strPath));
        }
    }
    for (HTREEITEM hGone : gone) {
        HTREEITEM hSelected = GetSelectedItem();
        if (hSelected == hGone || IsBelow(hSelected, hGone)) Select(hItem, TVGN_CARET);
        DeleteChildItems(hGone, hGone, TRUE);
        DeleteItem(hGone);
    }
    // A folder kept whose sub-folders were never read may have got one (a folder moved into
    // it): the disk is asked again once it shows, as for a folder just read.
    for (HTREEITEM hChild = GetChildItem(hItem); hChild; hChild = GetNextSiblingItem(hChild)) {
        if (!GetChildItem(hChild) && !(GetItemState(hChild, TVIS_EXPANDED) & TVIS_EXPANDED))
            m_pendingChecks[hChild] |= kCheckSubFolders;
    }
    if (!m_pendingChecks.empty()) Invalidate(FALSE);
    CComPtr<IShellFolder> spFolder;
    spFolder.Attach(BindItemFolder(hItem));
    if (!spFolder) return;
    InsertFolderChildren(spFolder, pData->pidlAbs, hItem, &present);
    SortChildren(hItem);
}
