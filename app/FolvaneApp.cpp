#include "app/FolvaneApp.h"

#include <ole2.h>

#include "app/FolderDocManager.h"
#include "dialogs/AboutDlg.h"
#include "frames/ChildFrame.h"
#include "frames/MainFrame.h"
#include "frames/ShellDispatch.h"
#include "framework/DocTemplate.h"
#include "res/resource.h"
#include "view/FolvaneDoc.h"
#include "view/FolvaneView.h"

const char* const CFolvaneApp::kInstanceEventName = "FOLVANE";

// Shell.Application, the desktop shell's automation object.
static const CLSID CLSID_ShellApplication = {0x13709620, 0xC279, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

BEGIN_MESSAGE_MAP(CFolvaneApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, &CFolvaneApp::OnAppAbout)
    ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, &CWinApp::OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, &CWinApp::OnFilePrintSetup)
    ON_COMMAND(ID_APP_EXIT, &CFolvaneApp::OnAppExit)
END_MESSAGE_MAP()

int ActivateMainWindow(DWORD value)
{
    // Runs on the guard's waiter thread; the window functions pass the work to the window's own
    // thread. The frame object may be going on that thread meanwhile, so nothing is read from
    // it: the main window comes as a handle, handed over at start-up. The application object
    // outlives the waiter (its destructor stops it).
    HWND hWnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
    if (!hWnd) {
        CFolvaneApp* pApp = static_cast<CFolvaneApp*>(AfxGetApp());
        hWnd = pApp ? pApp->GetActivationWindow() : nullptr;
    }
    if (hWnd && ::IsWindow(hWnd)) {
        ::ShowWindow(hWnd, SW_RESTORE);
        ::SetForegroundWindow(hWnd);
    }
    return 0;
}

CFolvaneApp::CFolvaneApp() = default;

CFolvaneApp::~CFolvaneApp()
{
    m_instanceGuard.Close();
}

IDispatch* CFolvaneApp::CreateShellDispatchObject()
{
    IDispatch* pDispatch = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellApplication, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&pDispatch));
    return SUCCEEDED(hr) ? pDispatch : nullptr;
}

BOOL CFolvaneApp::InitInstance()
{
    // Another copy runs: it has been brought to the front; this one stops before touching anything.
    if (!m_instanceGuard.Create(kInstanceEventName, &ActivateMainWindow, 0)) return FALSE;

    SetRegistryKey("Quorrel");
    AfxEnableControlContainer();
    AfxOleInit();

    if (IDispatch* pDispatch = CreateShellDispatchObject()) m_pShellDispatch = new CShellDispatch(pDispatch, TRUE);

    Enable3dControls();
    LoadStdProfileSettings(4);

    // Installed before the template, so that the framework makes no plain manager of its own.
    m_pDocManager = new CFolderDocManager;
    AddDocTemplate(new CMultiDocTemplate(IDR_FOLVANTYPE, RUNTIME_CLASS(CFolvaneDoc), RUNTIME_CLASS(CChildFrame),
                                         RUNTIME_CLASS(CFolvaneView)));

    CMainFrame* pMainFrame = new CMainFrame;
    // A frame that fails to load has deleted itself.
    if (!pMainFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) return FALSE;
    m_pMainWnd = pMainFrame;
    SetActivationWindow(pMainFrame->m_hWnd);

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (cmdInfo.m_strFileName.IsEmpty()) cmdInfo.m_nShellCommand = CCommandLineInfo::FileNothing;
    if (!ProcessShellCommand(cmdInfo)) return FALSE;

    // The window asked for on the command line comes to the front once the recorded ones are open.
    CMDIChildWnd* pAsked = pMainFrame->MDIGetActive();
    HWND hAsked = pAsked ? pAsked->m_hWnd : nullptr;
    static_cast<CFolderDocManager*>(m_pDocManager)->RestoreOpenWindows();
    pAsked = hAsked ? dynamic_cast<CMDIChildWnd*>(CWnd::FromHandlePermanent(hAsked)) : nullptr;
    if (pAsked && pMainFrame->MDIGetActive() != pAsked) pAsked->MDIActivate();

    pMainFrame->ShowWindow(SW_SHOW);
    pMainFrame->UpdateWindow();
    return TRUE;
}

int CFolvaneApp::ExitInstance()
{
    delete m_pShellDispatch;  // released before OLE goes
    m_pShellDispatch = nullptr;
    return CWinApp::ExitInstance();
}

void CFolvaneApp::SaveSession()
{
    if (CFolderDocManager* pManager = dynamic_cast<CFolderDocManager*>(m_pDocManager)) pManager->SaveOpenWindows();
}

void CFolvaneApp::OnAppAbout()
{
    CAboutDlg dlg;
    dlg.DoModal();
}

void CFolvaneApp::OnAppExit()
{
    SaveSession();
    CWinApp::OnAppExit();
}
