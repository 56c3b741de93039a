#include "shell/TreeViewItems.h"

#include "shell/Wine.h"

void DeleteTreeViewChildren(HWND hTree, HTREEITEM hItem, const std::vector<HTREEITEM>& children)
{
    // Wine's control would lay the tree out again after each deletion.
    ::SendMessageA(hTree, WM_SETREDRAW, FALSE, 0);
    if (IsRunningUnderWine()) {
        ::SendMessageA(hTree, TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, reinterpret_cast<LPARAM>(hItem));
    } else {
        for (HTREEITEM hChild : children) ::SendMessageA(hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(hChild));
    }
    HTREEITEM hChild;
    while ((hChild = reinterpret_cast<HTREEITEM>(
                ::SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(hItem)))) != nullptr) {
        ::SendMessageA(hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(hChild));
    }
    ::SendMessageA(hTree, WM_SETREDRAW, TRUE, 0);
}
