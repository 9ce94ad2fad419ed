#include "mirtav00/core/shuffle.h"

#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace shuffle {

uint32_t PoolSeedOfTime(int hundredths, int seconds) {
  const double h = hundredths;
  const double s = seconds;
  const double x = (100.0 * h + (0.01 * h + s) * 1.6666666666666667) * 6.5536;
  if (!(x > 0.0)) return 0;
  if (x >= 65535.0) return 65535;
  return static_cast<uint32_t>(std::floor(x));
}

double WichmannHill(int32_t a, int32_t b, int32_t c) {
  int32_t a1 = 171 * (a % 177) - 2 * (a / 177);
  if (a1 < 0) a1 += 30269;
  int32_t b1 = 172 * (b % 176) - 35 * (b / 176);
  if (b1 < 0) b1 += 30307;
  int32_t c1 = 170 * (c % 178) - 63 * (c / 178);
  if (c1 < 0) c1 += 30323;
  double r = a1 / 30269.0 + b1 / 30307.0 + c1 / 30323.0;
  while (r >= 1.0) r -= 1.0;
  return r > 0.0 ? r : 0.00001;
}

void Shuffler::FillPool(uint32_t seed) {
  generator.Seed(seed);
  for (int32_t& slot : RandomPool) slot = generator.Next();
  poolCursor = 0;
}

void Shuffler::SetUpPool(int hundredths, int seconds) {
  poolSeed = PoolSeedOfTime(hundredths, seconds);
  FillPool(poolSeed);
}

int32_t Shuffler::DrawSeed() {
  // Every pool value is an output of the generator, so it is a valid index.
  generator.Seed(static_cast<uint32_t>(RandomPool[RandomPool[poolCursor] & 0x7FFF]));
  const int32_t v = generator.Next();
  int32_t t = static_cast<int32_t>(v * (1.0 / 32767.0) * (30000.0 - 0.00001) + 1.0);
  if (t > 30000) t = 30000;
  RandomPool[poolCursor] = v;
  ++poolCursor;
  if (poolCursor > kPoolSize - 1) {
    poolSeed = poolSeed >= 65535 ? 0 : poolSeed + 1;
    FillPool(poolSeed);
  }
  return t;
}

double Shuffler::DrawUniform() {
  const int32_t a = DrawSeed();
  const int32_t b = DrawSeed();
  const int32_t c = DrawSeed();
  return WichmannHill(a, b, c);
}

bool Shuffler::BuildOrder(int colourCount, int hundredths, int seconds) {
  if (colourCount < 1 || colourCount > kMaxColours) return false;
  SetUpPool(hundredths, seconds);
  // 255 for 256 colours, 15 for 16: the scale of the candidate index.
  const double scale = colourCount - 1;
  // Which indices are placed already; the same answer as comparing with
  // OrderMap[0..i-1], without the quadratic scan.
  bool placed[kMaxColours] = {};
  int i = 0;
  while (i < colourCount) {
    const double r = DrawUniform();
    const int k = static_cast<int>(std::floor(r * scale + 0.49));
    OrderMap[i] = k;
    if (!placed[k]) {
      placed[k] = true;
      ++i;
    }
  }
  return true;
}

bool Shuffler::ReorderPalette(PaletteEntry* paletteTable, int colourCount) {
  return ReorderTable(paletteTable, colourCount, OrderMap);
}

bool ReorderTable(PaletteEntry* paletteTable, int colourCount, const int32_t* orderMap) {
  if (!IsPermutation(orderMap, colourCount)) return false;
  PaletteEntry moved[kMaxColours];
  for (int i = 0; i < colourCount; ++i) moved[orderMap[i]] = paletteTable[i];
  for (int i = 0; i < colourCount; ++i) paletteTable[i] = moved[i];
  return true;
}

bool IsPermutation(const int32_t* orderMap, int colourCount) {
  if (colourCount < 1 || colourCount > kMaxColours) return false;
  bool seen[kMaxColours] = {};
  for (int i = 0; i < colourCount; ++i) {
    const int32_t k = orderMap[i];
    if (k < 0 || k >= colourCount || seen[k]) return false;
    seen[k] = true;
  }
  return true;
}

bool ComposeOrder(int32_t* order, const int32_t* step, int colourCount) {
  if (!IsPermutation(order, colourCount) || !IsPermutation(step, colourCount)) return false;
  for (int i = 0; i < colourCount; ++i) order[i] = step[order[i]];
  return true;
}

bool BuildRemapTable(uint16_t bitCount, int colourCount, const int32_t* orderMap,
                     uint8_t table[256]) {
  return IsPermutation(orderMap, colourCount) && BuildMapTable(bitCount, colourCount, orderMap, table);
}

bool BuildMapTable(uint16_t bitCount, int colourCount, const int32_t* indexMap, uint8_t table[256]) {
  if (bitCount != 4 && bitCount != 8) return false;
  if (colourCount < 1 || colourCount > (1 << bitCount)) return false;
  for (int i = 0; i < colourCount; ++i) {
    if (indexMap[i] < 0 || indexMap[i] >= colourCount) return false;
  }
  if (bitCount == 8) {
    for (int b = 0; b < 256; ++b)
      table[b] = static_cast<uint8_t>(b < colourCount ? indexMap[b] : b);
    return true;
  }
  uint8_t nibble[16];
  for (int v = 0; v < 16; ++v)
    nibble[v] = static_cast<uint8_t>(v < colourCount ? indexMap[v] : v);
  for (int b = 0; b < 256; ++b)
    table[b] = static_cast<uint8_t>((nibble[b >> 4] << 4) | nibble[b & 15]);
  return true;
}

namespace {

// Eight bytes through table: eight independent lookups keep the loads in flight.
inline void RemapEight(uint8_t* p, const uint8_t table[256]) {
  const uint8_t b0 = table[p[0]], b1 = table[p[1]], b2 = table[p[2]], b3 = table[p[3]], b4 = table[p[4]],
                b5 = table[p[5]], b6 = table[p[6]], b7 = table[p[7]];
  p[0] = b0; p[1] = b1; p[2] = b2; p[3] = b3;
  p[4] = b4; p[5] = b5; p[6] = b6; p[7] = b7;
}

}  // namespace

void RemapRows(uint8_t* pixels, uint64_t rows, uint64_t rowBytes, uint64_t rowStride,
               const uint8_t table[256]) {
  for (uint64_t y = 0; y < rows; ++y) {
    uint8_t* p = pixels + y * rowStride;
    uint64_t x = 0;
    for (; x + 8 <= rowBytes; x += 8) RemapEight(p + x, table);
    for (; x < rowBytes; ++x) p[x] = table[p[x]];
  }
}

namespace {

// One walk over the codes of an RLE stream, handing every index byte to
// visit (the value of an encoded run, the bytes of an absolute run); false
// where a code is cut short (after visiting what came before it).
template <typename Visit>
bool WalkRle(uint8_t* stream, size_t size, uint16_t bitCount, Visit visit) {
  size_t pos = 0;
  while (size - pos >= 2) {
    const uint8_t count = stream[pos];
    const uint8_t code = stream[pos + 1];
    if (count != 0) {  // an encoded run: its one index byte
      visit(stream + pos + 1);
      pos += 2;
    } else if (code == 0) {  // end of line
      pos += 2;
    } else if (code == 1) {  // end of bitmap: what follows is no picture
      return true;
    } else if (code == 2) {  // delta: two offsets, no index
      if (size - pos < 4) return false;
      pos += 4;
    } else {  // an absolute run of `code` pixels, padded to a word
      const size_t bytes = bitCount == 8 ? code : (code + 1u) / 2;
      const size_t padded = bytes + (bytes & 1);
      if (size - pos - 2 < padded) return false;
      for (size_t i = pos + 2; i < pos + 2 + bytes; ++i) visit(stream + i);
      pos += 2 + padded;
    }
  }
  return pos == size;  // a lone byte left is a code cut short
}

bool CheckRle(uint8_t* stream, size_t size, uint16_t bitCount) {
  return WalkRle(stream, size, bitCount, [](uint8_t*) {});
}

bool RemapRle(uint8_t* stream, size_t size, uint16_t bitCount, const uint8_t* table) {
  return WalkRle(stream, size, bitCount, [table](uint8_t* b) { *b = table[*b]; });
}

// The pixels of a layout ApplyToPicture takes lie inside the block: the
// rows, or a whole RLE stream of codes. Its colour table too.
bool PixelsFit(const uint8_t* block, size_t blockSize, const bmp::BlockLayout& layout) {
  if (block == nullptr) return false;
  const bool rle = layout.compression != bmp::kBiRgb;
  if (rle && !((layout.compression == bmp::kBiRle8 && layout.bitCount == 8) ||
               (layout.compression == bmp::kBiRle4 && layout.bitCount == 4))) {
    return false;
  }
  if (layout.bitCount != 4 && layout.bitCount != 8) return false;
  if (layout.height < 0 || layout.rowBytes > layout.rowStride) return false;
  if (layout.colourCount < 1 || layout.colourCount > (1 << layout.bitCount)) return false;
  const uint64_t size = blockSize;
  if (layout.entrySize != 3 && layout.entrySize != 4) return false;
  const uint64_t tableEnd =
      layout.colourTableOffset + uint64_t{layout.entrySize} * static_cast<uint64_t>(layout.colourCount);
  if (layout.colourTableOffset > size || tableEnd > size) return false;
  if (layout.pixelOffset > size) return false;
  const uint64_t rows = static_cast<uint64_t>(layout.height);
  const uint64_t room = size - layout.pixelOffset;
  if (rle) {
    return layout.pixelBytes <= room &&
           CheckRle(const_cast<uint8_t*>(block) + layout.pixelOffset, static_cast<size_t>(layout.pixelBytes),
                    layout.bitCount);
  }
  return rows == 0 || layout.rowStride == 0 || rows <= room / layout.rowStride;
}

}  // namespace

bool RemapRleStream(uint8_t* stream, size_t size, uint16_t bitCount, const uint8_t* table) {
  if (stream == nullptr || (bitCount != 4 && bitCount != 8)) return false;
  if (!CheckRle(stream, size, bitCount)) return false;
  return table == nullptr || RemapRle(stream, size, bitCount, table);
}

bool ApplyToPicture(uint8_t* block, size_t blockSize, const bmp::BlockLayout& layout,
                    const PaletteEntry* paletteTable, const int32_t* orderMap) {
  uint8_t table[256];
  return BuildRemapTable(layout.bitCount, layout.colourCount, orderMap, table) &&
         ApplyMapToPicture(block, blockSize, layout, paletteTable, table);
}

namespace {

// Appends kept bytes to a patch through a plain pointer into room made
// ahead (what the caller reserved, more as it fills), so that keeping a byte
// costs a few stores rather than a vector's bookkeeping for each of them.
// The patch takes its final length when the writer goes, even when a
// growth throws.
class PatchWriter {
 public:
  explicit PatchWriter(IndexPatch* patch) : patch_(patch), next_(patch->next) { Room(patch->stream.size()); }
  ~PatchWriter() {
    patch_->stream.resize(static_cast<size_t>(out_ - patch_->stream.data()));
    patch_->next = next_;
  }
  PatchWriter(const PatchWriter&) = delete;
  PatchWriter& operator=(const PatchWriter&) = delete;

  // As IndexPatch::Keep.
  void Keep(size_t offset, uint8_t byte) {
    if (static_cast<size_t>(end_ - out_) < kLongest) Room(static_cast<size_t>(out_ - patch_->stream.data()));
    uint8_t* out = out_;  // a local: the stores below could otherwise be taken to change out_
    size_t gap = offset - next_;
    next_ = offset + 1;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // A gap below 2^28 (nearly all) in one store, with no branch on its
    // length: a merge's gaps are as random as its pixels, and a branch per
    // gap byte would be missed about once for every pixel kept.
    if (gap < (size_t{1} << 28)) {
      const unsigned width = 32u - static_cast<unsigned>(__builtin_clz(static_cast<uint32_t>(gap) | 1u));
      const unsigned length = (width + 6) / 7;  // 1 to 4 bytes
      uint64_t code = (gap & 0x7F) | (gap >> 7 & 0x7F) << 8 | (gap >> 14 & 0x7F) << 16 | (gap >> 21 & 0x7F) << 24;
      code |= 0x808080u & ((uint64_t{1} << (8 * (length - 1))) - 1);  // "more follows" on all but the last
      code |= uint64_t{byte} << (8 * length);
      std::memcpy(out, &code, sizeof code);
      out_ = out + length + 1;
      return;
    }
#endif
    while (gap >= 0x80) {
      *out++ = static_cast<uint8_t>(0x80 | (gap & 0x7F));
      gap >>= 7;
    }
    *out++ = static_cast<uint8_t>(gap);
    *out++ = byte;
    out_ = out;
  }

 private:
  static constexpr size_t kLongest = 11;  // a 64-bit gap in ten bytes, then the byte

  void Room(size_t used) {
    std::vector<uint8_t>& s = patch_->stream;
    s.resize(std::max(s.capacity(), used + 4096));
    out_ = s.data() + used;
    end_ = s.data() + s.size();
  }

  IndexPatch* patch_;
  size_t next_;
  uint8_t* out_ = nullptr;
  uint8_t* end_ = nullptr;
};

// The rows through table, keeping first in patch the bytes marked holds:
// from x on, eight at a time and then one by one.
void RemapAndKeepRest(uint8_t* block, uint8_t* p, uint64_t x, uint64_t rowBytes, const uint8_t table[256],
                      const bool marked[256], PatchWriter* patch) {
  const auto keep = [&](uint64_t from, uint64_t to) {
    for (uint64_t k = from; k < to; ++k) {
      if (marked[p[k]]) patch->Keep(static_cast<size_t>(p + k - block), p[k]);
    }
  };
  // Eight bytes looked up at once: most hold no marked index.
  for (; x + 8 <= rowBytes; x += 8) {
    if (marked[p[x]] | marked[p[x + 1]] | marked[p[x + 2]] | marked[p[x + 3]] | marked[p[x + 4]] |
        marked[p[x + 5]] | marked[p[x + 6]] | marked[p[x + 7]]) {
      keep(x, x + 8);
    }
    RemapEight(p + x, table);
  }
  keep(x, rowBytes);
  for (; x < rowBytes; ++x) p[x] = table[p[x]];
}

#if defined(__SSE2__)
// The same sixteen bytes at a time where a merge moves few indices: they are
// sought by comparison (SSE2, which every x86-64 has) instead of a look-up
// per byte, kCompares values (bytes, or with kNibbles both nibbles of each
// byte) against each piece, a count fixed for the loop so that it unrolls.
template <int kCompares, bool kNibbles>
inline unsigned Hits(const uint8_t* piece, const __m128i* value, __m128i low) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(piece));
  __m128i hit = _mm_setzero_si128();
  for (int i = 0; i < kCompares; ++i) {
    if (kNibbles) {
      hit = _mm_or_si128(hit, _mm_cmpeq_epi8(_mm_and_si128(bytes, low), value[i]));
      hit = _mm_or_si128(hit, _mm_cmpeq_epi8(_mm_and_si128(_mm_srli_epi16(bytes, 4), low), value[i]));
    } else {
      hit = _mm_or_si128(hit, _mm_cmpeq_epi8(bytes, value[i]));
    }
  }
  return static_cast<unsigned>(_mm_movemask_epi8(hit));
}

// Where a merge only closes the gaps its marked indices leave (every other
// index moves down by the number of marked ones below it, each marked one
// goes to the place of its twin), sixteen 8-bit indices are remapped by
// arithmetic instead of sixteen look-ups. below[i] holds the i-th marked
// value with the sign bit flipped (for a signed comparison), 0x7F where the
// values were padded; to[i] the place the i-th (padded) value goes to.
// Indices past last, the table's last index (flipped as below), keep their
// value: a short table's map leaves them as they are.
struct ClosingGaps {
  __m128i below[8];
  __m128i to[8];
  __m128i last;
};

template <int kCompares>
inline void CloseGaps(uint8_t* piece, const __m128i* value, const ClosingGaps& gaps) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(piece));
  const __m128i flipped = _mm_xor_si128(bytes, _mm_set1_epi8(static_cast<char>(0x80)));
  __m128i down = _mm_setzero_si128();
  for (int i = 0; i < kCompares; ++i) down = _mm_add_epi8(down, _mm_cmpgt_epi8(flipped, gaps.below[i]));
  __m128i out = _mm_add_epi8(bytes, _mm_andnot_si128(_mm_cmpgt_epi8(flipped, gaps.last), down));
  for (int i = 0; i < kCompares; ++i) {
    const __m128i at = _mm_cmpeq_epi8(bytes, value[i]);
    out = _mm_or_si128(_mm_and_si128(at, gaps.to[i]), _mm_andnot_si128(at, out));
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(piece), out);
}

// Whether table is such a closing of the gaps of the compares values (see
// FewMarkedValues); gaps filled in when it is.
bool ClosesGaps(const uint8_t table[256], const bool marked[256], const __m128i* value, int compares,
                ClosingGaps* gaps) {
  int limit = 256;  // from here on, indices past the table, each kept as it is
  while (limit > 0 && !marked[limit - 1] && table[limit - 1] == limit - 1) --limit;
  int below = 0;
  for (int v = 0; v < limit; ++v) {
    if (marked[v]) {
      ++below;
    } else if (table[v] != v - below) {
      return false;
    }
  }
  for (int i = 0; i < compares; ++i) {
    const uint8_t v = static_cast<uint8_t>(_mm_cvtsi128_si32(value[i]));
    const bool repeated = i > 0 && v == static_cast<uint8_t>(_mm_cvtsi128_si32(value[0]));
    gaps->below[i] = _mm_set1_epi8(static_cast<char>(repeated ? 0x7F : v ^ 0x80));
    gaps->to[i] = _mm_set1_epi8(static_cast<char>(table[v]));
  }
  gaps->last = _mm_set1_epi8(static_cast<char>((limit - 1) ^ 0x80));
  return true;
}

template <int kCompares, bool kNibbles>
void RemapAndKeepFew(uint8_t* block, const bmp::BlockLayout& layout, const uint8_t table[256],
                     const bool marked[256], const __m128i* value, PatchWriter* patch) {
  const __m128i low = _mm_set1_epi8(0x0F);
  ClosingGaps gaps;
  const bool closing = !kNibbles && ClosesGaps(table, marked, value, kCompares, &gaps);
  for (uint64_t y = 0; y < static_cast<uint64_t>(layout.height); ++y) {
    uint8_t* p = block + layout.pixelOffset + y * layout.rowStride;
    uint64_t x = 0;
    // A kilobyte at a time: its pieces' hits found first with no branch,
    // then visited by a mask of the pieces that have any, then remapped
    // while it is still in the cache. A branch on each piece would be
    // missed about once for every kept pixel where they lie at random.
    for (; x + 1024 <= layout.rowBytes; x += 1024) {
      unsigned hits[64];
      uint64_t pieces = 0;
      for (int b = 0; b < 64; ++b) {
        hits[b] = Hits<kCompares, kNibbles>(p + x + 16 * b, value, low);
        pieces |= static_cast<uint64_t>(hits[b] != 0) << b;
      }
      for (; pieces != 0; pieces &= pieces - 1) {
        const int b = __builtin_ctzll(pieces);
        for (unsigned h = hits[b]; h != 0; h &= h - 1) {
          const uint64_t k = x + 16 * static_cast<uint64_t>(b) + static_cast<unsigned>(__builtin_ctz(h));
          patch->Keep(static_cast<size_t>(p + k - block), p[k]);
        }
      }
      if (closing) {
        for (uint64_t i = 0; i < 1024; i += 16) CloseGaps<kCompares>(p + x + i, value, gaps);
      } else {
        for (uint64_t i = 0; i < 1024; i += 8) RemapEight(p + x + i, table);
      }
    }
    for (; x + 16 <= layout.rowBytes; x += 16) {
      for (unsigned h = Hits<kCompares, kNibbles>(p + x, value, low); h != 0; h &= h - 1) {
        const uint64_t k = x + static_cast<unsigned>(__builtin_ctz(h));
        patch->Keep(static_cast<size_t>(p + k - block), p[k]);
      }
      if (closing) {
        CloseGaps<kCompares>(p + x, value, gaps);
      } else {
        RemapEight(p + x, table);
        RemapEight(p + x + 8, table);
      }
    }
    RemapAndKeepRest(block, p, x, layout.rowBytes, table, marked, patch);
  }
}

// The indices marked holds when they are few: up to eight byte values at 8
// bits, or up to eight nibble values at 4 bits when a byte is marked exactly
// when one of its nibbles is. Padded to 1, 2, 4 or 8 by repeating the first.
// False when there are more, or none.
bool FewMarkedValues(const bool marked[256], uint16_t bitCount, __m128i value[8], int* compares) {
  int values[256], count = 0;
  if (bitCount == 8) {
    for (int b = 0; b < 256; ++b) {
      if (marked[b]) values[count++] = b;
    }
  } else {
    bool nibble[16];
    for (int n = 0; n < 16; ++n) {
      nibble[n] = marked[n * 0x11];
      if (nibble[n]) values[count++] = n;
    }
    for (int b = 0; b < 256; ++b) {
      if (marked[b] != (nibble[b >> 4] || nibble[b & 15])) return false;
    }
  }
  if (count < 1 || count > 8) return false;
  *compares = count <= 1 ? 1 : count <= 2 ? 2 : count <= 4 ? 4 : 8;
  for (int i = 0; i < *compares; ++i) value[i] = _mm_set1_epi8(static_cast<char>(values[i < count ? i : 0]));
  return true;
}
#endif

void RemapAndKeepRows(uint8_t* block, const bmp::BlockLayout& layout, const uint8_t table[256],
                      const bool marked[256], PatchWriter* patch) {
#if defined(__SSE2__)
  __m128i value[8];
  int compares = 0;
  if (FewMarkedValues(marked, layout.bitCount, value, &compares)) {
    using Rows = void (*)(uint8_t*, const bmp::BlockLayout&, const uint8_t*, const bool*, const __m128i*,
                          PatchWriter*);
    static constexpr Rows kRows[2][4] = {
        {RemapAndKeepFew<1, false>, RemapAndKeepFew<2, false>, RemapAndKeepFew<4, false>, RemapAndKeepFew<8, false>},
        {RemapAndKeepFew<1, true>, RemapAndKeepFew<2, true>, RemapAndKeepFew<4, true>, RemapAndKeepFew<8, true>}};
    const int which = compares == 1 ? 0 : compares == 2 ? 1 : compares == 4 ? 2 : 3;
    kRows[layout.bitCount == 4][which](block, layout, table, marked, value, patch);
    return;
  }
#endif
  for (uint64_t y = 0; y < static_cast<uint64_t>(layout.height); ++y) {
    RemapAndKeepRest(block, block + layout.pixelOffset + y * layout.rowStride, 0, layout.rowBytes, table, marked,
                     patch);
  }
}

}  // namespace

bool ApplyMapToPicture(uint8_t* block, size_t blockSize, const bmp::BlockLayout& layout,
                       const PaletteEntry* paletteTable, const uint8_t byteMap[256], const bool* marked,
                       IndexPatch* patch) {
  // Checked whole before the table changes, so a damaged stream changes nothing.
  if (!PixelsFit(block, blockSize, layout)) return false;
  if (patch != nullptr) {  // emptied, its room kept: a caller may have reserved it
    patch->stream.clear();
    patch->next = 0;
  }
  for (int i = 0; i < layout.colourCount; ++i) {
    bmp::PutTableEntry(block, layout, static_cast<uint32_t>(i),
                       static_cast<uint8_t>(paletteTable[i].blue & 0xFF),
                       static_cast<uint8_t>(paletteTable[i].green & 0xFF),
                       static_cast<uint8_t>(paletteTable[i].red & 0xFF));
  }
  const bool keeping = marked != nullptr && patch != nullptr;
  if (layout.compression != bmp::kBiRgb) {
    uint8_t* stream = block + layout.pixelOffset;
    const size_t size = static_cast<size_t>(layout.pixelBytes);
    if (!keeping) return RemapRle(stream, size, layout.bitCount, byteMap);
    PatchWriter writer(patch);
    return WalkRle(stream, size, layout.bitCount, [&](uint8_t* b) {
      if (marked[*b]) writer.Keep(static_cast<size_t>(b - block), *b);
      *b = byteMap[*b];
    });
  }
  if (keeping) {
    PatchWriter writer(patch);
    RemapAndKeepRows(block, layout, byteMap, marked, &writer);
  } else {
    RemapRows(block + layout.pixelOffset, static_cast<uint64_t>(layout.height), layout.rowBytes,
              layout.rowStride, byteMap);
  }
  return true;
}

void IndexPatch::Keep(size_t offset, uint8_t byte) {
  size_t gap = offset - next;
  while (gap >= 0x80) {
    stream.push_back(static_cast<uint8_t>(0x80 | (gap & 0x7F)));
    gap >>= 7;
  }
  stream.push_back(static_cast<uint8_t>(gap));
  stream.push_back(byte);
  next = offset + 1;
}

namespace {

// Each kept byte's offset and value to visit, in order; false, after
// visiting those before it, at an entry cut short or past blockSize.
template <typename Visit>
bool WalkPatch(const IndexPatch& patch, size_t blockSize, Visit visit) {
  const std::vector<uint8_t>& s = patch.stream;
  size_t at = 0, offset = 0;
  while (at < s.size()) {
    uint64_t gap = 0;
    for (int shift = 0;; shift += 7) {
      if (at >= s.size() || shift > 56) return false;
      const uint8_t b = s[at++];
      gap |= uint64_t{b & 0x7Fu} << shift;
      if ((b & 0x80) == 0) break;
    }
    if (at >= s.size() || gap >= blockSize || offset > blockSize - 1 - gap) return false;
    offset += static_cast<size_t>(gap);
    visit(offset, s[at++]);
    ++offset;
  }
  return true;
}

}  // namespace

bool IndexPatch::Fits(size_t blockSize) const {
  return WalkPatch(*this, blockSize, [](size_t, uint8_t) {});
}

bool RestoreIndexBytes(uint8_t* block, size_t blockSize, const IndexPatch& patch) {
  if (block == nullptr || !patch.Fits(blockSize)) return false;
  return WalkPatch(patch, blockSize, [block](size_t offset, uint8_t byte) { block[offset] = byte; });
}

}  // namespace shuffle
