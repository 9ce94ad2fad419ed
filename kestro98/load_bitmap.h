// The editor's picture, read and adopted: a file read once into a candidate
// block (its front kept as the file holds it), and the one call that makes
// a checked candidate the shown picture with every fact that goes with it.
#pragma once

#include <windows.h>

#include <string>

#include "common/bitmap/dib_block.h"
#include "common/bitmap/png_picture.h"
#include "kestro98/core/palette_history.h"
#include "kestro98/core/save_rules.h"

namespace kestro {

// A picture read and checked, waiting to replace the shown one: the file's
// first bytes as read, its container (a PNG's whole file and chunks kept),
// and its history with the file's table (a PNG's PLTE) as level 0. The block
// itself is the reader's candidate.
struct NewPicture {
  FileFront front;
  SaveFormat format = SaveFormat::kBmp;
  PngSource png;
  PaletteHistory history;
};

// Makes the candidate the shown picture in one step: the block (freeing the
// old one) with its layout, the palette history, the facts of the source
// file, the fit and zoom, the view, the title and the palette window. A
// block that cannot be locked is not kept. A PNG's kept file moves into the
// facts (next.png is left empty).
void AdoptNewPicture(HWND mainWindow, const std::string& path, NewPicture& next);

// Reads the file with the reader's checks only (no path or header checks of
// the command) and makes its block the shown one with its fit and zoom
// levels; false after a message, with the shown picture unchanged.
bool LoadBmpFile(HWND mainWindow, const char* path);

}  // namespace kestro
