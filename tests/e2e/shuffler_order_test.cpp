// The shuffler's order tools as a user takes them, in one started shuffler:
// the sorts from the palette window's menu, Undo and Redo through the keys,
// an entry dragged to another cell, the tip over a cell, unused entries
// removed and duplicates merged. At every step the picture on the screen
// stays as it was and the cells show the table in its new order; the files
// saved render as their source (out-LANG*-NAME.bmp / .tif judged by
// ImageMagick, tout-LANG-NAME@*.png by check_shuffled_png.py).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/shuffler_session.h"

using namespace e2e;
using namespace e2e::shuffler;

namespace {

// The 256 cells' colours in a shot of the palette window.
std::vector<uint32_t> CellColours(const Image& shot) {
  std::vector<uint32_t> colours;
  for (int i = 0; i < 256 && shot.width == 264; ++i) colours.push_back(shot.At(16 * (i % 16) + 12, 16 * (i / 16) + 12));
  return colours;
}

// The text of this process's tip window once one shows.
std::string TipText(DWORD pid) {
  std::string text;
  WaitUntil([&] {
    for (HWND tip : FindTopLevel("tooltips_class32", nullptr, pid)) {
      if (IsWindowVisible(tip) && !(text = WindowText(tip)).empty()) return true;
    }
    return false;
  }, kPatienceMs);
  return text;
}

// One shuffler for the suite, started by the first case.
class MirtavOrder : public testing::Test {
 protected:
  inline static Shuffler app;
  static void TearDownTestSuite() { app.run().Close(); }
  void SetUp() override {
    if (Pictures().empty() || OutDir().empty()) GTEST_SKIP() << "E2E_PICTURES / E2E_OUT are set by run-tier.sh";
    std::string error;
    ASSERT_TRUE(IsWindow(app.main()) || app.Start(&error)) << error;
  }
  // Opens NAME.EXT of the pictures, which holds `table`, and waits until
  // the cells and the picture show it; the reference in *reference.
  testing::AssertionResult OpenShown(const std::string& name, const std::string& ext,
                                     const std::vector<uint32_t>& table, Image* reference, HWND* palette) {
    if (!LoadReference(JoinPath(Pictures(), name + ".ref.bmp"), reference)) {
      return testing::AssertionFailure() << "no reference of " << name;
    }
    if (!app.Open(JoinPath(Pictures(), name + ext))) return testing::AssertionFailure() << "no open dialog";
    const testing::AssertionResult shown = app.AwaitPalette(palette);
    if (!shown) return shown;
    const testing::AssertionResult cells = app.ShowsCells(table, 256, "order-opened-" + Lang() + "-" + name);
    if (!cells) return cells;
    return app.Shows(*reference);
  }
};

// Remove unused entries and Merge duplicate colours shorten the table, on a
// BMP whose entries 1 and 2 are one colour and on Pillow's PNG of 40 entries
// (make_pictures.py: unused entries, 17 repeating 3, 21 repeating 5's colour
// at another alpha, bKGD on an unused twin). Undo of the merge gives entry
// 17's pixels their own entry again: tout-LANG-NAME@removed.png.
TEST_F(MirtavOrder, RemoveUnusedAndMergeDuplicatesShortenTheTable) {
  const std::string out = OutDir(), lang = Lang();
  const std::string merged1 = Ansi(Pick("Entries merged into an earlier entry of the same color: 1.",
                                        "前にある同じ色のエントリにまとめた色: 1 色."));
  Image reference;
  HWND palette = nullptr;
  auto choose = [&](int item) { return ChooseFromContextMenu(palette, 100, 100, item, kMenuItems, app.run().pid()); };
  auto cells = [&](const std::vector<uint32_t>& table) { return app.ShowsCells(table, 256, "order-cells-" + lang); };
  auto saved = [&](const std::string& path) { return app.Save(path) && app.Answer("Information", "お知らせ") != "(no box)"; };

  // The BMP: every entry used, so nothing to remove; one duplicate merged.
  std::vector<uint32_t> table = PaletteOf(ReadBytes(JoinPath(Pictures(), "dup8_320x200.bmp")));
  ASSERT_TRUE(OpenShown("dup8_320x200", ".bmp", table, &reference, &palette));
  ASSERT_TRUE(choose(kMenuRemoveUnused));
  EXPECT_EQ(app.Answer("Information", "お知らせ"),
            Ansi(Pick("Every entry of the color table is used by some pixel, so none was removed.",
                      "カラーテーブルの色はどれも画素に使われています. 削除する色はありません.")));
  ASSERT_TRUE(choose(kMenuMergeDuplicates));
  EXPECT_EQ(app.Answer("Information", "お知らせ"), merged1);
  table.erase(table.begin() + 2);
  EXPECT_TRUE(cells(table)) << "entry 2 merged into 1";
  EXPECT_TRUE(app.Shows(reference));
  ASSERT_TRUE(choose(kMenuMergeDuplicates));
  EXPECT_EQ(app.Answer("Information", "お知らせ"),
            Ansi(Pick("No two entries of the color table have the same color, so none was merged.",
                      "カラーテーブルに同じ色の組はありません. まとめる色はありません.")));
  const std::string bmp = JoinPath(out, "out-" + lang + "merged-dup8_320x200");
  ASSERT_TRUE(saved(bmp + ".bmp"));
  EXPECT_EQ(PaletteOf(ReadBytes(bmp + ".bmp")), table);
  ASSERT_TRUE(saved(bmp + ".tif"));

  // The PNG: 23 entries used, then 17 merged into 3.
  const std::string name = "spng_pil8_tidy_40x24";
  const std::vector<uint32_t> all = PngPalette(ReadBytes(JoinPath(Pictures(), name + ".png")));
  ASSERT_EQ(all.size(), 40u);
  ASSERT_TRUE(OpenShown(name, ".png", all, &reference, &palette));
  std::vector<uint32_t> used, merged;
  for (int i = 0; i < 40; ++i) {
    if ((i % 2 == 0 && i != 30) || i == 3 || i == 5 || i == 17 || i == 21) used.push_back(all[i]);
    if (((i % 2 == 0 && i != 30) || i == 3 || i == 5 || i == 21)) merged.push_back(all[i]);
  }
  ASSERT_TRUE(choose(kMenuRemoveUnused));
  EXPECT_TRUE(cells(used)) << "unused entries removed";
  EXPECT_TRUE(app.Shows(reference));
  ASSERT_TRUE(choose(kMenuMergeDuplicates));
  EXPECT_EQ(app.Answer("Information", "お知らせ"), merged1);
  EXPECT_TRUE(cells(merged)) << "17 merged into 3, 21 kept apart from 5";
  EXPECT_TRUE(app.Shows(reference));
  const std::string png = JoinPath(out, "tout-" + lang + "-" + name);
  ASSERT_TRUE(saved(png + "@merged.png"));
  EXPECT_EQ(PngPalette(ReadBytes(png + "@merged.png")), merged);

  ASSERT_TRUE(BringForward(app.main()));
  PressKeys({VK_CONTROL}, 'Z');
  EXPECT_TRUE(cells(used)) << "the merge undone";
  ASSERT_TRUE(saved(png + "@removed.png"));
  ASSERT_TRUE(BringForward(app.main()));
  PressKeys({VK_CONTROL}, 'Z');
  EXPECT_TRUE(cells(all)) << "the removal undone";
  EXPECT_TRUE(app.AwaitButtons("RC-")) << "the table as opened";
  PressKeys({VK_CONTROL}, 'Y');
  PressKeys({VK_CONTROL}, 'Y');
  EXPECT_TRUE(cells(merged)) << "both redone";
  EXPECT_TRUE(app.Shows(reference));
  const std::string fromPng = JoinPath(out, "out-" + lang + "tidy-" + name + ".bmp");
  ASSERT_TRUE(saved(fromPng));
  EXPECT_EQ(PaletteOf(ReadBytes(fromPng)), merged);
}


TEST_F(MirtavOrder, SortsUndoRedoADragAndTheTipKeepThePicture) {
  const std::string pictures = Pictures(), out = OutDir();
  const std::string name = "im8_257x131";
  const std::vector<uint8_t> file = ReadBytes(JoinPath(pictures, name + ".bmp"));
  const std::vector<uint32_t> stored = PaletteOf(file);
  ASSERT_EQ(stored.size(), 256u);
  Image reference;
  HWND palette = nullptr;
  ASSERT_TRUE(OpenShown(name, ".bmp", stored, &reference, &palette));
  std::vector<uint32_t> shown = CellColours(app.PaletteClient());

  // Each sort: a new order of the same colours, the picture as it was.
  std::vector<uint32_t> colours = stored;
  std::sort(colours.begin(), colours.end());
  auto sameColours = [&](std::vector<uint32_t> cells) {
    std::sort(cells.begin(), cells.end());
    return cells == colours;
  };
  std::vector<std::vector<uint32_t>> orders = {stored};
  for (int item : {kMenuSortHue, kMenuSortLightness, kMenuSortUse}) {
    SCOPED_TRACE(item);
    ASSERT_TRUE(ChooseFromContextMenu(palette, 100, 100, item, kMenuItems, app.run().pid()));
    EXPECT_TRUE(Await("a new order of the table's colours in the cells", [&] {
      shown = CellColours(app.PaletteClient());
      return shown != orders.back() && sameColours(shown);
    }, [] { return std::string("none"); }));
    EXPECT_TRUE(app.Shows(reference)) << "the picture changed its look";
    if (item == kMenuSortHue) app.PaletteClient().SaveBmp(JoinPath(out, "palette-by-hue-" + Lang() + ".bmp"));
    orders.push_back(shown);
  }
  EXPECT_TRUE(app.AwaitButtons("-CS"));

  // Undo through the keys steps back to the opened order, Redo forward again.
  ASSERT_TRUE(BringForward(app.main()));
  for (int step = 2; step >= 0; --step) {
    PressKeys({VK_CONTROL}, 'Z');
    EXPECT_TRUE(app.ShowsCells(orders[step], 256, "order-undo-" + Lang())) << "undo to step " << step;
  }
  EXPECT_TRUE(app.AwaitButtons("RC-")) << "back in the order it was opened in";
  PressKeys({VK_CONTROL}, 'Y');
  EXPECT_TRUE(app.ShowsCells(orders[1], 256, "order-redo-" + Lang())) << "redo";
  EXPECT_TRUE(app.Shows(reference));

  // Entry 0 dragged onto cell 5: entries 1..5 shift down by one.
  std::vector<uint32_t> moved = orders[1];
  std::rotate(moved.begin(), moved.begin() + 1, moved.begin() + 6);
  const POINT from = ClientToScreenPoint(palette, 12, 12), to = ClientToScreenPoint(palette, 16 * 5 + 12, 12);
  ASSERT_TRUE(DragOn(palette, from.x, from.y, to.x, to.y));
  EXPECT_TRUE(app.ShowsCells(moved, 256, "order-drag-" + Lang())) << "the drag";
  EXPECT_TRUE(app.Shows(reference));

  // The tip over cell 5: the entry, its colour and the pixels using it,
  // counted here in the source file's rows.
  const auto entry = static_cast<size_t>(std::find(stored.begin(), stored.end(), moved[5]) - stored.begin());
  const uint32_t width = U32(file, 18), height = U32(file, 22), stride = (width + 3) / 4 * 4;
  size_t uses = 0;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) uses += file[U32(file, 10) + y * stride + x] == entry;
  const uint32_t c = moved[5];
  const std::string want = Ansi(Pick("Entry 5: ", "5番: ")) + std::to_string(c >> 16) + " " +
                           std::to_string((c >> 8) & 0xFF) + " " + std::to_string(c & 0xFF) + ", " +
                           std::to_string(uses) + Ansi(Pick(" pixels", " ピクセル"));
  MoveMouse(to.x + 1, to.y);
  MoveMouse(to.x, to.y);
  EXPECT_EQ(TipText(app.run().pid()), want);
  const int shotX = std::max(0, std::min(static_cast<int>(to.x) - 40, GetSystemMetrics(SM_CXSCREEN) - 320));
  CaptureScreen(shotX, static_cast<int>(to.y) - 20, 320, 80).SaveBmp(JoinPath(out, "palette-tip-" + Lang() + ".bmp"));

  // Saved: the shown order, the source's pixels (check-out.sh).
  const std::string saved = JoinPath(out, "out-" + Lang() + "sorted-" + name + ".bmp");
  ASSERT_TRUE(app.Save(saved));
  EXPECT_NE(app.Answer("Information", "お知らせ"), "(no box)");
  EXPECT_EQ(PaletteOf(ReadBytes(saved)), moved);
}

}  // namespace
