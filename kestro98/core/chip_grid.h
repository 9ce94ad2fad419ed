// The palette window's input geometry: the 16 x 16 chip grid over the chip
// area (14, 247)-(275, 394), each cell 16.3125 x 9.1875 pixels with a
// two-pixel gap right and below that belongs to no chip, the hit test of a
// press, and the colour scroll bars' notification codes (line 1, page 15,
// 0..255).
#pragma once

#include <cstdint>

namespace kestro {

struct ChipArea {
  int32_t left = 14, top = 247, right = 275, bottom = 394;
};

struct CellRect {
  int32_t x0, y0, x1, y1;  // the chip, both ends inclusive in the hit test
};

// The cell of row and column 0..15: x0 = L + trunc(c w), x1 = L + trunc((c+1) w) - 2.
CellRect ChipCell(int32_t row, int32_t column, const ChipArea& area = ChipArea());

// The chip index under client point (x, y), or -1 for a gap, an empty cell
// (index not below colourCount) or a point outside the grid.
int32_t HitChip(int32_t x, int32_t y, int32_t colourCount, const ChipArea& area = ChipArea());

// A colour bar's new value for a WM_HSCROLL code: SB_LINELEFT/RIGHT 1,
// SB_PAGELEFT/RIGHT 15, SB_THUMBPOSITION/THUMBTRACK thumbPos, SB_LEFT 0,
// SB_RIGHT 255, anything else unchanged; always within 0..255.
int32_t ColourScroll(int32_t value, int32_t code, int32_t thumbPos);

}  // namespace kestro
