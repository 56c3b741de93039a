#include "framework/Dialog.h"

#include "framework/WinApp.h"

// ---- CDataExchange ------------------------------------------------------------------

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (!hWndCtrl) Fail();
    m_hWndLastControl = hWndCtrl;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    // Through the dialog manager, so the default button follows and an edit's text is selected.
    if (m_bSaveAndValidate && m_hWndLastControl) {
        ::SendMessageA(m_pDlgWnd->m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hWndLastControl), TRUE);
    }
    throw CUserException();
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        int nLen = ::GetWindowTextLengthA(hWndCtrl);
        char* psz = value.GetBuffer(nLen);
        ::GetWindowTextA(hWndCtrl, psz, nLen + 1);
        value.ReleaseBuffer();
    } else {
        ::SetWindowTextA(hWndCtrl, value);
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd) return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWndCtrl)) pDX->Fail();
}

// ---- CDialog ------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_pParentWnd(pParentWnd)
{
}

HWND CDialog::GetModalOwner() const
{
    CWnd* pOwner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    HWND hWnd = pOwner ? pOwner->m_hWnd : nullptr;
    if (!hWnd || !::IsWindow(hWnd)) return nullptr;
    // The dialog manager disables the owner it is given; a child would leave its frame usable.
    return ::GetAncestor(hWnd, GA_ROOT);
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd) return -1;  // already running

    HINSTANCE hInst = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    HWND hWndOwner = GetModalOwner();

    // The dialog's window belongs to this object from its first message on, so
    // WM_INITDIALOG and the controls' notifications go through the message map.
    AfxHookWindowCreate(this, nullptr);
    INT_PTR nResult = ::DialogBoxParamA(hInst, m_lpszTemplateName, hWndOwner, &CDialog::DialogProc, 0);
    // When the template could not be loaded no window took the hook; it must not catch the next one.
    AfxUnhookWindowCreate();
    return nResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    if (m_hWnd) return FALSE;
    m_lpszTemplateName = MAKEINTRESOURCEA(nIDTemplate);
    m_pParentWnd = pParentWnd;
    m_bModeless = TRUE;
    HINSTANCE hInst = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    HWND hWndOwner = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    AfxHookWindowCreate(this, nullptr);
    ::CreateDialogParamA(hInst, m_lpszTemplateName, hWndOwner, &CDialog::DialogProc, 0);
    AfxUnhookWindowCreate();
    return m_hWnd != nullptr;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // A modal dialog's own loop does this; a modeless one's messages come through the application's.
    if (!m_bModeless || !m_hWnd || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*)
{
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}
