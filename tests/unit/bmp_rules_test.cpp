// The lock rules of the DIB block (colour count, image size, pixel address)
// and the checks that keep every user of the block inside it.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "common/bitmap/core/bmp_rules.h"
#include "tests/unit/fixtures/bmp_fixture.h"

using bmp::BlockCheck;
using bmp::BlockLayout;
using fixture::Picture;

namespace {

BlockCheck Lock(std::vector<uint8_t>& block, const bmp::FileHeader& fh, BlockLayout* l) {
  return bmp::ApplyLockRules(block.data(), block.size(), fh, l);
}

bmp::FileHeader WithOffset(uint32_t pixelOffset) {
  bmp::FileHeader fh;
  fh.type = bmp::kMagicBM;
  fh.pixelOffset = pixelOffset;
  return fh;
}

}  // namespace

// A 16 x 2 one-bit file written out byte for byte.
TEST(BmpLockRules, OneBitFileWithClrUsedZero) {
  const uint8_t file[] = {
      'B', 'M',                 /* bfType */
      70, 0, 0, 0,              /* bfSize: 14 + 40 + 8 + 8 */
      0, 0, 0, 0,               /* bfReserved1, bfReserved2 */
      62, 0, 0, 0,              /* bfOffBits */
      40, 0, 0, 0,              /* biSize */
      16, 0, 0, 0,              /* biWidth */
      2, 0, 0, 0,               /* biHeight */
      1, 0,                     /* biPlanes */
      1, 0,                     /* biBitCount */
      0, 0, 0, 0,               /* biCompression BI_RGB */
      0, 0, 0, 0,               /* biSizeImage */
      0, 0, 0, 0,               /* biXPelsPerMeter */
      0, 0, 0, 0,               /* biYPelsPerMeter */
      0, 0, 0, 0,               /* biClrUsed */
      0, 0, 0, 0,               /* biClrImportant */
      0, 0, 0, 0,               /* colour 0: black */
      255, 255, 255, 0,         /* colour 1: white */
      0xF0, 0x0F, 0, 0,         /* bottom row */
      0xAA, 0x55, 0, 0,         /* top row */
  };
  const bmp::FileHeader fh = bmp::ParseFileHeader(file);
  EXPECT_EQ(fh.type, bmp::kMagicBM);
  EXPECT_EQ(fh.totalSize, 70u);
  EXPECT_EQ(fh.pixelOffset, 62u);
  ASSERT_TRUE(bmp::FileHeaderSizeIsSound(fh));

  for (uint32_t offsetField : {62u, 0u}) {
    SCOPED_TRACE(offsetField);
    std::vector<uint8_t> block(file + 14, file + sizeof file);
    BlockLayout l;
    ASSERT_EQ(Lock(block, WithOffset(offsetField), &l), BlockCheck::kOk);
    EXPECT_EQ(l.colourCount, 2);
    EXPECT_EQ(l.pixelOffset, 48u);
    EXPECT_EQ(l.colourTableOffset, 40u);
    EXPECT_EQ(l.rowStride, 4u);
    EXPECT_EQ(l.rowBytes, 2u);
    EXPECT_EQ(l.pixelBytes, 8u);
    EXPECT_EQ(bmp::GetU32(block.data() + bmp::kBiClrUsed), 2u);
    EXPECT_EQ(bmp::GetU32(block.data() + bmp::kBiSizeImage), 8u);
    // A second lock sees the written values and yields the same layout.
    BlockLayout again;
    ASSERT_EQ(Lock(block, WithOffset(offsetField), &again), BlockCheck::kOk);
    EXPECT_EQ(again.pixelOffset, 48u);
    EXPECT_EQ(again.colourCount, 2);
  }
}

TEST(BmpLockRules, PixelAddressFollowsTheOffsetField) {
  struct Case { const char* label; uint32_t gap; bool zeroField; uint64_t expected; };
  const Case cases[] = {
      {"field 1078", 0, false, 1064},
      {"field 1100, gap of 22 bytes", 22, false, 1086},
      {"field 0, right after the table", 22, true, 1064},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Picture p;
    p.width = 4; p.height = 2; p.bits = 8;
    p.palette = fixture::Palette(256);
    p.gap = c.gap;
    p.zeroOffsetField = c.zeroField;
    p.pixels.assign(8, 7);
    std::vector<uint8_t> block = fixture::Block(p);
    BlockLayout l;
    ASSERT_EQ(Lock(block, fixture::FileHeaderOf(p), &l), BlockCheck::kOk);
    EXPECT_EQ(l.pixelOffset, c.expected);
    EXPECT_EQ(l.colourCount, 256);
  }
}

TEST(BmpLockRules, ImageSizeAndRowLengths) {
  struct Case {
    const char* label; int32_t width; int32_t height; uint16_t bits;
    uint64_t stride; uint64_t rowBytes; uint32_t sizeImage;
  };
  const Case cases[] = {
      {"4-bit 33 x 10", 33, 10, 4, 20, 17, 200},
      {"1-bit 1 x 3", 1, 3, 1, 4, 1, 12},
      {"1-bit 33 x 1", 33, 1, 1, 8, 5, 8},
      {"8-bit 5 x 2", 5, 2, 8, 8, 5, 16},
      {"24-bit 3 x 3", 3, 3, 24, 12, 9, 36},
      {"16-bit 3 x 1", 3, 1, 16, 8, 6, 8},
      {"32-bit 2 x 2", 2, 2, 32, 8, 8, 16},
      {"4-bit top-down 33 x -10", 33, -10, 4, 20, 17, 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Picture p;
    p.width = c.width; p.height = c.height; p.bits = c.bits;
    if (c.bits <= 8) p.palette = fixture::Palette(1u << c.bits);
    p.pixels = fixture::Rows(c.width, c.height, c.bits, [](int32_t, int32_t) { return 0; });
    std::vector<uint8_t> block = fixture::Block(p);
    BlockLayout l;
    ASSERT_EQ(Lock(block, fixture::FileHeaderOf(p), &l), BlockCheck::kOk);
    EXPECT_EQ(l.rowStride, c.stride);
    EXPECT_EQ(l.rowBytes, c.rowBytes);
    EXPECT_EQ(l.pixelBytes, c.sizeImage);
    EXPECT_EQ(bmp::GetU32(block.data() + bmp::kBiSizeImage), c.sizeImage);
    EXPECT_EQ(l.height, c.height < 0 ? -c.height : c.height);
    EXPECT_EQ(l.topDown, c.height < 0);
  }
}

TEST(BmpLockRules, PicturesWithoutColourTable) {
  for (uint16_t bits : {16, 24, 32}) {
    SCOPED_TRACE(bits);
    Picture p;
    p.width = 2; p.height = 2; p.bits = bits;
    p.pixels = fixture::Rows(2, 2, bits, [](int32_t, int32_t) { return 0; });
    std::vector<uint8_t> block = fixture::Block(p);
    BlockLayout l;
    ASSERT_EQ(Lock(block, WithOffset(54), &l), BlockCheck::kOk);
    EXPECT_EQ(l.colourCount, 0);
    EXPECT_EQ(l.pixelOffset, 40u);
    EXPECT_EQ(bmp::GetU32(block.data() + bmp::kBiClrUsed), 0u);
  }
}

// Values a file states are kept, and the stride never comes from biSizeImage.
TEST(BmpLockRules, StatedValuesAreKept) {
  Picture p;
  p.width = 5; p.height = 2; p.bits = 8;
  p.clrUsed = 16;                    // an 8-bit file listing 16 colours
  p.palette = fixture::Palette(16);
  p.sizeImage = 20;                  // counts four trailing bytes
  p.pixels.assign(20, 1);
  std::vector<uint8_t> block = fixture::Block(p);
  BlockLayout l;
  ASSERT_EQ(Lock(block, fixture::FileHeaderOf(p), &l), BlockCheck::kOk);
  EXPECT_EQ(l.colourCount, 16);
  EXPECT_EQ(l.pixelOffset, 40u + 64u);
  EXPECT_EQ(l.rowStride, 8u);
  EXPECT_EQ(l.pixelBytes, 16u);
  EXPECT_EQ(bmp::GetU32(block.data() + bmp::kBiSizeImage), 20u);
  EXPECT_EQ(bmp::GetU32(block.data() + bmp::kBiClrUsed), 16u);
}

TEST(BmpLockRules, RleSizeImageIsTheCompressedBytesAvailable) {
  Picture p;
  p.width = 4; p.height = 2; p.bits = 8; p.compression = bmp::kBiRle8;
  p.palette = fixture::Palette(256);
  p.pixels = {4, 1, 0, 0, 4, 2, 0, 1};
  std::vector<uint8_t> block = fixture::Block(p);
  BlockLayout l;
  ASSERT_EQ(Lock(block, fixture::FileHeaderOf(p), &l), BlockCheck::kOk);
  EXPECT_EQ(l.pixelBytes, 8u);
  EXPECT_EQ(bmp::GetU32(block.data() + bmp::kBiSizeImage), 8u);
  EXPECT_EQ(l.rowStride, 4u);

  p.sizeImage = 6;  // a stated size shorter than the stream is kept
  block = fixture::Block(p);
  ASSERT_EQ(Lock(block, fixture::FileHeaderOf(p), &l), BlockCheck::kOk);
  EXPECT_EQ(l.pixelBytes, 6u);
}

TEST(BmpLockRules, RowsThatExactlyFitAreAccepted) {
  Picture p;
  p.width = 3; p.height = 3; p.bits = 8;
  p.palette = fixture::Palette(256);
  p.pixels.assign(12, 0);
  std::vector<uint8_t> block = fixture::Block(p);
  BlockLayout l;
  EXPECT_EQ(Lock(block, fixture::FileHeaderOf(p), &l), BlockCheck::kOk);
  block.pop_back();
  EXPECT_EQ(Lock(block, fixture::FileHeaderOf(p), &l), BlockCheck::kBadLayout);
}

struct BrokenCase {
  const char* label;
  BlockCheck expected;
  void (*mend)(Picture&, std::vector<uint8_t>&, bmp::FileHeader&);
};

// Each row breaks one thing in an otherwise sound 8 x 4 four-bit picture.
TEST(BmpLockRules, BrokenHeadersAreRefused) {
  const BrokenCase cases[] = {
      {"biSize 64 (OS/2 2.x header)", BlockCheck::kBadInfoSize,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) { bmp::PutU32(b.data(), 64); }},
      {"biSize 41", BlockCheck::kBadInfoSize,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) { bmp::PutU32(b.data(), 41); }},
      {"biSize 124 in a block of 100 bytes", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) {
         bmp::PutU32(b.data(), 124); b.resize(100); }},
      {"block of 3 bytes", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) { b.resize(3); }},
      {"block shorter than the information header", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) { b.resize(39); }},
      {"colour table beyond the block", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader& fh) {
         b.resize(40 + 60); fh.pixelOffset = 0; }},
      {"biClrUsed 257", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) {
         bmp::PutU32(b.data() + bmp::kBiClrUsed, 257); b.resize(b.size() + 4 * 300, 0); }},
      {"biClrUsed 0xFFFFFFFF", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) {
         bmp::PutU32(b.data() + bmp::kBiClrUsed, 0xFFFFFFFFu); }},
      {"pixel offset inside the information header", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>&, bmp::FileHeader& fh) { fh.pixelOffset = 30; }},
      {"pixel offset inside the file header", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>&, bmp::FileHeader& fh) { fh.pixelOffset = 2; }},
      {"pixel offset inside the colour table", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>&, bmp::FileHeader& fh) { fh.pixelOffset = 14 + 40 + 60; }},
      {"pixel offset at the block end", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader& fh) {
         fh.pixelOffset = static_cast<uint32_t>(14 + b.size()); }},
      {"pixel offset 0xFFFFFFFF", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>&, bmp::FileHeader& fh) { fh.pixelOffset = 0xFFFFFFFFu; }},
      {"width 0", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) { bmp::PutU32(b.data() + bmp::kBiWidth, 0); }},
      {"width -8", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) {
         bmp::PutU32(b.data() + bmp::kBiWidth, static_cast<uint32_t>(-8)); }},
      {"height 0", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) { bmp::PutU32(b.data() + bmp::kBiHeight, 0); }},
      {"height INT32_MIN", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) {
         bmp::PutU32(b.data() + bmp::kBiHeight, 0x80000000u); }},
      {"bit count 2", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) { bmp::PutU16(b.data() + bmp::kBiBitCount, 2); }},
      {"bit count 0", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) { bmp::PutU16(b.data() + bmp::kBiBitCount, 0); }},
      {"compression BI_BITFIELDS", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) { bmp::PutU32(b.data() + bmp::kBiCompression, 3); }},
      {"compression RLE8 with 4 bits", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) {
         bmp::PutU32(b.data() + bmp::kBiCompression, bmp::kBiRle8); }},
      {"compression RLE4 with 8 bits", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) {
         bmp::PutU16(b.data() + bmp::kBiBitCount, 8);
         bmp::PutU32(b.data() + bmp::kBiClrUsed, 16);
         bmp::PutU32(b.data() + bmp::kBiCompression, bmp::kBiRle4); }},
      {"top-down RLE4", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) {
         bmp::PutU32(b.data() + bmp::kBiHeight, static_cast<uint32_t>(-4));
         bmp::PutU32(b.data() + bmp::kBiCompression, bmp::kBiRle4); }},
      {"rows need one byte more than the block", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) { b.pop_back(); }},
      {"height that needs more rows than the block", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) { bmp::PutU32(b.data() + bmp::kBiHeight, 5); }},
      {"width and height whose product passes 64 bits", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) {
         bmp::PutU16(b.data() + bmp::kBiBitCount, 32);
         bmp::PutU32(b.data() + bmp::kBiClrUsed, 16);
         bmp::PutU32(b.data() + bmp::kBiWidth, 0x7FFFFFFFu);
         bmp::PutU32(b.data() + bmp::kBiHeight, 0x7FFFFFFFu); }},
      {"top-down height that needs more rows than the block", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) {
         bmp::PutU32(b.data() + bmp::kBiHeight, static_cast<uint32_t>(-5)); }},
      {"biSizeImage beyond the block end", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) { bmp::PutU32(b.data() + bmp::kBiSizeImage, 17); }},
      {"biSizeImage 0xFFFFFFFF", BlockCheck::kBadLayout,
       [](Picture&, std::vector<uint8_t>& b, bmp::FileHeader&) {
         bmp::PutU32(b.data() + bmp::kBiSizeImage, 0xFFFFFFFFu); }},
  };
  for (const BrokenCase& c : cases) {
    SCOPED_TRACE(c.label);
    Picture p;
    p.width = 8; p.height = 4; p.bits = 4;
    p.palette = fixture::Palette(16);
    p.pixels.assign(16, 0x12);
    std::vector<uint8_t> block = fixture::Block(p);
    bmp::FileHeader fh = fixture::FileHeaderOf(p);
    c.mend(p, block, fh);
    const std::vector<uint8_t> before = block;
    BlockLayout l;
    EXPECT_EQ(Lock(block, fh, &l), c.expected);
    EXPECT_EQ(block, before) << "a refused block must be left as it was";
  }
}

// Every header size read, with full and short tables: the table starts right
// after the header, entries are 3 bytes after a core header, an index past
// the table reads black, the larger headers' extra fields are never touched,
// and a table entry is written in the table's own layout.
TEST(BmpLockRules, HeaderSizesAndShortTables) {
  struct Case { const char* label; uint32_t infoSize; uint16_t bits; uint32_t clrUsed; size_t listed; };
  const Case cases[] = {
      {"40, 8 bits, 100 of 256", 40, 8, 100, 100},
      {"52, 4 bits, 12 of 16", 52, 4, 12, 12},
      {"56, 8 bits, 252 of 256", 56, 8, 252, 252},
      {"108, 1 bit, 2 by default", 108, 1, 0, 2},
      {"124, 8 bits, 100 of 256 (GIMP)", 124, 8, 100, 100},
      {"124, 8 bits, 1 of 256", 124, 8, 1, 1},
      {"124, 4 bits by default", 124, 4, 0, 16},
      {"core, 8 bits", 12, 8, 0, 256},
      {"core, 1 bit", 12, 1, 0, 2},
      {"core, 8 bits, offset leaves 100", 12, 8, 0, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Picture p;
    p.infoSize = c.infoSize; p.width = 5; p.height = 3; p.bits = c.bits; p.clrUsed = c.clrUsed;
    p.palette = fixture::Palette(c.listed);
    p.pixels = fixture::Rows(5, 3, c.bits, [](int32_t x, int32_t y) { return x * 60 + y; });
    std::vector<uint8_t> block = fixture::Block(p);
    const std::vector<uint8_t> before = block;
    BlockLayout l;
    ASSERT_EQ(Lock(block, fixture::FileHeaderOf(p), &l), BlockCheck::kOk);
    const uint32_t entry = c.infoSize == 12 ? 3 : 4;
    EXPECT_EQ(l.infoSize, c.infoSize);
    EXPECT_EQ(l.entrySize, entry);
    EXPECT_EQ(l.colourTableOffset, c.infoSize);
    EXPECT_EQ(l.colourCount, static_cast<int32_t>(c.listed));
    EXPECT_EQ(l.pixelOffset, c.infoSize + entry * c.listed);
    EXPECT_EQ(l.width, 5);
    EXPECT_EQ(l.height, 3);
    EXPECT_EQ(l.bitCount, c.bits);
    // Only biClrUsed and biSizeImage may change, and never in a core header.
    for (size_t i = 0; i < block.size(); ++i) {
      const bool filled = c.infoSize != 12 && i >= bmp::kBiSizeImage && i < bmp::kBiSizeImage + 4;
      const bool counted = c.infoSize != 12 && c.clrUsed == 0 && i >= bmp::kBiClrUsed &&
                           i < bmp::kBiClrUsed + 4;
      if (!filled && !counted) {
        ASSERT_EQ(block[i], before[i]) << "byte " << i;
      }
    }

    uint8_t quads[4 * 256];
    bmp::TableAsQuads(block.data(), l, quads, 1u << c.bits);
    for (uint32_t i = 0; i < (1u << c.bits); ++i) {
      const uint32_t want = i < c.listed ? p.palette[i] : 0;
      const uint32_t got = quads[4 * i] | (quads[4 * i + 1] << 8) | (quads[4 * i + 2] << 16);
      ASSERT_EQ(got, want) << "entry " << i;
      ASSERT_EQ(quads[4 * i + 3], 0) << "entry " << i;
    }

    const std::vector<uint8_t> locked = block;
    const uint32_t last = static_cast<uint32_t>(c.listed - 1);
    bmp::PutTableEntry(block.data(), l, last, 1, 2, 3);
    for (size_t i = 0; i < block.size(); ++i) {
      const size_t at = c.infoSize + entry * last;
      if (i < at || i >= at + entry) {
        ASSERT_EQ(block[i], locked[i]) << "byte " << i;
      }
    }
    EXPECT_EQ(block[c.infoSize + entry * last + 2], 3);
  }
}

TEST(BmpLockRules, NullBlockIsRefused) {
  BlockLayout l;
  EXPECT_EQ(bmp::ApplyLockRules(nullptr, 100, WithOffset(0), &l), BlockCheck::kBadLayout);
}

TEST(BmpFileHeader, TotalSizeMustHoldTheSmallestHeaders) {
  bmp::FileHeader fh;
  fh.totalSize = 25;
  EXPECT_FALSE(bmp::FileHeaderSizeIsSound(fh));
  fh.totalSize = 26;
  EXPECT_TRUE(bmp::FileHeaderSizeIsSound(fh));
  fh.totalSize = 0;
  EXPECT_FALSE(bmp::FileHeaderSizeIsSound(fh));
}

// How far a file is read: its total size, unless that falls short of the
// picture's end (OS/2 descriptions put the two headers' size there).
TEST(BmpFileHeader, ReadEndIsTheTotalSizeUnlessItFallsShortOfThePicture) {
  // A 4 x 2, 4-bit core-header file typed from the layout: 16 three-byte
  // entries, rows of 4 bytes; the total size 26, hot spot (3, 5).
  std::vector<uint8_t> core = {'B', 'M', 26, 0, 0, 0, 3, 0, 5, 0, 74, 0, 0, 0,  // file header
                               12, 0, 0, 0, 4, 0, 2, 0, 1, 0, 4, 0};              // core header
  core.resize(74 + 8, 0x11);
  struct Case {
    const char* name;
    uint32_t totalSize;
    uint64_t pictureEnd, fileLength, want;
  };
  const Case cases[] = {
      {"the format's rule", 82, 82, 82, 82},
      {"bytes after the total size never read", 82, 82, 120, 82},
      {"a total size beyond the file: cut short", 90, 82, 82, 90},
      {"the two headers' size: up to the picture's end", 26, 82, 120, 82},
      {"the two headers' size, the file shorter: up to its end", 26, 82, 80, 80},
      {"a total size below 26 stays, to be refused", 25, 82, 82, 25},
      {"an RLE picture without an image size tells no end", 200, 0, 82, 200},
  };
  for (const Case& c : cases) {
    bmp::FileHeader fh;
    fh.totalSize = c.totalSize;
    EXPECT_EQ(bmp::ReadEnd(fh, c.pictureEnd, c.fileLength), c.want) << c.name;
  }
  EXPECT_EQ(bmp::PictureEnd(core.data(), core.size()), 82u);
  EXPECT_EQ(bmp::PictureEnd(core.data(), 20), 0u) << "too few bytes to hold the header";
}

TEST(BmpRowOrder, TopRowIsTheLastStoredUnlessTopDown) {
  BlockLayout l;
  l.height = 5;
  EXPECT_EQ(bmp::StoredRowOfTopRow(l, 0), 4u);
  EXPECT_EQ(bmp::StoredRowOfTopRow(l, 4), 0u);
  l.topDown = true;
  EXPECT_EQ(bmp::StoredRowOfTopRow(l, 0), 0u);
  EXPECT_EQ(bmp::StoredRowOfTopRow(l, 4), 4u);
}

TEST(BmpRowLengths, WideRowsDoNotWrap) {
  // 2^31 - 1 pixels of 32 bits: 8 GiB a row, beyond 32 bits.
  EXPECT_EQ(bmp::PaddedRowBytes(0x7FFFFFFF, 32), 0x7FFFFFFFull * 4);
  EXPECT_EQ(bmp::PackedRowBytes(0x7FFFFFFF, 1), 0x10000000ull);
  EXPECT_EQ(bmp::PaddedRowBytes(0x7FFFFFFF, 1), 0x10000000ull);
  EXPECT_EQ(bmp::PixelOffsetInBlock(0, 256), 1064u);
  EXPECT_EQ(bmp::PixelOffsetInBlock(1100, 256), 1086u);
}
