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

namespace {

// Both maps of a step as int32_t: the table's order and the pixels' map.
bool StepMaps(const OrderStep& step, int32_t* order, int32_t* pixelMap) {
  const int32_t n = step.Before();
  if (n < 1 || n > shuffle::kMaxColours || step.kept < 1 || step.kept > n) return false;
  if (!step.pixelMap.empty() && step.pixelMap.size() != step.order.size()) return false;
  for (int32_t i = 0; i < n; ++i) {
    order[i] = step.order[i];
    pixelMap[i] = step.pixelMap.empty() ? order[i] : step.pixelMap[i];
  }
  return shuffle::IsPermutation(order, n);
}

}  // namespace

bool ApplyStep(shuffle::PaletteEntry* paletteTable, int32_t* colourCount, uint8_t* block, size_t blockSize,
               bmp::BlockLayout* layout, const OrderStep& step, shuffle::IndexPatch* merged) {
  int32_t order[shuffle::kMaxColours], pixelMap[shuffle::kMaxColours];
  uint8_t bytes[256];
  if (paletteTable == nullptr || colourCount == nullptr || layout == nullptr || !StepMaps(step, order, pixelMap) ||
      *colourCount != step.Before() || !RandomisePlanFits(*layout, blockSize, *colourCount) ||
      !shuffle::BuildMapTable(layout->bitCount, *colourCount, pixelMap, bytes)) {
    return false;
  }
  shuffle::PaletteEntry reordered[shuffle::kMaxColours];
  std::copy(paletteTable, paletteTable + shuffle::kMaxColours, reordered);
  shuffle::ReorderTable(reordered, *colourCount, order);
  bool moved[256] = {};  // index i's pixels leave the place its entry goes
  for (int32_t i = 0; i < *colourCount; ++i) moved[i] = pixelMap[i] != order[i];
  bool marked[256];
  for (int b = 0; b < 256; ++b) marked[b] = layout->bitCount == 4 ? moved[b >> 4] || moved[b & 15] : moved[b];
  if (!shuffle::ApplyMapToPicture(block, blockSize, *layout, reordered, bytes, merged != nullptr ? marked : nullptr,
                                  merged)) {
    return false;
  }
  std::copy(reordered, reordered + shuffle::kMaxColours, paletteTable);
  *colourCount = step.kept;
  layout->colourCount = step.kept;
  return true;
}

bool RevertStep(shuffle::PaletteEntry* paletteTable, int32_t* colourCount, uint8_t* block, size_t blockSize,
                bmp::BlockLayout* layout, const OrderStep& step) {
  int32_t order[shuffle::kMaxColours], pixelMap[shuffle::kMaxColours], inverse[shuffle::kMaxColours];
  if (paletteTable == nullptr || colourCount == nullptr || layout == nullptr || !StepMaps(step, order, pixelMap) ||
      *colourCount != step.kept || layout->colourCount != step.kept || !step.patch.Fits(blockSize)) {
    return false;
  }
  const int32_t n = step.Before();
  StepOrder(step, true, inverse);
  bmp::BlockLayout grown = *layout;
  grown.colourCount = n;
  if (!ReorderPicture(paletteTable, n, block, blockSize, grown, inverse)) return false;
  shuffle::RestoreIndexBytes(block, blockSize, step.patch);
  *colourCount = n;
  *layout = grown;
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
