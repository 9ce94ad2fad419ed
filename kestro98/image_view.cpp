#include "kestro98/image_view.h"

#include "common/base/gdi_guards.h"
#include "common/base/shell_state.h"
#include "common/ui/app_shell.h"
#include "common/ui/icon_bar.h"
#include "kestro98/bar_tables.h"
#include "kestro98/main_window.h"
#include "resources/kestro98/resource.h"

namespace kestro {

int pictureWidth = 0;
int pictureHeight = 0;
int zoomLevel = 0;
int fitLevel = 0;
int horzScrollHeight = 0;
int vertScrollWidth = 0;
int minimumClientHeight = 0;
HWND horzScrollBar = nullptr;
HWND vertScrollBar = nullptr;
int horzScrollOffset = 0;
int vertScrollOffset = 0;

namespace {

void PaintPicture(HWND, HDC) {}  // The open picture: not built yet, draws nothing.

void DisablePictureButtons() {
  const int ids[] = {IDC_BAR_ZOOM_OUT, IDC_BAR_ZOOM_IN, IDC_BAR_POPUP_WINDOW, IDC_BAR_COPY,
                     IDC_BAR_SAVE_IMAGE};
  EnableIconBarButtons(ids, false);
}

}  // namespace

void ReadImageViewSystemSizes() {
  minimumClientHeight = GetSystemMetrics(SM_CYMIN) + 20;
  horzScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
  vertScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
}

void CreateImageViewScrollBars(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
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
  horzScrollOffset = 0;
  vertScrollOffset = 0;
}

LRESULT PaintImageView(HWND window) {
  ScopedPaint dc(window);
  if (pictureState == 0) {
    RECT client = {};
    GetClientRect(window, &client);
    const ui_core::Point32 at = ui_core::ClampedLogoPosition(kLook.logo, client.right, client.bottom);
    PaintLogo(dc, at.x, at.y);
    DisablePictureButtons();
  } else if (pictureState == 1) {
    PaintPicture(window, dc);
  }
  return 0;
}

}  // namespace kestro
