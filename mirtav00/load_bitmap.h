// The shuffler's load by path. The file is read and checked completely before
// anything shown is touched: its first bytes decide how. A BMP: the header
// bytes (open_rules), then the whole file read into a candidate block and
// checked by the reader's lock rules. A PNG: read whole and kept, its chunks
// checked and its pixels decoded into a candidate block laid out as a BMP,
// 4- and 8-bit pictures only.
// Only a file that passed everything releases what was shown (the logo or the
// previous picture) and becomes the DIB block, PaletteTable, shufflerPicture
// with its reduction, pngSource and the identity sourceOrder; a refusal at any step leaves all of them as they were.
#pragma once

#include <windows.h>

namespace mirtav {

// True when the picture was read, accepted and adopted (the power-of-two
// reduction that fits it in the main window's client area set); false after
// the refusal's message, or when mayLeave (asked, when given, once the file
// has passed every check) says no, with nothing changed.
bool LoadBmpFile(HWND mainWindow, const char* path, bool (*mayLeave)(HWND) = nullptr);

}  // namespace mirtav
