#include "mirtav00/file_dialog.h"

#include <commdlg.h>

#include <string>

#include "common/base/text.h"
#include "mirtav00/core/open_check.h"
#include "mirtav00/message_box.h"

namespace mirtav {

bool RunFileDialog(HWND window, const FileDialog& spec, char* path) {
  const std::string title = ToAnsi(Pick(spec.titleEnglish, spec.titleJapanese));
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window;
  dialog.lpstrFilter = spec.filter;
  dialog.lpstrFile = path;
  dialog.nMaxFile = kPathBufferSize;
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  const BOOL chosen = spec.save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  const DWORD error = chosen ? 0 : CommDlgExtendedError();
  InvalidateRect(window, &spec.button, TRUE);
  UpdateWindow(window);
  if (error != 0) ShowShufflerMessageWithNumber(window, *spec.failed, error);
  return chosen != FALSE;
}

}  // namespace mirtav
