// The Open command's check chain on header bytes, the image-information line
// and the file name of the title, each against the cases the editor's users
// meet.
#include "kestro98/core/open_rules.h"
#include "common/base/core/path_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using kestro::OpenVerdict;

// A BMP file header, information header of `infoSize` bytes (12: the core
// header) and colour table of `colours` entries.
std::vector<uint8_t> Header(uint8_t bits, uint32_t used, int32_t w, int32_t h, int colours,
                            uint32_t infoSize = 40) {
  const uint32_t entry = infoSize == 12 ? 3 : 4;
  std::vector<uint8_t> b(14 + infoSize + entry * colours, 0);
  b[0] = 'B'; b[1] = 'M';
  const uint32_t offBits = 14 + infoSize + entry * colours;
  std::memcpy(&b[10], &offBits, 4);                   // bfOffBits
  std::memcpy(&b[14], &infoSize, 4);                  // biSize
  if (infoSize == 12) {
    std::memcpy(&b[18], &w, 2);                       // bcWidth
    std::memcpy(&b[20], &h, 2);                       // bcHeight
    b[22] = 1;                                        // bcPlanes
    b[24] = bits;                                     // bcBitCount
    return b;
  }
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
      {Header(4, 12, 10, 10, 12), OpenVerdict::kOk, 12, "4-bit listing 12 colours"},
      {Header(8, 100, 10, 10, 100, 124), OpenVerdict::kOk, 100, "version 5, 100 colours"},
      {Header(8, 252, 10, 10, 252, 56), OpenVerdict::kOk, 252, "56 bytes, 252 colours"},
      {Header(1, 0, 10, 10, 2, 108), OpenVerdict::kOk, 2, "version 4, 1 bit"},
      {Header(4, 0, 10, 10, 16, 52), OpenVerdict::kOk, 16, "52 bytes, 4 bits"},
      {Header(8, 0, 10, 10, 256, 12), OpenVerdict::kOk, 256, "core header, 8 bits"},
      {Header(4, 0, 10, 10, 12, 12), OpenVerdict::kOk, 12, "core header listing 12"},
      {Header(8, 1, 10, 10, 1, 124), OpenVerdict::kOk, 1, "one colour"},
      {Header(4, 17, 10, 10, 17), OpenVerdict::kWrongColourCount, 0, "4 bits listing 17"},
      {Header(1, 3, 10, 10, 3, 124), OpenVerdict::kWrongColourCount, 0, "1 bit listing 3"},
      {Header(8, 0, 0, 10, 256, 12), OpenVerdict::kZeroSize, 0, "core header, zero width"},
      {Header(8, 100, 10, 10, 99, 124), OpenVerdict::kBadFormat, 0, "version 5 table cut short"},
      {Header(24, 16, 10, 10, 16), OpenVerdict::kNoColourTable, 0, "24 bits before colours-used"},
      {Header(8, 0, 0, 10, 256), OpenVerdict::kZeroSize, 0, "zero width"},
      {Header(8, 0, 10, 0, 256), OpenVerdict::kZeroSize, 0, "zero height"},
      {Header(8, 0, 10, 10, 16), OpenVerdict::kBadFormat, 0, "colour table cut short"},
  };
  for (uint8_t size : {64, 41, 0}) {
    Case bad{Header(8, 0, 10, 10, 256), OpenVerdict::kBadFormat, 0, "info size 64, 41, 0"};
    bad.bytes[14] = size;
    cases.push_back(bad);
  }
  Case cutV5{Header(8, 0, 10, 10, 0, 124), OpenVerdict::kBadFormat, 0, "version 5 cut short"};
  cutV5.bytes.resize(100);
  cases.push_back(cutV5);
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
  EXPECT_TRUE(kestro::InfoPathAccepted("a.PnG"));
  for (const char* path : {"C:\\a.png", "C:\\A.PNG", "C:\\b.bmp"}) EXPECT_TRUE(kestro::HasPictureExtension(path)) << path;
  for (const char* path : {"C:\\a.png.txt", "C:\\a.pn", "C:\\a.gif", "C:\\png"})
    EXPECT_FALSE(kestro::HasPictureExtension(path)) << path;
  EXPECT_EQ(std::string(path_text::FileNameOf("C:\\pics\\LEAF.BMP", false)), "LEAF.BMP");
  EXPECT_EQ(std::string(path_text::FileNameOf("LEAF.BMP", false)), "LEAF.BMP");
  // "表" is 0x95 0x5C in Shift-JIS: its trail byte is no folder separator.
  const std::string sjis = "C:\\\x95\x5C.bmp";
  EXPECT_EQ(std::string(path_text::FileNameOf(sjis.c_str(), true)), "\x95\x5C.bmp");
  EXPECT_EQ(std::string(path_text::FileNameOf(sjis.c_str(), false)), ".bmp");
}

TEST(ImageInformation, LinesOfTheDialog) {
  struct Case { uint8_t bits; uint8_t compression; const char* text; };
  const Case cases[] = {
      {4, 0, "320(W) x 200(H) x 16(Colors) RGB (32118 Bytes)"},
      {24, 0, "320(W) x 200(H) x 16M(Colors) RGB (32118 Bytes)"},
      {16, 0, "320(W) x 200(H) x (Colors) RGB (32118 Bytes)"},
      {8, 1, "320(W) x 200(H) x 256(Colors) RLE (32118 Bytes)"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> b = Header(c.bits, 0, 320, 200, 0);
    b[30] = c.compression;
    std::string text;
    EXPECT_EQ(kestro::ImageInformation(b.data(), b.size(), 32118, &text), kestro::InfoVerdict::kDescribed);
    EXPECT_EQ(text, c.text);
  }
  std::string text = "unchanged";
  const uint8_t notBmp[40] = {'G', 'I', 'F'};
  EXPECT_EQ(kestro::ImageInformation(notBmp, sizeof notBmp, 40, &text), kestro::InfoVerdict::kNotBitmap);
  EXPECT_EQ(text, "unchanged");
  EXPECT_EQ(kestro::ImageInformation(Header(4, 0, 1, 1, 0).data(), 30, 30, &text), kestro::InfoVerdict::kNotBitmap)
      << "too short to hold the bit count";
}

// A PNG's line from its signature and IHDR (320 x 200); a front that is no
// PNG's is not described.
TEST(ImageInformation, LinesOfPngPictures) {
  struct Case { uint8_t depth, colourType; size_t at; uint8_t value, size; const char* text; };
  const Case cases[] = {
      {4, 3, 0, 0x89, 33, "320(W) x 200(H) x 16(Colors) PNG (32118 Bytes)"},
      {1, 3, 0, 0x89, 33, "320(W) x 200(H) x 2(Colors) PNG (32118 Bytes)"},
      {2, 3, 0, 0x89, 29, "320(W) x 200(H) x 4(Colors) PNG (32118 Bytes)"},
      {8, 0, 0, 0x89, 33, "320(W) x 200(H) x 256(Colors) PNG (32118 Bytes)"},
      {16, 0, 0, 0x89, 33, "320(W) x 200(H) x (Colors) PNG (32118 Bytes)"},
      {8, 2, 0, 0x89, 33, "320(W) x 200(H) x 16M(Colors) PNG (32118 Bytes)"},
      {16, 6, 0, 0x89, 33, "320(W) x 200(H) x 16M(Colors) PNG (32118 Bytes)"},
      {8, 3, 1, 'Q', 33, nullptr},   // signature
      {8, 3, 12, 'i', 33, nullptr},  // first chunk not IHDR
      {8, 3, 11, 14, 33, nullptr},   // IHDR length
      {8, 3, 0, 0x89, 28, nullptr},  // cut inside IHDR
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                              0, 0, 0x01, 0x40, 0, 0, 0, 200, c.depth, c.colourType, 0, 0, 1, 0, 0, 0, 0};
    b[c.at] = c.value;
    std::string text = "unchanged";
    EXPECT_EQ(kestro::ImageInformation(b.data(), c.size, 32118, &text),
              c.text != nullptr ? kestro::InfoVerdict::kDescribed : kestro::InfoVerdict::kNotBitmap);
    EXPECT_EQ(text, c.text != nullptr ? c.text : "unchanged") << int(c.depth) << " " << int(c.colourType);
  }
}

}  // namespace
