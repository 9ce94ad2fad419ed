// What is open in the editor, program-wide.
#include "kestro98/picture.h"

#include "common/base/text.h"

namespace kestro {

PictureFacts pictureFacts;
PaletteHistory paletteHistory;

const char* TitlePrefix() { return Pick("Kestro - ", "ＢＭＰケストロ - "); }
const char* PaletteWindowTitle() { return Pick("Kestro", "ケストロ"); }

}  // namespace kestro
