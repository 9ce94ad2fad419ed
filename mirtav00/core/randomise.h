// The Randomize PLT command without the window system: the clock reading
// that seeds the order (only the hundredths and the seconds of the time of
// day count), and the whole change of one run checked before it starts, so
// PaletteTable, the block's colour table and its pixels change together or
// not at all. The Win32 layer reads GetLocalTime, shows the notice and the
// wait cursor, locks the block and calls RandomisePicture.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/bitmap/core/bmp_rules.h"
#include "mirtav00/core/order_history.h"
#include "mirtav00/core/shuffle.h"

namespace mirtav {

// A local time of day as the system gives it (SYSTEMTIME's fields).
struct TimeOfDay {
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;
  int32_t milliseconds = 0;
};

// What the pool set-up reads of a time: hundredths (milliseconds / 10,
// 0..99) and seconds (0..59); values out of range are held at the ends.
struct SeedClock {
  int32_t hundredths;
  int32_t seconds;
};
SeedClock SeedClockOf(const TimeOfDay& time);

// Pool set-up from the time, then OrderMap[0..n-1] a permutation of 0..n-1.
bool BuildOrderAt(shuffle::Shuffler& shuffler, int32_t colourCount, const TimeOfDay& time);

// The plan check: a block layout the shuffler takes (open_rules's
// ShufflerLayoutFits) whose colour count is the open picture's.
bool RandomisePlanFits(const bmp::BlockLayout& layout, size_t blockSize, int32_t colourCount);

// Entry i of the table moves to order[i] and every pixel follows it, so the
// picture looks the same: the plan check and the order's check first, then
// the block's colour table, the pixels, and only then PaletteTable. False,
// with table and block unchanged, when a check refuses. Randomize PLT and
// Arrange to palette both end here.
bool ReorderPicture(shuffle::PaletteEntry* paletteTable, int32_t colourCount, uint8_t* block,
                    size_t blockSize, const bmp::BlockLayout& layout, const int32_t* order);

// A step of the history on the picture (Redo, or the step as first taken):
// the table's step.Before() entries move through step.order into the block's
// colour table and PaletteTable, the pixels through step.pixelMap (or the
// order), and then *colourCount and layout->colourCount become step.kept.
// The entries past kept stay where the order put them, in both tables, for
// the Undo. With `merged`, a merge taken the first time keeps there the
// bytes it changes (those holding an index whose pixels go elsewhere than
// its entry), as they were. False, with everything unchanged, when a check
// refuses.
bool ApplyStep(shuffle::PaletteEntry* paletteTable, int32_t* colourCount, uint8_t* block, size_t blockSize,
               bmp::BlockLayout* layout, const OrderStep& step, shuffle::IndexPatch* merged = nullptr);

// The step taken back: the table grows back to step.Before() entries, every
// entry and pixel goes back through the inverse order, and a merge's patch
// puts back the indices it changed. False, with everything unchanged, when
// a check refuses.
bool RevertStep(shuffle::PaletteEntry* paletteTable, int32_t* colourCount, uint8_t* block, size_t blockSize,
                bmp::BlockLayout* layout, const OrderStep& step);

// One run: the plan check, the order from the time, then the reordered
// table into the block's colour table, the pixels remapped, and only then
// PaletteTable replaced. False, with table, block and OrderMap unchanged,
// when the plan check refuses.
bool RandomisePicture(shuffle::Shuffler& shuffler, shuffle::PaletteEntry* paletteTable,
                      int32_t colourCount, uint8_t* block, size_t blockSize,
                      const bmp::BlockLayout& layout, const TimeOfDay& time);

}  // namespace mirtav
