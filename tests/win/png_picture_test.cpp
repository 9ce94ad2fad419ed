// An indexed PNG as the editor's picture: ReadCandidatePng against what
// Pillow reads (make_pictures.py's .truth), its refusals (a bomb among them,
// with no large allocation), and the editor's saves of a PNG source (PNG:
// only PLTE changed; BMP: the block with the current table; a source changed
// on disk refused) and of a BMP source as PNG, judged by the decoder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "common/base/input_file.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/core/png_chunks.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/png_codec.h"
#include "common/bitmap/png_picture.h"
#include "kestro98/main_window.h"
#include "kestro98/open_command.h"
#include "kestro98/palette_window.h"
#include "kestro98/picture.h"
#include "kestro98/save_command.h"
#include "tests/win/win_test_support.h"

namespace {

using namespace kestro;

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// make_pictures.py's NAME.truth: width, height, depth, palette length, the
// palette (0xAARRGGBB), then one index per pixel, the top row first.
struct Truth {
  uint32_t width = 0, height = 0, depth = 0;
  std::vector<uint32_t> palette;
  std::vector<uint8_t> indices;
};
bool ReadTruth(const std::string& path, Truth* t) {
  std::vector<uint8_t> b;
  if (!wintest::ReadWholeFile(path, &b) || b.size() < 16) return false;
  t->width = Le32(&b[0]), t->height = Le32(&b[4]), t->depth = Le32(&b[8]);
  const uint32_t n = Le32(&b[12]);
  if (b.size() != 16 + 4ull * n + uint64_t{t->width} * t->height) return false;
  for (uint32_t i = 0; i < n; ++i) t->palette.push_back(Le32(&b[16 + 4 * i]));
  t->indices.assign(b.begin() + 16 + 4 * n, b.end());
  return true;
}

// The index at (x, y), y from the top, of a bottom-up DIB block's rows.
int BlockIndex(const uint8_t* block, size_t pixelOffset, int x, int y) {
  const int width = static_cast<int>(Le32(block + 4)), height = static_cast<int>(Le32(block + 8)), bits = block[14];
  const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  const uint8_t* row = block + pixelOffset + stride * (height - 1 - y);
  const int bit = x * bits;
  return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1);
}

// The block of the current picture against a truth: size, depth (2 held at
// 4), the table at the palette's length and every index. `changed` entries
// of the table are expected with the colour given instead.
void ExpectBlockIs(const uint8_t* block, size_t size, const Truth& t, const std::string& what) {
  ASSERT_GE(size, 40u) << what;
  EXPECT_EQ(Le32(block), 40u) << what;
  EXPECT_EQ(Le32(block + 4), t.width) << what;
  EXPECT_EQ(Le32(block + 8), t.height) << what;
  EXPECT_EQ(block[14], t.depth == 2 ? 4 : t.depth) << what;
  EXPECT_EQ(Le32(block + 32), t.palette.size()) << what;
  const size_t pixels = 40 + 4 * t.palette.size();
  ASSERT_GE(size, pixels) << what;
  for (size_t i = 0; i < t.palette.size(); ++i) {
    const uint32_t bgr = block[40 + 4 * i] | block[41 + 4 * i] << 8 | block[42 + 4 * i] << 16;
    EXPECT_EQ(bgr, t.palette[i] & 0xFFFFFF) << what << " entry " << i;
  }
  int wrong = 0;
  for (uint32_t y = 0; y < t.height; ++y)
    for (uint32_t x = 0; x < t.width; ++x)
      wrong += BlockIndex(block, pixels, x, y) != t.indices[size_t{y} * t.width + x];
  EXPECT_EQ(wrong, 0) << what << ": pixels with another index";
}

std::string PicturesFolder() {
  const char* folder = std::getenv("WIN_TEST_PICTURES");
  return folder != nullptr && *folder != 0 ? std::string(folder) + "\\" : std::string();
}

PngRead ReadPngFile(const std::string& path, PngSource* source) {
  InputFile file(path.c_str());
  FileFront front;
  if (!file.Valid() || !ReadFileFront(file.Get(), &front)) return PngRead::kUnreadable;
  EXPECT_TRUE(IsPngFront(front)) << path;
  return ReadCandidatePng(file.Get(), front, source);
}

std::vector<uint8_t> Chunk(const char* type, const std::vector<uint8_t>& data) {
  const uint32_t length = static_cast<uint32_t>(data.size());
  std::vector<uint8_t> c(12 + data.size());
  for (int i = 0; i < 4; ++i) c[i] = uint8_t(length >> (24 - 8 * i)), c[4 + i] = uint8_t(type[i]);
  std::copy(data.begin(), data.end(), c.begin() + 8);
  const uint32_t crc = png::Crc32(c.data() + 4, 4 + data.size());
  for (int i = 0; i < 4; ++i) c[8 + data.size() + i] = uint8_t(crc >> (24 - 8 * i));
  return c;
}

// About 1 KB whose IHDR claims 65535 x 65535 at 8 bits: its IDAT cannot hold the rows.
std::vector<uint8_t> Bomb() {
  std::vector<uint8_t> b(png::kSignature, png::kSignature + png::kSignatureSize);
  for (const auto& c : {Chunk("IHDR", {0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 8, 3, 0, 0, 0}), Chunk("PLTE", {1, 2, 3}),
                        Chunk("IDAT", std::vector<uint8_t>(1000, 0)), Chunk("IEND", {})}) {
    b.insert(b.end(), c.begin(), c.end());
  }
  return b;
}

TEST(PngPicture, CandidateBlockHoldsWhatPillowReadsAndRefusalsHoldNothing) {
  const std::string folder = PicturesFolder();
  if (folder.empty()) GTEST_SKIP() << "no pictures made for this run";
  std::ifstream manifest(folder + "png_manifest.tsv");
  const std::string bomb = wintest::ScratchFolder() + "bomb.png";
  ASSERT_TRUE(wintest::WriteWholeFile(bomb, Bomb()));
  struct Case {
    std::string path, kind;
  };
  std::vector<Case> cases = {{bomb, "damaged"}};
  std::string name, kind;
  while (manifest >> name >> kind) cases.push_back({folder + name, kind});
  ASSERT_GT(cases.size(), 10u) << "png_manifest.tsv lists too few pictures";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    PngSource source;
    ReleaseDibBlock();
    PngRead read;
    {
      // Nothing of 64 MB or more may be asked for, by the bomb least of all.
      wintest::FailingAllocations noLargeBlock(64u << 20);
      read = ReadPngFile(c.path, &source);
    }
    if (c.kind != "indexed") {
      EXPECT_EQ(read, c.kind == "notindexed" ? PngRead::kNotIndexed : PngRead::kDamaged);
      EXPECT_FALSE(HoldsCandidateBlock());
      EXPECT_TRUE(source.bytes.empty());
      continue;
    }
    ASSERT_EQ(read, PngRead::kOk);
    std::vector<uint8_t> file;
    ASSERT_TRUE(wintest::ReadWholeFile(c.path, &file));
    EXPECT_EQ(source.bytes, file) << "the file is kept as read";
    Truth truth;
    ASSERT_TRUE(ReadTruth(c.path.substr(0, c.path.size() - 4) + ".truth", &truth));
    EXPECT_EQ(source.layout.paletteCount, truth.palette.size());
    ASSERT_TRUE(HoldsCandidateBlock());
    AdoptCandidateBlock();
    ScopedDibLock lock(mainWindow);
    ASSERT_TRUE(lock.Locked());
    ExpectBlockIs(dibBlockStart, dibBlockSize, truth, c.path);
  }
  ReleaseDibBlock();
}

// The editor's Open and Save on PNG sources, in-process. Each case leaves
// the editor without a picture.
class PngSaves : public testing::Test {
 protected:
  void SetUp() override {
    languageFlag = kEnglish;
    folder_ = PicturesFolder();
    if (folder_.empty()) GTEST_SKIP() << "no pictures made for this run";
  }
  void TearDown() override {
    DestroyPaletteWindow();
    ReleaseDibBlock();
    pictureFacts = PictureFacts();
    pictureFacts.state = PictureState::kNoPicture;
  }
  // A chip press as the palette window makes it.
  static void Press(int entry, Rgb colour) {
    ASSERT_TRUE(paletteHistory.Press(entry, colour));
    WriteCurrentColours(mainWindow);
  }
  std::string folder_;
};

// Whether two PNG files hold the same chunks, byte for byte, but PLTE.
bool SameButPlte(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, std::string* why) {
  png::PngLayout la, lb;
  if (png::ReadPng(a.data(), a.size(), &la) != png::Verdict::kOk || png::ReadPng(b.data(), b.size(), &lb) != png::Verdict::kOk) {
    *why = "not both read";
    return false;
  }
  if (a.size() != b.size() || la.chunks.size() != lb.chunks.size() || la.plteOffset != lb.plteOffset) {
    *why = "another chunk list";
    return false;
  }
  const size_t plteEnd = la.plteOffset + 12 + 3 * la.paletteCount;
  const bool same = std::memcmp(a.data(), b.data(), la.plteOffset + 8) == 0 &&
                    std::memcmp(a.data() + plteEnd, b.data() + plteEnd, a.size() - plteEnd) == 0;
  if (!same) *why = "a byte outside PLTE differs";
  return same;
}

TEST_F(PngSaves, PngKeepsEveryChunkButPlteAndBmpIsTheBlockWithTheCurrentTable) {
  for (const char* name : {"png_pil4_33x10.png", "png_pil2_trns_19x5.png", "png_im8_interlaced_45x31.png",
                           "png_im1_interlaced_9x7.png"}) {
    SCOPED_TRACE(name);
    const std::string source = wintest::ScratchFolder() + name;
    ASSERT_TRUE(CopyFileA((folder_ + name).c_str(), source.c_str(), FALSE));
    std::vector<uint8_t> original;
    ASSERT_TRUE(wintest::ReadWholeFile(source, &original));
    Truth truth;
    ASSERT_TRUE(ReadTruth(folder_ + std::string(name, std::strlen(name) - 4) + ".truth", &truth));
    wintest::BoxCatcher boxes;
    ASSERT_TRUE(OpenPicturePath(mainWindow, source));
    ASSERT_EQ(pictureFacts.sourceFormat, SaveFormat::kPng);
    const int last = static_cast<int>(truth.palette.size()) - 1;
    Press(last, Rgb{250, 1, 128});
    Press(0, Rgb{3, 4, 5});
    truth.palette[last] = 0xFA0180, truth.palette[0] = 0x030405;

    const std::string png = wintest::ScratchFolder() + "saved.png", bmp = wintest::ScratchFolder() + "saved.bmp";
    DeleteFileA(png.c_str());
    DeleteFileA(bmp.c_str());
    ASSERT_TRUE(SaveImageTo(mainWindow, png.c_str()));
    std::vector<uint8_t> saved;
    ASSERT_TRUE(wintest::ReadWholeFile(png, &saved));
    std::string why;
    EXPECT_TRUE(SameButPlte(saved, original, &why)) << why;
    PngSource reread;
    ASSERT_EQ(ReadPngFile(png, &reread), PngRead::kOk);
    AdoptCandidateBlock();
    {
      ScopedDibLock lock(mainWindow);
      ExpectBlockIs(dibBlockStart, dibBlockSize, truth, "the saved PNG read again");
    }
    // Over the source, then elsewhere: the source as saved is what the next save expects.
    boxes.Answer(IDYES);
    ASSERT_TRUE(OpenPicturePath(mainWindow, source));
    Press(last, Rgb{250, 1, 128});
    Press(0, Rgb{3, 4, 5});
    ASSERT_TRUE(SaveImageTo(mainWindow, source.c_str()));
    ASSERT_TRUE(SaveImageTo(mainWindow, png.c_str()));
    std::vector<uint8_t> again;
    ASSERT_TRUE(wintest::ReadWholeFile(png, &again));
    EXPECT_EQ(again, saved);

    ASSERT_TRUE(SaveImageTo(mainWindow, bmp.c_str()));
    std::vector<uint8_t> written;
    ASSERT_TRUE(wintest::ReadWholeFile(bmp, &written));
    ASSERT_GT(written.size(), 54u);
    EXPECT_EQ(std::string(written.begin(), written.begin() + 2), "BM");
    EXPECT_EQ(Le32(&written[2]), written.size());
    EXPECT_EQ(Le32(&written[10]), 54 + 4 * truth.palette.size());
    ExpectBlockIs(written.data() + 14, written.size() - 14, truth, "the saved BMP");
    for (const wintest::CapturedBox& box : boxes.Boxes()) EXPECT_FALSE(box.errorIcon) << box.text;
    TearDown();
  }
}

TEST_F(PngSaves, ASourceChangedOnDiskIsRefusedAndTheDestinationKept) {
  const std::string source = wintest::ScratchFolder() + "changed.png", dest = wintest::ScratchFolder() + "kept.png";
  ASSERT_TRUE(CopyFileA((folder_ + "png_pil8_41x13.png").c_str(), source.c_str(), FALSE));
  wintest::BoxCatcher boxes;
  boxes.Answer(IDYES);
  ASSERT_TRUE(OpenPicturePath(mainWindow, source));
  Press(1, Rgb{9, 9, 9});
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(wintest::ReadWholeFile(source, &bytes));
  const std::vector<uint8_t> existing(300, 'k');
  for (const char* change : {"a text chunk's byte", "one byte more", "deleted"}) {
    SCOPED_TRACE(change);
    std::vector<uint8_t> changed = bytes;
    if (std::strcmp(change, "one byte more") == 0) changed.push_back(0);
    else changed[changed.size() - 20] ^= 1;
    if (std::strcmp(change, "deleted") == 0) {
      ASSERT_TRUE(DeleteFileA(source.c_str()));
    } else {
      ASSERT_TRUE(wintest::WriteWholeFile(source, changed));
    }
    ASSERT_TRUE(wintest::WriteWholeFile(dest, existing));
    const size_t before = boxes.Boxes().size();
    EXPECT_FALSE(SaveImageTo(mainWindow, dest.c_str()));
    ASSERT_EQ(boxes.Boxes().size(), before + 2) << "the overwrite question, then the refusal";
    EXPECT_EQ(boxes.Boxes().back().text, "The source file has changed since it was opened.");
    std::vector<uint8_t> after;
    ASSERT_TRUE(wintest::ReadWholeFile(dest, &after));
    EXPECT_EQ(after, existing);
  }
}

TEST_F(PngSaves, BmpSourceAsPngHasItsIndicesAndTableAndRefusesIndicesPastTheTable) {
  struct Case {
    const char* name;
    uint16_t bits;
    uint32_t clrUsed;
    bool topDown;
    bool indexPastTable;
  };
  const Case cases[] = {{"1-bit", 1, 0, false, false},  {"4-bit of 5 colours", 4, 5, false, false},
                        {"8-bit top-down", 8, 0, true, false}, {"4-bit of 2 colours with index 5", 4, 2, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    wintest::BmpShape shape;
    shape.width = 21, shape.height = 6, shape.bitCount = c.bits, shape.clrUsed = c.clrUsed, shape.topDown = c.topDown;
    std::vector<uint8_t> bmp = wintest::MakeBmp(shape);
    const uint32_t colours = c.clrUsed != 0 ? c.clrUsed : 1u << c.bits;
    if (c.indexPastTable) bmp[Le32(&bmp[10])] = 0x55;  // the first two pixels of the bottom row
    const std::string source = wintest::ScratchFolder() + "source.bmp", png = wintest::ScratchFolder() + "of_bmp.png";
    ASSERT_TRUE(wintest::WriteWholeFile(source, bmp));
    DeleteFileA(png.c_str());
    wintest::BoxCatcher boxes;
    ASSERT_TRUE(OpenPicturePath(mainWindow, source));
    Press(1, Rgb{11, 22, 33});
    const bool saved = SaveImageTo(mainWindow, png.c_str());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    if (c.indexPastTable) {
      EXPECT_FALSE(saved);
      EXPECT_EQ(boxes.Boxes()[0].text, "Unable to save as PNG: some pixels have a color number\nbeyond the color table.");
      EXPECT_FALSE(wintest::FileExists(png));
      TearDown();
      continue;
    }
    ASSERT_TRUE(saved);
    std::vector<uint8_t> file;
    ASSERT_TRUE(wintest::ReadWholeFile(png, &file));
    IndexedPngFrame frame;
    ASSERT_EQ(frame.Open(file.data(), file.size()), PngResult::kOk);
    EXPECT_EQ(frame.Depth(), c.bits);
    ASSERT_EQ(frame.Palette().size(), colours);
    for (uint32_t i = 0; i < colours; ++i) {
      const uint8_t* entry = &bmp[54 + 4 * i];
      const uint32_t want = i == 1 ? 0xFF0B1621 : 0xFF000000u | entry[2] << 16 | entry[1] << 8 | entry[0];
      EXPECT_EQ(frame.Palette()[i], want) << "entry " << i;
    }
    std::vector<uint8_t> rows(size_t{21} * 6);
    ASSERT_EQ(frame.CopyIndexRows(rows.data(), rows.size(), 21, 8, false), PngResult::kOk);
    int wrong = 0;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 21; ++x) wrong += rows[y * 21 + x] != wintest::FixturePixel(shape, x, y);
    EXPECT_EQ(wrong, 0);
    TearDown();
  }
}

}  // namespace
