// The commands of a hosted shell view's own menus and keys, carried out as this system's
// view needs. Windows' view does each of them when sent it, takes its edit keys itself and
// keeps the record of file operations that Undo acts on. Wine's view does only its view
// modes, takes none of the edit keys and keeps no record: there stand-ins do the rest on its
// list and its data objects (ShellViewList.h), or hand back to the caller what needs the
// program (pasting into the folder on show, telling the user a dialog cannot show).
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "shell/ShellViewCommandIds.h"

class CShellViewCommands {
public:
    // What is left to the caller once Execute has done its part.
    enum Outcome {
        kDone,                        // nothing
        kPasteFiles,                  // paste the clipboard's files into the folder on show
        kPasteShortcuts,              // make shortcuts to them there
        kMapDriveUnavailable,         // say the system has no dialog to connect a drive
        kDisconnectDriveUnavailable,  // nor one to disconnect it
    };

    // Neither is owned: the caller keeps the view and its window alive meanwhile.
    CShellViewCommands(IShellView* pView, HWND hwndView) : m_pView(pView), m_hwndView(hwndView) {}

    // Carries out a command of the view's own (ShellViewCommandIds.h, or any other below
    // 0x8000); hwndOwner owns the dialogs a stand-in shows.
    Outcome Execute(UINT nID, HWND hwndOwner) const;

    // The Edit command that a key pressed in the view's list stands for, where the view takes
    // none of its edit keys itself: the shortcuts the Edit menu shows, and the frame's older
    // ones for Cut, Copy and Paste. 0 for any other key, or where the view takes them.
    UINT CommandForKey(WPARAM vk) const;
    // The Edit command those keys stand for wherever they are pressed, with the modifiers
    // held now; 0 for any other key.
    static UINT EditCommandForKey(WPARAM vk);

    // Whether Undo has a record of file operations to act on.
    static bool CanUndo();
    // Whether the command cannot act for want of a selection in the view's list (Cut, Copy,
    // Delete, Properties), where the program keeps the state of the view's commands; false
    // where the view keeps it (Windows').
    bool LacksSelection(UINT nID) const;
    // Whether the view shows by itself what the program's own transfers (a drop onto the
    // tree, a paste) move or copy in or out of its folder: Windows' follows the shell's
    // notices; Wine's shows a move out of its folder as a stale row until it is refreshed.
    static bool ShowsTransfersItself();

private:
    IShellView* m_pView;
    HWND m_hwndView;
};
