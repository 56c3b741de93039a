// What the status bar says of a hosted shell view: how many items it lists, how many of them
// are selected and what their files hold, and the free space of the folder's disk. Windows'
// view writes this itself through its browser; Wine's writes nothing. There the program reads
// the figures from the view and learns of changes by watching the notifications the view's
// list sends the view (items come and go, the selection changes).
#pragma once

#include <windows.h>
#include <shlobj.h>

struct ShellViewFigures {
    int nItems = 0;          // items the view lists
    int nSelected = 0;       // of them selected
    ULONGLONG cbFiles = 0;   // the selected items' files, or all listed files with none selected
    bool bSizeKnown = false;
    ULONGLONG cbFree = 0;    // free space of the folder's disk, for this user
    bool bFreeKnown = false;
};

class CShellViewStatus {
public:
    // Whether the view writes its status itself, so that nobody else must.
    static bool ViewWritesItsStatus();
    // The figures of a view of the folder (an absolute list); neither is owned.
    static ShellViewFigures Read(IShellView* pView, HWND hwndView, LPCITEMIDLIST pidlFolder);
    // Where the view does not write its status: posts uMsg to hwndNotify whenever the view's
    // items or their selection change (once while one is waiting), until the view's window
    // goes or Unwatch. FALSE where nothing is watched.
    static BOOL Watch(HWND hwndView, HWND hwndNotify, UINT uMsg);
    static void Unwatch(HWND hwndView, UINT uMsg);
};
