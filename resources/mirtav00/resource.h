// Ids of the shuffler, in numeric ranges: the icon bar's commands to the main
// window, the bar's buttons, the system-menu command and the settings
// dialog's controls. Bitmaps, the logo, the icon and the dialogs are named by
// string.
#ifndef RESOURCES_MIRTAV00_RESOURCE_H
#define RESOURCES_MIRTAV00_RESOURCE_H

#include "../common/framework_ids.h"

// 101..107: commands the icon bar sends to the main window.
#define IDM_OPEN 101
#define IDM_RANDOMISE_PLT 102
#define IDM_COPY_PLT 103
#define IDM_SAVE_IMAGE 104
#define IDM_ABOUT 105
#define IDM_HELP 106
#define IDM_EXIT 107

// 108..116: the icon bar's buttons, left to right.
#define IDC_BAR_GAP 108
#define IDC_BAR_OPEN 109
#define IDC_BAR_RANDOMISE_PLT 110
#define IDC_BAR_COPY_PLT 111
#define IDC_BAR_SAVE_IMAGE 112
#define IDC_BAR_ABOUT 113
#define IDC_BAR_HELP 114
#define IDC_BAR_EXIT 115
#define IDC_BAR_SPACE 116

// 118: the system-menu item "S&pecial setting..."; 119..120: the settings
// dialog's choice, show the colour palette window or not.
#define IDM_SPECIAL_SETTING 118
#define IDC_PALETTE_YES 119
#define IDC_PALETTE_NO 120
// The palette window's right-click menu.
#define IDM_SAVE_PALETTE_FILE 140
#define IDM_ARRANGE_TO_PALETTE 141
#define IDM_ARRANGE_PICTURES 142
// 143: the text of the progress window of Arrange pictures to palette.
#define IDC_ARRANGING_TEXT 143
// 150..: the order's commands, from the same menu and (Undo, Redo) the keys.
#define IDM_UNDO_ORDER 150
#define IDM_REDO_ORDER 151
#define IDM_SORT_BY_HUE 152
#define IDM_SORT_BY_LIGHTNESS 153
#define IDM_SORT_BY_USE 154
#define IDM_REMOVE_UNUSED 155
#define IDM_MERGE_DUPLICATES 156

// Dialogs of the shuffler besides About, named by string.
#define RES_NAME_PLEASE_WAIT "PLEASEWAIT_DLG"
#define RES_NAME_PLEASE_WAIT_J "PLEASEWAIT_DLG_J"
#define RES_NAME_ARRANGING "ARRANGING_DLG"
#define RES_NAME_ARRANGING_J "ARRANGING_DLG_J"
#define RES_NAME_SETTINGS "SETPARAM_DLG"
#define RES_NAME_SETTINGS_J "SETPARAM_DLG_J"

#endif
