#include "common/bitmap/core/rle.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace rle {

namespace {

// One row of output: the columns [first, end) of the picture, packed from
// column `first` (even for 4 bits, so nibbles keep their place in a byte).
class RowWriter {
 public:
  RowWriter(uint16_t bits, uint64_t first, uint64_t end, uint8_t* row)
      : bits_(bits), first_(first), end_(end), row_(row) {}

  // count pixels from column x on: pixel i is data[i] (8 bits) or the high,
  // then the low nibble of data[i / 2] (4 bits); with data null (an encoded
  // run) it is `value`, or its two nibbles in turn.
  void Put(uint64_t x, unsigned count, uint8_t value, const uint8_t* data) const {
    // Only the pixels inside the window are visited: a long row costs its codes.
    const uint64_t from = std::max(x, first_);
    const uint64_t to = std::min(x + count, end_);
    if (from >= to) return;
    if (bits_ == 8) {
      uint8_t* at = row_ + (from - first_);
      if (data == nullptr) {
        std::memset(at, value, static_cast<size_t>(to - from));
      } else {
        std::memcpy(at, data + (from - x), static_cast<size_t>(to - from));
      }
      return;
    }
    for (uint64_t at = from; at < to; ++at) {
      const uint64_t i = at - x;
      const uint8_t b = data != nullptr ? data[i / 2] : value;
      const uint8_t index =
          i % 2 == 0 ? static_cast<uint8_t>(b >> 4) : static_cast<uint8_t>(b & 0x0F);
      const uint64_t o = at - first_;
      if (o % 2 == 0) {
        row_[o / 2] = static_cast<uint8_t>((row_[o / 2] & 0x0F) | (index << 4));
      } else {
        row_[o / 2] = static_cast<uint8_t>((row_[o / 2] & 0xF0) | index);
      }
    }
  }

 private:
  uint16_t bits_;
  uint64_t first_, end_;
  uint8_t* row_;
};

// What the walk writes: the rows [firstRow, endRow), columns [firstColumn,
// endColumn) of each, into rows of `stride` bytes at dst (null: nothing).
struct Target {
  uint64_t firstRow = 0, endRow = 0;
  uint64_t firstColumn = 0, endColumn = 0;
  uint64_t stride = 0;
  uint8_t* dst = nullptr;
};

// Puts the pixels that fall in `t`.
struct RowsOut {
  const Target& t;
  uint16_t bitCount;
  // count pixels of row y from column x on, as RowWriter::Put takes them.
  void operator()(uint64_t y, uint64_t x, unsigned count, uint8_t value, const uint8_t* data) const {
    if (t.dst == nullptr || y < t.firstRow || y >= t.endRow) return;
    RowWriter(bitCount, t.firstColumn, t.endColumn, t.dst + (y - t.firstRow) * t.stride)
        .Put(x, count, value, data);
  }
};

// The one decoder: runs the stream from *at, handing every run of pixels to
// put(y, x, count, value, data), and stops before the first code of a row at
// or past endRow unless that is the picture's end (then it runs to the
// stream's end, as a whole decode does). rowChanged(pos, x, y) is called
// whenever a code moves the decoder to a new row inside the picture. Within
// a row x only grows, and rows only go up, so no pixel is put twice.
template <typename Put, typename RowChanged>
void Walk(const uint8_t* src, size_t srcSize, uint16_t bitCount, uint64_t h, Position* at,
          uint64_t endRow, Put put, RowChanged rowChanged) {
  uint64_t x = at->x;
  uint64_t y = at->y;
  size_t pos = at->pos;
  const bool lastBand = endRow >= h;
  auto stop = [&](bool ended, RleEnd end) {
    at->pos = pos;
    at->x = x;
    at->y = y;
    at->ended = ended;
    if (ended) at->end = end;
  };
  if (at->ended) return;
  while (true) {
    if (!lastBand && y >= endRow) return stop(false, RleEnd::kEndOfBitmap);
    if (srcSize - pos < 2) return stop(true, RleEnd::kInputExhausted);
    const uint8_t count = src[pos];
    const uint8_t value = src[pos + 1];
    pos += 2;
    if (count > 0) {
      if (y >= h) return stop(true, RleEnd::kEndOfPicture);
      put(y, x, count, value, nullptr);
      x += count;
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        if (y < h) rowChanged(pos, x, y);
        break;
      case 1:  // end of bitmap
        return stop(true, RleEnd::kEndOfBitmap);
      case 2: {  // delta: move right dx and up dy
        if (srcSize - pos < 2) return stop(true, RleEnd::kInputExhausted);
        x += src[pos];
        const uint8_t dy = src[pos + 1];
        y += dy;
        pos += 2;
        if (y >= h) return stop(true, RleEnd::kEndOfPicture);
        if (dy != 0) rowChanged(pos, x, y);
        break;
      }
      default: {  // absolute run of `value` pixels, padded to 16 bits
        const size_t dataBytes = bitCount == 8 ? value : (static_cast<size_t>(value) + 1) / 2;
        const size_t padded = (dataBytes + 1) & ~static_cast<size_t>(1);
        if (srcSize - pos < dataBytes) return stop(true, RleEnd::kInputExhausted);
        if (y >= h) return stop(true, RleEnd::kEndOfPicture);
        put(y, x, value, 0, src + pos);
        x += value;
        // A stream may end right after the data without its pad byte.
        pos += srcSize - pos < padded ? srcSize - pos : padded;
        break;
      }
    }
  }
}

void NoRowChange(size_t, uint64_t, uint64_t) {}

bool SoundPicture(uint16_t bitCount, int32_t width, int32_t height, const uint8_t* src,
                  size_t srcSize) {
  return (bitCount == 4 || bitCount == 8) && width > 0 && height > 0 &&
         (src != nullptr || srcSize == 0);
}

}  // namespace

bool DecodeRows(const uint8_t* src, size_t srcSize, uint16_t bitCount, int32_t width,
                int32_t height, Position* at, uint64_t firstRow, uint64_t endRow,
                uint64_t rowStride, uint8_t* dst, size_t dstSize) {
  if (!SoundPicture(bitCount, width, height, src, srcSize) || at == nullptr ||
      firstRow > endRow) {
    return false;
  }
  const uint64_t w = static_cast<uint64_t>(width);
  const uint64_t packed = (w * bitCount + 7) / 8;
  if (dst != nullptr && (rowStride < packed || endRow - firstRow > dstSize / rowStride)) {
    return false;
  }
  Target t;
  t.firstRow = firstRow;
  t.endRow = endRow;
  t.endColumn = w;
  t.stride = rowStride;
  t.dst = dst;
  Walk(src, srcSize, bitCount, static_cast<uint64_t>(height), at, t.endRow, RowsOut{t, bitCount}, NoRowChange);
  return true;
}

bool CountIndices(const uint8_t* src, size_t srcSize, uint16_t bitCount, int32_t width,
                  int32_t height, uint64_t counts[256]) {
  std::fill(counts, counts + 256, uint64_t{0});
  if (!SoundPicture(bitCount, width, height, src, srcSize)) return false;
  const uint64_t w = static_cast<uint64_t>(width), h = static_cast<uint64_t>(height);
  uint64_t put = 0;
  auto count = [&](uint64_t, uint64_t x, unsigned n, uint8_t value, const uint8_t* data) {
    // The run's first `to` pixels fall inside the row; the rest are dropped.
    const uint64_t to = x >= w ? 0 : std::min<uint64_t>(n, w - x);
    put += to;
    if (data != nullptr) {
      for (uint64_t i = 0; i < to; ++i) {
        ++counts[bitCount == 8 ? data[i] : (i % 2 == 0 ? data[i / 2] >> 4 : data[i / 2] & 0x0F)];
      }
    } else if (bitCount == 8) {
      counts[value] += to;
    } else {  // the two nibbles in turn, the high one first
      counts[value >> 4] += (to + 1) / 2;
      counts[value & 0x0F] += to / 2;
    }
  };
  Position at;
  Walk(src, srcSize, bitCount, h, &at, h, count, NoRowChange);
  counts[0] += w * h - put;
  return true;
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

void RowIndex::Clear() {
  std::vector<RowStart>().swap(starts_);
  srcSize_ = 0;
  bitCount_ = 0;
  width_ = height_ = 0;
  built_ = false;
}

bool RowIndex::Build(const uint8_t* src, size_t srcSize, uint16_t bitCount, int32_t width,
                     int32_t height) {
  Clear();
  if (!SoundPicture(bitCount, width, height, src, srcSize)) return false;
  const uint64_t w = static_cast<uint64_t>(width);
  try {
    starts_.push_back(RowStart{0, 0, 0});
    Position at;
    Target t;
    t.endRow = static_cast<uint64_t>(height);
    Walk(src, srcSize, bitCount, t.endRow, &at, t.endRow, RowsOut{t, bitCount}, [&](size_t pos, uint64_t x, uint64_t y) {
      // Past the width a row drops every pixel until its end, whatever x is.
      starts_.push_back(RowStart{pos, static_cast<uint32_t>(std::min(x, w)),
                                 static_cast<uint32_t>(y)});
    });
    starts_.shrink_to_fit();
  } catch (const std::bad_alloc&) {
    Clear();
    return false;
  }
  srcSize_ = srcSize;
  bitCount_ = bitCount;
  width_ = width;
  height_ = height;
  built_ = true;
  return true;
}

bool RowIndex::Describes(size_t srcSize, uint16_t bitCount, int32_t width, int32_t height) const {
  return built_ && srcSize == srcSize_ && bitCount == bitCount_ && width == width_ &&
         height == height_;
}

Position RowIndex::StartFor(uint64_t row) const {
  // Entries are in rising row order; the first one is row 0.
  auto after = std::upper_bound(starts_.begin(), starts_.end(), row,
                                [](uint64_t r, const RowStart& s) { return r < s.y; });
  const RowStart& s = *(after - 1);
  Position at;
  at.pos = s.pos;
  at.x = s.x;
  at.y = s.y;
  return at;
}

bool RowIndex::DecodeRow(const uint8_t* src, size_t srcSize, uint64_t row, uint64_t firstColumn,
                         uint64_t columns, uint8_t* dst, size_t dstSize) const {
  if (!built_ || srcSize != srcSize_ || (src == nullptr && srcSize != 0) || dst == nullptr ||
      row >= static_cast<uint64_t>(height_) || (bitCount_ == 4 && firstColumn % 2 != 0) ||
      columns > UINT64_MAX / 8) {
    return false;
  }
  const uint64_t bytes = (columns * bitCount_ + 7) / 8;
  if (bytes > dstSize) return false;
  std::memset(dst, 0, static_cast<size_t>(bytes));
  const uint64_t w = static_cast<uint64_t>(width_);
  Target t;
  t.firstRow = row;
  t.endRow = row + 1;
  t.firstColumn = firstColumn;
  t.endColumn = firstColumn >= w ? firstColumn : std::min(w, firstColumn + columns);
  t.stride = bytes;
  t.dst = dst;
  Position at = StartFor(row);
  Walk(src, srcSize, bitCount_, static_cast<uint64_t>(height_), &at, t.endRow, RowsOut{t, bitCount_}, NoRowChange);
  return true;
}

bool RowIndex::DecodeBand(const uint8_t* src, size_t srcSize, uint64_t firstRow, uint64_t endRow,
                          uint64_t rowStride, uint8_t* dst, size_t dstSize) const {
  if (!built_ || srcSize != srcSize_ || firstRow >= static_cast<uint64_t>(height_)) return false;
  Position at = StartFor(firstRow);
  return DecodeRows(src, srcSize, bitCount_, width_, height_, &at, firstRow, endRow, rowStride,
                    dst, dstSize);
}

}  // namespace rle
