// The shuffler's main window: its procedure and its own commands, its
// start-up steps and its Exit. It sits on top: the windows and commands it
// dispatches to read what is open from mirtav00/picture.h, never from here.
#pragma once

#include <windows.h>


namespace mirtav {

// The shuffler's own messages; the rest goes to the shell's shared cases.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One of the program's own icon-bar commands (IDM_... of resource.h).
void RunCommand(HWND window, int command);

// The start-up steps run from WM_CREATE; closes the window on a refusal.
void InitialiseMainWindow(HWND window);

// Releases what the program holds and posts the quit message.
void QuitProgram();

// Reads the system sizes the shuffler needs before its main window exists.
void ReadSystemSizes();

}  // namespace mirtav
