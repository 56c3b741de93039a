// The find window's life: making it, its layout, running a search and the status line. The
// results list is in FindResults.cpp, what the user does with the items in FindActions.cpp.
#include "find/FindWindow.h"

#include <shlobj.h>

#include "find/FindInput.h"
#include "find/SearchThread.h"
#include "framework/FrameWnd.h"
#include "framework/MDIChildWnd.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "res/Messages.h"
#include "shell/AnsiNames.h"

IMPLEMENT_DYNAMIC(CFindWindow, CDialog)

const char* const CFindWindow::kClassName = "Folvane:Find";

BEGIN_MESSAGE_MAP(CFindWindow, CDialog)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_MESSAGE(WM_GETMINMAXINFO, &CFindWindow::OnGetMinMaxInfo)
    ON_MESSAGE(WM_CONTEXTMENU, &CFindWindow::OnContextMenu)
    ON_MESSAGE(WM_TIMER, &CFindWindow::OnTimerMessage)
    ON_MESSAGE(WM_FINDITEMS, &CFindWindow::OnFoundItems)
    ON_COMMAND(IDC_FIND_STOP, &CFindWindow::OnStop)
    ON_COMMAND(IDC_FIND_NEW, &CFindWindow::OnNewSearch)
    ON_COMMAND(IDC_FIND_BROWSE, &CFindWindow::OnBrowse)
    ON_COMMAND(ID_FIND_OPEN_ITEM, &CFindWindow::OnOpenItems)
    ON_COMMAND(ID_FIND_OPEN_FOLDER, &CFindWindow::OnOpenContainingFolder)
    ON_COMMAND(ID_FIND_COPY, &CFindWindow::OnCopy)
    // The list talks wide to this window (its names may lie outside the code page).
    ON_NOTIFY(LVN_GETDISPINFOA, IDC_FIND_RESULTS, &CFindWindow::OnGetDispInfoA)
    ON_NOTIFY(LVN_GETDISPINFOW, IDC_FIND_RESULTS, &CFindWindow::OnGetDispInfoW)
    ON_NOTIFY(LVN_COLUMNCLICK, IDC_FIND_RESULTS, &CFindWindow::OnColumnClick)
    ON_NOTIFY(NM_DBLCLK, IDC_FIND_RESULTS, &CFindWindow::OnDoubleClick)
    ON_NOTIFY(LVN_KEYDOWN, IDC_FIND_RESULTS, &CFindWindow::OnListKeyDown)
    ON_NOTIFY(LVN_BEGINDRAG, IDC_FIND_RESULTS, &CFindWindow::OnBeginDrag)
END_MESSAGE_MAP()

namespace {

const UINT_PTR kStatusTimer = 1;
const UINT kStatusMilliseconds = 200;
// Windows opened one after the other step down and right from the first.
const int kCascadeStep = 24;

enum : UINT { kMoveRight = 1, kStretchRight = 2, kStretchDown = 4 };

struct ControlAnchor {
    int nID;
    UINT nFlags;
};

const ControlAnchor kAnchors[] = {
    {IDC_FIND_NAME, kStretchRight},   {IDC_FIND_TEXT, kStretchRight},
    {IDC_FIND_LOOKIN, kStretchRight}, {IDC_FIND_BROWSE, kMoveRight},
    {IDOK, kMoveRight},               {IDC_FIND_STOP, kMoveRight},
    {IDC_FIND_NEW, kMoveRight},       {IDC_FIND_RESULTS, kStretchRight | kStretchDown},
};

CString CountText(UINT nIDOne, UINT nIDMany, unsigned long n)
{
    CString text;
    if (n == 1) {
        text.LoadString(nIDOne);
    } else {
        CString format;
        format.LoadString(nIDMany);
        text.Format(format, n);
    }
    return text;
}

BOOL CALLBACK CollectFindWindow(HWND hWnd, LPARAM lParam)
{
    if (CFindWindow* p = dynamic_cast<CFindWindow*>(CWnd::FromHandlePermanent(hWnd))) {
        reinterpret_cast<std::vector<CFindWindow*>*>(lParam)->push_back(p);
    }
    return TRUE;
}

// The first fixed drive, the place to look when nothing else is known.
std::wstring FirstFixedDrive()
{
    wchar_t drives[512] = L"";
    const DWORD n = ::GetLogicalDriveStringsW(_countof(drives) - 1, drives);
    for (const wchar_t* p = drives; n && n < _countof(drives) && *p; p += ::wcslen(p) + 1) {
        if (::GetDriveTypeW(p) == DRIVE_FIXED) return p;
    }
    return L"C:\\";
}

}  // namespace

CFindWindow::CFindWindow(const std::wstring& folder) : CDialog(IDD_FIND), m_strStartFolder(folder)
{
}

CFindWindow::~CFindWindow()
{
    if (m_pSearch) m_pSearch->Stop();
}

CFindWindow* CFindWindow::Open(const std::wstring& folder)
{
    // A dialog class of its own (the template names it): the window carries the program's
    // icon, and is told apart from the boxes and dialogs of the dialog manager's class.
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(AfxGetInstanceHandle(), kClassName, &wc)) {
        wc.lpfnWndProc = &::DefDlgProcA;
        wc.cbWndExtra = DLGWINDOWEXTRA;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        ::RegisterClassA(&wc);
    }
    const size_t nOpen = OpenWindows().size();
    CFindWindow* pWindow = new CFindWindow(folder.empty() ? FirstFixedDrive() : folder);
    if (!pWindow->Create(IDD_FIND, nullptr)) {
        // Never made, or made and gone again: only an object without a window is left to free.
        if (!pWindow->m_hWnd) delete pWindow;
        return nullptr;
    }
    // Over the main window, each further one a step down and right.
    CWnd* pMain = AfxGetMainWnd();
    RECT rcMain = {0, 0, 0, 0}, rc;
    pWindow->GetWindowRect(&rc);
    if (pMain && pMain->m_hWnd && !pMain->IsIconic()) {
        pMain->GetWindowRect(&rcMain);
    } else {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcMain, 0);
    }
    const int step = kCascadeStep * static_cast<int>(nOpen % 8);
    const int x = rcMain.left + ((rcMain.right - rcMain.left) - (rc.right - rc.left)) / 2 + step;
    const int y = rcMain.top + ((rcMain.bottom - rcMain.top) - (rc.bottom - rc.top)) / 3 + step;
    ::SetWindowPos(pWindow->m_hWnd, nullptr, x > 0 ? x : 0, y > 0 ? y : 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    pWindow->ShowWindow(SW_SHOW);
    ::SetForegroundWindow(pWindow->m_hWnd);
    return pWindow;
}

std::wstring CFindWindow::ActiveBrowserFolder(CWnd* pMainWnd)
{
    CMDIFrameWnd* pMain = dynamic_cast<CMDIFrameWnd*>(pMainWnd);
    CMDIChildWnd* pChild = pMain ? pMain->MDIGetActive() : nullptr;
    CView* pView = pChild ? pChild->GetActiveView() : nullptr;
    if (!pView) return std::wstring();
    // "folder,left,top,right,bottom,state": the folder is all before the placement's five fields.
    char text[MAX_PATH + 64] = "";
    const LRESULT n = pView->SendMessage(WM_GETBROWSERWINDOWSTRING, reinterpret_cast<WPARAM>(text), sizeof(text));
    if (n <= 0 || n >= static_cast<LRESULT>(sizeof(text))) return std::wstring();
    std::string s(text, static_cast<size_t>(n));
    for (int i = 0; i < 5; i++) {
        const size_t comma = s.rfind(',');
        if (comma == std::string::npos) break;
        s.resize(comma);
    }
    // The browser's text carries a folder outside the code page in its short form.
    const std::wstring folder = LongPathOf(s.c_str());
    const DWORD dwAttributes = ::GetFileAttributesW(folder.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) return std::wstring();
    return folder;
}

std::vector<CFindWindow*> CFindWindow::OpenWindows()
{
    std::vector<CFindWindow*> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectFindWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void CFindWindow::CloseAll()
{
    for (CFindWindow* p : OpenWindows()) p->DestroyWindow();
}

BOOL CFindWindow::OnInitDialog()
{
    CDialog::OnInitDialog();
    ::CheckDlgButton(m_hWnd, IDC_FIND_SUBFOLDERS, BST_CHECKED);
    FillLookIn();
    m_hwndStatus = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                     m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_FIND_STATUS)),
                                     AfxGetInstanceHandle(), nullptr);
    SetUpList();
    RecordLayout();
    RECT rcClient;
    GetClientRect(&rcClient);
    Layout(rcClient.right, rcClient.bottom);
    UpdateStatus();
    ::SetFocus(::GetDlgItem(m_hWnd, IDC_FIND_NAME));
    return FALSE;  // the focus is set
}

void CFindWindow::FillLookIn()
{
    HWND hCombo = ::GetDlgItem(m_hWnd, IDC_FIND_LOOKIN);
    wchar_t drives[512] = L"";
    const DWORD n = ::GetLogicalDriveStringsW(_countof(drives) - 1, drives);
    bool bStartListed = false;
    for (const wchar_t* p = drives; n && n < _countof(drives) && *p; p += ::wcslen(p) + 1) {
        ::SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p));
        bStartListed = bStartListed || ::lstrcmpiW(p, m_strStartFolder.c_str()) == 0;
    }
    if (!bStartListed) ::SendMessageW(hCombo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(m_strStartFolder.c_str()));
    ::SetWindowTextW(hCombo, m_strStartFolder.c_str());
}

void CFindWindow::RecordLayout()
{
    RECT rcClient;
    GetClientRect(&rcClient);
    m_sizeFirst = {rcClient.right, rcClient.bottom};
    RECT rcStatus = {0, 0, 0, 0};
    if (m_hwndStatus) {
        ::SendMessageA(m_hwndStatus, WM_SIZE, 0, 0);
        ::GetWindowRect(m_hwndStatus, &rcStatus);
    }
    for (const ControlAnchor& a : kAnchors) {
        HWND hControl = ::GetDlgItem(m_hWnd, a.nID);
        if (!hControl) continue;
        RECT rc;
        ::GetWindowRect(hControl, &rc);
        ScreenToClient(&rc);
        // The list ends where the status line begins, a dialog margin above it.
        if (a.nID == IDC_FIND_RESULTS) {
            RECT rcMargin = {0, 0, 0, 4};
            ::MapDialogRect(m_hWnd, &rcMargin);
            rc.bottom = rcClient.bottom - (rcStatus.bottom - rcStatus.top) - rcMargin.bottom;
            ::MoveWindow(hControl, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, FALSE);
        }
        m_anchors.push_back({hControl, rc, a.nFlags});
    }
    RECT rcWindow;
    GetWindowRect(&rcWindow);
    // Narrower than its template the window would hide its boxes; lower, its list.
    m_sizeMin = {(rcWindow.right - rcWindow.left) * 3 / 4, (rcWindow.bottom - rcWindow.top) * 3 / 4};
}

void CFindWindow::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED) Layout(cx, cy);
}

void CFindWindow::Layout(int cx, int cy)
{
    if (m_hwndStatus) {
        ::SendMessageA(m_hwndStatus, WM_SIZE, 0, 0);
        // The count keeps its width; the sentence takes the rest.
        RECT rcCount = {0, 0, 110, 0};
        ::MapDialogRect(m_hWnd, &rcCount);
        int parts[2] = {rcCount.right, -1};
        ::SendMessageA(m_hwndStatus, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    }
    if (m_anchors.empty()) return;
    const int dx = cx - m_sizeFirst.cx, dy = cy - m_sizeFirst.cy;
    HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(m_anchors.size()));
    for (const Anchor& a : m_anchors) {
        RECT rc = a.rect;
        if (a.nFlags & kMoveRight) ::OffsetRect(&rc, dx, 0);
        if (a.nFlags & kStretchRight) rc.right += dx;
        if (a.nFlags & kStretchDown) rc.bottom += dy;
        if (hdwp) {
            hdwp = ::DeferWindowPos(hdwp, a.hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                                    SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (hdwp) ::EndDeferWindowPos(hdwp);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

LRESULT CFindWindow::OnGetMinMaxInfo(WPARAM, LPARAM lParam)
{
    MINMAXINFO* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
    if (pInfo && m_sizeMin.cx > 0) {
        pInfo->ptMinTrackSize.x = m_sizeMin.cx;
        pInfo->ptMinTrackSize.y = m_sizeMin.cy;
    }
    return 0;
}

std::wstring CFindWindow::ControlText(int nID) const
{
    HWND hControl = ::GetDlgItem(m_hWnd, nID);
    const int n = hControl ? ::GetWindowTextLengthW(hControl) : 0;
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    if (n > 0) ::GetWindowTextW(hControl, &text[0], n + 1);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

void CFindWindow::OnOK()
{
    // Enter: in the list it opens the items; anywhere else it starts the search.
    if (::GetFocus() == List()) {
        OnOpenItems();
    } else if (!IsSearching()) {
        OnFindNow();
    }
}

void CFindWindow::OnCancel()
{
    // Escape stops a search first; the next one closes the window.
    if (IsSearching()) {
        OnStop();
    } else {
        DestroyWindow();
    }
}

void CFindWindow::OnClose()
{
    DestroyWindow();
}

void CFindWindow::OnDestroy()
{
    ::KillTimer(m_hWnd, kStatusTimer);
    if (m_pSearch) m_pSearch->Stop();
    m_pSearch.reset();
    CDialog::OnDestroy();
}

void CFindWindow::OnFindNow()
{
    CFindInput input;
    input.names = ControlText(IDC_FIND_NAME);
    input.text = ControlText(IDC_FIND_TEXT);
    input.folder = ControlText(IDC_FIND_LOOKIN);
    input.days = ControlText(IDC_FIND_DAYS);
    input.minKB = ControlText(IDC_FIND_MINSIZE);
    input.maxKB = ControlText(IDC_FIND_MAXSIZE);
    input.bSubFolders = ::IsDlgButtonChecked(m_hWnd, IDC_FIND_SUBFOLDERS) == BST_CHECKED;
    input.bLargeFiles = ::IsDlgButtonChecked(m_hWnd, IDC_FIND_LARGE) == BST_CHECKED;
    FILETIME ftNow;
    ::GetSystemTimeAsFileTime(&ftNow);
    CFindCriteria criteria;
    CString strError;
    int nBad = 0;
    if (!ReadFindInput(input, ftNow, criteria, strError, &nBad)) {
        MessageBox(strError, nullptr, MB_OK | MB_ICONEXCLAMATION);
        if (HWND hBad = ::GetDlgItem(m_hWnd, nBad)) {
            ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hBad), TRUE);
        }
        return;
    }

    if (m_pSearch) m_pSearch->Stop();
    m_rows.clear();
    m_order.clear();
    ListView_SetItemCountEx(List(), 0, 0);
    m_strSearchFolder = criteria.folder;
    m_summary = CFindSummary();
    m_bStopped = false;
    m_bEnded = false;
    CString title;
    const std::wstring names = input.names.find_first_not_of(L" \t;") == std::wstring::npos ? std::wstring() : input.names;
    if (names.empty()) {
        title.LoadString(IDS_FIND_TITLE_ALL);
    } else {
        CString format;
        format.LoadString(IDS_FIND_TITLE_NAMED);
        title.Format(format, AnsiText(names).GetString());
    }
    SetWindowText(title);
    m_pSearch = CSearchThread::Start(std::move(criteria), m_hWnd, WM_FINDITEMS, ++m_nSearch);
    ShowSearching(true);
}

void CFindWindow::OnStop()
{
    if (!m_pSearch) return;
    // What has been found so far stays; nothing more comes.
    std::vector<CFoundItem> items;
    CFindSummary summary;
    m_pSearch->TakeFound(items, summary);
    m_pSearch->Stop();
    m_pSearch.reset();
    AddFound(items);
    m_bStopped = true;
    EndSearch(nullptr);
}

void CFindWindow::OnNewSearch()
{
    OnStop();
    for (int nID : {IDC_FIND_NAME, IDC_FIND_TEXT, IDC_FIND_DAYS, IDC_FIND_MINSIZE, IDC_FIND_MAXSIZE}) {
        ::SetDlgItemTextA(m_hWnd, nID, "");
    }
    ::CheckDlgButton(m_hWnd, IDC_FIND_SUBFOLDERS, BST_CHECKED);
    ::CheckDlgButton(m_hWnd, IDC_FIND_LARGE, BST_UNCHECKED);
    m_rows.clear();
    m_order.clear();
    ListView_SetItemCountEx(List(), 0, 0);
    m_bEnded = false;
    m_bStopped = false;
    CString title;
    title.LoadString(IDS_FIND_TITLE_ALL);
    SetWindowText(title);
    UpdateStatus();
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(m_hWnd, IDC_FIND_NAME)), TRUE);
}

void CFindWindow::OnBrowse()
{
    BROWSEINFOW info = {};
    info.hwndOwner = m_hWnd;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    LPITEMIDLIST pidl = ::SHBrowseForFolderW(&info);
    if (!pidl) return;
    wchar_t path[MAX_PATH] = L"";
    if (::SHGetPathFromIDListW(pidl, path)) ::SetDlgItemTextW(m_hWnd, IDC_FIND_LOOKIN, path);
    ::CoTaskMemFree(pidl);
}

void CFindWindow::ShowSearching(bool bSearching)
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), !bSearching);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_FIND_STOP), bSearching);
    // The default button follows: a disabled one would swallow Enter.
    ::SendMessageA(m_hWnd, DM_SETDEFID, bSearching ? IDC_FIND_STOP : IDOK, 0);
    // A disabled button must not keep the focus.
    HWND hFocus = ::GetFocus();
    if (hFocus && !::IsWindowEnabled(hFocus)) {
        ::SendMessageA(m_hWnd, WM_NEXTDLGCTL,
                       reinterpret_cast<WPARAM>(::GetDlgItem(m_hWnd, bSearching ? IDC_FIND_STOP : IDOK)), TRUE);
    }
    if (bSearching) {
        ::SetTimer(m_hWnd, kStatusTimer, kStatusMilliseconds, nullptr);
    } else {
        ::KillTimer(m_hWnd, kStatusTimer);
    }
    UpdateStatus();
}

LRESULT CFindWindow::OnTimerMessage(WPARAM wParam, LPARAM)
{
    if (wParam == kStatusTimer) UpdateStatus();
    return 0;
}

LRESULT CFindWindow::OnFoundItems(WPARAM wParam, LPARAM)
{
    if (!m_pSearch || wParam != m_nSearch) return 0;  // from a search that was stopped
    std::vector<CFoundItem> items;
    CFindSummary summary;
    const bool bEnded = m_pSearch->TakeFound(items, summary);
    AddFound(items);
    if (bEnded) {
        m_pSearch.reset();
        EndSearch(&summary);
    }
    return 0;
}

void CFindWindow::EndSearch(const CFindSummary* pSummary)
{
    if (pSummary) m_summary = *pSummary;
    m_bEnded = true;
    ShowSearching(false);
    const CString strRoot = pSummary ? DescribeRootFailure(*pSummary, m_strSearchFolder) : CString();
    if (!strRoot.IsEmpty()) MessageBox(strRoot, nullptr, MB_OK | MB_ICONEXCLAMATION);
}

void CFindWindow::UpdateStatus()
{
    if (!m_hwndStatus) return;
    CString count = CountText(IDS_FIND_FOUND_ONE, IDS_FIND_FOUND_MANY, static_cast<unsigned long>(m_order.size()));
    CString sentence;
    if (m_pSearch) {
        CString format;
        format.LoadString(IDS_FIND_SEARCHING);
        sentence.Format(format, AnsiText(m_pSearch->CurrentFolder()).GetString());
    } else if (m_bEnded) {
        const CString strRoot = DescribeRootFailure(m_summary, m_strSearchFolder);
        if (!strRoot.IsEmpty()) {
            sentence = strRoot;
        } else {
            sentence.LoadString(m_bStopped ? IDS_FIND_STOPPED : IDS_FIND_DONE);
            // What could not be looked at is said, however the search ended.
            const struct {
                unsigned long n;
                UINT nIDOne, nIDMany;
            } counts[] = {
                {m_summary.nUnreadableFolders, IDS_FIND_UNREADABLE_FOLDER, IDS_FIND_UNREADABLE_FOLDERS},
                {m_summary.nUnreadableFiles, IDS_FIND_UNREADABLE_FILE, IDS_FIND_UNREADABLE_FILES},
                {m_summary.nLargeFilesSkipped, IDS_FIND_LARGE_SKIPPED_ONE, IDS_FIND_LARGE_SKIPPED_MANY},
            };
            for (const auto& c : counts) {
                if (c.n) sentence += " " + CountText(c.nIDOne, c.nIDMany, c.n);
            }
        }
    }
    if (!m_pSearch && !m_bEnded) count.Empty();
    ::SendMessageA(m_hwndStatus, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(count.GetString()));
    ::SendMessageA(m_hwndStatus, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(sentence.GetString()));
}
