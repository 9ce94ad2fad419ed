// The PNG chunk layer: the reader's refusals, the compressed-size bound, the
// index check, and both saves. Files are built here chunk by chunk, their
// IDAT a zlib stream of stored blocks; CRC constants come from Python's zlib.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/bitmap/core/png_chunks.h"

using png::Verdict;
using Bytes = std::vector<uint8_t>;

namespace {

struct Ch {
  std::string type;
  Bytes data;
};

void Put32(Bytes& v, uint32_t x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<uint8_t>(x >> s));
}

Bytes File(const std::vector<Ch>& chunks) {
  Bytes f(png::kSignature, png::kSignature + png::kSignatureSize);
  for (const Ch& c : chunks) {
    Put32(f, static_cast<uint32_t>(c.data.size()));
    const size_t typeAt = f.size();
    f.insert(f.end(), c.type.begin(), c.type.end());
    f.insert(f.end(), c.data.begin(), c.data.end());
    Put32(f, png::Crc32(&f[typeAt], f.size() - typeAt));
  }
  return f;
}

Ch Ihdr(uint32_t w, uint32_t h, uint8_t depth, uint8_t colourType = 3, uint8_t interlace = 0) {
  Ch c{"IHDR", {}};
  Put32(c.data, w);
  Put32(c.data, h);
  c.data.insert(c.data.end(), {depth, colourType, 0 /* compression */, 0 /* filter */, interlace});
  return c;
}

Ch Set(Ch c, size_t at, uint8_t value) {
  c.data[at] = value;
  return c;
}

// A zlib stream of stored blocks: header, blocks of BFINAL/BTYPE 00, LEN,
// NLEN and the bytes, then Adler-32.
Bytes Stored(const Bytes& raw) {
  Bytes z = {0x78, 0x01};
  size_t at = 0;
  do {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    z.insert(z.end(), {static_cast<uint8_t>(at + n == raw.size()), static_cast<uint8_t>(n),
                       static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(~n),
                       static_cast<uint8_t>(~n >> 8)});
    z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
    at += n;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t x : raw) a = (a + x) % 65521, b = (b + a) % 65521;
  Put32(z, b << 16 | a);
  return z;
}

Ch Idat(uint32_t w, uint32_t h, uint32_t depth, uint32_t interlace = 0) {
  return {"IDAT", Stored(Bytes(png::RawDataBytes(w, h, depth, interlace), 0))};
}

const Ch kIhdr = Ihdr(4, 2, 8);
const Ch kPlte = {"PLTE", {1, 2, 3, 4, 5, 6, 7, 8, 9}};
const Ch kTrns = {"tRNS", {0, 128}};
const Ch kIdat = Idat(4, 2, 8);
const Ch kIend = {"IEND", {}};

Verdict Read(const Bytes& f, png::PngLayout* l = nullptr) {
  png::PngLayout local;
  return png::ReadPng(f.data(), f.size(), l ? l : &local);
}

}  // namespace

TEST(PngCrc, MatchesZlib) {
  const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(png::Crc32(reinterpret_cast<const uint8_t*>("IEND"), 4), 0xAE426082u);
  EXPECT_EQ(png::Crc32(digits, 9), 0xCBF43926u);
  EXPECT_EQ(png::Crc32Update(png::Crc32(digits, 4), digits + 4, 5), 0xCBF43926u);
  EXPECT_EQ(File({kIend}), (Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0, 'I', 'E', 'N',
                                  'D', 0xAE, 0x42, 0x60, 0x82}));
}

TEST(PngRead, RefusesEachFault) {
  struct Case {
    const char* what;
    std::vector<Ch> chunks;
    Verdict expected;
    void (*damage)(Bytes&) = nullptr;
  };
  const Ch plte3Trns4 = {"tRNS", {1, 2, 3, 4}};
  const std::vector<Ch> whole = {kIhdr, kPlte, kIdat, kIend};
  const Case cases[] = {
      {"signature", whole, Verdict::kBadSignature, [](Bytes& f) { f[1] = 'p'; }},
      {"length 2^31", whole, Verdict::kBadChunkLength, [](Bytes& f) { f[8] = 0x80; }},
      {"IEND's CRC cut", whole, Verdict::kChunkPastEnd, [](Bytes& f) { f.pop_back(); }},
      {"IHDR data changed", whole, Verdict::kBadCrc, [](Bytes& f) { f[19] ^= 1; }},
      {"digit in type", {kIhdr, {"tE5t", {}}, kPlte, kIdat, kIend}, Verdict::kBadChunkType},
      {"unknown critical", {kIhdr, {"ABCD", {}}, kPlte, kIdat, kIend}, Verdict::kUnknownCritical},
      {"IHDR not first", {{"tEXt", {'a', 0}}, kIhdr, kPlte, kIdat, kIend}, Verdict::kBadIhdr},
      {"IHDR 12 bytes", {{"IHDR", Bytes(12, 1)}, kPlte, kIdat, kIend}, Verdict::kBadIhdr},
      {"width 0", {Ihdr(0, 2, 8), kPlte, kIdat, kIend}, Verdict::kBadIhdr},
      {"height 2^31", {Ihdr(4, 0x80000000u, 8), kPlte, kIdat, kIend}, Verdict::kBadIhdr},
      {"indexed depth 3", {Ihdr(4, 2, 3), kPlte, kIdat, kIend}, Verdict::kBadIhdr},
      {"indexed depth 16", {Ihdr(4, 2, 16), kPlte, kIdat, kIend}, Verdict::kBadIhdr},
      {"colour type 1", {Ihdr(4, 2, 8, 1), kPlte, kIdat, kIend}, Verdict::kBadIhdr},
      {"truecolour depth 4", {Ihdr(4, 2, 4, 2), kIdat, kIend}, Verdict::kBadIhdr},
      {"compression 1", {Set(kIhdr, 10, 1), kPlte, kIdat, kIend}, Verdict::kBadIhdr},
      {"filter 1", {Set(kIhdr, 11, 1), kPlte, kIdat, kIend}, Verdict::kBadIhdr},
      {"interlace 2", {Ihdr(4, 2, 8, 3, 2), kPlte, kIdat, kIend}, Verdict::kBadIhdr},
      {"grey 16", {Ihdr(4, 2, 16, 0), kIdat, kIend}, Verdict::kNotIndexed},
      {"truecolour", {Ihdr(4, 2, 8, 2), kPlte, kIdat, kIend}, Verdict::kNotIndexed},
      {"grey alpha", {Ihdr(4, 2, 8, 4), kIdat, kIend}, Verdict::kNotIndexed},
      {"RGBA 16", {Ihdr(4, 2, 16, 6)}, Verdict::kNotIndexed},
      {"second IHDR", {kIhdr, kIhdr, kPlte, kIdat, kIend}, Verdict::kChunkMisplaced},
      {"second PLTE", {kIhdr, kPlte, kPlte, kIdat, kIend}, Verdict::kChunkMisplaced},
      {"PLTE after IDAT", {kIhdr, kPlte, kIdat, kPlte, kIend}, Verdict::kChunkMisplaced},
      {"tRNS before PLTE", {kIhdr, kTrns, kPlte, kIdat, kIend}, Verdict::kChunkMisplaced},
      {"tRNS after IDAT", {kIhdr, kPlte, kIdat, kTrns, kIend}, Verdict::kChunkMisplaced},
      {"second tRNS", {kIhdr, kPlte, kTrns, kTrns, kIdat, kIend}, Verdict::kChunkMisplaced},
      {"IDAT before PLTE", {kIhdr, kIdat, kPlte, kIend}, Verdict::kPlteMissing},
      {"no PLTE, no IDAT", {kIhdr, kIend}, Verdict::kPlteMissing},
      {"PLTE empty", {kIhdr, {"PLTE", {}}, kIdat, kIend}, Verdict::kPlteBadLength},
      {"PLTE 4 bytes", {kIhdr, {"PLTE", {1, 2, 3, 4}}, kIdat, kIend}, Verdict::kPlteBadLength},
      {"3 entries at 1 bit", {Ihdr(4, 2, 1), kPlte, Idat(4, 2, 1), kIend}, Verdict::kPlteTooLong},
      {"4 alphas, 3 entries", {kIhdr, kPlte, plte3Trns4, kIdat, kIend}, Verdict::kTrnsTooLong},
      {"no IDAT", {kIhdr, kPlte, kIend}, Verdict::kIdatMissing},
      {"IDAT empty", {kIhdr, kPlte, {"IDAT", {}}, {"IDAT", {}}, kIend}, Verdict::kIdatEmpty},
      {"IDAT tEXt IDAT", {kIhdr, kPlte, kIdat, {"tEXt", {'a', 0}}, kIdat, kIend},
       Verdict::kIdatNotConsecutive},
      {"no IEND", {kIhdr, kPlte, kIdat}, Verdict::kIendMissing},
      {"IEND with data", {kIhdr, kPlte, kIdat, {"IEND", {0}}}, Verdict::kBadIend},
      // About 1 KB claiming 65535 x 65535 at 8 bits.
      {"bomb", {Ihdr(65535, 65535, 8), kPlte, {"IDAT", Bytes(1000, 0)}, kIend},
       Verdict::kTooLittleData},
  };
  for (const Case& c : cases) {
    Bytes f = File(c.chunks);
    if (c.damage) c.damage(f);
    EXPECT_STREQ(png::VerdictName(Read(f)), png::VerdictName(c.expected)) << c.what;
  }
}

TEST(PngRead, AcceptsSoundFilesAndDescribesThem) {
  struct Case {
    const char* what;
    std::vector<Ch> chunks;
    uint32_t palette;
    Bytes alpha;
  };
  const Case cases[] = {
      {"plain", {kIhdr, kPlte, kIdat, kIend}, 3, {}},
      {"2 entries at 1 bit", {Ihdr(9, 3, 1), {"PLTE", Bytes(6, 7)}, Idat(9, 3, 1), kIend}, 2, {}},
      {"256 entries, tRNS of 256, interlaced",
       {Ihdr(37, 23, 8, 3, 1), {"PLTE", Bytes(768, 1)}, {"tRNS", Bytes(256, 9)},
        Idat(37, 23, 8, 1), kIend}, 256, Bytes(256, 9)},
      {"IDAT split, one empty, text after", {kIhdr, kPlte, kTrns, {"IDAT", {0x78, 1}},
       {"IDAT", {}}, {"IDAT", Bytes(kIdat.data.begin() + 2, kIdat.data.end())},
       {"tEXt", {'a', 0}}, kIend}, 3, {0, 128}},
  };
  for (const Case& c : cases) {
    Bytes f = File(c.chunks);
    const size_t fileEnd = f.size();
    f.insert(f.end(), {'t', 'a', 'i', 'l'});  // kept, not read
    png::PngLayout l;
    ASSERT_EQ(Read(f, &l), Verdict::kOk) << c.what;
    EXPECT_EQ(l.paletteCount, c.palette) << c.what;
    EXPECT_EQ(l.alpha, c.alpha) << c.what;
    EXPECT_EQ(l.plteOffset, 33u) << c.what;  // signature 8 + IHDR 25
    EXPECT_EQ(l.end, fileEnd) << c.what;
    ASSERT_EQ(l.chunks.size(), c.chunks.size()) << c.what;
    size_t at = 8;
    uint64_t idat = 0;
    for (size_t i = 0; i < c.chunks.size(); ++i) {
      EXPECT_EQ(l.chunks[i].offset, at) << c.what << " chunk " << i;
      EXPECT_EQ(l.chunks[i].length, c.chunks[i].data.size()) << c.what << " chunk " << i;
      at += 12 + c.chunks[i].data.size();
      if (c.chunks[i].type == "IDAT") idat += c.chunks[i].data.size();
    }
    EXPECT_EQ(l.idatBytes, idat) << c.what;
  }
}

TEST(PngRawData, PassesAndTheInflateBound) {
  // Adam7 by hand for 10 x 10 at 1 bit: passes of 2x2, 1x2, 3x1, 2x3, 5x2,
  // 5x5, 10x5 pixels: 4 + 4 + 2 + 6 + 4 + 10 + 15 bytes with filter bytes.
  EXPECT_EQ(png::RawDataBytes(10, 10, 1, 1), 45u);
  EXPECT_EQ(png::RawDataBytes(1, 1, 8, 1), 2u);  // only the first pass has a pixel
  EXPECT_EQ(png::RawDataBytes(37, 23, 2, 1), 283u);
  EXPECT_EQ(png::RawDataBytes(65535, 65535, 8, 0), 65535u * 65536u);
  EXPECT_TRUE(png::MayHoldRows(1000, 1000 * 1032 + 65536));
  EXPECT_FALSE(png::MayHoldRows(1000, 1000 * 1032 + 65537));
}

TEST(PngIndices, PixelsPastThePaletteButNotPadding) {
  struct Case {
    uint32_t depth, width, count;
    Bytes row;
    bool within;
  };
  const Case cases[] = {
      {1, 9, 1, {0x00, 0x7F}, true},   // pixel 8 is 0, the rest padding
      {1, 9, 1, {0x00, 0x80}, false},
      {1, 9, 2, {0xFF, 0xFF}, true},
      {2, 3, 3, {0x93}, true},         // 2,1,0 then padding 3
      {2, 3, 3, {0x30}, false},        // pixel 1 is 3
      {4, 1, 15, {0x0F}, true},
      {4, 2, 15, {0x0F}, false},
      {4, 3, 15, {0xE1, 0xEF}, true},
      {8, 3, 200, {199, 0, 255}, true},  // 255 is padding (row of 2 below)
      {8, 3, 200, {0, 200, 1}, false},
  };
  for (const Case& c : cases) {
    const uint32_t w = c.depth == 8 && c.within ? 2 : c.width;
    // Two rows, the second one the case's; the stride has a spare byte.
    Bytes rows(c.row.size() + 1, 0);
    rows.insert(rows.end(), c.row.begin(), c.row.end());
    EXPECT_EQ(png::IndicesWithinPalette(rows.data(), rows.size(), c.row.size() + 1, w, 2, c.depth,
                                        c.count), c.within)
        << "depth " << c.depth << " width " << w << " count " << c.count;
  }
  const Bytes rows(8, 0);  // 3 rows of 2 bytes at stride 3: the last one ends at 8
  EXPECT_TRUE(png::IndicesWithinPalette(rows.data(), 8, 3, 2, 3, 8, 1));
  EXPECT_FALSE(png::IndicesWithinPalette(rows.data(), 7, 3, 2, 3, 8, 1));  // last row short
  EXPECT_FALSE(png::IndicesWithinPalette(rows.data(), 8, 1, 2, 3, 8, 256));  // stride < row
  EXPECT_FALSE(png::IndicesWithinPalette(rows.data(), 8, 3, 2, 3, 3, 256));  // depth 3
  EXPECT_TRUE(png::IndicesWithinPalette(rows.data(), 0, 3, 2, 0, 8, 1));  // no rows, no bytes
}

TEST(PngPatch, OnlyPlteDataAndItsCrcChange) {
  Bytes f = File({kIhdr, {"gAMA", {0, 1, 2, 3}}, kPlte, kTrns, kIdat, kIend});
  f.push_back(0x42);
  png::PngLayout l;
  ASSERT_EQ(Read(f, &l), Verdict::kOk);
  const uint8_t rgb[] = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90};
  Bytes out;
  ASSERT_TRUE(png::PatchPalette(f.data(), f.size(), l, rgb, 3, &out));
  ASSERT_EQ(out.size(), f.size());
  const size_t data = l.plteOffset + 8;
  for (size_t i = 0; i < f.size(); ++i) {
    if (i >= data && i < data + 9 + 4) continue;
    EXPECT_EQ(out[i], f[i]) << "byte " << i;
  }
  EXPECT_EQ(Bytes(out.begin() + data, out.begin() + data + 13),
            (Bytes{0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0xED, 0xA6, 0x3D, 0x4E}));
  Bytes inPlace = f;
  EXPECT_TRUE(png::PatchPaletteInPlace(inPlace.data(), inPlace.size(), l, rgb, 3));
  EXPECT_EQ(inPlace, out);
  // A count that is not the file's, or a layout of another file: untouched.
  inPlace = f;
  EXPECT_FALSE(png::PatchPaletteInPlace(inPlace.data(), inPlace.size(), l, rgb, 2));
  png::PngLayout other = l;
  other.plteOffset += 4;
  EXPECT_FALSE(png::PatchPaletteInPlace(inPlace.data(), inPlace.size(), other, rgb, 3));
  EXPECT_FALSE(png::PatchPalette(f.data(), 40, l, rgb, 3, &out));
  EXPECT_EQ(inPlace, f);
  EXPECT_TRUE(out.empty());
}

namespace {

const Ch kPlte4 = {"PLTE", {10, 11, 12, 20, 21, 22, 30, 31, 32, 40, 41, 42}};
const int32_t kOrder[4] = {2, 0, 3, 1};  // entry i moves to kOrder[i]

}  // namespace

TEST(PngReorder, RewritesPaletteChunksAndKeepsTheRest) {
  const Ch gama = {"gAMA", {0, 0, 0xB1, 0x8F}}, safe = {"prIv", {1}}, text = {"tEXt", {'a', 0}};
  Bytes source = File({kIhdr, gama, kPlte4, {"tRNS", {0, 128}}, {"bKGD", {1}},
                       {"hIST", {0, 1, 0, 2, 0, 3, 0, 4}}, {"prvT", {2}}, safe, kIdat, kIdat,
                       text, kIend});
  source.insert(source.end(), {'e', 'n', 'd'});
  const Bytes encoded = File({kIhdr, kPlte4, {"IDAT", {0x78, 1}}, {"IDAT", Bytes(30, 5)}, kIend});
  png::PngLayout l;
  ASSERT_EQ(Read(source, &l), Verdict::kOk);
  Bytes out;
  ASSERT_TRUE(png::AssembleReordered(source.data(), source.size(), l, encoded.data(),
                                     encoded.size(), kOrder, 4, &out));
  Bytes expected = File({kIhdr, gama, {"PLTE", {20, 21, 22, 40, 41, 42, 10, 11, 12, 30, 31, 32}},
                         {"tRNS", {128, 255, 0}}, {"bKGD", {0}},
                         {"hIST", {0, 2, 0, 4, 0, 1, 0, 3}}, safe, {"IDAT", {0x78, 1}},
                         {"IDAT", Bytes(30, 5)}, text, kIend});
  expected.insert(expected.end(), {'e', 'n', 'd'});
  EXPECT_EQ(out, expected);
}

TEST(PngReorder, AShortenedTableCutsPaletteAndAlphaAndMovesTheBackgroundToItsColour) {
  // Entry 2 repeats entry 0 (colour and alpha) and goes past the kept three;
  // bKGD names it, or entry 3 once that one is removed with no twin.
  const Ch plte = {"PLTE", {10, 11, 12, 20, 21, 22, 10, 11, 12, 40, 41, 42}};
  const struct {
    int32_t order[4];
    uint32_t kept;
    uint8_t background;
    Bytes plte, alpha, backgroundOut;
  } cases[] = {
      {{0, 1, 3, 2}, 3, 2, {10, 11, 12, 20, 21, 22, 40, 41, 42}, {0, 128}, {0}},
      {{1, 0, 3, 2}, 3, 2, {20, 21, 22, 10, 11, 12, 40, 41, 42}, {128, 0}, {1}},
      {{0, 1, 2, 3}, 3, 3, {10, 11, 12, 20, 21, 22, 10, 11, 12}, {0, 128, 0}, {}},
      {{1, 2, 0, 3}, 1, 2, {10, 11, 12}, {0}, {0}},
  };
  for (const auto& c : cases) {
    const Bytes source = File({kIhdr, plte, {"tRNS", {0, 128, 0}}, {"bKGD", {c.background}},
                               {"hIST", Bytes(8, 1)}, kIdat, kIend});
    const Bytes& kept = c.plte;
    const Bytes encoded = File({kIhdr, {"PLTE", kept}, kIdat, kIend});
    png::PngLayout l, back;
    ASSERT_EQ(Read(source, &l), Verdict::kOk);
    Bytes out;
    ASSERT_TRUE(png::AssembleReordered(source.data(), source.size(), l, encoded.data(), encoded.size(), c.order,
                                       c.kept, &out));
    const Ch trns = {"tRNS", c.alpha}, bkgd = {"bKGD", c.backgroundOut};
    std::vector<Ch> chunks = {kIhdr, {"PLTE", kept}, trns};
    if (!c.backgroundOut.empty()) chunks.push_back(bkgd);
    chunks.insert(chunks.end(), {kIdat, kIend});
    EXPECT_EQ(out, File(chunks)) << "kept " << c.kept << ", bKGD " << int(c.background);
    // The encoded file must hold the kept count.
    EXPECT_FALSE(png::AssembleReordered(source.data(), source.size(), l, source.data(), source.size(), c.order,
                                        c.kept, &out));
  }
  Bytes out;
  const Bytes source = File({kIhdr, kPlte4, kIdat, kIend});
  png::PngLayout l;
  ASSERT_EQ(Read(source, &l), Verdict::kOk);
  EXPECT_FALSE(png::AssembleReordered(source.data(), source.size(), l, source.data(), source.size(), kOrder, 0, &out));
  EXPECT_FALSE(png::AssembleReordered(source.data(), source.size(), l, source.data(), source.size(), kOrder, 5, &out));
}

TEST(PngReorder, AlphaFollowsItsEntryAndIsTrimmed) {
  const std::pair<Bytes, Bytes> cases[] = {
      {{10, 20, 30, 40}, {20, 40, 10, 30}}, {{255, 255}, {}}, {{}, {}}, {{255, 7}, {7}}};
  for (const auto& c : cases) {
    std::vector<Ch> chunks = {kIhdr, kPlte4, {"tRNS", c.first}, kIdat, kIend};
    const Bytes source = File(chunks);
    png::PngLayout l, back;
    ASSERT_EQ(Read(source, &l), Verdict::kOk);
    Bytes out;
    ASSERT_TRUE(png::AssembleReordered(source.data(), source.size(), l, source.data(),
                                       source.size(), kOrder, 4, &out));
    ASSERT_EQ(Read(out, &back), Verdict::kOk);
    EXPECT_EQ(back.alpha, c.second) << "first alpha " << int(c.first.empty() ? -1 : c.first[0]);
    EXPECT_EQ(back.chunks.size(), c.second.empty() ? 4u : 5u);
  }
}

TEST(PngReorder, RefusesAnEncodedFileThatDoesNotMatch) {
  const Bytes source = File({kIhdr, kPlte4, kIdat, kIend});
  png::PngLayout l;
  ASSERT_EQ(Read(source, &l), Verdict::kOk);
  const std::pair<const char*, Bytes> encodings[] = {
      {"width", File({Ihdr(5, 2, 8), kPlte4, kIdat, kIend})},
      {"depth", File({Ihdr(4, 2, 4), kPlte4, kIdat, kIend})},
      {"interlace", File({Ihdr(4, 2, 8, 3, 1), kPlte4, Idat(4, 2, 8, 1), kIend})},
      {"palette", File({kIhdr, kPlte, kIdat, kIend})},
      {"no IEND", File({kIhdr, kPlte4, kIdat})},
  };
  Bytes out;
  for (const auto& e : encodings) {
    EXPECT_FALSE(png::AssembleReordered(source.data(), source.size(), l, e.second.data(),
                                        e.second.size(), kOrder, 4, &out)) << e.first;
    EXPECT_TRUE(out.empty());
  }
  const int32_t twice[4] = {2, 0, 2, 1};
  EXPECT_FALSE(png::AssembleReordered(source.data(), source.size(), l, source.data(),
                                      source.size(), twice, 4, &out));
}

TEST(PngReorder, KeepsOnlyChunksThatDoNotDependOnTheOrder) {
  const char* kept[] = {"gAMA", "sRGB", "iCCP", "sPLT", "pHYs", "cICP", "eXIf", "zTXt", "prIv"};
  const char* dropped[] = {"prVT", "acTL", "fdAT", "dSIG", "tRNS", "bKGD", "hIST", "PLTE", "IDAT"};
  auto type = [](const char* t) { return png::ChunkType({t[0], t[1], t[2], t[3], 0}); };
  for (const char* t : kept) EXPECT_TRUE(png::KeepAfterReorder(type(t))) << t;
  for (const char* t : dropped) EXPECT_FALSE(png::KeepAfterReorder(type(t))) << t;
  EXPECT_TRUE(png::SafeToCopy(png::ChunkType("tEXt")));
  EXPECT_FALSE(png::SafeToCopy(png::ChunkType("gAMA")));
}
