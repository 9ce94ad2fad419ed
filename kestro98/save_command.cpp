// Save Image. A BMP of a BMP source is never written from memory: the source
// file is copied beside the destination, every chunk checked against the
// picture as Open read it (so a source changed since then is never mixed
// with the edited palette), with the colour table from the current history
// level and reserved bytes 0, and only the complete file replaces the
// destination. A save over the source itself goes the same way, so the
// source is never left half-written. A PNG of a PNG source is the file Open
// kept with only PLTE's colours replaced, after the source on disk was read
// again and found unchanged but for those colours. A new file in the other container (a BMP made
// of a PNG's block, a PNG encoded from a BMP's rows) is written from memory.
// Those three are read back from the file beside the destination and
// compared byte for byte before it replaces the destination. A TIFF goes
// through the shared TIFF writer, which replaces its target the same way.
#include "kestro98/save_command.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "common/base/file_handle.h"
#include "common/base/gdi_guards.h"
#include "common/base/input_file.h"
#include "common/base/text.h"
#include "common/bitmap/core/png_chunks.h"
#include "common/bitmap/core/tiff_layout.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/drive_checks.h"
#include "common/bitmap/png_codec.h"
#include "common/bitmap/png_picture.h"
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

// The chunk every save reads into, made once for the run: fresh memory for
// each save costs its page faults again. Null when it cannot be had.
uint8_t* ChunkBuffer() {
  static std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kChunk]);
  return buffer.get();
}
// Writes go in pieces of this size: under Wine one large WriteFile costs
// several times what the same bytes cost in 64 KB pieces.
constexpr size_t kWritePiece = 64 * 1024;
// The source's own format first.
const FileDialog kSaveDialogs[2] = {
    {true,
     {"Assign a BMP or TIF file to save.", "保存するBitmap or Tifファイルの指定"},
     "Bitmap (*.bmp)\0*.bmp\0TIFF (*.tif)\0*.tif\0PNG (*.png)\0*.png\0",
     IDC_BAR_SAVE_IMAGE,
     &SaveMessageText(SaveMessage::kDialogFailed)},
    {true,
     {"Assign a BMP or TIF file to save.", "保存するBitmap or Tifファイルの指定"},
     "PNG (*.png)\0*.png\0Bitmap (*.bmp)\0*.bmp\0TIFF (*.tif)\0*.tif\0",
     IDC_BAR_SAVE_IMAGE,
     &SaveMessageText(SaveMessage::kDialogFailed)},
};

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
  uint8_t* const buffer = ChunkBuffer();
  if (buffer == nullptr) return SaveMessage::kCannotWrite;
  const OpenedFile& opened = pictureFacts.opened;
  const size_t tableBytes = opened.EntrySize() * static_cast<size_t>(colourCount);
  uint64_t offset = 0;
  for (;;) {
    const DWORD got = static_cast<DWORD>(source.ReadUpTo(buffer, kChunk));
    if (got == 0) break;  // the end, or a read that failed: the length below tells
    if (!MatchesOpenedFile(opened, dibBlockStart, dibBlockSize, colourCount, offset, buffer,
                           got)) {
      return SaveMessage::kSourceChanged;
    }
    PatchTableInChunk(table, tableBytes, opened.TableStart(), offset, buffer, got);
    DWORD written = 0;
    if (!WriteFile(copy, buffer, got, &written, nullptr) || written != got) {
      return SaveMessage::kCannotWrite;
    }
    offset += got;
  }
  return offset == static_cast<uint64_t>(opened.fileSize) ? SaveMessage::kSaved
                                                           : SaveMessage::kSourceChanged;
}

// Why the source cannot be opened for reading again: gone since Open, or
// held by another program in a way that forbids reading.
SaveMessage SourceNotReadable() {
  return GetFileAttributesA(pictureFacts.sourcePath.c_str()) == INVALID_FILE_ATTRIBUTES ? SaveMessage::kSourceChanged
                                                                                       : SaveMessage::kCannotWrite;
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
  if (!source.Valid()) return SourceNotReadable();
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

// One stretch of the bytes of a file written from memory.
struct Piece {
  const uint8_t* data;
  size_t size;
};

bool WritePieces(HANDLE file, const std::vector<Piece>& pieces) {
  for (const Piece& piece : pieces) {
    for (size_t done = 0; done < piece.size;) {
      const DWORD n = static_cast<DWORD>(std::min<size_t>(piece.size - done, kWritePiece));
      DWORD written = 0;
      if (!WriteFile(file, piece.data + done, n, &written, nullptr) || written != n) return false;
      done += n;
    }
  }
  return true;
}

// The file read back, every byte compared with the pieces, and nothing after them.
bool ReadsBackAs(const std::string& path, const std::vector<Piece>& pieces) {
  uint8_t* const buffer = ChunkBuffer();
  InputFile back(path.c_str());
  if (buffer == nullptr || !back.Valid()) return false;
  for (const Piece& piece : pieces) {
    for (size_t done = 0; done < piece.size;) {
      const size_t n = std::min(piece.size - done, kChunk);
      if (!back.Read(buffer, n) || std::memcmp(buffer, piece.data + done, n) != 0) return false;
      done += n;
    }
  }
  return back.ReadUpTo(buffer, 1) == 0;
}

// A file made in memory: written beside the destination, closed, read back
// and compared, and only then moved over the destination.
SaveMessage ReplaceWithPieces(const char* path, const std::vector<Piece>& pieces) {
  if (!TargetCanBeReplaced(path)) return SaveMessage::kCannotCreate;
  const std::string temporary = ReserveTemporaryBeside(path);
  if (temporary.empty()) return SaveMessage::kCannotCreate;
  SaveMessage result = SaveMessage::kSaved;
  {
    WaitCursor wait;
    FileHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.Valid()) {
      result = SaveMessage::kCannotOpen;
    } else if (!WritePieces(file.Get(), pieces) || !file.Close() || !ReadsBackAs(temporary, pieces)) {
      result = SaveMessage::kCannotWrite;
    }
  }
  if (result != SaveMessage::kSaved) {
    DeleteFileA(temporary.c_str());
    return result;
  }
  return ReplaceWithTemporary(temporary, path) ? SaveMessage::kSaved : SaveMessage::kCannotCreate;
}

// The source, read again, is still the PNG Open kept, byte for byte but for
// PLTE's colours and CRC (a save over the source itself writes them), as the
// BMP save skips the colour table.
SaveMessage PngSourceUnchanged() {
  const std::vector<uint8_t>& kept = pictureFacts.png.bytes;
  const png::PngLayout& layout = pictureFacts.png.layout;
  InputFile source(pictureFacts.sourcePath.c_str());
  if (!source.Valid()) return SourceNotReadable();
  uint8_t* const buffer = ChunkBuffer();
  if (buffer == nullptr) return SaveMessage::kNoMemory;
  const size_t skipFrom = layout.plteOffset + 8;
  const size_t skipTo = skipFrom + 3 * size_t{layout.paletteCount} + 4;
  size_t offset = 0;
  for (;;) {
    const size_t got = source.ReadUpTo(buffer, kChunk);
    if (got == 0) break;
    if (got > kept.size() - offset) return SaveMessage::kSourceChanged;
    PatchTableInChunk(kept.data() + skipFrom, skipTo - skipFrom, skipFrom, offset, buffer, got);
    if (std::memcmp(buffer, kept.data() + offset, got) != 0) return SaveMessage::kSourceChanged;
    offset += got;
  }
  return offset == kept.size() ? SaveMessage::kSaved : SaveMessage::kSourceChanged;
}

// PNG of a PNG source: the kept file with PLTE's colours from the current
// level, patched where it is kept (no copy of the file): the source check
// passes over PLTE's colours and CRC, and every save writes them anew.
SaveMessage WritePngOfPng(const char* path) {
  const int32_t count = paletteHistory.ColourCount();
  uint8_t rgb[3 * 256];
  for (int32_t i = 0; i < count; ++i) {
    const Rgb c = paletteHistory.Entry(i);
    rgb[3 * i] = c.red, rgb[3 * i + 1] = c.green, rgb[3 * i + 2] = c.blue;
  }
  const SaveMessage unchanged = PngSourceUnchanged();
  if (unchanged != SaveMessage::kSaved) return unchanged;
  PngSource& source = pictureFacts.png;
  if (!png::PatchPaletteInPlace(source.bytes.data(), source.bytes.size(), source.layout, rgb,
                                static_cast<uint32_t>(count))) {
    return SaveMessage::kCannotWrite;
  }
  return ReplaceWithPieces(path, {{source.bytes.data(), source.bytes.size()}});
}

// PNG of a BMP source: the locked block's indices (an RLE picture's decoded
// first) with the current colours, encoded at the picture's depth with a PLTE
// of the table's length.
SaveMessage EncodeLockedPicture(std::vector<uint8_t>* encoded) {
  const int32_t count = paletteHistory.ColourCount();
  uint32_t argb[256];
  for (int32_t i = 0; i < count; ++i) {
    const Rgb c = paletteHistory.Entry(i);
    argb[i] = 0xFF000000u | uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue;
  }
  switch (EncodeLockedBlock(dibLayout.bitCount, argb, static_cast<uint32_t>(count), false, encoded)) {
    case PngResult::kOk: return SaveMessage::kSaved;
    case PngResult::kIndexPastPalette: return SaveMessage::kIndexPastTable;
    case PngResult::kNoMemory: return SaveMessage::kNoMemory;
    default: return SaveMessage::kCannotWrite;
  }
}

SaveMessage WritePngOfBmp(HWND mainWindow, const char* path, bool* refusalShown) {
  std::vector<uint8_t> encoded;
  {
    WaitCursor wait;
    ScopedDibLock lock(mainWindow);
    if (!lock.Locked()) {
      *refusalShown = dibBlockHandle != nullptr;
      return SaveMessage::kCannotWrite;
    }
    const SaveMessage result = EncodeLockedPicture(&encoded);
    if (result != SaveMessage::kSaved) return result;
  }
  return ReplaceWithPieces(path, {{encoded.data(), encoded.size()}});
}

// BMP of a PNG source: the block as it stands (a 40-byte header, the table at
// its length, the rows) with the current colours, after a file header.
SaveMessage WriteBmpOfPng(HWND mainWindow, const char* path, bool* refusalShown) {
  ScopedDibLock lock(mainWindow);
  if (!lock.Locked()) {
    *refusalShown = dibBlockHandle != nullptr;
    return SaveMessage::kCannotWrite;
  }
  const int32_t count = paletteHistory.ColourCount();
  const size_t tableStart = static_cast<size_t>(dibLayout.colourTableOffset);
  const size_t tableEnd = tableStart + 4 * static_cast<size_t>(count);
  uint8_t table[4 * 256];
  if (dibLayout.entrySize != 4 || tableEnd > dibBlockSize ||
      !paletteHistory.WriteFileTable(table, tableEnd - tableStart, 4)) {
    return SaveMessage::kCannotWrite;
  }
  uint8_t header[bmp::kFileHeaderSize] = {'B', 'M'};
  bmp::PutU32(header + bmp::kBfSize, static_cast<uint32_t>(bmp::kFileHeaderSize + dibBlockSize));
  bmp::PutU32(header + bmp::kBfOffBits, static_cast<uint32_t>(bmp::kFileHeaderSize + dibLayout.pixelOffset));
  return ReplaceWithPieces(path, {{header, sizeof header},
                                  {dibBlockStart, tableStart},
                                  {table, tableEnd - tableStart},
                                  {dibBlockStart + tableEnd, dibBlockSize - tableEnd}});
}

// The file of the chosen format, from the source's container.
SaveMessage WriteChosen(HWND mainWindow, SaveFormat format, const char* path, bool* refusalShown) {
  const bool pngSource = pictureFacts.sourceFormat == SaveFormat::kPng;
  if (format == SaveFormat::kPng) {
    return pngSource ? WritePngOfPng(path) : WritePngOfBmp(mainWindow, path, refusalShown);
  }
  return pngSource ? WriteBmpOfPng(mainWindow, path, refusalShown) : WriteBmp(mainWindow, path, refusalShown);
}

// The size of the file a save makes new (not a copy of its source).
int64_t NewFileSize(SaveFormat format) {
  switch (format) {
    case SaveFormat::kTiff: return static_cast<int64_t>(tiff::TiffFileSize(dibLayout));
    case SaveFormat::kPng:
      return static_cast<int64_t>(NewPngBound(static_cast<uint32_t>(dibLayout.width),
                                              static_cast<uint32_t>(dibLayout.height), dibLayout.bitCount));
    default: return static_cast<int64_t>(bmp::kFileHeaderSize + dibBlockSize);
  }
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
        const int64_t bytes = BytesToWrite(in.format, pictureFacts.sourceFormat, pictureFacts.opened.fileSize,
                                           NewFileSize(in.format));
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
      case SaveAction::kWriteBmp:
      case SaveAction::kWritePng: {
        bool refusalShown = false;
        const SaveMessage result = WriteChosen(mainWindow, in.format, path, &refusalShown);
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
  const FileDialog& dialog = kSaveDialogs[pictureFacts.sourceFormat == SaveFormat::kPng ? 1 : 0];
  if (!RunFileDialog(mainWindow, dialog, savePath, sizeof savePath)) return false;
  if (!SaveImageTo(mainWindow, savePath)) return false;
  paletteHistory.MarkSaved();
  return true;
}

}  // namespace kestro
