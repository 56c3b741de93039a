#include "shell/ShellViewToolbar.h"

#include <commctrl.h>

#include "shell/ShellViewCommandIds.h"
#include "shell/Wine.h"

namespace {

enum ImageSet { kStd, kView, kNone };

// In the order and groups of Windows' view.
const struct {
    UINT nID;
    ImageSet set;
    int iImage;
} kButtons[] = {
    {ID_SHELL_EDIT_CUT, kStd, STD_CUT},
    {ID_SHELL_EDIT_COPY, kStd, STD_COPY},
    {ID_SHELL_EDIT_PASTE, kStd, STD_PASTE},
    {0, kNone, 0},
    {ID_SHELL_EDIT_UNDO, kStd, STD_UNDO},
    {0, kNone, 0},
    {ID_SHELL_FILE_DELETE, kStd, STD_DELETE},
    {ID_SHELL_FILE_PROPERTIES, kStd, STD_PROPERTIES},
    {0, kNone, 0},
    {ID_SHELL_VIEW_LARGE_ICONS, kView, VIEW_LARGEICONS},
    {ID_SHELL_VIEW_SMALL_ICONS, kView, VIEW_SMALLICONS},
    {ID_SHELL_VIEW_LIST, kView, VIEW_LIST},
    {ID_SHELL_VIEW_REPORT, kView, VIEW_DETAILS},
};

// The index of the first image of a standard set in the browser's toolbar. The control keeps
// one copy of each set, however often it is asked for it.
HRESULT AddStandardImages(IShellBrowser* pBrowser, UINT_PTR nIDSet, int nImages, int* piFirst)
{
    TBADDBITMAP ab = {HINST_COMMCTRL, nIDSet};
    LRESULT lFirst = -1;
    HRESULT hr = pBrowser->SendControlMsg(FCW_TOOLBAR, TB_ADDBITMAP, static_cast<WPARAM>(nImages),
                                          reinterpret_cast<LPARAM>(&ab), &lFirst);
    if (FAILED(hr)) return hr;
    if (lFirst < 0) return E_FAIL;
    *piFirst = static_cast<int>(lFirst);
    return S_OK;
}

}  // namespace

bool CShellViewToolbar::ViewAddsItsButtons()
{
    return !IsRunningUnderWine();
}

HRESULT CShellViewToolbar::AddForView(IShellBrowser* pBrowser)
{
    if (ViewAddsItsButtons()) return S_FALSE;
    if (!pBrowser) return E_POINTER;
    int iStd = 0, iView = 0;
    HRESULT hr = AddStandardImages(pBrowser, IDB_STD_SMALL_COLOR, STD_PRINT + 1, &iStd);
    if (SUCCEEDED(hr)) hr = AddStandardImages(pBrowser, IDB_VIEW_SMALL_COLOR, VIEW_NEWFOLDER + 1, &iView);
    if (FAILED(hr)) return hr;
    TBBUTTON buttons[sizeof(kButtons) / sizeof(kButtons[0])] = {};
    UINT n = 0;
    for (const auto& b : kButtons) {
        TBBUTTON& tb = buttons[n++];
        if (!b.nID) {
            tb.fsStyle = TBSTYLE_SEP;
            continue;
        }
        tb.iBitmap = (b.set == kStd ? iStd : iView) + b.iImage;
        tb.idCommand = static_cast<int>(b.nID);
        tb.fsState = TBSTATE_ENABLED;
        // The view modes are one group: the mode on show stays pressed.
        tb.fsStyle = b.set == kView ? TBSTYLE_CHECKGROUP : TBSTYLE_BUTTON;
    }
    return pBrowser->SetToolbarItems(reinterpret_cast<LPTBBUTTONSB>(buttons), n, FCT_MERGE);
}

bool CShellViewToolbar::IsViewButton(UINT nID)
{
    for (const auto& b : kButtons) {
        if (b.nID && b.nID == nID) return true;
    }
    return false;
}
