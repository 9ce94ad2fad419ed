#include "mirtav00/core/view_rules.h"

#include "common/base/core/path_text.h"

namespace mirtav {

const char* TitlePrefix(bool japanese) { return japanese ? "ミルタヴ - " : "Mirtav - "; }

std::string MainTitle(const std::string& ansiPrefix, const char* path, bool shiftJis,
                      int32_t reductionFactor) {
  return ansiPrefix + path_text::FileNameOf(path, shiftJis) + " [1:" + std::to_string(reductionFactor) + "]";
}

PictureRect PicturePaintRect(int32_t width, int32_t height, int32_t reductionFactor) {
  const int32_t k = reductionFactor > 0 ? reductionFactor : 1;
  return {0, kPictureTop, width / k, height / k};
}

sampling::Stretch PictureStretch(int32_t width, int32_t height, int32_t reductionFactor,
                                 int32_t clientWidth, int32_t clientHeight) {
  const PictureRect at = PicturePaintRect(width, height, reductionFactor);
  sampling::Stretch stretch;
  stretch.srcWidth = width;
  stretch.srcHeight = height;
  stretch.dstX = at.left;
  stretch.dstY = at.top;
  stretch.dstWidth = at.width;
  stretch.dstHeight = at.height;
  stretch.visLeft = 0;
  stretch.visTop = kPictureTop;
  stretch.visRight = clientWidth;
  stretch.visBottom = clientHeight;
  return stretch;
}

PictureButtons ButtonsFor(PictureState pictureState, bool blockPresent) {
  switch (pictureState) {
    case PictureState::kOpened: return {blockPresent, true, true, false};
    case PictureState::kChanged: return {blockPresent, false, true, true};
    default: return {true, false, false, false};
  }
}

}  // namespace mirtav
