#include "mirtav00/reduced_paint.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/bitmap/core/view_sampling.h"
#include "mirtav00/core/window_rules.h"

namespace mirtav {

namespace {

// More than any screen holds at 8 bits; a larger request is refused.
constexpr uint64_t kMaxSampledBytes = uint64_t{64} << 20;

}  // namespace

bool PaintReducedPicture(HDC dc, const RECT& area, const uint8_t* block, size_t blockSize,
                         const bmp::BlockLayout& layout, int32_t reductionFactor) {
  const PictureRect at = PicturePaintRect(layout.width, layout.height, reductionFactor);
  if (at.width <= 0 || at.height <= 0) return true;
  if (layout.colourCount < 0 || layout.colourCount > 256 ||
      layout.colourTableOffset + 4u * static_cast<uint64_t>(layout.colourCount) > blockSize) {
    return false;
  }
  sampling::Stretch stretch;
  stretch.srcWidth = layout.width;
  stretch.srcHeight = layout.height;
  stretch.dstX = at.left;
  stretch.dstY = at.top;
  stretch.dstWidth = at.width;
  stretch.dstHeight = at.height;
  stretch.visLeft = area.left;
  stretch.visTop = area.top;
  stretch.visRight = area.right;
  stretch.visBottom = area.bottom;
  sampling::Sampled sampled;
  if (!sampling::Sample(sampling::RowsOfBlock(block, blockSize, layout), stretch,
                        kMaxSampledBytes, &sampled)) {
    return false;
  }
  if (sampled.width <= 0 || sampled.height <= 0) return true;

  // Header and the block's colour table, for the small DIB.
  std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 4 * 256, 0);
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = static_cast<LONG>(sampled.width);
  header.biHeight = static_cast<LONG>(sampled.height);
  header.biPlanes = 1;
  header.biBitCount = layout.bitCount;
  header.biCompression = BI_RGB;
  header.biClrUsed = static_cast<DWORD>(layout.colourCount);
  std::memcpy(info.data(), &header, sizeof header);
  std::memcpy(info.data() + sizeof header, block + layout.colourTableOffset,
              4u * static_cast<size_t>(layout.colourCount));

  const int left = static_cast<int>(std::max<int64_t>(area.left, at.left));
  const int top = static_cast<int>(std::max<int64_t>(area.top, at.top));
  SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(sampled.width),
                    static_cast<DWORD>(sampled.height), 0, 0, 0,
                    static_cast<UINT>(sampled.height), sampled.pixels.data(),
                    reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
  return true;
}

}  // namespace mirtav
