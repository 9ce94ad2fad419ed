// The shown picture's facts and the palette history, program-wide.
#include "kestro98/picture.h"

namespace kestro {

PictureFacts pictureFacts;
PaletteHistory paletteHistory;

}  // namespace kestro
