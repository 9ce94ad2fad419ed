// The colour editor used as a person would: Open through the real dialog
// (the image-information line, every refusal, cancel), the picture on the
// screen against ImageMagick's rendering at 1:1 and 3:1, the view's zoom and
// scroll bars, and the palette window (colour bars, chip presses, the
// 299-change limit, Undo, Hide, minimise and restore). One program serves
// the whole suite; each test leaves it with a picture open. The pictures
// come from tests/pictures/make_pictures.py (E2E_PICTURES), their
// references converted to 24-bit BMP by run-tier.sh.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "tests/e2e/editor_session.h"

using namespace e2e;

namespace {

class Editor : public EditorSession {};

TEST_F(Editor, ShowsEachIndependentPictureAsImageMagickRendersItAt1To1And3To1) {
  const char* names[] = {"im1_33x20.bmp",   "pil1_97x40.bmp",  "im4_101x67.bmp",  "im8_257x131.bmp",
                         "pil8_203x77.bmp", "td8_257x131.bmp", "td4_101x67.bmp",  "im8rle_150x90.bmp",
                         "rle4_101x67.bmp", "gap8_257x131.bmp", "gap4_101x67.bmp", "list16_8bit_320x200.bmp",
                         "trail4_101x67.bmp", "resv4_320x200.bmp",
                         // Today's tools: version 4 and 5, 52 and 56 bytes, core headers, short tables.
                         "imv5_8_64x40.bmp", "imv5_4_101x67.bmp", "imv5rle8_150x90.bmp", "os2_8_64x40.bmp",
                         "os2_4_101x67.bmp", "gimp8_100_120x80.bmp", "v4_4_101x67.bmp", "h52_8_257x131.bmp",
                         "h56_4_101x67.bmp", "list252_8_320x200.bmp", "list12_4_101x67.bmp",
                         "v5rle4_101x67.bmp", "v4rle8_150x90.bmp", "os2t26_4_101x67.bmp"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    Image ref;
    const std::string stem = std::string(name).substr(0, std::strlen(name) - 4);
    ASSERT_TRUE(LoadReference(Picture(stem + ".ref.bmp"), &ref)) << stem << ".ref.bmp";
    ASSERT_NO_FATAL_FAILURE(OpenOk(Copy(name), name, "1:1"));
    EXPECT_TRUE(ViewEquals(ref, std::string("view1-") + stem));
    run_->ClickButton(kZoomIn);
    run_->ClickButton(kZoomIn);
    Rest();
    ASSERT_TRUE(AwaitTitle(main(), TitleOf(name, "3:1")));
    // Pixel replication of the reference, as much as the window shows.
    Image big;
    big.width = std::min(3 * ref.width, 560);
    big.height = std::min(3 * ref.height, 480);
    big.pixels.resize(static_cast<size_t>(big.width) * big.height);
    for (int y = 0; y < big.height; ++y)
      for (int x = 0; x < big.width; ++x) big.pixels[static_cast<size_t>(y) * big.width + x] = ref.At(x / 3, y / 3);
    EXPECT_TRUE(ViewEquals(big, std::string("view3-") + stem));
  }
}

TEST_F(Editor, EveryRefusalLeavesPictureHistoryAndTitleAsTheyWere) {
  const std::string path = Copy("im8_320x200.bmp");
  Indexed pic;
  ASSERT_TRUE(LoadIndexed8(path, &pic));
  ASSERT_NO_FATAL_FAILURE(OpenOk(path, "im8_320x200.bmp", "1:1"));
  // One change in effect: Save enabled, Undo enabled, chip 3 white (the bars' colour after an open).
  HWND palette = Palette();
  ClickChip(3);
  ASSERT_TRUE(WaitUntil([&] { return Enabled(kSave); }, kPatienceMs)) << "a chip press did not enable Save";
  const std::string title = WindowText(main());
  Image before;
  before.width = pic.width;
  before.height = pic.height;
  for (uint8_t i : pic.index) before.pixels.push_back(i == 3 ? 0xFFFFFFu : pic.table[i]);
  ASSERT_TRUE(ViewEquals(before, "refusals-before")) << "the chip press was not shown";

  // The files each refusal needs.
  std::vector<uint8_t> good;
  ASSERT_TRUE(ReadFileBytes(Picture("im4_101x67.bmp"), &good));
  std::vector<uint8_t> zero = good;
  Put32(zero, 18, 0);
  ASSERT_TRUE(WriteFileBytes(Scratch("zero.bmp"), zero));
  std::vector<uint8_t> seventeen = good;
  Put32(seventeen, 46, 17);
  ASSERT_TRUE(WriteFileBytes(Scratch("seventeen.bmp"), seventeen));
  std::vector<uint8_t> os2v2 = good;
  Put32(os2v2, 14, 64);
  ASSERT_TRUE(WriteFileBytes(Scratch("os2v2.bmp"), os2v2));
  ASSERT_TRUE(WriteFileBytes(Scratch("text.bmp"), std::vector<uint8_t>(200, 'x')));
  ASSERT_TRUE(WriteFileBytes(Scratch("photo.bmp.txt"), good));
  std::vector<uint8_t> shortFile = good;
  shortFile.resize(shortFile.size() - 500);  // passes the command's checks, not the reader's
  ASSERT_TRUE(WriteFileBytes(Scratch("short.bmp"), shortFile));
  ASSERT_TRUE(WriteFileBytes("E:\\floppy.bmp", good));

  struct Case {
    std::string path;
    const char *titleEn, *titleJa, *textEn, *textJa;
  };
  const Case cases[] = {
      {"E:\\floppy.bmp", "Warning", "警告", "Unable to open a file other than in the fixed disk.",
       "ハードディスク以外のファイルは開けません."},
      {Scratch("photo.bmp.txt"), "Error", "エラー", "Select a file with BMP or PNG extension.",
       "拡張子 BMP か PNG のファイルを選択してください."},
      {Scratch("missing.bmp"), "Error", "エラー", "Unable to open the assigned bitmap file.",
       "指定されたビットマップファイルを開けません."},
      {Scratch("text.bmp"), "Error", "エラー", "Not a bitmap file with correct format.",
       "正しいビットマップファイルではありません."},
      // OS/2's 64-byte header: a size no reader here takes.
      {Scratch("os2v2.bmp"), "Error", "エラー", "Not a bitmap file with correct format.",
       "正しいビットマップファイルではありません."},
      {Scratch("zero.bmp"), "Warning", "警告", "Unable to process a bitmap with zero width or height.",
       "幅や高さが０のビットマップは処理できません."},
      {Copy("im24_64x48.bmp"), "Warning", "警告", "No color table in a bitmap with more than 256 colors.",
       "２５６色越のビットマップにはカラーテーブルはありません."},
      {Scratch("seventeen.bmp"), "Error", "エラー", "The assigned file has not the 2/16/256 color array!",
       "このビットマップは２色/１６色/２５６色ではありません！"},
      {Scratch("short.bmp"), "Read Error", "エラー", "Unable to read bitmap info header.",
       "ビットマップ・インフォ・ヘッダーを読めません."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const Box box = OpenRefused(c.path, c.titleEn, c.titleJa);
    EXPECT_EQ(box.text, Ansi(Pick(c.textEn, c.textJa)));
    EXPECT_EQ(WindowText(main()), title);
    EXPECT_EQ(Palette(), palette) << "the palette window was replaced";
    EXPECT_TRUE(IsWindowVisible(palette));
    EXPECT_TRUE(Enabled(kSave)) << "the change counter went back to 0";
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(palette, 124))) << "Undo lost its change";
    EXPECT_TRUE(ViewEquals(before, "refusal")) << "the shown picture changed";
  }

  // Cancel: nothing changes either.
  HWND dialog = ShowOpenDialog();
  ASSERT_NE(dialog, nullptr);
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitGone(dialog, kPatienceMs));
  Rest();
  EXPECT_EQ(WindowText(main()), title);
  EXPECT_EQ(Palette(), palette);
  EXPECT_TRUE(Enabled(kSave));
  EXPECT_TRUE(ViewEquals(before, "refusal-cancel"));
}

TEST_F(Editor, TheDialogDescribesTheSelectedFileInItsStretchedField) {
  struct Case {
    const char* folder;
    std::string file;
    std::string want;  // empty: not a BMP
  };
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(Picture("im4_320x200.bmp"), &bytes));
  const std::string size4 = std::to_string(bytes.size());
  ASSERT_TRUE(ReadFileBytes(Picture("im24_64x48.bmp"), &bytes));
  const std::string size24 = std::to_string(bytes.size());
  Case cases[] = {
      {"kview-info4", "im4_320x200.bmp", "320(W) x 200(H) x 16(Colors) RGB (" + size4 + " Bytes)"},
      {"kview-info24", "im24_64x48.bmp", "64(W) x 48(H) x 16M(Colors) RGB (" + size24 + " Bytes)"},
      {"kview-infotext", "text.bmp", ""},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string folder = MakeTempDir(c.folder);
    if (c.file == "text.bmp") {
      ASSERT_TRUE(WriteFileBytes(JoinPath(folder, c.file), std::vector<uint8_t>(100, 'x')));
    } else {
      ASSERT_TRUE(CopyFileA(Picture(c.file).c_str(), JoinPath(folder, c.file).c_str(), FALSE));
    }
    HWND dialog = ShowOpenDialog();
    ASSERT_NE(dialog, nullptr);
    // Into the folder, then a click on its only file.
    HWND box = GetDlgItem(dialog, kFileNameBox);
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    PressButton(dialog, IDOK);
    HWND list = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      list = FindChildByClass(dialog, "SysListView32");
      return list != nullptr && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1;
    }, kPatienceMs)) << "the folder did not open";
    HWND field = FindChildById(dialog, kInfoField);
    ASSERT_NE(field, nullptr) << "no field 127";
    RECT lr = ScreenRect(list);
    // As with the Open button, Wine now and then loses the first press on a
    // dialog that has just opened a folder: with nothing selected then, the
    // file is pressed once more (a press on a selected file would rename it).
    auto selected = [&] { return SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 1; };
    ASSERT_TRUE(ClickOn(list, lr.left + 30, lr.top + 10));
    if (!WaitUntil(selected, kPatienceMs / 4)) {
      ASSERT_TRUE(ClickOn(list, lr.left + 30, lr.top + 10));
    }
    ASSERT_TRUE(WaitUntil(selected, kPatienceMs)) << "the file was not selected";
    if (!c.want.empty()) {
      EXPECT_TRUE(WaitUntil([&] { return WindowText(field) == c.want; }, kPatienceMs)) << "got " << WindowText(field);
    } else {
      EXPECT_TRUE(NotWithin("a description of a file that is not a BMP", [&] { return !WindowText(field).empty(); }, 300))
          << WindowText(field);
    }
    // Read-only, from its place to 20 pixels before the dialog's right edge.
    EXPECT_TRUE(GetWindowLongA(field, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(ScreenRect(field).right, ScreenRect(dialog).right - 20);
    RECT d = ScreenRect(dialog);
    EXPECT_TRUE(AwaitPainted(dialog)) << "for the screenshot";
    CaptureScreen(d.left, d.top, d.right - d.left, d.bottom - d.top)
        .SaveBmp(ShotPath(std::string("open-dialog-") + Lang() + "-" + c.folder));
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitGone(dialog, kPatienceMs));
  }
}

TEST_F(Editor, PaletteChangesRepaintThePictureAndUndoStepsBack) {
  const std::string path = Copy("im8_320x200.bmp");
  Indexed pic;
  ASSERT_TRUE(LoadIndexed8(path, &pic));
  ASSERT_NO_FATAL_FAILURE(OpenOk(path, "im8_320x200.bmp", "1:1"));
  HWND palette = Palette();
  ASSERT_NE(palette, nullptr);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(palette, 124))) << "Undo enabled before any change";
  EXPECT_FALSE(Enabled(kSave));

  // The page steps at the ends, then red 255, green 0, blue 128.
  Scroll(2, SB_THUMBPOSITION, 250);
  Scroll(2, SB_PAGERIGHT);
  ASSERT_TRUE(WaitUntil([&] { return PaletteTexts()[3] == "255"; }, kPatienceMs)) << PaletteTexts()[3];
  Scroll(2, SB_THUMBPOSITION, 10);
  Scroll(2, SB_PAGELEFT);
  ASSERT_TRUE(WaitUntil([&] { return PaletteTexts()[3] == "0"; }, kPatienceMs)) << PaletteTexts()[3];
  Scroll(0, SB_RIGHT);
  Scroll(1, SB_LEFT);
  Scroll(2, SB_THUMBTRACK, 128);
  ASSERT_TRUE(WaitUntil([&] {
    auto t = PaletteTexts();
    return t[1] == "255" && t[2] == "0" && t[3] == "128";
  }, kPatienceMs));

  // Chip 5 takes (255, 0, 128): exactly the pixels of index 5 change, once.
  ClickChip(5);
  Image want;
  want.width = pic.width;
  want.height = pic.height;
  for (size_t i = 0; i < pic.index.size(); ++i)
    want.pixels.push_back(pic.index[i] == 5 ? 0xFF0080u : pic.table[pic.index[i]]);
  EXPECT_TRUE(ViewEquals(want, "chip5"));
  EXPECT_TRUE(Await("chip 5 in its new colour", [&] { return ChipColour(5) == 0xFF0080u; },
                    [&] { return std::to_string(ChipColour(5)); }));
  EXPECT_TRUE(Enabled(kSave));
  // Screenshots of the open picture with its palette window, for a person to look at.
  CaptureScreen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN))
      .SaveBmp(ShotPath(std::string("editor-") + Lang()));

  // A double click on chip 6 is one change; chip 7 a third; one Undo takes back chip 7 only.
  const uint32_t six = ChipColour(6), seven = ChipColour(7);
  POINT p6 = ClientToScreenPoint(palette, 14 + static_cast<int>(6 * 16.3125) + 5, 250);
  ASSERT_TRUE(DoubleClickOn(palette, p6.x, p6.y));
  ASSERT_TRUE(Await("chip 6 in its new colour", [&] { return ChipColour(6) == 0xFF0080u; },
                    [&] { return std::to_string(ChipColour(6)); }));
  ClickChip(7);
  ASSERT_TRUE(WaitUntil([&] { return ChipColour(7) == 0xFF0080u; }, kPatienceMs));
  EXPECT_EQ(ChipColour(6), 0xFF0080u);
  PressButton(palette, 124);
  ASSERT_TRUE(WaitUntil([&] { return ChipColour(7) == seven; }, kPatienceMs));
  EXPECT_EQ(ChipColour(6), 0xFF0080u) << "the double click made two changes";
  PressButton(palette, 124);
  ASSERT_TRUE(WaitUntil([&] { return ChipColour(6) == six; }, kPatienceMs));
  PressButton(palette, 124);
  ASSERT_TRUE(WaitUntil([&] { return ChipColour(5) == pic.table[5]; }, kPatienceMs));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(palette, 124)); }, kPatienceMs));
  Rest();
  want.pixels.clear();
  for (uint8_t i : pic.index) want.pixels.push_back(pic.table[i]);
  EXPECT_TRUE(ViewEquals(want, "undone"));
  EXPECT_TRUE(WaitUntil([&] { return !Enabled(kSave); }, kPatienceMs)) << "Save stays enabled at level 0";
}

TEST_F(Editor, TheLimitOf299ChangesAndItsMessage) {
  ASSERT_NO_FATAL_FAILURE(OpenOk(Copy("im4_320x200.bmp"), "im4_320x200.bmp", "1:1"));
  HWND palette = Palette();
  const std::string limit = Ansi(Pick("No more change allowed.", "これ以上変更はできません."));
  // Presses alternate between two chips far apart, so that none is a double
  // click. Wine's input queue may drop a click now and then, so more presses
  // follow one by one until the message shows; the count of changes in
  // effect is checked by undoing them at the end.
  int presses = 0;
  for (; presses < 299; ++presses) ClickChip(presses % 2 == 0 ? 1 : 14);
  while (!WaitUntil([&] { return PaletteTexts().back() == limit; }, 1000) && presses < 320) {
    ClickChip(presses++ % 2 == 0 ? 1 : 14);
  }
  ASSERT_EQ(PaletteTexts().back(), limit) << "after " << presses << " presses";
  // The 300th press changes nothing: chip 8 keeps its colour.
  const uint32_t eight = ChipColour(8);
  Scroll(0, SB_LEFT);
  Scroll(1, SB_LEFT);
  Scroll(2, SB_LEFT);
  ASSERT_TRUE(WaitUntil([&] { auto t = PaletteTexts(); return t[1] == "0" && t[2] == "0" && t[3] == "0"; }, kPatienceMs));
  // A refused press changes nothing, so there is no state to wait for.
  ClickChip(8);
  EXPECT_TRUE(NotWithin("chip 8 changed by the 300th press", [&] { return ChipColour(8) != eight; }, 500));
  PressButton(palette, 124);
  ASSERT_TRUE(WaitUntil([&] { return PaletteTexts().back().empty(); }, kPatienceMs));
  ClickChip(8);
  EXPECT_TRUE(WaitUntil([&] { return ChipColour(8) == 0u; }, kPatienceMs)) << "the press after Undo was refused";
  EXPECT_TRUE(WaitUntil([&] { return PaletteTexts().back() == limit; }, kPatienceMs));
  // Exactly 299 changes are in effect: 299 Undos empty the history.
  int undos = 0;
  while (IsWindowEnabled(GetDlgItem(palette, 124)) && undos < 400) {
    SendMessageA(palette, WM_COMMAND, 124, 0);
    ++undos;
  }
  EXPECT_EQ(undos, 299);
  EXPECT_TRUE(PaletteTexts().back().empty());
}

TEST_F(Editor, HidePopupMinimiseRestoreAndTheSavedPosition) {
  ASSERT_NO_FATAL_FAILURE(OpenOk(Copy("im4_101x67.bmp"), "im4_101x67.bmp", "1:1"));
  HWND palette = Palette();
  PressButton(palette, 125);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(palette); }, kPatienceMs)) << "Hide did not hide";
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main(); }, kPatienceMs))
      << "active: " << ClassOf(GetForegroundWindow());
  run_->ClickButton(kPopup);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(palette) != FALSE; }, kPatienceMs)) << "Popup Window did not show it";

  ShowWindow(main(), SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(palette); }, kPatienceMs)) << "minimising kept the palette window";
  ShowWindow(main(), SW_RESTORE);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(palette) != FALSE; }, kPatienceMs)) << "restoring did not show it";
  Image ref;
  ASSERT_TRUE(LoadReference(Picture("im4_101x67.ref.bmp"), &ref));
  EXPECT_TRUE(ViewEquals(ref, "restored")) << "the picture is not shown after the restore";

  // Moved by the user, it comes back there after the next Open, white and without changes.
  SetWindowPos(palette, nullptr, 700, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ClickChip(0);
  ASSERT_NO_FATAL_FAILURE(OpenOk(Copy("im1_33x20.bmp"), "im1_33x20.bmp", "1:1"));
  HWND again = Palette();
  ASSERT_NE(again, nullptr);
  RECT r = ScreenRect(again);
  EXPECT_EQ(r.left, 700);
  EXPECT_EQ(r.top, 300);
  auto texts = PaletteTexts();
  EXPECT_EQ(texts[1], "255");
  EXPECT_EQ(texts[3], "255");
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(again, 124)));
  // Two chips only: a press on chip 2's cell, or on the gap right of chip 0, does nothing.
  ClickChip(2);
  POINT gap = ClientToScreenPoint(again, 14 + 16 - 1, 250);
  ASSERT_TRUE(ClickOn(again, gap.x, gap.y));
  EXPECT_TRUE(NotWithin("an empty cell counted as a chip", [&] { return IsWindowEnabled(GetDlgItem(again, 124)) != FALSE; }, 300));
  ClickChip(1);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(again, 124)) != FALSE; }, kPatienceMs));
}

TEST_F(Editor, ZoomStepsTitlesLimitsAndScrollBars) {
  // A picture larger than the window starts at its fit level with Zoom Out disabled.
  ASSERT_NO_FATAL_FAILURE(OpenOk(Copy("im8_320x200.bmp"), "im8_320x200.bmp", "1:1"));
  EXPECT_FALSE(Enabled(kZoomOut));
  EXPECT_TRUE(Enabled(kZoomIn));
  const char* steps[] = {"2:1", "3:1", "4:1"};
  for (const char* step : steps) {
    run_->ClickButton(kZoomIn);
    ASSERT_TRUE(AwaitTitle(main(), TitleOf("im8_320x200.bmp", step)));
  }
  Rest();
  // At 4:1 (1280 x 800) both bars show with the size grip.
  EXPECT_EQ(VisibleBars(main()).size(), 3u) << "two bars and the size grip";
  run_->ClickButton(kZoomOut);
  ASSERT_TRUE(AwaitTitle(main(), TitleOf("im8_320x200.bmp", "3:1")));
  Rest();
}

}  // namespace

namespace {

// An 8-bit picture 70000 x 3 whose column x holds index x % 251, with a
// colour table in which every index differs.
std::vector<uint8_t> WidePicture(int width) {
  const int height = 3;
  const size_t stride = (static_cast<size_t>(width) + 3) / 4 * 4;
  std::vector<uint8_t> b(54 + 1024 + stride * height, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<uint32_t>(b.size()));
  Put32(b, 10, 54 + 1024);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<uint32_t>(width));
  Put32(b, 22, height);
  b[26] = 1;
  b[28] = 8;
  for (int i = 0; i < 256; ++i) {
    b[54 + 4 * i] = static_cast<uint8_t>(i * 7);
    b[55 + 4 * i] = static_cast<uint8_t>(255 - i);
    b[56 + 4 * i] = static_cast<uint8_t>(i);
  }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b[54 + 1024 + y * stride + x] = static_cast<uint8_t>(x % 251);
  return b;
}

uint32_t WideColour(int x) {
  const int i = x % 251;
  return static_cast<uint32_t>(i) << 16 | static_cast<uint32_t>(255 - i) << 8 | static_cast<uint8_t>(i * 7);
}

void Drag(int x0, int y0, int x1, int y1) {
  MoveMouse(x0, y0);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  SendInput(1, &input, sizeof input);
  Sleep(100);
  for (int step = 1; step <= 10; ++step) {
    MoveMouse(x0 + (x1 - x0) * step / 10, y0 + (y1 - y0) * step / 10);
    Sleep(30);
  }
  input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof input);
  Sleep(200);
}

}  // namespace

TEST_F(Editor, AThumbDragPastPosition65535AndTheSmallestWidth) {
  const int width = 70000;
  ASSERT_TRUE(WriteFileBytes(Scratch("wide.bmp"), WidePicture(width)));
  RECT client = {};
  GetClientRect(main(), &client);
  const int cw = client.right;
  // The fit level: the smallest reduction that shows 70000 columns in the width less the bar.
  const int fit = (width + (cw - GetSystemMetrics(SM_CXVSCROLL)) - 1) / (cw - GetSystemMetrics(SM_CXVSCROLL));
  const std::string fitText = "1:" + std::to_string(fit);
  ASSERT_NO_FATAL_FAILURE(OpenOk(Scratch("wide.bmp"), "wide.bmp", fitText.c_str()));
  EXPECT_FALSE(Enabled(kZoomOut)) << "Zoom Out below the fit level";
  // Zoom In, step by step, to 1:1.
  for (int k = fit - 1; k >= 1; --k) {
    run_->ClickButton(kZoomIn);
    ASSERT_TRUE(AwaitTitle(main(), TitleOf("wide.bmp", ("1:" + std::to_string(k)).c_str())));
  }
  Rest();
  // Only the horizontal bar: its thumb dragged to the right end shows the last column.
  HWND bar = nullptr;
  for (HWND child : VisibleBars(main()))
    if ((GetWindowLongA(child, GWL_STYLE) & SBS_VERT) == 0) bar = child;
  ASSERT_NE(bar, nullptr) << "no horizontal bar";
  RECT r = ScreenRect(bar);
  const int arrow = GetSystemMetrics(SM_CXHSCROLL), mid = (r.top + r.bottom) / 2;
  // The main window is made active first, as a person clicking into it would.
  POINT inside = ClientToScreenPoint(main(), cw / 2, 200);
  ASSERT_TRUE(ClickOn(main(), inside.x, inside.y));
  ASSERT_TRUE(Await("the main window active", [&] { return GetForegroundWindow() == main(); },
                    [] { return ClassOf(GetForegroundWindow()); }));
  // To the end of the track, not beyond: Wine puts the thumb back when the
  // mouse leaves the bar sideways.
  Drag(r.left + arrow + 8, mid, r.right - arrow - 1, mid);
  Rest();
  const bool atEnd = WaitUntil([&] { return ClientShot(main(), cw - 1, 21, 1, 1).At(0, 0) == WideColour(width - 1); }, kPatienceMs);
  ClientShot(main(), 0, 0, cw, 60).SaveBmp(ShotPath(std::string("wide-end-") + Lang()));
  EXPECT_TRUE(atEnd) << "the last column is not at the right edge: bar at " << GetScrollPos(bar, SB_CTL)
                     << " bar rect " << r.left << "," << r.top << "-" << r.right << "," << r.bottom << std::hex
                     << ClientShot(main(), cw - 1, 21, 1, 1).At(0, 0) << " for " << WideColour(width - 1);
  EXPECT_EQ(ClientShot(main(), 0, 21, 1, 1).At(0, 0), WideColour(width - cw));

  // Dragged narrower than 440 pixels, the window snaps back to 440.
  const RECT before = ScreenRect(main());
  SetWindowPos(main(), nullptr, 0, 0, 300, before.bottom - before.top, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_TRUE(WaitUntil([&] { RECT now = ScreenRect(main()); return now.right - now.left == 440; }, kPatienceMs))
      << "width " << ScreenRect(main()).right - ScreenRect(main()).left;
  SetWindowPos(main(), nullptr, 0, 0, before.right - before.left, before.bottom - before.top, SWP_NOMOVE | SWP_NOZORDER);
  WaitUntil([&] { RECT now = ScreenRect(main()); return now.right - now.left == before.right - before.left; }, kPatienceMs);
}

namespace {

std::vector<uint8_t> PlainPicture(int width, int height) {
  size_t stride = 0;
  std::vector<uint8_t> b = Bmp4(width, height, &stride, 0x12);
  for (int i = 0; i < 16; ++i) {
    b[54 + 4 * i] = b[55 + 4 * i] = b[56 + 4 * i] = static_cast<uint8_t>(i * 16);
    b[57 + 4 * i] = 0;
  }
  return b;
}

}  // namespace

TEST_F(Editor, TheTwoExamplesInA600x400Client) {
  // The main window sized for a client area of 600 x 400.
  const RECT before = ScreenRect(main());
  RECT client = {};
  GetClientRect(main(), &client);
  const int frameW = (before.right - before.left) - client.right;
  const int frameH = (before.bottom - before.top) - client.bottom;
  SetWindowPos(main(), nullptr, 0, 0, 600 + frameW, 400 + frameH, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_TRUE(WaitUntil([&] { RECT c = {}; GetClientRect(main(), &c); return c.right == 600 && c.bottom == 400; }, kPatienceMs));

  // 2000 x 1500 opens at 1:5 without bars, Zoom Out disabled at once.
  ASSERT_TRUE(WriteFileBytes(Scratch("big.bmp"), PlainPicture(2000, 1500)));
  ASSERT_NO_FATAL_FAILURE(OpenOk(Scratch("big.bmp"), "big.bmp", "1:5"));
  EXPECT_TRUE(VisibleBars(main()).empty());
  EXPECT_FALSE(Enabled(kZoomOut));

  // 100 x 80 opens at 1:1; three Zoom In steps give 4:1 without a bar, the
  // fourth 5:1 with only the vertical bar, range 0 to 4.
  ASSERT_TRUE(WriteFileBytes(Scratch("small.bmp"), PlainPicture(100, 80)));
  ASSERT_NO_FATAL_FAILURE(OpenOk(Scratch("small.bmp"), "small.bmp", "1:1"));
  const char* steps[] = {"2:1", "3:1", "4:1"};
  for (const char* step : steps) {
    run_->ClickButton(kZoomIn);
    ASSERT_TRUE(AwaitTitle(main(), TitleOf("small.bmp", step)));
  }
  EXPECT_TRUE(VisibleBars(main()).empty());
  run_->ClickButton(kZoomIn);
  ASSERT_TRUE(AwaitTitle(main(), TitleOf("small.bmp", "5:1")));
  Rest();
  std::vector<HWND> bars = VisibleBars(main());
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_TRUE(GetWindowLongA(bars[0], GWL_STYLE) & SBS_VERT);
  int low = -1, high = -1;
  GetScrollRange(bars[0], SB_CTL, &low, &high);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, (420 - 400) / 5);
  SetWindowPos(main(), nullptr, 0, 0, before.right - before.left, before.bottom - before.top, SWP_NOMOVE | SWP_NOZORDER);
  WaitUntil([&] { RECT now = ScreenRect(main()); return now.right - now.left == before.right - before.left; }, kPatienceMs);
}

TEST_F(Editor, EveryScrollCodeOfTheColourBarsAndTheSwatch) {
  ASSERT_NO_FATAL_FAILURE(OpenOk(Copy("im4_101x67.bmp"), "im4_101x67.bmp", "1:1"));
  HWND palette = Palette();
  ASSERT_NE(palette, nullptr);
  // code, position, value expected on the green bar afterwards.
  struct Step {
    int code, position, want;
  };
  const Step steps[] = {
      {SB_THUMBPOSITION, 100, 100}, {SB_LINELEFT, 0, 99},  {SB_LINERIGHT, 0, 100}, {SB_PAGELEFT, 0, 85},
      {SB_PAGERIGHT, 0, 100},       {SB_ENDSCROLL, 0, 100}, {9, 0, 100},           {SB_THUMBTRACK, 254, 254},
      {SB_LINERIGHT, 0, 255},       {SB_LINERIGHT, 0, 255}, {SB_LEFT, 0, 0},        {SB_LINELEFT, 0, 0},
      {SB_RIGHT, 0, 255},           {SB_THUMBTRACK, 3, 3},  {SB_LINELEFT, 0, 2},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE("code " + std::to_string(s.code));
    Scroll(1, s.code, s.position);
    HWND bar = GetDlgItem(palette, 122);
    EXPECT_TRUE(WaitUntil([&] { return PaletteTexts()[2] == std::to_string(s.want); }, kPatienceMs))
        << "shows " << PaletteTexts()[2];
    ASSERT_TRUE(Sync(palette)) << "the scroll did not end";
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), s.want);
    // The swatch inside its frame shows (255, green, 255).
    const uint32_t swatch = 0xFF00FFu | static_cast<uint32_t>(s.want) << 8;
    EXPECT_TRUE(WaitUntil([&] { return ClientShot(palette, 100, 150, 1, 1).At(0, 0) == swatch; }, kPatienceMs))
        << std::hex << ClientShot(palette, 100, 150, 1, 1).At(0, 0);
  }
  // Red and blue stayed white.
  EXPECT_EQ(PaletteTexts()[1], "255");
  EXPECT_EQ(PaletteTexts()[3], "255");
}

// Under Wine a closing dialog makes the whole main window's surface be
// copied to the screen again, so what was repainted cannot be seen from
// outside; what can be seen is that nothing but the Open button changed.
TEST_F(Editor, CancelChangesNothingButTheOpenButton) {
  ASSERT_NO_FATAL_FAILURE(OpenOk(Copy("im8_320x200.bmp"), "im8_320x200.bmp", "1:1"));
  HWND dialog = ShowOpenDialog();
  ASSERT_NE(dialog, nullptr);
  // The dialog moves off the main window, so the shot before holds the whole client area.
  const RECT d = ScreenRect(dialog);
  SetWindowPos(dialog, nullptr, -(d.right - d.left) + 40, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(WaitUntil([&] { return ScreenRect(dialog).right < ScreenRect(main()).left; }, kPatienceMs));
  ASSERT_TRUE(AwaitPainted(main())) << "repainting what the dialog covered";
  RECT client = {};
  GetClientRect(main(), &client);
  const Image before = ClientShot(main(), 0, 0, client.right, client.bottom);
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitGone(dialog, kPatienceMs));
  ASSERT_TRUE(AwaitPainted(main())) << "after the cancel";
  const Image after = ClientShot(main(), 0, 0, client.right, client.bottom);
  size_t outside = 0;
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x)
      if (!(x >= 15 && x < 47 && y < 20)) outside += after.At(x, y) != before.At(x, y);
  EXPECT_EQ(outside, 0u) << "the cancel changed the window outside the Open button";
  if (outside != 0) after.SaveBmp(ShotPath(std::string("cancel-") + Lang()));
  Rest();
}

TEST_F(Editor, SaveCopiesTheShownPictureAfterARefusedAndACancelledOpen) {
  const std::string a = Copy("im8_320x200.bmp");
  std::vector<uint8_t> bytesA;
  ASSERT_TRUE(ReadFileBytes(a, &bytesA));
  ASSERT_NO_FATAL_FAILURE(OpenOk(a, "im8_320x200.bmp", "1:1"));
  Scroll(0, SB_LEFT);
  Scroll(1, SB_LEFT);
  Scroll(2, SB_LEFT);
  ASSERT_TRUE(WaitUntil([&] { return PaletteTexts()[1] == "0" && PaletteTexts()[3] == "0"; }, kPatienceMs));
  ClickChip(9);
  ASSERT_TRUE(WaitUntil([&] { return Enabled(kSave); }, kPatienceMs));

  // B passes the command's checks and is refused by the reader; then B is
  // typed into the dialog again and the dialog cancelled.
  std::vector<uint8_t> b;
  ASSERT_TRUE(ReadFileBytes(Picture("im4_101x67.bmp"), &b));
  b.resize(b.size() - 500);
  ASSERT_TRUE(WriteFileBytes(Scratch("shortB.bmp"), b));
  const Box box = OpenRefused(Scratch("shortB.bmp"), "Read Error", "エラー");
  EXPECT_FALSE(box.text.empty());
  HWND dialog = ShowOpenDialog();
  ASSERT_NE(dialog, nullptr);
  SendMessageA(GetDlgItem(dialog, kFileNameBox), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(Picture("im4_101x67.bmp").c_str()));
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitGone(dialog, kPatienceMs));
  Rest();

  // Save as BMP through the real dialog: a copy of A with chip 9 black.
  const std::string out = Scratch("savedA.bmp");
  DeleteFileA(out.c_str());
  run_->ClickButton(kSave);
  HWND save = WaitForDialog(Ansi(Pick("Assign a BMP or TIF file to save.", "保存するBitmap or Tifファイルの指定")).c_str(),
                            run_->pid(), kPatienceMs);
  ASSERT_NE(save, nullptr) << "no save dialog";
  Choose(save, out);
  HWND info = WaitForDialog(Ansi(Pick("Information", "お知らせ")).c_str(), run_->pid(), kPatienceMs);
  ASSERT_NE(info, nullptr) << "no Saved message";
  PressButton(info, IDOK);
  WaitGone(info, kPatienceMs);
  Rest();
  std::vector<uint8_t> saved;
  ASSERT_TRUE(ReadFileBytes(out, &saved));
  std::vector<uint8_t> want = bytesA;
  want[54 + 4 * 9] = want[55 + 4 * 9] = want[56 + 4 * 9] = 0;
  ASSERT_EQ(saved.size(), want.size()) << "not a copy of the shown picture";
  EXPECT_TRUE(saved == want) << "the saved file is not the shown picture with chip 9 changed";
}
