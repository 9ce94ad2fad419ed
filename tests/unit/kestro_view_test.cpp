// The image view's arithmetic on the examples of a 600 x 400 client with
// 16-pixel scroll bars, the title and zoom texts, the buttons a paint
// enables, the smallest window size, and pictures as large as the reader
// accepts.
#include "kestro98/core/view_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "common/bitmap/core/load_fit.h"

namespace {

using namespace kestro;

TEST(ViewZoom, FactorsTitlesAndLimits) {
  struct Case { int32_t level; int64_t k; const char* text; };
  const Case cases[] = {
      {-9, 10, "1:10]"}, {-3, 4, "1:4]"}, {-1, 2, "1:2]"}, {0, 1, "1:1]"},
      {1, 2, "2:1]"}, {4, 5, "5:1]"}, {9, 10, "10:1]"}, {-20, 21, "1:21]"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ZoomFactor(c.level), c.k);
    EXPECT_EQ(ZoomText(c.level), c.text);
  }
  EXPECT_EQ(TitleText("Kestro - LEAF.BMP [", -3), "Kestro - LEAF.BMP [1:4]");
  EXPECT_EQ(TitleText("ＢＭＰケストロ - LEAF.BMP [", -1), "ＢＭＰケストロ - LEAF.BMP [1:2]");
  EXPECT_EQ(ZoomedOut(-9), -9);
  EXPECT_EQ(ZoomedIn(9), 9);
  EXPECT_EQ(ZoomedOut(-20), -20) << "below -9 Zoom Out does nothing";
  EXPECT_EQ(ZoomedIn(-20), -19);
}

TEST(ViewLayout, TheExamplesOfA600x400Client) {
  // 100 x 80 at level 0..4: no bar until 5:1, then the vertical bar, range 0..4.
  const int32_t fit100 = fit::EditorFitLevel(100, 80, 600 - 16, 400 - 21 - 16);
  EXPECT_EQ(fit100, 0);
  ScrollLayout l = LayOutScrollBars(100, 80, 3, 600, 400, 16, 16);
  EXPECT_FALSE(l.horizontalShown || l.verticalShown);
  l = LayOutScrollBars(100, 80, 4, 600, 400, 16, 16);
  EXPECT_FALSE(l.horizontalShown);
  EXPECT_TRUE(l.verticalShown);
  EXPECT_FALSE(l.grip);
  EXPECT_EQ(l.verticalMax, 4);
  EXPECT_EQ(l.vertical.height, 400 - 20);
  // 2000 x 1500 fits at 1:5 with no bar, Zoom Out disabled at once.
  const int32_t fit2000 = fit::EditorFitLevel(2000, 1500, 600 - 16, 400 - 21 - 16);
  EXPECT_EQ(fit2000, -4);
  EXPECT_EQ(ZoomText(fit2000), "1:5]");
  l = LayOutScrollBars(2000, 1500, fit2000, 600, 400, 16, 16);
  EXPECT_FALSE(l.horizontalShown || l.verticalShown);
  const FreeScreen screen{1024, 768, 0, 0, 0, 40};
  EXPECT_FALSE(PaintButtons(true, fit2000, fit2000, 2000, 1500, screen, 0).zoomOut);
  // Both bars, the grip, and ranges in source pixels when reduced.
  l = LayOutScrollBars(2000, 1500, -1, 600, 400, 16, 16);
  EXPECT_TRUE(l.horizontalShown && l.verticalShown && l.grip);
  EXPECT_EQ(l.horizontalMax, (1000 - 600 + 16) * 2);
  EXPECT_EQ(l.verticalMax, (750 + 20 - 400 + 16) * 2);
  EXPECT_EQ(l.gripRect.x, 584);
  EXPECT_EQ(l.gripRect.y, 384);
  // Only horizontal: the bar spans the whole width.
  l = LayOutScrollBars(1000, 100, 0, 600, 400, 16, 16);
  EXPECT_TRUE(l.horizontalShown && !l.verticalShown);
  EXPECT_EQ(l.horizontal.width, 600);
  EXPECT_EQ(l.horizontalMax, 400);
}

TEST(ViewScroll, StepsAndClamping) {
  // 100 x 80 at 5:1 in 600 x 400, no horizontal bar: vertical max (400 + 20 - 400) / 5.
  const int64_t vmax = ScrollMaximum(80, 4, 400, kIconBand);
  EXPECT_EQ(vmax, 4);
  struct Case { int64_t offset; int32_t code; int64_t thumb; int64_t want; };
  const Case cases[] = {
      {0, 0, 0, 0}, {4, 1, 0, 4}, {2, 1, 0, 3}, {0, 3, 0, 4}, {4, 2, 0, 0},
      {0, 5, 3, 3}, {0, 4, 99, 4}, {3, 8, 0, 3},
      {3, 6, 0, 0}, {1, 7, 0, 4},  // the ends: Home and End
  };
  for (const Case& c : cases) EXPECT_EQ(ScrollOffset(c.offset, c.code, c.thumb, vmax), c.want);
  EXPECT_EQ(ScrollMaximum(100, 0, 600, 0), 0) << "a picture narrower than the view";
  // A thumb position beyond 16 bits is kept whole.
  EXPECT_EQ(ScrollOffset(0, 5, 70000, ScrollMaximum(100000, 0, 600, 0)), 70000);
}

// The wheel by the system's setting in lines of a tenth of the view, a page
// the view less a line, the same screen distance at every zoom step; with a
// high-resolution wheel's parts of a notch kept until they make one.
TEST(ViewScroll, WheelStepsAndNotches) {
  const struct { int64_t visible; int32_t level; int64_t line, page; } views[] = {
      {600, 0, 60, 540}, {600, 1, 30, 270}, {600, -1, 120, 1080}, {605, 3, 15, 136}, {5, 0, 1, 5}, {0, 9, 1, 1},
  };
  for (const auto& v : views) {
    const ViewSteps steps = StepsOfView(v.visible, v.level);
    EXPECT_EQ(steps.line, v.line) << v.visible << " at level " << v.level;
    EXPECT_EQ(steps.page, v.page) << v.visible << " at level " << v.level;
  }
  ViewSteps steps;
  steps.line = 4;
  steps.page = 36;
  struct Case { int64_t offset; int32_t notches; uint32_t lines; int64_t want; const char* what; };
  const Case cases[] = {
      {50, -1, 3, 62, "one notch toward the user: three lines down"},
      {50, 2, 3, 26, "two notches away: six lines up"},
      {50, -1, 1, 54, "a setting of one line"},
      {50, -1, kWheelPage, 86, "page scrolling (and Page Down): one page a notch"},
      {2, 1, 3, 0, "not above the top"},
      {98, -1, 3, 100, "not below the bottom"},
      {50, -1, 0, 50, "a setting of no lines"},
  };
  for (const Case& c : cases) EXPECT_EQ(WheelOffset(c.offset, c.notches, c.lines, steps, 100), c.want) << c.what;

  int32_t rest = 0;
  EXPECT_EQ(TakeNotches(&rest, -120), -1);
  EXPECT_EQ(rest, 0);
  EXPECT_EQ(TakeNotches(&rest, 40), 0);
  EXPECT_EQ(TakeNotches(&rest, 40), 0);
  EXPECT_EQ(TakeNotches(&rest, 40), 1) << "three thirds of a notch";
  EXPECT_EQ(rest, 0);
  EXPECT_EQ(TakeNotches(&rest, 360 + 30), 3);
  EXPECT_EQ(rest, 30);
  EXPECT_EQ(TakeNotches(&rest, -90), 0) << "back to nothing";
  EXPECT_EQ(rest, -60);
}

// Ctrl+wheel: the source pixel under the cursor stays under it.
TEST(ViewZoom, TheCursorsPointStays) {
  struct Case { int64_t offset; int32_t level, newLevel; int64_t cursor, want; const char* what; };
  const Case cases[] = {
      {10, 0, 1, 100, 10 + 100 - 50, "1:1 to 2:1: pixel 110 stays 100 pixels in"},
      {60, 1, 0, 100, 60 + 50 - 100, "2:1 to 1:1"},
      {0, 0, 1, 0, 0, "the cursor at the left edge"},
      {40, -1, 0, 100, 40 + 200 - 100, "1:2 to 1:1"},
      {140, 0, -1, 100, 140 + 100 - 200, "1:1 to 1:2"},
      {0, 0, -1, 100, 0, "not below 0: the picture's edge stays where it was"},
      {5, 3, 4, 37, 5 + 9 - 7, "4:1 to 5:1 truncates as the paint does"},
      {10, 0, 1, -5, 10, "a cursor above the picture counts as its edge"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OffsetKeepingPoint(c.offset, c.level, c.newLevel, c.cursor), c.want) << c.what;
  }
}

TEST(ViewPaint, DestinationAndButtons) {
  sampling::Stretch s = ViewStretch(2000, 1500, -1, 101, 51, 584, 384);
  EXPECT_EQ(s.dstX, -50);
  EXPECT_EQ(s.dstY, 20 - 25);
  EXPECT_EQ(s.dstWidth, 1000);
  s = ViewStretch(100, 80, 4, 3, 2, 600, 400);
  EXPECT_EQ(s.dstX, -15);
  EXPECT_EQ(s.dstY, 10);
  EXPECT_EQ(s.dstHeight, 400);

  const FreeScreen screen{1024, 768, 0, 0, 0, 40};
  struct Case { bool open; int32_t level, fit, w, h, changes; ButtonStates want; };
  const Case cases[] = {
      {false, 0, 0, 100, 80, 3, {false, false, false, false, false}},
      {true, 0, 0, 100, 80, 0, {false, true, true, true, false}},
      {true, -9, -12, 100, 80, 1, {false, true, true, true, true}},
      {true, -2, -3, 100, 80, 1, {true, true, true, true, true}},
      {true, 9, 0, 10, 10, 1, {true, false, true, true, true}},
      {true, 1, 0, 1024, 10, 1, {true, false, true, true, true}},  // 2 x 1024 not < 2048
      {true, 1, 0, 1023, 727, 1, {true, true, true, true, true}},
      {true, 1, 0, 1023, 728, 1, {true, false, true, true, true}},  // 2 x 728 = 2 x (768 - 40)
  };
  for (const Case& c : cases) {
    const ButtonStates b = PaintButtons(c.open, c.level, c.fit, c.w, c.h, screen, c.changes);
    EXPECT_EQ(b.zoomOut, c.want.zoomOut) << c.level << " " << c.w << "x" << c.h;
    EXPECT_EQ(b.zoomIn, c.want.zoomIn) << c.level << " " << c.w << "x" << c.h;
    EXPECT_EQ(b.popup, c.want.popup);
    EXPECT_EQ(b.copy, c.want.copy);
    EXPECT_EQ(b.save, c.want.save);
  }
}

TEST(ViewSize, SmallestWindowAndLargePictures) {
  int32_t w = 300, h = 500;
  EXPECT_TRUE(SmallestWindowSize(&w, &h, 47, true, true, 16));
  EXPECT_EQ(w, 440);
  EXPECT_EQ(h, 500);
  h = 60;
  EXPECT_TRUE(SmallestWindowSize(&w, &h, 47, true, true, 16));
  EXPECT_EQ(h, 47 + 3 * 16);
  EXPECT_FALSE(SmallestWindowSize(&w, &h, 47, true, true, 16));

  // The largest picture the reader takes, at 10:1: nothing wraps.
  const int32_t big = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(DisplayedLength(big, 9), int64_t{big} * 10);
  const ScrollLayout l = LayOutScrollBars(big, big, 9, 800, 600, 16, 16);
  EXPECT_TRUE(l.horizontalShown && l.verticalShown);
  EXPECT_EQ(l.horizontalMax, (int64_t{big} * 10 - 800 + 16) / 10);
  EXPECT_GT(ScrollMaximum(big, 9, 784, 0), 0);
  EXPECT_EQ(Clamp32(int64_t{big} * 10), big);
  const sampling::Stretch s = ViewStretch(big, big, 9, big - 1, 0, 784, 584);
  EXPECT_EQ(s.dstX, -(int64_t{big} - 1) * 10);
}

}  // namespace
