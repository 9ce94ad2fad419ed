// The shuffler's order tools as a user takes them: the sorts from the palette
// window's menu, Undo and Redo through the keys, an entry dragged to another
// cell, the tip over a cell. At every step the picture on the screen stays as
// it was and the cells show the table in a new order; the file saved at the
// end renders as its source (out-LANGsorted-NAME.bmp, judged by ImageMagick).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/shuffler_session.h"

using namespace e2e;
using namespace e2e::shuffler;

namespace {

// The right-click menu of the palette window, top to bottom.
enum MenuItem { kUndo, kRedo, kSortHue, kSortLightness, kSortUse, kSavePalette, kArrange, kArrangePictures, kMenuItems };

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

TEST(MirtavOrder, SortsUndoRedoADragAndTheTipKeepThePicture) {
  const std::string pictures = Pictures(), out = OutDir();
  if (pictures.empty() || out.empty()) GTEST_SKIP() << "E2E_PICTURES / E2E_OUT are set by run-tier.sh";
  const std::string name = "im8_257x131";
  const std::vector<uint8_t> file = ReadBytes(JoinPath(pictures, name + ".bmp"));
  const std::vector<uint32_t> stored = PaletteOf(file);
  ASSERT_EQ(stored.size(), 256u);
  Image reference;
  ASSERT_TRUE(LoadReference(JoinPath(pictures, name + ".ref.bmp"), &reference));
  Shuffler app;
  std::string error;
  ASSERT_TRUE(app.Start(&error)) << error;
  ASSERT_TRUE(app.Open(JoinPath(pictures, name + ".bmp")));
  HWND palette = nullptr;
  ASSERT_TRUE(app.AwaitPalette(&palette));
  std::vector<uint32_t> shown = CellColours(app.PaletteShowing(stored, 256));
  ASSERT_EQ(shown, stored);

  // Each sort: a new order of the same colours, the picture as it was.
  std::vector<uint32_t> colours = stored;
  std::sort(colours.begin(), colours.end());
  auto sameColours = [&](std::vector<uint32_t> cells) {
    std::sort(cells.begin(), cells.end());
    return cells == colours;
  };
  std::vector<std::vector<uint32_t>> orders = {stored};
  for (int item : {kSortHue, kSortLightness, kSortUse}) {
    SCOPED_TRACE(item);
    ASSERT_TRUE(ChooseFromContextMenu(palette, 100, 100, item, kMenuItems, app.run().pid()));
    EXPECT_TRUE(Await("a new order of the table's colours in the cells", [&] {
      shown = CellColours(app.PaletteClient());
      return shown != orders.back() && sameColours(shown);
    }, [] { return std::string("none"); }));
    EXPECT_TRUE(app.Shows(reference)) << "the picture changed its look";
    if (item == kSortHue) app.PaletteClient().SaveBmp(JoinPath(out, "palette-by-hue-" + Lang() + ".bmp"));
    orders.push_back(shown);
  }
  EXPECT_TRUE(app.AwaitButtons("-CS"));

  // Undo through the keys steps back to the opened order, Redo forward again.
  ASSERT_TRUE(BringForward(app.main()));
  for (int step = 2; step >= 0; --step) {
    PressKeys({VK_CONTROL}, 'Z');
    EXPECT_TRUE(CellsShow(app.PaletteShowing(orders[step], 256), orders[step], 256)) << "undo to step " << step;
  }
  EXPECT_TRUE(app.AwaitButtons("RC-")) << "back in the order it was opened in";
  PressKeys({VK_CONTROL}, 'Y');
  EXPECT_TRUE(CellsShow(app.PaletteShowing(orders[1], 256), orders[1], 256)) << "redo";
  EXPECT_TRUE(app.Shows(reference));

  // Entry 0 dragged onto cell 5: entries 1..5 shift down by one.
  std::vector<uint32_t> moved = orders[1];
  std::rotate(moved.begin(), moved.begin() + 1, moved.begin() + 6);
  const POINT from = ClientToScreenPoint(palette, 12, 12), to = ClientToScreenPoint(palette, 16 * 5 + 12, 12);
  ASSERT_TRUE(DragOn(palette, from.x, from.y, to.x, to.y));
  EXPECT_TRUE(CellsShow(app.PaletteShowing(moved, 256), moved, 256)) << "the drag";
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
