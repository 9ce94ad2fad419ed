// The shown picture's facts, written by Open only after the new file has
// passed every check and been adopted, read by the view, Save and Copy.
#pragma once

#include <cstdint>
#include <string>

#include "common/bitmap/core/bmp_rules.h"
#include "kestro98/core/palette_history.h"
#include "kestro98/core/save_rules.h"

namespace kestro {

struct PictureFacts {
  std::string sourcePath;     // full path as chosen in the dialog
  OpenedFile opened;          // file header, the two fields as the file held them, file length
  bmp::BlockLayout layout;    // from the lock rules at Open
};

extern PictureFacts pictureFacts;      // valid while a picture is open
extern PaletteHistory paletteHistory;  // the master copy of the palette

}  // namespace kestro
