#include "common/ui/hover_caption.h"

#include <string>

#include "common/base/gdi_guards.h"
#include "common/base/platform_style.h"
#include "common/base/text.h"
#include "common/ui/core/caption_rules.h"
#include "common/ui/program_description.h"

namespace {

using ui_core::CaptionRect;
using ui_core::kSavedColumns;
using ui_core::kSavedRows;

CaptionRect captionRect;  // all 0 while no caption is drawn
int shownCaption = 0;
int captionHolds = 0;  // commands running; no caption is drawn meanwhile
COLORREF savedPixels[kSavedRows][kSavedColumns];
std::string labelText;

// Columns and rows of the rectangle, edges included; the rectangle is
// always clipped to the table before anything is saved or drawn.
int Columns(const CaptionRect& r) { return r.right - r.left + 1; }
int Rows(const CaptionRect& r) { return r.bottom - r.top + 1; }

void SavePixels(HDC dc) {
  const int rows = Rows(captionRect);
  const int columns = Columns(captionRect);
  for (int r = 0; r < rows && r < kSavedRows; ++r) {
    for (int c = 0; c < columns && c < kSavedColumns; ++c) {
      savedPixels[r][c] = GetPixel(dc, captionRect.left + c, captionRect.top + r);
    }
  }
}

// GetPixel answers CLR_INVALID for a pixel off the device (beyond the
// screen edge); such pixels are left alone.
void RestorePixels(HDC dc) {
  const int rows = Rows(captionRect);
  const int columns = Columns(captionRect);
  for (int r = 0; r < rows && r < kSavedRows; ++r) {
    for (int c = 0; c < columns && c < kSavedColumns; ++c) {
      const COLORREF colour = savedPixels[r][c];
      if (colour != CLR_INVALID) SetPixelV(dc, captionRect.left + c, captionRect.top + r, colour);
    }
  }
}

void ForgetCaption() {
  captionRect = CaptionRect();
  shownCaption = 0;
}

HFONT CreateCaptionFont(const ui_core::CaptionFont& fontFacts) {
  const std::string face = ToAnsi(fontFacts.face);
  return CreateFontA(fontFacts.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     static_cast<DWORD>(fontFacts.charset), 0, 0, 0, 0, face.c_str());
}

void DrawCaption(HDC dc, int number, const ui_core::CaptionFont& font) {
  const ui_core::ButtonSpec* label =
      ui_core::CaptionLabelOf(runningProgram->look->buttons, number);
  if (label == nullptr) return;
  if (captionRect.left != 0) RestorePixels(dc);

  labelText = ToAnsi(Pick(label->caption));
  SIZE extent = {};
  GetTextExtentPoint32A(dc, labelText.c_str(), static_cast<int>(labelText.size()), &extent);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);

  ui_core::CaptionMetrics m;
  m.cxBorder = GetSystemMetrics(SM_CXBORDER);
  m.cyBorder = GetSystemMetrics(SM_CYBORDER);
  m.cyCaption = GetSystemMetrics(SM_CYCAPTION);
  m.textWidth = extent.cx;
  m.tmHeight = metrics.tmHeight;
  m.tmExternalLeading = metrics.tmExternalLeading;
  const CaptionRect full = ui_core::CaptionRectangle(ui_core::CaptionLeft(*label), m, font.extraWidth);
  captionRect = ui_core::ClipToSavedArea(full);
  SavePixels(dc);

  // Drawing stays inside what was saved, even for a caption larger than the table.
  const int state = SaveDC(dc);
  IntersectClipRect(dc, captionRect.left, captionRect.top, captionRect.right + 1,
                    captionRect.bottom + 1);
  Rectangle(dc, full.left, full.top, full.right, full.bottom);
  TextOutA(dc, full.left + font.textDx + 3, full.top + font.textDy + 3, labelText.c_str(),
           static_cast<int>(labelText.size()));
  RestoreDC(dc, state);
  shownCaption = number;
}

}  // namespace

void HoldHoverCaptions(bool hold) {
  if (hold) {
    ++captionHolds;
  } else if (captionHolds > 0) {
    --captionHolds;
  }
}

void UpdateHoverCaption(HWND window) {
  if (captionHolds > 0) return;
  POINT cursor = {};
  if (!GetCursorPos(&cursor) || !ScreenToClient(window, &cursor)) return;
  if (GetActiveWindow() == nullptr || !IsWindowEnabled(window)) return;

  // WM_SETCURSOR comes with every mouse move: decide first, so that the
  // device context, the font and the slow pixel reads are only touched
  // when a caption actually changes.
  const ui_core::ProgramLook& look = *runningProgram->look;
  const ui_core::CaptionStep step =
      ui_core::DecideCaption(look.buttons, look.captionBandTopFromBorder, cursor.x, cursor.y,
                             GetSystemMetrics(SM_CYBORDER), shownCaption);
  if (step.action == ui_core::CaptionAction::kNothing) return;

  ScopedGetWindowDC dc(window);
  if (dc == nullptr) return;
  const ui_core::CaptionFont fontFacts = ui_core::CaptionFontFor(languageFlag, platformStyle);
  ScopedFont font(CreateCaptionFont(fontFacts));
  ScopedSelectObject selected(dc, font);

  if (step.action == ui_core::CaptionAction::kDraw) {
    DrawCaption(dc, step.caption, fontFacts);
  } else {
    RestorePixels(dc);
    ForgetCaption();
  }
}

void RemoveHoverCaption(HWND window) {
  if (shownCaption != 0) {
    ScopedGetWindowDC dc(window);
    if (dc != nullptr) RestorePixels(dc);
  }
  ForgetCaption();
}

int ShownHoverCaption() { return shownCaption; }

RECT HoverCaptionRect() {
  RECT r = {captionRect.left, captionRect.top, captionRect.right, captionRect.bottom};
  return r;
}
