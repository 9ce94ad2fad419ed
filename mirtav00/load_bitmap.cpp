#include "mirtav00/load_bitmap.h"

#include <cstring>

#include "common/base/gdi_guards.h"
#include "common/base/input_file.h"
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
// after a message, with no candidate held. The file is read once: the checks
// run on its front, and the reader goes on from there.
bool ReadNewPicture(HWND window, InputFile& file, NewPicture* next) {
  static FileFront front;  // a kilobyte: kept off the stack
  if (!ReadFileFront(file.Get(), &front) || front.fileLength < 0) {
    ShowMessage(window, kMsgCannotOpenBitmap);
    return false;
  }
  const OpenVerdict verdict = CheckOpenHeader(front.bytes, front.size, static_cast<uint64_t>(front.fileLength),
                                              next->table, &next->colourCount);
  if (verdict != OpenVerdict::kOk) {
    ShowMessage(window, *MessageOf(verdict));
    return false;
  }
  if (!ReadCandidateBmpFile(window, file.Get(), front)) return false;  // the reader has said why
  bmp::BlockLayout layout;
  size_t blockSize = 0;
  if (!CandidateLayout(&layout, &blockSize) || layout.colourCount != next->colourCount ||
      !FactsFromLayout(layout, blockSize, static_cast<uint64_t>(front.fileLength), &next->facts)) {
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
  InputFile file(path);
  if (!file.Valid()) {
    ShowMessage(mainWindow, kMsgCannotOpenBitmap);
    return false;
  }
  static NewPicture next;  // about 4 KiB of table: kept off the stack
  next = NewPicture();
  bool accepted = false;
  {
    WaitCursor wait;
    accepted = ReadNewPicture(mainWindow, file, &next);
  }
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
