// Saves the open picture (the DIB block) as an uncompressed palette-colour
// TIFF. The bytes go to a temporary file of its own beside the target, which
// replaces the target only when every byte was written and the file closed
// cleanly.
#pragma once

#include <windows.h>

#include "common/base/text.h"

// The writer's two failure messages; each program words its Japanese texts
// its own way and hands them over at start (UseTiffWriterMessages).
struct TiffWriterMessages {
  Message cannotCreate;
  Message cannotWrite;
};

// The messages the writer shows from now on; they must outlive every write.
void UseTiffWriterMessages(const TiffWriterMessages& messages);

// 0 when the file was written and is in place; 1 after a message, with an
// existing file at savePath left as it was.
int WriteTiffFile(HWND mainWindow, const char* savePath);
