// Keeps one copy of the program running. The first copy owns the named event
// and a waiter thread sleeping on it; a later copy pulses the event, which
// makes the first copy's thread call the callback, and then ends.
#pragma once

#include <windows.h>

class CInstanceGuard {
public:
    CInstanceGuard();

    // TRUE when this is the first copy and the guard is fully set up. FALSE
    // when another copy runs (its waiter has been pulsed) or setup failed.
    BOOL Create(LPCSTR pszName, int (*pfnCallback)(DWORD), DWORD callbackValue);
    // Stops the waiter thread, waits for it to end and closes every handle.
    void Close();

    static DWORD WINAPI WaiterThread(LPVOID pParam);

private:
    HANDLE m_hStopEvent;
    HANDLE m_hNamedEvent;
    HANDLE m_hThread;
    DWORD m_callbackValue;
    int (*m_pfnCallback)(DWORD);
};
