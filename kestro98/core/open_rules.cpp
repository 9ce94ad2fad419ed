#include "kestro98/core/open_rules.h"

#include <cstdio>
#include <cstring>

#include "common/base/core/path_text.h"
#include "common/bitmap/core/bmp_rules.h"

namespace kestro {

namespace {

const Message kMessages[] = {
    {{"", ""}, {"", ""}, MessageIcon::kError},
    {{"Unable to open a file other than in the fixed disk.",
      "ハードディスク以外のファイルは開けません."},
     {"Warning", "警告"},
     MessageIcon::kWarning},
    {{"Select a file with BMP extension.",
      "拡張子 BMP のファイルを選択してください."},
     {"Error", "エラー"},
     MessageIcon::kWarning},
    {{"Unable to open the assigned bitmap file.",
      "指定されたビットマップファイルを開けません."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Not a bitmap file with correct format.",
      "正しいビットマップファイルではありません."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Unable to process a bitmap with zero width or height.",
      "幅や高さが０のビットマップは処理できません."},
     {"Warning", "警告"},
     MessageIcon::kWarning},
    {{"No color table in a bitmap with more than 256 colors.",
      "２５６色越のビットマップにはカラーテーブルはありません."},
     {"Warning", "警告"},
     MessageIcon::kWarning},
    {{"The assigned file has not the 2/16/256 color array!",
      "このビットマップは２色/１６色/２５６色ではありません！"},
     {"Error", "エラー"},
     MessageIcon::kError},
};

using path_text::IsShiftJisLead;
using bmp::GetU32;
using bmp::InFile;
using bmp::kBiSize;

}  // namespace

const Message kOpenDialogFailed = {

    {"GetOpenFileName error 0x%lx",

     "GetOpenFileName エラー 0x%lx"},

    {"Error", "エラー"},

    MessageIcon::kError};

const Message& OpenMessage(OpenVerdict verdict) {
  return kMessages[static_cast<int>(verdict)];
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

int ImageInformation(const uint8_t* bytes, size_t size, int64_t fileSize, std::string* text) {
  if (bytes == nullptr || size < 31 || bytes[0] != 'B' || bytes[1] != 'M') return 1;
  bmp::InfoHeader info;
  if (!bmp::ReadInfoHeader(bytes + bmp::kFileHeaderSize, size - bmp::kFileHeaderSize, &info)) {
    return 1;
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
  return 2;
}

std::string FileNameOfPath(const std::string& path, bool shiftJis) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (shiftJis && IsShiftJisLead(c) && i + 1 < path.size()) {
      ++i;
    } else if (c == '\\') {
      start = i + 1;
    }
  }
  return path.substr(start);
}

}  // namespace kestro
