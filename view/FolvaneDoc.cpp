#include "view/FolvaneDoc.h"

#include "frames/WindowText.h"

IMPLEMENT_DYNCREATE(CFolvaneDoc, CDocument)

BOOL CFolvaneDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

BOOL CFolvaneDoc::OnOpenDocument(LPCSTR lpszPathName)
{
    SplitDocumentText(lpszPathName, m_strFolderPath, m_strPlacement);
    return TRUE;
}
