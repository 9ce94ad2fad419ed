#include "mirtav00/load_bitmap.h"

#include "common/bitmap/core/load_fit.h"
#include "common/bitmap/dib_block.h"

namespace mirtav {

int reductionFactor = 1;

int LoadBmpFile(HWND mainWindow, const char* path) {
  HFILE file = _lopen(path, OF_READ);
  if (file == HFILE_ERROR) {
    ShowBitmapErrorWithText(mainWindow, kMsgCannotOpenFile, path);
    return 1;
  }
  const int read = ReadBmpFile(mainWindow, file);
  _lclose(file);
  if (!read) return 1;

  RECT client = {0, 0, 0, 0};
  GetClientRect(mainWindow, &client);
  const int locked = LockDibBlock(mainWindow);
  const bmp::BlockLayout layout = dibLayout;
  UnlockDibBlock();
  if (!locked) return 1;
  reductionFactor = fit::ShufflerReductionFactor(layout.width, layout.height,
                                                 client.right - client.left,
                                                 client.bottom - client.top);
  return 0;
}

}  // namespace mirtav
