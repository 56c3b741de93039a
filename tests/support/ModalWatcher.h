// Answers modal boxes (message boxes, dialogs) that this process (or another one) shows,
// from a thread of its own, and remembers what they said: a modal box blocks the thread
// that raised it.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenBox {
    std::string caption;
    std::string text;  // the static texts of the box, joined by '\n'
    std::wstring wideText;  // the same as shown, with what the code page lacks
};

class ModalWatcher {
public:
    // Presses the button with this id on every box that appears (IDOK by default), in the
    // process with this id (0: this process).
    explicit ModalWatcher(int nButton = IDOK, DWORD processId = 0);
    ~ModalWatcher();
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;

    std::vector<SeenBox> Seen();
    size_t Count();

private:
    void Run();
    int m_nButton;
    DWORD m_processId;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<SeenBox> m_seen;
    std::vector<HWND> m_answered;
    std::thread m_thread;
};
