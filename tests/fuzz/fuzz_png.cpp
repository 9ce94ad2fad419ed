// libFuzzer target: a whole PNG file goes through the chunk reader; when it
// is accepted, the editor's palette patch (in a copy and in place) and the
// shuffler's assembly (the input standing in for the encoded file, the
// palette reversed) must give files the reader accepts again, changed only
// where they should be. The input's bytes are also checked as decoded rows.
// The file is an exact-size heap copy so AddressSanitizer sees any access
// outside it. Each input is read once as it is and once with the CRC of
// every whole chunk made right, so mutations get past the CRC check.
// Invariants are checked here; a violation traps.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "common/bitmap/core/png_chunks.h"

namespace {

#define REQUIRE(cond) \
  do {                \
    if (!(cond)) __builtin_trap(); \
  } while (0)

void CheckLayout(const png::PngLayout& l, size_t size) {
  REQUIRE(l.colourType == 3 && l.paletteCount >= 1 && l.paletteCount <= (1u << l.bitDepth));
  REQUIRE(l.alpha.size() <= l.paletteCount);
  REQUIRE(l.chunks.size() >= 4 && l.chunks.front().type == png::kIHDR &&
          l.chunks.back().type == png::kIEND);
  size_t at = png::kSignatureSize;
  uint64_t idat = 0;
  for (const png::Chunk& c : l.chunks) {
    REQUIRE(c.offset == at);
    at += 12 + size_t{c.length};
    if (c.type == png::kIDAT) idat += c.length;
  }
  REQUIRE(at == l.end && l.end <= size && idat == l.idatBytes);
  REQUIRE(png::MayHoldRows(l.idatBytes, png::RawDataBytes(l.width, l.height, l.bitDepth,
                                                          l.interlace)));
}

void CheckPatch(const uint8_t* file, size_t size, const png::PngLayout& l) {
  std::vector<uint8_t> rgba;
  REQUIRE(png::PaletteEntries(file, size, l, &rgba) && rgba.size() == 4 * size_t{l.paletteCount});
  std::vector<uint8_t> rgb;
  for (size_t i = 0; i < rgba.size(); ++i) {
    if (i % 4 != 3) rgb.push_back(static_cast<uint8_t>(rgba[i] ^ 0x5A));
  }
  const uint32_t n = l.paletteCount;
  std::vector<uint8_t> out;
  REQUIRE(!png::PatchPalette(file, size, l, rgb.data(), n - 1, &out) && out.empty());
  REQUIRE(png::PatchPalette(file, size, l, rgb.data(), n, &out) && out.size() == size);
  const size_t data = l.plteOffset + 8;
  for (size_t i = 0; i < size; ++i) {
    if (i < data || i >= data + 3 * size_t{n} + 4) REQUIRE(out[i] == file[i]);
  }
  REQUIRE(std::memcmp(&out[data], rgb.data(), rgb.size()) == 0);
  png::PngLayout again;
  REQUIRE(png::ReadPng(out.data(), out.size(), &again) == png::Verdict::kOk);
  REQUIRE(again.plteOffset == l.plteOffset && again.chunks.size() == l.chunks.size());

  std::unique_ptr<uint8_t[]> copy(new uint8_t[size]);
  std::memcpy(copy.get(), file, size);
  REQUIRE(png::PatchPaletteInPlace(copy.get(), size, l, rgb.data(), n));
  REQUIRE(std::memcmp(copy.get(), out.data(), size) == 0);
}

void CheckReorder(const uint8_t* file, size_t size, const png::PngLayout& l) {
  const uint32_t n = l.paletteCount;
  int32_t order[256];
  for (uint32_t i = 0; i < n; ++i) order[i] = static_cast<int32_t>(n - 1 - i);
  std::vector<uint8_t> out;
  REQUIRE(png::AssembleReordered(file, size, l, file, size, order, n, &out));
  png::PngLayout r;
  REQUIRE(png::ReadPng(out.data(), out.size(), &r) == png::Verdict::kOk);
  REQUIRE(r.paletteCount == n && r.idatBytes == l.idatBytes && r.chunks.size() <= l.chunks.size());
  std::vector<uint8_t> before, after;
  REQUIRE(png::PaletteEntries(file, size, l, &before) && png::PaletteEntries(out.data(), out.size(),
                                                                             r, &after));
  for (uint32_t i = 0; i < n; ++i) {
    REQUIRE(std::memcmp(&before[4 * i], &after[4 * (n - 1 - i)], 4) == 0);
  }
  REQUIRE(r.alpha.empty() || r.alpha.back() != 255);
  // The bytes after IEND come along.
  REQUIRE(out.size() - r.end == size - l.end &&
          std::memcmp(&out[r.end], file + l.end, size - l.end) == 0);
}

// The input's bytes as decoded rows, against a pixel-by-pixel reading.
void CheckIndices(const uint8_t* data, size_t size) {
  if (size < 4) return;
  const uint32_t depth = 1u << (data[0] & 3);
  const uint32_t width = data[1] % 40;
  const uint32_t count = data[2] % 257;
  const size_t stride = (width * depth + 7) / 8 + data[3] % 3;
  const uint8_t* rows = data + 4;
  const size_t bytes = size - 4;
  const uint32_t height = stride == 0 ? 0 : static_cast<uint32_t>(bytes / stride);
  bool within = true;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t bit = x * depth;
      const uint32_t byte = rows[y * stride + bit / 8];
      if (((byte >> (8 - depth - bit % 8)) & ((1u << depth) - 1)) >= count) within = false;
    }
  }
  REQUIRE(png::IndicesWithinPalette(rows, bytes, stride, width, height, depth, count) == within);
}

// Writes the right CRC into every whole chunk after the signature; false
// when nothing changed.
bool RepairCrcs(uint8_t* file, size_t size) {
  bool changed = false;
  size_t pos = png::kSignatureSize;
  while (size >= 12 && pos <= size - 12) {
    const uint32_t length = (uint32_t{file[pos]} << 24) | (uint32_t{file[pos + 1]} << 16) |
                            (uint32_t{file[pos + 2]} << 8) | file[pos + 3];
    if (length > size - pos - 12) break;
    const uint32_t crc = png::Crc32(file + pos + 4, size_t{length} + 4);
    uint8_t* at = file + pos + 8 + length;
    const uint8_t be[4] = {static_cast<uint8_t>(crc >> 24), static_cast<uint8_t>(crc >> 16),
                           static_cast<uint8_t>(crc >> 8), static_cast<uint8_t>(crc)};
    changed = changed || std::memcmp(at, be, 4) != 0;
    std::memcpy(at, be, 4);
    pos += 12 + size_t{length};
  }
  return changed;
}

void CheckFile(const uint8_t* file, size_t size) {
  png::PngLayout layout;
  if (png::ReadPng(file, size, &layout) != png::Verdict::kOk) return;
  CheckLayout(layout, size);
  CheckPatch(file, size, layout);
  CheckReorder(file, size, layout);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckIndices(data, size);
  std::unique_ptr<uint8_t[]> file(new uint8_t[size == 0 ? 1 : size]);
  if (size != 0) std::memcpy(file.get(), data, size);
  CheckFile(file.get(), size);
  if (RepairCrcs(file.get(), size)) CheckFile(file.get(), size);
  return 0;
}
