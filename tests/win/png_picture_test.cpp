// An indexed PNG read into the reader's candidate block: ReadCandidatePng
// against what Pillow reads (make_pictures.py's .truth), and its refusals (a
// 1 KB file claiming 65535 x 65535 among them, with no large allocation).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "common/base/input_file.h"
#include "common/base/shell_state.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/png_picture.h"
#include "tests/win/win_test_support.h"

namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// make_pictures.py's NAME.truth as the block should hold it: a 40-byte header
// of width, height and depth (2 held at 4), the palette as its colour table at
// its length (blue, green, red, 0), then the rows bottom-up, 4-byte aligned.
std::vector<uint8_t> BlockOfTruth(const std::vector<uint8_t>& t) {
  const uint32_t width = Le32(&t[0]), height = Le32(&t[4]), count = Le32(&t[12]);
  const uint32_t bits = Le32(&t[8]) == 2 ? 4 : Le32(&t[8]);
  const size_t stride = (size_t{width} * bits + 31) / 32 * 4, pixels = 40 + 4 * size_t{count};
  std::vector<uint8_t> b(pixels + stride * height, 0);
  const uint32_t fields[] = {40, width, height, 1 | bits << 16, 0, static_cast<uint32_t>(stride * height), 0, 0, count};
  for (size_t i = 0; i < 9; ++i)
    for (int k = 0; k < 4; ++k) b[4 * i + k] = static_cast<uint8_t>(fields[i] >> (8 * k));
  for (uint32_t i = 0; i < count; ++i)
    for (int k = 0; k < 3; ++k) b[40 + 4 * i + k] = t[16 + 4 * i + k];  // 0xAARRGGBB, little-endian
  const uint8_t* index = &t[16 + 4 * size_t{count}];
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      const size_t bit = x * bits;
      b[pixels + stride * (height - 1 - y) + bit / 8] |= static_cast<uint8_t>(*index++ << (8 - bits - bit % 8));
    }
  return b;
}

TEST(PngPicture, CandidateBlockHoldsWhatPillowReadsAndRefusalsHoldNothing) {
  const char* pictures = std::getenv("WIN_TEST_PICTURES");
  if (pictures == nullptr || *pictures == 0) GTEST_SKIP() << "no pictures made for this run";
  const std::string folder = std::string(pictures) + "\\";
  std::ifstream manifest(folder + "png_manifest.tsv");
  std::vector<std::pair<std::string, std::string>> cases = {{"png_bomb_65535x65535.png", "damaged"}};
  for (std::string name, kind; manifest >> name >> kind;) cases.emplace_back(name, kind);
  ASSERT_GT(cases.size(), 10u) << "png_manifest.tsv lists too few pictures";
  for (const auto& [name, kind] : cases) {
    SCOPED_TRACE(name);
    ReleaseDibBlock();
    PngSource source;
    PngRead read = PngRead::kUnreadable;
    {
      InputFile file((folder + name).c_str());
      FileFront front;
      ASSERT_TRUE(file.Valid() && ReadFileFront(file.Get(), &front));
      // Nothing of 64 MB or more may be asked for, by the bomb least of all.
      wintest::FailingAllocations noLargeBlock(64u << 20);
      read = ReadCandidatePng(file.Get(), front, &source);
    }
    if (kind != "indexed") {
      EXPECT_EQ(read, kind == "notindexed" ? PngRead::kNotIndexed : PngRead::kDamaged);
      EXPECT_FALSE(HoldsCandidateBlock());
      EXPECT_TRUE(source.bytes.empty());
      continue;
    }
    ASSERT_EQ(read, PngRead::kOk);
    std::vector<uint8_t> file, truth;
    ASSERT_TRUE(wintest::ReadWholeFile(folder + name, &file));
    EXPECT_TRUE(source.bytes == file) << "the file is not kept as read";
    ASSERT_TRUE(wintest::ReadWholeFile(folder + name.substr(0, name.size() - 4) + ".truth", &truth));
    ASSERT_TRUE(HoldsCandidateBlock());
    AdoptCandidateBlock();
    ScopedDibLock lock(mainWindow);
    ASSERT_TRUE(lock.Locked());
    const std::vector<uint8_t> want = BlockOfTruth(truth);
    ASSERT_EQ(dibBlockSize, want.size());
    const auto at = std::mismatch(want.begin(), want.end(), dibBlockStart).first - want.begin();
    EXPECT_EQ(static_cast<size_t>(at), want.size()) << "the block differs from the BMP of what Pillow reads there: "
                                                    << int(dibBlockStart[at]) << ", not " << int(want[at]);
  }
  ReleaseDibBlock();
}

}  // namespace
