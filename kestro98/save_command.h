// Save Image: the open picture with its edited palette, as BMP (the source
// file byte for byte with only its colour table written from the current
// history level) or as palette TIFF, to a path chosen in the save dialog.
#pragma once

#include <windows.h>

namespace kestro {

// The path chosen in the last save dialog; zeroed before each dialog.
extern char savePath[256];

// Command 106: the dialog, then SaveImageTo with its path.
// Save Image: the dialog, then SaveImageTo. True when a file was written; the
// history then knows the current colours as saved.
bool SaveImageCommand(HWND mainWindow);

// Everything after the dialog, for a path chosen there: the fixed-disk and
// free-space checks, the extension, the overwrite question, the write and
// its message. True when the picture was saved (the saved message shown).
bool SaveImageTo(HWND mainWindow, const char* path);

}  // namespace kestro
