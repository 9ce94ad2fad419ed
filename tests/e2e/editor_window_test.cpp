// The colour editor's windows at their edges: every way out hands a copy not
// yet pasted over to the clipboard; the palette window takes no input while a
// modal dialog or box is up, hides on Alt+F4, takes a press where it was
// pressed, and stays hidden through resizes once the user has hidden it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>

#include "tests/e2e/editor_session.h"

using namespace e2e;

namespace {

constexpr int kCopyButton = 115, kExitButton = 119;
constexpr int kUndoButton = 124, kHideButton = 125;

// The point of a window's close box, found by asking the window itself.
bool CloseBoxPoint(HWND window, POINT* at) {
  const RECT r = ScreenRect(window);
  for (int y = r.top; y < r.top + 40; y += 2) {
    for (int x = r.right - 1; x > r.right - 80; x -= 2) {
      DWORD_PTR hit = 0;
      SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &hit);
      if (hit == HTCLOSE) {
        *at = POINT{x, y};
        return true;
      }
    }
  }
  return false;
}

class EditorWaysOut : public EditorSession {};

// Each way out of the editor, with a copy not yet pasted: the clipboard then
// holds the copy, read by this process after the editor has ended.
TEST_F(EditorWaysOut, EveryWayOutHandsAPendingCopyOver) {
  struct Way {
    const char* name;
    std::function<void(Running&)> leave;
    bool endsItself;  // false: the system ends the process after the session's end
  };
  const Way ways[] = {
      {"Exit button", [](Running& r) { r.ClickButton(kExitButton); }, true},
      {"close box",
       [](Running& r) {
         POINT at = {};
         ASSERT_TRUE(CloseBoxPoint(r.main(), &at)) << "no close box";
         ASSERT_TRUE(ClickOn(r.main(), at.x, at.y));
       },
       true},
      {"Alt+F4",
       [](Running& r) {
         ASSERT_TRUE(BringForward(r.main()));
         PressKeys({VK_MENU}, VK_F4);
       },
       true},
      {"end of session",
       [](Running& r) {
         DWORD_PTR answer = 0;
         ASSERT_NE(SendMessageTimeoutA(r.main(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0);
         EXPECT_NE(answer, 0u) << "the editor refused the session's end";
         ASSERT_NE(SendMessageTimeoutA(r.main(), WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0);
       },
       false},
      {"quit message from elsewhere",
       [](Running& r) { PostThreadMessageA(GetWindowThreadProcessId(r.main(), nullptr), WM_QUIT, 0, 0); },
       true},
  };
  const std::string file = Copy("im4_101x67.bmp");
  std::vector<uint8_t> source;
  ASSERT_TRUE(ReadFileBytes(file, &source));
  const size_t offset = Le32(source, 10);
  ASSERT_GE(source.size(), offset + 52 * 67);
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    ASSERT_NO_FATAL_FAILURE(Restart());
    ASSERT_NO_FATAL_FAILURE(OpenOk(file, "im4_101x67.bmp", "1:1"));
    PutTextOnClipboard("before");
    run_->ClickButton(kCopyButton);
    ASSERT_TRUE(WaitUntil([] { return IsClipboardFormatAvailable(CF_DIB) != FALSE; }, 5000)) << "nothing copied";
    Process& process = run_->process();
    ASSERT_NO_FATAL_FAILURE(way.leave(*run_));
    DWORD code = 1;
    if (way.endsItself) {
      ASSERT_TRUE(process.WaitExit(5000, &code)) << "the editor did not end";
      EXPECT_EQ(code, 0u);
    } else {
      process.Terminate();
    }
    const std::vector<uint8_t> dib = ClipboardDib();
    EXPECT_EQ(dib.size(), 40u + 64 + 52 * 67) << "the copy went with the editor";
    if (dib.size() == 40u + 64 + 52 * 67) {
      EXPECT_EQ(std::memcmp(dib.data() + 40 + 64, source.data() + offset, 52 * 67), 0) << "the pixels differ";
    }
  }
  ASSERT_NO_FATAL_FAILURE(Restart());  // the suite's editor for what follows
}

class EditorPaletteWindow : public EditorSession {
 protected:
  // Whether the palette window is enabled once the state has settled.
  bool PaletteEnabledBecomes(bool enabled) {
    return WaitUntil([&] { return (IsWindowEnabled(Palette()) != FALSE) == enabled; }, 3000);
  }
};

// Run first, on the suite's fresh editor: a minimise before the first Open
// must not bring back a palette window the user hid later.
TEST_F(EditorPaletteWindow, StaysHiddenThroughResizesOnceHiddenAndComesBackOnlyFromAMinimise) {
  ShowWindow(main(), SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main()) != FALSE; }, 3000));
  ShowWindow(main(), SW_RESTORE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main()) == FALSE; }, 3000));
  ASSERT_NO_FATAL_FAILURE(OpenOk(Copy("im4_101x67.bmp"), "im4_101x67.bmp", "1:1"));
  HWND palette = Palette();
  PressButton(palette, kHideButton);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(palette); }, 3000)) << "Hide did not hide";

  const RECT box = ScreenRect(main());
  for (int grow : {16, 0}) {
    SetWindowPos(main(), nullptr, 0, 0, box.right - box.left + grow, box.bottom - box.top + grow,
                 SWP_NOMOVE | SWP_NOZORDER);
    Sleep(300);  // a palette window shown by the size handling would show by now
    EXPECT_FALSE(IsWindowVisible(palette)) << "a resize showed the hidden palette window";
  }
  // Hidden by the user, then minimised and restored: still hidden.
  ShowWindow(main(), SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main()) != FALSE; }, 3000));
  ShowWindow(main(), SW_RESTORE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main()) == FALSE; }, 3000));
  Sleep(300);
  EXPECT_FALSE(IsWindowVisible(palette)) << "the restore showed a palette window the user had hidden";
  // Shown, then hidden by a minimise: the restore brings it back.
  run_->ClickButton(kPopup);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(palette) != FALSE; }, 3000));
  ShowWindow(main(), SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(palette); }, 3000)) << "minimising kept it";
  ShowWindow(main(), SW_RESTORE);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(palette) != FALSE; }, 3000)) << "the restore did not show it";
}

// Alt+F4 on the palette window hides it as its Hide button does; Popup
// Window brings the same window back.
TEST_F(EditorPaletteWindow, AltF4HidesItAndPopupWindowBringsItBack) {
  ASSERT_NO_FATAL_FAILURE(OpenOk(Copy("im4_101x67.bmp"), "im4_101x67.bmp", "1:1"));
  HWND palette = Palette();
  ASSERT_TRUE(BringForward(palette));
  PressKeys({VK_MENU}, VK_F4);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(palette); }, 3000)) << "Alt+F4 did not hide it";
  EXPECT_TRUE(IsWindow(palette)) << "Alt+F4 destroyed it";
  EXPECT_TRUE(IsWindow(main())) << "Alt+F4 on the palette window ended the editor";
  run_->ClickButton(kPopup);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(palette) != FALSE; }, 3000)) << "Popup Window did not bring it back";
}

// A press is taken where it was made, not where the cursor is when the
// message is handled.
TEST_F(EditorPaletteWindow, APressCountsWhereItWasMade) {
  ASSERT_NO_FATAL_FAILURE(OpenOk(Copy("im4_101x67.bmp"), "im4_101x67.bmp", "1:1"));
  HWND palette = Palette();
  const uint32_t before = ChipColour(5);
  PostMessageA(palette, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), reinterpret_cast<LPARAM>(GetDlgItem(palette, 121)));
  ASSERT_TRUE(WaitUntil([&] { return PaletteTexts()[1] == "0"; }, 3000));
  MoveMouse(2, 2);  // far from every chip
  const int x = 14 + static_cast<int>(5 * 16.3125) + 5, y = 247 + 3;
  PostMessageA(palette, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(palette, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  EXPECT_TRUE(WaitUntil([&] { return ChipColour(5) == 0x00FFFFu && ChipColour(5) != before; }, 3000))
      << "the press went where the cursor was";
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(palette, kUndoButton)) != FALSE; }, 3000));
}

// While the open or save dialog or a message box is up, the palette window
// takes no input; it takes it again once they are gone.
TEST_F(EditorPaletteWindow, DisabledWhileAModalDialogOrBoxIsUp) {
  ASSERT_NO_FATAL_FAILURE(OpenOk(Copy("im4_101x67.bmp"), "im4_101x67.bmp", "1:1"));
  ASSERT_TRUE(PaletteEnabledBecomes(true));
  const std::string saveTitle = Ansi(Pick("Assign a BMP or TIF file to save.", "保存するBitmap or Tifファイルの指定"));
  // A change first, so Save is enabled.
  ClickChip(0);
  ASSERT_TRUE(WaitUntil([&] { return Enabled(kSave); }, 3000));

  run_->ClickButton(kSave);
  HWND dialog = WaitForDialog(saveTitle.c_str(), run_->pid(), 5000);
  ASSERT_NE(dialog, nullptr) << "no save dialog";
  EXPECT_TRUE(PaletteEnabledBecomes(false)) << "under the save dialog";
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitGone(dialog, 5000));
  EXPECT_TRUE(PaletteEnabledBecomes(true)) << "after the save dialog";

  dialog = ShowOpenDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(PaletteEnabledBecomes(false)) << "under the open dialog";
  // A refused name: the box comes after the dialog has gone.
  Choose(dialog, Scratch("picture.txt"));
  HWND box = WaitForDialog(Ansi(Pick("Error", "エラー")).c_str(), run_->pid(), 5000);
  ASSERT_NE(box, nullptr) << "no refusal";
  EXPECT_TRUE(PaletteEnabledBecomes(false)) << "under a message box";
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitGone(box, 5000));
  EXPECT_TRUE(PaletteEnabledBecomes(true)) << "after the message box";
}

}  // namespace
