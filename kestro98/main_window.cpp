// The colour editor's main window procedure, its start-up and shutdown, and
// the description the editor hands the shared framework (kDescription):
// painting, sizing and scrolling go to the image view, the palette window's
// posted messages (kRepaintPicture, kHidePalette) and the size handling's
// kActivatePalette come here.
#include "kestro98/main_window.h"

#include <string>

#include "common/base/core/path_text.h"
#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "common/ui/app_shell.h"
#include "kestro98/bar_tables.h"
#include "kestro98/copy_command.h"
#include "kestro98/core/messages.h"
#include "kestro98/core/open_rules.h"
#include "kestro98/description.h"
#include "kestro98/image_view.h"
#include "kestro98/open_command.h"
#include "kestro98/palette_window.h"
#include "kestro98/picture.h"
#include "kestro98/save_command.h"
#include "resources/kestro98/resource.h"

namespace kestro {

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

// Colours changed and not kept in any file: the question first.
bool MayLeavePicture(HWND window) {
  if (pictureFacts.state != PictureState::kOpened || !paletteHistory.HasUnsavedColours()) return true;
  return AskBeforeLeaving(window, path_text::FileNameOf(pictureFacts.sourcePath.c_str(), IsJapanese()),
                          SaveImageCommand);
}

void OpenPath(HWND window, const std::string& path) { OpenPicturePath(window, path, MayLeavePicture); }

// The keys of the palette history, which no icon-bar button sends.
bool RunHistoryKey(int command) {
  switch (command) {
    case IDM_UNDO_KEY: UndoChange(); return true;
    case IDM_REDO_KEY: RedoChange(); return true;
    default: return false;
  }
}

}  // namespace

void RunCommand(HWND window, int command) {
  switch (command) {
    case IDM_OPEN: OpenCommand(window, MayLeavePicture); break;
    case IDM_ZOOM_OUT: ZoomOut(window); break;
    case IDM_ZOOM_IN: ZoomIn(window); break;
    case IDM_POPUP_WINDOW: BringPaletteWindowForward(); break;
    case IDM_COPY: CopyImageCommand(window); break;
    case IDM_SAVE_IMAGE: SaveImageCommand(window); break;
  }
}

void StartUp(HWND window) { InitialiseMainWindow(window); }

void InitialiseMainWindow(HWND window) {
  const char* prefix = TitlePrefix();
  if (FindRunningCopy(&prefix, 1)) {
    HandPathToRunningCopy();
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
  const std::string title = std::string(TitlePrefix()) + Pick("(No title)", "(無題)");
  SetWindowTextA(window, ToAnsi(title.c_str()).c_str());
  ShowStartupLogo(window);
  pictureFacts.state = PictureState::kNoPicture;
  FormReadmePath("KESTRO98.EXE", "KESTRO9", 258);
  CreateImageViewScrollBars(window);
  RegisterPaletteWindowClass();
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
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: WheelView(window, message == WM_MOUSEHWHEEL, wParam, lParam); return 0;
    case WM_KEYDOWN:
      if (KeyScrollView(window, wParam)) return 0;
      return ShellMainWindowProc(window, message, wParam, lParam);
    case WM_COMMAND:
      if (RunHistoryKey(LOWORD(wParam))) return 0;
      return ShellMainWindowProc(window, message, wParam, lParam);
    case WM_VSCROLL: ScrollView(window, true, wParam); return 0;
    case WM_MOUSEMOVE: PointAtView(window, lParam); return 0;
    case WM_MOUSELEAVE: LeaveView(); return 0;
    case WM_LBUTTONDOWN: PickFromView(window, lParam); return 0;
    case kRepaintPicture: InvalidatePictureArea(window, false); return 0;
    case kHidePalette: HidePaletteWindow(window); return 0;
    case kActivatePalette: ActivatePaletteWindow(); return 0;
    case WM_ENABLE: EnablePaletteWindow(wParam != FALSE); return 0;
    default: return ShellMainWindowProc(window, message, wParam, lParam);
  }
}

// ---- what the program hands the shared framework ----

namespace {

const TiffWriterMessages kTiffMessages = {kMsgTiffCannotCreate, kMsgTiffCannotWrite};

}  // namespace

const ProgramDescription kDescription = {
    "KESTRO98",
    "Kestro_Main",
    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX,  // resizable, no maximise box
    8,
    MainWindowProc,
    ReadImageViewSystemSizes,
    StartUp,
    IDM_ABOUT,
    IDM_HELP,
    IDM_EXIT,
    RunCommand,
    QuitProgram,
    OpenPath,
    MayLeavePicture,
    &kLook,
    kMsgReadmeMissing,
    kMsgNoViewer,
    kMsgDialogNotShown,
    &kTiffMessages,
    TakePaletteKey,
};

}  // namespace kestro
