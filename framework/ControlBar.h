// Control bars of a frame: the toolbar (from a toolbar resource, with tooltips,
// fly-by prompts, docking on any side and floating) and the status bar.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Wnd.h"

class CFrameWnd;

// Bar styles (kept by the bar, never given to the window system).
#define CBRS_ALIGN_LEFT     0x1000L
#define CBRS_ALIGN_TOP      0x2000L
#define CBRS_ALIGN_RIGHT    0x4000L
#define CBRS_ALIGN_BOTTOM   0x8000L
#define CBRS_ALIGN_ANY      0xF000L
#define CBRS_BORDER_LEFT    0x0100L
#define CBRS_BORDER_TOP     0x0200L
#define CBRS_BORDER_RIGHT   0x0400L
#define CBRS_BORDER_BOTTOM  0x0800L
#define CBRS_TOOLTIPS       0x0010L
#define CBRS_FLYBY          0x0020L
#define CBRS_FLOAT_MULTI    0x0040L
#define CBRS_SIZE_DYNAMIC   0x0080L
#define CBRS_SIZE_FIXED     0x0004L
#define CBRS_ALL            0xFFFFL
#define CBRS_TOP            (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_BOTTOM         (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)
#define CBRS_LEFT           (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_RIGHT          (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)

#define RT_TOOLBAR MAKEINTRESOURCEA(241)

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    DWORD m_dwDockStyle = 0;  // sides this bar may dock on

    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle);
    void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY; }

    virtual SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) = 0;
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) = 0;

    BOOL IsFloating() const { return m_pFloatFrame != nullptr; }
    // The small window of a floating bar, or null.
    HWND GetFloatingWindow() const;
    DWORD GetDockedSide() const { return m_dwStyle & CBRS_ALIGN_ANY; }
    BOOL IsBarVisible() const;
    void ShowBar(BOOL bShow);
    CFrameWnd* GetDockingFrame() const { return m_pDockSite; }

    // Puts the bar along one side of the frame, or into a small window of its own.
    virtual void DockAt(CFrameWnd* pFrame, DWORD dwSide);
    virtual void FloatAt(CFrameWnd* pFrame, POINT ptScreen);

    ~CControlBar() override;

    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    void OnDestroy();

protected:
    DWORD m_dwStyle = 0;
    CFrameWnd* m_pDockSite = nullptr;
    class CMiniDockFrameWnd* m_pFloatFrame = nullptr;
    DWORD m_dwLastDockSide = CBRS_ALIGN_TOP;

    // Called when the orientation changes; the bar arranges its items.
    virtual void OnBarOrientation(BOOL /*bHorz*/) {}

    DECLARE_MESSAGE_MAP()
    friend class CMiniDockFrameWnd;
};

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = 0xE800);
    // Loads a toolbar resource: its images and its buttons. Loading again resets the buttons;
    // the bar's own images stay where they are (another resource's replace them in place), so
    // images that others added to the control keep their indexes and nothing piles up.
    BOOL LoadToolBar(UINT nIDResource);
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);

    int GetCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT_, 0, 0)); }
    UINT GetItemID(int nIndex) const;
    int CommandToIndex(UINT nIDFind) const;
    void GetItemRect(int nIndex, RECT* lpRect) const;

    SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) override;

    void OnMouseMove(UINT nFlags, POINT point);
    void OnLButtonDown(UINT nFlags, POINT point);
    void OnLButtonUp(UINT nFlags, POINT point);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonsChange(WPARAM wParam, LPARAM lParam);

protected:
    static constexpr UINT TB_BUTTONCOUNT_ = WM_USER + 24;
    SIZE m_sizeButton = {23, 22};
    SIZE m_sizeImage = {16, 15};
    // The bitmap of the bar's own images. The control may draw from it for as long as it
    // exists, so it is freed only when replaced or when the window goes.
    HBITMAP m_hbmImageWell = nullptr;
    UINT m_nIDImageWell = 0;    // the resource it was made from
    int m_iImageWell = 0;       // index of the bar's first image in the control
    int m_nImageWell = 0;       // number of the bar's images
    BOOL m_bSettingButtons = FALSE;
    UINT m_nFlyById = 0;        // command whose prompt the status bar shows
    BOOL m_bTrackingLeave = FALSE;
    BOOL m_bDragging = FALSE;
    POINT m_ptDragStart = {0, 0};
    RECT m_rcDragLast = {0, 0, 0, 0};
    BOOL m_bDragDrawn = FALSE;

    // Creates the bitmap of a toolbar resource's images, mapped to the system colours.
    virtual HBITMAP LoadImageWell(HINSTANCE hInst, UINT nIDResource);
    // Gives the control the images of a toolbar resource, unless it has them already.
    BOOL LoadImages(HINSTANCE hInst, UINT nIDResource, int nImages, SIZE sizeImage);
    // Buttons came or went: arranges them for the bar's side and fits the bar (and the small
    // window of a floating bar) around them.
    void RecalcBarLayout();
    void PostNcDestroy() override;
    void OnBarOrientation(BOOL bHorz) override;
    void SetFlyBy(UINT nID);
    void DrawDragRect(const RECT* prc);
    RECT DragRectAt(POINT ptScreen, DWORD* pSide) const;

    DECLARE_MESSAGE_MAP()
};

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = 0xE801);
    // Text of the first pane (the message pane).
    CString GetPaneText0() const;

    SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}

protected:
    DECLARE_MESSAGE_MAP()
};

// The small tool window that holds a floating bar.
class CMiniDockFrameWnd : public CWnd {
    DECLARE_DYNAMIC(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd(CControlBar* pBar, CFrameWnd* pDockSite) : m_pBar(pBar), m_pDockSite(pDockSite) {}
    BOOL Create(POINT ptScreen);
    void PostNcDestroy() override { delete this; }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // Sizes the window around the bar.
    void FitToBar();
    void DetachBar() { m_pBar = nullptr; }

    void OnClose();
    LRESULT OnNcLButtonDblClk(WPARAM wParam, LPARAM lParam);

protected:
    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite;

    DECLARE_MESSAGE_MAP()
};
