// The colour editor's working tools as a person uses them, with the real
// mouse and keyboard: a pixel of the picture picked at three zoom steps (its
// entry as Pillow reads the file), the arrows and Enter, colours typed in
// each form and pasted, the 15-bit depth and its Snap with one Undo, and the
// view showing one entry. Copy's pixels judge what changed.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/editor_session.h"

using namespace e2e;

namespace {

constexpr int kZoomInButton = 113, kZoomOutButton = 112, kCopyButton = 115;
constexpr int kWidth = 203, kHeight = 77;
constexpr int kDepth24 = 2, kDepth15 = 3, kSnap = 6;  // items of the right-click menu

// A 5-bit level's 8-bit value is v << 3 | v >> 2: the top three bits repeat.
bool Is15Bit(int v) { return (v & 7) == v >> 5; }

class EditorTools : public EditorSession {
 protected:
  std::vector<uint8_t> pillow_;  // 768 palette bytes, then the indices top-down
  uint32_t PillowColour(int entry) const {
    return pillow_[3 * entry] << 16 | pillow_[3 * entry + 1] << 8 | pillow_[3 * entry + 2];
  }
  int PillowIndex(int x, int y) const { return pillow_[768 + y * kWidth + x]; }
  using Changes = std::vector<std::pair<int, uint32_t>>;
  // An entry's colour: Pillow's, or the last change given to it.
  uint32_t ColourAfter(int entry, const Changes& changes) const {
    uint32_t c = PillowColour(entry);
    for (const auto& ch : changes) c = ch.first == entry ? ch.second : c;
    return c;
  }

  std::string Status() { return PaletteTexts().back(); }
  static std::string PixelLine(int x, int y, int entry, uint32_t c) {
    char text[96];
    std::snprintf(text, sizeof text, Ansi(Pick("x %d, y %d: entry %d = %d %d %d", "x %d, y %d: %d番 = %d %d %d")).c_str(),
                  x, y, entry, c >> 16, c >> 8 & 255, c & 255);
    return text;
  }
  testing::AssertionResult AwaitBars(uint32_t c) {
    return Await("the bars at " + std::to_string(c), [&] {
      auto t = PaletteTexts();
      return t[1] == std::to_string(c >> 16) && t[2] == std::to_string(c >> 8 & 255) && t[3] == std::to_string(c & 255);
    }, [&] { auto t = PaletteTexts(); return t[1] + " " + t[2] + " " + t[3]; });
  }
  // Types text with the keyboard into whatever has the focus.
  static void Type(const char* text) {
    for (const char* c = text; *c; ++c) {
      if (*c == '#') PressKeys({VK_SHIFT}, '3');
      else if (*c == ' ') PressKeys({}, VK_SPACE);
      else if (*c == ',') PressKeys({}, VK_OEM_COMMA);
      else if (*c >= 'a' && *c <= 'f') PressKeys({}, static_cast<WORD>(*c - 'a' + 'A'));
      else if (*c >= 'A' && *c <= 'F') PressKeys({VK_SHIFT}, static_cast<WORD>(*c));
      else PressKeys({}, static_cast<WORD>(*c));
    }
  }
  // Copy at 1:1: every pixel's colour through the copy's own table, top-down.
  std::vector<uint32_t> Copied() {
    PutTextOnClipboard("before");
    run_->ClickButton(kCopyButton);
    Rest();  // the button's caption goes before anything repaints under it
    std::vector<uint8_t> dib;
    EXPECT_TRUE(WaitUntil([&] { return (dib = ClipboardDib()).size() >= 40 + 1024 + 204 * kHeight; }, kPatienceMs));
    std::vector<uint32_t> colours;
    if (dib.size() < 40 + 1024 + 204 * kHeight) return colours;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const uint8_t* e = dib.data() + 40 + 4 * dib[40 + 1024 + 204 * (kHeight - 1 - y) + x];
        colours.push_back(e[2] << 16 | e[1] << 8 | e[0]);
      }
    }
    return colours;
  }
  // Every pixel as Pillow's table says, but for the entries changed.
  void ExpectCopy(const Changes& changed, const char* what) {
    const std::vector<uint32_t> got = Copied();
    ASSERT_EQ(got.size(), static_cast<size_t>(kWidth * kHeight)) << what;
    size_t wrong = 0;
    for (int i = 0; i < kWidth * kHeight; ++i) {
      wrong += got[i] != ColourAfter(pillow_[768 + i], changed);
    }
    EXPECT_EQ(wrong, 0u) << what;
  }
};

TEST_F(EditorTools, PickKeysTypedColoursDepthAndOneEntry) {
  ASSERT_TRUE(ReadFileBytes(Picture("pil8_203x77.pillow"), &pillow_));
  ASSERT_EQ(pillow_.size(), 768u + kWidth * kHeight);
  ASSERT_NO_FATAL_FAILURE(OpenOk(Copy("pil8_203x77.bmp"), "pil8_203x77.bmp", "1:1"));

  // Pick: the pointer over a pixel names it in the status line, a click
  // selects its entry (the bars take its colour), and Enter in the main
  // window gives the entry the colour composed afterwards.
  struct Zoom { int button, clicks; const char* title; int factor; };
  const Zoom zooms[] = {{0, 0, "1:1", 1}, {kZoomInButton, 1, "2:1", 2}, {kZoomInButton, 1, "3:1", 3}};
  const int points[][2] = {{5, 3}, {150, 60}};
  for (const Zoom& z : zooms) {
    for (int n = 0; n < z.clicks; ++n) run_->ClickButton(z.button);
    ASSERT_TRUE(AwaitTitle(main(), TitleOf("pil8_203x77.bmp", z.title)));
    for (const auto& pt : points) {
      // The middle of the pixel on the screen.
      const int f = z.factor, x = pt[0], y = pt[1];
      const POINT at = ClientToScreenPoint(main(), x * f + f / 2, 20 + y * f + f / 2);
      MoveMouse(at.x, at.y);
      const int entry = PillowIndex(x, y);
      ASSERT_TRUE(Await("the pixel line", [&] { return Status() == PixelLine(x, y, entry, PillowColour(entry)); },
                        [&] { return Status(); })) << z.title;
      ASSERT_TRUE(ClickOn(main(), at.x, at.y));
      ASSERT_TRUE(AwaitBars(PillowColour(entry))) << z.title << " entry " << entry;
      const Rgb mark = {1, 2, 3};
      Scroll(0, SB_THUMBTRACK, mark.r);
      Scroll(1, SB_THUMBTRACK, mark.g);
      Scroll(2, SB_THUMBTRACK, mark.b);
      ASSERT_TRUE(AwaitBars(mark.Colour()));
      PressKeys({}, VK_RETURN);
      ASSERT_TRUE(BringForward(Palette()));
      EXPECT_TRUE(WaitUntil([&] { return ChipColour(entry) == mark.Colour(); }, kPatienceMs)) << z.title << " " << entry;
      PressKeys({VK_CONTROL}, 'Z');
      EXPECT_TRUE(WaitUntil([&] { return ChipColour(entry) == PillowColour(entry); }, kPatienceMs));
    }
  }
  run_->ClickButton(kZoomOutButton);
  run_->ClickButton(kZoomOutButton);
  ASSERT_TRUE(AwaitTitle(main(), TitleOf("pil8_203x77.bmp", "1:1")));
  {
    // The framed chip and the status line, for the eye.
    const POINT at = ClientToScreenPoint(main(), 100, 60);
    ASSERT_TRUE(BringForward(Palette()));
    MoveMouse(at.x, at.y);
    ASSERT_TRUE(WaitUntil([&] { return Status().rfind("x 100, y 40", 0) == 0; }, kPatienceMs)) << Status();
    ClientShot(Palette(), 0, 0, 289, 400).SaveBmp(ShotPath(std::string("tools-picked-") + Lang()));
    Rest();
  }

  // The keyboard in the palette window: Home, Right, Right, Down is entry 18;
  // Tab to the field, a colour typed, Enter takes it, Enter applies it.
  ASSERT_TRUE(BringForward(Palette()));
  for (WORD key : {VK_HOME, VK_RIGHT, VK_RIGHT, VK_DOWN}) PressKeys({}, key);
  struct Typed { const char* text; uint32_t colour; };
  const Typed typed[] = {{"#1a1c2c", 0x1A1C2C}, {"2A3B4C", 0x2A3B4C}, {"7 8 9", 0x070809}};
  Changes changed;
  for (int i = 0; i < 3; ++i) {
    if (i > 0) PressKeys({}, VK_RIGHT);
    PressKeys({}, VK_TAB);
    Type(typed[i].text);
    PressKeys({}, VK_RETURN);
    ASSERT_TRUE(AwaitBars(typed[i].colour)) << typed[i].text;
    PressKeys({}, VK_RETURN);
    changed.push_back({18 + i, typed[i].colour});
    EXPECT_TRUE(WaitUntil([&] { return ChipColour(18 + i) == typed[i].colour; }, kPatienceMs)) << typed[i].text;
  }
  // A wrong text changes nothing and says how a colour is written.
  PressKeys({}, VK_TAB);
  Type("12 34");
  PressKeys({}, VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return Status() == Ansi(Pick("Write #1a1c2c, 1a1c2c or 26 28 44.",
                                                          "色は #1a1c2c、1a1c2c、26 28 44 のように書きます.")); },
                        kPatienceMs)) << Status();
  ClientShot(Palette(), 0, 120, 289, 130).SaveBmp(ShotPath(std::string("tools-wrong-colour-") + Lang()));
  EXPECT_TRUE(AwaitBars(0x070809));
  PressKeys({}, VK_ESCAPE);
  // Ctrl+V of a colour, Space at the last entry.
  PutTextOnClipboard(" 200,100,50 ");
  PressKeys({VK_CONTROL}, 'V');
  ASSERT_TRUE(AwaitBars(0xC86432));
  PressKeys({}, VK_END);
  PressKeys({}, VK_SPACE);
  changed.push_back({255, 0xC86432});
  EXPECT_TRUE(WaitUntil([&] { return ChipColour(255) == 0xC86432u; }, kPatienceMs));
  ExpectCopy(changed, "after the keys");

  // 15-bit: the status line counts the entries outside it, the bars step
  // through its levels, Snap puts every entry at its nearest level, one Undo
  // takes Snap back.
  ASSERT_TRUE(ChooseFromContextMenu(Palette(), 140, 300, kDepth15, kPaletteMenuItems, run_->pid()));
  auto outsideLine = [&](const Changes& now) {
    int outside = 0;
    for (int e = 0; e < 256; ++e) {
      const uint32_t c = ColourAfter(e, now);
      outside += !(Is15Bit(c >> 16) && Is15Bit(c >> 8 & 255) && Is15Bit(c & 255));
    }
    return Ansi(Pick("Entries outside 15-bit color: ", "15ビット色で表せない色: ")) + std::to_string(outside) +
           (JapaneseSystem() ? Ansi("個") : "");
  };
  EXPECT_TRUE(WaitUntil([&] { return Status() == outsideLine(changed); }, kPatienceMs)) << Status();
  EXPECT_TRUE(AwaitBars(0xC66331)) << "200 100 50 at its nearest 15-bit colour";
  Scroll(0, SB_THUMBTRACK, 17);
  Scroll(1, SB_LINERIGHT);
  ASSERT_TRUE(AwaitBars(0x8C6B31));  // 17 -> 140, green one level up from 99 -> 107
  ClickChip(7);
  EXPECT_TRUE(WaitUntil([&] { return ChipColour(7) == 0x8C6B31u; }, kPatienceMs));
  Changes pressed = changed;
  pressed.push_back({7, 0x8C6B31});
  ASSERT_TRUE(ChooseFromContextMenu(Palette(), 140, 300, kSnap, kPaletteMenuItems, run_->pid()));
  EXPECT_TRUE(WaitUntil([&] { return Status().empty(); }, kPatienceMs)) << Status();
  const std::vector<uint32_t> snapped = Copied();
  size_t wrong = 0;
  for (uint32_t c : snapped) wrong += !(Is15Bit(c >> 16) && Is15Bit(c >> 8 & 255) && Is15Bit(c & 255));
  EXPECT_EQ(wrong, 0u) << "pixels outside 15-bit color after Snap";
  EXPECT_EQ(snapped.size(), static_cast<size_t>(kWidth * kHeight));
  ASSERT_TRUE(BringForward(Palette()));
  PressKeys({VK_CONTROL}, 'Z');
  EXPECT_TRUE(WaitUntil([&] { return Status() == outsideLine(pressed); }, kPatienceMs)) << Status();
  PressKeys({VK_CONTROL}, 'Z');
  ExpectCopy(changed, "Snap and the press at 15 bits undone");
  ASSERT_TRUE(ChooseFromContextMenu(Palette(), 140, 300, kDepth24, kPaletteMenuItems, run_->pid()));
  EXPECT_TRUE(WaitUntil([&] { return Status().empty(); }, kPatienceMs)) << Status();

  // "This entry only": entry 7 (the last chip pressed) in its colour, every other entry dimmed.
  HWND box = FindChildById(Palette(), 134);
  ASSERT_NE(box, nullptr);
  RECT r = {};
  GetWindowRect(box, &r);
  ASSERT_TRUE(ClickOn(box, r.left + 6, (r.top + r.bottom) / 2));
  Rest();
  Image view;
  auto dimmed = [](uint32_t c) {
    return (96 + (c >> 16) / 4) << 16 | (96 + (c >> 8 & 255) / 4) << 8 | (96 + (c & 255) / 4);
  };
  EXPECT_TRUE(WaitUntil([&] {
    view = View(kWidth, kHeight);
    for (int i = 0; i < kWidth * kHeight; ++i) {
      const int entry = pillow_[768 + i];
      const uint32_t c = ColourAfter(entry, changed);
      if (view.At(i % kWidth, i / kWidth) != (entry == 7 ? c : dimmed(c))) return false;
    }
    return true;
  }, kPatienceMs)) << "the view with entry 7 alone";
  view.SaveBmp(ShotPath(std::string("tools-one-entry-") + Lang()));
  ASSERT_TRUE(ClickOn(box, r.left + 6, (r.top + r.bottom) / 2));
  Rest();
  Image want;
  want.width = kWidth;
  want.height = kHeight;
  for (int i = 0; i < kWidth * kHeight; ++i) want.pixels.push_back(ColourAfter(pillow_[768 + i], changed));
  EXPECT_TRUE(ViewEquals(want, "tools-every-entry"));

  // A button's caption over the picture while the colour of the pixels under
  // it changes (a pick, then Enter with the pointer back on the button): the
  // picture repaints over it, and when the pointer leaves the caption goes
  // without putting back the pixels it covered before the change.
  RECT button = {};
  GetWindowRect(run_->Button(kZoomOutButton), &button);
  const auto awaitCaption = [&] {
    MoveMouse((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    return WaitUntil([&] { return DifferentPixels(View(kWidth, kHeight), want) > 0; }, kPatienceMs);
  };
  ASSERT_TRUE(awaitCaption()) << "no caption over the picture";
  const Image covered = View(kWidth, kHeight);
  int left = kWidth, top = kHeight, right = -1, bottom = -1;  // what the caption covers
  for (int i = 0; i < kWidth * kHeight; ++i) {
    if (covered.At(i % kWidth, i / kWidth) == want.At(i % kWidth, i / kWidth)) continue;
    left = std::min(left, i % kWidth), right = std::max(right, i % kWidth);
    top = std::min(top, i / kWidth), bottom = std::max(bottom, i / kWidth);
  }
  const int px = (left + right) / 2, py = (top + bottom) / 2;
  const POINT pixel = ClientToScreenPoint(main(), px, 20 + py);
  MoveMouse(pixel.x, pixel.y);
  ASSERT_TRUE(ClickOn(main(), pixel.x, pixel.y));
  const int entry = PillowIndex(px, py);
  ASSERT_TRUE(AwaitBars(ColourAfter(entry, changed)));
  const uint32_t mark = ColourAfter(entry, changed) ^ 0x404040;
  for (int bar = 0; bar < 3; ++bar) Scroll(bar, SB_THUMBTRACK, mark >> (16 - 8 * bar) & 255);
  ASSERT_TRUE(AwaitBars(mark));
  ASSERT_TRUE(awaitCaption());
  PressKeys({}, VK_RETURN);
  ASSERT_TRUE(BringForward(Palette()));
  ASSERT_TRUE(WaitUntil([&] { return ChipColour(entry) == mark; }, kPatienceMs));
  const POINT away = ClientToScreenPoint(main(), kWidth - 10, 20 + kHeight - 10);
  MoveMouse(away.x, away.y);
  Rest();
  changed.push_back({entry, mark});
  for (int i = 0; i < kWidth * kHeight; ++i) want.pixels[i] = ColourAfter(pillow_[768 + i], changed);
  EXPECT_TRUE(ViewEquals(want, "tools-caption-gone")) << "entry " << entry << " at " << px << ", " << py;
}

}  // namespace
