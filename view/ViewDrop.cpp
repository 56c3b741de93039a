// Drags over the explorer view, which go to the tree's drop target; after a drop, the
// windows showing a folder it changed show it again.
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
