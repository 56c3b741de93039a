// CDialog: a modal or modeless dialog from a resource template, with data exchange between
// dialog controls and member variables (DDX_Text) and control subclassing (DDX_Control).
#pragma once

#include <windows.h>

#include "framework/Exception.h"
#include "framework/Wnd.h"

// Thrown by a failed data exchange; UpdateData catches it, nothing reports it.
class CUserException : public CException {};

// One pass of data exchange in one direction.
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;

    // The control with this id; a missing control fails the exchange.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC) { return PrepareCtrl(nIDC); }
    // Ends the exchange; when saving, the focus goes to the control that failed.
    [[noreturn]] void Fail();

private:
    HWND m_hWndLastControl = nullptr;
};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Attaches the control to rControl by subclassing, once; later passes leave it attached.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog, the owner disabled meanwhile. Returns the value given to
    // EndDialog, or -1 when the dialog could not be created.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    // Makes the dialog as a modeless window owned by pParentWnd (none: unowned); its keys go
    // through the dialog manager from the application's message loop. FALSE when the
    // template could not be made into a window.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Tab, arrows, Enter and Escape of a modeless dialog, as the dialog manager handles them.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    LPCSTR m_lpszTemplateName;
    CWnd* m_pParentWnd;
    BOOL m_bModeless = FALSE;

    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // The dialog box's own procedure: everything is handled through the message map
    // (the window is subclassed), so it only asks for default processing.
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND GetModalOwner() const;
};
