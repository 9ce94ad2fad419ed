// The shuffler's Open checks on the path and on the file's bytes: every
// refusal with its message, and every accepted file one the reader's lock
// rules take as well, its facts from the lock and its palette from the file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "mirtav00/core/open_rules.h"
#include "tests/unit/fixtures/bmp_fixture.h"

using fixture::Picture;
using mirtav::OpenVerdict;

namespace {

Picture Plain(int32_t width, int32_t height, uint16_t bits) {
  Picture p;
  p.width = width;
  p.height = height;
  p.bits = bits;
  p.palette = fixture::Palette(size_t{1} << bits);
  p.pixels = fixture::Rows(width, height, bits, [](int32_t x, int32_t y) { return x * 3 + y; });
  return p;
}

std::vector<uint8_t> Head(const std::vector<uint8_t>& file) {
  const size_t n = file.size() < mirtav::kOpenHeadBytes ? file.size() : mirtav::kOpenHeadBytes;
  return std::vector<uint8_t>(file.begin(), file.begin() + n);
}

void Set32(std::vector<uint8_t>& f, size_t at, uint32_t v) { bmp::PutU32(&f[at], v); }

}  // namespace

TEST(MirtavOpen, HeaderChecksAndTheirMessages) {
  struct Case {
    const char* name;
    Picture picture;
    void (*damage)(std::vector<uint8_t>&);
    OpenVerdict verdict;
  };
  auto with = [](Picture p, void (*edit)(Picture&)) { edit(p); return p; };
  const Case cases[] = {
      {"4-bit, 16 colours", Plain(5, 3, 4), nullptr, OpenVerdict::kOk},
      {"8-bit, 256 colours", Plain(7, 2, 8), nullptr, OpenVerdict::kOk},
      {"8-bit, colours used 256", with(Plain(3, 2, 8), [](Picture& p) { p.clrUsed = 256; }), nullptr, OpenVerdict::kOk},
      {"top-down", Plain(5, -4, 4), nullptr, OpenVerdict::kOk},
      {"gap after the colour table", with(Plain(4, 2, 8), [](Picture& p) { p.gap = 22; }), nullptr, OpenVerdict::kOk},
      {"bytes after the pixels", with(Plain(3, 3, 4), [](Picture& p) { p.pixels.resize(p.pixels.size() + 9, 0xAB); }), nullptr, OpenVerdict::kOk},
      {"offset field 0", with(Plain(3, 3, 4), [](Picture& p) { p.zeroOffsetField = true; }), nullptr, OpenVerdict::kOk},
      {"24-bit", with(Plain(2, 2, 8), [](Picture& p) { p.bits = 24; p.palette.clear(); p.pixels.assign(16, 0); }), nullptr, OpenVerdict::kNotFourOrEightBit},
      {"4-bit listing 10 colours", with(Plain(4, 2, 4), [](Picture& p) { p.clrUsed = 10; p.palette.resize(10); }), nullptr, OpenVerdict::kOk},
      {"8-bit listing 16 colours", with(Plain(4, 2, 8), [](Picture& p) { p.clrUsed = 16; p.palette.resize(16); }), nullptr, OpenVerdict::kOk},
      {"version 5, 100 colours", with(Plain(6, 3, 8), [](Picture& p) { p.infoSize = 124; p.clrUsed = 100; p.palette.resize(100); }), nullptr, OpenVerdict::kOk},
      {"version 4, 4 bits", with(Plain(5, -2, 4), [](Picture& p) { p.infoSize = 108; }), nullptr, OpenVerdict::kOk},
      {"52 bytes, 252 colours", with(Plain(3, 2, 8), [](Picture& p) { p.infoSize = 52; p.clrUsed = 252; p.palette.resize(252); }), nullptr, OpenVerdict::kOk},
      {"56 bytes, 1 colour", with(Plain(3, 2, 8), [](Picture& p) { p.infoSize = 56; p.clrUsed = 1; p.palette.resize(1); }), nullptr, OpenVerdict::kOk},
      {"core header, 8 bits", with(Plain(7, 3, 8), [](Picture& p) { p.infoSize = 12; }), nullptr, OpenVerdict::kOk},
      {"core header, 4 bits listing 12", with(Plain(9, 2, 4), [](Picture& p) { p.infoSize = 12; p.palette.resize(12); }), nullptr, OpenVerdict::kOk},
      {"core header, 1 bit", with(Plain(9, 2, 1), [](Picture& p) { p.infoSize = 12; }), nullptr, OpenVerdict::kNotFourOrEightBit},
      {"4-bit listing 17 colours", with(Plain(4, 2, 4), [](Picture& p) { p.clrUsed = 17; p.palette = fixture::Palette(17); }), nullptr, OpenVerdict::kNotFourOrEightBit},
      {"version 5 RLE8", with(Plain(4, 2, 8), [](Picture& p) { p.infoSize = 124; p.compression = bmp::kBiRle8; }), nullptr, OpenVerdict::kOk},
      {"version 5 cut in the header", with(Plain(4, 2, 8), [](Picture& p) { p.infoSize = 124; }), [](std::vector<uint8_t>& f) { f.resize(100); }, OpenVerdict::kNotBitmap},
      {"4-bit listing 256 colours", with(Plain(4, 2, 4), [](Picture& p) { p.clrUsed = 256; p.palette = fixture::Palette(256); }), nullptr, OpenVerdict::kNotFourOrEightBit},
      {"1-bit listing 16 colours", with(Plain(8, 2, 1), [](Picture& p) { p.clrUsed = 16; p.palette = fixture::Palette(16); }), nullptr, OpenVerdict::kNotFourOrEightBit},
      {"RLE8", with(Plain(4, 2, 8), [](Picture& p) { p.compression = bmp::kBiRle8; }), nullptr, OpenVerdict::kOk},
      {"RLE4", with(Plain(4, 2, 4), [](Picture& p) { p.compression = bmp::kBiRle4; }), nullptr, OpenVerdict::kOk},
      {"RLE4 with 8 bits", with(Plain(4, 2, 8), [](Picture& p) { p.compression = bmp::kBiRle4; }), nullptr, OpenVerdict::kNotFourOrEightBit},
      {"top-down RLE8", with(Plain(4, -2, 8), [](Picture& p) { p.compression = bmp::kBiRle8; }), nullptr, OpenVerdict::kNotBitmap},
      {"zero width", Plain(4, 2, 4), [](std::vector<uint8_t>& f) { Set32(f, 18, 0); }, OpenVerdict::kZeroSize},
      {"zero height", Plain(4, 2, 4), [](std::vector<uint8_t>& f) { Set32(f, 22, 0); }, OpenVerdict::kZeroSize},
      {"signature BA", Plain(4, 2, 4), [](std::vector<uint8_t>& f) { f[1] = 'A'; }, OpenVerdict::kNotBitmap},
      {"64-byte header", Plain(4, 2, 4), [](std::vector<uint8_t>& f) { Set32(f, 14, 64); }, OpenVerdict::kNotBitmap},
      {"header size 0x128 (low byte 40)", Plain(4, 2, 4), [](std::vector<uint8_t>& f) { Set32(f, 14, 0x128); }, OpenVerdict::kNotBitmap},
      {"negative width", Plain(4, 2, 4), [](std::vector<uint8_t>& f) { Set32(f, 18, 0xFFFFFFFC); }, OpenVerdict::kNotBitmap},
      {"height INT32_MIN", Plain(4, 2, 4), [](std::vector<uint8_t>& f) { Set32(f, 22, 0x80000000); }, OpenVerdict::kNotBitmap},
      {"image size beyond the file", Plain(4, 2, 8), [](std::vector<uint8_t>& f) { Set32(f, 34, 9); }, OpenVerdict::kNotBitmap},
      {"more rows than the file holds", Plain(4, 2, 8), [](std::vector<uint8_t>& f) { Set32(f, 22, 3); }, OpenVerdict::kNotBitmap},
      {"total size beyond the file", Plain(4, 2, 4), [](std::vector<uint8_t>& f) { Set32(f, 2, static_cast<uint32_t>(f.size() + 1)); }, OpenVerdict::kNotBitmap},
      {"pixels inside the colour table", Plain(4, 2, 4), [](std::vector<uint8_t>& f) { Set32(f, 10, 100); }, OpenVerdict::kNotBitmap},
      {"file cut in the header", Plain(4, 2, 4), [](std::vector<uint8_t>& f) { f.resize(40); }, OpenVerdict::kNotBitmap},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> file = fixture::File(c.picture);
    if (c.damage) c.damage(file);
    const std::vector<uint8_t> head = Head(file);
    shuffle::PaletteEntry table[256];
    for (auto& e : table) e = {-1, -1, -1};
    int32_t n = -1;
    EXPECT_EQ(mirtav::CheckOpenHeader(head.data(), head.size(), file.size(), table, &n), c.verdict);
    if (c.verdict != OpenVerdict::kOk) {
      EXPECT_EQ(n, -1);  // a refusal touches nothing
      EXPECT_EQ(table[0].blue, -1);
      continue;
    }
    // Accepted: the reader takes it, the facts come from its lock, the
    // palette from the file and zeros beyond.
    const bmp::FileHeader fh = bmp::ParseFileHeader(file.data());
    std::vector<uint8_t> block(file.begin() + 14, file.begin() + fh.totalSize);
    bmp::BlockLayout layout;
    ASSERT_EQ(bmp::ApplyLockRules(block.data(), block.size(), fh, &layout), bmp::BlockCheck::kOk);
    mirtav::ShufflerPicture facts;
    ASSERT_TRUE(mirtav::FactsFromLayout(layout, block.size(), file.size(), &facts));
    EXPECT_EQ(n, facts.colourCount);
    EXPECT_EQ(facts.height, std::abs(c.picture.height));
    EXPECT_EQ(facts.topDown, c.picture.height < 0);
    EXPECT_EQ(facts.rowStride, bmp::PaddedRowBytes(c.picture.width, c.picture.bits));
    EXPECT_EQ(facts.imageSize, facts.rowStride * facts.height);
    for (int i = 0; i < 256; ++i) {
      const uint32_t rgb = i < n ? c.picture.palette[i] : 0;
      ASSERT_EQ(table[i].blue, static_cast<int32_t>(rgb & 0xFF)) << i;
      ASSERT_EQ(table[i].green, static_cast<int32_t>((rgb >> 8) & 0xFF)) << i;
      ASSERT_EQ(table[i].red, static_cast<int32_t>((rgb >> 16) & 0xFF)) << i;
    }
  }
}

TEST(MirtavOpen, PathChecksComeBeforeTheFileAndJudgeTheExtensionIgnoringCase) {
  struct { const char* path; bool fixed; OpenVerdict verdict; } const cases[] = {
      {"C:\\pics\\picture.BMP", true, OpenVerdict::kOk},
      {"C:\\pics\\picture.bmp", true, OpenVerdict::kOk},
      {"C:\\pics\\picture.bMp", true, OpenVerdict::kOk},
      {"C:\\pics\\picture.png", true, OpenVerdict::kOk},
      {"C:\\pics\\picture.pNG", true, OpenVerdict::kOk},
      {"C:\\pics\\picture.bmpx", true, OpenVerdict::kNotPictureExtension},
      {"C:\\pics\\picture.png.txt", true, OpenVerdict::kNotPictureExtension},
      {"C:\\pics\\picture", true, OpenVerdict::kNotPictureExtension},
      {"C:\\pics\\bmp", true, OpenVerdict::kNotPictureExtension},
      {"C:\\pics\\png", true, OpenVerdict::kNotPictureExtension},
      {"\\\\server\\share\\a.bmp", false, OpenVerdict::kNotFixedDisk},
      {"A:\\a.txt", false, OpenVerdict::kNotFixedDisk},  // the drive is judged first
  };
  for (const auto& c : cases) EXPECT_EQ(mirtav::CheckOpenPath(c.path, c.fixed), c.verdict) << c.path;
}

TEST(MirtavOpen, CompressedAndMismatchedFilesGetTheColourCountMessage) {
  const Message* m = mirtav::MessageOf(OpenVerdict::kNotFourOrEightBit);
  EXPECT_STREQ(m->text.english, "Select a 4bit or 8bit bitmap file.");
  EXPECT_STREQ(m->text.japanese, "16色・256色のビットマップを選定してください.");
  EXPECT_STREQ(m->title.english, "Warning");
  EXPECT_EQ(m->icon, MessageIcon::kWarning);
  EXPECT_EQ(mirtav::MessageOf(OpenVerdict::kOk), nullptr);
}

TEST(MirtavOpen, FactsComeFromTheLockNotFromImageSizeOverHeight) {
  // 16 colours, width 5: rows of 3 bytes padded to 4; the image size field
  // claims the trailing bytes as well, which would give a stride of 7.
  Picture p = Plain(5, 3, 4);
  p.pixels.resize(p.pixels.size() + 9, 0);
  p.sizeImage = static_cast<uint32_t>(p.pixels.size());
  std::vector<uint8_t> block = fixture::Block(p);
  bmp::BlockLayout layout;
  ASSERT_EQ(bmp::ApplyLockRules(block.data(), block.size(), fixture::FileHeaderOf(p), &layout),
            bmp::BlockCheck::kOk);
  mirtav::ShufflerPicture facts;
  ASSERT_TRUE(mirtav::FactsFromLayout(layout, block.size(), 14 + block.size(), &facts));
  EXPECT_EQ(facts.rowBytes, 3u);
  EXPECT_EQ(facts.rowStride, 4u);
  EXPECT_EQ(facts.imageSize, 12u);

  // A layout the shuffler does not take leaves the facts alone.
  bmp::BlockLayout rle = layout;
  rle.compression = bmp::kBiRle8;  // with 4 bits
  facts.width = -7;
  EXPECT_FALSE(mirtav::FactsFromLayout(rle, block.size(), 0, &facts));
  EXPECT_EQ(facts.width, -7);
}
