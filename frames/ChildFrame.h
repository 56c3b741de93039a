// The frame of every browser window: a child of the main frame's multiple-document
// client area holding one explorer view.
#pragma once

#include "framework/MDIChildWnd.h"

class CChildFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CChildFrame)
public:
    CChildFrame() = default;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

    int OnCreate(LPCREATESTRUCTA lpcs);

protected:
    DECLARE_MESSAGE_MAP()
};
