// The Save Image command (104) and the shuffler's BMP writer.
#pragma once

#include <windows.h>

namespace mirtav {

// Save Image; true when a file was written (the changed order then counts as saved).
bool SaveImage(HWND mainWindow);

// Writes the DIB block to shufflerPicture.savePath as BMP beside the target,
// replacing it only when complete: 0 on success, 1 after the message.
int WriteBmpFile(HWND mainWindow);

}  // namespace mirtav
