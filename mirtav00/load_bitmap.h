// The shuffler's load by path: reads the file into the DIB block and sets the
// power-of-two reduction that fits the picture in the main window.
#pragma once

#include <windows.h>

namespace mirtav {

// Written by LoadBmpFile: the picture is shown at 1 / reductionFactor.
extern int reductionFactor;

// 0 when the picture was read and accepted, 1 after a message.
int LoadBmpFile(HWND mainWindow, const char* path);

}  // namespace mirtav
