// Hover captions seen from outside: the cursor goes over each icon-bar button,
// the boxed caption must appear at the rectangle computed from the system
// metrics and the caption font, and the pixels under it must come back
// exactly when the cursor moves on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "tests/e2e/session.h"

using namespace e2e;

namespace {

class Captions : public testing::TestWithParam<const ProgramFacts*> {};

// The caption font of the current language; the English height depends on the
// platform style, which is above 2 for every NT-family version these runs use
// unless E2E_WINDOWS says "me".
struct CaptionFont {
  HFONT font;
  int extraWidth;
};

CaptionFont MakeCaptionFont() {
  if (JapaneseSystem()) {
    std::string face = Ansi("ＭＳゴシック");
    return {CreateFontA(12, 0, 0, 0, 400, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, face.c_str()), 1};
  }
  const char* windows = std::getenv("E2E_WINDOWS");
  int height = windows && std::strcmp(windows, "me") == 0 ? 12 : 14;
  return {CreateFontA(height, 0, 0, 0, 400, 0, 0, 0, OEM_CHARSET, 0, 0, 0, 0, "Helv"), 2};
}

// The rectangle in the main window's whole-window coordinates, right and
// bottom being the last pixels the box covers plus one.
RECT ExpectedCaption(const Caption& caption) {
  CaptionFont f = MakeCaptionFont();
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, f.font);
  std::string label = Ansi(Pick(caption.english, caption.japanese));
  SIZE extent = {};
  GetTextExtentPoint32A(screen, label.c_str(), static_cast<int>(label.size()), &extent);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(screen, &metrics);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  DeleteObject(f.font);
  RECT r;
  r.left = GetSystemMetrics(SM_CXBORDER) + caption.x + 1;
  r.top = GetSystemMetrics(SM_CYBORDER) + GetSystemMetrics(SM_CYCAPTION) + 32;
  r.right = r.left + extent.cx + f.extraWidth + 5;
  r.bottom = r.top + metrics.tmExternalLeading + metrics.tmHeight + 6;
  return r;
}

// The box drawn by Rectangle: a black frame on its outer pixels, white inside
// with some black text, and the pixel beyond each of its outer edges not part of it.
std::string CheckBox(const Image& shot, int left, int top, int width, int height) {
  const uint32_t black = 0;
  for (int x = 0; x < width; ++x) {
    if (shot.At(left + x, top) != black) return "top edge not black at x+" + std::to_string(x);
    if (shot.At(left + x, top + height - 1) != black) return "bottom edge not black at x+" + std::to_string(x);
  }
  for (int y = 0; y < height; ++y) {
    if (shot.At(left, top + y) != black) return "left edge not black at y+" + std::to_string(y);
    if (shot.At(left + width - 1, top + y) != black) return "right edge not black at y+" + std::to_string(y);
  }
  if (shot.At(left + width, top + 1) == black && shot.At(left + width, top + height - 2) == black)
    return "the box is wider than computed";
  if (shot.At(left + 1, top + height) == black && shot.At(left + width - 2, top + height) == black)
    return "the box is taller than computed";
  // Black text on white; the font may be smoothed, so greys between are text too.
  size_t ink = 0;
  for (int y = 1; y < height - 1; ++y)
    for (int x = 1; x < width - 1; ++x) {
      uint32_t c = shot.At(left + x, top + y);
      uint32_t r = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
      if (r != g || g != b) return "the box holds a colour that is not grey at +" + std::to_string(x) + ", +" + std::to_string(y);
      ink += r < 0x80;
    }
  if (ink == 0) return "no text in the box";
  return "";
}

TEST_P(Captions, AppearAtTheirRectangleAndLeaveNoTrace) {
  const ProgramFacts& facts = *GetParam();
  Running run;
  std::string error;
  ASSERT_TRUE(run.Start(facts, &error)) << error;
  RECT client = {};
  GetClientRect(run.main(), &client);

  // Park the cursor in the client area below the band, then take the area
  // where the captions will be drawn.
  POINT below = ClientToScreenPoint(run.main(), client.right / 2, client.bottom - 10);
  MoveMouse(below.x, below.y);
  ASSERT_TRUE(AwaitPainted(run.main()));
  RECT window = ScreenRect(run.main());
  int zoneTop = window.top + GetSystemMetrics(SM_CYBORDER) + GetSystemMetrics(SM_CYCAPTION) + 30;
  const int zoneWidth = 460, zoneHeight = 40;
  Image before = CaptureScreen(window.left, zoneTop, zoneWidth, zoneHeight);
  ASSERT_FALSE(before.empty());

  for (const Caption& caption : facts.captions) {
    SCOPED_TRACE(caption.english);
    POINT on = ClientToScreenPoint(run.main(), caption.x + 10, 10);
    MoveMouse(on.x, on.y);
    RECT expected = ExpectedCaption(caption);
    int left = window.left + expected.left, top = window.top + expected.top;
    int width = expected.right - expected.left, height = expected.bottom - expected.top;
    std::string problem = "never drawn";
    Image shot;
    bool drawn = WaitUntil([&] {
      shot = CaptureScreen(left - 2, top - 2, width + 4, height + 4);
      problem = CheckBox(shot, 2, 2, width, height);
      return problem.empty();
    }, kPatienceMs, 50);
    std::string name = std::string("caption-") + facts.name + "-" + std::to_string(caption.x);
    if (!drawn) shot.SaveBmp(ShotPath(name));
    EXPECT_TRUE(drawn) << problem << " (expected " << width << " x " << height << " at whole-window ("
                       << expected.left << ", " << expected.top << "); see " << ShotPath(name)
                       << "; the program must be the active window)";
  }

  // Over the gap inside the band the caption goes and the pixels come back.
  POINT gap = ClientToScreenPoint(run.main(), 5, 10);
  MoveMouse(gap.x, gap.y);
  Image after;
  EXPECT_TRUE(WaitUntil([&] {
    after = CaptureScreen(window.left, zoneTop, zoneWidth, zoneHeight);
    return DifferentPixels(before, after) == 0;
  }, kPatienceMs, 50)) << DifferentPixels(before, after) << " pixels differ after moving to the gap";

  // The same on leaving the band downwards.
  POINT on = ClientToScreenPoint(run.main(), facts.captions[1].x + 5, 10);
  MoveMouse(on.x, on.y);
  RECT expected = ExpectedCaption(facts.captions[1]);
  ASSERT_TRUE(WaitUntil([&] {
    return CaptureScreen(window.left + expected.left, window.top + expected.top, 1, 1).At(0, 0) == 0;
  }, kPatienceMs, 50));
  MoveMouse(below.x, below.y);
  EXPECT_TRUE(WaitUntil([&] {
    after = CaptureScreen(window.left, zoneTop, zoneWidth, zoneHeight);
    return DifferentPixels(before, after) == 0;
  }, kPatienceMs, 50)) << DifferentPixels(before, after) << " pixels differ after leaving the band";
}

// A command removes the caption before it runs: the message of Help (here the
// missing-readme one, from a copy of the program with no documents beside it)
// opens over clean pixels.
TEST_P(Captions, RemovedBeforeACommandRuns) {
  const ProgramFacts& facts = *GetParam();
  std::string dir = MakeTempDir(std::string("e2e-caption-") + facts.name);
  std::string exe = JoinPath(dir, facts.exe);
  ASSERT_TRUE(CopyFileA(facts.Path().c_str(), exe.c_str(), FALSE));
  Running run;
  std::string error;
  ASSERT_TRUE(run.Start(facts, &error, exe)) << error;
  RECT window = ScreenRect(run.main());
  RECT client = {};
  GetClientRect(run.main(), &client);
  POINT below = ClientToScreenPoint(run.main(), client.right / 2, client.bottom - 10);
  MoveMouse(below.x, below.y);
  ASSERT_TRUE(AwaitPainted(run.main()));
  int zoneTop = window.top + GetSystemMetrics(SM_CYBORDER) + GetSystemMetrics(SM_CYCAPTION) + 30;
  Image before = CaptureScreen(window.left, zoneTop, 460, 40);

  // Rest on the Help button until its caption shows, then press it.
  const Caption& help = facts.captions[static_cast<size_t>(facts.helpButtonId - facts.firstButtonId - 1)];
  RECT expected = ExpectedCaption(help);
  POINT on = ClientToScreenPoint(run.main(), help.x + 10, 10);
  MoveMouse(on.x, on.y);
  ASSERT_TRUE(WaitUntil([&] {
    return CaptureScreen(window.left + expected.left, window.top + expected.top, 1, 1).At(0, 0) == 0;
  }, kPatienceMs, 50)) << "no Help caption";
  run.ClickButton(facts.helpButtonId);
  std::string title = Ansi(Pick("Error", "エラー"));
  HWND box = WaitForDialog(title.c_str(), run.pid(), kPatienceMs);
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(IsWindowEnabled(run.main())) << "the message must be modal to the main window";
  // Where the message box does not cover it, the caption area is as before,
  // once what the program drew has reached the screen.
  ASSERT_TRUE(AwaitPainted(run.main()));
  RECT boxRect = ScreenRect(box);
  const Image now = CaptureScreen(window.left, zoneTop, 460, 40);
  size_t stale = 0;
  for (int y = 0; y < now.height; ++y)
    for (int x = 0; x < now.width; ++x) {
      POINT p{window.left + x, zoneTop + y};
      if (!PtInRect(&boxRect, p) && now.At(x, y) != before.At(x, y)) ++stale;
    }
  if (stale) {
    before.SaveBmp(ShotPath(std::string("command-before-") + facts.name));
    now.SaveBmp(ShotPath(std::string("command-after-") + facts.name));
  }
  EXPECT_EQ(stale, 0u) << "the Help caption is still on the screen under the message; see "
                       << ShotPath(std::string("command-after-") + facts.name);
  PressButton(box, IDOK);
  EXPECT_TRUE(WaitGone(box, kPatienceMs));
}

INSTANTIATE_TEST_SUITE_P(Programs, Captions, testing::Values(&Kestro(), &Mirtav()),
                         [](const testing::TestParamInfo<const ProgramFacts*>& info) { return std::string(info.param->name); });

}  // namespace
