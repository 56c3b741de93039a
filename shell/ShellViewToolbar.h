// The buttons a hosted shell view puts on its browser's toolbar: Cut, Copy, Paste, Undo,
// Delete, Properties and the four view modes, with the system's standard images. Windows'
// view adds them itself through IShellBrowser::SetToolbarItems whenever it is activated;
// Wine's never does, and there they are added for it the same way, through the browser.
#pragma once

#include <windows.h>
#include <shlobj.h>

class CShellViewToolbar {
public:
    // Whether the view adds its buttons itself, so that nobody else must (and its state is
    // then the view's to keep).
    static bool ViewAddsItsButtons();
    // Where the view does not, adds them for it as it would: the system's standard images
    // through the browser's toolbar, then the buttons through SetToolbarItems. S_FALSE where
    // the view adds them itself.
    static HRESULT AddForView(IShellBrowser* pBrowser);
    // Whether a button added for the view stands for this command.
    static bool IsViewButton(UINT nID);
};
