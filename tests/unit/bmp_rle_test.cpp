// RLE8 and RLE4 decoding: runs, escapes, absolute runs and their padding,
// and streams that are damaged or run off the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/bitmap/core/rle.h"

using rle::RleEnd;

namespace {

struct Decoded {
  RleEnd end;
  std::vector<uint8_t> rows;  // bottom row first
};

// Decodes into a buffer with guard bytes on both sides, and checks that the
// decoder left them alone.
Decoded DecodeGuarded(const std::vector<uint8_t>& src, uint16_t bits, int32_t width, int32_t height) {
  const uint64_t stride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
  const size_t size = static_cast<size_t>(stride) * static_cast<size_t>(height);
  std::vector<uint8_t> buffer(size + 32, 0xCD);
  std::fill(buffer.begin() + 16, buffer.begin() + 16 + static_cast<long>(size), 0);
  Decoded d;
  d.end = rle::Decode(src.data(), src.size(), bits, width, height, stride, buffer.data() + 16, size);
  for (size_t i = 0; i < 16; ++i) {
    EXPECT_EQ(buffer[i], 0xCD) << "written before the buffer";
    EXPECT_EQ(buffer[16 + size + i], 0xCD) << "written after the buffer";
  }
  d.rows.assign(buffer.begin() + 16, buffer.begin() + 16 + static_cast<long>(size));
  return d;
}

}  // namespace

TEST(BmpRle8, RunsEscapesAndDeltas) {
  struct Case {
    const char* label;
    std::vector<uint8_t> src;
    int32_t width, height;
    RleEnd end;
    std::vector<uint8_t> rows;
  };
  const std::vector<Case> cases = {
      {"encoded runs and end of line", {3, 5, 1, 6, 0, 0, 2, 7, 0, 0, 0, 1}, 4, 2,
       RleEnd::kEndOfBitmap, {5, 5, 5, 6, /* row 1 */ 7, 7, 0, 0}},
      {"absolute run of odd length skips its pad byte", {0, 3, 1, 2, 3, 0, 1, 9, 0, 1}, 4, 1,
       RleEnd::kEndOfBitmap, {1, 2, 3, 9}},
      {"absolute run of even length has no pad", {0, 4, 1, 2, 3, 4, 0, 1}, 4, 1,
       RleEnd::kEndOfBitmap, {1, 2, 3, 4}},
      {"delta moves right and up", {1, 8, 0, 2, 2, 1, 1, 9, 0, 1}, 4, 2,
       RleEnd::kEndOfBitmap, {8, 0, 0, 0, /* row 1 */ 0, 0, 0, 9}},
      {"end of line after the last row then end of bitmap", {4, 1, 0, 0, 0, 1}, 4, 1,
       RleEnd::kEndOfBitmap, {1, 1, 1, 1}},
      {"run past the row end is clipped, the stream goes on", {6, 3, 1, 4, 0, 0, 1, 5, 0, 1}, 3, 2,
       RleEnd::kEndOfBitmap, {3, 3, 3, 0, /* row 1 */ 5, 0, 0, 0}},
      {"absolute run past the row end is clipped", {0, 5, 1, 2, 3, 4, 5, 0, 2, 6, 0, 1}, 3, 1,
       RleEnd::kEndOfBitmap, {1, 2, 3, 0}},
      {"delta beyond the last row ends the picture", {1, 4, 0, 2, 0, 5, 1, 9}, 4, 2,
       RleEnd::kEndOfPicture, {4, 0, 0, 0, 0, 0, 0, 0}},
      {"pixels after the last row end the picture", {2, 4, 0, 0, 2, 5, 0, 0, 2, 6}, 2, 2,
       RleEnd::kEndOfPicture, {4, 4, 0, 0, 5, 5, 0, 0}},
      {"stream without end escape", {2, 4}, 2, 2, RleEnd::kInputExhausted, {4, 4, 0, 0, 0, 0, 0, 0}},
      {"stream cut inside a code", {2, 4, 3}, 4, 1, RleEnd::kInputExhausted, {4, 4, 0, 0}},
      {"stream cut inside a delta", {1, 4, 0, 2, 1}, 4, 1, RleEnd::kInputExhausted, {4, 0, 0, 0}},
      {"absolute run cut short writes none of it", {1, 4, 0, 4, 7, 7}, 4, 1,
       RleEnd::kInputExhausted, {4, 0, 0, 0}},
      {"absolute run whose pad byte is missing", {0, 3, 1, 2, 3}, 4, 1,
       RleEnd::kInputExhausted, {1, 2, 3, 0}},
      {"empty stream", {}, 2, 1, RleEnd::kInputExhausted, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const Decoded d = DecodeGuarded(c.src, 8, c.width, c.height);
    EXPECT_EQ(d.end, c.end);
    EXPECT_EQ(d.rows, c.rows);
  }
}

TEST(BmpRle4, NibblesAlternateFromTheHighOne) {
  struct Case {
    const char* label;
    std::vector<uint8_t> src;
    int32_t width;
    RleEnd end;
    std::vector<uint8_t> rows;
  };
  const std::vector<Case> cases = {
      {"encoded run of odd length", {5, 0x12, 0, 1}, 8, RleEnd::kEndOfBitmap, {0x12, 0x12, 0x10, 0}},
      {"run starting on an odd pixel", {1, 0xA0, 3, 0x34, 0, 1}, 8, RleEnd::kEndOfBitmap,
       {0xA3, 0x43, 0, 0}},
      {"absolute run of 3 nibbles: 2 bytes, no pad", {0, 3, 0x12, 0x30, 2, 0xFF, 0, 1}, 8,
       RleEnd::kEndOfBitmap, {0x12, 0x3F, 0xF0, 0}},
      {"absolute run of 5 nibbles: 3 bytes and a pad", {0, 5, 0x12, 0x34, 0x50, 0, 1, 0x60, 0, 1}, 8,
       RleEnd::kEndOfBitmap, {0x12, 0x34, 0x56, 0}},
      {"delta then run", {0, 2, 3, 0, 2, 0x77, 0, 1}, 8, RleEnd::kEndOfBitmap, {0x00, 0x07, 0x70, 0}},
      {"odd width drops the nibble beyond it", {4, 0x9A, 0, 1}, 3, RleEnd::kEndOfBitmap,
       {0x9A, 0x90, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const Decoded d = DecodeGuarded(c.src, 4, c.width, 1);
    EXPECT_EQ(d.end, c.end);
    EXPECT_EQ(d.rows, c.rows);
  }
}

TEST(BmpRle, RefusesBuffersThatCannotHoldThePicture) {
  const uint8_t src[] = {2, 1, 0, 1};
  uint8_t out[8] = {};
  EXPECT_EQ(rle::Decode(src, sizeof src, 8, 4, 2, 4, out, 7), RleEnd::kBadArguments);
  EXPECT_EQ(rle::Decode(src, sizeof src, 8, 5, 1, 4, out, 8), RleEnd::kBadArguments);  // stride too short
  EXPECT_EQ(rle::Decode(src, sizeof src, 1, 4, 1, 4, out, 8), RleEnd::kBadArguments);
  EXPECT_EQ(rle::Decode(src, sizeof src, 8, 0, 1, 4, out, 8), RleEnd::kBadArguments);
  EXPECT_EQ(rle::Decode(src, sizeof src, 8, 4, 0, 4, out, 8), RleEnd::kBadArguments);
  for (uint8_t b : out) EXPECT_EQ(b, 0);
  EXPECT_EQ(rle::Decode(src, sizeof src, 8, 4, 2, 4, out, 8), RleEnd::kEndOfBitmap);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 1);
}

// Long runs and deltas of random streams never leave the buffer.
TEST(BmpRle, RandomStreamsStayInsideTheBuffer) {
  uint32_t state = 12345;
  auto next = [&state] { state = state * 1103515245u + 12345u; return static_cast<uint8_t>(state >> 16); };
  for (int round = 0; round < 400; ++round) {
    std::vector<uint8_t> src(static_cast<size_t>(next()) * 2);
    for (uint8_t& b : src) b = next() % 4 == 0 ? static_cast<uint8_t>(next() % 3) : next();
    const uint16_t bits = round % 2 ? 4 : 8;
    DecodeGuarded(src, bits, 1 + next() % 40, 1 + next() % 6);
  }
}

// A picture decoded a band of rows at a time, for every band height, gives
// what one whole decode gives: runs, deltas across bands and damaged ends
// alike, and no band is written outside its buffer.
TEST(BmpRle, BandsDecodeExactlyAsTheWholePicture) {
  uint32_t state = 777;
  auto next = [&state] { state = state * 1103515245u + 12345u; return static_cast<uint8_t>(state >> 16); };
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> src(static_cast<size_t>(next()) * 2);
    for (uint8_t& b : src) b = next() % 3 == 0 ? static_cast<uint8_t>(next() % 3) : next() % 9;
    const uint16_t bits = round % 2 ? 4 : 8;
    const int32_t width = 1 + next() % 30, height = 1 + next() % 9;
    const Decoded whole = DecodeGuarded(src, bits, width, height);
    const uint64_t stride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
    for (uint64_t bandRows = 1; bandRows <= static_cast<uint64_t>(height); ++bandRows) {
      std::vector<uint8_t> joined;
      rle::Position at;
      for (uint64_t first = 0; first < static_cast<uint64_t>(height); first += bandRows) {
        const uint64_t end = std::min<uint64_t>(height, first + bandRows);
        std::vector<uint8_t> band(static_cast<size_t>((end - first) * stride) + 8, 0);
        ASSERT_TRUE(rle::DecodeRows(src.data(), src.size(), bits, width, height, &at, first, end,
                                    stride, band.data(), band.size() - 8));
        for (size_t i = band.size() - 8; i < band.size(); ++i) ASSERT_EQ(band[i], 0) << "past the band";
        joined.insert(joined.end(), band.begin(), band.end() - 8);
      }
      ASSERT_EQ(joined, whole.rows) << "round " << round << ", bands of " << bandRows;
      EXPECT_EQ(at.end, whole.end) << "round " << round;
    }
  }
}

namespace {

// Every row of the stream decoded through its row index, whole, by column
// windows and by bands, must equal the same rows of one whole decode, and
// the indices counted from the stream those of the whole decode.
void ExpectIndexMatchesWholeDecode(const std::vector<uint8_t>& src, uint16_t bits, int32_t width,
                                   int32_t height) {
  const Decoded whole = DecodeGuarded(src, bits, width, height);
  const uint64_t stride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
  std::vector<uint64_t> counted(256), decoded(256);
  ASSERT_TRUE(rle::CountIndices(src.data(), src.size(), bits, width, height, counted.data()));
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* line = whole.rows.data() + y * stride;
    for (int32_t x = 0; x < width; ++x) ++decoded[bits == 8 ? line[x] : (x % 2 ? line[x / 2] & 0x0F : line[x / 2] >> 4)];
  }
  EXPECT_EQ(counted, decoded);
  rle::RowIndex index;
  ASSERT_TRUE(index.Build(src.data(), src.size(), bits, width, height));
  EXPECT_LE(index.EntryCount(), std::min<size_t>(src.size() / 2 + 1, height));
  const uint64_t w = static_cast<uint64_t>(width);
  // Column windows: the whole row, one from an inner even column, one past the width.
  const uint64_t windows[][2] = {{0, w}, {2, w / 2 + 1}, {w - w % 2, 6}};
  for (uint64_t row = 0; row < static_cast<uint64_t>(height); ++row) {
    for (const auto& win : windows) {
      const uint64_t first = win[0], columns = win[1];
      std::vector<uint8_t> got(static_cast<size_t>((columns * bits + 7) / 8) + 4, 0xCD);
      ASSERT_TRUE(index.DecodeRow(src.data(), src.size(), row, first, columns, got.data(),
                                  got.size() - 4));
      for (size_t i = got.size() - 4; i < got.size(); ++i) ASSERT_EQ(got[i], 0xCD) << "past dst";
      for (uint64_t c = 0; c < columns; ++c) {
        const uint64_t x = first + c;
        auto nibble = [&](const uint8_t* line, uint64_t at) {
          return bits == 8 ? line[at] : (at % 2 ? line[at / 2] & 0x0F : line[at / 2] >> 4);
        };
        const int want = x < w ? nibble(whole.rows.data() + row * stride, x) : 0;
        ASSERT_EQ(nibble(got.data(), c), want) << "row " << row << " column " << x;
      }
    }
  }
  for (uint64_t first = 0; first < static_cast<uint64_t>(height); first += 2) {
    const uint64_t end = std::min<uint64_t>(height, first + 3);
    std::vector<uint8_t> band(static_cast<size_t>((end - first) * stride), 0);
    ASSERT_TRUE(index.DecodeBand(src.data(), src.size(), first, end, stride, band.data(),
                                 band.size()));
    ASSERT_TRUE(std::equal(band.begin(), band.end(), whole.rows.begin() + first * stride))
        << "band from row " << first;
  }
}

}  // namespace

TEST(BmpRleIndex, RowsDecodeAsTheWholePicture) {
  struct Case {
    const char* label;
    uint16_t bits;
    int32_t width, height;
    std::vector<uint8_t> src;
  };
  const std::vector<Case> cases = {
      {"runs and end of line", 8, 5, 3, {3, 5, 1, 6, 0, 0, 2, 7, 0, 0, 5, 1, 0, 1}},
      {"delta skipping rows leaves them 0", 8, 6, 6, {2, 3, 0, 2, 1, 3, 2, 4, 0, 0, 1, 9, 0, 1}},
      {"delta along the row only", 8, 8, 2, {1, 3, 0, 2, 4, 0, 2, 5, 0, 0, 8, 1, 0, 1}},
      {"absolute runs with and without pad", 8, 7, 2, {0, 3, 1, 2, 3, 0, 0, 0, 0, 4, 4, 5, 6, 7, 0, 1}},
      {"end of lines past the last row", 8, 3, 2, {3, 1, 0, 0, 3, 2, 0, 0, 0, 0, 0, 0, 3, 9}},
      {"runs past the row end", 8, 3, 2, {9, 4, 0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 1, 8}},
      {"stream cut inside a delta", 8, 4, 3, {2, 4, 0, 0, 1, 5, 0, 2, 1}},
      {"absolute run cut short", 8, 4, 2, {1, 4, 0, 0, 0, 4, 7, 7}},
      {"empty stream", 8, 4, 2, {}},
      {"RLE4 odd encoded runs", 4, 9, 2, {5, 0x12, 3, 0x34, 0, 0, 1, 0xA0, 7, 0x56, 0, 1}},
      {"RLE4 odd absolute runs", 4, 11, 2, {0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 0, 3, 0x9A, 0xB0, 0, 1}},
      {"RLE4 delta to an odd column", 4, 8, 3, {0, 2, 3, 1, 3, 0x77, 0, 0, 2, 0xEF, 0, 1}},
      {"RLE4 damaged absolute run", 4, 8, 2, {2, 0x11, 0, 0, 0, 6, 0x23}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ExpectIndexMatchesWholeDecode(c.src, c.bits, c.width, c.height);
  }
  uint32_t state = 4242;
  auto next = [&state] { state = state * 1103515245u + 12345u; return static_cast<uint8_t>(state >> 16); };
  for (int round = 0; round < 200; ++round) {
    std::vector<uint8_t> src(static_cast<size_t>(next()) * 2);
    for (uint8_t& b : src) b = next() % 3 == 0 ? static_cast<uint8_t>(next() % 3) : next() % 9;
    SCOPED_TRACE(testing::Message() << "random round " << round);
    ExpectIndexMatchesWholeDecode(src, round % 2 ? 4 : 8, 1 + next() % 30, 1 + next() % 9);
  }
}

// A stream of about a kilobyte whose header claims 32768 x 32768 (or the
// largest size a header holds) is indexed in memory that follows the stream,
// and its rows decode from anywhere by a window of columns.
TEST(BmpRleIndex, MemoryFollowsTheStreamNotTheClaimedSize) {
  std::vector<uint8_t> src;
  for (int row = 0; row < 120; ++row) {
    const uint8_t runs[] = {255, static_cast<uint8_t>(row), 40, 7, 0, 2, 30, 0, 9, 200};
    src.insert(src.end(), runs, runs + sizeof runs);  // the delta goes 30 right, no row up
    if (row % 3 == 0) src.insert(src.end(), {0, 2, 0, 100});  // 100 rows up
    src.insert(src.end(), {0, 0});
  }
  src.insert(src.end(), {0, 1});
  ASSERT_LT(src.size(), 2000u);
  for (const int32_t size : {32768, 0x7FFFFFFF}) {
    SCOPED_TRACE(size);
    rle::RowIndex index;
    ASSERT_TRUE(index.Build(src.data(), src.size(), 8, size, size));
    EXPECT_LE(index.EntryCount(), src.size() / 2 + 1);
    EXPECT_LE(index.MemoryBytes(), 16 * (src.size() / 2 + 1));
    // Row 0: 255 x 0, 40 x 7, 30 skipped, 9 x 200. Row 101: the second
    // row's runs (index 1), after the first row's 100-row delta and its end of line.
    struct Probe { uint64_t row, column; uint8_t want; };
    const Probe probes[] = {{0, 0, 0}, {0, 254, 0}, {0, 255, 7}, {0, 294, 7}, {0, 295, 0},
                            {0, 325, 200}, {0, 333, 200}, {0, 334, 0}, {1, 5, 0}, {100, 300, 0},
                            {101, 3, 1}, {101, 330, 200}, {102, 260, 7}};
    for (const Probe& p : probes) {
      uint8_t got[8];
      ASSERT_TRUE(index.DecodeRow(src.data(), src.size(), p.row, p.column, 8, got, sizeof got));
      EXPECT_EQ(got[0], p.want) << "row " << p.row << " column " << p.column;
    }
    uint8_t small[4];
    EXPECT_FALSE(index.DecodeRow(src.data(), src.size(), 0, 0, 5, small, sizeof small))
        << "a window larger than dst";
    EXPECT_FALSE(index.DecodeRow(src.data(), src.size() - 2, 0, 0, 4, small, sizeof small))
        << "another stream";
  }
  // Counted in one pass over the stream: each written row holds 255 pixels
  // of its number, 40 of 7 and 9 of 200; the rest of the picture is 0.
  uint64_t counts[256], all = 0;
  ASSERT_TRUE(rle::CountIndices(src.data(), src.size(), 8, 0x7FFFFFFF, 0x7FFFFFFF, counts));
  EXPECT_EQ(counts[7], 40u * 120 + 255);
  EXPECT_EQ(counts[200], 9u * 120);
  EXPECT_EQ(counts[0], 0x7FFFFFFFull * 0x7FFFFFFF - 304u * 120 + 255);
  for (uint64_t c : counts) all += c;
  EXPECT_EQ(all, 0x7FFFFFFFull * 0x7FFFFFFF);
  rle::RowIndex index;
  EXPECT_FALSE(index.Build(src.data(), src.size(), 1, 8, 8)) << "1 bit is no RLE depth";
  EXPECT_FALSE(rle::CountIndices(src.data(), src.size(), 8, 8, 0, counts));
  EXPECT_FALSE(index.Build(src.data(), src.size(), 8, 0, 8));
}
