// libFuzzer target for the editor's core on arbitrary bytes: the Open
// command's check chain and image-information line, the block rules, and the
// view sampler at a zoom and scroll position taken from the input. The rows
// are an exact-size heap copy so AddressSanitizer sees any stray read; the
// sampled indices are checked against the maps, and an RLE picture's rows,
// sampled through the stream's row index, against one whole decode.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/bitmap/core/bmp_rules.h"
#include "common/bitmap/core/rle.h"
#include "common/bitmap/core/view_sampling.h"
#include "kestro98/core/open_rules.h"
#include "kestro98/core/palette_history.h"
#include "kestro98/core/save_rules.h"
#include "kestro98/core/view_rules.h"

namespace {

#define REQUIRE(cond) \
  do {                \
    if (!(cond)) __builtin_trap(); \
  } while (0)

uint32_t IndexAt(const uint8_t* row, int64_t x, uint16_t bits) {
  if (bits == 8) return row[x];
  if (bits == 4) return (x & 1) ? row[x / 2] & 15u : row[x / 2] >> 4;
  return (row[x / 8] >> (7 - x % 8)) & 1u;
}

// An RLE picture small enough to decode whole: the index's rows sampled
// equal the whole decode's rows sampled.
void CheckRleSamples(const uint8_t* block, size_t blockSize, const bmp::BlockLayout& layout,
                     const sampling::Stretch& st) {
  const uint64_t stride = bmp::PaddedRowBytes(layout.width, layout.bitCount);
  if (stride * static_cast<uint64_t>(layout.height) > (1u << 22)) return;
  rle::RowIndex index;
  REQUIRE(index.Build(block + layout.pixelOffset, static_cast<size_t>(layout.pixelBytes),
                      layout.bitCount, layout.width, layout.height));
  const size_t bytes = static_cast<size_t>(stride * static_cast<uint64_t>(layout.height));
  std::unique_ptr<uint8_t[]> whole(new uint8_t[bytes]());
  rle::Decode(block + layout.pixelOffset, static_cast<size_t>(layout.pixelBytes), layout.bitCount,
              layout.width, layout.height, stride, whole.get(), bytes);
  const sampling::SourceRows coded = sampling::RowsOfBlock(block, blockSize, layout, &index);
  const sampling::SourceRows plain{whole.get(), bytes, layout.width, layout.height,
                                   layout.bitCount, stride, false};
  sampling::Sampled a, b;
  const bool sampledCoded = sampling::Sample(coded, st, 1u << 22, &a);
  REQUIRE(sampledCoded == sampling::Sample(plain, st, 1u << 22, &b));
  REQUIRE(a.pixels == b.pixels);
}

// The save's comparison: the source itself, its table bytes changed, matches
// the block the lock rules made of it; a change just past the table does not.
void CheckSaveMatch(const uint8_t* file, size_t fileSize, const uint8_t* block, size_t blockSize,
                    const kestro::TableSpot& spot, int32_t count) {
  kestro::OpenedFile opened;
  std::memcpy(opened.fileHeader, file, 14);
  opened.sizeImage = bmp::GetU32(file + 34);
  opened.clrUsed = bmp::GetU32(file + 46);
  opened.infoSize = bmp::GetU32(file + 14);
  opened.fileSize = static_cast<int64_t>(fileSize);
  REQUIRE(opened.TableStart() == spot.offset && opened.EntrySize() == spot.entrySize);
  std::vector<uint8_t> written(file, file + fileSize);
  const size_t tableEnd = spot.offset + spot.entrySize * static_cast<size_t>(count);
  for (size_t i = spot.offset; i < tableEnd; ++i) written[i] ^= 0x5A;
  REQUIRE(kestro::MatchesOpenedFile(opened, block, blockSize, count, 0, written.data(), fileSize));
  if (tableEnd < fileSize) {
    written[tableEnd] ^= 1;
    REQUIRE(!kestro::MatchesOpenedFile(opened, block, blockSize, count, 0, written.data(),
                                       fileSize));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int32_t count = 0;
  kestro::TableSpot spot;
  const kestro::OpenVerdict verdict = kestro::CheckHeader(data, size, &count, &spot);
  if (verdict == kestro::OpenVerdict::kOk) {
    REQUIRE(count >= 1 && count <= 256);
    REQUIRE(spot.entrySize == 3 || spot.entrySize == 4);
    REQUIRE(spot.offset + uint64_t{spot.entrySize} * static_cast<uint64_t>(count) <= size);
    static kestro::PaletteHistory history;
    REQUIRE(history.Reset(data + spot.offset, size - spot.offset, count, spot.entrySize));
  }
  std::string line;
  if (kestro::ImageInformation(data, size, static_cast<int64_t>(size), &line) == kestro::InfoVerdict::kDescribed) {
    REQUIRE(line.size() < 128);
  }
  if (size < 14 + 40 + 4) return 0;

  // The last two bytes choose the zoom level and the scroll position.
  const int32_t level = static_cast<int32_t>(data[size - 2] % 40) - 30;
  const int64_t scroll = data[size - 1];
  const bmp::FileHeader fh = bmp::ParseFileHeader(data);
  const size_t blockSize = size - 2 - bmp::kFileHeaderSize;
  std::unique_ptr<uint8_t[]> block(new uint8_t[blockSize]);
  std::memcpy(block.get(), data + bmp::kFileHeaderSize, blockSize);
  bmp::BlockLayout layout;
  if (bmp::ApplyLockRules(block.get(), blockSize, fh, &layout) != bmp::BlockCheck::kOk) return 0;
  if (layout.bitCount > 8) return 0;
  if (verdict == kestro::OpenVerdict::kOk && count == layout.colourCount) {
    CheckSaveMatch(data, size - 2, block.get(), blockSize, spot, count);
  }
  const sampling::Stretch st =
      kestro::ViewStretch(layout.width, layout.height, level, scroll, scroll, 300, 220);
  if (layout.compression != bmp::kBiRgb) {
    CheckRleSamples(block.get(), blockSize, layout, st);
    return 0;
  }

  const sampling::SourceRows rows = sampling::RowsOfBlock(block.get(), blockSize, layout);
  sampling::Sampled out;
  if (!sampling::Sample(rows, st, 1u << 22, &out)) return 0;
  REQUIRE(out.pixels.size() == out.rowStride * static_cast<uint64_t>(out.height));
  if (out.pixels.empty()) return 0;
  const int64_t left = st.dstX > st.visLeft ? st.dstX : st.visLeft;
  const int64_t top = st.dstY > st.visTop ? st.dstY : st.visTop;
  for (int64_t y = 0; y < out.height; y += 7) {
    const int64_t r = sampling::SourceFor(sampling::Axis::kRows, 0, layout.height, st.dstY,
                                          st.dstHeight, top + y);
    REQUIRE(r >= 0 && r < layout.height);
    const uint8_t* from = rows.bytes + bmp::StoredRowOfTopRow(layout, r) * layout.rowStride;
    const uint8_t* to = out.pixels.data() + (out.height - 1 - y) * out.rowStride;
    for (int64_t x = 0; x < out.width; x += 5) {
      const int64_t c = sampling::SourceFor(sampling::Axis::kColumns, 0, layout.width, st.dstX,
                                            st.dstWidth, left + x);
      REQUIRE(c >= 0 && c < layout.width);
      REQUIRE(IndexAt(to, x, layout.bitCount) == IndexAt(from, c, layout.bitCount));
    }
  }
  return 0;
}
