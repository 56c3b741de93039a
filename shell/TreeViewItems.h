// Deleting a whole level of a tree-view control's items, the quickest way the system's
// control offers.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

// Deletes every child of hItem from the tree-view control, with redrawing off meanwhile.
// children: those the caller inserted, in the order it inserted them; any others (a
// placeholder) go as well. Windows' control deletes them one by one. Wine's control finds
// an item by a linear search and keeps all items in one array, so each deletion costs time
// in the number of all items: there one collapse that removes the children costs a
// fraction of deleting them one by one.
void DeleteTreeViewChildren(HWND hTree, HTREEITEM hItem, const std::vector<HTREEITEM>& children);
