#include "mirtav00/core/palette_picture.h"

#include <cstring>

#include "common/bitmap/core/bmp_rules.h"

namespace mirtav {

int32_t CellCount(int32_t colourCount, uint16_t bitCount) {
  return bitCount == 8 || colourCount > 16 ? 256 : 16;
}

CellRect CellOf(int32_t entry) {
  const int32_t left = kCellOrigin + kCellPitch * (entry % 16);
  const int32_t top = kCellOrigin + kCellPitch * (entry / 16);
  return {left, top, left + kCellSize, top + kCellSize};
}

int32_t EntryAt(int32_t x, int32_t y, int32_t colourCount) {
  constexpr int32_t kGap = (kCellPitch - kCellSize) / 2;
  if (x < kCellOrigin - kGap || y < kCellOrigin - kGap) return -1;
  const int32_t column = (x - kCellOrigin + kGap) / kCellPitch, row = (y - kCellOrigin + kGap) / kCellPitch;
  const int32_t entry = row * 16 + column;
  return column < 16 && row < 16 && entry < colourCount ? entry : -1;
}

uint32_t Dib24RowBytes(int32_t width) {
  const uint32_t w = width > 0 ? static_cast<uint32_t>(width) : 0;
  return 4 * w - 4 * (w / 4);
}

void WritePaletteDib(const shuffle::PaletteEntry* paletteTable, int32_t colourCount, uint8_t* out,
                     uint16_t bitCount) {
  std::memset(out, 0, 40);
  bmp::PutU32(out + bmp::kBiSize, 40);
  bmp::PutU32(out + bmp::kBiWidth, kPaletteSide);
  bmp::PutU32(out + bmp::kBiHeight, kPaletteSide);
  bmp::PutU16(out + bmp::kBiPlanes, 1);
  bmp::PutU16(out + bmp::kBiBitCount, 24);
  bmp::PutU32(out + bmp::kBiSizeImage, kPaletteImageSize);

  uint8_t* pixels = out + 40;
  std::memset(pixels, 0xFF, kPaletteImageSize);
  // y counts from the top; the DIB stores the bottom row first.
  auto fill = [pixels](int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t b, uint8_t g,
                       uint8_t r) {
    for (int32_t y = y0; y < y1; ++y) {
      uint8_t* p = pixels + static_cast<size_t>(kPaletteSide - 1 - y) * kPaletteRowBytes + 3 * x0;
      for (int32_t x = x0; x < x1; ++x, p += 3) {
        p[0] = b;
        p[1] = g;
        p[2] = r;
      }
    }
  };
  const int32_t cells = CellCount(colourCount, bitCount);
  const shuffle::PaletteEntry black;
  for (int32_t i = 0; i < cells; ++i) {
    const CellRect c = CellOf(i);
    fill(c.left, c.top, c.right, c.bottom, 0, 0, 0);  // the black frame
    const shuffle::PaletteEntry& e = i < colourCount ? paletteTable[i] : black;
    fill(c.left + 1, c.top + 1, c.right - 1, c.bottom - 1, static_cast<uint8_t>(e.blue & 0xFF),
         static_cast<uint8_t>(e.green & 0xFF), static_cast<uint8_t>(e.red & 0xFF));
  }
}

}  // namespace mirtav
