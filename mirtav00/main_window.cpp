// The shuffler's main window procedure and its start-up and shutdown. The
// picture commands and the settings dialog are routed here already; their
// handlers are filled in as Open, Randomize, the palette window and Save are
// built.
#include "mirtav00/main_window.h"

#include <string>

#include "common/base/gdi_guards.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "common/ui/app_shell.h"
#include "common/ui/icon_bar.h"
#include "mirtav00/bar_tables.h"
#include "resources/mirtav00/resource.h"

namespace mirtav {

int PictureState = NoPicture;
int showPaletteWindow = kShowPaletteYes;
const char* paletteWindowTitle = "Color Palette";
int paletteWindowOffset = 0;

namespace {

// The product name in both languages: a window carrying either means a copy runs.
const char* const kProductNames[] = {"Mirtav", "ミルタヴ"};

void Refuse(HWND window) { SendMessageA(window, WM_CLOSE, 0, 0); }

void AddSpecialSettingItem(HWND window) {
  HMENU menu = GetSystemMenu(window, FALSE);
  if (menu == nullptr) return;
  InsertMenuA(menu, 5, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  const std::string item = ToAnsi(Pick("S&pecial setting...", "特殊な設定(&P)..."));
  InsertMenuA(menu, 6, MF_BYPOSITION | MF_STRING, IDM_SPECIAL_SETTING, item.c_str());
}

// Picture commands, each built with its own window or command.
void OpenCommand(HWND) {}       // Open BMP: not built yet, does nothing.
void RandomizePalette(HWND) {}  // Randomize PLT: not built yet, does nothing.
void CopyPalette(HWND) {}       // Copy PLT: not built yet, does nothing.
void SaveImage(HWND) {}         // Save Image: not built yet, does nothing.
void SettingsDialog(HWND) {}    // "S&pecial setting...": not built yet, does nothing.
void PaintPicture(HWND, HDC) {} // The open picture: not built yet, draws nothing.

void DisablePictureButtons() {
  const int ids[] = {IDC_BAR_RANDOMIZE_PLT, IDC_BAR_COPY_PLT, IDC_BAR_SAVE_IMAGE};
  EnableIconBarButtons(ids, false);
}

LRESULT OnPaint(HWND window) {
  ScopedPaint dc(window);
  if (PictureState == NoPicture) {
    RECT client = {};
    GetClientRect(window, &client);
    const ui_core::Point32 at = ui_core::StartupLogoPosition(kLook.logo, client.right, client.bottom);
    PaintLogo(dc, at.x, at.y);
    DisablePictureButtons();
  } else {
    PaintPicture(window, dc);
  }
  return 0;
}

LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDM_SPECIAL_SETTING) {
    SettingsDialog(window);
    return 0;
  }
  return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
}

}  // namespace

void RunCommand(HWND window, int command) {
  switch (command) {
    case IDM_OPEN: OpenCommand(window); break;
    case IDM_RANDOMIZE_PLT: RandomizePalette(window); break;
    case IDM_COPY_PLT: CopyPalette(window); break;
    case IDM_SAVE_IMAGE: SaveImage(window); break;
  }
}

void ReadSystemSizes() { paletteWindowOffset = GetSystemMetrics(SM_CYCAPTION) + 25; }

void InitialiseMainWindow(HWND window) {
  if (FindRunningCopy(kProductNames, 2)) {
    Refuse(window);
    return;
  }
  SetWindowTextA(window, ToAnsi(Pick("Mirtav", "ミルタヴ")).c_str());
  ShowStartupLogo(window);
  PictureState = NoPicture;
  paletteWindowTitle = Pick("Color Palette", "カラーパレット");
  FormReadmePath("MIRTAV00.EXE", "MIRTAV0", 256);
  AddSpecialSettingItem(window);
  showPaletteWindow = kShowPaletteYes;
}

void QuitProgram() {
  // Whatever is held goes: the logo before the first Open, the picture after.
  ReleaseLogoSurface();
  ReleaseDibBlock();
  const std::string title = ToAnsi(paletteWindowTitle);
  HWND palette = FindWindowExA(nullptr, nullptr, "pPaletteWindow", title.c_str());
  // Only this process's own palette window; a second copy's is not ours to close.
  DWORD owner = 0;
  if (palette != nullptr) GetWindowThreadProcessId(palette, &owner);
  if (palette != nullptr && owner == GetCurrentProcessId()) {
    DestroyWindow(palette);
    UnregisterClassA("pPaletteWindow", appInstance);
  }
  PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: return OnPaint(window);
    case WM_SYSCOMMAND: return OnSysCommand(window, wParam, lParam);
    default: return ShellMainWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace mirtav
