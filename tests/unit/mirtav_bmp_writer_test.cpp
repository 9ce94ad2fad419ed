// The shuffler's BMP writer: the bytes of a small file field by field, and
// the invariant that matters: whatever the source's gap, trailing bytes, row
// order or width, the written file re-reads through the lock rules with the
// same colour table and the same packed rows, and its size fields tell the
// truth.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "mirtav00/core/bmp_writer.h"
#include "tests/unit/fixtures/bmp_fixture.h"
#include "tests/unit/fixtures/reread.h"

using fixture::Picture;
using mirtav::BmpResult;

namespace {

struct Locked {
  std::vector<uint8_t> block;
  bmp::BlockLayout layout;
};

Locked Lock(const Picture& p) {
  Locked l;
  l.block = fixture::Block(p);
  EXPECT_EQ(bmp::ApplyLockRules(l.block.data(), l.block.size(), fixture::FileHeaderOf(p), &l.layout),
            bmp::BlockCheck::kOk);
  return l;
}

class CutSink final : public tiff::ByteSink {
 public:
  explicit CutSink(size_t limit) : limit_(limit) {}
  bool Put(const uint8_t*, size_t n) override {
    if (n > limit_ - taken_) return false;
    taken_ += n;
    return true;
  }

 private:
  size_t limit_;
  size_t taken_ = 0;
};

}  // namespace

TEST(MirtavBmpWriter, SixteenColourFileWithGapAndTrailingBytesFieldByField) {
  Picture p;
  p.width = 5;  // 3 bytes a row, padded to 4
  p.height = 2;
  p.bits = 4;
  p.palette = fixture::Palette(16);
  p.gap = 6;
  p.pixels = {0x12, 0x34, 0x5F, 0xEE,   // bottom row, padding 0xEE
              0x67, 0x89, 0xAF, 0xEE,   // top row
              0xDD, 0xDD, 0xDD};        // trailing bytes
  p.sizeImage = 11;
  const Locked l = Lock(p);
  tiff::MemorySink sink;
  ASSERT_EQ(mirtav::WriteShufflerBmp(l.block.data(), l.block.size(), l.layout, sink), BmpResult::kOk);
  const std::vector<uint8_t>& f = sink.bytes;
  ASSERT_EQ(f.size(), 126u);                          // 118 + 2 rows of 4
  EXPECT_EQ(mirtav::ShufflerBmpFileSize(l.layout), 126u);
  EXPECT_EQ(f[0], 'B');
  EXPECT_EQ(f[1], 'M');
  EXPECT_EQ(bmp::GetU32(&f[2]), 126u);                // bfSize: the length written
  EXPECT_EQ(bmp::GetU32(&f[6]), 0u);                  // reserved words
  EXPECT_EQ(bmp::GetU32(&f[10]), 118u);               // bfOffBits: right after the table
  EXPECT_EQ(bmp::GetU32(&f[14 + 20]), 8u);            // biSizeImage: height x row length
  EXPECT_EQ(bmp::GetU32(&f[14 + 32]), 16u);           // biClrUsed as the lock filled it
  // Every other header byte and the colour table as in the block.
  for (size_t i = 0; i < 40 + 64; ++i) {
    if ((i >= 20 && i < 24) || (i >= 32 && i < 36)) continue;
    EXPECT_EQ(f[14 + i], l.block[i]) << "block byte " << i;
  }
  const std::vector<uint8_t> rows = {0x12, 0x34, 0x5F, 0x00, 0x67, 0x89, 0xAF, 0x00};
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + 118, f.end()), rows);  // padding zeroed
}

TEST(MirtavBmpWriter, WrittenFilesReReadWithTheSamePixels) {
  for (uint16_t bits : {4, 8}) {
    for (int32_t width : {1, 2, 3, 5, 8, 9, 33}) {
      for (int32_t height : {1, 3, -1, -4}) {
        for (int variant = 0; variant < 4; ++variant) {
          Picture p;
          p.width = width;
          p.height = height;
          p.bits = bits;
          p.palette = fixture::Palette(size_t{1} << bits);
          p.pixels = fixture::Rows(width, height, bits,
                                   [](int32_t x, int32_t y) { return x * 7 + y * 13 + 1; });
          // Odd source padding that must not reach the written file.
          const uint64_t stride = bmp::PaddedRowBytes(width, bits);
          for (size_t i = 0; i < p.pixels.size(); ++i)
            if (i % stride >= bmp::PackedRowBytes(width, bits)) p.pixels[i] = 0xC3;
          if (variant & 1) p.gap = 10;
          if (variant & 2) {
            p.pixels.insert(p.pixels.end(), 5, 0x77);
            p.sizeImage = static_cast<uint32_t>(p.pixels.size());
          }
          if (variant == 3) p.clrUsed = 1u << bits;
          // Every header the reader takes, with full and short tables.
          const uint32_t kSizes[] = {12, 40, 52, 56, 108, 124};
          p.infoSize = kSizes[(width + variant) % 6];
          if (p.infoSize == 12 && height < 0) p.infoSize = 124;  // no top-down core header
          // A core header states no count: bytes before the pixels are entries.
          if (p.infoSize == 12) p.gap = 0;
          if (width % 3 == 0) {
            p.palette.resize(bits == 8 ? 100 : 12);
            p.clrUsed = p.infoSize == 12 ? 0 : static_cast<uint32_t>(p.palette.size());
            for (uint8_t& b : p.pixels) b = static_cast<uint8_t>(bits == 8 ? b % 100 : ((b >> 4) % 12) << 4 | (b & 15) % 12);
          }
          SCOPED_TRACE(testing::Message() << bits << " bits " << width << "x" << height
                                          << " variant " << variant);
          const Locked l = Lock(p);
          tiff::MemorySink sink;
          ASSERT_EQ(mirtav::WriteShufflerBmp(l.block.data(), l.block.size(), l.layout, sink),
                    BmpResult::kOk);
          const fixture::Reread source = fixture::ReadBack(fixture::File(p));
          const fixture::Reread written = fixture::ReadBack(sink.bytes);
          ASSERT_TRUE(source.ok && written.ok);
          EXPECT_EQ(written.fileHeader.totalSize, sink.bytes.size());
          EXPECT_EQ(written.layout.pixelBytes, written.layout.rowStride * std::abs(height));
          EXPECT_EQ(bmp::GetU32(written.block.data() + bmp::kBiSizeImage), written.layout.pixelBytes);
          EXPECT_EQ(written.layout.topDown, height < 0);
          EXPECT_EQ(written.layout.width, width);
          EXPECT_EQ(written.layout.infoSize, 40u) << "a 40-byte header, read by every tool";
          EXPECT_EQ(written.layout.colourCount, static_cast<int32_t>(p.palette.size()));
          EXPECT_EQ(written.colourTable, source.colourTable);
          EXPECT_EQ(written.topRows, source.topRows);
        }
      }
    }
  }
}

TEST(MirtavBmpWriter, RefusedWritesAndPicturesAreReported) {
  Picture p;
  p.width = 300;
  p.height = 900;  // more than one buffer of rows
  p.bits = 8;
  p.palette = fixture::Palette(256);
  p.pixels = fixture::Rows(300, 900, 8, [](int32_t x, int32_t y) { return x ^ y; });
  const Locked l = Lock(p);
  const uint64_t size = mirtav::ShufflerBmpFileSize(l.layout);
  for (uint64_t limit : {uint64_t{0}, uint64_t{13}, uint64_t{1078}, size / 2, size - 1}) {
    CutSink sink(static_cast<size_t>(limit));
    EXPECT_EQ(mirtav::WriteShufflerBmp(l.block.data(), l.block.size(), l.layout, sink),
              BmpResult::kWriteFailed) << limit;
  }
  CutSink exact(static_cast<size_t>(size));
  EXPECT_EQ(mirtav::WriteShufflerBmp(l.block.data(), l.block.size(), l.layout, exact), BmpResult::kOk);

  // Layouts the shuffler does not take, or that reach past the block.
  struct { const char* name; void (*edit)(bmp::BlockLayout&); } const bad[] = {
      {"RLE4 with 8 bits", [](bmp::BlockLayout& x) { x.compression = bmp::kBiRle4; }},
      {"RLE8 stream beyond the block", [](bmp::BlockLayout& x) {
         x.compression = bmp::kBiRle8; x.pixelBytes = 1u << 30; }},
      {"1 bit", [](bmp::BlockLayout& x) { x.bitCount = 1; x.colourCount = 2; }},
      {"8 bits with 257 colours", [](bmp::BlockLayout& x) { x.colourCount = 257; }},
      {"no colours", [](bmp::BlockLayout& x) { x.colourCount = 0; }},
      {"one row too many", [](bmp::BlockLayout& x) { x.height += 1; }},
      {"stride other than the padded row", [](bmp::BlockLayout& x) { x.rowStride += 4; }},
      {"pixels beyond the block", [](bmp::BlockLayout& x) { x.pixelOffset = 1u << 30; }},
  };
  for (const auto& b : bad) {
    bmp::BlockLayout layout = l.layout;
    b.edit(layout);
    tiff::MemorySink sink;
    EXPECT_EQ(mirtav::WriteShufflerBmp(l.block.data(), l.block.size(), layout, sink),
              BmpResult::kBadPicture) << b.name;
    EXPECT_TRUE(sink.bytes.empty()) << b.name;
  }
}
