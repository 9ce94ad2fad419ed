// Which source pixel GDI shows at each destination pixel when StretchDIBits
// paints with COLORONCOLOR, and a sampler that copies exactly those indices
// into a small DIB, so a reduced (or copied) picture costs what the screen or
// the clipboard holds, not what the file holds. Painting the sampled DIB 1:1
// with the block's current colour table gives the same pixels as stretching
// the whole picture.
//
// The maps follow Wine's DIB engine (dibdrv: calc_1d_stretch_params and the
// stretch_row / shrink_row loops, STRETCH_DELETESCANS). Per axis it steps a
// Bresenham line from (source start, destination start) with the error term
// 3*minor - 2*major; solved in closed form, with s = source length and d =
// destination length (both > 0) and j the destination pixel counted from the
// destination start:
//   d >= s (enlarge or 1:1), both axes:  floor((s*(2j+1) - 1) / (2d))
//   d <  s, columns (each source pixel overwrites the last; the last wins):
//                                        floor((2s*(j+1) - d) / (2d))
//   d <  s, rows (only the first source row of each run is drawn):
//                                        floor((2s*j - d) / (2d)) + 1, 0 for j = 0
// Wine clips the line exactly (clip_line), so the answer for a pixel does not
// depend on which part of the window is being painted. Rows are counted from
// the top of the picture as displayed. Mirrored (negative) lengths are not
// handled. Note that Wine computes the visible rectangles in 32 bits
// (intersect_vis_rectangles: source x destination width), so a stretch whose
// picture width times destination width passes 2^31 is painted wrongly by
// Wine itself; painting a sampled DIB 1:1 never meets that limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/bitmap/core/bmp_rules.h"
#include "common/bitmap/core/rle.h"

namespace sampling {

enum class Axis { kColumns, kRows };

// The source pixel (srcStart + offset) shown at destination pixel `dst` of a
// stretch of srcLength pixels from srcStart onto dstLength pixels from
// dstStart; -1 when dst lies outside the destination or a length is not
// positive. Pure 64-bit arithmetic; O(1).
int64_t SourceFor(Axis axis, int64_t srcStart, int64_t srcLength, int64_t dstStart,
                  int64_t dstLength, int64_t dst);

// SourceFor for every destination pixel in [visibleFirst, visibleEnd), in
// order. Empty when the range is empty. The Win32 layer may compare these with
// what GDI paints on a memory DC.
std::vector<int64_t> AxisMap(Axis axis, int64_t srcStart, int64_t srcLength, int64_t dstStart,
                             int64_t dstLength, int64_t visibleFirst, int64_t visibleEnd);

// The pixel rows of a 1-, 4- or 8-bit picture in memory: uncompressed rows,
// or (with `index` set) an RLE stream whose rows are decoded one at a time
// through its row index, so no more than a row's visible part is held.
struct SourceRows {
  const uint8_t* bytes = nullptr;
  size_t size = 0;          // bytes readable from `bytes`
  int32_t width = 0;
  int32_t height = 0;       // rows, positive
  uint16_t bitCount = 0;    // 1, 4 or 8
  uint64_t rowStride = 0;   // bytes from one stored row to the next (uncompressed)
  bool topDown = false;     // first stored row is the top row
  const rle::RowIndex* index = nullptr;  // RLE: bytes/size are the stream; bottom-up
};

// The rows of a block as the lock rules describe them; an RLE block needs
// the index built for its stream (without it the rows are empty).
SourceRows RowsOfBlock(const uint8_t* block, size_t blockSize, const bmp::BlockLayout& layout,
                       const rle::RowIndex* index = nullptr);

// The rows hold the picture they claim: every row lies inside `bytes`, or
// the index describes this stream and picture.
bool RowsAreSound(const SourceRows& rows);

// One StretchDIBits call, in device pixels with rows counted from the top:
// the source rectangle (srcTop counted from the top of the picture; for a
// bottom-up DIB StretchDIBits' ySrc is height - srcTop - srcHeight) and the
// destination rectangle, and the part of the destination wanted.
struct Stretch {
  int64_t srcX = 0, srcTop = 0, srcWidth = 0, srcHeight = 0;
  int64_t dstX = 0, dstY = 0, dstWidth = 0, dstHeight = 0;
  int64_t visLeft = 0, visTop = 0, visRight = 0, visBottom = 0;
};

// A packed DIB's pixels: bottom-up rows of the source's bit depth, each
// padded to 4 bytes, width = visRight - visLeft (clipped to the destination),
// height likewise. Paint it 1:1 at (visLeft, visTop) with the block's colour
// table, or hand it to the clipboard after a header.
struct Sampled {
  int64_t width = 0;
  int64_t height = 0;
  uint64_t rowStride = 0;
  std::vector<uint8_t> pixels;
};

// Samples the visible part of `stretch` from `rows`. False, with *out empty,
// when the rows do not hold what they claim, a source pixel falls outside
// the picture, or the result would pass maxBytes. Cost: the output's size
// (and, for RLE rows, the codes of each source row shown). Memory beyond the
// output and its column and row maps: for RLE rows, the visible part of one
// row, at most 2^16 pixels. std::bad_alloc when memory runs out.
bool Sample(const SourceRows& rows, const Stretch& stretch, uint64_t maxBytes, Sampled* out);

}  // namespace sampling
