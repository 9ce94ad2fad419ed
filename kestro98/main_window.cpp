// The colour editor's main window procedure and its start-up and shutdown:
// painting, sizing and scrolling go to the image view, the palette window's
// posted messages (kRepaintPicture, kHidePalette) and the size handling's
// kActivatePalette come here.
#include "kestro98/main_window.h"

#include <string>

#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "common/ui/app_shell.h"
#include "kestro98/copy_command.h"
#include "kestro98/image_view.h"
#include "kestro98/open_command.h"
#include "kestro98/palette_window.h"
#include "kestro98/save_command.h"
#include "resources/kestro98/resource.h"

namespace kestro {

int pictureState = -1;
const char* titlePrefix = "Kestro - ";
const char* paletteWindowTitle = "Kestro";

namespace {

// "Close" during creation: the window is destroyed before CreateWindowA returns.
void Refuse(HWND window) { SendMessageA(window, WM_CLOSE, 0, 0); }

// kActivatePalette after a restore: the palette window comes forward.
void ActivatePaletteWindow() {
  if (paletteWindow != nullptr && IsWindowVisible(paletteWindow) &&
      GetActiveWindow() != paletteWindow) {
    SetActiveWindow(paletteWindow);
  }
}

}  // namespace

void RunCommand(HWND window, int command) {
  switch (command) {
    case IDM_OPEN: OpenCommand(window); break;
    case IDM_ZOOM_OUT: ZoomOut(window); break;
    case IDM_ZOOM_IN: ZoomIn(window); break;
    case IDM_POPUP_WINDOW: BringPaletteWindowForward(); break;
    case IDM_COPY: CopyImageCommand(window); break;
    case IDM_SAVE_IMAGE: SaveImageCommand(window); break;
  }
}

void StartUp(HWND window) {
  LoadTitleStrings();
  InitialiseMainWindow(window);
}

void LoadTitleStrings() {
  titlePrefix = Pick("Kestro - ", "ＢＭＰケストロ - ");
  paletteWindowTitle = Pick("Kestro", "ケストロ");
}

void InitialiseMainWindow(HWND window) {
  if (FindRunningCopy(&titlePrefix, 1)) {
    Refuse(window);
    return;
  }
  // Without a "Progman" desktop the work area tells the margins; that alone
  // is no reason to refuse.
  MeasureTaskbarMargins(FindDesktopList());
  PlaceMainWindow(window);
  if (DisplayHasTooFewColours()) {
    Refuse(window);
    return;
  }
  const std::string title = std::string(titlePrefix) + Pick("(No title)", "(無題)");
  SetWindowTextA(window, ToAnsi(title.c_str()).c_str());
  ShowStartupLogo(window);
  pictureState = 0;
  FormReadmePath("KESTRO98.EXE", "KESTRO9", 258);
  CreateImageViewScrollBars(window);
}

void QuitProgram() {
  // Whatever is held goes: the palette window, the logo before the first
  // Open, the picture after.
  DestroyPaletteWindow();
  ReleaseLogoSurface();
  ReleaseDibBlock();
  PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: return PaintImageView(window);
    case WM_SIZE:
      LayOutViewScrollBars(window);
      SizeView(window, wParam);
      return 0;
    case WM_HSCROLL: ScrollView(window, false, wParam); return 0;
    case WM_VSCROLL: ScrollView(window, true, wParam); return 0;
    case kRepaintPicture: InvalidatePictureArea(window, false); return 0;
    case kHidePalette: HidePaletteWindow(window); return 0;
    case kActivatePalette: ActivatePaletteWindow(); return 0;
    case WM_ENABLE: EnablePaletteWindow(wParam != FALSE); return 0;
    default: return ShellMainWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace kestro
