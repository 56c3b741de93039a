// COleDropTarget: the OLE drop target of one window. Registered for the window, it turns
// the drag events into calls of the window object's drag handlers, with the point in the
// window's client coordinates; it is revoked when the window goes.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "framework/CmdTarget.h"
#include "framework/OleDataObject.h"

typedef DWORD DROPEFFECT;

class CWnd;

class COleDropTarget : public CCmdTarget {
    DECLARE_DYNAMIC(COleDropTarget)
public:
    COleDropTarget() = default;
    ~COleDropTarget() override;
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    // Registers this target for the window (one target per window); FALSE when the system
    // refuses (no OLE on the thread, or the window has a target already).
    BOOL Register(CWnd* pWnd);
    // Ends the registration; a drag in progress is left first. Done by the framework when
    // the window is destroyed.
    virtual void Revoke();
    // The window registered, or null.
    HWND GetRegisteredWindow() const { return m_hWnd; }
    // Revokes the target registered for a window that is going, if any.
    static void RevokeWindow(HWND hWnd);

    // The drag as the window sees it; by default passed to a view's own handlers, and
    // refused for any other window.
    virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, POINT point);
    virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, POINT point);
    virtual void OnDragLeave(CWnd* pWnd);
    virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, POINT point);
    // Asked first at a drop: the effect the drop had, or (DROPEFFECT)-1 to leave it to OnDrop.
    virtual DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList,
                                POINT point);

    // The object lives as long as its owner, whatever the count says.
    void OnFinalRelease() override {}

    BEGIN_INTERFACE_PART(DropTarget, IDropTarget)
        STDMETHOD(DragEnter)(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
        STDMETHOD(DragOver)(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
        STDMETHOD(DragLeave)() override;
        STDMETHOD(Drop)(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    END_INTERFACE_PART(DropTarget)

protected:
    HWND m_hWnd = nullptr;                          // the registered window
    COleDataObject m_dataObject;                    // the data of the drag in progress
    BOOL m_bDragging = FALSE;                       // between an enter and its leave or drop
    DROPEFFECT m_dropEffectCurrent = DROPEFFECT_NONE;  // the answer to the last enter or over
    DWORD m_dwEffectsAllowed = DROPEFFECT_NONE;        // what the source allows, as it last said

    DECLARE_INTERFACE_MAP()
    DECLARE_MESSAGE_MAP()

private:
    // The registered window's object, with the screen point in its client coordinates.
    CWnd* TargetWindow(POINTL pt, POINT* pClient) const;
    // Ends the drag's state: the data is let go.
    void EndDrag();
    // Revokes the registration, telling the window's handlers of a drag in progress when asked.
    void EndRegistration(BOOL bLeaveDrag);
};
