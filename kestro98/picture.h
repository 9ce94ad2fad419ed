// What is open in the editor, each fact once: the state, the source file as
// Open read it, its layout (size, depth, rows), the zoom and fit steps, the
// title, and the palette history. Open writes the facts only after the new
// file has passed every check and been adopted; the view writes the zoom;
// every window and command reads them here.
#pragma once

#include <cstdint>
#include <string>

#include "common/base/core/picture_state.h"
#include "common/bitmap/core/bmp_rules.h"
#include "kestro98/core/palette_history.h"
#include "kestro98/core/save_rules.h"

namespace kestro {

struct PictureFacts {
  PictureState state = PictureState::kStarting;
  std::string sourcePath;     // full path as chosen in the dialog
  OpenedFile opened;          // file header, the two fields as the file held them, file length
  bmp::BlockLayout layout;    // from the lock rules at Open: width, height (absolute), depth
  int zoomLevel = 0;          // current zoom step, 0 = 1:1 (a fit may start below -9)
  int fitLevel = 0;           // the step at which the picture fits the window
  std::string titleBase;      // "Kestro - LEAF.BMP [" in the ANSI code page
};

extern PictureFacts pictureFacts;      // the facts of what is open
extern PaletteHistory paletteHistory;  // the master copy of the palette

// The titles of the current language, UTF-8 (convert with ToAnsi for the A calls).
const char* TitlePrefix();         // "Kestro - "
const char* PaletteWindowTitle();  // "Kestro"

}  // namespace kestro
