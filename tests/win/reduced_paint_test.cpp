// The shuffler's reduced paint against StretchDIBits of the whole picture
// (COLORONCOLOR, as the paint always used): for several sizes, depths, a
// top-down picture, a gap after the colour table and several factors, on the
// whole client area and on a part of it, the pixels must be the same.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/bitmap/core/bmp_rules.h"
#include "mirtav00/core/window_rules.h"
#include "mirtav00/reduced_paint.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr int kClientWidth = 640, kClientHeight = 480;

// A 24-bit top-down surface, white.
struct Surface {
  HDC dc = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  Surface() {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kClientWidth;
    info.bmiHeader.biHeight = -kClientHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, kClientWidth, kClientHeight, WHITENESS);
  }
  ~Surface() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  std::vector<uint8_t> Pixels() {
    GdiFlush();
    const uint8_t* p = static_cast<const uint8_t*>(bits);
    return std::vector<uint8_t>(p, p + static_cast<size_t>(kClientWidth * 3 + 3) / 4 * 4 * kClientHeight);
  }
};

struct Case {
  int32_t width, height;
  uint16_t bits;
  bool topDown;
  uint32_t gap;
  int32_t factor;
};

TEST(ShufflerPaint, ReducedPaintShowsWhatStretchDIBitsShows) {
  const Case cases[] = {
      {1000, 700, 8, false, 0, 2}, {1000, 700, 8, false, 0, 4}, {1000, 700, 8, false, 0, 3},
      {257, 131, 8, true, 0, 1},   {257, 131, 8, true, 0, 2},   {101, 67, 4, false, 0, 1},
      {101, 67, 4, false, 12, 2},  {333, 5, 8, false, 0, 4},    {4099, 1500, 4, false, 0, 8},
  };
  const RECT areas[] = {{0, 0, kClientWidth, kClientHeight}, {37, 50, 251, 133}, {5, 21, 6, 22}};
  for (const Case& c : cases) {
    wintest::BmpShape shape;
    shape.width = c.width;
    shape.height = c.height;
    shape.bitCount = c.bits;
    shape.topDown = c.topDown;
    shape.gap = c.gap;
    std::vector<uint8_t> file = wintest::MakeBmp(shape);
    std::vector<uint8_t> block(file.begin() + bmp::kFileHeaderSize, file.end());
    bmp::BlockLayout layout;
    ASSERT_EQ(bmp::ApplyLockRules(block.data(), block.size(), bmp::ParseFileHeader(file.data()), &layout),
              bmp::BlockCheck::kOk);
    const mirtav::PictureRect at = mirtav::PicturePaintRect(c.width, c.height, c.factor);
    for (const RECT& area : areas) {
      SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " " << c.bits << " bits 1:" << c.factor
                                      << " area " << area.left << "," << area.top);
      Surface reference, painted;
      HRGN clip = CreateRectRgnIndirect(&area);
      SelectClipRgn(reference.dc, clip);
      DeleteObject(clip);
      SetStretchBltMode(reference.dc, COLORONCOLOR);
      StretchDIBits(reference.dc, at.left, at.top, at.width, at.height, 0, 0, c.width, c.height,
                    block.data() + layout.pixelOffset, reinterpret_cast<const BITMAPINFO*>(block.data()),
                    DIB_RGB_COLORS, SRCCOPY);
      ASSERT_TRUE(mirtav::PaintReducedPicture(painted.dc, area, block.data(), block.size(), layout, c.factor));
      const std::vector<uint8_t> want = reference.Pixels(), got = painted.Pixels();
      size_t differ = 0;
      for (size_t i = 0; i < want.size(); ++i) differ += want[i] != got[i];
      EXPECT_EQ(differ, 0u);
      // The fixture has no white: where the area meets the picture, a paint
      // that drew nothing fails.
      const RECT picture = {at.left, at.top, at.left + at.width, at.top + at.height};
      RECT both;
      if (IntersectRect(&both, &picture, &area)) {
        size_t coloured = 0;
        for (uint8_t byte : got) coloured += byte != 0xFF;
        EXPECT_GT(coloured, 0u);
      }
    }
  }
}

}  // namespace
