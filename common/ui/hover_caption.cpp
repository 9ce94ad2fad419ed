#include "common/ui/hover_caption.h"

#include <algorithm>
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
CaptionRect boxRect;      // the box as drawn (its right and bottom just outside it)
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

// Whether the box's black edges are still on the screen. A repaint of what
// lies under the caption (the picture changed while the pointer rested on a
// button) paints over it, and its saved pixels are then out of date.
bool BoxStillShown(HDC dc) {
  const int left = boxRect.left, top = boxRect.top;
  const int right = boxRect.right - 1, bottom = boxRect.bottom - 1;
  // Edges cut off by the saved area's limit were never drawn.
  const int lastX = std::min(right, static_cast<int>(captionRect.right));
  const int lastY = std::min(bottom, static_cast<int>(captionRect.bottom));
  const int midX = (left + lastX) / 2, midY = (top + lastY) / 2;
  POINT edges[8] = {{left, top}, {midX, top}, {lastX, top}, {left, midY}, {left, lastY}};
  size_t count = 5;
  if (right == lastX) {
    edges[count++] = {right, midY};
    edges[count++] = {right, lastY};
  }
  if (bottom == lastY) edges[count++] = {midX, bottom};
  for (size_t i = 0; i < count; ++i) {
    const COLORREF colour = GetPixel(dc, edges[i].x, edges[i].y);
    if (colour != CLR_INVALID && colour != RGB(0, 0, 0)) return false;
  }
  return true;
}

// The caption goes: its saved pixels go back, or, when the window has painted
// over it since, what is left of it is painted again from what is there now.
void TakeAwayCaption(HWND window, HDC dc) {
  if (BoxStillShown(dc)) {
    RestorePixels(dc);
    return;
  }
  RECT area = {captionRect.left, captionRect.top, captionRect.right + 1, captionRect.bottom + 1};
  RECT whole = {};
  POINT origin = {0, 0};
  if (!GetWindowRect(window, &whole) || !ClientToScreen(window, &origin)) return;
  OffsetRect(&area, whole.left - origin.x, whole.top - origin.y);  // whole-window to client coordinates
  RedrawWindow(window, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ERASENOW);
}

void ForgetCaption() {
  captionRect = boxRect = CaptionRect();
  shownCaption = 0;
}

HFONT CreateCaptionFont(const ui_core::CaptionFont& fontFacts) {
  const std::string face = ToAnsi(fontFacts.face);
  return CreateFontA(fontFacts.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     static_cast<DWORD>(fontFacts.charset), 0, 0, 0, 0, face.c_str());
}

void DrawCaption(HWND window, HDC dc, int number, const ui_core::CaptionFont& font) {
  const ui_core::ButtonSpec* label =
      ui_core::CaptionLabelOf(runningProgram->look->buttons, number);
  if (label == nullptr) return;
  if (captionRect.left != 0) TakeAwayCaption(window, dc);

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
  boxRect = full;
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
    DrawCaption(window, dc, step.caption, fontFacts);
  } else {
    TakeAwayCaption(window, dc);
    ForgetCaption();
  }
}

void RemoveHoverCaption(HWND window) {
  if (shownCaption != 0) {
    ScopedGetWindowDC dc(window);
    if (dc != nullptr) TakeAwayCaption(window, dc);
  }
  ForgetCaption();
}

int ShownHoverCaption() { return shownCaption; }

RECT HoverCaptionRect() {
  RECT r = {captionRect.left, captionRect.top, captionRect.right, captionRect.bottom};
  return r;
}
