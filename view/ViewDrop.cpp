// Drags over the explorer view, which go to the tree's drop target; after a drop, the
// windows showing a folder it changed show it again, and the drag's source hears the effect
// the folder's target reported (after a move the target did itself, none: the source must
// not delete what it dragged).
#include "view/FolvaneView.h"

#include <string>
#include <vector>

#include "shell/DiskItems.h"
#include "shell/ItemNames.h"

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

DROPEFFECT CFolvaneView::OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT, POINT point)
{
    return OnDrop(pDataObject, dropDefault, point) ? m_dropTarget.m_dwDropResult : DROPEFFECT_NONE;
}
