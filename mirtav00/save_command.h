// The Save Image command (104) and the shuffler's BMP and PNG writers.
#pragma once

#include <windows.h>

namespace mirtav {

// Save Image; true when a file was written (the changed order then counts as saved).
bool SaveImage(HWND mainWindow);

// Writes the DIB block to shufflerPicture.savePath as BMP beside the target,
// replacing it only when complete: 0 on success, 1 after the message.
int WriteBmpFile(HWND mainWindow);

// Writes the picture to shufflerPicture.savePath as PNG the same way: from a
// PNG, that file's chunks with the palette, its transparency, background and
// histogram in the current order and the pixels encoded anew at its depth and
// interlace; from a BMP, a PNG of the picture's depth and table.
int WritePngFile(HWND mainWindow);

}  // namespace mirtav
