// Save Image: the save dialog (the opened file's own format listed first),
// then the decisions of save_rules in their fixed order (the opened file,
// the overwrite question, the drive, the room, the extension), asked of the
// platform only as the sequence reaches them; then the BMP, TIFF or PNG
// writer. A PNG is encoded from the block's rows; one saved from a PNG keeps
// that file's chunks around the new pixels, its palette-bound chunks moved
// through sourceOrder and cut to the table's length (png::AssembleReordered). Every writer writes a file of
// its own beside the target and puts it in place only when it is complete.
#include "mirtav00/save_command.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "common/base/text.h"
#include "common/bitmap/core/png_chunks.h"
#include "common/bitmap/core/tiff_layout.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/drive_checks.h"
#include "common/bitmap/file_beside.h"
#include "common/bitmap/png_codec.h"
#include "common/bitmap/png_picture.h"
#include "common/bitmap/tiff_writer.h"
#include "common/ui/file_dialog.h"
#include "mirtav00/core/bmp_writer.h"
#include "mirtav00/core/save_rules.h"
#include "mirtav00/picture.h"
#include "resources/mirtav00/resource.h"

namespace mirtav {

namespace {

// The save dialog, under the Save Image button of the icon bar: the opened
// file's format first.
const FileDialog kSaveDialogs[] = {
    {true, {"Assign a BMP or TIF file to save.", "保存する Bitmap or Tiff ファイルの指定"},
     "Bitmap (*.bmp)\0*.bmp\0TIFF (*.tif)\0*.tif\0PNG (*.png)\0*.png\0", IDC_BAR_SAVE_IMAGE,
     &kMsgSaveDialogFailed},
    {true, {"Assign a BMP or TIF file to save.", "保存する Bitmap or Tiff ファイルの指定"},
     "PNG (*.png)\0*.png\0Bitmap (*.bmp)\0*.bmp\0TIFF (*.tif)\0*.tif\0", IDC_BAR_SAVE_IMAGE,
     &kMsgSaveDialogFailed},
};

bool FromPng() { return !pngSource.bytes.empty(); }

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

bool FromPng(const PictureToWrite& p) { return p.png != nullptr && !p.png->bytes.empty(); }

// The PNG's depth and interlace: the opened PNG's, or the picture's depth.
uint32_t PngDepth(const PictureToWrite& p) { return FromPng(p) ? p.png->layout.bitDepth : p.layout.bitCount; }
uint32_t PngInterlace(const PictureToWrite& p) { return FromPng(p) ? p.png->layout.interlace : 0; }

// The picture's block and order as the writers take them; valid while the
// block is locked.
PictureToWrite LockedPicture() {
  return {dibBlockStart, dibBlockSize, dibLayout, PaletteTable, paletteColourCount, &pngSource, sourceOrder};
}

uint64_t PlannedSize(HWND window) {
  ScopedDibLock lock(window);
  return lock.Locked() ? PlannedSizeOf(LockedPicture()) : 0;
}

// The picture as a PNG in *encoded, its palette the table (opaque: a PNG
// source's tRNS comes back from the source's own chunk).
PngResult EncodePicture(const PictureToWrite& p, std::vector<uint8_t>* encoded) {
  uint32_t argb[shuffle::kMaxColours];
  for (int32_t i = 0; i < p.colourCount; ++i) {
    argb[i] = 0xFF000000u | static_cast<uint32_t>(p.table[i].red) << 16 |
              static_cast<uint32_t>(p.table[i].green) << 8 | static_cast<uint32_t>(p.table[i].blue);
  }
  return EncodeBlockPicture(p.layout, p.block + p.layout.pixelOffset, PngDepth(p), argb,
                            static_cast<uint32_t>(p.colourCount), PngInterlace(p) == 1, encoded);
}

// The PNG file's bytes in *out: the encoded picture itself, or from a PNG
// source that file's chunks around it. The message of a failure, or null.
const Message* MakePngFile(const PictureToWrite& p, std::vector<uint8_t>* out) {
  std::vector<uint8_t> encoded;
  switch (EncodePicture(p, &encoded)) {
    case PngResult::kOk: break;
    case PngResult::kIndexPastPalette: return &kMsgPngIndexPastTable;
    case PngResult::kNoMemory: return &kMsgNoMemory;
    default: return &kMsgCannotCreatePng;
  }
  if (!FromPng(p)) {
    out->swap(encoded);
    return nullptr;
  }
  const bool assembled = png::AssembleReordered(p.png->bytes.data(), p.png->bytes.size(), p.png->layout,
                                                encoded.data(), encoded.size(), p.sourceOrder,
                                                static_cast<uint32_t>(p.colourCount), out);
  return assembled ? nullptr : &kMsgCannotCreatePng;
}

// Runs a writer on the shown picture under the wait cursor, the block locked
// (a refused lock has shown its message): 0, or 1 after the failure's message.
int WriteShownPicture(HWND window, const Message* (*writer)(const PictureToWrite&, const char*),
                      const Message& lockFailed) {
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
  const Message* failure = &lockFailed;
  {
    ScopedDibLock lock(window);
    if (lock.Locked()) failure = writer(LockedPicture(), shufflerPicture.savePath);
  }
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  if (failure != nullptr) {
    ShowMessage(window, *failure);
    return 1;
  }
  return 0;
}

}  // namespace

uint64_t PlannedSizeOf(const PictureToWrite& p) {
  const uint64_t bmpSize = ShufflerBmpFileSize(p.layout);
  const uint64_t tiffSize = tiff::TiffFileSize(p.layout);
  const uint64_t pngSize = PngSizeBound(png::RawDataBytes(static_cast<uint32_t>(p.layout.width),
                                                          static_cast<uint32_t>(p.layout.height), PngDepth(p),
                                                          PngInterlace(p)),
                                        FromPng(p) ? p.png->bytes.size() : 0);
  const uint64_t larger = bmpSize > tiffSize ? bmpSize : tiffSize;
  return larger > pngSize ? larger : pngSize;
}

const Message* WriteBmpPicture(const PictureToWrite& picture, const char* path) {
  FileBeside output;
  FILE* file = output.Open(path);
  if (file == nullptr) return &kMsgCannotCreateBmp;
  FileSink sink(file);
  const bool written = WriteShufflerBmp(picture.block, picture.blockSize, picture.layout, sink) == BmpResult::kOk;
  return output.Finish(written) == FileBeside::Outcome::kPlaced ? nullptr : &kMsgCannotCreateBmp;
}

const Message* WritePngPicture(const PictureToWrite& picture, const char* path) {
  FileBeside output;
  FILE* file = output.Open(path);
  if (file == nullptr) return &kMsgCannotCreatePng;
  std::vector<uint8_t> bytes;
  const Message* failure = nullptr;
  try {
    failure = MakePngFile(picture, &bytes);
  } catch (const std::bad_alloc&) {
    failure = &kMsgNoMemory;
  }
  const bool written = failure == nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (output.Finish(written) == FileBeside::Outcome::kPlaced) return nullptr;
  return failure != nullptr ? failure : &kMsgCannotCreatePng;
}

int WriteBmpFile(HWND window) { return WriteShownPicture(window, WriteBmpPicture, kMsgCannotCreateBmp); }

int WritePngFile(HWND window) { return WriteShownPicture(window, WritePngPicture, kMsgCannotCreatePng); }

bool SaveImage(HWND window) {
  char* path = shufflerPicture.savePath;
  std::memset(path, 0, kPathBufferSize);
  if (!RunFileDialog(window, kSaveDialogs[FromPng() ? 1 : 0], path, kPathBufferSize)) return false;

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
      MarkOrderSaved();
      ShowMessage(window, kMsgBmpSaved, path);
      return true;
    case SaveVerdict::kWriteTiff:
      if (WriteTiffFile(window, path) != 0) return false;
      MarkOrderSaved();
      ShowMessage(window, kMsgTiffSaved, path);
      return true;
    case SaveVerdict::kWritePng:
      if (WritePngFile(window) != 0) return false;
      MarkOrderSaved();
      ShowMessage(window, kMsgPngSaved, path);
      return true;
    default: ShowMessage(window, *MessageOf(verdict)); return false;
  }
}

}  // namespace mirtav
