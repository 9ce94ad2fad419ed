// Tests of bmpgen: the BMP and ICO byte layouts, the source parsers' refusals,
// the button states, and the project's own picture sources.

#define BMPGEN_NO_MAIN
#include "tools/bmpgen/bmpgen.cpp"

#include <gtest/gtest.h>

#include <set>

using namespace bmpgen;

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

// Independent reading of an uncompressed 4/8-bit BMP made by EncodeBmp.
uint8_t PixelOf(const std::vector<uint8_t>& file, int x, int y) {
  const uint32_t offset = U32(file, 10), width = U32(file, 18), height = U32(file, 22);
  const uint16_t bits = U16(file, 28);
  const uint32_t stride = (width * bits + 31) / 32 * 4;
  const size_t row = offset + size_t(height - 1 - uint32_t(y)) * stride;
  if (bits == 8) return file[row + size_t(x)];
  const uint8_t both = file[row + size_t(x / 2)];
  return x % 2 ? both & 0x0F : both >> 4;
}

Image Pattern(int w, int h, int bits) {
  Image img(w, h, bits);
  img.palette.resize(bits == 4 ? 16 : 200);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.set(x, y, uint8_t((x * 7 + y * 3) % (bits == 4 ? 16 : 200)));
  return img;
}

std::string Src(const std::string& rel) { return std::string(SOURCE_DIR) + "/" + rel; }

}  // namespace

TEST(BmpLayout, HeaderOfA3x2SixteenColourPicture) {
  Image img(3, 2, 4);
  img.palette = {{0x10, 0x20, 0x30}, {0xFF, 0xFF, 0xFF}};
  img.set(0, 0, 1);  // top-left
  const auto f = EncodeBmp(img);
  // 14 file header + 40 info header + 16 x 4 colour table + 2 rows of 4 bytes
  ASSERT_EQ(f.size(), 14u + 40 + 64 + 8);
  EXPECT_EQ(f[0], 'B');
  EXPECT_EQ(f[1], 'M');
  EXPECT_EQ(U32(f, 2), f.size());    // file size
  EXPECT_EQ(U32(f, 10), 118u);       // pixel offset
  EXPECT_EQ(U32(f, 14), 40u);        // info header size
  EXPECT_EQ(U32(f, 18), 3u);         // width
  EXPECT_EQ(U32(f, 22), 2u);         // height, positive: bottom-up
  EXPECT_EQ(U16(f, 26), 1u);         // planes
  EXPECT_EQ(U16(f, 28), 4u);         // bits
  EXPECT_EQ(U32(f, 30), 0u);         // BI_RGB
  EXPECT_EQ(U32(f, 34), 8u);         // image size
  EXPECT_EQ(U32(f, 46), 16u);        // colours used
  EXPECT_EQ(f[54], 0x30);            // first entry blue, green, red, 0
  EXPECT_EQ(f[55], 0x20);
  EXPECT_EQ(f[56], 0x10);
  EXPECT_EQ(f[57], 0);
  // Top row is stored last; its first pixel in the high nibble.
  EXPECT_EQ(f[118 + 4], 0x10);
  EXPECT_EQ(f[118], 0x00);
}

TEST(BmpLayout, PixelsReadBackForManyWidthsAndBothDepths) {
  for (int bits : {4, 8})
    for (int w = 1; w <= 9; ++w) {
      const Image img = Pattern(w, 3, bits);
      const auto f = EncodeBmp(img);
      ASSERT_EQ(f.size(), U32(f, 10) + RowStride(w, bits) * 3) << "width " << w;
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < w; ++x)
          ASSERT_EQ(PixelOf(f, x, y), img.at(x, y)) << bits << " bits, width " << w << " at " << x << "," << y;
    }
}

TEST(BmpLayout, RefusesPixelsOutsideThePalette) {
  Image img(2, 2, 4);
  img.palette.resize(3);
  img.set(1, 1, 5);
  EXPECT_THROW(EncodeBmp(img), Error);
}

TEST(IcoLayout, MaskMarksExactlyTheTransparentPixels) {
  Image big(32, 32, 4, 2), small(16, 16, 4, 2);
  big.palette = small.palette = {{0, 0, 0}, {255, 0, 255}, {255, 0, 0}};
  big.set(0, 0, 1);    // top-left transparent
  big.set(31, 31, 1);  // bottom-right transparent
  const auto ico = EncodeIco({big, small}, 1);
  EXPECT_EQ(U16(ico, 2), 1u);  // icon
  ASSERT_EQ(U16(ico, 4), 2u);  // two images
  EXPECT_EQ(ico[6], 32);
  EXPECT_EQ(ico[6 + 16], 16);
  const uint32_t at = U32(ico, 6 + 12), bytes = U32(ico, 6 + 8);
  ASSERT_EQ(at + bytes, U32(ico, 6 + 16 + 12));  // second follows the first
  EXPECT_EQ(U32(ico, at + 8), 64u);               // height doubled for the mask
  const size_t xorBits = at + 40 + 64, mask = xorBits + 16 * 32;
  EXPECT_EQ(bytes, 40u + 64 + 16 * 32 + 4 * 32);
  // Mask rows are bottom-up, 4 bytes each: (0,0) is the first bit of the last row.
  EXPECT_EQ(ico[mask + 31 * 4], 0x80);
  EXPECT_EQ(ico[mask + 3], 0x01);  // (31,31): last bit of the first row
  int set = 0;
  for (size_t i = mask; i < mask + 128; ++i)
    for (int b = 0; b < 8; ++b) set += (ico[i] >> b) & 1;
  EXPECT_EQ(set, 2);
  EXPECT_EQ(ico[xorBits + 31 * 16] >> 4, 0);  // transparent colour bits are 0
}

TEST(GlyphSource, RefusalsNameTheLine) {
  auto message = [](const std::vector<std::string>& lines) {
    try {
      ParseGlyphs(lines, "g.txt");
    } catch (const Error& e) {
      return std::string(e.what());
    }
    return std::string("accepted");
  };
  EXPECT_EQ(message({"glyph A 2 1", "k.", "end"}), "accepted");
  EXPECT_NE(message({"glyph A 2 1", "k", "end"}).find("g.txt:2:"), std::string::npos);
  EXPECT_NE(message({"glyph A 2 1", "kz", "end"}).find("unknown colour letter 'z'"), std::string::npos);
  EXPECT_NE(message({"glyph A 2 1", "kk"}).find("needs 'end'"), std::string::npos);
  EXPECT_NE(message({"glyph A 2 1", "kk", "end", "glyph A 1 1", "k", "end"}).find("defined twice"),
            std::string::npos);
  EXPECT_NE(message({"glyph A 40 1"}).find("at most"), std::string::npos);
}

TEST(SceneSource, RefusalsNameTheLine) {
  auto message = [](const std::vector<std::string>& lines) {
    try {
      ParseScene(lines, "s.txt");
    } catch (const Error& e) {
      return std::string(e.what());
    }
    return std::string("accepted");
  };
  EXPECT_EQ(message({"canvas 4 4 4", "colour a 000000", "fill a"}), "accepted");
  EXPECT_NE(message({"colour a 000000"}).find("canvas must come first"), std::string::npos);
  EXPECT_NE(message({"canvas 4 4 4", "fill b"}).find("s.txt:2: unknown colour b"), std::string::npos);
  EXPECT_NE(message({"canvas 4 4 4", "ramp r 000000 FFFFFF 17"}).find("palette is full"), std::string::npos);
  EXPECT_NE(message({"canvas 4 4 4", "colour a 00000G"}).find("RRGGBB"), std::string::npos);
  EXPECT_NE(message({"canvas 4 4 4", "colour a 000000", "text 0 0 1 a - \"Q\""}).find("no glyph"),
            std::string::npos);
  EXPECT_NE(message({"canvas 4 4 4", "blur 3"}).find("unknown command"), std::string::npos);
}

TEST(SceneSource, ShapesStayInsideTheCanvas) {
  // Shapes reaching past every edge are clipped, not written out of bounds.
  Scene s = ParseScene({"canvas 8 6 8", "colour bg 000000", "colour a FF0000", "fill bg",
                        "rect -3 -3 20 2 a", "disc 7 5 6 a", "thick -5 0 20 9 2 a"},
                       "s.txt");
  EXPECT_EQ(s.image.pixels.size(), 48u);
  EXPECT_EQ(s.image.at(0, 0), 1);
  EXPECT_EQ(s.image.at(7, 5), 1);
}

class Buttons : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { glyphs = new auto(ParseGlyphs(ReadLines(Src("resources/common/glyphs.txt")), "glyphs")); }
  static std::map<std::string, Glyph>* glyphs;
};
std::map<std::string, Glyph>* Buttons::glyphs = nullptr;

TEST_F(Buttons, EveryNameOfBothProgramsInEveryVariantAndState) {
  const std::vector<std::string> names = {"Gap", "Open", "ZmOut", "ZmIn", "PopupW", "Copy", "SaveAs",
                                          "About", "Help", "Exit", "Space", "PalRd"};
  for (const auto& base : names)
    for (const auto& v : Variants())
      for (State s : {State::Up, State::Dn, State::In}) {
        const Image img = MakeButton(base, v, s, *glyphs);
        const int w = base == "Gap" ? 16 : base == "Space" ? 2000 : 32;
        EXPECT_EQ(img.width, w) << base << v << StateName(s);
        EXPECT_EQ(img.height, 20) << base << v << StateName(s);
        EXPECT_EQ(img.bits, 4);
        EXPECT_NO_THROW(EncodeBmp(img)) << base << v << StateName(s);
      }
}

TEST_F(Buttons, CommandsLookDifferentAndVariantsLookDifferent) {
  const std::vector<std::string> commands = {"Open", "ZmOut", "ZmIn", "PopupW", "Copy",
                                             "SaveAs", "About", "Help", "Exit", "PalRd"};
  for (const auto& v : Variants()) {
    std::set<std::vector<uint8_t>> seen;
    for (const auto& c : commands) seen.insert(MakeButton(c, v, State::Up, *glyphs).pixels);
    EXPECT_EQ(seen.size(), commands.size()) << "variant '" << v << "'";
  }
  std::set<std::vector<uint8_t>> looks;
  for (const auto& v : Variants()) looks.insert(EncodeBmp(MakeButton("Open", v, State::Up, *glyphs)));
  EXPECT_EQ(looks.size(), 4u);
}

TEST_F(Buttons, PressedShiftsTheGlyphOnePixelDownRight) {
  for (const auto& v : Variants()) {
    const Image up = MakeButton("Open", v, State::Up, *glyphs);
    const Image dn = MakeButton("Open", v, State::Dn, *glyphs);
    const Glyph& g = glyphs->at("Open");
    const int ox = (32 - g.width) / 2, oy = (20 - g.height) / 2;
    for (int y = 0; y < g.height; ++y)
      for (int x = 0; x < g.width; ++x)
        if (g.at(x, y) != kTransparent) {
          ASSERT_EQ(up.at(ox + x, oy + y), g.at(x, y)) << v;
          ASSERT_EQ(dn.at(ox + x + 1, oy + y + 1), g.at(x, y)) << v;
        }
    // The bevel turns over: the top edge is no longer the light one (XP:
    // the rim stays, the shading under it turns over).
    const int edge = v == "X" ? 1 : 0;
    EXPECT_NE(up.at(5, edge), dn.at(5, edge)) << "variant '" << v << "'";
  }
}

TEST_F(Buttons, DisabledKeepsNoGlyphColour) {
  const std::set<uint8_t> bright = {1, 2, 3, 4, 5, 8, 10, 11};  // maroon .. blue
  for (const auto& v : Variants())
    for (const auto& c : {"Open", "PopupW", "SaveAs", "Exit", "PalRd"}) {
      const Image in = MakeButton(c, v, State::In, *glyphs);
      const Image up = MakeButton(c, v, State::Up, *glyphs);
      for (uint8_t p : in.pixels) ASSERT_EQ(bright.count(p), 0u) << c << v << " has colour " << int(p);
      EXPECT_NE(in.pixels, up.pixels);
      EXPECT_NE(std::count(in.pixels.begin(), in.pixels.end(), kDarkGrey), 0) << c << v << ": glyph vanished";
    }
}

TEST(ProjectPictures, LogosAndIconsHaveTheirSizes) {
  struct Case {
    const char* file;
    int w, h;
    bool icon;
  } cases[] = {{"resources/kestro98/logo.txt", 253, 221, false}, {"resources/mirtav00/logo.txt", 306, 232, false},
               {"resources/kestro98/icon32.txt", 32, 32, true},  {"resources/kestro98/icon16.txt", 16, 16, true},
               {"resources/mirtav00/icon32.txt", 32, 32, true},  {"resources/mirtav00/icon16.txt", 16, 16, true}};
  for (const Case& c : cases) {
    const Scene s = ParseScene(ReadScene(Src(c.file)), c.file);
    EXPECT_EQ(s.image.width, c.w) << c.file;
    EXPECT_EQ(s.image.height, c.h) << c.file;
    if (c.icon) {
      EXPECT_EQ(s.image.bits, 4) << c.file;
      EXPECT_GE(s.transparent, 0) << c.file;
      EXPECT_NO_THROW(EncodeIco({s.image}, s.transparent)) << c.file;
    } else {
      EXPECT_NO_THROW(EncodeBmp(s.image)) << c.file;
    }
    // A picture, not a blank: several colours are used.
    EXPECT_GE(std::set<uint8_t>(s.image.pixels.begin(), s.image.pixels.end()).size(), 4u) << c.file;
  }
}
