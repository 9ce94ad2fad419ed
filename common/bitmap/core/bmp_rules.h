// The rules of the DIB block: a BMP file minus its 14-byte file header, held
// in memory byte for byte. Colour count, image size and pixel address are
// derived here, and every header value is checked against the block size
// before anything reads the pixels by it. Plain memory only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bmp {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint16_t kMagicBM = 0x4D42;  // "BM" read little-endian

// Information header field offsets within the block.
enum InfoField : uint32_t {
  kBiSize = 0, kBiWidth = 4, kBiHeight = 8, kBiPlanes = 12, kBiBitCount = 14,
  kBiCompression = 16, kBiSizeImage = 20, kBiXPels = 24, kBiYPels = 28,
  kBiClrUsed = 32, kBiClrImportant = 36,
};

// File header field offsets.
enum FileField : uint32_t { kBfType = 0, kBfSize = 2, kBfOffBits = 10 };

// An information header field's offset within the file.
constexpr uint32_t InFile(InfoField field) { return kFileHeaderSize + field; }

enum Compression : uint32_t { kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2 };

// Little-endian access, one byte at a time.
uint16_t GetU16(const uint8_t* p);
uint32_t GetU32(const uint8_t* p);
int32_t GetI32(const uint8_t* p);
void PutU16(uint8_t* p, uint16_t v);
void PutU32(uint8_t* p, uint32_t v);

// The 14-byte BITMAPFILEHEADER, as kept by the reader.
struct FileHeader {
  uint16_t type = 0;
  uint32_t totalSize = 0;
  uint32_t pixelOffset = 0;  // file offset of the pixels; 0 = right after the colour table
};
FileHeader ParseFileHeader(const uint8_t header[kFileHeaderSize]);

// Colour count rule: biClrUsed, or 2^bitCount when that is 0 and the picture
// has a colour table (1, 4, 8 bits); 0 for 16, 24 and 32 bits. A biClrUsed
// beyond INT32_MAX is no count at all: -1.
int32_t BlockColourCount(uint32_t clrUsed, uint16_t bitCount);

// Padded length of one uncompressed row: ((width x bits + 31) / 32) x 4, in 64 bits.
uint64_t PaddedRowBytes(int64_t width, uint16_t bitCount);

// Bytes of pixel data in one row without padding: (width x bits + 7) / 8.
uint64_t PackedRowBytes(int64_t width, uint16_t bitCount);

// Block offset of the pixel data: the file header's pixel-data offset minus
// 14 when it is not 0, else right after the colour table. A field below 14
// points into the file header and yields 0 (ApplyLockRules refuses it).
uint64_t PixelOffsetInBlock(uint32_t pixelOffsetField, int32_t colourCount);

// What a lock of the block yields, after the checks.
struct BlockLayout {
  int32_t width = 0;          // pixels
  int32_t height = 0;         // absolute value of biHeight
  bool topDown = false;       // biHeight was negative
  uint16_t bitCount = 0;
  uint32_t compression = kBiRgb;
  int32_t colourCount = 0;    // entries in the colour table (block colour count)
  uint64_t colourTableOffset = kInfoHeaderSize;
  uint64_t pixelOffset = 0;   // block offset of the pixel data
  uint64_t pixelBytes = 0;    // bytes from pixelOffset that belong to the pixels
  uint64_t rowStride = 0;     // padded row length (uncompressed pictures)
  uint64_t rowBytes = 0;      // packed row length without padding
};

enum class BlockCheck {
  kOk,
  kBadInfoSize,   // biSize is not 40: "Illegal structure size is found in info header."
  kBadLayout,     // headers and block disagree: "Unable to read bitmap info header."
};

// Checks a file header before the block is allocated: the total size must be
// at least 54 (file header plus information header).
bool FileHeaderSizeIsSound(const FileHeader& fh);

// The lock-time rules on a block of blockSize bytes: every value is checked
// against the block, then biClrUsed and biSizeImage are filled in when 0
// (written into the block; a refused block is left as it was). biSizeImage of
// an RLE picture becomes the compressed bytes available from the pixel offset.
// On kOk, *layout describes the picture. Nothing outside
// [block, block + blockSize) is read or written.
BlockCheck ApplyLockRules(uint8_t* block, size_t blockSize, const FileHeader& fh,
                          BlockLayout* layout);

// Row r of the picture counted from the top (0 = top row) in storage order:
// the index of that row in the block's bottom-up (or top-down) row sequence.
inline uint64_t StoredRowOfTopRow(const BlockLayout& l, uint64_t r) {
  return l.topDown ? r : static_cast<uint64_t>(l.height) - 1 - r;
}

}  // namespace bmp
