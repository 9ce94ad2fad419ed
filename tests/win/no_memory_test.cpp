// The editor without memory: an allocator that fails on purpose (every
// operator new of a size or more) while the view paints an RLE picture or
// Copy fills its block. The paint leaves the window's background and returns,
// Copy shows its own message, nothing escapes, and the picture stays: once
// memory is back, both work again on the same block.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/base/gdi_guards.h"
#include "common/base/no_bad_alloc.h"
#include "common/base/shell_state.h"
#include "common/bitmap/clipboard_offer.h"
#include "common/bitmap/dib_block.h"
#include "kestro98/copy_command.h"
#include "kestro98/core/clipboard_layout.h"
#include "kestro98/image_view.h"
#include "kestro98/load_bitmap.h"
#include "kestro98/main_window.h"
#include "kestro98/picture.h"
#include "tests/win/win_test_support.h"

namespace {

using namespace kestro;

constexpr int32_t kWidth = 300, kHeight = 2000;

// Each row: 150 pixels of index 5, 150 of index 9. The row index of 2000
// rows passes 4 KiB.
std::vector<uint8_t> TwoColumnStream() {
  std::vector<uint8_t> s;
  for (int32_t y = 0; y < kHeight; ++y) s.insert(s.end(), {150, 5, 150, 9, 0, 0});
  s.insert(s.end(), {0, 1});
  return s;
}

// The RLE picture opened and shown as the editor does after Open.
class EditorWithoutMemory : public testing::Test {
 protected:
  void SetUp() override {
    vertScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    horzScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
    CreateImageViewScrollBars(mainWindow);
    const std::vector<uint8_t> file = wintest::RleBmp(kWidth, kHeight, 8, TwoColumnStream());
    path_ = wintest::ScratchFolder() + "two_columns.bmp";
    ASSERT_TRUE(wintest::WriteWholeFile(path_, file));
    ASSERT_TRUE(LoadBmpFile(mainWindow, path_.c_str()));
    ASSERT_TRUE(paletteHistory.Reset(&file[54], 1024, 256));
    pictureFacts.state = PictureState::kOpened;
    ResetImageView(mainWindow);
  }
  void TearDown() override {
    pictureFacts.state = PictureState::kNoPicture;
    ResetImageView(mainWindow);
    ReleaseDibBlock();
    DestroyWindow(horzScrollBar);
    DestroyWindow(vertScrollBar);
    horzScrollBar = vertScrollBar = nullptr;
    DeleteFileA(path_.c_str());
  }
  // Paints the picture area now; false when an exception came out.
  static bool Paint() {
    InvalidateRect(mainWindow, nullptr, FALSE);
    try {
      PaintImageView(mainWindow);
    } catch (...) {
      return false;
    }
    return true;
  }
  // Pixels of the picture area (below the icon band, left of any scroll bar)
  // that are not `colour`.
  static int PicturePixelsNot(uint32_t colour) {
    RECT client = {};
    GetClientRect(mainWindow, &client);
    const std::vector<uint32_t> pixels = wintest::CaptureClient(mainWindow);
    const int right = client.right - (vertShown ? vertScrollWidth : 0);
    const int bottom = client.bottom - (horzShown ? horzScrollHeight : 0);
    int other = 0;
    for (int y = 20; y < bottom; ++y) {
      for (int x = 0; x < right; ++x) other += pixels[static_cast<size_t>(y) * client.right + x] != colour;
    }
    return other;
  }
  std::string path_;
};

uint32_t Rgb(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

TEST_F(EditorWithoutMemory, APaintShowsTheBackgroundAndThePictureStays) {
  const uint32_t background = Rgb(GetSysColor(COLOR_WINDOW));  // the test window's class brush
  struct Case {
    const char* label;
    bool indexFirst;  // the row index was built by an earlier paint
    int level;
  };
  const Case cases[] = {
      {"the row index cannot be had", false, pictureFacts.fitLevel},
      {"the samples cannot be had", true, 2},
      {"the samples at 10:1 cannot be had", true, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ResetImageView(mainWindow);
    pictureFacts.zoomLevel = pictureFacts.fitLevel;
    LayOutViewScrollBars(mainWindow);
    if (c.indexFirst) {
      ASSERT_TRUE(Paint());
    }
    pictureFacts.zoomLevel = c.level;
    LayOutViewScrollBars(mainWindow);
    {
      ScopedGetDC dc(mainWindow);
      RECT all = {0, 0, 800, 600};
      FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    bool returned = false;
    {
      wintest::FailingAllocations failing;
      returned = Paint();
    }
    EXPECT_TRUE(returned) << "an exception left the paint";
    EXPECT_EQ(PicturePixelsNot(background), 0) << "the picture area is not the background";
    EXPECT_TRUE(pictureFacts.state == PictureState::kOpened);
    EXPECT_NE(dibBlockHandle, nullptr);
    ASSERT_TRUE(Paint());
    EXPECT_GT(PicturePixelsNot(background), 1000) << "with memory back the picture shows again";
  }
}

TEST_F(EditorWithoutMemory, CopyShowsItsMessageAndThePictureStays) {
  const char* want = wintest::JapaneseCodePage() ? kClipboardNoMemory.text.japanese
                                                 : kClipboardNoMemory.text.english;
  for (const int level : {-2, 0, 3}) {
    SCOPED_TRACE(level);
    wintest::BoxCatcher boxes;
    bool copied = true, escaped = false;
    {
      wintest::FailingAllocations failing(4096);  // the boxes' own small strings still work
      try {
        copied = CopyImageAtLevel(mainWindow, level);
      } catch (...) {
        escaped = true;
      }
    }
    EXPECT_FALSE(escaped);
    EXPECT_FALSE(copied);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, wintest::Ansi(want));
    EXPECT_TRUE(pictureFacts.state == PictureState::kOpened);
    ASSERT_NE(dibBlockHandle, nullptr);
    EXPECT_EQ(wintest::LockCount(dibBlockHandle), 0u) << "the block was left locked";
    EXPECT_TRUE(CopyImageAtLevel(mainWindow, level)) << "with memory back Copy works";
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    // Hands the clipboard to a text so the offer is given up.
    ASSERT_TRUE(OpenClipboard(mainWindow));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_FALSE(ClipboardOfferPending());
  }
}

// Any procedure the programs register goes through NoBadAlloc: a
// std::bad_alloc thrown while handling a message, sent or dispatched, ends
// there with the answer 0.
LRESULT CALLBACK ThrowsOnUser(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) throw std::bad_alloc();
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(NoBadAlloc, NothingLeavesAWindowProcedure) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = NoBadAlloc<LRESULT, ThrowsOnUser>;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "ThrowsOnUser";
  RegisterClassA(&wc);
  HWND window = CreateWindowA("ThrowsOnUser", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  bool escaped = false;
  LRESULT answer = 1;
  try {
    answer = SendMessageA(window, WM_USER, 0, 0);
    PostMessageA(window, WM_USER, 0, 0);
    MSG m;
    while (PeekMessageA(&m, window, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  } catch (...) {
    escaped = true;
  }
  EXPECT_FALSE(escaped);
  EXPECT_EQ(answer, 0);
  DestroyWindow(window);
  UnregisterClassA("ThrowsOnUser", wc.hInstance);
}

}  // namespace
