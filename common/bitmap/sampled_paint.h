// The cheap paint of a picture held in a DIB block: instead of stretching the
// whole picture with StretchDIBits (whose reduction touches every source
// pixel of the visible region under Wine), the indices GDI would show are
// sampled once into a DIB of the visible size (sampling::Sample) and that
// small DIB is painted 1:1 with the block's current colour table. A palette
// change repaints from the kept samples, so a repaint costs what the window
// shows, not what the file holds. An RLE picture is indexed once (where each
// row starts in its stream) and only the rows the view samples are decoded,
// so memory follows the window and the file, never width x height.
//
// Use: one SampledPaint per view. Call Forget() whenever the block is
// replaced (a new picture); Paint() finds out itself when the stretch changed.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/bitmap/core/bmp_rules.h"
#include "common/bitmap/core/rle.h"
#include "common/bitmap/core/view_sampling.h"

class SampledPaint {
 public:
  // Paints into dc exactly what
  //   SetStretchBltMode(dc, COLORONCOLOR);
  //   StretchDIBits(dc, stretch.dstX, stretch.dstY, stretch.dstWidth, stretch.dstHeight,
  //                 0, 0, layout.width, layout.height, pixels, block, DIB_RGB_COLORS, SRCCOPY)
  // would show inside (visLeft, visTop)-(visRight, visBottom) of `stretch` (the
  // whole picture as source: srcX = srcTop = 0, srcWidth/Height = the picture's),
  // and nothing outside it. block/blockSize: the locked block (information
  // header, colour table, pixels); layout: what the lock rules gave for it.
  // False, with nothing painted, when the block cannot be sampled, the
  // sample would pass 256 MiB, or memory runs out (no exception leaves).
  bool Paint(HDC dc, const uint8_t* block, size_t blockSize, const bmp::BlockLayout& layout,
             const sampling::Stretch& stretch);

  // Drops the kept samples and the row index (a new picture was adopted).
  void Forget();

  // What the last paint showed at device point (x, y): the entry there and
  // the source pixel (column, and row counted from the picture's top). False
  // when `stretch` is not the one painted (a repaint is due) or the point
  // lies outside what was painted. O(1): the samples are read, not the block.
  bool ShownAt(const sampling::Stretch& stretch, int64_t x, int64_t y, int64_t* column,
               int64_t* row, uint8_t* entry) const;

  // While `entry` is 0..255, the paint shows that entry's pixels in their
  // colour and every other entry dimmed to a grey near its own lightness;
  // -1 shows every entry. The caller repaints after a change.
  void ShowOnly(int32_t entry) { shownOnly_ = entry; }

 private:
  bool Resample(const uint8_t* block, size_t blockSize, const bmp::BlockLayout& layout,
                const sampling::Stretch& stretch);

  bool valid_ = false;
  int32_t shownOnly_ = -1;
  sampling::Stretch key_{};
  bmp::BlockLayout keyLayout_{};
  sampling::Sampled sampled_;
  rle::RowIndex index_;  // RLE pictures: where each row starts, found once per picture
};

// Fills the visible part of `stretch` with the window's background brush
// (white when the DC has no window): what a paint that failed leaves.
void PaintBackground(HDC dc, const sampling::Stretch& stretch);
