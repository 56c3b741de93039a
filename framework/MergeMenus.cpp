#include "framework/MergeMenus.h"

namespace {

const int kGroups = 6;

// Position in the shared menu just after the last item of group g.
int GroupEnd(const LONG* lpMenuWidths, int g)
{
    int pos = 0;
    for (int i = 0; i <= g; i++) pos += static_cast<int>(lpMenuWidths[i]);
    return pos;
}

}  // namespace

HMENU AfxMergeMenus(HMENU hMenuShared, HMENU hMenuSource, LONG* lpMenuWidths, int iWidthIndex, BOOL bMergeHelpMenus)
{
    if (!hMenuShared || !hMenuSource || !lpMenuWidths || iWidthIndex < 0 || iWidthIndex >= kGroups) return nullptr;
    int nCount = GetMenuItemCount(hMenuSource);
    HMENU hHelp = nullptr;
    int nLast = nCount - 1;
    if (bMergeHelpMenus && nLast >= 0 && GetSubMenu(hMenuSource, nLast)) {
        hHelp = GetSubMenu(hMenuSource, nLast);
        nCount = nLast;
    }
    int g = iWidthIndex;
    for (int i = 0; i < nCount; i++) {
        char text[256] = "";
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_STATE;
        mii.dwTypeData = text;
        mii.cch = sizeof(text);
        if (!GetMenuItemInfoA(hMenuSource, static_cast<UINT>(i), TRUE, &mii)) continue;
        if (mii.fType & MFT_SEPARATOR) {
            // A separator closes this side's group; the next run goes two groups on.
            if (g + 2 < kGroups) g += 2;
            continue;
        }
        mii.cch = static_cast<UINT>(lstrlenA(text));
        InsertMenuItemA(hMenuShared, static_cast<UINT>(GroupEnd(lpMenuWidths, g)), TRUE, &mii);
        lpMenuWidths[g]++;
    }
    if (hHelp) {
        char text[256] = "";
        GetMenuStringA(hMenuSource, static_cast<UINT>(nLast), text, sizeof(text), MF_BYPOSITION);
        InsertMenuA(hMenuShared, static_cast<UINT>(GroupEnd(lpMenuWidths, kGroups - 1)), MF_BYPOSITION | MF_POPUP,
                    reinterpret_cast<UINT_PTR>(hHelp), text);
        lpMenuWidths[kGroups - 1]++;
    }
    return hHelp;
}
