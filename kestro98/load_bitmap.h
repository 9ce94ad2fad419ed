// The editor's load by path: reads the file into the DIB block and sets the
// image view's picture size and its fit and zoom levels.
#pragma once

#include <windows.h>

namespace kestro {

// True when the picture was read and accepted; false after a message, with
// the picture values unchanged (the view must not paint a missing block).
bool LoadBmpFile(HWND mainWindow, const char* path);

}  // namespace kestro
