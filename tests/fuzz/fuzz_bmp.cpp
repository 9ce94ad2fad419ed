// libFuzzer target: a whole BMP file goes through the reader's header checks,
// the lock rules, the TIFF writer and the shuffler's remap, as the programs
// use them; every input is also read as a palette file. The block is an
// exact-size heap copy so AddressSanitizer sees any access outside it.
// Invariants are checked here; a violation traps.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "common/bitmap/core/bmp_rules.h"
#include "common/bitmap/core/palette_file.h"
#include "common/bitmap/core/tiff_layout.h"
#include "mirtav00/core/shuffle.h"

namespace {

#define REQUIRE(cond) \
  do {                \
    if (!(cond)) __builtin_trap(); \
  } while (0)

// Keeps the decoded pictures of small RLE streams within the fuzzer's memory.
constexpr uint64_t kMaxTiffBytes = 1u << 20;

// Takes the first `limit` bytes, then refuses everything.
class FailingSink final : public tiff::ByteSink {
 public:
  explicit FailingSink(uint64_t limit) : limit_(limit) {}
  bool Put(const uint8_t*, size_t n) override {
    if (n > limit_ - taken_) return false;
    taken_ += n;
    return true;
  }

 private:
  uint64_t limit_;
  uint64_t taken_ = 0;
};

// A permutation of 0..n-1 drawn from the input's last bytes.
void OrderFromInput(const uint8_t* data, size_t size, int n, int32_t* order) {
  uint32_t x = 0;
  for (size_t i = size >= 4 ? size - 4 : 0; i < size; ++i) x = (x << 8) | data[i];
  for (int i = 0; i < n; ++i) order[i] = i;
  for (int i = n - 1; i > 0; --i) {
    x = x * 1664525u + 1013904223u;
    const int j = static_cast<int>((x >> 8) % static_cast<uint32_t>(i + 1));
    const int32_t t = order[i];
    order[i] = order[j];
    order[j] = t;
  }
}

void CheckLayout(const bmp::BlockLayout& l, size_t blockSize) {
  REQUIRE(l.width > 0 && l.height > 0);
  REQUIRE(l.colourCount >= 0);
  if (l.bitCount <= 8) REQUIRE(l.colourCount <= 256);
  REQUIRE(bmp::IsKnownInfoSize(l.infoSize) && l.colourTableOffset == l.infoSize);
  REQUIRE(l.entrySize == (l.infoSize == bmp::kCoreHeaderSize ? 3u : 4u));
  REQUIRE(l.colourTableOffset + uint64_t{l.entrySize} * static_cast<uint64_t>(l.colourCount) <=
          l.pixelOffset);
  REQUIRE(l.pixelOffset <= blockSize);
  REQUIRE(l.pixelBytes <= blockSize - l.pixelOffset);
  REQUIRE(l.rowBytes <= l.rowStride);
  if (l.compression == bmp::kBiRgb) {
    REQUIRE(l.rowStride * static_cast<uint64_t>(l.height) <= l.pixelBytes);
  } else {
    REQUIRE(!l.topDown);
  }
}

void CheckTiff(const uint8_t* block, size_t blockSize, const bmp::BlockLayout& l,
               uint8_t failAt) {
  const bool palette = l.bitCount == 1 || l.bitCount == 4 || l.bitCount == 8;
  const uint64_t expected = tiff::TiffFileSize(l);
  if (palette && expected > kMaxTiffBytes) return;

  tiff::MemorySink sink;
  const tiff::TiffResult r = tiff::WriteTiff(block, blockSize, l, sink);
  if (!palette) {
    REQUIRE(r == tiff::TiffResult::kBadPicture);
    return;
  }
  REQUIRE(r == tiff::TiffResult::kOk);
  REQUIRE(sink.bytes.size() == expected);
  const std::vector<uint8_t>& t = sink.bytes;
  REQUIRE(t[0] == 'I' && t[1] == 'I' && bmp::GetU16(&t[2]) == 42);
  // Directory entries in ascending tag order.
  const uint16_t entries = bmp::GetU16(&t[8]);
  for (uint16_t i = 1; i < entries; ++i)
    REQUIRE(bmp::GetU16(&t[10 + 12 * i]) > bmp::GetU16(&t[10 + 12 * (i - 1)]));
  // Uncompressed: the strip is the picture's rows, top row first.
  const uint64_t strip = expected - static_cast<uint64_t>(l.height) * l.rowBytes;
  if (l.compression == bmp::kBiRgb) {
    for (uint64_t r2 = 0; r2 < static_cast<uint64_t>(l.height); ++r2) {
      const uint8_t* src = block + l.pixelOffset + bmp::StoredRowOfTopRow(l, r2) * l.rowStride;
      REQUIRE(std::memcmp(&t[strip + r2 * l.rowBytes], src, l.rowBytes) == 0);
    }
  }
  // A sink that gives up part way is reported, never taken for success.
  FailingSink failing(expected * failAt / 256);
  REQUIRE(tiff::WriteTiff(block, blockSize, l, failing) == tiff::TiffResult::kWriteFailed);
}

void CheckRemap(uint8_t* block, size_t blockSize, const bmp::BlockLayout& l,
                const uint8_t* data, size_t size) {
  const int n = l.colourCount;
  // An RLE stream is remapped in its codes when it is whole (RemapRleStream
  // only checks when handed no table).
  const bool streamSound =
      l.compression == bmp::kBiRgb ||
      shuffle::RemapRleStream(block + l.pixelOffset, static_cast<size_t>(l.pixelBytes), l.bitCount,
                              nullptr);
  const bool remappable = streamSound && (l.bitCount == 4 || l.bitCount == 8) && n >= 1 &&
                          n <= (1 << l.bitCount);
  int32_t order[256] = {};
  OrderFromInput(data, size, n >= 1 && n <= 256 ? n : 1, order);
  shuffle::PaletteEntry table[256];
  for (int i = 0; i < n && i < 256; ++i) {
    const uint8_t* e = block + l.colourTableOffset + l.entrySize * i;
    table[order[i]] = {e[0], e[1], e[2]};  // entry i moves to order[i]
  }

  const std::vector<uint8_t> before(block, block + blockSize);
  // One more row than the layout has is taken only when the block holds it;
  // then that row must come out remapped like the others. (Uncompressed
  // heights are bounded by the block, so height + 1 cannot wrap.)
  bmp::BlockLayout applied = l;
  bool done = false;
  if (l.compression == bmp::kBiRgb) {
    applied.height = l.height + 1;
    const bool tallerFits =
        static_cast<uint64_t>(applied.height) * l.rowStride <= blockSize - l.pixelOffset;
    done = shuffle::ApplyToPicture(block, blockSize, applied, table, order);
    REQUIRE(done == (remappable && tallerFits));
    if (!done) REQUIRE(std::memcmp(block, before.data(), blockSize) == 0);
  }
  if (!done) {
    applied = l;
    done = shuffle::ApplyToPicture(block, blockSize, applied, table, order);
    REQUIRE(done == remappable);
  }
  if (!done) {
    REQUIRE(std::memcmp(block, before.data(), blockSize) == 0);
    return;
  }
  if (l.compression != bmp::kBiRgb) {
    // Nothing outside the table and the stream changed (colours: fuzz_mirtav).
    const uint64_t tableEnd = l.colourTableOffset + uint64_t{l.entrySize} * static_cast<uint64_t>(n);
    for (size_t i = 0; i < blockSize; ++i) {
      const bool inTable = i >= l.colourTableOffset && i < tableEnd;
      const bool inStream = i >= l.pixelOffset && i < l.pixelOffset + l.pixelBytes;
      REQUIRE(inTable || inStream || block[i] == before[i]);
    }
    return;
  }
  // Every index shows the colour it showed; nothing but table and pixels changed.
  const uint8_t* oldTable = before.data() + l.colourTableOffset;
  const uint8_t* newTable = block + l.colourTableOffset;
  auto same = [&](int was, int now) {
    if (was >= n) return now == was;
    return now == order[was] &&
           std::memcmp(oldTable + l.entrySize * was, newTable + l.entrySize * now, 3) == 0;
  };
  std::vector<bool> touched(blockSize, false);
  for (uint32_t i = 0; i < l.entrySize * static_cast<uint32_t>(n); ++i) {
    touched[l.colourTableOffset + i] = true;
  }
  for (uint64_t y = 0; y < static_cast<uint64_t>(applied.height); ++y) {
    for (uint64_t x = 0; x < l.rowBytes; ++x) {
      const uint64_t at = l.pixelOffset + y * l.rowStride + x;
      touched[at] = true;
      if (l.bitCount == 8) {
        REQUIRE(same(before[at], block[at]));
      } else {
        REQUIRE(same(before[at] >> 4, block[at] >> 4));
        REQUIRE(same(before[at] & 15, block[at] & 15));
      }
    }
  }
  for (size_t i = 0; i < blockSize; ++i) REQUIRE(touched[i] || block[i] == before[i]);
}

// A palette file read gives colours or a refusal; colours read come back the
// same through a file of the format they were found in.
void CheckPaletteFile(const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[size == 0 ? 1 : size]);
  if (size != 0) std::memcpy(copy.get(), data, size);
  const palette_file::ReadResult r = palette_file::Read(copy.get(), size);
  REQUIRE((r.problem == palette_file::Problem::kNone) == !r.colours.empty());
  REQUIRE(r.colours.size() <= palette_file::kMaxColours);
  if (r.colours.empty()) return;
  const std::vector<uint8_t> file = palette_file::Write(r.format, r.colours, "fuzz");
  const palette_file::ReadResult again = palette_file::Read(file.data(), file.size());
  REQUIRE(again.problem == palette_file::Problem::kNone && again.format == r.format &&
          again.colours == r.colours);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckPaletteFile(data, size);
  if (size < bmp::kFileHeaderSize) return 0;
  const bmp::FileHeader fh = bmp::ParseFileHeader(data);
  if (fh.type != bmp::kMagicBM || !bmp::FileHeaderSizeIsSound(fh)) return 0;
  // The reader reads up to ReadEnd and refuses a shorter file.
  const uint64_t end =
      bmp::ReadEnd(fh, bmp::PictureEnd(data, size < bmp::kFrontBytes ? size : bmp::kFrontBytes), size);
  if (end > size) return 0;
  const size_t blockSize = static_cast<size_t>(end) - bmp::kFileHeaderSize;
  std::unique_ptr<uint8_t[]> block(new uint8_t[blockSize]);
  std::memcpy(block.get(), data + bmp::kFileHeaderSize, blockSize);

  bmp::BlockLayout layout;
  if (bmp::ApplyLockRules(block.get(), blockSize, fh, &layout) != bmp::BlockCheck::kOk) return 0;
  CheckLayout(layout, blockSize);
  // The first lock filled in the header; a second one sees the same picture.
  bmp::BlockLayout again;
  REQUIRE(bmp::ApplyLockRules(block.get(), blockSize, fh, &again) == bmp::BlockCheck::kOk);
  REQUIRE(again.pixelOffset == layout.pixelOffset && again.pixelBytes == layout.pixelBytes &&
          again.colourCount == layout.colourCount && again.rowStride == layout.rowStride);

  if (layout.bitCount <= 8) {
    // The table padded to the depth: its own entries, then black.
    const uint32_t entries = 1u << layout.bitCount;
    uint8_t quads[4 * 256];
    bmp::TableAsQuads(block.get(), layout, quads, entries);
    for (uint32_t i = 0; i < entries; ++i) {
      const uint8_t* e = block.get() + layout.colourTableOffset + layout.entrySize * i;
      const bool listed = i < static_cast<uint32_t>(layout.colourCount);
      REQUIRE(quads[4 * i + 3] == 0);
      for (int k = 0; k < 3; ++k) REQUIRE(quads[4 * i + k] == (listed ? e[k] : 0));
    }
  }
  CheckTiff(block.get(), blockSize, layout, data[size - 1]);
  CheckRemap(block.get(), blockSize, layout, data, size);
  return 0;
}
