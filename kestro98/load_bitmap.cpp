#include "kestro98/load_bitmap.h"

#include "common/bitmap/core/load_fit.h"
#include "common/bitmap/dib_block.h"
#include "kestro98/image_view.h"
#include "kestro98/picture.h"

namespace kestro {

bool ReadCandidatePicture(HWND mainWindow, const char* path) {
  HFILE file = _lopen(path, OF_READ);
  if (file == HFILE_ERROR) {
    ShowMessage(mainWindow, kMsgCannotOpenFile, path);
    return false;
  }
  const int read = ReadCandidateBmpFile(mainWindow, file);
  _lclose(file);
  return read != 0;
}

bool AdoptCandidatePicture(HWND mainWindow) {
  if (!HoldsCandidateBlock()) return false;
  AdoptCandidateBlock();
  bmp::BlockLayout layout;
  {
    ScopedDibLock lock(mainWindow);
    if (!lock.Locked()) return false;
    layout = dibLayout;
  }
  pictureFacts.layout = layout;

  RECT client = {0, 0, 0, 0};
  GetClientRect(mainWindow, &client);
  const int availableWidth = (client.right - client.left) - vertScrollWidth;
  const int availableHeight =
      (client.bottom - client.top) - fit::kIconBarStrip - horzScrollHeight;
  pictureFacts.fitLevel =
      fit::EditorFitLevel(layout.width, layout.height, availableWidth, availableHeight);
  pictureFacts.zoomLevel = pictureFacts.fitLevel;
  return true;
}

bool LoadBmpFile(HWND mainWindow, const char* path) {
  return ReadCandidatePicture(mainWindow, path) && AdoptCandidatePicture(mainWindow);
}

}  // namespace kestro
