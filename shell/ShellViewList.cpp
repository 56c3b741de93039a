#include "shell/ShellViewList.h"

#include <commctrl.h>

#include "shell/ClipboardDataObject.h"
#include "shell/ComPtr.h"

namespace {

// The view's command that sorts by its first column; the others follow in column order.
const UINT kFirstColumnCommand = 0x30;

void SetSelected(HWND hList, int nItem, BOOL bSelected)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = bSelected ? LVIS_SELECTED : 0;
    ::SendMessageA(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

HWND CShellViewList::GetList() const
{
    return m_hwndView ? ::FindWindowExA(m_hwndView, nullptr, WC_LISTVIEWA, nullptr) : nullptr;
}

BOOL CShellViewList::ListHasFocus() const
{
    HWND hList = GetList();
    return hList && ::GetFocus() == hList;
}

BOOL CShellViewList::SelectAll() const
{
    HWND hList = GetList();
    if (!hList) return FALSE;
    SetSelected(hList, -1, TRUE);
    return TRUE;
}

BOOL CShellViewList::InvertSelection() const
{
    HWND hList = GetList();
    if (!hList) return FALSE;
    const int n = static_cast<int>(::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; i++) {
        const UINT state = static_cast<UINT>(::SendMessageA(hList, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED));
        SetSelected(hList, i, !(state & LVIS_SELECTED));
    }
    return TRUE;
}

BOOL CShellViewList::ArrangeBy(Column column) const
{
    if (!m_hwndView) return FALSE;
    ::SendMessageA(m_hwndView, WM_COMMAND, kFirstColumnCommand + static_cast<UINT>(column), 0);
    return TRUE;
}

HRESULT CShellViewList::PutSelectionOnClipboard(DWORD dwEffect) const
{
    if (!m_pView) return E_POINTER;
    // Copy and Cut with nothing selected leave what is on the clipboard alone.
    HWND hList = GetList();
    if (hList && ::SendMessageA(hList, LVM_GETSELECTEDCOUNT, 0, 0) == 0) return S_FALSE;
    CComPtr<IDataObject> pSelection;
    HRESULT hr = m_pView->GetItemObject(SVGIO_SELECTION, IID_IDataObject, pSelection.PutVoid());
    if (FAILED(hr)) return hr;
    if (!pSelection) return E_FAIL;
    CComPtr<IDataObject> pClip;
    hr = CClipboardDataObject::Create(pSelection, dwEffect, pClip.Put());
    if (FAILED(hr)) return hr;
    return ::OleSetClipboard(pClip);
}

BOOL CShellViewList::HasSelection() const
{
    HWND hList = GetList();
    return hList && ::SendMessageA(hList, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
}

HRESULT CShellViewList::InvokeOnSelection(const char* pszVerb, HWND hwndOwner) const
{
    if (!m_pView) return E_POINTER;
    if (!HasSelection()) return S_FALSE;
    CComPtr<IContextMenu> pMenu;
    HRESULT hr = m_pView->GetItemObject(SVGIO_SELECTION, IID_IContextMenu, pMenu.PutVoid());
    if (FAILED(hr)) return hr;
    if (!pMenu) return E_FAIL;
    // Some menus know their verbs only once they have been asked for their items.
    HMENU hMenu = ::CreatePopupMenu();
    if (hMenu) pMenu->QueryContextMenu(hMenu, 0, 1, 0x7FFF, CMF_NORMAL);
    CMINVOKECOMMANDINFO ici = {};
    ici.cbSize = sizeof(ici);
    ici.hwnd = hwndOwner;
    ici.lpVerb = pszVerb;
    ici.nShow = SW_SHOWNORMAL;
    hr = pMenu->InvokeCommand(&ici);
    if (hMenu) ::DestroyMenu(hMenu);
    return hr;
}
