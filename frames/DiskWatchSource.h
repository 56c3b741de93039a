// The disk watch shared by all browser windows, waited on by the application's message loop.
#pragma once

#include "framework/WinApp.h"
#include "shell/DiskWatch.h"

class CDiskWatchSource : public CDiskWatch, public CWaitSource {
public:
    CDiskWatchSource() = default;
    ~CDiskWatchSource() override
    {
        if (m_pApp) m_pApp->RemoveWaitSource(this);
    }
    size_t GetWaitHandles(HANDLE* pHandles, size_t nMax) override { return GetHandles(pHandles, nMax); }
    void OnWaitHandleSignalled(HANDLE hSignalled) override { OnHandleSignalled(hSignalled); }

protected:
    void OnHandlesChanged() override
    {
        if (m_pApp || !AfxGetApp()) return;
        m_pApp = AfxGetApp();
        m_pApp->AddWaitSource(this);
    }

private:
    CWinApp* m_pApp = nullptr;  // the application whose loop waits on the watch
};
