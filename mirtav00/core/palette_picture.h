// The palette as the shuffler shows and copies it: a grid of 12 x 12 cells at
// a pitch of 16 from (6, 6) in a 264 x 264 area, 16 rows for 256 colours and
// one row of entries 0..15 otherwise (also before any open, when the table is
// all zero: 16 black cells). Each cell is its entry's colour with a 1-pixel
// black frame, so a 10 x 10 interior shows the colour; the rest is white.
// The Copy PLT picture is built here at 24 bits on plain memory, header and
// rows, so its colours are exact whatever the display's depth; the Win32
// layer copies the bytes into the clipboard block (and may paint the window
// from the same pixels).
#pragma once

#include <cstddef>
#include <cstdint>

#include "mirtav00/core/shuffle.h"

namespace mirtav {

constexpr int32_t kCellPitch = 16;
constexpr int32_t kCellOrigin = 6;
constexpr int32_t kCellSize = 12;
constexpr int32_t kPaletteSide = 264;                                // client area and copied picture
constexpr uint32_t kPaletteRowBytes = 792;                           // 264 x 3, a multiple of 4
constexpr uint32_t kPaletteImageSize = kPaletteRowBytes * 264;       // 209088
constexpr size_t kPaletteDibSize = 40 + kPaletteImageSize;           // 209128

// Right and bottom exclusive, as Rectangle and FrameRect take them.
struct CellRect {
  int32_t left, top, right, bottom;
};

// Cells drawn: the grid of the depth, 256 for 8 bits (or a table longer than
// 16), else 16 (one row).
int32_t CellCount(int32_t colourCount, uint16_t bitCount = 0);

// The cell of entry i (0..255): row i / 16, column i % 16.
CellRect CellOf(int32_t entry);

// The entry whose cell (with the gap around it, so every point between
// cells belongs to one) holds client point (x, y), among the first
// colourCount entries; -1 outside them.
int32_t EntryAt(int32_t x, int32_t y, int32_t colourCount);

// The row length of a 24-bit DIB: 4 x width - 4 x (width / 4), which is
// 3 x width rounded up to a multiple of 4.
uint32_t Dib24RowBytes(int32_t width);

// Writes the CF_DIB block of kPaletteDibSize bytes into out: the header
// 40, 264, 264, 1, 24, 0, 209088, 0, 0, 0, 0, then the rows bottom-up in
// blue, green, red order. Colours are the low bytes of paletteTable; cells
// past the table's colourCount entries are black, as its pixels show.
void WritePaletteDib(const shuffle::PaletteEntry* paletteTable, int32_t colourCount, uint8_t* out,
                     uint16_t bitCount = 0);

}  // namespace mirtav
