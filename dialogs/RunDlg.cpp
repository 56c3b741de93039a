#include "dialogs/RunDlg.h"

CRunDlg::CRunDlg(CWnd* pParent) : CDialog(IDD, pParent), m_strCommandLine("")
{
}

CRunDlg::~CRunDlg() = default;

void CRunDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_COMMAND_LINE, m_strCommandLine);
}

BOOL CRunDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CString strLine;
    strLine.Format("Current Directory: %s", static_cast<LPCSTR>(m_strDirectory));
    ::SetDlgItemTextA(m_hWnd, IDC_CURRENT_DIRECTORY, strLine);
    ::SetFocus(::GetDlgItem(m_hWnd, IDC_COMMAND_LINE));
    return FALSE;  // the focus is set
}
