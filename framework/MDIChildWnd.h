// CMDIChildWnd: a frame inside the multiple-document client area.
#pragma once

#include "framework/FrameWnd.h"

class CMDIChildWnd : public CFrameWnd {
    DECLARE_DYNAMIC(CMDIChildWnd)
public:
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL OnCmdMsg(UINT nID, UINT nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void ActivateFrame(int nCmdShow = -1) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    void SetWideWindowText(LPCWSTR lpszText) override;
    BOOL DestroyWindow() override;

    CMDIFrameWnd* GetMDIFrame() const;
    void MDIActivate();
    void MDIDestroy() { DestroyWindow(); }

    HMENU m_hMenuShared = nullptr;  // the document template's menu
    HACCEL m_hAccelShared = nullptr;

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnMDIActivate(WPARAM wParam, LPARAM lParam);

protected:
    // Captions the window with a document's name, numbered when the document has other
    // windows, or with the frame's own title when there is no document.
    void UpdateChildTitle(BOOL bAddToTitle, LPCSTR lpszDocName);

    DECLARE_MESSAGE_MAP()
};
