#include "support/ModalWatcher.h"

#include "support/TopLevelWindows.h"

namespace {

BOOL CALLBACK CollectTexts(HWND hWnd, LPARAM lParam)
{
    SeenBox* out = reinterpret_cast<SeenBox*>(lParam);
    char cls[32] = "";
    GetClassNameA(hWnd, cls, sizeof(cls));
    // The texts of the box; an icon control's "text" is its resource name.
    LONG style = GetWindowLongA(hWnd, GWL_STYLE);
    if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) != SS_ICON) {
        wchar_t text[1024] = L"";
        GetWindowTextW(hWnd, text, 1024);
        if (text[0]) {
            char ansi[1024] = "";
            GetWindowTextA(hWnd, ansi, sizeof(ansi));
            if (!out->text.empty()) out->text += '\n';
            out->text += ansi;
            if (!out->wideText.empty()) out->wideText += L'\n';
            out->wideText += text;
        }
    }
    return TRUE;
}

}  // namespace

ModalWatcher::ModalWatcher(int nButton, DWORD processId)
    : m_nButton(nButton), m_processId(processId ? processId : GetCurrentProcessId()), m_thread([this] { Run(); })
{
}

ModalWatcher::~ModalWatcher()
{
    m_stop = true;
    m_thread.join();
}

void ModalWatcher::Run()
{
    while (!m_stop) {
        for (HWND hBox : TopLevelWindowsOf(m_processId, true, "#32770")) {
            std::lock_guard<std::mutex> lock(m_mutex);
            bool known = false;
            for (HWND h : m_answered) known = known || h == hBox;
            if (known && IsWindow(hBox)) continue;
            SeenBox seen;
            char caption[256] = "";
            GetWindowTextA(hBox, caption, sizeof(caption));
            seen.caption = caption;
            EnumChildWindows(hBox, CollectTexts, reinterpret_cast<LPARAM>(&seen));
            m_seen.push_back(seen);
            m_answered.push_back(hBox);
            PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(m_nButton, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(hBox, m_nButton)));
        }
        Sleep(20);
    }
}

std::vector<SeenBox> ModalWatcher::Seen()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_seen;
}

size_t ModalWatcher::Count()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_seen.size();
}
