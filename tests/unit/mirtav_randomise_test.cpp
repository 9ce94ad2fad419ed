// The Randomize PLT command on plain memory: the order depends on the
// hundredths and seconds of the time given and on nothing else, and a run
// from open to saved file keeps every pixel's colour while the table, the
// block and the written file agree; a refused plan changes nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "mirtav00/core/arrange.h"
#include "mirtav00/core/bmp_writer.h"
#include "mirtav00/core/open_rules.h"
#include "mirtav00/core/randomise.h"
#include "tests/unit/fixtures/bmp_fixture.h"
#include "tests/unit/fixtures/reread.h"

using fixture::Picture;
using mirtav::TimeOfDay;

namespace {

std::vector<int32_t> OrderAt(int n, const TimeOfDay& t) {
  auto s = std::make_unique<shuffle::Shuffler>();
  EXPECT_TRUE(mirtav::BuildOrderAt(*s, n, t));
  return std::vector<int32_t>(s->OrderMap, s->OrderMap + n);
}

// The colour (blue, green, red bytes) of pixel (x, y) of a re-read file.
uint32_t ColourAt(const fixture::Reread& r, int32_t x, int32_t y) {
  const uint8_t byte = r.topRows[y][r.layout.bitCount == 8 ? x : x / 2];
  const uint8_t index = r.layout.bitCount == 8 ? byte : (x % 2 ? byte & 15 : byte >> 4);
  const uint8_t* e = &r.colourTable[4 * index];
  return e[0] | (e[1] << 8) | (e[2] << 16);
}

}  // namespace

TEST(MirtavRandomise, OrderDependsOnlyOnHundredthsAndSeconds) {
  for (int n : {16, 256}) {
    SCOPED_TRACE(n);
    const std::vector<int32_t> base = OrderAt(n, {10, 0, 7, 123});
    EXPECT_EQ(OrderAt(n, {23, 59, 7, 129}), base);  // other hour, minute, same hundredth
    EXPECT_EQ(OrderAt(n, {0, 31, 7, 120}), base);
    EXPECT_NE(OrderAt(n, {10, 0, 7, 130}), base);   // next hundredth
    EXPECT_NE(OrderAt(n, {10, 0, 8, 123}), base);   // next second
  }
  const mirtav::SeedClock c = mirtav::SeedClockOf({12, 34, 56, 789});
  EXPECT_EQ(c.hundredths, 78);
  EXPECT_EQ(c.seconds, 56);
}

TEST(MirtavRandomise, OpenRandomiseSaveKeepsEveryPixelsColour) {
  struct { int32_t width, height; uint16_t bits; uint32_t gap; size_t trailing; } const cases[] = {
      {5, 3, 4, 0, 0}, {7, -4, 4, 12, 0}, {9, 2, 8, 0, 7}, {3, -3, 8, 4, 3}, {1, 1, 4, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " " << c.bits << " bits");
    Picture p;
    p.width = c.width;
    p.height = c.height;
    p.bits = c.bits;
    p.palette = fixture::Palette(size_t{1} << c.bits);
    p.palette[3] = p.palette[5];  // a repeated colour moves like any other
    p.gap = c.gap;
    p.pixels = fixture::Rows(c.width, c.height, c.bits,
                             [](int32_t x, int32_t y) { return x * 5 + y * 3 + 2; });
    p.pixels.insert(p.pixels.end(), c.trailing, 0x99);
    const std::vector<uint8_t> file = fixture::File(p);
    const fixture::Reread source = fixture::ReadBack(file);
    ASSERT_TRUE(source.ok);

    shuffle::PaletteEntry table[256];
    int32_t n = 0;
    ASSERT_EQ(mirtav::CheckOpenHeader(file.data(), file.size(), file.size(), table, &n),
              mirtav::OpenVerdict::kOk);
    std::vector<uint8_t> block = source.block;
    auto s = std::make_unique<shuffle::Shuffler>();
    ASSERT_TRUE(mirtav::RandomisePicture(*s, table, n, block.data(), block.size(), source.layout,
                                         {9, 41, 17, 530}));
    EXPECT_TRUE(shuffle::IsPermutation(s->OrderMap, n));
    for (int i = 0; i < n; ++i) {
      const uint8_t* e = &block[40 + 4 * i];
      EXPECT_EQ(e[0] | (e[1] << 8) | (e[2] << 16),
                table[i].blue | (table[i].green << 8) | (table[i].red << 16)) << i;
    }

    tiff::MemorySink sink;
    ASSERT_EQ(mirtav::WriteShufflerBmp(block.data(), block.size(), source.layout, sink),
              mirtav::BmpResult::kOk);
    const fixture::Reread saved = fixture::ReadBack(sink.bytes);
    ASSERT_TRUE(saved.ok);
    EXPECT_NE(saved.colourTable, source.colourTable);
    for (int32_t y = 0; y < std::abs(c.height); ++y)
      for (int32_t x = 0; x < c.width; ++x)
        ASSERT_EQ(ColourAt(saved, x, y), ColourAt(source, x, y)) << x << "," << y;
  }
}

TEST(MirtavRandomise, RefusedPlanChangesNothing) {
  Picture p;
  p.width = 6;
  p.height = 4;
  p.bits = 8;
  p.palette = fixture::Palette(256);
  p.pixels = fixture::Rows(6, 4, 8, [](int32_t x, int32_t y) { return x + 10 * y; });
  const fixture::Reread source = fixture::ReadBack(fixture::File(p));
  ASSERT_TRUE(source.ok);

  struct { const char* name; void (*edit)(bmp::BlockLayout&); int32_t n; } const cases[] = {
      {"one row beyond the block", [](bmp::BlockLayout& l) { l.height += 1; }, 256},
      {"table count other than the picture's", [](bmp::BlockLayout&) {}, 16},
      {"RLE8 stream cut inside a code", [](bmp::BlockLayout& l) {
         l.compression = bmp::kBiRle8; l.pixelBytes = 3; }, 256},
      {"rows inside the colour table", [](bmp::BlockLayout& l) { l.pixelOffset = 100; }, 256},
  };
  for (const auto& c : cases) {
    bmp::BlockLayout layout = source.layout;
    c.edit(layout);
    std::vector<uint8_t> block = source.block;
    shuffle::PaletteEntry table[256];
    for (int i = 0; i < 256; ++i) table[i] = {i, 2 * i, 3 * i};
    auto s = std::make_unique<shuffle::Shuffler>();
    for (int i = 0; i < 256; ++i) s->OrderMap[i] = 255 - i;
    EXPECT_FALSE(mirtav::RandomisePicture(*s, table, c.n, block.data(), block.size(), layout,
                                          {1, 2, 3, 4})) << c.name;
    EXPECT_EQ(block, source.block) << c.name;
    for (int i = 0; i < 256; ++i) {
      ASSERT_EQ(table[i].green, 2 * i) << c.name;
      ASSERT_EQ(s->OrderMap[i], 255 - i) << c.name;
    }
  }
}

// Arrange to palette: each entry takes the place of its colour among the
// file's colours that the table holds; a colour twice needs two in the file.
TEST(MirtavArrange, OrderFromAPaletteFile) {
  using palette_file::Colour;
  const shuffle::PaletteEntry table[4] = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {2, 2, 2}};  // blue, green, red
  auto c = [](int v) { return Colour{uint8_t(v), uint8_t(v), uint8_t(v)}; };
  struct { const char* name; std::vector<Colour> file; int32_t missing; std::vector<int32_t> order; } const cases[] = {
      {"the same order", {c(1), c(2), c(3), c(2)}, 0, {0, 1, 2, 3}},
      {"backwards", {c(2), c(3), c(2), c(1)}, 0, {3, 0, 1, 2}},
      {"with colours the table lacks", {c(9), c(3), c(7), c(2), c(1), c(2)}, 0, {2, 1, 0, 3}},
      {"a repeated colour once only", {c(3), c(2), c(1)}, 1, {}},
      {"none there", {c(4)}, 4, {}},
      {"empty", {}, 4, {}},
  };
  for (const auto& k : cases) {
    int32_t order[4] = {-1, -1, -1, -1};
    EXPECT_EQ(mirtav::ArrangeOrder(table, 4, k.file.data(), k.file.size(), order), k.missing) << k.name;
    if (k.missing == 0) EXPECT_EQ(std::vector<int32_t>(order, order + 4), k.order) << k.name;
    else EXPECT_EQ(order[0], -1) << k.name << ": the order was touched";
  }
}

// ReorderPicture, Arrange's and Randomize PLT's common end: the table and the
// pixels move together, and a refused order changes nothing.
TEST(MirtavArrange, ReorderKeepsEveryPixelsColourOrChangesNothing) {
  Picture p;
  p.width = 7;
  p.height = 3;
  p.bits = 4;
  p.palette = fixture::Palette(16);
  p.pixels = fixture::Rows(7, 3, 4, [](int32_t x, int32_t y) { return x * 3 + y; });
  const std::vector<uint8_t> file = fixture::File(p);
  const fixture::Reread source = fixture::ReadBack(file);
  ASSERT_TRUE(source.ok);
  shuffle::PaletteEntry table[256];
  int32_t n = 0;
  ASSERT_EQ(mirtav::CheckOpenHeader(file.data(), file.size(), file.size(), table, &n), mirtav::OpenVerdict::kOk);
  int32_t backwards[16], twice[16];
  for (int i = 0; i < 16; ++i) backwards[i] = 15 - i, twice[i] = i / 2;
  std::vector<uint8_t> block = source.block;
  EXPECT_FALSE(mirtav::ReorderPicture(table, n, block.data(), block.size(), source.layout, twice));
  EXPECT_EQ(block, source.block) << "no permutation";
  ASSERT_TRUE(mirtav::ReorderPicture(table, n, block.data(), block.size(), source.layout, backwards));
  tiff::MemorySink sink;
  ASSERT_EQ(mirtav::WriteShufflerBmp(block.data(), block.size(), source.layout, sink), mirtav::BmpResult::kOk);
  const fixture::Reread saved = fixture::ReadBack(sink.bytes);
  ASSERT_TRUE(saved.ok);
  EXPECT_EQ(std::vector<uint8_t>(saved.colourTable.begin(), saved.colourTable.begin() + 4),
            std::vector<uint8_t>(source.colourTable.begin() + 60, source.colourTable.begin() + 64));
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 7; ++x) ASSERT_EQ(ColourAt(saved, x, y), ColourAt(source, x, y)) << x << "," << y;
}
