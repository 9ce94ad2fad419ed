// Save Image. A BMP is never written from memory: the source file is copied
// beside the destination, every chunk checked against the picture as Open
// read it (so a source changed since then is never mixed with the edited
// palette), with the colour table from the current history level and
// reserved bytes 0, and only the complete file replaces the destination. A
// save over the source itself goes the same way, so the source is never left
// half-written. A TIFF goes through the shared TIFF writer, which replaces
// its target the same way.
#include "kestro98/save_command.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "common/base/file_handle.h"
#include "common/base/gdi_guards.h"
#include "common/base/input_file.h"
#include "common/base/text.h"
#include "common/bitmap/core/tiff_layout.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/drive_checks.h"
#include "common/bitmap/replace_file.h"
#include "common/bitmap/tiff_writer.h"
#include "common/ui/file_dialog.h"
#include "kestro98/core/save_rules.h"
#include "kestro98/picture.h"
#include "resources/kestro98/resource.h"

namespace kestro {

char savePath[256];

namespace {

constexpr size_t kChunk = 1024 * 1024;
const FileDialog kSaveDialog = {true,
                                {"Assign a BMP or TIF file to save.", "保存するBitmap or Tifファイルの指定"},
                                "File (*.bmp;*.tif)\0*.bmp;*.tif\0",
                                IDC_BAR_SAVE_IMAGE,
                                &SaveMessageText(SaveMessage::kDialogFailed)};

// The colour table's bytes that fall inside a chunk of the file starting at
// `offset` are replaced by `table` (which starts at byte `tableStart` of the file).
void PatchTableInChunk(const uint8_t* table, size_t tableBytes, uint64_t tableStart,
                       uint64_t offset, uint8_t* chunk, size_t n) {
  const uint64_t first = std::max<uint64_t>(offset, tableStart);
  const uint64_t last = std::min<uint64_t>(offset + n, tableStart + tableBytes);
  if (first < last) {
    std::memcpy(chunk + (first - offset), table + (first - tableStart),
                static_cast<size_t>(last - first));
  }
}

// Streams the source into the reserved file: each chunk is compared with
// the opened picture (the locked DIB block and what Open kept of the file,
// colour table skipped), gets its part of the new colour table, and is
// written. So the new file is the file Open read, byte for byte, but for
// the table; anything else is kSourceChanged.
SaveMessage StreamCopy(InputFile& source, HANDLE copy, const uint8_t* table, int32_t colourCount) {
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kChunk]);
  if (!buffer) return SaveMessage::kCannotWrite;
  const OpenedFile& opened = pictureFacts.opened;
  const size_t tableBytes = opened.EntrySize() * static_cast<size_t>(colourCount);
  uint64_t offset = 0;
  for (;;) {
    const DWORD got = static_cast<DWORD>(source.ReadUpTo(buffer.get(), kChunk));
    if (got == 0) break;  // the end, or a read that failed: the length below tells
    if (!MatchesOpenedFile(opened, dibBlockStart, dibBlockSize, colourCount, offset, buffer.get(),
                           got)) {
      return SaveMessage::kSourceChanged;
    }
    PatchTableInChunk(table, tableBytes, opened.TableStart(), offset, buffer.get(), got);
    DWORD written = 0;
    if (!WriteFile(copy, buffer.get(), got, &written, nullptr) || written != got) {
      return SaveMessage::kCannotWrite;
    }
    offset += got;
  }
  return offset == static_cast<uint64_t>(opened.fileSize) ? SaveMessage::kSaved
                                                           : SaveMessage::kSourceChanged;
}

// The source copied into the reserved file with the new table; both files
// are closed on return.
SaveMessage CopyWithNewTable(HWND mainWindow, const std::string& temporary, bool* refusalShown) {
  const int32_t colourCount = paletteHistory.ColourCount();
  uint8_t table[4 * 256];
  const uint32_t entrySize = pictureFacts.opened.EntrySize();
  if (!paletteHistory.WriteFileTable(table, entrySize * static_cast<size_t>(colourCount),
                                     entrySize)) {
    return SaveMessage::kCannotWrite;
  }
  // Another program may hold the source open, even for writing: every byte
  // read is checked, so sharing it costs nothing.
  InputFile source(pictureFacts.sourcePath.c_str());
  if (!source.Valid()) {
    // Gone since Open, or held by another program in a way that forbids reading.
    return GetFileAttributesA(pictureFacts.sourcePath.c_str()) == INVALID_FILE_ATTRIBUTES
               ? SaveMessage::kSourceChanged
               : SaveMessage::kCannotWrite;
  }
  FileHandle copy(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!copy.Valid()) return SaveMessage::kCannotOpen;

  SaveMessage result = SaveMessage::kSaved;
  {
    ScopedDibLock lock(mainWindow);
    if (!lock.Locked()) {
      *refusalShown = dibBlockHandle != nullptr;
      result = SaveMessage::kCannotWrite;
    } else {
      result = StreamCopy(source, copy.Get(), table, colourCount);
    }
  }
  if (result != SaveMessage::kSaved) return result;
  return copy.Close() ? SaveMessage::kSaved : SaveMessage::kCannotWrite;
}

// The BMP save; kSaved, or the message of the step that failed, with the
// destination as it was and no file left behind.
SaveMessage WriteBmp(HWND mainWindow, const char* path, bool* refusalShown) {
  if (!TargetCanBeReplaced(path)) return SaveMessage::kCannotCreate;
  const std::string temporary = ReserveTemporaryBeside(path);
  if (temporary.empty()) return SaveMessage::kCannotCreate;

  SaveMessage result = SaveMessage::kSaved;
  {
    WaitCursor wait;
    result = CopyWithNewTable(mainWindow, temporary, refusalShown);
  }
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
  ShowMessage(mainWindow, SaveMessageText(SaveMessage::kSaved), path);
}

}  // namespace

bool SaveImageTo(HWND mainWindow, const char* path) {
  if (pictureFacts.state != PictureState::kOpened || dibBlockHandle == nullptr || path == nullptr) {
    return false;
  }
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
          ShowMessage(mainWindow, SaveMessageText(SaveMessage::kNotFixedDisk));
          return false;
        }
        break;
      case SaveAction::kNotEnoughSpace: {
        if (in.enoughSpace) return false;
        const int64_t bytes = BytesToWrite(in.format, pictureFacts.opened.fileSize,
                                           static_cast<int64_t>(tiff::TiffFileSize(dibLayout)));
        in.enoughSpace = HasFreeSpace(root.c_str(), static_cast<uint64_t>(bytes));
        if (!in.enoughSpace) {
          ShowMessage(mainWindow, SaveMessageText(SaveMessage::kNotEnoughSpace));
          return false;
        }
        in.destinationExists = DestinationExists(path);
        break;
      }
      case SaveAction::kWrongExtension:
        ShowMessage(mainWindow, SaveMessageText(SaveMessage::kWrongExtension));
        return false;
      case SaveAction::kAskOverwrite:
        in.overwrite = ShowMessage(mainWindow, SaveMessageText(SaveMessage::kDestinationExists)) ==
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
        if (!refusalShown) ShowMessage(mainWindow, SaveMessageText(result));
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

bool SaveImageCommand(HWND mainWindow) {
  std::memset(savePath, 0, sizeof savePath);
  if (!RunFileDialog(mainWindow, kSaveDialog, savePath, sizeof savePath)) return false;
  if (!SaveImageTo(mainWindow, savePath)) return false;
  paletteHistory.MarkSaved();
  return true;
}

}  // namespace kestro
