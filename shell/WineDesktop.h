// What the desktop shell would do for the program where Wine's Shell.Application and the
// multiple-provider router do nothing: the Start menu's Run dialog, minimising every window,
// and the network drive dialogs, asked for and told apart when they cannot show. Used only
// where Wine runs, by the calls that choose (DesktopCommands.h, ShellViewCommands.h).
#pragma once

#include <windows.h>

class CWineDesktop {
public:
    // The shell's own Run dialog (shell32's RunFileDlg), modal to the owner. FALSE when
    // shell32 does not offer it.
    static BOOL ShowRunDialog(HWND hwndOwner);

    // Minimises every visible top-level window that has a minimise box, those of other
    // threads and programs without waiting for them. Returns how many it asked.
    static int MinimizeAll();

    // The router's dialogs for connecting and disconnecting a network drive; their answer
    // (NO_ERROR, or (DWORD)-1 when the user cancelled), or the reason none could be shown.
    static DWORD ConnectNetworkDrive(HWND hwndOwner);
    static DWORD DisconnectNetworkDrive(HWND hwndOwner);
    // Whether an answer of theirs means the system has no such dialog to show.
    static BOOL IsUnavailable(DWORD dwResult);
};
