// The Open BMP command: the dialog, the path's checks, the load, and the new
// picture shown (mirtav00/picture.h holds what it leaves).
#pragma once

#include <windows.h>

#include <string>

namespace mirtav {

// Asked once a new picture has passed every check, before it replaces the
// shown one; true: go on (the main window's question about an unsaved order).
using LeaveQuestion = bool (*)(HWND mainWindow);

// Command 101: the open dialog, then OpenPicturePath with the chosen path.
void OpenCommand(HWND mainWindow, LeaveQuestion mayLeave);

// Every way of opening (the dialog, the command line, a drop, a second
// start) ends here: the path's checks, then the load, which checks the
// whole file and asks the question before it replaces anything.
void OpenPicturePath(HWND mainWindow, const std::string& path, LeaveQuestion mayLeave);

}  // namespace mirtav
