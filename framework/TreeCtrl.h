// CTreeCtrl: a thin wrapper over the common tree-view control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/Wnd.h"

#include <string>

class CTreeCtrl : public CWnd {
    DECLARE_DYNAMIC(CTreeCtrl)
public:
    CTreeCtrl() = default;

    HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const
    {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
    }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
    HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
    HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
    HTREEITEM GetNextVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXTVISIBLE); }
    // Items that fit whole in the client area.
    UINT GetVisibleCount() const { return static_cast<UINT>(SendMessage(TVM_GETVISIBLECOUNT)); }
    BOOL ItemHasChildren(HTREEITEM hItem) const { return GetChildItem(hItem) != nullptr; }
    UINT GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }

    BOOL GetItem(TVITEMA* pItem) const { return static_cast<BOOL>(SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(pItem))); }
    BOOL SetItem(TVITEMA* pItem) { return static_cast<BOOL>(SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(pItem))); }
    UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const
    {
        return static_cast<UINT>(SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(hItem), nStateMask)) & nStateMask;
    }
    BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask)
    {
        TVITEMA item = {};
        item.mask = TVIF_HANDLE | TVIF_STATE;
        item.hItem = hItem;
        item.state = nState;
        item.stateMask = nStateMask;
        return SetItem(&item);
    }
    DWORD_PTR GetItemData(HTREEITEM hItem) const
    {
        TVITEMA item = {};
        item.mask = TVIF_HANDLE | TVIF_PARAM;
        item.hItem = hItem;
        return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
    }
    BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData)
    {
        TVITEMA item = {};
        item.mask = TVIF_HANDLE | TVIF_PARAM;
        item.hItem = hItem;
        item.lParam = static_cast<LPARAM>(dwData);
        return SetItem(&item);
    }
    CString GetItemText(HTREEITEM hItem) const
    {
        char buf[MAX_PATH + 1] = "";
        TVITEMA item = {};
        item.mask = TVIF_HANDLE | TVIF_TEXT;
        item.hItem = hItem;
        item.pszText = buf;
        item.cchTextMax = static_cast<int>(sizeof(buf));
        return GetItem(&item) ? CString(buf) : CString();
    }
    // The label as the control holds it, wide: names outside the code page stay whole.
    std::wstring GetItemTextW(HTREEITEM hItem) const
    {
        WCHAR buf[MAX_PATH + 1] = L"";
        TVITEMW item = {};
        item.mask = TVIF_HANDLE | TVIF_TEXT;
        item.hItem = hItem;
        item.pszText = buf;
        item.cchTextMax = MAX_PATH + 1;
        return SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? std::wstring(buf) : std::wstring();
    }
    BOOL SetItemTextW(HTREEITEM hItem, const std::wstring& text)
    {
        TVITEMW item = {};
        item.mask = TVIF_HANDLE | TVIF_TEXT;
        item.hItem = hItem;
        item.pszText = const_cast<LPWSTR>(text.c_str());
        return static_cast<BOOL>(SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    BOOL GetItemRect(HTREEITEM hItem, RECT* pRect, BOOL bTextOnly) const
    {
        *reinterpret_cast<HTREEITEM*>(pRect) = hItem;
        return static_cast<BOOL>(SendMessage(TVM_GETITEMRECT, bTextOnly, reinterpret_cast<LPARAM>(pRect)));
    }

    HTREEITEM InsertItem(TVINSERTSTRUCTA* pInsert)
    {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(pInsert)));
    }
    // The same, with a wide label (the control takes one whatever the program's text).
    HTREEITEM InsertItemW(TVINSERTSTRUCTW* pInsert)
    {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(pInsert)));
    }
    BOOL DeleteItem(HTREEITEM hItem) { return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(hItem))); }
    BOOL DeleteAllItems() { return DeleteItem(TVI_ROOT); }
    BOOL Expand(HTREEITEM hItem, UINT nCode) { return static_cast<BOOL>(SendMessage(TVM_EXPAND, nCode, reinterpret_cast<LPARAM>(hItem))); }
    BOOL Select(HTREEITEM hItem, UINT nCode) { return static_cast<BOOL>(SendMessage(TVM_SELECTITEM, nCode, reinterpret_cast<LPARAM>(hItem))); }
    BOOL SelectItem(HTREEITEM hItem) { return Select(hItem, TVGN_CARET); }
    BOOL SelectDropTarget(HTREEITEM hItem) { return Select(hItem, TVGN_DROPHILITE); }
    BOOL EnsureVisible(HTREEITEM hItem) { return static_cast<BOOL>(SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(hItem))); }
    BOOL SortChildrenCB(TVSORTCB* pSort) { return static_cast<BOOL>(SendMessage(TVM_SORTCHILDRENCB, FALSE, reinterpret_cast<LPARAM>(pSort))); }
    HIMAGELIST SetImageList(HIMAGELIST hList, int nImageList)
    {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_SETIMAGELIST, static_cast<WPARAM>(nImageList), reinterpret_cast<LPARAM>(hList)));
    }
    HWND GetEditControl() const { return reinterpret_cast<HWND>(SendMessage(TVM_GETEDITCONTROL)); }
    // Starts editing the item's label; the editor, or null when the edit was refused.
    HWND EditLabel(HTREEITEM hItem) { return reinterpret_cast<HWND>(SendMessage(TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(hItem))); }
    HTREEITEM HitTest(POINT pt, UINT* pFlags = nullptr) const
    {
        TVHITTESTINFO hit = {};
        hit.pt = pt;
        HTREEITEM hItem = reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (pFlags) *pFlags = hit.flags;
        return hItem;
    }

protected:
    DECLARE_MESSAGE_MAP()
};
