// The drop target of the folder tree: finds the folder under the cursor, highlights it
// and hands the whole drag to that folder's own drop target, switching targets as the
// cursor moves from folder to folder. It moves or copies nothing itself.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "framework/OleDropTarget.h"
#include "shell/ComPtr.h"

class CShellTreeCtrl;

class CTreeDropTarget : public COleDropTarget {
    DECLARE_DYNAMIC(CTreeDropTarget)
public:
    CTreeDropTarget() = default;
    ~CTreeDropTarget() override;

    // The drag as the view passes it on, with points in screen coordinates.
    virtual DROPEFFECT OnTreeDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, POINT point);
    virtual DROPEFFECT OnTreeDragOver(COleDataObject* pDataObject, DWORD dwKeyState, POINT point);
    virtual void OnTreeDragLeave();
    virtual BOOL OnTreeDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, POINT point);

    // Follows the folder under the cursor: a new one is highlighted and its drop target
    // entered. NONE unless a new folder's target answered otherwise.
    DROPEFFECT TrackDropItem(COleDataObject* pDataObject, DWORD dwKeyState, POINT point);
    void ResetDropState();

    CShellTreeCtrl* m_pTree = nullptr;          // the tree served; set by the view
    HTREEITEM m_hDropItem = nullptr;            // the item under the cursor, drop-highlighted
    DWORD m_dwDropAttributes = 0;               // its SFGAO capability bits
    DWORD m_dwKeyState = 0;                     // MK_* of the latest enter or over event
    HTREEITEM m_hSelectedBeforeDrag = nullptr;  // the tree's selection when the drag entered
    CComPtr<IDropTarget> m_pItemDropTarget;     // the folder's own target
    DWORD m_dwDropResult = DROPEFFECT_NONE;     // the effect the last drop's folder reported

protected:
    DECLARE_MESSAGE_MAP()

private:
    // Ends the folder target's part in the drag: DragLeave unless it has taken a drop.
    void ReleaseItemDropTarget(BOOL bLeave);
    // Gives the selection its look back and removes the drop highlight.
    void RestoreTreeLook();
    // The end of a drag, by a leave or a drop: the folder's target is let go (left unless it
    // took a drop), the tree looks as before and nothing of the drag is kept.
    void EndDrag(BOOL bLeave);
};
