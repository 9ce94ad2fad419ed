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

RleEnd Decode(const uint8_t* src, size_t srcSize, uint16_t bitCount, int32_t width,
              int32_t height, uint64_t rowStride, uint8_t* dst, size_t dstSize) {
  if ((bitCount != 4 && bitCount != 8) || width <= 0 || height <= 0 || dst == nullptr ||
      (src == nullptr && srcSize != 0)) {
    return RleEnd::kBadArguments;
  }
  const uint64_t w = static_cast<uint64_t>(width);
  const uint64_t h = static_cast<uint64_t>(height);
  const uint64_t packed = (w * bitCount + 7) / 8;
  if (rowStride < packed || h > dstSize / rowStride) return RleEnd::kBadArguments;

  uint64_t x = 0;
  uint64_t y = 0;
  size_t pos = 0;
  while (true) {
    if (srcSize - pos < 2) return RleEnd::kInputExhausted;
    const uint8_t count = src[pos];
    const uint8_t value = src[pos + 1];
    pos += 2;
    if (count > 0) {
      if (y >= h) return RleEnd::kEndOfPicture;
      const RowWriter row(bitCount, w, dst + y * rowStride);
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
        return RleEnd::kEndOfBitmap;
      case 2: {  // delta: move right dx and up dy
        if (srcSize - pos < 2) return RleEnd::kInputExhausted;
        x += src[pos];
        y += src[pos + 1];
        pos += 2;
        if (y >= h) return RleEnd::kEndOfPicture;
        break;
      }
      default: {  // absolute run of `value` pixels, padded to 16 bits
        const size_t dataBytes = bitCount == 8 ? value : (static_cast<size_t>(value) + 1) / 2;
        const size_t padded = (dataBytes + 1) & ~static_cast<size_t>(1);
        if (srcSize - pos < dataBytes) return RleEnd::kInputExhausted;
        if (y >= h) return RleEnd::kEndOfPicture;
        const RowWriter row(bitCount, w, dst + y * rowStride);
        for (unsigned i = 0; i < value; ++i, ++x) {
          const uint8_t b = src[pos + (bitCount == 8 ? i : i / 2)];
          const uint8_t index = bitCount == 8 ? b
                                : (i % 2 == 0 ? static_cast<uint8_t>(b >> 4)
                                              : static_cast<uint8_t>(b & 0x0F));
          row.Put(x, index);
        }
        // A stream may end right after the data without its pad byte.
        pos += srcSize - pos < padded ? srcSize - pos : padded;
        break;
      }
    }
  }
}

}  // namespace rle
