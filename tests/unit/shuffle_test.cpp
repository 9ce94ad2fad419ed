// The shuffler's random order and pixel remap: the generator and its pool,
// the order over every possible time of day, and the invariant that matters
// to the user: after the remap every pixel shows the colour it showed before,
// and nothing outside the pixel bytes of the rows changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <random>
#include <set>
#include <vector>

#include "common/bitmap/core/rle.h"
#include "mirtav00/core/shuffle.h"

namespace {

// The generator written out once more, as the reference the pool is checked against.
std::vector<int32_t> GeneratorOutputs(uint32_t seed, int count) {
  std::vector<int32_t> out;
  uint32_t x = seed;
  for (int i = 0; i < count; ++i) {
    x = x * 22695477u + 1u;
    out.push_back(static_cast<int32_t>((x >> 16) & 0x7FFF));
  }
  return out;
}

bool PoolHolds(const shuffle::Shuffler& s, const std::vector<int32_t>& expected) {
  return std::equal(expected.begin(), expected.end(), s.RandomPool);
}

bool IsPermutationOf(const int32_t* map, int n) {
  std::vector<int32_t> v(map, map + n);
  std::sort(v.begin(), v.end());
  for (int i = 0; i < n; ++i)
    if (v[i] != i) return false;
  return true;
}

}  // namespace

TEST(ShuffleGenerator, FirstOutputsAndPoolSeedsOfTheClock) {
  shuffle::LinearGenerator g;
  g.Seed(1);
  EXPECT_EQ(g.Next(), 346);
  EXPECT_EQ(g.Next(), 130);
  EXPECT_EQ(g.Next(), 10982);
  g.Seed(0xFFFFFFFFu);  // wraps modulo 2^32 and stays 15-bit
  for (int i = 0; i < 1000; ++i) {
    const int32_t v = g.Next();
    ASSERT_TRUE(v >= 0 && v <= 32767) << v;
  }

  struct { int h, s; uint32_t seed; } const clock[] = {
      {0, 0, 0},      {99, 59, 65535}, {50, 30, 33101}, {0, 59, 644},
      {99, 0, 64891}, {1, 0, 655},     {37, 12, 24383},
  };
  for (const auto& c : clock)
    EXPECT_EQ(shuffle::PoolSeedOfTime(c.h, c.s), c.seed) << "h=" << c.h << " s=" << c.s;
}

TEST(ShufflePool, SeedDrawsRewriteTheirSlotAndRefillAfterTheLastOne) {
  auto s = std::make_unique<shuffle::Shuffler>();
  s->SetUpPool(99, 59);
  ASSERT_EQ(s->poolSeed, 65535u);
  ASSERT_EQ(s->poolCursor, 0u);
  ASSERT_TRUE(PoolHolds(*s, GeneratorOutputs(65535, shuffle::kPoolSize)));

  // Each draw re-seeds from the slot the cursor's slot names, keeps the raw
  // output in the cursor's slot and scales it to 1..30000.
  for (int i = 0; i < shuffle::kPoolSize - 1; ++i) {
    const uint32_t seed = static_cast<uint32_t>(s->RandomPool[s->RandomPool[i]]);
    const int32_t v = GeneratorOutputs(seed, 1)[0];
    const int32_t t = s->DrawSeed();
    ASSERT_EQ(s->RandomPool[i], v) << "draw " << i;
    ASSERT_EQ(t, static_cast<int32_t>(v * (1.0 / 32767) * (30000 - 0.00001) + 1.0));
    ASSERT_TRUE(t >= 1 && t <= 30000) << t;
  }
  EXPECT_EQ(s->poolCursor, 32767u);
  EXPECT_EQ(s->poolSeed, 65535u);

  s->DrawSeed();  // the 32768th: seed 65535 is followed by 0
  EXPECT_EQ(s->poolSeed, 0u);
  EXPECT_EQ(s->poolCursor, 0u);
  EXPECT_TRUE(PoolHolds(*s, GeneratorOutputs(0, shuffle::kPoolSize)));

  for (int i = 0; i < shuffle::kPoolSize; ++i) s->DrawSeed();
  EXPECT_EQ(s->poolSeed, 1u);
  EXPECT_TRUE(PoolHolds(*s, GeneratorOutputs(1, shuffle::kPoolSize)));
}

// From real seeds (1..30000) the three fractions have distinct prime
// denominators and cannot add up to a whole number, so the 0.00001 case is
// reached only by seeds the pool never yields: 0, or 30269/30307/30323, where
// each recurrence lands on 0.
TEST(ShuffleUniform, WholeNumberSumGivesTheSmallestValueAndSumsWrapBelowOne) {
  EXPECT_DOUBLE_EQ(shuffle::WichmannHill(0, 0, 0), 0.00001);
  EXPECT_DOUBLE_EQ(shuffle::WichmannHill(30269, 30307, 30323), 0.00001);
  // 177, 176, 178 give the negative branch of every recurrence: 30267, 30272, 30260.
  EXPECT_DOUBLE_EQ(shuffle::WichmannHill(177, 176, 178),
                   30267 / 30269.0 + 30272 / 30307.0 + 30260 / 30323.0 - 2.0);
  EXPECT_DOUBLE_EQ(shuffle::WichmannHill(1, 1, 1), 171 / 30269.0 + 172 / 30307.0 + 170 / 30323.0);

  auto s = std::make_unique<shuffle::Shuffler>();
  s->SetUpPool(12, 34);
  for (int i = 0; i < 20000; ++i) {  // past a refill
    const double r = s->DrawUniform();
    ASSERT_TRUE(r > 0.0 && r < 1.0) << r;
  }
}

// There are only 6000 times of day the order can depend on: check them all.
TEST(ShuffleOrder, EveryTimeOfDayGivesAPermutationOfSixteenAndOf256) {
  auto s = std::make_unique<shuffle::Shuffler>();
  std::set<uint32_t> seeds;
  std::set<std::vector<int32_t>> orders256;
  for (int h = 0; h < 100; ++h) {
    for (int sec = 0; sec < 60; ++sec) {
      ASSERT_TRUE(s->BuildOrder(16, h, sec));
      ASSERT_TRUE(IsPermutationOf(s->OrderMap, 16)) << "h=" << h << " s=" << sec;
      ASSERT_TRUE(s->BuildOrder(256, h, sec));
      ASSERT_TRUE(IsPermutationOf(s->OrderMap, 256)) << "h=" << h << " s=" << sec;
      seeds.insert(s->poolSeed);
      orders256.insert(std::vector<int32_t>(s->OrderMap, s->OrderMap + 256));
    }
  }
  // The clock does choose the order: distinct pool seeds give distinct orders.
  EXPECT_EQ(seeds.size(), 6000u);
  EXPECT_GE(orders256.size(), seeds.size() * 99 / 100);
}

TEST(ShuffleOrder, SameTimeGivesSameOrderWhateverRanBefore) {
  auto s = std::make_unique<shuffle::Shuffler>();
  for (const int n : {16, 256}) {
    ASSERT_TRUE(s->BuildOrder(n, 42, 17));
    const std::vector<int32_t> first(s->OrderMap, s->OrderMap + n);
    // Disturb every piece of state: another run, other colour count, drawn pool.
    ASSERT_TRUE(s->BuildOrder(272 - n, 3, 59));
    for (int i = 0; i < 40000; ++i) s->DrawSeed();
    ASSERT_TRUE(s->BuildOrder(n, 42, 17));
    EXPECT_EQ(std::vector<int32_t>(s->OrderMap, s->OrderMap + n), first) << "n=" << n;
    // A fresh instance agrees too.
    auto other = std::make_unique<shuffle::Shuffler>();
    ASSERT_TRUE(other->BuildOrder(n, 42, 17));
    EXPECT_EQ(std::vector<int32_t>(other->OrderMap, other->OrderMap + n), first) << "n=" << n;
  }
  EXPECT_FALSE(s->BuildOrder(0, 1, 1));
  EXPECT_FALSE(s->BuildOrder(257, 1, 1));
}

TEST(ShufflePalette, EveryEntryMovesToItsNewIndexDuplicatesIncluded) {
  auto s = std::make_unique<shuffle::Shuffler>();
  for (const int n : {16, 256}) {
    shuffle::PaletteEntry table[256];
    for (int i = 0; i < 256; ++i) {
      // Repeated colours (every third entry black) and markers beyond n.
      table[i] = (i % 3 == 0) ? shuffle::PaletteEntry{0, 0, 0}
                              : shuffle::PaletteEntry{i, 1000 + i, -i};
    }
    shuffle::PaletteEntry before[256];
    std::copy(table, table + 256, before);
    ASSERT_TRUE(s->BuildOrder(n, 7, 8));
    ASSERT_TRUE(s->ReorderPalette(table, n));
    for (int p = 0; p < n; ++p) {
      const auto& moved = table[s->OrderMap[p]];
      EXPECT_TRUE(moved.blue == before[p].blue && moved.green == before[p].green &&
                  moved.red == before[p].red) << "n=" << n << " entry " << p;
    }
    for (int p = n; p < 256; ++p) EXPECT_EQ(table[p].green, before[p].green) << p;
  }
  // An order that is no permutation (an index out of range) is refused.
  shuffle::PaletteEntry table[256];
  s->OrderMap[5] = 300;
  EXPECT_FALSE(s->ReorderPalette(table, 256));
  EXPECT_FALSE(s->ReorderPalette(table, 0));
}

namespace {

// A DIB block with a gap between colour table and rows, padding after each
// row and bytes after the last row, all of them filled with noise.
struct TestPicture {
  std::vector<uint8_t> block;
  bmp::BlockLayout layout;
};

TestPicture MakePicture(uint16_t bits, int colours, int width, int height, bool topDown,
                        uint64_t gap, uint64_t tail, uint32_t seed) {
  TestPicture t;
  bmp::BlockLayout& l = t.layout;
  l.width = width;
  l.height = height;
  l.topDown = topDown;
  l.bitCount = bits;
  l.compression = bmp::kBiRgb;
  l.colourCount = colours;
  l.colourTableOffset = 40;
  l.pixelOffset = 40 + 4u * static_cast<uint64_t>(colours) + gap;
  l.rowBytes = (static_cast<uint64_t>(width) * bits + 7) / 8;
  l.rowStride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
  l.pixelBytes = l.rowStride * static_cast<uint64_t>(height);
  t.block.resize(l.pixelOffset + l.pixelBytes + tail);
  std::mt19937 rng(seed);
  for (uint8_t& b : t.block) b = static_cast<uint8_t>(rng());
  return t;
}

struct Rgb { uint8_t b, g, r; };
Rgb Entry(const std::vector<uint8_t>& block, int index) {
  const uint8_t* e = &block[40 + 4 * static_cast<size_t>(index)];
  return {e[0], e[1], e[2]};
}

shuffle::PaletteEntry ToEntry(Rgb c) { return {c.b, c.g, c.r}; }

// Runs the whole sequence of one randomisation on the picture.
bool Randomise(shuffle::Shuffler& s, TestPicture& t, int h, int sec) {
  const int n = t.layout.colourCount;
  shuffle::PaletteEntry table[256];
  for (int i = 0; i < n; ++i) table[i] = ToEntry(Entry(t.block, i));
  if (!s.BuildOrder(n, h, sec) || !s.ReorderPalette(table, n)) return false;
  return shuffle::ApplyToPicture(t.block.data(), t.block.size(), t.layout, table, s.OrderMap);
}

}  // namespace

TEST(ShuffleRemap, EveryPixelKeepsItsColourAndNothingElseChanges) {
  struct Case { uint16_t bits; int colours, width, height; bool topDown; uint64_t gap; };
  const Case cases[] = {
      {8, 256, 1, 1, false, 0},   {8, 256, 33, 5, false, 22}, {8, 256, 256, 3, true, 0},
      {8, 256, 7, 9, true, 3},    {4, 16, 1, 2, false, 0},    {4, 16, 33, 5, false, 22},
      {4, 16, 5, 4, true, 1},     {4, 16, 64, 3, false, 0},   {4, 16, 255, 2, true, 9},
      {8, 16, 13, 4, false, 0},  // an 8-bit picture listing only 16 colours
  };
  auto s = std::make_unique<shuffle::Shuffler>();
  uint32_t seed = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits, " << c.colours << " colours, "
                                    << c.width << "x" << c.height << (c.topDown ? " top-down" : "")
                                    << " gap " << c.gap);
    TestPicture t = MakePicture(c.bits, c.colours, c.width, c.height, c.topDown, c.gap, 5, seed++);
    const std::vector<uint8_t> before = t.block;
    ASSERT_TRUE(Randomise(*s, t, static_cast<int>(seed % 100), static_cast<int>(seed % 60)));
    const bmp::BlockLayout& l = t.layout;
    const int32_t* map = s->OrderMap;

    // Colour table: entry OrderMap[p] holds what entry p held, reserved byte 0.
    for (int p = 0; p < c.colours; ++p) {
      const Rgb old = Entry(before, p), now = Entry(t.block, map[p]);
      ASSERT_TRUE(old.b == now.b && old.g == now.g && old.r == now.r) << "entry " << p;
      ASSERT_EQ(t.block[40 + 4 * map[p] + 3], 0) << "entry " << p;
    }
    // Every index of every stored byte, including the nibble beyond the last
    // pixel of an odd row, points at the same colour through the new table.
    auto check = [&](int oldIndex, int newIndex, uint64_t at) {
      if (oldIndex >= c.colours) {  // not in the table: left alone
        ASSERT_EQ(newIndex, oldIndex) << "byte " << at;
        return;
      }
      ASSERT_EQ(newIndex, map[oldIndex]) << "byte " << at;
      const Rgb was = Entry(before, oldIndex), is = Entry(t.block, newIndex);
      ASSERT_TRUE(was.b == is.b && was.g == is.g && was.r == is.r) << "byte " << at;
    };
    std::vector<bool> isPixel(t.block.size(), false);
    for (int64_t y = 0; y < l.height; ++y) {
      for (uint64_t x = 0; x < l.rowBytes; ++x) {
        const uint64_t at = l.pixelOffset + static_cast<uint64_t>(y) * l.rowStride + x;
        isPixel[at] = true;
        if (c.bits == 8) {
          check(before[at], t.block[at], at);
        } else {
          check(before[at] >> 4, t.block[at] >> 4, at);
          check(before[at] & 15, t.block[at] & 15, at);
        }
      }
    }
    // Header, gap, row padding and the bytes after the rows are untouched.
    const uint64_t tableEnd = 40 + 4u * static_cast<uint64_t>(c.colours);
    for (uint64_t i = 0; i < t.block.size(); ++i) {
      if (isPixel[i] || (i >= 40 && i < tableEnd)) continue;
      ASSERT_EQ(t.block[i], before[i]) << "byte " << i << " outside the pixels changed";
    }
  }
}

TEST(ShuffleRemap, RefusesLayoutsOutsideTheBlockAndChangesNothing) {
  auto s = std::make_unique<shuffle::Shuffler>();
  ASSERT_TRUE(s->BuildOrder(256, 1, 2));
  int32_t order256[256];
  std::copy(s->OrderMap, s->OrderMap + 256, order256);
  ASSERT_TRUE(s->BuildOrder(16, 1, 2));
  int32_t order16[256] = {};
  std::copy(s->OrderMap, s->OrderMap + 16, order16);
  const shuffle::PaletteEntry table[256] = {};

  struct Case {
    const char* what;
    bool fits;
    void (*change)(TestPicture&);
  };
  const Case cases[] = {
      {"exact fit", true, [](TestPicture&) {}},
      {"one byte short of the last row", false, [](TestPicture& t) { t.block.pop_back(); }},
      {"rows start past the block", false,
       [](TestPicture& t) { t.layout.pixelOffset = t.block.size() + 1; }},
      {"rows start at the end", false,
       [](TestPicture& t) { t.layout.pixelOffset = t.block.size(); }},
      {"rowBytes beyond rowStride", false,
       [](TestPicture& t) { t.layout.rowBytes = t.layout.rowStride + 1; }},
      {"height times stride wraps 64 bits", false,
       [](TestPicture& t) { t.layout.height = INT32_MAX; t.layout.rowStride = uint64_t(1) << 40; }},
      {"colour table beyond the block", false,
       [](TestPicture& t) { t.layout.colourTableOffset = t.block.size() - 8; }},
      {"RLE of the other depth", false, [](TestPicture& t) {
         t.layout.compression = t.layout.bitCount == 8 ? bmp::kBiRle4 : bmp::kBiRle8; }},
      {"RLE8 stream past the block", false, [](TestPicture& t) {
         t.layout.compression = bmp::kBiRle8; t.layout.pixelBytes = t.block.size(); }},
      {"1 bit", false, [](TestPicture& t) { t.layout.bitCount = 1; }},
      {"24 bits", false, [](TestPicture& t) { t.layout.bitCount = 24; }},
      {"negative height", false, [](TestPicture& t) { t.layout.height = -3; }},
  };
  for (const uint16_t bits : {uint16_t(4), uint16_t(8)}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << bits << " bits: " << c.what);
      TestPicture t = MakePicture(bits, bits == 8 ? 256 : 16, 11, 6, false, 4, 0, 99);
      c.change(t);
      const std::vector<uint8_t> before = t.block;
      const int32_t* order = bits == 8 ? order256 : order16;
      EXPECT_EQ(shuffle::ApplyToPicture(t.block.data(), t.block.size(), t.layout, table, order),
                c.fits);
      if (!c.fits) {
        EXPECT_EQ(t.block, before);
      }
    }
  }

  // An order that is no permutation would merge colours: refused.
  TestPicture t = MakePicture(4, 16, 11, 6, false, 0, 0, 5);
  const std::vector<uint8_t> before = t.block;
  int32_t bad[256];
  std::copy(order16, order16 + 16, bad);
  bad[3] = bad[4];
  EXPECT_FALSE(shuffle::ApplyToPicture(t.block.data(), t.block.size(), t.layout, table, bad));
  bad[3] = 16;
  EXPECT_FALSE(shuffle::ApplyToPicture(t.block.data(), t.block.size(), t.layout, table, bad));
  t.layout.colourCount = 17;  // more colours than 4 bits can index
  EXPECT_FALSE(shuffle::ApplyToPicture(t.block.data(), t.block.size(), t.layout, table, order256));
  EXPECT_EQ(t.block, before);
}

TEST(ShuffleRemap, FourBitTableMapsBothNibbles) {
  int32_t order[256] = {};
  for (int i = 0; i < 16; ++i) order[i] = 15 - i;
  uint8_t table[256];
  ASSERT_TRUE(shuffle::BuildRemapTable(4, 16, order, table));
  uint8_t row[6] = {0x01, 0xF0, 0x5A, 0x33, 0xAA, 0xBB};  // 4 data bytes, 2 padding
  shuffle::RemapRows(row, 1, 4, 6, table);
  const uint8_t expected[6] = {0xFE, 0x0F, 0xA5, 0xCC, 0xAA, 0xBB};
  EXPECT_EQ(0, std::memcmp(row, expected, sizeof row));
}

// The remap takes its rows where the lock rules put them: after a gap that the
// pixel-data offset names, with the padded stride even when biSizeImage counts
// trailing bytes.
TEST(ShuffleRemap, FollowsTheLockRulesOfARealFile) {
  // 4-bit, 5 x 3, 16 colours, a 6-byte gap, biSizeImage 12 rows' worth + 8.
  const uint32_t gap = 6, stride = 4, height = 3, trailing = 8;
  const uint32_t pixelField = 14 + 40 + 64 + gap;
  const uint32_t total = pixelField + stride * height + trailing;
  std::vector<uint8_t> file(total, 0);
  uint8_t* f = file.data();
  bmp::PutU16(f, bmp::kMagicBM);
  bmp::PutU32(f + 2, total);
  bmp::PutU32(f + 10, pixelField);
  uint8_t* info = f + 14;
  bmp::PutU32(info + bmp::kBiSize, 40);
  bmp::PutU32(info + bmp::kBiWidth, 5);
  bmp::PutU32(info + bmp::kBiHeight, height);
  bmp::PutU16(info + bmp::kBiPlanes, 1);
  bmp::PutU16(info + bmp::kBiBitCount, 4);
  bmp::PutU32(info + bmp::kBiSizeImage, stride * height + trailing);
  for (int i = 0; i < 16; ++i) {  // entry i: blue i, green 16 + i, red 32 + i
    info[40 + 4 * i] = static_cast<uint8_t>(i);
    info[41 + 4 * i] = static_cast<uint8_t>(16 + i);
    info[42 + 4 * i] = static_cast<uint8_t>(32 + i);
  }
  for (uint32_t i = 14 + 40 + 64; i < pixelField; ++i) f[i] = 0xEE;  // the gap
  const uint8_t rows[12] = {0x01, 0x23, 0x40, 0xAA,  // 5 pixels, low nibble of byte 2 beyond them
                            0x56, 0x78, 0x9F, 0xBB,
                            0xCD, 0xEF, 0x1E, 0xCC};
  std::memcpy(f + pixelField, rows, sizeof rows);
  for (uint32_t i = 0; i < trailing; ++i) f[total - trailing + i] = 0x77;

  const bmp::FileHeader fh = bmp::ParseFileHeader(f);
  std::vector<uint8_t> block(file.begin() + 14, file.end());
  bmp::BlockLayout layout;
  ASSERT_EQ(bmp::ApplyLockRules(block.data(), block.size(), fh, &layout), bmp::BlockCheck::kOk);
  const std::vector<uint8_t> before = block;

  auto s = std::make_unique<shuffle::Shuffler>();
  TestPicture t{block, layout};
  ASSERT_TRUE(Randomise(*s, t, 11, 22));
  const int32_t* map = s->OrderMap;
  const uint32_t px = pixelField - 14;
  for (uint32_t i = 0; i < px; ++i) {
    if (i >= 40 && i < 104) continue;
    ASSERT_EQ(t.block[i], before[i]) << "header or gap byte " << i;
  }
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < 3; ++x) {
      const uint8_t was = rows[y * 4 + x];
      const uint8_t expect = static_cast<uint8_t>(map[was >> 4] << 4 | map[was & 15]);
      EXPECT_EQ(t.block[px + y * 4 + x], expect) << "row " << y << " byte " << x;
      const int newHi = t.block[px + y * 4 + x] >> 4;
      EXPECT_EQ(t.block[40 + 4 * newHi + 1], 16 + (was >> 4)) << "row " << y << " byte " << x;
    }
    EXPECT_EQ(t.block[px + y * 4 + 3], rows[y * 4 + 3]) << "padding of row " << y;
  }
  for (uint32_t i = 0; i < trailing; ++i) EXPECT_EQ(t.block[block.size() - trailing + i], 0x77);
}

// RLE streams are remapped inside their codes: each decodes, after the remap,
// to the remapped indices of the source, in the same number of bytes, with
// escapes, deltas, word padding and whatever follows the end escape as they
// were; a stream cut inside a code is refused unchanged.
TEST(ShuffleRemap, RleStreamsKeepTheirCodesAndTheirLook) {
  struct Case { const char* label; uint16_t bits; int32_t w, h; std::vector<uint8_t> stream; bool ok; };
  const std::vector<Case> cases = {
      {"RLE8 runs, odd absolute run, delta, end of line and of bitmap", 8, 8, 4,
       {3, 1, 5, 2, 0, 0, 0, 3, 7, 8, 9, 0xEE, 0, 2, 1, 1, 4, 5, 0, 0, 8, 6, 0, 1, 0x42, 0x43}, true},
      {"RLE4 runs of two nibbles, absolute run of 5 nibbles", 4, 9, 3,
       {9, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0xEE, 0, 0, 4, 0xAB, 0, 1}, true},
      {"RLE8 without its end escape", 8, 4, 1, {2, 7, 2, 9}, true},
      {"RLE8 absolute run cut", 8, 8, 1, {2, 1, 0, 5, 1, 2, 3}, false},
      {"RLE8 delta cut", 8, 8, 2, {2, 1, 0, 2, 1}, false},
      {"RLE4 lone byte", 4, 8, 1, {2, 0x11, 0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    int32_t order[16];
    for (int i = 0; i < 16; ++i) order[i] = (i * 7 + 3) % 16;  // a permutation of 16
    uint8_t table[256];
    ASSERT_TRUE(shuffle::BuildRemapTable(c.bits, 16, order, table));
    std::vector<uint8_t> stream = c.stream;
    EXPECT_EQ(shuffle::RemapRleStream(stream.data(), stream.size(), c.bits, table), c.ok);
    ASSERT_EQ(stream.size(), c.stream.size());
    if (!c.ok) {
      EXPECT_EQ(stream, c.stream) << "a damaged stream is left as it was";
      continue;
    }
    const uint64_t stride = (static_cast<uint64_t>(c.w) * c.bits + 31) / 32 * 4;
    std::vector<uint8_t> before(stride * c.h), after(stride * c.h);
    rle::Decode(c.stream.data(), c.stream.size(), c.bits, c.w, c.h, stride, before.data(), before.size());
    rle::Decode(stream.data(), stream.size(), c.bits, c.w, c.h, stride, after.data(), after.size());
    // Pixels the stream never wrote decode as index 0 both times.
    for (uint64_t y = 0; y < static_cast<uint64_t>(c.h); ++y) {
      for (int32_t x = 0; x < c.w; ++x) {
        const size_t at = y * stride + (c.bits == 8 ? x : x / 2);
        const int shift = c.bits == 8 ? 0 : (x % 2 ? 0 : 4);
        const uint8_t mask = c.bits == 8 ? 0xFF : 0x0F;
        const uint8_t was = (before[at] >> shift) & mask, now = (after[at] >> shift) & mask;
        const uint8_t mapped = c.bits == 8 ? table[was] : table[was] & 15;
        EXPECT_TRUE(now == mapped || (was == 0 && now == 0)) << x << "," << y;
      }
    }
  }
  // What no table may touch: escapes, delta offsets, the pad byte, bytes after the end.
  std::vector<uint8_t> stream = cases[0].stream;
  int32_t order[256];
  for (int i = 0; i < 256; ++i) order[i] = 255 - i;
  uint8_t table[256];
  ASSERT_TRUE(shuffle::BuildRemapTable(8, 256, order, table));
  ASSERT_TRUE(shuffle::RemapRleStream(stream.data(), stream.size(), 8, table));
  for (size_t at : {0, 2, 4, 5, 6, 7, 11, 12, 13, 14, 15, 16, 18, 19, 20, 22, 23, 24, 25}) {
    EXPECT_EQ(stream[at], cases[0].stream[at]) << "byte " << at;
  }
  for (size_t at : {1, 3, 8, 9, 10, 17, 21}) {
    EXPECT_EQ(stream[at], 255 - cases[0].stream[at]) << "byte " << at;
  }
}

// The order kept from the source to the table: two reorders followed one after
// the other put the source's table exactly where the two reorders put it.
TEST(ShuffleOrder, ComposedReordersEqualTheReorderToTheFinalTable) {
  for (const int colours : {1, 5, 16, 256}) {
    std::vector<int32_t> a(colours), b(colours), order(colours);
    std::iota(a.begin(), a.end(), 0);
    std::iota(order.begin(), order.end(), 0);
    b = a;
    std::shuffle(a.begin(), a.end(), std::mt19937(colours));
    std::shuffle(b.begin(), b.end(), std::mt19937(colours + 1));
    shuffle::PaletteEntry twice[256], once[256];
    for (int i = 0; i < 256; ++i) twice[i] = once[i] = {i, 0, 0};  // entries past n stay put
    ASSERT_TRUE(shuffle::ReorderTable(twice, colours, a.data()) && shuffle::ReorderTable(twice, colours, b.data()));
    ASSERT_TRUE(shuffle::ComposeOrder(order.data(), a.data(), colours));
    ASSERT_TRUE(shuffle::ComposeOrder(order.data(), b.data(), colours));
    ASSERT_TRUE(shuffle::ReorderTable(once, colours, order.data()));
    for (int i = 0; i < 256; ++i) EXPECT_EQ(once[i].blue, twice[i].blue) << colours << " colours, entry " << i;
  }
  int32_t order[3] = {2, 0, 1};
  const int32_t notAPermutation[3] = {1, 1, 0};
  EXPECT_FALSE(shuffle::ComposeOrder(order, notAPermutation, 3));
  EXPECT_EQ(std::vector<int32_t>(order, order + 3), (std::vector<int32_t>{2, 0, 1})) << "changed by a refused step";
}
