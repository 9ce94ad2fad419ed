// The palette picture Copy PLT puts on the clipboard: its header, and every
// one of its 264 x 264 pixels against the cell layout worked out here from
// the layout's own numbers (pitch 16, corner 6, 12 x 12 cells, black frame).
#include <gtest/gtest.h>

#include <vector>

#include "common/bitmap/core/bmp_rules.h"
#include "mirtav00/core/palette_picture.h"

namespace {

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Pixel (x, y), y from the top, of the 24-bit bottom-up DIB.
Rgb PixelAt(const std::vector<uint8_t>& dib, int x, int y) {
  const uint8_t* p = dib.data() + 40 + (263 - y) * 792 + 3 * x;
  return {p[2], p[1], p[0]};
}

// What the window shows at (x, y) for a table of n colours.
Rgb Expected(const shuffle::PaletteEntry* table, int n, int x, int y) {
  const int rows = n == 256 ? 16 : 1;
  const int c = (x - 6) / 16, r = (y - 6) / 16, dx = (x - 6) % 16, dy = (y - 6) % 16;
  if (x < 6 || y < 6 || c > 15 || r >= rows || dx > 11 || dy > 11) return {255, 255, 255};
  if (dx == 0 || dy == 0 || dx == 11 || dy == 11) return {0, 0, 0};
  const shuffle::PaletteEntry& e = table[r * 16 + c];
  return {static_cast<uint8_t>(e.red), static_cast<uint8_t>(e.green), static_cast<uint8_t>(e.blue)};
}

}  // namespace

TEST(MirtavPalette, ClipboardHeaderAndRowLength) {
  shuffle::PaletteEntry table[256] = {};
  std::vector<uint8_t> dib(mirtav::kPaletteDibSize, 0xAA);
  mirtav::WritePaletteDib(table, 256, dib.data());
  const uint32_t want[] = {40, 264, 264};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(bmp::GetU32(&dib[4 * i]), want[i]);
  EXPECT_EQ(bmp::GetU16(&dib[12]), 1u);        // planes
  EXPECT_EQ(bmp::GetU16(&dib[14]), 24u);       // bit count
  EXPECT_EQ(bmp::GetU32(&dib[16]), 0u);        // compression
  EXPECT_EQ(bmp::GetU32(&dib[20]), 209088u);   // image size
  for (int at = 24; at < 40; at += 4) EXPECT_EQ(bmp::GetU32(&dib[at]), 0u) << at;
  EXPECT_EQ(mirtav::Dib24RowBytes(264), 792u);
  EXPECT_EQ(mirtav::Dib24RowBytes(5), 16u);
  EXPECT_EQ(mirtav::Dib24RowBytes(6), 20u);
}

TEST(MirtavPalette, EveryPixelShowsItsCellInExactColour) {
  shuffle::PaletteEntry table[256];
  for (int i = 0; i < 256; ++i) table[i] = {(i * 5 + 1) & 0xFF, (i * 11 + 7) & 0xFF, (255 - i) | 0x100};
  for (int n : {256, 16, 0}) {
    SCOPED_TRACE(n);
    shuffle::PaletteEntry shown[256];
    for (int i = 0; i < 256; ++i) shown[i] = n == 0 ? shuffle::PaletteEntry() : table[i];
    std::vector<uint8_t> dib(mirtav::kPaletteDibSize);
    mirtav::WritePaletteDib(shown, n, dib.data());
    for (int y = 0; y < 264; ++y)
      for (int x = 0; x < 264; ++x)
        ASSERT_TRUE(PixelAt(dib, x, y) == Expected(shown, n, x, y)) << x << "," << y;
    EXPECT_EQ(mirtav::CellCount(n), n == 256 ? 256 : 16);
  }
  // Entry 17: row 1, column 1, x 22..33 and y 22..33.
  const mirtav::CellRect c = mirtav::CellOf(17);
  EXPECT_EQ(c.left, 22);
  EXPECT_EQ(c.top, 22);
  EXPECT_EQ(c.right, 34);
  EXPECT_EQ(c.bottom, 34);
  std::vector<uint8_t> dib(mirtav::kPaletteDibSize);
  mirtav::WritePaletteDib(table, 256, dib.data());
  EXPECT_TRUE(PixelAt(dib, 27, 28) == (Rgb{0xEE, 0xC2, 0x56}));  // red 255-17, low bytes only
}
