#include "mirtav00/core/open_rules.h"

#include <cstring>
#include <limits>

#include "common/base/core/path_text.h"

namespace mirtav {

namespace {

bool MatchesColourCount(uint16_t bits, int32_t colourCount) {
  return (bits == 4 && colourCount == 16) || (bits == 8 && colourCount == 256);
}

using path_text::AsciiUpper;

}  // namespace

const Message* MessageOf(OpenVerdict verdict) {
  switch (verdict) {
    case OpenVerdict::kOk: return nullptr;
    case OpenVerdict::kNotFixedDisk: return &kMsgOpenNotFixedDisk;
    case OpenVerdict::kNotBmpExtension: return &kMsgOpenNotBmp;
    case OpenVerdict::kNotBitmap: return &kMsgNotBitmap;
    case OpenVerdict::kZeroSize: return &kMsgZeroSize;
    case OpenVerdict::kNotFourOrEightBit: return &kMsgNotFourOrEightBit;
  }
  return &kMsgNotBitmap;
}

bool HasBmpExtension(const char* path) {
  if (path == nullptr) return false;
  const size_t n = std::strlen(path);
  // '.' is never the second byte of a Shift-JIS character, so a byte-wise
  // suffix test is right in code page 932 as well.
  if (n < 4) return false;
  const char* ext = path + n - 4;
  return ext[0] == '.' && AsciiUpper(ext[1]) == 'B' && AsciiUpper(ext[2]) == 'M' && AsciiUpper(ext[3]) == 'P';
}

OpenVerdict CheckOpenPath(const char* path, bool onFixedDisk) {
  if (!onFixedDisk) return OpenVerdict::kNotFixedDisk;
  if (!HasBmpExtension(path)) return OpenVerdict::kNotBmpExtension;
  return OpenVerdict::kOk;
}

OpenVerdict CheckOpenHeader(const uint8_t* head, size_t headSize, uint64_t fileSize,
                            shuffle::PaletteEntry paletteTable[256], int32_t* colourCount) {
  constexpr size_t kFront = bmp::kFileHeaderSize + bmp::kInfoHeaderSize;
  if (head == nullptr || headSize < kFront || fileSize < headSize) return OpenVerdict::kNotBitmap;
  const uint8_t* info = head + bmp::kFileHeaderSize;
  if (head[0] != 'B' || head[1] != 'M' || bmp::GetU32(info + bmp::kBiSize) != 40) {
    return OpenVerdict::kNotBitmap;
  }

  const int32_t width = bmp::GetI32(info + bmp::kBiWidth);
  const int32_t rawHeight = bmp::GetI32(info + bmp::kBiHeight);
  if (width == 0 || rawHeight == 0) return OpenVerdict::kZeroSize;

  const uint16_t bits = bmp::GetU16(info + bmp::kBiBitCount);
  const uint32_t clrUsed = bmp::GetU32(info + bmp::kBiClrUsed);
  const int32_t n = bits > 8 ? 0 : bmp::BlockColourCount(clrUsed, bits);
  // RLE4 and RLE8 hold codes, not pixels: the remap would destroy them.
  if (!MatchesColourCount(bits, n) || bmp::GetU32(info + bmp::kBiCompression) != bmp::kBiRgb) {
    return OpenVerdict::kNotFourOrEightBit;
  }

  // The rows must lie inside what the reader reads: the file's first
  // total-size bytes, after the colour table.
  if (width < 0 || rawHeight == std::numeric_limits<int32_t>::min()) return OpenVerdict::kNotBitmap;
  const uint64_t height = static_cast<uint64_t>(rawHeight < 0 ? -int64_t{rawHeight} : rawHeight);
  const uint64_t totalSize = bmp::GetU32(head + bmp::kBfSize);
  if (totalSize < kFront || totalSize > fileSize) return OpenVerdict::kNotBitmap;
  const uint64_t blockSize = totalSize - bmp::kFileHeaderSize;
  const uint64_t tableEnd = bmp::kInfoHeaderSize + 4 * static_cast<uint64_t>(n);
  const uint32_t offsetField = bmp::GetU32(head + bmp::kBfOffBits);
  if (offsetField != 0 && offsetField < bmp::kFileHeaderSize) return OpenVerdict::kNotBitmap;
  const uint64_t pixelOffset = bmp::PixelOffsetInBlock(offsetField, n);
  if (pixelOffset < tableEnd || pixelOffset >= blockSize) return OpenVerdict::kNotBitmap;
  const uint64_t available = blockSize - pixelOffset;
  const uint32_t sizeImage = bmp::GetU32(info + bmp::kBiSizeImage);
  if (sizeImage > available) return OpenVerdict::kNotBitmap;
  if (height > available / bmp::PaddedRowBytes(width, bits)) return OpenVerdict::kNotBitmap;
  if (headSize < bmp::kFileHeaderSize + tableEnd) return OpenVerdict::kNotBitmap;

  const uint8_t* entry = info + bmp::kInfoHeaderSize;
  for (int i = 0; i < 256; ++i) paletteTable[i] = shuffle::PaletteEntry();
  for (int i = 0; i < n; ++i, entry += 4) paletteTable[i] = {entry[0], entry[1], entry[2]};
  *colourCount = n;
  return OpenVerdict::kOk;
}

bool ShufflerLayoutFits(const bmp::BlockLayout& l, uint64_t blockSize) {
  if (l.compression != bmp::kBiRgb || !MatchesColourCount(l.bitCount, l.colourCount)) return false;
  if (l.infoSize != bmp::kInfoHeaderSize) return false;
  if (l.width <= 0 || l.height <= 0) return false;
  if (l.rowBytes != bmp::PackedRowBytes(l.width, l.bitCount) ||
      l.rowStride != bmp::PaddedRowBytes(l.width, l.bitCount)) {
    return false;
  }
  const uint64_t tableEnd = l.colourTableOffset + 4 * static_cast<uint64_t>(l.colourCount);
  if (l.colourTableOffset < bmp::kInfoHeaderSize || tableEnd > l.pixelOffset) return false;
  if (l.pixelOffset > blockSize) return false;
  return static_cast<uint64_t>(l.height) <= (blockSize - l.pixelOffset) / l.rowStride;
}

bool FactsFromLayout(const bmp::BlockLayout& l, uint64_t blockSize, uint64_t fileSize,
                     ShufflerPicture* picture) {
  if (!ShufflerLayoutFits(l, blockSize)) return false;
  picture->fileSize = fileSize;
  picture->width = l.width;
  picture->height = l.height;
  picture->topDown = l.topDown;
  picture->colourCount = l.colourCount;
  picture->bitCount = l.bitCount;
  picture->rowStride = l.rowStride;
  picture->rowBytes = l.rowBytes;
  picture->imageSize = static_cast<uint64_t>(l.height) * l.rowStride;
  return true;
}

}  // namespace mirtav
