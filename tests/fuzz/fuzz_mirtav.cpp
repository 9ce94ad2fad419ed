// libFuzzer target: a whole BMP file goes through the shuffler's Open checks,
// the reader's lock rules, a randomisation and the shuffler's BMP writer. The
// Open checks accept exactly the files the reader takes as 4-bit/16-colour or
// 8-bit/256-colour uncompressed pictures; a written file re-reads with the
// same colour table and rows, and after a randomisation every pixel keeps its
// colour. Blocks are exact-size heap copies so AddressSanitizer sees any
// access outside them; a violated invariant traps.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "common/bitmap/core/bmp_rules.h"
#include "mirtav00/core/bmp_writer.h"
#include "mirtav00/core/open_rules.h"
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
  if (fh.type != bmp::kMagicBM || !bmp::FileHeaderSizeIsSound(fh) || fh.totalSize > size) {
    return false;
  }
  p->block.assign(file + bmp::kFileHeaderSize, file + fh.totalSize);
  return bmp::ApplyLockRules(p->block.data(), p->block.size(), fh, &p->layout) ==
         bmp::BlockCheck::kOk;
}

// Colour (blue, green, red) of pixel x of the stored row y.
uint32_t ColourAt(const uint8_t* block, const bmp::BlockLayout& l, uint64_t x, uint64_t y) {
  const uint8_t byte = block[l.pixelOffset + y * l.rowStride + (l.bitCount == 8 ? x : x / 2)];
  const uint8_t index = l.bitCount == 8 ? byte : (x % 2 ? byte & 15 : byte >> 4);
  const uint8_t* e = block + l.colourTableOffset + 4 * index;
  return e[0] | (e[1] << 8) | (e[2] << 16);
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
  for (int i = 0; i < n; ++i) {
    const uint8_t* e = source.block.data() + l.colourTableOffset + 4 * i;
    REQUIRE(table[i].blue == e[0] && table[i].green == e[1] && table[i].red == e[2]);
  }
  mirtav::ShufflerPicture facts;
  REQUIRE(mirtav::FactsFromLayout(l, source.block.size(), size, &facts));

  std::unique_ptr<uint8_t[]> block(new uint8_t[source.block.size()]);
  const size_t blockSize = source.block.size();
  std::memcpy(block.get(), source.block.data(), blockSize);

  // Written as it was opened: the same table, the same rows in the same order.
  Picture written;
  const std::vector<uint8_t> file = WriteAndReread(block.get(), blockSize, l, &written);
  const bmp::BlockLayout& w = written.layout;
  REQUIRE(w.width == l.width && w.height == l.height && w.topDown == l.topDown &&
          w.bitCount == l.bitCount && w.colourCount == l.colourCount);
  REQUIRE(std::memcmp(written.block.data() + w.colourTableOffset,
                      block.get() + l.colourTableOffset, 4 * l.colourCount) == 0);
  for (uint64_t y = 0; y < static_cast<uint64_t>(l.height); ++y) {
    REQUIRE(std::memcmp(written.block.data() + w.pixelOffset + y * w.rowStride,
                        block.get() + l.pixelOffset + y * l.rowStride, l.rowBytes) == 0);
  }
  // A sink that gives up part way is reported.
  CutSink cut(file.size() * data[size - 1] / 256);
  REQUIRE(mirtav::WriteShufflerBmp(block.get(), blockSize, l, cut) ==
          mirtav::BmpResult::kWriteFailed);

  // Randomised, then written: every pixel keeps its colour.
  auto shuffler = std::make_unique<shuffle::Shuffler>();
  const mirtav::TimeOfDay time = {0, 0, data[size - 1] % 60, (data[size / 2] * 4) % 1000};
  REQUIRE(mirtav::RandomisePicture(*shuffler, table, n, block.get(), blockSize, l, time));
  for (int i = 0; i < n; ++i) {
    const uint8_t* e = block.get() + l.colourTableOffset + 4 * i;
    REQUIRE(table[i].blue == e[0] && table[i].green == e[1] && table[i].red == e[2]);
  }
  Picture saved;
  WriteAndReread(block.get(), blockSize, l, &saved);
  for (uint64_t y = 0; y < static_cast<uint64_t>(l.height); ++y) {
    for (uint64_t x = 0; x < static_cast<uint64_t>(l.width); ++x) {
      REQUIRE(ColourAt(saved.block.data(), saved.layout, x, y) ==
              ColourAt(source.block.data(), l, x, y));
    }
  }
  return 0;
}
