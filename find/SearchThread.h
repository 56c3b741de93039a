// A search on a worker thread of its own. What it finds is handed over in batches: the
// worker gathers items and posts one message to the window whenever a batch waits that the
// window has not been told of, so a window that is busy gets fewer, larger batches and
// never one message per file. Stop returns at once; the worker ends on its own soon after.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "find/FileSearch.h"

class CSearchThread {
public:
    // Starts a search. The window gets nMessage with wParam whenever a batch waits or the
    // search has ended; null for no messages (the caller then polls).
    static std::shared_ptr<CSearchThread> Start(CFindCriteria criteria, HWND hwndNotify, UINT nMessage, WPARAM wParam,
                                                const CFileSearch& engine = CFileSearch());
    ~CSearchThread();
    CSearchThread(const CSearchThread&) = delete;
    CSearchThread& operator=(const CSearchThread&) = delete;

    // Asks the search to stop and tells the window nothing more; returns at once.
    void Stop();

    // What was found since the last call, and whether the search has ended (then summary
    // holds its counts). The next message is posted only after this was called.
    bool TakeFound(std::vector<CFoundItem>& items, CFindSummary& summary);
    // The folder being searched.
    std::wstring CurrentFolder() const;
    // Waits for the worker to end; for callers without a window (the benchmark, tests).
    bool Wait(DWORD dwMilliseconds) const;

private:
    class CQueueSink;
    CSearchThread(CFindCriteria criteria, const CFileSearch& engine, HWND hwndNotify, UINT nMessage, WPARAM wParam);
    static DWORD WINAPI ThreadProc(LPVOID pParam);
    void Work();
    // Moves the worker's batch over and tells the window if it has not been told yet.
    void Deliver(std::vector<CFoundItem>& batch, const CFindSummary* pFinal);

    const CFindCriteria m_criteria;
    const CFileSearch m_engine;
    std::atomic<bool> m_bStop{false};
    HANDLE m_hThread = nullptr;

    mutable std::mutex m_mutex;  // guards everything below
    HWND m_hwndNotify;
    const UINT m_nMessage;
    const WPARAM m_wParam;
    std::vector<CFoundItem> m_found;
    bool m_bTold = false;
    bool m_bEnded = false;
    CFindSummary m_summary;
    std::wstring m_folder;
};
