// Process-wide facts of the running program that both halves of the shared
// framework read (icon bar, hover captions, DIB block, guards, writers). The
// application shell writes them at start.
#pragma once

#include <windows.h>

extern HINSTANCE appInstance;   // instance handle, for resources and dialogs
extern HWND mainWindow;         // the program's main window, owner of every message box

extern int screenWidth;         // SM_CXSCREEN, read once at start
extern int screenHeight;        // SM_CYSCREEN

extern COLORREF buttonFaceColour;  // GetSysColor(COLOR_BTNFACE) at main window creation
extern bool faceColourKnown;       // set beside buttonFaceColour; until then the icon bar reads it itself
extern bool styleDetected;         // set once the main window has read the platform style
