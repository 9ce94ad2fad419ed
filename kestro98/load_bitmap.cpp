#include "kestro98/load_bitmap.h"

#include <cstring>
#include <utility>

#include "common/base/core/path_text.h"
#include "common/base/input_file.h"
#include "common/base/text.h"
#include "common/ui/app_shell.h"
#include "kestro98/image_view.h"
#include "kestro98/palette_window.h"
#include "kestro98/picture.h"

namespace kestro {

namespace {

// The candidate block made the current one; false (and no block kept) when
// it cannot be locked.
bool AdoptBlock(HWND mainWindow) {
  if (!HoldsCandidateBlock()) return false;
  AdoptCandidateBlock();
  ScopedDibLock lock(mainWindow);
  return lock.Locked();
}

// What the save needs of the source as it was read: the file header, the two
// fields the lock rules may fill in, the header's size and the file's length.
OpenedFile OpenedFrom(const FileFront& front) {
  OpenedFile opened;
  std::memcpy(opened.fileHeader, front.bytes, sizeof opened.fileHeader);
  opened.sizeImage = bmp::GetU32(front.bytes + bmp::InFile(bmp::kBiSizeImage));
  opened.clrUsed = bmp::GetU32(front.bytes + bmp::InFile(bmp::kBiClrUsed));
  opened.infoSize = bmp::GetU32(front.bytes + bmp::InFile(bmp::kBiSize));
  opened.fileSize = front.fileLength;
  return opened;
}

}  // namespace

void AdoptNewPicture(HWND mainWindow, const std::string& path, NewPicture& next) {
  if (pictureFacts.state == PictureState::kNoPicture) {
    ReleaseLogoSurface();
  } else {
    DestroyPaletteWindow();
  }
  if (!AdoptBlock(mainWindow)) ReleaseDibBlock();
  paletteHistory = next.history;
  pictureFacts.sourcePath = path;
  pictureFacts.sourceFormat = next.format;
  if (next.format == SaveFormat::kPng) {
    pictureFacts.opened = OpenedFile();
    pictureFacts.opened.fileSize = next.front.fileLength;
  } else {
    pictureFacts.opened = OpenedFrom(next.front);
  }
  pictureFacts.png = std::move(next.png);
  next.png.Clear();
  pictureFacts.state = PictureState::kOpened;
  pictureFacts.titleBase =
      ToAnsi(TitlePrefix()) + path_text::FileNameOf(path.c_str(), IsJapanese()) + " [";
  ShowNewPictureView(mainWindow);
  if (paletteWindow == nullptr) CreatePaletteWindow();
}

bool LoadBmpFile(HWND mainWindow, const char* path) {
  InputFile file(path);
  if (!file.Valid()) {
    ShowMessage(mainWindow, kMsgCannotOpenFile, path);
    return false;
  }
  if (!ReadCandidateBmpFile(mainWindow, file.Get()) || !AdoptBlock(mainWindow)) return false;
  FitNewPicture(mainWindow);
  return true;
}

}  // namespace kestro
