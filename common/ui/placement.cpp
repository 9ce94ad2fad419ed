// Where the main window goes: the desktop list of a "Progman" shell or the
// work area, the taskbar margins measured from it, the placement clear of
// them, and the display depth the programs refuse.
#include "common/ui/app_shell.h"

#include <string>

#include "common/base/shell_state.h"

ui_core::WindowBox mainWindowBox = {0, 0, 0, 0};
ui_core::TaskbarMargins taskbarMargins;

namespace {

BOOL CALLBACK TestDesktopWindow(HWND window, LPARAM param) {
  char className[256] = {};
  GetClassNameA(window, className, 256);
  if (std::string(className).find("Progman") == std::string::npos) return TRUE;
  HWND child = GetWindow(window, GW_CHILD);
  if (child == nullptr) return TRUE;
  HWND grandchild = GetWindow(child, GW_CHILD);
  if (grandchild == nullptr) return TRUE;
  *reinterpret_cast<HWND*>(param) = grandchild;
  return FALSE;
}

}  // namespace

HWND FindDesktopList() {
  HWND list = nullptr;
  EnumWindows(TestDesktopWindow, reinterpret_cast<LPARAM>(&list));
  return list;
}

void MeasureTaskbarMargins(HWND desktopList) {
  RECT r = {0, 0, screenWidth, screenHeight};
  if (desktopList != nullptr) {
    GetWindowRect(desktopList, &r);
  } else if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) {
    r = RECT{0, 0, screenWidth, screenHeight};
  }
  const ui_core::ScreenRect desktop{static_cast<int32_t>(r.left), static_cast<int32_t>(r.top),
                                    static_cast<int32_t>(r.right), static_cast<int32_t>(r.bottom)};
  taskbarMargins = ui_core::MarginsFromDesktop(desktop, screenWidth, screenHeight, taskbarMargins);
}

void PlaceMainWindow(HWND window) {
  if (IsIconic(window)) return;
  const ui_core::Point32 at = ui_core::PlacementClearOfTaskbar(
      taskbarMargins, screenWidth, screenHeight, mainWindowBox.width, mainWindowBox.height,
      mainWindowBox.left, mainWindowBox.top);
  HDWP batch = BeginDeferWindowPos(1);
  if (batch != nullptr) {
    batch = DeferWindowPos(batch, window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (batch != nullptr) EndDeferWindowPos(batch);
  }
  mainWindowBox.left = at.x;
  mainWindowBox.top = at.y;
}

bool DisplayHasTooFewColours() {
  HDC info = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
  // A depth that cannot be read is no reason to refuse.
  if (info == nullptr) return false;
  const int bits = GetDeviceCaps(info, BITSPIXEL);
  DeleteDC(info);
  return ui_core::DisplayDepthRefused(bits);
}
