#include "mirtav00/core/window_rules.h"

#include "common/base/core/path_text.h"

namespace mirtav {

namespace {

using path_text::IsShiftJisLead;

}  // namespace

const char* TitlePrefix(bool japanese) { return japanese ? "ミルタヴ - " : "Mirtav - "; }

const char* FileNameOf(const char* path, bool shiftJis) {
  if (path == nullptr) return "";
  const char* name = path;
  for (const char* p = path; *p != '\0'; ++p) {
    if (shiftJis && IsShiftJisLead(static_cast<unsigned char>(*p)) && p[1] != '\0') {
      ++p;
      continue;
    }
    if (*p == '\\') name = p + 1;
  }
  return name;
}

std::string MainTitle(const std::string& ansiPrefix, const char* path, bool shiftJis,
                      int32_t reductionFactor) {
  return ansiPrefix + FileNameOf(path, shiftJis) + " [1:" + std::to_string(reductionFactor) + "]";
}

PictureRect PicturePaintRect(int32_t width, int32_t height, int32_t reductionFactor) {
  const int32_t k = reductionFactor > 0 ? reductionFactor : 1;
  return {0, kPictureTop, width / k, height / k};
}

PictureButtons ButtonsFor(int32_t pictureState, bool blockPresent) {
  switch (pictureState) {
    case Opened: return {blockPresent, true, true, false};
    case Randomised: return {blockPresent, false, true, true};
    default: return {true, false, false, false};
  }
}

}  // namespace mirtav
