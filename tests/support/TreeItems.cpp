#include "support/TreeItems.h"

std::vector<HTREEITEM> Children(const CTreeCtrl& tree, HTREEITEM hParent)
{
    std::vector<HTREEITEM> items;
    for (HTREEITEM h = tree.GetChildItem(hParent); h; h = tree.GetNextSiblingItem(h)) items.push_back(h);
    return items;
}

std::vector<std::string> Labels(const CTreeCtrl& tree, HTREEITEM hParent)
{
    std::vector<std::string> labels;
    for (HTREEITEM h : Children(tree, hParent)) labels.push_back(tree.GetItemText(h).GetString());
    return labels;
}

HTREEITEM ChildByLabel(const CTreeCtrl& tree, HTREEITEM hParent, const std::string& label)
{
    for (HTREEITEM h : Children(tree, hParent))
        if (label == tree.GetItemText(h).GetString()) return h;
    return nullptr;
}
