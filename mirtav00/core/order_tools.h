// The shuffler's order tools without the window system: each gives an order
// (entry i of the table moves to order[i], the convention of ReorderPicture)
// that the Win32 layer applies through the same path as Randomize PLT, so
// every pixel keeps its colour. The sorts are stable: entries with equal
// keys keep their order.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/bitmap/core/bmp_rules.h"
#include "mirtav00/core/shuffle.h"

namespace mirtav {

// How many pixels use each entry: uses[0..255], entries past the table (or
// indices no table entry has) counted all the same. An RLE picture counts
// as it is shown (pixels its stream does not reach show entry 0). False,
// with uses zero, for a layout whose rows or stream do not fit the block,
// or for other than 4 or 8 bits.
bool CountUses(const uint8_t* block, size_t blockSize, const bmp::BlockLayout& layout, uint64_t uses[256]);

// Perceived lightness, the key of the lightness sort: CIE L* of the sRGB
// colour (0..100). The hue sort also reads the colour's CIELAB chroma and
// hue angle.
double Lightness(const shuffle::PaletteEntry& colour);

// Below this chroma a colour counts as a grey in the hue sort.
constexpr double kGreyChroma = 10.0;
// The hue sort puts colours into sectors of this many degrees, from 0, and
// within a sector by lightness, so the shades of one hue sit together.
constexpr double kHueSector = 15.0;

enum class SortKey { kHue, kLightness, kUse };

// The order that sorts table[0..count-1]: hue (greys first by lightness,
// then colours by hue sector, ties by lightness), lightness (darkest first),
// or use (most used first by uses[], which must then be given; unused
// entries last). False for a count outside 1..256 or a missing uses.
bool SortOrder(const shuffle::PaletteEntry* table, int32_t count, SortKey key, const uint64_t* uses,
               int32_t* order);

// The order that moves entry `from` to place `to`, the entries between
// shifting by one toward `from`'s old place. False when either is outside
// 0..count-1.
bool MoveOrder(int32_t count, int32_t from, int32_t to, int32_t* order);

// Remove unused entries: the order that puts the entries some pixel uses
// (uses[i] > 0) first and the others after them, each group in its own
// order. Returns how many come first, the entries the table keeps (count
// when every entry is used; entry 0 is kept when none is, as a table cannot
// be empty); -1 for a count outside 1..256.
int32_t UnusedRemovalOrder(const uint64_t uses[256], int32_t count, int32_t* order);

// Merge duplicate colours: the first entry of each colour stays, the others
// go after the kept ones, each group in its own order; pixelMap sends every
// index's pixels to where its colour's first entry goes. Two entries are one
// colour when red, green, blue and, when alpha is given (a PNG's tRNS as
// each entry's alpha), alpha agree. Returns the entries kept (count when
// there is no duplicate); -1 for a count outside 1..256.
int32_t DuplicateMergeOrder(const shuffle::PaletteEntry* table, const uint8_t* alpha, int32_t count,
                            int32_t* order, int32_t* pixelMap);

// True when order leaves every entry where it is.
bool IsIdentity(const int32_t* order, int32_t count);

}  // namespace mirtav
