#include "mirtav00/core/save_rules.h"

#include <cstring>
#include <limits>

#include "common/base/core/path_text.h"
#include "common/bitmap/core/drive_rules.h"

namespace mirtav {

namespace {

using path_text::IsShiftJisLead;

unsigned char Fold(unsigned char c, bool shiftJis) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
  // Latin-1 small letters of code page 1252 (but the division sign).
  if (!shiftJis && c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  return c;
}

}  // namespace

const Message* MessageOf(SaveVerdict verdict) {
  switch (verdict) {
    case SaveVerdict::kSameFile: return &kMsgSaveOntoOpened;
    case SaveVerdict::kNotFixedDisk: return &kMsgSaveNotFixedDisk;
    case SaveVerdict::kNoSpace: return &kMsgNoSpace;
    case SaveVerdict::kBadExtension: return &kMsgSaveExtension;
    default: return nullptr;
  }
}

bool SamePathIgnoringCase(const char* a, const char* b, bool shiftJis) {
  for (;;) {
    const unsigned char ca = static_cast<unsigned char>(*a), cb = static_cast<unsigned char>(*b);
    if (Fold(ca, shiftJis) != Fold(cb, shiftJis)) return false;
    if (ca == '\0') return true;
    ++a;
    ++b;
    if (shiftJis && IsShiftJisLead(ca) && *a != '\0') {
      if (*a != *b) return false;
      ++a;
      ++b;
    }
  }
}

int32_t SpaceToAsk(uint64_t openedFileSize, uint64_t plannedSize) {
  const uint64_t need = openedFileSize > plannedSize ? openedFileSize : plannedSize;
  constexpr uint64_t kMax = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(need < kMax ? need : kMax);
}

uint64_t PngSizeBound(uint64_t rawBytes, uint64_t keptBytes) {
  // 5 bytes a stored block of at most 65535, the encoder's IDAT frames, and
  // the signature, IHDR, PLTE, tRNS and IEND.
  return rawBytes + (rawBytes / 8192 + 1) * 12 + 64 * 1024 + keptBytes;
}

SaveVerdict DecideSave(const SaveRequest& r, SaveQuestions& ask) {
  if (SamePathIgnoringCase(r.savePath, r.openPath, r.shiftJis)) return SaveVerdict::kSameFile;
  if (ask.TargetExists(r.savePath) && !ask.OverwriteConfirmed()) return SaveVerdict::kDeclined;
  char root[4];
  drive::RootPathOf(r.savePath, root);
  if (!ask.IsFixedDisk(root)) return SaveVerdict::kNotFixedDisk;
  if (!ask.HasFreeSpace(root, SpaceToAsk(r.openedFileSize, r.plannedSize))) {
    return SaveVerdict::kNoSpace;
  }
  // Judged last, as the command always has: a wrong name has passed the
  // questions above already.
  if (path_text::EndsWithIgnoringCase(r.savePath, ".BMP")) return SaveVerdict::kWriteBmp;
  if (path_text::EndsWithIgnoringCase(r.savePath, ".TIF")) return SaveVerdict::kWriteTiff;
  if (path_text::EndsWithIgnoringCase(r.savePath, ".PNG")) return SaveVerdict::kWritePng;
  return SaveVerdict::kBadExtension;
}

}  // namespace mirtav
