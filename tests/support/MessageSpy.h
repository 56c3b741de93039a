// Records one kind of message a window receives, by subclassing it for as long as the spy
// lives.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

// Records one kind of message a window receives (its wParam and lParam), then passes it on;
// one spy at a time.
class MessageSpy {
public:
    MessageSpy(HWND h, UINT message);
    ~MessageSpy();
    MessageSpy(const MessageSpy&) = delete;
    MessageSpy& operator=(const MessageSpy&) = delete;
    static std::vector<std::pair<WPARAM, LPARAM>>& Seen();
    // How many of the messages seen had this wParam.
    int Count(WPARAM w) const;

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);
    static UINT s_message;
    static WNDPROC s_old;
    HWND m_h;
};
