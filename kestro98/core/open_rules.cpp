#include "kestro98/core/open_rules.h"

#include <cstdio>
#include <cstring>

#include "common/base/core/path_text.h"
#include "common/bitmap/core/bmp_rules.h"
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
  return path != nullptr && std::strlen(path) > 4 && path_text::EndsWithIgnoringCase(path, ".BMP");
}

InfoVerdict ImageInformation(const uint8_t* bytes, size_t size, int64_t fileSize, std::string* text) {
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
