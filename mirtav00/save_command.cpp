// Save Image: the save dialog (the opened file's own format listed first),
// then the decisions of save_rules in their fixed order (the opened file,
// the overwrite question, the drive, the room, the extension), asked of the
// platform only as the sequence reaches them; then the BMP, TIFF or PNG
// writer. A PNG is encoded from the block's rows; one saved from a PNG keeps
// that file's chunks around the new pixels, its palette-bound chunks moved
// through sourceOrder (png::AssembleReordered). Every writer writes a file of
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

// The PNG's depth and interlace: the opened PNG's, or the picture's depth.
uint32_t PngDepth() { return FromPng() ? pngSource.layout.bitDepth : dibLayout.bitCount; }
uint32_t PngInterlace() { return FromPng() ? pngSource.layout.interlace : 0; }

// The largest of the files the picture gives, for the free-space check.
uint64_t PlannedSize(HWND window) {
  ScopedDibLock lock(window);
  if (!lock.Locked()) return 0;
  const uint64_t bmpSize = ShufflerBmpFileSize(dibLayout);
  const uint64_t tiffSize = tiff::TiffFileSize(dibLayout);
  const uint64_t pngSize = PngSizeBound(png::RawDataBytes(static_cast<uint32_t>(dibLayout.width),
                                                          static_cast<uint32_t>(dibLayout.height), PngDepth(),
                                                          PngInterlace()),
                                        pngSource.bytes.size());
  const uint64_t larger = bmpSize > tiffSize ? bmpSize : tiffSize;
  return larger > pngSize ? larger : pngSize;
}

// The locked block's picture as a PNG in *encoded, its palette the table
// (opaque: a PNG source's tRNS comes back from the source's own chunk).
PngResult EncodeLockedPicture(std::vector<uint8_t>* encoded) {
  uint32_t argb[shuffle::kMaxColours];
  for (int32_t i = 0; i < paletteColourCount; ++i) {
    argb[i] = 0xFF000000u | static_cast<uint32_t>(PaletteTable[i].red) << 16 |
              static_cast<uint32_t>(PaletteTable[i].green) << 8 | static_cast<uint32_t>(PaletteTable[i].blue);
  }
  return EncodeLockedBlock(PngDepth(), argb, static_cast<uint32_t>(paletteColourCount), PngInterlace() == 1,
                           encoded);
}

// The PNG file's bytes in *out: the encoded picture itself, or from a PNG
// source that file's chunks around it. The message of a failure, or null.
const Message* MakePngFile(HWND window, std::vector<uint8_t>* out) {
  std::vector<uint8_t> encoded;
  PngResult result = PngResult::kWicFailed;
  {
    ScopedDibLock lock(window);
    if (lock.Locked()) result = EncodeLockedPicture(&encoded);
  }
  switch (result) {
    case PngResult::kOk: break;
    case PngResult::kIndexPastPalette: return &kMsgPngIndexPastTable;
    case PngResult::kNoMemory: return &kMsgNoMemory;
    default: return &kMsgCannotCreatePng;
  }
  if (!FromPng()) {
    out->swap(encoded);
    return nullptr;
  }
  const bool assembled = png::AssembleReordered(pngSource.bytes.data(), pngSource.bytes.size(), pngSource.layout,
                                                encoded.data(), encoded.size(), sourceOrder, out);
  return assembled ? nullptr : &kMsgCannotCreatePng;
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

int WritePngFile(HWND window) {
  FileBeside output;
  FILE* file = output.Open(shufflerPicture.savePath);
  if (file == nullptr) {
    ShowMessage(window, kMsgCannotCreatePng);
    return 1;
  }
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
  std::vector<uint8_t> bytes;
  const Message* failure = nullptr;
  try {
    failure = MakePngFile(window, &bytes);
  } catch (const std::bad_alloc&) {
    failure = &kMsgNoMemory;
  }
  const bool written = failure == nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const FileBeside::Outcome outcome = output.Finish(written);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  if (outcome != FileBeside::Outcome::kPlaced) {
    ShowMessage(window, failure != nullptr ? *failure : kMsgCannotCreatePng);
    return 1;
  }
  return 0;
}

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
      std::memcpy(savedOrder, sourceOrder, sizeof savedOrder);
      ShowMessage(window, kMsgBmpSaved, path);
      return true;
    case SaveVerdict::kWriteTiff:
      if (WriteTiffFile(window, path) != 0) return false;
      std::memcpy(savedOrder, sourceOrder, sizeof savedOrder);
      ShowMessage(window, kMsgTiffSaved, path);
      return true;
    case SaveVerdict::kWritePng:
      if (WritePngFile(window) != 0) return false;
      std::memcpy(savedOrder, sourceOrder, sizeof savedOrder);
      ShowMessage(window, kMsgPngSaved, path);
      return true;
    default: ShowMessage(window, *MessageOf(verdict)); return false;
  }
}

}  // namespace mirtav
