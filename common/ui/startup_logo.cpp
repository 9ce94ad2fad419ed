// The start-up logo: loaded into a memory surface when the main window first
// shows, copied onto the window by its paint until the first picture is
// opened, then released.
#include "common/ui/app_shell.h"

#include "common/base/gdi_guards.h"
#include "common/base/shell_state.h"
#include "common/ui/program_description.h"
#include "resources/common/framework_ids.h"

HDC logoSurface = nullptr;

namespace {

HBITMAP logoBitmap = nullptr;
HGDIOBJ logoSurfacePrevious = nullptr;

}  // namespace

void ShowStartupLogo(HWND window) {
  ReleaseLogoSurface();
  logoBitmap = LoadBitmapA(appInstance, RES_NAME_LOGO);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  RECT client = {};
  GetClientRect(window, &client);
  ScopedGetDC dc(window);
  if (dc == nullptr) return;
  // The surface outlives this call (the paint copies from it), so no guard.
  logoSurface = CreateCompatibleDC(dc);
  if (logoSurface != nullptr && logoBitmap != nullptr) {
    logoSurfacePrevious = SelectObject(logoSurface, logoBitmap);
    const ui_core::LogoGeometry& logo = runningProgram->look->logo;
    const ui_core::Point32 p = ui_core::StartupLogoPosition(logo, client.right, client.bottom);
    PaintLogo(dc, p.x, p.y);
  }
}

void PaintLogo(HDC dc, int x, int y) {
  // Without the bitmap the surface holds only its 1 x 1 default: draw nothing.
  if (logoSurface == nullptr || logoBitmap == nullptr) return;
  const ui_core::LogoGeometry& logo = runningProgram->look->logo;
  BitBlt(dc, x, y, logo.width, logo.height, logoSurface, 0, 0, SRCCOPY);
}

void ReleaseLogoSurface() {
  if (logoSurface != nullptr) {
    if (logoSurfacePrevious != nullptr) SelectObject(logoSurface, logoSurfacePrevious);
    DeleteDC(logoSurface);
  }
  if (logoBitmap != nullptr) DeleteObject(logoBitmap);
  logoSurface = nullptr;
  logoSurfacePrevious = nullptr;
  logoBitmap = nullptr;
}
