// Identifiers of the framework's standard commands, strings and control bars.
// Plain #defines only: the resource compiler reads this file too.
#pragma once

// Standard commands
#define ID_FILE_NEW                 0xE100
#define ID_FILE_OPEN                0xE101
#define ID_FILE_CLOSE               0xE102
#define ID_FILE_SAVE                0xE103
#define ID_FILE_SAVE_AS             0xE104
#define ID_FILE_PAGE_SETUP          0xE105
#define ID_FILE_PRINT_SETUP         0xE106
#define ID_FILE_PRINT               0xE107
#define ID_FILE_MRU_FILE1           0xE110
#define ID_FILE_MRU_FILE4           0xE113

#define ID_EDIT_CLEAR               0xE120
#define ID_EDIT_COPY                0xE122
#define ID_EDIT_CUT                 0xE123
#define ID_EDIT_PASTE               0xE125
#define ID_EDIT_SELECT_ALL          0xE12A
#define ID_EDIT_UNDO                0xE12B

#define ID_WINDOW_NEW               0xE130
#define ID_WINDOW_ARRANGE           0xE131
#define ID_WINDOW_CASCADE           0xE132
#define ID_WINDOW_TILE_HORZ         0xE133
#define ID_WINDOW_TILE_VERT         0xE134

#define ID_APP_ABOUT                0xE140
#define ID_APP_EXIT                 0xE141

#define ID_VIEW_TOOLBAR             0xE800
#define ID_VIEW_STATUS_BAR          0xE801

// Control bar and pane ids
#define AFX_IDW_TOOLBAR             0xE800
#define AFX_IDW_STATUS_BAR          0xE801
#define AFX_IDW_PANE_FIRST          0xE900
#define AFX_IDM_FIRST_MDICHILD      0xFF00

// Standard strings
#define AFX_IDS_APP_TITLE           0xE000
#define AFX_IDS_IDLEMESSAGE         0xE001
#define AFX_IDS_UNTITLED            0xF000

#define AFX_IDS_SCSIZE              0xEF00
#define AFX_IDS_SCMOVE              0xEF01
#define AFX_IDS_SCMINIMIZE          0xEF02
#define AFX_IDS_SCMAXIMIZE          0xEF03
#define AFX_IDS_SCNEXTWINDOW        0xEF04
#define AFX_IDS_SCPREVWINDOW        0xEF05
#define AFX_IDS_SCCLOSE             0xEF06
#define AFX_IDS_SCRESTORE           0xEF12
#define AFX_IDS_SCTASKLIST          0xEF13
#define AFX_IDS_MDICHILD            0xEF1F

// Standard prompts (message boxes)
#define AFX_IDP_FAILED_TO_OPEN_DOC      0xF104
#define AFX_IDP_INTERNAL_FAILURE        0xF108
#define AFX_IDP_COMMAND_FAILURE         0xF109
#define AFX_IDP_FAILED_MEMORY_ALLOC     0xF10A
#define AFX_IDP_FAILED_INVOKE_METHOD    0xF127
#define AFX_IDP_DISPATCH_EXCEPTION      0xF128
