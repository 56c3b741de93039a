#include "view/FolvaneView.h"

#include "app/FolvaneDoc.h"
#include "frames/WindowPlacement.h"
#include "framework/FrameWnd.h"

IMPLEMENT_DYNCREATE(CFolvaneView, CView)

BEGIN_MESSAGE_MAP(CFolvaneView, CView)
    ON_MESSAGE(WM_GETBROWSERWINDOWSTRING, &CFolvaneView::OnGetBrowserWindowString)
END_MESSAGE_MAP()

CFolvaneDoc* CFolvaneView::GetDocument() const
{
    return dynamic_cast<CFolvaneDoc*>(m_pDocument);
}

void CFolvaneView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    CFolvaneDoc* pDoc = GetDocument();
    if (!pDoc) return;
    // The frame is still hidden: it appears where the placement puts it.
    if (!pDoc->m_strPlacement.IsEmpty()) ApplyWindowPlacementString(GetParentFrame(), pDoc->m_strPlacement);
    // A new document keeps the framework's title until a folder is on show.
    if (!pDoc->m_strFolderPath.IsEmpty()) pDoc->SetTitle(pDoc->m_strFolderPath);
}

CString CFolvaneView::GetBrowserWindowString() const
{
    CFolvaneDoc* pDoc = GetDocument();
    CString text = pDoc ? pDoc->m_strFolderPath : CString();
    text += ",";
    text += GetWindowPlacementString(GetParentFrame());
    return text;
}

LRESULT CFolvaneView::OnGetBrowserWindowString(WPARAM wParam, LPARAM lParam)
{
    return CopyTextToBuffer(GetBrowserWindowString(), reinterpret_cast<char*>(wParam), lParam);
}
