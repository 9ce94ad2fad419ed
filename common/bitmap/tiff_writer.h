// Saves the open picture (the DIB block) as an uncompressed palette-colour
// TIFF. The bytes go to a temporary file beside the target, which replaces
// the target only when every byte was written and the file closed cleanly.
#pragma once

#include <windows.h>

#include "common/bitmap/bitmap_messages.h"

extern const BitmapMessage kMsgCannotCreateTiff;        // KESTRO98's Japanese text
extern const BitmapMessage kMsgCannotCreateTiffShuffler;  // MIRTAV00's Japanese text
extern const BitmapMessage kMsgCannotWriteTiff;
extern const BitmapMessage kMsgCannotWriteTiffShuffler;

// 0 when the file was written and is in place; 1 after a message, with an
// existing file at savePath left as it was.
int WriteTiffFile(HWND mainWindow, const char* savePath);
