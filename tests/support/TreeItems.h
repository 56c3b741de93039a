// The items of a tree control as tests read them: an item's children, their labels, and
// one child found by its label.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/TreeCtrl.h"

std::vector<HTREEITEM> Children(const CTreeCtrl& tree, HTREEITEM hParent);
std::vector<std::string> Labels(const CTreeCtrl& tree, HTREEITEM hParent);
// The first child with this label, or null.
HTREEITEM ChildByLabel(const CTreeCtrl& tree, HTREEITEM hParent, const std::string& label);
