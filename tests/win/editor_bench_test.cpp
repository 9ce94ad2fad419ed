// A benchmark, not a test (disabled; run it with
//   wine win_tests.exe --gtest_also_run_disabled_tests --gtest_filter='*EditorBench*'):
// the time from a chip press to the finished repaint of a 1000 x 700 view
// (median and fastest of 21) on a 640 x 480 and a 16384 x 8192 8-bit picture,
// uncompressed and the same picture as RLE8, at the fit level, 1:2, 1:1 and
// 10:1 scrolled to the middle; the open of the large files beside one plain read of each; and the
// peak working set of the real KESTRO98.EXE with no picture and after
// opening and viewing a 1 KB RLE8 file whose header claims 32768 x 32768.
// With WIN_BENCH_PNG naming a large 8-bit indexed PNG (Pillow's): its open
// beside a bare decode by the imaging component in this process, Save as
// PNG (verification included) beside CopyFileA, and the peak working set of
// the real program opening and showing it, and a 1 KB PNG claiming 65535 x
// 65535. It prints figures and checks nothing.
#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "common/base/shell_state.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/png_codec.h"
#include "kestro98/core/view_rules.h"
#include "kestro98/image_view.h"
#include "kestro98/load_bitmap.h"
#include "kestro98/main_window.h"
#include "kestro98/open_command.h"
#include "kestro98/palette_window.h"
#include "kestro98/save_command.h"
#include "kestro98/picture.h"
#include "resources/kestro98/resource.h"
#include "tests/bench/figure.h"
#include "tests/e2e/driver.h"
#include "tests/win/win_test_support.h"

namespace {

using namespace kestro;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from) {
  return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// MakeBmp's 8-bit picture as RLE8: encoded runs where three or more pixels
// repeat, absolute runs of up to 255 pixels between them.
std::vector<uint8_t> RleOf(const wintest::BmpShape& shape) {
  std::vector<uint8_t> s;
  std::vector<uint8_t> row(static_cast<size_t>(shape.width));
  for (int32_t y = shape.height - 1; y >= 0; --y) {
    for (int32_t x = 0; x < shape.width; ++x) row[x] = wintest::FixturePixel(shape, x, y);
    int32_t x = 0;
    while (x < shape.width) {
      int32_t same = 1;
      while (x + same < shape.width && same < 255 && row[x + same] == row[x]) ++same;
      if (same >= 3 || shape.width - x < 3) {
        s.insert(s.end(), {static_cast<uint8_t>(same), row[x]});
        x += same;
        continue;
      }
      int32_t n = 0;  // up to the next repeat of three, at most 255
      while (x + n < shape.width && n < 255 &&
             !(x + n + 2 < shape.width && row[x + n] == row[x + n + 1] &&
               row[x + n] == row[x + n + 2])) {
        ++n;
      }
      if (n < 3) n = std::min(3, shape.width - x);
      s.insert(s.end(), {0, static_cast<uint8_t>(n)});
      s.insert(s.end(), row.begin() + x, row.begin() + x + n);
      if (n % 2 != 0) s.push_back(0);
      x += n;
    }
    s.insert(s.end(), {0, static_cast<uint8_t>(y == 0 ? 1 : 0)});
  }
  return s;
}

// The same file behind a 124-byte version 5 header (sRGB), as GIMP and
// ImageMagick write it: 84 bytes more before the colour table.
std::vector<uint8_t> AsVersion5(std::vector<uint8_t> file) {
  std::vector<uint8_t> extra(84, 0);
  bmp::PutU32(&extra[56 - 40], 0x73524742);  // colour space "sRGB"
  file.insert(file.begin() + 54, extra.begin(), extra.end());
  bmp::PutU32(&file[2], static_cast<uint32_t>(file.size()));
  bmp::PutU32(&file[10], bmp::GetU32(&file[10]) + 84);
  bmp::PutU32(&file[14], 124);
  return file;
}

std::string WritePicture(int32_t w, int32_t h, bool rle, const char* name, bool version5 = false) {
  wintest::BmpShape shape;
  shape.width = w;
  shape.height = h;
  shape.bitCount = 8;
  const std::string path = wintest::ScratchFolder() + name;
  std::vector<uint8_t> file = rle ? wintest::RleBmp(w, h, 8, RleOf(shape)) : wintest::MakeBmp(shape);
  EXPECT_TRUE(wintest::WriteWholeFile(path, version5 ? AsVersion5(file) : file));
  return path;
}

// The peak working set of a real KESTRO98.EXE: started, then (with a
// picture) Open's dialog given the path, the picture shown and every zoom
// step the buttons allow painted (or, when refused, its message answered),
// then closed.
uint64_t EditorPeakWorkingSet(const std::string& picture, bool refused = false) {
  e2e::Process editor;
  std::string error;
  if (!editor.Start(e2e::JoinPath(e2e::ProgramDir(), "KESTRO98.EXE"), &error)) {
    std::printf("KESTRO98.EXE: %s\n", error.c_str());
    return 0;
  }
  HWND main = e2e::WaitForWindow("KESTRO98", nullptr, editor.id(), 20000);
  if (main == nullptr) {
    std::printf("KESTRO98.EXE shows no main window\n");
    return 0;
  }
  Sleep(500);
  auto repaint = [&] {
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageA(main, WM_NULL, 0, 0);
  };
  if (!picture.empty()) {
    PostMessageA(main, WM_COMMAND, IDM_OPEN, 0);
    std::vector<HWND> dialogs;
    e2e::WaitUntil([&] { return !(dialogs = e2e::FindTopLevel("#32770", nullptr, editor.id())).empty(); }, 10000);
    if (dialogs.empty()) {
      std::printf("KESTRO98.EXE shows no open dialog\n");
      return 0;
    }
    // The file name box (cmb13) may come a little after the dialog.
    HWND nameBox = nullptr;
    e2e::WaitUntil([&] { return (nameBox = GetDlgItem(dialogs[0], 0x47c)) != nullptr; }, 5000);
    Sleep(300);
    SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(picture.c_str()));
    e2e::PressButton(dialogs[0], IDOK);
    const std::string name = picture.substr(picture.rfind('\\') + 1);
    HWND box = nullptr;
    if (refused && e2e::WaitUntil([&] {
          for (HWND w : e2e::FindTopLevel("#32770", nullptr, editor.id()))
            if (w != dialogs[0] && IsWindowVisible(w)) box = w;
          return box != nullptr;
        }, 20000)) {
      e2e::PressButton(box, IDOK);
    } else if (refused || !e2e::WaitUntil([&] { return e2e::WindowText(main).find(name) != std::string::npos; }, 20000)) {
      std::printf("the picture did not open: %s\n", e2e::WindowText(main).c_str());
      return 0;
    }
    repaint();
    // Every step the Zoom In button allows, then back.
    HWND bar = FindWindowExA(main, nullptr, "IconBarWindow", nullptr);
    int steps = 0;
    while (steps < 19 && IsWindowEnabled(GetDlgItem(bar, IDC_BAR_ZOOM_IN))) {
      SendMessageA(main, WM_COMMAND, IDM_ZOOM_IN, 0);
      repaint();
      ++steps;
    }
    for (; steps > 0; --steps) {
      SendMessageA(main, WM_COMMAND, IDM_ZOOM_OUT, 0);
      repaint();
    }
    std::printf("  %s\n", e2e::WindowText(main).c_str());
  } else {
    repaint();
  }
  uint64_t peak = 0;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, editor.id());
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (process != nullptr && GetProcessMemoryInfo(process, &counters, sizeof counters)) {
    peak = counters.PeakWorkingSetSize;
  }
  if (process != nullptr) CloseHandle(process);
  PostMessageA(main, WM_CLOSE, 0, 0);
  editor.WaitExit(5000);
  return peak;
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
// The medians of 201 pointer moves over the view (each to another pixel, so
// the palette window's status line changes every time) and of 201 empty
// messages sent to the main window.
void PointerOverTheView(HWND window, const char* picture) {
  RegisterPaletteWindowClass();
  CreatePaletteWindow();
  std::vector<double> moves, empty;
  for (int n = 0; n < 201; ++n) {
    const LPARAM at = MAKELPARAM((n * 37) % 980, 20 + (n * 53) % 680);
    Clock::time_point start = Clock::now();
    PointAtView(window, at);
    moves.push_back(Ms(start));
    start = Clock::now();
    SendMessageA(window, WM_NULL, 0, 0);
    empty.push_back(Ms(start));
  }
  DestroyPaletteWindow();
  std::sort(moves.begin(), moves.end());
  std::sort(empty.begin(), empty.end());
  const std::string what = std::string("editor pointer over the view (status line), ") + picture;
  bench::PrintFigure(what.c_str(), moves[100], "1 ms budget", 1.0, "ms", 1);
  bench::PrintFigure(what.c_str(), moves[100], "empty message", empty[100], "ms");
}

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

TEST(EditorBench, DISABLED_PeakWorkingSetOfAHugeClaim) {
  // 32768 x 32768 claimed: after the headers and colour table (1078 bytes),
  // three runs, a delta across 200 rows and the end of the picture.
  const std::vector<uint8_t> stream = {255, 1, 255, 2, 0, 2, 40, 200, 255, 3, 0, 1};
  const std::vector<uint8_t> file = wintest::RleBmp(32768, 32768, 8, stream);
  const std::string path = wintest::ScratchFolder() + "claims_32768.bmp";
  ASSERT_TRUE(wintest::WriteWholeFile(path, file));
  // An ordinary small picture beside it: what Open's dialog and a view cost.
  const std::string small = WritePicture(640, 480, false, "small_640.bmp");
  const uint64_t without = EditorPeakWorkingSet("");
  const uint64_t withSmall = EditorPeakWorkingSet(small);
  const uint64_t with = EditorPeakWorkingSet(path);
  auto mb = [](uint64_t b) { return b / 1048576.0; };
  bench::PrintFigure("editor peak working set over no picture, 1 KB file claiming 32768 x 32768",
                     mb(with) - mb(without), "limit", 64, "MB", 1);
  std::printf("KESTRO98.EXE peak working set: no picture %.1f MB; a 640 x 480 8-bit file "
              "opened and viewed %.1f MB; the %u-byte RLE8 file claiming 32768 x 32768 opened "
              "and viewed %.1f MB (%.1f MB more than no picture)\n",
              mb(without), mb(withSmall), static_cast<unsigned>(file.size()), mb(with),
              mb(with) - mb(without));
  DeleteFileA(path.c_str());
  DeleteFileA(small.c_str());
}

TEST(EditorBench, DISABLED_ChipPressToRepaintAndOpen) {
  HWND window = mainWindow;
  SetWindowPos(window, nullptr, 0, 0, 1000, 720, SWP_NOZORDER | SWP_NOACTIVATE);
  vertScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
  horzScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
  CreateImageViewScrollBars(window);
  struct Size { int32_t w, h; bool rle; const char* name; bool version5; };
  const Size sizes[] = {{640, 480, false, "bench_small.bmp", false},
                        {16384, 8192, false, "bench_large.bmp", false},
                        {16384, 8192, false, "bench_large_v5.bmp", true},
                        {16384, 8192, true, "bench_large_rle8.bmp", false}};
  double uncompressedPress[4] = {};
  for (const Size& s : sizes) {
    const std::string path = WritePicture(s.w, s.h, s.rle, s.name, s.version5);
    // Medians of five, reads and opens taking turns: the machine is shared.
    std::vector<double> reads, opens;
    for (int n = 0; n < 5; ++n) {
      if (n > 0) ReleaseDibBlock();
      reads.push_back(PlainRead(path));
      const Clock::time_point opening = Clock::now();
      ASSERT_TRUE(LoadBmpFile(window, path.c_str()));
      opens.push_back(Ms(opening));
    }
    std::sort(reads.begin(), reads.end());
    std::sort(opens.begin(), opens.end());
    const double read = reads[2], open = opens[2];
    Clock::time_point start;
    std::printf("%dx%d %s: open %.1f ms, one plain read %.1f ms (%.2fx)\n", s.w, s.h,
                s.rle ? "RLE8" : "uncompressed", open, read, open / read);
    const std::string picture = std::to_string(s.w) + " x " + std::to_string(s.h) + (s.rle ? " RLE8" : "") +
                                (s.version5 ? " version 5" : "");
    bench::PrintFigure(("editor open " + picture).c_str(), open, "one read", read, "ms",
                       s.version5 ? 1.5 : 0);
    if (s.version5) {  // the header changes the open only; its paints are the picture's above
      ReleaseDibBlock();
      DeleteFileA(path.c_str());
      continue;
    }
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
      if (i == 0 && s.w == 16384) PointerOverTheView(window, (picture + " at fit").c_str());
      // The median of 21 presses: the machine is shared, a mean takes its noise.
      std::vector<double> presses;
      for (int n = 0; n < 21; ++n) presses.push_back(PressAndRepaint(window, n % 256));
      std::sort(presses.begin(), presses.end());
      std::printf("  %-5s (%s): first paint %.2f ms, chip press to repaint %.3f ms median, "
                  "%.3f ms fastest\n", names[i], ZoomText(pictureFacts.zoomLevel).c_str(), first,
                  presses[presses.size() / 2], presses[0]);
      // The large RLE8 picture beside the same picture uncompressed, zoom by zoom.
      if (s.w == 16384 && !s.rle) uncompressedPress[i] = presses[presses.size() / 2];
      if (s.w == 16384 && s.rle) {
        bench::PrintFigure((std::string("editor chip press to repaint, 16384 x 8192 RLE8 at ") + names[i]).c_str(),
                           presses[presses.size() / 2], "uncompressed", uncompressedPress[i], "ms", 2);
      }
      while (paletteHistory.Undo()) {}
    }
    pictureFacts.state = PictureState::kNoPicture;
    ReleaseDibBlock();
    DeleteFileA(path.c_str());
  }
}

// The real program's peak working set with WIN_BENCH_PNG (16384 x 8192, 8
// bits) shown and with WIN_BENCH_PNG_BOMB; then the picture opened here beside
// a bare decode (the file read, decoded by the imaging component, its indices
// copied into bottom-up rows), and saved as PNG beside CopyFileA (medians of
// three, of seven for the save; the saved message's own time printed apart).
TEST(EditorBench, DISABLED_PngOpenSaveAndPeakWorkingSet) {
  const char* picture = std::getenv("WIN_BENCH_PNG");
  ASSERT_NE(picture, nullptr) << "WIN_BENCH_PNG names no picture";
  const std::string source = wintest::ScratchFolder() + "bench_large.png", out = source + ".saved.png";
  ASSERT_TRUE(CopyFileA(picture, source.c_str(), FALSE));
  // The real program first: a picture opened here would take its start as a second one.
  auto mb = [](double b) { return b / 1048576.0; };
  const double without = static_cast<double>(EditorPeakWorkingSet(""));
  bench::PrintFigure("editor peak working set over no picture, 16384 x 8192 PNG shown",
                     mb(static_cast<double>(EditorPeakWorkingSet(source)) - without), "decoded index rows", mb(16384.0 * 8192),
                     "MB", 2.5);
  if (const char* bomb = std::getenv("WIN_BENCH_PNG_BOMB")) {
    bench::PrintFigure("editor peak working set over no picture, 1 KB PNG claiming 65535 x 65535",
                       mb(static_cast<double>(EditorPeakWorkingSet(bomb, true)) - without), "limit", 64, "MB", 1);
  }
  wintest::BoxCatcher boxes;
  auto median = [](auto f) {
    std::vector<double> t = {f(), f(), f()};
    std::sort(t.begin(), t.end());
    return t[1];
  };
  const double decode = median([&] {
    const Clock::time_point start = Clock::now();
    std::vector<uint8_t> file;
    IndexedPngFrame frame;
    if (!wintest::ReadWholeFile(source, &file) || frame.Open(file.data(), file.size()) != PngResult::kOk) return 0.0;
    const size_t stride = (size_t{frame.Width()} + 3) / 4 * 4;
    std::vector<uint8_t> rows(stride * frame.Height());
    frame.CopyIndexRows(rows.data(), rows.size(), stride, 8, true);
    return Ms(start);
  });
  const double open = median([&] {
    const Clock::time_point start = Clock::now();
    EXPECT_TRUE(OpenPicturePath(mainWindow, source));
    return Ms(start);
  });
  bench::PrintFigure("editor open 16384 x 8192 8-bit PNG", open, "bare WIC decode", decode, "ms", 1.3);
  paletteHistory.Press(3, Rgb{200, 100, 50});
  // A save's time runs until its message box begins to be made: the box, printed
  // apart below, is the same for every save and answering it is the user's.
  // Seven of each, taken in turns so that a write-back of the system's cache
  // falls on both alike; the medians. A save runs until SaveImageTo returns,
  // its saved message caught (the box is the same for every save and
  // answering it is the user's; its time is printed apart below).
  std::vector<double> saves, copies;
  for (int i = 0; i < 7; ++i) {
    DeleteFileA(out.c_str());
    CaughtMessage said;
    Clock::time_point start = Clock::now();
    EXPECT_TRUE(SaveImageTo(mainWindow, out.c_str()));
    saves.push_back(Ms(start));
    EXPECT_TRUE(said.Caught());
    start = Clock::now();
    CopyFileA(source.c_str(), out.c_str(), FALSE);
    copies.push_back(Ms(start));
  }
  std::sort(saves.begin(), saves.end());
  std::sort(copies.begin(), copies.end());
  const double save = saves[3], copy = copies[3];
  bench::PrintFigure("editor Save as PNG of a PNG (patch and verification)", save, "CopyFileA", copy, "ms", 2);
  const double box = median([&] {
    const Clock::time_point start = Clock::now();
    MessageBoxA(mainWindow, "saved", "Information", MB_ICONASTERISK);
    return Ms(start);
  });
  std::printf("of the save, the saved message box alone takes about %.1f ms\n", box);
  DestroyPaletteWindow();
  pictureFacts = PictureFacts();
  ReleaseDibBlock();
  DeleteFileA(source.c_str());
  DeleteFileA(out.c_str());
}

}  // namespace
