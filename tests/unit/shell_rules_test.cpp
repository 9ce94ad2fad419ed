// The application shell's arithmetic: window size, taskbar margins and
// placement, logo position, readme path, depth, language and title match.
#include "common/ui/core/shell_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "kestro98/bar_tables.h"
#include "mirtav00/bar_tables.h"

using namespace ui_core;

namespace {

constexpr int32_t kSW = 1024;
constexpr int32_t kSH = 768;

TEST(MainWindowBox, EditorAndShufflerSizesAreCentredTenthsOfTheScreen) {
  struct Row { int32_t sw, sh, tenths, left, top, width, height; };
  const Row rows[] = {
      {1024, 768, 8, 102, 77, 819, 614},  // 205 / 2 truncates to 102
      {1024, 768, 9, 51, 38, 921, 691},
      {640, 480, 8, 64, 48, 512, 384},
      {1366, 768, 9, 68, 38, 1229, 691},
      {800, 600, 9, 40, 30, 720, 540},
  };
  for (const Row& r : rows) {
    WindowBox b = MainWindowBox(r.sw, r.sh, r.tenths);
    EXPECT_EQ(b.width, r.width) << r.sw << "x" << r.sh << " tenths " << r.tenths;
    EXPECT_EQ(b.height, r.height) << r.sw << "x" << r.sh << " tenths " << r.tenths;
    EXPECT_EQ(b.left, r.left) << r.sw << "x" << r.sh << " tenths " << r.tenths;
    EXPECT_EQ(b.top, r.top) << r.sw << "x" << r.sh << " tenths " << r.tenths;
  }
}

TEST(TaskbarMargins, EachRowOfTheTableInItsOrder) {
  const TaskbarMargins none;
  const TaskbarMargins old{0, 0, 0, 40};
  struct Row {
    const char* label;
    ScreenRect desktop;
    TaskbarMargins previous;
    TaskbarMargins want;
  };
  const Row rows[] = {
      {"taskbar at the bottom", {0, 0, kSW, kSH - 28}, none, {0, 0, 0, 28}},
      {"taskbar at the right", {0, 0, kSW - 60, kSH}, none, {0, 60, 0, 0}},
      {"narrower and lower: bottom replaces right", {0, 0, kSW - 10, kSH - 30}, none, {0, 0, 0, 30}},
      {"taskbar at the top", {0, 28, kSW, kSH}, none, {0, 0, 28, 0}},
      {"negative top is taken as its size", {0, -28, kSW, kSH}, none, {0, 0, 28, 0}},
      {"taskbar at the left", {60, 0, kSW, kSH}, none, {60, 0, 0, 0}},
      {"negative left is taken as its size", {-60, 0, kSW, kSH}, none, {60, 0, 0, 0}},
      {"no taskbar: previous kept", {0, 0, kSW, kSH}, old, old},
      {"both edges off: previous kept", {10, 20, kSW, kSH}, old, old},
      {"a new measure clears an old margin", {60, 0, kSW, kSH}, old, {60, 0, 0, 0}},
  };
  for (const Row& r : rows) {
    TaskbarMargins m = MarginsFromDesktop(r.desktop, kSW, kSH, r.previous);
    EXPECT_EQ(m.left, r.want.left) << r.label;
    EXPECT_EQ(m.right, r.want.right) << r.label;
    EXPECT_EQ(m.top, r.want.top) << r.label;
    EXPECT_EQ(m.bottom, r.want.bottom) << r.label;
  }
}

TEST(Placement, ClearOfTheTaskbarOnEachEdgeIncludingNegativeResults) {
  const int32_t w = 819, h = 614, x0 = 102, y0 = 77;
  struct Row {
    const char* label;
    TaskbarMargins margins;
    int32_t width, height;
    Point32 want;
  };
  const Row rows[] = {
      {"bottom 28: centred in SH-28 rows", {0, 0, 0, 28}, w, h, {x0, (768 - 28 - 614) / 2}},
      {"right 60: centred in SW-60 columns", {0, 60, 0, 0}, w, h, {(1024 - 60 - 819) / 2, y0}},
      {"left 60: centred right of the strip", {60, 0, 0, 0}, w, h, {(1024 - 60 - 819) / 2 + 60, y0}},
      {"top 28: centred below the strip", {0, 0, 28, 0}, w, h, {x0, (768 - 28 - 614) / 2 + 28}},
      {"no margins: centred on the screen", {}, w, h, {(1024 - 819) / 2, y0}},
      {"right, wider than the room: 0", {0, 60, 0, 0}, 1000, h, {0, y0}},
      {"bottom, taller than the room: 0", {0, 0, 0, 28}, w, 760, {x0, 0}},
      {"left, wider than the room: the strip edge", {60, 0, 0, 0}, 1000, h, {60, y0}},
      {"top, taller than the room: the strip edge", {0, 0, 28, 0}, w, 760, {x0, 28}},
  };
  for (const Row& r : rows) {
    Point32 p = PlacementClearOfTaskbar(r.margins, kSW, kSH, r.width, r.height, x0, y0);
    EXPECT_EQ(p.x, r.want.x) << r.label;
    EXPECT_EQ(p.y, r.want.y) << r.label;
  }
  // The left case starts no further left than the strip, also for a window
  // one pixel too wide (a truncated -0.5 would otherwise give 60).
  EXPECT_EQ(PlacementClearOfTaskbar({60, 0, 0, 0}, kSW, kSH, 965, h, x0, y0).x, 60);
}

TEST(Placement, TheFirstNonZeroMarginInTableOrderDecides) {
  // Only one margin is ever set by the measure, but the table's order still
  // decides if two were: right before bottom before top before left.
  Point32 p = PlacementClearOfTaskbar({50, 40, 30, 20}, kSW, kSH, 800, 600, 5, 6);
  EXPECT_EQ(p.x, (1024 - 40 - 800) / 2);
  EXPECT_EQ(p.y, 6);
  p = PlacementClearOfTaskbar({50, 0, 30, 20}, kSW, kSH, 800, 600, 5, 6);
  EXPECT_EQ(p.x, 5);
  EXPECT_EQ(p.y, (768 - 20 - 600) / 2);
}

TEST(LogoPosition, EditorBelowTheBandAndShufflerInTheWholeClientArea) {
  const LogoGeometry& kestroLogo = kestro::kLook.logo;
  const LogoGeometry& mirtavLogo = mirtav::kLook.logo;
  Point32 k = StartupLogoPosition(kestroLogo, 640, 480);
  EXPECT_EQ(k.x, 193);
  EXPECT_EQ(k.y, 139);
  EXPECT_EQ(ClampedLogoPosition(kestroLogo, 640, 480).x, 193);
  EXPECT_EQ(ClampedLogoPosition(kestroLogo, 640, 480).y, 139);
  // Smaller than the logo: the editor's repaint keeps it at the left edge and
  // under the band ...
  k = ClampedLogoPosition(kestroLogo, 200, 100);
  EXPECT_EQ(k.x, 0);
  EXPECT_EQ(k.y, 20);
  k = ClampedLogoPosition(kestroLogo, 253, 241);
  EXPECT_EQ(k.x, 0);
  EXPECT_EQ(k.y, 20);
  // ... but at start-up it stands where the halving puts it, left of and
  // above the client area's corner.
  k = StartupLogoPosition(kestroLogo, 200, 100);
  EXPECT_EQ(k.x, (200 - 253) / 2);
  EXPECT_EQ(k.y, (100 - 241) / 2 + 20);
  EXPECT_EQ(k.x, -26);
  EXPECT_EQ(k.y, -50);

  Point32 m = StartupLogoPosition(mirtavLogo, 640, 480);
  EXPECT_EQ(m.x, (640 - 306) / 2);
  EXPECT_EQ(m.y, (480 - 232) / 2);
  EXPECT_EQ(m.x, 167);
  EXPECT_EQ(m.y, 124);
  // Truncation toward zero when the client is smaller than the logo.
  m = StartupLogoPosition(mirtavLogo, 303, 229);
  EXPECT_EQ(m.x, -1);
  EXPECT_EQ(m.y, -1);
}

TEST(DisplayDepth, SixteenColoursOrFewerAreRefused) {
  for (int bits : {1, 2, 4}) EXPECT_TRUE(DisplayDepthRefused(bits)) << bits;
  for (int bits : {8, 15, 16, 24, 32}) EXPECT_FALSE(DisplayDepthRefused(bits)) << bits;
}

TEST(Language, JapaneseExactlyForCodePage932) {
  EXPECT_EQ(LanguageForCodePage(932), 1);
  for (uint32_t cp : {1252u, 936u, 949u, 950u, 1250u, 437u, 65001u, 0u}) {
    EXPECT_EQ(LanguageForCodePage(cp), 0) << cp;
  }
}

TEST(TitleMatch, PlainCaseSensitiveSubstringInEitherLanguage) {
  EXPECT_TRUE(TitleContains(u"Kestro - (No title)", u"Kestro - "));
  EXPECT_TRUE(TitleContains(u"Kestro - LEAF.BMP [1:4]", u"Kestro - "));
  EXPECT_TRUE(TitleContains(u"My Kestro - notes", u"Kestro - "));
  EXPECT_FALSE(TitleContains(u"kestro - (No title)", u"Kestro - "));
  // The creation titles never match, or a new copy would find itself.
  EXPECT_FALSE(TitleContains(u"Kestro_Main", u"Kestro - "));
  EXPECT_FALSE(TitleContains(u"Dravel_Main", u"Mirtav"));
  EXPECT_FALSE(TitleContains(u"Dravel_Main", u"ミルタヴ"));
  // A needle longer than what is left of the title is not read past its end.
  EXPECT_FALSE(TitleContains(u"Kestro -", u"Kestro - "));
  EXPECT_FALSE(TitleContains(u"", u"Mirtav"));
  EXPECT_FALSE(TitleContains(u"Mirtav", u""));
  EXPECT_FALSE(TitleContains(nullptr, u"Mirtav"));

  // A Japanese copy carries the Japanese prefix: an English copy does not see it.
  EXPECT_FALSE(TitleContains(u"ＢＭＰケストロ - (無題)", u"Kestro - "));
  EXPECT_TRUE(TitleContains(u"ＢＭＰケストロ - (無題)", u"ＢＭＰケストロ - "));
  // The shuffler's two names, whichever language the other window has.
  EXPECT_TRUE(TitleContains(u"ミルタヴ", u"ミルタヴ"));
  EXPECT_TRUE(TitleContains(u"ミルタヴ - LEAF.BMP", u"ミルタヴ"));
  EXPECT_TRUE(TitleContains(u"Mirtav - LEAF.BMP", u"Mirtav"));
  EXPECT_FALSE(TitleContains(u"ミルタ", u"ミルタヴ"));
}

TEST(ReadmePath, FromTheFoundProgramFile) {
  EXPECT_EQ(ReadmeFromFoundProgram("D:\\A\\KESTRO98.EXE", false, 258), "D:\\A\\KESTRO9E.PDF");
  EXPECT_EQ(ReadmeFromFoundProgram("D:\\A\\KESTRO98.EXE", true, 258), "D:\\A\\KESTRO9J.PDF");
  EXPECT_EQ(ReadmeFromFoundProgram("C:\\Tools\\KESTRO98.EXE", false, 258), "C:\\Tools\\KESTRO9E.PDF");
  EXPECT_EQ(ReadmeFromFoundProgram("C:\\Tools\\MIRTAV00.EXE", true, 256), "C:\\Tools\\MIRTAV0J.PDF");
  // A path of no more than the five characters to strip gives no readme.
  EXPECT_EQ(ReadmeFromFoundProgram("8.EXE", false, 258), "");
  EXPECT_EQ(ReadmeFromFoundProgram(".EXE", false, 258), "");
  EXPECT_EQ(ReadmeFromFoundProgram("", false, 258), "");
}

TEST(ReadmePath, TheLimitCountsTheTerminatingZero) {
  // 257 characters fit into 258 with the zero; 258 do not.
  const std::string folder = "C:\\" + std::string(241, 'a') + "\\";  // 245 characters
  const std::string program = folder + "KESTRO98.EXE";               // 257
  EXPECT_EQ(ReadmeFromFoundProgram(program, false, 258).size(), 257u);
  EXPECT_EQ(ReadmeFromFoundProgram(program, false, 257), "");
  EXPECT_EQ(ReadmeFromModulePath(program, "KESTRO9", false, false, 258).size(), 257u);
  EXPECT_EQ(ReadmeFromModulePath(program, "KESTRO9", false, false, 257), "");
  EXPECT_EQ(ReadmeFromFoundProgram(folder + "MIRTAV00.EXE", true, 256), "");
}

TEST(ReadmePath, FromTheModulePathOfARenamedOrMovedProgram) {
  EXPECT_EQ(ReadmeFromModulePath("D:\\A\\KESTRO98.EXE", "KESTRO9", false, false, 258),
            "D:\\A\\KESTRO9E.PDF");
  // Renamed: the document keeps the product's name.
  EXPECT_EQ(ReadmeFromModulePath("D:\\A\\kestro-copy.exe", "KESTRO9", true, false, 258),
            "D:\\A\\KESTRO9J.PDF");
  EXPECT_EQ(ReadmeFromModulePath("C:\\x\\y\\shuffle.exe", "MIRTAV0", false, false, 256),
            "C:\\x\\y\\MIRTAV0E.PDF");
  EXPECT_EQ(ReadmeFromModulePath("Z:/work/bin/M.EXE", "MIRTAV0", true, false, 256),
            "Z:/work/bin/MIRTAV0J.PDF");
  EXPECT_EQ(ReadmeFromModulePath("C:PROG.EXE", "KESTRO9", false, false, 258), "C:KESTRO9E.PDF");
  EXPECT_EQ(ReadmeFromModulePath("PROG.EXE", "KESTRO9", false, false, 258), "KESTRO9E.PDF");

  // A folder named "表" (0x95 0x5C): its second byte is not a separator in 932.
  const std::string folder = "C:\\\x95\x5c\\";
  EXPECT_EQ(ReadmeFromModulePath(folder + "\x95\x5c.EXE", "KESTRO9", true, true, 258),
            folder + "KESTRO9J.PDF");
  // Read byte by byte the same path would lose the folder's last character.
  EXPECT_EQ(ReadmeFromModulePath(folder + "\x95\x5c.EXE", "KESTRO9", true, false, 258),
            folder + "\x95\\KESTRO9J.PDF");
}

}  // namespace

// The picture a double-click, "Open with" or a typed command names.
TEST(ShellRules, PathFromCommandLine) {
  struct Case {
    const char* line;
    const char* path;
  };
  const Case cases[] = {
      {"\"C:\\Tools\\KESTRO98.EXE\" \"C:\\art\\leaf.bmp\"", "C:\\art\\leaf.bmp"},
      {"\"C:\\My Tools\\KESTRO98.EXE\" \"C:\\my art\\leaf one.bmp\"", "C:\\my art\\leaf one.bmp"},
      {"KESTRO98.EXE C:\\art\\leaf.bmp", "C:\\art\\leaf.bmp"},
      {"KESTRO98 C:\\my art\\leaf one.bmp  ", "C:\\my art\\leaf one.bmp"},
      {"KESTRO98.EXE C:\\PROGRA~1\\LEAF~1.BMP", "C:\\PROGRA~1\\LEAF~1.BMP"},
      {"  KESTRO98.EXE\t\t\"leaf.bmp\" ignored", "leaf.bmp"},
      {"\"C:\\Tools\\KESTRO98.EXE\" \"C:\\unclosed\\leaf.bmp", "C:\\unclosed\\leaf.bmp"},
      {"\"C:\\Tools\\KESTRO98.EXE\"", ""},
      {"\"C:\\Tools\\KESTRO98.EXE\"   ", ""},
      {"KESTRO98.EXE", ""},
      {"\"C:\\Tools\\KESTRO98.EXE\" \"\"", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ui_core::PathFromCommandLine(c.line), c.path) << c.line;
  EXPECT_EQ(ui_core::PathFromCommandLine(nullptr), "");
}
