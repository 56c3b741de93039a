// The view of every browser window.
#pragma once

#include <shlobj.h>

#include "framework/View.h"

class CFolvaneView : public CView {
    DECLARE_DYNCREATE(CFolvaneView)
public:
    CFolvaneView() = default;

    IShellView* m_pShellView = nullptr;  // the hosted shell view; one reference owned
    HWND m_hwndShellView = nullptr;      // its window

protected:
    DECLARE_MESSAGE_MAP()
};
