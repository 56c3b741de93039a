#include "support/MessageSpy.h"

#include <algorithm>

UINT MessageSpy::s_message = 0;
WNDPROC MessageSpy::s_old = nullptr;

MessageSpy::MessageSpy(HWND h, UINT message) : m_h(h)
{
    s_message = message;
    Seen().clear();
    s_old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
}

MessageSpy::~MessageSpy()
{
    if (IsWindow(m_h)) SetWindowLongPtrA(m_h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_old));
}

std::vector<std::pair<WPARAM, LPARAM>>& MessageSpy::Seen()
{
    static std::vector<std::pair<WPARAM, LPARAM>> seen;
    return seen;
}

int MessageSpy::Count(WPARAM w) const
{
    return static_cast<int>(std::count_if(Seen().begin(), Seen().end(), [w](const auto& p) { return p.first == w; }));
}

LRESULT CALLBACK MessageSpy::Proc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == s_message) Seen().emplace_back(w, l);
    return CallWindowProcA(s_old, h, m, w, l);
}
