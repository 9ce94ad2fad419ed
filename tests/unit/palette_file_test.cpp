// Palette files: written and read back in every format, read as the tools
// that trade them write them (typed here from the formats' published
// layouts), and refused with the right problem and line when malformed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/bitmap/core/palette_file.h"

using palette_file::Colour;
using palette_file::Format;
using palette_file::Problem;
using palette_file::ReadResult;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }
// A literal that may hold zero bytes, without its terminator.
template <size_t N>
Bytes Z(const char (&s)[N]) { return Bytes(s, s + N - 1); }

ReadResult ReadBytes(const Bytes& b) { return palette_file::Read(b.data(), b.size()); }

// n colours with every channel varying differently.
std::vector<Colour> Ramp(size_t n) {
  std::vector<Colour> c;
  for (size_t i = 0; i < n; ++i) {
    c.push_back({static_cast<uint8_t>(i * 37), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 11 + 5)});
  }
  return c;
}

void PutLe(Bytes* b, uint32_t v, int n) {
  for (int i = 0; i < n; ++i) b->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A LOGPALETTE: version 0x300, the count, red green blue flags.
Bytes LogPalette(const std::vector<Colour>& c) {
  Bytes b;
  PutLe(&b, 0x300, 2);
  PutLe(&b, static_cast<uint32_t>(c.size()), 2);
  for (const Colour& e : c) b.insert(b.end(), {e.red, e.green, e.blue, 0});
  return b;
}

struct Chunk {
  std::string id;
  Bytes body;
};

// "RIFF", its size, "PAL ", then the chunks, an odd one padded by a zero byte.
Bytes Riff(const std::vector<Chunk>& chunks) {
  Bytes b = B("RIFF....PAL ");
  for (const Chunk& c : chunks) {
    b.insert(b.end(), c.id.begin(), c.id.end());
    PutLe(&b, static_cast<uint32_t>(c.body.size()), 4);
    b.insert(b.end(), c.body.begin(), c.body.end());
    if (c.body.size() % 2 != 0) b.push_back(0);
  }
  for (int i = 0; i < 4; ++i) b[4 + i] = static_cast<uint8_t>((b.size() - 8) >> (8 * i));
  return b;
}

std::string Lines(const std::vector<Colour>& c, const char* end) {
  std::string s;
  for (const Colour& e : c) s += std::to_string(e.red) + " " + std::to_string(e.green) + " " + std::to_string(e.blue) + end;
  return s;
}

const std::vector<Colour> kThree = {{0, 0, 0}, {255, 128, 7}, {12, 34, 255}};

TEST(PaletteFileRoundTrip, EveryFormatGivesBackWhatItWrote) {
  for (Format f : {Format::kJasc, Format::kRiff, Format::kGimp, Format::kAct, Format::kHex}) {
    for (size_t n : {1u, 16u, 256u}) {
      SCOPED_TRACE(testing::Message() << "format " << static_cast<int>(f) << ", " << n << " colours");
      const ReadResult r = ReadBytes(palette_file::Write(f, Ramp(n), "Ramp"));
      EXPECT_EQ(r.problem, Problem::kNone);
      EXPECT_EQ(r.format, f);
      EXPECT_EQ(r.colours, Ramp(n));
    }
    // More than the most a file holds: the first 256 are written.
    EXPECT_EQ(ReadBytes(palette_file::Write(f, Ramp(300), nullptr)).colours, Ramp(256));
    EXPECT_TRUE(palette_file::Write(f, {}, "x").empty());
  }
}

TEST(PaletteFileWrite, LayoutsAsTheToolsWriteThem) {
  Bytes act(768, 0);
  std::memcpy(act.data(), "\x00\x00\x00\xFF\x80\x07\x0C\x22\xFF", 9);
  act.insert(act.end(), {0x00, 0x03, 0xFF, 0xFF});
  const std::string gimp = "\nColumns: 16\n#\n  0   0   0\tUntitled\n255 128   7\tUntitled\n 12  34 255\tUntitled\n";
  const struct {
    Format format;
    const char* name;
    Bytes expected;
  } cases[] = {
      {Format::kJasc, "x", B("JASC-PAL\r\n0100\r\n3\r\n0 0 0\r\n255 128 7\r\n12 34 255\r\n")},
      {Format::kGimp, "My colours", B("GIMP Palette\nName: My colours" + gimp)},
      {Format::kGimp, nullptr, B("GIMP Palette\nName: Untitled" + gimp)},
      {Format::kGimp, "two\r\nlines", B("GIMP Palette\nName: two  lines" + gimp)},
      {Format::kHex, "x", B("000000\nff8007\n0c22ff\n")},
      {Format::kAct, "x", act},
      {Format::kRiff, "x", Bytes{'R', 'I', 'F', 'F', 28, 0, 0, 0, 'P', 'A', 'L', ' ', 'd', 'a', 't', 'a', 16, 0, 0, 0,
             0x00, 0x03, 3, 0, 0, 0, 0, 0, 255, 128, 7, 0, 12, 34, 255, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.format));
    EXPECT_EQ(palette_file::Write(c.format, kThree, c.name), c.expected);
  }
}

// Files as Paint Shop Pro, GIMP and Photoshop write them, and the leniencies.
TEST(PaletteFileRead, FilesAsTheToolsWriteThem) {
  Bytes act16;  // 16 colours, then 0x55 (beyond the count: not the palette), the count
  for (const Colour& c : Ramp(16)) act16.insert(act16.end(), {c.red, c.green, c.blue});
  act16.resize(768, 0x55);
  const Bytes act256 = act16;
  act16.insert(act16.end(), {0x00, 0x10, 0xFF, 0xFF});
  std::vector<Colour> act256Colours = Ramp(16);
  act256Colours.resize(256, Colour{0x55, 0x55, 0x55});
  // Typed from the layout: size 8 + 16 + 64 - 8 = 80; the data chunk 4 + 64.
  Bytes riff16 = {'R', 'I', 'F', 'F', 0x50, 0, 0, 0, 'P', 'A', 'L', ' ', 'd', 'a', 't', 'a', 0x44, 0, 0, 0,
                  0x00, 0x03, 0x10, 0x00};
  for (const Colour& c : Ramp(16)) riff16.insert(riff16.end(), {c.red, c.green, c.blue, 0});
  Bytes riffTail = Riff({{"data", LogPalette(kThree)}});
  riffTail.insert(riffTail.end(), {'x', 'y'});  // after the RIFF size: ignored
  const std::string bom = "\xEF\xBB\xBF";

  const struct {
    const char* what;
    Bytes file;
    Format format;
    std::vector<Colour> colours;
  } cases[] = {
      {"JASC, CRLF", B("JASC-PAL\r\n0100\r\n3\r\n" + Lines(kThree, "\r\n")), Format::kJasc, kThree},
      {"JASC, LF, no last line end", B("JASC-PAL\n0100\n3\n0 0 0\n255 128 7\n12 34 255"), Format::kJasc, kThree},
      {"JASC, CR", B("JASC-PAL\r0100\r3\r" + Lines(kThree, "\r")), Format::kJasc, kThree},
      {"JASC, BOM, tabs and trailing spaces",
       B(bom + "JASC-PAL \r\n0100\r\n 3\t\r\n0\t0  0 \r\n 255 128 7\t\r\n12 34 255  \r\n"), Format::kJasc, kThree},
      {"JASC, lines after the count's colours",
       B("JASC-PAL\r\n0100\r\n2\r\n" + Lines(kThree, "\r\n") + "junk\r\n"), Format::kJasc,
       {kThree[0], kThree[1]}},
      {"JASC, 300 colours", B("JASC-PAL\r\n0100\r\n300\r\n" + Lines(Ramp(300), "\r\n")), Format::kJasc, Ramp(256)},
      {"GIMP with a name, columns, comments and named colours",
       B("GIMP Palette\nName: Warm tones\nColumns: 8\n#\n# made by hand\n  0   0   0\tDeep black\n"
         "255 128   7\tBurnt orange  two\n 12  34 255 Blue\n"),
       Format::kGimp, kThree},
      {"GIMP without a name, blank lines, CRLF",
       B("GIMP Palette\r\n\r\n  0   0   0\r\n\r\n255 128   7  Untitled\r\n 12  34 255\r\n\r\n"), Format::kGimp,
       kThree},
      {"GIMP, 300 colours", B("GIMP Palette\n" + Lines(Ramp(300), "\tName\n")), Format::kGimp, Ramp(256)},
      {"hex, LF", B("000000\nff8007\n0c22ff\n"), Format::kHex, kThree},
      {"hex, #, upper case, blank lines, CRLF, BOM", B(bom + "\r\n#000000\r\n  FF8007 \r\n\r\n#0C22fF"),
       Format::kHex, kThree},
      {"ACT with a count of 16 (772 bytes)", act16, Format::kAct, Ramp(16)},
      {"ACT without a count (768 bytes)", act256, Format::kAct, act256Colours},
      {"RIFF, 16 entries", riff16, Format::kRiff, Ramp(16)},
      {"RIFF, 256 entries", Riff({{"data", LogPalette(Ramp(256))}}), Format::kRiff, Ramp(256)},
      {"RIFF, odd-sized chunk before data",
       Riff({{"offl", B("abc")}, {"data", LogPalette(kThree)}, {"zzzz", B("q")}}), Format::kRiff, kThree},
      {"RIFF, bytes after its size", riffTail, Format::kRiff, kThree},
      {"RIFF, data longer than its LOGPALETTE",
       Riff({{"data", [] { Bytes b = LogPalette(kThree); b.resize(b.size() + 5, 9); return b; }()}}),
       Format::kRiff, kThree},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = ReadBytes(c.file);
    EXPECT_EQ(r.problem, Problem::kNone);
    EXPECT_EQ(r.format, c.format);
    EXPECT_EQ(r.line, 0u);
    EXPECT_EQ(r.colours, c.colours);
  }
}

TEST(PaletteFileRead, RefusesMalformedFilesWithTheProblemAndLine) {
  const std::string jasc = "JASC-PAL\r\n0100\r\n";
  const Bytes riff3 = Riff({{"data", LogPalette(kThree)}});
  auto patched = [](Bytes b, size_t at, uint8_t v) { b.at(at) = v; return b; };
  Bytes act = palette_file::Write(Format::kAct, kThree, nullptr);

  const struct {
    const char* what;
    Bytes file;
    Problem problem;
    Format format;
    unsigned long line;
  } cases[] = {
      {"no bytes", {}, Problem::kEmpty, Format::kJasc, 0},
      {"a BOM alone", B("\xEF\xBB\xBF"), Problem::kEmpty, Format::kJasc, 0},
      {"prose", B("Hello\r\nworld\r\n"), Problem::kUnknownFormat, Format::kJasc, 0},
      {"JASC in lower case", B("jasc-pal\r\n0100\r\n1\r\n1 2 3\r\n"), Problem::kUnknownFormat, Format::kJasc, 0},
      {"767 bytes", Bytes(767, 1), Problem::kUnknownFormat, Format::kJasc, 0},
      {"a RIFF that is not a palette", Z("RIFF\x04\0\0\0WAVE"), Problem::kUnknownFormat, Format::kJasc, 0},
      {"JASC without a count", B("JASC-PAL\r\n0100\r\n"), Problem::kBadCount, Format::kJasc, 3},
      {"JASC, count a word", B(jasc + "many\r\n1 2 3\r\n"), Problem::kBadCount, Format::kJasc, 3},
      {"JASC, count over 65535", B(jasc + "65536\r\n"), Problem::kBadCount, Format::kJasc, 3},
      {"JASC, count and more", B(jasc + "1 2\r\n1 2 3\r\n"), Problem::kBadCount, Format::kJasc, 3},
      {"JASC, count 0", B(jasc + "0\r\n"), Problem::kNoColours, Format::kJasc, 0},
      {"JASC, two values", B(jasc + "2\r\n1 2 3\r\n1 2\r\n"), Problem::kBadColourLine, Format::kJasc, 5},
      {"JASC, four values", B(jasc + "1\r\n1 2 3 4\r\n"), Problem::kBadColourLine, Format::kJasc, 4},
      {"JASC, 256", B(jasc + "1\r\n1 256 -3\r\n"), Problem::kBadColourLine, Format::kJasc, 4},
      {"JASC, huge value", B(jasc + "1\r\n1 2 99999999999999999999999\r\n"), Problem::kBadColourLine, Format::kJasc, 4},
      {"JASC, commas", B(jasc + "1\r\n1,2,+3\r\n"), Problem::kBadColourLine, Format::kJasc, 4},
      {"JASC, a blank line", B(jasc + "2\r\n1 2 3\r\n\r\n4 5 6\r\n"), Problem::kBadColourLine, Format::kJasc, 5},
      {"JASC, a bad line after 256", B(jasc + "258\r\n" + Lines(Ramp(256), "\r\n") + "x\r\n"),
       Problem::kBadColourLine, Format::kJasc, 260},
      {"JASC, fewer lines than the count", B(jasc + "3\r\n1 2 3\r\n4 5 6\r\n"), Problem::kMissingColours, Format::kJasc, 0},
      {"GIMP, two values", B("GIMP Palette\nName: x\n#\n\n1 2\n"), Problem::kBadColourLine, Format::kGimp, 5},
      {"GIMP, name stuck to blue", B("GIMP Palette\n1 2 3\n4 5 6Red\n"), Problem::kBadColourLine, Format::kGimp, 3},
      {"GIMP, a word", B("GIMP Palette\nDescription: x\n"), Problem::kBadColourLine, Format::kGimp, 2},
      {"GIMP, no colours", B("GIMP Palette\nName: Empty\nColumns: 0\n#\n"), Problem::kNoColours, Format::kGimp, 0},
      {"hex, five digits", B("ff8007\n\n0c22f\n"), Problem::kBadColourLine, Format::kHex, 3},
      {"hex, not a digit", B("#ff8007\r\n#0c22fg\r\n"), Problem::kBadColourLine, Format::kHex, 2},
      {"hex, seven digits", B("\n\nff8007\n0c22ff0\n"), Problem::kBadColourLine, Format::kHex, 4},
      {"hex, two colours a line", B("ff8007 0c22ff\n"), Problem::kUnknownFormat, Format::kJasc, 0},
      {"RIFF, size past the file", patched(riff3, 4, 0xF0), Problem::kBadRiff, Format::kRiff, 0},
      {"RIFF, size under 4", patched(riff3, 4, 3), Problem::kBadRiff, Format::kRiff, 0},
      {"RIFF, chunk past the RIFF size", patched(riff3, 16, 0x20), Problem::kBadRiff, Format::kRiff, 0},
      {"RIFF, count past the chunk", patched(riff3, 22, 4), Problem::kBadRiff, Format::kRiff, 0},
      {"RIFF, another version", patched(riff3, 21, 4), Problem::kBadRiff, Format::kRiff, 0},
      {"RIFF, data too short", Riff({{"data", Z("\x00\x03")}}), Problem::kBadRiff, Format::kRiff, 0},
      {"RIFF, no data chunk", Riff({{"offl", B("abcd")}}), Problem::kBadRiff, Format::kRiff, 0},
      {"RIFF, no entries", Riff({{"data", LogPalette({})}}), Problem::kNoColours, Format::kRiff, 0},
      {"ACT, count 0", patched(act, 769, 0), Problem::kBadAct, Format::kAct, 0},
      {"ACT, count 257", patched(patched(act, 768, 1), 769, 1), Problem::kBadAct, Format::kAct, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = ReadBytes(c.file);
    EXPECT_EQ(r.problem, c.problem);
    if (c.problem != Problem::kEmpty && c.problem != Problem::kUnknownFormat) {
      EXPECT_EQ(r.format, c.format);
    }
    EXPECT_EQ(r.line, c.line);
    EXPECT_TRUE(r.colours.empty());
  }
}

// Every cut and every changed byte of a file of each format gives either
// colours or a refusal, never both, never more than 256 (and, under the fuzz
// build's sanitizers, no read outside the buffer: each copy is exact-sized).
TEST(PaletteFileRead, CutOrChangedFilesStayWithinTheRules) {
  for (Format f : {Format::kJasc, Format::kRiff, Format::kGimp, Format::kAct, Format::kHex}) {
    const Bytes whole = palette_file::Write(f, Ramp(5), "Cut");
    for (size_t n = 0; n <= whole.size(); ++n) {
      for (int change = 0; change < 3; ++change) {
        Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        if (change > 0 && n > 0) part[(n * 7 + change) % n] ^= static_cast<uint8_t>(change == 1 ? 0x01 : 0x80);
        const ReadResult r = palette_file::Read(part.data(), part.size());
        SCOPED_TRACE(testing::Message() << "format " << static_cast<int>(f) << ", " << n << " bytes");
        EXPECT_EQ(r.problem == Problem::kNone, !r.colours.empty());
        EXPECT_LE(r.colours.size(), palette_file::kMaxColours);
        EXPECT_EQ(r.line != 0, r.problem == Problem::kBadColourLine || r.problem == Problem::kBadCount);
      }
    }
  }
}

// Distinct texts ending with "."; one "%lu" in a numbered text, no conversion in the others.
TEST(PaletteFileMessage, EveryProblemHasATextInBothLanguages) {
  std::vector<std::string> seen;
  for (int p = static_cast<int>(Problem::kEmpty); p <= static_cast<int>(Problem::kBadAct); ++p) {
    const Problem problem = static_cast<Problem>(p);
    const Message& m = palette_file::ProblemMessage(problem);
    const bool numbered = problem == Problem::kBadColourLine || problem == Problem::kBadCount;
    for (const std::string s : {m.text.english, m.text.japanese}) {
      SCOPED_TRACE(s);
      EXPECT_EQ(s.empty() ? ' ' : s.back(), '.');
      EXPECT_EQ(std::count(s.begin(), s.end(), '%'), numbered ? 1 : 0);
      EXPECT_EQ(s.find("%lu") != std::string::npos, numbered);
      EXPECT_EQ(std::count(seen.begin(), seen.end(), s), 0);
      seen.push_back(s);
    }
    EXPECT_STREQ(m.title.english, "Error");
    EXPECT_STREQ(m.title.japanese, "エラー");
    EXPECT_EQ(m.icon, MessageIcon::kError);
  }
}

}  // namespace
