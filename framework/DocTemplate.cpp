#include "framework/DocTemplate.h"

#include <algorithm>

#include "framework/AfxRes.h"
#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/MDIChildWnd.h"
#include "framework/View.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                           const CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
}

CDocTemplate::~CDocTemplate()
{
    // Documents that are still open lose their template; they are closed with their frames.
    for (CDocument* pDoc : m_docList) pDoc->m_pDocTemplate = nullptr;
    if (m_hMenuShared) DestroyMenu(m_hMenuShared);
}

void CDocTemplate::LoadTemplate()
{
    m_strDocStrings.LoadString(m_nIDResource);
    HINSTANCE hInst = AfxGetResourceHandle();
    if (!m_hMenuShared) m_hMenuShared = LoadMenuA(hInst, MAKEINTRESOURCEA(m_nIDResource));
    if (!m_hAccelTable) m_hAccelTable = LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(m_nIDResource));
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    // Fields are separated by line breaks.
    rString.Empty();
    int start = 0;
    for (int i = 0; i < static_cast<int>(index); i++) {
        int nl = m_strDocStrings.Find('\n', start);
        if (nl < 0) return FALSE;
        start = nl + 1;
    }
    int end = m_strDocStrings.Find('\n', start);
    rString = end < 0 ? m_strDocStrings.Mid(start) : m_strDocStrings.Mid(start, end - start);
    return TRUE;
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    m_docList.push_back(pDoc);
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    auto it = std::find(m_docList.begin(), m_docList.end(), pDoc);
    if (it != m_docList.end()) m_docList.erase(it);
    pDoc->m_pDocTemplate = nullptr;
}

namespace {

// Equal but for case. The locale's comparison (lstrcmpi) also passes over characters such
// as the soft hyphen and matches '^' with its spacing variant, which would take one
// path for another.
BOOL IsSamePathName(LPCSTR a, LPCSTR b)
{
    CString upperA(a), upperB(b);
    if (upperA.GetLength() != upperB.GetLength()) return FALSE;
    if (!upperA.IsEmpty()) {
        CharUpperBuffA(upperA.GetBuffer(0), static_cast<DWORD>(upperA.GetLength()));
        CharUpperBuffA(upperB.GetBuffer(0), static_cast<DWORD>(upperB.GetLength()));
    }
    return upperA == upperB;
}

}  // namespace

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCSTR lpszPathName, CDocument*& rpDocMatch)
{
    rpDocMatch = nullptr;
    if (!lpszPathName) lpszPathName = "";
    for (CDocument* pDoc : m_docList) {
        if (IsSamePathName(pDoc->GetPathName(), lpszPathName)) {
            rpDocMatch = pDoc;
            return yesAlreadyOpen;
        }
    }
    CString ext;
    if (GetDocString(ext, filterExt) && !ext.IsEmpty()) {
        int len = lstrlenA(lpszPathName);
        if (len >= ext.GetLength() && IsSamePathName(lpszPathName + len - ext.GetLength(), ext)) {
            return yesAttemptNative;
        }
    }
    // Without a filter extension any name is acceptable.
    return yesAttemptForeign;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (!m_pDocClass) return nullptr;
    CObject* pObject = m_pDocClass->CreateObject();
    CDocument* pDoc = dynamic_cast<CDocument*>(pObject);
    if (!pDoc) {
        delete pObject;
        return nullptr;
    }
    AddDocument(pDoc);
    return pDoc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    if (!m_pFrameClass) return nullptr;
    CObject* pObject = m_pFrameClass->CreateObject();
    CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(pObject);
    if (!pFrame) {
        delete pObject;
        return nullptr;
    }
    // A frame that fails to load has deleted itself.
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) return nullptr;
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    while (!m_docList.empty()) {
        CDocument* pDoc = m_docList.front();
        size_t before = m_docList.size();
        pDoc->OnCloseDocument();
        if (m_docList.size() == before && !m_docList.empty() && m_docList.front() == pDoc) {
            RemoveDocument(pDoc);  // a document that would not go must not stop the loop
        }
    }
}

BOOL CDocTemplate::SaveAllModified()
{
    for (CDocument* pDoc : m_docList) {
        if (!pDoc->SaveModified()) return FALSE;
    }
    return TRUE;
}

// ---- CMultiDocTemplate ------------------------------------------------------------------

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                                     const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
    LoadTemplate();
}

CMultiDocTemplate::~CMultiDocTemplate() = default;

void CMultiDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString name;
    if (!GetDocString(name, docName) || name.IsEmpty()) name.LoadString(AFX_IDS_UNTITLED);
    CString title;
    title.Format("%s%u", name.GetString(), m_nUntitledCount + 1);
    pDocument->SetTitle(title);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDoc = CreateNewDocument();
    if (!pDoc) {
        AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC);
        return nullptr;
    }
    BOOL bAutoDelete = pDoc->m_bAutoDelete;
    pDoc->m_bAutoDelete = FALSE;  // the frame's failure must not delete the document under us
    CFrameWnd* pFrame = CreateNewFrame(pDoc, nullptr);
    pDoc->m_bAutoDelete = bAutoDelete;
    if (!pFrame) {
        delete pDoc;
        return nullptr;
    }
    if (!lpszPathName) {
        SetDefaultTitle(pDoc);
        if (!pDoc->OnNewDocument()) {
            pFrame->DestroyWindow();
            return nullptr;
        }
        m_nUntitledCount++;
    } else {
        if (!pDoc->OnOpenDocument(lpszPathName)) {
            pFrame->DestroyWindow();
            return nullptr;
        }
        pDoc->SetPathName(lpszPathName);
    }
    InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}
