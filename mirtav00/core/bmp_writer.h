// The shuffler's BMP writer as a byte layout: file header, a 40-byte
// information header (the first 40 bytes of the block's, or one made from a
// core header's fields) and the colour table in 4-byte entries, the most
// widely read layout, then an RLE picture's stream as it stands, or every
// row's packed bytes followed
// by zero padding, through a tiff::ByteSink (a file in the program, memory in
// the tests). Rows come from the lock's layout, so a source with a gap after
// its colour table or bytes after its pixels is written without them: the
// size field is the length written, the pixel offset 54 + 4n, the image
// size height x rowStride. A top-down picture stays top-down: its header is
// copied with the negative height, so its rows keep their stored order.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/bitmap/core/bmp_rules.h"
#include "common/bitmap/core/tiff_layout.h"

namespace mirtav {

enum class BmpResult {
  kOk,
  kWriteFailed,  // the sink refused bytes
  kTooLarge,     // the file would not fit the 32-bit size field
  kNoMemory,     // no room for the row buffer
  kBadPicture,   // the layout is not one ShufflerLayoutFits takes for this block
};

// 14 + 40 + 4n + height x rowStride: the length WriteShufflerBmp produces.
uint64_t ShufflerBmpFileSize(const bmp::BlockLayout& layout);

// Writes the block's picture as a BMP file. Reads nothing outside
// [block, block + blockSize); any refused write is reported, never dropped.
BmpResult WriteShufflerBmp(const uint8_t* block, size_t blockSize, const bmp::BlockLayout& layout,
                           tiff::ByteSink& sink);

}  // namespace mirtav
