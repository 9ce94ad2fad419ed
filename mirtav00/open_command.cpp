// The shuffler's Open BMP command. The new file is checked completely before
// anything shown is touched: the path, the header bytes (open_check), then the
// whole file read into a candidate block and checked by the reader's lock
// rules. Only then are the old picture (or the logo) released, the candidate
// adopted, PaletteTable and the facts replaced, the title set and the palette
// window shown. A refusal at any step leaves the shown picture, PaletteTable,
// PictureState, the title and the palette window as they were.
#include "mirtav00/open_command.h"

#include <cstring>
#include <string>

#include "common/base/text.h"
#include "common/bitmap/core/load_fit.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/drive_checks.h"
#include "common/ui/app_shell.h"
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

// The accepted file, waiting to replace what is shown.
struct NewPicture {
  ShufflerPicture facts;
  shuffle::PaletteEntry table[256];
  int32_t colourCount = 0;
};

// Reads and checks the open file into the candidate block and *next; false
// after a message, with no candidate held. The file stays open.
bool ReadNewPicture(HWND window, HFILE file, NewPicture* next) {
  const LONG end = _llseek(file, 0, FILE_END);
  if (end == HFILE_ERROR || _llseek(file, 0, FILE_BEGIN) != 0) {
    ShowShufflerMessage(window, kMsgCannotOpenBitmap);
    return false;
  }
  const uint64_t fileSize = static_cast<uint32_t>(end);
  uint8_t head[kOpenHeadBytes] = {};
  const uint64_t wanted = fileSize < kOpenHeadBytes ? fileSize : kOpenHeadBytes;
  const long got = _hread(file, head, static_cast<long>(wanted));
  if (got < 0 || static_cast<uint64_t>(got) != wanted) {
    ShowShufflerMessage(window, kMsgCannotOpenBitmap);
    return false;
  }
  const OpenVerdict verdict =
      CheckOpenHeader(head, static_cast<size_t>(got), fileSize, next->table, &next->colourCount);
  if (verdict != OpenVerdict::kOk) {
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    ShowShufflerMessage(window, *MessageOf(verdict));
    return false;
  }
  if (_llseek(file, 0, FILE_BEGIN) != 0) {
    ShowShufflerMessage(window, kMsgCannotOpenBitmap);
    return false;
  }
  if (!ReadCandidateBmpFile(window, file)) return false;  // the reader has said why
  bmp::BlockLayout layout;
  size_t blockSize = 0;
  if (!CandidateLayout(&layout, &blockSize) || layout.colourCount != next->colourCount ||
      !FactsFromLayout(layout, blockSize, fileSize, &next->facts)) {
    DiscardCandidateBlock();
    ShowShufflerMessage(window, kMsgNotFourOrEightBit);
    return false;
  }
  return true;
}

void ShowNewPicture(HWND window, const char (&path)[kPathBufferSize], const NewPicture& next) {
  if (PictureState == NoPicture) ReleaseLogoSurface();
  AdoptCandidateBlock();
  std::memcpy(PaletteTable, next.table, sizeof PaletteTable);
  paletteColourCount = next.colourCount;
  shufflerPicture = next.facts;
  std::memcpy(shufflerPicture.openPath, path, kPathBufferSize);
  shufflerPicture.openPath[kPathBufferSize - 1] = '\0';
  shufflerPicture.savePath[0] = '\0';

  RECT client = {};
  GetClientRect(window, &client);
  reductionFactor = fit::ShufflerReductionFactor(shufflerPicture.width, shufflerPicture.height,
                                                 client.right, client.bottom);
  shufflerPicture.reductionFactor = reductionFactor;
  SetPictureTitle(window);

  HWND palette = FindPaletteWindow();
  if (palette == nullptr) {
    CreatePaletteWindow();
  } else {
    InvalidateRect(palette, nullptr, TRUE);
    UpdateWindow(palette);
  }
  PictureState = Opened;
  RECT below = {0, kPictureTop, client.right, client.bottom};
  InvalidateRect(window, &below, TRUE);
  UpdateWindow(window);
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
  HFILE file = _lopen(path, OF_READ);
  if (file == HFILE_ERROR) {
    ShowShufflerMessage(window, kMsgCannotOpenBitmap);
    return;
  }
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
  static NewPicture next;  // about 4 KiB of table: kept off the stack
  next = NewPicture();
  const bool accepted = ReadNewPicture(window, file, &next);
  _lclose(file);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  if (accepted) ShowNewPicture(window, path, next);
}

}  // namespace mirtav
