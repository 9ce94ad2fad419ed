// Benchmark, not a test (disabled; run with --gtest_also_run_disabled_tests
// and WIN_BENCH_PICTURE naming a large 8-bit BMP, e.g. make_pictures.py
// --large): Save as BMP (verification included) beside CopyFileA of the same
// file, Save as TIFF beside one write of as many bytes, Copy at 1:1 beside
// one copy of the picture's bytes. Best of three each; a save's time ends
// when its saved message appears.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

#include "common/base/shell_state.h"
#include "common/bitmap/core/tiff_layout.h"
#include "common/bitmap/dib_block.h"
#include "kestro98/copy_command.h"
#include "kestro98/core/open_rules.h"
#include "kestro98/load_bitmap.h"
#include "kestro98/main_window.h"
#include "kestro98/picture.h"
#include "kestro98/save_command.h"
#include "tests/bench/figure.h"
#include "tests/win/win_test_support.h"

namespace {

using namespace kestro;

double Seconds() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// Best of three: the time f takes, or the time it returns when it measures
// a part of its work itself.
template <typename F>
double Best(F f) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    const double t0 = Seconds();
    double took = 0;
    if constexpr (std::is_void_v<decltype(f())>) {
      f();
      took = Seconds() - t0;
    } else {
      took = f();
    }
    best = std::min(best, took);
  }
  return best * 1000;
}

// WIN_BENCH_PICTURE set up as Open leaves it, with one colour changed;
// its bytes in `bytes`.
void OpenBenchPicture(const char* picture, std::vector<uint8_t>* out) {
  ASSERT_NE(picture, nullptr);
  std::vector<uint8_t>& bytes = *out;
  ASSERT_TRUE(wintest::ReadWholeFile(picture, &bytes));
  int32_t colours = 0;
  ASSERT_EQ(CheckHeader(bytes.data(), bytes.size(), &colours), OpenVerdict::kOk);
  ASSERT_TRUE(LoadBmpFile(mainWindow, picture));
  pictureFacts.sourcePath = picture;
  std::memcpy(pictureFacts.opened.fileHeader, bytes.data(), 14);
  pictureFacts.opened.sizeImage = bmp::GetU32(&bytes[34]);
  pictureFacts.opened.clrUsed = bmp::GetU32(&bytes[46]);
  pictureFacts.opened.fileSize = static_cast<int64_t>(bytes.size());
  ASSERT_TRUE(paletteHistory.Reset(&bytes[54], 4 * static_cast<size_t>(colours), colours));
  paletteHistory.Press(3, Rgb{200, 100, 50});
  ASSERT_EQ(LockDibBlock(mainWindow), 1);
  paletteHistory.WriteIntoBlockTable(dibColourTable, 4 * static_cast<size_t>(colours));
  UnlockDibBlock();
  pictureFacts.state = PictureState::kOpened;
}

TEST(DISABLED_KestroOutputBench, SaveAndCopyBesideTheirReferences) {
  const char* picture = std::getenv("WIN_BENCH_PICTURE");
  std::vector<uint8_t> bytes;
  ASSERT_NO_FATAL_FAILURE(OpenBenchPicture(picture, &bytes));

  const std::string folder = wintest::ScratchFolder();
  const std::string bmpOut = folder + "bench.bmp", tifOut = folder + "bench.tif";
  const std::string copyOut = folder + "copy.bmp", rawOut = folder + "raw.bin";
  wintest::BoxCatcher boxes;
  // A save's time runs until its message appears; answering it is the user's.
  auto untilMessage = [&](const std::string& out) {
    DeleteFileA(out.c_str());
    const double t0 = Seconds();
    SaveImageTo(mainWindow, out.c_str());
    return boxes.Boxes().empty() ? 1e9 : boxes.Boxes().back().shownAt - t0;
  };
  const double save = Best([&] { return untilMessage(bmpOut); });
  const double copyFile = Best([&] { DeleteFileA(copyOut.c_str()); CopyFileA(picture, copyOut.c_str(), FALSE); });
  const double tiffSave = Best([&] { return untilMessage(tifOut); });
  const uint64_t tiffBytes = tiff::TiffFileSize(dibLayout);
  std::vector<uint8_t> raw(static_cast<size_t>(tiffBytes), 0x5A);
  const double rawWrite = Best([&] {
    HANDLE f = CreateFileA(rawOut.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, raw.data(), static_cast<DWORD>(raw.size()), &written, nullptr);
    CloseHandle(f);
  });
  const double copy = Best([&] { CopyImageAtLevel(mainWindow, 0); });
  // What the first paste then pays: the hand-over of the offered block.
  const double paste = Best([&] {
    CopyImageAtLevel(mainWindow, 0);
    const double t0 = Seconds();
    OpenClipboard(mainWindow);
    GetClipboardData(CF_DIB);
    CloseClipboard();
    return Seconds() - t0;
  });
  std::vector<uint8_t> target(bytes.size());
  const double memoryCopy = Best([&] { std::memcpy(target.data(), bytes.data(), bytes.size()); });
  // The same copy into memory just allocated, as a copy for the clipboard must be.
  const double freshCopy = Best([&] {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    GlobalFree(block);
  });
  // What the platform's clipboard alone costs for a block of that size, and
  // what the saved message costs.
  const double handover = Best([&] {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    OpenClipboard(mainWindow);
    EmptyClipboard();
    if (SetClipboardData(CF_DIB, block) == nullptr) GlobalFree(block);
    CloseClipboard();
  });
  const double box = Best([&] { MessageBoxA(mainWindow, "saved", "Information", MB_ICONASTERISK); });
  std::printf("picture %d x %d, %zu bytes; TIFF %llu bytes\n", dibLayout.width,
              dibLayout.height, bytes.size(), static_cast<unsigned long long>(tiffBytes));
  std::printf("BMP save %.1f ms, CopyFileA %.1f ms: %.2fx\n", save, copyFile, save / copyFile);
  std::printf("TIFF save %.1f ms, one write %.1f ms: %.2fx\n", tiffSave, rawWrite, tiffSave / rawWrite);
  std::printf("Copy 1:1 %.1f ms, memcpy %.1f ms: %.2fx; memcpy into a new block %.1f ms: %.2fx\n", copy,
              memoryCopy, copy / memoryCopy, freshCopy, copy / freshCopy);
  std::printf("first paste after a copy (the hand-over) %.1f ms\n", paste);
  std::printf("clipboard hand-over of a filled block alone %.1f ms; a message box %.1f ms\n",
              handover, box);
  bench::PrintFigure("editor BMP save", save, "CopyFileA", copyFile);
  bench::PrintFigure("editor TIFF save", tiffSave, "one write", rawWrite);
  bench::PrintFigure("editor Copy at 1:1", copy, "memcpy", memoryCopy);
  bench::PrintFigure("editor first paste after Copy", paste, "hand-over alone", handover);
  pictureFacts.state = PictureState::kNoPicture;
  ReleaseDibBlock();
  for (const std::string& f : {bmpOut, tifOut, copyOut, rawOut}) DeleteFileA(f.c_str());
}

// What a paste in another program does: open the clipboard, take the DIB.
DWORD WINAPI PasteOnAnotherThread(LPVOID out) {
  SIZE_T size = 0;
  for (int i = 0; i < 100 && !OpenClipboard(nullptr); ++i) Sleep(10);
  HANDLE data = GetClipboardData(CF_DIB);
  if (data != nullptr) size = GlobalSize(data);
  CloseClipboard();
  *static_cast<SIZE_T*>(out) = size;
  return 0;
}

}  // namespace

// The paste of a copy made at zoom step WIN_BENCH_LEVEL (default 1:1) by
// another thread, while this one answers the request as the editor's
// message loop does: the hand-over the copy left to the paste.
TEST(DISABLED_KestroOutputBench, PasteInAnotherThread) {
  const char* level = std::getenv("WIN_BENCH_LEVEL");
  std::vector<uint8_t> bytes;
  ASSERT_NO_FATAL_FAILURE(OpenBenchPicture(std::getenv("WIN_BENCH_PICTURE"), &bytes));
  ASSERT_TRUE(CopyImageAtLevel(mainWindow, level != nullptr ? std::atoi(level) : 0));
  SIZE_T size = 0;
  const double t0 = Seconds();
  HANDLE thread = CreateThread(nullptr, 0, PasteOnAnotherThread, &size, 0, nullptr);
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }
  CloseHandle(thread);
  std::printf("pasted by another thread: %zu bytes in %.1f ms\n", static_cast<size_t>(size),
              (Seconds() - t0) * 1000);
  EXPECT_GT(size, bytes.size() - 14 - 1) << "nothing pasted";
  pictureFacts.state = PictureState::kNoPicture;
  ReleaseDibBlock();
}
