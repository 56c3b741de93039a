// The records of the folder tree's items. Each item that stands for a folder keeps its
// FolderItemData as the item's data; a record owns what it holds and CFolderRecords owns
// the records, so that whichever way an item goes, its folder is released and its lists are
// freed once, with the record.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"

// The record of one tree item. Like the lists it holds it comes from the shell allocator
// (NewFolderItemData), so that the allocator's count shows a record that outlives its item.
// The control's TVN_DELETEITEM may carry a record already freed: its lParam is never read.
struct FolderItemData {
    CComPtr<IShellFolder> pFolder;  // the folder that contains the item; one reference
    CIdListPtr pidlRel;             // one-level list relative to pFolder
    CIdListPtr pidlAbs;             // absolute list
};

// Gives a record, after what it holds, back to the shell allocator.
struct FolderItemDataDeleter {
    void operator()(FolderItemData* pData) const;
};
typedef std::unique_ptr<FolderItemData, FolderItemDataDeleter> FolderItemDataPtr;

// A new, empty record; null when the shell allocator has no memory.
FolderItemDataPtr NewFolderItemData();

// The records of the tree's items by parent (TVI_ROOT for the top level), in the order the
// items were inserted. Releasing and deleting whole levels goes by it: Wine's control looks
// every item handle up by a linear search, so walking a level of n items through the control
// costs time in n squared, and deleting in insertion order finds each item at once.
class CFolderRecords {
public:
    typedef std::vector<std::pair<HTREEITEM, FolderItemDataPtr>> Level;

    // The records of a parent's items; null when it has none.
    const Level* Find(HTREEITEM hParent) const;
    // Keeps the record of an item just inserted under the parent, after its others.
    void Add(HTREEITEM hParent, HTREEITEM hItem, FolderItemDataPtr pData);
    // Hands the records of a parent's items over to the caller and forgets them.
    Level Take(HTREEITEM hParent);
    // Hands one item's record over to the caller and forgets it; null when it has none.
    FolderItemDataPtr TakeOne(HTREEITEM hParent, HTREEITEM hItem);
    // Frees every record.
    void Clear();

private:
    std::unordered_map<HTREEITEM, Level> m_levels;
};
