// The editor's load by path: reads the file into the DIB block and sets the
// picture size and the fit and zoom levels of the image view.
#pragma once

#include <windows.h>

// Written by LoadBmpFile.
extern int pictureWidth;   // pixels
extern int pictureHeight;  // pixels, the absolute height (top-down pictures too)
extern int zoomLevel;      // current zoom step, 0 = 1:1
extern int fitLevel;       // the step at which the picture fits the window

// Measured by the application shell at start; read by LoadBmpFile.
extern int horzScrollHeight;
extern int vertScrollWidth;

// True when the picture was read and accepted; false after a message, with
// the picture values unchanged (the view must not paint a missing block).
bool LoadBmpFile(HWND mainWindow, const char* path);
