#include "common/ui/core/caption_rules.h"

namespace ui_core {

CaptionFont CaptionFontFor(int language, int platformStyle) {
  if (language == 1) return {"ＭＳゴシック", 128, 12, 0, 0, 1};
  if (platformStyle >= 0 && platformStyle <= 2) return {"Helv", 255, 12, 0, -1, 2};
  return {"Helv", 255, 14, 1, -1, 2};
}

CaptionRect CaptionRectangle(int captionLeft, const CaptionMetrics& m, int extraWidth) {
  CaptionRect r;
  r.left = m.cxBorder + captionLeft;
  r.top = m.cyBorder + m.cyCaption + 32;
  r.right = r.left + m.textWidth + extraWidth + 5;
  r.bottom = r.top + m.tmExternalLeading + m.tmHeight + 6;
  return r;
}

CaptionRect ClipToSavedArea(const CaptionRect& r) {
  CaptionRect c = r;
  if (c.right < c.left) c.right = c.left;
  if (c.bottom < c.top) c.bottom = c.top;
  if (c.right - c.left > kSavedColumns - 1) c.right = c.left + kSavedColumns - 1;
  if (c.bottom - c.top > kSavedRows - 1) c.bottom = c.top + kSavedRows - 1;
  return c;
}

bool InBarBand(int y, int cyBorder, int bandTop) {
  return cyBorder + bandTop <= y && y <= cyBorder + 19;
}

int CaptionAt(const ButtonTable& table, int x) {
  for (size_t i = 0; i < table.count; ++i) {
    const ButtonSpec& row = table.rows[i];
    if (HasCaption(row) && row.x <= x && x <= row.x + row.width - 1) return static_cast<int>(i);
  }
  return 0;
}

const ButtonSpec* CaptionLabelOf(const ButtonTable& table, int number) {
  if (number <= 0 || static_cast<size_t>(number) >= table.count) return nullptr;
  const ButtonSpec& row = table.rows[number];
  return HasCaption(row) ? &row : nullptr;
}

CaptionStep DecideCaption(const ButtonTable& table, int bandTop, int x, int y, int cyBorder,
                          int shown) {
  const int under = InBarBand(y, cyBorder, bandTop) ? CaptionAt(table, x) : 0;
  if (under == 0) return {shown != 0 ? CaptionAction::kRemove : CaptionAction::kNothing, 0};
  if (under == shown) return {CaptionAction::kNothing, 0};
  return {CaptionAction::kDraw, under};
}

}  // namespace ui_core
