#include "common/bitmap/tiff_writer.h"

#include <cstdio>

#include "common/base/gdi_guards.h"
#include "common/bitmap/core/tiff_layout.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/file_beside.h"

namespace {

const TiffWriterMessages* messages = nullptr;

void ShowFailure(HWND owner, const Message TiffWriterMessages::*which) {
  if (messages != nullptr) ShowMessage(owner, messages->*which);
}

// Writes the locked block's picture; true when every byte reached the file.
bool WriteLockedPicture(FILE* file) {
  FileSink sink(file);
  return tiff::WriteTiff(dibBlockStart, dibBlockSize, dibLayout, sink) == tiff::TiffResult::kOk;
}

}  // namespace

void UseTiffWriterMessages(const TiffWriterMessages& programMessages) {
  messages = &programMessages;
}

int WriteTiffFile(HWND mainWindow, const char* savePath) {
  FileBeside output;
  FILE* file = output.Open(savePath);
  if (file == nullptr) {
    ShowFailure(mainWindow, &TiffWriterMessages::cannotCreate);
    return 1;
  }
  bool refusalShown = false;
  FileBeside::Outcome outcome = FileBeside::Outcome::kWriteFailed;
  {
    WaitCursor wait;
    bool written = false;
    {
      ScopedDibLock lock(mainWindow);
      written = lock.Locked() && WriteLockedPicture(file);
      // A lock refused on a held block has shown its own message.
      refusalShown = !lock.Locked() && dibBlockHandle != nullptr;
    }
    outcome = output.Finish(written);
  }

  switch (outcome) {
    case FileBeside::Outcome::kPlaced: return 0;
    case FileBeside::Outcome::kWriteFailed:
      if (!refusalShown) ShowFailure(mainWindow, &TiffWriterMessages::cannotWrite);
      return 1;
    case FileBeside::Outcome::kCannotReplace:
      ShowFailure(mainWindow, &TiffWriterMessages::cannotCreate);
      return 1;
  }
  return 1;
}
