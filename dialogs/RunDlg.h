// The Run dialog: a command line to start, shown with the directory it will start in.
#pragma once

#include "framework/Dialog.h"
#include "res/resource.h"

class CRunDlg : public CDialog {
public:
    enum { IDD = IDD_RUN };

    explicit CRunDlg(CWnd* pParent = nullptr);
    ~CRunDlg() override;

    CString m_strDirectory;    // shown on the first line; not editable, not exchanged
    CString m_strCommandLine;  // exchanged with the edit, as the user leaves it

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
};
