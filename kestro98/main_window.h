// The colour editor's main window: its procedure and its own commands, its
// start-up steps and its Exit, and the program-wide values the shell sets at
// start for the other windows of the editor.
#pragma once

#include <windows.h>

namespace kestro {

// -1 until start-up has drawn the logo, 0 while no picture is open, 1 once a
// picture has been opened.
extern int pictureState;

// Title strings of the current language, UTF-8 (convert with ToAnsi for the A calls).
extern const char* titlePrefix;          // "Kestro - "
extern const char* paletteWindowTitle;   // "Kestro"

// The editor's own messages; the rest goes to the shell's shared cases.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One of the program's own icon-bar commands (IDM_... of resource.h).
void RunCommand(HWND window, int command);

// WM_CREATE after the shared steps: the title strings, then InitialiseMainWindow.
void StartUp(HWND window);

// Fills the title strings by the language flag.
void LoadTitleStrings();

// The start-up steps run from WM_CREATE; closes the window on a refusal.
void InitialiseMainWindow(HWND window);

// Releases what the program holds and posts the quit message.
void QuitProgram();

}  // namespace kestro
