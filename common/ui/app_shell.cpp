#include "common/ui/app_shell.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "common/base/gdi_guards.h"
#include "common/base/no_bad_alloc.h"
#include "common/base/platform_style.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/clipboard_offer.h"
#include "common/ui/hover_caption.h"
#include "common/ui/icon_bar.h"
#include "common/ui/program_description.h"
#include "resources/common/framework_ids.h"

ui_core::WindowBox mainWindowBox = {0, 0, 0, 0};
ui_core::TaskbarMargins taskbarMargins;
HDC logoSurface = nullptr;
char readmePath[kReadmePathSize] = {};

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 titles are UTF-16");

HBITMAP logoBitmap = nullptr;
HGDIOBJ logoSurfacePrevious = nullptr;

// Null-terminated UTF-16 (only the terminator when the text cannot be
// converted). A vector rather than std::wstring keeps the wide string
// instantiations of the runtime out of the programs.
std::vector<wchar_t> Utf8ToWide(const char* utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (length <= 0) return std::vector<wchar_t>(1, L'\0');
  std::vector<wchar_t> wide(static_cast<size_t>(length));
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), length);
  return wide;
}

// ---- single-copy test ----

struct CopySearch {
  std::vector<std::vector<wchar_t>> needles;
  bool found = false;
};

BOOL CALLBACK TestWindowTitle(HWND window, LPARAM param) {
  CopySearch* search = reinterpret_cast<CopySearch*>(param);
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  for (const std::vector<wchar_t>& needle : search->needles) {
    if (ui_core::TitleContains(reinterpret_cast<const char16_t*>(title),
                               reinterpret_cast<const char16_t*>(needle.data()))) {
      search->found = true;
      return FALSE;
    }
  }
  return TRUE;
}

// ---- desktop search ----

BOOL CALLBACK TestDesktopWindow(HWND window, LPARAM param) {
  char className[256] = {};
  GetClassNameA(window, className, 256);
  if (std::string(className).find("Progman") == std::string::npos) return TRUE;
  HWND child = GetWindow(window, GW_CHILD);
  if (child == nullptr) return TRUE;
  HWND grandchild = GetWindow(child, GW_CHILD);
  if (grandchild == nullptr) return TRUE;
  *reinterpret_cast<HWND*>(param) = grandchild;
  return FALSE;
}

// ---- About ----

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

// ---- the main window's shared cases ----

LRESULT OnCreate(HWND window) {
  mainWindow = window;
  buttonFaceColour = GetSysColor(COLOR_BTNFACE);
  faceColourKnown = true;
  DetectLanguage(window);
  DetectPlatformStyle(runningProgram->look->ntStyles);
  styleDetected = true;
  runningProgram->startUp(window);
  return 0;
}

LRESULT OnSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
  DefWindowProcA(window, WM_SETCURSOR, wParam, lParam);
  UpdateHoverCaption(window);
  return 0;
}

// Only the commands of the program's own icon bar run, each with the caption
// removed and held back until it has run.
LRESULT OnCommand(HWND window, WPARAM wParam) {
  const int command = LOWORD(wParam);
  if (!ui_core::IsBarCommand(runningProgram->look->buttons, command)) return 0;
  CaptionFreeCommand captionFree(window);
  if (command == runningProgram->aboutCommand) {
    ShowAboutBox(window);
  } else if (command == runningProgram->helpCommand) {
    OpenReadme(window);
  } else if (command == runningProgram->exitCommand) {
    runningProgram->quit();
  } else {
    runningProgram->runCommand(window, command);
  }
  return 0;
}

// The program's own main window procedure, reached through NoBadAlloc.
LRESULT CALLBACK ProgramProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return runningProgram->procedure(window, message, wParam, lParam);
}

}  // namespace

int RunProgram(HINSTANCE instance, int showCommand, const ProgramDescription& program) {
  AdoptProgram(program);
  appInstance = instance;

  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = NoBadAlloc<LRESULT, ProgramProcedure>;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, RES_NAME_ICON);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = program.className;
  if (RegisterClassA(&windowClass) == 0) return 0;

  screenWidth = GetSystemMetrics(SM_CXSCREEN);
  screenHeight = GetSystemMetrics(SM_CYSCREEN);
  mainWindowBox = ui_core::MainWindowBox(screenWidth, screenHeight, program.tenths);
  program.readSystemSizes();

  HWND window = CreateWindowA(program.className, program.creationTitle, program.style,
                              mainWindowBox.left, mainWindowBox.top, mainWindowBox.width,
                              mainWindowBox.height, nullptr, nullptr, instance, nullptr);
  // A refusal during creation has destroyed the window already.
  if (window == nullptr || !IsWindow(window)) return 0;
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  if (RegisterIconBarClass(instance)) CreateIconBar(window);
  return RunMessageLoop();
}

int RunMessageLoop(HWND onlyFor) {
  // Zeroed: a loop that ends on a failed GetMessageA returns 0, not stack bytes.
  MSG message = {};
  while (GetMessageA(&message, onlyFor, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

LRESULT CALLBACK ShellMainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: runningProgram->quit(); return 0;
    case WM_SETCURSOR: return OnSetCursor(window, wParam, lParam);
    case WM_COMMAND: return OnCommand(window, wParam);
    default:
      if (AnswerClipboardOwnerMessage(window, message, wParam)) return 0;
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void DetectLanguage(HWND) { languageFlag = ui_core::LanguageForCodePage(GetACP()); }

bool FindRunningCopy(const char* const* needles, size_t count) {
  CopySearch search;
  for (size_t i = 0; i < count; ++i) search.needles.push_back(Utf8ToWide(needles[i]));
  EnumWindows(TestWindowTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindDesktopList() {
  HWND list = nullptr;
  EnumWindows(TestDesktopWindow, reinterpret_cast<LPARAM>(&list));
  return list;
}

void MeasureTaskbarMargins(HWND desktopList) {
  RECT r = {0, 0, screenWidth, screenHeight};
  if (desktopList != nullptr) {
    GetWindowRect(desktopList, &r);
  } else if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) {
    r = RECT{0, 0, screenWidth, screenHeight};
  }
  const ui_core::ScreenRect desktop{static_cast<int32_t>(r.left), static_cast<int32_t>(r.top),
                                    static_cast<int32_t>(r.right), static_cast<int32_t>(r.bottom)};
  taskbarMargins = ui_core::MarginsFromDesktop(desktop, screenWidth, screenHeight, taskbarMargins);
}

void PlaceMainWindow(HWND window) {
  if (IsIconic(window)) return;
  const ui_core::Point32 at = ui_core::PlacementClearOfTaskbar(
      taskbarMargins, screenWidth, screenHeight, mainWindowBox.width, mainWindowBox.height,
      mainWindowBox.left, mainWindowBox.top);
  HDWP batch = BeginDeferWindowPos(1);
  if (batch != nullptr) {
    batch = DeferWindowPos(batch, window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (batch != nullptr) EndDeferWindowPos(batch);
  }
  mainWindowBox.left = at.x;
  mainWindowBox.top = at.y;
}

bool DisplayHasTooFewColours() {
  HDC info = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
  // A depth that cannot be read is no reason to refuse.
  if (info == nullptr) return false;
  const int bits = GetDeviceCaps(info, BITSPIXEL);
  DeleteDC(info);
  return ui_core::DisplayDepthRefused(bits);
}

void ShowStartupLogo(HWND window) {
  ReleaseLogoSurface();
  logoBitmap = LoadBitmapA(appInstance, RES_NAME_LOGO);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  RECT client = {};
  GetClientRect(window, &client);
  ScopedGetDC dc(window);
  if (dc == nullptr) return;
  // The surface outlives this call (the paint copies from it), so no guard.
  logoSurface = CreateCompatibleDC(dc);
  if (logoSurface != nullptr && logoBitmap != nullptr) {
    logoSurfacePrevious = SelectObject(logoSurface, logoBitmap);
    const ui_core::LogoGeometry& logo = runningProgram->look->logo;
    const ui_core::Point32 p = ui_core::StartupLogoPosition(logo, client.right, client.bottom);
    PaintLogo(dc, p.x, p.y);
  }
}

void PaintLogo(HDC dc, int x, int y) {
  // Without the bitmap the surface holds only its 1 x 1 default: draw nothing.
  if (logoSurface == nullptr || logoBitmap == nullptr) return;
  const ui_core::LogoGeometry& logo = runningProgram->look->logo;
  BitBlt(dc, x, y, logo.width, logo.height, logoSurface, 0, 0, SRCCOPY);
}

void ReleaseLogoSurface() {
  if (logoSurface != nullptr) {
    if (logoSurfacePrevious != nullptr) SelectObject(logoSurface, logoSurfacePrevious);
    DeleteDC(logoSurface);
  }
  if (logoBitmap != nullptr) DeleteObject(logoBitmap);
  logoSurface = nullptr;
  logoSurfacePrevious = nullptr;
  logoBitmap = nullptr;
}

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
    ShowMessage(nullptr, Pick(runningProgram->dialogNotShown),
                Pick("System Error", "システム・エラー"), MB_SYSTEMMODAL | MB_ICONERROR);
  }
}

void OpenReadme(HWND window) {
  const char* title = Pick("Error", "エラー");
  WIN32_FIND_DATAA data = {};
  HANDLE search = readmePath[0] != '\0' ? FindFirstFileA(readmePath, &data) : INVALID_HANDLE_VALUE;
  // A folder of that name is no document either.
  if (search == INVALID_HANDLE_VALUE || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    ShowMessage(window, Pick(runningProgram->readmeMissing), title, MB_OK | MB_ICONERROR);
    return;
  }
  HINSTANCE opened = ShellExecuteA(window, "open", readmePath, nullptr, nullptr, SW_SHOWNORMAL);
  if ((reinterpret_cast<UINT_PTR>(opened) & 0xFFFF) <= 32) {
    ShowMessage(window, Pick(runningProgram->noViewer), title, MB_OK | MB_ICONERROR);
  }
  FindClose(search);
}
