#include "dialogs/AboutDlg.h"

#include "dialogs/VersionInfo.h"

const char CAboutDlg::s_szTemplate[] = "$CompanyName $FileDescription $FileVersion\r\n$LegalCopyright";

CAboutDlg::CAboutDlg() : CDialog(IDD)
{
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CVersionInfo versionInfo;
    ::SetDlgItemTextA(m_hWnd, IDC_VERSION, versionInfo.Expand(s_szTemplate));
    return TRUE;
}
