// The frame of every browser window: a child of the main frame's multiple-document
// client area holding one explorer view. Its view gives it the title of the folder it shows
// (SetTitle): the windows of one document may show different folders.
#pragma once

#include "framework/MDIChildWnd.h"

class CChildFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CChildFrame)
public:
    CChildFrame() = default;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    // Captioned with its own title once it has one, and with its document's until then.
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    // A folder's path outside the code page is carried in its short form: shown long.
    std::wstring GetDisplayTitle(LPCSTR lpszTitle) const override;

    int OnCreate(LPCREATESTRUCTA lpcs);

protected:
    DECLARE_MESSAGE_MAP()
};
