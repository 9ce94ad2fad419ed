// The fit of a freshly loaded picture: the editor's fit level and the
// shuffler's reduction factor, including windows too small to show anything.
#include "common/bitmap/core/load_fit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

// The definition the closed form replaces: count up from 1.
int64_t CountUp(int64_t size, int64_t available) {
  int64_t i = 1;
  while (size / i > available) ++i;
  return i;
}

TEST(EditorFit, LevelsOfTheKnownPictures) {
  struct Case { int32_t w, h, aw, ah, level; const char* what; };
  const Case cases[] = {
      {640, 480, 640, 480, 0, "exactly the available area"},
      {640, 480, 1000, 900, 0, "smaller than the area"},
      {1000, 700, 780, 560, -1, "1000 x 700 in 780 x 560 shows at 1:2"},
      {641, 480, 640, 480, -1, "one pixel too wide"},
      {100, 3000, 800, 600, -4, "height decides: 3000 / 5 = 600"},
      {1, 1, 1, 1, 0, "one pixel"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fit::EditorFitLevel(c.w, c.h, c.aw, c.ah), c.level) << c.what;
  }
}

TEST(EditorFit, ClosedFormMatchesCountingUp) {
  for (int64_t size = 0; size <= 400; size += 7) {
    for (int64_t available = 1; available <= 130; available += 3) {
      ASSERT_EQ(fit::ReductionSteps(size, available), CountUp(size, available))
          << "size " << size << " available " << available;
    }
  }
  // Exact multiples are where an off-by-one would show.
  EXPECT_EQ(fit::ReductionSteps(1562, 780), 3);
  EXPECT_EQ(fit::ReductionSteps(1560, 780), 2);
  EXPECT_EQ(fit::ReductionSteps(1561, 780), 2);  // 1561 / 2 truncates to 780
}

TEST(EditorFit, EmptyOrNegativeAreaGivesABoundedLevel) {
  // As if the area were one pixel: the smallest level that fits one pixel.
  EXPECT_EQ(fit::ReductionSteps(640, 0), CountUp(640, 1));
  EXPECT_EQ(fit::ReductionSteps(640, -300), CountUp(640, 1));
  EXPECT_EQ(fit::EditorFitLevel(640, 480, 0, 0), 1 - 321);
  EXPECT_EQ(fit::EditorFitLevel(640, 480, -17, 480), 1 - 321);
  const int32_t big = std::numeric_limits<int32_t>::max();
  const int32_t level = fit::EditorFitLevel(big, big, 0, -1);
  EXPECT_EQ(level, 1 - (big / 2 + 1));
  EXPECT_LT(level, 0);
}

TEST(ShufflerFit, DoublingRule) {
  struct Case { int32_t w, h, cw, ch, factor; const char* what; };
  const Case cases[] = {
      {640, 480, 640, 480 + 21, 1, "fits exactly above the strip"},
      {640, 480, 640, 480 + 20, 2, "one row short: the strip counts"},
      {641, 100, 640, 800, 2, "one column too wide"},
      {1281, 100, 640, 800, 2, "1281 / 2 truncates to 640, which fits"},
      {5000, 300, 1000, 400, 8, "width decides: 5000 / 4 = 1250 > 1000"},
      {300, 5000, 1000, 421, 16, "height decides: 5000 / 8 = 625 > 400"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fit::ShufflerReductionFactor(c.w, c.h, c.cw, c.ch), c.factor) << c.what;
  }
}

TEST(ShufflerFit, TinyClientIsBounded) {
  // A client no taller than the strip, or of no width at all.
  EXPECT_EQ(fit::ShufflerReductionFactor(640, 480, 0, 0), 512);
  EXPECT_EQ(fit::ShufflerReductionFactor(640, 480, -5, 10), 512);
  const int32_t big = std::numeric_limits<int32_t>::max();
  const int32_t factor = fit::ShufflerReductionFactor(big, big, 0, 0);
  EXPECT_EQ(factor, 1 << 30);
  EXPECT_LE(big / factor, 1);
}

}  // namespace
