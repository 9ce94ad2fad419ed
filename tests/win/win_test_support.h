// Support for the in-process Win32 tests: a main window to own the boxes, a
// catcher that records every message box shown on this thread (text, title,
// owner, icon, optionally a screenshot of it) and answers it, and small
// helpers for files and BMP fixtures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace wintest {

// The window the tests hand to the code as main window (client 800 x 600).
HWND TestMainWindow();

struct CapturedBox {
  std::string text;     // ANSI code page bytes, as the box holds them
  std::string title;
  HWND owner = nullptr;
  bool errorIcon = false;
  bool timedOut = false;  // closed by the guard timer, not by its OK button
  double shownAt = 0;     // QueryPerformanceCounter time it was activated, in seconds
  double createdAt = 0;   // the same clock when its window began to be made: the code before it has run
  // Filled when screenshots are asked for: pixels of the box's rectangle that
  // differ from the screen before the box, and the dark (text) pixels among them.
  int area = 0;
  int changedPixels = 0;
  int darkPixels = 0;
};

// While alive, every dialog box activated on this thread is read and closed.
class BoxCatcher {
 public:
  explicit BoxCatcher(bool screenshots = false);
  ~BoxCatcher();
  BoxCatcher(const BoxCatcher&) = delete;
  BoxCatcher& operator=(const BoxCatcher&) = delete;
  const std::vector<CapturedBox>& Boxes() const;
  // The button pressed in a box that has it (IDYES, IDNO); IDOK otherwise.
  void Answer(int buttonId);
};

// The expected UTF-8 text as the box shows it in this process's code page.
std::string Ansi(const char* utf8);

// True when the process runs with the Japanese code page (LANG=ja_JP.UTF-8).
bool JapaneseCodePage();

// A folder of its own under the temporary folder, emptied at start.
std::string ScratchFolder();
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes);
bool FileExists(const std::string& path);

// While alive, every operator new in this process of fromBytes bytes or more
// fails (std::bad_alloc; the nothrow forms give null), as when the system
// has no memory left. Nothing may throw past the code under test meanwhile.
class FailingAllocations {
 public:
  explicit FailingAllocations(size_t fromBytes = 0);
  ~FailingAllocations();
  FailingAllocations(const FailingAllocations&) = delete;
  FailingAllocations& operator=(const FailingAllocations&) = delete;
};

// Lock count of a movable global block.
unsigned LockCount(HGLOBAL block);

// An indexed BMP file built field by field. Rows bottom-up unless topDown.
// The screen's pixels (0x00RRGGBB) in the rectangle, row after row; empty
// when it cannot be read.
std::vector<uint32_t> CaptureScreen(int x, int y, int w, int h);
// What a window has painted in its client area, read from its own DC, so it
// does not wait for the screen to show it.
std::vector<uint32_t> CaptureClient(HWND window);

struct BmpShape {
  int32_t width = 8;
  int32_t height = 4;
  uint16_t bitCount = 8;
  uint32_t clrUsed = 0;          // 0: the full table of 2^bitCount entries is written
  uint32_t infoSize = 40;        // biSize
  uint32_t gap = 0;              // bytes between colour table and pixels
  bool topDown = false;
  bool zeroPixelOffset = false;  // pixel-data offset field 0
  int64_t totalSizeDelta = 0;    // added to the true total size field
  uint32_t pixelOffsetDelta = 0; // added to the true pixel-data offset field
  uint32_t trailing = 0;         // bytes after the total size
};
std::vector<uint8_t> MakeBmp(const BmpShape& shape);
// A named shape of a table of cases.
struct NamedShape {
  const char* name;
  BmpShape shape;
};
// Adds a case of that size and depth to `cases`; the shape returned may be
// changed further until the next case is added.
BmpShape* AddShape(std::vector<NamedShape>* cases, const char* name, int32_t width, int32_t height,
                   uint16_t bitCount);
// A BMP of MakeBmp's headers and colour table whose pixels are the RLE
// stream given (RLE8 for 8 bits, RLE4 for 4).
std::vector<uint8_t> RleBmp(int32_t width, int32_t height, uint16_t bitCount,
                            const std::vector<uint8_t>& stream);
// Pixel index at (x, y), y counted from the top, as MakeBmp fills it.
uint8_t FixturePixel(const BmpShape& shape, int32_t x, int32_t y);

}  // namespace wintest
