// CView: the child window that shows a document inside a frame.
#pragma once

#include "framework/OleDropTarget.h"
#include "framework/Wnd.h"

class CDocument;
class CFrameWnd;

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CDocument* GetDocument() const { return m_pDocument; }

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL OnCmdMsg(UINT nID, UINT nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void PostNcDestroy() override { delete this; }

    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    // The view's frame is activated or deactivated (nState as WM_ACTIVATE's), the view
    // staying the frame's active one.
    virtual void OnActivateFrame(UINT /*nState*/, CFrameWnd* /*pFrame*/) {}
    virtual void OnDraw(HDC hdc);

    // A drag over the view, with points in its client coordinates, from a drop target
    // registered for its window. By default the view takes no drops.
    virtual DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, POINT point);
    virtual DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, POINT point);
    virtual void OnDragLeave();
    virtual BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, POINT point);
    // A drop that reports its own effect to the drag's source (which may differ from the
    // effect chosen, dropDefault, among those allowed, dropList); (DROPEFFECT)-1, the
    // default, leaves the drop to OnDrop, and the source hears the chosen effect if it
    // succeeds.
    virtual DROPEFFECT OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList, POINT point);

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    LRESULT OnInitialUpdateMsg(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);

    ~CView() override;

protected:
    CView() = default;
    CDocument* m_pDocument = nullptr;
    friend class CDocument;

    DECLARE_MESSAGE_MAP()
};
