// The palette window's working tools, without a window: a colour typed or
// pasted as text, the colour depths a console can show (24-bit, and 5, 4 or
// 3 bits a channel expanded to 8 by repeating their bits, the way the
// consoles' own tools expand them), the line that names the pixel under the
// cursor, and the status line that says the most pressing of what the
// window has to say.
#pragma once

#include <cstdint>
#include <string>

#include "kestro98/core/palette_history.h"

namespace kestro {

// "#1a1c2c", "1A1C2C" or "26 28 44" (decimal 0..255, separated by spaces,
// commas or tabs), blanks around it allowed. False, *out untouched, for
// anything else.
bool ParseColourText(const char* text, Rgb* out);

// "#1a1c2c": what the edit field shows of the bars' colour.
std::string ColourText(Rgb colour);

// Bits a channel: 8 (24-bit colour, the file's own), 5, 4 or 3.
constexpr int32_t kDepthBits[4] = {8, 5, 4, 3};

// The 8-bit value of level v (0 .. 2^bits - 1): its bits repeated down to
// eight, so 5 bits give v << 3 | v >> 2 and the top level is 255.
uint8_t ExpandLevel(int32_t bits, int32_t level);

// The level whose expansion lies nearest `value` (the lower one on a tie).
int32_t NearestLevel(int32_t bits, uint8_t value);

// Each channel at the nearest colour of the depth.
Rgb SnapColour(int32_t bits, Rgb colour);

// Entries 0..count-1 of the current level whose colour the depth cannot show.
int32_t EntriesOutsideDepth(const PaletteHistory& history, int32_t bits);

// A colour bar's new level for a WM_HSCROLL code over 0..topLevel: line 1,
// page (topLevel + 1) * 15 / 256 but at least 1 (15 at 8 bits), thumb,
// ends; always within 0..topLevel.
int32_t LevelScroll(int32_t level, int32_t code, int32_t thumbPos, int32_t topLevel);

// "x 120, y 64: entry 37 = 120 64 200" (Japanese twin), UTF-8.
std::string PixelText(int64_t x, int64_t y, int32_t entry, Rgb colour, bool japanese);

// The status line's one line, the first that applies: the pixel under the
// cursor, how a colour is written after a wrong one, the change limit, the
// entries outside a reduced depth; empty when none does.
struct StatusFacts {
  std::string pixel;         // PixelText, or empty off the picture
  bool wrongColour = false;  // the last typed or pasted text was no colour
  bool limitReached = false;
  int32_t depthBits = 8;
  int32_t outsideDepth = 0;  // EntriesOutsideDepth at depthBits
};
std::string StatusLine(const StatusFacts& facts, bool japanese);

}  // namespace kestro
