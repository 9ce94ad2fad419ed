// Decoding of BI_RLE8 and BI_RLE4 pixel data into uncompressed rows, as GDI
// paints such pictures: bounded by the stream and by the picture, a damaged
// stream stops at the damage and leaves the rest of the picture at index 0.
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

}  // namespace rle
