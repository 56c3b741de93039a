#include "support/TopLevelWindows.h"

namespace {

struct WindowSearch {
    DWORD pid;
    bool visibleOnly;
    const char* windowClass;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindows(HWND hWnd, LPARAM lParam)
{
    WindowSearch* s = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid != s->pid || (s->visibleOnly && !IsWindowVisible(hWnd))) return TRUE;
    if (s->windowClass) {
        char cls[256] = "";
        GetClassNameA(hWnd, cls, sizeof(cls));
        if (lstrcmpA(cls, s->windowClass) != 0) return TRUE;
    }
    s->found.push_back(hWnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD pid, bool visibleOnly, const char* windowClass)
{
    WindowSearch s = {pid, visibleOnly, windowClass, {}};
    EnumWindows(&CollectWindows, reinterpret_cast<LPARAM>(&s));
    return s.found;
}
