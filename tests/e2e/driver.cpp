#include "tests/e2e/driver.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>

namespace e2e {

std::string Ansi(const char* utf8) {
  int wide = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (wide <= 0) return std::string();
  std::vector<wchar_t> w(static_cast<size_t>(wide));
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w.data(), wide);
  int bytes = WideCharToMultiByte(CP_ACP, 0, w.data(), -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::vector<char> a(static_cast<size_t>(bytes));
  WideCharToMultiByte(CP_ACP, 0, w.data(), -1, a.data(), bytes, nullptr, nullptr);
  return std::string(a.data());
}

bool JapaneseSystem() { return GetACP() == 932; }

static std::string DirOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string ThisDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return DirOf(path);
}

std::string ProgramDir() {
  // e2e_tests.exe lives in build/<arch>/tests/e2e; the programs in build/<arch>/bin.
  return JoinPath(DirOf(DirOf(ThisDir())), "bin");
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) return dir + name;
  return dir + "\\" + name;
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadTextFile(const std::string& path) {
  std::string text;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fclose(f);
  return text;
}

std::string MakeTempDir(const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string dir = JoinPath(temp, name);
  // Empty a folder left by an earlier run (files only: the tests make no subfolders).
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(JoinPath(dir, "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileA(JoinPath(dir, found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

bool WaitUntil(const std::function<bool()>& cond, int timeoutMs, int stepMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (cond()) return true;
    if (static_cast<int>(GetTickCount() - start) >= timeoutMs) return cond();
    Sleep(static_cast<DWORD>(stepMs));
  }
}

testing::AssertionResult BringForward(HWND window, int timeoutMs) {
  DWORD asked = 0;
  const bool front = WaitUntil([&] {
    if (GetForegroundWindow() == window) return true;
    if (asked == 0 || GetTickCount() - asked >= 250) {
      SetForegroundWindow(window);
      asked = GetTickCount();
    }
    return false;
  }, timeoutMs);
  if (!front) {
    return testing::AssertionFailure() << "waited " << timeoutMs << " ms for the window in front; found \""
                                       << WindowText(GetForegroundWindow()) << "\" there";
  }
  if (!Sync(window)) return testing::AssertionFailure() << "the window in front does not answer";
  if (GetForegroundWindow() != window) {
    return testing::AssertionFailure() << "the window left the front once it had been activated";
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult Await(const std::string& awaited, const std::function<bool()>& cond,
                               const std::function<std::string()>& found, int timeoutMs) {
  if (WaitUntil(cond, timeoutMs)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "waited " << timeoutMs << " ms for " << awaited << "; found " << found();
}

testing::AssertionResult NotWithin(const std::string& event, const std::function<bool()>& happened, int ms) {
  if (WaitUntil(happened, ms)) return testing::AssertionFailure() << event << " within " << ms << " ms";
  return testing::AssertionSuccess();
}

bool Sync(HWND window, int timeoutMs) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeoutMs), &result) != 0;
}

testing::AssertionResult AwaitTitle(HWND window, const std::string& title, int timeoutMs) {
  testing::AssertionResult titled = Await("the title \"" + title + "\"", [&] { return WindowText(window) == title; },
                                          [&] { return "\"" + WindowText(window) + "\""; }, timeoutMs);
  if (titled && !Sync(window, timeoutMs)) return testing::AssertionFailure() << "the command that set the title did not end";
  return titled;
}

namespace {
// A plain CALLBACK, not a lambda: the 32-bit build needs the stdcall convention.
BOOL CALLBACK FindUnpainted(HWND child, LPARAM param) {
  if (!GetUpdateRect(child, nullptr, FALSE)) return TRUE;
  *reinterpret_cast<bool*>(param) = true;
  return FALSE;
}

bool NothingToPaint(HWND window) {
  bool pending = GetUpdateRect(window, nullptr, FALSE) != FALSE;
  if (!pending) EnumChildWindows(window, FindUnpainted, reinterpret_cast<LPARAM>(&pending));
  return !pending;
}
}  // namespace

testing::AssertionResult AwaitPainted(HWND window, int timeoutMs) {
  // Nothing to paint, and a message answered since, so a paint that had
  // begun has ended; then Wine copies the window's pixels to the screen a
  // moment later, so two equal shots in a row are what says it is done.
  Image last;
  std::string state = "no visible window";
  const bool done = WaitUntil([&] {
    if (!IsWindowVisible(window)) return false;
    if (!NothingToPaint(window) || !Sync(window, 1000) || !NothingToPaint(window)) {
      state = "a paint still pending";
      return false;
    }
    RECT r = {}, screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    GetWindowRect(window, &r);
    IntersectRect(&r, &r, &screen);
    Image now = CaptureScreen(r.left, r.top, r.right - r.left, r.bottom - r.top);
    const bool same = !last.empty() && DifferentPixels(now, last) == 0;
    state = same ? "" : "its pixels still changing";
    last = now;
    return same;
  }, timeoutMs, 50);
  if (done) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "waited " << timeoutMs << " ms for the window \"" << WindowText(window)
                                     << "\" to be painted; found " << state;
}

Process::~Process() {
  if (!handle_) return;
  Terminate();
  CloseHandle(handle_);
}

bool Process::Start(const std::string& exePath, std::string* error, const std::string& arguments) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::string commandLine = "\"" + exePath + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  std::string dir = DirOf(exePath);
  // Wine's loader can fail a start with ERROR_INTERNAL_ERROR when the
  // machine is very busy, before the program has run a line: the start is
  // made again then, a few times; any other failure is the answer.
  BOOL started = FALSE;
  for (int attempt = 0; attempt < 3; ++attempt) {
    started = CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                             dir.c_str(), &startup, &info);
    if (started || GetLastError() != ERROR_INTERNAL_ERROR) break;
    Sleep(500);
  }
  if (!started) {
    if (error) *error = "CreateProcessA(" + exePath + ") failed, error " + std::to_string(GetLastError());
    return false;
  }
  CloseHandle(info.hThread);
  handle_ = info.hProcess;
  id_ = info.dwProcessId;
  return true;
}

bool Process::WaitExit(int timeoutMs, DWORD* exitCode) {
  if (!handle_) return true;
  if (WaitForSingleObject(handle_, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(handle_, exitCode);
  return true;
}

bool Process::running() const {
  return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

void Process::Terminate() {
  if (!running()) return;
  TerminateProcess(handle_, 1);
  WaitForSingleObject(handle_, 5000);
}

namespace {
struct FindState {
  const char* cls;
  const char* title;
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto* state = reinterpret_cast<FindState*>(param);
  if (state->pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != state->pid) return TRUE;
  }
  if (state->cls && ClassOf(window) != state->cls) return TRUE;
  if (state->title && WindowText(window) != state->title) return TRUE;
  state->found.push_back(window);
  return TRUE;
}
}  // namespace

std::vector<HWND> FindTopLevel(const char* cls, const char* title, DWORD pid) {
  FindState state{cls, title, pid, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
  return state.found;
}

HWND WaitForWindow(const char* cls, const char* title, DWORD pid, int timeoutMs) {
  HWND result = nullptr;
  WaitUntil([&] {
    for (HWND w : FindTopLevel(cls, title, pid)) {
      if (IsWindowVisible(w)) { result = w; return true; }
    }
    return false;
  }, timeoutMs);
  return result;
}

HWND WaitForDialog(const char* title, DWORD pid, int timeoutMs) {
  return WaitForWindow("#32770", title, pid, timeoutMs);
}

bool WaitGone(HWND window, int timeoutMs) {
  return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  // WM_GETTEXT with a timeout, so a hung program cannot hang the test.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, 3000, &length))
    return std::string();
  return std::string(text, length < sizeof text ? length : sizeof text - 1);
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item ? WindowText(item) : std::string();
}

namespace {
BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
  if (_stricmp(ClassOf(child).c_str(), "Static") == 0)
    reinterpret_cast<std::vector<std::string>*>(param)->push_back(WindowText(child));
  return TRUE;
}
}  // namespace

std::vector<std::string> StaticTexts(HWND dialog) {
  std::vector<std::string> texts;
  EnumChildWindows(dialog, CollectStatic, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

void PressButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (button) PostMessageA(button, BM_CLICK, 0, 0);
}

namespace {

// Asks the probe inside the window's process for its system menu: true when
// the probe answered this very request within timeoutMs, with *items its lines.
bool ProbeSystemMenu(HWND window, int timeoutMs, std::vector<std::string>* items) {
  static unsigned requests = 0;
  const unsigned request = (GetCurrentProcessId() << 16) + ++requests;
  const std::string out = JoinPath(ThisDir(), "system-menu-" + std::to_string(request) + ".txt");
  DeleteFileA(out.c_str());
  bool answered = false;
  HMODULE probe = LoadLibraryA(JoinPath(ThisDir(), "e2e_menu_probe.dll").c_str());
  if (!probe) return false;
  auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probe, "ProbeGetMessage")));
  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  HHOOK hook = proc && thread ? SetWindowsHookExA(WH_GETMESSAGE, proc, probe, thread) : nullptr;
  if (hook) {
    PostMessageA(window, RegisterWindowMessageA("E2EReadSystemMenu"), request, 0);
    answered = WaitUntil([&] { return FileExists(out); }, timeoutMs);
    if (answered) {
      std::string text = ReadTextFile(out);
      size_t start = 0, end;
      while ((end = text.find('\n', start)) != std::string::npos) {
        items->push_back(text.substr(start, end - start));
        start = end + 1;
      }
      DeleteFileA(out.c_str());
    }
    UnhookWindowsHookEx(hook);
  }
  FreeLibrary(probe);
  return answered;
}

}  // namespace

std::vector<std::string> ReadSystemMenu(HWND window, int timeoutMs) {
  std::vector<std::string> items;
  ProbeSystemMenu(window, timeoutMs, &items);
  return items;
}

bool SyncPosted(HWND window, int timeoutMs) {
  std::vector<std::string> items;
  return ProbeSystemMenu(window, timeoutMs, &items);
}

static void SendMouse(int x, int y, bool click, bool right = false) {
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input[3] = {};
  for (INPUT& i : input) i.type = INPUT_MOUSE;
  // Rounded up so that Wine's (dx * width) >> 16 gives back exactly x.
  input[0].mi.dx = static_cast<LONG>((static_cast<int64_t>(x) * 65536 + width - 1) / width);
  input[0].mi.dy = static_cast<LONG>((static_cast<int64_t>(y) * 65536 + height - 1) / height);
  input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  input[2].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  SendInput(click ? 3 : 1, input, sizeof(INPUT));
}

namespace {
// Awaits that screen point (x, y) shows target and the front holds (see ClickOn).
testing::AssertionResult AwaitTargetAt(HWND target, int x, int y);
}  // namespace

testing::AssertionResult ClickOn(HWND target, int x, int y, bool right) {
  // The pointer goes there first, as a hand's does: a tip the program shows
  // beside the pointer where it was leaves with it.
  MoveMouse(x, y);
  const testing::AssertionResult shown = AwaitTargetAt(target, x, y);
  if (!shown) return shown;
  SendMouse(x, y, true, right);
  return testing::AssertionSuccess();
}

testing::AssertionResult DoubleClickOn(HWND target, int x, int y) {
  MoveMouse(x, y);
  const testing::AssertionResult shown = AwaitTargetAt(target, x, y);
  if (!shown) return shown;
  // Both clicks in one batch: their times then lie well within the double
  // click time however long the program takes over the first.
  INPUT input[4] = {};
  for (int i = 0; i < 4; ++i) {
    input[i].type = INPUT_MOUSE;
    input[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  }
  SendInput(4, input, sizeof(INPUT));
  return testing::AssertionSuccess();
}

testing::AssertionResult DragOn(HWND target, int x, int y, int toX, int toY) {
  MoveMouse(x, y);
  const testing::AssertionResult shown = AwaitTargetAt(target, x, y);
  if (!shown) return shown;
  INPUT press = {};
  press.type = INPUT_MOUSE;
  press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  SendInput(1, &press, sizeof press);
  Sync(target);
  MoveMouse((x + toX) / 2, (y + toY) / 2);
  MoveMouse(toX, toY);
  Sync(target);
  press.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &press, sizeof press);
  return testing::AssertionSuccess();
}

namespace {

testing::AssertionResult AwaitTargetAt(HWND target, int x, int y) {
  HWND root = GetAncestor(target, GA_ROOT);
  HWND there = nullptr;
  const bool menu = ClassOf(root) == "#32768";
  bool seen = false, gone = false;  // a window that showed and then went is not awaited further
  const testing::AssertionResult shown = Await("\"" + WindowText(root) + "\" at the click point", [&] {
    if (IsWindowVisible(root)) {
      seen = true;
    } else if (seen) {
      return gone = true;
    }
    there = WindowFromPoint(POINT{x, y});
    if (there == nullptr || GetAncestor(there, GA_ROOT) != root) return false;
    // With no window in front (Wine gives the front to the desktop when a
    // late focus-out reaches the program) the click's own activation would
    // race the program's focus events: the window is brought forward first.
    HWND front = GetForegroundWindow();
    if (!menu && (front == nullptr || front == GetDesktopWindow())) {
      SetForegroundWindow(root);
      return false;
    }
    // Then the front must hold while the target's thread answers: a focus
    // change still on its way would take the press from the button it hit.
    return Sync(target, 1000) && WindowFromPoint(POINT{x, y}) == there && GetForegroundWindow() == front;
  }, [&] {
    return (there ? ClassOf(there) + " \"" + WindowText(GetAncestor(there, GA_ROOT)) + "\"" : "no window") +
           " there, \"" + WindowText(GetForegroundWindow()) + "\" in front";
  });
  if (gone) return testing::AssertionFailure() << "the " << ClassOf(root) << " window went before the click";
  return shown;
}

}  // namespace

testing::AssertionResult ChooseFromContextMenu(HWND window, int x, int y, int item, int items, DWORD pid) {
  // The window in front first, as a hand clicks it before it right-clicks:
  // a right-click that also activates it starts a change of focus whose late
  // events under Wine end the menu it opens.
  HWND menu = nullptr;
  for (int opened = 1;; ++opened) {
    const testing::AssertionResult front = BringForward(GetAncestor(window, GA_ROOT));
    if (!front) return front;
    const POINT at = ClientToScreenPoint(window, x, y);
    const testing::AssertionResult clicked = ClickOn(window, at.x, at.y, true);
    if (!clicked) return clicked;
    menu = nullptr;
    const testing::AssertionResult shown = Await("the right-click menu", [&] {
      for (HWND w : FindTopLevel("#32768", nullptr, pid)) {
        if (IsWindowVisible(w)) menu = w;
      }
      return menu != nullptr;
    }, [] { return std::string("none"); });
    if (!shown) return shown;
    const testing::AssertionResult painted = AwaitPainted(menu);
    if (!painted) return testing::AssertionFailure() << "the menu was not drawn: " << painted.message();
    // The items share the menu's height inside its 3-pixel frame.
    RECT r = {};
    GetWindowRect(menu, &r);
    const int inner = (r.bottom - r.top) - 6;
    const testing::AssertionResult chosen =
        ClickOn(menu, r.left + 24, r.top + 3 + inner * (2 * item + 1) / (2 * items));
    if (chosen) break;
    // A focus event of Wine's arriving late can end the menu once it is
    // drawn, before any click, or raise the window that owns it over it:
    // with nothing chosen, the menu is opened once more (a buried one is
    // closed with Escape first, as a hand would).
    if (opened == 2) return chosen;
    if (IsWindowVisible(menu)) {
      PressKeys({}, VK_ESCAPE);
      if (!WaitGone(menu, kPatienceMs)) return chosen;
    }
  }
  return WaitGone(menu, kPatienceMs) ? testing::AssertionSuccess()
                                     : testing::AssertionFailure() << "the menu stayed after the click";
}

testing::AssertionResult FillFileDialog(HWND dialog, const std::string& path, int filter) {
  if (filter > 0) {
    HWND types = GetDlgItem(dialog, 0x470);  // cmb1, the file type box
    if (types == nullptr) return testing::AssertionFailure() << "no file type box";
    SendMessageTimeoutA(types, CB_SETCURSEL, static_cast<WPARAM>(filter - 1), 0, SMTO_ABORTIFHUNG, 3000, nullptr);
    // As a choice in the list ends: Wine's dialog takes the type on CBN_SELENDOK.
    for (WORD code : {CBN_SELENDOK, CBN_SELCHANGE}) {
      SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(0x470, code), reinterpret_cast<LPARAM>(types),
                          SMTO_ABORTIFHUNG, 3000, nullptr);
    }
  }
  HWND name = GetDlgItem(dialog, 0x47c);  // cmb13, the file name box
  if (name == nullptr) return testing::AssertionFailure() << "no file name box";
  SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG, 3000, nullptr);
  PressButton(dialog, IDOK);
  return WaitGone(dialog, kPatienceMs) ? testing::AssertionSuccess()
                                       : testing::AssertionFailure() << "the dialog stayed";
}

bool DropFiles(HWND window, const std::vector<std::string>& paths) {
  std::vector<char> block(sizeof(DROPFILES), 0);
  DROPFILES head = {};
  head.pFiles = sizeof(DROPFILES);
  head.pt = POINT{20, 40};
  std::memcpy(block.data(), &head, sizeof head);
  for (const std::string& path : paths) block.insert(block.end(), path.c_str(), path.c_str() + path.size() + 1);
  block.push_back('\0');
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return false;
  // Fixed memory of the receiver: its GlobalLock takes the address as the handle.
  void* there = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  const bool placed = there != nullptr &&
                      WriteProcessMemory(process, there, block.data(), block.size(), nullptr);
  CloseHandle(process);
  return placed && PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(there), 0);
}

static INPUT KeyInput(WORD vk, DWORD flags) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = flags;
  return in;
}

void PressKeys(std::initializer_list<WORD> held, WORD key) {
  std::vector<INPUT> inputs;
  for (WORD k : held) inputs.push_back(KeyInput(k, 0));
  inputs.push_back(KeyInput(key, 0));
  inputs.push_back(KeyInput(key, KEYEVENTF_KEYUP));
  for (auto k = held.end(); k != held.begin();) inputs.push_back(KeyInput(*--k, KEYEVENTF_KEYUP));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Wheel(int x, int y, int delta, bool tilt, std::initializer_list<WORD> held) {
  MoveMouse(x, y);
  std::vector<INPUT> inputs;
  for (WORD k : held) inputs.push_back(KeyInput(k, 0));
  INPUT wheel = {};
  wheel.type = INPUT_MOUSE;
  wheel.mi.mouseData = static_cast<DWORD>(delta);
  wheel.mi.dwFlags = tilt ? MOUSEEVENTF_HWHEEL : MOUSEEVENTF_WHEEL;
  inputs.push_back(wheel);
  for (auto k = held.end(); k != held.begin();) inputs.push_back(KeyInput(*--k, KEYEVENTF_KEYUP));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void MoveMouse(int x, int y) {
  SendMouse(x, y, false);
  WaitUntil([&] {
    POINT p;
    return GetCursorPos(&p) && p.x == x && p.y == y;
  }, 1000, 10);
}

void Click(int x, int y) {
  MoveMouse(x, y);
  SendMouse(x, y, true);
}

POINT ClientToScreenPoint(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return p;
}

Image Image::Crop(int x, int y, int w, int h) const {
  Image part;
  if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > width || y + h > height) return part;
  part.width = w;
  part.height = h;
  part.pixels.reserve(static_cast<size_t>(w) * h);
  for (int row = 0; row < h; ++row)
    for (int col = 0; col < w; ++col) part.pixels.push_back(At(x + col, y + row));
  return part;
}

bool Image::SaveBmp(const std::string& path) const {
  if (empty()) return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  uint32_t imageSize = static_cast<uint32_t>(width) * height * 4;
  uint8_t header[54] = {'B', 'M'};
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put32(2, 54 + imageSize);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(-height));  // top-down
  header[26] = 1;
  header[28] = 32;
  put32(34, imageSize);
  bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header;
  for (uint32_t pixel : pixels) {
    uint8_t bgra[4] = {static_cast<uint8_t>(pixel), static_cast<uint8_t>(pixel >> 8),
                       static_cast<uint8_t>(pixel >> 16), 0};
    ok = ok && std::fwrite(bgra, 1, 4, f) == 4;
  }
  return std::fclose(f) == 0 && ok;
}

size_t DifferentPixels(const Image& a, const Image& b) {
  if (a.width != b.width || a.height != b.height) return a.pixels.size() > b.pixels.size() ? a.pixels.size() : b.pixels.size();
  size_t differ = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) differ += a.pixels[i] != b.pixels[i];
  return differ;
}

// Copies a source DC area into a 32-bit top-down DIB section and reads it out.
static Image ReadDc(HDC source, int x, int y, int w, int h) {
  Image image;
  if (w <= 0 || h <= 0) return image;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (section && bits) {
    HGDIOBJ old = SelectObject(memory, section);
    if (BitBlt(memory, 0, 0, w, h, source, x, y, SRCCOPY)) {
      GdiFlush();
      image.width = w;
      image.height = h;
      const uint32_t* p = static_cast<const uint32_t*>(bits);
      image.pixels.assign(p, p + static_cast<size_t>(w) * h);
      for (uint32_t& pixel : image.pixels) pixel &= 0xFFFFFF;
    }
    SelectObject(memory, old);
  }
  if (section) DeleteObject(section);
  DeleteDC(memory);
  return image;
}

Image CaptureScreen(int x, int y, int w, int h) {
  HDC screen = GetDC(nullptr);
  Image image = ReadDc(screen, x, y, w, h);
  ReleaseDC(nullptr, screen);
  return image;
}

bool LoadReference(const std::string& path, Image* out) {
  const std::string text = ReadTextFile(path);
  const std::vector<uint8_t> b(text.begin(), text.end());
  auto le32 = [&](size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24; };
  if (b.size() < 54 || le32(14) < 40 || b[28] != 24) return false;
  const int w = static_cast<int>(le32(18));
  const int32_t rawH = static_cast<int32_t>(le32(22));
  const int h = rawH < 0 ? -rawH : rawH;
  const size_t stride = (static_cast<size_t>(w) * 3 + 3) / 4 * 4, offset = le32(10);
  if (offset + stride * h > b.size()) return false;
  out->width = w;
  out->height = h;
  out->pixels.assign(static_cast<size_t>(w) * h, 0);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = b.data() + offset + stride * (rawH < 0 ? y : h - 1 - y);
    for (int x = 0; x < w; ++x) {
      out->pixels[static_cast<size_t>(y) * w + x] = row[3 * x + 2] << 16 | row[3 * x + 1] << 8 | row[3 * x];
    }
  }
  return true;
}

bool LoadProgramBitmap(const std::string& exePath, const char* name, Image* out) {
  HMODULE module = LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return false;
  bool ok = false;
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (bitmap) {
    BITMAP facts = {};
    GetObjectA(bitmap, sizeof facts, &facts);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    *out = ReadDc(memory, 0, 0, facts.bmWidth, facts.bmHeight);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ok = !out->empty();
  }
  FreeLibrary(module);
  return ok;
}

std::string ShotPath(const std::string& name) {
  std::string dir = JoinPath(ThisDir(), "shots");
  CreateDirectoryA(dir.c_str(), nullptr);
  return JoinPath(dir, name + ".bmp");
}

std::vector<uint8_t> ClipboardDib() {
  std::vector<uint8_t> bytes;
  if (!OpenClipboard(nullptr)) return bytes;
  HANDLE data = GetClipboardData(CF_DIB);
  if (data != nullptr) {
    const uint8_t* p = static_cast<const uint8_t*>(GlobalLock(data));
    if (p != nullptr) bytes.assign(p, p + GlobalSize(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return bytes;
}

void PutTextOnClipboard(const char* text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
  std::memcpy(GlobalLock(block), text, std::strlen(text) + 1);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

}  // namespace e2e
