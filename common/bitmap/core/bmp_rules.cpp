#include "common/bitmap/core/bmp_rules.h"

#include <limits>

namespace bmp {

uint16_t GetU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int32_t GetI32(const uint8_t* p) { return static_cast<int32_t>(GetU32(p)); }

void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v & 0xFF);
  p[1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}

void PutU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v & 0xFF);
  p[1] = static_cast<uint8_t>((v >> 8) & 0xFF);
  p[2] = static_cast<uint8_t>((v >> 16) & 0xFF);
  p[3] = static_cast<uint8_t>((v >> 24) & 0xFF);
}

FileHeader ParseFileHeader(const uint8_t header[kFileHeaderSize]) {
  FileHeader fh;
  fh.type = GetU16(header + kBfType);
  fh.totalSize = GetU32(header + kBfSize);
  fh.pixelOffset = GetU32(header + kBfOffBits);
  return fh;
}

bool FileHeaderSizeIsSound(const FileHeader& fh) {
  return fh.totalSize >= kFileHeaderSize + kInfoHeaderSize;
}

int32_t BlockColourCount(uint32_t clrUsed, uint16_t bitCount) {
  if (clrUsed != 0) {
    if (clrUsed > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) return -1;
    return static_cast<int32_t>(clrUsed);
  }
  switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

uint64_t PaddedRowBytes(int64_t width, uint16_t bitCount) {
  if (width <= 0) return 0;
  return ((static_cast<uint64_t>(width) * bitCount + 31) / 32) * 4;
}

uint64_t PackedRowBytes(int64_t width, uint16_t bitCount) {
  if (width <= 0) return 0;
  return (static_cast<uint64_t>(width) * bitCount + 7) / 8;
}

uint64_t PixelOffsetInBlock(uint32_t pixelOffsetField, int32_t colourCount) {
  if (pixelOffsetField != 0) {
    return pixelOffsetField >= kFileHeaderSize ? pixelOffsetField - kFileHeaderSize : 0;
  }
  const uint64_t count = colourCount > 0 ? static_cast<uint64_t>(colourCount) : 0;
  return kInfoHeaderSize + 4 * count;
}

namespace {

bool IsKnownBitCount(uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool CompressionFits(uint32_t compression, uint16_t bits) {
  switch (compression) {
    case kBiRgb: return true;
    case kBiRle8: return bits == 8;
    case kBiRle4: return bits == 4;
    default: return false;
  }
}

}  // namespace

BlockCheck ApplyLockRules(uint8_t* block, size_t blockSize, const FileHeader& fh,
                          BlockLayout* layout) {
  if (block == nullptr || blockSize < 4) return BlockCheck::kBadLayout;
  if (GetU32(block + kBiSize) != kInfoHeaderSize) return BlockCheck::kBadInfoSize;
  if (blockSize < kInfoHeaderSize) return BlockCheck::kBadLayout;

  const uint64_t size = blockSize;
  const int32_t width = GetI32(block + kBiWidth);
  const int32_t rawHeight = GetI32(block + kBiHeight);
  const uint16_t bits = GetU16(block + kBiBitCount);
  const uint32_t compression = GetU32(block + kBiCompression);
  const uint32_t sizeImage = GetU32(block + kBiSizeImage);
  const uint32_t clrUsed = GetU32(block + kBiClrUsed);

  if (width <= 0 || rawHeight == 0) return BlockCheck::kBadLayout;
  // |INT32_MIN| has no int32 representation.
  if (rawHeight == std::numeric_limits<int32_t>::min()) return BlockCheck::kBadLayout;
  const bool topDown = rawHeight < 0;
  const int32_t height = topDown ? -rawHeight : rawHeight;

  if (!IsKnownBitCount(bits) || !CompressionFits(compression, bits)) {
    return BlockCheck::kBadLayout;
  }
  const bool rle = compression != kBiRgb;
  // GDI does not paint a top-down RLE picture.
  if (rle && topDown) return BlockCheck::kBadLayout;

  if (bits <= 8 && clrUsed > 256) return BlockCheck::kBadLayout;
  const int32_t colourCount = BlockColourCount(clrUsed, bits);
  if (colourCount < 0) return BlockCheck::kBadLayout;
  const uint64_t tableEnd = kInfoHeaderSize + 4 * static_cast<uint64_t>(colourCount);
  if (tableEnd > size) return BlockCheck::kBadLayout;

  uint64_t pixelOffset = tableEnd;
  if (fh.pixelOffset != 0) {
    if (fh.pixelOffset < kFileHeaderSize) return BlockCheck::kBadLayout;
    pixelOffset = static_cast<uint64_t>(fh.pixelOffset) - kFileHeaderSize;
    if (pixelOffset < tableEnd) return BlockCheck::kBadLayout;
  }
  if (pixelOffset >= size) return BlockCheck::kBadLayout;
  const uint64_t available = size - pixelOffset;

  if (sizeImage != 0 && sizeImage > available) return BlockCheck::kBadLayout;

  const uint64_t stride = PaddedRowBytes(width, bits);
  uint64_t pixelBytes = 0;
  uint32_t newSizeImage = sizeImage;
  if (rle) {
    if (sizeImage == 0) {
      // GDI reads biSizeImage bytes of compressed data: give it what is there.
      if (available > std::numeric_limits<uint32_t>::max()) return BlockCheck::kBadLayout;
      newSizeImage = static_cast<uint32_t>(available);
    }
    pixelBytes = newSizeImage;
  } else {
    if (static_cast<uint64_t>(height) > available / stride) return BlockCheck::kBadLayout;
    pixelBytes = stride * static_cast<uint64_t>(height);
    if (sizeImage == 0) {
      if (pixelBytes > std::numeric_limits<uint32_t>::max()) return BlockCheck::kBadLayout;
      newSizeImage = static_cast<uint32_t>(pixelBytes);
    }
  }

  if (clrUsed == 0) PutU32(block + kBiClrUsed, static_cast<uint32_t>(colourCount));
  if (sizeImage == 0) PutU32(block + kBiSizeImage, newSizeImage);

  if (layout != nullptr) {
    layout->width = width;
    layout->height = height;
    layout->topDown = topDown;
    layout->bitCount = bits;
    layout->compression = compression;
    layout->colourCount = colourCount;
    layout->colourTableOffset = kInfoHeaderSize;
    layout->pixelOffset = pixelOffset;
    layout->pixelBytes = pixelBytes;
    layout->rowStride = stride;
    layout->rowBytes = PackedRowBytes(width, bits);
  }
  return BlockCheck::kOk;
}

}  // namespace bmp
