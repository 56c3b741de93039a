// The commands on the folder tree's items: the shell's context menu, renaming in place
// (with the lists of the item and its loaded descendants made anew) and deleting with the
// Delete key.
#include "tree/ShellTreeCtrl.h"

#include <cstring>

#include "framework/WinApp.h"
#include "shell/AnsiNames.h"
#include "shell/ComPtr.h"
#include "shell/FileOperation.h"
#include "shell/FolderFacts.h"
#include "shell/IdListPtr.h"
#include "shell/ItemAttributes.h"
#include "shell/ItemNames.h"
#include "shell/NewNames.h"
#include "shell/Paths.h"
#include "shell/TransferResult.h"
#include "tree/IdList.h"

namespace {

// Passed to SetNameOf as the rename's flags.
const DWORD kRenameFlags = 0x20;
const UINT kMessageSize = 64;

void ShowHResultMessage(const char* pszFormat, HRESULT hr)
{
    char szText[kMessageSize];
    wsprintfA(szText, pszFormat, hr);
    AfxMessageBox(szText, MB_OK);
}

// The absolute list of a top-level item after a rename: its old list without its last
// identifier (what the top level was read from; nothing for the desktop's children),
// followed by its new one-level list.
LPITEMIDLIST ReplaceLastId(LPCITEMIDLIST pidlAbs, LPCITEMIDLIST pidlRel)
{
    UINT cbPrefix = 0;
    if (pidlAbs) {
        for (LPCITEMIDLIST p = pidlAbs; p->mkid.cb; p = IdListGetNext(p)) {
            if (!IdListGetNext(p)->mkid.cb) break;
            cbPrefix += p->mkid.cb;
        }
    }
    UINT cbRel = IdListGetSize(pidlRel);
    if (!cbRel) return nullptr;
    LPITEMIDLIST pidl = IdListAlloc(cbPrefix + cbRel);
    if (!pidl) return nullptr;
    std::memcpy(pidl, pidlAbs, cbPrefix);
    std::memcpy(reinterpret_cast<BYTE*>(pidl) + cbPrefix, pidlRel, cbRel);
    return pidl;
}

}  // namespace

void CShellTreeCtrl::OnRightClick(NMHDR*, LRESULT* pResult)
{
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(&pt);
    UINT nFlags = 0;
    HTREEITEM hItem = HitTest(pt, &nFlags);
    if (hItem) {
        Select(hItem, TVGN_CARET);
        if (nFlags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL)) {
            ClientToScreen(&pt);
            TVITEMA item = {};
            item.mask = TVIF_HANDLE | TVIF_PARAM;
            item.hItem = hItem;
            const FolderItemData* pData = GetItem(&item) ? reinterpret_cast<const FolderItemData*>(item.lParam) : nullptr;
            if (pData && pData->pFolder) {
                // The command runs modally; the item may go while it does.
                m_hCommandItem = hItem;
                BOOL bRename = FALSE;
                ShowItemContextMenu(::GetParent(m_hWnd), pData->pFolder, pData->pidlRel, pt, &bRename);
                const BOOL bItemStayed = m_hCommandItem == hItem;
                m_hCommandItem = nullptr;
                if (bItemStayed) {
                    RefreshItemIcons(hItem);
                    if (bRename) EditLabel(hItem);
                }
            }
        }
    }
    *pResult = 0;
}

BOOL CShellTreeCtrl::ShowItemContextMenu(HWND hwndOwner, IShellFolder* pFolder, LPCITEMIDLIST pidlRel, POINT ptScreen,
                                         BOOL* pbRename)
{
    if (pbRename) *pbRename = FALSE;
    if (!pFolder) return FALSE;
    CComPtr<IContextMenu> spMenu;
    HRESULT hr = pFolder->GetUIObjectOf(hwndOwner, 1, &pidlRel, IID_IContextMenu, nullptr, spMenu.PutVoid());
    if (FAILED(hr)) {
        ShowHResultMessage("GetUIObjectOf failed! hr=%lx", hr);
        return FALSE;
    }
    if (!spMenu) return FALSE;
    HMENU hPopup = CreatePopupMenu();
    if (!hPopup) return FALSE;
    // The tree renames its items itself: the menu may offer Rename.
    hr = spMenu->QueryContextMenu(hPopup, 0, 1, 0x7FFF, CMF_EXPLORE | (pbRename ? CMF_CANRENAME : 0));
    if (FAILED(hr)) {
        DestroyMenu(hPopup);
        return FALSE;
    }
    UINT nCmd = static_cast<UINT>(
        TrackPopupMenu(hPopup, TPM_RETURNCMD | TPM_RIGHTBUTTON, ptScreen.x, ptScreen.y, 0, hwndOwner, nullptr));
    // The menu's own Rename would edit a name in whatever view the owner shows (the right
    // pane): the caller starts it in the tree instead.
    char szVerb[16] = "";
    if (nCmd && pbRename &&
        SUCCEEDED(spMenu->GetCommandString((nCmd - 1) & 0xFFFF, GCS_VERBA, nullptr, szVerb, sizeof(szVerb))) &&
        lstrcmpiA(szVerb, "rename") == 0) {
        *pbRename = TRUE;
    } else if (nCmd) {
        CMINVOKECOMMANDINFO ici = {};
        ici.cbSize = sizeof(ici);
        ici.fMask = 0;
        ici.hwnd = hwndOwner;
        ici.lpVerb = MAKEINTRESOURCEA((nCmd - 1) & 0xFFFF);
        ici.nShow = SW_SHOWNORMAL;
        hr = spMenu->InvokeCommand(&ici);
        if (FAILED(hr)) ShowHResultMessage("InvokeCommand failed. hr=%lx", hr);
    }
    DestroyMenu(hPopup);
    return TRUE;
}

void CShellTreeCtrl::RefreshItemIcons(HTREEITEM hItem)
{
    const FolderItemData* pData = hItem ? GetItemRecord(hItem) : nullptr;
    if (!pData) return;
    SetSystemImageList();
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = hItem;
    SetItemIcons(pData->pidlAbs, item.iImage, item.iSelectedImage);
    SetItem(&item);
}

void CShellTreeCtrl::OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    // The A and W forms differ only in the text pointer, which is only tested for null.
    const NMTVDISPINFOA* pInfo = reinterpret_cast<const NMTVDISPINFOA*>(pNMHDR);
    *pResult = 1;
    HTREEITEM hItem = pInfo->item.hItem;
    const FolderItemData* pData = hItem ? GetItemRecord(hItem) : nullptr;
    if (pInfo->item.pszText && pData && pData->pFolder &&
        (ItemAttributes(pData->pFolder, pData->pidlRel, SFGAO_CANRENAME) & SFGAO_CANRENAME)) {
        *pResult = 0;
    }
    if (*pResult) {
        MessageBeep(0xFFFFFFFF);
    } else {
        m_hEditItem = hItem;
    }
}

void CShellTreeCtrl::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    // The control never takes the edited text as the label: an 8-bit notification's text
    // has lost what the code page lacks. The label is set here, wide, from the shell's new name.
    *pResult = 0;
    const BOOL bWide = pNMHDR->code == TVN_ENDLABELEDITW;
    const NMTVDISPINFOA* pInfo = reinterpret_cast<const NMTVDISPINFOA*>(pNMHDR);
    const NMTVDISPINFOW* pInfoW = reinterpret_cast<const NMTVDISPINFOW*>(pNMHDR);
    HTREEITEM hItem = pInfo->item.hItem;
    // One edit is renamed once: a second notification for it (Wine sends two) finds no edit.
    if (!hItem || hItem != m_hEditItem) return;
    m_hEditItem = nullptr;
    if (bWide ? !pInfoW->item.pszText : !pInfo->item.pszText) return;
    FolderItemData* pData = GetItemRecord(hItem);
    if (!pData || !pData->pFolder) return;

    // The name as typed: the editor still holds it whole. Without one, the 8-bit text is
    // taken only for a name the code page holds, which it cannot have changed on the way.
    const std::wstring strOld = GetItemTextW(hItem);
    std::wstring strName;
    if (bWide) {
        strName = pInfoW->item.pszText;
    } else if (HWND hEdit = GetEditControl()) {
        const int cch = ::GetWindowTextLengthW(hEdit);
        strName.resize(static_cast<size_t>(cch) + 1);
        strName.resize(static_cast<size_t>(::GetWindowTextW(hEdit, &strName[0], cch + 1)));
    } else if (FitsCodePage(strOld)) {
        strName = WideOf(pInfo->item.pszText);
    }
    // An unchanged label renames nothing; nor does an empty one.
    if (strName.empty() || strName == strOld) return;

    std::wstring strPath;
    if (ItemAttributes(pData->pFolder, pData->pidlRel, SFGAO_FILESYSTEM) & SFGAO_FILESYSTEM) {
        GetChildParsingName(pData->pFolder, pData->pidlRel, strPath);
        const NameProblem problem = CheckNewName(ParentOf(strPath), strName);
        if (problem != NameProblem::None) {
            ShowRenameFailure(strOld, strName, DescribeNameProblem(problem));
            return;
        }
    }

    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hwndOwner = pMainWnd ? pMainWnd->m_hWnd : nullptr;
    CIdListPtr pidlNew;
    // SetNameOf may run modally; the item may go while it does.
    m_hCommandItem = hItem;
    HRESULT hr = pData->pFolder->SetNameOf(hwndOwner, pData->pidlRel, strName.c_str(), kRenameFlags, pidlNew.Put());
    const BOOL bItemStayed = m_hCommandItem == hItem;
    m_hCommandItem = nullptr;
    if (!bItemStayed) return;
    if (FAILED(hr)) {
        // A cancel was the user's own answer to the shell.
        if (hr != HRESULT_FROM_WIN32(ERROR_CANCELLED))
            ShowRenameFailure(strOld, strName, DescribeError(HRESULT_FACILITY(hr) == FACILITY_WIN32
                                                                 ? static_cast<DWORD>(HRESULT_CODE(hr))
                                                                 : static_cast<DWORD>(hr)));
        return;
    }
    if (!pidlNew) return;
    pData->pidlRel = std::move(pidlNew);
    UpdateItemIdLists(hItem, TRUE);
    std::wstring strShown;
    SetItemTextW(hItem, GetChildDisplayName(pData->pFolder, pData->pidlRel, SHGDN_NORMAL, strShown) ? strShown : strName);
}

void CShellTreeCtrl::ShowRenameFailure(const std::wstring& strOld, const std::wstring& strNew, const std::wstring& strWhy)
{
    const std::wstring strText = L"\"" + strOld + L"\" cannot be renamed to \"" + strNew + L"\".\n\n" + strWhy;
    AfxMessageBoxW(strText.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void CShellTreeCtrl::UpdateItemIdLists(HTREEITEM hItem, BOOL bDescendants)
{
    FolderItemData* pData = hItem ? GetItemRecord(hItem) : nullptr;
    if (!pData) return;
    HTREEITEM hParent = GetParentItem(hItem);
    if (hParent) {
        const FolderItemData* pParent = GetItemRecord(hParent);
        if (!pParent) return;
        CIdListPtr pidlAbs(IdListConcat(pParent->pidlAbs, pData->pidlRel));
        if (!pidlAbs) return;
        pData->pidlAbs = std::move(pidlAbs);
        pData->pFolder = nullptr;
        if (pParent->pFolder &&
            FAILED(pParent->pFolder->BindToObject(pParent->pidlRel, nullptr, IID_IShellFolder, pData->pFolder.PutVoid()))) {
            pData->pFolder = nullptr;
        }
    } else {
        // A top-level item keeps its container (the desktop folder for the desktop's
        // children); only its absolute list changes.
        CIdListPtr pidlAbs(ReplaceLastId(pData->pidlAbs, pData->pidlRel));
        if (!pidlAbs) return;
        pData->pidlAbs = std::move(pidlAbs);
    }
    if (bDescendants) UpdateDescendantIdLists(hItem, pData);
}

void CShellTreeCtrl::UpdateDescendantIdLists(HTREEITEM hItem, const FolderItemData* pData)
{
    const CFolderRecords::Level* pChildren = m_records.Find(hItem);
    if (!pChildren) return;
    // The children's container is the item's own folder: bound once, one reference each.
    CComPtr<IShellFolder> spFolder;
    if (pData->pFolder) pData->pFolder->BindToObject(pData->pidlRel, nullptr, IID_IShellFolder, spFolder.PutVoid());
    for (const auto& child : *pChildren) {
        FolderItemData* pChild = child.second.get();
        if (LPITEMIDLIST pidlAbs = IdListConcat(pData->pidlAbs, pChild->pidlRel)) pChild->pidlAbs.Attach(pidlAbs);
        pChild->pFolder = spFolder;
        UpdateDescendantIdLists(child.first, pChild);
    }
}

BOOL CShellTreeCtrl::DeleteFolderItem(HTREEITEM hItem)
{
    FolderItemData* pData = hItem ? GetItemRecord(hItem) : nullptr;
    if (!pData || !pData->pFolder) return FALSE;
    if (!(ItemAttributes(pData->pFolder, pData->pidlRel, SFGAO_CANDELETE) & SFGAO_CANDELETE)) return FALSE;
    // The delete asks for confirmation modally; the item may go while it does.
    m_hCommandItem = hItem;
    const HRESULT hr = DeleteItemToTrash(m_hWnd, pData->pFolder, pData->pidlRel);
    const BOOL bItemStayed = m_hCommandItem == hItem;
    m_hCommandItem = nullptr;
    if (FAILED(hr)) return FALSE;
    if (!bItemStayed || !pData->pFolder) return TRUE;

    if (IsFolderGone(pData->pFolder, pData->pidlRel)) {
        DeleteChildItems(hItem, hItem, TRUE);
        DeleteItem(hItem);
    }
    return TRUE;
}
