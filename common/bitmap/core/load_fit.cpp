#include "common/bitmap/core/load_fit.h"

namespace fit {

int64_t ReductionSteps(int64_t size, int64_t available) {
  if (available < 1) available = 1;
  if (size <= available) return 1;
  // size / i <= a  <=>  size / i < a + 1  <=>  i > size / (a + 1)
  return size / (available + 1) + 1;
}

int32_t EditorFitLevel(int32_t width, int32_t height, int32_t availableWidth,
                       int32_t availableHeight) {
  const int64_t i = ReductionSteps(width, availableWidth);
  const int64_t j = ReductionSteps(height, availableHeight);
  // i and j are at most 2^30 + 1 for 32-bit sizes, so the level fits.
  return static_cast<int32_t>(1 - (i > j ? i : j));
}

int64_t DoublingFactor(int64_t size, int64_t available) {
  if (available < 1) available = 1;
  int64_t k = 1;
  while (size / k > available) k *= 2;
  return k;
}

int32_t ShufflerReductionFactor(int32_t width, int32_t height, int32_t clientWidth,
                                int32_t clientHeight) {
  const int64_t kw = DoublingFactor(width, clientWidth);
  const int64_t kh = DoublingFactor(height, static_cast<int64_t>(clientHeight) - kIconBarStrip);
  return static_cast<int32_t>(kw > kh ? kw : kh);
}

}  // namespace fit
