// The identifiers a hosted shell view gives its own commands (below 0x8000): sent to its
// window as WM_COMMAND it carries them out. The program's menus carry them under these
// names (res/resource.h includes this file, also for the resource compiler).
#pragma once

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
// Commands of the view's own File menu and toolbar (that menu is never shown here).
#define ID_SHELL_FILE_DELETE        28689
#define ID_SHELL_FILE_PROPERTIES    28691
