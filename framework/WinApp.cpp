#include "framework/WinApp.h"

#include <commctrl.h>
#include <ole2.h>
#include <stdlib.h>

#include <new>

#include "framework/AfxRes.h"
#include "framework/DocManager.h"
#include "framework/FrameWnd.h"
#include "framework/Wnd.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

namespace {
CWinApp* g_pApp = nullptr;
BOOL g_bOleInitialized = FALSE;

// Messages are taken wide: a letter the code page lacks, typed into a wide edit (the address
// box, a name editor), would otherwise arrive as its nearest 8-bit letter. The system
// converts for the 8-bit windows. Both loops take messages here.
BOOL TakeMessage(MSG* pMsg, BOOL bWait)
{
    return bWait ? ::GetMessageW(pMsg, nullptr, 0, 0) : ::PeekMessageW(pMsg, nullptr, 0, 0, PM_REMOVE);
}
}  // namespace

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return GetModuleHandleA(nullptr);
}

HINSTANCE AfxFindResourceHandle(LPCSTR, LPCSTR)
{
    // All resources live in the executable.
    return AfxGetResourceHandle();
}

namespace {

// The owner, title and icon of the application's message boxes.
HWND MessageBoxOwner()
{
    HWND hOwner = nullptr;
    if (CWnd* pMain = AfxGetMainWnd()) {
        hOwner = ::GetLastActivePopup(pMain->m_hWnd);
        // A floating bar's small window (a tool window) is no owner: the box disables its owner
        // only, and the main window would stay usable behind it.
        if (!::IsWindowEnabled(hOwner) || !::IsWindowVisible(hOwner) ||
            (::GetWindowLongPtrA(hOwner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
            hOwner = pMain->m_hWnd;
        }
    }
    return hOwner;
}

CString MessageBoxTitle()
{
    CWinApp* pApp = AfxGetApp();
    CString title;
    if (pApp && pApp->m_pszAppName) title = pApp->m_pszAppName;
    else title.LoadString(AFX_IDS_APP_TITLE);
    return title;
}

UINT MessageBoxType(UINT nType)
{
    if ((nType & MB_ICONMASK) == 0) {
        UINT button = nType & MB_TYPEMASK;
        nType |= (button == MB_OK || button == MB_OKCANCEL) ? MB_ICONEXCLAMATION : MB_ICONQUESTION;
    }
    return nType;
}

}  // namespace

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT)
{
    return ::MessageBoxA(MessageBoxOwner(), lpszText, MessageBoxTitle(), MessageBoxType(nType));
}

int AfxMessageBoxW(LPCWSTR lpszText, UINT nType)
{
    const CString title = MessageBoxTitle();
    WCHAR szTitle[MAX_PATH] = L"";
    ::MultiByteToWideChar(CP_ACP, 0, title, -1, szTitle, MAX_PATH);
    return ::MessageBoxW(MessageBoxOwner(), lpszText, szTitle, MessageBoxType(nType));
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    if (!text.LoadString(nIDPrompt)) text.Format("Error %u.", nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}

void AfxEnableControlContainer()
{
}

BOOL AfxOleInit()
{
    HRESULT hr = OleInitialize(nullptr);
    if (SUCCEEDED(hr)) g_bOleInitialized = TRUE;
    return SUCCEEDED(hr);
}

void AfxOleTerm()
{
    if (g_bOleInitialized) {
        g_bOleInitialized = FALSE;
        OleUninitialize();
    }
}

// ---- CCommandLineInfo -------------------------------------------------------------------

void CCommandLineInfo::ParseParam(LPCSTR pszParam, BOOL bFlag, BOOL)
{
    if (bFlag) {
        // The framework's switches; the program gives none of them a meaning of its own.
        if (lstrcmpiA(pszParam, "Embedding") == 0 || lstrcmpiA(pszParam, "Automation") == 0) {
            m_bRunEmbedded = lstrcmpiA(pszParam, "Embedding") == 0;
            m_bRunAutomated = !m_bRunEmbedded;
            m_bShowSplash = FALSE;
        } else if (lstrcmpiA(pszParam, "dde") == 0) {
            m_nShellCommand = FileDDE;
        } else if (lstrcmpiA(pszParam, "Unregister") == 0 || lstrcmpiA(pszParam, "Unregserver") == 0) {
            m_nShellCommand = AppUnregister;
        }
        return;
    }
    if (m_strFileName.IsEmpty()) {
        m_strFileName = pszParam;
        if (m_nShellCommand == FileNew) m_nShellCommand = FileOpen;
        m_bShowSplash = FALSE;
    }
}

// ---- CWinApp ----------------------------------------------------------------------------

CWinApp::CWinApp(LPCSTR lpszAppName)
{
    g_pApp = this;
    m_hInstance = GetModuleHandleA(nullptr);
    if (lpszAppName) {
        m_strAppName = lpszAppName;
    } else if (!m_strAppName.LoadString(AFX_IDS_APP_TITLE)) {
        char path[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        char* name = strrchr(path, '\\');
        m_strAppName = name ? name + 1 : path;
        int dot = m_strAppName.ReverseFind('.');
        if (dot > 0) m_strAppName = m_strAppName.Left(dot);
    }
    m_pszAppName = m_strAppName;
}

CWinApp::~CWinApp()
{
    delete m_pDocManager;
    m_pDocManager = nullptr;
    delete m_pRecentFileList;
    m_pRecentFileList = nullptr;
    if (g_pApp == this) g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    SaveStdProfileSettings();
    return 0;
}

BOOL CWinApp::IsIdleMessage(const MSG* pMsg)
{
    // Mouse moves without movement and the caret blink do not end an idle period.
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (pMsg->pt.x == m_ptCursorLast.x && pMsg->pt.y == m_ptCursorLast.y) return FALSE;
        m_ptCursorLast = pMsg->pt;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118 /* WM_SYSTIMER */;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    // Each framework window from the message's target up to the main window may take it.
    HWND hStop = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        if (CWnd* p = CWnd::FromHandlePermanent(h)) {
            if (p->PreTranslateMessage(pMsg)) return TRUE;
        }
        if (h == hStop) return FALSE;
    }
    // A message for another top-level window (a modeless box) still gets the main window's chance.
    if (m_pMainWnd && m_pMainWnd->m_hWnd && pMsg->hwnd != m_pMainWnd->m_hWnd) {
        return m_pMainWnd->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

void CWinApp::DispatchTaken(MSG* pMsg)
{
    if (!PreTranslateMessage(pMsg)) {
        ::TranslateMessage(pMsg);
        ::DispatchMessageW(pMsg);
    }
}

BOOL CWinApp::PumpMessage()
{
    MSG msg;
    for (;;) {
        HANDLE handles[MAXIMUM_WAIT_OBJECTS];
        CWaitSource* sources[MAXIMUM_WAIT_OBJECTS];
        const size_t n = GatherWaitHandles(handles, sources);
        if (n == 0) {
            if (!TakeMessage(&msg, TRUE)) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return FALSE;
            }
            break;
        }
        const DWORD dw = ::MsgWaitForMultipleObjectsEx(static_cast<DWORD>(n), handles, INFINITE, QS_ALLINPUT,
                                                       MWMO_INPUTAVAILABLE);
        if (dw >= WAIT_OBJECT_0 && dw < WAIT_OBJECT_0 + n) {
            sources[dw - WAIT_OBJECT_0]->OnWaitHandleSignalled(handles[dw - WAIT_OBJECT_0]);
            // What the source did (a folder read again) may change what commands can do.
            m_bIdle = TRUE;
            m_nIdleCount = 0;
            return TRUE;
        }
        // Sent messages are handled inside the peek; with nothing posted, wait again.
        if (!TakeMessage(&msg, FALSE)) continue;
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return FALSE;
        }
        break;
    }
    DispatchTaken(&msg);
    if (IsIdleMessage(&msg)) {
        m_bIdle = TRUE;
        m_nIdleCount = 0;
    }
    return TRUE;
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    if (lCount == 0) {
        // Toolbar buttons and the frame's title follow the state of the commands.
        if (m_pMainWnd && m_pMainWnd->m_hWnd) {
            m_pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
            ::SendMessageA(m_pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
        }
        return TRUE;
    }
    CWnd::DeleteTempMap();
    return FALSE;
}

int CWinApp::Run()
{
    MSG msg;
    for (;;) {
        while (m_bIdle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(m_nIdleCount++)) m_bIdle = FALSE;
        }
        do {
            if (!PumpMessage()) return ExitInstance();
        } while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinApp::PumpWaitingMessages()
{
    MSG msg;
    while (TakeMessage(&msg, FALSE)) {
        if (msg.message == WM_QUIT) return FALSE;
        DispatchTaken(&msg);
    }
    DispatchSignalledHandles();
    for (LONG n = 0; OnIdle(n); ++n) {
    }
    return TRUE;
}

void CWinApp::AddWaitSource(CWaitSource* pSource)
{
    for (CWaitSource* p : m_waitSources) {
        if (p == pSource) return;
    }
    m_waitSources.push_back(pSource);
}

void CWinApp::RemoveWaitSource(CWaitSource* pSource)
{
    for (size_t i = 0; i < m_waitSources.size(); i++) {
        if (m_waitSources[i] == pSource) {
            m_waitSources.erase(m_waitSources.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

size_t CWinApp::GatherWaitHandles(HANDLE* pHandles, CWaitSource** ppSources)
{
    // One slot stays free: a wait that also watches the message queue takes one handle less.
    const size_t nMax = MAXIMUM_WAIT_OBJECTS - 1;
    size_t n = 0;
    for (CWaitSource* pSource : m_waitSources) {
        const size_t nAdded = pSource->GetWaitHandles(pHandles + n, nMax - n);
        for (size_t i = 0; i < nAdded; i++) ppSources[n + i] = pSource;
        n += nAdded;
    }
    return n;
}

BOOL CWinApp::DispatchSignalledHandles()
{
    HANDLE handles[MAXIMUM_WAIT_OBJECTS];
    CWaitSource* sources[MAXIMUM_WAIT_OBJECTS];
    const size_t n = GatherWaitHandles(handles, sources);
    if (n == 0) return FALSE;
    const DWORD dw = ::WaitForMultipleObjects(static_cast<DWORD>(n), handles, FALSE, 0);
    if (dw < WAIT_OBJECT_0 || dw >= WAIT_OBJECT_0 + n) return FALSE;
    sources[dw - WAIT_OBJECT_0]->OnWaitHandleSignalled(handles[dw - WAIT_OBJECT_0]);
    return TRUE;
}

// ---- Profile ----------------------------------------------------------------------------

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey;
    m_pszRegistryKey = m_strRegistryKey;
    m_strProfileName = m_pszAppName;
    m_pszProfileName = m_strProfileName;
}

HKEY CWinApp::GetAppRegistryKey()
{
    if (!m_pszRegistryKey || !m_pszProfileName) return nullptr;
    HKEY hSoftware = nullptr, hCompany = nullptr, hApp = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_WRITE | KEY_READ, &hSoftware) == ERROR_SUCCESS) {
        DWORD dw;
        if (RegCreateKeyExA(hSoftware, m_pszRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                            nullptr, &hCompany, &dw) == ERROR_SUCCESS) {
            RegCreateKeyExA(hCompany, m_pszProfileName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                            nullptr, &hApp, &dw);
            RegCloseKey(hCompany);
        }
        RegCloseKey(hSoftware);
    }
    return hApp;
}

HKEY CWinApp::GetSectionKey(LPCSTR lpszSection)
{
    HKEY hApp = GetAppRegistryKey();
    if (!hApp) return nullptr;
    HKEY hSection = nullptr;
    DWORD dw;
    RegCreateKeyExA(hApp, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, nullptr, &hSection,
                    &dw);
    RegCloseKey(hApp);
    return hSection;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
    HKEY hKey = GetSectionKey(lpszSection);
    if (!hKey) return static_cast<UINT>(nDefault);
    DWORD value = 0, type = 0, size = sizeof(value);
    LONG rc = RegQueryValueExA(hKey, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(hKey);
    return (rc == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(value)) ? value : static_cast<UINT>(nDefault);
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
    HKEY hKey = GetSectionKey(lpszSection);
    if (!hKey) return FALSE;
    DWORD value = static_cast<DWORD>(nValue);
    LONG rc = RegSetValueExA(hKey, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(hKey);
    return rc == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault)
{
    CString result(lpszDefault);
    HKEY hKey = GetSectionKey(lpszSection);
    if (!hKey) return result;
    DWORD type = 0, size = 0;
    // A size that does not fit the buffer's length (or its terminator) is not read at all.
    if (RegQueryValueExA(hKey, lpszEntry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ &&
        size < 0x7FFFFFFFUL) {
        try {
            CString value;
            char* p = value.GetBuffer(static_cast<int>(size));
            DWORD got = size;
            // A value that grew meanwhile fails here rather than overrun the buffer.
            if (RegQueryValueExA(hKey, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(p), &got) == ERROR_SUCCESS &&
                type == REG_SZ && got <= size) {
                p[got] = '\0';  // a stored value need not be terminated
                value.ReleaseBuffer();
                result = value;
            }
        } catch (const std::bad_alloc&) {
            // Too big for memory: the default stands.
        }
    }
    RegCloseKey(hKey);
    return result;
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    if (!lpszEntry) {
        // No entry: the whole section goes.
        HKEY hApp = GetAppRegistryKey();
        if (!hApp) return FALSE;
        LONG rc = RegDeleteKeyA(hApp, lpszSection);
        RegCloseKey(hApp);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    HKEY hKey = GetSectionKey(lpszSection);
    if (!hKey) return FALSE;
    LONG rc;
    if (!lpszValue) {
        rc = RegDeleteValueA(hKey, lpszEntry);
        if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
    } else {
        rc = RegSetValueExA(hKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                            static_cast<DWORD>(lstrlenA(lpszValue) + 1));
    }
    RegCloseKey(hKey);
    return rc == ERROR_SUCCESS;
}

// ---- Command line -----------------------------------------------------------------------

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    for (int i = 1; i < __argc; i++) {
        LPCSTR pszParam = __argv[i];
        BOOL bFlag = FALSE;
        BOOL bLast = i + 1 == __argc;
        if (pszParam[0] == '-' || pszParam[0] == '/') {
            bFlag = TRUE;
            ++pszParam;
        }
        rCmdInfo.ParseParam(pszParam, bFlag, bLast);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        OnFileNew();
        return TRUE;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FileNothing:
        return TRUE;
    default:
        // Printing, DDE and unregistering are not offered: nothing to do, and no window.
        return FALSE;
    }
}

// ---- Message loop entry -------------------------------------------------------------------

int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return -1;
    int nReturnCode;
    if (!pApp->InitInstance()) {
        if (pApp->m_pMainWnd) pApp->m_pMainWnd->DestroyWindow();
        nReturnCode = pApp->ExitInstance();
    } else {
        nReturnCode = pApp->Run();
    }
    AfxOleTerm();
    return nReturnCode;
}
