#include "framework/Exception.h"

#include "framework/AfxRes.h"
#include "framework/WinApp.h"

BOOL CException::GetErrorMessage(CString& strError) const
{
    strError.Empty();
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID) const
{
    CString text;
    if (GetErrorMessage(text) && !text.IsEmpty()) return AfxMessageBox(text, nType);
    return AfxMessageBox(nMessageID ? nMessageID : AFX_IDP_INTERNAL_FAILURE, nType);
}

COleDispatchException::COleDispatchException(LPCSTR lpszDescription, UINT nHelpID, WORD wCode)
    : m_wCode(wCode), m_strDescription(lpszDescription), m_dwHelpContext(nHelpID)
{
}

BOOL COleDispatchException::GetErrorMessage(CString& strError) const
{
    if (!m_strDescription.IsEmpty()) {
        strError = m_strDescription;
        return TRUE;
    }
    // No description from the server: the framework's standard text for a failed call.
    return strError.LoadString(AFX_IDP_FAILED_INVOKE_METHOD);
}

BOOL COleException::GetErrorMessage(CString& strError) const
{
    char* psz = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(m_sc), 0, reinterpret_cast<LPSTR>(&psz), 0, nullptr);
    if (n && psz) {
        strError = psz;
        strError.TrimRight();
        LocalFree(psz);
        return TRUE;
    }
    return strError.LoadString(AFX_IDP_FAILED_INVOKE_METHOD);
}

void AfxThrowOleDispatchException(WORD wCode, LPCSTR lpszDescription, UINT nHelpID)
{
    throw COleDispatchException(lpszDescription, nHelpID, wCode);
}

void AfxThrowOleException(SCODE sc)
{
    throw COleException(sc);
}
