// The settings dialog SETPARAM_DLG / SETPARAM_DLG_J. The setting follows the
// marks at once; Cancel or closing the dialog restores the value it had when
// the dialog opened. On OK the palette window is shown or removed to match.
#include "mirtav00/settings_dialog.h"

#include "common/base/no_bad_alloc.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "mirtav00/core/messages.h"
#include "mirtav00/core/view_rules.h"
#include "mirtav00/palette_window.h"
#include "mirtav00/picture_view.h"
#include "resources/mirtav00/resource.h"

namespace mirtav {

namespace {

bool settingsCancelled = false;
int savedShowPaletteWindow = kShowPaletteYes;

void Mark(HWND dialog, int value) {
  CheckDlgButton(dialog, IDC_PALETTE_YES, value == kShowPaletteYes ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_PALETTE_NO, value == kShowPaletteNo ? BST_CHECKED : BST_UNCHECKED);
}

INT_PTR OnSettingsCommand(HWND dialog, int id) {
  switch (id) {
    case IDC_PALETTE_YES:
      showPaletteWindow = kShowPaletteYes;
      Mark(dialog, showPaletteWindow);
      break;
    case IDC_PALETTE_NO:
      showPaletteWindow = kShowPaletteNo;
      Mark(dialog, showPaletteWindow);
      break;
    case IDOK: EndDialog(dialog, 1); break;
    case IDCANCEL:
      settingsCancelled = true;
      EndDialog(dialog, 2);
      break;
  }
  return TRUE;
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: Mark(dialog, showPaletteWindow); return TRUE;
    case WM_COMMAND: return OnSettingsCommand(dialog, LOWORD(wParam));
    case WM_CLOSE:
      settingsCancelled = true;
      EndDialog(dialog, 0);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

void SettingsDialog(HWND window) {
  settingsCancelled = false;
  savedShowPaletteWindow = showPaletteWindow;
  const INT_PTR result = DialogBoxParamA(
      appInstance, IsJapanese() ? RES_NAME_SETTINGS_J : RES_NAME_SETTINGS, window,
      NoBadAlloc<INT_PTR, SettingsDialogProc>, 0);
  if (result == -1) {
    ShowMessage(nullptr, kMsgSettingsNotShown);
    return;
  }
  if (settingsCancelled) {
    showPaletteWindow = savedShowPaletteWindow;
    return;
  }
  HWND palette = FindPaletteWindow();
  if (showPaletteWindow == kShowPaletteYes && palette == nullptr) {
    CreatePaletteWindow();
    RepaintPicture(window);
  } else if (showPaletteWindow == kShowPaletteNo && palette != nullptr) {
    DestroyPaletteWindow();
    RepaintPicture(window);
  }
}

}  // namespace mirtav
