// Palette files through the colour editor's palette window, as a person uses
// them: the right-click menu, the file dialogs, the chips judged on the
// screen and the written files read byte for byte. The files loaded are
// typed here as GIMP and Paint Shop Pro write them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/editor_session.h"

using namespace e2e;

namespace {

constexpr int kUndo = 124;
constexpr int kLoadItem = 0, kSaveItem = 1;
constexpr int kHexFilter = 5, kRiffFilter = 2;

class EditorPaletteFiles : public EditorSession {
 protected:
  // Right-click on the chips, an item of the menu, then its dialog filled.
  testing::AssertionResult UseMenu(int item, const std::string& path, int filter = 0) {
    const testing::AssertionResult chosen = ChooseFromContextMenu(Palette(), 140, 300, item, kPaletteMenuItems, run_->pid());
    if (!chosen) return chosen;
    const char* en = item == kLoadItem ? "Select a palette file to load." : "Assign a palette file to save.";
    const char* ja = item == kLoadItem ? "読み込むパレットファイルの選択" : "保存するパレットファイルの指定";
    HWND dialog = WaitForDialog(Ansi(Pick(en, ja)).c_str(), run_->pid(), kPatienceMs);
    if (dialog == nullptr) return testing::AssertionFailure() << "no dialog titled " << en;
    return FillFileDialog(dialog, path, filter);
  }
  // A file the program writes after its dialog has gone, once it is there.
  std::string Written(const std::string& path) {
    std::vector<uint8_t> bytes;
    Await("the file " + path, [&] { return ReadFileBytes(path, &bytes) && !bytes.empty(); },
          [] { return std::string("none"); });
    return std::string(bytes.begin(), bytes.end());
  }
  std::vector<uint32_t> Chips(int n) {
    std::vector<uint32_t> colours;
    for (int i = 0; i < n; ++i) colours.push_back(ChipColour(i));
    return colours;
  }
  testing::AssertionResult ChipsShow(const std::vector<uint32_t>& want) {
    std::vector<uint32_t> got;
    return Await("the chips in the expected colours", [&] {
      got = Chips(static_cast<int>(want.size()));
      return got == want;
    }, [&] {
      CaptureScreen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN))
          .SaveBmp(ShotPath("palette-file-chips-" + std::string(Lang())));
      std::string text;
      char one[12];
      for (uint32_t c : got) std::snprintf(one, sizeof one, " %06x", static_cast<unsigned>(c)), text += one;
      return "chips" + text;
    });
  }
};

std::string Hex(uint32_t c) {
  char text[8];
  std::snprintf(text, sizeof text, "%06x", static_cast<unsigned>(c));
  return text;
}

// Twenty colours, more than the 16-colour picture's table holds.
std::vector<uint32_t> Twenty() {
  std::vector<uint32_t> c;
  for (uint32_t i = 0; i < 20; ++i) c.push_back((i * 12) << 16 | (250 - i * 11) << 8 | ((i * 37) & 0xFF));
  return c;
}

// As GIMP writes one: LF, Name, Columns, a comment, a name after each colour.
std::string GimpFile(const std::vector<uint32_t>& colours) {
  std::string text = "GIMP Palette\nName: Leaf tones\nColumns: 4\n#\n";
  char line[64];
  for (uint32_t c : colours) {
    std::snprintf(line, sizeof line, "%3u %3u %3u\tLeaf %s\n", c >> 16, (c >> 8) & 0xFF, c & 0xFF, Hex(c).c_str());
    text += line;
  }
  return text;
}

bool WriteText(const std::string& path, const std::string& text) {
  return WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

TEST_F(EditorPaletteFiles, LoadIsOneChangeSaveWritesTheTableAndABadLineIsRefused) {
  ASSERT_NO_FATAL_FAILURE(OpenOk(Copy("im4_101x67.bmp"), "im4_101x67.bmp", "1:1"));
  const std::vector<uint32_t> opened = Chips(16);

  // A 20-colour GIMP palette gives the 16 entries its first 16 colours, one change.
  const std::vector<uint32_t> twenty = Twenty();
  ASSERT_TRUE(WriteText(Scratch("leaf.gpl"), GimpFile(twenty)));
  ASSERT_TRUE(UseMenu(kLoadItem, Scratch("leaf.gpl")));
  ASSERT_TRUE(ChipsShow(std::vector<uint32_t>(twenty.begin(), twenty.begin() + 16)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Palette(), kUndo)));
  PressButton(Palette(), kUndo);
  ASSERT_TRUE(ChipsShow(opened)) << "one Undo takes the whole load back";
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Palette(), kUndo))) << "the load was more than one change";

  // Save as a hex list and as a RIFF palette: the table, in its order.
  ASSERT_TRUE(UseMenu(kSaveItem, Scratch("table"), kHexFilter)) << "a name without extension";
  std::string want;
  for (uint32_t c : opened) want += Hex(c) + "\n";
  EXPECT_EQ(Written(Scratch("table.hex")), want) << "with the format's extension";
  ASSERT_TRUE(UseMenu(kSaveItem, Scratch("table.pal"), kRiffFilter));
  const std::string riff = Written(Scratch("table.pal"));
  const std::vector<uint8_t> bytes(riff.begin(), riff.end());
  ASSERT_EQ(bytes.size(), 24u + 4 * 16);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
  EXPECT_EQ(Le32(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "PAL data");
  EXPECT_EQ(Le32(bytes, 16), 4u + 4 * 16);
  EXPECT_EQ(Le32(bytes, 20), 0x00100300u) << "version 0x300, 16 entries";
  for (size_t i = 0; i < 16; ++i) {
    EXPECT_EQ(bytes[24 + 4 * i] << 16 | bytes[25 + 4 * i] << 8 | bytes[26 + 4 * i], opened[i]) << i;
  }
  // Loaded back it changes no colour, and is still one change.
  ASSERT_TRUE(UseMenu(kLoadItem, Scratch("table.pal")));
  ASSERT_TRUE(Await("Undo enabled by the load", [&] { return IsWindowEnabled(GetDlgItem(Palette(), kUndo)) != FALSE; },
                    [] { return std::string("disabled"); }));
  EXPECT_TRUE(ChipsShow(opened));
  PressButton(Palette(), kUndo);

  // A JASC file with a bad fifth line: refused with its line, nothing changed.
  ASSERT_TRUE(WriteText(Scratch("bad.pal"), "JASC-PAL\r\n0100\r\n3\r\n0 0 0\r\n12 300 7\r\n1 2 3\r\n"));
  ASSERT_TRUE(UseMenu(kLoadItem, Scratch("bad.pal")));
  HWND box = WaitForDialog(Ansi(Pick("Error", "エラー")).c_str(), run_->pid(), kPatienceMs);
  ASSERT_NE(box, nullptr) << "no refusal";
  EXPECT_EQ(ItemText(box, 0xFFFF),
            Ansi(Pick("Line 5 of the palette file is not a colour: three numbers from 0 to 255 were expected.",
                      "パレットファイルの 5 行目が色ではありません. 0 から 255 の数を 3 つ書いてください.")));
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitGone(box, kPatienceMs));
  EXPECT_TRUE(ChipsShow(opened));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Palette(), kUndo))) << "a refused file made a change";
}

}  // namespace
