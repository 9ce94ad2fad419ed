#include "kestro98/core/chip_grid.h"

#include "kestro98/core/colour_tools.h"

namespace kestro {

namespace {

// trunc(i x (span / 16)) for i >= 0, exactly: span / 16 is a binary fraction.
int32_t Step(int32_t i, int32_t span) { return static_cast<int32_t>((int64_t{i} * span) / 16); }

}  // namespace

CellRect ChipCell(int32_t row, int32_t column, const ChipArea& a) {
  const int32_t w = a.right - a.left, h = a.bottom - a.top;
  return {a.left + Step(column, w), a.top + Step(row, h), a.left + Step(column + 1, w) - 2,
          a.top + Step(row + 1, h) - 2};
}

int32_t HitChip(int32_t x, int32_t y, int32_t colourCount, const ChipArea& area) {
  for (int32_t row = 0; row < 16; ++row) {
    for (int32_t column = 0; column < 16; ++column) {
      const CellRect c = ChipCell(row, column, area);
      if (c.x0 <= x && x <= c.x1 && c.y0 <= y && y <= c.y1) {
        const int32_t index = 16 * row + column;
        return index < colourCount ? index : -1;
      }
    }
  }
  return -1;
}

int32_t ColourScroll(int32_t value, int32_t code, int32_t thumbPos) {
  return LevelScroll(value, code, thumbPos, 255);
}

}  // namespace kestro
