// The application shell's arithmetic, apart from Win32 so that every row of
// its tables can be checked natively: main window size, taskbar margins and
// placement, the logo position, the readme path, the display-depth and
// language decisions, and the title match of the single-copy test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ui_core {

struct WindowBox {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
};

// The main window at tenths/10 of the screen (8 for the editor, 9 for the
// shuffler), centred; every division truncates toward zero.
WindowBox MainWindowBox(int32_t screenWidth, int32_t screenHeight, int32_t tenths);

// Width of the taskbar strip on each screen edge; at most one is non-zero.
struct TaskbarMargins {
  int32_t left = 0;
  int32_t right = 0;
  int32_t top = 0;
  int32_t bottom = 0;
};

// A screen rectangle: right and bottom exclusive, as Win32 gives them.
struct ScreenRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// The margins from the desktop rectangle (the desktop list window's, or the
// work area); a rectangle that tells nothing leaves `previous` unchanged.
TaskbarMargins MarginsFromDesktop(const ScreenRect& desktop, int32_t screenWidth,
                                  int32_t screenHeight, const TaskbarMargins& previous);

struct Point32 {
  int32_t x;
  int32_t y;
};

// New top-left of a window w x h, now at (x0, y0), so that it stands clear of
// the taskbar.
Point32 PlacementClearOfTaskbar(const TaskbarMargins& margins, int32_t screenWidth,
                                int32_t screenHeight, int32_t width, int32_t height,
                                int32_t x0, int32_t y0);

// A program's start-up logo: its size and the band above the area it is
// centred in (the editor keeps its 20-pixel icon bar band free).
struct LogoGeometry {
  int32_t width;
  int32_t height;
  int32_t band;
};

// Where the logo is drawn at start-up in a client area W x H: centred in the
// area below the band, every division truncating toward zero; left of or
// above the client area when the area is smaller than the logo.
Point32 StartupLogoPosition(const LogoGeometry& logo, int32_t clientWidth, int32_t clientHeight);

// The same, but never left of 0 or above the band: how the editor's image
// view repaints the logo.
Point32 ClampedLogoPosition(const LogoGeometry& logo, int32_t clientWidth, int32_t clientHeight);

// A display of 16 colours or fewer is refused by the editor.
bool DisplayDepthRefused(int32_t bitsPerPixel);

// 0 English, 1 Japanese: Japanese exactly for the ANSI code page 932.
int LanguageForCodePage(uint32_t codePage);

// Whether a window title contains the needle: a plain, case-sensitive
// substring test. Titles are compared as UTF-16, so a copy running in the
// other language (another ANSI code page) is read without loss.
bool TitleContains(const char16_t* title, const char16_t* needle);

// The readme path from the program's own file found under its product name
// (".../KESTRO98.EXE"): the found path less its last five characters, then
// "E.PDF" or "J.PDF". Empty when the result, with its terminating zero,
// would not fit into `limit` characters or the found path is too short.
std::string ReadmeFromFoundProgram(const std::string& foundPath, bool japanese, size_t limit);

// The readme path from the running module's own path, whatever the program
// file is called: its folder, then documentStem ("KESTRO9", "MIRTAV0") and
// "E.PDF" or "J.PDF". Empty when the result would not fit into `limit`.
std::string ReadmeFromModulePath(const std::string& modulePath, const char* documentStem,
                                 bool japanese, bool shiftJis, size_t limit);

// The picture named on a command line after the program's own name (quoted
// or not): a quoted name ends at its closing quote, an unquoted one is the
// rest of the line, spaces inside kept and those around it dropped. Empty
// when the line names nothing after the program.
std::string PathFromCommandLine(const char* commandLine);

}  // namespace ui_core
