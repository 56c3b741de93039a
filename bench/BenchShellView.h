// What the benchmarks need to show a folder in the system's shell view: the least a
// shell view asks of its browser, a window that hands the browser out and in which the
// view is made and taken down, and a pump that runs the messages the view posts to itself.
#pragma once

#include <windows.h>
#include <shlobj.h>

const UINT CWM_GETISHELLBROWSER = WM_USER + 7;

// The least a shell view needs of its browser: a window to live in, and answers
// that do nothing for menus, status text and toolbar.
class CBenchBrowser : public IShellBrowser {
public:
    HWND m_hwnd = nullptr;
    IShellView* m_pView = nullptr;  // not owned: the host holds it

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
    // Lives in its host for the whole run.
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

// The thread as an OLE apartment for as long as it lives, as the program's own thread is.
struct CBenchOle {
    CBenchOle() { OleInitialize(nullptr); }
    ~CBenchOle() { OleUninitialize(); }
    CBenchOle(const CBenchOle&) = delete;
    CBenchOle& operator=(const CBenchOle&) = delete;
};

inline void PumpUntilIdle()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A top-level window on screen in which the system's shell view shows a folder, with the
// browser the view asks for: the peer the benchmarks measure the program against.
class CBenchViewHost {
public:
    CBenchViewHost(const char* pszTitle, int x, int y, int cx, int cy)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &WndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "FolvaneBenchViewHost";
        RegisterClassA(&wc);  // once per process; later calls find it there
        m_hwnd = CreateWindowExA(0, wc.lpszClassName, pszTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, cx, cy,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        m_browser.m_hwnd = m_hwnd;
        SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(static_cast<IShellBrowser*>(&m_browser)));
    }
    ~CBenchViewHost()
    {
        Destroy();
        if (m_hwnd) DestroyWindow(m_hwnd);
    }
    CBenchViewHost(const CBenchViewHost&) = delete;
    CBenchViewHost& operator=(const CBenchViewHost&) = delete;

    HWND Window() const { return m_hwnd; }

    // Makes the folder's shell view in the window, filling it; its window, or null.
    HWND Create(IShellFolder* pFolder, UINT viewMode, UINT flags = FWF_AUTOARRANGE)
    {
        Destroy();
        RECT rc;
        GetClientRect(m_hwnd, &rc);
        FOLDERSETTINGS fs = {viewMode, flags};
        HWND hwndView = nullptr;
        if (FAILED(pFolder->CreateViewObject(m_hwnd, IID_IShellView, reinterpret_cast<void**>(&m_pView))) || !m_pView)
            return nullptr;
        m_browser.m_pView = m_pView;
        if (FAILED(m_pView->CreateViewWindow(nullptr, &fs, &m_browser, &rc, &hwndView))) hwndView = nullptr;
        return hwndView;
    }

    // Takes down what Create made (the view, with its window if it has one).
    void Destroy()
    {
        if (m_pView) {
            m_pView->DestroyViewWindow();
            m_pView->Release();
        }
        m_pView = nullptr;
        m_browser.m_pView = nullptr;
    }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        if (uMsg == CWM_GETISHELLBROWSER) return GetWindowLongPtrA(hwnd, GWLP_USERDATA);
        return DefWindowProcA(hwnd, uMsg, wParam, lParam);
    }

    HWND m_hwnd = nullptr;
    CBenchBrowser m_browser;
    IShellView* m_pView = nullptr;  // the view on show, if any
};
