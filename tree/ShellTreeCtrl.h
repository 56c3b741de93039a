// The folder tree of a browser window: the shell namespace read on demand, one record
// per item, in the shell's order and with the system's icons; and the commands on its
// items (context menu, rename, delete, colours). One class, its members split over files
// by concept, as the headings below name them.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "framework/TreeCtrl.h"
#include "tree/FolderRecords.h"

#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CShellTreeCtrl : public CTreeCtrl {
    DECLARE_DYNAMIC(CShellTreeCtrl)
public:
    CShellTreeCtrl() = default;
    ~CShellTreeCtrl() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Filling and reading (ShellTreeFill.cpp).
    void SetSystemImageList();
    void FillRoot();
    // pSkip: the upper-case parsing names of sub-folders the item has already; none is
    // inserted twice.
    void InsertFolderChildren(IShellFolder* pFolder, LPCITEMIDLIST pidlParentAbs, HTREEITEM hParent,
                              const std::set<std::wstring>* pSkip = nullptr);
    int GetSysIconIndex(LPCITEMIDLIST pidlAbs, UINT uFlags);
    void SetItemIcons(LPCITEMIDLIST pidlAbs, int& iImage, int& iSelectedImage);
    static int CALLBACK CompareItems(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);

    // Expanding, collapsing, selecting (ShellTreeNavigation.cpp).
    void OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT ExpandWithNotify(HTREEITEM hItem, UINT nAction);
    HRESULT SelectIdList(LPCITEMIDLIST pidlAbs);
    HRESULT SelectChild(LPCITEMIDLIST pidlRel);

    // After items were moved or copied in or out of folders behind the tree's back (a drop,
    // a paste; ShellTreeRefresh.cpp): the item of a folder among those read so far (expands nothing), and the
    // re-reading of an item's sub-folders. An expanded item shows its sub-folders as they
    // are now (those that stayed keep their items, open or not; a selection in one that is
    // gone moves to the item); one whose children are not read yet gets its button right.
    HTREEITEM FindFolderItem(LPCITEMIDLIST pidlAbs);
    void RefreshFolderItem(HTREEITEM hItem);

    // Records and queries (ShellTreeCtrl.cpp); a null item means the selection.
    IShellFolder* BindItemFolder(HTREEITEM hItem = nullptr);
    // The name as 8-bit text: a full parsing name (a path) in a form the code page holds
    // exactly (AnsiPathFor); other names with what the code page lacks replaced.
    BOOL GetItemName(HTREEITEM hItem, DWORD uFlags, CString& strName);
    BOOL GetItemNameW(HTREEITEM hItem, DWORD uFlags, std::wstring& strName);
    BOOL GetItemTitle(HTREEITEM hItem, CString& strTitle);
    FolderItemData* GetItemRecord(HTREEITEM hItem) const;
    // Deletes an item's children and frees their records; a selection below moves to
    // hReplacement first. bReleaseItem: the item's own record goes too.
    void DeleteChildItems(HTREEITEM hItem, HTREEITEM hReplacement, BOOL bReleaseItem);
    // Item handles kept by others across a modal loop (a drag's): the tree clears a watched
    // handle when its item goes, so that it never names a deleted item, nor a new one the
    // control made in its place. Unwatch before the handle itself goes.
    void WatchItemHandle(HTREEITEM* pHandle);
    void UnwatchItemHandle(HTREEITEM* pHandle);

    // Item commands (ShellTreeCommands.cpp).
    void OnRightClick(NMHDR* pNMHDR, LRESULT* pResult);
    // pbRename: the caller renames the item itself; set when the user chose the menu's Rename,
    // which then is the caller's to start.
    BOOL ShowItemContextMenu(HWND hwndOwner, IShellFolder* pFolder, LPCITEMIDLIST pidlRel, POINT ptScreen,
                             BOOL* pbRename = nullptr);
    void RefreshItemIcons(HTREEITEM hItem);
    void OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    void UpdateItemIdLists(HTREEITEM hItem, BOOL bDescendants);
    BOOL DeleteFolderItem(HTREEITEM hItem);
    // The item's folder on the clipboard as cut (DROPEFFECT_MOVE) or copied
    // (DROPEFFECT_COPY); fails for a folder the shell cannot move or copy
    // (ShellTreeClipboard.cpp).
    HRESULT PutItemOnClipboard(HTREEITEM hItem, DWORD dwEffect);
    // Colours (ShellTreeDraw.cpp).
    void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);

    // The hand-over of the control's notifications by the window that hosts it (the
    // explorer view): item expanding, right click, label edit (with the wait cursor
    // around its end), the Delete key, custom draw and the start of a drag. TRUE when the
    // code was one of them.
    BOOL HandleTreeNotify(NMHDR* pNMHDR, LRESULT* pResult);

    void OnDestroy();

protected:
    DECLARE_MESSAGE_MAP()

    // Where the shell's answers need the disk (Wine), the disk facts of file-system folders
    // are read only once the items are on screen, just before they are painted or a key
    // acts on them: whether they hold sub-folders, and whether their icons may differ from
    // the plain folder's (ShellTreeDiskChecks.cpp).
    LRESULT OnPaintMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDownMessage(WPARAM wParam, LPARAM lParam);
    // Presses that the control may take for the start of a drag (ShellTreeCtrl.cpp).
    LRESULT OnLButtonDownMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnRButtonDownMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam);

private:
    enum : UINT {
        kCheckSubFolders = 1,  // the item gets its placeholder if the disk shows a sub-folder
        kCheckIcon = 2,        // the item shows the plain folder icons, unless it holds a desktop.ini
    };
    // Forgets an item whose record goes; sends nothing to the control.
    void ForgetItem(HTREEITEM hItem);
    // Frees the records of a level taken from the store and of everything below them;
    // sends nothing to the control.
    void FreeLevel(CFolderRecords::Level level);
    // Frees the records of every descendant of an item; sends nothing to the control.
    void FreeDescendantRecords(HTREEITEM hItem);
    // Releases the record of an item that stays in the control, and clears its data.
    void ReleaseRecord(HTREEITEM hItem);
    // Rebuilds the lists and containers of an item's loaded descendants after a rename.
    void UpdateDescendantIdLists(HTREEITEM hItem, const FolderItemData* pData);
    // Says once why a rename did not happen; the item keeps its name.
    void ShowRenameFailure(const std::wstring& strOld, const std::wstring& strNew, const std::wstring& strWhy);
    void SortChildren(HTREEITEM hParent);
    void InsertPlaceholder(HTREEITEM hItem);
    BOOL IsBelow(HTREEITEM hItem, HTREEITEM hAncestor);
    // A sub-folder's upper-case parsing name: what tells two of one folder apart.
    static std::wstring ChildKey(IShellFolder* pFolder, LPCITEMIDLIST pidlRel);
    void ReadVisiblePendingItems();
    void ReadPendingItem(HTREEITEM hItem, UINT nChecks);

    // The records of the items, by parent.
    CFolderRecords m_records;
    // Items whose disk facts are still to be read (only where the shell's answers need the
    // disk). An entry goes with its record, so no handle here ever names a deleted item.
    std::unordered_map<HTREEITEM, UINT> m_pendingChecks;
    // The icons every plain file-system folder shows (MayShowPlainFolderIcon), learnt from
    // the first one met.
    int m_iPlainIcon = -1;
    int m_iPlainOpenIcon = -1;
    // The item whose label edit this tree allowed; Wine ends one edit with two notifications.
    HTREEITEM m_hEditItem = nullptr;
    // The item a modal shell command runs on; cleared if its record goes meanwhile.
    HTREEITEM m_hCommandItem = nullptr;
    // The item the control reported as dragged during the press being handled.
    HTREEITEM m_hDragStartItem = nullptr;
    // The handles of WatchItemHandle.
    std::vector<HTREEITEM*> m_watchedHandles;
};
