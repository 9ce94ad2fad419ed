// Arrange to palette without the window system: the order that puts the
// picture's colour table into the order of a palette file's colours. The
// Win32 layer reads the file and hands the order to ReorderPicture, the
// path Randomize PLT takes, so the picture looks the same afterwards.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/bitmap/core/palette_file.h"
#include "mirtav00/core/shuffle.h"

namespace mirtav {

// Matches each of the table's colourCount entries with a colour of the file
// (an entry that is there twice needs the colour twice in the file: each
// colour of the file is taken once, in the file's order) and sets order[i]
// to the place of entry i among the matched colours, counted in the file's
// order; a file that holds exactly the table's colours thus becomes the
// table. Returns how many entries the file has no colour for: 0 when order
// is complete, else order is left as it was.
int32_t ArrangeOrder(const shuffle::PaletteEntry* table, int32_t colourCount,
                     const palette_file::Colour* colours, size_t fileCount, int32_t* order);

}  // namespace mirtav
