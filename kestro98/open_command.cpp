#include "kestro98/open_command.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "common/base/no_bad_alloc.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/drive_checks.h"
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
  const int verdict = n > 0 ? ImageInformationOfPath(path, &text) : 0;
  SetDlgItemTextA(hookDialog, IDC_IMAGE_INFO, verdict == 2 ? text.c_str() : "");
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
                                "Bitmap (*.bmp)\0*.bmp\0",
                                IDC_BAR_OPEN,
                                &kOpenDialogFailed,
                                NoBadAlloc<UINT_PTR, OpenDialogHook>,
                                IDD_OPEN_INFO_EN,
                                IDD_OPEN_INFO_JA};

// What the command's checks read from the file: the headers and the colour
// table, and the file's length.
struct HeaderRead {
  uint8_t bytes[kHeaderBytes] = {};
  size_t size = 0;
  int64_t fileSize = 0;
};

bool ReadHeader(const char* path, HeaderRead* out) {
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  out->size = std::fread(out->bytes, 1, sizeof out->bytes, file);
  if (std::fseek(file, 0, SEEK_END) == 0) out->fileSize = _ftelli64(file);
  std::fclose(file);
  return true;
}

// The new picture's history, built before anything shown is touched.
PaletteHistory candidateHistory;

// The command's checks on a file's first bytes; on kOk *history holds the
// file's colour table as level 0.
OpenVerdict CheckFront(const HeaderRead& front, PaletteHistory* history) {
  int32_t colourCount = 0;
  TableSpot table;
  OpenVerdict verdict = CheckHeader(front.bytes, front.size, &colourCount, &table);
  if (verdict == OpenVerdict::kOk &&
      !history->Reset(front.bytes + table.offset, front.size - table.offset, colourCount,
                      table.entrySize)) {
    verdict = OpenVerdict::kBadFormat;
  }
  return verdict;
}

}  // namespace

int ImageInformationOfPath(const char* path, std::string* text) {
  if (!InfoPathAccepted(path)) return 0;
  HeaderRead header;
  if (!ReadHeader(path, &header)) return 0;
  return ImageInformation(header.bytes, header.size, header.fileSize, text);
}

void OpenCommand(HWND window, LeaveQuestion mayLeave) {
  char chosen[kPathSize] = {};
  if (!RunFileDialog(window, kOpenDialog, chosen, sizeof chosen)) return;
  OpenPicturePath(window, chosen, mayLeave);
}

void OpenPicturePath(HWND window, const std::string& path, LeaveQuestion mayLeave) {
  if (CheckChosenFile(window, path)) OpenCheckedFile(window, path, mayLeave);
}

bool CheckChosenFile(HWND window, const std::string& path) {
  const std::string root = path.substr(0, 3);
  OpenVerdict verdict = OpenVerdict::kOk;
  HeaderRead header;
  if (!IsFixedDisk(root.c_str())) {
    verdict = OpenVerdict::kNotFixedDisk;
  } else if (!HasBmpExtension(path.c_str())) {
    verdict = OpenVerdict::kWrongExtension;
  } else if (!ReadHeader(path.c_str(), &header)) {
    verdict = OpenVerdict::kCannotOpen;
  } else {
    verdict = CheckFront(header, &candidateHistory);
  }
  if (verdict != OpenVerdict::kOk) ShowMessage(window, OpenMessage(verdict));
  return verdict == OpenVerdict::kOk;
}

bool OpenCheckedFile(HWND window, const std::string& path, LeaveQuestion mayLeave) {
  // The reader's own checks, on a candidate block; the shown picture stays
  // until the new one has passed them.
  if (!ReadCandidatePicture(window, path.c_str())) return false;
  // The file may have been replaced since the checks read it: they are made
  // again on the bytes that will be shown, and the palette is taken from them.
  HeaderRead adopted;
  adopted.size = CandidateFileFront(adopted.bytes, sizeof adopted.bytes, &adopted.fileSize);
  const OpenVerdict verdict = CheckFront(adopted, &candidateHistory);
  if (verdict != OpenVerdict::kOk) {
    DiscardCandidateBlock();
    ShowMessage(window, OpenMessage(verdict));
    return false;
  }
  // Only a picture that will be shown asks about the one it replaces.
  if (mayLeave != nullptr && !mayLeave(window)) {
    DiscardCandidateBlock();
    return false;
  }

  if (pictureFacts.state == PictureState::kNoPicture) {
    ReleaseLogoSurface();
  } else {
    DestroyPaletteWindow();
  }
  if (!AdoptCandidatePicture(window)) ReleaseDibBlock();  // a block that cannot be locked is not shown
  paletteHistory = candidateHistory;
  pictureFacts.sourcePath = path;
  std::memcpy(pictureFacts.opened.fileHeader, adopted.bytes, sizeof pictureFacts.opened.fileHeader);
  pictureFacts.opened.sizeImage = bmp::GetU32(adopted.bytes + bmp::InFile(bmp::kBiSizeImage));
  pictureFacts.opened.clrUsed = bmp::GetU32(adopted.bytes + bmp::InFile(bmp::kBiClrUsed));
  pictureFacts.opened.infoSize = bmp::GetU32(adopted.bytes + bmp::InFile(bmp::kBiSize));
  pictureFacts.opened.fileSize = adopted.fileSize;
  pictureFacts.state = PictureState::kOpened;

  ResetImageView(window);
  LayOutViewScrollBars(window);
  InvalidatePictureArea(window, false);
  pictureFacts.titleBase = ToAnsi(TitlePrefix()) + FileNameOfPath(path, IsJapanese()) + " [";
  ShowViewTitle(window);
  if (paletteWindow == nullptr) CreatePaletteWindow();
  return true;
}

}  // namespace kestro
