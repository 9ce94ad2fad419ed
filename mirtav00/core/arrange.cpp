#include "mirtav00/core/arrange.h"

namespace mirtav {

int32_t ArrangeOrder(const shuffle::PaletteEntry* table, int32_t colourCount,
                     const palette_file::Colour* colours, size_t fileCount, int32_t* order) {
  if (table == nullptr || order == nullptr || colourCount < 1 || colourCount > shuffle::kMaxColours) {
    return colourCount > 0 ? colourCount : 0;
  }
  if (colours == nullptr) fileCount = 0;
  // The file's place of each entry, the first place of its colour not yet taken.
  bool taken[palette_file::kMaxColours] = {};
  int32_t placeInFile[shuffle::kMaxColours];
  int32_t missing = 0;
  const size_t usable = fileCount < palette_file::kMaxColours ? fileCount : palette_file::kMaxColours;
  for (int32_t i = 0; i < colourCount; ++i) {
    placeInFile[i] = -1;
    for (size_t j = 0; j < usable; ++j) {
      const palette_file::Colour& c = colours[j];
      if (!taken[j] && c.red == table[i].red && c.green == table[i].green && c.blue == table[i].blue) {
        taken[j] = true;
        placeInFile[i] = static_cast<int32_t>(j);
        break;
      }
    }
    if (placeInFile[i] < 0) ++missing;
  }
  if (missing != 0) return missing;
  // An entry's new index: how many matched places come before its own.
  for (int32_t i = 0; i < colourCount; ++i) {
    int32_t before = 0;
    for (int32_t k = 0; k < colourCount; ++k) before += placeInFile[k] < placeInFile[i] ? 1 : 0;
    order[i] = before;
  }
  return 0;
}

}  // namespace mirtav
