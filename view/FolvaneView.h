// The view of every browser window.
#pragma once

#include <shlobj.h>

#include "framework/View.h"

class CFolvaneDoc;

class CFolvaneView : public CView {
    DECLARE_DYNCREATE(CFolvaneView)
public:
    CFolvaneView() = default;

    CFolvaneDoc* GetDocument() const;

    // "folder,placement": the text that reopens this window where it is now.
    CString GetBrowserWindowString() const;

    void OnInitialUpdate() override;

    IShellView* m_pShellView = nullptr;  // the hosted shell view; one reference owned
    HWND m_hwndShellView = nullptr;      // its window

    LRESULT OnGetBrowserWindowString(WPARAM wParam, LPARAM lParam);

protected:
    DECLARE_MESSAGE_MAP()
};
