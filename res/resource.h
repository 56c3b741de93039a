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

// The program's own find window (where the system has no search of its own)
#define IDD_FIND                    160
#define IDR_FIND_MENU               161
#define IDC_FIND_NAME               1100
#define IDC_FIND_TEXT               1101
#define IDC_FIND_LOOKIN             1102
#define IDC_FIND_BROWSE             1103
#define IDC_FIND_SUBFOLDERS         1104
#define IDC_FIND_LARGE              1105
#define IDC_FIND_DAYS               1106
#define IDC_FIND_MINSIZE            1107
#define IDC_FIND_MAXSIZE            1108
#define IDC_FIND_STOP               1109
#define IDC_FIND_NEW                1110
#define IDC_FIND_RESULTS            1111
#define IDC_FIND_STATUS             1112
#define ID_FIND_OPEN_ITEM           32900
#define ID_FIND_OPEN_FOLDER         32901
#define ID_FIND_COPY                32902

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
// The find window's sentences, status line, columns and caption
#define IDS_FIND_BAD_CHARACTER      260
#define IDS_FIND_UNBALANCED_QUOTE   261
#define IDS_FIND_NO_FOLDER          262
#define IDS_FIND_NOT_FULL_PATH      263
#define IDS_FIND_BAD_DAYS           264
#define IDS_FIND_BAD_SIZE           265
#define IDS_FIND_SIZES_CROSSED      266
#define IDS_FIND_FOLDER_MISSING     267
#define IDS_FIND_NOT_A_FOLDER       268
#define IDS_FIND_FOLDER_UNREADABLE  269
#define IDS_FIND_NO_ANSWER          270
#define IDS_FIND_SEARCHING          271
#define IDS_FIND_FOUND_ONE          272
#define IDS_FIND_FOUND_MANY         273
#define IDS_FIND_UNREADABLE_FOLDER  274
#define IDS_FIND_UNREADABLE_FOLDERS 275
#define IDS_FIND_UNREADABLE_FILE    276
#define IDS_FIND_UNREADABLE_FILES   277
#define IDS_FIND_LARGE_SKIPPED_ONE  278
#define IDS_FIND_LARGE_SKIPPED_MANY 279
#define IDS_FIND_STOPPED            280
#define IDS_FIND_DONE               281
#define IDS_FIND_TITLE_ALL          282
#define IDS_FIND_TITLE_NAMED        283
#define IDS_FIND_COLUMNS            284
#define IDS_FIND_OPEN_MANY          285
// The status of a browser window's folder, where the program writes it
#define IDS_STATUS_OBJECTS          420
#define IDS_STATUS_SELECTED         421
#define IDS_STATUS_FREE             422

// The address bar with Back and Forward
#define IDW_ADDRESS_BAR             0xE803
#define IDC_ADDRESS_EDIT            1200
#define ID_GO_BACK                  32850
#define ID_GO_FORWARD               32851
#define ID_GO_ADDRESS               32852
#define IDS_ADDRESS_EMPTY           290
#define IDS_ADDRESS_TOO_LONG        291
#define IDS_ADDRESS_CONTROL_CHARACTER 292
#define IDS_ADDRESS_NOT_FULL_PATH   293
#define IDS_ADDRESS_NO_DRIVE        294
#define IDS_ADDRESS_NOT_FOUND       295
#define IDS_ADDRESS_CANNOT_SHOW     296
#define IDS_HISTORY_SKIPPED         297
#define IDS_HISTORY_SKIPPED_MANY    298
#define IDS_HISTORY_ALL_GONE        299
#define IDS_ADDRESS_LABEL           300
