// The colour editor's main window procedure and its start-up and shutdown.
// The picture commands are routed here already; their handlers are filled
// in as the image view, the palette window, Open, Copy and Save are built.
#include "kestro98/main_window.h"

#include <string>

#include "common/bitmap/dib_block.h"
#include "common/ui/app_shell.h"
#include "common/ui/core/button_tables.h"
#include "common/ui/hover_caption.h"
#include "common/ui/icon_bar.h"
#include "common/ui/platform_style.h"
#include "common/ui/shell_state.h"
#include "common/ui/text.h"
#include "kestro98/load_bitmap.h"

int pictureState = -1;
const char* titlePrefix = "Kestro - ";
const char* paletteWindowTitle = "Kestro";
const char* openDialogTitle = "Select a bitmap file to open.";
const char* saveDialogTitle = "Assign a BMP or TIF file to save.";
int minimumClientHeight = 0;
HWND horzScrollBar = nullptr;
HWND vertScrollBar = nullptr;
int horzScrollOffset = 0;
int vertScrollOffset = 0;

namespace {

// "Close" during creation: the window is destroyed before CreateWindowA returns.
void Refuse(HWND window) { SendMessageA(window, WM_CLOSE, 0, 0); }

void CreateHiddenScrollBars(HWND window) {
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

// Picture commands, each built with its own window or command.
void OpenCommand(HWND) {}         // Open BMP: not built yet, does nothing.
void ZoomOut(HWND) {}             // Zoom Out: not built yet, does nothing.
void ZoomIn(HWND) {}              // Zoom In: not built yet, does nothing.
void PopupPaletteWindow(HWND) {}  // Popup Window: not built yet, does nothing.
void CopyImage(HWND) {}           // Copy: not built yet, does nothing.
void SaveImage(HWND) {}           // Save Image: not built yet, does nothing.
void PaintPicture(HWND, HDC) {}   // The open picture: not built yet, draws nothing.

LRESULT OnCreate(HWND window) {
  mainWindow = window;
  buttonFaceColour = GetSysColor(COLOR_BTNFACE);
  DetectLanguage(window);
  DetectPlatformStyle();
  styleDetected = true;
  LoadTitleStrings();
  InitialiseMainWindow(window);
  return 0;
}

void DisablePictureButtons() {
  const int ids[] = {ui_core::kKestroZoomOutId, ui_core::kKestroZoomInId, ui_core::kKestroPopupId,
                     ui_core::kKestroCopyId, ui_core::kKestroSaveId};
  EnableIconBarButtons(ids, false);
}

LRESULT OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (pictureState == 0) {
    RECT client = {};
    GetClientRect(window, &client);
    const ui_core::Point32 at = ui_core::KestroLogoPosition(client.right, client.bottom);
    PaintLogo(dc, at.x, at.y, ui_core::kKestroLogoWidth, ui_core::kKestroLogoHeight);
    DisablePictureButtons();
  } else if (pictureState == 1) {
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
  if (command < 101 || command > 109) return 0;
  CaptionFreeCommand captionFree(window);
  switch (command) {
    case 101: OpenCommand(window); break;
    case 102: ZoomOut(window); break;
    case 103: ZoomIn(window); break;
    case 104: PopupPaletteWindow(window); break;
    case 105: CopyImage(window); break;
    case 106: SaveImage(window); break;
    case 107: ShowAboutBox(window); break;
    case 108: OpenReadme(window); break;
    case 109: QuitProgram(); break;
  }
  return 0;
}

}  // namespace

void ReadKestroSystemSizes() {
  minimumClientHeight = GetSystemMetrics(SM_CYMIN) + 20;
  horzScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
  vertScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
}

void LoadTitleStrings() {
  titlePrefix = Pick("Kestro - ", "ＢＭＰケストロ - ");
  paletteWindowTitle = Pick("Kestro", "ケストロ");
  openDialogTitle = Pick("Select a bitmap file to open.", "開くBitmapファイルの選択");
  saveDialogTitle = Pick("Assign a BMP or TIF file to save.", "保存するBitmap or Tifファイルの指定");
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
  ShowStartupLogo(window, ui_core::kKestroLogoWidth, ui_core::kKestroLogoHeight,
                  ui_core::KestroLogoPosition);
  pictureState = 0;
  FormReadmePath("KESTRO98.EXE", "KESTRO9", 258);
  CreateHiddenScrollBars(window);
}

void QuitProgram() {
  // Whatever is held goes: the logo before the first Open, the picture after.
  // The palette window joins this once it exists.
  ReleaseLogoSurface();
  ReleaseDibBlock();
  PostQuitMessage(0);
}

LRESULT CALLBACK KestroMainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: QuitProgram(); return 0;
    case WM_PAINT: return OnPaint(window);
    case WM_SETCURSOR: return OnSetCursor(window, wParam, lParam);
    case WM_COMMAND: return OnCommand(window, wParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}
