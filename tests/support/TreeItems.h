// The items of a tree control as tests read them: an item's children, their labels, and
// one child found by its label.
//
// Header only, so that benchmarks, which do not link the test support, can use it too.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/TreeCtrl.h"

inline std::vector<HTREEITEM> Children(const CTreeCtrl& tree, HTREEITEM hParent)
{
    std::vector<HTREEITEM> items;
    for (HTREEITEM h = tree.GetChildItem(hParent); h; h = tree.GetNextSiblingItem(h)) items.push_back(h);
    return items;
}

inline std::vector<std::string> Labels(const CTreeCtrl& tree, HTREEITEM hParent)
{
    std::vector<std::string> labels;
    for (HTREEITEM h : Children(tree, hParent)) labels.push_back(tree.GetItemText(h).GetString());
    return labels;
}

// The first child with this label, or null.
inline HTREEITEM ChildByLabel(const CTreeCtrl& tree, HTREEITEM hParent, const std::string& label)
{
    for (HTREEITEM h : Children(tree, hParent))
        if (label == tree.GetItemText(h).GetString()) return h;
    return nullptr;
}

// The first child whose wide label is this, or null.
inline HTREEITEM ChildByWideLabel(const CTreeCtrl& tree, HTREEITEM hParent, const std::wstring& label)
{
    for (HTREEITEM h : Children(tree, hParent))
        if (label == tree.GetItemTextW(h)) return h;
    return nullptr;
}
