#include "support/ModalWatcher.h"

namespace {

struct FindState {
    DWORD pid;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBoxes(HWND hWnd, LPARAM lParam)
{
    FindState* s = reinterpret_cast<FindState*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    char cls[32] = "";
    GetClassNameA(hWnd, cls, sizeof(cls));
    if (pid == s->pid && lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(hWnd)) s->boxes.push_back(hWnd);
    return TRUE;
}

BOOL CALLBACK CollectTexts(HWND hWnd, LPARAM lParam)
{
    std::string* out = reinterpret_cast<std::string*>(lParam);
    char cls[32] = "";
    GetClassNameA(hWnd, cls, sizeof(cls));
    // The texts of the box; an icon control's "text" is its resource name.
    LONG style = GetWindowLongA(hWnd, GWL_STYLE);
    if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) != SS_ICON) {
        char text[1024] = "";
        GetWindowTextA(hWnd, text, sizeof(text));
        if (text[0]) {
            if (!out->empty()) *out += '\n';
            *out += text;
        }
    }
    return TRUE;
}

}  // namespace

ModalWatcher::ModalWatcher(int nButton) : m_nButton(nButton), m_thread([this] { Run(); }) {}

ModalWatcher::~ModalWatcher()
{
    m_stop = true;
    m_thread.join();
}

void ModalWatcher::Run()
{
    while (!m_stop) {
        FindState state = {GetCurrentProcessId(), {}};
        EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&state));
        for (HWND hBox : state.boxes) {
            std::lock_guard<std::mutex> lock(m_mutex);
            bool known = false;
            for (HWND h : m_answered) known = known || h == hBox;
            if (known && IsWindow(hBox)) continue;
            SeenBox seen;
            char caption[256] = "";
            GetWindowTextA(hBox, caption, sizeof(caption));
            seen.caption = caption;
            EnumChildWindows(hBox, CollectTexts, reinterpret_cast<LPARAM>(&seen.text));
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
