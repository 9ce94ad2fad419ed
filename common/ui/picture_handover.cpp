// A picture handed to the program by its path rather than chosen in the Open
// dialog: the command line's picture, a file dropped on the main window, the
// path a second start hands to the running copy. Each is taken only while no
// dialog or box of the program is up, made full and long, and opened from the
// message loop through the program's own Open.
#include "common/ui/picture_handover.h"

#include <shellapi.h>

#include "common/ui/app_shell.h"
#include "common/ui/program_description.h"

namespace {

// The path taken, opened when kOpenHandedPath comes round the message loop.
std::string handedPath;
bool frontAfterOpen = false;  // a second start's path: the copy ends in front

}  // namespace

std::string FullLongPath(const std::string& path) {
  if (path.empty()) return path;
  char full[MAX_PATH] = {};
  const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  if (n == 0 || n >= MAX_PATH) return path;
  char longer[MAX_PATH] = {};
  const DWORD m = GetLongPathNameA(full, longer, MAX_PATH);
  return m == 0 || m >= MAX_PATH ? std::string(full) : std::string(longer);
}

void TakePath(HWND window, const std::string& path) {
  if (!IsWindowEnabled(window)) {
    MessageBeep(MB_OK);
    return;
  }
  handedPath = path;
  PostMessageA(window, kOpenHandedPath, 0, 0);
}

LRESULT OnOpenHandedPath(HWND window) {
  if (handedPath.empty() || !IsWindowEnabled(window)) return 0;
  const std::string path = handedPath;
  handedPath.clear();
  runningProgram->openPath(window, path);
  // Again after the open: the start that handed the path over may have
  // taken the front while it ended.
  if (frontAfterOpen && IsWindow(window)) SetForegroundWindow(GetLastActivePopup(window));
  frontAfterOpen = false;
  return 0;
}

LRESULT OnDropFiles(HWND window, HDROP drop) {
  char path[MAX_PATH] = {};
  const UINT n = DragQueryFileA(drop, 0, path, MAX_PATH);
  DragFinish(drop);
  if (n > 0 && n < MAX_PATH) TakePath(window, FullLongPath(path));
  return 0;
}

LRESULT OnCopyData(HWND window, const COPYDATASTRUCT* data) {
  if (data == nullptr || data->dwData != kOpenPathCopyData || data->lpData == nullptr ||
      data->cbData == 0 || data->cbData > kMostPathBytes) {
    return FALSE;
  }
  const std::string path(static_cast<const char*>(data->lpData), data->cbData);
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(GetLastActivePopup(window));
  frontAfterOpen = IsWindowEnabled(window) != FALSE;
  TakePath(window, path.substr(0, path.find('\0')));
  return TRUE;
}


std::string commandLinePath;

namespace {

struct OtherCopy {
  const char* className;
  DWORD ownProcess;
  HWND found = nullptr;
};

BOOL CALLBACK TestOtherCopy(HWND window, LPARAM param) {
  OtherCopy* search = reinterpret_cast<OtherCopy*>(param);
  char name[256] = {};
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == search->ownProcess || GetClassNameA(window, name, sizeof name) == 0 ||
      lstrcmpA(name, search->className) != 0) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

}  // namespace

void HandPathToRunningCopy() {
  if (commandLinePath.empty() || commandLinePath.size() > kMostPathBytes) return;
  // The copy's own main window: the title test may have matched some other
  // program's window, which would not know the message.
  OtherCopy search = {runningProgram->className, GetCurrentProcessId()};
  EnumWindows(TestOtherCopy, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return;
  DWORD process = 0;
  GetWindowThreadProcessId(search.found, &process);
  // The start the user made may hand the front to the copy it wakes.
  AllowSetForegroundWindow(process);
  COPYDATASTRUCT data = {};
  data.dwData = kOpenPathCopyData;
  data.cbData = static_cast<DWORD>(commandLinePath.size());
  data.lpData = &commandLinePath[0];
  DWORD_PTR answer = 0;
  // The copy only takes the path and answers; a copy that hangs does not hold this start.
  SendMessageTimeoutA(search.found, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                      SMTO_ABORTIFHUNG, 5000, &answer);
}
