// The application shell both programs share: program entry and message loop,
// the main window's shared cases (creation steps, cursor, the command
// prologue, destruction), language (app_shell.cpp); the single-copy test
// (single_copy.cpp); the picture handed over by the command line, a drop or a
// second start (picture_handover.cpp); the question before unsaved changes
// are left (unsaved_question.cpp); desktop and taskbar, placement, display
// depth (placement.cpp); the start-up logo and its surface (startup_logo.cpp);
// the readme path, About and Help (about_help.cpp). What differs between the
// programs comes from the ProgramDescription each hands to RunProgram.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "common/ui/core/shell_rules.h"
#include "common/ui/program_description.h"

// The main window's rectangle; PlaceMainWindow updates left and top.
extern ui_core::WindowBox mainWindowBox;

// Taskbar strips on the screen edges (the editor measures them; all 0 in the shuffler).
extern ui_core::TaskbarMargins taskbarMargins;

// Memory DC holding the logo "IBMP_1" from start-up until the first picture
// is opened (ReleaseLogoSurface) or the program quits; null otherwise.
extern HDC logoSurface;

// Full path of the readme document; empty when none could be formed, which
// Help reports as a missing readme.
constexpr size_t kReadmePathSize = 258;
extern char readmePath[kReadmePathSize];

// WinMain's body: adopts the program's description, registers the class,
// creates the main window, then the icon bar, and runs the message loop. 0
// when the class or the window could not be made (or start-up refused), else
// the quit message's code.
int RunProgram(HINSTANCE instance, int showCommand, const ProgramDescription& program);

// Dispatches messages until the quit message and returns its code; a failed
// GetMessageA ends the loop too and returns 0. onlyFor: the window whose
// messages are taken (all of the thread's when null, as the programs run it).
int RunMessageLoop(HWND onlyFor = nullptr);

// The cases both main windows share: WM_CREATE (face colour, language,
// platform style, then the program's startUp), WM_CLOSE and
// WM_QUERYENDSESSION (the program's question about unsaved changes first),
// WM_DESTROY (its quit), WM_ENDSESSION (a waiting copy handed over, then the
// window's end), WM_SETCURSOR (hover captions), WM_COMMAND (an icon-bar
// command of the program, run with the caption removed: About, Help and Exit
// (a WM_CLOSE) here, the others by the program's runCommand; a key's command
// only while its button is enabled), WM_DROPFILES and WM_COPYDATA (a picture
// to open); anything else to DefWindowProcA.
// A program's main window procedure handles its own messages and passes the
// rest here.
LRESULT CALLBACK ShellMainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Language flag from the system's ANSI code page.
void DetectLanguage(HWND mainWindow);

// Whether a top-level window's title contains one of the UTF-8 needles.
bool FindRunningCopy(const char* const* needles, size_t count);

// The picture the command line names, as a full path with its long names;
// empty when it names none. Read by RunProgram before the main window exists.
extern std::string commandLinePath;

// A second start that found a copy running hands the command line's picture
// to that copy's main window (WM_COPYDATA), which opens it and comes to the
// front. Nothing is sent without a picture or without such a window.
void HandPathToRunningCopy();

// WM_COPYDATA's dwData for that path (ANSI, without its terminating zero).
constexpr ULONG_PTR kOpenPathCopyData = 0x4F50454E;  // "OPEN"
constexpr DWORD kMostPathBytes = 1024;

// The grandchild of the first "Progman" window that has one; null when none
// (Wine and newer shells).
HWND FindDesktopList();

// Margins from the desktop list's rectangle, or from the work area when there
// is no desktop list.
void MeasureTaskbarMargins(HWND desktopList);

// Moves the main window clear of the taskbar (not while minimised).
void PlaceMainWindow(HWND mainWindow);

// True on a display of 16 colours or fewer.
bool DisplayHasTooFewColours();

// Shows the main window, loads "IBMP_1" into the logo surface and copies it
// onto the window at the start-up position of the program's logo.
void ShowStartupLogo(HWND mainWindow);

// Copies the program's logo from its surface onto dc at (x, y) (from the
// main window's WM_PAINT).
void PaintLogo(HDC dc, int x, int y);

// Frees the logo surface and its bitmap; harmless when there is none.
void ReleaseLogoSurface();

// Forms readmePath for the program file `programFile` ("KESTRO98.EXE") and
// the document stem ("KESTRO9"), within `limit` characters.
void FormReadmePath(const char* programFile, const char* documentStem, size_t limit);

// The question before a picture with unsaved changes is left: "Save changes
// to LEAF.BMP?" (the file's name in the ANSI code page, as the title shows
// it) with Yes, No and Cancel. Yes runs save, and only a save that wrote the
// file lets the program go on; No goes on; Cancel stops. True: go on.
bool AskBeforeLeaving(HWND mainWindow, const std::string& ansiFileName, bool (*save)(HWND));

// The About command: the modal "ABOUT_DLG" / "ABOUT_DLG_J".
void ShowAboutBox(HWND mainWindow);

// The Help command: opens readmePath with the system's viewer.
void OpenReadme(HWND mainWindow);
