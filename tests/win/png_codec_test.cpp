// Indexed PNG through WIC: Pillow's and ImageMagick's pictures decode to what Pillow reads in
// every destination depth and row order; pictures encoded here decode back and are left in
// WIN_TEST_OUTPUT (png_rt_*.png, .truth) for run-tier.sh to read with Pillow; bad input is refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "common/bitmap/png_codec.h"
#include "tests/win/win_test_support.h"

namespace {

// A picture as one index per byte, top row first, and its palette.
struct Picture {
  uint32_t width = 0, height = 0, depth = 0;
  std::vector<uint32_t> palette;
  std::vector<uint8_t> indices;
};

// make_pictures.py's NAME.truth: 32-bit words, then the indices.
std::vector<uint8_t> Truth(const Picture& p) {
  std::vector<uint8_t> b;
  auto put = [&b](uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}); };
  for (uint32_t v : {p.width, p.height, p.depth, uint32_t(p.palette.size())}) put(v);
  for (uint32_t v : p.palette) put(v);
  b.insert(b.end(), p.indices.begin(), p.indices.end());
  return b;
}

size_t Stride(uint32_t width, uint32_t depth) { return (size_t(width) * depth + 31) / 32 * 4; }
// Where pixel (x, y) of DWORD-aligned rows starts, in bits.
size_t BitAt(uint32_t x, uint32_t y, const Picture& p, uint32_t depth, bool bottomUp) {
  return (bottomUp ? p.height - 1 - y : y) * Stride(p.width, depth) * 8 + size_t(x) * depth;
}

std::vector<uint8_t> Pack(const Picture& p, uint32_t depth, bool bottomUp) {
  std::vector<uint8_t> rows(Stride(p.width, depth) * p.height);
  for (uint32_t y = 0; y < p.height; ++y)
    for (uint32_t x = 0; x < p.width; ++x) {
      const size_t bit = BitAt(x, y, p, depth, bottomUp);
      rows[bit / 8] |= uint8_t(p.indices[size_t(y) * p.width + x] << (8 - depth - bit % 8));
    }
  return rows;
}

// Decodes into rows of destDepth (the guard bytes after them untouched).
PngResult Decode(const std::vector<uint8_t>& file, uint32_t destDepth, bool bottomUp, Picture* got) {
  IndexedPngFrame frame;
  if (const PngResult opened = frame.Open(file.data(), file.size()); opened != PngResult::kOk) return opened;
  *got = {frame.Width(), frame.Height(), frame.Depth(), frame.Palette(), {}};
  const size_t size = Stride(got->width, destDepth) * got->height;
  std::vector<uint8_t> rows(size + 64, 0xCD);
  const PngResult copied = frame.CopyIndexRows(rows.data(), size, Stride(got->width, destDepth), destDepth, bottomUp);
  EXPECT_EQ(std::vector<uint8_t>(rows.begin() + size, rows.end()), std::vector<uint8_t>(64, 0xCD));
  for (uint32_t y = 0; y < got->height; ++y)
    for (uint32_t x = 0; x < got->width; ++x) {
      const size_t bit = BitAt(x, y, *got, destDepth, bottomUp);
      got->indices.push_back((rows[bit / 8] >> (8 - destDepth - bit % 8)) & ((1 << destDepth) - 1));
    }
  return copied;
}

TEST(PngCodec, DecodesWhatPillowReadsInEveryDestinationDepthAndOrder) {
  const char* folder = std::getenv("WIN_TEST_PICTURES");
  if (folder == nullptr || *folder == 0) GTEST_SKIP() << "no pictures made for this run";
  std::ifstream manifest(std::string(folder) + "\\png_manifest.tsv");
  std::string name, kind;
  int pictures = 0;
  while (manifest >> name >> kind) {
    const std::string path = std::string(folder) + "\\" + name;
    std::vector<uint8_t> file, want;
    ASSERT_TRUE(wintest::ReadWholeFile(path, &file) && file.size() > 33) << name;
    Picture got;
    if (kind != "indexed") {
      EXPECT_EQ(Decode(file, 8, false, &got), kind == "damaged" ? PngResult::kDamaged : PngResult::kNotIndexed) << name;
      ++pictures;
      continue;
    }
    ASSERT_TRUE(wintest::ReadWholeFile(path.substr(0, path.size() - 4) + ".truth", &want)) << name;
    for (uint32_t destDepth : {uint32_t(file[24]), 4u, 8u})  // IHDR's bit depth first
      for (bool bottomUp : {false, true}) {
        if (destDepth < file[24]) continue;
        const std::string label = name + " into " + std::to_string(destDepth) + (bottomUp ? " bottom-up" : "");
        ASSERT_EQ(Decode(file, destDepth, bottomUp, &got), PngResult::kOk) << label;
        EXPECT_TRUE(Truth(got) == want) << label;
      }
    ++pictures;
  }
  EXPECT_EQ(pictures, 15);
}

struct EncodeCase {
  const char* name;
  uint32_t width, height, sourceDepth, pngDepth, colours;
  bool interlace, bottomUp;
};
const EncodeCase kEncodeCases[] = {
    {"d1", 37, 9, 1, 1, 2, false, true},        {"d1_interlaced", 9, 7, 1, 1, 2, true, false},
    {"d2_from4", 19, 13, 4, 2, 3, false, true}, {"d2_interlaced", 13, 11, 4, 2, 4, true, true},
    {"d4", 33, 10, 4, 4, 16, false, false},     {"d4_interlaced", 5, 3, 4, 4, 9, true, true},
    {"d4_from8", 21, 6, 8, 4, 11, false, true}, {"d8", 41, 13, 8, 8, 200, false, true},
    {"d8_interlaced", 45, 31, 8, 8, 256, true, false}, {"d8_bands", 1500, 900, 8, 8, 251, false, true},
};

// Every index in use; entry 1 half transparent.
Picture Made(const EncodeCase& c) {
  Picture p{c.width, c.height, c.pngDepth, {}, {}};
  for (uint32_t i = 0; i < c.colours; ++i)
    p.palette.push_back((i == 1 ? 0x80000000u : 0xFF000000u) | (i * 0x10307u & 0xFFFFFF));
  for (uint32_t y = 0; y < c.height; ++y)
    for (uint32_t x = 0; x < c.width; ++x) p.indices.push_back(uint8_t((x * 3 + y * 5) % c.colours));
  return p;
}

PngResult Encode(const Picture& p, const EncodeCase& c, std::vector<uint8_t>* out) {
  const std::vector<uint8_t> rows = Pack(p, c.sourceDepth, c.bottomUp);
  const IndexRows source = {rows.data(), rows.size(), Stride(c.width, c.sourceDepth), c.width, c.height,
                            c.sourceDepth, c.bottomUp};
  return EncodeIndexedPng(source, c.pngDepth, p.palette.data(), uint32_t(p.palette.size()), c.interlace, out);
}

// Each case decodes back; with an index past the palette it gives no output.
TEST(PngCodec, EncodesEveryDepthAndRefusesAnIndexPastThePalette) {
  const char* output = std::getenv("WIN_TEST_OUTPUT");
  for (const EncodeCase& c : kEncodeCases) {
    Picture want = Made(c), got;
    std::vector<uint8_t> file, out = {1};
    ASSERT_TRUE(Encode(want, c, &file) == PngResult::kOk && file.size() > 33) << c.name;
    EXPECT_EQ(file[24], c.pngDepth) << c.name << ": IHDR bit depth";
    EXPECT_EQ(file[28], c.interlace ? 1 : 0) << c.name << ": IHDR interlace";
    ASSERT_EQ(Decode(file, c.pngDepth, false, &got), PngResult::kOk) << c.name;
    EXPECT_TRUE(Truth(got) == Truth(want)) << c.name;
    if (output != nullptr && *output != 0) {
      const std::string base = std::string(output) + "\\png_rt_" + c.name;
      EXPECT_TRUE(wintest::WriteWholeFile(base + ".png", file) && wintest::WriteWholeFile(base + ".truth", Truth(want)));
    }
    if (c.colours >= (1u << c.sourceDepth)) continue;
    want.indices.back() = uint8_t(c.colours);
    EXPECT_EQ(Encode(want, c, &out), PngResult::kIndexPastPalette) << c.name;
    EXPECT_TRUE(out.empty()) << c.name;
  }
}

TEST(PngCodec, RefusesWhatItCannotHoldAndAnswersNoMemory) {
  const EncodeCase& big = kEncodeCases[9];  // d8_bands
  const EncodeCase tooLong = {"17 entries at 4 bits", 33, 10, 8, 4, 17, false, false};
  std::vector<uint8_t> file;
  EXPECT_EQ(Encode(Made(tooLong), tooLong, &file), PngResult::kBadArguments);
  ASSERT_EQ(Encode(Made(big), big, &file), PngResult::kOk);
  IndexedPngFrame frame;
  ASSERT_EQ(frame.Open(file.data(), file.size()), PngResult::kOk);
  const size_t stride = Stride(big.width, 8);
  std::vector<uint8_t> rows(stride * big.height, 0xCD);
  EXPECT_EQ(frame.CopyIndexRows(rows.data(), rows.size() - 1, stride, 8, true), PngResult::kBadArguments);
  EXPECT_TRUE(rows == std::vector<uint8_t>(rows.size(), 0xCD)) << "refused before writing";
  // A band buffer that cannot be had (WIC's own memory is not operator new's).
  wintest::FailingAllocations noMemory(64 * 1024);
  EXPECT_EQ(frame.CopyIndexRows(rows.data(), rows.size(), stride, 8, true), PngResult::kNoMemory);
}

}  // namespace
