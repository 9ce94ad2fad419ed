// About and Help: the About dialog of the program's language, and the
// readme document beside the program, its path formed at start and opened
// with the system's PDF viewer.
#include "common/ui/app_shell.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "common/base/no_bad_alloc.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/ui/core/shell_rules.h"
#include "common/ui/program_description.h"
#include "resources/common/framework_ids.h"

char readmePath[kReadmePathSize] = {};

namespace {

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == 1) EndDialog(dialog, 1);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void FormReadmePath(const char* programFile, const char* documentStem, size_t limit) {
  if (limit > kReadmePathSize) limit = kReadmePathSize;
  const bool japanese = IsJapanese();
  std::vector<char> module(32768);
  DWORD moduleLength = GetModuleFileNameA(nullptr, module.data(), static_cast<DWORD>(module.size()));
  if (moduleLength >= module.size()) moduleLength = 0;
  const std::string modulePath(module.data(), moduleLength);

  std::string path;
  char found[kReadmePathSize] = {};
  const DWORD length = SearchPathA(nullptr, programFile, nullptr, static_cast<DWORD>(limit), found,
                                   nullptr);
  // A result as long as the buffer or longer did not fit (SearchPathA then
  // returns the size it needs). A file of the product's name elsewhere on the
  // search path is another installation, whose readme is not ours to open.
  if (length > 0 && length < limit && lstrcmpiA(found, modulePath.c_str()) == 0) {
    path = ui_core::ReadmeFromFoundProgram(std::string(found, length), japanese, limit);
  }
  if (path.empty() && !modulePath.empty()) {
    // Renamed or moved out of the search order: the document stands beside
    // this very program file and keeps the product's name.
    path = ui_core::ReadmeFromModulePath(modulePath, documentStem, japanese, GetACP() == 932, limit);
  }
  readmePath[0] = '\0';
  if (!path.empty() && path.size() < kReadmePathSize) {
    path.copy(readmePath, path.size());
    readmePath[path.size()] = '\0';
  }
}

void ShowAboutBox(HWND window) {
  const INT_PTR result = DialogBoxParamA(appInstance, Pick(RES_NAME_ABOUT, RES_NAME_ABOUT_J),
                                         window, NoBadAlloc<INT_PTR, AboutDialogProc>, 0);
  if (result == -1) {
    ShowMessage(nullptr, runningProgram->dialogNotShown);
  }
}

void OpenReadme(HWND window) {
  WIN32_FIND_DATAA data = {};
  HANDLE search = readmePath[0] != '\0' ? FindFirstFileA(readmePath, &data) : INVALID_HANDLE_VALUE;
  // A folder of that name is no document either.
  if (search == INVALID_HANDLE_VALUE || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    ShowMessage(window, runningProgram->readmeMissing);
    return;
  }
  HINSTANCE opened = ShellExecuteA(window, "open", readmePath, nullptr, nullptr, SW_SHOWNORMAL);
  if ((reinterpret_cast<UINT_PTR>(opened) & 0xFFFF) <= 32) {
    ShowMessage(window, runningProgram->noViewer);
  }
  FindClose(search);
}
