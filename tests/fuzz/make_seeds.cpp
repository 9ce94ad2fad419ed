// Writes the fuzzers' seed corpus: a few small BMP files, one of each kind
// the reader accepts (1, 4 and 8 bits, odd widths, top-down, a gap after the
// colour table, a short colour table, RLE8, RLE4, 24 bits), and each header
// size: the core header with 3-byte colours, 52, 56, version 4 and 5.
// Usage: make_seeds <folder>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x & 0xFF));
  v.push_back(static_cast<uint8_t>((x >> 8) & 0xFF));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

struct Seed {
  const char* name;
  int32_t width, height;
  uint16_t bits;
  uint32_t compression;
  uint32_t clrUsed;     // as stored; 0 = 2^bits
  uint32_t gap;         // bytes between colour table and pixels
  bool offsetField;     // store the pixel offset (else 0)
  std::vector<uint8_t> pixels;  // empty: made from the size, uncompressed
  uint32_t infoSize = 40;       // 12: the core header
};

std::vector<uint8_t> MakeFile(const Seed& s) {
  const uint32_t colours = s.clrUsed ? s.clrUsed : (s.bits <= 8 ? 1u << s.bits : 0u);
  std::vector<uint8_t> pixels = s.pixels;
  if (pixels.empty()) {
    const uint32_t rows = static_cast<uint32_t>(s.height < 0 ? -s.height : s.height);
    const uint32_t stride = (static_cast<uint32_t>(s.width) * s.bits + 31) / 32 * 4;
    for (uint32_t i = 0; i < rows * stride; ++i) pixels.push_back(static_cast<uint8_t>(i * 37 + 11));
  }
  const bool core = s.infoSize == 12;
  const uint32_t entry = core ? 3 : 4;
  const uint32_t pixelOffset = 14 + s.infoSize + entry * colours + s.gap;
  std::vector<uint8_t> f;
  Put16(f, 0x4D42);
  Put32(f, pixelOffset + static_cast<uint32_t>(pixels.size()));
  Put32(f, 0);
  Put32(f, s.offsetField ? pixelOffset : 0);
  Put32(f, s.infoSize);
  if (core) {
    Put16(f, static_cast<uint32_t>(s.width));
    Put16(f, static_cast<uint32_t>(s.height));
    Put16(f, 1);
    Put16(f, s.bits);
  } else {
    Put32(f, static_cast<uint32_t>(s.width));
    Put32(f, static_cast<uint32_t>(s.height));
    Put16(f, 1);
    Put16(f, s.bits);
    Put32(f, s.compression);
    Put32(f, s.compression ? static_cast<uint32_t>(pixels.size()) : 0);
    Put32(f, 2835);
    Put32(f, 2835);
    Put32(f, s.clrUsed);
    Put32(f, 0);
    for (uint32_t i = 40; i < s.infoSize; ++i) f.push_back(static_cast<uint8_t>(i));
  }
  for (uint32_t i = 0; i < colours; ++i) {
    f.push_back(static_cast<uint8_t>(i * 7));
    f.push_back(static_cast<uint8_t>(255 - i));
    f.push_back(static_cast<uint8_t>(i * 3 + 1));
    if (!core) f.push_back(0);
  }
  for (uint32_t i = 0; i < s.gap; ++i) f.push_back(0xEE);
  f.insert(f.end(), pixels.begin(), pixels.end());
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds <folder>\n");
    return 2;
  }
  const std::vector<Seed> seeds = {
      {"mono16x2.bmp", 16, 2, 1, 0, 0, 0, true, {}},
      {"four33x5.bmp", 33, 5, 4, 0, 0, 0, false, {}},
      {"eight7x3gap.bmp", 7, 3, 8, 0, 0, 22, true, {}},
      {"eight5x4topdown.bmp", 5, -4, 8, 0, 256, 0, true, {}},
      {"eight9x3sixteen.bmp", 9, 3, 8, 0, 16, 0, true, {}},
      {"four5x3topdown.bmp", 5, -3, 4, 0, 16, 2, true, {}},
      // Runs, an absolute run, end of line, a delta and end of bitmap.
      {"rle8x4.bmp", 8, 4, 8, 1, 0, 0, true,
       {3, 1, 5, 2, 0, 0, 0, 3, 7, 8, 9, 0, 0, 2, 1, 1, 4, 5, 0, 0, 8, 6, 0, 1}},
      {"rle4_9x3.bmp", 9, 3, 4, 2, 0, 0, true,
       {9, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 4, 0xAB, 0, 1}},
      {"rgb3x2.bmp", 3, 2, 24, 0, 0, 0, true, {}},
      {"core8_5x3.bmp", 5, 3, 8, 0, 0, 0, true, {}, 12},
      {"core4_7x2short.bmp", 7, 2, 4, 0, 12, 0, true, {}, 12},
      {"v5_8x3hundred.bmp", 8, 3, 8, 0, 100, 0, true, {}, 124},
      {"v4_4x5twelve.bmp", 4, 5, 4, 0, 12, 0, true, {}, 108},
      {"h52_1x9.bmp", 9, 1, 1, 0, 0, 0, true, {}, 52},
      {"v5rle8x4.bmp", 8, 4, 8, 1, 100, 0, true,
       {3, 1, 5, 2, 0, 0, 0, 3, 7, 8, 9, 0, 0, 2, 1, 1, 4, 5, 0, 0, 8, 6, 0, 1}, 124},
      {"h56rle4_9x3.bmp", 9, 3, 4, 2, 0, 0, true,
       {9, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 4, 0xAB, 0, 1}, 56},
  };
  for (const Seed& s : seeds) {
    const std::string path = std::string(argv[1]) + "/" + s.name;
    const std::vector<uint8_t> bytes = MakeFile(s);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
      std::perror(path.c_str());
      return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
      std::fprintf(stderr, "%s: write failed\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
