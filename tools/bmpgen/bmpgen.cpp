// bmpgen: turns the programs' picture sources (text) into the BMP and ICO
// files their resource scripts include. Built with the host compiler during
// the Windows builds, so it uses nothing beyond the standard library.
//
//   bmpgen buttons GLYPHS OUTDIR RCFILE NAME...
//       every NAME x variant ("", "9", "8", "X") x state (Up, Dn, In) as a
//       16-colour BMP in OUTDIR, and RCFILE listing them as BITMAP resources
//   bmpgen scene SCENE OUT.bmp      a drawing description -> 16/256-colour BMP
//   bmpgen icon SCENE32 SCENE16 OUT.ico
//
// Every error names the file and line and makes the tool exit non-zero, so a
// broken source stops the build instead of producing a wrong picture.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace bmpgen {

struct Error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

// An indexed picture: palette plus one palette index per pixel, top row first.
struct Image {
  int width = 0, height = 0;
  int bits = 4;  // 4 or 8
  std::vector<Rgb> palette;
  std::vector<uint8_t> pixels;

  Image() = default;
  Image(int w, int h, int b, uint8_t fill = 0)
      : width(w), height(h), bits(b), pixels(size_t(w) * size_t(h), fill) {}
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  uint8_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  void set(int x, int y, uint8_t v) {
    if (inside(x, y)) pixels[size_t(y) * size_t(width) + size_t(x)] = v;
  }
};

inline void PutU16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v & 0xFF));
  out.push_back(uint8_t((v >> 8) & 0xFF));
}
inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, (v >> 16) & 0xFFFF);
}

inline uint32_t RowStride(int width, int bits) {
  return ((uint32_t(width) * uint32_t(bits) + 31) / 32) * 4;
}

// 40-byte information header + colour table + bottom-up rows. heightField is
// the height written in the header (an icon's image doubles it for the mask).
inline void AppendDib(std::vector<uint8_t>& out, const Image& img, int32_t heightField,
                      uint32_t extraBytes) {
  const uint32_t colours = 1u << img.bits;
  const uint32_t stride = RowStride(img.width, img.bits);
  const uint32_t imageSize = stride * uint32_t(img.height);
  PutU32(out, 40);
  PutU32(out, uint32_t(img.width));
  PutU32(out, uint32_t(heightField));
  PutU16(out, 1);
  PutU16(out, uint32_t(img.bits));
  PutU32(out, 0);  // BI_RGB
  PutU32(out, imageSize + extraBytes);
  PutU32(out, 2835);  // 72 dpi
  PutU32(out, 2835);
  PutU32(out, colours);
  PutU32(out, 0);
  for (uint32_t i = 0; i < colours; ++i) {
    Rgb c = i < img.palette.size() ? img.palette[i] : Rgb{};
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
  for (int y = img.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(stride, 0);
    for (int x = 0; x < img.width; ++x) {
      uint8_t v = img.at(x, y);
      if (img.bits == 8) {
        row[size_t(x)] = v;
      } else {
        row[size_t(x / 2)] |= uint8_t((v & 0x0F) << ((x % 2) ? 0 : 4));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

inline void CheckImage(const Image& img) {
  if (img.bits != 4 && img.bits != 8) throw Error("only 4- and 8-bit pictures are written");
  if (img.width <= 0 || img.height <= 0) throw Error("picture has no pixels");
  if (img.palette.size() > (1u << img.bits)) throw Error("more palette entries than the depth holds");
  const uint32_t limit = 1u << img.bits;
  for (uint8_t v : img.pixels)
    if (v >= limit || v >= std::max<size_t>(img.palette.size(), 1))
      throw Error("pixel refers to an undefined palette entry");
}

inline std::vector<uint8_t> EncodeBmp(const Image& img) {
  CheckImage(img);
  const uint32_t headerBytes = 14 + 40 + 4 * (1u << img.bits);
  const uint32_t imageSize = RowStride(img.width, img.bits) * uint32_t(img.height);
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutU32(out, headerBytes + imageSize);
  PutU32(out, 0);
  PutU32(out, headerBytes);
  AppendDib(out, img, img.height, 0);
  return out;
}

// Icon directory with one 4-bit image per picture; colour index `transparent`
// becomes a set bit in the AND mask and black in the colour bits.
inline std::vector<uint8_t> EncodeIco(const std::vector<Image>& images, int transparent) {
  std::vector<std::vector<uint8_t>> bodies;
  for (const Image& src : images) {
    if (src.bits != 4) throw Error("icon pictures must be 16-colour");
    if (src.width > 255 || src.height > 255) throw Error("icon picture too large");
    CheckImage(src);
    Image img = src;
    const uint32_t maskStride = RowStride(img.width, 1);
    std::vector<uint8_t> mask(maskStride * uint32_t(img.height), 0);
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x)
        if (img.at(x, y) == transparent) {
          const int row = img.height - 1 - y;
          mask[size_t(row) * maskStride + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
          img.set(x, y, 0);
        }
    if (!img.palette.empty() && transparent >= 0 && size_t(transparent) < img.palette.size())
      img.palette[size_t(transparent)] = Rgb{};
    std::vector<uint8_t> body;
    AppendDib(body, img, img.height * 2, uint32_t(mask.size()));
    body.insert(body.end(), mask.begin(), mask.end());
    bodies.push_back(std::move(body));
  }
  std::vector<uint8_t> out;
  PutU16(out, 0);
  PutU16(out, 1);  // icon
  PutU16(out, uint32_t(images.size()));
  uint32_t offset = 6 + 16 * uint32_t(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(uint8_t(images[i].width));
    out.push_back(uint8_t(images[i].height));
    out.push_back(16);  // colours
    out.push_back(0);
    PutU16(out, 1);  // planes
    PutU16(out, 4);  // bits
    PutU32(out, uint32_t(bodies[i].size()));
    PutU32(out, offset);
    offset += uint32_t(bodies[i].size());
  }
  for (const auto& b : bodies) out.insert(out.end(), b.begin(), b.end());
  return out;
}

inline std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Error(path + ": cannot be read");
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Lines of a scene with "include FILE" lines replaced by that file (relative
// to the including file), so the logos and icons share one letter set.
inline std::vector<std::string> ReadScene(const std::string& path, int depth = 0) {
  if (depth > 4) throw Error(path + ": includes nest too deep");
  std::vector<std::string> out;
  const std::string dir = path.find('/') == std::string::npos ? "" : path.substr(0, path.rfind('/') + 1);
  for (const std::string& line : ReadLines(path)) {
    if (line.rfind("include ", 0) == 0) {
      std::vector<std::string> inner = ReadScene(dir + line.substr(8), depth + 1);
      out.insert(out.end(), inner.begin(), inner.end());
    } else {
      out.push_back(line);
    }
  }
  return out;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string tmp = path + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) throw Error(tmp + ": cannot be created");
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out) throw Error(tmp + ": write failed");
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) throw Error(path + ": cannot be replaced");
}

// ---------------------------------------------------------------- glyphs ----

// Colours a glyph may use, by legend letter. The button palettes keep these at
// fixed indices so glyphs look the same in every variant.
struct GlyphColour {
  char letter;
  uint8_t index;
  Rgb rgb;
};
inline const std::vector<GlyphColour>& GlyphColours() {
  static const std::vector<GlyphColour> table = {
      {'k', 0, {0x00, 0x00, 0x00}},  {'m', 1, {0x80, 0x00, 0x00}},
      {'g', 2, {0x00, 0x80, 0x00}},  {'o', 3, {0x80, 0x80, 0x00}},
      {'n', 4, {0x00, 0x00, 0x80}},  {'t', 5, {0x00, 0x80, 0x80}},
      {'d', 6, {0x80, 0x80, 0x80}},  {'l', 7, {0xC0, 0xC0, 0xC0}},
      {'r', 8, {0xFF, 0x00, 0x00}},  {'y', 10, {0xFF, 0xFF, 0x00}},
      {'b', 11, {0x00, 0x00, 0xFF}}, {'w', 15, {0xFF, 0xFF, 0xFF}},
  };
  return table;
}
// Palette slots 9, 12, 13 and 14 belong to the frame of each variant.
enum : uint8_t { kBlack = 0, kDarkGrey = 6, kLightGrey = 7, kWhite = 15, kE0 = 9, kE1 = 12, kE2 = 13, kE3 = 14 };
constexpr int kTransparent = -1;

struct Glyph {
  int width = 0, height = 0;
  std::vector<int> cells;  // palette index or kTransparent
  int at(int x, int y) const { return cells[size_t(y) * size_t(width) + size_t(x)]; }
};

// "glyph NAME W H", then H rows of exactly W legend letters ('.' clear), "end".
inline std::map<std::string, Glyph> ParseGlyphs(const std::vector<std::string>& lines,
                                                const std::string& file) {
  std::map<std::string, Glyph> glyphs;
  auto fail = [&](size_t n, const std::string& what) {
    throw Error(file + ":" + std::to_string(n + 1) + ": " + what);
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    std::istringstream words(lines[i]);
    std::string word;
    if (!(words >> word) || word[0] == '#') continue;
    if (word != "glyph") fail(i, "expected 'glyph NAME W H'");
    std::string name;
    Glyph g;
    if (!(words >> name >> g.width >> g.height) || g.width <= 0 || g.height <= 0 ||
        g.width > 28 || g.height > 16)
      fail(i, "glyph needs a name and a size of at most 28 x 16");
    if (glyphs.count(name)) fail(i, "glyph " + name + " defined twice");
    for (int row = 0; row < g.height; ++row) {
      ++i;
      if (i >= lines.size()) fail(i - 1, "glyph " + name + " ends early");
      const std::string& text = lines[i];
      if (int(text.size()) != g.width) fail(i, "row of glyph " + name + " is not " + std::to_string(g.width) + " wide");
      for (char c : text) {
        if (c == '.') {
          g.cells.push_back(kTransparent);
          continue;
        }
        auto& colours = GlyphColours();
        auto it = std::find_if(colours.begin(), colours.end(),
                               [c](const GlyphColour& gc) { return gc.letter == c; });
        if (it == colours.end()) fail(i, std::string("unknown colour letter '") + c + "'");
        g.cells.push_back(it->index);
      }
    }
    ++i;
    if (i >= lines.size() || lines[i] != "end") fail(i < lines.size() ? i : i - 1, "glyph " + name + " needs 'end'");
    glyphs[name] = std::move(g);
  }
  return glyphs;
}

// --------------------------------------------------------------- buttons ----

enum class State { Up, Dn, In };
inline const char* StateName(State s) { return s == State::Up ? "Up" : s == State::Dn ? "Dn" : "In"; }
inline const std::vector<std::string>& Variants() {
  static const std::vector<std::string> v = {"", "9", "8", "X"};
  return v;
}

inline std::vector<Rgb> ButtonPalette(const std::string& variant) {
  std::vector<Rgb> p(16);
  for (const auto& gc : GlyphColours()) p[gc.index] = gc.rgb;
  if (variant == "") {          // 95/98/NT 4: grey face, hard two-step bevel
    p[kE0] = {0xC0, 0xC0, 0xC0};  // face
    p[kE1] = {0xDF, 0xDF, 0xDF};  // inner light
    p[kE2] = {0x80, 0x80, 0x80};
    p[kE3] = {0x00, 0x00, 0x00};
  } else if (variant == "9") {  // Me: same grey, lighter edge, cut corners
    p[kE0] = {0xC0, 0xC0, 0xC0};
    p[kE1] = {0xE8, 0xE8, 0xE8};
    p[kE2] = {0xA0, 0xA0, 0xA0};
    p[kE3] = {0x40, 0x40, 0x40};
  } else if (variant == "8") {  // 2000: warm grey, flat one-step bevel
    p[kE0] = {0xD4, 0xD0, 0xC8};
    p[kE1] = {0xE8, 0xE6, 0xE0};
    p[kE2] = {0x80, 0x80, 0x80};
    p[kE3] = {0x40, 0x40, 0x40};
  } else {                      // XP: beige bar, rounded blue-rimmed buttons
    p[kE0] = {0xEC, 0xE9, 0xD8};
    p[kE1] = {0x00, 0x3C, 0x74};
    p[kE2] = {0xF4, 0xF3, 0xEE};
    p[kE3] = {0xD6, 0xD0, 0xC5};
  }
  return p;
}

inline int Luma(const Rgb& c) { return (c.r * 30 + c.g * 59 + c.b * 11) / 100; }

inline void HLine(Image& img, int x0, int x1, int y, uint8_t c) {
  for (int x = x0; x <= x1; ++x) img.set(x, y, c);
}
inline void VLine(Image& img, int x, int y0, int y1, uint8_t c) {
  for (int y = y0; y <= y1; ++y) img.set(x, y, c);
}
inline void Box(Image& img, int x0, int y0, int x1, int y1, uint8_t tl, uint8_t br) {
  HLine(img, x0, x1, y0, tl);
  VLine(img, x0, y0, y1, tl);
  HLine(img, x0, x1, y1, br);
  VLine(img, x1, y0, y1, br);
}

inline void DrawFrame(Image& img, const std::string& variant, State state) {
  const int r = img.width - 1, b = img.height - 1;
  if (variant == "") {
    if (state == State::Dn) {
      Box(img, 0, 0, r, b, kE3, kWhite);
      Box(img, 1, 1, r - 1, b - 1, kE2, kE1);
    } else {
      Box(img, 0, 0, r, b, kWhite, kE3);
      Box(img, 1, 1, r - 1, b - 1, kE1, kE2);
    }
  } else if (variant == "9") {
    if (state == State::Dn) {
      Box(img, 0, 0, r, b, kE3, kE1);
      Box(img, 1, 1, r - 1, b - 1, kE2, kE0);
    } else {
      Box(img, 0, 0, r, b, kE1, kE3);
      Box(img, 1, 1, r - 1, b - 1, kWhite, kE2);
    }
    for (int y : {0, b})
      for (int x : {0, r}) img.set(x, y, kE0);
  } else if (variant == "8") {
    if (state == State::Dn)
      Box(img, 0, 0, r, b, kE2, kWhite);
    else {
      Box(img, 0, 0, r, b, kWhite, kE3);
      HLine(img, 1, r - 1, b - 1, kE2);
      VLine(img, r - 1, 1, b - 1, kE2);
    }
  } else {
    // Body shading: light top, darker bottom; pressed turns it over.
    for (int y = 1; y < b; ++y) {
      uint8_t c = y < b / 2 ? kWhite : y < b - 3 ? kE2 : kE3;
      if (state == State::Dn) c = y < 4 ? kE3 : y < b / 2 + 2 ? kE2 : kE0;
      if (state == State::In) c = kE2;
      HLine(img, 1, r - 1, y, c);
    }
    const uint8_t rim = state == State::In ? kLightGrey : kE1;
    HLine(img, 2, r - 2, 0, rim);
    HLine(img, 2, r - 2, b, rim);
    VLine(img, 0, 2, b - 2, rim);
    VLine(img, r, 2, b - 2, rim);
    img.set(1, 1, rim);
    img.set(r - 1, 1, rim);
    img.set(1, b - 1, rim);
    img.set(r - 1, b - 1, rim);
    for (int y : {0, b})
      for (int x : {0, 1, r - 1, r}) img.set(x, y, kE0);
    for (int y : {1, b - 1})
      for (int x : {0, r}) img.set(x, y, kE0);
    if (state == State::Up) HLine(img, 2, r - 2, b - 1, kE3);
  }
}

// Bar background shared by the gap and the space of each variant.
inline void DrawBand(Image& img, const std::string& variant) {
  const int b = img.height - 1;
  std::fill(img.pixels.begin(), img.pixels.end(), kE0);
  if (variant == "X") {
    HLine(img, 0, img.width - 1, b, kE3);
    HLine(img, 0, img.width - 1, b - 1, kE3);
    HLine(img, 0, img.width - 1, 0, kWhite);
  } else {
    HLine(img, 0, img.width - 1, 0, kWhite);
    HLine(img, 0, img.width - 1, b, variant == "" ? kE2 : kE2);
  }
}

inline void DrawGap(Image& img, const std::string& variant) {
  DrawBand(img, variant);
  const int b = img.height - 1;
  if (variant == "X") {  // dotted grip
    for (int y = 4; y < b - 3; y += 2) {
      img.set(7, y, kE3);
      img.set(8, y + 1, kWhite);
    }
  } else if (variant == "9") {  // raised grip bar
    VLine(img, 6, 3, b - 3, kWhite);
    VLine(img, 7, 3, b - 3, kE0);
    VLine(img, 8, 3, b - 3, kE2);
    HLine(img, 6, 8, 3, kWhite);
    HLine(img, 6, 8, b - 3, kE2);
  } else {  // etched separator
    VLine(img, 7, 2, b - 2, kE2);
    VLine(img, 8, 2, b - 2, kWhite);
  }
}

inline void DrawGlyph(Image& img, const Glyph& g, const std::string& variant, State state) {
  int ox = (img.width - g.width) / 2, oy = (img.height - g.height) / 2;
  if (state == State::Dn) {
    ++ox;
    ++oy;
  }
  const std::vector<Rgb> pal = ButtonPalette(variant);
  if (state != State::In) {
    for (int y = 0; y < g.height; ++y)
      for (int x = 0; x < g.width; ++x)
        if (g.at(x, y) != kTransparent) img.set(ox + x, oy + y, uint8_t(g.at(x, y)));
    return;
  }
  // Disabled: only the dark strokes survive, as a grey shape with a white
  // shadow (classic) or as a plain grey shape (XP).
  auto dark = [&](int x, int y) {
    int c = g.at(x, y);
    return c != kTransparent && Luma(pal[size_t(c)]) < 150;
  };
  if (variant != "X")
    for (int y = 0; y < g.height; ++y)
      for (int x = 0; x < g.width; ++x)
        if (dark(x, y)) img.set(ox + x + 1, oy + y + 1, kWhite);
  for (int y = 0; y < g.height; ++y)
    for (int x = 0; x < g.width; ++x)
      if (dark(x, y)) img.set(ox + x, oy + y, kDarkGrey);
}

// The picture for one base name, variant and state. "Gap" and "Space" are the
// bar's decorations and look the same in all states.
inline Image MakeButton(const std::string& base, const std::string& variant, State state,
                        const std::map<std::string, Glyph>& glyphs) {
  Image img;
  if (base == "Gap") {
    img = Image(16, 20, 4, kE0);
    DrawGap(img, variant);
  } else if (base == "Space") {
    img = Image(2000, 20, 4, kE0);
    DrawBand(img, variant);
  } else {
    auto it = glyphs.find(base);
    if (it == glyphs.end()) throw Error("no glyph for button " + base);
    img = Image(32, 20, 4, kE0);
    DrawFrame(img, variant, state);
    DrawGlyph(img, it->second, variant, state);
  }
  img.palette = ButtonPalette(variant);
  return img;
}

// ----------------------------------------------------------------- scenes ---

// A drawing description: one command per line, '#' starts a comment.
//   canvas W H BITS               first; BITS 4 or 8
//   colour NAME RRGGBB            next palette entry
//   ramp NAME RRGGBB RRGGBB N     N entries NAME0..NAME(N-1) from one to the other
//   fill C | rect X Y W H C | frame X Y W H C | line X0 Y0 X1 Y1 C
//   thick X0 Y0 X1 Y1 R C | disc CX CY R C | ring CX CY R C
//   vramp X Y W H RAMP            rows shaded through the ramp, top to bottom
//   grid X Y COLS ROWS CW CH GAP EDGE C...   chips left to right, top to bottom
//   glyph NAME W H / rows / end   a font letter ('#' set, '.' clear)
//   text X Y SCALE C SHADOW "TEXT"  letters at SCALE, SHADOW '-' for none
//   transparent C                 icon key colour
struct Scene {
  Image image;
  int transparent = -1;
};

inline Scene ParseScene(const std::vector<std::string>& lines, const std::string& file) {
  Scene scene;
  std::map<std::string, int> colours;
  std::map<std::string, int> rampLength;
  std::map<char, std::vector<std::string>> font;
  bool haveCanvas = false;
  Image& img = scene.image;
  size_t n = 0;
  auto fail = [&](const std::string& what) {
    throw Error(file + ":" + std::to_string(n + 1) + ": " + what);
  };
  auto colour = [&](const std::string& name) -> uint8_t {
    auto it = colours.find(name);
    if (it == colours.end()) fail("unknown colour " + name);
    return uint8_t(it->second);
  };
  auto hex = [&](const std::string& s) -> Rgb {
    if (s.size() != 6 || s.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      fail("colour must be RRGGBB, got " + s);
    unsigned long v = std::strtoul(s.c_str(), nullptr, 16);
    return Rgb{uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
  };
  auto addColour = [&](const std::string& name, Rgb rgb) {
    if (!haveCanvas) fail("canvas must come first");
    if (colours.count(name)) fail("colour " + name + " defined twice");
    if (img.palette.size() >= (1u << img.bits)) fail("palette is full");
    colours[name] = int(img.palette.size());
    img.palette.push_back(rgb);
  };
  auto number = [&](std::istringstream& in) {
    long v;
    if (!(in >> v) || v < -4000 || v > 4000) fail("expected a number");
    return int(v);
  };
  for (; n < lines.size(); ++n) {
    std::istringstream in(lines[n]);
    std::string cmd;
    if (!(in >> cmd) || cmd[0] == '#') continue;
    if (cmd == "canvas") {
      if (haveCanvas) fail("second canvas");
      int w = number(in), h = number(in), bits = number(in);
      if (w <= 0 || h <= 0 || (bits != 4 && bits != 8)) fail("canvas needs W H and 4 or 8 bits");
      img = Image(w, h, bits);
      haveCanvas = true;
      continue;
    }
    if (!haveCanvas) fail("canvas must come first");
    std::string name, a, b;
    if (cmd == "colour") {
      if (!(in >> name >> a)) fail("colour NAME RRGGBB");
      addColour(name, hex(a));
    } else if (cmd == "ramp") {
      if (!(in >> name >> a >> b)) fail("ramp NAME FROM TO N");
      int count = number(in);
      if (count < 2) fail("a ramp needs at least 2 steps");
      Rgb from = hex(a), to = hex(b);
      for (int i = 0; i < count; ++i) {
        auto mix = [&](uint8_t p, uint8_t q) { return uint8_t(p + (int(q) - int(p)) * i / (count - 1)); };
        addColour(name + std::to_string(i), Rgb{mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b)});
      }
      rampLength[name] = count;
    } else if (cmd == "fill") {
      if (!(in >> name)) fail("fill C");
      std::fill(img.pixels.begin(), img.pixels.end(), colour(name));
    } else if (cmd == "rect" || cmd == "frame") {
      int x = number(in), y = number(in), w = number(in), h = number(in);
      if (!(in >> name)) fail(cmd + " X Y W H C");
      uint8_t c = colour(name);
      for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx)
          if (cmd == "rect" || yy == y || yy == y + h - 1 || xx == x || xx == x + w - 1) img.set(xx, yy, c);
    } else if (cmd == "line" || cmd == "thick") {
      int x0 = number(in), y0 = number(in), x1 = number(in), y1 = number(in);
      int r = cmd == "thick" ? number(in) : 0;
      if (!(in >> name)) fail(cmd + " needs a colour");
      uint8_t c = colour(name);
      int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0), sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
      int err = dx + dy;
      for (;;) {
        for (int yy = -r; yy <= r; ++yy)
          for (int xx = -r; xx <= r; ++xx)
            if (xx * xx + yy * yy <= r * r) img.set(x0 + xx, y0 + yy, c);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += sx; }
        if (e2 <= dx) { err += dx; y0 += sy; }
      }
    } else if (cmd == "disc" || cmd == "ring") {
      int cx = number(in), cy = number(in), r = number(in);
      if (!(in >> name) || r < 0) fail(cmd + " CX CY R C");
      uint8_t c = colour(name);
      for (int y = -r; y <= r; ++y)
        for (int x = -r; x <= r; ++x) {
          int d = x * x + y * y;
          if (d <= r * r + r && (cmd == "disc" || d >= (r - 1) * (r - 1) + (r - 1))) img.set(cx + x, cy + y, c);
        }
    } else if (cmd == "vramp") {
      int x = number(in), y = number(in), w = number(in), h = number(in);
      if (!(in >> name) || !rampLength.count(name) || h <= 0) fail("vramp X Y W H RAMP");
      int steps = rampLength[name];
      for (int yy = 0; yy < h; ++yy) {
        uint8_t c = colour(name + std::to_string(yy * steps / h));
        for (int xx = 0; xx < w; ++xx) img.set(x + xx, y + yy, c);
      }
    } else if (cmd == "grid") {
      int x = number(in), y = number(in), cols = number(in), rows = number(in);
      int cw = number(in), ch = number(in), gap = number(in);
      std::string edge;
      if (!(in >> edge) || cols <= 0 || rows <= 0) fail("grid X Y COLS ROWS CW CH GAP EDGE C...");
      uint8_t e = colour(edge);
      std::vector<uint8_t> fills;
      while (in >> name) fills.push_back(colour(name));
      if (int(fills.size()) != cols * rows) fail("grid needs COLS x ROWS colours");
      for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
          int px = x + c * (cw + gap), py = y + r * (ch + gap);
          for (int yy = 0; yy < ch; ++yy)
            for (int xx = 0; xx < cw; ++xx)
              img.set(px + xx, py + yy,
                      (xx == 0 || yy == 0 || xx == cw - 1 || yy == ch - 1) ? e : fills[size_t(r * cols + c)]);
        }
    } else if (cmd == "glyph") {
      int w = 0, h = 0;
      if (!(in >> name) || name.size() != 1) fail("glyph takes one character");
      w = number(in);
      h = number(in);
      std::vector<std::string> rows;
      for (int r = 0; r < h; ++r) {
        if (++n >= lines.size() || int(lines[n].size()) != w ||
            lines[n].find_first_not_of("#.") != std::string::npos)
          fail("glyph row must be " + std::to_string(w) + " of '#' and '.'");
        rows.push_back(lines[n]);
      }
      if (++n >= lines.size() || lines[n] != "end") fail("glyph needs 'end'");
      font[name[0]] = rows;
    } else if (cmd == "text") {
      int x = number(in), y = number(in), scale = number(in);
      std::string shadow, rest;
      if (!(in >> name >> shadow) || scale <= 0) fail("text X Y SCALE C SHADOW \"TEXT\"");
      std::getline(in, rest);
      size_t q0 = rest.find('"'), q1 = rest.rfind('"');
      if (q0 == std::string::npos || q1 <= q0) fail("text must be quoted");
      std::string text = rest.substr(q0 + 1, q1 - q0 - 1);
      uint8_t c = colour(name);
      int sc = shadow == "-" ? -1 : colour(shadow);
      for (int pass = (sc < 0 ? 1 : 0); pass < 2; ++pass) {
        int pen = x + (pass == 0 ? scale / 2 + 1 : 0), top = y + (pass == 0 ? scale / 2 + 1 : 0);
        for (char ch : text) {
          auto it = font.find(ch == ' ' ? '_' : ch);
          if (it == font.end()) fail(std::string("no glyph for '") + ch + "'");
          const auto& rows = it->second;
          for (size_t r = 0; r < rows.size(); ++r)
            for (size_t k = 0; k < rows[r].size(); ++k)
              if (rows[r][k] == '#')
                for (int yy = 0; yy < scale; ++yy)
                  for (int xx = 0; xx < scale; ++xx)
                    img.set(pen + int(k) * scale + xx, top + int(r) * scale + yy, pass == 0 ? uint8_t(sc) : c);
          pen += (int(rows.empty() ? 0 : rows[0].size()) + 1) * scale;
        }
      }
    } else if (cmd == "transparent") {
      if (!(in >> name)) fail("transparent C");
      scene.transparent = colour(name);
    } else {
      fail("unknown command " + cmd);
    }
  }
  if (!haveCanvas) throw Error(file + ": no canvas");
  if (img.palette.empty()) throw Error(file + ": no colours");
  return scene;
}

// --------------------------------------------------------------- commands ---

inline void RunButtons(const std::string& glyphFile, const std::string& outDir, const std::string& rcFile,
                       const std::vector<std::string>& names) {
  const auto glyphs = ParseGlyphs(ReadLines(glyphFile), glyphFile);
  std::string rc = "// Made by bmpgen from " + glyphFile + "; do not edit.\n";
  for (const auto& base : names)
    for (const auto& variant : Variants())
      for (State s : {State::Up, State::Dn, State::In}) {
        const std::string name = base + variant + StateName(s);
        const std::string path = outDir + "/" + name + ".bmp";
        WriteFile(path, EncodeBmp(MakeButton(base, variant, s, glyphs)));
        rc += name + " BITMAP \"" + path + "\"\n";
      }
  WriteFile(rcFile, std::vector<uint8_t>(rc.begin(), rc.end()));
}

inline int Main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() >= 5 && args[0] == "buttons") {
      RunButtons(args[1], args[2], args[3], std::vector<std::string>(args.begin() + 4, args.end()));
    } else if (args.size() == 3 && args[0] == "scene") {
      WriteFile(args[2], EncodeBmp(ParseScene(ReadScene(args[1]), args[1]).image));
    } else if (args.size() == 4 && args[0] == "icon") {
      Scene big = ParseScene(ReadScene(args[1]), args[1]);
      Scene small = ParseScene(ReadScene(args[2]), args[2]);
      if (big.transparent < 0 || big.transparent != small.transparent)
        throw Error("both icon scenes need the same 'transparent' colour");
      WriteFile(args[3], EncodeIco({big.image, small.image}, big.transparent));
    } else {
      std::fprintf(stderr,
                   "usage: bmpgen buttons GLYPHS OUTDIR RCFILE NAME...\n"
                   "       bmpgen scene SCENE OUT.bmp\n"
                   "       bmpgen icon SCENE32 SCENE16 OUT.ico\n");
      return 2;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bmpgen: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace bmpgen

#ifndef BMPGEN_NO_MAIN
int main(int argc, char** argv) { return bmpgen::Main(argc, argv); }
#endif
