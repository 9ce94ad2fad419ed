#include "common/bitmap/core/tiff_layout.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "common/bitmap/core/rle.h"

namespace tiff {

namespace {

constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;

// The tags the writer uses, in the ascending order a directory keeps, named
// as libtiff names them (tiff.h).
constexpr uint16_t TIFFTAG_IMAGEWIDTH = 256;
constexpr uint16_t TIFFTAG_IMAGELENGTH = 257;
constexpr uint16_t TIFFTAG_BITSPERSAMPLE = 258;
constexpr uint16_t TIFFTAG_PHOTOMETRIC = 262;
constexpr uint16_t TIFFTAG_STRIPOFFSETS = 273;
constexpr uint16_t TIFFTAG_SAMPLESPERPIXEL = 277;
constexpr uint16_t TIFFTAG_ROWSPERSTRIP = 278;
constexpr uint16_t TIFFTAG_STRIPBYTECOUNTS = 279;
constexpr uint16_t TIFFTAG_COLORMAP = 320;
constexpr uint16_t PHOTOMETRIC_PALETTE = 3;
constexpr uint16_t kEntryCount = 9;
// Rows are gathered into writes of about a megabyte: a write per row costs
// more in system calls than the copy into the buffer.
constexpr size_t kChunk = 1024 * 1024;

bool IsPaletteBitCount(uint16_t bits) { return bits == 1 || bits == 4 || bits == 8; }

uint64_t MapEntries(uint16_t bits) { return uint64_t{1} << bits; }

uint64_t StripBytes(const bmp::BlockLayout& l) {
  return static_cast<uint64_t>(l.height) * l.rowBytes;
}

// The layout must describe a picture that lies inside the block; the writer
// trusts nothing it was handed.
bool LayoutFitsBlock(const bmp::BlockLayout& l, uint64_t blockSize) {
  if (!IsPaletteBitCount(l.bitCount) || l.width <= 0 || l.height <= 0) return false;
  if (l.colourCount < 0 || l.colourCount > 256) return false;
  if (l.entrySize != 3 && l.entrySize != 4) return false;
  if (l.colourTableOffset + uint64_t{l.entrySize} * static_cast<uint64_t>(l.colourCount) > blockSize) {
    return false;
  }
  if (l.rowBytes != bmp::PackedRowBytes(l.width, l.bitCount)) return false;
  if (l.rowStride < l.rowBytes) return false;
  if (l.pixelOffset > blockSize) return false;
  const uint64_t available = blockSize - l.pixelOffset;
  if (l.compression == bmp::kBiRgb) {
    return static_cast<uint64_t>(l.height) <= available / l.rowStride;
  }
  const bool rleMatches = (l.compression == bmp::kBiRle8 && l.bitCount == 8) ||
                          (l.compression == bmp::kBiRle4 && l.bitCount == 4);
  return rleMatches && !l.topDown && l.pixelBytes <= available;
}

void Entry(uint8_t* at, uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
  bmp::PutU16(at, tag);
  bmp::PutU16(at + 2, type);
  bmp::PutU32(at + 4, count);
  // A SHORT value sits in the first two bytes of the field; the other two stay 0.
  bmp::PutU32(at + 8, value);
}

// SHORT for what fits, LONG from 65536 on.
uint16_t TypeFor(uint32_t value) { return value < 65536 ? kShort : kLong; }

// Collects small rows into larger writes so the sink sees few calls.
class Emitter {
 public:
  explicit Emitter(ByteSink& sink) : sink_(sink) {}

  bool Put(const uint8_t* data, size_t n) {
    if (failed_) return false;
    if (n >= kChunk) {
      if (!Flush()) return false;
      return Forward(data, n);
    }
    if (used_ + n > kChunk && !Flush()) return false;
    std::memcpy(buffer_ + used_, data, n);
    used_ += n;
    return true;
  }

  bool Flush() {
    if (failed_) return false;
    if (used_ == 0) return true;
    const size_t n = used_;
    used_ = 0;
    return Forward(buffer_, n);
  }

 private:
  bool Forward(const uint8_t* data, size_t n) {
    if (!sink_.Put(data, n)) failed_ = true;
    return !failed_;
  }

  ByteSink& sink_;
  uint8_t buffer_[kChunk];
  size_t used_ = 0;
  bool failed_ = false;
};

// The rows of an RLE picture, top row first, decoded a band of rows at a
// time so memory stays at one band (about kChunk, or one row when a row is
// larger) and the stream's row index, whatever size the picture claims. The
// stream runs bottom row first: the index tells where each band starts, and
// the bands are decoded from the top one down.
TiffResult PutDecodedRows(const uint8_t* block, const bmp::BlockLayout& l, Emitter& out) {
  const uint8_t* src = block + l.pixelOffset;
  const size_t srcSize = static_cast<size_t>(l.pixelBytes);
  const uint64_t height = static_cast<uint64_t>(l.height);
  const uint64_t rowBytes = l.rowBytes;
  const uint64_t bandRows = rowBytes >= kChunk ? 1 : kChunk / rowBytes;
  const uint64_t bandBytes = bandRows * rowBytes;
  // Bounded by the file size check: the strip is below 4 GiB.
  if (bandBytes > std::numeric_limits<size_t>::max()) return TiffResult::kNoMemory;
  rle::RowIndex index;
  if (!index.Build(src, srcSize, l.bitCount, l.width, l.height)) return TiffResult::kNoMemory;
  std::unique_ptr<uint8_t[]> band(new (std::nothrow) uint8_t[static_cast<size_t>(bandBytes)]);
  if (!band) return TiffResult::kNoMemory;

  const uint64_t bands = (height + bandRows - 1) / bandRows;
  for (uint64_t k = bands; k-- > 0;) {
    const uint64_t first = k * bandRows;
    const uint64_t end = std::min(height, first + bandRows);
    std::memset(band.get(), 0, static_cast<size_t>(bandBytes));
    if (!index.DecodeBand(src, srcSize, first, end, rowBytes, band.get(),
                          static_cast<size_t>(bandBytes))) {
      return TiffResult::kBadPicture;
    }
    for (uint64_t row = end; row-- > first;) {
      if (!out.Put(band.get() + (row - first) * rowBytes, static_cast<size_t>(rowBytes))) {
        return TiffResult::kWriteFailed;
      }
    }
  }
  return TiffResult::kOk;
}

}  // namespace

uint64_t TiffFileSize(const bmp::BlockLayout& layout) {
  if (!IsPaletteBitCount(layout.bitCount) || layout.height <= 0) return 0;
  return kFrontSize + 6 * MapEntries(layout.bitCount) + StripBytes(layout);
}

TiffResult WriteTiff(const uint8_t* block, size_t blockSize,
                     const bmp::BlockLayout& layout, ByteSink& sink) {
  if (block == nullptr || !LayoutFitsBlock(layout, blockSize)) return TiffResult::kBadPicture;
  const uint64_t fileSize = TiffFileSize(layout);
  if (fileSize > std::numeric_limits<uint32_t>::max()) return TiffResult::kTooLarge;

  const uint16_t bits = layout.bitCount;
  const uint32_t entries = static_cast<uint32_t>(MapEntries(bits));
  const uint32_t stripOffset = kFrontSize + 6 * entries;
  const uint32_t width = static_cast<uint32_t>(layout.width);
  const uint32_t height = static_cast<uint32_t>(layout.height);
  const size_t rowBytes = static_cast<size_t>(layout.rowBytes);

  std::unique_ptr<Emitter> out(new (std::nothrow) Emitter(sink));
  if (!out) return TiffResult::kNoMemory;

  uint8_t front[kFrontSize] = {};
  front[0] = 'I';
  front[1] = 'I';
  bmp::PutU16(front + 2, 42);
  bmp::PutU32(front + 4, 8);
  bmp::PutU16(front + 8, kEntryCount);
  uint8_t* e = front + 10;
  Entry(e + 0 * 12, TIFFTAG_IMAGEWIDTH, TypeFor(width), 1, width);
  Entry(e + 1 * 12, TIFFTAG_IMAGELENGTH, TypeFor(height), 1, height);
  Entry(e + 2 * 12, TIFFTAG_BITSPERSAMPLE, kShort, 1, bits);
  Entry(e + 3 * 12, TIFFTAG_PHOTOMETRIC, kShort, 1, PHOTOMETRIC_PALETTE);
  Entry(e + 4 * 12, TIFFTAG_STRIPOFFSETS, kLong, 1, stripOffset);
  Entry(e + 5 * 12, TIFFTAG_SAMPLESPERPIXEL, kShort, 1, 1);
  Entry(e + 6 * 12, TIFFTAG_ROWSPERSTRIP, TypeFor(height), 1, height);
  Entry(e + 7 * 12, TIFFTAG_STRIPBYTECOUNTS, kLong, 1, static_cast<uint32_t>(StripBytes(layout)));
  Entry(e + 8 * 12, TIFFTAG_COLORMAP, kShort, 3 * entries, kFrontSize);
  // Next directory offset (0) and six zero bytes follow, already zero.
  if (!out->Put(front, sizeof front)) return TiffResult::kWriteFailed;

  // Red block, green block, blue block; entries the block lacks are black.
  uint8_t map[6 * 256] = {};
  uint8_t quads[4 * 256];
  bmp::TableAsQuads(block, layout, quads, entries);
  for (uint32_t i = 0; i < entries; ++i) {
    const uint8_t blue = quads[4 * i], green = quads[4 * i + 1], red = quads[4 * i + 2];
    bmp::PutU16(map + 2 * i, static_cast<uint16_t>(red * 257));
    bmp::PutU16(map + 2 * (entries + i), static_cast<uint16_t>(green * 257));
    bmp::PutU16(map + 2 * (2 * entries + i), static_cast<uint16_t>(blue * 257));
  }
  if (!out->Put(map, 6 * entries)) return TiffResult::kWriteFailed;

  if (layout.compression != bmp::kBiRgb) {
    const TiffResult rows = PutDecodedRows(block, layout, *out);
    if (rows != TiffResult::kOk) return rows;
  } else {
    const uint8_t* rows = block + layout.pixelOffset;
    for (uint64_t r = 0; r < height; ++r) {
      const uint64_t stored = bmp::StoredRowOfTopRow(layout, r);
      if (!out->Put(rows + stored * layout.rowStride, rowBytes)) return TiffResult::kWriteFailed;
    }
  }
  if (!out->Flush()) return TiffResult::kWriteFailed;
  return TiffResult::kOk;
}

}  // namespace tiff
