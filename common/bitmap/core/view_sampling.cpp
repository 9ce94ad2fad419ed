#include "common/bitmap/core/view_sampling.h"

#include <algorithm>

namespace sampling {

namespace {

// Floor division for a positive divisor (C++ truncates toward zero).
int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

// Stretch lengths are int32 in GDI; holding them below 2^31 keeps every
// product here (2 x 2^31 x 2^32) inside 64 bits.
constexpr int64_t kMaxLength = int64_t{1} << 31;
constexpr int64_t kMaxOffset = int64_t{1} << 32;

bool InRange(int64_t v, int64_t limit) { return v > -limit && v < limit; }

uint32_t PixelAt(const uint8_t* row, int64_t x, uint16_t bits) {
  switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    default: return row[x];
  }
}

void PutPixel(uint8_t* row, int64_t x, uint16_t bits, uint32_t v) {
  switch (bits) {
    case 1:
      if (v) row[x >> 3] = static_cast<uint8_t>(row[x >> 3] | (0x80u >> (x & 7)));
      break;
    case 4:
      row[x >> 1] = static_cast<uint8_t>(row[x >> 1] | ((x & 1) ? v : (v << 4)));
      break;
    default: row[x] = static_cast<uint8_t>(v);
  }
}

// Source rows as Sample reads them: a pointer into uncompressed memory, or
// an RLE row decoded through the index into a scratch row. The visible
// columns (in rising order) are read in parts whose source columns span at
// most kSpan pixels, each part decoded on its own, so the scratch follows the
// window even where a reduction spans a row of 2^31 pixels. The last part
// decoded is kept: an enlargement shows each source row on several lines.
class RowReader {
 public:
  struct Part {
    size_t first, end;  // positions in the column map
    int64_t base;       // source column of the scratch's first pixel
  };

  RowReader(const SourceRows& rows, const std::vector<int64_t>& columns) : rows_(rows) {
    if (rows.index == nullptr) {
      parts_.push_back(Part{0, columns.size(), 0});
      return;
    }
    static constexpr int64_t kSpan = 1 << 16;
    uint64_t widest = 0;
    for (size_t i = 0; i < columns.size();) {
      Part part{i, i, columns[i] & ~int64_t{7}};  // whole bytes at 1, 4 and 8 bits
      while (part.end < columns.size() && columns[part.end] - part.base < kSpan) ++part.end;
      widest = std::max<uint64_t>(widest, columns[part.end - 1] + 1 - part.base);
      parts_.push_back(part);
      i = part.end;
    }
    span_ = widest;
    scratch_.resize(static_cast<size_t>(bmp::PackedRowBytes(static_cast<int64_t>(widest),
                                                            rows.bitCount)));
  }

  const std::vector<Part>& parts() const { return parts_; }

  // Part k of stored row `stored`, its pixel parts()[k].base first; null
  // when it cannot be decoded.
  const uint8_t* Row(uint64_t stored, size_t k) {
    if (rows_.index == nullptr) return rows_.bytes + stored * rows_.rowStride;
    if (stored != cachedRow_ || k != cachedPart_) {
      cachedRow_ = UINT64_MAX;
      if (!rows_.index->DecodeRow(rows_.bytes, rows_.size, stored,
                                  static_cast<uint64_t>(parts_[k].base), span_, scratch_.data(),
                                  scratch_.size())) {
        return nullptr;
      }
      cachedRow_ = stored;
      cachedPart_ = k;
    }
    return scratch_.data();
  }

 private:
  const SourceRows& rows_;
  std::vector<Part> parts_;
  uint64_t span_ = 0;
  std::vector<uint8_t> scratch_;
  uint64_t cachedRow_ = UINT64_MAX;
  size_t cachedPart_ = 0;
};

}  // namespace

int64_t SourceFor(Axis axis, int64_t srcStart, int64_t srcLength, int64_t dstStart,
                  int64_t dstLength, int64_t dst) {
  if (srcLength <= 0 || dstLength <= 0 || srcLength >= kMaxLength || dstLength >= kMaxLength) {
    return -1;
  }
  if (!InRange(srcStart, kMaxOffset) || !InRange(dstStart, kMaxOffset)) return -1;
  if (dst < dstStart || dst - dstStart >= dstLength) return -1;
  const int64_t j = dst - dstStart;
  const int64_t s = srcLength;
  const int64_t d = dstLength;
  int64_t offset;
  if (d >= s) {
    offset = (s * (2 * j + 1) - 1) / (2 * d);
  } else if (axis == Axis::kColumns) {
    offset = (2 * s * (j + 1) - d) / (2 * d);
  } else {
    offset = FloorDiv(2 * s * j - d, 2 * d) + 1;
  }
  return srcStart + offset;
}

std::vector<int64_t> AxisMap(Axis axis, int64_t srcStart, int64_t srcLength, int64_t dstStart,
                             int64_t dstLength, int64_t visibleFirst, int64_t visibleEnd) {
  std::vector<int64_t> map;
  if (visibleEnd <= visibleFirst) return map;
  map.reserve(static_cast<size_t>(visibleEnd - visibleFirst));
  for (int64_t x = visibleFirst; x < visibleEnd; ++x) {
    map.push_back(SourceFor(axis, srcStart, srcLength, dstStart, dstLength, x));
  }
  return map;
}

SourceRows RowsOfBlock(const uint8_t* block, size_t blockSize, const bmp::BlockLayout& layout,
                       const rle::RowIndex* index) {
  SourceRows rows;
  if (block == nullptr || layout.pixelOffset > blockSize) return rows;
  const bool compressed = layout.compression != bmp::kBiRgb;
  if (compressed && (index == nullptr || layout.topDown ||
                     layout.pixelBytes > blockSize - layout.pixelOffset)) {
    return rows;
  }
  rows.bytes = block + layout.pixelOffset;
  rows.size = static_cast<size_t>(compressed ? layout.pixelBytes
                                             : blockSize - layout.pixelOffset);
  rows.width = layout.width;
  rows.height = layout.height;
  rows.bitCount = layout.bitCount;
  rows.rowStride = compressed ? bmp::PaddedRowBytes(layout.width, layout.bitCount)
                              : layout.rowStride;
  rows.topDown = layout.topDown;
  rows.index = compressed ? index : nullptr;
  return rows;
}

bool RowsAreSound(const SourceRows& rows) {
  const uint16_t bits = rows.bitCount;
  if (rows.bytes == nullptr || (bits != 1 && bits != 4 && bits != 8)) return false;
  if (rows.width <= 0 || rows.height <= 0) return false;
  if (rows.index != nullptr) {
    return !rows.topDown && rows.index->Describes(rows.size, bits, rows.width, rows.height);
  }
  if (rows.rowStride < bmp::PackedRowBytes(rows.width, bits)) return false;
  return rows.size >= rows.rowStride &&
         static_cast<uint64_t>(rows.height - 1) <= (rows.size - rows.rowStride) / rows.rowStride;
}

bool Sample(const SourceRows& rows, const Stretch& st, uint64_t maxBytes, Sampled* out) {
  *out = Sampled();
  const uint16_t bits = rows.bitCount;
  if (!RowsAreSound(rows)) return false;

  // The wanted part, inside the destination rectangle.
  const int64_t left = std::max(st.visLeft, st.dstX);
  const int64_t top = std::max(st.visTop, st.dstY);
  const int64_t right = std::min(st.visRight, st.dstX + st.dstWidth);
  const int64_t bottom = std::min(st.visBottom, st.dstY + st.dstHeight);
  if (right <= left || bottom <= top) return true;  // nothing visible: an empty result

  const std::vector<int64_t> columns =
      AxisMap(Axis::kColumns, st.srcX, st.srcWidth, st.dstX, st.dstWidth, left, right);
  const std::vector<int64_t> lines =
      AxisMap(Axis::kRows, st.srcTop, st.srcHeight, st.dstY, st.dstHeight, top, bottom);
  for (int64_t c : columns) {
    if (c < 0 || c >= rows.width) return false;
  }
  for (int64_t r : lines) {
    if (r < 0 || r >= rows.height) return false;
  }

  const int64_t w = right - left;
  const int64_t h = bottom - top;
  const uint64_t stride = bmp::PaddedRowBytes(w, bits);
  if (stride == 0 || static_cast<uint64_t>(h) > maxBytes / stride) return false;
  out->width = w;
  out->height = h;
  out->rowStride = stride;
  out->pixels.assign(static_cast<size_t>(stride * static_cast<uint64_t>(h)), 0);

  RowReader reader(rows, columns);
  for (int64_t y = 0; y < h; ++y) {
    const uint64_t stored = rows.topDown ? static_cast<uint64_t>(lines[y])
                                         : static_cast<uint64_t>(rows.height - 1 - lines[y]);
    // The sampled DIB is bottom-up: displayed row y is stored row h - 1 - y.
    uint8_t* to = out->pixels.data() + static_cast<uint64_t>(h - 1 - y) * stride;
    for (size_t k = 0; k < reader.parts().size(); ++k) {
      const RowReader::Part& part = reader.parts()[k];
      const uint8_t* from = reader.Row(stored, k);
      if (from == nullptr) {
        *out = Sampled();
        return false;
      }
      const int64_t base = part.base;
      if (bits == 8) {
        for (size_t x = part.first; x < part.end; ++x) to[x] = from[columns[x] - base];
      } else {
        for (size_t x = part.first; x < part.end; ++x) {
          PutPixel(to, static_cast<int64_t>(x), bits, PixelAt(from, columns[x] - base, bits));
        }
      }
    }
  }
  return true;
}

}  // namespace sampling
