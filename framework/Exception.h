// Exceptions of the framework. They are thrown by value and caught by reference;
// the window procedure is the one place that catches and reports them.
#pragma once

#include <windows.h>

#include "framework/String.h"

class CException {
public:
    virtual ~CException() = default;
    // The text for the user; FALSE when the exception carries none.
    virtual BOOL GetErrorMessage(CString& strError) const;
    // Shows the text, or the string resource nMessageID when there is none.
    virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0) const;
};

class CMemoryException : public CException {};

// Raised when a dispatch call fails; carries the server's description when it gave one.
class COleDispatchException : public CException {
public:
    COleDispatchException(LPCSTR lpszDescription, UINT nHelpID, WORD wCode);
    BOOL GetErrorMessage(CString& strError) const override;

    WORD m_wCode = 0;
    SCODE m_scError = 0;
    CString m_strSource;
    CString m_strDescription;
    DWORD m_dwHelpContext = 0;
};

// Raised for a failing OLE call that has no dispatch exception information.
class COleException : public CException {
public:
    explicit COleException(SCODE sc) : m_sc(sc) {}
    BOOL GetErrorMessage(CString& strError) const override;
    SCODE m_sc;
};

[[noreturn]] void AfxThrowOleDispatchException(WORD wCode, LPCSTR lpszDescription, UINT nHelpID = 0);
[[noreturn]] void AfxThrowOleException(SCODE sc);
