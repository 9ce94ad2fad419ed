// What depends on the system around the program: the icon bar's bitmap set
// for the Windows version in the registry (run-tier.sh prepares one prefix
// per version and names it in E2E_WINDOWS), the shuffler's system menu, and
// the editor on a display of 256 colours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "tests/e2e/session.h"

using namespace e2e;

namespace {

std::string ReadMachineValue(const char* key, const char* value) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return "(no key)";
  char data[257] = {};
  DWORD size = 256;
  LONG rc = RegQueryValueExA(k, value, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(k);
  return rc == ERROR_SUCCESS ? std::string(data) : "(no value)";
}

struct VariantCase {
  const char* windows;  // E2E_WINDOWS
  const char* ntVersion;  // the registry's NT CurrentVersion, "(no value)" for the 95 family
  const char* kestro;   // the bitmap variant letter each program must use
  const char* mirtav;
};

const VariantCase kCases[] = {
    {"5.0", "5.0", "8", "8"},
    {"5.1", "5.1", "X", "X"},
    {"6.1", "6.1", "X", ""},  // the shuffler keeps the plain set from Vista on
    {"me", "(no value)", "9", "9"},
};

const char* const kVariants[] = {"", "9", "8", "X"};

void CheckBitmaps(const ProgramFacts& facts, const char* variant) {
  Running run;
  std::string error;
  ASSERT_TRUE(run.Start(facts, &error)) << error;
  for (int id = facts.firstButtonId; id <= facts.lastButtonId; ++id) {
    const char* base = facts.baseNames[static_cast<size_t>(id - facts.firstButtonId)];
    HWND button = run.Button(id);
    ASSERT_NE(button, nullptr) << base;
    const char* state = IsWindowEnabled(button) ? "Up" : "In";
    // Only what can be seen: the button inside the icon bar (the shuffler's
    // buttons reach one row below it), the bar inside the main window's client
    // area (the bar is as wide as the screen) and the screen.
    RECT r = ScreenRect(button), bar = ScreenRect(run.iconBar()), client = {}, visible;
    GetClientRect(run.main(), &client);
    MapWindowPoints(run.main(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&visible, &r, &bar);
    IntersectRect(&visible, &visible, &client);
    IntersectRect(&visible, &visible, &screen);
    ASSERT_FALSE(IsRectEmpty(&visible)) << base;
    int dx = visible.left - r.left, dy = visible.top - r.top;
    int w = visible.right - visible.left, h = visible.bottom - visible.top;
    std::string name = std::string(base) + variant + state;
    Image bitmap;
    ASSERT_TRUE(LoadProgramBitmap(facts.Path(), name.c_str(), &bitmap)) << "no bitmap " << name;
    ASSERT_LE(dx + w, bitmap.width) << name;  // wider screens than the space bitmap are not used here
    // On a busy machine the bar may still be painting.
    Image shown;
    size_t differ = 0;
    WaitUntil([&] {
      shown = CaptureScreen(visible.left, visible.top, w, h);
      differ = DifferentPixels(shown, bitmap.Crop(dx, dy, w, h));
      return differ == 0;
    }, kPatienceMs, 100);
    if (differ) shown.SaveBmp(ShotPath(std::string("button-") + facts.name + "-" + name));
    EXPECT_EQ(differ, 0u) << name << ": the button does not show this bitmap";
    // And it is not one of the other sets, where they differ at all.
    for (const char* other : kVariants) {
      if (std::strcmp(other, variant) == 0) continue;
      Image otherBitmap;
      std::string otherName = std::string(base) + other + state;
      if (!LoadProgramBitmap(facts.Path(), otherName.c_str(), &otherBitmap)) continue;
      if (DifferentPixels(otherBitmap, bitmap) == 0) continue;
      if (DifferentPixels(otherBitmap.Crop(dx, dy, w, h), bitmap.Crop(dx, dy, w, h)) == 0) continue;
      EXPECT_NE(DifferentPixels(shown, otherBitmap.Crop(dx, dy, w, h)), 0u)
          << base << " shows the set \"" << other << "\"";
    }
  }
}

class Variant : public testing::Test {
 protected:
  void SetUp() override {
    const char* windows = std::getenv("E2E_WINDOWS");
    if (!windows) GTEST_SKIP() << "E2E_WINDOWS names the prefix's Windows version (set by run-tier.sh)";
    for (const VariantCase& c : kCases)
      if (std::strcmp(c.windows, windows) == 0) case_ = &c;
    ASSERT_NE(case_, nullptr) << "unknown E2E_WINDOWS " << windows;
    ASSERT_EQ(ReadMachineValue("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion"),
              case_->ntVersion) << "the prefix is not prepared for " << windows;
    if (std::strcmp(windows, "me") == 0) {
      ASSERT_NE(ReadMachineValue("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProductName").find("Windows ME"),
                std::string::npos);
    }
  }
  const VariantCase* case_ = nullptr;
};

TEST_F(Variant, EditorButtonsUseTheBitmapSetOfTheWindowsVersion) { CheckBitmaps(Kestro(), case_->kestro); }
TEST_F(Variant, ShufflerButtonsUseTheBitmapSetOfTheWindowsVersion) { CheckBitmaps(Mirtav(), case_->mirtav); }

TEST(Mirtav, SystemMenuHoldsTheSpecialSetting) {
  Running run;
  std::string error;
  ASSERT_TRUE(run.Start(Mirtav(), &error)) << error;
  std::vector<std::string> items = ReadSystemMenu(run.main(), 5000);
  ASSERT_GE(items.size(), 7u) << "the system menu could not be read";
  EXPECT_EQ(items[5], "0\t-") << "a separator at position 5";
  EXPECT_EQ(items[6], "118\t" + Ansi(Pick("S&pecial setting...", "特殊な設定(&P)...")));
  // Still the usual menu around it: the restore item first, close after.
  EXPECT_EQ(items[0].substr(0, items[0].find('\t')), std::to_string(SC_RESTORE));
  bool hasClose = false;
  for (size_t i = 7; i < items.size(); ++i)
    hasClose = hasClose || items[i].substr(0, items[i].find('\t')) == std::to_string(SC_CLOSE);
  EXPECT_TRUE(hasClose);
}

// Wine offers 8 bits but no 4: the editor must run normally at 256 colours.
TEST(LowColour, EditorRunsOnA256ColourDisplay) {
  HDC screen = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
  int depth = GetDeviceCaps(screen, BITSPIXEL);
  DeleteDC(screen);
  ASSERT_EQ(depth, 8) << "this run needs a display of 8 bits per pixel";
  Running run;
  std::string error;
  ASSERT_TRUE(run.Start(Kestro(), &error)) << error;
  EXPECT_EQ(WindowText(run.main()), Kestro().Title());
  ASSERT_NE(run.iconBar(), nullptr);
  // The logo is drawn: its middle is not all background.
  RECT client = {};
  GetClientRect(run.main(), &client);
  POINT middle = ClientToScreenPoint(run.main(), client.right / 2 - 50, client.bottom / 2 + 10 - 50);
  Image shot;
  EXPECT_TRUE(Await("the logo", [&] {
    shot = CaptureScreen(middle.x, middle.y, 100, 100);
    for (uint32_t c : shot.pixels)
      if (c != 0xFFFFFF) return true;
    return false;
  }, [] { return std::string("only white"); })) << "no logo on the 256-colour display";
  shot.SaveBmp(ShotPath("kestro98-256-colours"));
  // Still running once painted: no silent refusal.
  EXPECT_TRUE(NotWithin("the editor ended", [&] { return !run.process().running(); }, 500));
}

}  // namespace
