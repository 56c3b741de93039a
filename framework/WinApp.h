// CWinApp: the one application object, its message loop with idle-time updates,
// the settings profile in the registry and the command line.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/CmdTarget.h"
#include "framework/String.h"

class CWnd;
class CDocManager;
class CDocTemplate;
class CDocument;
class CRecentFileList;

class CCommandLineInfo {
public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 } m_nShellCommand = FileNew;
    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    CString m_strFileName;

    virtual ~CCommandLineInfo() = default;
    // Called once per argument, switches without their leading '/' or '-'.
    virtual void ParseParam(LPCSTR pszParam, BOOL bFlag, BOOL bLast);
};

// Kernel objects the application's own message loop waits on besides messages (a change
// notification, a waitable timer): when one is signalled its source handles it on this
// thread. Modal loops (menus, dialogs, drags) do not wait on them, so what a source does
// waits until the user is back in the main loop.
class CWaitSource {
public:
    // Writes at most nMax handles to wait on; returns how many.
    virtual size_t GetWaitHandles(HANDLE* pHandles, size_t nMax) = 0;
    virtual void OnWaitHandleSignalled(HANDLE hSignalled) = 0;

protected:
    ~CWaitSource() = default;
};

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    LPCSTR m_pszAppName = nullptr;      // the application title
    LPCSTR m_pszRegistryKey = nullptr;  // company key under HKCU\Software
    LPCSTR m_pszProfileName = nullptr;  // profile key under the company key
    CDocManager* m_pDocManager = nullptr;
    CRecentFileList* m_pRecentFileList = nullptr;
    UINT m_nNumPreviewPages = 0;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL PumpMessage();
    virtual BOOL IsIdleMessage(const MSG* pMsg);

    // Pumps every waiting message and then runs the idle updates once; for callers
    // that drive the application without its blocking loop. FALSE once WM_QUIT was seen.
    BOOL PumpWaitingMessages();

    // Sources of handles the message loop waits on (not owned).
    void AddWaitSource(CWaitSource* pSource);
    void RemoveWaitSource(CWaitSource* pSource);

    // Settings profile.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCSTR lpszSection);
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    CString GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();

    // Documents.
    void AddDocTemplate(CDocTemplate* pTemplate);
    virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);
    virtual void AddToRecentFileList(LPCSTR lpszPathName);
    void CloseAllDocuments(BOOL bEndSession);
    BOOL SaveAllModified();

    // Command line.
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    BOOL Enable3dControls() { return TRUE; }  // 32-bit controls are three-dimensional already

    // Standard command handlers.
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();

    DECLARE_MESSAGE_MAP()

private:
    // The handles of the wait sources, at most what one wait takes; their sources alongside.
    size_t GatherWaitHandles(HANDLE* pHandles, CWaitSource** ppSources);
    // Hands each signalled handle to its source without waiting; TRUE when one was.
    BOOL DispatchSignalledHandles();
    // A message taken from the queue, through the windows' pre-translation to its window.
    void DispatchTaken(MSG* pMsg);

    std::vector<CWaitSource*> m_waitSources;
    CString m_strAppName;
    CString m_strRegistryKey;
    CString m_strProfileName;
    LONG m_nIdleCount = 0;
    BOOL m_bIdle = TRUE;
    POINT m_ptCursorLast = {-1, -1};
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The same box with wide text, for sentences that name items outside the code page.
int AfxMessageBoxW(LPCWSTR lpszText, UINT nType = MB_OK);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
// The program has no ActiveX controls to host; kept so start-up reads as it is meant.
void AfxEnableControlContainer();
BOOL AfxOleInit();
void AfxOleTerm();
// Runs the application object: InitInstance, then the message loop.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
