// The shell's notices of folders made, removed, renamed or moved by anyone (another window,
// the shell view, another program using the shell), watched for one browser window: once
// the notices stop coming, its tree reads the parents of those folders again.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CShellTreeCtrl;

class CFolderChangeWatch {
public:
    CFolderChangeWatch() = default;
    ~CFolderChangeWatch() { Stop(); }
    CFolderChangeWatch(const CFolderChangeWatch&) = delete;
    CFolderChangeWatch& operator=(const CFolderChangeWatch&) = delete;

    // Has the shell send its notices to hWnd as WM_SHELLFOLDERCHANGE, for the tree, whose
    // window lives as long as hWnd.
    void Start(HWND hWnd, CShellTreeCtrl* pTree);
    // Ends the registration and the timer, and forgets what was still to be read.
    void Stop();

    // WM_SHELLFOLDERCHANGE: notes the parents of the folders named and sets the timer.
    void OnFolderChange(WPARAM wParam, LPARAM lParam);
    // WM_TIMER: FALSE when the timer is not the watch's.
    BOOL OnTimer(UINT_PTR nIDEvent);
    // The tree reads these folders' sub-folders again.
    void RereadFolders(const std::vector<std::wstring>& folders);

private:
    HWND m_hWnd = nullptr;
    CShellTreeCtrl* m_pTree = nullptr;
    ULONG m_uRegistration = 0;                    // the window's registration for the notices
    std::vector<std::wstring> m_foldersToReread;  // folders whose sub-folders the tree reads again
};
