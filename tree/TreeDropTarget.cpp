#include "tree/TreeDropTarget.h"

#include <shlobj.h>

#include "shell/FolderDropTarget.h"
#include "tree/ShellTreeCtrl.h"

IMPLEMENT_DYNAMIC(CTreeDropTarget, COleDropTarget)

BEGIN_MESSAGE_MAP(CTreeDropTarget, COleDropTarget)
END_MESSAGE_MAP()

namespace {

// Only the item itself takes a drop: not its indentation, nor its button.
const UINT kDropHitFlags = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON | TVHT_ONITEMRIGHT;

}  // namespace

// A view that goes in the middle of a drag has had it left by the framework already: a
// folder's target still held goes with m_pItemDropTarget, without being told.
CTreeDropTarget::~CTreeDropTarget() = default;

void CTreeDropTarget::ResetDropState()
{
    m_hDropItem = nullptr;
    m_dwKeyState = 0;
}

void CTreeDropTarget::ReleaseItemDropTarget(BOOL bLeave)
{
    CComPtr<IDropTarget> pTarget = std::move(m_pItemDropTarget);
    m_dwDropAttributes = 0;
    if (pTarget && bLeave) pTarget->DragLeave();
}

DROPEFFECT CTreeDropTarget::OnTreeDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, POINT point)
{
    // Only the drop highlight shows during the drag.
    m_hSelectedBeforeDrag = m_pTree ? m_pTree->GetSelectedItem() : nullptr;
    if (m_hSelectedBeforeDrag) m_pTree->SetItemState(m_hSelectedBeforeDrag, 0, TVIS_SELECTED);
    // The drag's loop lets the tree read folders again meanwhile: an item that goes takes
    // its handle here with it.
    if (m_pTree) {
        m_pTree->WatchItemHandle(&m_hDropItem);
        m_pTree->WatchItemHandle(&m_hSelectedBeforeDrag);
    }
    return TrackDropItem(pDataObject, dwKeyState, point);
}

DROPEFFECT CTreeDropTarget::TrackDropItem(COleDataObject* pDataObject, DWORD dwKeyState, POINT point)
{
    DROPEFFECT dropEffect = DROPEFFECT_NONE;
    m_dwKeyState = dwKeyState;
    // The folder under the cursor went meanwhile: its target's part in the drag ends.
    if (!m_hDropItem) ReleaseItemDropTarget(TRUE);
    if (!m_pTree || !m_pTree->m_hWnd) return dropEffect;
    POINT ptTree = point;
    m_pTree->ScreenToClient(&ptTree);
    UINT nFlags = 0;
    HTREEITEM hItem = m_pTree->HitTest(ptTree, &nFlags);
    // Empty space keeps the last folder as the target.
    if (!hItem || !(nFlags & kDropHitFlags)) return dropEffect;
    // Still the same folder: the over event asks its target.
    if (hItem == m_hDropItem) return dropEffect;

    ReleaseItemDropTarget(TRUE);
    m_hDropItem = hItem;
    if (const FolderItemData* pData = m_pTree->GetItemRecord(hItem)) {
        LPCITEMIDLIST pidlRel = pData->pidlRel;
        SFGAOF attrs = SFGAO_CAPABILITYMASK;
        if (pData->pFolder && SUCCEEDED(pData->pFolder->GetAttributesOf(1, &pidlRel, &attrs))) {
            m_dwDropAttributes = attrs & SFGAO_CAPABILITYMASK;
        }
        if (m_dwDropAttributes & SFGAO_DROPTARGET) {
            CComPtr<IDropTarget> pTarget;
            HRESULT hr = GetFolderDropTarget(m_pTree->m_hWnd, pData->pFolder, pidlRel, pTarget.Put());
            if (SUCCEEDED(hr) && pTarget) {
                m_pItemDropTarget = std::move(pTarget);
                // What the source allows, so that the folder chooses among those.
                DWORD dwEffect = m_dwEffectsAllowed;
                POINTL pt = {point.x, point.y};
                m_pItemDropTarget->DragEnter(pDataObject ? pDataObject->GetIDataObject(FALSE) : nullptr, dwKeyState,
                                             pt, &dwEffect);
                dropEffect = dwEffect;
            }
        }
    }
    m_pTree->EnsureVisible(hItem);
    m_pTree->SelectDropTarget(hItem);
    return dropEffect;
}

DROPEFFECT CTreeDropTarget::OnTreeDragOver(COleDataObject* pDataObject, DWORD dwKeyState, POINT point)
{
    DROPEFFECT dropEffect = TrackDropItem(pDataObject, dwKeyState, point);
    if (m_pItemDropTarget) {
        DWORD dwEffect = m_dwEffectsAllowed;
        POINTL pt = {point.x, point.y};
        m_pItemDropTarget->DragOver(dwKeyState, pt, &dwEffect);
        dropEffect = dwEffect;
    }
    return dropEffect;
}

void CTreeDropTarget::RestoreTreeLook()
{
    if (!m_pTree || !m_pTree->m_hWnd) return;
    m_pTree->SendMessage(WM_SETREDRAW, FALSE);
    if (m_hSelectedBeforeDrag) m_pTree->SetItemState(m_hSelectedBeforeDrag, TVIS_SELECTED, TVIS_SELECTED);
    m_pTree->SelectDropTarget(nullptr);
    m_pTree->SendMessage(WM_SETREDRAW, TRUE);
}

void CTreeDropTarget::EndDrag(BOOL bLeave)
{
    ReleaseItemDropTarget(bLeave);
    RestoreTreeLook();
    if (m_pTree) {
        m_pTree->UnwatchItemHandle(&m_hDropItem);
        m_pTree->UnwatchItemHandle(&m_hSelectedBeforeDrag);
    }
    m_hSelectedBeforeDrag = nullptr;
    ResetDropState();
}

void CTreeDropTarget::OnTreeDragLeave()
{
    EndDrag(TRUE);
}

BOOL CTreeDropTarget::OnTreeDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, POINT point)
{
    BOOL bResult = FALSE, bDropped = FALSE;
    m_dwDropResult = DROPEFFECT_NONE;
    const FolderItemData* pData = (m_hDropItem && m_pTree) ? m_pTree->GetItemRecord(m_hDropItem) : nullptr;
    if (pData && m_pItemDropTarget) {
        DWORD dwEffect = dropEffect;
        POINTL pt = {point.x, point.y};
        bDropped = TRUE;
        HRESULT hr = m_pItemDropTarget->Drop(pDataObject ? pDataObject->GetIDataObject(FALSE) : nullptr, m_dwKeyState,
                                             pt, &dwEffect);
        // The drop may have run modally: an item gone meanwhile has no icons to read.
        if (SUCCEEDED(hr)) {
            m_dwDropResult = dwEffect;
            m_pTree->RefreshItemIcons(m_hDropItem);
            bResult = TRUE;
        }
    }
    // The target that took the drop has ended its drag: it is released, never left.
    EndDrag(!bDropped);
    return bResult;
}
