// The TIFF layout: the fixed front part, the colour map and the rows, written
// from the DIB block as the lock rules describe it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/bitmap/core/bmp_rules.h"
#include "common/bitmap/core/rle.h"
#include "common/bitmap/core/tiff_layout.h"
#include "tests/unit/fixtures/bmp_fixture.h"

using fixture::Picture;
using tiff::TiffResult;

namespace {

struct Locked {
  std::vector<uint8_t> block;
  bmp::BlockLayout layout;
};

Locked LockPicture(const Picture& p) {
  Locked l;
  l.block = fixture::Block(p);
  EXPECT_EQ(bmp::ApplyLockRules(l.block.data(), l.block.size(), fixture::FileHeaderOf(p), &l.layout),
            bmp::BlockCheck::kOk);
  return l;
}

std::vector<uint8_t> Write(const Locked& l) {
  tiff::MemorySink sink;
  EXPECT_EQ(tiff::WriteTiff(l.block.data(), l.block.size(), l.layout, sink), TiffResult::kOk);
  EXPECT_EQ(sink.bytes.size(), tiff::TiffFileSize(l.layout));
  return sink.bytes;
}

struct DirEntry { uint16_t tag, type; uint32_t count, value; };

std::vector<DirEntry> Directory(const std::vector<uint8_t>& f) {
  std::vector<DirEntry> d;
  const uint32_t ifd = bmp::GetU32(f.data() + 4);
  const uint16_t n = bmp::GetU16(f.data() + ifd);
  for (uint16_t i = 0; i < n; ++i) {
    const uint8_t* e = f.data() + ifd + 2 + 12 * i;
    d.push_back({bmp::GetU16(e), bmp::GetU16(e + 2), bmp::GetU32(e + 4), bmp::GetU32(e + 8)});
  }
  return d;
}

DirEntry Find(const std::vector<DirEntry>& d, uint16_t tag) {
  for (const DirEntry& e : d) if (e.tag == tag) return e;
  ADD_FAILURE() << "tag " << tag << " missing";
  return {};
}

class FailingSink final : public tiff::ByteSink {
 public:
  explicit FailingSink(size_t acceptCalls) : accept_(acceptCalls) {}
  bool Put(const uint8_t*, size_t n) override {
    ++calls;
    if (n == 0) ++emptyCalls;
    return calls <= accept_;
  }
  size_t calls = 0;
  size_t emptyCalls = 0;

 private:
  size_t accept_;
};

}  // namespace

TEST(TiffLayout, TwoColour16x2IsExactly144Bytes) {
  Picture p;
  p.width = 16; p.height = 2; p.bits = 1;
  p.palette = {0x000000, 0xFFFFFF};
  p.pixels = {0xF0, 0x0F, 0x00, 0x00,   // stored row 0: the bottom row
              0xAA, 0x55, 0x00, 0x00};  // stored row 1: the top row
  const uint8_t expected[144] = {
      'I', 'I', 42, 0,                  /* byte order, 42 */
      8, 0, 0, 0,                       /* first directory at 8 */
      9, 0,                             /* nine entries */
      0x00, 1, 3, 0, 1, 0, 0, 0, 16, 0, 0, 0,     /* 256 ImageWidth SHORT 16 */
      0x01, 1, 3, 0, 1, 0, 0, 0, 2, 0, 0, 0,      /* 257 ImageLength SHORT 2 */
      0x02, 1, 3, 0, 1, 0, 0, 0, 1, 0, 0, 0,      /* 258 BitsPerSample SHORT 1 */
      0x06, 1, 3, 0, 1, 0, 0, 0, 3, 0, 0, 0,      /* 262 Photometric SHORT palette */
      0x11, 1, 4, 0, 1, 0, 0, 0, 140, 0, 0, 0,    /* 273 StripOffsets LONG 140 */
      0x15, 1, 3, 0, 1, 0, 0, 0, 1, 0, 0, 0,      /* 277 SamplesPerPixel SHORT 1 */
      0x16, 1, 3, 0, 1, 0, 0, 0, 2, 0, 0, 0,      /* 278 RowsPerStrip SHORT 2 */
      0x17, 1, 4, 0, 1, 0, 0, 0, 4, 0, 0, 0,      /* 279 StripByteCounts LONG 4 */
      0x40, 1, 3, 0, 6, 0, 0, 0, 128, 0, 0, 0,    /* 320 ColorMap SHORT x6 at 128 */
      0, 0, 0, 0,                       /* no next directory */
      0, 0, 0, 0, 0, 0,                 /* six zero bytes */
      0, 0, 0xFF, 0xFF,                 /* red: 0, 65535 */
      0, 0, 0xFF, 0xFF,                 /* green */
      0, 0, 0xFF, 0xFF,                 /* blue */
      0xAA, 0x55,                       /* top row */
      0xF0, 0x0F,                       /* bottom row */
  };
  const std::vector<uint8_t> f = Write(LockPicture(p));
  ASSERT_EQ(f.size(), 144u);
  for (size_t i = 0; i < f.size(); ++i) EXPECT_EQ(f[i], expected[i]) << "byte " << i;
}

TEST(TiffLayout, DirectoryIsAscendingWithConsistentOffsets) {
  struct Case { const char* label; int32_t w, h; uint16_t bits; uint32_t clrUsed; };
  const Case cases[] = {
      {"1-bit 7 x 3", 7, 3, 1, 0}, {"4-bit 33 x 5", 33, 5, 4, 0},
      {"8-bit 5 x 4", 5, 4, 8, 0}, {"8-bit listing 16 colours", 3, 2, 8, 16},
      {"1-bit listing 16 colours", 9, 2, 1, 16}, {"top-down 4-bit", 3, -4, 4, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Picture p;
    p.width = c.w; p.height = c.h; p.bits = c.bits; p.clrUsed = c.clrUsed;
    p.palette = fixture::Palette(c.clrUsed ? c.clrUsed : 1u << c.bits);
    p.pixels = fixture::Rows(c.w, c.h, c.bits, [](int32_t x, int32_t y) { return x + y; });
    const std::vector<uint8_t> f = Write(LockPicture(p));
    const std::vector<DirEntry> d = Directory(f);
    ASSERT_EQ(d.size(), 9u);
    for (size_t i = 1; i < d.size(); ++i) EXPECT_LT(d[i - 1].tag, d[i].tag);
    const uint32_t entries = 1u << c.bits;
    const uint32_t height = static_cast<uint32_t>(c.h < 0 ? -c.h : c.h);
    const uint32_t rowBytes = (static_cast<uint32_t>(c.w) * c.bits + 7) / 8;
    EXPECT_EQ(Find(d, 258).value, c.bits);
    EXPECT_EQ(Find(d, 320).count, 3 * entries);
    EXPECT_EQ(Find(d, 273).value, 128 + 6 * entries);
    EXPECT_EQ(Find(d, 279).value, height * rowBytes);
    EXPECT_EQ(Find(d, 257).value, height);
    EXPECT_EQ(Find(d, 278).value, height);
    EXPECT_EQ(f.size(), 128 + 6 * entries + height * rowBytes);
  }
}

TEST(TiffLayout, ColourMapTakesEachComponentTwice) {
  Picture p;
  p.width = 2; p.height = 1; p.bits = 4;
  p.palette = fixture::Palette(16);
  p.palette[5] = 0xFF8010;  // red 0xFF, green 0x80, blue 0x10
  p.pixels = {0x55, 0, 0, 0};
  const std::vector<uint8_t> f = Write(LockPicture(p));
  const uint32_t n = 16;
  EXPECT_EQ(bmp::GetU16(f.data() + 128 + 2 * 5), 0xFFFF);
  EXPECT_EQ(bmp::GetU16(f.data() + 128 + 2 * (n + 5)), 0x8080);
  EXPECT_EQ(bmp::GetU16(f.data() + 128 + 2 * (2 * n + 5)), 0x1010);
}

// An 8-bit file listing 16 colours: the map follows the bit count, the
// entries the file lacks are black.
TEST(TiffLayout, EightBitWithSixteenColours) {
  Picture p;
  p.width = 3; p.height = 2; p.bits = 8; p.clrUsed = 16;
  p.palette = fixture::Palette(16);
  p.pixels = fixture::Rows(3, 2, 8, [](int32_t x, int32_t y) { return x + 3 * y; });
  const std::vector<uint8_t> f = Write(LockPicture(p));
  const std::vector<DirEntry> d = Directory(f);
  EXPECT_EQ(Find(d, 258).value, 8u);
  EXPECT_EQ(Find(d, 320).count, 768u);
  ASSERT_EQ(f.size(), 1664u + 6);
  const uint32_t c15 = p.palette[15];
  EXPECT_EQ(bmp::GetU16(f.data() + 128 + 2 * 15), ((c15 >> 16) & 0xFF) * 257);
  for (uint32_t i = 16; i < 256; ++i) {
    EXPECT_EQ(bmp::GetU16(f.data() + 128 + 2 * i), 0);
    EXPECT_EQ(bmp::GetU16(f.data() + 128 + 2 * (256 + i)), 0);
    EXPECT_EQ(bmp::GetU16(f.data() + 128 + 2 * (512 + i)), 0);
  }
  const std::vector<uint8_t> rows(f.begin() + 1664, f.end());
  EXPECT_EQ(rows, (std::vector<uint8_t>{0, 1, 2, 3, 4, 5}));
}

TEST(TiffLayout, RowsComeTopFirstFromThePixelAddress) {
  struct Case { const char* label; int32_t height; uint32_t gap; bool zeroField; };
  const Case cases[] = {
      {"bottom-up", 3, 0, false},
      {"top-down", -3, 0, false},
      {"gap of 10 bytes after the colour table", 3, 10, false},
      {"top-down with a gap", -3, 6, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Picture p;
    p.width = 5; p.height = c.height; p.bits = 8;
    p.palette = fixture::Palette(256);
    p.gap = c.gap;
    p.pixels = fixture::Rows(5, c.height, 8, [](int32_t x, int32_t y) { return 10 * y + x; });
    const std::vector<uint8_t> f = Write(LockPicture(p));
    ASSERT_EQ(f.size(), 1664u + 15);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) EXPECT_EQ(f[1664 + 5 * y + x], 10 * y + x) << x << "," << y;
  }
}

// A 16-colour row of 33 pixels is 17 bytes; the last byte carries the
// source's padding nibble.
TEST(TiffLayout, OddWidthFourBitKeepsTheLastNibble) {
  Picture p;
  p.width = 33; p.height = 2; p.bits = 4;
  p.palette = fixture::Palette(16);
  p.pixels = fixture::Rows(33, 2, 4, [](int32_t x, int32_t y) { return (x + y) & 15; });
  p.pixels[16] |= 0x0D;       // padding nibble of the bottom row
  p.pixels[20 + 16] |= 0x0E;  // padding nibble of the top row
  const Locked l = LockPicture(p);
  EXPECT_EQ(l.layout.rowBytes, 17u);
  const std::vector<uint8_t> f = Write(l);
  EXPECT_EQ(Find(Directory(f), 279).value, 34u);
  ASSERT_EQ(f.size(), 224u + 34);
  // Pixel 32 is (x + y) & 15 with y counted from the top: 0 on top, 1 below.
  EXPECT_EQ(f[224 + 16], 0x00 | 0x0E);       // top row first
  EXPECT_EQ(f[224 + 17 + 16], 0x10 | 0x0D);
}

TEST(TiffLayout, LargeDimensionsUseLong) {
  struct Case { const char* label; int32_t w, h; uint16_t wType, hType; };
  const Case cases[] = {
      {"width 65535", 65535, 1, 3, 3},
      {"width 70000", 70000, 1, 4, 3},
      {"height 65536", 1, 65536, 3, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Picture p;
    p.width = c.w; p.height = c.h; p.bits = 1;
    p.palette = {0, 0xFFFFFF};
    p.pixels.assign(((static_cast<size_t>(c.w) + 31) / 32) * 4 * c.h, 0x5A);
    const std::vector<uint8_t> f = Write(LockPicture(p));
    const std::vector<DirEntry> d = Directory(f);
    EXPECT_EQ(Find(d, 256).type, c.wType);
    EXPECT_EQ(Find(d, 256).value, static_cast<uint32_t>(c.w));
    EXPECT_EQ(Find(d, 257).type, c.hType);
    EXPECT_EQ(Find(d, 278).type, c.hType);
    EXPECT_EQ(Find(d, 257).value, static_cast<uint32_t>(c.h));
  }
}

TEST(TiffLayout, FailingSinkStopsAtOnce) {
  Picture p;
  p.width = 512; p.height = 8000; p.bits = 8;  // 4 MB of rows, several writes
  p.palette = fixture::Palette(256);
  p.pixels.assign(512 * 8000, 3);
  const Locked l = LockPicture(p);
  for (size_t accepted : {0u, 1u, 2u}) {
    SCOPED_TRACE(accepted);
    FailingSink sink(accepted);
    EXPECT_EQ(tiff::WriteTiff(l.block.data(), l.block.size(), l.layout, sink),
              TiffResult::kWriteFailed);
    EXPECT_EQ(sink.calls, accepted + 1) << "no write after the first refusal";
  }
  // The bytes go out in few large writes, never byte by byte.
  FailingSink counting(1000000);
  EXPECT_EQ(tiff::WriteTiff(l.block.data(), l.block.size(), l.layout, counting), TiffResult::kOk);
  EXPECT_LE(counting.calls, 8u);
  EXPECT_EQ(counting.emptyCalls, 0u);
}

TEST(TiffLayout, RefusesWhatItCannotWrite) {
  Picture p;
  p.width = 4; p.height = 2; p.bits = 8;
  p.palette = fixture::Palette(256);
  p.pixels.assign(8, 1);
  const Locked good = LockPicture(p);

  struct Case { const char* label; TiffResult expected; void (*mend)(bmp::BlockLayout&); };
  const Case cases[] = {
      {"24 bits", TiffResult::kBadPicture, [](bmp::BlockLayout& l) { l.bitCount = 24; }},
      {"rows beyond the block", TiffResult::kBadPicture, [](bmp::BlockLayout& l) { l.height = 3; }},
      {"pixel offset beyond the block", TiffResult::kBadPicture,
       [](bmp::BlockLayout& l) { l.pixelOffset = 1065; }},
      {"row length beyond the stride", TiffResult::kBadPicture,
       [](bmp::BlockLayout& l) { l.rowStride = 3; }},
      {"row length not the width's", TiffResult::kBadPicture,
       [](bmp::BlockLayout& l) { l.rowBytes = 5; }},
      {"colour count 257", TiffResult::kBadPicture, [](bmp::BlockLayout& l) { l.colourCount = 257; }},
      {"RLE4 on 8 bits", TiffResult::kBadPicture,
       [](bmp::BlockLayout& l) { l.compression = bmp::kBiRle4; }},
      {"zero height", TiffResult::kBadPicture, [](bmp::BlockLayout& l) { l.height = 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    bmp::BlockLayout l = good.layout;
    c.mend(l);
    tiff::MemorySink sink;
    EXPECT_EQ(tiff::WriteTiff(good.block.data(), good.block.size(), l, sink), c.expected);
    EXPECT_TRUE(sink.bytes.empty());
  }
}

// An RLE picture can claim any size in a few bytes; a file past 4 GiB - 1 is
// refused before anything is allocated or written.
TEST(TiffLayout, FilesBeyondFourGibAreRefused) {
  Picture p;
  p.width = 70000; p.height = 70000; p.bits = 8; p.compression = bmp::kBiRle8;
  p.palette = fixture::Palette(256);
  p.pixels = {0, 1};
  const Locked l = LockPicture(p);
  EXPECT_GT(tiff::TiffFileSize(l.layout), 0xFFFFFFFFull);
  tiff::MemorySink sink;
  EXPECT_EQ(tiff::WriteTiff(l.block.data(), l.block.size(), l.layout, sink), TiffResult::kTooLarge);
  EXPECT_TRUE(sink.bytes.empty());
}

TEST(TiffLayout, RlePicturesAreWrittenDecoded) {
  Picture p;
  p.width = 5; p.height = 2; p.bits = 8; p.compression = bmp::kBiRle8;
  p.palette = fixture::Palette(256);
  p.pixels = {5, 7, 0, 0,          // bottom row: five 7s
              2, 9, 0, 3, 1, 2, 3, 0,  // top row: 9 9 then absolute 1 2 3 (padded)
              0, 1};
  const std::vector<uint8_t> f = Write(LockPicture(p));
  const std::vector<uint8_t> rows(f.begin() + 1664, f.end());
  EXPECT_EQ(rows, (std::vector<uint8_t>{9, 9, 1, 2, 3, 7, 7, 7, 7, 7}));
}

// A picture of several bands: its rows come out top first exactly as a
// whole decode of the stream has them, with runs and deltas over the band
// borders and rows the stream never reaches left at index 0.
TEST(TiffLayout, RlePicturesOfManyBandsEqualAWholeDecode) {
  Picture p;
  p.width = 3001; p.height = 1500; p.bits = 8; p.compression = bmp::kBiRle8;
  p.palette = fixture::Palette(256);
  uint32_t state = 99;
  auto next = [&state] { state = state * 1103515245u + 12345u; return static_cast<uint8_t>(state >> 16); };
  for (int row = 0; row < 1200; ++row) {
    if (row % 97 == 5) {  // a delta that crosses rows
      p.pixels.insert(p.pixels.end(), {0, 2, next(), static_cast<uint8_t>(1 + next() % 3)});
    }
    for (int run = 0; run < 12; ++run) p.pixels.insert(p.pixels.end(), {next(), next()});
    p.pixels.insert(p.pixels.end(), {0, 0});
  }
  p.pixels.insert(p.pixels.end(), {0, 1});
  const Locked l = LockPicture(p);
  const std::vector<uint8_t> f = Write(l);

  const uint64_t stride = bmp::PaddedRowBytes(p.width, 8);
  std::vector<uint8_t> whole(static_cast<size_t>(stride * p.height), 0);
  rle::Decode(p.pixels.data(), p.pixels.size(), 8, p.width, p.height, stride, whole.data(),
              whole.size());
  ASSERT_EQ(f.size(), 1664u + 3001u * 1500u);
  for (int32_t r = 0; r < p.height; ++r) {
    const uint8_t* want = whole.data() + (p.height - 1 - r) * stride;
    ASSERT_TRUE(std::equal(want, want + p.width, f.begin() + 1664 + r * p.width)) << "row " << r;
  }
}
