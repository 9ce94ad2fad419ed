// Indexed (palette) PNG through the Windows Imaging Component: decoding a
// PNG held in memory straight into the caller's rows of palette indices, and
// encoding rows of indices with a palette into a complete PNG in memory. The
// rows are packed most significant bits first, as in a DIB; they may run
// top-down or bottom-up. Nothing here shows a message: each call answers a
// PngResult from which the caller picks its own. Every call starts COM on the
// calling thread for as long as it needs it; an IndexedPngFrame is used on
// the thread that opened it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

enum class PngResult {
  kOk,
  kNotIndexed,        // a PNG whose pixels are colours or greys, not palette indices
  kDamaged,           // not a PNG, or one that cannot be decoded to the end
  kNoMemory,
  kIndexPastPalette,  // encode: a pixel's index has no palette entry
  kBadArguments,      // sizes, depths or a palette the call cannot take
  kWicFailed,         // the imaging component could not be started or failed otherwise
};

// Rows of palette indices in memory, read by EncodeIndexedPng.
struct IndexRows {
  const uint8_t* rows = nullptr;  // the first row in memory
  size_t size = 0;                // bytes readable from `rows`
  size_t stride = 0;              // bytes from one row to the next
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t depth = 0;             // bits per pixel: 1, 2, 4 or 8
  bool bottomUp = false;          // the first row in memory is the picture's bottom row
};

// One decoded indexed PNG. Open reads the picture's size, depth and palette;
// CopyIndexRows then writes its indices into the caller's rows.
class IndexedPngFrame {
 public:
  IndexedPngFrame();
  ~IndexedPngFrame();
  IndexedPngFrame(const IndexedPngFrame&) = delete;
  IndexedPngFrame& operator=(const IndexedPngFrame&) = delete;

  // Decodes the PNG file held in bytes[0, size); the bytes must stay unchanged
  // until this frame is released or opened again. kNotIndexed for a sound PNG
  // that is not indexed. On failure the frame is empty (width 0).
  PngResult Open(const uint8_t* bytes, size_t size);

  uint32_t Width() const { return width; }
  uint32_t Height() const { return height; }
  // Bits per pixel of the file: 1, 2, 4 or 8.
  uint32_t Depth() const { return depth; }
  // The palette in file order as 0xAARRGGBB (alpha from tRNS, 0xFF past it);
  // 1 to 2^Depth() entries. Pixels are not checked against its length.
  const std::vector<uint32_t>& Palette() const { return palette; }

  // Writes the indices into dest, `stride` bytes from row to row (the bottom
  // row first when bottomUp), every row holding Width() pixels of destDepth
  // bits: Depth() itself, or a greater depth of 4 or 8 with the same indices
  // (a 2-bit file becomes 4 bits per pixel). Bytes past a row's last pixel are
  // left alone when destDepth is Depth() and set to 0 otherwise. dest holds
  // `size` bytes; a call that would pass them is refused (kBadArguments)
  // before anything is written. After another failure dest may be written in
  // part.
  PngResult CopyIndexRows(uint8_t* dest, size_t size, size_t stride, uint32_t destDepth,
                          bool bottomUp) const;

 private:
  struct Objects;
  std::unique_ptr<Objects> objects;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t depth = 0;
  std::vector<uint32_t> palette;
};

// A complete PNG of colour type 3 at pngDepth (1, 2, 4 or 8) bits per pixel in
// *out: the indices of `source` (its depth may differ from pngDepth both ways)
// and the palette argb[0, paletteCount) as 0xAARRGGBB, 1 to 2^pngDepth entries;
// tRNS is written only when an entry is not opaque. Adam7-interlaced when
// asked. Every index must be below paletteCount (kIndexPastPalette). *out is
// empty unless the answer is kOk.
PngResult EncodeIndexedPng(const IndexRows& source, uint32_t pngDepth, const uint32_t* argb,
                           uint32_t paletteCount, bool interlace, std::vector<uint8_t>* out);
