// Resource identifiers of Folvane.
#pragma once

#include "framework/AfxRes.h"

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Frames, menus, accelerators, icon, toolbar
#define IDR_MAINFRAME               128
#define IDR_FOLVANTYPE              129
#define IDR_SHELLMENU               137

// Dialogs and their controls
#define IDD_ABOUTBOX                100
#define IDD_FOLVANE_FORM            130
#define IDD_RUN                     138
#define IDC_TREE                    1000
#define IDC_COMMAND_LINE            1008
#define IDC_VERSION                 1010
#define IDC_CURRENT_DIRECTORY       1010

// The program's own commands
#define ID_REFRESH                  32771
#define ID_UP_ONE_LEVEL             32773
#define ID_RUN                      32774
#define ID_FIND_FILES               32775
#define ID_FIND_COMPUTER            32776
#define ID_MINIMIZE_ALL             32777
#define ID_SHELL_RUN                32783

// Commands of the hosted shell view (its own identifiers, below 0x8000)
#define ID_SHELL_EDIT_CUT           28696
#define ID_SHELL_EDIT_COPY          28697
#define ID_SHELL_EDIT_PASTE         28698
#define ID_SHELL_EDIT_UNDO          28699
#define ID_SHELL_EDIT_PASTE_SHORTCUT 28700
#define ID_SHELL_EDIT_SELECT_ALL    28705
#define ID_SHELL_EDIT_INVERT_SELECTION 28706
#define ID_SHELL_VIEW_LARGE_ICONS   28713
#define ID_SHELL_VIEW_SMALL_ICONS   28714
#define ID_SHELL_VIEW_LIST          28715
#define ID_SHELL_VIEW_REPORT        28716
#define ID_SHELL_MAP_DRIVE          28726
#define ID_SHELL_DISCONNECT_DRIVE   28727
#define ID_SHELL_ARRANGE_NAME       29232
#define ID_SHELL_ARRANGE_SIZE       29233
#define ID_SHELL_ARRANGE_TYPE       29234
#define ID_SHELL_ARRANGE_DATE       29235
#define ID_VIEW_OPTIONS             41060

// Items of the shell browser's menu template
#define ID_SHELLMENU_FILE_IT        40960
#define ID_SHELLMENU_DUMMY          40961
#define ID_SHELLMENU_STAMP_IT       40962

// Strings
#define IDS_SHELL_UNAVAILABLE       201
// What the system cannot do where its shell leaves a command empty (under Wine)
#define IDS_UNDO_UNAVAILABLE        230
#define IDS_FIND_FILES_UNAVAILABLE  231
#define IDS_FIND_COMPUTER_UNAVAILABLE 232
#define IDS_MAP_DRIVE_UNAVAILABLE   233
#define IDS_DISCONNECT_DRIVE_UNAVAILABLE 234
