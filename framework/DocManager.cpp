#include "framework/DocManager.h"

#include <windows.h>
#include <commdlg.h>

#include "framework/AfxRes.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/View.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CDocManager, CObject)

CDocManager::~CDocManager()
{
    for (CDocTemplate* p : m_templateList) delete p;
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (pTemplate) m_templateList.push_back(pTemplate);
}

CDocument* CDocManager::OpenDocumentFile(LPCSTR lpszFileName)
{
    if (!lpszFileName) lpszFileName = "";
    CDocTemplate* pBest = nullptr;
    CDocTemplate::Confidence best = CDocTemplate::noAttempt;
    CDocument* pOpen = nullptr;
    for (CDocTemplate* pTemplate : m_templateList) {
        CDocument* pMatch = nullptr;
        CDocTemplate::Confidence c = pTemplate->MatchDocType(lpszFileName, pMatch);
        if (c > best) {
            best = c;
            pBest = pTemplate;
        }
        if (c == CDocTemplate::yesAlreadyOpen) {
            pOpen = pMatch;
            break;
        }
    }
    if (pOpen) {
        CView* pView = pOpen->GetFirstView();
        if (pView) {
            CFrameWnd* pFrame = pView->GetParentFrame();
            if (pFrame) {
                pFrame->ActivateFrame();
                CWnd* pMain = AfxGetMainWnd();
                if (pMain && pMain != pFrame) {
                    if (CFrameWnd* pMainFrame = dynamic_cast<CFrameWnd*>(pMain)) pMainFrame->ActivateFrame();
                }
            }
        }
        return pOpen;
    }
    if (!pBest) {
        AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC);
        return nullptr;
    }
    return pBest->OpenDocumentFile(lpszFileName);
}

void CDocManager::OnFileNew()
{
    if (m_templateList.empty()) {
        AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC);
        return;
    }
    m_templateList.front()->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen()
{
    char file[MAX_PATH] = "";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    CWnd* pMain = AfxGetMainWnd();
    ofn.hwndOwner = pMain ? pMain->m_hWnd : nullptr;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    if (GetOpenFileNameA(&ofn)) OpenDocumentFile(file);
}

BOOL CDocManager::SaveAllModified()
{
    for (CDocTemplate* p : m_templateList) {
        if (!p->SaveAllModified()) return FALSE;
    }
    return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL bEndSession)
{
    for (CDocTemplate* p : m_templateList) p->CloseAllDocuments(bEndSession);
}

int CDocManager::GetOpenDocumentCount()
{
    int n = 0;
    for (CDocTemplate* p : m_templateList) n += static_cast<int>(p->GetDocuments().size());
    return n;
}

// ---- CRecentFileList --------------------------------------------------------------------

CRecentFileList::CRecentFileList(LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize)
    : m_strSection(lpszSection), m_strEntryFormat(lpszEntryFormat), m_nSize(nSize > 0 ? nSize : 0),
      m_arrNames(static_cast<size_t>(m_nSize))
{
}

void CRecentFileList::Add(LPCSTR lpszPathName)
{
    if (m_nSize == 0 || !lpszPathName || !*lpszPathName) return;
    CString name(lpszPathName);
    int i = 0;
    for (; i < m_nSize - 1; i++) {
        if (m_arrNames[static_cast<size_t>(i)].CompareNoCase(name) == 0) break;
    }
    for (; i > 0; i--) m_arrNames[static_cast<size_t>(i)] = m_arrNames[static_cast<size_t>(i - 1)];
    m_arrNames[0] = name;
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize) return;
    m_arrNames.erase(m_arrNames.begin() + nIndex);
    m_arrNames.emplace_back();
}

void CRecentFileList::ReadList()
{
    CWinApp* pApp = AfxGetApp();
    for (int i = 0; i < m_nSize; i++) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        m_arrNames[static_cast<size_t>(i)] = pApp->GetProfileString(m_strSection, entry, "");
    }
}

void CRecentFileList::WriteList()
{
    CWinApp* pApp = AfxGetApp();
    pApp->WriteProfileString(m_strSection, nullptr, nullptr);
    for (int i = 0; i < m_nSize; i++) {
        const CString& name = m_arrNames[static_cast<size_t>(i)];
        if (name.IsEmpty()) continue;
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        pApp->WriteProfileString(m_strSection, entry, name);
    }
}
