#include "common/bitmap/core/rle.h"

namespace rle {

namespace {

class RowWriter {
 public:
  RowWriter(uint16_t bits, uint64_t width, uint8_t* row) : bits_(bits), width_(width), row_(row) {}

  void Put(uint64_t x, uint8_t index) const {
    if (x >= width_) return;  // beyond the row: dropped, as GDI does
    if (bits_ == 8) {
      row_[x] = index;
    } else if (x % 2 == 0) {
      row_[x / 2] = static_cast<uint8_t>((row_[x / 2] & 0x0F) | ((index & 0x0F) << 4));
    } else {
      row_[x / 2] = static_cast<uint8_t>((row_[x / 2] & 0xF0) | (index & 0x0F));
    }
  }

 private:
  uint16_t bits_;
  uint64_t width_;
  uint8_t* row_;
};

}  // namespace

bool DecodeRows(const uint8_t* src, size_t srcSize, uint16_t bitCount, int32_t width,
                int32_t height, Position* at, uint64_t firstRow, uint64_t endRow,
                uint64_t rowStride, uint8_t* dst, size_t dstSize) {
  if ((bitCount != 4 && bitCount != 8) || width <= 0 || height <= 0 || at == nullptr ||
      (src == nullptr && srcSize != 0) || firstRow > endRow) {
    return false;
  }
  const uint64_t w = static_cast<uint64_t>(width);
  const uint64_t h = static_cast<uint64_t>(height);
  const uint64_t packed = (w * bitCount + 7) / 8;
  if (dst != nullptr && (rowStride < packed || endRow - firstRow > dstSize / rowStride)) {
    return false;
  }
  // The last band runs on to the stream's own end, as a whole decode does.
  const bool lastBand = endRow >= h;

  uint64_t x = at->x;
  uint64_t y = at->y;
  size_t pos = at->pos;
  auto finish = [&](RleEnd end) {
    at->pos = pos;
    at->x = x;
    at->y = y;
    at->ended = true;
    at->end = end;
    return true;
  };
  auto rowAt = [&](uint64_t row) -> uint8_t* {
    return (dst != nullptr && row >= firstRow && row < endRow) ? dst + (row - firstRow) * rowStride
                                                                : nullptr;
  };
  if (at->ended) return true;
  while (true) {
    if (!lastBand && y >= endRow) {
      at->pos = pos;
      at->x = x;
      at->y = y;
      return true;
    }
    if (srcSize - pos < 2) return finish(RleEnd::kInputExhausted);
    const uint8_t count = src[pos];
    const uint8_t value = src[pos + 1];
    pos += 2;
    if (count > 0) {
      if (y >= h) return finish(RleEnd::kEndOfPicture);
      uint8_t* line = rowAt(y);
      if (line == nullptr) {
        x += count;
        continue;
      }
      const RowWriter row(bitCount, w, line);
      for (unsigned i = 0; i < count; ++i, ++x) {
        const uint8_t index = bitCount == 8 ? value
                              : (i % 2 == 0 ? static_cast<uint8_t>(value >> 4)
                                            : static_cast<uint8_t>(value & 0x0F));
        row.Put(x, index);
      }
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of bitmap
        return finish(RleEnd::kEndOfBitmap);
      case 2: {  // delta: move right dx and up dy
        if (srcSize - pos < 2) return finish(RleEnd::kInputExhausted);
        x += src[pos];
        y += src[pos + 1];
        pos += 2;
        if (y >= h) return finish(RleEnd::kEndOfPicture);
        break;
      }
      default: {  // absolute run of `value` pixels, padded to 16 bits
        const size_t dataBytes = bitCount == 8 ? value : (static_cast<size_t>(value) + 1) / 2;
        const size_t padded = (dataBytes + 1) & ~static_cast<size_t>(1);
        if (srcSize - pos < dataBytes) return finish(RleEnd::kInputExhausted);
        if (y >= h) return finish(RleEnd::kEndOfPicture);
        uint8_t* line = rowAt(y);
        if (line == nullptr) {
          x += value;
        } else {
          const RowWriter row(bitCount, w, line);
          for (unsigned i = 0; i < value; ++i, ++x) {
            const uint8_t b = src[pos + (bitCount == 8 ? i : i / 2)];
            const uint8_t index = bitCount == 8 ? b
                                  : (i % 2 == 0 ? static_cast<uint8_t>(b >> 4)
                                                : static_cast<uint8_t>(b & 0x0F));
            row.Put(x, index);
          }
        }
        // A stream may end right after the data without its pad byte.
        pos += srcSize - pos < padded ? srcSize - pos : padded;
        break;
      }
    }
  }
}

RleEnd Decode(const uint8_t* src, size_t srcSize, uint16_t bitCount, int32_t width,
              int32_t height, uint64_t rowStride, uint8_t* dst, size_t dstSize) {
  if (dst == nullptr || height <= 0) return RleEnd::kBadArguments;
  Position at;
  if (!DecodeRows(src, srcSize, bitCount, width, height, &at, 0, static_cast<uint64_t>(height),
                  rowStride, dst, dstSize)) {
    return RleEnd::kBadArguments;
  }
  return at.end;
}

}  // namespace rle
