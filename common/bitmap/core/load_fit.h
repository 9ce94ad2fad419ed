// How a freshly loaded picture is fitted to the main window: the editor's fit
// level (the smallest whole reduction that shows the picture in the available
// area) and the shuffler's power-of-two reduction factor. Every answer is
// closed-form or doubling, so a tiny or empty window cannot make it spin.
#pragma once

#include <cstdint>

namespace fit {

// Height of the strip under the icon bar that both programs keep free.
constexpr int32_t kIconBarStrip = 21;

// Smallest i >= 1 with size / i (truncating) <= available. An available
// length of 0 or less counts as 1 pixel, the least area that shows anything.
int64_t ReductionSteps(int64_t size, int64_t available);

// The editor's fit level, 1 - max(i, j): 0 when the picture fits, -k for a
// picture shown reduced k + 1 times. Not clamped to the zoom range here.
int32_t EditorFitLevel(int32_t width, int32_t height, int32_t availableWidth,
                       int32_t availableHeight);

// Smallest power of two k >= 1 with size / k <= available (an available
// length below 1 counts as 1).
int64_t DoublingFactor(int64_t size, int64_t available);

// The shuffler's reductionFactor: the larger of the factors for the width in
// the client width and the height in the client height minus the strip.
int32_t ShufflerReductionFactor(int32_t width, int32_t height, int32_t clientWidth,
                                int32_t clientHeight);

}  // namespace fit
