// The desktop's commands that the main frame hands to the shell's automation object
// (Shell.Application), as this system carries them out. Windows' object does them all.
// Wine's creates but does none: the shell's own Run dialog and a minimising of every window
// stand in (WineDesktop.h), and a search that fails is simply not there.
#pragma once

#include <windows.h>

class CDesktopCommands {
public:
    // Shows the Start menu's Run dialog where the automation object shows none. FALSE when
    // the automation object's FileRun is to show it (also where the stand-in is missing).
    static BOOL ShowRunDialogStandIn(HWND hwndOwner);
    // Minimises every window where the automation object minimises none. FALSE when the
    // automation object's MinimizeAll is to do it.
    static BOOL MinimizeAllStandIn();
    // Whether a failure of the automation object's FindFiles or FindComputer means that the
    // system has no such search (to be told to the user as such), not that the call failed.
    static bool SearchesMayBeMissing();
};
