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
#include "shell/ShellViewCommandIds.h"

// The program's View Options
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
