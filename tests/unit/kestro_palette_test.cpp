// The palette window's history, chip grid and colour scroll bars: a press is
// one change, Undo steps back, the 299-change limit, gaps and empty cells.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "kestro98/core/chip_grid.h"
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

}  // namespace
