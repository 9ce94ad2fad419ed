#include "mirtav00/core/randomise.h"

#include <algorithm>
#include <cstring>

#include "mirtav00/core/open_rules.h"

namespace mirtav {

SeedClock SeedClockOf(const TimeOfDay& time) {
  return {std::clamp(time.milliseconds, 0, 999) / 10, std::clamp(time.second, 0, 59)};
}

bool BuildOrderAt(shuffle::Shuffler& shuffler, int32_t colourCount, const TimeOfDay& time) {
  const SeedClock clock = SeedClockOf(time);
  return shuffler.BuildOrder(colourCount, clock.hundredths, clock.seconds);
}

bool RandomisePlanFits(const bmp::BlockLayout& layout, size_t blockSize, int32_t colourCount) {
  return layout.colourCount == colourCount && ShufflerLayoutFits(layout, blockSize);
}

bool ReorderPicture(shuffle::PaletteEntry* paletteTable, int32_t colourCount, uint8_t* block,
                    size_t blockSize, const bmp::BlockLayout& layout, const int32_t* order) {
  if (block == nullptr || paletteTable == nullptr || order == nullptr ||
      !RandomisePlanFits(layout, blockSize, colourCount) ||
      !shuffle::IsPermutation(order, colourCount)) {
    return false;
  }
  shuffle::PaletteEntry reordered[shuffle::kMaxColours];
  std::copy(paletteTable, paletteTable + shuffle::kMaxColours, reordered);
  shuffle::ReorderTable(reordered, colourCount, order);
  if (!shuffle::ApplyToPicture(block, blockSize, layout, reordered, order)) return false;
  std::copy(reordered, reordered + shuffle::kMaxColours, paletteTable);
  return true;
}

bool RandomisePicture(shuffle::Shuffler& shuffler, shuffle::PaletteEntry* paletteTable,
                      int32_t colourCount, uint8_t* block, size_t blockSize,
                      const bmp::BlockLayout& layout, const TimeOfDay& time) {
  if (block == nullptr || !RandomisePlanFits(layout, blockSize, colourCount)) return false;
  int32_t previousOrder[shuffle::kMaxColours];
  std::memcpy(previousOrder, shuffler.OrderMap, sizeof previousOrder);
  const bool done = BuildOrderAt(shuffler, colourCount, time) &&
                    ReorderPicture(paletteTable, colourCount, block, blockSize, layout,
                                   shuffler.OrderMap);
  // Unreachable after the plan check; kept so a refusal can never leave the
  // table and the picture disagreeing.
  if (!done) std::memcpy(shuffler.OrderMap, previousOrder, sizeof previousOrder);
  return done;
}

}  // namespace mirtav
