#include "app/InstanceGuard.h"

CInstanceGuard::CInstanceGuard()
    : m_hStopEvent(nullptr), m_hNamedEvent(nullptr), m_hThread(nullptr),
      m_callbackValue(0), m_pfnCallback(nullptr)
{
}

BOOL CInstanceGuard::Create(LPCSTR pszName, int (*pfnCallback)(DWORD), DWORD callbackValue)
{
    Close();

    // Stored before the thread starts, so the waiter never reads them while
    // they are being written.
    m_pfnCallback = pfnCallback;
    m_callbackValue = callbackValue;

    // Whoever creates the event is the first copy: creation of a named object
    // is atomic, so this holds even for copies started at the same moment.
    // Testing the event's state instead is not enough: two copies could both
    // find it still signalled, or a later copy's pulse could clear it before
    // its creator looks. Created not signalled, so that a copy which does test
    // the state sees a running copy from the first moment.
    m_hNamedEvent = CreateEventA(nullptr, TRUE, FALSE, pszName);
    if (!m_hNamedEvent) return FALSE;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // The first copy answers by bringing its window to the front, which Windows allows only
        // when the copy the user just started passes its right on; the first copy's process is
        // not known here, so any may take it.
        AllowSetForegroundWindow(ASFW_ANY);
        PulseEvent(m_hNamedEvent);
        return FALSE;
    }

    m_hStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!m_hStopEvent) return FALSE;
    m_hThread = CreateThread(nullptr, 0, WaiterThread, this, 0, nullptr);
    return m_hThread != nullptr;
}

void CInstanceGuard::Close()
{
    if (m_hThread) {
        // The thread exists only together with the stop event.
        SetEvent(m_hStopEvent);
        WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    if (m_hStopEvent) {
        CloseHandle(m_hStopEvent);
        m_hStopEvent = nullptr;
    }
    if (m_hNamedEvent) {
        CloseHandle(m_hNamedEvent);
        m_hNamedEvent = nullptr;
    }
}

DWORD WINAPI CInstanceGuard::WaiterThread(LPVOID pParam)
{
    const CInstanceGuard* pGuard = static_cast<const CInstanceGuard*>(pParam);
    // Index 0 first: when both are signalled the stop event wins.
    const HANDLE handles[2] = {pGuard->m_hStopEvent, pGuard->m_hNamedEvent};
    for (;;) {
        DWORD dwResult = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (dwResult != WAIT_OBJECT_0 + 1) return 0;
        if (pGuard->m_pfnCallback) pGuard->m_pfnCallback(pGuard->m_callbackValue);
    }
}
