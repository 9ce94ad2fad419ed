// The Open command's check chain on header bytes, the image-information line
// and the file name of the title, each against the cases the editor's users
// meet.
#include "kestro98/core/open_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using kestro::OpenVerdict;

// A BMP file header, information header and colour table of `colours` entries.
std::vector<uint8_t> Header(uint8_t bits, uint32_t used, int32_t w, int32_t h, int colours) {
  std::vector<uint8_t> b(54 + 4 * colours, 0);
  b[0] = 'B'; b[1] = 'M';
  b[14] = 40;                                         // biSize
  std::memcpy(&b[18], &w, 4);                         // biWidth (little-endian host)
  std::memcpy(&b[22], &h, 4);                         // biHeight
  b[26] = 1;                                          // biPlanes
  b[28] = bits;                                       // biBitCount
  std::memcpy(&b[46], &used, 4);                      // biClrUsed
  return b;
}

TEST(OpenChecks, VerdictsInTheOrderOfTheChain) {
  struct Case { std::vector<uint8_t> bytes; OpenVerdict want; int32_t count; const char* what; };
  std::vector<Case> cases = {
      {Header(4, 0, 320, 200, 16), OpenVerdict::kOk, 16, "4-bit picture"},
      {Header(1, 0, 33, 2, 2), OpenVerdict::kOk, 2, "1-bit picture"},
      {Header(8, 16, 10, 10, 16), OpenVerdict::kOk, 16, "8-bit listing 16 colours"},
      {Header(8, 0, 10, -10, 256), OpenVerdict::kOk, 256, "top-down passes"},
      {Header(4, 12, 10, 10, 16), OpenVerdict::kWrongColourCount, 0, "12 colours"},
      {Header(24, 16, 10, 10, 16), OpenVerdict::kNoColourTable, 0, "24 bits before colours-used"},
      {Header(8, 0, 0, 10, 256), OpenVerdict::kZeroSize, 0, "zero width"},
      {Header(8, 0, 10, 0, 256), OpenVerdict::kZeroSize, 0, "zero height"},
      {Header(8, 0, 10, 10, 16), OpenVerdict::kBadFormat, 0, "colour table cut short"},
  };
  Case bad{Header(8, 0, 10, 10, 256), OpenVerdict::kBadFormat, 0, "info size 12"};
  bad.bytes[14] = 12;
  cases.push_back(bad);
  Case cut{Header(8, 0, 10, 10, 0), OpenVerdict::kBadFormat, 0, "header cut short"};
  cut.bytes.resize(40);
  cases.push_back(cut);
  Case magic{Header(8, 0, 10, 10, 256), OpenVerdict::kBadFormat, 0, "not BM"};
  magic.bytes[1] = 'A';
  cases.push_back(magic);
  for (const Case& c : cases) {
    int32_t count = 0;
    EXPECT_EQ(kestro::CheckHeader(c.bytes.data(), c.bytes.size(), &count), c.want) << c.what;
    EXPECT_EQ(count, c.count) << c.what;
  }
  EXPECT_STREQ(kestro::OpenMessage(OpenVerdict::kZeroSize).text.english,
               "Unable to process a bitmap with zero width or height.");
  EXPECT_EQ(kestro::OpenMessage(OpenVerdict::kWrongExtension).icon, MessageIcon::kWarning);
}

TEST(OpenChecks, ExtensionAndFileName) {
  EXPECT_TRUE(kestro::HasBmpExtension("C:\\pics\\photo.Bmp"));
  EXPECT_FALSE(kestro::HasBmpExtension("C:\\pics\\photo.bmp.txt"));
  EXPECT_FALSE(kestro::InfoPathAccepted(".bmp"));
  EXPECT_TRUE(kestro::InfoPathAccepted("a.bMp"));
  EXPECT_EQ(kestro::FileNameOfPath("C:\\pics\\LEAF.BMP", false), "LEAF.BMP");
  EXPECT_EQ(kestro::FileNameOfPath("LEAF.BMP", false), "LEAF.BMP");
  // "表" is 0x95 0x5C in Shift-JIS: its trail byte is no folder separator.
  const std::string sjis = "C:\\\x95\x5C.bmp";
  EXPECT_EQ(kestro::FileNameOfPath(sjis, true), "\x95\x5C.bmp");
  EXPECT_EQ(kestro::FileNameOfPath(sjis, false), ".bmp");
}

TEST(ImageInformation, LinesOfTheDialog) {
  struct Case { uint8_t bits; uint8_t compression; int want; const char* text; };
  const Case cases[] = {
      {4, 0, 2, "320(W) x 200(H) x 16(Colors) RGB (32118 Bytes)"},
      {24, 0, 2, "320(W) x 200(H) x 16M(Colors) RGB (32118 Bytes)"},
      {16, 0, 2, "320(W) x 200(H) x (Colors) RGB (32118 Bytes)"},
      {8, 1, 2, "320(W) x 200(H) x 256(Colors) RLE (32118 Bytes)"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> b = Header(c.bits, 0, 320, 200, 0);
    b[30] = c.compression;
    std::string text;
    EXPECT_EQ(kestro::ImageInformation(b.data(), b.size(), 32118, &text), c.want);
    EXPECT_EQ(text, c.text);
  }
  std::string text = "unchanged";
  const uint8_t notBmp[40] = {'G', 'I', 'F'};
  EXPECT_EQ(kestro::ImageInformation(notBmp, sizeof notBmp, 40, &text), 1);
  EXPECT_EQ(text, "unchanged");
  EXPECT_EQ(kestro::ImageInformation(Header(4, 0, 1, 1, 0).data(), 30, 30, &text), 1)
      << "too short to hold the bit count";
}

}  // namespace
