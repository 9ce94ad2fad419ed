// The chunk layer of indexed PNG files: reading the chunk list with its
// checks, the compressed-size bound, the index check of decoded rows, and
// the two saves that rebuild a file from its chunks. Plain memory only.
#include "common/bitmap/core/png_chunks.h"

#include <algorithm>
#include <cstring>

namespace png {

const uint8_t kSignature[kSignatureSize] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

namespace {

constexpr size_t kIhdrSize = 13;
constexpr uint8_t kIndexed = 3;

// Eight tables, so the CRC takes 8 bytes a step (every IDAT byte is checked).
// entry[k][n] is the CRC of byte n followed by k zero bytes.
struct CrcTables {
  uint32_t entry[8][256];
  constexpr CrcTables() : entry() {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entry[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n) {
      for (int k = 1; k < 8; ++k) {
        entry[k][n] = entry[0][entry[k - 1][n] & 0xFF] ^ (entry[k - 1][n] >> 8);
      }
    }
  }
};
constexpr CrcTables kCrc;

uint32_t GetBe32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void PutBe32(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x >> 24));
  v.push_back(static_cast<uint8_t>((x >> 16) & 0xFF));
  v.push_back(static_cast<uint8_t>((x >> 8) & 0xFF));
  v.push_back(static_cast<uint8_t>(x & 0xFF));
}

void SetBe32(uint8_t* p, uint32_t x) {
  p[0] = static_cast<uint8_t>(x >> 24);
  p[1] = static_cast<uint8_t>((x >> 16) & 0xFF);
  p[2] = static_cast<uint8_t>((x >> 8) & 0xFF);
  p[3] = static_cast<uint8_t>(x & 0xFF);
}

// The CRC covers the type and the data.
uint32_t ChunkCrc(const uint8_t* typeAndData, uint32_t length) {
  return Crc32(typeAndData, size_t{length} + 4);
}

void PutChunk(std::vector<uint8_t>& out, uint32_t type, const std::vector<uint8_t>& data) {
  PutBe32(out, static_cast<uint32_t>(data.size()));
  const size_t typeAt = out.size();
  PutBe32(out, type);
  out.insert(out.end(), data.begin(), data.end());
  PutBe32(out, ChunkCrc(out.data() + typeAt, static_cast<uint32_t>(data.size())));
}

bool IsLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool TypeIsLetters(uint32_t type) {
  return IsLetter(type >> 24) && IsLetter((type >> 16) & 0xFF) && IsLetter((type >> 8) & 0xFF) &&
         IsLetter(type & 0xFF);
}

// Bit 5 of the first type byte (lowercase): ancillary.
bool IsCritical(uint32_t type) { return (type & 0x20000000u) == 0; }

bool DepthFitsColourType(uint8_t depth, uint8_t colourType) {
  switch (colourType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2: case 4: case 6: return depth == 8 || depth == 16;
    default: return false;
  }
}

Verdict ReadIhdr(const uint8_t* d, uint32_t length, PngLayout* out) {
  if (length != kIhdrSize) return Verdict::kBadIhdr;
  out->width = GetBe32(d);
  out->height = GetBe32(d + 4);
  out->bitDepth = d[8];
  out->colourType = d[9];
  out->interlace = d[12];
  if (out->width == 0 || out->width > kMaxLength || out->height == 0 ||
      out->height > kMaxLength || !DepthFitsColourType(d[8], d[9]) || d[10] != 0 || d[11] != 0 ||
      d[12] > 1) {
    return Verdict::kBadIhdr;
  }
  return d[9] == kIndexed ? Verdict::kOk : Verdict::kNotIndexed;
}

// The PLTE data the layout points at, or null when the file has no such
// chunk there.
const uint8_t* PlteData(const uint8_t* file, size_t size, const PngLayout& layout) {
  const uint32_t count = layout.paletteCount;
  if (count == 0 || count > 256 || layout.plteOffset > size ||
      size - layout.plteOffset < 12 + 3 * size_t{count}) {
    return nullptr;
  }
  const uint8_t* chunk = file + layout.plteOffset;
  if (GetBe32(chunk) != 3 * count || GetBe32(chunk + 4) != kPLTE) return nullptr;
  return chunk + 8;
}

// Every chunk of the layout lies in the file as listed.
bool ChunksFit(const uint8_t* file, size_t size, const PngLayout& layout) {
  if (PlteData(file, size, layout) == nullptr || layout.alpha.size() > layout.paletteCount ||
      layout.chunks.empty() || layout.chunks.back().type != kIEND ||
      layout.end != layout.chunks.back().offset + 12 || layout.end > size) {
    return false;
  }
  for (const Chunk& c : layout.chunks) {
    if (c.offset > size || size - c.offset < 12 + size_t{c.length} ||
        GetBe32(file + c.offset) != c.length || GetBe32(file + c.offset + 4) != c.type) {
      return false;
    }
  }
  return true;
}

bool IsPermutation(const int32_t* order, uint32_t n) {
  bool seen[256] = {};
  for (uint32_t i = 0; i < n; ++i) {
    if (order[i] < 0 || static_cast<uint32_t>(order[i]) >= n || seen[order[i]]) return false;
    seen[order[i]] = true;
  }
  return true;
}

}  // namespace

uint32_t Crc32Update(uint32_t crc, const uint8_t* data, size_t size) {
  const auto& t = kCrc.entry;
  uint32_t c = ~crc;
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    const uint32_t lo = c ^ (uint32_t{data[i]} | uint32_t{data[i + 1]} << 8 |
                             uint32_t{data[i + 2]} << 16 | uint32_t{data[i + 3]} << 24);
    c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
        t[3][data[i + 4]] ^ t[2][data[i + 5]] ^ t[1][data[i + 6]] ^ t[0][data[i + 7]];
  }
  for (; i < size; ++i) c = t[0][(c ^ data[i]) & 0xFF] ^ (c >> 8);
  return ~c;
}

const char* VerdictName(Verdict v) {
  switch (v) {
    case Verdict::kOk: return "kOk";
    case Verdict::kBadSignature: return "kBadSignature";
    case Verdict::kBadChunkLength: return "kBadChunkLength";
    case Verdict::kChunkPastEnd: return "kChunkPastEnd";
    case Verdict::kBadCrc: return "kBadCrc";
    case Verdict::kBadChunkType: return "kBadChunkType";
    case Verdict::kUnknownCritical: return "kUnknownCritical";
    case Verdict::kBadIhdr: return "kBadIhdr";
    case Verdict::kNotIndexed: return "kNotIndexed";
    case Verdict::kChunkMisplaced: return "kChunkMisplaced";
    case Verdict::kPlteMissing: return "kPlteMissing";
    case Verdict::kPlteBadLength: return "kPlteBadLength";
    case Verdict::kPlteTooLong: return "kPlteTooLong";
    case Verdict::kTrnsTooLong: return "kTrnsTooLong";
    case Verdict::kIdatMissing: return "kIdatMissing";
    case Verdict::kIdatEmpty: return "kIdatEmpty";
    case Verdict::kIdatNotConsecutive: return "kIdatNotConsecutive";
    case Verdict::kIendMissing: return "kIendMissing";
    case Verdict::kBadIend: return "kBadIend";
    case Verdict::kTooLittleData: return "kTooLittleData";
  }
  return "?";
}

Verdict ReadPng(const uint8_t* file, size_t size, PngLayout* out) {
  *out = PngLayout();
  if (size < kSignatureSize || std::memcmp(file, kSignature, kSignatureSize) != 0) {
    return Verdict::kBadSignature;
  }
  bool seenPlte = false, seenTrns = false, inIdat = false, seenIdat = false;
  size_t pos = kSignatureSize;
  for (;;) {
    const size_t left = size - pos;
    if (left == 0) return Verdict::kIendMissing;
    if (left < 12) return Verdict::kChunkPastEnd;
    const uint32_t length = GetBe32(file + pos);
    if (length > kMaxLength) return Verdict::kBadChunkLength;
    if (length > left - 12) return Verdict::kChunkPastEnd;
    const uint32_t type = GetBe32(file + pos + 4);
    const uint8_t* data = file + pos + 8;
    if (ChunkCrc(file + pos + 4, length) != GetBe32(data + length)) return Verdict::kBadCrc;
    if (!TypeIsLetters(type)) return Verdict::kBadChunkType;
    const bool first = out->chunks.empty();
    if (first != (type == kIHDR)) return first ? Verdict::kBadIhdr : Verdict::kChunkMisplaced;
    out->chunks.push_back({type, pos, length});
    pos += size_t{length} + 12;

    if (type == kIDAT) {
      if (!seenPlte) return Verdict::kPlteMissing;
      if (seenIdat && !inIdat) return Verdict::kIdatNotConsecutive;
      seenIdat = inIdat = true;
      out->idatBytes += length;
      continue;
    }
    inIdat = false;
    switch (type) {
      case kIHDR: {
        const Verdict v = ReadIhdr(data, length, out);
        if (v != Verdict::kOk) return v;
        break;
      }
      case kPLTE:
        if (seenPlte || seenIdat) return Verdict::kChunkMisplaced;
        if (length == 0 || length % 3 != 0) return Verdict::kPlteBadLength;
        if (length / 3 > (1u << out->bitDepth)) return Verdict::kPlteTooLong;
        seenPlte = true;
        out->paletteCount = length / 3;
        out->plteOffset = out->chunks.back().offset;
        break;
      case kTRNS:
        if (seenTrns || !seenPlte || seenIdat) return Verdict::kChunkMisplaced;
        if (length > out->paletteCount) return Verdict::kTrnsTooLong;
        seenTrns = true;
        out->alpha.assign(data, data + length);
        break;
      case kIEND:
        if (length != 0) return Verdict::kBadIend;
        if (!seenPlte) return Verdict::kPlteMissing;
        if (!seenIdat) return Verdict::kIdatMissing;
        if (out->idatBytes == 0) return Verdict::kIdatEmpty;
        if (!MayHoldRows(out->idatBytes,
                         RawDataBytes(out->width, out->height, out->bitDepth, out->interlace))) {
          return Verdict::kTooLittleData;
        }
        out->end = pos;
        return Verdict::kOk;
      default:
        if (IsCritical(type)) return Verdict::kUnknownCritical;
        break;
    }
  }
}

uint64_t RawDataBytes(uint32_t width, uint32_t height, uint32_t depth, uint32_t interlace) {
  struct Pass { uint32_t x0, y0, dx, dy; };
  static const Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                 {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  static const Pass kWhole[1] = {{0, 0, 1, 1}};
  const Pass* passes = interlace ? kAdam7 : kWhole;
  const int passCount = interlace ? 7 : 1;
  uint64_t total = 0;
  for (int p = 0; p < passCount; ++p) {
    const Pass& s = passes[p];
    if (width <= s.x0 || height <= s.y0) continue;
    const uint64_t w = (uint64_t{width} - s.x0 + s.dx - 1) / s.dx;
    const uint64_t h = (uint64_t{height} - s.y0 + s.dy - 1) / s.dy;
    total += h * (1 + (w * depth + 7) / 8);
  }
  return total;
}

bool MayHoldRows(uint64_t compressedBytes, uint64_t rawBytes) {
  // Beyond this no file in memory can be; it keeps the product from wrapping.
  if (compressedBytes > (UINT64_MAX - kInflateSlack) / kMaxInflateRatio) return true;
  return compressedBytes * kMaxInflateRatio + kInflateSlack >= rawBytes;
}

bool IndicesWithinPalette(const uint8_t* rows, size_t size, size_t stride, uint32_t width,
                          uint32_t height, uint32_t depth, uint32_t paletteCount) {
  if (depth != 1 && depth != 2 && depth != 4 && depth != 8) return false;
  const uint64_t rowBytes = (uint64_t{width} * depth + 7) / 8;
  if (stride < rowBytes) return false;
  if (height > 0 && (rowBytes > size ||
                     (stride != 0 && uint64_t{height} - 1 > (size - rowBytes) / stride))) {
    return false;
  }
  if (paletteCount >= (1u << depth) || width == 0) return true;

  if (depth == 8) {
    const uint8_t limit = static_cast<uint8_t>(paletteCount);
    for (uint32_t y = 0; y < height; ++y) {
      const uint8_t* row = rows + y * stride;
      uint32_t x = 0;
      // Blocks of 16 bytes copied out first: g++ -O2 makes vector code of that.
      for (; x + 16 <= width; x += 16) {
        uint8_t block[16];
        std::memcpy(block, row + x, 16);
        uint8_t over = 0;
        for (uint32_t k = 0; k < 16; ++k) over |= block[k] >= limit ? 0xFF : 0;
        if (over != 0) return false;
      }
      for (; x < width; ++x) {
        if (row[x] >= limit) return false;
      }
    }
    return true;
  }
  // A byte table: true when any of the byte's pixels is past the palette.
  const uint32_t perByte = 8 / depth;
  const uint32_t mask = (1u << depth) - 1;
  bool bad[256];
  for (uint32_t b = 0; b < 256; ++b) {
    bad[b] = false;
    for (uint32_t k = 0; k < perByte; ++k) {
      bad[b] = bad[b] || ((b >> (depth * k)) & mask) >= paletteCount;
    }
  }
  const uint32_t wholeBytes = width / perByte;
  const uint32_t tail = width % perByte;
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = rows + y * stride;
    for (uint32_t i = 0; i < wholeBytes; ++i) {
      if (bad[row[i]]) return false;
    }
    for (uint32_t k = 0; k < tail; ++k) {
      if (((row[wholeBytes] >> (8 - depth * (k + 1))) & mask) >= paletteCount) return false;
    }
  }
  return true;
}

bool PaletteEntries(const uint8_t* file, size_t size, const PngLayout& layout,
                    std::vector<uint8_t>* rgba) {
  rgba->clear();
  const uint8_t* plte = PlteData(file, size, layout);
  if (plte == nullptr || layout.alpha.size() > layout.paletteCount) return false;
  for (uint32_t i = 0; i < layout.paletteCount; ++i) {
    rgba->insert(rgba->end(), plte + 3 * i, plte + 3 * i + 3);
    rgba->push_back(i < layout.alpha.size() ? layout.alpha[i] : 255);
  }
  return true;
}

bool PatchPaletteInPlace(uint8_t* file, size_t size, const PngLayout& layout, const uint8_t* rgb,
                         uint32_t count) {
  if (count != layout.paletteCount || PlteData(file, size, layout) == nullptr) return false;
  uint8_t* chunk = file + layout.plteOffset;
  std::memcpy(chunk + 8, rgb, 3 * size_t{count});
  SetBe32(chunk + 8 + 3 * count, ChunkCrc(chunk + 4, 3 * count));
  return true;
}

bool PatchPalette(const uint8_t* file, size_t size, const PngLayout& layout, const uint8_t* rgb,
                  uint32_t count, std::vector<uint8_t>* out) {
  out->clear();
  if (count != layout.paletteCount || PlteData(file, size, layout) == nullptr) return false;
  out->assign(file, file + size);
  return PatchPaletteInPlace(out->data(), out->size(), layout, rgb, count);
}

bool SafeToCopy(uint32_t type) { return (type & 0x20u) != 0; }

bool KeepAfterReorder(uint32_t type) {
  static const uint32_t kKnown[] = {
      ChunkType("gAMA"), ChunkType("cHRM"), ChunkType("sRGB"), ChunkType("iCCP"),
      ChunkType("sBIT"), ChunkType("sPLT"), ChunkType("pHYs"), ChunkType("tIME"),
      ChunkType("cICP"), ChunkType("mDCV"), ChunkType("cLLI"), ChunkType("eXIf"),
      ChunkType("tEXt"), ChunkType("zTXt"), ChunkType("iTXt"), ChunkType("oFFs"),
      ChunkType("pCAL"), ChunkType("sCAL"), ChunkType("sTER")};
  if (IsCritical(type)) return false;
  return SafeToCopy(type) ||
         std::find(std::begin(kKnown), std::end(kKnown), type) != std::end(kKnown);
}

bool AssembleReordered(const uint8_t* source, size_t sourceSize, const PngLayout& sourceLayout,
                       const uint8_t* encoded, size_t encodedSize, const int32_t* orderMap,
                       uint32_t keptCount, std::vector<uint8_t>* out) {
  out->clear();
  const PngLayout& s = sourceLayout;
  const uint32_t n = s.paletteCount;
  const uint32_t k = keptCount;
  if (!ChunksFit(source, sourceSize, s) || !IsPermutation(orderMap, n) || k < 1 || k > n) return false;
  PngLayout e;
  if (ReadPng(encoded, encodedSize, &e) != Verdict::kOk || e.width != s.width ||
      e.height != s.height || e.bitDepth != s.bitDepth || e.colourType != s.colourType ||
      e.interlace != s.interlace || e.paletteCount != k) {
    return false;
  }

  const uint8_t* plte = PlteData(source, sourceSize, s);
  auto alphaOf = [&s](uint32_t i) { return i < s.alpha.size() ? s.alpha[i] : uint8_t{255}; };
  std::vector<uint8_t> newPlte(3 * size_t{n});
  std::vector<uint8_t> newAlpha(n, 255);
  for (uint32_t i = 0; i < n; ++i) {
    std::memcpy(&newPlte[3 * size_t(orderMap[i])], plte + 3 * i, 3);
    newAlpha[orderMap[i]] = alphaOf(i);
  }
  // Where a source entry's colour stands in the kept table: its own place,
  // or for a removed entry the first kept one of the same colour; n: none.
  auto keptPlace = [&](uint32_t i) -> uint32_t {
    const uint32_t at = static_cast<uint32_t>(orderMap[i]);
    if (at < k) return at;
    for (uint32_t j = 0; j < k; ++j) {
      if (std::memcmp(&newPlte[3 * size_t{j}], plte + 3 * i, 3) == 0 && newAlpha[j] == alphaOf(i)) return j;
    }
    return n;
  };
  newPlte.resize(3 * size_t{k});
  newAlpha.resize(k);
  while (!newAlpha.empty() && newAlpha.back() == 255) newAlpha.pop_back();

  std::vector<uint8_t> r;
  r.reserve(sourceSize + e.idatBytes + 12 * e.chunks.size());
  r.insert(r.end(), kSignature, kSignature + kSignatureSize);
  auto copy = [&r](const uint8_t* file, const Chunk& c) {
    r.insert(r.end(), file + c.offset, file + c.offset + 12 + c.length);
  };
  bool idatWritten = false;
  for (const Chunk& c : s.chunks) {
    const uint8_t* data = source + c.offset + 8;
    switch (c.type) {
      case kPLTE: PutChunk(r, kPLTE, newPlte); break;
      case kTRNS:
        if (!newAlpha.empty()) PutChunk(r, kTRNS, newAlpha);
        break;
      case kIDAT:
        if (!idatWritten) {
          for (const Chunk& ec : e.chunks) {
            if (ec.type == kIDAT) copy(encoded, ec);
          }
          idatWritten = true;
        }
        break;
      case kBKGD:
        if (c.length == 1 && data[0] < n && keptPlace(data[0]) < k) {
          PutChunk(r, kBKGD, {static_cast<uint8_t>(keptPlace(data[0]))});
        }
        break;
      case kHIST:
        if (c.length == 2 * n && k == n) {
          std::vector<uint8_t> counts(2 * size_t{n});
          for (uint32_t i = 0; i < n; ++i) {
            std::memcpy(&counts[2 * size_t(orderMap[i])], data + 2 * i, 2);
          }
          PutChunk(r, kHIST, counts);
        }
        break;
      case kIHDR: case kIEND: copy(source, c); break;
      default:
        if (KeepAfterReorder(c.type)) copy(source, c);
        break;
    }
  }
  r.insert(r.end(), source + s.end, source + sourceSize);
  out->swap(r);
  return true;
}

}  // namespace png
