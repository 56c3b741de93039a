#include "framework/OleDropTarget.h"

#include <unordered_map>

#include "framework/View.h"
#include "framework/Wnd.h"

IMPLEMENT_DYNAMIC(COleDropTarget, CCmdTarget)

BEGIN_MESSAGE_MAP(COleDropTarget, CCmdTarget)
END_MESSAGE_MAP()

BEGIN_INTERFACE_MAP(COleDropTarget, CCmdTarget)
    INTERFACE_PART(COleDropTarget, IID_IDropTarget, DropTarget)
END_INTERFACE_MAP()

namespace {

// The registered targets by window, so that a window's end revokes its target while the
// window still exists (the system keeps a reference until then). UI thread only.
std::unordered_map<HWND, COleDropTarget*>& RegisteredTargets()
{
    static std::unordered_map<HWND, COleDropTarget*> targets;
    return targets;
}

// An answer holds one effect (or none), and the scroll bit, among those the source allows.
DROPEFFECT AllowedAnswer(DROPEFFECT answer, DWORD dwAllowed)
{
    return answer & (dwAllowed | DROPEFFECT_SCROLL);
}

}  // namespace

COleDropTarget::~COleDropTarget()
{
    // An owner that goes before its window takes the registration with it; its handlers
    // are going too, so they hear nothing more.
    EndRegistration(FALSE);
}

BOOL COleDropTarget::Register(CWnd* pWnd)
{
    if (!pWnd || !pWnd->m_hWnd || m_hWnd) return FALSE;
    if (FAILED(::RegisterDragDrop(pWnd->m_hWnd, &m_xDropTarget))) return FALSE;
    m_hWnd = pWnd->m_hWnd;
    RegisteredTargets()[m_hWnd] = this;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    EndRegistration(TRUE);
}

void COleDropTarget::EndRegistration(BOOL bLeaveDrag)
{
    if (!m_hWnd) return;
    // A window that goes in the middle of a drag ends it for its handlers first.
    if (m_bDragging && bLeaveDrag) {
        if (CWnd* pWnd = CWnd::FromHandlePermanent(m_hWnd)) OnDragLeave(pWnd);
    }
    EndDrag();
    auto& targets = RegisteredTargets();
    auto it = targets.find(m_hWnd);
    if (it != targets.end() && it->second == this) targets.erase(it);
    if (::IsWindow(m_hWnd)) ::RevokeDragDrop(m_hWnd);
    m_hWnd = nullptr;
}

void COleDropTarget::RevokeWindow(HWND hWnd)
{
    auto& targets = RegisteredTargets();
    auto it = targets.find(hWnd);
    if (it != targets.end()) it->second->Revoke();
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, POINT point)
{
    CView* pView = dynamic_cast<CView*>(pWnd);
    return pView ? pView->OnDragEnter(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, POINT point)
{
    CView* pView = dynamic_cast<CView*>(pWnd);
    return pView ? pView->OnDragOver(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

void COleDropTarget::OnDragLeave(CWnd* pWnd)
{
    if (CView* pView = dynamic_cast<CView*>(pWnd)) pView->OnDragLeave();
}

BOOL COleDropTarget::OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, POINT point)
{
    CView* pView = dynamic_cast<CView*>(pWnd);
    return pView ? pView->OnDrop(pDataObject, dropEffect, point) : FALSE;
}

DROPEFFECT COleDropTarget::OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
                                    DROPEFFECT dropList, POINT point)
{
    CView* pView = dynamic_cast<CView*>(pWnd);
    return pView ? pView->OnDropEx(pDataObject, dropDefault, dropList, point) : static_cast<DROPEFFECT>(-1);
}

CWnd* COleDropTarget::TargetWindow(POINTL pt, POINT* pClient) const
{
    CWnd* pWnd = m_hWnd ? CWnd::FromHandlePermanent(m_hWnd) : nullptr;
    pClient->x = pt.x;
    pClient->y = pt.y;
    if (pWnd) ::ScreenToClient(m_hWnd, pClient);
    return pWnd;
}

void COleDropTarget::EndDrag()
{
    m_dataObject.Release();
    m_bDragging = FALSE;
    m_dropEffectCurrent = DROPEFFECT_NONE;
    m_dwEffectsAllowed = DROPEFFECT_NONE;
}

// ---- IDropTarget ------------------------------------------------------------------------

STDMETHODIMP_(ULONG) COleDropTarget::XDropTarget::AddRef()
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    return pThis->ExternalAddRef();
}

STDMETHODIMP_(ULONG) COleDropTarget::XDropTarget::Release()
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    return pThis->ExternalRelease();
}

STDMETHODIMP COleDropTarget::XDropTarget::QueryInterface(REFIID iid, void** ppvObj)
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    return pThis->ExternalQueryInterface(&iid, ppvObj);
}

STDMETHODIMP COleDropTarget::XDropTarget::DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                                    DWORD* pdwEffect)
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    if (!pdwEffect) return E_POINTER;
    const DWORD dwAllowed = *pdwEffect;
    *pdwEffect = DROPEFFECT_NONE;
    POINT point;
    CWnd* pWnd = pThis->TargetWindow(pt, &point);
    // A second enter without a leave ends the first drag before the new one starts.
    if (pThis->m_bDragging && pWnd) pThis->OnDragLeave(pWnd);
    pThis->EndDrag();
    if (!pWnd || !pDataObj) return S_OK;
    pDataObj->AddRef();
    pThis->m_dataObject.Attach(pDataObj, TRUE);
    pThis->m_bDragging = TRUE;
    pThis->m_dwEffectsAllowed = dwAllowed;
    pThis->m_dropEffectCurrent =
        AllowedAnswer(pThis->OnDragEnter(pWnd, &pThis->m_dataObject, grfKeyState, point), dwAllowed);
    *pdwEffect = pThis->m_dropEffectCurrent;
    return S_OK;
}

STDMETHODIMP COleDropTarget::XDropTarget::DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect)
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    if (!pdwEffect) return E_POINTER;
    const DWORD dwAllowed = *pdwEffect;
    *pdwEffect = DROPEFFECT_NONE;
    POINT point;
    CWnd* pWnd = pThis->TargetWindow(pt, &point);
    if (!pWnd || !pThis->m_bDragging) return S_OK;
    pThis->m_dwEffectsAllowed = dwAllowed;
    pThis->m_dropEffectCurrent =
        AllowedAnswer(pThis->OnDragOver(pWnd, &pThis->m_dataObject, grfKeyState, point), dwAllowed);
    *pdwEffect = pThis->m_dropEffectCurrent;
    return S_OK;
}

STDMETHODIMP COleDropTarget::XDropTarget::DragLeave()
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    if (!pThis->m_bDragging) return S_OK;
    POINTL none = {0, 0};
    POINT point;
    if (CWnd* pWnd = pThis->TargetWindow(none, &point)) pThis->OnDragLeave(pWnd);
    pThis->EndDrag();
    return S_OK;
}

STDMETHODIMP COleDropTarget::XDropTarget::Drop(IDataObject* pDataObj, DWORD, POINTL pt, DWORD* pdwEffect)
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    if (!pdwEffect) return E_POINTER;
    *pdwEffect = DROPEFFECT_NONE;
    POINT point;
    CWnd* pWnd = pThis->TargetWindow(pt, &point);
    if (!pWnd || !pThis->m_bDragging) {
        pThis->EndDrag();
        return S_OK;
    }
    // The drop takes the effect the last enter or over event answered; where that was
    // none, the drag only leaves.
    const DROPEFFECT chosen = pThis->m_dropEffectCurrent & ~DROPEFFECT_SCROLL;
    if (chosen == DROPEFFECT_NONE) {
        pThis->OnDragLeave(pWnd);
    } else {
        if (pDataObj && pDataObj != pThis->m_dataObject.GetIDataObject(FALSE)) {
            pDataObj->AddRef();
            pThis->m_dataObject.Attach(pDataObj, TRUE);
        }
        // The source hears what the drop did, where the window says so itself.
        const DROPEFFECT done = pThis->OnDropEx(pWnd, &pThis->m_dataObject, chosen, pThis->m_dwEffectsAllowed, point);
        if (done != static_cast<DROPEFFECT>(-1)) *pdwEffect = done;
        else if (pThis->OnDrop(pWnd, &pThis->m_dataObject, chosen, point)) *pdwEffect = chosen;
    }
    pThis->EndDrag();
    return S_OK;
}
