#include "kestro98/core/save_rules.h"

#include <cstring>

#include "common/base/core/path_text.h"
#include "common/bitmap/core/png_chunks.h"
#include "kestro98/core/messages.h"

namespace kestro {

namespace {

using path_text::AsciiUpper;
using path_text::IsShiftJisLead;


}  // namespace

SaveFormat SaveFormatOfPath(const char* path) {
  if (path == nullptr) return SaveFormat::kRefused;
  if (path_text::EndsWithIgnoringCase(path, ".BMP")) return SaveFormat::kBmp;
  if (path_text::EndsWithIgnoringCase(path, ".TIF")) return SaveFormat::kTiff;
  if (path_text::EndsWithIgnoringCase(path, ".PNG")) return SaveFormat::kPng;
  return SaveFormat::kRefused;
}

SaveAction DecideSave(const SaveInputs& in) {
  if (in.dialog == DialogResult::kFailed) return SaveAction::kShowDialogError;
  if (in.dialog == DialogResult::kCancelled) return SaveAction::kStop;
  if (!in.fixedDisk) return SaveAction::kNotFixedDisk;
  if (!in.enoughSpace) return SaveAction::kNotEnoughSpace;
  if (in.format == SaveFormat::kRefused) return SaveAction::kWrongExtension;
  if (in.destinationExists) {
    if (in.overwrite == Answer::kNotAsked) return SaveAction::kAskOverwrite;
    if (in.overwrite == Answer::kNo) return SaveAction::kStop;
  }
  switch (in.format) {
    case SaveFormat::kBmp: return SaveAction::kWriteBmp;
    case SaveFormat::kPng: return SaveAction::kWritePng;
    default: return SaveAction::kWriteTiff;
  }
}

int64_t BytesToWrite(SaveFormat format, SaveFormat sourceFormat, int64_t sourceFileSize, int64_t newFileSize) {
  return format == sourceFormat ? sourceFileSize : newFileSize;
}

uint64_t NewPngBound(uint32_t width, uint32_t height, uint32_t depth) {
  const uint64_t raw = png::RawDataBytes(width, height, depth, 0);
  // A stored block carries 5 bytes per 65535; IDAT chunks of 8 KiB or more, 12 bytes each.
  return raw + (raw / 65535 + 1) * 5 + (raw / 8192 + 1) * 12 + 4096;
}

bool SamePath(const char* a, const char* b, bool shiftJis) {
  if (a == nullptr || b == nullptr) return false;
  size_t i = 0;
  for (;;) {
    const unsigned char ca = static_cast<unsigned char>(a[i]);
    const unsigned char cb = static_cast<unsigned char>(b[i]);
    if (ca == 0 || cb == 0) return ca == cb;
    if (shiftJis && IsShiftJisLead(ca)) {
      if (ca != cb || a[i + 1] != b[i + 1]) return false;
      if (a[i + 1] == 0) return true;
      i += 2;
      continue;
    }
    if (AsciiUpper(static_cast<char>(ca)) != AsciiUpper(static_cast<char>(cb))) return false;
    ++i;
  }
}

const Message& SaveMessageText(SaveMessage message) {
  return kSaveMessages[static_cast<int>(message)];
}

bool MatchesOpenedFile(const OpenedFile& opened, const uint8_t* block, size_t blockSize,
                       int32_t colourCount, uint64_t offset, const uint8_t* bytes, size_t n) {
  if (colourCount < 0 || (n > 0 && bytes == nullptr)) return false;
  const uint64_t tableStart = opened.TableStart();
  const uint64_t tableEnd = tableStart + opened.EntrySize() * static_cast<uint64_t>(colourCount);
  // The lock rules fill the two fields in, never in a core header.
  const bool fieldsFilled = opened.infoSize != 12;
  const uint64_t blockEnd = 14 + static_cast<uint64_t>(blockSize);
  uint8_t fields[8];
  for (int i = 0; i < 4; ++i) {
    fields[i] = static_cast<uint8_t>(opened.sizeImage >> (8 * i));
    fields[4 + i] = static_cast<uint8_t>(opened.clrUsed >> (8 * i));
  }
  // Past the fields and the table the block is compared a run at a time.
  const uint64_t bulkFrom = !fieldsFilled || tableEnd > 50 ? tableEnd : 50;
  for (size_t i = 0; i < n;) {
    const uint64_t at = offset + i;
    if (opened.fileSize < 0 || at >= static_cast<uint64_t>(opened.fileSize)) return false;
    if (at >= bulkFrom) {
      const uint64_t fileLeft = static_cast<uint64_t>(opened.fileSize) - at;
      size_t run = n - i;
      if (run > fileLeft) run = static_cast<size_t>(fileLeft);
      if (at < blockEnd) {
        if (block == nullptr) return false;
        if (run > blockEnd - at) run = static_cast<size_t>(blockEnd - at);
        if (std::memcmp(bytes + i, block + (at - 14), run) != 0) return false;
      }
      i += run;
      continue;
    }
    ++i;
    uint8_t want;
    if (at < 14) {
      want = opened.fileHeader[at];
    } else if (at >= tableStart && at < tableEnd) {
      continue;
    } else if (fieldsFilled && at >= 34 && at < 38) {
      want = fields[at - 34];
    } else if (fieldsFilled && at >= 46 && at < 50) {
      want = fields[4 + at - 46];
    } else if (at < blockEnd) {
      if (block == nullptr) return false;
      want = block[at - 14];
    } else {
      continue;
    }
    if (bytes[i - 1] != want) return false;
  }
  return true;
}

}  // namespace kestro
