// A browser window's panes following the disk: the folders it shows or has open in its tree
// are watched (under Wine, through the main frame's disk watch, shared by all windows), and
// what changed is read again: the right pane through the shell view's own refresh, the tree
// through its re-read of a folder (expansion and selection kept). F5 reads both at once.
#pragma once

#include <string>
#include <vector>

#include "shell/DiskWatch.h"

class CFolvaneView;

class CLiveFolders : public CDiskWatch::CClient {
public:
    explicit CLiveFolders(CFolvaneView* pView) : m_pView(pView) {}
    CLiveFolders(const CLiveFolders&) = delete;
    CLiveFolders& operator=(const CLiveFolders&) = delete;

    // Watches what the window shows and has open now, and nothing else.
    void Update();
    void Stop();
    // F5: the tree's open folders and the folder on show, read again now.
    void RereadAll();

    void OnDiskFoldersChanged(const std::vector<std::wstring>& folders) override;
    bool IsBusyForReread() const override;

    // The folder on show (a path on disk), or empty.
    std::wstring ShownFolder() const;
    // The tree's open folders on disk, parents before their sub-folders.
    std::vector<std::wstring> OpenFolders() const;
    // Times the right pane was read again because its folder changed.
    unsigned m_nShownRereads = 0;

private:
    CDiskWatch* DiskWatch() const;
    // Reads these folders again in the tree, and the right pane when it shows one of them; a
    // folder on show that went gives way to the nearest one above it that is still there.
    void Reread(const std::vector<std::wstring>& folders);

    CFolvaneView* m_pView;
    bool m_bWatching = false;
};
