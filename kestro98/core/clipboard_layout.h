// The Copy command's CF_DIB: a 40-byte BITMAPINFOHEADER (width DW, height DH
// bottom-up, the picture's bit count, BI_RGB, image size S, colours used and
// important = colour count, 2^bits as the caller gives it), the current
// palette with fourth bytes 0 padded with black to the colour count, then
// rows of ceil(DW x bits / 32) x 4 bytes. All sizes in 64 bits; a picture
// whose copy cannot be described (S beyond 32 bits) is refused, and the Win32
// layer shows "Unable to allocate clipboard memory.". The pixels are the
// picture's own indices at the positions the view shows (CopyStretch with
// sampling::Sample), never colours matched back to indices.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/bitmap/core/view_sampling.h"
#include "kestro98/core/messages.h"
#include "kestro98/core/open_rules.h"
#include "kestro98/core/palette_history.h"

namespace kestro {

struct ClipLayout {
  int64_t width = 0, height = 0;   // DW, DH
  uint16_t bitCount = 0;
  int32_t colourCount = 0;
  uint64_t rowBytes = 0;           // one padded row
  uint64_t imageBytes = 0;         // S = rowBytes x DH
  uint64_t headerBytes = 0;        // 40 + 4n: where the rows begin
  uint64_t blockBytes = 0;         // 40 + 4n + S
};

// False for an empty displayed size or one a BITMAPINFOHEADER cannot hold.
bool ClipboardLayout(int32_t width, int32_t height, uint16_t bitCount, int32_t colourCount,
                     int32_t level, ClipLayout* out);

// Writes the header and the palette (headerBytes bytes) into out.
bool WriteClipboardHeader(const ClipLayout& layout, const PaletteHistory& palette, uint8_t* out,
                          size_t outBytes);

// The whole picture stretched onto DW x DH at (0, 0), all of it wanted; the
// sampled rows have exactly layout.rowBytes each.
sampling::Stretch CopyStretch(const ClipLayout& layout, int32_t width, int32_t height);

// The copy's pixel rows (layout.imageBytes bytes at `pixels`, bottom row
// first): exactly the indices Sample gives for CopyStretch, sampled a band of
// rows at a time so only about a megabyte is held beside the output; at 1:1
// the rows are copied (or, for RLE rows, decoded) whole (the map is the
// identity there) with the bits past the width and the padding 0. False when
// the rows do not hold the picture, the output is not layout.imageBytes, or
// memory runs out.
bool FillClipboardPixels(const sampling::SourceRows& rows, const ClipLayout& layout,
                         uint8_t* pixels, size_t pixelBytes);

}  // namespace kestro
