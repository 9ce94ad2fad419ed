// The Open BMP command: the dialog, the path's checks, the load, and the new
// picture shown (mirtav00/picture.h holds what it leaves).
#pragma once

#include <windows.h>


namespace mirtav {

// Command 101: the open dialog, the checks, then the new picture shown.
void OpenCommand(HWND mainWindow);

}  // namespace mirtav
