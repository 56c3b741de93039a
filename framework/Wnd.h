// CWnd: a C++ object attached to a window handle, receiving its messages through
// the message map from the very first message (WM_NCCREATE) to the last (WM_NCDESTROY).
#pragma once

#include <windows.h>

#include "framework/CmdTarget.h"
#include "framework/String.h"

class CFrameWnd;
class CDataExchange;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The permanent object of a handle, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // The permanent object, or a temporary one that lives until the next idle time.
    static CWnd* FromHandle(HWND hWnd);
    static void DeleteTempMap();

    BOOL Attach(HWND hWnd);
    HWND Detach();
    // Attaches and routes the window's messages through this object.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                          int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                          LPVOID lpParam = nullptr);
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Called after the last message; frames and views delete themselves here.
    virtual void PostNcDestroy() {}

    // Calls the default procedure with the message being handled.
    LRESULT Default();

    // Exchanges data between the window's controls and its members (DoDataExchange);
    // FALSE when validation failed.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    // The last reference of the window's interfaces went: the window goes.
    void OnFinalRelease() override;

    // Thin wrappers over the window functions.
    LRESULT SendMessage(UINT m, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageA(m_hWnd, m, w, l); }
    BOOL PostMessage(UINT m, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageA(m_hWnd, m, w, l); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint = TRUE) { ::MoveWindow(m_hWnd, x, y, cx, cy, bRepaint); }
    void MoveWindow(const RECT& r, BOOL bRepaint = TRUE) { MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, bRepaint); }
    void GetWindowRect(RECT* r) const { ::GetWindowRect(m_hWnd, r); }
    void GetClientRect(RECT* r) const { ::GetClientRect(m_hWnd, r); }
    void ScreenToClient(POINT* p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(RECT* r) const;
    void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(RECT* r) const;
    void SetWindowText(LPCSTR s) { ::SetWindowTextA(m_hWnd, s); }
    void GetWindowText(CString& s) const;
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    BOOL EnableWindow(BOOL b = TRUE) { return ::EnableWindow(m_hWnd, b); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* GetTopLevelParent() const;
    // The nearest ancestor that is a frame window, or null.
    CFrameWnd* GetParentFrame() const;
    CFrameWnd* GetTopLevelFrame() const;
    HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE);
    BOOL IsFrameWnd() const;
    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);
    void CenterWindow(CWnd* pAlternateOwner = nullptr);

    // Default handlers, called by derived classes' handlers of the same name.
    int OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
    void OnDestroy() { Default(); }
    void OnClose() { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    void OnSetFocus(CWnd*) { Default(); }
    void OnKillFocus(CWnd*) { Default(); }
    void OnLButtonDown(UINT, POINT) { Default(); }
    void OnLButtonUp(UINT, POINT) { Default(); }
    void OnMouseMove(UINT, POINT) { Default(); }
    void OnLButtonDblClk(UINT, POINT) { Default(); }
    BOOL OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
    void OnParentNotify(UINT, LPARAM) { Default(); }
    void OnInitMenuPopup(HMENU, UINT, BOOL) { Default(); }
    void OnMenuSelect(UINT, UINT, HMENU) { Default(); }

    // Window procedure of every framework window.
    static LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Registers a window class whose procedure is AfxWndProc (once); returns its name,
    // valid for the life of the process.
    static LPCSTR RegisterWndClass(LPCSTR lpszName, UINT nClassStyle, HCURSOR hCursor = nullptr,
                                   HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);

protected:
    WNDPROC m_pfnSuper = nullptr;  // the procedure replaced by subclassing, if any

    virtual void DoDataExchange(CDataExchange* pDX);

    DECLARE_MESSAGE_MAP()

private:
    friend LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    friend LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam);
    void OnNcDestroyFinal();
};

// Makes the next window of the given class (name or atom) created on this thread belong to
// pWnd; with no class, the next dialog box.
void AfxHookWindowCreate(CWnd* pWnd, LPCSTR lpszClass);
BOOL AfxUnhookWindowCreate();

namespace afx_thunk {
template <class T, auto H>
LRESULT Focus(CCmdTarget* p, AFX_MSGARGS& a)
{
    void (T::*h)(CWnd*) = H;
    (static_cast<T*>(p)->*h)(CWnd::FromHandle(reinterpret_cast<HWND>(a.wParam)));
    return 0;
}

template <class T, auto H>
LRESULT SetCursor(CCmdTarget* p, AFX_MSGARGS& a)
{
    BOOL (T::*h)(CWnd*, UINT, UINT) = H;
    return (static_cast<T*>(p)->*h)(CWnd::FromHandle(reinterpret_cast<HWND>(a.wParam)), LOWORD(a.lParam),
                                    HIWORD(a.lParam));
}
}  // namespace afx_thunk
