// A tree folder on the clipboard: Cut and Copy given while the tree has the focus put its
// selected folder there, as the shell's own data object for it with the drop effect a paste
// reads, as the right pane's Cut and Copy do with its selection.
#include "tree/ShellTreeCtrl.h"

#include "shell/ClipboardDataObject.h"
#include "shell/ComPtr.h"
#include "shell/ItemAttributes.h"

HRESULT CShellTreeCtrl::PutItemOnClipboard(HTREEITEM hItem, DWORD dwEffect)
{
    const FolderItemData* pData = hItem ? GetItemRecord(hItem) : nullptr;
    if (!pData || !pData->pFolder) return E_FAIL;
    // A folder the shell cannot move (or copy) is not offered for it.
    const SFGAOF needed = dwEffect == DROPEFFECT_MOVE ? SFGAO_CANMOVE : SFGAO_CANCOPY;
    if (!(ItemAttributes(pData->pFolder, pData->pidlRel, needed) & needed)) return E_ACCESSDENIED;
    LPCITEMIDLIST pidlRel = pData->pidlRel;
    CComPtr<IDataObject> spItem;
    HRESULT hr = pData->pFolder->GetUIObjectOf(m_hWnd, 1, &pidlRel, IID_IDataObject, nullptr, spItem.PutVoid());
    if (FAILED(hr)) return hr;
    if (!spItem) return E_FAIL;
    CComPtr<IDataObject> spClip;
    hr = CClipboardDataObject::Create(spItem, dwEffect, spClip.Put());
    if (FAILED(hr)) return hr;
    return ::OleSetClipboard(spClip);
}
