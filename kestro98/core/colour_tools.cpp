#include "kestro98/core/colour_tools.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kestro {

namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int32_t HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Six hex digits and nothing else.
bool ParseHex(const std::string& text, Rgb* out) {
  if (text.size() != 6) return false;
  uint8_t channel[3];
  for (int i = 0; i < 3; ++i) {
    const int32_t high = HexDigit(text[2 * i]), low = HexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    channel[i] = static_cast<uint8_t>(high << 4 | low);
  }
  *out = Rgb{channel[0], channel[1], channel[2]};
  return true;
}

// Three decimal numbers 0..255, each of one to three digits.
bool ParseDecimal(const std::string& text, Rgb* out) {
  int32_t channel[3];
  size_t at = 0;
  for (int i = 0; i < 3; ++i) {
    if (i > 0) {
      bool separated = false;
      while (at < text.size() && (Blank(text[at]) || text[at] == ',')) {
        separated = true;
        ++at;
      }
      if (!separated) return false;
    }
    int32_t value = 0, digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 4) {
      value = value * 10 + (text[at++] - '0');
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return false;
    channel[i] = value;
  }
  if (at != text.size()) return false;
  *out = Rgb{static_cast<uint8_t>(channel[0]), static_cast<uint8_t>(channel[1]),
             static_cast<uint8_t>(channel[2])};
  return true;
}

}  // namespace

bool ParseColourText(const char* text, Rgb* out) {
  if (text == nullptr) return false;
  std::string s(text);
  while (!s.empty() && Blank(s.back())) s.pop_back();
  size_t first = 0;
  while (first < s.size() && Blank(s[first])) ++first;
  s.erase(0, first);
  if (!s.empty() && s[0] == '#') return ParseHex(s.substr(1), out);
  return ParseHex(s, out) || ParseDecimal(s, out);
}

std::string ColourText(Rgb colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
  return text;
}

uint8_t ExpandLevel(int32_t bits, int32_t level) {
  if (bits >= 8 || bits <= 0) return static_cast<uint8_t>(level < 0 ? 0 : (level > 255 ? 255 : level));
  const int32_t top = (1 << bits) - 1;
  level = level < 0 ? 0 : (level > top ? top : level);
  int32_t value = 0;
  for (int32_t shift = 8 - bits; shift > -bits; shift -= bits) {
    value |= shift >= 0 ? level << shift : level >> -shift;
  }
  return static_cast<uint8_t>(value);
}

int32_t NearestLevel(int32_t bits, uint8_t value) {
  if (bits >= 8 || bits <= 0) return value;
  int32_t best = 0;
  for (int32_t level = 1; level < (1 << bits); ++level) {
    if (std::abs(ExpandLevel(bits, level) - value) < std::abs(ExpandLevel(bits, best) - value)) best = level;
  }
  return best;
}

Rgb SnapColour(int32_t bits, Rgb c) {
  auto snap = [bits](uint8_t v) { return ExpandLevel(bits, NearestLevel(bits, v)); };
  return Rgb{snap(c.red), snap(c.green), snap(c.blue)};
}

int32_t EntriesOutsideDepth(const PaletteHistory& history, int32_t bits) {
  if (bits >= 8) return 0;
  int32_t outside = 0;
  for (int32_t i = 0; i < history.ColourCount(); ++i) {
    const Rgb c = history.Entry(i), s = SnapColour(bits, c);
    if (c.red != s.red || c.green != s.green || c.blue != s.blue) ++outside;
  }
  return outside;
}

int32_t LevelScroll(int32_t level, int32_t code, int32_t thumbPos, int32_t topLevel) {
  const int32_t page = (topLevel + 1) * 15 / 256 > 0 ? (topLevel + 1) * 15 / 256 : 1;
  auto clamp = [topLevel](int32_t v) { return v < 0 ? 0 : (v > topLevel ? topLevel : v); };
  switch (code) {
    case 0: return clamp(level - 1);  // SB_LINELEFT
    case 1: return clamp(level + 1);  // SB_LINERIGHT
    case 2: return clamp(level - page);
    case 3: return clamp(level + page);
    case 4: case 5: return clamp(thumbPos);  // SB_THUMBPOSITION, SB_THUMBTRACK
    case 6: return 0;                        // SB_LEFT
    case 7: return topLevel;                 // SB_RIGHT
    default: return clamp(level);
  }
}

std::string PixelText(int64_t x, int64_t y, int32_t entry, Rgb c, bool japanese) {
  char text[96];
  std::snprintf(text, sizeof text,
                japanese ? "x %lld, y %lld: %d番 = %d %d %d" : "x %lld, y %lld: entry %d = %d %d %d",
                static_cast<long long>(x), static_cast<long long>(y), entry, c.red, c.green, c.blue);
  return text;
}

std::string StatusLine(const StatusFacts& facts, bool japanese) {
  if (!facts.pixel.empty()) return facts.pixel;
  if (facts.wrongColour) {
    return japanese ? "色は #1a1c2c、1a1c2c、26 28 44 のように書きます."
                    : "Write #1a1c2c, 1a1c2c or 26 28 44.";
  }
  if (facts.limitReached) return LimitText(japanese);
  if (facts.depthBits < 8 && facts.outsideDepth > 0) {
    char text[96];
    std::snprintf(text, sizeof text,
                  japanese ? "%dビット色で表せない色: %d個" : "Entries outside %d-bit color: %d",
                  3 * facts.depthBits, facts.outsideDepth);
    return text;
  }
  return "";
}

}  // namespace kestro
