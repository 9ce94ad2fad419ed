// A hook library the driver installs on a program's thread: Wine, like
// Windows, loads it into that process, where it can read what cannot be read
// from outside, the main window's system menu. On the registered message
// "E2EReadSystemMenu" it writes one line per item, "id<TAB>text" ("-" for a
// separator), to system-menu-N.txt beside itself, N being the request's
// number (the message's wParam), so an answer to an earlier request is never
// taken for this one's.
#include <windows.h>

#include <cstdio>
#include <string>

static HINSTANCE probeModule;

static std::string BesideSelf(const char* name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(probeModule, path, MAX_PATH);
  std::string dir(path);
  size_t slash = dir.find_last_of('\\');
  return (slash == std::string::npos ? std::string() : dir.substr(0, slash + 1)) + name;
}

static void WriteSystemMenu(HWND window, WPARAM request) {
  HMENU menu = GetSystemMenu(window, FALSE);
  std::string text;
  int count = menu ? GetMenuItemCount(menu) : -1;
  for (int i = 0; i < count; ++i) {
    char label[256] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    info.dwTypeData = label;
    info.cch = sizeof label - 1;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) break;
    text += std::to_string(info.wID) + "\t" + ((info.fType & MFT_SEPARATOR) ? std::string("-") : std::string(label)) + "\n";
  }
  const std::string out = BesideSelf(("system-menu-" + std::to_string(request) + ".txt").c_str());
  std::string part = out + ".part";
  FILE* f = std::fopen(part.c_str(), "wb");
  if (!f) return;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (std::fclose(f) == 0 && ok) MoveFileExA(part.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeGetMessage(int code, WPARAM wParam, LPARAM lParam) {
  static UINT request = RegisterWindowMessageA("E2EReadSystemMenu");
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg->message == request) WriteSystemMenu(msg->hwnd, msg->wParam);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) probeModule = instance;
  return TRUE;
}
