#include "common/ui/core/shell_rules.h"

#include <cstring>

#include "common/base/core/path_text.h"

namespace ui_core {

namespace {

int32_t Abs32(int32_t v) { return v < 0 ? -v : v; }

using path_text::IsShiftJisLead;

// Length in bytes of the character starting at s (never past the terminator).
size_t CharLength(const char* s, bool shiftJis) {
  if (shiftJis && IsShiftJisLead(static_cast<unsigned char>(s[0])) && s[1] != '\0') return 2;
  return 1;
}

const char* LanguageSuffix(bool japanese) { return japanese ? "J.PDF" : "E.PDF"; }

}  // namespace

WindowBox MainWindowBox(int32_t screenWidth, int32_t screenHeight, int32_t tenths) {
  WindowBox box;
  box.width = screenWidth * tenths / 10;
  box.height = screenHeight * tenths / 10;
  box.left = (screenWidth - box.width) / 2;
  box.top = (screenHeight - box.height) / 2;
  return box;
}

TaskbarMargins MarginsFromDesktop(const ScreenRect& desktop, int32_t screenWidth,
                                  int32_t screenHeight, const TaskbarMargins& previous) {
  TaskbarMargins m = previous;
  if (desktop.left == 0 && desktop.top == 0) {
    if (desktop.right < screenWidth) m = TaskbarMargins{0, screenWidth - desktop.right, 0, 0};
    if (desktop.bottom < screenHeight) m = TaskbarMargins{0, 0, 0, screenHeight - desktop.bottom};
  } else if (desktop.left == 0) {
    m = TaskbarMargins{0, 0, Abs32(desktop.top), 0};
  } else if (desktop.top == 0) {
    m = TaskbarMargins{Abs32(desktop.left), 0, 0, 0};
  }
  return m;
}

Point32 PlacementClearOfTaskbar(const TaskbarMargins& margins, int32_t screenWidth,
                                int32_t screenHeight, int32_t width, int32_t height,
                                int32_t x0, int32_t y0) {
  Point32 p{x0, y0};
  if (margins.right != 0) {
    p.x = (screenWidth - margins.right - width) / 2;
    if (p.x < 0) p.x = 0;
  } else if (margins.bottom != 0) {
    p.y = (screenHeight - margins.bottom - height) / 2;
    if (p.y < 0) p.y = 0;
  } else if (margins.top != 0) {
    // Centred in the rows below the strip, like the left edge below: a top
    // that ignored the strip would put the window's caption under the taskbar.
    p.y = (screenHeight - margins.top - height) / 2 + margins.top;
    if (p.y < margins.top) p.y = margins.top;
  } else {
    p.x = (screenWidth - margins.left - width) / 2 + margins.left;
    if (p.x < margins.left) p.x = margins.left;
  }
  return p;
}

Point32 StartupLogoPosition(const LogoGeometry& logo, int32_t clientWidth, int32_t clientHeight) {
  return Point32{(clientWidth - logo.width) / 2,
                 (clientHeight - logo.band - logo.height) / 2 + logo.band};
}

Point32 ClampedLogoPosition(const LogoGeometry& logo, int32_t clientWidth, int32_t clientHeight) {
  Point32 p = StartupLogoPosition(logo, clientWidth, clientHeight);
  if (clientWidth < logo.width) p.x = 0;
  if (clientHeight < logo.band + logo.height) p.y = logo.band;
  return p;
}

bool DisplayDepthRefused(int32_t bitsPerPixel) { return bitsPerPixel <= 4; }

int LanguageForCodePage(uint32_t codePage) { return codePage == 932 ? 1 : 0; }

bool TitleContains(const char16_t* title, const char16_t* needle) {
  if (title == nullptr || needle == nullptr || *needle == u'\0') return false;
  for (const char16_t* p = title; *p != u'\0'; ++p) {
    size_t i = 0;
    while (needle[i] != u'\0' && p[i] == needle[i]) ++i;
    if (needle[i] == u'\0') return true;
  }
  return false;
}

std::string ReadmeFromFoundProgram(const std::string& foundPath, bool japanese, size_t limit) {
  // The found file is named after the product ("...8.EXE"), so its last five
  // characters are single-byte in every code page.
  if (foundPath.size() <= 5) return std::string();
  std::string path = foundPath.substr(0, foundPath.size() - 5) + LanguageSuffix(japanese);
  if (path.size() + 1 > limit) return std::string();
  return path;
}

std::string ReadmeFromModulePath(const std::string& modulePath, const char* documentStem,
                                 bool japanese, bool shiftJis, size_t limit) {
  // The folder ends after the last separator that starts a character: in
  // code page 932 the byte '\' is also the second half of characters like 表.
  size_t folderEnd = 0;
  const char* s = modulePath.c_str();
  for (size_t i = 0; i < modulePath.size(); i += CharLength(s + i, shiftJis)) {
    if (s[i] == '\\' || s[i] == '/' || s[i] == ':') folderEnd = i + 1;
  }
  std::string path = modulePath.substr(0, folderEnd) + documentStem + LanguageSuffix(japanese);
  if (path.size() + 1 > limit) return std::string();
  return path;
}

std::string PathFromCommandLine(const char* commandLine) {
  if (commandLine == nullptr) return std::string();
  const char* p = commandLine;
  while (*p == ' ' || *p == '\t') ++p;
  // The program's own name, quoted as Windows writes it or up to a blank.
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '"') {
    const char* start = ++p;
    while (*p != '\0' && *p != '"') ++p;
    return std::string(start, p);
  }
  std::string rest(p);
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.pop_back();
  return rest;
}

}  // namespace ui_core
