// The shuffler's random palette order and the pixel remap that keeps the
// picture looking the same. A 15-bit linear generator fills a pool from the
// time of day; every Wichmann-Hill step takes three fresh seeds from the pool;
// candidates are drawn until each index has been placed once. Plain memory
// only: the command that reads the clock and locks the block lives in the
// Win32 layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/bitmap/core/bmp_rules.h"

namespace shuffle {

constexpr int kPoolSize = 32768;
constexpr int kMaxColours = 256;

// x <- x * 22695477 + 1 (mod 2^32); the output is bits 16..30 of the new x.
struct LinearGenerator {
  uint32_t state = 0;
  void Seed(uint32_t seed) { state = seed; }
  int32_t Next() {
    state = state * 22695477u + 1u;
    return static_cast<int32_t>((state >> 16) & 0x7FFF);
  }
};

// One colour-table entry as the shuffler keeps it: blue, green, red.
struct PaletteEntry {
  int32_t blue = 0;
  int32_t green = 0;
  int32_t red = 0;
};

// The pool seed of a time of day: hundredths 0..99, seconds 0..59.
uint32_t PoolSeedOfTime(int hundredths, int seconds);

// One Wichmann-Hill step from three seeds; the fractional part of the sum,
// or 0.00001 when the sum is a whole number.
double WichmannHill(int32_t a, int32_t b, int32_t c);

// The generator, its pool and the order of one run. Large (about 140 KiB):
// the program keeps one instance for the whole run.
struct Shuffler {
  LinearGenerator generator;
  int32_t RandomPool[kPoolSize] = {};
  uint32_t poolSeed = 0;
  uint32_t poolCursor = 0;
  int32_t OrderMap[kMaxColours] = {};

  // Seeds the generator with `seed`, fills all pool slots, cursor to 0.
  void FillPool(uint32_t seed);
  // Pool set-up from the time of day.
  void SetUpPool(int hundredths, int seconds);
  // A seed 1..30000 from the pool; refills the pool after the last slot.
  int32_t DrawSeed();
  // A number in (0, 1) from three seed draws.
  double DrawUniform();
  // Pool set-up, then OrderMap[0..n-1] becomes a permutation of 0..n-1.
  // n is the colour count (16 or 256 in the program; 1..256 accepted).
  bool BuildOrder(int colourCount, int hundredths, int seconds);
  // Entry i moves to OrderMap[i]; entries n..255 stay. False, with the
  // table untouched, when OrderMap[0..n-1] is no permutation.
  bool ReorderPalette(PaletteEntry* paletteTable, int colourCount);
};

// Entry i moves to orderMap[i]; entries n..255 stay. False, with the table
// untouched, when orderMap[0..n-1] is no permutation.
bool ReorderTable(PaletteEntry* paletteTable, int colourCount, const int32_t* orderMap);

// True when orderMap[0..n-1] holds every value 0..n-1 once.
bool IsPermutation(const int32_t* orderMap, int colourCount);

// Follows one more reorder: where order[i] says the source's entry i stands
// in the table, and the table's entry j then moves to step[j], the source's
// entry i ends at step[order[i]]. False, with order untouched, when either
// is no permutation of 0..n-1.
bool ComposeOrder(int32_t* order, const int32_t* step, int colourCount);

// The byte table of the pixel pass: for 8 bits table[b] = orderMap[b]; for
// 4 bits both nibbles go through orderMap. Indices at or beyond the colour
// count (a table shorter than the bit count allows) are left as they are.
// False for other bit counts or when orderMap is no permutation.
bool BuildRemapTable(uint16_t bitCount, int colourCount, const int32_t* orderMap,
                     uint8_t table[256]);

// The same for any map of the first colourCount indices onto 0..colourCount-1,
// two indices may go to one (a merge of duplicates). False for other bit
// counts or a value outside 0..colourCount-1.
bool BuildMapTable(uint16_t bitCount, int colourCount, const int32_t* indexMap, uint8_t table[256]);

// Rewrites rowBytes bytes of each of `rows` rows, rowStride apart, through
// table; the padding after rowBytes is not touched.
void RemapRows(uint8_t* pixels, uint64_t rows, uint64_t rowBytes, uint64_t rowStride,
               const uint8_t table[256]);

// Remaps the index bytes of an RLE8 or RLE4 stream through table, in place:
// the value of every encoded run and the bytes of every absolute run (both
// nibbles in RLE4; their word padding is left alone); escapes and deltas stay,
// so the stream keeps its length and every row its codes. With table null,
// only checks. False, with nothing changed, for a stream cut inside a code;
// the walk stops at the end-of-bitmap escape.
bool RemapRleStream(uint8_t* stream, size_t size, uint16_t bitCount, const uint8_t* table);

// Writes paletteTable[0..n-1] into the block's colour table (in its own entry
// layout) and remaps every pixel through orderMap: the rows from
// layout.pixelOffset, or the RLE stream inside its codes. Refuses, changing
// nothing, a 4- or 8-bit layout whose rows, stream or colour table do not fit
// the block, rowBytes beyond rowStride, a damaged RLE stream, other bit
// counts, or an orderMap that is no permutation.
bool ApplyToPicture(uint8_t* block, size_t blockSize, const bmp::BlockLayout& layout,
                    const PaletteEntry* paletteTable, const int32_t* orderMap);

// Index bytes of a picture as they were before a change that loses which of
// two indices a pixel had (a merge), in offset order: for each, the gap
// from the byte after the one before (7 bits a byte, the top bit set on all
// but the last) and the byte. Two or three bytes a kept byte, where offsets
// and lengths would take seventeen: a merge's memory is a fraction of the
// pixels it changed.
struct IndexPatch {
  std::vector<uint8_t> stream;
  size_t next = 0;  // the offset after the last byte kept
  bool Empty() const { return stream.empty(); }
  // Every kept byte lies inside a block of blockSize bytes and the stream
  // ends after a whole entry.
  bool Fits(size_t blockSize) const;
  // The byte at offset, which lies after those kept so far.
  void Keep(size_t offset, uint8_t byte);
};

// The same with the pixels' bytes rewritten through a byte table of
// BuildMapTable (or BuildRemapTable), so the table written and the pixels'
// indices may follow different maps. With a patch, every index byte for
// which marked[byte] is set is kept in it first, as it was (the patch is
// emptied first; room reserved in its stream stays).
bool ApplyMapToPicture(uint8_t* block, size_t blockSize, const bmp::BlockLayout& layout,
                       const PaletteEntry* paletteTable, const uint8_t byteMap[256], const bool* marked = nullptr,
                       IndexPatch* patch = nullptr);

// Writes the patch's bytes back; false, writing nothing, when a run lies
// outside the block.
bool RestoreIndexBytes(uint8_t* block, size_t blockSize, const IndexPatch& patch);

}  // namespace shuffle
