// The shuffler's main window procedure, its paint (the logo, or the open
// picture through picture_view) with the picture buttons set by the
// picture's state, its start-up and shutdown, and the description the
// shuffler hands the shared framework (kDescription). Each command lives in a
// file of its own.
#include "mirtav00/main_window.h"

#include <string>

#include "common/base/core/path_text.h"
#include "common/base/gdi_guards.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "common/ui/app_shell.h"
#include "common/ui/icon_bar.h"
#include "mirtav00/bar_tables.h"
#include "mirtav00/batch_arrange.h"
#include "mirtav00/core/view_rules.h"
#include "mirtav00/description.h"
#include "mirtav00/load_bitmap.h"
#include "mirtav00/open_command.h"
#include "mirtav00/palette_window.h"
#include "mirtav00/picture.h"
#include "mirtav00/picture_view.h"
#include "mirtav00/randomise_command.h"
#include "mirtav00/save_command.h"
#include "mirtav00/settings_dialog.h"
#include "resources/mirtav00/resource.h"

namespace mirtav {

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

void SetPictureButtons(const PictureButtons& buttons) {
  if (!buttons.apply) return;
  const int randomise[] = {IDC_BAR_RANDOMISE_PLT};
  const int copy[] = {IDC_BAR_COPY_PLT};
  const int save[] = {IDC_BAR_SAVE_IMAGE};
  EnableIconBarButtons(randomise, buttons.randomise);
  EnableIconBarButtons(copy, buttons.copy);
  EnableIconBarButtons(save, buttons.save);
}

LRESULT OnPaint(HWND window) {
  ScopedPaint dc(window);
  if (pictureState == PictureState::kOpened || pictureState == PictureState::kChanged) {
    PaintPictureView(window, dc);
  } else {
    RECT client = {};
    GetClientRect(window, &client);
    const ui_core::Point32 at = ui_core::StartupLogoPosition(kLook.logo, client.right, client.bottom);
    PaintLogo(dc, at.x, at.y);
  }
  SetPictureButtons(ButtonsFor(pictureState, dibBlockHandle != nullptr));
  return 0;
}

LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDM_SPECIAL_SETTING) {
    SettingsDialog(window);
    return 0;
  }
  return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
}

// A randomised order not yet saved: the question first.
bool MayLeavePicture(HWND window) {
  if (!OrderUnsaved()) return true;
  return AskBeforeLeaving(window, path_text::FileNameOf(shufflerPicture.openPath, IsJapanese()), SaveImage);
}

void OpenPath(HWND window, const std::string& path) { OpenPicturePath(window, path, MayLeavePicture); }

// The order's commands, which no icon-bar button sends: from the keys and
// from the palette window's menu.
bool RunOrderCommand(HWND window, int command) {
  switch (command) {
    case IDM_UNDO_ORDER: UndoOrder(window); return true;
    case IDM_REDO_ORDER: RedoOrder(window); return true;
    case IDM_SORT_BY_HUE: SortPalette(window, SortKey::kHue); return true;
    case IDM_SORT_BY_LIGHTNESS: SortPalette(window, SortKey::kLightness); return true;
    case IDM_SORT_BY_USE: SortPalette(window, SortKey::kUse); return true;
    case IDM_REMOVE_UNUSED: RemoveUnusedEntries(window); return true;
    case IDM_MERGE_DUPLICATES: MergeDuplicateColours(window); return true;
    default: return false;
  }
}

}  // namespace

void RunCommand(HWND window, int command) {
  switch (command) {
    case IDM_OPEN: OpenCommand(window, MayLeavePicture); break;
    case IDM_RANDOMISE_PLT: RandomisePalette(window); break;
    case IDM_COPY_PLT: CopyPalette(window); break;
    case IDM_SAVE_IMAGE: SaveImage(window); break;
  }
}

void ReadSystemSizes() { paletteWindowOffset = GetSystemMetrics(SM_CYCAPTION) + 25; }

void InitialiseMainWindow(HWND window) {
  if (FindRunningCopy(kProductNames, 2)) {
    HandPathToRunningCopy();
    Refuse(window);
    return;
  }
  SetWindowTextA(window, ToAnsi(Pick("Mirtav", "ミルタヴ")).c_str());
  ShowStartupLogo(window);
  pictureState = PictureState::kNoPicture;
  FormReadmePath("MIRTAV00.EXE", "MIRTAV0", 256);
  AddSpecialSettingItem(window);
  showPaletteWindow = kShowPaletteYes;
  RegisterPaletteWindowClass();
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
    case kArrangeToPalette: ArrangeToPalette(window); return 0;
    case kArrangePictures: ArrangePictures(window); return 0;
    case kMovePaletteEntry: MovePaletteEntry(window, static_cast<int32_t>(wParam), static_cast<int32_t>(lParam)); return 0;
    case WM_COMMAND:
      if (RunOrderCommand(window, LOWORD(wParam))) return 0;
      return ShellMainWindowProc(window, message, wParam, lParam);
    case WM_ENABLE: EnablePaletteWindow(wParam != FALSE); return 0;
    default: return ShellMainWindowProc(window, message, wParam, lParam);
  }
}

// ---- what the program hands the shared framework ----

namespace {

const TiffWriterMessages kTiffMessages = {
    {{"Unable to create a new TIF file for saving the image.",
      "像保存用の TIF ファイルを新規に作成できません."},
     {"Error", "エラー"}, MessageIcon::kError},
    {{"Unable to write the TIF file. The image was not saved.",
      "TIF ファイルを書き込めません. 画像は保存されていません."},
     {"Error", "エラー"}, MessageIcon::kError},
};

// The shuffler keeps no start-up step of its own before InitialiseMainWindow.
void StartUp(HWND window) { InitialiseMainWindow(window); }

}  // namespace

const ProgramDescription kDescription = {
    "MIR_TAV_00",
    "Dravel_Main",
    WS_SYSMENU | WS_MINIMIZEBOX,  // as an overlapped window it still gets a caption; fixed size
    9,
    MainWindowProc,
    ReadSystemSizes,
    StartUp,
    IDM_ABOUT,
    IDM_HELP,
    IDM_EXIT,
    RunCommand,
    QuitProgram,
    OpenPath,
    MayLeavePicture,
    &kLook,
    {{"Install the readme file (MIRTAV0E.PDF)\nin the same directory.",
     "説明書ファイル（MIRTAV0J.PDF）を同じ\nフォルダーに入れてください."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Unable to open the readme file (MIRTAV0E.PDF)\nbecause of being NO software to read PDF documents.",
     "PDF 文書の閲覧ソフトが無いので、\n説明書（MIRTAV0J.PDF）を開けません."},
     {"Error", "エラー"},
     MessageIcon::kError},
    {{"Unable to display dialog.", "ダイアログを表示できません"}, {"System Error", "システム・エラー"}, MessageIcon::kError, true},
    &kTiffMessages,
    nullptr,  // no keys of its own before the accelerators
};

}  // namespace mirtav
