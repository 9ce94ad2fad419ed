#include "kestro98/open_command.h"

#include <vector>

#include "common/base/input_file.h"
#include "common/base/no_bad_alloc.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/drive_checks.h"
#include "common/bitmap/png_picture.h"
#include "common/ui/app_shell.h"
#include "common/ui/file_dialog.h"
#include "kestro98/core/open_rules.h"
#include "kestro98/image_view.h"
#include "kestro98/load_bitmap.h"
#include "kestro98/palette_window.h"
#include "kestro98/picture.h"
#include "resources/kestro98/resource.h"

namespace kestro {

namespace {

constexpr int kPathSize = 256;

// The information field from its place to 20 pixels before the dialog's
// right edge, read-only. Found by its id in the hook's own dialog.
void StretchInfoField(HWND hookDialog) {
  HWND field = GetDlgItem(hookDialog, IDC_IMAGE_INFO);
  HWND dialog = GetParent(hookDialog);
  if (field == nullptr || dialog == nullptr) return;
  RECT d = {}, c = {}, own = {};
  GetWindowRect(dialog, &d);
  GetWindowRect(field, &c);
  GetWindowRect(hookDialog, &own);
  // The template dialog may be narrower than the open dialog: widen it first.
  if (own.right < d.right - 20) {
    SetWindowPos(hookDialog, nullptr, 0, 0, d.right - own.left, own.bottom - own.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SetWindowPos(field, nullptr, 0, 0, d.right - 20 - c.left, c.bottom - c.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(field, EM_SETREADONLY, TRUE, 0);
}

void ShowSelection(HWND hookDialog) {
  char path[kPathSize + 1] = {};
  const LRESULT n = SendMessageA(GetParent(hookDialog), CDM_GETFILEPATH, kPathSize,
                                 reinterpret_cast<LPARAM>(path));
  if (n > kPathSize) return;
  std::string text;
  const InfoVerdict verdict = n > 0 ? ImageInformationOfPath(path, &text) : InfoVerdict::kNotTaken;
  SetDlgItemTextA(hookDialog, IDC_IMAGE_INFO, verdict == InfoVerdict::kDescribed ? text.c_str() : "");
}

void ClearOnFolderChange(HWND hookDialog) {
  char path[kPathSize + 1] = {};
  const LRESULT n = SendMessageA(GetParent(hookDialog), CDM_GETFOLDERPATH, kPathSize,
                                 reinterpret_cast<LPARAM>(path));
  if (n <= kPathSize) SetDlgItemTextA(hookDialog, IDC_IMAGE_INFO, "");
}

UINT_PTR CALLBACK OpenDialogHook(HWND hookDialog, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_NOTIFY) return 0;
  switch (reinterpret_cast<const OFNOTIFYA*>(lParam)->hdr.code) {
    case CDN_INITDONE: StretchInfoField(hookDialog); break;
    case CDN_SELCHANGE: ShowSelection(hookDialog); break;
    case CDN_FOLDERCHANGE: ClearOnFolderChange(hookDialog); break;
  }
  return 0;
}

const FileDialog kOpenDialog = {false,
                                {"Select a bitmap file to open.", "開くBitmapファイルの選択"},
                                "Pictures (*.bmp;*.png)\0*.bmp;*.png\0Bitmap (*.bmp)\0*.bmp\0PNG (*.png)\0*.png\0",
                                IDC_BAR_OPEN,
                                &kOpenDialogFailed,
                                NoBadAlloc<UINT_PTR, OpenDialogHook>,
                                IDD_OPEN_INFO_EN,
                                IDD_OPEN_INFO_JA};

// The new picture, read and checked before anything shown is touched.
NewPicture next;

// The command's checks of the path and of the file's front, each refusal
// with its message; on kOk the file is open in *file and its front is in
// next (a BMP's table too, as level 0 of the history).
OpenVerdict CheckPathAndFront(const std::string& path, InputFile* file) {
  if (!IsFixedDisk(path.substr(0, 3).c_str())) return OpenVerdict::kNotFixedDisk;
  if (!HasPictureExtension(path.c_str())) return OpenVerdict::kWrongExtension;
  if (!file->Valid() || !ReadFileFront(file->Get(), &next.front)) return OpenVerdict::kCannotOpen;
  // The content decides the container; a PNG's own checks come with its read.
  if (IsPngFront(next.front)) return OpenVerdict::kOk;
  int32_t colourCount = 0;
  TableSpot table;
  const FileFront& front = next.front;
  const OpenVerdict verdict = CheckHeader(front.bytes, front.size, &colourCount, &table);
  if (verdict != OpenVerdict::kOk) return verdict;
  return next.history.Reset(front.bytes + table.offset, front.size - table.offset, colourCount,
                            table.entrySize)
             ? OpenVerdict::kOk
             : OpenVerdict::kBadFormat;
}

// A PNG read whole into next.png and decoded into the candidate block; its
// PLTE becomes level 0 of the history. False after a message, with no
// candidate held.
bool ReadNewPng(HWND window, HFILE file) {
  next.format = SaveFormat::kPng;
  PngRead read = ReadCandidatePng(file, next.front, &next.png);
  if (read == PngRead::kOk) {
    std::vector<uint8_t> rgba;
    uint8_t table[4 * 256] = {};
    const uint32_t count = next.png.layout.paletteCount;
    if (!png::PaletteEntries(next.png.bytes.data(), next.png.bytes.size(), next.png.layout, &rgba) ||
        count > 256) {
      read = PngRead::kDamaged;
    } else {
      for (uint32_t i = 0; i < count; ++i) {
        table[4 * i] = rgba[4 * i + 2];
        table[4 * i + 1] = rgba[4 * i + 1];
        table[4 * i + 2] = rgba[4 * i];
      }
      if (!next.history.Reset(table, 4 * count, static_cast<int32_t>(count))) read = PngRead::kDamaged;
    }
  }
  if (read == PngRead::kOk) return true;
  DiscardCandidateBlock();
  next.png.Clear();
  ShowMessage(window, PngReadMessage(read));
  return false;
}

// The file read once, through one handle: the command's checks on its front,
// then the reader's on the whole of it, into the candidate block. False
// after a message, with no candidate held.
bool ReadNewPicture(HWND window, const std::string& path) {
  InputFile file(path.c_str());
  const OpenVerdict verdict = CheckPathAndFront(path, &file);
  if (verdict != OpenVerdict::kOk) {
    ShowMessage(window, OpenMessage(verdict));
    return false;
  }
  if (IsPngFront(next.front)) return ReadNewPng(window, file.Get());
  next.format = SaveFormat::kBmp;
  next.png.Clear();
  return ReadCandidateBmpFile(window, file.Get(), next.front) != 0;
}

}  // namespace

InfoVerdict ImageInformationOfPath(const char* path, std::string* text) {
  if (!InfoPathAccepted(path)) return InfoVerdict::kNotTaken;
  InputFile file(path);
  static FileFront front;
  if (!file.Valid() || !ReadFileFront(file.Get(), &front)) return InfoVerdict::kNotTaken;
  return ImageInformation(front.bytes, front.size, front.fileLength, text);
}

void OpenCommand(HWND window, LeaveQuestion mayLeave) {
  char chosen[kPathSize] = {};
  if (!RunFileDialog(window, kOpenDialog, chosen, sizeof chosen)) return;
  OpenPicturePath(window, chosen, mayLeave);
}

bool OpenPicturePath(HWND window, const std::string& path, LeaveQuestion mayLeave) {
  if (!ReadNewPicture(window, path)) return false;
  // Only a picture that will be shown asks about the one it replaces.
  if (mayLeave != nullptr && !mayLeave(window)) {
    DiscardCandidateBlock();
    next.png.Clear();
    return false;
  }
  AdoptNewPicture(window, path, next);
  return true;
}

}  // namespace kestro
