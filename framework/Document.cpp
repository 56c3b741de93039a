#include "framework/Document.h"

#include <algorithm>

#include "framework/AfxRes.h"
#include "framework/DocTemplate.h"
#include "framework/FrameWnd.h"
#include "framework/View.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_CLOSE, &CDocument::OnFileClose)
END_MESSAGE_MAP()

CDocument::~CDocument()
{
    // Views normally leave first; any that are left no longer point here.
    for (CView* pView : m_viewList) pView->m_pDocument = nullptr;
    if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCSTR lpszTitle)
{
    m_strTitle = lpszTitle;
    UpdateFrameCounts();
}

void CDocument::SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU)
{
    // The recorded name is absolute; the title is its last component.
    char full[MAX_PATH];
    char* pFilePart = nullptr;
    DWORD n = GetFullPathNameA(lpszPathName, MAX_PATH, full, &pFilePart);
    m_strPathName = (n > 0 && n < MAX_PATH) ? CString(full) : CString(lpszPathName);
    CString title = m_strPathName;
    int slash = std::max(title.ReverseFind('\\'), title.ReverseFind('/'));
    if (slash >= 0 && slash + 1 < title.GetLength()) title = title.Mid(slash + 1);
    SetTitle(title);
    if (bAddToMRU) {
        if (CWinApp* pApp = AfxGetApp()) pApp->AddToRecentFileList(m_strPathName);
    }
}

void CDocument::AddView(CView* pView)
{
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it == m_viewList.end()) return;
    m_viewList.erase(it);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList()
{
    if (m_viewList.empty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

void CDocument::UpdateFrameCounts()
{
    std::vector<CFrameWnd*> frames;
    for (CView* pView : m_viewList) {
        CFrameWnd* pFrame = pView->m_hWnd ? pView->GetParentFrame() : nullptr;
        if (pFrame && std::find(frames.begin(), frames.end(), pFrame) == frames.end()) frames.push_back(pFrame);
    }
    int n = 1;
    for (CFrameWnd* pFrame : frames) {
        pFrame->m_nWindow = frames.size() > 1 ? n++ : 0;
        pFrame->OnUpdateFrameTitle(TRUE);
    }
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    for (CView* pView : m_viewList) {
        if (pView != pSender) pView->OnUpdate(pSender, lHint, pHint);
    }
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCSTR)
{
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument()
{
    // Closing the frames removes the views; the document must outlive that.
    BOOL bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    for (size_t guard = m_viewList.size() + 1; !m_viewList.empty() && guard > 0; --guard) {
        CView* pView = m_viewList.front();
        CFrameWnd* pFrame = pView->m_hWnd ? pView->GetParentFrame() : nullptr;
        if (!pFrame) {
            RemoveView(pView);
            continue;
        }
        pFrame->DestroyWindow();
    }
    m_bAutoDelete = bAutoDelete;
    DeleteContents();
    if (m_bAutoDelete) delete this;
}

BOOL CDocument::CanCloseFrame(CFrameWnd*)
{
    return SaveModified();
}

void CDocument::OnFileClose()
{
    if (!SaveModified()) return;
    OnCloseDocument();
}
