#include "mirtav00/load_bitmap.h"

#include <cstring>
#include <utility>
#include <vector>

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

using NewPicture = ReadPicture;

// A PNG into the candidate block, its table from PLTE; false after a message,
// with no candidate held. Only 4- and 8-bit pictures are taken, as for BMP.
bool ReadPngCandidate(HWND window, InputFile& file, const FileFront& front, NewPicture* next) {
  const PngRead read = ReadCandidatePng(file.Get(), front, &next->png);
  if (read != PngRead::kOk) {
    ShowMessage(window, PngReadMessage(read));
    return false;
  }
  const png::PngLayout& layout = next->png.layout;
  std::vector<uint8_t> rgba;
  if ((layout.bitDepth != 4 && layout.bitDepth != 8) ||
      !png::PaletteEntries(next->png.bytes.data(), next->png.bytes.size(), layout, &rgba)) {
    DiscardCandidateBlock();
    next->png.Clear();
    ShowMessage(window, kMsgNotFourOrEightBit);
    return false;
  }
  for (uint32_t i = 0; i < layout.paletteCount; ++i) {
    next->table[i] = {rgba[4 * i + 2], rgba[4 * i + 1], rgba[4 * i]};
  }
  next->colourCount = static_cast<int32_t>(layout.paletteCount);
  return true;
}

// Reads and checks the open file into the candidate block and *next; false
// after a message, with no candidate held. The file is read once: the checks
// run on its front, and the reader goes on from there.
bool ReadNewPicture(HWND window, InputFile& file, NewPicture* next) {
  static FileFront front;  // a kilobyte: kept off the stack
  if (!ReadFileFront(file.Get(), &front) || front.fileLength < 0) {
    ShowMessage(window, kMsgCannotOpenBitmap);
    return false;
  }
  if (IsPngFront(front)) {
    if (!ReadPngCandidate(window, file, front, next)) return false;
  } else {
    const OpenVerdict verdict = CheckOpenHeader(front.bytes, front.size, static_cast<uint64_t>(front.fileLength),
                                                next->table, &next->colourCount);
    if (verdict != OpenVerdict::kOk) {
      ShowMessage(window, *MessageOf(verdict));
      return false;
    }
    if (!ReadCandidateBmpFile(window, file.Get(), front)) return false;  // the reader has said why
  }
  bmp::BlockLayout layout;
  size_t blockSize = 0;
  if (!CandidateLayout(&layout, &blockSize) || layout.colourCount != next->colourCount ||
      !FactsFromLayout(layout, blockSize, static_cast<uint64_t>(front.fileLength), &next->facts)) {
    DiscardCandidateBlock();
    next->png.Clear();
    ShowMessage(window, kMsgNotFourOrEightBit);
    return false;
  }
  return true;
}

void AdoptNewPicture(HWND window, const char* path, NewPicture& next) {
  if (pictureState == PictureState::kNoPicture) ReleaseLogoSurface();
  AdoptCandidateBlock();
  ForgetPictureSamples();
  std::memcpy(PaletteTable, next.table, sizeof PaletteTable);
  paletteColourCount = openedColourCount = savedColourCount = next.colourCount;
  pngSource = std::move(next.png);  // the file shown before, and its memory, go now
  next.png.Clear();
  for (int32_t i = 0; i < 256; ++i) sourceOrder[i] = savedOrder[i] = i;
  orderHistory.Reset(paletteColourCount);
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

const char kPictureFilter[] = "Picture (*.bmp;*.png)\0*.bmp;*.png\0Bitmap (*.bmp)\0*.bmp\0PNG (*.png)\0*.png\0";

const Message* PathRefusal(const std::string& path, bool (*isFixedDisk)(const char* root)) {
  // The picture's paths are kept in buffers of the dialog's size; a longer
  // one (a drop, a command line) could not be kept whole.
  if (path.size() >= kPathBufferSize) return &kMsgCannotOpenBitmap;
  const char root[4] = {path.size() > 0 ? path[0] : '\0', path.size() > 1 ? path[1] : '\0',
                        path.size() > 2 ? path[2] : '\0', '\0'};
  const OpenVerdict verdict = CheckOpenPath(path.c_str(), isFixedDisk(root));
  return verdict == OpenVerdict::kOk ? nullptr : MessageOf(verdict);
}

bool ReadPictureFile(HWND owner, const char* path, ReadPicture* next) {
  InputFile file(path);
  if (!file.Valid()) {
    ShowMessage(owner, kMsgCannotOpenBitmap);
    return false;
  }
  return ReadNewPicture(owner, file, next);
}

bool LoadBmpFile(HWND mainWindow, const char* path, bool (*mayLeave)(HWND)) {
  static NewPicture next;  // about 4 KiB of table: kept off the stack
  next = NewPicture();
  bool accepted = false;
  {
    WaitCursor wait;
    accepted = ReadPictureFile(mainWindow, path, &next);
  }
  if (!accepted) return false;
  // Only a picture that will be shown asks about the one it replaces.
  if (mayLeave != nullptr && !mayLeave(mainWindow)) {
    DiscardCandidateBlock();
    next.png.Clear();
    return false;
  }
  AdoptNewPicture(mainWindow, path, next);
  WaitCursor wait;
  CountEntryUses(mainWindow);
  return true;
}

}  // namespace mirtav
