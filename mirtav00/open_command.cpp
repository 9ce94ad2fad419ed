// The shuffler's Open command: the open dialog, the path's checks, then
// LoadBmpFile, which checks the whole file before it replaces anything. Only
// an adopted picture sets the title, shows the palette window and the state.
// A refusal at any step leaves the shown picture, PaletteTable, its state,
// the title and the palette window as they were.
#include "mirtav00/open_command.h"

#include <string>

#include "common/base/text.h"
#include "common/bitmap/drive_checks.h"
#include "common/ui/file_dialog.h"
#include "mirtav00/load_bitmap.h"
#include "mirtav00/palette_window.h"
#include "mirtav00/picture.h"
#include "resources/mirtav00/resource.h"
#include "mirtav00/picture_view.h"

namespace mirtav {

namespace {

// The open dialog, under the Open button of the icon bar.
const FileDialog kOpenDialog = {false,
                                {"Select a 4bit/8bit bitmap file.", "16色/256色 Bitmap ファイルの選択"},
                                kPictureFilter,
                                IDC_BAR_OPEN,
                                &kMsgOpenDialogFailed};

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
  pictureState = PictureState::kOpened;
  RepaintPicture(window);
}

}  // namespace

void OpenCommand(HWND window, LeaveQuestion mayLeave) {
  char path[kPathBufferSize] = {};
  if (!RunFileDialog(window, kOpenDialog, path, kPathBufferSize)) return;
  OpenPicturePath(window, path, mayLeave);
}

void OpenPicturePath(HWND window, const std::string& path, LeaveQuestion mayLeave) {
  const Message* refusal = PathRefusal(path, IsFixedDisk);
  if (refusal != nullptr) {
    ShowMessage(window, *refusal);
    return;
  }
  if (LoadBmpFile(window, path.c_str(), mayLeave)) ShowNewPicture(window);
}

}  // namespace mirtav
