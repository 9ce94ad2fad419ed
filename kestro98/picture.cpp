#include "kestro98/picture.h"

namespace kestro {

PictureFacts pictureFacts;
PaletteHistory paletteHistory;

}  // namespace kestro
