// The shared sampled paint against GDI itself: for 1-, 4- and 8-bit pictures,
// odd widths, a top-down and two RLE pictures, at every zoom step and a few
// scroll offsets of the editor's view, and at the shuffler's power-of-two
// reductions (a gap after the colour table, pictures wider than the window,
// pixels rewritten by a randomisation), the sampled paint must leave a memory
// DIB section exactly as StretchDIBits of the whole picture (COLORONCOLOR)
// leaves it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/base/gdi_guards.h"
#include "common/bitmap/core/bmp_rules.h"
#include "common/bitmap/sampled_paint.h"
#include "kestro98/core/view_rules.h"
#include "mirtav00/core/view_rules.h"
#include "tests/win/win_test_support.h"

namespace {

struct Picture {
  const char* name;
  int32_t width, height;
  uint16_t bitCount;
  uint32_t compression;  // 0, 1 (RLE8), 2 (RLE4)
  bool topDown;
  int32_t colours;       // biClrUsed written (0: the full table)
};

uint8_t IndexAt(const Picture& p, int32_t x, int32_t y) {
  const int32_t count = p.colours != 0 ? p.colours : (1 << p.bitCount);
  return static_cast<uint8_t>((x * 7 + y * 13 + (x / 5) * (y / 3)) % count);
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// The block: information header, colour table, pixels (bottom-up unless top-down).
std::vector<uint8_t> MakeBlock(const Picture& p, bmp::FileHeader* fh) {
  const int32_t count = p.colours != 0 ? p.colours : (1 << p.bitCount);
  std::vector<uint8_t> pixels;
  if (p.compression == 0) {
    const size_t stride = static_cast<size_t>(bmp::PaddedRowBytes(p.width, p.bitCount));
    pixels.assign(stride * p.height, 0);
    for (int32_t y = 0; y < p.height; ++y) {
      const size_t row = (p.topDown ? y : p.height - 1 - y) * stride;
      for (int32_t x = 0; x < p.width; ++x) {
        const int bit = x * p.bitCount;
        const int shift = 8 - p.bitCount - bit % 8;
        pixels[row + bit / 8] |= static_cast<uint8_t>(IndexAt(p, x, y) << shift);
      }
    }
  } else {
    // Encoded runs only, one row after another from the bottom.
    for (int32_t y = p.height - 1; y >= 0; --y) {
      int32_t x = 0;
      while (x < p.width) {
        int32_t n = 1;
        if (p.compression == 1) {
          while (x + n < p.width && n < 255 && IndexAt(p, x + n, y) == IndexAt(p, x, y)) ++n;
          pixels.push_back(static_cast<uint8_t>(n));
          pixels.push_back(IndexAt(p, x, y));
        } else {
          n = (x + 1 < p.width) ? 2 : 1;
          const uint8_t hi = IndexAt(p, x, y), lo = n == 2 ? IndexAt(p, x + 1, y) : 0;
          pixels.push_back(static_cast<uint8_t>(n));
          pixels.push_back(static_cast<uint8_t>(hi << 4 | lo));
        }
        x += n;
      }
      pixels.push_back(0);
      pixels.push_back(y == 0 ? 1 : 0);  // end of line, end of bitmap after the top row
    }
  }
  std::vector<uint8_t> block(40 + 4 * count, 0);
  Put32(block, 0, 40);
  Put32(block, 4, static_cast<uint32_t>(p.width));
  Put32(block, 8, static_cast<uint32_t>(p.topDown ? -p.height : p.height));
  block[12] = 1;
  block[14] = static_cast<uint8_t>(p.bitCount);
  Put32(block, 16, p.compression);
  Put32(block, 20, static_cast<uint32_t>(pixels.size()));
  Put32(block, 32, static_cast<uint32_t>(p.colours));
  for (int32_t i = 0; i < count; ++i) {
    block[40 + 4 * i] = static_cast<uint8_t>(i * 37);
    block[41 + 4 * i] = static_cast<uint8_t>(255 - i * 11);
    block[42 + 4 * i] = static_cast<uint8_t>(i * 91 + 5);
  }
  block.insert(block.end(), pixels.begin(), pixels.end());
  *fh = bmp::FileHeader();
  fh->type = 0x4D42;
  fh->totalSize = static_cast<uint32_t>(block.size() + 14);
  fh->pixelOffset = static_cast<uint32_t>(14 + 40 + 4 * count);
  return block;
}

// A 32-bit top-down DIB section filled with a colour no picture uses.
struct Canvas {
  ScopedMemoryDC dc{nullptr};
  HBITMAP bitmap = nullptr;
  uint32_t* bits = nullptr;
  int width, height;
  Canvas(int w, int h) : width(w), height(h) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* p = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint32_t*>(p);
    SelectObject(dc, bitmap);
    for (int i = 0; i < w * h; ++i) bits[i] = 0x00123456;
  }
  ~Canvas() { DeleteObject(bitmap); }
};

TEST(SampledPaint, EqualsStretchDIBitsOfTheWholePictureAtEveryZoomStep) {
  const Picture pictures[] = {
      {"1-bit odd width", 333, 211, 1, 0, false, 0},
      {"4-bit odd width", 301, 187, 4, 0, false, 0},
      {"8-bit", 640, 480, 8, 0, false, 0},
      {"8-bit listing 16 colours", 255, 121, 8, 0, false, 16},
      {"8-bit top-down", 317, 203, 8, 0, true, 0},
      {"RLE8", 299, 177, 8, 1, false, 0},
      {"RLE4", 263, 151, 4, 2, false, 0},
  };
  constexpr int kCw = 360, kCh = 280;  // the window: picture area (0, 20)-(kCw, kCh)
  for (const Picture& p : pictures) {
    bmp::FileHeader fh;
    std::vector<uint8_t> block = MakeBlock(p, &fh);
    bmp::BlockLayout layout;
    ASSERT_EQ(bmp::ApplyLockRules(block.data(), block.size(), fh, &layout), bmp::BlockCheck::kOk)
        << p.name;
    SampledPaint sampled;
    for (int32_t level = -9; level <= 9; ++level) {
      const int64_t k = kestro::ZoomFactor(level);
      // No offset, and an offset into the middle where the picture is larger than the window.
      const int64_t offsets[][2] = {{0, 0}, {p.width / 3, p.height / 4}};
      for (const auto& off : offsets) {
        if ((off[0] != 0 || off[1] != 0) && level < 0) continue;
        const sampling::Stretch s = kestro::ViewStretch(p.width, p.height, level, off[0], off[1], kCw, kCh);
        Canvas want(kCw, kCh), got(kCw, kCh);
        SetStretchBltMode(want.dc, COLORONCOLOR);
        IntersectClipRect(want.dc, 0, 20, kCw, kCh);
        StretchDIBits(want.dc, static_cast<int>(s.dstX), static_cast<int>(s.dstY),
                      static_cast<int>(s.dstWidth), static_cast<int>(s.dstHeight), 0, 0, p.width,
                      p.height, block.data() + layout.pixelOffset,
                      reinterpret_cast<const BITMAPINFO*>(block.data()), DIB_RGB_COLORS, SRCCOPY);
        ASSERT_TRUE(sampled.Paint(got.dc, block.data(), block.size(), layout, s)) << p.name;
        GdiFlush();
        int differ = 0, firstX = -1, firstY = -1, painted = 0;
        for (int i = 0; i < kCw * kCh; ++i) {
          painted += want.bits[i] != 0x00123456u;
          if (want.bits[i] != got.bits[i] && differ++ == 0) { firstX = i % kCw; firstY = i / kCw; }
        }
        EXPECT_EQ(differ, 0) << p.name << " level " << level << " (k " << k << ") offset "
                             << off[0] << "," << off[1] << ": first at " << firstX << ","
                             << firstY;
        EXPECT_GT(painted, 0) << p.name << " level " << level << ": GDI painted nothing";
      }
    }
  }
}

TEST(SampledPaint, APaletteChangeShowsWithoutResampling) {
  const Picture p = {"8-bit", 500, 400, 8, 0, false, 0};
  bmp::FileHeader fh;
  std::vector<uint8_t> block = MakeBlock(p, &fh);
  bmp::BlockLayout layout;
  ASSERT_EQ(bmp::ApplyLockRules(block.data(), block.size(), fh, &layout), bmp::BlockCheck::kOk);
  const sampling::Stretch s = kestro::ViewStretch(p.width, p.height, -2, 0, 0, 300, 250);
  SampledPaint sampled;
  Canvas first(300, 250);
  ASSERT_TRUE(sampled.Paint(first.dc, block.data(), block.size(), layout, s));
  // Entry 5 becomes (red 255, green 0, blue 128); the kept samples repaint with it.
  block[40 + 4 * 5] = 128; block[41 + 4 * 5] = 0; block[42 + 4 * 5] = 255;
  Canvas want(300, 250), got(300, 250);
  SetStretchBltMode(want.dc, COLORONCOLOR);
  IntersectClipRect(want.dc, 0, 20, 300, 250);
  StretchDIBits(want.dc, 0, 20, static_cast<int>(s.dstWidth), static_cast<int>(s.dstHeight), 0, 0,
                p.width, p.height, block.data() + layout.pixelOffset,
                reinterpret_cast<const BITMAPINFO*>(block.data()), DIB_RGB_COLORS, SRCCOPY);
  ASSERT_TRUE(sampled.Paint(got.dc, block.data(), block.size(), layout, s));
  GdiFlush();
  int recoloured = 0;
  for (int i = 0; i < 300 * 250; ++i) {
    ASSERT_EQ(want.bits[i], got.bits[i]) << "pixel " << i % 300 << "," << i / 300;
    recoloured += got.bits[i] == 0xFF0080u;
  }
  EXPECT_GT(recoloured, 0);
}

// The screen StretchDIBits leaves for the block's stretch, painted into
// `want`; false when GDI refused to draw it.
bool StretchWhole(Canvas& want, const std::vector<uint8_t>& block, const bmp::BlockLayout& layout,
                  const sampling::Stretch& s) {
  SetStretchBltMode(want.dc, COLORONCOLOR);
  IntersectClipRect(want.dc, static_cast<int>(s.visLeft), static_cast<int>(s.visTop),
                    static_cast<int>(s.visRight), static_cast<int>(s.visBottom));
  return StretchDIBits(want.dc, static_cast<int>(s.dstX), static_cast<int>(s.dstY),
                       static_cast<int>(s.dstWidth), static_cast<int>(s.dstHeight), 0, 0,
                       layout.width, layout.height, block.data() + layout.pixelOffset,
                       reinterpret_cast<const BITMAPINFO*>(block.data()), DIB_RGB_COLORS,
                       SRCCOPY) != 0;
}

int Differences(const Canvas& want, const Canvas& got) {
  int differ = 0;
  for (int i = 0; i < want.width * want.height; ++i) differ += want.bits[i] != got.bits[i];
  return differ;
}

// The shuffler's stretch (PictureStretch), before and after its colour table
// and pixel indices are reordered together, as Randomize PLT does; after the
// reorder the paint has forgotten its samples, as the program tells it to.
TEST(SampledPaint, EqualsStretchDIBitsAtTheShufflersReductions) {
  struct Case {
    int32_t width, height;
    uint16_t bits;
    bool topDown;
    uint32_t gap;
    int32_t factor;
    int clientW, clientH;
  };
  const Case cases[] = {
      {1000, 700, 8, false, 0, 2, 800, 600},  {1000, 700, 8, false, 0, 4, 300, 100},
      {257, 131, 8, true, 0, 1, 640, 480},    {257, 131, 8, true, 0, 2, 100, 60},
      {101, 67, 4, false, 0, 1, 640, 480},    {101, 67, 4, false, 12, 2, 640, 480},
      {333, 5, 8, false, 0, 4, 640, 480},     {4099, 1500, 4, false, 0, 8, 640, 480},
      {8191, 301, 8, false, 0, 16, 400, 300}, {4097, 2049, 4, true, 0, 8, 640, 480},
  };
  for (const Case& c : cases) {
    wintest::BmpShape shape;
    shape.width = c.width;
    shape.height = c.height;
    shape.bitCount = c.bits;
    shape.topDown = c.topDown;
    shape.gap = c.gap;
    const std::vector<uint8_t> file = wintest::MakeBmp(shape);
    std::vector<uint8_t> block(file.begin() + bmp::kFileHeaderSize, file.end());
    bmp::BlockLayout layout;
    ASSERT_EQ(bmp::ApplyLockRules(block.data(), block.size(), bmp::ParseFileHeader(file.data()),
                                  &layout),
              bmp::BlockCheck::kOk);
    const sampling::Stretch s =
        mirtav::PictureStretch(c.width, c.height, c.factor, c.clientW, c.clientH);
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " " << c.bits << " bits 1:"
                                    << c.factor << " in " << c.clientW << "x" << c.clientH);
    SampledPaint sampled;
    for (int pass = 0; pass < 2; ++pass) {
      if (pass == 1) {
        // Index i becomes count-1-i and its colour moves with it.
        const int count = 1 << c.bits;
        uint8_t* table = block.data() + layout.colourTableOffset;
        for (int i = 0; i < count / 2; ++i) {
          for (int b = 0; b < 4; ++b) std::swap(table[4 * i + b], table[4 * (count - 1 - i) + b]);
        }
        for (uint64_t i = 0; i < layout.pixelBytes; ++i) {
          uint8_t& byte = block[layout.pixelOffset + i];
          byte = static_cast<uint8_t>(c.bits == 8 ? 255 - byte : 0xFF - byte);  // both nibbles
        }
        sampled.Forget();
      }
      Canvas want(c.clientW, c.clientH), got(c.clientW, c.clientH);
      StretchWhole(want, block, layout, s);
      ASSERT_TRUE(sampled.Paint(got.dc, block.data(), block.size(), layout, s));
      GdiFlush();
      EXPECT_EQ(Differences(want, got), 0) << "pass " << pass;
      int painted = 0;
      for (int i = 0; i < c.clientW * c.clientH; ++i) painted += got.bits[i] != 0x00123456u;
      EXPECT_GT(painted, 0) << "pass " << pass;
    }
  }
}

// A well-formed RLE8 picture of 65535 x 65535 holding three blocks of runs
// (bottom left, middle, top right), reached by deltas and ends of line; the
// rest is index 0. The stream is some 23 KB; decoded it would be 4 GiB.
struct RunBlock {
  int32_t x, storedRow;  // the block's first pixel; stored row 0 is the bottom
  uint8_t index;
};
constexpr int32_t kHuge = 65535, kBlockRows = 20, kBlockWidth = 510;
const RunBlock kBlocks[] = {{100, 10, 1}, {32700, 32760, 2}, {65025, 65510, 3}};

std::vector<uint8_t> HugeRleBlock(bmp::BlockLayout* layout) {
  std::vector<uint8_t> stream;
  int32_t x = 0, y = 0;
  auto delta = [&](int32_t dx, int32_t dy) {
    stream.insert(stream.end(), {0, 2, static_cast<uint8_t>(dx), static_cast<uint8_t>(dy)});
    x += dx;
    y += dy;
  };
  auto moveTo = [&](int32_t toX, int32_t toY) {
    if (toY > y) {
      stream.insert(stream.end(), {0, 0});  // end of line: column 0 of the next row
      x = 0;
      ++y;
    }
    while (y < toY) delta(0, std::min(255, toY - y));
    while (x < toX) delta(std::min(255, toX - x), 0);
  };
  for (const RunBlock& b : kBlocks) {
    for (int32_t row = 0; row < kBlockRows; ++row) {
      moveTo(b.x, b.storedRow + row);
      stream.insert(stream.end(), {255, b.index, 255, b.index});
      x += kBlockWidth;
    }
  }
  stream.insert(stream.end(), {0, 1});
  std::vector<uint8_t> block(40 + 1024, 0);
  Put32(block, 0, 40);
  Put32(block, 4, kHuge);
  Put32(block, 8, kHuge);
  block[12] = 1;
  block[14] = 8;
  Put32(block, 16, 1);  // BI_RLE8
  Put32(block, 20, static_cast<uint32_t>(stream.size()));
  const uint8_t colours[][3] = {{40, 40, 40}, {255, 0, 0}, {0, 200, 0}, {0, 0, 255}};  // B, G, R
  for (int i = 0; i < 4; ++i) std::memcpy(&block[40 + 4 * i], colours[i], 3);
  block.insert(block.end(), stream.begin(), stream.end());
  bmp::FileHeader fh;
  fh.type = 0x4D42;
  fh.totalSize = static_cast<uint32_t>(block.size() + 14);
  fh.pixelOffset = 14 + 40 + 1024;
  EXPECT_EQ(bmp::ApplyLockRules(block.data(), block.size(), fh, layout), bmp::BlockCheck::kOk);
  return block;
}

uint8_t HugeIndexAt(int64_t x, int64_t topRow) {
  const int64_t stored = kHuge - 1 - topRow;
  for (const RunBlock& b : kBlocks) {
    if (stored >= b.storedRow && stored < b.storedRow + kBlockRows && x >= b.x &&
        x < b.x + kBlockWidth) {
      return b.index;
    }
  }
  return 0;
}

// At every zoom step, scrolled onto each block, the view shows the blocks
// exactly where the maps (held against GDI by the tests above) put them.
// Where GDI can stretch the picture itself (picture width x destination
// width below 2^31, and a GDI that takes a 4 GiB picture: Wine 8 refuses it),
// the paint equals StretchDIBits too.
TEST(SampledPaint, AHugeRlePictureShowsItsRunsAtEveryZoomStep) {
  bmp::BlockLayout layout;
  std::vector<uint8_t> block = HugeRleBlock(&layout);
  ASSERT_LT(block.size(), 64u * 1024);
  constexpr int kCw = 360, kCh = 280;
  uint32_t colour[4];
  for (int i = 0; i < 4; ++i) {
    const uint8_t* q = &block[40 + 4 * i];
    colour[i] = q[2] << 16 | q[1] << 8 | q[0];
  }
  SampledPaint sampled;
  for (int32_t level = -9; level <= 9; ++level) {
    const int64_t k = kestro::ZoomFactor(level);
    for (const RunBlock& b : kBlocks) {
      // The block's top-left corner a little inside the window, in source pixels.
      const int64_t margin = level >= 0 ? 40 / k : 40 * k;
      const int64_t offX = std::max<int64_t>(0, b.x - margin);
      const int64_t offY = std::max<int64_t>(0, kHuge - (b.storedRow + kBlockRows) - margin);
      const sampling::Stretch s = kestro::ViewStretch(kHuge, kHuge, level, offX, offY, kCw, kCh);
      SCOPED_TRACE(testing::Message() << "level " << level << ", block of index " << int(b.index));
      Canvas got(kCw, kCh);
      ASSERT_TRUE(sampled.Paint(got.dc, block.data(), block.size(), layout, s));
      GdiFlush();
      int shown = 0, differ = 0;
      for (int y = 20; y < kCh; ++y) {
        const int64_t row = sampling::SourceFor(sampling::Axis::kRows, 0, kHuge, s.dstY, s.dstHeight, y);
        for (int x = 0; x < kCw; ++x) {
          const int64_t col = sampling::SourceFor(sampling::Axis::kColumns, 0, kHuge, s.dstX, s.dstWidth, x);
          const uint32_t want = (row < 0 || col < 0) ? 0x00123456u : colour[HugeIndexAt(col, row)];
          differ += got.bits[y * kCw + x] != want;
          shown += got.bits[y * kCw + x] == colour[b.index];
        }
      }
      EXPECT_EQ(differ, 0);
      EXPECT_GT(shown, 0) << "the block does not show";
      if (s.dstWidth * kHuge < (int64_t{1} << 31)) {
        Canvas want(kCw, kCh);
        if (StretchWhole(want, block, layout, s)) {
          EXPECT_EQ(Differences(want, got), 0) << "against StretchDIBits";
        }
      }
    }
  }
}

}  // namespace
