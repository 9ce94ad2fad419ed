// The colour editor's image view: the main window's client area below the
// icon bar, where the open picture is shown at one of 19 zoom steps with its
// two scroll bars, or the start-up logo while no picture is open. Its state
// is process-wide, as the other windows and commands of the editor read it.
#pragma once

#include <windows.h>

namespace kestro {

// Picture size in pixels (the absolute height, top-down pictures too),
// written by LoadBmpFile.
extern int pictureWidth;
extern int pictureHeight;
extern int zoomLevel;  // current zoom step, 0 = 1:1
extern int fitLevel;   // the step at which the picture fits the window

// System sizes read at start: the horizontal bar's height (SM_CYHSCROLL), the
// vertical bar's width (SM_CXVSCROLL) and the smallest client height
// (SM_CYMIN + 20).
extern int horzScrollHeight;
extern int vertScrollWidth;
extern int minimumClientHeight;

// The scroll bars, created hidden at start, and the view's offsets.
extern HWND horzScrollBar;
extern HWND vertScrollBar;
extern int horzScrollOffset;
extern int vertScrollOffset;

// Reads the system sizes above; before the main window exists.
void ReadImageViewSystemSizes();

// Creates both scroll bars hidden at their start-up places and sets the
// offsets to 0.
void CreateImageViewScrollBars(HWND mainWindow);

// WM_PAINT of the main window: the logo while no picture is open (and the
// picture commands disabled), else the picture.
LRESULT PaintImageView(HWND mainWindow);

}  // namespace kestro
