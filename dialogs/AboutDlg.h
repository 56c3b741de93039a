// The About box: the program's icon and two lines built from its own version resource.
#pragma once

#include "framework/Dialog.h"
#include "res/resource.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };

    CAboutDlg();

    // The one text of the About box not taken from the version resource.
    static const char s_szTemplate[];

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
};
