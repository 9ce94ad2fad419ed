// The shuffler's main window procedure, its paint (the logo, or the open
// picture reduced to fit) with the picture buttons set by PictureState, and
// its start-up and shutdown. Each command lives in a file of its own.
#include "mirtav00/main_window.h"

#include <string>

#include "common/base/gdi_guards.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/sampled_paint.h"
#include "common/ui/app_shell.h"
#include "common/ui/icon_bar.h"
#include "mirtav00/bar_tables.h"
#include "mirtav00/load_bitmap.h"
#include "mirtav00/open_command.h"
#include "mirtav00/palette_window.h"
#include "mirtav00/randomize_command.h"
#include "mirtav00/save_command.h"
#include "mirtav00/settings_dialog.h"
#include "resources/mirtav00/resource.h"

namespace mirtav {

int PictureState = NoPicture;
int showPaletteWindow = kShowPaletteYes;
const char* paletteWindowTitle = "Color Palette";
int paletteWindowOffset = 0;

namespace {

// The product name in both languages: a window carrying either means a copy runs.
const char* const kProductNames[] = {"Mirtav", "ミルタヴ"};

constexpr UINT kRestackPalette = WM_APP + 1;

void Refuse(HWND window) { SendMessageA(window, WM_CLOSE, 0, 0); }

void AddSpecialSettingItem(HWND window) {
  HMENU menu = GetSystemMenu(window, FALSE);
  if (menu == nullptr) return;
  InsertMenuA(menu, 5, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  const std::string item = ToAnsi(Pick("S&pecial setting...", "特殊な設定(&P)..."));
  InsertMenuA(menu, 6, MF_BYPOSITION | MF_STRING, IDM_SPECIAL_SETTING, item.c_str());
}

void SetPictureButtons(const PictureButtons& buttons) {
  if (!buttons.apply) return;
  const int randomize[] = {IDC_BAR_RANDOMIZE_PLT};
  const int copy[] = {IDC_BAR_COPY_PLT};
  const int save[] = {IDC_BAR_SAVE_IMAGE};
  EnableIconBarButtons(randomize, buttons.randomize);
  EnableIconBarButtons(copy, buttons.copy);
  EnableIconBarButtons(save, buttons.save);
}

// The samples of the shown picture, kept until the window's size, the
// picture or its pixels change.
SampledPaint sampledPicture;

// The open picture at 1 / reductionFactor from the block's own colours.
void PaintPicture(HWND window, HDC dc) {
  if (dibBlockHandle == nullptr) return;
  if (LockDibBlock(window)) {
    RECT client = {};
    GetClientRect(window, &client);
    const sampling::Stretch stretch = PictureStretch(dibLayout.width, dibLayout.height,
                                                     reductionFactor, client.right, client.bottom);
    if (!sampledPicture.Paint(dc, dibBlockStart, dibBlockSize, dibLayout, stretch)) {
      PaintBackground(dc, stretch);
    }
  }
  UnlockDibBlock();
}

LRESULT OnPaint(HWND window) {
  ScopedPaint dc(window);
  if (PictureState == NoPicture) {
    RECT client = {};
    GetClientRect(window, &client);
    const ui_core::Point32 at = ui_core::StartupLogoPosition(kLook.logo, client.right, client.bottom);
    PaintLogo(dc, at.x, at.y);
  } else {
    PaintPicture(window, dc);
  }
  SetPictureButtons(ButtonsFor(PictureState, dibBlockHandle != nullptr));
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

void ForgetPictureSamples() { sampledPicture.Forget(); }

void RepaintPicture(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  RECT below = {0, kPictureTop, client.right, client.bottom};
  InvalidateRect(window, &below, TRUE);
  UpdateWindow(window);
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
  ForgetPictureSamples();
  DestroyPaletteWindow();
  PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: return OnPaint(window);
    case WM_SYSCOMMAND: return OnSysCommand(window, wParam, lParam);
    case WM_ACTIVATE:
      // After the activation has run its course (see KeepPaletteWindowInFront).
      if (LOWORD(wParam) != WA_INACTIVE) PostMessageA(window, kRestackPalette, 0, 0);
      return DefWindowProcA(window, message, wParam, lParam);
    case kRestackPalette: KeepPaletteWindowInFront(); return 0;
    default: return ShellMainWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace mirtav
