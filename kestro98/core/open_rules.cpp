#include "kestro98/core/open_rules.h"

#include <cstdio>
#include <cstring>

#include "common/base/core/path_text.h"
#include "common/bitmap/core/bmp_rules.h"
#include "common/bitmap/core/png_chunks.h"
#include "kestro98/core/messages.h"

namespace kestro {

namespace {


using bmp::GetU32;
using bmp::InFile;
using bmp::kBiSize;

}  // namespace


const Message& OpenMessage(OpenVerdict verdict) {
  return kOpenMessages[static_cast<int>(verdict)];
}

bool HasBmpExtension(const char* path) { return path_text::EndsWithIgnoringCase(path, ".BMP"); }

bool HasPictureExtension(const char* path) {
  return HasBmpExtension(path) || path_text::EndsWithIgnoringCase(path, ".PNG");
}

OpenVerdict CheckHeader(const uint8_t* bytes, size_t size, int32_t* colourCount,
                        TableSpot* table) {
  if (bytes == nullptr || size < 18) return OpenVerdict::kBadFormat;
  if (bytes[0] != 'B' || bytes[1] != 'M' || !bmp::IsKnownInfoSize(GetU32(bytes + InFile(kBiSize)))) {
    return OpenVerdict::kBadFormat;
  }
  bmp::InfoHeader info;
  if (!bmp::ReadInfoHeader(bytes + bmp::kFileHeaderSize, size - bmp::kFileHeaderSize, &info)) {
    return OpenVerdict::kBadFormat;
  }
  if (info.width == 0 || info.rawHeight == 0) return OpenVerdict::kZeroSize;
  if (info.bitCount > 8) return OpenVerdict::kNoColourTable;
  // 2^bits of a depth 0..8; colours-used, when not 0, takes over, up to 2^bits.
  const int32_t count = bmp::TableEntryCount(info, GetU32(bytes + bmp::kBfOffBits));
  if (count < 1 || count > (1 << info.bitCount)) return OpenVerdict::kWrongColourCount;
  const uint64_t tableStart = uint64_t{bmp::kFileHeaderSize} + info.size;
  if (size < tableStart + uint64_t{info.entrySize} * static_cast<uint64_t>(count)) {
    return OpenVerdict::kBadFormat;
  }
  if (colourCount != nullptr) *colourCount = count;
  if (table != nullptr) *table = {static_cast<uint32_t>(tableStart), info.entrySize};
  return OpenVerdict::kOk;
}

bool InfoPathAccepted(const char* path) {
  return path != nullptr && std::strlen(path) > 4 && HasPictureExtension(path);
}

namespace {

uint32_t BigEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// The line of a PNG, from its IHDR: the signature, then a 13-byte chunk of
// that type (its CRC is not needed for a description).
InfoVerdict PngInformation(const uint8_t* bytes, size_t size, int64_t fileSize, std::string* text) {
  constexpr size_t kIhdrEnd = png::kSignatureSize + 8 + 13;
  if (size < kIhdrEnd || std::memcmp(bytes, png::kSignature, png::kSignatureSize) != 0 ||
      BigEndian32(bytes + 8) != 13 || BigEndian32(bytes + 12) != png::kIHDR) {
    return InfoVerdict::kNotBitmap;
  }
  const uint32_t width = BigEndian32(bytes + 16), height = BigEndian32(bytes + 20);
  const uint8_t depth = bytes[24], colourType = bytes[25];
  std::string colours;
  if ((colourType == 0 || colourType == 3) && depth >= 1 && depth <= 8) {
    colours = std::to_string(1u << depth);
  } else if (colourType == 2 || colourType == 6) {
    colours = "16M";
  }
  char line[128];
  std::snprintf(line, sizeof line, "%lu(W) x %lu(H) x %s(Colors) PNG (%lld Bytes)",
                static_cast<unsigned long>(width), static_cast<unsigned long>(height), colours.c_str(),
                static_cast<long long>(fileSize));
  *text = line;
  return InfoVerdict::kDescribed;
}

}  // namespace

InfoVerdict ImageInformation(const uint8_t* bytes, size_t size, int64_t fileSize, std::string* text) {
  if (bytes != nullptr && size >= png::kSignatureSize && bytes[0] == png::kSignature[0]) {
    return PngInformation(bytes, size, fileSize, text);
  }
  if (bytes == nullptr || size < 31 || bytes[0] != 'B' || bytes[1] != 'M') return InfoVerdict::kNotBitmap;
  bmp::InfoHeader info;
  if (!bmp::ReadInfoHeader(bytes + bmp::kFileHeaderSize, size - bmp::kFileHeaderSize, &info)) {
    return InfoVerdict::kNotBitmap;
  }
  const char* colours = "";
  switch (info.bitCount) {
    case 1: colours = "2"; break;
    case 4: colours = "16"; break;
    case 8: colours = "256"; break;
    case 24: colours = "16M"; break;
  }
  char line[128];
  std::snprintf(line, sizeof line, "%ld(W) x %ld(H) x %s(Colors) %s (%lld Bytes)",
                static_cast<long>(info.width), static_cast<long>(info.rawHeight), colours,
                info.compression == 0 ? "RGB" : "RLE", static_cast<long long>(fileSize));
  *text = line;
  return InfoVerdict::kDescribed;
}

}  // namespace kestro
