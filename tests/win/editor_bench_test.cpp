// A benchmark, not a test (disabled; run it with
//   wine win_tests.exe --gtest_also_run_disabled_tests --gtest_filter='*EditorBench*'):
// the time from a chip press to the finished repaint of a 1000 x 700 view,
// on a 16384 x 8192 and a 640 x 480 8-bit picture, at the fit level, 1:2,
// 1:1 and 10:1 scrolled to the middle; and the open of the large file (about
// 128 MiB) beside one plain read of it. It prints figures and checks nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "common/base/shell_state.h"
#include "common/bitmap/dib_block.h"
#include "kestro98/core/view_rules.h"
#include "kestro98/image_view.h"
#include "kestro98/load_bitmap.h"
#include "kestro98/main_window.h"
#include "kestro98/picture.h"
#include "tests/win/win_test_support.h"

namespace {

using namespace kestro;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from) {
  return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

std::string WritePicture(int32_t w, int32_t h, const char* name) {
  wintest::BmpShape shape;
  shape.width = w;
  shape.height = h;
  shape.bitCount = 8;
  const std::string path = wintest::ScratchFolder() + name;
  EXPECT_TRUE(wintest::WriteWholeFile(path, wintest::MakeBmp(shape)));
  return path;
}

double PlainRead(const std::string& path) {
  const Clock::time_point start = Clock::now();
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  std::vector<uint8_t> bytes(GetFileSize(f, nullptr));
  DWORD got = 0;
  ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(f);
  return Ms(start);
}

// One chip press as the palette window makes it, then the repaint the main
// window's kRepaintPicture asks for, painted at once.
double PressAndRepaint(HWND window, int entry) {
  const Clock::time_point start = Clock::now();
  paletteHistory.Press(entry, Rgb{255, 0, 128});
  if (LockDibBlock(window)) {
    paletteHistory.WriteIntoBlockTable(dibColourTable, dibBlockSize - 40);
  }
  UnlockDibBlock();
  RECT area = {0, 20, 1000, 720};
  InvalidateRect(window, &area, FALSE);
  PaintImageView(window);
  GdiFlush();
  return Ms(start);
}

TEST(EditorBench, DISABLED_ChipPressToRepaintAndOpen) {
  HWND window = mainWindow;
  SetWindowPos(window, nullptr, 0, 0, 1000, 720, SWP_NOZORDER | SWP_NOACTIVATE);
  vertScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
  horzScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
  CreateImageViewScrollBars(window);
  struct Size { int32_t w, h; const char* name; };
  const Size sizes[] = {{640, 480, "bench_small.bmp"}, {16384, 8192, "bench_large.bmp"}};
  for (const Size& s : sizes) {
    const std::string path = WritePicture(s.w, s.h, s.name);
    const double read = PlainRead(path);
    Clock::time_point start = Clock::now();
    ASSERT_TRUE(LoadBmpFile(window, path.c_str()));
    const double open = Ms(start);
    std::printf("%dx%d: open %.1f ms, one plain read %.1f ms (%.2fx)\n", s.w, s.h, open, read, open / read);
    pictureFacts.state = PictureState::kOpened;
    std::vector<uint8_t> table(1024, 0);
    paletteHistory.Reset(table.data(), table.size(), 256);
    ResetImageView(window);
    const int levels[] = {pictureFacts.fitLevel, -1, 0, 9};
    const char* names[] = {"fit", "1:2", "1:1", "10:1"};
    for (int i = 0; i < 4; ++i) {
      pictureFacts.zoomLevel = levels[i];
      horzScrollOffset = vertScrollOffset = 0;
      LayOutViewScrollBars(window);
      // The middle of the picture, in source pixels.
      if (horzShown) horzScrollOffset = ScrollMaximum(s.w, pictureFacts.zoomLevel, 1000 - (vertShown ? vertScrollWidth : 0), 0) / 2;
      if (vertShown) vertScrollOffset = ScrollMaximum(s.h, pictureFacts.zoomLevel, 700 - (horzShown ? horzScrollHeight : 0), 20) / 2;
      start = Clock::now();
      RECT area = {0, 20, 1000, 720};
      InvalidateRect(window, &area, FALSE);
      PaintImageView(window);
      const double first = Ms(start);
      double total = 0;
      const int presses = 20;
      for (int n = 0; n < presses; ++n) total += PressAndRepaint(window, n % 256);
      std::printf("  %-5s (%s): first paint %.2f ms, chip press to repaint %.3f ms\n", names[i],
                  ZoomText(pictureFacts.zoomLevel).c_str(), first, total / presses);
      while (paletteHistory.Undo()) {}
    }
    pictureFacts.state = PictureState::kNoPicture;
    ReleaseDibBlock();
    DeleteFileA(path.c_str());
  }
}

}  // namespace
