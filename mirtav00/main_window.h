// The shuffler's main window: its procedure and its own commands, its
// start-up steps and its Exit, and the program-wide values the shell sets at
// start for the other windows of the shuffler.
#pragma once

#include <windows.h>

#include "mirtav00/core/view_rules.h"

namespace mirtav {

// NoPicture, Opened or Randomised (view_rules.h).
extern int PictureState;

// Yes (0) or No (1): whether the palette window is shown; Yes at every start.
enum ShowPaletteValue { kShowPaletteYes = 0, kShowPaletteNo = 1 };
extern int showPaletteWindow;

// The palette window's title, UTF-8: "Color Palette" or "カラーパレット".
extern const char* paletteWindowTitle;

// SM_CYCAPTION + 25, read at start: where the palette window stands.
extern int paletteWindowOffset;

// The shuffler's own messages; the rest goes to the shell's shared cases.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One of the program's own icon-bar commands (IDM_... of resource.h).
void RunCommand(HWND window, int command);

// Drops the paint's kept samples: a new picture was adopted or its pixels changed.
void ForgetPictureSamples();

// Repaints the client area below the icon bar at once, background erased.
void RepaintPicture(HWND window);

// The start-up steps run from WM_CREATE; closes the window on a refusal.
void InitialiseMainWindow(HWND window);

// Releases what the program holds and posts the quit message.
void QuitProgram();

// Reads the system sizes the shuffler needs before its main window exists.
void ReadSystemSizes();

}  // namespace mirtav
