#include "common/bitmap/png_picture.h"

#include <cstring>
#include <new>

#include "common/base/input_file.h"
#include "common/bitmap/core/rle.h"
#include "common/bitmap/png_codec.h"

namespace {

const Message kMsgPngNotIndexed = {
    {"No color table in a PNG picture of gray or full colors.",
     "グレーやフルカラーのPNG画像にはカラーテーブルはありません."},
    {"Warning", "警告"},
    MessageIcon::kWarning};
const Message kMsgPngDamaged = {
    {"Not a PNG file with correct format.", "正しいPNGファイルではありません."},
    {"Error", "エラー"},
    MessageIcon::kError};

// The decoded frame and its layout, handed to the block's fill.
struct Fill {
  const IndexedPngFrame* frame;
  const png::PngLayout* layout;
  uint16_t bits;
  uint64_t stride;
  bool reached = false;  // the block was allocated and locked
};

// The block of a PNG: header, table, then the rows bottom-up.
bool FillBlock(uint8_t* start, size_t size, void* context) {
  Fill& f = *static_cast<Fill*>(context);
  f.reached = true;
  const png::PngLayout& l = *f.layout;
  const uint64_t tableBytes = 4ull * l.paletteCount;
  const uint64_t pixelOffset = bmp::kInfoHeaderSize + tableBytes;
  std::memset(start, 0, static_cast<size_t>(pixelOffset));
  bmp::PutU32(start + bmp::kBiSize, bmp::kInfoHeaderSize);
  bmp::PutU32(start + bmp::kBiWidth, l.width);
  bmp::PutU32(start + bmp::kBiHeight, l.height);
  bmp::PutU16(start + bmp::kBiPlanes, 1);
  bmp::PutU16(start + bmp::kBiBitCount, f.bits);
  bmp::PutU32(start + bmp::kBiSizeImage, static_cast<uint32_t>(f.stride * l.height));
  bmp::PutU32(start + bmp::kBiClrUsed, l.paletteCount);
  const std::vector<uint32_t>& palette = f.frame->Palette();
  for (uint32_t i = 0; i < l.paletteCount; ++i) {
    uint8_t* entry = start + bmp::kInfoHeaderSize + 4 * i;
    entry[0] = static_cast<uint8_t>(palette[i]);        // blue
    entry[1] = static_cast<uint8_t>(palette[i] >> 8);   // green
    entry[2] = static_cast<uint8_t>(palette[i] >> 16);  // red
  }
  uint8_t* rows = start + pixelOffset;
  const size_t rowsSize = size - static_cast<size_t>(pixelOffset);
  if (f.frame->CopyIndexRows(rows, rowsSize, static_cast<size_t>(f.stride), f.bits, true) != PngResult::kOk) {
    return false;
  }
  // The decoder keeps the file's bits after a row's last pixel and leaves the
  // bytes after them as new memory holds them: both become 0, as a BMP has them.
  const uint64_t rowBits = uint64_t{l.width} * f.bits;
  const size_t used = static_cast<size_t>((rowBits + 7) / 8);
  const uint8_t lastMask = static_cast<uint8_t>(0xFF00u >> (rowBits % 8 == 0 ? 8 : rowBits % 8));
  for (uint64_t y = 0; y < l.height; ++y) {
    uint8_t* row = rows + y * f.stride;
    row[used - 1] &= lastMask;
    std::memset(row + used, 0, static_cast<size_t>(f.stride) - used);
  }
  // The decoder hands back whatever index a pixel holds.
  return png::IndicesWithinPalette(rows, rowsSize, static_cast<size_t>(f.stride), l.width, l.height, f.bits,
                                   l.paletteCount);
}

// The decoder's palette must be PLTE's, entry for entry.
bool SamePalette(const PngSource& source, const std::vector<uint32_t>& decoded) {
  std::vector<uint8_t> rgba;
  if (!png::PaletteEntries(source.bytes.data(), source.bytes.size(), source.layout, &rgba) ||
      decoded.size() != source.layout.paletteCount) {
    return false;
  }
  for (size_t i = 0; i < decoded.size(); ++i) {
    const uint32_t want = static_cast<uint32_t>(rgba[4 * i + 3]) << 24 | rgba[4 * i] << 16 |
                          rgba[4 * i + 1] << 8 | rgba[4 * i + 2];
    if (decoded[i] != want) return false;
  }
  return true;
}

PngRead Decode(PngSource* source) {
  const png::PngLayout& l = source->layout;
  IndexedPngFrame frame;
  switch (frame.Open(source->bytes.data(), source->bytes.size())) {
    case PngResult::kOk: break;
    case PngResult::kNotIndexed: return PngRead::kNotIndexed;
    case PngResult::kNoMemory: return PngRead::kNoMemory;
    default: return PngRead::kDamaged;
  }
  if (frame.Width() != l.width || frame.Height() != l.height || frame.Depth() != l.bitDepth ||
      !SamePalette(*source, frame.Palette())) {
    return PngRead::kDamaged;
  }
  Fill fill = {&frame, &l, BlockDepthOfPng(l.bitDepth), bmp::PaddedRowBytes(l.width, BlockDepthOfPng(l.bitDepth))};
  const uint64_t blockSize = bmp::kInfoHeaderSize + 4ull * l.paletteCount + fill.stride * l.height;
  if (fill.stride * l.height > UINT32_MAX || blockSize + bmp::kFileHeaderSize > UINT32_MAX) return PngRead::kNoMemory;
  uint8_t header[bmp::kFileHeaderSize] = {'B', 'M'};
  bmp::PutU32(header + bmp::kBfSize, static_cast<uint32_t>(blockSize + bmp::kFileHeaderSize));
  bmp::PutU32(header + bmp::kBfOffBits, bmp::kFileHeaderSize + bmp::kInfoHeaderSize + 4 * l.paletteCount);
  if (MakeCandidateBlock(header, static_cast<size_t>(blockSize), FillBlock, &fill)) return PngRead::kOk;
  return fill.reached ? PngRead::kDamaged : PngRead::kNoMemory;
}

}  // namespace

bool IsPngFront(const FileFront& front) {
  return front.size >= png::kSignatureSize && std::memcmp(front.bytes, png::kSignature, png::kSignatureSize) == 0;
}

PngRead ReadCandidatePng(HFILE file, const FileFront& front, PngSource* source) {
  source->Clear();
  DiscardCandidateBlock();
  if (front.fileLength < 0 || static_cast<uint64_t>(front.fileLength) < front.size) return PngRead::kUnreadable;
  const uint64_t length = static_cast<uint64_t>(front.fileLength);
  try {
    source->bytes.resize(static_cast<size_t>(length));
  } catch (const std::bad_alloc&) {
    return PngRead::kNoMemory;
  }
  std::memcpy(source->bytes.data(), front.bytes, front.size);
  if (!ReadExactly(file, source->bytes.data() + front.size, length - front.size)) {
    source->Clear();
    return PngRead::kUnreadable;
  }
  PngRead read = PngRead::kDamaged;
  switch (png::ReadPng(source->bytes.data(), source->bytes.size(), &source->layout)) {
    case png::Verdict::kOk: read = Decode(source); break;
    case png::Verdict::kNotIndexed: read = PngRead::kNotIndexed; break;
    default: read = PngRead::kDamaged; break;
  }
  if (read != PngRead::kOk) {
    DiscardCandidateBlock();
    source->Clear();
  }
  return read;
}

PngResult EncodeLockedBlock(uint32_t pngDepth, const uint32_t* argb, uint32_t count, bool interlace,
                            std::vector<uint8_t>* encoded) {
  return EncodeBlockPicture(dibLayout, dibPixelData, pngDepth, argb, count, interlace, encoded);
}

PngResult EncodeBlockPicture(const bmp::BlockLayout& l, const uint8_t* pixels, uint32_t pngDepth,
                             const uint32_t* argb, uint32_t count, bool interlace, std::vector<uint8_t>* encoded) {
  if (pixels == nullptr) return PngResult::kBadArguments;
  IndexRows rows;
  rows.width = static_cast<uint32_t>(l.width);
  rows.height = static_cast<uint32_t>(l.height);
  rows.depth = l.bitCount;
  rows.stride = static_cast<size_t>(l.rowStride);
  rows.bottomUp = !l.topDown;
  rows.rows = pixels;
  rows.size = static_cast<size_t>(l.pixelBytes);
  std::vector<uint8_t> decoded;  // an RLE picture's rows, as it is shown (damage left at index 0)
  if (l.compression != bmp::kBiRgb) {
    try {
      decoded.assign(static_cast<size_t>(l.rowStride * static_cast<uint64_t>(l.height)), 0);
    } catch (const std::bad_alloc&) {
      return PngResult::kNoMemory;
    }
    rle::Decode(pixels, static_cast<size_t>(l.pixelBytes), l.bitCount, l.width, l.height, l.rowStride,
                decoded.data(), decoded.size());
    rows.rows = decoded.data();
    rows.size = decoded.size();
  }
  return EncodeIndexedPng(rows, pngDepth, argb, count, interlace, encoded);
}

const Message& PngReadMessage(PngRead read) {
  switch (read) {
    case PngRead::kNotIndexed: return kMsgPngNotIndexed;
    case PngRead::kNoMemory: return kMsgNoMemory;
    case PngRead::kUnreadable: return kMsgShortFile;
    default: return kMsgPngDamaged;
  }
}
