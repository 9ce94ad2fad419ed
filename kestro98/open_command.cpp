#include "kestro98/open_command.h"

#include "common/base/input_file.h"
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
                                "Bitmap (*.bmp)\0*.bmp\0",
                                IDC_BAR_OPEN,
                                &kOpenDialogFailed,
                                NoBadAlloc<UINT_PTR, OpenDialogHook>,
                                IDD_OPEN_INFO_EN,
                                IDD_OPEN_INFO_JA};

// The new picture, read and checked before anything shown is touched.
NewPicture next;

// The command's checks of the path and of the file's front, each refusal
// with its message; on kOk the file is open in *file and its front and
// table are in next.
OpenVerdict CheckPathAndFront(const std::string& path, InputFile* file) {
  if (!IsFixedDisk(path.substr(0, 3).c_str())) return OpenVerdict::kNotFixedDisk;
  if (!HasBmpExtension(path.c_str())) return OpenVerdict::kWrongExtension;
  if (!file->Valid() || !ReadFileFront(file->Get(), &next.front)) return OpenVerdict::kCannotOpen;
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
    return false;
  }
  AdoptNewPicture(window, path, next);
  return true;
}

}  // namespace kestro
