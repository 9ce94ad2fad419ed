#include "common/bitmap/tiff_writer.h"

#include <cstdio>
#include <string>

#include "common/bitmap/core/tiff_layout.h"
#include "common/bitmap/dib_block.h"
#include "common/ui/shell_state.h"

const BitmapMessage kMsgCannotCreateTiff = {
    {"Unable to create a new TIF file for saving the image.",
     "像保存用のTIFファイルを新規に作成できません."},
    {"Error", "エラー"}};
const BitmapMessage kMsgCannotCreateTiffShuffler = {
    {"Unable to create a new TIF file for saving the image.",
     "像保存用の TIF ファイルを新規に作成できません."},
    {"Error", "エラー"}};
const BitmapMessage kMsgCannotWriteTiff = {
    {"Unable to write the TIF file. The image was not saved.",
     "TIFファイルを書き込めません. 画像は保存されていません."},
    {"Error", "エラー"}};
const BitmapMessage kMsgCannotWriteTiffShuffler = {
    {"Unable to write the TIF file. The image was not saved.",
     "TIF ファイルを書き込めません. 画像は保存されていません."},
    {"Error", "エラー"}};

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

const BitmapMessage& CreateMessage() {
  return currentProgram == Program::kMirtav00 ? kMsgCannotCreateTiffShuffler
                                              : kMsgCannotCreateTiff;
}

const BitmapMessage& WriteMessage() {
  return currentProgram == Program::kMirtav00 ? kMsgCannotWriteTiffShuffler
                                              : kMsgCannotWriteTiff;
}

// Writes the locked block's picture; true when every byte reached the file.
bool WriteLockedPicture(FILE* file) {
  FileSink sink(file);
  return tiff::WriteTiff(dibBlockStart, dibBlockSize, dibLayout, sink) == tiff::TiffResult::kOk;
}

}  // namespace

int WriteTiffFile(HWND mainWindow, const char* savePath) {
  // A read-only file or a folder at the target cannot be replaced; the
  // rename below would not refuse it everywhere.
  const DWORD existing = GetFileAttributesA(savePath);
  if (existing != INVALID_FILE_ATTRIBUTES &&
      (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    ShowBitmapError(mainWindow, CreateMessage());
    return 1;
  }
  // The temporary name keeps the target's folder, so the final move is a
  // rename within one drive and a failed save leaves the target as it was.
  const std::string temporary = std::string(savePath) + ".~tmp";
  FILE* file = std::fopen(temporary.c_str(), "w+b");
  if (file == nullptr) {
    ShowBitmapError(mainWindow, CreateMessage());
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
    if (!refusalShown) ShowBitmapError(mainWindow, WriteMessage());
    return 1;
  }
  if (!MoveFileExA(temporary.c_str(), savePath,
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary.c_str());
    ShowBitmapError(mainWindow, CreateMessage());
    return 1;
  }
  return 0;
}
