// Resource IDs of Glyphpad. Tool buttons 1000-1008 in tool order, colour buttons from 1010.
#pragma once

#define IDD_GLYPHPAD            100
#define IDD_SAVE_CHOICE         101
#define IDR_GLYPHPAD_MENU       102
#define IDR_GLYPHPAD_ACCEL      103
#define IDI_GLYPHPAD            104

#define IDC_STATIC              -1
#define IDC_TOOL_FIRST          1000    // 1000 .. 1008
#define IDC_TOOL_LAST           1008
#define IDC_COLOR_FIRST         1010    // 1010 .. 1025: the sixteen table colours
#define IDC_COLOR_LAST          1025
#define IDC_COLOR_TRANSPARENT   1026
#define IDC_GRID                1030
#define IDC_PREVIEW             1031
#define IDC_ACTION              1032
#define IDC_CURRENT_COLOR       1033
#define IDC_TRANSPARENT_LABEL   1034
#define IDC_CHOICE_NEW          1040
#define IDC_CHOICE_OVERWRITE    1041

#define IDM_CLOSE               40001
#define IDM_UNDO                40002
#define IDM_CUT                 40003
#define IDM_COPY                40004
#define IDM_PASTE               40005
#define IDM_CLEAR_ALL           40006
#define IDM_SELECT_ALL          40007
#define IDM_HELP_CONTENTS       40008

#define IDS_CAPTION             200
#define IDS_READ_FAILED         201
#define IDS_ADD_FAILED          202
#define IDS_ITEM_ADDED          203
#define IDS_ITEM_SAVED          204
#define IDS_RENEW_BEFORE_EXIT   205
#define IDS_SAVE_BEFORE_EXIT    206
#define IDS_ACTION_ADD          207
#define IDS_ACTION_SAVE         208
#define IDS_ACTION_RENEWAL      209
#define IDS_HELP_MISSING        210
#define IDS_TOOL_FIRST          1000    // tooltip of each tool button: its name
