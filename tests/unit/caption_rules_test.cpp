// Hover-caption geometry, band tests, button hit ranges and the update
// decision of both programs.
#include "common/ui/core/caption_rules.h"

#include <gtest/gtest.h>

#include "kestro98/bar_tables.h"
#include "mirtav00/bar_tables.h"

#include <string>
#include <vector>

using namespace ui_core;

namespace {

const ProgramLook& kKestro = kestro::kLook;
const ProgramLook& kMirtav = mirtav::kLook;

// The rules as each program's look feeds them.
CaptionStep DecideCaption(const ProgramLook& p, int x, int y, int cyBorder, int shown) {
  return ui_core::DecideCaption(p.buttons, p.captionBandTopFromBorder, x, y, cyBorder, shown);
}
int CaptionAt(const ProgramLook& p, int x) { return ui_core::CaptionAt(p.buttons, x); }
// The label of a caption number, or null.
const BilingualText* CaptionLabelOf(const ProgramLook& p, int number) {
  const ui_core::ButtonSpec* row = ui_core::CaptionLabelOf(p.buttons, number);
  return row != nullptr ? &row->caption : nullptr;
}
bool InBarBand(const ProgramLook& p, int y, int cyBorder) {
  return ui_core::InBarBand(y, cyBorder, p.captionBandTopFromBorder);
}

CaptionMetrics Metrics(int textWidth, int tmHeight, int leading) {
  CaptionMetrics m;
  m.cxBorder = 1;
  m.cyBorder = 1;
  m.cyCaption = 18;
  m.textWidth = textWidth;
  m.tmHeight = tmHeight;
  m.tmExternalLeading = leading;
  return m;
}

TEST(CaptionRules, FontsByLanguageAndStyle) {
  for (int style = 0; style <= 7; ++style) {
    const CaptionFont ja = CaptionFontFor(1, style);
    EXPECT_EQ(std::string("ＭＳゴシック"), ja.face);
    EXPECT_EQ(128, ja.charset);
    EXPECT_EQ(12, ja.height);
    EXPECT_EQ(0, ja.textDx);
    EXPECT_EQ(0, ja.textDy);
    EXPECT_EQ(1, ja.extraWidth);

    const CaptionFont en = CaptionFontFor(0, style);
    EXPECT_EQ(std::string("Helv"), en.face);
    EXPECT_EQ(255, en.charset);
    EXPECT_EQ(style <= 2 ? 12 : 14, en.height) << "style " << style;
    EXPECT_EQ(style <= 2 ? 0 : 1, en.textDx) << "style " << style;
    EXPECT_EQ(-1, en.textDy);
    EXPECT_EQ(2, en.extraWidth);
  }
}

TEST(CaptionRules, ZoomInAtHundredTen) {
  // English, style 5, client (100, 10) in the editor: "Zoom In".
  EXPECT_TRUE(InBarBand(kKestro, 10, 1));
  const int n = CaptionAt(kKestro, 100);
  ASSERT_EQ(3, n);
  const BilingualText* label = CaptionLabelOf(kKestro, n);
  ASSERT_NE(nullptr, label);
  EXPECT_STREQ("Zoom In", label->english);

  const CaptionFont font = CaptionFontFor(0, 5);
  EXPECT_EQ(14, font.height);
  CaptionMetrics m = Metrics(40, 14, 2);
  m.cxBorder = 2;
  m.cyBorder = 3;
  m.cyCaption = 19;
  const int left = ui_core::CaptionLeft(*ui_core::CaptionLabelOf(kKestro.buttons, n));
  const CaptionRect r = CaptionRectangle(left, m, font.extraWidth);
  EXPECT_EQ(2 + 81, r.left);
  EXPECT_EQ(3 + 19 + 32, r.top);
  EXPECT_EQ(r.left + 40 + 2 + 5, r.right);
  EXPECT_EQ(r.top + 2 + 14 + 6, r.bottom);
}

TEST(CaptionRules, MovingAlongTheBar) {
  // 100 -> 110: same button, nothing redrawn; 112: Popup Window replaces it.
  CaptionStep s = DecideCaption(kKestro, 100, 10, 1, 0);
  EXPECT_EQ(CaptionAction::kDraw, s.action);
  EXPECT_EQ(3, s.caption);
  EXPECT_EQ(CaptionAction::kNothing, DecideCaption(kKestro, 110, 10, 1, 3).action);
  EXPECT_EQ(CaptionAction::kNothing, DecideCaption(kKestro, 111, 10, 1, 3).action);
  s = DecideCaption(kKestro, 112, 10, 1, 3);
  EXPECT_EQ(CaptionAction::kDraw, s.action);
  EXPECT_EQ(4, s.caption);
  EXPECT_STREQ("Popup Window", CaptionLabelOf(kKestro, 4)->english);
}

TEST(CaptionRules, GapSpaceAndBelowTheBandRemove) {
  for (const ProgramLook& p : {kKestro, kMirtav}) {
    EXPECT_EQ(CaptionAction::kRemove, DecideCaption(p, 10, 10, 1, 3).action);
    EXPECT_EQ(CaptionAction::kRemove, DecideCaption(p, 400, 10, 1, 3).action);
    EXPECT_EQ(CaptionAction::kRemove, DecideCaption(p, 100, 30, 1, 3).action);
    EXPECT_EQ(CaptionAction::kRemove, DecideCaption(p, -5, 10, 1, 3).action);
    // With nothing shown there is nothing to do.
    EXPECT_EQ(CaptionAction::kNothing, DecideCaption(p, 10, 10, 1, 0).action);
    EXPECT_EQ(CaptionAction::kNothing, DecideCaption(p, 100, 30, 1, 0).action);
  }
}

TEST(CaptionRules, SpaceBeginsEarlierInTheShuffler) {
  EXPECT_EQ(0, CaptionAt(kMirtav, 250));
  EXPECT_EQ(0, CaptionAt(kMirtav, 240));
  EXPECT_EQ(7, CaptionAt(kMirtav, 239));
  EXPECT_EQ(8, CaptionAt(kKestro, 250));
  EXPECT_STREQ("Help", CaptionLabelOf(kKestro, 8)->english);
  EXPECT_EQ(9, CaptionAt(kKestro, 303));
  EXPECT_EQ(0, CaptionAt(kKestro, 304));
  EXPECT_EQ(0, CaptionAt(kKestro, 15));
  EXPECT_EQ(1, CaptionAt(kKestro, 16));
  EXPECT_EQ(1, CaptionAt(kMirtav, 16));
}

TEST(CaptionRules, BandEdges) {
  struct Row {
    int cyBorder;
    int y;
    bool kestro;
    bool mirtav;
  };
  const Row rows[] = {
      {1, -1, false, false}, {1, 0, false, false}, {1, 1, true, false}, {1, 2, true, true},
      {1, 20, true, true},   {1, 21, false, false}, {2, 1, false, false}, {2, 2, true, false},
      {2, 3, true, true},    {2, 21, true, true},   {2, 22, false, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.kestro, InBarBand(kKestro, r.y, r.cyBorder)) << "y " << r.y << " border " << r.cyBorder;
    EXPECT_EQ(r.mirtav, InBarBand(kMirtav, r.y, r.cyBorder)) << "y " << r.y << " border " << r.cyBorder;
  }
}

TEST(CaptionRules, EveryCaptionOfTheTablesFitsTheSavedArea) {
  // Widths a 14-pixel font could give: up to 8 pixels a character.
  for (const ProgramLook& p : {kKestro, kMirtav}) {
    const ui_core::ButtonTable t = p.buttons;
    for (size_t i = 0; i < t.count; ++i) {
      if (!ui_core::HasCaption(t.rows[i])) continue;
      const char* english = t.rows[i].caption.english;
      const int chars = static_cast<int>(std::string(english).size());
      const CaptionRect r =
          CaptionRectangle(ui_core::CaptionLeft(t.rows[i]), Metrics(chars * 8, 16, 0), 2);
      EXPECT_LE(r.right - r.left + 1, kSavedColumns) << english;
      EXPECT_LE(r.bottom - r.top + 1, kSavedRows) << english;
    }
  }
}

TEST(CaptionRules, ClippingKeepsEveryRectangleInsideTheTable) {
  const CaptionRect fits = CaptionRectangle(17, Metrics(50, 14, 0), 2);
  const CaptionRect same = ClipToSavedArea(fits);
  EXPECT_EQ(fits.right, same.right);
  EXPECT_EQ(fits.bottom, same.bottom);

  const CaptionRect big = CaptionRectangle(113, Metrics(300, 40, 4), 2);
  const CaptionRect clipped = ClipToSavedArea(big);
  EXPECT_EQ(big.left, clipped.left);
  EXPECT_EQ(big.top, clipped.top);
  EXPECT_EQ(kSavedColumns, clipped.right - clipped.left + 1);
  EXPECT_EQ(kSavedRows, clipped.bottom - clipped.top + 1);

  // Degenerate metrics (a font that measured nothing, or negative values).
  const CaptionRect odd = ClipToSavedArea(CaptionRectangle(17, Metrics(-500, -100, -3), 2));
  EXPECT_GE(odd.right, odd.left);
  EXPECT_GE(odd.bottom, odd.top);
  EXPECT_LE(odd.right - odd.left + 1, kSavedColumns);
  EXPECT_LE(odd.bottom - odd.top + 1, kSavedRows);
}

TEST(CaptionRules, SweepVisitsEveryButtonOnceInOrder) {
  // The cursor sweeping the band left to right draws each caption once, in
  // order, and removes the last one on the space.
  for (const ProgramLook& p : {kKestro, kMirtav}) {
    int shown = 0;
    std::vector<int> drawn;
    int removals = 0;
    for (int x = 0; x < 500; ++x) {
      const CaptionStep s = DecideCaption(p, x, 10, 1, shown);
      if (s.action == CaptionAction::kDraw) {
        drawn.push_back(s.caption);
        shown = s.caption;
      } else if (s.action == CaptionAction::kRemove) {
        ++removals;
        shown = 0;
      }
    }
    const size_t count = p.buttons.count - 2;  // every button but the gap and the space
    ASSERT_EQ(count, drawn.size());
    for (size_t i = 0; i < count; ++i) EXPECT_EQ(static_cast<int>(i + 1), drawn[i]);
    EXPECT_EQ(1, removals);
  }
}

TEST(CaptionRules, LabelsOfBothLanguages) {
  EXPECT_STREQ("BMP 開く", CaptionLabelOf(kKestro, 1)->japanese);
  EXPECT_STREQ("BMP開く", CaptionLabelOf(kMirtav, 1)->japanese);
  EXPECT_STREQ("ﾎﾟｯﾌﾟｱｯﾌﾟ", CaptionLabelOf(kKestro, 4)->japanese);
  EXPECT_STREQ("Randomize PLT", CaptionLabelOf(kMirtav, 2)->english);
  EXPECT_STREQ("PLTランダム", CaptionLabelOf(kMirtav, 2)->japanese);
  EXPECT_EQ(nullptr, CaptionLabelOf(kMirtav, 8));
  EXPECT_EQ(nullptr, CaptionLabelOf(kKestro, 0));
}

}  // namespace
