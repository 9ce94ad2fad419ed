// Process-wide state of the application shell that the framework pieces
// (icon bar, hover captions, DIB block, writers) read. The shell of each
// program writes it at start.
#pragma once

#include <windows.h>

enum class Program { kKestro98, kMirtav00 };

// Which of the two programs this process is; set first thing by WinMain
// (and by the in-process tests).
extern Program currentProgram;

extern HINSTANCE appInstance;   // instance handle, for resources and dialogs
extern HWND mainWindow;         // the program's main window, owner of every message box

extern int screenWidth;         // SM_CXSCREEN, read once at start
extern int screenHeight;        // SM_CYSCREEN

extern COLORREF buttonFaceColour;  // GetSysColor(COLOR_BTNFACE) at main window creation
extern bool faceColourKnown;       // set beside buttonFaceColour (the shuffler's icon bar reads it)
extern bool styleDetected;         // set once the main window has read the platform style
