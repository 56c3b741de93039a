// What the benchmarks need to show a folder in the system's shell view: the least a
// shell view asks of its browser, a window procedure that hands the browser out, and a
// pump that runs the messages the view posts to itself, and the view made and taken down.
#pragma once

#include <windows.h>
#include <shlobj.h>

const UINT CWM_GETISHELLBROWSER = WM_USER + 7;

// The least a shell view needs of its browser: a window to live in, and answers
// that do nothing for menus, status text and toolbar.
class CBenchBrowser : public IShellBrowser {
public:
    HWND m_hwnd = nullptr;
    IShellView* m_pView = nullptr;  // not owned: the bench holds it

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleWindow) ||
            IsEqualIID(riid, IID_IShellBrowser)) {
            *ppv = static_cast<IShellBrowser*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the bench's stack for the whole run.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override
    {
        if (!phwnd) return E_POINTER;
        *phwnd = m_hwnd;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InsertMenusSB(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMenuSB(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenusSB(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusTextSB(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModelessSB(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAcceleratorSB(MSG*, WORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE BrowseObject(LPCITEMIDLIST, UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetViewStateStream(DWORD, IStream** ppStrm) override
    {
        if (ppStrm) *ppStrm = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetControlWindow(UINT, HWND* phwnd) override
    {
        if (phwnd) *phwnd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SendControlMsg(UINT, UINT, WPARAM, LPARAM, LRESULT* pret) override
    {
        if (pret) *pret = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryActiveShellView(IShellView** ppshv) override
    {
        if (!ppshv) return E_POINTER;
        *ppshv = m_pView;
        if (!m_pView) return E_FAIL;
        m_pView->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnViewWindowActive(IShellView*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetToolbarItems(LPTBBUTTONSB, UINT, UINT) override { return S_OK; }
};

inline LRESULT CALLBACK HostWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == CWM_GETISHELLBROWSER)
        return reinterpret_cast<LRESULT>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

inline void PumpUntilIdle()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Makes the folder's shell view in the browser's host window, filling it; its window, or null.
inline HWND CreateBenchShellView(IShellFolder* pFolder, CBenchBrowser& browser, UINT viewMode, IShellView** ppView,
                                 UINT flags = FWF_AUTOARRANGE)
{
    *ppView = nullptr;
    RECT rc;
    GetClientRect(browser.m_hwnd, &rc);
    FOLDERSETTINGS fs = {viewMode, flags};
    HWND hwndView = nullptr;
    if (FAILED(pFolder->CreateViewObject(browser.m_hwnd, IID_IShellView, reinterpret_cast<void**>(ppView))) || !*ppView)
        return nullptr;
    browser.m_pView = *ppView;
    if (FAILED((*ppView)->CreateViewWindow(nullptr, &fs, &browser, &rc, &hwndView))) hwndView = nullptr;
    return hwndView;
}

// Takes down what CreateBenchShellView made (the view, with its window if it has one).
inline void DestroyBenchShellView(IShellView*& pView, CBenchBrowser& browser)
{
    if (pView) {
        pView->DestroyViewWindow();
        pView->Release();
    }
    pView = nullptr;
    browser.m_pView = nullptr;
}
