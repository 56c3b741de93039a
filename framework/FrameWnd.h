// Frame windows: CFrameWnd (menu, accelerators, control bars, status prompts, title)
// and CMDIFrameWnd (the multiple-document frame with its client area).
#pragma once

#include <string>

#include <windows.h>

#include <vector>

#include "framework/Wnd.h"

class CControlBar;
class CView;
class CDocument;
class CDocTemplate;
class CMDIChildWnd;

// Frame styles kept by the framework, not by the window system.
#define FWS_ADDTOTITLE  0x00008000L

// Creation context handed from a document template to the frame it creates.
struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    class CFrameWnd* m_pCurrentFrame = nullptr;
};

class CFrameWnd : public CWnd {
    DECLARE_DYNAMIC(CFrameWnd)
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    // On failure the frame has deleted itself (as every frame does once its window is gone).
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL OnCmdMsg(UINT nID, UINT nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

    // Frame-specific overridables.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    // The caption text shown for a title the program holds as 8-bit text; the title widened
    // unless a frame knows a truer form (a path outside the code page carried short).
    virtual std::wstring GetDisplayTitle(LPCSTR lpszTitle) const;
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void GetMessageString(UINT nID, CString& rMessage) const;
    virtual CFrameWnd* GetActiveFrame() { return this; }
    virtual BOOL OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext* pContext);
    virtual void OnUpdateFrameMenu(HMENU hMenuAlt);
    virtual HACCEL GetDefaultAccelerator();
    virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);

    // Views and documents.
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    CWnd* CreateView(CCreateContext* pContext, UINT nID = 0xE900);

    // Status bar text.
    void SetMessageText(LPCSTR lpszText);
    void SetMessageText(UINT nID);
    CWnd* GetMessageBar();

    // Control bars.
    void EnableDocking(DWORD dwDockStyle);
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0);
    void FloatControlBar(CControlBar* pBar, POINT point);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    CControlBar* GetControlBar(UINT nID);
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    DWORD GetDockingSides() const { return m_dwDockStyle; }
    // The side (CBRS_ALIGN_*) whose edge lies nearest to a screen point, if near enough.
    DWORD CanDockAt(POINT ptScreen) const;

    LPCSTR GetTitle() const { return m_strTitle; }
    void SetTitle(LPCSTR lpszTitle) { m_strTitle = lpszTitle; }
    void DelayUpdateFrameTitle() { m_nIdleFlags |= idleTitle; }
    void DelayRecalcLayout() { m_nIdleFlags |= idleLayout; }
    BOOL IsAddToTitle() const { return m_bAddToTitle; }

    int m_nWindow = 0;  // number of this frame among its document's frames; 0 when it is the only one

    // Message handlers.
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    void OnClose();
    void OnSize(UINT nType, int cx, int cy);
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnInitMenuPopup(HMENU hPopup, UINT nIndex, BOOL bSysMenu);
    void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    void OnSetFocus(CWnd* pOldWnd);
    LRESULT OnActivateMessage(WPARAM wParam, LPARAM lParam);
    void OnEnable(BOOL bEnable);
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnExitMenuLoop(WPARAM wParam, LPARAM lParam);
    BOOL OnBarCheck(UINT nID);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);


protected:
    enum { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };

    HACCEL m_hAccelTable = nullptr;
    HMENU m_hMenuDefault = nullptr;
    UINT m_nIDHelp = 0;
    CString m_strTitle;
    BOOL m_bAddToTitle = FALSE;
    UINT m_nIdleFlags = 0;
    DWORD m_dwDockStyle = 0;
    CView* m_pViewActive = nullptr;
    std::vector<CControlBar*> m_listControlBars;
    BOOL m_bInRecalcLayout = FALSE;
    BOOL m_bMenuPrompt = FALSE;  // a menu prompt is on show

    void UpdateFrameTitleForDocument(LPCSTR lpszDocName);
    // The same with the document's caption text as shown (wide).
    void UpdateFrameTitleForDocumentW(LPCWSTR lpszDocName);
    // A window's text as the system holds it, wide; asking the window itself would give it
    // through its procedure of 8-bit text.
    static std::wstring GetWideWindowText(HWND hWnd);
    // Sets the window text, wide, where it differs; TRUE when it did.
    BOOL SetWindowTextIfChanged(const std::wstring& text);
    // Wide text through a window procedure of 8-bit text would lose what the code page
    // lacks: the system's own handling is given the text directly.
    virtual void SetWideWindowText(LPCWSTR lpszText);
    // Lays the bars out, in order, inside rcClient and leaves what remains there.
    static void RepositionBars(const std::vector<CControlBar*>& bars, CWnd* pParent, RECT& rcClient);
    // The window that takes the space left by the control bars.
    virtual HWND GetClientAreaWindow();
    // Registers this frame's own window class (so that class styles stay per frame kind).
    LPCSTR RegisterFrameClass(UINT nIDResource);

    DECLARE_MESSAGE_MAP()
};

class CMDIFrameWnd : public CFrameWnd {
    DECLARE_DYNAMIC(CMDIFrameWnd)
public:
    HWND m_hWndMDIClient = nullptr;
    void SetWideWindowText(LPCWSTR lpszText) override;

    CMDIFrameWnd() = default;

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    BOOL OnCmdMsg(UINT nID, UINT nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext* pContext) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    void OnUpdateFrameMenu(HMENU hMenuAlt) override;
    CFrameWnd* GetActiveFrame() override;
    CDocument* GetActiveDocument() override;
    HACCEL GetDefaultAccelerator() override;

    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
    // The child frames of the client area, the topmost first.
    std::vector<CFrameWnd*> GetMDIChildFrames() const;
    void MDIActivate(CWnd* pWndActivate);
    void MDICascade() { ::SendMessageA(m_hWndMDIClient, WM_MDICASCADE, 0, 0); }
    void MDITile(int nType) { ::SendMessageA(m_hWndMDIClient, WM_MDITILE, static_cast<WPARAM>(nType), 0); }
    void MDIIconArrange() { ::SendMessageA(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0); }
    // The "Window" popup of a menu: the one holding the Window commands.
    static HMENU GetWindowMenuPopup(HMENU hMenuBar);

    // Standard Window menu commands.
    BOOL OnMDIWindowCmd(UINT nID);
    void OnUpdateMDIWindowCmd(CCmdUI* pCmdUI);
    void OnWindowNew();

protected:
    HWND GetClientAreaWindow() override { return m_hWndMDIClient; }

    DECLARE_MESSAGE_MAP()
};
