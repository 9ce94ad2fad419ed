// Hover-caption geometry and the decision what an update does, as pure
// arithmetic on the metrics the Win32 half reads.
#pragma once

#include <cstdint>

#include "common/ui/core/button_tables.h"

namespace ui_core {

// The pixels under a caption are saved into a table of this size.
constexpr int kSavedRows = 30;
constexpr int kSavedColumns = 130;

struct CaptionFont {
  const char* face;  // UTF-8
  int charset;       // SHIFTJIS_CHARSET (128) or OEM_CHARSET (255)
  int height;
  int textDx;
  int textDy;
  int extraWidth;
};

// language: 0 English, 1 Japanese.
CaptionFont CaptionFontFor(int language, int platformStyle);

// Rectangle in whole-window coordinates; both edges belong to the saved area.
struct CaptionRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

struct CaptionMetrics {
  int cxBorder;
  int cyBorder;
  int cyCaption;
  int textWidth;        // GetTextExtentPoint32 cx
  int tmHeight;
  int tmExternalLeading;
};

CaptionRect CaptionRectangle(int captionLeft, const CaptionMetrics& m, int extraWidth);

// The rectangle cut down so that it, edges included, fits the saved table.
CaptionRect ClipToSavedArea(const CaptionRect& r);

// Whether client y lies in the bar band: from SM_CYBORDER + bandTop (the
// program's first row) to SM_CYBORDER + 19.
bool InBarBand(int y, int cyBorder, int bandTop);

// The caption number whose button holds client x, or 0 (gap, space,
// outside): the button's row in the table, so the first button after the gap
// is caption 1.
int CaptionAt(const ButtonTable& table, int x);

// The button row of a caption number, or null (no such row, or no caption).
const ButtonSpec* CaptionLabelOf(const ButtonTable& table, int number);

enum class CaptionAction { kNothing, kRemove, kDraw };

struct CaptionStep {
  CaptionAction action;
  int caption;  // the caption to draw (kDraw)
};

// What an update does with the cursor at client (x, y) while `shown` is drawn (0 none).
CaptionStep DecideCaption(const ButtonTable& table, int bandTop, int x, int y, int cyBorder,
                          int shown);

}  // namespace ui_core
