// The shuffler's Open BMP command: the open dialog, the path's checks, then
// LoadBmpFile, which checks the whole file before it replaces anything. Only
// an adopted picture sets the title, shows the palette window and the state.
// A refusal at any step leaves the shown picture, PaletteTable, PictureState,
// the title and the palette window as they were.
#include "mirtav00/open_command.h"

#include <string>

#include "common/base/text.h"
#include "common/bitmap/drive_checks.h"
#include "mirtav00/core/window_rules.h"
#include "mirtav00/load_bitmap.h"
#include "mirtav00/main_window.h"
#include "mirtav00/message_box.h"
#include "mirtav00/palette_window.h"

namespace mirtav {

ShufflerPicture shufflerPicture;
shuffle::PaletteEntry PaletteTable[256];
int32_t paletteColourCount = 0;

namespace {

// Where the Open button lies in the icon bar.
const RECT kOpenButtonArea = {15, 0, 48, 21};

void RepaintOpenButton(HWND window) {
  InvalidateRect(window, &kOpenButtonArea, TRUE);
  UpdateWindow(window);
}

// The adopted picture shown: title, palette window, state, repaint.
void ShowNewPicture(HWND window) {
  SetPictureTitle(window);

  HWND palette = FindPaletteWindow();
  if (palette == nullptr) {
    CreatePaletteWindow();
  } else {
    InvalidateRect(palette, nullptr, TRUE);
    UpdateWindow(palette);
  }
  PictureState = Opened;
  RepaintPicture(window);
}

}  // namespace

void SetPictureTitle(HWND window) {
  const std::string prefix = ToAnsi(TitlePrefix(IsJapanese()));
  const std::string title =
      MainTitle(prefix, shufflerPicture.openPath, IsJapanese(), reductionFactor);
  SetWindowTextA(window, title.c_str());
}

void OpenCommand(HWND window) {
  char path[kPathBufferSize] = {};
  const std::string title =
      ToAnsi(Pick("Select a 4bit/8bit bitmap file.", "16色/256色 Bitmap ファイルの選択"));
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window;
  dialog.lpstrFilter = "Bitmap (*.bmp)\0*.bmp\0";
  dialog.lpstrFile = path;
  dialog.nMaxFile = kPathBufferSize;
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&dialog)) {
    const DWORD error = CommDlgExtendedError();
    RepaintOpenButton(window);
    if (error != 0) ShowShufflerMessageWithNumber(window, kMsgOpenDialogFailed, error);
    return;
  }
  RepaintOpenButton(window);

  const char root[4] = {path[0], path[1], path[2], '\0'};
  const OpenVerdict pathVerdict = CheckOpenPath(path, IsFixedDisk(root));
  if (pathVerdict != OpenVerdict::kOk) {
    ShowShufflerMessage(window, *MessageOf(pathVerdict));
    return;
  }
  if (LoadBmpFile(window, path) == 0) ShowNewPicture(window);
}

}  // namespace mirtav
