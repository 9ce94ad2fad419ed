#include "common/bitmap/tiff_writer.h"

#include <cstdio>
#include <string>

#include "common/bitmap/core/tiff_layout.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/replace_file.h"

namespace {

class FileSink final : public tiff::ByteSink {
 public:
  explicit FileSink(FILE* f) : file(f) {}
  bool Put(const uint8_t* data, size_t n) override {
    return std::fwrite(data, 1, n, file) == n;
  }

 private:
  FILE* file;
};

const TiffWriterMessages* messages = nullptr;

void ShowFailure(HWND owner, const BitmapMessage TiffWriterMessages::*which) {
  if (messages != nullptr) ShowBitmapError(owner, messages->*which);
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
  // A read-only file or a folder at the target cannot be replaced; the
  // rename below would not refuse it everywhere.
  if (!TargetCanBeReplaced(savePath)) {
    ShowFailure(mainWindow, &TiffWriterMessages::cannotCreate);
    return 1;
  }
  // The temporary file stands in the target's folder, so the final move is a
  // rename within one drive and a failed save leaves the target as it was.
  const std::string temporary = ReserveTemporaryBeside(savePath);
  FILE* file = temporary.empty() ? nullptr : std::fopen(temporary.c_str(), "w+b");
  if (file == nullptr) {
    if (!temporary.empty()) DeleteFileA(temporary.c_str());
    ShowFailure(mainWindow, &TiffWriterMessages::cannotCreate);
    return 1;
  }
  SetCursor(LoadCursor(nullptr, IDC_WAIT));

  const bool locked = LockDibBlock(mainWindow) != 0;
  const bool written = locked && WriteLockedPicture(file);
  // A lock refused on a held block has shown its own message.
  const bool refusalShown = !locked && dibBlockHandle != nullptr;
  UnlockDibBlock();
  // Both run whatever happened before, so the file is always closed.
  const bool flushed = std::fflush(file) == 0;
  const bool closed = std::fclose(file) == 0;
  SetCursor(LoadCursor(nullptr, IDC_ARROW));

  if (!written || !flushed || !closed) {
    DeleteFileA(temporary.c_str());
    if (!refusalShown) ShowFailure(mainWindow, &TiffWriterMessages::cannotWrite);
    return 1;
  }
  if (!ReplaceWithTemporary(temporary, savePath)) {
    ShowFailure(mainWindow, &TiffWriterMessages::cannotCreate);
    return 1;
  }
  return 0;
}
