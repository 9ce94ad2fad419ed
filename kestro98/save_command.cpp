// Save Image. A BMP is never written from memory: the source file is copied
// beside the destination, the copy is checked against the picture as Open
// read it (so a source changed since then is never mixed with the edited
// palette), its colour table is written from the current history level with
// reserved bytes 0, and only the complete file replaces the destination. A
// save over the source itself goes the same way, so the source is never left
// half-written. A TIFF goes through the shared TIFF writer, which replaces
// its target the same way.
#include "kestro98/save_command.h"

#include <commdlg.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "common/base/text.h"
#include "common/bitmap/core/tiff_layout.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/drive_checks.h"
#include "common/bitmap/replace_file.h"
#include "common/bitmap/tiff_writer.h"
#include "kestro98/box_text.h"
#include "kestro98/core/save_rules.h"
#include "kestro98/main_window.h"
#include "kestro98/picture.h"

namespace kestro {

char savePath[256];

namespace {

constexpr size_t kChunk = 1024 * 1024;
// The Save Image button on the icon bar, repainted once the dialog is gone.
constexpr RECT kSaveButtonArea = {175, 0, 207, 20};

// A handle closed on every path out; Close reports whether it closed cleanly.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : handle_(h) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  bool Close() {
    if (!Valid()) return true;
    const bool closed = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

// Reads the whole copy and compares it with the opened picture (the locked
// DIB block and what Open kept of the file), colour table skipped: kSaved
// when every byte Open read is there and the length is the same.
SaveMessage VerifyCopy(HANDLE file, int32_t colourCount) {
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kChunk]);
  if (!buffer) return SaveMessage::kCannotOpen;
  const OpenedFile& opened = pictureFacts.opened;
  uint64_t offset = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.get(), static_cast<DWORD>(kChunk), &got, nullptr)) {
      return SaveMessage::kCannotOpen;
    }
    if (got == 0) break;
    if (!MatchesOpenedFile(opened, dibBlockStart, dibBlockSize, colourCount, offset, buffer.get(),
                           got)) {
      return SaveMessage::kSourceChanged;
    }
    offset += got;
  }
  return offset == static_cast<uint64_t>(opened.fileSize) ? SaveMessage::kSaved
                                                           : SaveMessage::kSourceChanged;
}

// Checks the copy and writes the colour table into it; the file is closed
// on return either way.
SaveMessage PatchCopy(HWND mainWindow, const std::string& temporary, bool* refusalShown) {
  const int32_t colourCount = paletteHistory.ColourCount();
  uint8_t table[4 * 256];
  if (!paletteHistory.WriteFileTable(table, 4 * static_cast<size_t>(colourCount))) {
    return SaveMessage::kCannotWrite;
  }
  FileHandle file(CreateFileA(temporary.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.Valid()) return SaveMessage::kCannotOpen;

  const int locked = LockDibBlock(mainWindow);
  SaveMessage result = SaveMessage::kSaved;
  if (!locked) {
    *refusalShown = dibBlockHandle != nullptr;
    result = SaveMessage::kCannotWrite;
  } else {
    result = VerifyCopy(file.Get(), colourCount);
  }
  UnlockDibBlock();
  if (result != SaveMessage::kSaved) return result;

  // The colour table starts at byte 54, after the two headers Open required.
  LARGE_INTEGER at;
  at.QuadPart = 54;
  DWORD written = 0;
  const DWORD tableBytes = 4 * static_cast<DWORD>(colourCount);
  if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) ||
      !WriteFile(file.Get(), table, tableBytes, &written, nullptr) || written != tableBytes) {
    return SaveMessage::kCannotWrite;
  }
  return file.Close() ? SaveMessage::kSaved : SaveMessage::kCannotWrite;
}

// The BMP save; kSaved, or the message of the step that failed, with the
// destination as it was and no file left behind.
SaveMessage WriteBmp(HWND mainWindow, const char* path, bool* refusalShown) {
  if (!TargetCanBeReplaced(path)) return SaveMessage::kCannotCreate;
  const std::string temporary = ReserveTemporaryBeside(path);
  if (temporary.empty()) return SaveMessage::kCannotCreate;

  SetCursor(LoadCursor(nullptr, IDC_WAIT));
  const char* source = pictureFacts.sourcePath.c_str();
  SaveMessage result = SaveMessage::kSaved;
  if (!CopyFileA(source, temporary.c_str(), FALSE)) {
    result = GetFileAttributesA(source) == INVALID_FILE_ATTRIBUTES ? SaveMessage::kSourceChanged
                                                                   : SaveMessage::kCannotWrite;
  } else {
    // The copy takes the source's attributes; a read-only source must not
    // make a read-only, unpatchable copy.
    SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    result = PatchCopy(mainWindow, temporary, refusalShown);
  }
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  if (result != SaveMessage::kSaved) {
    DeleteFileA(temporary.c_str());
    return result;
  }
  return ReplaceWithTemporary(temporary, path) ? SaveMessage::kSaved : SaveMessage::kCannotCreate;
}

bool DestinationExists(const char* path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

void ShowSaved(HWND mainWindow, const char* path) {
  ShowBoxText(mainWindow, SaveMessageText(SaveMessage::kSaved), path);
}

}  // namespace

bool SaveImageTo(HWND mainWindow, const char* path) {
  if (pictureState != 1 || dibBlockHandle == nullptr || path == nullptr) return false;
  SaveInputs in;
  in.dialog = DialogResult::kChosen;
  const std::string root(path, strnlen(path, 3));
  in.format = SaveFormatOfPath(path);
  for (;;) {
    switch (DecideSave(in)) {
      case SaveAction::kShowDialogError:
      case SaveAction::kStop:
        return false;
      case SaveAction::kNotFixedDisk:
        if (in.fixedDisk) return false;
        in.fixedDisk = IsFixedDisk(root.c_str());
        if (!in.fixedDisk) {
          ShowBoxText(mainWindow, SaveMessageText(SaveMessage::kNotFixedDisk));
          return false;
        }
        break;
      case SaveAction::kNotEnoughSpace: {
        if (in.enoughSpace) return false;
        const int64_t bytes = BytesToWrite(in.format, pictureFacts.opened.fileSize,
                                           static_cast<int64_t>(tiff::TiffFileSize(pictureFacts.layout)));
        in.enoughSpace = HasFreeSpace(root.c_str(), static_cast<uint64_t>(bytes));
        if (!in.enoughSpace) {
          ShowBoxText(mainWindow, SaveMessageText(SaveMessage::kNotEnoughSpace));
          return false;
        }
        in.destinationExists = DestinationExists(path);
        break;
      }
      case SaveAction::kWrongExtension:
        ShowBoxText(mainWindow, SaveMessageText(SaveMessage::kWrongExtension));
        return false;
      case SaveAction::kAskOverwrite:
        in.overwrite = ShowBoxText(mainWindow, SaveMessageText(SaveMessage::kDestinationExists)) ==
                               IDYES
                           ? Answer::kYes
                           : Answer::kNo;
        break;
      case SaveAction::kWriteBmp: {
        bool refusalShown = false;
        const SaveMessage result = WriteBmp(mainWindow, path, &refusalShown);
        if (result == SaveMessage::kSaved) {
          ShowSaved(mainWindow, path);
          return true;
        }
        if (!refusalShown) ShowBoxText(mainWindow, SaveMessageText(result));
        return false;
      }
      case SaveAction::kWriteTiff:
        // The writer shows its own message when it fails.
        if (WriteTiffFile(mainWindow, path) != 0) return false;
        ShowSaved(mainWindow, path);
        return true;
    }
  }
}

void SaveImageCommand(HWND mainWindow) {
  std::memset(savePath, 0, sizeof savePath);
  const std::string title = ToAnsi(saveDialogTitle);
  static const char kFilter[] = "File (*.bmp;*.tif)\0*.bmp;*.tif\0";
  OPENFILENAMEA dialog;
  std::memset(&dialog, 0, sizeof dialog);
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = mainWindow;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = 0;
  dialog.lpstrFile = savePath;
  dialog.nMaxFile = sizeof savePath;
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  const BOOL chosen = GetSaveFileNameA(&dialog);
  const DWORD error = chosen ? 0 : CommDlgExtendedError();
  if (!chosen && error != 0) {
    const BoxText& box = SaveMessageText(SaveMessage::kDialogFailed);
    ShowBoxTextAs(mainWindow, box, FormatCode(Pick(box.english, box.japanese), error).c_str());
    return;
  }
  InvalidateRect(mainWindow, &kSaveButtonArea, TRUE);
  UpdateWindow(mainWindow);
  if (!chosen) return;
  SaveImageTo(mainWindow, savePath);
}

}  // namespace kestro
