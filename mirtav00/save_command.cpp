// Save Image: the save dialog, then the decisions of save_rules in their
// fixed order (the opened file, the overwrite question, the drive, the room,
// the extension), asked of the platform only as the sequence reaches them;
// then the BMP or the TIFF writer. Both writers write a file of their own
// beside the target and put it in place only when it is complete.
#include "mirtav00/save_command.h"

#include <cstring>
#include <string>

#include "common/base/text.h"
#include "common/bitmap/core/tiff_layout.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/drive_checks.h"
#include "common/bitmap/file_beside.h"
#include "common/bitmap/tiff_writer.h"
#include "common/ui/file_dialog.h"
#include "mirtav00/core/bmp_writer.h"
#include "mirtav00/core/save_rules.h"
#include "mirtav00/picture.h"
#include "resources/mirtav00/resource.h"

namespace mirtav {

namespace {

// The save dialog, under the Save Image button of the icon bar.
const FileDialog kSaveDialog = {true,
                                {"Assign a BMP or TIF file to save.", "保存する Bitmap or Tiff ファイルの指定"},
                                "File (*.bmp;*.tif)\0*.bmp;*.tif\0",
                                IDC_BAR_SAVE_IMAGE,
                                &kMsgSaveDialogFailed};

class PlatformQuestions final : public SaveQuestions {
 public:
  explicit PlatformQuestions(HWND owner) : owner_(owner) {}
  bool TargetExists(const char* savePath) override {
    return GetFileAttributesA(savePath) != INVALID_FILE_ATTRIBUTES;
  }
  bool OverwriteConfirmed() override {
    return ShowMessage(owner_, kMsgOverwrite) == IDYES;
  }
  bool IsFixedDisk(const char* root) override { return ::IsFixedDisk(root); }
  bool HasFreeSpace(const char* root, int32_t bytes) override {
    return ::HasFreeSpace(root, static_cast<uint64_t>(bytes));
  }

 private:
  HWND owner_;
};

// The larger of the two files the picture gives, for the free-space check.
uint64_t PlannedSize(HWND window) {
  ScopedDibLock lock(window);
  if (!lock.Locked()) return 0;
  const uint64_t bmpSize = ShufflerBmpFileSize(dibLayout);
  const uint64_t tiffSize = tiff::TiffFileSize(dibLayout);
  return bmpSize > tiffSize ? bmpSize : tiffSize;
}

}  // namespace

int WriteBmpFile(HWND window) {
  FileBeside output;
  FILE* file = output.Open(shufflerPicture.savePath);
  if (file == nullptr) {
    ShowMessage(window, kMsgCannotCreateBmp);
    return 1;
  }
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
  bool written = false;
  {
    ScopedDibLock lock(window);
    FileSink sink(file);
    written = lock.Locked() &&
              WriteShufflerBmp(dibBlockStart, dibBlockSize, dibLayout, sink) == BmpResult::kOk;
  }
  const FileBeside::Outcome outcome = output.Finish(written);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  if (outcome != FileBeside::Outcome::kPlaced) {
    ShowMessage(window, kMsgCannotCreateBmp);
    return 1;
  }
  return 0;
}

bool SaveImage(HWND window) {
  char* path = shufflerPicture.savePath;
  std::memset(path, 0, kPathBufferSize);
  if (!RunFileDialog(window, kSaveDialog, path, kPathBufferSize)) return false;

  SaveRequest request;
  request.savePath = path;
  request.openPath = shufflerPicture.openPath;
  request.shiftJis = GetACP() == 932;
  request.openedFileSize = shufflerPicture.fileSize;
  request.plannedSize = PlannedSize(window);
  PlatformQuestions questions(window);
  const SaveVerdict verdict = DecideSave(request, questions);
  switch (verdict) {
    case SaveVerdict::kDeclined: return false;
    case SaveVerdict::kWriteBmp:
      if (WriteBmpFile(window) != 0) return false;
      changedOrderSaved = true;
      ShowMessage(window, kMsgBmpSaved, path);
      return true;
    case SaveVerdict::kWriteTiff:
      if (WriteTiffFile(window, path) != 0) return false;
      changedOrderSaved = true;
      ShowMessage(window, kMsgTiffSaved, path);
      return true;
    default: ShowMessage(window, *MessageOf(verdict)); return false;
  }
}

}  // namespace mirtav
