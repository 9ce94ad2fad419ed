#include "common/ui/file_dialog.h"

#include <string>

#include "common/base/shell_state.h"
#include "common/ui/program_description.h"

bool RunFileDialog(HWND window, const FileDialog& spec, char* path, size_t pathSize,
                   DWORD* filterIndex) {
  const std::string title = ToAnsi(Pick(spec.title));
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window;
  dialog.hInstance = appInstance;
  dialog.lpstrFilter = spec.filter;
  dialog.lpstrFile = path;
  dialog.nMaxFile = static_cast<DWORD>(pathSize);
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | spec.moreFlags;
  if (filterIndex != nullptr) dialog.nFilterIndex = *filterIndex;
  if (spec.hook != nullptr) {
    dialog.Flags |= OFN_ENABLETEMPLATE | OFN_ENABLEHOOK;
    dialog.lpfnHook = spec.hook;
    dialog.lpTemplateName =
        MAKEINTRESOURCEA(IsJapanese() ? spec.templateJapanese : spec.templateEnglish);
  }
  const BOOL chosen = spec.save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  const DWORD error = chosen ? 0 : CommDlgExtendedError();
  if (chosen && filterIndex != nullptr) *filterIndex = dialog.nFilterIndex;
  ui_core::ButtonBox box = {};
  if (ui_core::ButtonRectangle(runningProgram->look->buttons, spec.button, 0, screenWidth, &box)) {
    const RECT button = {box.left, box.top, box.right, box.bottom};
    InvalidateRect(window, &button, TRUE);
    UpdateWindow(window);
  }
  if (error != 0) ShowMessage(window, *spec.failed, static_cast<unsigned long>(error));
  return chosen != FALSE;
}
