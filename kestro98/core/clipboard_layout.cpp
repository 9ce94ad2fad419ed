#include "kestro98/core/clipboard_layout.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "common/bitmap/core/bmp_rules.h"
#include "kestro98/core/view_rules.h"

namespace kestro {


bool ClipboardLayout(int32_t width, int32_t height, uint16_t bitCount, int32_t colourCount,
                     int32_t level, ClipLayout* out) {
  *out = ClipLayout();
  if (bitCount != 1 && bitCount != 4 && bitCount != 8) return false;
  if (colourCount < 0 || colourCount > 256) return false;
  const int64_t dw = DisplayedLength(width, level);
  const int64_t dh = DisplayedLength(height, level);
  if (dw <= 0 || dh <= 0 || dw > std::numeric_limits<int32_t>::max() ||
      dh > std::numeric_limits<int32_t>::max()) {
    return false;
  }
  out->width = dw;
  out->height = dh;
  out->bitCount = bitCount;
  out->colourCount = colourCount;
  out->rowBytes = bmp::PaddedRowBytes(dw, bitCount);
  out->imageBytes = out->rowBytes * static_cast<uint64_t>(dh);
  out->headerBytes = 40 + 4 * static_cast<uint64_t>(colourCount);
  out->blockBytes = out->headerBytes + out->imageBytes;
  return out->imageBytes <= std::numeric_limits<uint32_t>::max();
}

bool WriteClipboardHeader(const ClipLayout& l, const PaletteHistory& palette, uint8_t* out,
                          size_t outBytes) {
  if (out == nullptr || outBytes < l.headerBytes || l.width <= 0) return false;
  if (palette.ColourCount() > l.colourCount) return false;
  bmp::PutU32(out + bmp::kBiSize, 40);
  bmp::PutU32(out + bmp::kBiWidth, static_cast<uint32_t>(l.width));
  bmp::PutU32(out + bmp::kBiHeight, static_cast<uint32_t>(l.height));
  bmp::PutU16(out + bmp::kBiPlanes, 1);
  bmp::PutU16(out + bmp::kBiBitCount, l.bitCount);
  bmp::PutU32(out + bmp::kBiCompression, bmp::kBiRgb);
  bmp::PutU32(out + bmp::kBiSizeImage, static_cast<uint32_t>(l.imageBytes));
  bmp::PutU32(out + bmp::kBiXPels, 0);
  bmp::PutU32(out + bmp::kBiYPels, 0);
  bmp::PutU32(out + bmp::kBiClrUsed, static_cast<uint32_t>(l.colourCount));
  bmp::PutU32(out + bmp::kBiClrImportant, static_cast<uint32_t>(l.colourCount));
  // Entries past the picture's own table are black.
  std::memset(out + 40, 0, static_cast<size_t>(l.headerBytes - 40));
  return palette.WriteFileTable(out + 40, static_cast<size_t>(l.headerBytes - 40));
}

sampling::Stretch CopyStretch(const ClipLayout& layout, int32_t width, int32_t height) {
  sampling::Stretch s;
  s.srcWidth = width;
  s.srcHeight = height;
  s.dstWidth = layout.width;
  s.dstHeight = layout.height;
  s.visRight = layout.width;
  s.visBottom = layout.height;
  return s;
}

namespace {

constexpr uint64_t kBandBytes = 1024 * 1024;

// Rows copied as they stand: the picture at 1:1. RLE rows are decoded
// straight into the copy, whose rows are bottom-up as the stream's are.
bool CopyRowsWhole(const sampling::SourceRows& rows, const ClipLayout& l, uint8_t* pixels) {
  if (rows.index != nullptr) {
    const uint64_t bytes = l.rowBytes * static_cast<uint64_t>(l.height);
    std::memset(pixels, 0, static_cast<size_t>(bytes));
    return rows.index->DecodeBand(rows.bytes, rows.size, 0, static_cast<uint64_t>(l.height),
                                  l.rowBytes, pixels, static_cast<size_t>(bytes));
  }
  const uint64_t packed = bmp::PackedRowBytes(rows.width, rows.bitCount);
  const uint64_t usedBits = static_cast<uint64_t>(rows.width) * rows.bitCount;
  const uint8_t lastMask = usedBits % 8 == 0 ? 0xFF
                                             : static_cast<uint8_t>(0xFF << (8 - usedBits % 8));
  for (int64_t y = 0; y < l.height; ++y) {
    // Clipboard row y counts from the bottom, as a bottom-up source stores it.
    const uint64_t stored = rows.topDown ? static_cast<uint64_t>(l.height - 1 - y)
                                         : static_cast<uint64_t>(y);
    uint8_t* to = pixels + static_cast<uint64_t>(y) * l.rowBytes;
    std::memcpy(to, rows.bytes + stored * rows.rowStride, static_cast<size_t>(packed));
    to[packed - 1] &= lastMask;
    std::memset(to + packed, 0, static_cast<size_t>(l.rowBytes - packed));
  }
  return true;
}

}  // namespace

bool FillClipboardPixels(const sampling::SourceRows& rows, const ClipLayout& l, uint8_t* pixels,
                         size_t pixelBytes) {
  if (pixels == nullptr || l.height <= 0 || pixelBytes != l.imageBytes) return false;
  if (rows.bitCount != l.bitCount || !sampling::RowsAreSound(rows)) return false;
  if (l.width == rows.width && l.height == rows.height) return CopyRowsWhole(rows, l, pixels);

  const sampling::Stretch whole = CopyStretch(l, rows.width, rows.height);
  const int64_t bandRows =
      static_cast<int64_t>(std::max<uint64_t>(1, kBandBytes / std::max<uint64_t>(1, l.rowBytes)));
  for (int64_t top = 0; top < l.height; top += bandRows) {
    const int64_t bottom = std::min(l.height, top + bandRows);
    sampling::Stretch band = whole;
    band.visTop = top;
    band.visBottom = bottom;
    sampling::Sampled sampled;
    try {
      if (!sampling::Sample(rows, band, kBandBytes + l.rowBytes, &sampled)) return false;
    } catch (const std::bad_alloc&) {
      return false;
    }
    const uint64_t bytes = static_cast<uint64_t>(bottom - top) * l.rowBytes;
    if (sampled.rowStride != l.rowBytes || sampled.pixels.size() != bytes) return false;
    // The band's rows are bottom-up too: its lowest row is displayed row
    // bottom - 1, stored at l.height - bottom.
    std::memcpy(pixels + static_cast<uint64_t>(l.height - bottom) * l.rowBytes,
                sampled.pixels.data(), static_cast<size_t>(bytes));
  }
  return true;
}

}  // namespace kestro
