// What the shuffler's Open command accepts, decided on plain bytes before the
// shown picture is touched: the path (fixed disk, .BMP or .PNG), then the file's first
// bytes and its length. Accepted are 4-bit and 8-bit files, uncompressed or
// RLE4 / RLE8, with a table of 1 to 2^bits entries after any header the
// reader takes, top-down ones included, whose rows lie inside the file; everything else gets the
// message of its step. A file that passes is one the reader
// (bmp::ApplyLockRules) takes too, and the picture facts then come from the
// reader's layout, never from header arithmetic.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/bitmap/core/bmp_rules.h"
#include "mirtav00/core/messages.h"
#include "mirtav00/core/shuffle.h"

namespace mirtav {

constexpr size_t kPathBufferSize = 258;

// Bytes of the file the header check wants: file header, information
// header and the largest colour table (fewer when the file is shorter).
constexpr size_t kOpenHeadBytes = 14 + 124 + 4 * 256;

enum class OpenVerdict {
  kOk,
  kNotFixedDisk,        // kMsgOpenNotFixedDisk
  kNotPictureExtension, // kMsgOpenNotBmp
  kNotBitmap,           // kMsgNotBitmap: signature, header size, or rows outside the file
  kZeroSize,            // kMsgZeroSize
  kNotFourOrEightBit,   // kMsgNotFourOrEightBit: colour count, bit count or compression
};

// The message of a refusal; nullptr for kOk.
const Message* MessageOf(OpenVerdict verdict);

// The picture facts of the open file (ShufflerPicture): the paths the
// dialogs chose, the measured file length and the layout of the reader's lock.
struct ShufflerPicture {
  char openPath[kPathBufferSize] = {};
  char savePath[kPathBufferSize] = {};
  uint64_t fileSize = 0;
  int32_t width = 0;
  int32_t height = 0;          // absolute: rows are counted the same either way
  bool topDown = false;        // rows stored top row first (negative height field)
  int32_t colourCount = 0;     // 16 or 256
  uint16_t bitCount = 0;       // 4 or 8, matching the colour count
  uint64_t imageSize = 0;      // height x rowStride
  uint64_t rowStride = 0;      // padded row length from the lock rules
  uint64_t rowBytes = 0;       // width, or half the width rounded up
  int32_t reductionFactor = 1;
};

// True for a path ending in ".BMP" or ".PNG", letter case ignored. The
// extension only gates: the file's first bytes decide how it is read.
bool HasPictureExtension(const char* path);

// Steps 5 and 6: the drive (answered by the platform's fixed-disk check),
// then the extension.
OpenVerdict CheckOpenPath(const char* path, bool onFixedDisk);

// Steps 9 to 15 on the first headSize bytes of a file of fileSize bytes.
// Beyond those checks: the header size must be one the reader takes,
// compression none or the RLE of the depth (never top-down), the bit count
// 4 or 8 with a table of 1 to 2^bits
// entries, and the header's total size, pixel offset, image size and
// (uncompressed) rows must lie inside the file. On kOk paletteTable[0..255] is zero but for
// entries 0..n-1 from the file, and *colourCount is n; on a refusal neither
// is touched.
OpenVerdict CheckOpenHeader(const uint8_t* head, size_t headSize, uint64_t fileSize,
                            shuffle::PaletteEntry paletteTable[256], int32_t* colourCount);

// True for a layout of a block the shuffler works on: 4 or 8 bits with 1 to
// 2^bits colours, uncompressed rows padded to 4 bytes or a bottom-up RLE
// stream, colour table and rows (or stream) inside the block.
// The randomisation and the BMP writer refuse any other.
bool ShufflerLayoutFits(const bmp::BlockLayout& layout, uint64_t blockSize);

// Fills the numeric facts of *picture from the lock's layout of a block of
// blockSize bytes (paths and reductionFactor untouched). False, with *picture
// untouched, when ShufflerLayoutFits refuses the layout.
bool FactsFromLayout(const bmp::BlockLayout& layout, uint64_t blockSize, uint64_t fileSize,
                     ShufflerPicture* picture);

}  // namespace mirtav
