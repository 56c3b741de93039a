// The least a shell view needs to make its window: a host window that answers the browser
// query, and a browser that does nothing for menus, status text and toolbar. For benchmarks
// that compare the program with the shell view alone.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "tree/IdList.h"

class CShellViewHost : public IShellBrowser {
public:
    CShellViewHost()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &HostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "FolvaneBenchShellViewHost";
        RegisterClassA(&wc);
        m_hwnd = CreateWindowExA(0, wc.lpszClassName, "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(static_cast<IShellBrowser*>(this)));
    }
    ~CShellViewHost()
    {
        Destroy();
        DestroyWindow(m_hwnd);
    }
    CShellViewHost(const CShellViewHost&) = delete;
    CShellViewHost& operator=(const CShellViewHost&) = delete;

    HWND Window() const { return m_hwnd; }

    // Binds the folder and makes its shell view's window in details view; false on failure.
    bool Create(LPCSTR pszPath, UINT viewMode = FVM_DETAILS)
    {
        Destroy();
        CIdListPtr pidl(PathToIdList(pszPath));
        CComPtr<IShellFolder> pDesktop, pFolder;
        if (!pidl || FAILED(SHGetDesktopFolder(pDesktop.Put())) ||
            FAILED(pDesktop->BindToObject(pidl, nullptr, IID_IShellFolder, pFolder.PutVoid())) ||
            FAILED(pFolder->CreateViewObject(m_hwnd, IID_IShellView, m_pView.PutVoid()))) {
            return false;
        }
        FOLDERSETTINGS fs = {viewMode, FWF_AUTOARRANGE};
        RECT rc;
        GetClientRect(m_hwnd, &rc);
        HWND hwndView = nullptr;
        if (FAILED(m_pView->CreateViewWindow(nullptr, &fs, this, &rc, &hwndView)) || !hwndView) {
            m_pView.Release();
            return false;
        }
        return true;
    }
    void Destroy()
    {
        if (!m_pView) return;
        m_pView->UIActivate(SVUIA_DEACTIVATE);
        m_pView->DestroyViewWindow();
        m_pView.Release();
    }
    IShellView* View() const { return m_pView; }

    // IUnknown: the host lives for the whole benchmark, so its count is not kept.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IShellBrowser)) {
            *ppv = static_cast<IShellBrowser*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
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

private:
    static LRESULT CALLBACK HostProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        if (uMsg == WM_USER + 7) return GetWindowLongPtrA(hwnd, GWLP_USERDATA);  // the browser query
        return DefWindowProcA(hwnd, uMsg, wParam, lParam);
    }

    HWND m_hwnd = nullptr;
    CComPtr<IShellView> m_pView;
};
