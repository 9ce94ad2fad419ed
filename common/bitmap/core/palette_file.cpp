#include "common/bitmap/core/palette_file.h"

#include <cstring>

namespace palette_file {

namespace {

constexpr size_t kActPlainSize = 768;  // 256 RGB triples
constexpr size_t kActCountedSize = 772;  // the triples, the count, the transparent index
constexpr uint16_t kLogPaletteVersion = 0x0300;

// A run of bytes inside the input: [begin, end).
struct Span {
  const uint8_t* begin;
  const uint8_t* end;
  bool Empty() const { return begin == end; }
  bool Is(const char* text) const {
    const size_t n = std::strlen(text);
    return static_cast<size_t>(end - begin) == n && std::memcmp(begin, text, n) == 0;
  }
  bool StartsWith(const char* text) const {
    const size_t n = std::strlen(text);
    return static_cast<size_t>(end - begin) >= n && std::memcmp(begin, text, n) == 0;
  }
};

bool IsBlank(uint8_t c) { return c == ' ' || c == '\t'; }

Span Trimmed(Span s) {
  while (s.begin != s.end && IsBlank(*s.begin)) ++s.begin;
  while (s.end != s.begin && IsBlank(s.end[-1])) --s.end;
  return s;
}

// The lines of a text, each without its end (CRLF, LF or CR) and trimmed of
// spaces and tabs; a last line without an end counts, an empty tail does not.
class Lines {
 public:
  explicit Lines(Span text) : at_(text.begin), end_(text.end) {}

  bool Next(Span* line) {
    if (at_ == end_) return false;
    const uint8_t* start = at_;
    while (at_ != end_ && *at_ != '\r' && *at_ != '\n') ++at_;
    *line = Trimmed({start, at_});
    if (at_ != end_) {
      const bool cr = *at_ == '\r';
      ++at_;
      if (cr && at_ != end_ && *at_ == '\n') ++at_;
    }
    ++number_;
    return true;
  }
  // The number of the line Next gave last, counted from 1.
  unsigned long Number() const { return number_; }

 private:
  const uint8_t* at_;
  const uint8_t* end_;
  unsigned long number_ = 0;
};

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// Reads decimal digits at *at (at least one) as a number up to `limit`.
bool TakeNumber(const uint8_t** at, const uint8_t* end, unsigned long limit, unsigned long* value) {
  const uint8_t* p = *at;
  unsigned long v = 0;
  while (p != end && IsDigit(*p)) {
    v = v * 10 + static_cast<unsigned long>(*p - '0');
    if (v > limit) return false;
    ++p;
  }
  if (p == *at) return false;
  *at = p;
  *value = v;
  return true;
}

// "R G B" at the start of a trimmed line, the values 0..255 apart by spaces
// or tabs. With `nameMayFollow`, whitespace and any text may come after the
// blue; else the line ends there.
bool ParseRgb(Span line, bool nameMayFollow, Colour* colour) {
  const uint8_t* p = line.begin;
  unsigned long v[3];
  for (int i = 0; i < 3; ++i) {
    if (i > 0) {
      if (p == line.end || !IsBlank(*p)) return false;
      while (p != line.end && IsBlank(*p)) ++p;
    }
    if (!TakeNumber(&p, line.end, 255, &v[i])) return false;
  }
  if (p != line.end && !(nameMayFollow && IsBlank(*p))) return false;
  *colour = {static_cast<uint8_t>(v[0]), static_cast<uint8_t>(v[1]), static_cast<uint8_t>(v[2])};
  return true;
}

int HexValue(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "RRGGBB" or "#RRGGBB", the whole trimmed line.
bool ParseHex(Span line, Colour* colour) {
  if (!line.Empty() && *line.begin == '#') ++line.begin;
  if (line.end - line.begin != 6) return false;
  uint8_t v[3];
  for (int i = 0; i < 3; ++i) {
    const int high = HexValue(line.begin[2 * i]);
    const int low = HexValue(line.begin[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    v[i] = static_cast<uint8_t>(high * 16 + low);
  }
  *colour = {v[0], v[1], v[2]};
  return true;
}

ReadResult Refusal(Format format, Problem problem, unsigned long line = 0) {
  ReadResult r;
  r.format = format;
  r.problem = problem;
  r.line = line;
  return r;
}

void Keep(ReadResult* r, Colour c) {
  if (r->colours.size() < kMaxColours) r->colours.push_back(c);
}

ReadResult Finished(ReadResult r) {
  if (r.colours.empty()) r.problem = Problem::kNoColours;
  return r;
}

ReadResult ReadJasc(Span text) {
  Lines lines(text);
  Span line;
  lines.Next(&line);  // "JASC-PAL"
  // The version line ("0100") is taken as it comes; its absence leaves no count.
  unsigned long count = 0;
  if (!lines.Next(&line) || !lines.Next(&line)) return Refusal(Format::kJasc, Problem::kBadCount, 3);
  const uint8_t* p = line.begin;
  if (!TakeNumber(&p, line.end, 65535, &count) || p != line.end) {
    return Refusal(Format::kJasc, Problem::kBadCount, lines.Number());
  }
  ReadResult r;
  r.format = Format::kJasc;
  r.colours.reserve(count < kMaxColours ? count : kMaxColours);
  for (unsigned long i = 0; i < count; ++i) {
    if (!lines.Next(&line)) return Refusal(Format::kJasc, Problem::kMissingColours);
    Colour c;
    if (!ParseRgb(line, false, &c)) return Refusal(Format::kJasc, Problem::kBadColourLine, lines.Number());
    Keep(&r, c);
  }
  return Finished(r);  // lines after the count's colours are not looked at
}

ReadResult ReadGimp(Span text) {
  Lines lines(text);
  Span line;
  lines.Next(&line);  // "GIMP Palette"
  ReadResult r;
  r.format = Format::kGimp;
  while (lines.Next(&line)) {
    if (line.Empty() || *line.begin == '#' || line.StartsWith("Name:") || line.StartsWith("Columns:")) {
      continue;
    }
    Colour c;
    if (!ParseRgb(line, true, &c)) return Refusal(Format::kGimp, Problem::kBadColourLine, lines.Number());
    Keep(&r, c);
  }
  return Finished(r);
}

ReadResult ReadHex(Span text) {
  Lines lines(text);
  Span line;
  ReadResult r;
  r.format = Format::kHex;
  while (lines.Next(&line)) {
    if (line.Empty()) continue;
    Colour c;
    if (!ParseHex(line, &c)) return Refusal(Format::kHex, Problem::kBadColourLine, lines.Number());
    Keep(&r, c);
  }
  return Finished(r);
}

uint32_t GetLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t GetLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint16_t GetBe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

bool IsRiffPalette(const uint8_t* bytes, size_t size) {
  return size >= 12 && std::memcmp(bytes, "RIFF", 4) == 0 && std::memcmp(bytes + 8, "PAL ", 4) == 0;
}

// The RIFF size bounds the chunks (bytes after it are ignored). The first
// "data" chunk is the palette; a missing pad byte after the last chunk is
// forgiven.
ReadResult ReadRiff(const uint8_t* bytes, size_t size) {
  const ReadResult bad = Refusal(Format::kRiff, Problem::kBadRiff);
  const uint32_t riffSize = GetLe32(bytes + 4);
  if (riffSize < 4 || riffSize > size - 8) return bad;
  const size_t end = 8 + static_cast<size_t>(riffSize);
  size_t at = 12;
  while (end - at >= 8) {
    const uint8_t* chunk = bytes + at;
    const uint32_t chunkSize = GetLe32(chunk + 4);
    if (chunkSize > end - at - 8) return bad;
    if (std::memcmp(chunk, "data", 4) == 0) {
      if (chunkSize < 4 || GetLe16(chunk + 8) != kLogPaletteVersion) return bad;
      const size_t count = GetLe16(chunk + 10);
      if (count > (chunkSize - 4) / 4) return bad;
      ReadResult r;
      r.format = Format::kRiff;
      for (size_t i = 0; i < count && i < kMaxColours; ++i) {
        const uint8_t* e = chunk + 12 + 4 * i;
        r.colours.push_back({e[0], e[1], e[2]});
      }
      return Finished(r);
    }
    at += 8 + static_cast<size_t>(chunkSize);
    if ((chunkSize & 1) != 0 && at < end) ++at;
  }
  return bad;
}

ReadResult ReadAct(const uint8_t* bytes, size_t size) {
  if (size != kActPlainSize && size != kActCountedSize) return Refusal(Format::kAct, Problem::kBadAct);
  size_t count = 256;
  if (size == kActCountedSize) {
    count = GetBe16(bytes + kActPlainSize);  // the transparent index after it is not used
    if (count == 0 || count > 256) return Refusal(Format::kAct, Problem::kBadAct);
  }
  ReadResult r;
  r.format = Format::kAct;
  for (size_t i = 0; i < count; ++i) r.colours.push_back({bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]});
  return r;
}

// Whether the first non-blank line of the text is a hex colour.
bool LooksLikeHex(Span text) {
  Lines lines(text);
  Span line;
  Colour c;
  while (lines.Next(&line)) {
    if (!line.Empty()) return ParseHex(line, &c);
  }
  return false;
}

// Output helpers.
void Put(std::vector<uint8_t>* out, const char* text) {
  out->insert(out->end(), text, text + std::strlen(text));
}
void PutLe16(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}
void PutLe32(std::vector<uint8_t>* out, uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}
// A number in decimal, padded with spaces on the left to `width` places.
void PutDecimal(std::vector<uint8_t>* out, unsigned v, size_t width) {
  char digits[12];
  size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  for (size_t i = n; i < width; ++i) out->push_back(' ');
  while (n > 0) out->push_back(static_cast<uint8_t>(digits[--n]));
}
void PutRgb(std::vector<uint8_t>* out, Colour c, size_t width) {
  PutDecimal(out, c.red, width);
  out->push_back(' ');
  PutDecimal(out, c.green, width);
  out->push_back(' ');
  PutDecimal(out, c.blue, width);
}

const Message kMessages[] = {
    {{"", ""}, {"", ""}, MessageIcon::kError},  // kNone
    {{"The palette file is empty.",
      "パレットファイルが空です."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"This is not a palette file this program can read (JASC-PAL, RIFF, GIMP, ACT or hex list).",
      "このプログラムで読めるパレットファイル (JASC-PAL, RIFF, GIMP, ACT, 16進リスト) ではありません."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Line %lu of the palette file is not a colour count: a number from 0 to 65535 was expected.",
      "パレットファイルの %lu 行目が色数ではありません. 0 から 65535 の数を書いてください."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Line %lu of the palette file is not a colour: three numbers from 0 to 255 were expected.",
      "パレットファイルの %lu 行目が色ではありません. 0 から 255 の数を 3 つ書いてください."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"The palette file ends before all the colours its count promises.",
      "パレットファイルの色の行が書かれている色数より少なくなっています."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"The palette file holds no colours.",
      "パレットファイルに色がひとつもありません."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"The RIFF palette file is damaged: its chunks or its colour table do not fit in the file.",
      "RIFF パレットファイルが壊れています. チャンクやカラーテーブルがファイルに収まっていません."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"The colour table file (ACT) is damaged: its colour count is not from 1 to 256.",
      "カラーテーブルファイル (ACT) が壊れています. 色数が 1 から 256 の間にありません."},
     {"Error", "エラー"},
     MessageIcon::kError},
};
static_assert(sizeof(kMessages) / sizeof(kMessages[0]) == static_cast<size_t>(Problem::kBadAct) + 1,
              "one message per problem");

}  // namespace

ReadResult Read(const uint8_t* bytes, size_t size) {
  if (bytes == nullptr || size == 0) return Refusal(Format::kJasc, Problem::kEmpty);
  if (IsRiffPalette(bytes, size)) return ReadRiff(bytes, size);

  Span text = {bytes, bytes + size};
  if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) text.begin += 3;
  if (text.Empty()) return Refusal(Format::kJasc, Problem::kEmpty);
  Lines lines(text);
  Span first;
  lines.Next(&first);
  if (first.Is("JASC-PAL")) return ReadJasc(text);
  if (first.Is("GIMP Palette")) return ReadGimp(text);
  if (LooksLikeHex(text)) return ReadHex(text);
  if (size == kActPlainSize || size == kActCountedSize) return ReadAct(bytes, size);
  return Refusal(Format::kJasc, Problem::kUnknownFormat);
}

std::vector<uint8_t> Write(Format format, const std::vector<Colour>& colours, const char* name) {
  const size_t n = colours.size() < kMaxColours ? colours.size() : kMaxColours;
  std::vector<uint8_t> out;
  if (n == 0) return out;
  switch (format) {
    case Format::kJasc:
      Put(&out, "JASC-PAL\r\n0100\r\n");
      PutDecimal(&out, static_cast<unsigned>(n), 0);
      Put(&out, "\r\n");
      for (size_t i = 0; i < n; ++i) {
        PutRgb(&out, colours[i], 0);
        Put(&out, "\r\n");
      }
      break;
    case Format::kRiff: {
      const uint32_t dataSize = static_cast<uint32_t>(4 + 4 * n);
      Put(&out, "RIFF");
      PutLe32(&out, 4 + 8 + dataSize);
      Put(&out, "PAL data");
      PutLe32(&out, dataSize);
      PutLe16(&out, kLogPaletteVersion);
      PutLe16(&out, static_cast<uint32_t>(n));
      for (size_t i = 0; i < n; ++i) {
        out.insert(out.end(), {colours[i].red, colours[i].green, colours[i].blue, 0});
      }
      break;
    }
    case Format::kGimp:
      Put(&out, "GIMP Palette\nName: ");
      if (name == nullptr || *name == '\0') name = "Untitled";
      // A line end in the name would end the line early.
      for (const char* p = name; *p != '\0'; ++p) {
        out.push_back(static_cast<uint8_t>(*p == '\r' || *p == '\n' ? ' ' : *p));
      }
      Put(&out, "\nColumns: 16\n#\n");
      for (size_t i = 0; i < n; ++i) {
        PutRgb(&out, colours[i], 3);
        Put(&out, "\tUntitled\n");
      }
      break;
    case Format::kAct:
      out.assign(kActPlainSize, 0);
      for (size_t i = 0; i < n; ++i) {
        out[3 * i] = colours[i].red;
        out[3 * i + 1] = colours[i].green;
        out[3 * i + 2] = colours[i].blue;
      }
      out.insert(out.end(), {static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n), 0xFF, 0xFF});
      break;
    case Format::kHex: {
      static const char kDigits[] = "0123456789abcdef";
      for (size_t i = 0; i < n; ++i) {
        for (uint8_t v : {colours[i].red, colours[i].green, colours[i].blue}) {
          out.push_back(static_cast<uint8_t>(kDigits[v >> 4]));
          out.push_back(static_cast<uint8_t>(kDigits[v & 15]));
        }
        out.push_back('\n');
      }
      break;
    }
  }
  return out;
}

const Message& ProblemMessage(Problem problem) {
  const size_t i = static_cast<size_t>(problem);
  return kMessages[i < sizeof(kMessages) / sizeof(kMessages[0]) ? i : 0];
}

}  // namespace palette_file
