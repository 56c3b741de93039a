// The folder tree's colours: the selection and the folder under a drag as selected, and
// compressed folders in blue.
#include "tree/ShellTreeCtrl.h"

#include "shell/ItemAttributes.h"

void CShellTreeCtrl::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMTVCUSTOMDRAW* pDraw = reinterpret_cast<NMTVCUSTOMDRAW*>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    if (pDraw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        *pResult = CDRF_NOTIFYITEMDRAW;
    } else if (pDraw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        pDraw->clrText = GetSysColor(COLOR_WINDOWTEXT);
        pDraw->clrTextBk = GetSysColor(COLOR_WINDOW);
        // The folder under a drag is drawn as selected: Wine does not mark it so.
        const HTREEITEM hItem = reinterpret_cast<HTREEITEM>(pDraw->nmcd.dwItemSpec);
        if ((pDraw->nmcd.uItemState & CDIS_SELECTED) || (hItem && hItem == GetDropHilightItem())) {
            pDraw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
            pDraw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
            return;
        }
        const FolderItemData* pData = GetItemRecord(hItem);
        if (pData && pData->pFolder &&
            (ItemAttributes(pData->pFolder, pData->pidlRel, SFGAO_COMPRESSED) & SFGAO_COMPRESSED)) {
            pDraw->clrText = RGB(0, 0, 255);
        }
    }
}
