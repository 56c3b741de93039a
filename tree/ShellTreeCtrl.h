// The folder tree of a browser window: the shell namespace read on demand, one record
// per item, in the shell's order and with the system's icons; and the commands on its
// items (context menu, rename, delete, colours).
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "framework/TreeCtrl.h"

// The record of one tree item, kept as the item's data. Allocated and freed with the
// shell allocator, like its two lists; released only by DeleteChildItems.
struct FolderItemData {
    IShellFolder* pFolder;  // the folder that contains the item; one reference held
    LPITEMIDLIST pidlRel;   // one-level list relative to pFolder
    LPITEMIDLIST pidlAbs;   // absolute list
};

class CShellTreeCtrl : public CTreeCtrl {
    DECLARE_DYNAMIC(CShellTreeCtrl)
public:
    CShellTreeCtrl() = default;
    ~CShellTreeCtrl() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Filling and reading.
    void SetSystemImageList();
    void FillRoot();
    void InsertFolderChildren(IShellFolder* pFolder, LPCITEMIDLIST pidlParentAbs, HTREEITEM hParent);
    int GetSysIconIndex(LPCITEMIDLIST pidlAbs, UINT uFlags);
    void SetItemIcons(LPCITEMIDLIST pidlAbs, TVITEMA* pItem);
    static int CALLBACK CompareItems(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);

    // Expanding, collapsing, selecting.
    void OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT ExpandWithNotify(HTREEITEM hItem, UINT nAction);
    void DeleteChildItems(HTREEITEM hItem, HTREEITEM hReplacement, BOOL bReleaseItem);
    HRESULT SelectIdList(LPCITEMIDLIST pidlAbs);
    HRESULT SelectChild(LPCITEMIDLIST pidlRel);

    // Queries; a null item means the selection.
    IShellFolder* BindItemFolder(HTREEITEM hItem = nullptr);
    BOOL GetItemName(HTREEITEM hItem, DWORD uFlags, CString& strName);
    BOOL GetItemTitle(HTREEITEM hItem, CString& strTitle);
    FolderItemData* GetItemRecord(HTREEITEM hItem) const;

    // Item commands.
    void OnRightClick(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL ShowItemContextMenu(HWND hwndOwner, IShellFolder* pFolder, LPCITEMIDLIST pidlRel, POINT ptScreen);
    void RefreshItemIcons(HTREEITEM hItem);
    void OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    void UpdateItemIdLists(HTREEITEM hItem, BOOL bDescendants);
    BOOL DeleteFolderItem(HTREEITEM hItem);
    void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);

    // The hand-over of the control's notifications by the window that hosts it (the
    // explorer view): item expanding, right click, label edit (with the wait cursor
    // around its end), the Delete key and custom draw. TRUE when the code was one of them.
    BOOL HandleTreeNotify(NMHDR* pNMHDR, LRESULT* pResult);

    void OnDestroy();

protected:
    DECLARE_MESSAGE_MAP()
};
