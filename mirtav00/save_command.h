// The Save Image command (104) and the shuffler's BMP and PNG writers.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "common/base/core/message.h"
#include "common/bitmap/core/bmp_rules.h"
#include "common/bitmap/png_picture.h"
#include "mirtav00/core/shuffle.h"

namespace mirtav {

// A picture as the writers read it: its block (locked by the caller for as
// long as the writer runs), its table in the current order and, for a
// picture read from a PNG, that file with the order from its palette to the
// table. The shown picture is one (its globals under ScopedDibLock); Arrange
// pictures to palette hands each of its files as another.
struct PictureToWrite {
  const uint8_t* block;
  size_t blockSize;
  bmp::BlockLayout layout;
  const shuffle::PaletteEntry* table;
  int32_t colourCount;
  const PngSource* png;       // null or empty for a BMP source
  const int32_t* sourceOrder;  // read only with a PNG source
};

// The largest of the files the picture gives (BMP, TIFF, PNG), for the
// free-space check.
uint64_t PlannedSizeOf(const PictureToWrite& picture);

// Write the picture to path beside the target, replacing it only when
// complete: null when placed, else the failure's message (nothing shown).
const Message* WriteBmpPicture(const PictureToWrite& picture, const char* path);
const Message* WritePngPicture(const PictureToWrite& picture, const char* path);

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
