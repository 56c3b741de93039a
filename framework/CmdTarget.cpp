#include "framework/CmdTarget.h"

#include <commctrl.h>

#include "framework/Wnd.h"

const CRuntimeClass CCmdTarget::classCCmdTarget = {
    "CCmdTarget", static_cast<int>(sizeof(CCmdTarget)), 0xFFFF, nullptr, RUNTIME_CLASS(CObject)};

const CRuntimeClass* CCmdTarget::GetRuntimeClass() const
{
    return RUNTIME_CLASS(CCmdTarget);
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, FALSE}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_INTERFACEMAP* CCmdTarget::GetThisInterfaceMap()
{
    static const AFX_INTERFACEMAP_ENTRY entries[] = {{nullptr, 0}};
    static const AFX_INTERFACEMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_INTERFACEMAP* CCmdTarget::GetInterfaceMap() const
{
    return GetThisInterfaceMap();
}

IUnknown* CCmdTarget::GetInterface(const void* iid)
{
    const IID& riid = *static_cast<const IID*>(iid);
    BYTE* pThis = reinterpret_cast<BYTE*>(this);
    for (const AFX_INTERFACEMAP* map = GetInterfaceMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_INTERFACEMAP_ENTRY* e = map->pEntry; e->piid; ++e) {
            // IUnknown is the first interface of the most derived map.
            if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, *e->piid)) {
                return reinterpret_cast<IUnknown*>(pThis + e->nOffset);
            }
        }
    }
    return nullptr;
}

ULONG CCmdTarget::ExternalAddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_dwRef));
}

ULONG CCmdTarget::ExternalRelease()
{
    LONG n = InterlockedDecrement(&m_dwRef);
    if (n == 0) OnFinalRelease();
    return static_cast<ULONG>(n);
}

HRESULT CCmdTarget::ExternalQueryInterface(const void* iid, void** ppvObj)
{
    if (!ppvObj) return E_POINTER;
    IUnknown* pUnk = GetInterface(iid);
    *ppvObj = pUnk;
    if (!pUnk) return E_NOINTERFACE;
    ExternalAddRef();
    return S_OK;
}

void CCmdTarget::OnFinalRelease()
{
    delete this;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage == nMessage && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID) return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, UINT nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // Walk the whole chain: an "Ex" handler may decline, and the search then goes on.
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage != WM_COMMAND || e->nCode != nCode || nID < e->nID || nID > e->nLastID) continue;
            if (pHandlerInfo) {
                pHandlerInfo->pTarget = this;
                return TRUE;
            }
            AFX_MSGARGS args = {WM_COMMAND, 0, 0, nID, pExtra, nullptr};
            if (nCode == CN_UPDATE_COMMAND_UI) {
                CCmdUI* pCmdUI = static_cast<CCmdUI*>(pExtra);
                pCmdUI->m_bContinueRouting = FALSE;
                e->pfn(this, args);
                return !pCmdUI->m_bContinueRouting;
            }
            LRESULT handled = e->pfn(this, args);
            if (!e->bEx || handled) return TRUE;
        }
    }
    return FALSE;
}

// ---- CCmdUI ---------------------------------------------------------------------------

void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu) {
        if (!m_pSubMenu) {
            EnableMenuItem(m_pMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
        }
    } else if (m_pOther) {
        // A control outside a menu: a toolbar button is found by its command id.
        if (m_pOther->SendMessage(TB_COMMANDTOINDEX, m_nID, 0) >= 0) {
            m_pOther->SendMessage(TB_ENABLEBUTTON, m_nID, MAKELONG(bOn ? TRUE : FALSE, 0));
        } else {
            EnableWindow(m_pOther->m_hWnd, bOn);
        }
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu) {
        if (!m_pSubMenu) CheckMenuItem(m_pMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther && m_pOther->SendMessage(TB_COMMANDTOINDEX, m_nID, 0) >= 0) {
        m_pOther->SendMessage(TB_CHECKBUTTON, m_nID, MAKELONG(nCheck ? TRUE : FALSE, 0));
    }
}

void CCmdUI::SetRadio(BOOL bOn)
{
    if (m_pMenu && !m_pSubMenu) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE;
        if (GetMenuItemInfoA(m_pMenu, m_nIndex, TRUE, &mii) && !(mii.fType & MFT_RADIOCHECK)) {
            mii.fType |= MFT_RADIOCHECK;
            SetMenuItemInfoA(m_pMenu, m_nIndex, TRUE, &mii);
        }
    }
    SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCSTR lpszText)
{
    if (m_pMenu && !m_pSubMenu && lpszText) {
        UINT state = GetMenuState(m_pMenu, m_nIndex, MF_BYPOSITION);
        ModifyMenuA(m_pMenu, m_nIndex, MF_BYPOSITION | MF_STRING | (state & (MF_GRAYED | MF_DISABLED | MF_CHECKED)),
                    m_nID, lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler)
{
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF) return TRUE;  // separators and invalid ids
    m_bEnableChanged = FALSE;
    BOOL bResult = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (bDisableIfNoHandler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info;
        BOOL bHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(bHandler);
        bResult = TRUE;
    }
    return bResult;
}
