// Every TIFF the writer produces is read back by independent readers:
// libtiff's tiffinfo must accept it without a warning, ImageMagick must
// identify it strictly, and its pixels must equal those ImageMagick reads
// from the source BMP and those the test itself intended.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "common/bitmap/core/bmp_rules.h"
#include "common/bitmap/core/tiff_layout.h"
#include "tests/unit/fixtures/bmp_fixture.h"

using fixture::Picture;

namespace {

using IndexFn = std::function<uint8_t(int32_t, int32_t)>;

bool HaveTool(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command; returns its exit status and its standard output.
int Shell(const std::string& cmd, std::string* out) {
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return -1;
  std::string text;
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
  const int status = pclose(p);
  if (out != nullptr) *out = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

// Simple RLE encoder for the fixtures: runs of three or more equal pixels
// become encoded runs, the rest absolute runs (or short encoded runs).
std::vector<uint8_t> EncodeRle(int32_t width, int32_t height, uint16_t bits, const IndexFn& index) {
  std::vector<uint8_t> s;
  for (int32_t y = height - 1; y >= 0; --y) {  // bottom row first
    std::vector<uint8_t> row;
    for (int32_t x = 0; x < width; ++x) row.push_back(static_cast<uint8_t>(index(x, y) & ((1u << bits) - 1)));
    size_t x = 0;
    while (x < row.size()) {
      size_t run = 1;
      while (x + run < row.size() && row[x + run] == row[x] && run < 255) ++run;
      if (run >= 3) {
        s.push_back(static_cast<uint8_t>(run));
        s.push_back(bits == 8 ? row[x] : static_cast<uint8_t>(row[x] << 4 | row[x]));
        x += run;
        continue;
      }
      size_t lit = 0;
      while (x + lit < row.size() && lit < 254) {
        const size_t at = x + lit;
        if (at + 2 < row.size() && row[at] == row[at + 1] && row[at] == row[at + 2]) break;
        ++lit;
      }
      if (lit < 3) {
        for (size_t i = 0; i < lit; ++i) {
          s.push_back(1);
          s.push_back(bits == 8 ? row[x + i] : static_cast<uint8_t>(row[x + i] << 4));
        }
      } else {
        s.push_back(0);
        s.push_back(static_cast<uint8_t>(lit));
        std::vector<uint8_t> data;
        for (size_t i = 0; i < lit; ++i) {
          if (bits == 8) data.push_back(row[x + i]);
          else if (i % 2 == 0) data.push_back(static_cast<uint8_t>(row[x + i] << 4));
          else data.back() = static_cast<uint8_t>(data.back() | row[x + i]);
        }
        if (data.size() % 2) data.push_back(0);
        s.insert(s.end(), data.begin(), data.end());
      }
      x += lit;
    }
    s.push_back(0);
    s.push_back(0);  // end of line
  }
  s.push_back(0);
  s.push_back(1);  // end of bitmap
  return s;
}

// RGB bytes, top row first, of what the picture is meant to show.
std::vector<uint8_t> ExpectedRgb(const Picture& p, const IndexFn& index) {
  const int32_t h = p.height < 0 ? -p.height : p.height;
  std::vector<uint8_t> rgb;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < p.width; ++x) {
      const uint32_t c = p.palette.at(index(x, y) & ((1u << p.bits) - 1));
      rgb.push_back(static_cast<uint8_t>(c >> 16));
      rgb.push_back(static_cast<uint8_t>(c >> 8));
      rgb.push_back(static_cast<uint8_t>(c));
    }
  }
  return rgb;
}

class TiffReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"tiffinfo", "identify", "convert"}) {
      if (!HaveTool(tool)) GTEST_SKIP() << tool << " is not installed";
    }
    char pattern[] = "/tmp/tiff_reader_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    if (!dir_.empty()) std::system(("rm -rf '" + dir_ + "'").c_str());
  }

  struct Case {
    const char* name;
    Picture picture;
    IndexFn index;
    bool imageMagickReadsTheBmp = true;
  };

  void Check(const Case& c) {
    SCOPED_TRACE(c.name);
    const std::string bmpPath = dir_ + "/" + c.name + ".bmp";
    const std::string tifPath = dir_ + "/" + c.name + ".tif";
    const std::string errPath = dir_ + "/" + c.name + ".err";
    WriteBytes(bmpPath, fixture::File(c.picture));

    std::vector<uint8_t> block = fixture::Block(c.picture);
    bmp::BlockLayout layout;
    ASSERT_EQ(bmp::ApplyLockRules(block.data(), block.size(), fixture::FileHeaderOf(c.picture), &layout),
              bmp::BlockCheck::kOk);
    tiff::MemorySink sink;
    ASSERT_EQ(tiff::WriteTiff(block.data(), block.size(), layout, sink), tiff::TiffResult::kOk);
    WriteBytes(tifPath, sink.bytes);

    std::string out;
    EXPECT_EQ(Shell("tiffinfo -D '" + tifPath + "' 2>'" + errPath + "'", &out), 0);
    const std::string err = ReadText(errPath);
    EXPECT_EQ(err, "") << "tiffinfo complained";
    EXPECT_EQ(out.find("Warning"), std::string::npos) << out;
    EXPECT_NE(out.find("Photometric Interpretation: palette color"), std::string::npos) << out;

    EXPECT_EQ(Shell("identify -regard-warnings '" + tifPath + "' 2>&1", &out), 0) << out;

    std::string tifRgb, bmpRgb;
    EXPECT_EQ(Shell("convert '" + tifPath + "' -depth 8 rgb:- 2>'" + errPath + "'", &tifRgb), 0)
        << ReadText(errPath);
    const std::vector<uint8_t> expected = ExpectedRgb(c.picture, c.index);
    EXPECT_TRUE(std::vector<uint8_t>(tifRgb.begin(), tifRgb.end()) == expected)
        << "TIFF pixels differ from the intended picture (" << tifRgb.size() << " bytes, "
        << expected.size() << " expected)";
    if (c.imageMagickReadsTheBmp) {
      EXPECT_EQ(Shell("convert '" + bmpPath + "' -depth 8 rgb:- 2>'" + errPath + "'", &bmpRgb), 0)
          << ReadText(errPath);
      EXPECT_TRUE(tifRgb == bmpRgb) << "TIFF and BMP read differently by ImageMagick";
    }
  }

  std::string dir_;
};

Picture Uncompressed(int32_t w, int32_t h, uint16_t bits, const IndexFn& index) {
  Picture p;
  p.width = w; p.height = h; p.bits = bits;
  p.palette = fixture::Palette(1u << bits);
  p.pixels = fixture::Rows(w, h, bits, index);
  return p;
}

Picture Rle(int32_t w, int32_t h, uint16_t bits, const IndexFn& index) {
  Picture p;
  p.width = w; p.height = h; p.bits = bits;
  p.compression = bits == 8 ? bmp::kBiRle8 : bmp::kBiRle4;
  p.palette = fixture::Palette(1u << bits);
  p.pixels = EncodeRle(w, h, bits, index);
  return p;
}

}  // namespace

TEST_F(TiffReaderTest, UncompressedPicturesOfEachDepth) {
  const IndexFn diagonal = [](int32_t x, int32_t y) { return static_cast<uint8_t>(x * 3 + y * 7); };
  const IndexFn checker = [](int32_t x, int32_t y) { return static_cast<uint8_t>((x / 3 + y) % 2); };
  std::vector<Case> cases = {
      {"one_bit_16x2", Uncompressed(16, 2, 1, checker), checker},
      {"one_bit_odd_37x9", Uncompressed(37, 9, 1, checker), checker},
      {"four_bit_33x10", Uncompressed(33, 10, 4, diagonal), diagonal},
      {"four_bit_odd_1x5", Uncompressed(1, 5, 4, diagonal), diagonal},
      {"eight_bit_31x7", Uncompressed(31, 7, 8, diagonal), diagonal},
      {"eight_bit_top_down", Uncompressed(13, -6, 8, diagonal), diagonal},
      {"four_bit_top_down", Uncompressed(9, -4, 4, diagonal), diagonal},
      {"one_bit_top_down", Uncompressed(21, -3, 1, checker), checker},
  };
  for (const Case& c : cases) Check(c);
}

TEST_F(TiffReaderTest, GapAfterTheColourTableAndShortTables) {
  const IndexFn small = [](int32_t x, int32_t y) { return static_cast<uint8_t>((x + 2 * y) % 16); };
  Case gap{"gap_after_table", Uncompressed(11, 5, 8, small), small};
  gap.picture.gap = 26;
  Check(gap);
  Case gap4{"gap_after_table_4bit", Uncompressed(7, 3, 4, small), small};
  gap4.picture.gap = 8;
  Check(gap4);
  // An 8-bit picture listing 16 colours.
  Case listed{"eight_bit_16_colours", Uncompressed(10, 4, 8, small), small};
  listed.picture.clrUsed = 16;
  listed.picture.palette.resize(16);
  Check(listed);
}

TEST_F(TiffReaderTest, RlePictures) {
  const IndexFn bands = [](int32_t x, int32_t y) { return static_cast<uint8_t>(x / 5 + (y % 3) + (x % 7 == 0)); };
  const IndexFn noisy = [](int32_t x, int32_t y) { return static_cast<uint8_t>((x * x + y * 5) % 11); };
  std::vector<Case> cases = {
      {"rle8_bands", Rle(40, 9, 8, bands), bands},
      {"rle8_noisy_odd", Rle(27, 5, 8, noisy), noisy},
      {"rle4_bands", Rle(41, 8, 4, bands), bands},
      {"rle4_noisy_odd", Rle(19, 6, 4, noisy), noisy},
      {"rle8_long_rows", Rle(600, 3, 8, bands), bands},
  };
  for (const Case& c : cases) Check(c);
}

// A delta leaves the skipped pixels at index 0, as GDI paints them.
TEST_F(TiffReaderTest, RleWithDelta) {
  Picture p;
  p.width = 6; p.height = 3; p.bits = 8; p.compression = bmp::kBiRle8;
  p.palette = fixture::Palette(256);
  p.pixels = {2, 4, 0, 2, 2, 1, 2, 5, 0, 0, 6, 9, 0, 1};
  // Bottom row: 4 4 then the delta to (4, 1); row 1: . . . . 5 5; top row: six 9s.
  const IndexFn index = [](int32_t x, int32_t y) -> uint8_t {
    if (y == 0) return 9;
    if (y == 1) return x >= 4 ? 5 : 0;
    return x < 2 ? 4 : 0;
  };
  Check({"rle8_delta", p, index, false});
}
