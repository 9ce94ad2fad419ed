// Writes the fuzzers' seed corpus: a few small BMP files, one of each kind
// the reader accepts (1, 4 and 8 bits, odd widths, top-down, a gap after the
// colour table, a short colour table, RLE8, RLE4, 24 bits), and each header
// size: the core header with 3-byte colours, 52, 56, version 4 and 5. And
// indexed PNG files of 1, 2, 4 and 8 bits, with and without tRNS, plain and
// interlaced, some with bKGD, hIST, text and private chunks; their IDAT is a
// zlib stream of stored blocks, so no compressor is needed.
// Usage: make_seeds <folder>
#include <algorithm>
#include <cstddef>
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

void PutBe32(std::vector<uint8_t>& v, uint32_t x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<uint8_t>((x >> s) & 0xFF));
}

// The CRC of PNG, bit by bit.
uint32_t Crc(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
  }
  return ~c;
}

void PutChunk(std::vector<uint8_t>& f, const char* type, const std::vector<uint8_t>& data) {
  PutBe32(f, static_cast<uint32_t>(data.size()));
  const size_t typeAt = f.size();
  f.insert(f.end(), type, type + 4);
  f.insert(f.end(), data.begin(), data.end());
  PutBe32(f, Crc(&f[typeAt], f.size() - typeAt));
}

// Header 0x78 0x01, blocks of BFINAL/BTYPE 00 with LEN and NLEN, Adler-32.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> z = {0x78, 0x01};
  size_t at = 0;
  do {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    z.push_back(at + n == raw.size() ? 1 : 0);
    Put16(z, static_cast<uint32_t>(n));
    Put16(z, static_cast<uint32_t>(~n & 0xFFFF));
    z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
    at += n;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t x : raw) {
    a = (a + x) % 65521;
    b = (b + a) % 65521;
  }
  PutBe32(z, (b << 16) | a);
  return z;
}

struct PngSeed {
  const char* name;
  uint32_t width, height, depth, colours;
  bool trns, interlace, extras;  // extras: gAMA, bKGD, hIST, text, private chunks, split IDAT
};

// Filter byte 0 before every row of every pass; index (x * 3 + y) % colours.
std::vector<uint8_t> RawRows(const PngSeed& s) {
  static const uint32_t kAdam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                        {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  static const uint32_t kWhole[1][4] = {{0, 0, 1, 1}};
  const uint32_t (*passes)[4] = s.interlace ? kAdam7 : kWhole;
  std::vector<uint8_t> raw;
  for (int p = 0; p < (s.interlace ? 7 : 1); ++p) {
    const uint32_t* q = passes[p];
    if (s.width <= q[0]) continue;
    for (uint32_t y = q[1]; y < s.height; y += q[3]) {
      raw.push_back(0);
      uint32_t bits = 0, acc = 0;
      for (uint32_t x = q[0]; x < s.width; x += q[2]) {
        acc = (acc << s.depth) | ((x * 3 + y) % s.colours);
        bits += s.depth;
        if (bits == 8) {
          raw.push_back(static_cast<uint8_t>(acc));
          bits = acc = 0;
        }
      }
      if (bits != 0) raw.push_back(static_cast<uint8_t>(acc << (8 - bits)));
    }
  }
  return raw;
}

std::vector<uint8_t> MakePng(const PngSeed& s) {
  std::vector<uint8_t> f = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<uint8_t> ihdr;
  PutBe32(ihdr, s.width);
  PutBe32(ihdr, s.height);
  // Depth, colour type 3, compression, filter, interlace.
  ihdr.insert(ihdr.end(), {static_cast<uint8_t>(s.depth), 3, 0, 0, uint8_t{s.interlace}});
  PutChunk(f, "IHDR", ihdr);
  if (s.extras) PutChunk(f, "gAMA", {0, 0, 0xB1, 0x8F});
  std::vector<uint8_t> plte, alpha, hist;
  for (uint32_t i = 0; i < s.colours; ++i) {
    plte.insert(plte.end(), {static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i),
                             static_cast<uint8_t>(i * 3 + 1)});
    alpha.push_back(static_cast<uint8_t>(i % 3 == 0 ? i * 5 : 255));
    hist.insert(hist.end(), {0, static_cast<uint8_t>(i)});
  }
  PutChunk(f, "PLTE", plte);
  if (s.trns) PutChunk(f, "tRNS", alpha);
  if (s.extras) {
    PutChunk(f, "bKGD", {static_cast<uint8_t>(s.colours - 1)});
    PutChunk(f, "hIST", hist);
    PutChunk(f, "prvT", {1, 2});
    PutChunk(f, "prIv", {3});
  }
  const std::vector<uint8_t> z = StoredZlib(RawRows(s));
  const size_t cut = s.extras ? z.size() / 2 : z.size();
  PutChunk(f, "IDAT", std::vector<uint8_t>(z.begin(), z.begin() + cut));
  if (cut != z.size()) PutChunk(f, "IDAT", std::vector<uint8_t>(z.begin() + cut, z.end()));
  if (s.extras) PutChunk(f, "tEXt", {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 's', 'e', 'e', 'd'});
  PutChunk(f, "IEND", {});
  if (s.extras) f.insert(f.end(), {'t', 'a', 'i', 'l'});
  return f;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    std::perror(path.c_str());
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (std::fclose(out) != 0 || !written) {
    std::fprintf(stderr, "%s: write failed\n", path.c_str());
    return false;
  }
  return true;
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
    if (!WriteFile(std::string(argv[1]) + "/" + s.name, MakeFile(s))) return 1;
  }
  const std::vector<PngSeed> pngs = {
      {"p1_13x5.png", 13, 5, 1, 2, false, false, false},
      {"p1_13x5trns_il.png", 13, 5, 1, 2, true, true, false},
      {"p1_9x9extras.png", 9, 9, 1, 1, true, false, true},
      {"p2_7x6.png", 7, 6, 2, 4, false, false, false},
      {"p2_7x6trns.png", 7, 6, 2, 3, true, false, false},
      {"p2_10x10il.png", 10, 10, 2, 4, false, true, true},
      {"p4_11x7.png", 11, 7, 4, 16, false, false, false},
      {"p4_11x7trns_il.png", 11, 7, 4, 12, true, true, false},
      {"p4_5x3il.png", 5, 3, 4, 16, false, true, false},
      {"p4_6x4trns_extras.png", 6, 4, 4, 16, true, false, true},
      {"p8_17x9.png", 17, 9, 8, 256, false, false, false},
      {"p8_17x9trns.png", 17, 9, 8, 200, true, false, false},
      {"p8_1x1il.png", 1, 1, 8, 1, false, true, false},
      {"p8_33x20trns_il_extras.png", 33, 20, 8, 256, true, true, true},
  };
  for (const PngSeed& s : pngs) {
    if (!WriteFile(std::string(argv[1]) + "/" + s.name, MakePng(s))) return 1;
  }
  return 0;
}
