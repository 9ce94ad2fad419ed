// Layout of the palette-colour TIFF both programs write: little-endian, one
// uncompressed strip, a 128-byte front part (header, nine directory entries
// in ascending tag order), the colour map, then the rows top row first.
// The bytes go out through a ByteSink, so tests write to memory and the
// programs to a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/bitmap/core/bmp_rules.h"

namespace tiff {

class ByteSink {
 public:
  // Writes n bytes; false when they could not all be written.
  virtual bool Put(const uint8_t* data, size_t n) = 0;

 protected:
  ~ByteSink() = default;
};

class MemorySink final : public ByteSink {
 public:
  bool Put(const uint8_t* data, size_t n) override {
    bytes.insert(bytes.end(), data, data + n);
    return true;
  }
  std::vector<uint8_t> bytes;
};

enum class TiffResult {
  kOk,
  kWriteFailed,   // the sink refused bytes
  kTooLarge,      // the file would pass the 4 GiB a classic TIFF can address
  kNoMemory,      // no room to decode a compressed picture
  kBadPicture,    // the layout does not describe a 1-, 4- or 8-bit picture in the block
};

constexpr uint32_t kFrontSize = 128;

// Size of the file WriteTiff produces for this picture.
uint64_t TiffFileSize(const bmp::BlockLayout& layout);

// Writes the picture of the block (colour table and pixels as the layout of
// bmp::ApplyLockRules describes them) as a TIFF. RLE pictures are decoded a
// band of rows at a time while writing (memory of about a megabyte, or one
// row when a row is larger). Reads nothing outside [block, block + blockSize).
TiffResult WriteTiff(const uint8_t* block, size_t blockSize,
                     const bmp::BlockLayout& layout, ByteSink& sink);

}  // namespace tiff
