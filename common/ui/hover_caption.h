// Hover captions: a boxed button name drawn straight onto the main window
// under the icon bar, with the pixels it covers saved and written back.
#pragma once

#include <windows.h>

// From the main window's WM_SETCURSOR, after DefWindowProcA.
void UpdateHoverCaption(HWND mainWindow);

// First thing on every icon-bar command: puts back the pixels, if a caption is shown.
void RemoveHoverCaption(HWND mainWindow);

// The caption number shown (0 none) and its rectangle in whole-window
// coordinates (all 0 when none); for tests.
int ShownHoverCaption();
RECT HoverCaptionRect();
