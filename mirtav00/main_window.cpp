// The shuffler's main window procedure and its start-up and shutdown. The
// picture commands and the settings dialog are routed here already; their
// handlers are filled in as Open, Randomize, the palette window and Save are
// built.
#include "mirtav00/main_window.h"

#include <string>

#include "common/bitmap/dib_block.h"
#include "common/ui/app_shell.h"
#include "common/ui/core/button_tables.h"
#include "common/ui/hover_caption.h"
#include "common/ui/icon_bar.h"
#include "common/ui/platform_style.h"
#include "common/ui/shell_state.h"
#include "common/ui/text.h"

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
  InsertMenuA(menu, 6, MF_BYPOSITION | MF_STRING, kSpecialSettingCommand, item.c_str());
}

// Picture commands, each built with its own window or command.
void OpenCommand(HWND) {}       // Open BMP: not built yet, does nothing.
void RandomizePalette(HWND) {}  // Randomize PLT: not built yet, does nothing.
void CopyPalette(HWND) {}       // Copy PLT: not built yet, does nothing.
void SaveImage(HWND) {}         // Save Image: not built yet, does nothing.
void SettingsDialog(HWND) {}    // "S&pecial setting...": not built yet, does nothing.
void PaintPicture(HWND, HDC) {} // The open picture: not built yet, draws nothing.

LRESULT OnCreate(HWND window) {
  mainWindow = window;
  buttonFaceColour = GetSysColor(COLOR_BTNFACE);
  faceColourKnown = true;
  DetectLanguage(window);
  DetectPlatformStyle();
  styleDetected = true;
  InitialiseMainWindow(window);
  return 0;
}

void DisablePictureButtons() {
  const int ids[] = {ui_core::kMirtavRandomizeId, ui_core::kMirtavCopyId, ui_core::kMirtavSaveId};
  EnableIconBarButtons(ids, false);
}

LRESULT OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (PictureState == NoPicture) {
    RECT client = {};
    GetClientRect(window, &client);
    const ui_core::Point32 at = ui_core::MirtavLogoPosition(client.right, client.bottom);
    PaintLogo(dc, at.x, at.y, ui_core::kMirtavLogoWidth, ui_core::kMirtavLogoHeight);
    DisablePictureButtons();
  } else {
    PaintPicture(window, dc);
  }
  EndPaint(window, &paint);
  return 0;
}

LRESULT OnSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
  DefWindowProcA(window, WM_SETCURSOR, wParam, lParam);
  UpdateHoverCaption(window);
  return 0;
}

LRESULT OnCommand(HWND window, WPARAM wParam) {
  const int command = LOWORD(wParam);
  if (command < 101 || command > 107) return 0;
  CaptionFreeCommand captionFree(window);
  switch (command) {
    case 101: OpenCommand(window); break;
    case 102: RandomizePalette(window); break;
    case 103: CopyPalette(window); break;
    case 104: SaveImage(window); break;
    case 105: ShowAboutBox(window); break;
    case 106: OpenReadme(window); break;
    case 107: QuitProgram(); break;
  }
  return 0;
}

LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == kSpecialSettingCommand) {
    SettingsDialog(window);
    return 0;
  }
  return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
}

}  // namespace

void ReadMirtavSystemSizes() { paletteWindowOffset = GetSystemMetrics(SM_CYCAPTION) + 25; }

void InitialiseMainWindow(HWND window) {
  if (FindRunningCopy(kProductNames, 2)) {
    Refuse(window);
    return;
  }
  SetWindowTextA(window, ToAnsi(Pick("Mirtav", "ミルタヴ")).c_str());
  ShowStartupLogo(window, ui_core::kMirtavLogoWidth, ui_core::kMirtavLogoHeight,
                  ui_core::MirtavLogoPosition);
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

LRESULT CALLBACK MirtavMainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: QuitProgram(); return 0;
    case WM_PAINT: return OnPaint(window);
    case WM_SETCURSOR: return OnSetCursor(window, wParam, lParam);
    case WM_COMMAND: return OnCommand(window, wParam);
    case WM_SYSCOMMAND: return OnSysCommand(window, wParam, lParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}
