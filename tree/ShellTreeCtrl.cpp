#include "tree/ShellTreeCtrl.h"

#include "framework/WaitCursor.h"
#include "framework/WinApp.h"
#include "shell/ComPtr.h"
#include "shell/DiskFolders.h"
#include "shell/FolderFacts.h"
#include "shell/IdListPtr.h"
#include "shell/ItemAttributes.h"
#include "shell/ItemNames.h"
#include "shell/Paths.h"
#include "shell/TreeViewItems.h"
#include "tree/IdList.h"

#include <cstring>
#include <string>

IMPLEMENT_DYNAMIC(CShellTreeCtrl, CTreeCtrl)

BEGIN_MESSAGE_MAP(CShellTreeCtrl, CTreeCtrl)
    ON_WM_DESTROY()
    ON_MESSAGE(WM_PAINT, &CShellTreeCtrl::OnPaintMessage)
    ON_MESSAGE(WM_KEYDOWN, &CShellTreeCtrl::OnKeyDownMessage)
END_MESSAGE_MAP()

namespace {

const SFGAOF kChildAttributes = SFGAO_HASSUBFOLDER | SFGAO_FOLDER | SFGAO_SHARE | SFGAO_LINK;
const UINT kIconFlags = SHGFI_SYSICONINDEX | SHGFI_PIDL | SHGFI_SMALLICON;
const UINT kOverlayShare = INDEXTOOVERLAYMASK(1);
const UINT kOverlayLink = INDEXTOOVERLAYMASK(2);
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

CShellTreeCtrl::~CShellTreeCtrl()
{
    // Destroyed before its window: let the window go first, so the records go with it.
    if (m_hWnd) DestroyWindow();
}

BOOL CShellTreeCtrl::PreTranslateMessage(MSG* pMsg)
{
    return CWnd::PreTranslateMessage(pMsg);
}

FolderItemData* CShellTreeCtrl::GetItemRecord(HTREEITEM hItem) const
{
    if (!hItem) hItem = GetSelectedItem();
    return hItem ? reinterpret_cast<FolderItemData*>(GetItemData(hItem)) : nullptr;
}

// ---- Filling and reading ----------------------------------------------------------------

void CShellTreeCtrl::SetSystemImageList()
{
    SHFILEINFOA sfi = {};
    HIMAGELIST hList = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (hList) SetImageList(hList, TVSIL_NORMAL);
}

void CShellTreeCtrl::FillRoot()
{
    CComPtr<IShellFolder> spDesktop;
    if (SUCCEEDED(SHGetDesktopFolder(spDesktop.Put())) && spDesktop) {
        // Filled once per window; a second fill must not keep records of items gone.
        FreeDescendantRecords(TVI_ROOT);
        DeleteAllItems();
        InsertFolderChildren(spDesktop, nullptr, TVI_ROOT);
    }
    SortChildren(TVI_ROOT);
}

void CShellTreeCtrl::InsertFolderChildren(IShellFolder* pFolder, LPCITEMIDLIST pidlParentAbs, HTREEITEM hParent,
                                          const std::set<std::wstring>* pSkip)
{
    if (!pFolder) return;
    HWND hwndOwner = ::GetParent(m_hWnd);
    CComPtr<IMalloc> spMalloc;
    if (FAILED(SHGetMalloc(spMalloc.Put())) || !spMalloc) return;
    CComPtr<IEnumIDList> spEnum;
    if (pFolder->EnumObjects(hwndOwner, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, spEnum.Put()) != S_OK || !spEnum) return;

    // Where the shell's answers need the disk (FolderFacts.h), the disk decides the buttons
    // of file-system folders once they show, and plain folders take the plain folder icons.
    const SFGAOF attrsDiskCheck = DiskCheckAttributes();
    SFGAOF attrsContainer = 0;
    if (attrsDiskCheck && hParent != TVI_ROOT) {
        if (const FolderItemData* pParent = GetItemRecord(hParent))
            attrsContainer = ItemAttributes(pParent->pFolder, pParent->pidlRel, attrsDiskCheck);
    }
    const SFGAOF mask = kChildAttributes | attrsDiskCheck;

    for (;;) {
        CIdListPtr pidlChild;
        ULONG nFetched = 0;
        if (spEnum->Next(1, pidlChild.Put(), &nFetched) != S_OK || !pidlChild) break;

        const SFGAOF attrs = ItemAttributes(pFolder, pidlChild, mask);
        if (!(attrs & SFGAO_FOLDER)) continue;  // files never appear in the tree
        if (pSkip && pSkip->count(ChildKey(pFolder, pidlChild))) continue;

        FolderItemDataPtr pData = NewFolderItemData();
        if (!pData) break;
        char szName[MAX_PATH];
        if (!GetItemDisplayName(pFolder, pidlChild, SHGDN_NORMAL, szName)) break;
        pData->pidlAbs.Attach(IdListConcat(pidlParentAbs, pidlChild));
        pData->pidlRel.Attach(IdListCopyFirst(spMalloc, pidlChild));
        if (!pData->pidlAbs || !pData->pidlRel) break;

        // Each item goes after the one inserted before it, which is the parent's last child.
        TVINSERTSTRUCTA insert = {};
        insert.hParent = hParent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
        insert.item.pszText = szName;
        insert.item.cchTextMax = MAX_PATH;
        insert.item.lParam = reinterpret_cast<LPARAM>(pData.get());

        UINT nChecks = 0;
        const BOOL bMayBePlain = MayShowPlainFolderIcon(attrs, attrsContainer);
        if (bMayBePlain && m_iPlainIcon >= 0) {
            insert.item.iImage = m_iPlainIcon;
            insert.item.iSelectedImage = m_iPlainOpenIcon;
            nChecks |= kCheckIcon;
        } else {
            SetItemIcons(pData->pidlAbs, &insert.item);
            if (bMayBePlain) {
                // The first plain folder met teaches the plain icons; the disk says whether it is one.
                std::wstring strPath;
                if (GetChildParsingName(pFolder, pidlChild, strPath) && !DiskFolderHasDesktopIni(strPath.c_str())) {
                    m_iPlainIcon = insert.item.iImage;
                    m_iPlainOpenIcon = insert.item.iSelectedImage;
                }
            }
        }

        pData->pFolder = CComPtr<IShellFolder>(pFolder);
        HTREEITEM hItem = InsertItem(&insert);
        if (!hItem) break;
        m_records.Add(hParent, hItem, std::move(pData));

        if (attrs & SFGAO_HASSUBFOLDER) {
            if (SubFoldersNeedDiskCheck(attrs))
                nChecks |= kCheckSubFolders;
            else
                InsertPlaceholder(hItem);
        }
        if (nChecks) m_pendingChecks[hItem] = nChecks;

        if (attrs & (SFGAO_SHARE | SFGAO_LINK))
            SetItemState(hItem, (attrs & SFGAO_SHARE) ? kOverlayShare : kOverlayLink, TVIS_OVERLAYMASK);
    }
}

int CShellTreeCtrl::GetSysIconIndex(LPCITEMIDLIST pidlAbs, UINT uFlags)
{
    SHFILEINFOA sfi = {};
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(pidlAbs), 0, &sfi, sizeof(sfi), uFlags);
    return sfi.iIcon;
}

void CShellTreeCtrl::SetItemIcons(LPCITEMIDLIST pidlAbs, TVITEMA* pItem)
{
    pItem->iImage = GetSysIconIndex(pidlAbs, kIconFlags);
    pItem->iSelectedImage = GetSysIconIndex(pidlAbs, kIconFlags | SHGFI_OPENICON);
}

int CALLBACK CShellTreeCtrl::CompareItems(LPARAM lParam1, LPARAM lParam2, LPARAM)
{
    const FolderItemData* p1 = reinterpret_cast<const FolderItemData*>(lParam1);
    const FolderItemData* p2 = reinterpret_cast<const FolderItemData*>(lParam2);
    if (!p1 || !p2 || !p1->pFolder) return 0;
    HRESULT hr = p1->pFolder->CompareIDs(0, p1->pidlRel, p2->pidlRel);
    if (FAILED(hr)) return 0;
    return static_cast<short>(static_cast<USHORT>(hr & 0xFFFF));
}

void CShellTreeCtrl::SortChildren(HTREEITEM hParent)
{
    TVSORTCB sort = {};
    sort.hParent = hParent;
    sort.lpfnCompare = &CShellTreeCtrl::CompareItems;
    sort.lParam = 0;
    SortChildrenCB(&sort);
}

void CShellTreeCtrl::InsertPlaceholder(HTREEITEM hItem)
{
    char szEmpty[] = "";
    TVINSERTSTRUCTA insert = {};
    insert.hParent = hItem;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = szEmpty;
    insert.item.lParam = 0;
    InsertItem(&insert);
}

// ---- Expanding, collapsing, selecting -------------------------------------------------

void CShellTreeCtrl::OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    // The A and W forms differ only in the text pointers, which are not read here.
    const NMTREEVIEWA* pnm = reinterpret_cast<const NMTREEVIEWA*>(pNMHDR);
    HTREEITEM hItem = pnm->itemNew.hItem;
    FolderItemData* pData = reinterpret_cast<FolderItemData*>(pnm->itemNew.lParam);
    if (!hItem || !pData) return;

    if (pnm->action & TVE_EXPAND) {
        // A second notification for the same expansion (Wine's tree sends its own on the
        // first TVM_EXPAND) finds the children read already, and keeps them.
        HTREEITEM hChild = GetChildItem(hItem);
        if (hChild && GetItemData(hChild)) return;
        while ((hChild = GetChildItem(hItem)) != nullptr) DeleteItem(hChild);
        if (pData->pFolder) {
            CComPtr<IShellFolder> spFolder;
            if (SUCCEEDED(pData->pFolder->BindToObject(pData->pidlRel, nullptr, IID_IShellFolder, spFolder.PutVoid())) &&
                spFolder) {
                InsertFolderChildren(spFolder, pData->pidlAbs, hItem);
            }
        }
        SortChildren(hItem);
    } else if (pnm->action & TVE_COLLAPSE) {
        DeleteChildItems(hItem, hItem, FALSE);
        if (FolderMayHaveSubFolders(pData->pFolder, pData->pidlRel)) {
            InsertPlaceholder(hItem);
            SetItemState(hItem, 0, TVIS_EXPANDEDONCE);
        }
    }
}

LRESULT CShellTreeCtrl::ExpandWithNotify(HTREEITEM hItem, UINT nAction)
{
    if (!hItem) return 0;
    const UINT nState = GetItemState(hItem, 0xFFFF);
    if (nAction == TVE_EXPAND ? (nState & TVIS_EXPANDED) != 0 : (nState & TVIS_EXPANDED) == 0) return 0;

    NMTREEVIEWA nm = {};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    nm.hdr.code = TVN_ITEMEXPANDINGA;
    nm.action = nAction;
    nm.itemNew.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    nm.itemNew.hItem = hItem;
    nm.itemNew.state = nState;
    nm.itemNew.lParam = static_cast<LPARAM>(GetItemData(hItem));
    nm.ptDrag.x = -1;
    nm.ptDrag.y = -1;

    HWND hwndParent = ::GetParent(m_hWnd);
    if (::SendMessageA(hwndParent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm))) return 0;
    Expand(hItem, nAction);
    nm.hdr.code = TVN_ITEMEXPANDEDA;
    return ::SendMessageA(hwndParent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void CShellTreeCtrl::DeleteChildItems(HTREEITEM hItem, HTREEITEM hReplacement, BOOL bReleaseItem)
{
    if (hItem && GetChildItem(hItem)) {
        // A selection anywhere below moves to the replacement before its item goes.
        HTREEITEM hSelected = GetSelectedItem();
        for (HTREEITEM h = hSelected ? GetParentItem(hSelected) : nullptr; h; h = GetParentItem(h)) {
            if (h == hItem) {
                Select(hReplacement, TVGN_CARET);
                break;
            }
        }
        // The items go, then their records.
        CFolderRecords::Level children = m_records.Take(hItem);
        std::vector<HTREEITEM> items;
        items.reserve(children.size());
        for (const auto& child : children) items.push_back(child.first);
        DeleteTreeViewChildren(m_hWnd, hItem, items);
        FreeLevel(std::move(children));
    }
    if (bReleaseItem && hItem) ReleaseRecord(hItem);
}

void CShellTreeCtrl::ForgetItem(HTREEITEM hItem)
{
    if (!m_pendingChecks.empty()) m_pendingChecks.erase(hItem);
    if (m_hEditItem == hItem) m_hEditItem = nullptr;
    if (m_hCommandItem == hItem) m_hCommandItem = nullptr;
}

void CShellTreeCtrl::FreeLevel(CFolderRecords::Level level)
{
    for (auto& child : level) {
        FreeDescendantRecords(child.first);
        ForgetItem(child.first);
        child.second.reset();
    }
}

void CShellTreeCtrl::FreeDescendantRecords(HTREEITEM hItem)
{
    FreeLevel(m_records.Take(hItem));
}

void CShellTreeCtrl::ReleaseRecord(HTREEITEM hItem)
{
    if (!GetItemRecord(hItem)) return;
    FreeDescendantRecords(hItem);
    HTREEITEM hParent = GetParentItem(hItem);
    FolderItemDataPtr pData = m_records.TakeOne(hParent ? hParent : TVI_ROOT, hItem);
    ForgetItem(hItem);
    SetItemData(hItem, 0);
}

HRESULT CShellTreeCtrl::SelectIdList(LPCITEMIDLIST pidlAbs)
{
    CComPtr<IMalloc> spMalloc;
    SHGetMalloc(spMalloc.Put());
    HTREEITEM hItem = GetRootItem();
    HTREEITEM hLastMatch = hItem;
    LPCITEMIDLIST pidlRest = pidlAbs;
    CIdListPtr pidlFirst;
    while (hItem && pidlRest && pidlRest->mkid.cb) {
        pidlFirst.Attach(IdListCopyFirst(spMalloc, pidlRest));
        HTREEITEM hFound = nullptr;
        for (HTREEITEM h = hItem; pidlFirst && h && !hFound; h = GetNextSiblingItem(h)) {
            const FolderItemData* pData = GetItemRecord(h);
            if (pData && pData->pFolder && pData->pFolder->CompareIDs(0, pidlFirst, pData->pidlRel) == 0) hFound = h;
        }
        if (!hFound) return E_FAIL;
        ExpandWithNotify(hFound, TVE_EXPAND);
        pidlRest = IdListGetNext(pidlRest);
        hLastMatch = hFound;
        hItem = GetChildItem(hFound);
    }
    // An empty tree has nothing to select.
    if (!hLastMatch) return E_FAIL;
    Select(hLastMatch, TVGN_CARET);
    return S_OK;
}

HRESULT CShellTreeCtrl::SelectChild(LPCITEMIDLIST pidlRel)
{
    HTREEITEM hSelected = GetSelectedItem();
    if (!hSelected || !pidlRel) return E_FAIL;
    ExpandWithNotify(hSelected, TVE_EXPAND);
    CComPtr<IShellFolder> spFolder;
    spFolder.Attach(BindItemFolder(hSelected));
    if (!spFolder) return E_FAIL;
    for (HTREEITEM h = GetChildItem(hSelected); h; h = GetNextSiblingItem(h)) {
        const FolderItemData* pData = GetItemRecord(h);
        if (pData && spFolder->CompareIDs(0, pData->pidlRel, pidlRel) == 0) {
            Select(h, TVGN_CARET);
            return S_OK;
        }
    }
    return E_FAIL;
}

// ---- Queries ---------------------------------------------------------------------------

IShellFolder* CShellTreeCtrl::BindItemFolder(HTREEITEM hItem)
{
    const FolderItemData* pData = GetItemRecord(hItem);
    if (!pData || !pData->pFolder) return nullptr;
    IShellFolder* pFolder = nullptr;
    if (FAILED(pData->pFolder->BindToObject(pData->pidlRel, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&pFolder)))) {
        if (pFolder) pFolder->Release();
        return nullptr;
    }
    return pFolder;
}

BOOL CShellTreeCtrl::GetItemName(HTREEITEM hItem, DWORD uFlags, CString& strName)
{
    const FolderItemData* pData = GetItemRecord(hItem);
    if (!pData || !pData->pFolder) return FALSE;
    STRRET sr = {};
    if (FAILED(pData->pFolder->GetDisplayNameOf(pData->pidlRel, uFlags, &sr))) return FALSE;
    return StrRetToString(&sr, pData->pidlRel, strName);
}

BOOL CShellTreeCtrl::GetItemTitle(HTREEITEM hItem, CString& strTitle)
{
    const FolderItemData* pData = GetItemRecord(hItem);
    if (!pData) return FALSE;
    SFGAOF attrs = ItemAttributes(pData->pFolder, pData->pidlRel, SFGAO_FILESYSTEM | SFGAO_FOLDER);
    GetItemName(hItem, (attrs & SFGAO_FILESYSTEM) ? SHGDN_FORPARSING : SHGDN_NORMAL, strTitle);
    return TRUE;
}

// ---- Window ------------------------------------------------------------------------------

void CShellTreeCtrl::OnDestroy()
{
    // Records only: selecting or deleting items now would send selection changes to a
    // parent that is going away.
    FreeDescendantRecords(TVI_ROOT);
    m_records.Clear();
    m_pendingChecks.clear();
    m_hEditItem = nullptr;
    m_hCommandItem = nullptr;
    CTreeCtrl::OnDestroy();
}

LRESULT CShellTreeCtrl::OnPaintMessage(WPARAM wParam, LPARAM lParam)
{
    if (!m_pendingChecks.empty()) ReadVisiblePendingItems();
    return DefWindowProc(WM_PAINT, wParam, lParam);
}

LRESULT CShellTreeCtrl::OnKeyDownMessage(WPARAM wParam, LPARAM lParam)
{
    // A key may act on an item that scrolled into view since the last paint.
    if (!m_pendingChecks.empty()) ReadVisiblePendingItems();
    return DefWindowProc(WM_KEYDOWN, wParam, lParam);
}

void CShellTreeCtrl::ReadVisiblePendingItems()
{
    // Walked afresh at every paint: the control hands out only live items.
    UINT nLeft = GetVisibleCount() + 1;
    for (HTREEITEM h = GetFirstVisibleItem(); h && nLeft && !m_pendingChecks.empty(); h = GetNextVisibleItem(h), --nLeft) {
        auto it = m_pendingChecks.find(h);
        if (it == m_pendingChecks.end()) continue;
        UINT nChecks = it->second;
        m_pendingChecks.erase(it);
        ReadPendingItem(h, nChecks);
    }
}

void CShellTreeCtrl::ReadPendingItem(HTREEITEM hItem, UINT nChecks)
{
    FolderItemData* pData = GetItemRecord(hItem);
    std::wstring strPath;
    if (!pData || !GetChildParsingName(pData->pFolder, pData->pidlRel, strPath)) return;

    if ((nChecks & kCheckIcon) && DiskFolderHasDesktopIni(strPath.c_str())) {
        TVITEMA item = {};
        item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = hItem;
        SetItemIcons(pData->pidlAbs, &item);
        SetItem(&item);
    }
    // An item expanded meanwhile has its children (or none) read already.
    if ((nChecks & kCheckSubFolders) && !GetChildItem(hItem) && !(GetItemState(hItem, TVIS_EXPANDED) & TVIS_EXPANDED) &&
        DiskFolderHasSubFolder(strPath.c_str())) {
        InsertPlaceholder(hItem);
    }
}

// ---- Item commands -------------------------------------------------------------------------

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
                ShowItemContextMenu(::GetParent(m_hWnd), pData->pFolder, pData->pidlRel, pt);
                if (m_hCommandItem == hItem) RefreshItemIcons(hItem);
                m_hCommandItem = nullptr;
            }
        }
    }
    *pResult = 0;
}

BOOL CShellTreeCtrl::ShowItemContextMenu(HWND hwndOwner, IShellFolder* pFolder, LPCITEMIDLIST pidlRel, POINT ptScreen)
{
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
    hr = spMenu->QueryContextMenu(hPopup, 0, 1, 0x7FFF, CMF_EXPLORE);
    if (FAILED(hr)) {
        DestroyMenu(hPopup);
        return FALSE;
    }
    UINT nCmd = static_cast<UINT>(
        TrackPopupMenu(hPopup, TPM_RETURNCMD | TPM_RIGHTBUTTON, ptScreen.x, ptScreen.y, 0, hwndOwner, nullptr));
    if (nCmd) {
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
    SetItemIcons(pData->pidlAbs, &item);
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

    WCHAR szName[MAX_PATH];
    if (bWide) {
        WCHAR szLabel[MAX_PATH] = L"";
        TVITEMW item = {};
        item.mask = TVIF_HANDLE | TVIF_TEXT;
        item.hItem = hItem;
        item.pszText = szLabel;
        item.cchTextMax = MAX_PATH;
        // An unchanged label renames nothing.
        if (SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) && lstrcmpW(szLabel, pInfoW->item.pszText) == 0)
            return;
        if (lstrlenW(pInfoW->item.pszText) >= MAX_PATH) return;
        lstrcpyW(szName, pInfoW->item.pszText);
    } else {
        // The label is the name in 8-bit text; a name with characters outside the code page
        // shows them replaced, and giving that text back would rename the folder to it.
        if (GetItemText(hItem) == pInfo->item.pszText) return;
        if (!MultiByteToWideChar(CP_ACP, 0, pInfo->item.pszText, -1, szName, MAX_PATH)) return;
    }

    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hwndOwner = pMainWnd ? pMainWnd->m_hWnd : nullptr;
    CIdListPtr pidlNew;
    // SetNameOf may run modally; the item may go while it does.
    m_hCommandItem = hItem;
    HRESULT hr = pData->pFolder->SetNameOf(hwndOwner, pData->pidlRel, szName, kRenameFlags, pidlNew.Put());
    const BOOL bItemStayed = m_hCommandItem == hItem;
    m_hCommandItem = nullptr;
    if (FAILED(hr) || !pidlNew || !bItemStayed) return;
    pData->pidlRel = std::move(pidlNew);
    UpdateItemIdLists(hItem, TRUE);
    *pResult = 1;
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
    CComPtr<IContextMenu> spMenu;
    LPCITEMIDLIST pidlRel = pData->pidlRel;
    if (FAILED(pData->pFolder->GetUIObjectOf(m_hWnd, 1, &pidlRel, IID_IContextMenu, nullptr, spMenu.PutVoid())) || !spMenu)
        return FALSE;

    CMINVOKECOMMANDINFO ici = {};
    ici.cbSize = sizeof(ici);
    ici.hwnd = m_hWnd;
    // Lower case: Windows compares verbs without regard to case, Wine exactly.
    ici.lpVerb = "delete";
    // The verb asks for confirmation modally; the item may go while it does.
    m_hCommandItem = hItem;
    spMenu->InvokeCommand(&ici);
    spMenu.Release();
    const BOOL bItemStayed = m_hCommandItem == hItem;
    m_hCommandItem = nullptr;
    if (!bItemStayed || !pData->pFolder) return TRUE;

    if (IsFolderGone(pData->pFolder, pData->pidlRel)) {
        DeleteChildItems(hItem, hItem, TRUE);
        DeleteItem(hItem);
    }
    return TRUE;
}

BOOL CShellTreeCtrl::IsBelow(HTREEITEM hItem, HTREEITEM hAncestor)
{
    for (HTREEITEM h = hItem ? GetParentItem(hItem) : nullptr; h; h = GetParentItem(h)) {
        if (h == hAncestor) return TRUE;
    }
    return FALSE;
}

HTREEITEM CShellTreeCtrl::FindFolderItem(LPCITEMIDLIST pidlAbs)
{
    if (!pidlAbs) return nullptr;
    CComPtr<IMalloc> spMalloc;
    SHGetMalloc(spMalloc.Put());
    HTREEITEM hFound = TVI_ROOT;  // the top level holds the desktop's children
    for (LPCITEMIDLIST pidlRest = pidlAbs; hFound && pidlRest->mkid.cb; pidlRest = IdListGetNext(pidlRest)) {
        CIdListPtr pidlFirst(IdListCopyFirst(spMalloc, pidlRest));
        const CFolderRecords::Level* pChildren = m_records.Find(hFound);
        hFound = nullptr;
        if (!pidlFirst || !pChildren) break;
        for (const auto& child : *pChildren) {
            const FolderItemData* pData = child.second.get();
            if (pData->pFolder && pData->pFolder->CompareIDs(0, pidlFirst, pData->pidlRel) == 0) {
                hFound = child.first;
                break;
            }
        }
    }
    // The desktop itself has no item.
    return hFound == TVI_ROOT ? nullptr : hFound;
}

void CShellTreeCtrl::RefreshFolderItem(HTREEITEM hItem)
{
    FolderItemData* pData = hItem ? GetItemRecord(hItem) : nullptr;
    if (!pData) return;
    const CFolderRecords::Level* pChildren = m_records.Find(hItem);
    if (!pChildren) {
        // None read (not yet, or there were none): at most a placeholder to replace. An
        // item that was open stays open and reads them; another reads them when opened.
        const BOOL bOpen = (GetItemState(hItem, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
        HTREEITEM hChild;
        while ((hChild = GetChildItem(hItem)) != nullptr) DeleteItem(hChild);
        SetItemState(hItem, 0, TVIS_EXPANDED | TVIS_EXPANDEDONCE);
        if (FolderMayHaveSubFolders(pData->pFolder, pData->pidlRel)) {
            InsertPlaceholder(hItem);
            if (bOpen) ExpandWithNotify(hItem, TVE_EXPAND);
        }
        return;
    }
    std::vector<HTREEITEM> gone;
    std::set<std::wstring> present;
    for (const auto& child : *pChildren) {
        std::wstring strPath;
        GetChildParsingName(child.second->pFolder, child.second->pidlRel, strPath);
        if (IsFolderGone(child.second->pFolder, child.second->pidlRel, &strPath)) {
            gone.push_back(child.first);
        } else if (!strPath.empty()) {
            present.insert(PathKey(strPath));
        }
    }
    for (HTREEITEM hGone : gone) {
        HTREEITEM hSelected = GetSelectedItem();
        if (hSelected == hGone || IsBelow(hSelected, hGone)) Select(hItem, TVGN_CARET);
        DeleteChildItems(hGone, hGone, TRUE);
        DeleteItem(hGone);
    }
    CComPtr<IShellFolder> spFolder;
    spFolder.Attach(BindItemFolder(hItem));
    if (!spFolder) return;
    InsertFolderChildren(spFolder, pData->pidlAbs, hItem, &present);
    SortChildren(hItem);
}

std::wstring CShellTreeCtrl::ChildKey(IShellFolder* pFolder, LPCITEMIDLIST pidlRel)
{
    std::wstring strKey;
    GetChildParsingName(pFolder, pidlRel, strKey);
    return PathKey(strKey);
}

void CShellTreeCtrl::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMTVCUSTOMDRAW* pDraw = reinterpret_cast<NMTVCUSTOMDRAW*>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    if (pDraw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        *pResult = CDRF_NOTIFYITEMDRAW;
    } else if (pDraw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        pDraw->clrText = GetSysColor(COLOR_WINDOWTEXT);
        pDraw->clrTextBk = GetSysColor(COLOR_WINDOW);
        // The folder under a drag is drawn as selected: Wine does not mark it so.
        const HTREEITEM hItem = reinterpret_cast<HTREEITEM>(pDraw->nmcd.dwItemSpec);
        if ((pDraw->nmcd.uItemState & CDIS_SELECTED) || (hItem && hItem == GetDropHilightItem())) {
            pDraw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
            pDraw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
            return;
        }
        const FolderItemData* pData = GetItemRecord(hItem);
        if (pData && pData->pFolder &&
            (ItemAttributes(pData->pFolder, pData->pidlRel, SFGAO_COMPRESSED) & SFGAO_COMPRESSED)) {
            pDraw->clrText = RGB(0, 0, 255);
        }
    }
}

BOOL CShellTreeCtrl::HandleTreeNotify(NMHDR* pNMHDR, LRESULT* pResult)
{
    if (!pNMHDR || pNMHDR->hwndFrom != m_hWnd) return FALSE;
    switch (pNMHDR->code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW:
        OnItemExpanding(pNMHDR, pResult);
        *pResult = 0;
        return TRUE;
    case NM_RCLICK:
        OnRightClick(pNMHDR, pResult);
        *pResult = 0;
        return TRUE;
    case TVN_BEGINLABELEDITA:
    case TVN_BEGINLABELEDITW:
        OnBeginLabelEdit(pNMHDR, pResult);
        return TRUE;
    case TVN_ENDLABELEDITA:
    case TVN_ENDLABELEDITW: {
        CWaitCursor wait;
        OnEndLabelEdit(pNMHDR, pResult);
        return TRUE;
    }
    case TVN_KEYDOWN:
        *pResult = 0;
        if (reinterpret_cast<const NMTVKEYDOWN*>(pNMHDR)->wVKey == VK_DELETE) {
            if (HTREEITEM hSelected = GetSelectedItem()) DeleteFolderItem(hSelected);
        }
        return TRUE;
    case NM_CUSTOMDRAW:
        OnCustomDraw(pNMHDR, pResult);
        return TRUE;
    default:
        return FALSE;
    }
}
