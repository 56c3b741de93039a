// The folder tree read from the shell: a folder's sub-folders as items with their records,
// the system's icons and overlays, the shell's order, and placeholders for unread levels.
#include "tree/ShellTreeCtrl.h"

#include "shell/ComPtr.h"
#include "shell/DiskFolders.h"
#include "shell/FolderFacts.h"
#include "shell/IdListPtr.h"
#include "shell/ItemAttributes.h"
#include "shell/ItemNames.h"
#include "shell/Paths.h"
#include "tree/IdList.h"

namespace {

const SFGAOF kChildAttributes = SFGAO_HASSUBFOLDER | SFGAO_FOLDER | SFGAO_SHARE | SFGAO_LINK;
const UINT kIconFlags = SHGFI_SYSICONINDEX | SHGFI_PIDL | SHGFI_SMALLICON;
const UINT kOverlayShare = INDEXTOOVERLAYMASK(1);
const UINT kOverlayLink = INDEXTOOVERLAYMASK(2);

}  // namespace

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
        // A sub-folder whose name cannot be read is left out; those after it still show.
        std::wstring strName;
        if (!GetChildDisplayName(pFolder, pidlChild, SHGDN_NORMAL, strName)) continue;
        pData->pidlAbs.Attach(IdListConcat(pidlParentAbs, pidlChild));
        pData->pidlRel.Attach(IdListCopyFirst(spMalloc, pidlChild));
        if (!pData->pidlAbs || !pData->pidlRel) break;

        // Each item goes after the one inserted before it, which is the parent's last child.
        // The label is wide, so that names outside the code page show as they are.
        TVINSERTSTRUCTW insert = {};
        insert.hParent = hParent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
        insert.item.pszText = &strName[0];
        insert.item.lParam = reinterpret_cast<LPARAM>(pData.get());

        UINT nChecks = 0;
        const BOOL bMayBePlain = MayShowPlainFolderIcon(attrs, attrsContainer);
        if (bMayBePlain && m_iPlainIcon >= 0) {
            insert.item.iImage = m_iPlainIcon;
            insert.item.iSelectedImage = m_iPlainOpenIcon;
            nChecks |= kCheckIcon;
        } else {
            SetItemIcons(pData->pidlAbs, insert.item.iImage, insert.item.iSelectedImage);
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
        HTREEITEM hItem = InsertItemW(&insert);
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

void CShellTreeCtrl::SetItemIcons(LPCITEMIDLIST pidlAbs, int& iImage, int& iSelectedImage)
{
    iImage = GetSysIconIndex(pidlAbs, kIconFlags);
    iSelectedImage = GetSysIconIndex(pidlAbs, kIconFlags | SHGFI_OPENICON);
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

std::wstring CShellTreeCtrl::ChildKey(IShellFolder* pFolder, LPCITEMIDLIST pidlRel)
{
    std::wstring strKey;
    GetChildParsingName(pFolder, pidlRel, strKey);
    return PathKey(strKey);
}
