#include "kestro98/core/clipboard_layout.h"

#include <limits>

#include "common/bitmap/core/bmp_rules.h"
#include "kestro98/core/view_rules.h"

namespace kestro {

const BoxText kClipboardNoMemory = {"Unable to allocate clipboard memory.",
                                    "クリップボードのメモリを確保できません.", "Error", "エラー",
                                    BoxIcon::kError};

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
  if (palette.ColourCount() != l.colourCount) return false;
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

}  // namespace kestro
