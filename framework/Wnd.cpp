#include "framework/Wnd.h"

#include <exception>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "framework/AfxRes.h"
#include "framework/Exception.h"
#include "framework/FrameWnd.h"
#include "framework/OleDropTarget.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {

// All framework windows live on the one user-interface thread.
std::unordered_map<HWND, CWnd*>& PermanentMap()
{
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

std::unordered_map<HWND, std::unique_ptr<CWnd>>& TemporaryMap()
{
    static std::unordered_map<HWND, std::unique_ptr<CWnd>> map;
    return map;
}

struct ThreadState {
    MSG lastSentMsg = {};
    CWnd* pWndInit = nullptr;
    LPCSTR lpszClassInit = nullptr;  // the class (name or atom) of the window pWndInit waits for
    HHOOK hHookCbt = nullptr;
};

thread_local ThreadState t_state;

// Whether a window just being created is the one the pending object waits for. The system may
// create windows of its own on the thread first (an input-method window), and those are not it.
bool IsPendingWindow(HWND hWnd, LPCSTR lpszClass)
{
    if (!lpszClass) {
        // A dialog box, of whatever class its template names: dialog classes carry the dialog
        // manager's window bytes.
        return static_cast<LONG_PTR>(GetClassLongPtrA(hWnd, GCL_CBWNDEXTRA)) >= DLGWINDOWEXTRA;
    }
    if (IS_INTRESOURCE(lpszClass)) {
        return static_cast<ATOM>(GetClassLongPtrA(hWnd, GCW_ATOM)) == static_cast<ATOM>(reinterpret_cast<UINT_PTR>(lpszClass));
    }
    char name[256] = "";
    return GetClassNameA(hWnd, name, sizeof(name)) > 0 && lstrcmpiA(name, lpszClass) == 0;
}

}  // namespace

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_state.pWndInit &&
        IsPendingWindow(reinterpret_cast<HWND>(wParam), t_state.lpszClassInit)) {
        CWnd* pWnd = t_state.pWndInit;
        t_state.pWndInit = nullptr;
        t_state.lpszClassInit = nullptr;
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        pWnd->Attach(hWnd);
        WNDPROC old = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
        if (old != &CWnd::AfxWndProc) pWnd->m_pfnSuper = old;
    }
    return CallNextHookEx(t_state.hHookCbt, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd, LPCSTR lpszClass)
{
    // The hook stays for the thread's life; it only acts while a window is pending.
    if (!t_state.hHookCbt) {
        t_state.hHookCbt = SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, nullptr, GetCurrentThreadId());
    }
    t_state.pWndInit = pWnd;
    t_state.lpszClassInit = lpszClass;
}

BOOL AfxUnhookWindowCreate()
{
    BOOL bHooked = t_state.pWndInit == nullptr;
    t_state.pWndInit = nullptr;
    t_state.lpszClassInit = nullptr;
    return bHooked;
}

namespace {

// Reports an exception that reached the window procedure; returns the message's result.
LRESULT ReportWndProcException(const std::exception_ptr& failure, UINT message)
{
    const UINT nFailure = message == WM_COMMAND ? AFX_IDP_COMMAND_FAILURE : AFX_IDP_INTERNAL_FAILURE;
    try {
        std::rethrow_exception(failure);
    } catch (const CException& e) {
        e.ReportError(MB_ICONEXCLAMATION, nFailure);
    } catch (const std::bad_alloc&) {
        AfxMessageBox(AFX_IDP_FAILED_MEMORY_ALLOC, MB_ICONEXCLAMATION);
    } catch (...) {
        AfxMessageBox(nFailure, MB_ICONEXCLAMATION);
    }
    // A failing WM_CREATE fails the creation.
    return message == WM_CREATE ? -1 : 0;
}

}  // namespace

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG saved = t_state.lastSentMsg;
    t_state.lastSentMsg.hwnd = hWnd;
    t_state.lastSentMsg.message = message;
    t_state.lastSentMsg.wParam = wParam;
    t_state.lastSentMsg.lParam = lParam;

    LRESULT lResult = 0;
    // No C++ exception may cross into the window system: report it and count the message
    // as handled.
    std::exception_ptr failure;
    try {
        lResult = pWnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        failure = std::current_exception();
    }
    // After the last message the object lets go of its window whatever happened in the
    // handler, and before the report, whose box must not have the dead window as its owner.
    if (message == WM_NCDESTROY) {
        try {
            pWnd->OnNcDestroyFinal();
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    }
    if (failure) lResult = ReportWndProcException(failure, message);
    t_state.lastSentMsg = saved;
    return lResult;
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

LPCSTR CWnd::RegisterWndClass(LPCSTR lpszName, UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    // The names are kept here, so that the caller's text need not outlive the call.
    static std::set<std::string> s_names;
    lpszName = s_names.insert(lpszName).first->c_str();
    HINSTANCE hInst = GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (GetClassInfoA(hInst, lpszName, &existing)) return lpszName;
    WNDCLASSA wc = {};
    wc.style = nClassStyle;
    wc.lpfnWndProc = &CWnd::AfxWndProc;
    wc.hInstance = hInst;
    wc.hIcon = hIcon;
    wc.hCursor = hCursor ? hCursor : LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = lpszName;
    return RegisterClassA(&wc) ? lpszName : nullptr;
}

CWnd::~CWnd()
{
    if (m_hWnd) {
        // The object goes before its window: unhook it so that the window's last
        // messages do not reach a half-destroyed object.
        HWND hWnd = m_hWnd;
        if (m_pfnSuper) UnsubclassWindow();
        else Detach();
        ::DestroyWindow(hWnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    auto& map = PermanentMap();
    auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd) return nullptr;
    if (CWnd* p = FromHandlePermanent(hWnd)) return p;
    auto& temp = TemporaryMap();
    auto it = temp.find(hWnd);
    if (it != temp.end()) return it->second.get();
    auto p = std::make_unique<CWnd>();
    p->m_hWnd = hWnd;
    CWnd* raw = p.get();
    temp.emplace(hWnd, std::move(p));
    return raw;
}

void CWnd::DeleteTempMap()
{
    for (auto& kv : TemporaryMap()) kv.second->m_hWnd = nullptr;
    TemporaryMap().clear();
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (!hWnd || m_hWnd) return FALSE;
    m_hWnd = hWnd;
    PermanentMap()[hWnd] = this;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd) {
        auto& map = PermanentMap();
        auto it = map.find(hWnd);
        if (it != map.end() && it->second == this) map.erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd)) return FALSE;
    WNDPROC old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
    if (old != &CWnd::AfxWndProc) m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hCtl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return hCtl ? SubclassWindow(hCtl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper && m_hWnd) {
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    return Detach();
}

void CWnd::OnNcDestroyFinal()
{
    // The last message: the window is gone, the object may delete itself. A drop target
    // registered for it is revoked while the handle is still valid.
    COleDropTarget::RevokeWindow(m_hWnd);
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this) {
        pApp->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    if (m_pfnSuper) UnsubclassWindow();
    else Detach();
    PostNcDestroy();
}

void CWnd::OnFinalRelease()
{
    if (m_hWnd) DestroyWindow();
    else PostNcDestroy();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA&)
{
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    CREATESTRUCTA cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = GetModuleHandleA(nullptr);
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this, cs.lpszClass);
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                                  cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    BOOL bAttached = AfxUnhookWindowCreate();
    if (!hWnd) {
        // A window that failed in WM_CREATE went through PostNcDestroy already; one that
        // was never made goes through it here, so that failure always ends the same way.
        if (!bAttached) PostNcDestroy();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, LPVOID lpParam)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult)) lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        *pResult = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        LRESULT r = 0;
        if (!OnNotify(wParam, lParam, &r)) return FALSE;
        *pResult = r;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(message, 0, 0);
    if (!e) return FALSE;
    AFX_MSGARGS args = {message, wParam, lParam, 0, nullptr, pResult};
    *pResult = e->pfn(this, args);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& m = t_state.lastSentMsg;
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    UINT nCode = HIWORD(wParam);
    if (!hWndCtrl) {
        // Menu item or accelerator: a command that its update handler disables is not run.
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state, nullptr);
        if (!state.m_bEnabled) return TRUE;
        nCode = CN_COMMAND;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (!pNMHDR) return FALSE;
    UINT nID = static_cast<UINT>(pNMHDR->idFrom);
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage != WM_NOTIFY || e->nCode != pNMHDR->code || nID < e->nID || nID > e->nLastID) continue;
            AFX_MSGARGS args = {WM_NOTIFY, 0, lParam, nID, pNMHDR, pResult};
            LRESULT handled = e->pfn(this, args);
            if (!e->bEx || handled) return TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWnd::ScreenToClient(RECT* r) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(&r->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(&r->right));
}

void CWnd::ClientToScreen(RECT* r) const
{
    ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&r->left));
    ::ClientToScreen(m_hWnd, reinterpret_cast<POINT*>(&r->right));
}

void CWnd::GetWindowText(CString& s) const
{
    int n = ::GetWindowTextLengthA(m_hWnd);
    char* p = s.GetBuffer(n);
    ::GetWindowTextA(m_hWnd, p, n + 1);
    s.ReleaseBuffer();
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = GetStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle) return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(newStyle));
    if (nFlags) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    }
    return TRUE;
}

CWnd* CWnd::GetTopLevelParent() const
{
    HWND h = m_hWnd;
    for (HWND p; (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) && (p = ::GetParent(h)) != nullptr;) h = p;
    return FromHandle(h);
}

CFrameWnd* CWnd::GetParentFrame() const
{
    for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h)) {
        CWnd* p = FromHandlePermanent(h);
        if (p && p->IsFrameWnd()) return static_cast<CFrameWnd*>(p);
    }
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
    CFrameWnd* pFrame = IsFrameWnd() ? const_cast<CFrameWnd*>(static_cast<const CFrameWnd*>(this)) : GetParentFrame();
    while (pFrame) {
        CFrameWnd* pNext = pFrame->GetParentFrame();
        if (!pNext) break;
        pFrame = pNext;
    }
    return pFrame;
}

BOOL CWnd::IsFrameWnd() const
{
    return IsKindOf(RUNTIME_CLASS(CFrameWnd));
}

namespace {

void SendToDescendants(HWND hParent, UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep)
{
    // The children as they are now: the message may destroy any of them, objects and all,
    // or move them elsewhere, before the walk is done. Only handles are kept across it.
    std::vector<HWND> children;
    for (HWND h = ::GetTopWindow(hParent); h; h = ::GetNextWindow(h, GW_HWNDNEXT)) children.push_back(h);
    for (HWND h : children) {
        if (!::IsWindow(h) || ::GetParent(h) != hParent) continue;
        // Private framework messages go to framework windows only.
        if (CWnd::FromHandlePermanent(h)) ::SendMessageA(h, message, wParam, lParam);
        if (bDeep && ::IsWindow(h)) SendToDescendants(h, message, wParam, lParam, bDeep);
    }
}

}  // namespace

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep)
{
    SendToDescendants(m_hWnd, message, wParam, lParam, bDeep);
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
    CString caption;
    if (!lpszCaption) {
        CWinApp* pApp = AfxGetApp();
        caption = pApp ? pApp->m_pszAppName : "";
        lpszCaption = caption;
    }
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    HWND hOwner = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    RECT rc, rcOwner;
    ::GetWindowRect(m_hWnd, &rc);
    if (hOwner) ::GetWindowRect(hOwner, &rcOwner);
    else SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcOwner, 0);
    int x = rcOwner.left + ((rcOwner.right - rcOwner.left) - (rc.right - rc.left)) / 2;
    int y = rcOwner.top + ((rcOwner.bottom - rcOwner.top) - (rc.bottom - rc.top)) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
