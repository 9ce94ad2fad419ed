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
constexpr uint32_t kCoreHeaderSize = 12;  // OS/2's: 16-bit sizes, 3-byte colours
constexpr uint16_t kMagicBM = 0x4D42;  // "BM" read little-endian

// Information header field offsets within the block (the 40-byte header and
// the larger ones that extend it; the core header has its own).
enum InfoField : uint32_t {
  kBiSize = 0, kBiWidth = 4, kBiHeight = 8, kBiPlanes = 12, kBiBitCount = 14,
  kBiCompression = 16, kBiSizeImage = 20, kBiXPels = 24, kBiYPels = 28,
  kBiClrUsed = 32, kBiClrImportant = 36,
};

// File header field offsets.
enum FileField : uint32_t { kBfType = 0, kBfSize = 2, kBfOffBits = 10 };

// An information header field's offset within the file.
constexpr uint32_t InFile(InfoField field) { return kFileHeaderSize + field; }

enum CoreField : uint32_t {
  kBcWidth = 4, kBcHeight = 6, kBcPlanes = 8, kBcBitCount = 10,
};

// Header sizes read: the core header, the 40-byte one, its 52- and 56-byte
// extensions (masks), and the version 4 and 5 headers. What lies past the
// 40th byte (masks, colour space, profile) is carried, never read.
bool IsKnownInfoSize(uint32_t size);

// The information header as read, whatever its size: the core header's
// fields are widened and it has no compression, image size or colour count.
struct InfoHeader {
  uint32_t size = 0;
  int32_t width = 0;
  int32_t rawHeight = 0;      // negative: top-down
  uint16_t bitCount = 0;
  uint32_t compression = 0;   // kBiRgb for the core header
  uint32_t sizeImage = 0;
  uint32_t clrUsed = 0;       // 0 for the core header
  uint32_t entrySize = 4;     // bytes of one colour table entry: 3 after a core header
};

// Reads the header at `info` of `available` bytes; false when its size is not
// a known one or the header does not fit in `available`.
bool ReadInfoHeader(const uint8_t* info, size_t available, InfoHeader* out);

// Entries in the colour table of a header: biClrUsed, 2^bits when that is 0
// (0 for more than 8 bits); -1 beyond INT32_MAX. A core header states no
// count: 2^bits, fewer when a pixel-data offset field (not 0) leaves room for
// fewer whole entries before the pixels.
int32_t TableEntryCount(const InfoHeader& h, uint32_t pixelOffsetField);

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
uint64_t PixelOffsetInBlock(uint32_t pixelOffsetField, int32_t colourCount,
                            uint32_t infoSize = kInfoHeaderSize, uint32_t entrySize = 4);

// What a lock of the block yields, after the checks.
struct BlockLayout {
  int32_t width = 0;          // pixels
  int32_t height = 0;         // absolute value of biHeight
  bool topDown = false;       // biHeight was negative
  uint16_t bitCount = 0;
  uint32_t compression = kBiRgb;
  int32_t colourCount = 0;    // entries in the colour table (block colour count)
  uint32_t infoSize = kInfoHeaderSize;  // the header as the file has it
  uint32_t entrySize = 4;     // bytes per table entry: 3 after a core header
  uint64_t colourTableOffset = kInfoHeaderSize;  // = infoSize
  uint64_t pixelOffset = 0;   // block offset of the pixel data
  uint64_t pixelBytes = 0;    // bytes from pixelOffset that belong to the pixels
  uint64_t rowStride = 0;     // padded row length (uncompressed pictures)
  uint64_t rowBytes = 0;      // packed row length without padding
};

enum class BlockCheck {
  kOk,
  kBadInfoSize,   // biSize not a known size: "Illegal structure size is found in info header."
  kBadLayout,     // headers and block disagree: "Unable to read bitmap info header."
};

// Checks a file header before the block is allocated: the total size must be
// at least 26 (file header plus the smallest information header).
bool FileHeaderSizeIsSound(const FileHeader& fh);

// The bytes a reader takes first to judge a file: the file header, the
// largest information header and a full colour table.
constexpr size_t kFrontBytes = kFileHeaderSize + 124 + 4 * 256;

// Where the picture the headers describe ends in the file: the pixel offset
// (the field, or right after the table) plus the rows (or biSizeImage of an
// RLE picture); 0 when the `size` bytes at `file` cannot tell (no known
// header in them, or an RLE picture without biSizeImage).
uint64_t PictureEnd(const uint8_t* file, size_t size);

// How far the reader reads a file: up to the file header's total size, as
// the format has it; but a total size that falls short of the picture's end
// (writers of the core header often store the two headers' size, 26, there)
// is no file size at all: then up to the picture's end, or the file's end
// before it. Readers in common use ignore the field likewise. A total size
// below 26 is kept as it is: it is refused.
uint64_t ReadEnd(const FileHeader& fh, uint64_t pictureEnd, uint64_t fileLength);

// The lock-time rules on a block of blockSize bytes: every value is checked
// against the block, then biClrUsed and biSizeImage are filled in when 0
// (written into the block, except after a core header, which has neither
// field; a refused block is left as it was). biSizeImage of
// an RLE picture becomes the compressed bytes available from the pixel offset.
// On kOk, *layout describes the picture. Nothing outside
// [block, block + blockSize) is read or written.
BlockCheck ApplyLockRules(uint8_t* block, size_t blockSize, const FileHeader& fh,
                          BlockLayout* layout);

// The colour table of an accepted layout as `entries` 4-byte entries (blue,
// green, red, 0): the table's entries, then black up to `entries`, the way
// the view, Copy and the TIFF writer show an index past the table.
void TableAsQuads(const uint8_t* block, const BlockLayout& l, uint8_t* quads, uint32_t entries);

// Writes colour i (< l.colourCount) into the table in its own entry layout,
// the reserved byte of a 4-byte entry 0.
void PutTableEntry(uint8_t* block, const BlockLayout& l, uint32_t i, uint8_t blue, uint8_t green,
                   uint8_t red);

// Row r of the picture counted from the top (0 = top row) in storage order:
// the index of that row in the block's bottom-up (or top-down) row sequence.
inline uint64_t StoredRowOfTopRow(const BlockLayout& l, uint64_t r) {
  return l.topDown ? r : static_cast<uint64_t>(l.height) - 1 - r;
}

}  // namespace bmp
