// The editor's load by path: reads the file into a candidate block, checked
// in full by the reader's rules, then makes it the shown picture and sets
// the image view's picture size and its fit and zoom levels.
#pragma once

#include <windows.h>

#include "common/bitmap/core/bmp_rules.h"

namespace kestro {

// Reads and checks the file into the candidate block; false after a message,
// with the shown picture and every picture value unchanged.
bool ReadCandidatePicture(HWND mainWindow, const char* path);

// Makes the candidate the shown picture (the old block is freed) and sets
// the picture size, the fit level and the zoom level. False without a
// candidate or when the adopted block cannot be locked.
bool AdoptCandidatePicture(HWND mainWindow);

// Both of the above.
bool LoadBmpFile(HWND mainWindow, const char* path);

}  // namespace kestro
