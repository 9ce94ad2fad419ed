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
  return fh.totalSize >= kFileHeaderSize + kCoreHeaderSize;
}

uint64_t PictureEnd(const uint8_t* file, size_t size) {
  if (file == nullptr || size < kFileHeaderSize) return 0;
  InfoHeader info;
  if (!ReadInfoHeader(file + kFileHeaderSize, size - kFileHeaderSize, &info)) return 0;
  const uint32_t offsetField = GetU32(file + kBfOffBits);
  const int32_t count = TableEntryCount(info, offsetField);
  if (count < 0 || info.width <= 0 || info.rawHeight == std::numeric_limits<int32_t>::min()) return 0;
  const uint64_t pixelOffset =
      offsetField != 0 ? offsetField
                       : kFileHeaderSize + info.size + uint64_t{info.entrySize} * static_cast<uint64_t>(count);
  if (info.compression != kBiRgb) return info.sizeImage == 0 ? 0 : pixelOffset + info.sizeImage;
  const uint64_t height = static_cast<uint64_t>(info.rawHeight < 0 ? -int64_t{info.rawHeight} : info.rawHeight);
  return pixelOffset + PaddedRowBytes(info.width, info.bitCount) * height;
}

uint64_t ReadEnd(const FileHeader& fh, uint64_t pictureEnd, uint64_t fileLength) {
  if (pictureEnd <= fh.totalSize || !FileHeaderSizeIsSound(fh)) return fh.totalSize;
  return pictureEnd < fileLength ? pictureEnd : fileLength;
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

uint64_t PixelOffsetInBlock(uint32_t pixelOffsetField, int32_t colourCount, uint32_t infoSize,
                            uint32_t entrySize) {
  if (pixelOffsetField != 0) {
    return pixelOffsetField >= kFileHeaderSize ? pixelOffsetField - kFileHeaderSize : 0;
  }
  const uint64_t count = colourCount > 0 ? static_cast<uint64_t>(colourCount) : 0;
  return infoSize + uint64_t{entrySize} * count;
}

bool IsKnownInfoSize(uint32_t size) {
  switch (size) {
    case kCoreHeaderSize: case kInfoHeaderSize: case 52: case 56: case 108: case 124:
      return true;
    default:
      return false;
  }
}

bool ReadInfoHeader(const uint8_t* info, size_t available, InfoHeader* out) {
  if (info == nullptr || available < 4) return false;
  const uint32_t size = GetU32(info + kBiSize);
  if (!IsKnownInfoSize(size) || available < size) return false;
  InfoHeader h;
  h.size = size;
  if (size == kCoreHeaderSize) {
    h.width = GetU16(info + kBcWidth);
    h.rawHeight = GetU16(info + kBcHeight);
    h.bitCount = GetU16(info + kBcBitCount);
    h.entrySize = 3;
  } else {
    h.width = GetI32(info + kBiWidth);
    h.rawHeight = GetI32(info + kBiHeight);
    h.bitCount = GetU16(info + kBiBitCount);
    h.compression = GetU32(info + kBiCompression);
    h.sizeImage = GetU32(info + kBiSizeImage);
    h.clrUsed = GetU32(info + kBiClrUsed);
  }
  *out = h;
  return true;
}

int32_t TableEntryCount(const InfoHeader& h, uint32_t pixelOffsetField) {
  const int32_t full = BlockColourCount(h.clrUsed, h.bitCount);
  if (h.size != kCoreHeaderSize || pixelOffsetField == 0) return full;
  // Writers of the core header may list only the colours they use.
  const uint64_t tableStart = kFileHeaderSize + uint64_t{kCoreHeaderSize};
  if (pixelOffsetField <= tableStart) return full;
  const uint64_t room = (pixelOffsetField - tableStart) / h.entrySize;
  return room > 0 && room < static_cast<uint64_t>(full) ? static_cast<int32_t>(room) : full;
}

void TableAsQuads(const uint8_t* block, const BlockLayout& l, uint8_t* quads, uint32_t entries) {
  const uint32_t count = l.colourCount > 0 ? static_cast<uint32_t>(l.colourCount) : 0;
  const uint32_t known = count < entries ? count : entries;
  const uint8_t* entry = block + l.colourTableOffset;
  for (uint32_t i = 0; i < known; ++i, entry += l.entrySize, quads += 4) {
    quads[0] = entry[0];
    quads[1] = entry[1];
    quads[2] = entry[2];
    quads[3] = 0;
  }
  for (uint32_t i = known; i < entries; ++i, quads += 4) quads[0] = quads[1] = quads[2] = quads[3] = 0;
}

void PutTableEntry(uint8_t* block, const BlockLayout& l, uint32_t i, uint8_t blue, uint8_t green,
                   uint8_t red) {
  uint8_t* entry = block + l.colourTableOffset + uint64_t{l.entrySize} * i;
  entry[0] = blue;
  entry[1] = green;
  entry[2] = red;
  if (l.entrySize == 4) entry[3] = 0;
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
  if (!IsKnownInfoSize(GetU32(block + kBiSize))) return BlockCheck::kBadInfoSize;
  InfoHeader info;
  if (!ReadInfoHeader(block, blockSize, &info)) return BlockCheck::kBadLayout;
  const bool core = info.size == kCoreHeaderSize;

  const uint64_t size = blockSize;
  const int32_t width = info.width;
  const int32_t rawHeight = info.rawHeight;
  const uint16_t bits = info.bitCount;
  const uint32_t compression = info.compression;
  const uint32_t sizeImage = info.sizeImage;
  const uint32_t clrUsed = info.clrUsed;

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
  const int32_t colourCount = TableEntryCount(info, fh.pixelOffset);
  if (colourCount < 0) return BlockCheck::kBadLayout;
  const uint64_t tableEnd = info.size + uint64_t{info.entrySize} * static_cast<uint64_t>(colourCount);
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

  if (!core && clrUsed == 0) PutU32(block + kBiClrUsed, static_cast<uint32_t>(colourCount));
  if (!core && sizeImage == 0) PutU32(block + kBiSizeImage, newSizeImage);

  if (layout != nullptr) {
    layout->width = width;
    layout->height = height;
    layout->topDown = topDown;
    layout->bitCount = bits;
    layout->compression = compression;
    layout->colourCount = colourCount;
    layout->infoSize = info.size;
    layout->entrySize = info.entrySize;
    layout->colourTableOffset = info.size;
    layout->pixelOffset = pixelOffset;
    layout->pixelBytes = pixelBytes;
    layout->rowStride = stride;
    layout->rowBytes = PackedRowBytes(width, bits);
  }
  return BlockCheck::kOk;
}

}  // namespace bmp
