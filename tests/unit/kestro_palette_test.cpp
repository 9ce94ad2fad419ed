// The palette window's history, chip grid and colour scroll bars: a press is
// one change, Undo steps back, the 299-change limit, gaps and empty cells.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "kestro98/core/chip_grid.h"
#include "kestro98/core/colour_tools.h"
#include "kestro98/core/palette_history.h"

namespace {

using kestro::PaletteHistory;
using kestro::Rgb;

std::vector<uint8_t> Table(int n) {
  std::vector<uint8_t> t(4 * n);
  for (int i = 0; i < 4 * n; ++i) t[i] = static_cast<uint8_t>(i * 7 + 1);
  return t;
}

TEST(PaletteHistory, ChangesUndoAndTheBlockTable) {
  static PaletteHistory h;
  const std::vector<uint8_t> file = Table(16);
  ASSERT_TRUE(h.Reset(file.data(), file.size(), 16));
  EXPECT_FALSE(h.UndoEnabled());
  EXPECT_FALSE(h.SaveEnabled());
  EXPECT_FALSE(h.Press(16, Rgb{1, 2, 3})) << "entry outside the count";
  ASSERT_TRUE(h.Press(5, Rgb{255, 0, 128}));
  std::vector<uint8_t> block(4 * 16, 0xEE);
  ASSERT_TRUE(h.WriteIntoBlockTable(block.data(), block.size()));
  EXPECT_EQ(block[20], 128);  // blue
  EXPECT_EQ(block[21], 0);    // green
  EXPECT_EQ(block[22], 255);  // red
  EXPECT_EQ(block[23], 0xEE) << "the fourth byte is left as it was";
  EXPECT_EQ(block[0], file[0]);
  ASSERT_TRUE(h.Press(5, Rgb{1, 1, 1}));
  ASSERT_TRUE(h.Press(6, Rgb{2, 2, 2}));
  ASSERT_TRUE(h.Undo());
  EXPECT_EQ(h.Entry(5).red, 1);
  EXPECT_EQ(h.Entry(6).red, file[26]) << "one undo after three changes: the second level";
  ASSERT_TRUE(h.Undo());
  ASSERT_TRUE(h.Undo());
  EXPECT_FALSE(h.Undo());
  EXPECT_FALSE(h.UndoEnabled());
  std::vector<uint8_t> saved(4 * 16);
  ASSERT_TRUE(h.WriteFileTable(saved.data(), saved.size()));
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(saved[4 * i], file[4 * i]);
    EXPECT_EQ(saved[4 * i + 3], 0) << "reserved bytes are written as 0";
  }
  EXPECT_FALSE(h.Reset(file.data(), 8, 16)) << "a table too short";
  EXPECT_FALSE(h.Reset(file.data(), file.size(), 0));
  EXPECT_FALSE(h.Reset(file.data(), file.size(), 12, 5)) << "no such entry size";

  // A short table of 3-byte entries (after a core header): 12 chips, the
  // rest of the grid empty; written back in 3-byte entries.
  ASSERT_TRUE(h.Reset(file.data(), 36, 12, 3));
  EXPECT_EQ(h.ColourCount(), 12);
  EXPECT_EQ(h.Entry(11).blue, file[33]);
  EXPECT_EQ(h.Entry(11).red, file[35]);
  EXPECT_FALSE(h.Press(12, Rgb{1, 2, 3})) << "a cell past the table";
  ASSERT_TRUE(h.Press(11, Rgb{9, 8, 7}));
  std::vector<uint8_t> packed(37, 0xEE);
  ASSERT_TRUE(h.WriteFileTable(packed.data(), packed.size(), 3));
  EXPECT_EQ(packed[33], 7);
  EXPECT_EQ(packed[35], 9);
  EXPECT_EQ(packed[3], file[3]) << "entry 1 follows entry 0 after 3 bytes";
  EXPECT_EQ(packed[36], 0xEE) << "nothing past the table";
}

TEST(PaletteHistory, TheLimitOf299Changes) {
  static PaletteHistory h;
  const std::vector<uint8_t> file = Table(2);
  ASSERT_TRUE(h.Reset(file.data(), file.size(), 2));
  for (int i = 0; i < 298; ++i) ASSERT_TRUE(h.Press(i & 1, Rgb{uint8_t(i), 0, 0}));
  EXPECT_STREQ(kestro::StatusText(h, false), "");
  ASSERT_TRUE(h.Press(0, Rgb{9, 9, 9})) << "the 299th change is still made";
  EXPECT_STREQ(kestro::StatusText(h, false), "No more change allowed.");
  EXPECT_STREQ(kestro::StatusText(h, true), "これ以上変更はできません.");
  EXPECT_FALSE(h.Press(1, Rgb{7, 7, 7})) << "the 300th is refused";
  EXPECT_EQ(h.Entry(1).red, 297 & 0xFF);
  ASSERT_TRUE(h.Undo());
  EXPECT_STREQ(kestro::StatusText(h, false), "");
  EXPECT_TRUE(h.Press(1, Rgb{7, 7, 7}));
}

// A palette file's colours: the first min(file, table) entries, one change.
TEST(PaletteHistory, LoadIsOneChangeOverTheTablesEntries) {
  static PaletteHistory h;
  const std::vector<uint8_t> file = Table(16);
  ASSERT_TRUE(h.Reset(file.data(), file.size(), 16));
  const Rgb longer[20] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  ASSERT_TRUE(h.Load(longer, 20)) << "a longer file gives its first 16";
  EXPECT_EQ(h.ChangeCounter(), 1);
  EXPECT_EQ(h.Entry(2).blue, 9);
  EXPECT_EQ(h.Entry(15).red, 0);
  const Rgb shorter[2] = {{200, 201, 202}, {203, 204, 205}};
  ASSERT_TRUE(h.Load(shorter, 2)) << "a shorter file leaves the rest as they are";
  EXPECT_EQ(h.Entry(1).green, 204);
  EXPECT_EQ(h.Entry(2).blue, 9);
  ASSERT_TRUE(h.Undo());
  EXPECT_EQ(h.Entry(1).green, 5);
  ASSERT_TRUE(h.Undo());
  EXPECT_EQ(h.Entry(0).red, file[2]) << "one Undo per load";
  EXPECT_FALSE(h.Load(shorter, 0));
  EXPECT_FALSE(h.Load(nullptr, 2));
  for (int i = 0; i < 299; ++i) ASSERT_TRUE(h.Press(0, Rgb{uint8_t(i), 0, 0}));
  EXPECT_FALSE(h.Load(shorter, 2)) << "past the limit";
  EXPECT_EQ(h.Entry(1).green, file[5]);
}

// Redo walks forward over what Undo left, a new press forgets it, and the
// limit counts the changes in effect, not those that could be redone.
TEST(PaletteHistory, RedoPutsBackWhatUndoTook) {
  static PaletteHistory h;
  const std::vector<uint8_t> file = Table(16);
  ASSERT_TRUE(h.Reset(file.data(), file.size(), 16));
  EXPECT_FALSE(h.Redo()) << "nothing undone yet";
  ASSERT_TRUE(h.Press(3, Rgb{10, 0, 0}));
  ASSERT_TRUE(h.Press(4, Rgb{20, 0, 0}));
  ASSERT_TRUE(h.Press(3, Rgb{30, 0, 0}));
  EXPECT_FALSE(h.RedoEnabled());
  ASSERT_TRUE(h.Undo());
  ASSERT_TRUE(h.Undo());
  ASSERT_TRUE(h.Undo());
  EXPECT_EQ(h.Entry(3).red, file[14]) << "all undone: the file's colours";
  const struct { int red3, red4; } steps[] = {{10, file[18]}, {10, 20}, {30, 20}};
  for (const auto& step : steps) {
    ASSERT_TRUE(h.Redo());
    EXPECT_EQ(h.Entry(3).red, step.red3) << "after redo to level " << h.ChangeCounter();
    EXPECT_EQ(h.Entry(4).red, step.red4) << "after redo to level " << h.ChangeCounter();
  }
  EXPECT_FALSE(h.Redo()) << "no undone change is left";
  EXPECT_EQ(h.ChangeCounter(), 3);
  ASSERT_TRUE(h.Undo());
  ASSERT_TRUE(h.Undo());
  ASSERT_TRUE(h.Press(5, Rgb{40, 0, 0}));
  EXPECT_FALSE(h.RedoEnabled()) << "a new change forgets what could be redone";
  EXPECT_EQ(h.Entry(4).red, file[18]);

  // At the limit an Undo and a Redo bring the limit back, a press stays refused.
  ASSERT_TRUE(h.Reset(file.data(), file.size(), 16));
  for (int i = 0; i < 299; ++i) ASSERT_TRUE(h.Press(i % 16, Rgb{uint8_t(i), 1, 1}));
  ASSERT_TRUE(h.Undo());
  EXPECT_FALSE(h.LimitReached());
  ASSERT_TRUE(h.Redo());
  EXPECT_TRUE(h.LimitReached());
  EXPECT_FALSE(h.Press(0, Rgb{1, 1, 1}));
  EXPECT_FALSE(h.Redo());
}

// Whether leaving would lose colours: only when the current ones are neither
// the opened file's nor the last saved.
TEST(PaletteHistory, UnsavedColours) {
  static PaletteHistory h;
  const std::vector<uint8_t> file = Table(2);
  const Rgb own = {file[2], file[1], file[0]};
  struct Step {
    const char* what;
    std::function<bool()> act;
    bool unsaved;
  };
  const Step steps[] = {
      {"just opened", [] { return true; }, false},
      {"one change", [] { return h.Press(0, Rgb{1, 2, 3}); }, true},
      {"undone", [] { return h.Undo(); }, false},
      {"redone", [] { return h.Redo(); }, true},
      {"saved", [] { h.MarkSaved(); return true; }, false},
      {"changed after the save", [] { return h.Press(1, Rgb{4, 5, 6}); }, true},
      {"undone to the saved colours", [] { return h.Undo(); }, false},
      {"undone to the opened colours", [] { return h.Undo(); }, false},
      {"entry set back to the file's own colour", [&] { return h.Press(0, own); }, false},
      {"another colour", [] { return h.Press(1, Rgb{7, 7, 7}); }, true},
      {"opened again", [&] { return h.Reset(file.data(), file.size(), 2); }, false},
      {"the colour saved before the new open", [] { return h.Press(0, Rgb{1, 2, 3}); }, true},
  };
  ASSERT_TRUE(h.Reset(file.data(), file.size(), 2));
  for (const Step& step : steps) {
    ASSERT_TRUE(step.act()) << step.what;
    EXPECT_EQ(h.HasUnsavedColours(), step.unsaved) << step.what;
  }
}

TEST(ChipGrid, CellsGapsAndEmptyCells) {
  const kestro::CellRect first = kestro::ChipCell(0, 0);
  EXPECT_EQ(first.x0, 14); EXPECT_EQ(first.y0, 247);
  EXPECT_EQ(first.x1, 28); EXPECT_EQ(first.y1, 254);   // 14 + 16 - 2, 247 + 9 - 2
  const kestro::CellRect last = kestro::ChipCell(15, 15);
  EXPECT_EQ(last.x0, 14 + 244); EXPECT_EQ(last.x1, 275 - 2);
  EXPECT_EQ(last.y0, 247 + 137); EXPECT_EQ(last.y1, 394 - 2);
  struct Case { int x, y, count, want; const char* what; };
  const Case cases[] = {
      {14, 247, 2, 0, "top-left corner of chip 0"},
      {28, 254, 2, 0, "bottom-right corner of chip 0"},
      {29, 250, 2, -1, "the gap right of chip 0"},
      {20, 255, 256, -1, "the gap below chip 0"},
      {31, 250, 2, 1, "chip 1"},
      {47, 250, 2, -1, "cell 2 of a 2-colour picture is empty"},
      {273, 392, 256, 255, "chip 255"},
      {273, 392, 16, -1, "last cell of a 16-colour picture"},
      {13, 250, 256, -1, "left of the grid"},
  };
  for (const Case& c : cases) EXPECT_EQ(kestro::HitChip(c.x, c.y, c.count), c.want) << c.what;
}

TEST(ChipGrid, ColourScrollCodes) {
  struct Case { int value, code, thumb, want; };
  const Case cases[] = {
      {0, 0, 0, 0}, {5, 0, 0, 4}, {255, 1, 0, 255}, {250, 3, 0, 255}, {10, 2, 0, 0},
      {100, 3, 0, 115}, {9, 4, 77, 77}, {9, 5, 300, 255}, {9, 6, 0, 0}, {9, 7, 0, 255},
      {9, 8, 0, 9}, {9, 42, 0, 9},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kestro::ColourScroll(c.value, c.code, c.thumb), c.want)
        << "value " << c.value << " code " << c.code;
  }
}

// Typed and pasted colours: the three forms with blanks around them, and what
// must change nothing (a digit short or over, a value past 255, a stray sign).
TEST(ColourTools, TypedColours) {
  struct Case {
    const char* text;
    bool ok;
    Rgb want;
  };
  const Case cases[] = {
      {"#1a1c2c", true, {26, 28, 44}},  {"1A1C2C", true, {26, 28, 44}},
      {" 26 28 44\r\n", true, {26, 28, 44}}, {"26,28,44", true, {26, 28, 44}},
      {"0\t0 255", true, {0, 0, 255}},   {"#1a1c2", false, {}},
      {"#1a1c2c0", false, {}},           {"1a1c2g", false, {}},
      {"26 28", false, {}},              {"26 28 256", false, {}},
      {"26 28 44 1", false, {}},         {"0026 28 44", false, {}},
      {"-1 28 44", false, {}},           {"", false, {}},
      {"##1a1c2c", false, {}},           {"26 28 44x", false, {}},
  };
  for (const Case& c : cases) {
    Rgb got = {7, 7, 7};
    EXPECT_EQ(kestro::ParseColourText(c.text, &got), c.ok) << c.text;
    const Rgb want = c.ok ? c.want : Rgb{7, 7, 7};
    EXPECT_EQ(kestro::ColourText(got), kestro::ColourText(want)) << c.text;
  }
  Rgb back;
  ASSERT_TRUE(kestro::ParseColourText(kestro::ColourText({1, 128, 255}).c_str(), &back));
  EXPECT_EQ(kestro::ColourText(back), "#0180ff");
}

// Every depth: levels expand by repeating their bits (5 bits: v << 3 | v >> 2),
// each 8-bit value snaps to the nearest expansion, and a snapped colour stays.
TEST(ColourTools, DepthLevelsAndSnap) {
  EXPECT_EQ(kestro::ExpandLevel(5, 1), 8);
  EXPECT_EQ(kestro::ExpandLevel(5, 17), 17 << 3 | 17 >> 2);
  EXPECT_EQ(kestro::ExpandLevel(4, 10), 0xAA);
  EXPECT_EQ(kestro::ExpandLevel(3, 5), 0xB6);  // 101 101 10
  for (const int32_t bits : kestro::kDepthBits) {
    const int32_t top = (1 << bits) - 1;
    EXPECT_EQ(kestro::ExpandLevel(bits, 0), 0);
    EXPECT_EQ(kestro::ExpandLevel(bits, top), 255);
    for (int32_t v = 0; v < 256; ++v) {
      const int32_t level = kestro::NearestLevel(bits, static_cast<uint8_t>(v));
      const int32_t distance = std::abs(kestro::ExpandLevel(bits, level) - v);
      for (int32_t other = 0; other <= top; ++other) {
        ASSERT_LE(distance, std::abs(kestro::ExpandLevel(bits, other) - v)) << bits << " bits, " << v;
      }
      if (v <= top) {
        ASSERT_EQ(kestro::NearestLevel(bits, kestro::ExpandLevel(bits, v)), v) << bits;
      }
    }
  }
  const Rgb snapped = kestro::SnapColour(5, {26, 28, 44});
  EXPECT_EQ(kestro::ColourText(snapped), "#181829") << "26 and 28 -> 24, 44 -> 41";
  EXPECT_EQ(kestro::ColourText(kestro::SnapColour(8, {26, 28, 44})), "#1a1c2c");

  std::vector<uint8_t> table = {0, 0, 0, 0, 44, 28, 26, 0, 255, 255, 255, 0};  // blue, green, red
  PaletteHistory h;
  ASSERT_TRUE(h.Reset(table.data(), table.size(), 3));
  EXPECT_EQ(kestro::EntriesOutsideDepth(h, 8), 0);
  EXPECT_EQ(kestro::EntriesOutsideDepth(h, 5), 1);
  ASSERT_TRUE(h.Press(1, snapped));
  EXPECT_EQ(kestro::EntriesOutsideDepth(h, 5), 0);
  EXPECT_EQ(kestro::EntriesOutsideDepth(h, 3), 1) << "24 is no 3-bit level";

  // The bars over a depth's levels: page 15 at 8 bits, 1 at 5 bits and below.
  EXPECT_EQ(kestro::LevelScroll(0, 3, 0, 255), 15);
  EXPECT_EQ(kestro::LevelScroll(30, 3, 0, 31), 31);
  EXPECT_EQ(kestro::LevelScroll(4, 2, 0, 7), 3);
  EXPECT_EQ(kestro::LevelScroll(4, 5, 99, 7), 7);
  EXPECT_EQ(kestro::LevelScroll(4, 7, 0, 15), 15);
}

// The status line says the first that applies, in both languages.
TEST(ColourTools, StatusLineOrder) {
  kestro::StatusFacts f;
  EXPECT_EQ(kestro::StatusLine(f, false), "");
  f.depthBits = 5;
  f.outsideDepth = 12;
  EXPECT_EQ(kestro::StatusLine(f, false), "Entries outside 15-bit color: 12");
  EXPECT_EQ(kestro::StatusLine(f, true), "15ビット色で表せない色: 12個");
  f.limitReached = true;
  EXPECT_EQ(kestro::StatusLine(f, false), "No more change allowed.");
  f.wrongColour = true;
  EXPECT_EQ(kestro::StatusLine(f, false), "Write #1a1c2c, 1a1c2c or 26 28 44.");
  f.pixel = kestro::PixelText(120, 64, 37, {120, 64, 200}, false);
  EXPECT_EQ(kestro::StatusLine(f, false), "x 120, y 64: entry 37 = 120 64 200");
  EXPECT_EQ(kestro::PixelText(16383, 8191, 255, {0, 0, 0}, true), "x 16383, y 8191: 255番 = 0 0 0");
}

}  // namespace

