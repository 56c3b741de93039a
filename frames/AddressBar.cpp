#include "frames/AddressBar.h"

#include <commctrl.h>

#include "framework/AfxRes.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "shell/AnsiNames.h"

IMPLEMENT_DYNAMIC(CAddressBar, CControlBar)

BEGIN_MESSAGE_MAP(CAddressBar, CControlBar)
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {

const int kGap = 4;

HFONT BarFont()
{
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// The box's height and the width of a text, in the bar's font.
int EditHeight(HWND hWnd, const char* pszText = "", int* pcxText = nullptr)
{
    HDC hdc = ::GetDC(hWnd);
    HGDIOBJ old = SelectObject(hdc, BarFont());
    TEXTMETRICA tm = {};
    GetTextMetricsA(hdc, &tm);
    SIZE size = {};
    if (pcxText) GetTextExtentPoint32A(hdc, pszText, lstrlenA(pszText), &size);
    SelectObject(hdc, old);
    ::ReleaseDC(hWnd, hdc);
    if (pcxText) *pcxText = size.cx;
    return tm.tmHeight + 8;
}

}  // namespace

// ---- Sentences ----------------------------------------------------------------------------

std::wstring QuotableName(const std::wstring& name)
{
    const size_t kMax = 120;
    std::wstring text;
    for (size_t i = 0; i < name.size() && i < kMax; i++) {
        const wchar_t c = name[i];
        text += (c < 0x20 || c == 0x7F) ? L'?' : c;
    }
    if (name.size() > kMax) text += L"...";
    return text;
}

std::wstring QuotableName(const std::string& name)
{
    // A short form (of a name the code page lacks) is shown by its real names.
    return QuotableName(LongPathOf(name.c_str()));
}

void SayAddressSentence(UINT nIDFormat, const std::wstring& name, const std::wstring& other)
{
    CString strFormat;
    strFormat.LoadString(nIDFormat);
    std::wstring text = WideOf(strFormat);
    // Each %s takes the next name in turn; what a name holds is never read as a format.
    size_t from = 0;
    for (const std::wstring* pName : {&name, &other}) {
        const size_t at = text.find(L"%s", from);
        if (at == std::wstring::npos) break;
        text.replace(at, 2, *pName);
        from = at + pName->size();
    }
    AfxMessageBoxW(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void SayAddressSentence(UINT nIDFormat, const CString& strName, const CString& strOther)
{
    SayAddressSentence(nIDFormat, WideOf(strName), WideOf(strOther));
}

BOOL SayAddressProblem(const AddressTarget& t)
{
    switch (t.problem) {
    case AddressTarget::None:
        break;
    case AddressTarget::Empty:
        SayAddressSentence(IDS_ADDRESS_EMPTY, CString());
        return TRUE;
    case AddressTarget::TooLong: {
        CString strLength;
        strLength.Format("%lu", static_cast<unsigned long>(t.length));
        SayAddressSentence(IDS_ADDRESS_TOO_LONG, strLength);
        return TRUE;
    }
    case AddressTarget::ControlCharacter:
        SayAddressSentence(IDS_ADDRESS_CONTROL_CHARACTER, QuotableName(t.text));
        return TRUE;
    case AddressTarget::NotFullPath:
        SayAddressSentence(IDS_ADDRESS_NOT_FULL_PATH, QuotableName(t.text));
        return TRUE;
    case AddressTarget::NoSuchDrive:
        SayAddressSentence(IDS_ADDRESS_NO_DRIVE, QuotableName(t.folder), QuotableName(t.text));
        return TRUE;
    case AddressTarget::NotFound:
        SayAddressSentence(IDS_ADDRESS_NOT_FOUND, QuotableName(t.text));
        return TRUE;
    }
    return FALSE;
}

// ---- CNavButtons ------------------------------------------------------------------------

BOOL CNavButtons::Create(CWnd* pBar, CFrameWnd* pFrame)
{
    if (!CToolBar::Create(pBar, WS_CHILD | WS_VISIBLE | CBRS_TOOLTIPS | CBRS_FLYBY, AFX_IDW_TOOLBAR + 0x10))
        return FALSE;
    // Flat, with the labels beside the pictures.
    ModifyStyle(0, TBSTYLE_FLAT | TBSTYLE_LIST);
    // The frame is where the buttons' commands, states and prompts come from, although the
    // bar it lays out is the address bar.
    m_pDockSite = pFrame;
    m_dwStyle |= CBRS_TOOLTIPS | CBRS_FLYBY;
    SendMessage(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    // The system's own pictures of Back and Forward.
    SendMessage(TB_LOADIMAGES, IDB_HIST_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    static const char* const kLabels[] = {"Back", "Forward"};
    TBBUTTON buttons[2] = {};
    const int images[2] = {HIST_BACK, HIST_FORWARD};
    const int ids[2] = {ID_GO_BACK, ID_GO_FORWARD};
    for (int i = 0; i < 2; i++) {
        buttons[i].iBitmap = images[i];
        buttons[i].idCommand = ids[i];
        buttons[i].fsState = 0;  // enabled by the frame at idle time
        buttons[i].fsStyle = BTNS_DROPDOWN | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
        buttons[i].iString = reinterpret_cast<INT_PTR>(kLabels[i]);
    }
    SendMessage(TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));
    SendMessage(TB_AUTOSIZE, 0, 0);
    return TRUE;
}

// ---- CAddressBar ------------------------------------------------------------------------

CAddressBar::~CAddressBar()
{
    if (m_hWnd) DestroyWindow();
}

BOOL CAddressBar::Create(CFrameWnd* pFrame, UINT nID)
{
    m_dwStyle = CBRS_TOP;
    LPCSTR cls = RegisterWndClass("Folvane:AddressBar", 0, LoadCursor(nullptr, IDC_ARROW),
                                  reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    if (!CreateEx(0, cls, "Address", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 100, 30,
                  pFrame->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID))))
        return FALSE;
    if (!m_wndButtons.Create(this, pFrame)) return FALSE;
    CString label;
    label.LoadString(IDS_ADDRESS_LABEL);
    m_hwndLabel = CreateWindowExA(0, "Static", label, WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE, 0, 0, 0, 0, m_hWnd,
                                  nullptr, AfxGetInstanceHandle(), nullptr);
    // A wide box: it shows a folder's real name where the program's own text carries a short form.
    m_hwndEdit = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                 0, 0, 0, 0, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_ADDRESS_EDIT)),
                                 AfxGetInstanceHandle(), nullptr);
    if (!m_hwndLabel || !m_hwndEdit) return FALSE;
    ::SendMessageA(m_hwndLabel, WM_SETFONT, reinterpret_cast<WPARAM>(BarFont()), FALSE);
    ::SendMessageA(m_hwndEdit, WM_SETFONT, reinterpret_cast<WPARAM>(BarFont()), FALSE);
    m_pDockSite = pFrame;
    pFrame->AddControlBar(this);
    return TRUE;
}

SIZE CAddressBar::CalcFixedLayout(BOOL, BOOL)
{
    RECT rc = {};
    m_wndButtons.SendMessage(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc));
    int cy = rc.bottom - rc.top;
    const int cyEdit = EditHeight(m_hWnd);
    if (cyEdit > cy) cy = cyEdit;
    SIZE size = {32767, cy + 2 * kGap};
    return size;
}

void CAddressBar::OnSize(UINT, int cx, int cy)
{
    Default();
    if (!m_hwndEdit) return;
    RECT rcLast = {};
    const int nButtons = m_wndButtons.GetCount();
    if (nButtons > 0) m_wndButtons.SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nButtons - 1),
                                               reinterpret_cast<LPARAM>(&rcLast));
    const int cxButtons = rcLast.right;
    const int cyButtons = rcLast.bottom - rcLast.top;
    m_wndButtons.MoveWindow(kGap, (cy - cyButtons) / 2, cxButtons, cyButtons);
    // The label as wide as its text.
    char label[64] = "";
    ::GetWindowTextA(m_hwndLabel, label, sizeof(label));
    int cxLabel = 0;
    const int cyEdit = EditHeight(m_hWnd, label, &cxLabel);
    const int xLabel = kGap + cxButtons + 2 * kGap;
    ::MoveWindow(m_hwndLabel, xLabel, kGap, cxLabel, cy - 2 * kGap, TRUE);
    const int xEdit = xLabel + cxLabel + kGap;
    ::MoveWindow(m_hwndEdit, xEdit, (cy - cyEdit) / 2, cx - xEdit - kGap > 0 ? cx - xEdit - kGap : 0, cyEdit, TRUE);
}

void CAddressBar::FollowToolBar(BOOL bToolBarVisible)
{
    if (!m_hWnd || IsBarVisible() == bToolBarVisible) return;
    // The focus does not stay in a box that goes.
    if (!bToolBarVisible && ::GetFocus() == m_hwndEdit) FocusActiveView();
    ShowBar(bToolBarVisible);
}

CView* CAddressBar::ActiveView() const
{
    CFrameWnd* pActive = m_pDockSite ? m_pDockSite->GetActiveFrame() : nullptr;
    return pActive && pActive != m_pDockSite ? pActive->GetActiveView() : nullptr;
}

CAddressTarget* CAddressBar::ActiveTarget() const
{
    return dynamic_cast<CAddressTarget*>(ActiveView());
}

void CAddressBar::FocusActiveView()
{
    if (CView* pView = ActiveView()) ::SetFocus(pView->m_hWnd);
    else if (m_pDockSite) ::SetFocus(m_pDockSite->m_hWnd);
}

void CAddressBar::FocusAddress()
{
    if (!m_hwndEdit) return;
    ::SetFocus(m_hwndEdit);
    ::SendMessageA(m_hwndEdit, EM_SETSEL, 0, -1);
}

std::wstring CAddressBar::GetWideText() const
{
    const int n = ::GetWindowTextLengthW(m_hwndEdit);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(m_hwndEdit, &text[0], n + 1)));
    return text;
}

CString CAddressBar::GetText() const
{
    // A name the code page lacks travels in its short form, as the program's paths do.
    return CString(AnsiPathFor(GetWideText()).c_str());
}

void CAddressBar::SetText(const CString& text)
{
    ::SetWindowTextW(m_hwndEdit, LongPathOf(text).c_str());
}

void CAddressBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    if (!m_hwndEdit) return;
    CAddressTarget* pTarget = ActiveTarget();
    const CString text = pTarget ? pTarget->GetAddressText() : CString();
    // Another folder on show (a navigation, another window active) replaces what was typed;
    // text typed and left without Enter gives way to the folder's once the box loses the focus.
    if (text != m_strShown || (::GetFocus() != m_hwndEdit && GetText() != text)) {
        m_strShown = text;
        SetText(text);
    }
}

void CAddressBar::Go()
{
    // A name the code page lacks that names nothing on disk has no short form to travel in,
    // and its nearest 8-bit letters could name another folder ("Lódz" for "Łódź").
    const std::wstring typed = GetWideText();
    if (!FitsCodePage(typed) && GetText().str() == AnsiOf(typed)) {
        SayAddressSentence(IDS_ADDRESS_NOT_FOUND, QuotableName(typed));
        FocusAddress();
        return;
    }
    CAddressTarget* pTarget = ActiveTarget();
    if (!pTarget) {
        // No window to show it in: a window opens on it.
        const AddressTarget t = ResolveAddress(GetText().str(), std::string());
        if (SayAddressProblem(t)) {
            FocusAddress();
            return;
        }
        if (CWinApp* pApp = AfxGetApp()) pApp->OpenDocumentFile(t.folder.c_str());
        pTarget = ActiveTarget();
        if (!pTarget) {
            SayAddressSentence(IDS_ADDRESS_CANNOT_SHOW, QuotableName(t.folder));
            FocusAddress();
            return;
        }
    }
    if (pTarget->BrowseToAddress(GetText())) {
        // Gone there: the box names the folder now on show, and the window has the focus.
        pTarget = ActiveTarget();
        m_strShown = pTarget ? pTarget->GetAddressText() : CString();
        SetText(m_strShown);
        FocusActiveView();
    } else if (::IsWindow(m_hwndEdit)) {
        FocusAddress();
    }
}

void CAddressBar::Cancel()
{
    CAddressTarget* pTarget = ActiveTarget();
    m_strShown = pTarget ? pTarget->GetAddressText() : CString();
    SetText(m_strShown);
    FocusActiveView();
}

BOOL CAddressBar::PreTranslateMessage(MSG* pMsg)
{
    // The box's keys are its own: Enter goes, Escape gives up, and the edit keys (Ctrl+C,
    // Ctrl+V, Shift+Insert...) edit the text instead of reaching the frame's accelerators.
    // Keys with Alt (Alt+Left, Alt+D) still do what they do everywhere.
    if (pMsg->hwnd != m_hwndEdit) return FALSE;
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
        Go();
        return TRUE;
    }
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
        Cancel();
        return TRUE;
    }
    if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP || pMsg->message == WM_CHAR) {
        // Enter's and Escape's characters would only make the edit beep.
        if (pMsg->message == WM_CHAR && (pMsg->wParam == '\r' || pMsg->wParam == 27)) return TRUE;
        ::TranslateMessage(pMsg);
        ::DispatchMessageW(pMsg);
        return TRUE;
    }
    return FALSE;
}

BOOL CAddressBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // The buttons' commands are the frame's; the edit's notifications stay here.
    if (m_pDockSite && reinterpret_cast<HWND>(lParam) == m_wndButtons.m_hWnd) {
        m_pDockSite->SendMessage(WM_COMMAND, LOWORD(wParam), 0);
        return TRUE;
    }
    return CControlBar::OnCommand(wParam, lParam);
}

BOOL CAddressBar::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR->code == TBN_DROPDOWN && pNMHDR->hwndFrom == m_wndButtons.m_hWnd) {
        const NMTOOLBARA* pNMTB = reinterpret_cast<const NMTOOLBARA*>(pNMHDR);
        RECT rc = {};
        m_wndButtons.SendMessage(TB_GETRECT, static_cast<WPARAM>(pNMTB->iItem), reinterpret_cast<LPARAM>(&rc));
        POINT pt = {rc.left, rc.bottom};
        ::ClientToScreen(m_wndButtons.m_hWnd, &pt);
        ShowHistoryMenu(pNMTB->iItem == ID_GO_FORWARD, pt);
        *pResult = TBDDRET_DEFAULT;
        return TRUE;
    }
    // Tooltips of the buttons are the frame's, from their commands' strings.
    if ((pNMHDR->code == TTN_NEEDTEXTA || pNMHDR->code == TTN_NEEDTEXTW) && m_pDockSite) {
        *pResult = m_pDockSite->SendMessage(WM_NOTIFY, wParam, lParam);
        return TRUE;
    }
    return CControlBar::OnNotify(wParam, lParam, pResult);
}

HMENU CAddressBar::MakeHistoryMenu(const std::vector<std::wstring>& titles)
{
    HMENU hMenu = CreatePopupMenu();
    UINT n = 1;
    for (const std::wstring& title : titles) {
        // An ampersand in a name is a letter, not a mnemonic.
        std::wstring text;
        for (wchar_t ch : title) {
            if (ch == L'&') text += L'&';
            text += ch;
        }
        AppendMenuW(hMenu, MF_STRING, n++, text.c_str());
    }
    return hMenu;
}

void CAddressBar::ShowHistoryMenu(BOOL bForward, POINT pt)
{
    CAddressTarget* pTarget = ActiveTarget();
    if (!pTarget) return;
    const std::vector<std::wstring> titles = pTarget->GetHistoryTitles(bForward);
    if (titles.empty()) return;
    HMENU hMenu = MakeHistoryMenu(titles);
    const int nSteps = static_cast<int>(TrackPopupMenu(hMenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD |
                                                                  TPM_NONOTIFY | TPM_LEFTBUTTON,
                                                       pt.x, pt.y, 0, m_hWnd, nullptr));
    DestroyMenu(hMenu);
    // The window may have gone while the menu was open.
    pTarget = ActiveTarget();
    if (nSteps > 0 && pTarget) pTarget->GoThroughHistory(bForward, nSteps);
}

UINT CAddressBar::CommandForAppCommand(LPARAM lParam)
{
    switch (GET_APPCOMMAND_LPARAM(lParam)) {
    case APPCOMMAND_BROWSER_BACKWARD: return ID_GO_BACK;
    case APPCOMMAND_BROWSER_FORWARD: return ID_GO_FORWARD;
    default: return 0;
    }
}

UINT CAddressBar::CommandForMessage(const MSG& msg)
{
    if (msg.message != WM_XBUTTONUP && msg.message != WM_NCXBUTTONUP) return 0;
    switch (GET_XBUTTON_WPARAM(msg.wParam)) {
    case XBUTTON1: return ID_GO_BACK;
    case XBUTTON2: return ID_GO_FORWARD;
    default: return 0;
    }
}
