// The colour editor's main window: its procedure, its start-up steps and its
// Exit, and the program-wide values the shell sets at start for the other
// windows of the editor.
#pragma once

#include <windows.h>

// -1 until start-up has drawn the logo, 0 while no picture is open, 1 once a
// picture has been opened.
extern int pictureState;

// Title strings of the current language, UTF-8 (convert with ToAnsi for the A calls).
extern const char* titlePrefix;          // "Kestro - "
extern const char* paletteWindowTitle;   // "Kestro"
extern const char* openDialogTitle;
extern const char* saveDialogTitle;

// SM_CYMIN + 20, read at start: the image view's smallest client height.
extern int minimumClientHeight;

// The image view's scroll bars, created hidden at start, and its offsets.
extern HWND horzScrollBar;
extern HWND vertScrollBar;
extern int horzScrollOffset;
extern int vertScrollOffset;

LRESULT CALLBACK KestroMainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Fills the title strings by the language flag.
void LoadTitleStrings();

// The start-up steps run from WM_CREATE; closes the window on a refusal.
void InitialiseMainWindow(HWND window);

// Releases what the program holds and posts the quit message.
void QuitProgram();

// Reads the system sizes the editor needs before its main window exists.
void ReadKestroSystemSizes();
