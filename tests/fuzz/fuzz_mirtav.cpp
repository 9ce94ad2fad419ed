// libFuzzer target: a whole BMP file goes through the shuffler's Open checks,
// the reader's lock rules, a randomisation and the shuffler's BMP writer. The
// Open checks accept exactly the files the reader takes as 4- or 8-bit
// pictures (any header, short tables, RLE); a written file re-reads with the
// same colour table and pixels, and after a randomisation every pixel keeps
// its colour, RLE streams remapped in their codes. Blocks are exact-size heap copies so AddressSanitizer sees any
// access outside them; a violated invariant traps.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "common/bitmap/core/bmp_rules.h"
#include "common/bitmap/core/rle.h"
#include "mirtav00/core/bmp_writer.h"
#include "mirtav00/core/open_rules.h"
#include "mirtav00/core/order_history.h"
#include "mirtav00/core/order_tools.h"
#include "mirtav00/core/randomise.h"

namespace {

#define REQUIRE(cond) \
  do {                \
    if (!(cond)) __builtin_trap(); \
  } while (0)

class CutSink final : public tiff::ByteSink {
 public:
  explicit CutSink(uint64_t limit) : limit_(limit) {}
  bool Put(const uint8_t*, size_t n) override {
    if (n > limit_ - taken_) return false;
    taken_ += n;
    return true;
  }

 private:
  uint64_t limit_;
  uint64_t taken_ = 0;
};

struct Picture {
  std::vector<uint8_t> block;
  bmp::BlockLayout layout;
};

// The reader's view of a file: false when it refuses it.
bool Read(const uint8_t* file, size_t size, Picture* p) {
  if (size < bmp::kFileHeaderSize) return false;
  const bmp::FileHeader fh = bmp::ParseFileHeader(file);
  if (fh.type != bmp::kMagicBM || !bmp::FileHeaderSizeIsSound(fh)) return false;
  const uint64_t end =
      bmp::ReadEnd(fh, bmp::PictureEnd(file, size < bmp::kFrontBytes ? size : bmp::kFrontBytes), size);
  if (end > size) return false;
  p->block.assign(file + bmp::kFileHeaderSize, file + end);
  return bmp::ApplyLockRules(p->block.data(), p->block.size(), fh, &p->layout) ==
         bmp::BlockCheck::kOk;
}

// Keeps the decoded pictures of small RLE streams within the fuzzer's memory.
constexpr uint64_t kMaxPixels = 1u << 20;

// Every pixel's colour (blue, green, red), stored rows in order, an RLE
// stream decoded as the view decodes it; an index past the table is black.
// Empty for a picture too large to compare.
std::vector<uint32_t> Colours(const uint8_t* block, size_t blockSize, const bmp::BlockLayout& l,
                              bool indices = false) {
  const uint64_t w = static_cast<uint64_t>(l.width), h = static_cast<uint64_t>(l.height);
  if (w * h > kMaxPixels) return {};
  std::vector<uint8_t> rows;
  const uint8_t* from = block + l.pixelOffset;
  if (l.compression != bmp::kBiRgb) {
    rows.assign(static_cast<size_t>(h * l.rowStride), 0);
    rle::Decode(block + l.pixelOffset, static_cast<size_t>(l.pixelBytes), l.bitCount, l.width,
                l.height, l.rowStride, rows.data(), rows.size());
    from = rows.data();
  }
  REQUIRE(l.pixelOffset + (l.compression != bmp::kBiRgb ? l.pixelBytes : h * l.rowStride) <= blockSize);
  uint8_t quads[4 * 256];
  bmp::TableAsQuads(block, l, quads, 1u << l.bitCount);
  std::vector<uint32_t> out;
  for (uint64_t y = 0; y < h; ++y) {
    for (uint64_t x = 0; x < w; ++x) {
      const uint8_t byte = from[y * l.rowStride + (l.bitCount == 8 ? x : x / 2)];
      const uint8_t index = l.bitCount == 8 ? byte : (x % 2 ? byte & 15 : byte >> 4);
      const uint8_t* e = quads + 4 * index;
      out.push_back(indices ? index : e[0] | (e[1] << 8) | (e[2] << 16));
    }
  }
  return out;
}

void RequireTableMatches(const shuffle::PaletteEntry* table, const uint8_t* block,
                         const bmp::BlockLayout& l) {
  for (int i = 0; i < l.colourCount; ++i) {
    const uint8_t* e = block + l.colourTableOffset + l.entrySize * i;
    REQUIRE(table[i].blue == e[0] && table[i].green == e[1] && table[i].red == e[2]);
  }
}

std::vector<uint8_t> WriteAndReread(const uint8_t* block, size_t blockSize,
                                    const bmp::BlockLayout& l, Picture* again) {
  tiff::MemorySink sink;
  REQUIRE(mirtav::WriteShufflerBmp(block, blockSize, l, sink) == mirtav::BmpResult::kOk);
  REQUIRE(sink.bytes.size() == mirtav::ShufflerBmpFileSize(l));
  std::unique_ptr<uint8_t[]> exact(new uint8_t[sink.bytes.size()]);
  std::memcpy(exact.get(), sink.bytes.data(), sink.bytes.size());
  REQUIRE(Read(exact.get(), sink.bytes.size(), again));
  REQUIRE(bmp::GetU32(&sink.bytes[2]) == sink.bytes.size());
  return sink.bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy of the head, as the Open command reads it.
  const size_t headSize = size < mirtav::kOpenHeadBytes ? size : mirtav::kOpenHeadBytes;
  std::unique_ptr<uint8_t[]> head(new uint8_t[headSize ? headSize : 1]);
  if (headSize) std::memcpy(head.get(), data, headSize);
  shuffle::PaletteEntry table[256];
  int32_t n = 0;
  const bool opened = mirtav::CheckOpenHeader(head.get(), headSize, size, table, &n) ==
                      mirtav::OpenVerdict::kOk;

  Picture source;
  const bool read = Read(data, size, &source);
  const bool shufflerPicture = read && mirtav::ShufflerLayoutFits(source.layout, source.block.size());
  REQUIRE(opened == shufflerPicture);
  if (!opened) return 0;

  const bmp::BlockLayout& l = source.layout;
  REQUIRE(n == l.colourCount);
  RequireTableMatches(table, source.block.data(), l);
  mirtav::ShufflerPicture facts;
  REQUIRE(mirtav::FactsFromLayout(l, source.block.size(), size, &facts));

  std::unique_ptr<uint8_t[]> block(new uint8_t[source.block.size()]);
  const size_t blockSize = source.block.size();
  std::memcpy(block.get(), source.block.data(), blockSize);
  const std::vector<uint32_t> shown = Colours(source.block.data(), blockSize, l);

  // Written as it was opened: a 40-byte header, the same table, the same pixels.
  Picture written;
  const std::vector<uint8_t> file = WriteAndReread(block.get(), blockSize, l, &written);
  const bmp::BlockLayout& w = written.layout;
  REQUIRE(w.infoSize == 40 && w.width == l.width && w.height == l.height &&
          w.topDown == l.topDown && w.bitCount == l.bitCount && w.colourCount == l.colourCount &&
          w.compression == l.compression);
  RequireTableMatches(table, written.block.data(), w);
  REQUIRE(Colours(written.block.data(), written.block.size(), w) == shown);
  // A sink that gives up part way is reported.
  CutSink cut(file.size() * data[size - 1] / 256);
  REQUIRE(mirtav::WriteShufflerBmp(block.get(), blockSize, l, cut) ==
          mirtav::BmpResult::kWriteFailed);

  // Randomised, then written: every pixel keeps its colour. A damaged RLE
  // stream is refused with nothing changed.
  auto shuffler = std::make_unique<shuffle::Shuffler>();
  const mirtav::TimeOfDay time = {0, 0, data[size - 1] % 60, (data[size / 2] * 4) % 1000};
  const bool streamSound =
      l.compression == bmp::kBiRgb ||
      shuffle::RemapRleStream(block.get() + l.pixelOffset, static_cast<size_t>(l.pixelBytes),
                              l.bitCount, nullptr);
  shuffle::PaletteEntry before[256];
  std::memcpy(before, table, sizeof before);
  const bool done = mirtav::RandomisePicture(*shuffler, table, n, block.get(), blockSize, l, time);
  REQUIRE(done == streamSound);
  if (!done) {
    REQUIRE(std::memcmp(block.get(), source.block.data(), blockSize) == 0);
    REQUIRE(std::memcmp(before, table, sizeof before) == 0);
    return 0;
  }
  RequireTableMatches(table, block.get(), l);

  // Entry b given entry a's colour, then merged: on rows every pixel keeps its
  // colour and the counted uses follow the step; the kept bytes take the
  // block back to the byte.
  const int32_t a = data[0] % n, b = data[size / 3] % n;
  auto colourEntry = [&](int32_t entry, const shuffle::PaletteEntry& c) {
    bmp::PutTableEntry(block.get(), l, static_cast<uint32_t>(entry), static_cast<uint8_t>(c.blue),
                       static_cast<uint8_t>(c.green), static_cast<uint8_t>(c.red));
  };
  if (a != b) {
    shuffle::PaletteEntry merging[256];
    std::memcpy(merging, table, sizeof merging);
    colourEntry(b, merging[b] = merging[a]);
    const std::vector<uint8_t> unmerged(block.get(), block.get() + blockSize);
    const std::vector<uint32_t> colours = Colours(block.get(), blockSize, l);
    int32_t order[256], pixelMap[256], count = n;
    uint64_t uses[256], counted[256];
    mirtav::OrderStep merge;
    bmp::BlockLayout shorter = l;
    const int32_t kept = mirtav::DuplicateMergeOrder(merging, nullptr, n, order, pixelMap);
    REQUIRE(kept >= 1 && kept < n && mirtav::MakeStep(order, n, kept, pixelMap, &merge));
    REQUIRE(mirtav::CountUses(block.get(), blockSize, l, uses));
    REQUIRE(mirtav::ApplyStep(merging, &count, block.get(), blockSize, &shorter, merge, &merge.patch));
    if (l.compression == bmp::kBiRgb) {
      REQUIRE(Colours(block.get(), blockSize, shorter) == colours && mirtav::UsesAfterStep(merge, false, uses));
      REQUIRE(mirtav::CountUses(block.get(), blockSize, shorter, counted));
      REQUIRE(std::memcmp(uses, counted, sizeof uses) == 0);
    }
    REQUIRE(mirtav::RevertStep(merging, &count, block.get(), blockSize, &shorter, merge));
    REQUIRE(count == n && std::memcmp(block.get(), unmerged.data(), blockSize) == 0);
    colourEntry(b, table[b]);
  }
  Picture saved;
  WriteAndReread(block.get(), blockSize, l, &saved);
  const std::vector<uint32_t> now = Colours(saved.block.data(), saved.block.size(), saved.layout);
  REQUIRE(Colours(block.get(), blockSize, l) == now);
  if (l.compression == bmp::kBiRgb) {
    REQUIRE(now == shown);
    return 0;
  }
  // Pixels an RLE stream never writes (passed by a delta or a line end) are
  // index 0 before and after, whatever entry 0 became; every other keeps its colour.
  const std::vector<uint32_t> was = Colours(source.block.data(), blockSize, l, true);
  const std::vector<uint32_t> is = Colours(block.get(), blockSize, l, true);
  for (size_t i = 0; i < now.size(); ++i) REQUIRE(now[i] == shown[i] || (was[i] == 0 && is[i] == 0));
  return 0;
}
