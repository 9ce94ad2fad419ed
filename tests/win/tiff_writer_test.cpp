// The TIFF writer on real files: what it writes is the core's layout byte for
// byte, rows top first from the pixel address, and no failure leaves a
// half-written file or replaces a good one. With WIN_TEST_OUTPUT set, each
// source BMP and its TIFF are left there for run-tier.sh's independent readers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "common/bitmap/core/tiff_layout.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/tiff_writer.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "kestro98/load_bitmap.h"
#include "tests/win/win_test_support.h"

namespace {

using kestro::LoadBmpFile;
using wintest::BmpShape;

uint32_t U16(const std::vector<uint8_t>& v, size_t at) { return v[at] | (v[at + 1] << 8); }
uint32_t U32(const std::vector<uint8_t>& v, size_t at) {
  return U16(v, at) | (U16(v, at + 2) << 16);
}

// Reads back what a palette TIFF says about itself, checking the directory
// on the way; only what the tests below need.
struct TiffFacts {
  uint32_t width = 0, height = 0, bits = 0, stripOffset = 0, stripBytes = 0;
  bool sorted = true;
};
TiffFacts ParseTiff(const std::vector<uint8_t>& v) {
  TiffFacts f;
  if (v.size() < 128 || v[0] != 'I' || v[1] != 'I' || U16(v, 2) != 42) return f;
  const uint32_t ifd = U32(v, 4);
  const uint32_t entries = U16(v, ifd);
  uint32_t lastTag = 0;
  for (uint32_t i = 0; i < entries; ++i) {
    const size_t e = ifd + 2 + 12 * i;
    const uint32_t tag = U16(v, e), type = U16(v, e + 2);
    const uint32_t value = type == 3 ? U16(v, e + 8) : U32(v, e + 8);
    if (tag <= lastTag) f.sorted = false;
    lastTag = tag;
    if (tag == 256) f.width = value;
    if (tag == 257) f.height = value;
    if (tag == 258) f.bits = value;
    if (tag == 273) f.stripOffset = value;
    if (tag == 279) f.stripBytes = value;
  }
  return f;
}

uint8_t TiffPixel(const std::vector<uint8_t>& v, const TiffFacts& f, uint32_t x, uint32_t y) {
  const uint32_t rowBytes = (f.width * f.bits + 7) / 8;
  const uint8_t byte = v[f.stripOffset + y * rowBytes + x * f.bits / 8];
  if (f.bits == 8) return byte;
  if (f.bits == 4) return x % 2 ? byte & 0x0F : byte >> 4;
  return (byte >> (7 - x % 8)) & 1;
}

std::string OutputFolder() {
  const char* out = std::getenv("WIN_TEST_OUTPUT");
  return out != nullptr ? std::string(out) + "\\" : std::string();
}

// Whether the writer left a temporary file ("~" and hex digits) in the folder.
bool TemporaryLeftIn(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((folder + "~*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

class TiffWriter : public testing::Test {
 protected:
  void SetUp() override {
    languageFlag = kEnglish;
    ReleaseDibBlock();
  }
  void TearDown() override { ReleaseDibBlock(); }

  // Loads bytes as the open picture; the path it was loaded from.
  std::string Open(const std::vector<uint8_t>& bytes, const std::string& name) {
    const std::string folder = OutputFolder().empty() ? wintest::ScratchFolder() : OutputFolder();
    const std::string path = folder + name + ".bmp";
    EXPECT_TRUE(wintest::WriteWholeFile(path, bytes));
    EXPECT_TRUE(LoadBmpFile(mainWindow, path.c_str())) << name;
    return folder + name + ".tif";
  }

  // What the core writes for the open picture.
  std::vector<uint8_t> CoreBytes() {
    tiff::MemorySink sink;
    EXPECT_EQ(LockDibBlock(mainWindow), 1);
    EXPECT_EQ(tiff::WriteTiff(dibBlockStart, dibBlockSize, dibLayout, sink), tiff::TiffResult::kOk);
    UnlockDibBlock();
    return sink.bytes;
  }
};

TEST_F(TiffWriter, WritesTheCoreLayoutWithRowsFromThePixelAddress) {
  std::vector<wintest::NamedShape> cases;
  auto add = [&](const char* name, int32_t w, int32_t h, uint16_t bits) {
    return wintest::AddShape(&cases, name, w, h, bits);
  };
  add("bits1_16x2", 16, 2, 1);
  add("bits1_odd_13x7", 13, 7, 1);
  add("bits4_odd_33x10", 33, 10, 4);
  add("bits8_odd_17x5", 17, 5, 8);
  add("bits4_topdown_9x6", 9, 6, 4)->topDown = true;
  add("bits8_gap_12x3", 12, 3, 8)->gap = 22;
  add("bits8_16colours_7x4", 7, 4, 8)->clrUsed = 16;
  add("bits8_trailing_5x5", 5, 5, 8)->trailing = 9;
  for (const wintest::NamedShape& c : cases) {
    wintest::BoxCatcher boxes;
    const std::string target = Open(wintest::MakeBmp(c.shape), c.name);
    DeleteFileA(target.c_str());
    ASSERT_EQ(WriteTiffFile(mainWindow, target.c_str()), 0) << c.name;
    EXPECT_TRUE(boxes.Boxes().empty()) << c.name;
    EXPECT_FALSE(TemporaryLeftIn(FolderOf(target))) << c.name;
    std::vector<uint8_t> file;
    ASSERT_TRUE(wintest::ReadWholeFile(target, &file)) << c.name;
    EXPECT_EQ(file, CoreBytes()) << c.name;
    EXPECT_EQ(file.size(), tiff::TiffFileSize(dibLayout)) << c.name;

    const TiffFacts f = ParseTiff(file);
    EXPECT_TRUE(f.sorted) << c.name;
    EXPECT_EQ(f.width, static_cast<uint32_t>(c.shape.width)) << c.name;
    EXPECT_EQ(f.height, static_cast<uint32_t>(c.shape.height)) << c.name;
    EXPECT_EQ(f.bits, c.shape.bitCount) << c.name;
    ASSERT_EQ(static_cast<uint64_t>(f.stripOffset) + f.stripBytes, file.size()) << c.name;
    int wrong = 0;
    for (int32_t y = 0; y < c.shape.height; ++y) {
      for (int32_t x = 0; x < c.shape.width; ++x) {
        if (TiffPixel(file, f, x, y) != wintest::FixturePixel(c.shape, x, y)) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0) << c.name << ": pixels differ from the source, top row first";
  }
}

// A BMP whose pixels are the RLE stream given, on the header of an
// uncompressed picture of the same size.
std::vector<uint8_t> RleBmp(int32_t w, int32_t h, uint16_t bits, uint32_t compression,
                            const std::vector<uint8_t>& stream) {
  BmpShape shape;
  shape.width = w;
  shape.height = h;
  shape.bitCount = bits;
  std::vector<uint8_t> v = wintest::MakeBmp(shape);
  const size_t pixels = 54 + 4 * (1u << bits);
  v.resize(pixels);
  v.insert(v.end(), stream.begin(), stream.end());
  bmp::PutU32(&v[2], static_cast<uint32_t>(v.size()));        // bfSize
  bmp::PutU32(&v[30], compression);                           // biCompression
  bmp::PutU32(&v[34], static_cast<uint32_t>(stream.size()));  // biSizeImage
  return v;
}

TEST_F(TiffWriter, CompressedPicturesAreWrittenDecoded) {
  // RLE8, 4 x 2: bottom row a run of four 5s; top row absolute 1 2 3 4.
  const std::vector<uint8_t> rle8 = {4, 5, 0, 0, 0, 4, 1, 2, 3, 4, 0, 1};
  // RLE4, 5 x 2: bottom row 1 2 1 2 1; top row absolute 3 4 5 6 7 (word padded).
  const std::vector<uint8_t> rle4 = {5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 1};
  struct Case { const char* name; std::vector<uint8_t> bytes; std::vector<uint8_t> top, bottom; };
  const Case cases[] = {
      {"rle8_4x2", RleBmp(4, 2, 8, bmp::kBiRle8, rle8), {1, 2, 3, 4}, {5, 5, 5, 5}},
      {"rle4_5x2", RleBmp(5, 2, 4, bmp::kBiRle4, rle4), {3, 4, 5, 6, 7}, {1, 2, 1, 2, 1}},
  };
  for (const Case& c : cases) {
    const std::string target = Open(c.bytes, c.name);
    ASSERT_EQ(WriteTiffFile(mainWindow, target.c_str()), 0) << c.name;
    std::vector<uint8_t> file;
    ASSERT_TRUE(wintest::ReadWholeFile(target, &file));
    const TiffFacts f = ParseTiff(file);
    ASSERT_EQ(f.width, c.top.size()) << c.name;
    for (uint32_t x = 0; x < f.width; ++x) {
      EXPECT_EQ(TiffPixel(file, f, x, 0), c.top[x]) << c.name << " top row, x " << x;
      EXPECT_EQ(TiffPixel(file, f, x, 1), c.bottom[x]) << c.name << " bottom row, x " << x;
    }
  }
}

TEST_F(TiffWriter, AnExistingFileIsReplacedOnlyByACompleteOne) {
  const std::string target = Open(wintest::MakeBmp(BmpShape()), "replace");
  ASSERT_TRUE(wintest::WriteWholeFile(target, std::vector<uint8_t>(5000, 0x77)));
  ASSERT_EQ(WriteTiffFile(mainWindow, target.c_str()), 0);
  std::vector<uint8_t> file;
  ASSERT_TRUE(wintest::ReadWholeFile(target, &file));
  EXPECT_EQ(file, CoreBytes()) << "the longer old file must not leave a tail";
}

TEST_F(TiffWriter, TemporaryFileFitsTheLongestPathAndReplacesNothing) {
  // A target path of 259 characters, the longest there is: a folder of
  // nearly 248 (the longest CreateDirectoryA makes) and a name to fill it up.
  std::string folder = wintest::ScratchFolder() + "deep";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  while (folder.size() < 236) {
    folder += "\\" + std::string(std::min<size_t>(60, 247 - folder.size() - 1), 'd');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        << folder.size();
  }
  folder += "\\";
  const std::string name = std::string(259 - folder.size() - 4, 'n') + ".tif";
  const std::string target = folder + name;
  ASSERT_EQ(target.size(), 259u);
  Open(wintest::MakeBmp(BmpShape()), "deep_source");
  wintest::BoxCatcher boxes;
  ASSERT_EQ(WriteTiffFile(mainWindow, target.c_str()), 0);
  EXPECT_TRUE(boxes.Boxes().empty());
  std::vector<uint8_t> file;
  ASSERT_TRUE(wintest::ReadWholeFile(target, &file));
  EXPECT_EQ(file, CoreBytes());
  EXPECT_FALSE(TemporaryLeftIn(folder));

  // A file of the name a temporary file once had stays as it is.
  const std::string beside = wintest::ScratchFolder() + "near.tif";
  const std::vector<uint8_t> foreign(77, 0x3C);
  ASSERT_TRUE(wintest::WriteWholeFile(beside + ".~tmp", foreign));
  ASSERT_EQ(WriteTiffFile(mainWindow, beside.c_str()), 0);
  std::vector<uint8_t> after;
  ASSERT_TRUE(wintest::ReadWholeFile(beside + ".~tmp", &after));
  EXPECT_EQ(after, foreign);
  EXPECT_FALSE(TemporaryLeftIn(wintest::ScratchFolder()));
}

class TiffWriterFailures : public TiffWriter, public testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    TiffWriter::SetUp();
    if (GetParam() == kJapanese && !wintest::JapaneseCodePage()) {
      GTEST_SKIP() << "Japanese texts are checked in the run with code page 932";
    }
    languageFlag = GetParam();
  }
  void TearDown() override {
    TiffWriter::TearDown();
    languageFlag = kEnglish;
  }
  void ExpectOneBox(const wintest::BoxCatcher& boxes, const char* english, const char* japanese) {
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const bool ja = GetParam() == kJapanese;
    EXPECT_EQ(boxes.Boxes()[0].text, wintest::Ansi(ja ? japanese : english));
    EXPECT_EQ(boxes.Boxes()[0].title, wintest::Ansi(ja ? "エラー" : "Error"));
    EXPECT_EQ(boxes.Boxes()[0].owner, mainWindow);
    EXPECT_TRUE(boxes.Boxes()[0].errorIcon);
  }
};

TEST_P(TiffWriterFailures, FolderThatDoesNotExist) {
  Open(wintest::MakeBmp(BmpShape()), "source");
  const std::string target = wintest::ScratchFolder() + "missing folder\\out.tif";
  wintest::BoxCatcher boxes;
  EXPECT_EQ(WriteTiffFile(mainWindow, target.c_str()), 1);
  ExpectOneBox(boxes, "Unable to create a new TIF file for saving the image.",
               "像保存用のTIFファイルを新規に作成できません.");
  EXPECT_FALSE(wintest::FileExists(target));
}

TEST_P(TiffWriterFailures, ReadOnlyTargetIsKept) {
  Open(wintest::MakeBmp(BmpShape()), "source");
  const std::string target = wintest::ScratchFolder() + "read only.tif";
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  const std::vector<uint8_t> old(300, 0x42);
  ASSERT_TRUE(wintest::WriteWholeFile(target, old));
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
  wintest::BoxCatcher boxes;
  EXPECT_EQ(WriteTiffFile(mainWindow, target.c_str()), 1);
  ExpectOneBox(boxes, "Unable to create a new TIF file for saving the image.",
               "像保存用のTIFファイルを新規に作成できません.");
  std::vector<uint8_t> after;
  ASSERT_TRUE(wintest::ReadWholeFile(target, &after));
  EXPECT_EQ(after, old);
  EXPECT_FALSE(TemporaryLeftIn(FolderOf(target))) << "the temporary file is removed";
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(target.c_str());
}

TEST_P(TiffWriterFailures, NoPictureIsAFailureNotAnEmptyFile) {
  const std::string target = wintest::ScratchFolder() + "nothing.tif";
  DeleteFileA(target.c_str());
  wintest::BoxCatcher boxes;
  EXPECT_EQ(WriteTiffFile(mainWindow, target.c_str()), 1);
  ExpectOneBox(boxes, "Unable to write the TIF file. The image was not saved.",
               "TIFファイルを書き込めません. 画像は保存されていません.");
  EXPECT_FALSE(wintest::FileExists(target));
  EXPECT_FALSE(TemporaryLeftIn(FolderOf(target)));
}

std::string LanguageName(const testing::TestParamInfo<int>& info) {
  return info.param == kJapanese ? "Japanese" : "English";
}

INSTANTIATE_TEST_SUITE_P(Languages, TiffWriterFailures, testing::Values(kEnglish, kJapanese),
                         LanguageName);

}  // namespace
