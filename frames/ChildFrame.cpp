#include "frames/ChildFrame.h"

#include "framework/ClassStyle.h"
#include "shell/AnsiNames.h"

IMPLEMENT_DYNCREATE(CChildFrame, CMDIChildWnd)

BEGIN_MESSAGE_MAP(CChildFrame, CMDIChildWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

BOOL CChildFrame::PreCreateWindow(CREATESTRUCTA& cs)
{
    return CMDIChildWnd::PreCreateWindow(cs);
}

int CChildFrame::OnCreate(LPCREATESTRUCTA lpcs)
{
    if (CMDIChildWnd::OnCreate(lpcs) == -1) return -1;
    DisableResizeRedraw(this);
    return 0;
}

void CChildFrame::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (m_strTitle.IsEmpty()) CMDIChildWnd::OnUpdateFrameTitle(bAddToTitle);
    else UpdateChildTitle(bAddToTitle, m_strTitle);
}

std::wstring CChildFrame::GetDisplayTitle(LPCSTR lpszTitle) const
{
    return LongPathOf(lpszTitle);
}
