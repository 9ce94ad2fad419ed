// Benchmark, not a test (disabled; run with --gtest_also_run_disabled_tests
// and WIN_BENCH_PICTURE naming a large 8-bit BMP, e.g. make_pictures.py
// --large): Save as BMP (verification included) beside CopyFileA of the same
// file, Save as TIFF beside one write of as many bytes, Copy at 1:1 beside
// one copy of the picture's bytes. Best of three each; the save times include
// answering the saved message.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
#include "tests/win/win_test_support.h"

namespace {

using namespace kestro;

double Seconds() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

template <typename F>
double Best(F f) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    const double t0 = Seconds();
    f();
    best = std::min(best, Seconds() - t0);
  }
  return best * 1000;
}

TEST(DISABLED_KestroOutputBench, SaveAndCopyBesideTheirReferences) {
  const char* picture = std::getenv("WIN_BENCH_PICTURE");
  ASSERT_NE(picture, nullptr);
  std::vector<uint8_t> bytes;
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
  pictureFacts.layout = dibLayout;
  paletteHistory.WriteIntoBlockTable(dibColourTable, 4 * static_cast<size_t>(colours));
  UnlockDibBlock();
  pictureState = 1;

  const std::string folder = wintest::ScratchFolder();
  const std::string bmpOut = folder + "bench.bmp", tifOut = folder + "bench.tif";
  const std::string copyOut = folder + "copy.bmp", rawOut = folder + "raw.bin";
  wintest::BoxCatcher boxes;
  const double save = Best([&] { DeleteFileA(bmpOut.c_str()); SaveImageTo(mainWindow, bmpOut.c_str()); });
  const double copyFile = Best([&] { DeleteFileA(copyOut.c_str()); CopyFileA(picture, copyOut.c_str(), FALSE); });
  const double tiffSave = Best([&] { DeleteFileA(tifOut.c_str()); SaveImageTo(mainWindow, tifOut.c_str()); });
  const uint64_t tiffBytes = tiff::TiffFileSize(pictureFacts.layout);
  std::vector<uint8_t> raw(static_cast<size_t>(tiffBytes), 0x5A);
  const double rawWrite = Best([&] {
    HANDLE f = CreateFileA(rawOut.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, raw.data(), static_cast<DWORD>(raw.size()), &written, nullptr);
    CloseHandle(f);
  });
  const double copy = Best([&] { CopyImageAtLevel(mainWindow, 0); });
  std::vector<uint8_t> target(bytes.size());
  const double memoryCopy = Best([&] { std::memcpy(target.data(), bytes.data(), bytes.size()); });
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
  std::printf("picture %d x %d, %zu bytes; TIFF %llu bytes\n", pictureFacts.layout.width,
              pictureFacts.layout.height, bytes.size(), static_cast<unsigned long long>(tiffBytes));
  std::printf("BMP save %.1f ms, CopyFileA %.1f ms: %.2fx\n", save, copyFile, save / copyFile);
  std::printf("TIFF save %.1f ms, one write %.1f ms: %.2fx\n", tiffSave, rawWrite, tiffSave / rawWrite);
  std::printf("Copy 1:1 %.1f ms, memcpy %.1f ms: %.2fx\n", copy, memoryCopy, copy / memoryCopy);
  std::printf("clipboard hand-over of a filled block alone %.1f ms; a message box %.1f ms\n",
              handover, box);
  pictureState = 0;
  ReleaseDibBlock();
  for (const std::string& f : {bmpOut, tifOut, copyOut, rawOut}) DeleteFileA(f.c_str());
}

}  // namespace
