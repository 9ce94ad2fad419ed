// The shuffler's order tools on plain memory: each order is a permutation
// that, applied through ReorderPicture, keeps every pixel's colour, and puts
// the table in the order its name promises, equal keys keeping their order.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "common/bitmap/core/rle.h"
#include "mirtav00/core/open_rules.h"
#include "mirtav00/core/order_history.h"
#include "mirtav00/core/order_tools.h"
#include "mirtav00/core/randomise.h"
#include "tests/unit/fixtures/bmp_fixture.h"
#include "tests/unit/fixtures/reread.h"

using mirtav::SortKey;
using shuffle::PaletteEntry;

namespace {

PaletteEntry Rgb(int32_t r, int32_t g, int32_t b) { return PaletteEntry{b, g, r}; }

std::vector<int32_t> Sorted(const std::vector<PaletteEntry>& table, SortKey key, const uint64_t* uses = nullptr) {
  std::vector<int32_t> order(table.size());
  EXPECT_TRUE(mirtav::SortOrder(table.data(), static_cast<int32_t>(table.size()), key, uses, order.data()));
  std::vector<int32_t> entries(table.size());  // entries[place] = the entry standing there
  for (size_t i = 0; i < order.size(); ++i) entries[order[i]] = static_cast<int32_t>(i);
  return entries;
}

// Each row as an RLE stream of one-pixel runs (two-pixel runs at 4 bits).
std::vector<uint8_t> RleOf(int32_t width, int32_t height, uint16_t bits, int (*index)(int32_t, int32_t)) {
  std::vector<uint8_t> s;
  for (int32_t y = height - 1; y >= 0; --y) {
    for (int32_t x = 0; x < width; x += bits == 8 ? 1 : 2) {
      const int n = bits == 8 || x + 1 == width ? 1 : 2;
      const int v = bits == 8 ? index(x, y) : index(x, y) << 4 | (n == 2 ? index(x + 1, y) : 0);
      s.insert(s.end(), {static_cast<uint8_t>(n), static_cast<uint8_t>(v)});
    }
    s.insert(s.end(), {0, 0});
  }
  s.insert(s.end(), {0, 1});
  return s;
}

// Every pixel's colour (0xRRGGBB) as shown, stored rows or stream decoded.
std::vector<uint32_t> ShownColours(const std::vector<uint8_t>& block, const bmp::BlockLayout& l) {
  const uint64_t stride = (uint64_t{static_cast<uint32_t>(l.width)} * l.bitCount + 31) / 32 * 4;
  std::vector<uint8_t> rows(block.begin() + l.pixelOffset, block.end());
  if (l.compression != bmp::kBiRgb) {
    rows.assign(stride * l.height, 0);
    rle::Decode(block.data() + l.pixelOffset, l.pixelBytes, l.bitCount, l.width, l.height, stride, rows.data(),
                rows.size());
  }
  std::vector<uint8_t> table(4 * l.colourCount);
  bmp::TableAsQuads(block.data(), l, table.data(), static_cast<uint32_t>(l.colourCount));
  std::vector<uint32_t> colours;
  for (int32_t y = 0; y < l.height; ++y) {
    for (int32_t x = 0; x < l.width; ++x) {
      const uint8_t byte = rows[y * stride + (l.bitCount == 8 ? x : x / 2)];
      const uint8_t i = l.bitCount == 8 ? byte : (x % 2 ? byte & 15 : byte >> 4);
      colours.push_back(i < l.colourCount ? table[4 * i] | table[4 * i + 1] << 8 | table[4 * i + 2] << 16
                                          : 0xFF000000u | i);  // past the table: the index itself
    }
  }
  return colours;
}

// A picture of one case's layout: index(x, y) at every pixel (rows, or an
// RLE stream of short runs), the depth's full table with entry `repeat`
// repeating entry `of`.
struct Layout {
  int32_t width, height;
  uint16_t bits;
  uint32_t compression;
};
std::vector<uint8_t> PictureFile(const Layout& c, int (*index)(int32_t, int32_t), size_t repeat, size_t of) {
  fixture::Picture p;
  p.width = c.width;
  p.height = c.height;
  p.bits = c.bits;
  p.compression = c.compression;
  p.palette = fixture::Palette(size_t{1} << c.bits);
  p.palette[repeat] = p.palette[of];
  p.pixels = c.compression == bmp::kBiRgb ? fixture::Rows(c.width, c.height, c.bits, index)
                                          : RleOf(c.width, c.height, c.bits, index);
  return fixture::File(p);
}

}  // namespace

TEST(MirtavOrderTools, SortsPutEntriesInTheirKeysOrderAndKeepTies) {
  // 0 dark red, 1 white, 2 light blue, 3 black, 4 mid grey, 5 = 0 again,
  // 6 bright red, 7 yellow, 8 a nearly grey blue (below the chroma line).
  const std::vector<PaletteEntry> table = {Rgb(120, 10, 10), Rgb(255, 255, 255), Rgb(150, 190, 255),
                                           Rgb(0, 0, 0),     Rgb(128, 128, 128), Rgb(120, 10, 10),
                                           Rgb(255, 40, 40), Rgb(250, 230, 20),  Rgb(120, 122, 128)};
  EXPECT_EQ(Sorted(table, SortKey::kHue), (std::vector<int32_t>{3, 8, 4, 1, 0, 5, 6, 7, 2}));
  EXPECT_EQ(Sorted(table, SortKey::kLightness), (std::vector<int32_t>{3, 0, 5, 8, 4, 6, 2, 7, 1}));
  const uint64_t uses[] = {5, 0, 9, 5, 1, 0, 9, 2, 5};
  EXPECT_EQ(Sorted(table, SortKey::kUse, uses), (std::vector<int32_t>{2, 6, 0, 3, 8, 7, 4, 1, 5}));
  // Perceived, not summed: pure green is lighter than pure blue plus red.
  EXPECT_GT(mirtav::Lightness(Rgb(0, 255, 0)), mirtav::Lightness(Rgb(255, 0, 255)));
  EXPECT_EQ(Sorted({Rgb(1, 2, 3)}, SortKey::kHue), std::vector<int32_t>{0});
  int32_t order[256];
  EXPECT_FALSE(mirtav::SortOrder(table.data(), 9, SortKey::kUse, nullptr, order));
  EXPECT_FALSE(mirtav::SortOrder(table.data(), 0, SortKey::kHue, nullptr, order));
}

// A move, kept as a step: its Undo is the move back, its Redo the move; the
// history's limit and its redo steps.
TEST(MirtavOrderTools, MovesAreStepsThatUndoAndRedoWithinTheHistorysLimit) {
  struct { int32_t count, from, to; std::vector<int32_t> order; } const cases[] = {
      {5, 1, 3, {0, 3, 1, 2, 4}}, {5, 4, 0, {1, 2, 3, 4, 0}}, {5, 2, 2, {0, 1, 2, 3, 4}}, {1, 0, 0, {0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " to " << c.to);
    int32_t order[256], undo[256], redo[256], back[256];
    ASSERT_TRUE(mirtav::MoveOrder(c.count, c.from, c.to, order));
    EXPECT_EQ(std::vector<int32_t>(order, order + c.count), c.order);
    mirtav::OrderHistory history;
    history.Reset(c.count);
    EXPECT_FALSE(history.UndoOrder(undo));
    ASSERT_TRUE(history.Record(order));
    ASSERT_TRUE(history.UndoOrder(undo));
    ASSERT_TRUE(mirtav::MoveOrder(c.count, c.to, c.from, back));
    EXPECT_EQ(std::vector<int32_t>(undo, undo + c.count), std::vector<int32_t>(back, back + c.count));
    history.Undone();
    ASSERT_TRUE(history.RedoOrder(redo));
    EXPECT_EQ(std::vector<int32_t>(redo, redo + c.count), c.order);
  }
  int32_t order[256];
  EXPECT_FALSE(mirtav::MoveOrder(5, 5, 0, order));
  EXPECT_FALSE(mirtav::MoveOrder(5, 0, -1, order));
  // A new step drops what could be redone; the oldest goes past the limit.
  mirtav::OrderHistory history;
  history.Reset(3);
  const int32_t swap[] = {1, 0, 2}, turn[] = {1, 2, 0}, bad[] = {0, 0, 1};
  EXPECT_FALSE(history.Record(bad));
  ASSERT_TRUE(history.Record(swap));
  ASSERT_TRUE(history.Record(turn));
  history.Undone();
  EXPECT_TRUE(history.CanRedo());
  ASSERT_TRUE(history.Record(swap));
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(history.Steps(), 2u);
  for (size_t i = 0; i < mirtav::OrderHistory::kMaxSteps + 5; ++i) history.Record(turn);
  EXPECT_EQ(history.Steps(), mirtav::OrderHistory::kMaxSteps);
  size_t undone = 0;
  for (; history.CanUndo(); ++undone) history.Undone();
  EXPECT_EQ(undone, mirtav::OrderHistory::kMaxSteps);
}

// Counted uses of rows and RLE streams, then each sort applied: every pixel
// shows the colour it showed.
TEST(MirtavOrderTools, UsesAreCountedAndEverySortKeepsEveryPixelsColour) {
  const Layout cases[] = {
      {5, 3, 4, bmp::kBiRgb}, {9, -2, 8, bmp::kBiRgb}, {6, 4, 8, bmp::kBiRle8}, {7, 3, 4, bmp::kBiRle4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " " << c.bits << " bits, " << c.compression);
    int (*index)(int32_t, int32_t) = [](int32_t x, int32_t y) { return (x * 3 + y * 5) % 11; };
    const std::vector<uint8_t> file = PictureFile(c, index, 2, 7);  // a repeated colour
    const fixture::Reread source = fixture::ReadBack(file);
    ASSERT_TRUE(source.ok);
    uint64_t uses[256], expected[256] = {};
    for (int32_t y = 0; y < std::abs(c.height); ++y) {
      for (int32_t x = 0; x < c.width; ++x) ++expected[index(x, y)];
    }
    ASSERT_TRUE(mirtav::CountUses(source.block.data(), source.block.size(), source.layout, uses));
    EXPECT_EQ(std::vector<uint64_t>(uses, uses + 256), std::vector<uint64_t>(expected, expected + 256));
    EXPECT_FALSE(mirtav::CountUses(source.block.data(), source.layout.pixelOffset, source.layout, uses));
    for (SortKey key : {SortKey::kHue, SortKey::kLightness, SortKey::kUse}) {
      PaletteEntry table[256];
      int32_t n = 0, order[256];
      ASSERT_EQ(mirtav::CheckOpenHeader(file.data(), file.size(), file.size(), table, &n), mirtav::OpenVerdict::kOk);
      std::vector<uint8_t> block = source.block;
      ASSERT_TRUE(mirtav::SortOrder(table, n, key, expected, order));
      ASSERT_TRUE(mirtav::ReorderPicture(table, n, block.data(), block.size(), source.layout, order));
      EXPECT_EQ(ShownColours(block, source.layout), ShownColours(source.block, source.layout));
    }
  }
}

// Remove unused entries, then Merge duplicate colours, each a step that
// shortens the table: every pixel keeps its colour, and Undo gives back the
// very bytes of the block (a merge's pixels their own duplicate's index),
// Redo the shortened ones, on rows and RLE streams alike.
TEST(MirtavOrderTools, RemoveAndMergeShortenTheTableKeepColoursAndUndoToTheByte) {
  const Layout cases[] = {
      {11, 3, 4, bmp::kBiRgb}, {12, -2, 8, bmp::kBiRgb}, {11, 4, 8, bmp::kBiRle8}, {13, 3, 4, bmp::kBiRle4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " " << c.bits << " bits, " << c.compression);
    // Entries 2..12 are used; 0, 1 and those past 12 are not.
    int (*index)(int32_t, int32_t) = [](int32_t x, int32_t y) { return 2 + (x * 3 + y * 5) % 11; };
    const std::vector<uint8_t> file = PictureFile(c, index, 4, 9);  // a repeated colour, both used
    const fixture::Reread source = fixture::ReadBack(file);
    ASSERT_TRUE(source.ok);
    PaletteEntry table[256];
    int32_t n = 0;
    ASSERT_EQ(mirtav::CheckOpenHeader(file.data(), file.size(), file.size(), table, &n), mirtav::OpenVerdict::kOk);
    const std::vector<PaletteEntry> opened(table, table + 256);
    std::vector<uint8_t> block = source.block;
    bmp::BlockLayout layout = source.layout;

    uint64_t uses[256];
    int32_t order[256], pixelMap[256];
    mirtav::OrderStep removal, merge;
    ASSERT_TRUE(mirtav::CountUses(block.data(), block.size(), layout, uses));
    ASSERT_EQ(mirtav::UnusedRemovalOrder(uses, n, order), 11);
    EXPECT_EQ(order[2], 0);
    EXPECT_EQ(order[12], 10);
    EXPECT_EQ(order[0], 11);
    ASSERT_TRUE(mirtav::MakeStep(order, n, 11, nullptr, &removal));
    ASSERT_TRUE(mirtav::ApplyStep(table, &n, block.data(), block.size(), &layout, removal));
    EXPECT_EQ(n, 11);
    EXPECT_EQ(layout.colourCount, 11);
    EXPECT_EQ(ShownColours(block, layout), ShownColours(source.block, source.layout));
    const std::vector<uint8_t> removed = block;

    // Entry 4 went to 2 and entry 9 to 7: 7 merges into 2.
    ASSERT_EQ(mirtav::DuplicateMergeOrder(table, nullptr, n, order, pixelMap), 10);
    EXPECT_EQ(pixelMap[7], 2);
    EXPECT_EQ(order[7], 10);
    ASSERT_TRUE(mirtav::MakeStep(order, n, 10, pixelMap, &merge));
    ASSERT_TRUE(mirtav::ApplyStep(table, &n, block.data(), block.size(), &layout, merge, &merge.patch));
    EXPECT_FALSE(merge.patch.Empty());
    EXPECT_EQ(n, 10);
    EXPECT_EQ(ShownColours(block, layout), ShownColours(source.block, source.layout));
    uint64_t after[256];
    ASSERT_TRUE(mirtav::CountUses(block.data(), block.size(), layout, after));
    EXPECT_EQ(after[2], uses[4] + uses[9]);
    const std::vector<uint8_t> merged = block;

    // Undo both, Redo both, and a step is refused at a count not its own.
    EXPECT_FALSE(mirtav::RevertStep(table, &n, block.data(), block.size(), &layout, removal));
    ASSERT_TRUE(mirtav::RevertStep(table, &n, block.data(), block.size(), &layout, merge));
    EXPECT_EQ(block, removed);
    ASSERT_TRUE(mirtav::RevertStep(table, &n, block.data(), block.size(), &layout, removal));
    EXPECT_EQ(block, source.block);
    EXPECT_EQ(n, 1 << c.bits);
    EXPECT_EQ(layout.colourCount, source.layout.colourCount);
    EXPECT_EQ(0, std::memcmp(table, opened.data(), sizeof table));
    ASSERT_TRUE(mirtav::ApplyStep(table, &n, block.data(), block.size(), &layout, removal));
    ASSERT_TRUE(mirtav::ApplyStep(table, &n, block.data(), block.size(), &layout, merge));
    EXPECT_EQ(block, merged);
  }
  // Nothing unused keeps every entry; nothing used keeps entry 0; alpha tells
  // two entries of one colour apart.
  int32_t order[4], pixelMap[4];
  const uint64_t all[256] = {1, 2, 3, 4}, none[256] = {};
  EXPECT_EQ(mirtav::UnusedRemovalOrder(all, 4, order), 4);
  EXPECT_EQ(mirtav::UnusedRemovalOrder(none, 4, order), 1);
  EXPECT_EQ(mirtav::UnusedRemovalOrder(all, 0, order), -1);
  const PaletteEntry twins[4] = {Rgb(1, 2, 3), Rgb(1, 2, 3), Rgb(9, 9, 9), Rgb(1, 2, 3)};
  const uint8_t alpha[4] = {255, 0, 255, 255};
  EXPECT_EQ(mirtav::DuplicateMergeOrder(twins, nullptr, 4, order, pixelMap), 2);
  EXPECT_EQ(std::vector<int32_t>(pixelMap, pixelMap + 4), (std::vector<int32_t>{0, 0, 1, 0}));
  EXPECT_EQ(mirtav::DuplicateMergeOrder(twins, alpha, 4, order, pixelMap), 3);
  EXPECT_EQ(std::vector<int32_t>(order, order + 4), (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(std::vector<int32_t>(pixelMap, pixelMap + 4), (std::vector<int32_t>{0, 1, 2, 0}));
}

// A merge at every row length around the pieces the pass reads at once (a
// kilobyte, 16 and 8 bytes, and what is left), at both depths, with one, three and nine
// twins (nine are more than the pass seeks by comparison): every pixel keeps its
// colour, the kept bytes give the block back to the byte, and the counted
// uses follow each step as a fresh count finds them. The widest pictures are
// tall, so that their kept bytes outgrow the patch's first room. Each also
// with a table two entries short, whose last index and the one past it are held.
TEST(MirtavOrderTools, MergesKeepEveryChangedByteAtEveryRowLengthAndUsesFollowTheSteps) {
  using TwinsAndMissing = std::pair<int32_t, size_t>;
  for (uint16_t bits : {4, 8}) {
    for (const auto& [twins, missing] : {TwinsAndMissing{1, 0}, {3, 0}, {9, 0}, {1, 2}, {3, 2}, {9, 2}}) {
      std::vector<int32_t> widths;
      for (int32_t width = 1; width <= 70; width += bits == 8 ? 3 : 5) widths.push_back(width);
      widths.push_back(bits == 8 ? 2070 : 4133);  // two kilobytes, sixteen bytes and a few
      for (int32_t width : widths) {
        SCOPED_TRACE(testing::Message() << bits << " bits, " << twins << " twins, " << missing << " short, " << width);
        fixture::Picture p;
        p.width = width;
        p.height = width > 64 ? 600 : 3;
        p.bits = bits;
        p.palette = fixture::Palette((size_t{1} << bits) - missing);
        p.clrUsed = static_cast<uint32_t>(p.palette.size());
        for (int32_t t = 1; t <= twins; ++t) p.palette[t] = p.palette[0];  // entries 1..twins repeat entry 0
        // In the widest, the twins lie far apart: the patch's gaps take one, two and three bytes.
        int (*index)(int32_t, int32_t) = [](int32_t x, int32_t y) { return (x * 7 + y * 3) % 13; };
        if (width > 1000) {
          index = [](int32_t x, int32_t y) { return (y % 50 == 0 && x == y) || (y == 1 && x % 300 == 0) ? 0 : 10 + x % 6; };
        }
        p.pixels = fixture::Rows(width, p.height, bits, [&](int32_t x, int32_t y) {
          // Past the short table, and its last entry.
          if (missing != 0 && (x == 1 || x == 2)) return (1 << bits) - 1 - (x == 2 ? static_cast<int>(missing) : 0);
          return index(x, y);
        });
        const fixture::Reread source = fixture::ReadBack(fixture::File(p));
        ASSERT_TRUE(source.ok);
        std::vector<uint8_t> block = source.block;
        bmp::BlockLayout layout = source.layout;
        PaletteEntry table[256];
        int32_t n = layout.colourCount, order[256], pixelMap[256];
        for (int32_t i = 0; i < n; ++i) table[i] = Rgb(p.palette[i] >> 16, p.palette[i] >> 8 & 255, p.palette[i] & 255);
        uint64_t uses[256], counted[256];
        ASSERT_TRUE(mirtav::CountUses(block.data(), block.size(), layout, uses));

        // A move first (a permutation), then the merge, then both back.
        mirtav::OrderStep move, merge;
        ASSERT_TRUE(mirtav::MoveOrder(n, 0, 5, order));
        ASSERT_TRUE(mirtav::MakeStep(order, n, n, nullptr, &move));
        ASSERT_TRUE(mirtav::ApplyStep(table, &n, block.data(), block.size(), &layout, move));
        const std::vector<uint8_t> moved = block;
        ASSERT_TRUE(mirtav::UsesAfterStep(move, false, uses));
        const int32_t kept = mirtav::DuplicateMergeOrder(table, nullptr, n, order, pixelMap);
        ASSERT_EQ(kept, n - twins);
        ASSERT_TRUE(mirtav::MakeStep(order, n, kept, pixelMap, &merge));
        ASSERT_TRUE(mirtav::ApplyStep(table, &n, block.data(), block.size(), &layout, merge, &merge.patch));
        EXPECT_EQ(ShownColours(block, layout), ShownColours(source.block, source.layout));
        const std::vector<uint64_t> beforeMerge(uses, uses + 256);
        ASSERT_TRUE(mirtav::UsesAfterStep(merge, false, uses));
        ASSERT_TRUE(mirtav::CountUses(block.data(), block.size(), layout, counted));
        EXPECT_EQ(std::vector<uint64_t>(uses, uses + 256), std::vector<uint64_t>(counted, counted + 256));

        // Its Undo splits the merged pixels again: their counts come from the step, when it kept them.
        EXPECT_FALSE(mirtav::UsesAfterStep(merge, true, uses));
        merge.usesBefore = beforeMerge;
        ASSERT_TRUE(mirtav::UsesAfterStep(merge, true, uses));
        ASSERT_TRUE(mirtav::RevertStep(table, &n, block.data(), block.size(), &layout, merge));
        EXPECT_EQ(block, moved);
        ASSERT_TRUE(mirtav::CountUses(block.data(), block.size(), layout, counted));
        EXPECT_EQ(std::vector<uint64_t>(uses, uses + 256), std::vector<uint64_t>(counted, counted + 256));
        ASSERT_TRUE(mirtav::UsesAfterStep(move, true, uses));
        ASSERT_TRUE(mirtav::RevertStep(table, &n, block.data(), block.size(), &layout, move));
        EXPECT_EQ(block, source.block);
        ASSERT_TRUE(mirtav::CountUses(block.data(), block.size(), layout, counted));
        EXPECT_EQ(std::vector<uint64_t>(uses, uses + 256), std::vector<uint64_t>(counted, counted + 256));
      }
    }
  }
}
