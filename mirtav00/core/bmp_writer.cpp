#include "mirtav00/core/bmp_writer.h"

#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "mirtav00/core/open_rules.h"

namespace mirtav {

namespace {

// Rows are gathered into writes of about a megabyte: one write per row
// costs more in system calls than the copy.
constexpr size_t kChunk = 1024 * 1024;

}  // namespace

uint64_t ShufflerBmpFileSize(const bmp::BlockLayout& l) {
  const uint64_t rows = l.height > 0 ? static_cast<uint64_t>(l.height) : 0;
  const uint64_t colours = l.colourCount > 0 ? static_cast<uint64_t>(l.colourCount) : 0;
  const uint64_t pixels = l.compression != bmp::kBiRgb ? l.pixelBytes : rows * l.rowStride;
  return bmp::kFileHeaderSize + bmp::kInfoHeaderSize + 4 * colours + pixels;
}

BmpResult WriteShufflerBmp(const uint8_t* block, size_t blockSize, const bmp::BlockLayout& l,
                           tiff::ByteSink& sink) {
  if (block == nullptr || !ShufflerLayoutFits(l, blockSize)) return BmpResult::kBadPicture;
  const uint64_t fileSize = ShufflerBmpFileSize(l);
  if (fileSize > std::numeric_limits<uint32_t>::max()) return BmpResult::kTooLarge;
  const uint32_t tableBytes = 4 * static_cast<uint32_t>(l.colourCount);
  const uint32_t pixelOffset = bmp::kFileHeaderSize + bmp::kInfoHeaderSize + tableBytes;

  std::vector<uint8_t> front(pixelOffset);
  front[0] = 'B';
  front[1] = 'M';
  bmp::PutU32(&front[2], static_cast<uint32_t>(fileSize));
  bmp::PutU32(&front[bmp::kBfOffBits], pixelOffset);  // the reserved words between stay 0
  uint8_t* info = &front[bmp::kFileHeaderSize];
  if (l.infoSize >= bmp::kInfoHeaderSize) {
    // The first 40 bytes of a larger header are the 40-byte header; what
    // follows them (masks, colour space) describes nothing an indexed file needs.
    std::memcpy(info, block, bmp::kInfoHeaderSize);
    bmp::PutU32(info + bmp::kBiSize, bmp::kInfoHeaderSize);
  } else {
    bmp::PutU32(info + bmp::kBiSize, bmp::kInfoHeaderSize);
    bmp::PutU32(info + bmp::kBiWidth, static_cast<uint32_t>(l.width));
    bmp::PutU32(info + bmp::kBiHeight, static_cast<uint32_t>(l.height));
    bmp::PutU16(info + bmp::kBiPlanes, 1);
    bmp::PutU16(info + bmp::kBiBitCount, l.bitCount);
  }
  bmp::PutU32(info + bmp::kBiCompression, l.compression);
  // The table in 4-byte entries, whatever the source's entries were.
  bmp::TableAsQuads(block, l, info + bmp::kInfoHeaderSize, static_cast<uint32_t>(l.colourCount));
  // What this file holds, whatever the source header claimed.
  bmp::PutU32(info + bmp::kBiSizeImage, static_cast<uint32_t>(fileSize - pixelOffset));
  bmp::PutU32(info + bmp::kBiClrUsed, static_cast<uint32_t>(l.colourCount));
  if (!sink.Put(front.data(), front.size())) return BmpResult::kWriteFailed;
  if (l.compression != bmp::kBiRgb) {
    // The stream as it stands, its codes remapped in place by Randomize PLT.
    const bool put = sink.Put(block + l.pixelOffset, static_cast<size_t>(l.pixelBytes));
    return put ? BmpResult::kOk : BmpResult::kWriteFailed;
  }

  const uint64_t stride = l.rowStride;
  const size_t rowBytes = static_cast<size_t>(l.rowBytes);
  // Whole rows per chunk; a row longer than a chunk goes out in pieces.
  const uint64_t pixelBytes = static_cast<uint64_t>(l.height) * stride;
  size_t chunk = stride < kChunk ? static_cast<size_t>(kChunk / stride * stride) : kChunk;
  if (pixelBytes < chunk) chunk = static_cast<size_t>(pixelBytes);
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[chunk]);
  if (!buffer) return BmpResult::kNoMemory;

  const uint8_t* rows = block + l.pixelOffset;
  size_t used = 0;
  for (uint64_t y = 0; y < static_cast<uint64_t>(l.height); ++y) {
    const uint8_t* src = rows + y * stride;
    if (stride <= chunk) {
      if (used + stride > chunk) {
        if (!sink.Put(buffer.get(), used)) return BmpResult::kWriteFailed;
        used = 0;
      }
      std::memcpy(buffer.get() + used, src, rowBytes);
      std::memset(buffer.get() + used + rowBytes, 0, static_cast<size_t>(stride) - rowBytes);
      used += static_cast<size_t>(stride);
      continue;
    }
    // A row wider than the buffer goes straight from the block; its padding
    // is at most three bytes.
    static const uint8_t kZeros[4] = {};
    if (!sink.Put(src, rowBytes) || !sink.Put(kZeros, static_cast<size_t>(stride) - rowBytes)) {
      return BmpResult::kWriteFailed;
    }
  }
  if (used > 0 && !sink.Put(buffer.get(), used)) return BmpResult::kWriteFailed;
  return BmpResult::kOk;
}

}  // namespace mirtav
