#include "shell/TransferProgress.h"

#include <commctrl.h>

#include <atomic>
#include <mutex>

#include "shell/Paths.h"

const wchar_t kTransferProgressClass[] = L"FolvaneTransferProgress";

namespace {

const UINT kAskMessage = WM_APP + 0x51;  // a question from the operation's thread
const UINT_PTR kUpdateTimer = 1;
const UINT kUpdateEvery = 100;  // ms
const DWORD kShowAfter = 500;   // ms of work before the window shows
const int kIdName = 101, kIdBar = 102, kIdCounts = 103, kIdTimeLeft = 104;
const int kBarRange = 1000;
// For the estimate, the cost of one file counts as much as this many bytes copied.
const ULONGLONG kFileCost = 64 * 1024;

// ---- The questions: a dialog made in memory (no resource of the program's needed) ----------

class CDialogTemplate {
public:
    CDialogTemplate(const wchar_t* pszCaption, short cx, short cy)
    {
        Dword(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
        Dword(0);
        m_nCountAt = m_words.size();
        Word(0);
        for (short v : {short(0), short(0), cx, cy}) Word(static_cast<WORD>(v));
        Word(0);  // no menu
        Word(0);  // the dialog class
        String(pszCaption);
        Word(8);
        String(L"MS Shell Dlg");
    }
    void Add(WORD wClassAtom, const wchar_t* pszText, DWORD dwStyle, short x, short y, short cx, short cy, int id)
    {
        if (m_words.size() % 2) Word(0);  // each item starts on a DWORD
        Dword(dwStyle | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (short v : {x, y, cx, cy}) Word(static_cast<WORD>(v));
        Word(static_cast<WORD>(id));
        Word(0xFFFF);
        Word(wClassAtom);
        String(pszText);
        Word(0);
        m_words[m_nCountAt]++;
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void Word(WORD w) { m_words.push_back(w); }
    void Dword(DWORD dw)
    {
        Word(LOWORD(dw));
        Word(HIWORD(dw));
    }
    void String(const wchar_t* psz)
    {
        while (*psz) Word(static_cast<WORD>(*psz++));
        Word(0);
    }
    std::vector<WORD> m_words;
    size_t m_nCountAt = 0;
};

const WORD kButtonAtom = 0x0080, kStaticAtom = 0x0082;

INT_PTR CALLBACK QuestionProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        if (id == IDYES || id == IDNO || id == IDCANCEL || id == kIdYesToAll) {
            ::EndDialog(hDlg, id);
            return TRUE;
        }
    }
    return FALSE;
}

// The lines the text takes in a box of the question's width, roughly.
short LinesOf(const std::wstring& text)
{
    const size_t kPerLine = 60;
    short n = 0;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L'\n', start);
        const size_t len = (end == std::wstring::npos ? text.size() : end) - start;
        n = static_cast<short>(n + 1 + len / kPerLine);
        if (end == std::wstring::npos) return n;
        start = end + 1;
    }
}

std::wstring FormatBytes(ULONGLONG bytes)
{
    if (bytes < 1024) return std::to_wstring(bytes) + (bytes == 1 ? L" byte" : L" bytes");
    static const wchar_t* const kUnits[] = {L"KB", L"MB", L"GB", L"TB"};
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        unit++;
    }
    wchar_t text[32];
    swprintf(text, 32, value < 10 ? L"%.1f %ls" : L"%.0f %ls", value, kUnits[unit]);
    return text;
}

// "1.2 KB, modified 03/02/2001 04:05", or nothing when the file cannot be read.
std::wstring DescribeFile(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::wstring();
    std::wstring text = FormatBytes((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    FILETIME local;
    SYSTEMTIME st;
    wchar_t date[64] = L"", time[64] = L"";
    if (::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) && ::FileTimeToSystemTime(&local, &st) &&
        ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 64) &&
        ::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, time, 64)) {
        text += L", modified " + std::wstring(date) + L" " + time;
    }
    return text;
}

std::wstring Quoted(const std::wstring& path)
{
    const std::wstring name = NameOf(path);
    return L"'" + (name.empty() ? path : name) + L"'";
}

// ---- The operation's run -------------------------------------------------------------------

class CTransferRunner final : public ITransferCallbacks {
public:
    CTransferRunner(TransferKind kind, const std::vector<TransferItem>& items, Recycler recycler)
        : m_kind(kind), m_items(items), m_engine(kind, *this, std::move(recycler))
    {
    }

    TransferResult Run(HWND hwndOwner);

    Answer AskMergeFolder(const std::wstring& existing, const std::wstring&) override
    {
        return Ask(L"Confirm Folder Replace",
                   L"This folder already contains a folder named " + Quoted(existing) +
                       L".\n\nIf files in the existing folder have the same names as files in the folder you are "
                       L"moving or copying, you will be asked about each of them. Do you want to move or copy the "
                       L"folder into the existing one?",
                   true);
    }
    Answer AskReplaceFile(const std::wstring& existing, const std::wstring& incoming) override
    {
        const DWORD dwAttrs = ::GetFileAttributesW(existing.c_str());
        const bool bReadOnly = dwAttrs != INVALID_FILE_ATTRIBUTES && (dwAttrs & FILE_ATTRIBUTE_READONLY);
        return Ask(L"Confirm File Replace",
                   L"This folder already contains a " + std::wstring(bReadOnly ? L"read-only " : L"") +
                       L"file named " + Quoted(existing) + L".\n\nWould you like to replace the existing file\n    " +
                       DescribeFile(existing) + L"\n\nwith this one?\n    " + DescribeFile(incoming),
                   true);
    }
    Answer AskDeleteForGood(const std::wstring& path) override
    {
        return Ask(L"Confirm Delete",
                   Quoted(path) + L" cannot be sent to the trash.\n\nDo you want to delete it permanently?", true);
    }
    void OnProgress(const TransferProgress& progress) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_progress = progress;
    }

private:
    struct Question {
        const wchar_t* pszCaption;
        std::wstring text;
        bool bToAll;
        int nAnswer;
    };

    static DWORD WINAPI Work(void* pRunner);
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // On the operation's thread: the question goes to the window's thread and waits there.
    Answer Ask(const wchar_t* pszCaption, const std::wstring& text, bool bToAll);
    static bool Register();
    void CreateProgressWindow(HWND hwndRoot);
    void Update();
    void OnCancel();
    DWORD ActiveMs() const { return ::GetTickCount() - m_dwStart - m_dwAsking; }

    TransferKind m_kind;
    std::vector<TransferItem> m_items;
    CFileEngine m_engine;
    TransferResult m_result;
    std::mutex m_mutex;
    TransferProgress m_progress;  // as the operation last reported it
    HWND m_hWnd = nullptr;       // the progress window, once it shows
    HWND m_hMessages = nullptr;  // a message-only window: the questions come through it
    HWND m_hwndRoot = nullptr;
    DWORD m_dwStart = 0;
    std::atomic<DWORD> m_dwAsking{0};  // ms spent waiting for the user's answers
};

DWORD WINAPI CTransferRunner::Work(void* pRunner)
{
    CTransferRunner* pThis = static_cast<CTransferRunner*>(pRunner);
    pThis->m_result = pThis->m_engine.Run(pThis->m_items);
    return 0;
}

Answer CTransferRunner::Ask(const wchar_t* pszCaption, const std::wstring& text, bool bToAll)
{
    Question question = {pszCaption, text, bToAll, IDCANCEL};
    const DWORD dwAsked = ::GetTickCount();
    ::SendMessageW(m_hMessages, kAskMessage, 0, reinterpret_cast<LPARAM>(&question));
    m_dwAsking += ::GetTickCount() - dwAsked;
    switch (question.nAnswer) {
    case IDYES: return Answer::Yes;
    case kIdYesToAll: return Answer::YesToAll;
    case IDNO: return Answer::No;
    }
    return Answer::Cancel;
}

bool CTransferRunner::Register()
{
    static bool s_bRegistered = false;
    HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
    if (!s_bRegistered) {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&icc);
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = hInstance;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kTransferProgressClass;
        s_bRegistered = ::RegisterClassExW(&wc) != 0;
    }
    return s_bRegistered;
}

void CTransferRunner::CreateProgressWindow(HWND hwndRoot)
{
    HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
    static const wchar_t* const kCaptions[] = {L"Copying", L"Moving", L"Making Shortcuts", L"Deleting"};
    RECT rc = {0, 0, 380, 136};
    const DWORD dwStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    ::AdjustWindowRectEx(&rc, dwStyle, FALSE, WS_EX_DLGMODALFRAME);
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    RECT rcOver = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (hwndRoot) ::GetWindowRect(hwndRoot, &rcOver);
    m_hWnd = ::CreateWindowExW(WS_EX_DLGMODALFRAME, kTransferProgressClass, kCaptions[static_cast<int>(m_kind)],
                               dwStyle, (rcOver.left + rcOver.right - cx) / 2, (rcOver.top + rcOver.bottom - cy) / 2,
                               cx, cy, hwndRoot, nullptr, hInstance, this);
    if (!m_hWnd) return;
    HFONT hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    struct {
        const wchar_t* pszClass;
        DWORD dwStyle;
        RECT rc;
        int id;
    } const controls[] = {
        {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, {12, 12, 368, 30}, kIdName},
        {PROGRESS_CLASSW, 0, {12, 36, 368, 54}, kIdBar},
        {L"STATIC", SS_LEFT | SS_NOPREFIX, {12, 62, 368, 80}, kIdCounts},
        {L"STATIC", SS_LEFT | SS_NOPREFIX, {12, 82, 368, 100}, kIdTimeLeft},
        {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, {288, 104, 368, 128}, IDCANCEL},
    };
    for (const auto& c : controls) {
        HWND hChild = ::CreateWindowExW(0, c.pszClass, c.id == IDCANCEL ? L"Cancel" : L"", c.dwStyle | WS_CHILD | WS_VISIBLE,
                                        c.rc.left, c.rc.top, c.rc.right - c.rc.left, c.rc.bottom - c.rc.top, m_hWnd,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), hInstance, nullptr);
        ::SendMessageW(hChild, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    }
    ::SendDlgItemMessageW(m_hWnd, kIdBar, PBM_SETRANGE32, 0, kBarRange);
    ::SetTimer(m_hWnd, kUpdateTimer, kUpdateEvery, nullptr);
    Update();
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
}

void CTransferRunner::Update()
{
    TransferProgress progress;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        progress = m_progress;
    }
    const DWORD dwActive = ActiveMs();
    static const wchar_t* const kVerbs[] = {L"Copying ", L"Moving ", L"Linking ", L"Deleting "};
    if (!progress.current.empty()) {
        ::SetDlgItemTextW(m_hWnd, kIdName, (kVerbs[static_cast<int>(m_kind)] + Quoted(progress.current)).c_str());
    }
    const double total = static_cast<double>(progress.bytesTotal + progress.filesTotal * kFileCost);
    const double done = static_cast<double>(progress.bytesDone + progress.filesDone * kFileCost);
    const double fraction = total > 0 ? (done < total ? done / total : 1.0) : 0.0;
    ::SendDlgItemMessageW(m_hWnd, kIdBar, PBM_SETPOS, static_cast<WPARAM>(fraction * kBarRange), 0);
    std::wstring counts = std::to_wstring(progress.filesDone) + L" of " + std::to_wstring(progress.filesTotal) +
                          (progress.filesTotal == 1 ? L" item" : L" items");
    if (progress.bytesTotal) counts += L", " + FormatBytes(progress.bytesDone) + L" of " + FormatBytes(progress.bytesTotal);
    ::SetDlgItemTextW(m_hWnd, kIdCounts, counts.c_str());
    if (m_engine.IsCancelled()) return;
    std::wstring left;
    if (fraction > 0.01 && fraction < 1.0) {
        const double seconds = dwActive / 1000.0 * (1.0 - fraction) / fraction;
        left = seconds < 90 ? L"About " + std::to_wstring(static_cast<int>(seconds) + 1) + L" seconds left"
                            : L"About " + std::to_wstring(static_cast<int>(seconds / 60) + 1) + L" minutes left";
    }
    ::SetDlgItemTextW(m_hWnd, kIdTimeLeft, left.c_str());
}

void CTransferRunner::OnCancel()
{
    m_engine.Cancel();
    ::EnableWindow(::GetDlgItem(m_hWnd, IDCANCEL), FALSE);
    ::SetDlgItemTextW(m_hWnd, kIdTimeLeft, L"Cancelling...");
}

LRESULT CALLBACK CTransferRunner::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    CTransferRunner* pThis = reinterpret_cast<CTransferRunner*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (pThis) {
        switch (message) {
        case WM_TIMER:
            if (wParam == kUpdateTimer) pThis->Update();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) pThis->OnCancel();
            return 0;
        case WM_CLOSE:
            pThis->OnCancel();
            return 0;
        case kAskMessage: {
            Question* pQuestion = reinterpret_cast<Question*>(lParam);
            // Owned by the progress window once it shows, else by the owner's window.
            pQuestion->nAnswer = AskQuestion(pThis->m_hWnd ? pThis->m_hWnd : pThis->m_hwndRoot, pQuestion->pszCaption,
                                             pQuestion->text, pQuestion->bToAll);
            return 0;
        }
        }
    }
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

TransferResult CTransferRunner::Run(HWND hwndOwner)
{
    m_hwndRoot = hwndOwner ? ::GetAncestor(hwndOwner, GA_ROOT) : nullptr;
    // The progress window is made only when it is to show: most operations end before.
    if (Register()) {
        m_hMessages = ::CreateWindowExW(0, kTransferProgressClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        ::GetModuleHandleW(nullptr), this);
    }
    m_dwStart = ::GetTickCount();
    HANDLE hThread = m_hMessages ? ::CreateThread(nullptr, 0, Work, this, 0, nullptr) : nullptr;
    if (!hThread) {
        // No window or no thread: the operation runs here, without progress.
        if (m_hMessages) ::DestroyWindow(m_hMessages);
        m_hMessages = nullptr;
        return m_engine.Run(m_items);
    }
    // Modal to the owner, as the shell's own operation is: its windows paint but take no input.
    HWND hFocus = ::GetFocus();
    const bool bDisabled = m_hwndRoot && ::IsWindowEnabled(m_hwndRoot);
    if (bDisabled) ::EnableWindow(m_hwndRoot, FALSE);
    bool bQuit = false;
    WPARAM nQuitCode = 0;
    for (;;) {
        DWORD dwWait = INFINITE;
        if (!m_hWnd) {
            const DWORD dwActive = ActiveMs();
            if (dwActive >= kShowAfter && !m_engine.IsCancelled()) CreateProgressWindow(m_hwndRoot);
            else if (dwActive < kShowAfter) dwWait = kShowAfter - dwActive;
        }
        if (::MsgWaitForMultipleObjects(1, &hThread, FALSE, dwWait, QS_ALLINPUT) == WAIT_OBJECT_0) break;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // The program is ending: the operation stops, and the loop above hears of it after.
                bQuit = true;
                nQuitCode = msg.wParam;
                m_engine.Cancel();
                continue;
            }
            if (!m_hWnd || !::IsDialogMessageW(m_hWnd, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }
    ::CloseHandle(hThread);
    // The owner first, so that the activation goes back to it when the window goes.
    if (bDisabled) ::EnableWindow(m_hwndRoot, TRUE);
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    ::DestroyWindow(m_hMessages);
    m_hMessages = nullptr;
    if (hFocus && ::IsWindow(hFocus)) ::SetFocus(hFocus);
    if (bQuit) ::PostQuitMessage(static_cast<int>(nQuitCode));
    return m_result;
}

}  // namespace

int AskQuestion(HWND hwndOwner, const wchar_t* pszCaption, const std::wstring& text, bool bToAll)
{
    const short kMargin = 7, kWidth = 260, kButtonWidth = 50, kButtonHeight = 14, kGap = 4;
    const short cyText = static_cast<short>(LinesOf(text) * 9);
    const short cy = static_cast<short>(kMargin + cyText + kMargin + kButtonHeight + kMargin);
    CDialogTemplate tmpl(pszCaption, kWidth, cy);
    tmpl.Add(kStaticAtom, text.c_str(), SS_LEFT | SS_NOPREFIX, kMargin, kMargin, kWidth - 2 * kMargin, cyText, -1);
    struct {
        const wchar_t* pszText;
        int id;
    } buttons[] = {{L"&Yes", IDYES}, {L"Yes to &All", kIdYesToAll}, {L"&No", IDNO}, {L"Cancel", IDCANCEL}};
    short x = kWidth - kMargin;
    for (int i = 3; i >= 0; i--) {
        if (buttons[i].id == kIdYesToAll && !bToAll) continue;
        x = static_cast<short>(x - kButtonWidth);
        tmpl.Add(kButtonAtom, buttons[i].pszText, WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), x,
                 static_cast<short>(cy - kMargin - kButtonHeight), kButtonWidth, kButtonHeight, buttons[i].id);
        x = static_cast<short>(x - kGap);
    }
    const INT_PTR nAnswer = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), tmpl.Get(), hwndOwner, QuestionProc, 0);
    return nAnswer > 0 ? static_cast<int>(nAnswer) : IDCANCEL;
}

TransferResult RunFileOperation(HWND hwndOwner, TransferKind kind, const std::vector<TransferItem>& items,
                                Recycler recycler)
{
    CTransferRunner runner(kind, items, std::move(recycler));
    return runner.Run(hwndOwner);
}
