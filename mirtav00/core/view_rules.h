// The shuffler's main window in numbers: its title after an open
// ("Mirtav - flower.bmp [1:2]" or "ミルタヴ - flower.bmp [1:2]"), where the
// picture is painted at 1 / reductionFactor (fit::ShufflerReductionFactor
// chooses the factor), and which of the three picture buttons are enabled in
// each PictureState. Paths are the file dialog's ANSI bytes; in code page 932
// a backslash byte may be the second half of a character and is skipped.
#pragma once

#include <cstdint>
#include <string>

#include "common/base/core/picture_state.h"
#include "common/bitmap/core/view_sampling.h"

namespace mirtav {


// Rows 0..20 of the client area belong to the icon bar.
constexpr int32_t kPictureTop = 21;

// "Mirtav - " or "ミルタヴ - " (UTF-8): the title's start, before the file name.
const char* TitlePrefix(bool japanese);

// prefix (already in the ANSI code page), the file name of path, " [1:k]".
std::string MainTitle(const std::string& ansiPrefix, const char* path, bool shiftJis,
                      int32_t reductionFactor);

// Where the picture is painted: left 0, top 21, width and height divided by
// the factor (truncating). Height is the absolute height.
struct PictureRect {
  int32_t left, top, width, height;
};
PictureRect PicturePaintRect(int32_t width, int32_t height, int32_t reductionFactor);

// The whole picture stretched into PicturePaintRect, seen through the client
// area below the icon bar (clientWidth x clientHeight): what the paint samples.
sampling::Stretch PictureStretch(int32_t width, int32_t height, int32_t reductionFactor,
                                 int32_t clientWidth, int32_t clientHeight);

// The Randomize PLT, Copy PLT and Save Image buttons after a paint. `apply`
// is false when the paint leaves them as they are (a picture state without a
// block in memory).
struct PictureButtons {
  bool apply;
  bool randomise;
  bool copy;
  bool save;
};
PictureButtons ButtonsFor(PictureState pictureState, bool blockPresent);

}  // namespace mirtav
