#include "mirtav00/load_bitmap.h"

#include <cstring>

#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/core/load_fit.h"
#include "common/bitmap/dib_block.h"
#include "common/ui/app_shell.h"
#include "mirtav00/picture.h"
#include "mirtav00/picture_view.h"

namespace mirtav {

namespace {

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
    ShowMessage(window, kMsgCannotOpenBitmap);
    return false;
  }
  const uint64_t fileSize = static_cast<uint32_t>(end);
  uint8_t head[kOpenHeadBytes] = {};
  const uint64_t wanted = fileSize < kOpenHeadBytes ? fileSize : kOpenHeadBytes;
  const long got = _hread(file, head, static_cast<long>(wanted));
  if (got < 0 || static_cast<uint64_t>(got) != wanted) {
    ShowMessage(window, kMsgCannotOpenBitmap);
    return false;
  }
  const OpenVerdict verdict =
      CheckOpenHeader(head, static_cast<size_t>(got), fileSize, next->table, &next->colourCount);
  if (verdict != OpenVerdict::kOk) {
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    ShowMessage(window, *MessageOf(verdict));
    return false;
  }
  if (_llseek(file, 0, FILE_BEGIN) != 0) {
    ShowMessage(window, kMsgCannotOpenBitmap);
    return false;
  }
  if (!ReadCandidateBmpFile(window, file)) return false;  // the reader has said why
  // The file may have changed between the two reads: the checks are made
  // again on the bytes the block holds, and the table is taken from them.
  int64_t length = 0;
  const size_t front = CandidateFileFront(head, static_cast<size_t>(wanted), &length);
  const OpenVerdict again = CheckOpenHeader(head, front, static_cast<uint64_t>(length), next->table,
                                            &next->colourCount);
  if (again != OpenVerdict::kOk) {
    DiscardCandidateBlock();
    ShowMessage(window, *MessageOf(again));
    return false;
  }
  bmp::BlockLayout layout;
  size_t blockSize = 0;
  if (!CandidateLayout(&layout, &blockSize) || layout.colourCount != next->colourCount ||
      !FactsFromLayout(layout, blockSize, static_cast<uint64_t>(length), &next->facts)) {
    DiscardCandidateBlock();
    ShowMessage(window, kMsgNotFourOrEightBit);
    return false;
  }
  return true;
}

void AdoptNewPicture(HWND window, const char* path, const NewPicture& next) {
  if (pictureState == PictureState::kNoPicture) ReleaseLogoSurface();
  AdoptCandidateBlock();
  ForgetPictureSamples();
  std::memcpy(PaletteTable, next.table, sizeof PaletteTable);
  paletteColourCount = next.colourCount;
  shufflerPicture = next.facts;
  std::strncpy(shufflerPicture.openPath, path, kPathBufferSize - 1);
  shufflerPicture.openPath[kPathBufferSize - 1] = '\0';
  shufflerPicture.savePath[0] = '\0';

  RECT client = {};
  GetClientRect(window, &client);
  shufflerPicture.reductionFactor = fit::ShufflerReductionFactor(
      shufflerPicture.width, shufflerPicture.height, client.right, client.bottom);
}

}  // namespace

bool LoadBmpFile(HWND mainWindow, const char* path, bool (*mayLeave)(HWND)) {
  HFILE file = _lopen(path, OF_READ);
  if (file == HFILE_ERROR) {
    ShowMessage(mainWindow, kMsgCannotOpenBitmap);
    return false;
  }
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
  static NewPicture next;  // about 4 KiB of table: kept off the stack
  next = NewPicture();
  const bool accepted = ReadNewPicture(mainWindow, file, &next);
  _lclose(file);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  if (!accepted) return false;
  // Only a picture that will be shown asks about the one it replaces.
  if (mayLeave != nullptr && !mayLeave(mainWindow)) {
    DiscardCandidateBlock();
    return false;
  }
  AdoptNewPicture(mainWindow, path, next);
  return true;
}

}  // namespace mirtav
