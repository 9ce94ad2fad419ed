// The image view's arithmetic: 19 zoom steps (level -9..9, factor k = level + 1
// magnified or 1 - level reduced; the fit can start below -9), the zoom text
// of the title, the scroll-bar layout of its four cases with the size grip,
// scroll offsets in source pixels and their clamping, the StretchDIBits
// destination of the picture, the five buttons a paint enables, and the
// smallest window size. All of it in 64 bits: no picture the reader accepts
// (sizes up to 2^31 - 1) can overflow it; Clamp32 guards what goes to Win32.
#pragma once

#include <cstdint>
#include <string>

#include "common/bitmap/core/view_sampling.h"

namespace kestro {

constexpr int32_t kMinZoomLevel = -9;
constexpr int32_t kMaxZoomLevel = 9;
constexpr int32_t kIconBand = 20;       // the icon bar's rows above the picture
constexpr int32_t kSmallestWidth = 440;

// k: level + 1 when level >= 0, 1 - level below.
int64_t ZoomFactor(int32_t level);
// W x k magnified, W / k reduced (truncating).
int64_t DisplayedLength(int64_t size, int32_t level);
// A screen length in source pixels: L / k magnified, L x k reduced.
int64_t SourceLength(int64_t screenLength, int32_t level);
int32_t Clamp32(int64_t v);

// The level after Zoom Out / Zoom In; the same level at -9 / 9 (nothing happens).
int32_t ZoomedOut(int32_t level);
int32_t ZoomedIn(int32_t level);

// "4:1]" or "1:4]"; the title is the title base ("Kestro - LEAF.BMP [") and
// this. Both are ASCII, so the title base may be in any ANSI code page.
std::string ZoomText(int32_t level);
std::string TitleText(const std::string& titleBase, int32_t level);

struct BarRect {
  int32_t x, y, width, height;
};

// What the layout gives for a client area CW x CH, scroll bar height a and
// width b: both bars are always moved; hidden bars get range 0..0, position
// 0, and their offsets are reset by the caller.
struct ScrollLayout {
  BarRect horizontal, vertical;
  bool horizontalShown = false, verticalShown = false, grip = false;
  BarRect gripRect{};
  int32_t horizontalMax = 0, verticalMax = 0;  // range maxima in source pixels
};
ScrollLayout LayOutScrollBars(int32_t width, int32_t height, int32_t level, int32_t clientWidth,
                              int32_t clientHeight, int32_t barHeight, int32_t barWidth);

// The highest offset a scroll may reach: (S x k - V) / k or (S / k - V) x k
// (plus the 20-pixel band for the vertical one), never below 0.
int64_t ScrollMaximum(int64_t size, int32_t level, int64_t visible, int32_t band);

// A view scroll bar's new offset for a notification code: line 1, page 10,
// thumb position (take it 32-bit from GetScrollInfo), the ends (SB_TOP 0,
// SB_BOTTOM the maximum, as the bars' own keys send them), others unchanged;
// clamped to 0..maximum.
int64_t ScrollOffset(int64_t offset, int32_t code, int64_t thumbPos, int64_t maximum);

// The wheel's and the keys' distances, in source pixels at `level`, for a
// view `visible` screen pixels long: a line is a tenth of the view, a page
// the view less a line (so a line of what was shown stays in sight); each at
// least one source pixel. The same screen distance at every zoom step.
struct ViewSteps {
  int64_t line = 1;
  int64_t page = 1;
};
ViewSteps StepsOfView(int64_t visible, int32_t level);

// The wheel: `notches` whole notches (positive: away from the user, which
// scrolls up or left), each `linesPerNotch` lines of the view, or one page
// when linesPerNotch is kWheelPage; clamped to 0..maximum. Page Up and Page
// Down are a notch of kWheelPage each.
constexpr uint32_t kWheelPage = 0xFFFFFFFFu;  // WHEEL_PAGESCROLL
int64_t WheelOffset(int64_t offset, int32_t notches, uint32_t linesPerNotch, const ViewSteps& steps,
                    int64_t maximum);

// Notches from wheel deltas of 120 a notch, the rest kept for the next
// message (high-resolution wheels send less than a notch at a time).
int32_t TakeNotches(int32_t* rest, int32_t delta);

// The offset after a zoom from `level` to `newLevel` that keeps the source
// pixel at `cursor` screen pixels into the picture area under the cursor;
// not below 0 (the caller clamps it to the new maximum).
int64_t OffsetKeepingPoint(int64_t offset, int32_t level, int32_t newLevel, int64_t cursor);

// The StretchDIBits call of the paint (whole picture onto the displayed size,
// offset by the scroll offsets), with the picture area
// (0, 20)-(visibleRight, visibleBottom) as the part wanted: hand it to
// sampling::Sample for a reduced paint or paint it directly.
sampling::Stretch ViewStretch(int32_t width, int32_t height, int32_t level, int64_t hOffset,
                              int64_t vOffset, int32_t visibleRight, int32_t visibleBottom);

struct FreeScreen {
  int32_t width, height;                  // SM_CXSCREEN, SM_CYSCREEN
  int32_t left, top, right, bottom;       // taskbar margins
};

struct ButtonStates {
  bool zoomOut = false, zoomIn = false, popup = false, copy = false, save = false;
};

// The five buttons after a paint; all disabled while no picture is open.
ButtonStates PaintButtons(bool pictureOpen, int32_t level, int32_t fitLevel, int32_t width,
                          int32_t height, const FreeScreen& screen, int32_t changeCounter);

// The smallest main window: at least 440 wide and minClientValue +
// (hShown + 2 vShown) x a high. True, with *w / *h corrected, when it must grow.
bool SmallestWindowSize(int32_t* w, int32_t* h, int32_t minClientValue, bool horizontalShown,
                        bool verticalShown, int32_t barHeight);

}  // namespace kestro
