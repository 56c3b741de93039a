// Expanding, collapsing and selecting in the folder tree: a level is read when it opens and
// dropped when it closes; an absolute or one-level list is found and selected.
#include "tree/ShellTreeCtrl.h"

#include "shell/ComPtr.h"
#include "shell/FolderFacts.h"
#include "shell/IdListPtr.h"
#include "tree/IdList.h"

void CShellTreeCtrl::OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    // The A and W forms differ only in the text pointers, which are not read here.
    const NMTREEVIEWA* pnm = reinterpret_cast<const NMTREEVIEWA*>(pNMHDR);
    HTREEITEM hItem = pnm->itemNew.hItem;
    FolderItemData* pData = reinterpret_cast<FolderItemData*>(pnm->itemNew.lParam);
    if (!hItem || !pData) return;

    if (pnm->action & TVE_EXPAND) {
        // A second notification for the same expansion (Wine's tree sends its own on the
        // first TVM_EXPAND) finds the children read already, and keeps them.
        HTREEITEM hChild = GetChildItem(hItem);
        if (hChild && GetItemData(hChild)) return;
        while ((hChild = GetChildItem(hItem)) != nullptr) DeleteItem(hChild);
        if (pData->pFolder) {
            CComPtr<IShellFolder> spFolder;
            if (SUCCEEDED(pData->pFolder->BindToObject(pData->pidlRel, nullptr, IID_IShellFolder, spFolder.PutVoid())) &&
                spFolder) {
                InsertFolderChildren(spFolder, pData->pidlAbs, hItem);
            }
        }
        SortChildren(hItem);
    } else if (pnm->action & TVE_COLLAPSE) {
        DeleteChildItems(hItem, hItem, FALSE);
        if (FolderMayHaveSubFolders(pData->pFolder, pData->pidlRel)) {
            InsertPlaceholder(hItem);
            SetItemState(hItem, 0, TVIS_EXPANDEDONCE);
        }
    }
}

LRESULT CShellTreeCtrl::ExpandWithNotify(HTREEITEM hItem, UINT nAction)
{
    if (!hItem) return 0;
    const UINT nState = GetItemState(hItem, 0xFFFF);
    if (nAction == TVE_EXPAND ? (nState & TVIS_EXPANDED) != 0 : (nState & TVIS_EXPANDED) == 0) return 0;

    NMTREEVIEWA nm = {};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    nm.hdr.code = TVN_ITEMEXPANDINGA;
    nm.action = nAction;
    nm.itemNew.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    nm.itemNew.hItem = hItem;
    nm.itemNew.state = nState;
    nm.itemNew.lParam = static_cast<LPARAM>(GetItemData(hItem));
    nm.ptDrag.x = -1;
    nm.ptDrag.y = -1;

    HWND hwndParent = ::GetParent(m_hWnd);
    if (::SendMessageA(hwndParent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm))) return 0;
    Expand(hItem, nAction);
    nm.hdr.code = TVN_ITEMEXPANDEDA;
    return ::SendMessageA(hwndParent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

HRESULT CShellTreeCtrl::SelectIdList(LPCITEMIDLIST pidlAbs)
{
    CComPtr<IMalloc> spMalloc;
    SHGetMalloc(spMalloc.Put());
    HTREEITEM hItem = GetRootItem();
    HTREEITEM hLastMatch = hItem;
    LPCITEMIDLIST pidlRest = pidlAbs;
    CIdListPtr pidlFirst;
    while (hItem && pidlRest && pidlRest->mkid.cb) {
        pidlFirst.Attach(IdListCopyFirst(spMalloc, pidlRest));
        HTREEITEM hFound = nullptr;
        for (HTREEITEM h = hItem; pidlFirst && h && !hFound; h = GetNextSiblingItem(h)) {
            const FolderItemData* pData = GetItemRecord(h);
            if (pData && pData->pFolder && pData->pFolder->CompareIDs(0, pidlFirst, pData->pidlRel) == 0) hFound = h;
        }
        if (!hFound) return E_FAIL;
        ExpandWithNotify(hFound, TVE_EXPAND);
        pidlRest = IdListGetNext(pidlRest);
        hLastMatch = hFound;
        hItem = GetChildItem(hFound);
    }
    // An empty tree has nothing to select.
    if (!hLastMatch) return E_FAIL;
    Select(hLastMatch, TVGN_CARET);
    return S_OK;
}

HRESULT CShellTreeCtrl::SelectChild(LPCITEMIDLIST pidlRel)
{
    HTREEITEM hSelected = GetSelectedItem();
    if (!hSelected || !pidlRel) return E_FAIL;
    ExpandWithNotify(hSelected, TVE_EXPAND);
    CComPtr<IShellFolder> spFolder;
    spFolder.Attach(BindItemFolder(hSelected));
    if (!spFolder) return E_FAIL;
    for (HTREEITEM h = GetChildItem(hSelected); h; h = GetNextSiblingItem(h)) {
        const FolderItemData* pData = GetItemRecord(h);
        if (pData && spFolder->CompareIDs(0, pData->pidlRel, pidlRel) == 0) {
            Select(h, TVGN_CARET);
            return S_OK;
        }
    }
    return E_FAIL;
}
