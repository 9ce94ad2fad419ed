// What is open in the editor, each fact once: the state, the source file as
// Open read it (its container; a PNG's bytes are kept whole for its save), the zoom and fit steps, the title, and the palette history;
// the picture's layout (size, depth, rows) is the reader's, dibLayout. Open
// writes the facts only after the new file has passed every check and been
// adopted; the view writes the zoom; every window and command reads them
// here. The colours of the picture's own table are written here too, from
// the history: the table's layout is the block's business, not a window's.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/base/core/picture_state.h"
#include "common/bitmap/core/bmp_rules.h"
#include "common/bitmap/png_picture.h"
#include "kestro98/core/palette_history.h"
#include "kestro98/core/save_rules.h"

namespace kestro {

struct PictureFacts {
  PictureState state = PictureState::kStarting;
  std::string sourcePath;     // full path as chosen in the dialog
  SaveFormat sourceFormat = SaveFormat::kBmp;  // the container Open read: kBmp or kPng
  OpenedFile opened;          // file header, the two fields as the file held them (a BMP
                              // source), file length (either)
  PngSource png;              // a PNG source: the file as read and its chunks; empty otherwise
  int zoomLevel = 0;          // current zoom step, 0 = 1:1 (a fit may start below -9)
  int fitLevel = 0;           // the step at which the picture fits the window
  std::string titleBase;      // "Kestro - LEAF.BMP [" in the ANSI code page
};

extern PictureFacts pictureFacts;      // the facts of what is open
extern PaletteHistory paletteHistory;  // the master copy of the palette

// The current level of the history into the picture's colour table, in the
// table's own entry layout (a reserved byte left as it is); nothing when the
// block cannot be locked (the lock has said why).
void WriteCurrentColours(HWND mainWindow);

// The titles of the current language, UTF-8 (convert with ToAnsi for the A calls).
const char* TitlePrefix();         // "Kestro - "
const char* PaletteWindowTitle();  // "Kestro"

}  // namespace kestro
