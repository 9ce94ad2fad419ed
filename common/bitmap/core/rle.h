// Decoding of BI_RLE8 and BI_RLE4 pixel data into uncompressed rows, as GDI
// paints such pictures: bounded by the stream and by the picture, a damaged
// stream stops at the damage and leaves the rest of the picture at index 0.
// A picture can also be decoded a band of rows at a time (DecodeRows), so a
// writer needs memory for one band, not for the whole picture, and a RowIndex
// found in one pass over the stream lets any row (or part of a row) be
// decoded on its own, so a view needs memory for the rows it shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rle {

enum class RleEnd {
  kEndOfBitmap,    // the stream's end-of-bitmap escape was reached
  kEndOfPicture,   // the stream moved past the last row; the rest was ignored
  kInputExhausted, // the stream ended (or was cut inside a code) before its end escape
  kBadArguments,   // the output buffer cannot hold the picture; nothing written
};

// Decodes src[0, srcSize) of a bitCount (4 or 8) picture width x height into
// dst: height rows of rowStride bytes, bottom row first, as an uncompressed
// DIB stores them. dst must be zero-filled by the caller; dstSize must be at
// least height x rowStride and rowStride at least the packed row length.
// Pixels beyond the row width are dropped; nothing outside dst is written.
RleEnd Decode(const uint8_t* src, size_t srcSize, uint16_t bitCount, int32_t width,
              int32_t height, uint64_t rowStride, uint8_t* dst, size_t dstSize);

// How many pixels of the picture show each index, as Decode leaves them
// (pixels the stream never reaches count as index 0), found in one pass over
// the stream: the time follows the stream, not width x height. False, with
// counts all 0, for bad arguments.
bool CountIndices(const uint8_t* src, size_t srcSize, uint16_t bitCount, int32_t width,
                  int32_t height, uint64_t counts[256]);

// Where a decode stands in the stream: the next code, and the pixel it
// writes to (y is the stored row, bottom row 0).
struct Position {
  size_t pos = 0;
  uint64_t x = 0;
  uint64_t y = 0;
  bool ended = false;             // nothing more comes out of the stream
  RleEnd end = RleEnd::kEndOfBitmap;  // why, once ended
};

// Decodes from *at the stored rows [firstRow, endRow) into dst (row firstRow
// first, rows of rowStride bytes, zero-filled by the caller) and stops before
// the first code of a row at or past endRow, so the next band goes on from
// *at. Pixels of rows below firstRow are passed over; with dst null nothing
// is written and the call only moves *at on. Decoding the bands [0, a),
// [a, b), ... [z, height) in turn gives exactly what Decode gives. False,
// with nothing done, when dst cannot hold the band.
bool DecodeRows(const uint8_t* src, size_t srcSize, uint16_t bitCount, int32_t width,
                int32_t height, Position* at, uint64_t firstRow, uint64_t endRow,
                uint64_t rowStride, uint8_t* dst, size_t dstSize);

// Where decoding of each stored row starts. One pass over the stream notes
// the decoder's state at every row change, so its memory follows the rows the
// stream reaches (at most one entry per two stream bytes, at most one per
// row), never width x height. Rows the stream skips (by deltas, or after its
// end) have no entry and decode as index 0, as a whole decode leaves them.
// The index keeps no pointer into the stream: the caller hands the same
// stream to each decode, wherever the block sits then.
class RowIndex {
 public:
  // Indexes src[0, srcSize) of a bitCount (4 or 8) picture width x height.
  // False, with the index empty, for bad arguments or when memory runs out.
  bool Build(const uint8_t* src, size_t srcSize, uint16_t bitCount, int32_t width,
             int32_t height);
  void Clear();

  // The index was built for a stream of this size and a picture of this shape.
  bool Describes(size_t srcSize, uint16_t bitCount, int32_t width, int32_t height) const;

  // Decodes the pixels [firstColumn, firstColumn + columns) of stored row
  // `row` (bottom row 0) into dst, packed at the picture's bit count with
  // pixel firstColumn first; firstColumn must be even for 4 bits. dst is
  // zero-filled here; pixels past the picture's width stay 0. False, with
  // nothing written, when dst cannot hold the columns or the row is outside.
  bool DecodeRow(const uint8_t* src, size_t srcSize, uint64_t row, uint64_t firstColumn,
                 uint64_t columns, uint8_t* dst, size_t dstSize) const;

  // Decodes the stored rows [firstRow, endRow) whole into dst (row firstRow
  // first, rows of rowStride bytes, zero-filled by the caller), as
  // DecodeRows does from the band's start.
  bool DecodeBand(const uint8_t* src, size_t srcSize, uint64_t firstRow, uint64_t endRow,
                  uint64_t rowStride, uint8_t* dst, size_t dstSize) const;

  size_t EntryCount() const { return starts_.size(); }
  size_t MemoryBytes() const { return starts_.capacity() * sizeof(RowStart); }
  bool built() const { return built_; }

 private:
  // The decoder's state just after a code moved it to row y (x <= width).
  struct RowStart {
    size_t pos;
    uint32_t x;
    uint32_t y;
  };
  // The last entry at or below stored row `row`.
  Position StartFor(uint64_t row) const;

  std::vector<RowStart> starts_;
  size_t srcSize_ = 0;
  uint16_t bitCount_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool built_ = false;
};

}  // namespace rle
