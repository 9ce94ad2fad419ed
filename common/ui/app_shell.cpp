// The shell's core: program entry, the message loop and the main window's
// shared cases. Its other jobs stand in files of their own: single_copy,
// picture_handover (the command line's picture, a drop, a second start's
// path), unsaved_question, placement, startup_logo, about_help.
#include "common/ui/app_shell.h"

#include "common/base/no_bad_alloc.h"
#include "common/base/platform_style.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/clipboard_offer.h"
#include "common/ui/hover_caption.h"
#include "common/ui/icon_bar.h"
#include "common/ui/picture_handover.h"
#include "common/ui/program_description.h"
#include "resources/common/framework_ids.h"

namespace {

// The program's keys (RES_NAME_KEYS), translated for the main window.
HACCEL keyTable = nullptr;

// Exit, the close box and Alt+F4: the program's question first. A close
// that arrives while a dialog or message box of the program is up is not
// taken: the command under it is still running.
LRESULT OnClose(HWND window) {
  if (!IsWindowEnabled(window)) {
    MessageBeep(MB_OK);
    return 0;
  }
  if (runningProgram->mayLeavePicture(window)) DestroyWindow(window);
  return 0;
}

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

// The session is ending and the process may be ended without another
// message: a copy still waiting on the clipboard goes over now, then the
// window ends as it would by its close box.
LRESULT OnEndSession(HWND window, WPARAM ending) {
  if (ending) {
    HandOverPendingOffer(window);
    DestroyWindow(window);
  }
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
  const ui_core::ButtonSpec* row = ui_core::FindButtonOfCommand(runningProgram->look->buttons, command);
  if (row == nullptr) return 0;
  // A key does what its button does, and nothing while the button is disabled.
  if (HIWORD(wParam) == 1) {
    HWND button = IconBarButton(row->controlId);
    if (button != nullptr && !IsWindowEnabled(button)) return 0;
  }
  CaptionFreeCommand captionFree(window);
  if (command == runningProgram->aboutCommand) {
    ShowAboutBox(window);
  } else if (command == runningProgram->helpCommand) {
    OpenReadme(window);
  } else if (command == runningProgram->exitCommand) {
    // Exit leaves the way the close box does, so the window's end (a copy
    // handed over, the program's quit) runs the same for every way out.
    PostMessageA(window, WM_CLOSE, 0, 0);
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

  commandLinePath = FullLongPath(ui_core::PathFromCommandLine(GetCommandLineA()));
  keyTable = LoadAcceleratorsA(instance, RES_NAME_KEYS);
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
  DragAcceptFiles(window, TRUE);
  if (!commandLinePath.empty()) TakePath(window, commandLinePath);
  const int code = RunMessageLoop();
  // A loop ended by anything but the window's own end still hands a waiting
  // copy over and ends the window, so nothing the user copied is lost.
  if (IsWindow(window)) {
    HandOverPendingOffer(window);
    DestroyWindow(window);
  }
  return code;
}

int RunMessageLoop(HWND onlyFor) {
  // Zeroed: a loop that ends on a failed GetMessageA returns 0, not stack bytes.
  MSG message = {};
  while (GetMessageA(&message, onlyFor, 0, 0) > 0) {
    if (runningProgram != nullptr && runningProgram->takeKey != nullptr && runningProgram->takeKey(message)) {
      continue;
    }
    // The keys work in the palette window too: their commands go to the main window.
    if (keyTable != nullptr && mainWindow != nullptr &&
        TranslateAcceleratorA(mainWindow, keyTable, &message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

LRESULT CALLBACK ShellMainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_CLOSE: return OnClose(window);
    case WM_DESTROY: runningProgram->quit(); return 0;
    case WM_SETCURSOR: return OnSetCursor(window, wParam, lParam);
    case WM_COMMAND: return OnCommand(window, wParam);
    case WM_QUERYENDSESSION: return runningProgram->mayLeavePicture(window) ? TRUE : FALSE;
    case WM_DROPFILES: return OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
    case WM_COPYDATA: return OnCopyData(window, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case kOpenHandedPath: return OnOpenHandedPath(window);
    case WM_ENDSESSION: return OnEndSession(window, wParam);
    default:
      if (AnswerClipboardOwnerMessage(window, message, wParam)) return 0;
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void DetectLanguage(HWND) { languageFlag = ui_core::LanguageForCodePage(GetACP()); }
