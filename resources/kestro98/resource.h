// Ids of the colour editor, in numeric ranges: the icon bar's commands to the
// main window, the bar's buttons, the palette window's controls, the open
// dialog's additions. Bitmaps, the
// logo, the icon and the About dialog are named by string.
#ifndef RESOURCES_KESTRO98_RESOURCE_H
#define RESOURCES_KESTRO98_RESOURCE_H

#include "../common/framework_ids.h"

// 101..109: commands the icon bar sends to the main window.
#define IDM_OPEN 101
#define IDM_ZOOM_OUT 102
#define IDM_ZOOM_IN 103
#define IDM_POPUP_WINDOW 104
#define IDM_COPY 105
#define IDM_SAVE_IMAGE 106
#define IDM_ABOUT 107
#define IDM_HELP 108
#define IDM_EXIT 109

// 110..120: the icon bar's buttons, left to right.
#define IDC_BAR_GAP 110
#define IDC_BAR_OPEN 111
#define IDC_BAR_ZOOM_OUT 112
#define IDC_BAR_ZOOM_IN 113
#define IDC_BAR_POPUP_WINDOW 114
#define IDC_BAR_COPY 115
#define IDC_BAR_SAVE_IMAGE 116
#define IDC_BAR_ABOUT 117
#define IDC_BAR_HELP 118
#define IDC_BAR_EXIT 119
#define IDC_BAR_SPACE 120

// 121..125: the palette window's controls: the red, green and blue bars,
// Undo change and Hide window.
#define IDC_PALETTE_RED 121
#define IDC_PALETTE_GREEN 122
#define IDC_PALETTE_BLUE 123
#define IDC_PALETTE_UNDO 124
#define IDC_PALETTE_HIDE 125
// 133..134: the typed colour field and "Show only this entry".
#define IDC_PALETTE_COLOUR_TEXT 133
#define IDC_PALETTE_SHOW_ONLY 134
// The palette window's right-click menu: the palette files, the four colour
// depths (24, 15, 12, 9 bits) and the snap to the depth.
#define IDM_LOAD_PALETTE_FILE 140
#define IDM_SAVE_PALETTE_FILE 141
#define IDM_DEPTH_24 142
#define IDM_DEPTH_15 143
#define IDM_DEPTH_12 144
#define IDM_DEPTH_9 145
#define IDM_SNAP_TO_DEPTH 146

// 127..129: the image-information field and the child templates added to
// the open dialog, one per language.
#define IDC_IMAGE_INFO 127
#define IDD_OPEN_INFO_EN 128
#define IDD_OPEN_INFO_JA 129

// 131..132: commands of keys alone (Ctrl+Z, Ctrl+Y), for the palette
// history; the other keys send the icon bar's commands.
#define IDM_UNDO_KEY 131
#define IDM_REDO_KEY 132

#endif
