// CFormView: a view made from a dialog template, whose controls exchange data with
// members and take the keyboard as in a dialog (Tab between them).
#pragma once

#include "framework/View.h"

struct CCreateContext;

class CFormView : public CView {
    DECLARE_DYNAMIC(CFormView)
public:
    // lpParam is the frame's creation context; the window is the template's, made a child
    // of pParentWnd with id nID at rect.
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, LPVOID lpParam = nullptr) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnInitialUpdate() override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
    void OnActivateFrame(UINT nState, CFrameWnd* pFrame) override;

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSetFocus(CWnd* pOldWnd);
    void OnSize(UINT nType, int cx, int cy);

protected:
    explicit CFormView(UINT nIDTemplate);

    LPCSTR m_lpszTemplateName;
    HWND m_hWndFocus = nullptr;  // the control that had the focus when the view last lost it

    // Remembers the control with the focus, if it is one of the form's.
    void SaveFocusControl();

    CCreateContext* m_pCreateContext = nullptr;  // only while the window is being made

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};
