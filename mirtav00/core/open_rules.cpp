#include "mirtav00/core/open_rules.h"

#include <cstring>
#include <limits>

#include "common/base/core/path_text.h"

namespace mirtav {

namespace {

// Uncompressed, or the RLE of the depth: the remap works inside RLE codes.
bool CompressionFits(uint32_t compression, uint16_t bits) {
  return compression == bmp::kBiRgb || (compression == bmp::kBiRle8 && bits == 8) ||
         (compression == bmp::kBiRle4 && bits == 4);
}

// A table of the colours used is as good as a full one; a longer one is refused.
bool MatchesColourCount(uint16_t bits, int32_t colourCount) {
  return (bits == 4 || bits == 8) && colourCount >= 1 && colourCount <= (1 << bits);
}

}  // namespace

const Message* MessageOf(OpenVerdict verdict) {
  switch (verdict) {
    case OpenVerdict::kOk: return nullptr;
    case OpenVerdict::kNotFixedDisk: return &kMsgOpenNotFixedDisk;
    case OpenVerdict::kNotPictureExtension: return &kMsgOpenNotBmp;
    case OpenVerdict::kNotBitmap: return &kMsgNotBitmap;
    case OpenVerdict::kZeroSize: return &kMsgZeroSize;
    case OpenVerdict::kNotFourOrEightBit: return &kMsgNotFourOrEightBit;
  }
  return &kMsgNotBitmap;
}

bool HasPictureExtension(const char* path) {
  // '.' is never the second byte of a Shift-JIS character, so a byte-wise
  // suffix test is right in code page 932 as well.
  return path != nullptr &&
         (path_text::EndsWithIgnoringCase(path, ".BMP") || path_text::EndsWithIgnoringCase(path, ".PNG"));
}

OpenVerdict CheckOpenPath(const char* path, bool onFixedDisk) {
  if (!onFixedDisk) return OpenVerdict::kNotFixedDisk;
  if (!HasPictureExtension(path)) return OpenVerdict::kNotPictureExtension;
  return OpenVerdict::kOk;
}

OpenVerdict CheckOpenHeader(const uint8_t* head, size_t headSize, uint64_t fileSize,
                            shuffle::PaletteEntry paletteTable[256], int32_t* colourCount) {
  constexpr size_t kFront = bmp::kFileHeaderSize + bmp::kCoreHeaderSize;
  if (head == nullptr || headSize < kFront || fileSize < headSize) return OpenVerdict::kNotBitmap;
  if (head[0] != 'B' || head[1] != 'M') return OpenVerdict::kNotBitmap;
  bmp::InfoHeader info;
  if (!bmp::ReadInfoHeader(head + bmp::kFileHeaderSize, headSize - bmp::kFileHeaderSize, &info)) {
    return OpenVerdict::kNotBitmap;
  }

  const int32_t width = info.width;
  const int32_t rawHeight = info.rawHeight;
  if (width == 0 || rawHeight == 0) return OpenVerdict::kZeroSize;

  const uint16_t bits = info.bitCount;
  const uint32_t offsetField = bmp::GetU32(head + bmp::kBfOffBits);
  const int32_t n = bits > 8 ? 0 : bmp::TableEntryCount(info, offsetField);
  if (!MatchesColourCount(bits, n) || !CompressionFits(info.compression, bits)) {
    return OpenVerdict::kNotFourOrEightBit;
  }
  const bool rle = info.compression != bmp::kBiRgb;
  // GDI paints no top-down RLE picture; the reader refuses it too.
  if (rle && rawHeight < 0) return OpenVerdict::kNotBitmap;

  // The rows must lie inside what the reader reads (bmp::ReadEnd): the
  // file's first total-size bytes, after the colour table.
  if (width < 0 || rawHeight == std::numeric_limits<int32_t>::min()) return OpenVerdict::kNotBitmap;
  const uint64_t height = static_cast<uint64_t>(rawHeight < 0 ? -int64_t{rawHeight} : rawHeight);
  const uint64_t totalSize = bmp::ReadEnd(bmp::ParseFileHeader(head), bmp::PictureEnd(head, headSize), fileSize);
  if (totalSize < kFront + info.size - bmp::kCoreHeaderSize || totalSize > fileSize) {
    return OpenVerdict::kNotBitmap;
  }
  const uint64_t blockSize = totalSize - bmp::kFileHeaderSize;
  const uint64_t tableEnd = info.size + uint64_t{info.entrySize} * static_cast<uint64_t>(n);
  if (offsetField != 0 && offsetField < bmp::kFileHeaderSize) return OpenVerdict::kNotBitmap;
  const uint64_t pixelOffset = bmp::PixelOffsetInBlock(offsetField, n, info.size, info.entrySize);
  if (pixelOffset < tableEnd || pixelOffset >= blockSize) return OpenVerdict::kNotBitmap;
  const uint64_t available = blockSize - pixelOffset;
  if (info.sizeImage > available) return OpenVerdict::kNotBitmap;
  if (!rle && height > available / bmp::PaddedRowBytes(width, bits)) return OpenVerdict::kNotBitmap;
  if (headSize < bmp::kFileHeaderSize + tableEnd) return OpenVerdict::kNotBitmap;

  const uint8_t* entry = head + bmp::kFileHeaderSize + info.size;
  for (int i = 0; i < 256; ++i) paletteTable[i] = shuffle::PaletteEntry();
  for (int i = 0; i < n; ++i, entry += info.entrySize) {
    paletteTable[i] = {entry[0], entry[1], entry[2]};
  }
  *colourCount = n;
  return OpenVerdict::kOk;
}

bool ShufflerLayoutFits(const bmp::BlockLayout& l, uint64_t blockSize) {
  if (!CompressionFits(l.compression, l.bitCount) || !MatchesColourCount(l.bitCount, l.colourCount)) {
    return false;
  }
  if (l.width <= 0 || l.height <= 0) return false;
  if (l.rowBytes != bmp::PackedRowBytes(l.width, l.bitCount) ||
      l.rowStride != bmp::PaddedRowBytes(l.width, l.bitCount)) {
    return false;
  }
  if (!bmp::IsKnownInfoSize(l.infoSize) || l.colourTableOffset != l.infoSize) return false;
  if (l.entrySize != (l.infoSize == bmp::kCoreHeaderSize ? 3u : 4u)) return false;
  const uint64_t tableEnd = l.colourTableOffset + uint64_t{l.entrySize} * static_cast<uint64_t>(l.colourCount);
  if (tableEnd > l.pixelOffset) return false;
  if (l.pixelOffset > blockSize) return false;
  if (l.compression != bmp::kBiRgb) return !l.topDown && l.pixelBytes <= blockSize - l.pixelOffset;
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
