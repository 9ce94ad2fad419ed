// The open picture painted at 1 / reductionFactor below the icon bar, at the
// cost of what the screen shows: only the source pixels StretchDIBits
// (COLORONCOLOR) would show are sampled (sampling::Sample) into a small DIB,
// painted 1:1 with the block's own colour table.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/bitmap/core/bmp_rules.h"

namespace mirtav {

// Paints the part of the reduced picture inside `area` (client coordinates)
// from a locked block. False, with nothing painted, when the block cannot be
// sampled.
bool PaintReducedPicture(HDC dc, const RECT& area, const uint8_t* block, size_t blockSize,
                         const bmp::BlockLayout& layout, int32_t reductionFactor);

}  // namespace mirtav
