#include "kestro98/image_view.h"

#include <windowsx.h>

#include <cstdio>

#include "common/base/gdi_guards.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/core/load_fit.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/sampled_paint.h"
#include "common/ui/app_shell.h"
#include "common/ui/icon_bar.h"
#include "kestro98/bar_tables.h"
#include "kestro98/core/colour_tools.h"
#include "kestro98/core/view_rules.h"
#include "kestro98/palette_window.h"
#include "kestro98/picture.h"
#include "resources/kestro98/resource.h"

namespace kestro {

int horzScrollHeight = 0;
int vertScrollWidth = 0;
int minimumClientHeight = 0;
HWND horzScrollBar = nullptr;
HWND vertScrollBar = nullptr;
HWND sizeGrip = nullptr;
int64_t horzScrollOffset = 0;
int64_t vertScrollOffset = 0;
int64_t lastHorzOffset = 0;
int64_t lastVertOffset = 0;
bool horzShown = false;
bool vertShown = false;
bool mainMinimised = false;

namespace {

SampledPaint sampledPicture;
bool paletteHiddenByMinimise = false;  // the last minimise hid the palette window
int32_t shownOnlyEntry = -1;           // the entry shown alone, -1 for all
bool leaveTracked = false;             // WM_MOUSELEAVE asked for since the last one

void EnableButton(int id, bool enable) {
  const int ids[] = {id};
  EnableIconBarButtons(ids, enable);
}

void SetButtons(const ButtonStates& b) {
  EnableButton(IDC_BAR_ZOOM_OUT, b.zoomOut);
  EnableButton(IDC_BAR_ZOOM_IN, b.zoomIn);
  EnableButton(IDC_BAR_POPUP_WINDOW, b.popup);
  EnableButton(IDC_BAR_COPY, b.copy);
  EnableButton(IDC_BAR_SAVE_IMAGE, b.save);
}

RECT ClientOf(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  return client;
}

// The stretch of the picture as the view shows it now.
sampling::Stretch CurrentStretch(HWND window) {
  const RECT client = ClientOf(window);
  const int32_t right = client.right - (vertShown ? vertScrollWidth : 0);
  const int32_t bottom = client.bottom - (horzShown ? horzScrollHeight : 0);
  return ViewStretch(dibLayout.width, dibLayout.height, pictureFacts.zoomLevel, horzScrollOffset,
                     vertScrollOffset, right, bottom);
}

void PaintPicture(HWND window, HDC dc) {
  if (dibBlockHandle == nullptr) return;  // no block: nothing drawn, the buttons still set
  ScopedDibLock lock(window);
  if (!lock.Locked()) return;
  const sampling::Stretch stretch = CurrentStretch(window);
  // Without memory for the samples the picture area shows the background.
  if (!sampledPicture.Paint(dc, dibBlockStart, dibBlockSize, dibLayout, stretch)) {
    PaintBackground(dc, stretch);
  }
}

void SetBar(HWND bar, int64_t maximum, int64_t position) {
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_POS;
  info.nMin = 0;
  info.nMax = Clamp32(maximum);
  info.nPos = Clamp32(position);
  SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

void SetBarPosition(HWND bar, int64_t position) {
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_POS;
  info.nPos = Clamp32(position);
  SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

void MoveBar(HWND bar, const BarRect& r) { MoveWindow(bar, r.x, r.y, r.width, r.height, TRUE); }

}  // namespace

// The pixel of the open picture shown at a client point, and its entry.
static bool PixelAt(HWND window, LPARAM point, int64_t* column, int64_t* row, uint8_t* entry) {
  return pictureFacts.state == PictureState::kOpened &&
         sampledPicture.ShownAt(CurrentStretch(window), GET_X_LPARAM(point), GET_Y_LPARAM(point), column, row,
                                entry);
}

void PointAtView(HWND window, LPARAM point) {
  int64_t column = 0, row = 0;
  uint8_t entry = 0;
  if (!PixelAt(window, point, &column, &row, &entry)) {
    ShowPixelLine(std::string());
    return;
  }
  if (!leaveTracked) {
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window, 0};
    leaveTracked = TrackMouseEvent(&track) != FALSE;
  }
  ShowPixelLine(PixelText(column, row, entry, paletteHistory.Entry(entry), IsJapanese()));
}

void LeaveView() {
  leaveTracked = false;
  ShowPixelLine(std::string());
}

void PickFromView(HWND window, LPARAM point) {
  int64_t column = 0, row = 0;
  uint8_t entry = 0;
  if (!PixelAt(window, point, &column, &row, &entry)) return;
  // The picture takes the keyboard, so Enter applies the colour to what was picked.
  SetFocus(window);
  PickEntry(entry);
}

void ShowOnlyEntry(HWND window, int32_t entry) {
  if (entry == shownOnlyEntry) return;
  shownOnlyEntry = entry;
  sampledPicture.ShowOnly(entry);
  if (window != nullptr && pictureFacts.state == PictureState::kOpened) InvalidatePictureArea(window, false);
}

void ReadImageViewSystemSizes() {
  minimumClientHeight = GetSystemMetrics(SM_CYMIN) + 20;
  horzScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
  vertScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
}

void CreateImageViewScrollBars(HWND window) {
  const RECT client = ClientOf(window);
  const int w = client.right;
  const int h = client.bottom;
  const int a = horzScrollHeight;
  const int b = vertScrollWidth;
  horzScrollBar = CreateWindowA("SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 0, h - a, w - b,
                                a, window, nullptr, appInstance, nullptr);
  vertScrollBar = CreateWindowA("SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, w - b, 20, b,
                                h - 20 - a, window, nullptr, appInstance, nullptr);
  if (horzScrollBar != nullptr) ShowWindow(horzScrollBar, SW_HIDE);
  if (vertScrollBar != nullptr) ShowWindow(vertScrollBar, SW_HIDE);
  horzScrollOffset = vertScrollOffset = 0;
  lastHorzOffset = lastVertOffset = 0;
}

LRESULT PaintImageView(HWND window) {
  ScopedPaint dc(window);
  if (pictureFacts.state == PictureState::kNoPicture) {
    const RECT client = ClientOf(window);
    const ui_core::Point32 at = ui_core::ClampedLogoPosition(kLook.logo, client.right, client.bottom);
    PaintLogo(dc, at.x, at.y);
    SetButtons(ButtonStates());
  } else if (pictureFacts.state == PictureState::kOpened) {
    PaintPicture(window, dc);
    const FreeScreen screen = {screenWidth,          screenHeight,         taskbarMargins.left,
                               taskbarMargins.top,   taskbarMargins.right, taskbarMargins.bottom};
    const PictureFacts& p = pictureFacts;
    SetButtons(PaintButtons(true, p.zoomLevel, p.fitLevel, dibLayout.width, dibLayout.height, screen,
                            paletteHistory.ChangeCounter()));
  }
  return 0;
}

void ShowViewTitle(HWND window) {
  SetWindowTextA(window, TitleText(pictureFacts.titleBase, pictureFacts.zoomLevel).c_str());
}

static void Zoom(HWND window, int32_t level) {
  if (level == pictureFacts.zoomLevel) return;
  pictureFacts.zoomLevel = level;
  WaitCursor wait;
  LayOutViewScrollBars(window);
  InvalidatePictureArea(window, true);
  ShowViewTitle(window);
}

void ZoomOut(HWND window) { Zoom(window, ZoomedOut(pictureFacts.zoomLevel)); }
void ZoomIn(HWND window) { Zoom(window, ZoomedIn(pictureFacts.zoomLevel)); }

void LayOutViewScrollBars(HWND window) {
  if (horzScrollBar == nullptr || vertScrollBar == nullptr) return;
  if (sizeGrip != nullptr) {
    DestroyWindow(sizeGrip);
    sizeGrip = nullptr;
  }
  if (IsWindowVisible(horzScrollBar)) ShowWindow(horzScrollBar, SW_HIDE);
  if (IsWindowVisible(vertScrollBar)) ShowWindow(vertScrollBar, SW_HIDE);
  if (pictureFacts.state != PictureState::kOpened) return;
  const RECT client = ClientOf(window);
  const PictureFacts& p = pictureFacts;
  const ScrollLayout l = LayOutScrollBars(dibLayout.width, dibLayout.height, p.zoomLevel, client.right,
                                          client.bottom, horzScrollHeight, vertScrollWidth);
  MoveBar(horzScrollBar, l.horizontal);
  MoveBar(vertScrollBar, l.vertical);
  horzShown = l.horizontalShown;
  vertShown = l.verticalShown;
  if (!horzShown) horzScrollOffset = lastHorzOffset = 0;
  if (!vertShown) vertScrollOffset = lastVertOffset = 0;
  SetBar(horzScrollBar, l.horizontalMax, horzScrollOffset);
  SetBar(vertScrollBar, l.verticalMax, vertScrollOffset);
  if (horzShown) ShowWindow(horzScrollBar, SW_SHOW);
  if (vertShown) ShowWindow(vertScrollBar, SW_SHOW);
  if (l.grip) {
    sizeGrip = CreateWindowA("SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP | SBS_VERT,
                             l.gripRect.x, l.gripRect.y, l.gripRect.width, l.gripRect.height,
                             window, nullptr, appInstance, nullptr);
  }
}

void InvalidatePictureArea(HWND window, bool erase) {
  const RECT client = ClientOf(window);
  RECT area = {0, kIconBand, client.right - (vertShown ? vertScrollWidth : 0),
               client.bottom - (horzShown ? horzScrollHeight : 0)};
  InvalidateRect(window, &area, erase ? TRUE : FALSE);
  UpdateWindow(window);
}

// The offset's bar and picture follow a new offset (a repaint only when it moved).
static void ApplyOffset(HWND window, bool vertical) {
  HWND bar = vertical ? vertScrollBar : horzScrollBar;
  const int64_t offset = vertical ? vertScrollOffset : horzScrollOffset;
  int64_t& last = vertical ? lastVertOffset : lastHorzOffset;
  if (offset == last) return;
  InvalidatePictureArea(window, false);
  SetBarPosition(bar, offset);
  last = offset;
}

static int64_t CurrentMaximum(HWND window, bool vertical) {
  const RECT client = ClientOf(window);
  return vertical ? ScrollMaximum(dibLayout.height, pictureFacts.zoomLevel,
                                  client.bottom - (horzShown ? horzScrollHeight : 0), kIconBand)
                  : ScrollMaximum(dibLayout.width, pictureFacts.zoomLevel,
                                  client.right - (vertShown ? vertScrollWidth : 0), 0);
}

// The view's length on the screen: the picture area between the bars.
static int64_t VisibleLength(HWND window, bool vertical) {
  const RECT client = ClientOf(window);
  return vertical ? client.bottom - (horzShown ? horzScrollHeight : 0) - kIconBand
                  : client.right - (vertShown ? vertScrollWidth : 0);
}

// Moves the view by whole notches of the wheel, or pages (kWheelPage), in
// screen distances at the current zoom.
static void MoveView(HWND window, bool vertical, int32_t notches, uint32_t lines) {
  int64_t& offset = vertical ? vertScrollOffset : horzScrollOffset;
  const ViewSteps steps = StepsOfView(VisibleLength(window, vertical), pictureFacts.zoomLevel);
  offset = WheelOffset(offset, notches, lines, steps, CurrentMaximum(window, vertical));
  ApplyOffset(window, vertical);
}

// Ctrl+wheel: a step as Zoom In or Zoom Out would take it (only while its
// button is enabled), the source pixel under the cursor kept under it as far
// as the picture's edges allow.
static void ZoomAtCursor(HWND window, bool in, LPARAM screenPoint) {
  HWND button = IconBarButton(in ? IDC_BAR_ZOOM_IN : IDC_BAR_ZOOM_OUT);
  if (button == nullptr || !IsWindowEnabled(button)) return;
  const int32_t level = pictureFacts.zoomLevel;
  const int32_t newLevel = in ? ZoomedIn(level) : ZoomedOut(level);
  if (newLevel == level) return;
  POINT at = {GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  ScreenToClient(window, &at);
  horzScrollOffset = OffsetKeepingPoint(horzScrollOffset, level, newLevel, at.x);
  vertScrollOffset = OffsetKeepingPoint(vertScrollOffset, level, newLevel, at.y - kIconBand);
  pictureFacts.zoomLevel = newLevel;
  WaitCursor wait;
  LayOutViewScrollBars(window);
  // The layout keeps a shown bar's offset: clamp it to the new range.
  for (const bool vertical : {false, true}) {
    int64_t& offset = vertical ? vertScrollOffset : horzScrollOffset;
    offset = ScrollOffset(offset, SB_ENDSCROLL, 0, CurrentMaximum(window, vertical));
    SetBarPosition(vertical ? vertScrollBar : horzScrollBar, offset);
    (vertical ? lastVertOffset : lastHorzOffset) = offset;
  }
  InvalidatePictureArea(window, true);
  ShowViewTitle(window);
}

void ScrollView(HWND window, bool vertical, WPARAM wParam) {
  HWND bar = vertical ? vertScrollBar : horzScrollBar;
  const int code = LOWORD(wParam);
  int64_t thumb = 0;
  if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(bar, SB_CTL, &info);
    thumb = info.nTrackPos;
  }
  int64_t& offset = vertical ? vertScrollOffset : horzScrollOffset;
  offset = ScrollOffset(offset, code, thumb, CurrentMaximum(window, vertical));
  ApplyOffset(window, vertical);
}

void WheelView(HWND window, bool sideways, WPARAM wParam, LPARAM lParam) {
  if (pictureFacts.state != PictureState::kOpened) return;
  const WORD keys = GET_KEYSTATE_WPARAM(wParam);
  const int32_t delta = GET_WHEEL_DELTA_WPARAM(wParam);
  if ((keys & MK_CONTROL) != 0 && !sideways) {
    static int32_t zoomRest = 0;
    const int32_t notches = TakeNotches(&zoomRest, delta);
    if (notches != 0) ZoomAtCursor(window, notches > 0, lParam);
    return;
  }
  // Shift turns the wheel sideways; a tilt wheel's delta counts to the right.
  const bool vertical = !sideways && (keys & MK_SHIFT) == 0;
  static int32_t rest[2] = {};
  const int32_t notches = TakeNotches(&rest[vertical ? 1 : 0], sideways ? -delta : delta);
  if (notches == 0 || !(vertical ? vertShown : horzShown)) return;
  UINT lines = 3;
  if (!SystemParametersInfoA(vertical ? SPI_GETWHEELSCROLLLINES : SPI_GETWHEELSCROLLCHARS, 0, &lines, 0)) {
    lines = 3;
  }
  MoveView(window, vertical, notches, lines);
}

bool KeyScrollView(HWND window, WPARAM key) {
  struct KeyStep {
    WPARAM key;
    bool vertical;
    int code;
  };
  // The arrows take the scroll bars' line steps, Page Up and Page Down move
  // by the view; Home and End move the vertical bar, or the horizontal one
  // when only that is shown.
  const bool endsVertical = vertShown || !horzShown;
  const KeyStep steps[] = {
      {VK_LEFT, false, SB_LINELEFT}, {VK_RIGHT, false, SB_LINERIGHT},
      {VK_UP, true, SB_LINEUP},      {VK_DOWN, true, SB_LINEDOWN},
      {VK_PRIOR, true, SB_PAGEUP},   {VK_NEXT, true, SB_PAGEDOWN},
      {VK_HOME, endsVertical, SB_TOP}, {VK_END, endsVertical, SB_BOTTOM},
  };
  for (const KeyStep& step : steps) {
    if (step.key != key) continue;
    if (pictureFacts.state != PictureState::kOpened || !(step.vertical ? vertShown : horzShown)) return true;
    if (step.code == SB_PAGEUP || step.code == SB_PAGEDOWN) {
      MoveView(window, step.vertical, step.code == SB_PAGEUP ? 1 : -1, kWheelPage);
    } else {
      ScrollView(window, step.vertical, MAKEWPARAM(step.code, 0));
    }
    return true;
  }
  return false;
}

void SizeView(HWND window, WPARAM sizeType) {
  if (sizeType == SIZE_MINIMIZED) {
    mainMinimised = true;
    // Only a palette window that minimising hid comes back with the restore;
    // one the user hid stays hidden.
    paletteHiddenByMinimise = paletteWindow != nullptr && IsWindowVisible(paletteWindow);
    if (paletteHiddenByMinimise) {
      ShowWindow(paletteWindow, SW_HIDE);
      paletteHidden = true;
    }
    return;
  }
  if (mainMinimised) {
    mainMinimised = false;
    if (paletteHiddenByMinimise && paletteWindow != nullptr && !IsWindowVisible(paletteWindow)) {
      ShowWindow(paletteWindow, SW_SHOWNOACTIVATE);
      paletteHidden = false;
    }
    paletteHiddenByMinimise = false;
    PostMessageA(window, kActivatePalette, 0, 0);
  }
  RECT box = {};
  GetWindowRect(window, &box);
  int32_t w = box.right - box.left;
  int32_t h = box.bottom - box.top;
  if (SmallestWindowSize(&w, &h, minimumClientHeight, horzShown, vertShown, horzScrollHeight)) {
    HDWP batch = BeginDeferWindowPos(1);
    if (batch != nullptr) {
      batch = DeferWindowPos(batch, window, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOMOVE);
      if (batch != nullptr) EndDeferWindowPos(batch);
    }
  }
}

void FitNewPicture(HWND window) {
  const RECT client = ClientOf(window);
  pictureFacts.fitLevel = fit::EditorFitLevel(dibLayout.width, dibLayout.height,
                                              client.right - client.left - vertScrollWidth,
                                              client.bottom - client.top - fit::kIconBarStrip - horzScrollHeight);
  pictureFacts.zoomLevel = pictureFacts.fitLevel;
}

void ShowNewPictureView(HWND window) {
  FitNewPicture(window);
  ResetImageView(window);
  LayOutViewScrollBars(window);
  InvalidatePictureArea(window, false);
  ShowViewTitle(window);
}

void ResetImageView(HWND window) {
  horzScrollOffset = vertScrollOffset = 0;
  lastHorzOffset = lastVertOffset = 0;
  horzShown = vertShown = false;
  if (sizeGrip != nullptr) {
    DestroyWindow(sizeGrip);
    sizeGrip = nullptr;
  }
  if (horzScrollBar != nullptr && IsWindowVisible(horzScrollBar)) ShowWindow(horzScrollBar, SW_HIDE);
  if (vertScrollBar != nullptr && IsWindowVisible(vertScrollBar)) ShowWindow(vertScrollBar, SW_HIDE);
  sampledPicture.Forget();
  InvalidatePictureArea(window, true);
}

}  // namespace kestro
