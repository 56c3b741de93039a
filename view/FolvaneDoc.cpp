#include "view/FolvaneDoc.h"

#include "dialogs/TextUtil.h"

IMPLEMENT_DYNCREATE(CFolvaneDoc, CDocument)

BOOL CFolvaneDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

BOOL CFolvaneDoc::OnOpenDocument(LPCSTR lpszPathName)
{
    const char* pRest = GetDelimitedField(lpszPathName, 0, m_strFolderPath, ",");
    m_strPlacement = pRest ? pRest : "";
    return TRUE;
}
