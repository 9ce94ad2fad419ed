#include "common/bitmap/sampled_paint.h"

#include <cstring>
#include <new>

namespace {

constexpr uint64_t kMaxSampleBytes = 256ull << 20;

bool SameStretch(const sampling::Stretch& a, const sampling::Stretch& b) {
  return a.srcX == b.srcX && a.srcTop == b.srcTop && a.srcWidth == b.srcWidth &&
         a.srcHeight == b.srcHeight && a.dstX == b.dstX && a.dstY == b.dstY &&
         a.dstWidth == b.dstWidth && a.dstHeight == b.dstHeight && a.visLeft == b.visLeft &&
         a.visTop == b.visTop && a.visRight == b.visRight && a.visBottom == b.visBottom;
}

bool SameLayout(const bmp::BlockLayout& a, const bmp::BlockLayout& b) {
  return a.width == b.width && a.height == b.height && a.topDown == b.topDown &&
         a.bitCount == b.bitCount && a.compression == b.compression &&
         a.colourCount == b.colourCount && a.pixelOffset == b.pixelOffset &&
         a.pixelBytes == b.pixelBytes && a.rowStride == b.rowStride;
}

// The header and colour table of the sampled DIB: the block's table as it is now.
struct SampleInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};

}  // namespace

void SampledPaint::Forget() {
  valid_ = false;
  sampled_ = sampling::Sampled();
  index_.Clear();
}

bool SampledPaint::Resample(const uint8_t* block, size_t blockSize,
                            const bmp::BlockLayout& layout, const sampling::Stretch& stretch) {
  valid_ = false;
  sampled_ = sampling::Sampled();
  if (layout.compression != bmp::kBiRgb) {
    const bool sameStream = index_.built() && SameLayout(layout, keyLayout_);
    if (!sameStream) {
      keyLayout_ = layout;
      if (layout.pixelOffset > blockSize || layout.pixelBytes > blockSize - layout.pixelOffset ||
          !index_.Build(block + layout.pixelOffset, static_cast<size_t>(layout.pixelBytes),
                        layout.bitCount, layout.width, layout.height)) {
        index_.Clear();
        return false;
      }
    }
  }
  const sampling::SourceRows rows = sampling::RowsOfBlock(block, blockSize, layout, &index_);
  if (!sampling::Sample(rows, stretch, kMaxSampleBytes, &sampled_)) return false;
  key_ = stretch;
  keyLayout_ = layout;
  valid_ = true;
  return true;
}

bool SampledPaint::Paint(HDC dc, const uint8_t* block, size_t blockSize,
                         const bmp::BlockLayout& layout, const sampling::Stretch& stretch) {
  if (block == nullptr || layout.colourCount <= 0 || layout.colourCount > 256) return false;
  if (!valid_ || !SameStretch(stretch, key_) || !SameLayout(layout, keyLayout_)) {
    try {
      if (!Resample(block, blockSize, layout, stretch)) return false;
    } catch (const std::bad_alloc&) {
      valid_ = false;
      sampled_ = sampling::Sampled();
      return false;
    }
  }
  if (sampled_.width <= 0 || sampled_.height <= 0) return true;  // nothing visible

  SampleInfo info = {};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = static_cast<LONG>(sampled_.width);
  info.header.biHeight = static_cast<LONG>(sampled_.height);
  info.header.biPlanes = 1;
  info.header.biBitCount = layout.bitCount;
  info.header.biCompression = BI_RGB;
  // The whole table of the depth: an index past the block's table paints black.
  const uint32_t entries = layout.bitCount <= 8 ? 1u << layout.bitCount : 0;
  info.header.biClrUsed = static_cast<DWORD>(entries);
  const uint64_t tableBytes = uint64_t{layout.entrySize} * static_cast<uint64_t>(layout.colourCount);
  if (layout.colourTableOffset > blockSize || tableBytes > blockSize - layout.colourTableOffset ||
      entries == 0) {
    return false;
  }
  bmp::TableAsQuads(block, layout, reinterpret_cast<uint8_t*>(info.colours), entries);
  if (shownOnly_ >= 0) {
    for (uint32_t i = 0; i < entries; ++i) {
      if (static_cast<int32_t>(i) == shownOnly_) continue;
      RGBQUAD& q = info.colours[i];
      // A quarter of the colour over a mid grey: the pixels stay apart, none stands out.
      q.rgbRed = static_cast<BYTE>(96 + q.rgbRed / 4);
      q.rgbGreen = static_cast<BYTE>(96 + q.rgbGreen / 4);
      q.rgbBlue = static_cast<BYTE>(96 + q.rgbBlue / 4);
    }
  }

  // The sampled part starts where the visible part meets the destination.
  const int64_t left = stretch.visLeft > stretch.dstX ? stretch.visLeft : stretch.dstX;
  const int64_t top = stretch.visTop > stretch.dstY ? stretch.visTop : stretch.dstY;
  const int height = static_cast<int>(sampled_.height);
  SetDIBitsToDevice(dc, static_cast<int>(left), static_cast<int>(top),
                    static_cast<DWORD>(sampled_.width), static_cast<DWORD>(height), 0, 0, 0,
                    static_cast<UINT>(height), sampled_.pixels.data(),
                    reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS);
  return true;
}

bool SampledPaint::ShownAt(const sampling::Stretch& stretch, int64_t x, int64_t y,
                          int64_t* column, int64_t* row, uint8_t* entry) const {
  if (!valid_ || !SameStretch(stretch, key_)) return false;
  const int64_t left = stretch.visLeft > stretch.dstX ? stretch.visLeft : stretch.dstX;
  const int64_t top = stretch.visTop > stretch.dstY ? stretch.visTop : stretch.dstY;
  if (x < left || y < top || x - left >= sampled_.width || y - top >= sampled_.height) return false;
  const uint64_t c = static_cast<uint64_t>(x - left);
  const uint64_t at = static_cast<uint64_t>(sampled_.height - 1 - (y - top)) * sampled_.rowStride;
  const uint32_t bits = keyLayout_.bitCount;
  if (bits != 1 && bits != 4 && bits != 8) return false;
  const uint64_t byte = at + c * bits / 8;
  if (byte >= sampled_.pixels.size()) return false;
  const uint32_t shift = 8 - bits - static_cast<uint32_t>(c * bits % 8);
  *entry = static_cast<uint8_t>((sampled_.pixels[byte] >> shift) & ((1u << bits) - 1));
  *column = sampling::SourceFor(sampling::Axis::kColumns, stretch.srcX, stretch.srcWidth,
                                stretch.dstX, stretch.dstWidth, x);
  *row = sampling::SourceFor(sampling::Axis::kRows, stretch.srcTop, stretch.srcHeight, stretch.dstY,
                             stretch.dstHeight, y);
  return *column >= 0 && *row >= 0;
}

void PaintBackground(HDC dc, const sampling::Stretch& stretch) {
  HWND window = WindowFromDC(dc);
  HBRUSH brush = window != nullptr ? reinterpret_cast<HBRUSH>(
                                         GetClassLongPtrA(window, GCLP_HBRBACKGROUND))
                                   : nullptr;
  if (brush == nullptr) brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  const RECT area = {static_cast<LONG>(stretch.visLeft), static_cast<LONG>(stretch.visTop),
                     static_cast<LONG>(stretch.visRight), static_cast<LONG>(stretch.visBottom)};
  FillRect(dc, &area, brush);
}
