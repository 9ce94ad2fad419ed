// Decoding of BI_RLE8 and BI_RLE4 pixel data into uncompressed rows, as GDI
// paints such pictures: bounded by the stream and by the picture, a damaged
// stream stops at the damage and leaves the rest of the picture at index 0.
// A picture can also be decoded a band of rows at a time (DecodeRows), so a
// writer needs memory for one band, not for the whole picture.
#pragma once

#include <cstddef>
#include <cstdint>

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

}  // namespace rle
