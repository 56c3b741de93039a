// Menu merging by OLE menu groups, as a container merges its menus with an object's.
#pragma once

#include <windows.h>

// Merges the top-level items of hMenuSource into hMenuShared. The source's items up to its
// first separator join group iWidthIndex, the next run group iWidthIndex + 2, the rest group
// iWidthIndex + 4 (groups interleave: 0, 2, 4 for one side, 1, 3, 5 for the other); each
// item goes to the end of its group and the group's count in lpMenuWidths (six entries) grows.
// With bMergeHelpMenus the source's last popup joins group 5, the help group, instead.
// Popups are shared, not copied: once merged, the caller must keep the source from
// destroying them (RemoveMenu) for as long as the shared menu refers to them.
// Returns the help popup that was merged, or null.
HMENU AfxMergeMenus(HMENU hMenuShared, HMENU hMenuSource, LONG* lpMenuWidths, int iWidthIndex,
                    BOOL bMergeHelpMenus = FALSE);
