// The shuffler used as a person would: Open through the real dialog, every
// refusal read off its box, Randomize PLT compared on the screen, Save as BMP
// and TIFF, Copy PLT read back from the clipboard, the settings dialog. The
// pictures come from tests/pictures/make_pictures.py (E2E_PICTURES, set by
// run-tier.sh); screenshots and saved files go to E2E_OUT, where run-tier.sh
// compares them with ImageMagick's renderings and runs tiffinfo -D.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

#include "tests/e2e/shuffler_session.h"

using namespace e2e;
using namespace e2e::shuffler;

namespace {

struct Picture {
  const char* name;
  int width;
  int height;
  int colours;
  int bits;
};

const Picture kGood[] = {
    {"im4_101x67", 101, 67, 16, 4},   {"im8_257x131", 257, 131, 256, 8}, {"pil8_203x77", 203, 77, 256, 8},
    {"td8_257x131", 257, 131, 256, 8}, {"td4_101x67", 101, 67, 16, 4},   {"gap8_257x131", 257, 131, 256, 8},
    {"gap4_101x67", 101, 67, 16, 4},  {"trail8_257x131", 257, 131, 256, 8},
    {"trail4_101x67", 101, 67, 16, 4}, {"dup8_320x200", 320, 200, 256, 8}, {"resv4_320x200", 320, 200, 16, 4},
    // Today's tools: version 5 and core headers, short tables, RLE.
    {"imv5_8_64x40", 64, 40, 256, 8},  {"imv5_4_101x67", 101, 67, 16, 4}, {"os2_8_64x40", 64, 40, 256, 8},
    {"os2_4_101x67", 101, 67, 16, 4},  {"os2t26_4_101x67", 101, 67, 16, 4},  {"gimp8_100_120x80", 120, 80, 100, 8},
    {"v4_4_101x67", 101, 67, 16, 4},   {"h52_8_257x131", 257, 131, 256, 8}, {"h56_4_101x67", 101, 67, 16, 4},
    {"list252_8_320x200", 320, 200, 252, 8}, {"list12_4_101x67", 101, 67, 12, 4},
    {"list16_8bit_320x200", 320, 200, 16, 8}, {"rle4_101x67", 101, 67, 16, 4},
    {"im8rle_150x90", 150, 90, 256, 8}, {"imv5rle8_150x90", 150, 90, 256, 8},
    {"v5rle4_101x67", 101, 67, 16, 4},  {"v4rle8_150x90", 150, 90, 256, 8},
};

TEST(Mirtav, OpensRandomisesAndSavesIndependentPictures) {
  const std::string pictures = Pictures(), out = OutDir();
  if (pictures.empty() || out.empty()) GTEST_SKIP() << "E2E_PICTURES / E2E_OUT are set by run-tier.sh";
  Shuffler app;
  std::string error;
  ASSERT_TRUE(app.Start(&error)) << error;
  EXPECT_EQ(app.Buttons(), "---");
  EXPECT_EQ(app.Palette(), nullptr) << "no palette window before an open";

  for (const Picture& p : kGood) {
    SCOPED_TRACE(p.name);
    const std::string file = std::string(p.name) + ".bmp";
    Image reference;
    ASSERT_TRUE(LoadReference(JoinPath(pictures, std::string(p.name) + ".ref.bmp"), &reference));
    ASSERT_TRUE(app.Open(JoinPath(pictures, file))) << "the open dialog";
    ASSERT_TRUE(AwaitTitle(app.main(), ExpectedTitle(file, 1)));
    EXPECT_TRUE(app.AwaitButtons("RC-"));
    HWND palette = nullptr;
    ASSERT_TRUE(app.AwaitPalette(&palette)) << "the open shows the palette window";
    RECT mainBox = ScreenRect(app.main()), paletteBox = ScreenRect(palette);
    EXPECT_EQ(paletteBox.right, mainBox.right - 3) << "at the main window's right";
    EXPECT_EQ(paletteBox.left, mainBox.right - 273);
    EXPECT_TRUE(GetWindowLongA(palette, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(palette, GW_OWNER), app.main());
    const std::vector<uint32_t> stored = PaletteOf(ReadBytes(JoinPath(pictures, file)));
    ExpectCells(app.PaletteShowing(stored, CellsOf(stored, p.bits)), stored,
                std::string(p.name) + " as opened", p.bits);

    ASSERT_TRUE(app.Shows(reference)) << "as opened";
    const Image before = app.Picture(p.width, p.height);
    ASSERT_TRUE(app.Randomise()) << app.Buttons();
    EXPECT_EQ(app.Buttons(), "-CS");
    ASSERT_TRUE(AwaitPainted(app.main())) << "randomised";
    const Image after = app.Picture(p.width, p.height);
    EXPECT_EQ(DifferentPixels(before, after), 0u) << "the randomised picture looks different";
    after.SaveBmp(JoinPath(out, "shot-" + Lang() + "-" + p.name + ".bmp"));

    const std::string savedBmp = JoinPath(out, "out-" + Lang() + "-" + p.name + ".bmp");
    const std::string savedTif = JoinPath(out, "out-" + Lang() + "-" + p.name + ".tif");
    DeleteFileA(savedBmp.c_str());
    DeleteFileA(savedTif.c_str());
    ASSERT_TRUE(app.Save(savedBmp));
    EXPECT_EQ(app.Answer("Information", "お知らせ"),
              Ansi(Pick("A bitmap file (BMP)\n", "ビットマップファイル (BMP)\n")) + savedBmp +
                  Ansi(Pick("\nhas been successfully saved.", "\nが保存されました.")));
    ASSERT_TRUE(app.Save(savedTif));
    EXPECT_EQ(app.Answer("Information", "お知らせ"),
              Ansi(Pick("A tiff file (TIF)\n", "ティフファイル (TIF)\n")) + savedTif +
                  Ansi(Pick("\nhas been successfully saved.", "\nが保存されました.")));

    // The saved table is a permutation of the stored one, shown in its new order.
    const std::vector<uint8_t> saved = ReadBytes(savedBmp);
    ASSERT_GE(saved.size(), 54u);
    EXPECT_EQ(U32(saved, 2), saved.size()) << "size field";
    EXPECT_EQ(U32(saved, 14), 40u) << "a 40-byte header";
    EXPECT_EQ(U32(saved, 10), 54u + 4 * p.colours) << "pixel offset";
    const std::vector<uint32_t> shuffled = PaletteOf(saved);
    EXPECT_EQ(std::multiset<uint32_t>(shuffled.begin(), shuffled.end()),
              std::multiset<uint32_t>(stored.begin(), stored.end()));
    EXPECT_NE(shuffled, stored) << "the order did not change";
    ExpectCells(app.PaletteShowing(shuffled, CellsOf(shuffled, p.bits)), shuffled,
                std::string(p.name) + " randomised", p.bits);

    // The saved file opens again, looking the same.
    ASSERT_TRUE(app.Open(savedBmp));
    const std::string savedName = savedBmp.substr(savedBmp.rfind('\\') + 1);
    EXPECT_TRUE(AwaitTitle(app.main(), ExpectedTitle(savedName, 1)));
    EXPECT_TRUE(app.AwaitButtons("RC-"));
    EXPECT_TRUE(app.Shows(before)) << "the saved file re-opened";
  }
  // A picture larger than the client area is shown halved: 1000 x 700 in ~915 x 660.
  std::vector<uint8_t> big = ReadBytes(JoinPath(pictures, "im8_320x200.bmp"));
  ASSERT_GT(big.size(), 1078u);
  const uint32_t width = 1000, height = 700;
  big.resize(1078 + width * height);
  PutU32(big, 2, static_cast<uint32_t>(big.size()));
  PutU32(big, 18, width);
  PutU32(big, 22, height);
  PutU32(big, 34, width * height);
  for (uint32_t i = 0; i < width * height; ++i) big[1078 + i] = static_cast<uint8_t>((i % width) / 4 + i / width);
  const std::string bigPath = JoinPath(out, "big1000x700.bmp");
  ASSERT_TRUE(WriteBytes(bigPath, big));
  ASSERT_TRUE(app.Open(bigPath));
  RECT client = {};
  GetClientRect(app.main(), &client);
  const int factor = (1000 > client.right || 700 > client.bottom - 21) ? 2 : 1;
  EXPECT_EQ(factor, 2) << "a client area of " << client.right << " x " << client.bottom;
  EXPECT_TRUE(AwaitTitle(app.main(), ExpectedTitle("big1000x700.bmp", 2)));
}

struct Refusal {
  const char* file;        // made from a good picture by `patch` when non-null
  size_t offset;
  uint32_t value;
  const char* english;
  const char* japanese;
  const char* titleEnglish;
  const char* titleJapanese;
};

TEST(Mirtav, RefusalsLeaveTheShownPictureAsItWas) {
  const std::string pictures = Pictures(), out = OutDir();
  if (pictures.empty() || out.empty()) GTEST_SKIP() << "E2E_PICTURES / E2E_OUT are set by run-tier.sh";
  // Made here: a 4-bit file listing 17 colours, a 64-byte header, zero width,
  // a bad signature, a wrong extension.
  std::vector<uint8_t> seventeen = ReadBytes(JoinPath(pictures, "im4_101x67.bmp"));
  ASSERT_GT(seventeen.size(), 54u);
  PutU32(seventeen, 46, 17);
  ASSERT_TRUE(WriteBytes(JoinPath(out, "seventeen4.bmp"), seventeen));
  std::vector<uint8_t> os2v2 = ReadBytes(JoinPath(pictures, "im8_320x200.bmp"));
  PutU32(os2v2, 14, 64);
  ASSERT_TRUE(WriteBytes(JoinPath(out, "os2v2.bmp"), os2v2));
  std::vector<uint8_t> zero = ReadBytes(JoinPath(pictures, "im8_320x200.bmp"));
  PutU32(zero, 18, 0);
  ASSERT_TRUE(WriteBytes(JoinPath(out, "zero.bmp"), zero));
  std::vector<uint8_t> magic = zero;
  magic[0] = 'X';
  ASSERT_TRUE(WriteBytes(JoinPath(out, "magic.bmp"), magic));
  ASSERT_TRUE(WriteBytes(JoinPath(out, "wrong.bmq"), ReadBytes(JoinPath(pictures, "im8_320x200.bmp"))));
  // The prefix's e: is a floppy drive and g: a network drive (tools/wine-env.sh).
  ASSERT_TRUE(WriteBytes("E:\\floppy.bmp", ReadBytes(JoinPath(pictures, "im8_320x200.bmp"))));
  ASSERT_TRUE(WriteBytes("G:\\network.bmp", ReadBytes(JoinPath(pictures, "im8_320x200.bmp"))));
  const char* kNotFixed = "Unable to open a file other than in the fixed disk.";
  const char* kNotFixedJ = "ハードディスク以外のファイルは開けません.";

  const char* kFour = "Select a 4bit or 8bit bitmap file.";
  const char* kFourJ = "16色・256色のビットマップを選定してください.";
  const struct {
    std::string path;
    const char* english;
    const char* japanese;
    const char* titleEnglish;
    const char* titleJapanese;
  } cases[] = {
      {JoinPath(pictures, "im24_64x48.bmp"), kFour, kFourJ, "Warning", "警告"},
      {JoinPath(pictures, "im1_33x20.bmp"), kFour, kFourJ, "Warning", "警告"},
      {JoinPath(out, "seventeen4.bmp"), kFour, kFourJ, "Warning", "警告"},
      {JoinPath(out, "zero.bmp"), "Unable to process a bitmap with zero width or height.",
       "幅や高さが０のビットマップは処理できません.", "Warning", "警告"},
      {JoinPath(out, "magic.bmp"), "Not a bitmap file with correct format.",
       "正しいビットマップファイルではありません.", "Error", "エラー"},
      {JoinPath(out, "os2v2.bmp"), "Not a bitmap file with correct format.",
       "正しいビットマップファイルではありません.", "Error", "エラー"},
      {JoinPath(out, "wrong.bmq"), "Select a file with BMP or PNG extension.",
       "拡張子 BMP か PNG のファイルを選択してください.", "Error", "エラー"},
      {"E:\\floppy.bmp", kNotFixed, kNotFixedJ, "Warning", "警告"},
      {"G:\\network.bmp", kNotFixed, kNotFixedJ, "Warning", "警告"},
  };

  Shuffler app;
  std::string error;
  ASSERT_TRUE(app.Start(&error)) << error;
  const std::string shown = JoinPath(pictures, "im8_257x131.bmp");
  ASSERT_TRUE(app.Open(shown));
  ASSERT_TRUE(app.Randomise());
  const std::string title = WindowText(app.main());
  EXPECT_EQ(title, ExpectedTitle("im8_257x131.bmp", 1));
  Image picture;
  ASSERT_TRUE(LoadReference(JoinPath(pictures, "im8_257x131.ref.bmp"), &picture));
  ASSERT_TRUE(app.Shows(picture));
  // The palette window settled: painted, its cells drawn.
  HWND paletteWindow = nullptr;
  ASSERT_TRUE(app.AwaitPalette(&paletteWindow));
  ASSERT_TRUE(AwaitPainted(paletteWindow));
  Image palette;
  ASSERT_TRUE(Await("the palette's cells drawn", [&] {
    palette = app.PaletteClient();
    return !palette.empty() && palette.At(6, 6) == 0;  // the first cell's frame (its colour may be white)
  }, [&] { return palette.empty() ? std::string("no palette window") : std::string("no frame round the first cell"); }));

  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    ASSERT_TRUE(app.Open(c.path));
    EXPECT_EQ(app.Answer(c.titleEnglish, c.titleJapanese), Ansi(Pick(c.english, c.japanese)));
    EXPECT_TRUE(app.NoBox(200)) << "a second message";
    EXPECT_EQ(WindowText(app.main()), title);
    EXPECT_EQ(app.Buttons(), "-CS") << "the randomised picture is still the one offered";
    EXPECT_TRUE(app.Shows(picture));
    // The palette window comes back in front once the box has gone.
    Image now;
    const bool same = WaitUntil([&] { now = app.PaletteClient(); return DifferentPixels(now, palette) == 0; }, kPatienceMs);
    if (!same) {
      palette.SaveBmp(ShotPath("refusal-palette-before-" + Lang()));
      now.SaveBmp(ShotPath("refusal-palette-after-" + Lang()));
    }
    EXPECT_TRUE(same) << "the palette window changed";
  }
  // And it still saves: the refusals released nothing.
  const std::string saved = JoinPath(out, "after-refusals-" + Lang() + ".bmp");
  DeleteFileA(saved.c_str());
  ASSERT_TRUE(app.Save(saved));
  EXPECT_NE(app.Answer("Information", "お知らせ"), "(no box)");
  EXPECT_EQ(PaletteOf(ReadBytes(saved)).size(), 256u);
}

TEST(Mirtav, SaveRefusesTheOpenedFileAsksBeforeReplacingAndKeepsWhatItCannotReplace) {
  const std::string pictures = Pictures(), out = OutDir();
  if (pictures.empty() || out.empty()) GTEST_SKIP() << "E2E_PICTURES / E2E_OUT are set by run-tier.sh";
  const std::string source = JoinPath(out, "Source" + Lang() + ".bmp");
  ASSERT_TRUE(WriteBytes(source, ReadBytes(JoinPath(pictures, "im4_101x67.bmp"))));
  const std::string existing = JoinPath(out, "existing" + Lang() + ".bmp");
  const std::vector<uint8_t> keep = {'k', 'e', 'e', 'p'};
  SetFileAttributesA(existing.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(WriteBytes(existing, keep));

  Shuffler app;
  std::string error;
  ASSERT_TRUE(app.Start(&error)) << error;
  ASSERT_TRUE(app.Open(source));
  ASSERT_TRUE(app.Randomise());

  // The opened file under another letter case.
  std::string upper = source;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  ASSERT_TRUE(app.Save(upper));
  EXPECT_EQ(app.Answer("Warning", "警告"),
            Ansi(Pick("Assign a file other than the opened file.", "開いたファイルと異なるファイルを指定してください.")));
  // No to the overwrite question: nothing more, nothing written.
  ASSERT_TRUE(app.Save(existing));
  EXPECT_EQ(app.Answer("Confirmation", "確認", IDNO),
            Ansi(Pick("File already exists.\nDo you overwrite?", "同名ファイルが存在します.\n重ね書きしますか？")));
  EXPECT_TRUE(app.NoBox(300));
  EXPECT_EQ(ReadBytes(existing), keep);
  // A read-only target: Yes, then the writer's message, and the file kept.
  ASSERT_TRUE(SetFileAttributesA(existing.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(app.Save(existing));
  EXPECT_NE(app.Answer("Confirmation", "確認", IDYES), "(no box)");
  EXPECT_EQ(app.Answer("Error", "エラー"),
            Ansi(Pick("Unable to create a new BMP file for saving the image.", "像保存用の BMP ファイルを新規に作成できません.")));
  EXPECT_EQ(ReadBytes(existing), keep);
  SetFileAttributesA(existing.c_str(), FILE_ATTRIBUTE_NORMAL);
  // Yes on a writable target replaces it.
  ASSERT_TRUE(app.Save(existing));
  EXPECT_NE(app.Answer("Confirmation", "確認", IDYES), "(no box)");
  EXPECT_NE(app.Answer("Information", "お知らせ"), "(no box)");
  EXPECT_EQ(U32(ReadBytes(existing), 10), 118u);
  // Drives that are no fixed disk: a floppy and a network drive.
  for (const char* target : {"E:\\saved.bmp", "G:\\saved.tif"}) {
    ASSERT_TRUE(app.Save(target));
    EXPECT_EQ(app.Answer("Warning", "警告"),
              Ansi(Pick("Unable to save a file other than to the fixed disk.", "ハードディスク以外へはファイル保存はできません.")))
        << target;
    EXPECT_FALSE(FileExists(target));
  }
  // A fixed disk with no room (H: is sysfs, which reports no free block): the
  // message, and nothing written.
  for (const char* target : {"H:\\saved.bmp", "H:\\saved.tif"}) {
    ASSERT_TRUE(app.Save(target));
    EXPECT_EQ(app.Answer("Error", "エラー"),
              Ansi(Pick("Not enough free diskspace to save a converted file.", "変換したファイルを保存するディスクの空容量が不足です.")))
        << target;
    EXPECT_FALSE(FileExists(target));
  }
  // The target's folder vanishes while the overwrite question is up: Yes,
  // then the writer's message; the picture stays randomised and saves elsewhere.
  const std::string gone = JoinPath(out, "vanishing" + Lang());
  CreateDirectoryA(gone.c_str(), nullptr);
  const std::string goneTarget = JoinPath(gone, "target.bmp");
  ASSERT_TRUE(WriteBytes(goneTarget, keep));
  ASSERT_TRUE(app.Save(goneTarget));
  HWND question = WaitForDialog(Ansi(Pick("Confirmation", "確認")).c_str(), app.run().pid(), kPatienceMs);
  ASSERT_NE(question, nullptr);
  ASSERT_TRUE(DeleteFileA(goneTarget.c_str()));
  ASSERT_TRUE(RemoveDirectoryA(gone.c_str()));
  PressButton(question, IDYES);
  WaitGone(question, kPatienceMs);
  EXPECT_EQ(app.Answer("Error", "エラー"),
            Ansi(Pick("Unable to create a new BMP file for saving the image.", "像保存用の BMP ファイルを新規に作成できません.")));
  EXPECT_FALSE(FileExists(gone));
  EXPECT_EQ(app.Buttons(), "-CS");
  const std::string after = JoinPath(out, "after-vanish" + Lang() + ".bmp");
  DeleteFileA(after.c_str());
  ASSERT_TRUE(app.Save(after));
  EXPECT_NE(app.Answer("Information", "お知らせ"), "(no box)");
  EXPECT_EQ(U32(ReadBytes(after), 10), 118u);
  // A name that is neither .bmp, .tif nor .png, judged after the other checks.
  ASSERT_TRUE(app.Save(JoinPath(out, "picture.gif")));
  EXPECT_EQ(app.Answer("Error", "エラー"),
            Ansi(Pick("Assign a file with BMP, TIF or PNG extension.", "ファイルは拡張子 BMP, TIF or PNG を持つ必要があります.")));
  // No stray temporary file is left beside the targets.
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(JoinPath(out, "~*").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "left behind: " << found.cFileName;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

HWND OpenSettings(Shuffler& app) {
  PostMessageA(app.main(), WM_SYSCOMMAND, 118, 0);
  return WaitForDialog(Ansi(Pick("Color Palette Window", "カラーパレットWindow")).c_str(), app.run().pid(), kPatienceMs);
}

bool Checked(HWND dialog, int id) {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 3000, &state);
  return state == BST_CHECKED;
}

// Arrange to palette puts the table into a palette file's order, every pixel
// following (the saved BMP judged by ImageMagick as out-LANGarranged-NAME.bmp);
// Save palette writes that order; a file lacking colours changes nothing.
TEST(Mirtav, ArrangeToAPaletteFileAndSaveThePalette) {
  const std::string pictures = Pictures(), out = OutDir();
  if (pictures.empty() || out.empty()) GTEST_SKIP() << "E2E_PICTURES / E2E_OUT are set by run-tier.sh";
  const std::string name = "im4_101x67", files = MakeTempDir("mirtav-palettes");
  Shuffler app;
  std::string error;
  ASSERT_TRUE(app.Start(&error)) << error;
  ASSERT_TRUE(app.Open(JoinPath(pictures, name + ".bmp")));
  const std::vector<uint32_t> stored = PaletteOf(ReadBytes(JoinPath(pictures, name + ".bmp")));
  ASSERT_EQ(stored.size(), 16u);
  Image reference;
  ASSERT_TRUE(LoadReference(JoinPath(pictures, name + ".ref.bmp"), &reference));
  ASSERT_TRUE(app.Shows(reference));
  HWND palette = nullptr;
  ASSERT_TRUE(app.AwaitPalette(&palette));
  auto use = [&](int item, const char* en, const char* ja, const std::string& path, int filter) {
    const testing::AssertionResult chosen = ChooseFromContextMenu(palette, 100, 100, item, kMenuItems, app.run().pid());
    if (!chosen) return chosen;
    HWND dialog = WaitForDialog(Ansi(Pick(en, ja)).c_str(), app.run().pid(), kPatienceMs);
    if (dialog == nullptr) return testing::AssertionFailure() << "no dialog titled " << en;
    return FillFileDialog(dialog, path, filter);
  };
  auto arrange = [&](const std::string& path) {
    return use(kMenuArrange, "Select a palette file to arrange to.", "並べる順のパレットファイルの選択", path, 0);
  };
  char line[16];
  // A hex list (CRLF) of the table backwards, a colour the picture lacks among them.
  const std::vector<uint32_t> reversed(stored.rbegin(), stored.rend());
  std::string hex;
  for (size_t i = 0; i < reversed.size(); ++i) {
    std::snprintf(line, sizeof line, "%06X\r\n", static_cast<unsigned>(reversed[i]));
    hex += line;
    if (i == 3) hex += "#FE0DC1\r\n";
  }
  ASSERT_TRUE(WriteBytes(JoinPath(files, "backwards.hex"), std::vector<uint8_t>(hex.begin(), hex.end())));
  ASSERT_TRUE(arrange(JoinPath(files, "backwards.hex")));
  ExpectCells(app.PaletteShowing(reversed), reversed, "arranged backwards");
  EXPECT_TRUE(app.Shows(reference)) << "the picture changed its look";
  EXPECT_TRUE(app.AwaitButtons("-CS"));

  // Save palette as JASC-PAL: the new order.
  const std::string jasc = JoinPath(files, "order.pal");
  ASSERT_TRUE(use(kMenuSavePalette, "Assign a palette file to save.", "保存するパレットファイルの指定", jasc, 1));
  std::string want = "JASC-PAL\r\n0100\r\n16\r\n";
  for (uint32_t c : reversed) {
    std::snprintf(line, sizeof line, "%u %u %u\r\n", c >> 16, (c >> 8) & 0xFF, c & 0xFF);
    want += line;
  }
  std::vector<uint8_t> written;
  EXPECT_TRUE(Await("the palette file", [&] { return !(written = ReadBytes(jasc)).empty(); },
                    [] { return std::string("none"); }));  // written once the dialog has gone
  EXPECT_EQ(std::string(written.begin(), written.end()), want);

  // The picture saved: the file's order, the source's pixels.
  const std::string saved = JoinPath(out, "out-" + Lang() + "arranged-" + name + ".bmp");
  ASSERT_TRUE(app.Save(saved));
  EXPECT_NE(app.Answer("Information", "お知らせ"), "(no box)");
  EXPECT_EQ(PaletteOf(ReadBytes(saved)), reversed);

  // Three of the table's colours missing: refused, the order as it was.
  std::string short13;
  for (size_t i = 0; i < 13; ++i) {
    std::snprintf(line, sizeof line, "%06x\n", static_cast<unsigned>(stored[i]));
    short13 += line;
  }
  ASSERT_TRUE(WriteBytes(JoinPath(files, "short.hex"), std::vector<uint8_t>(short13.begin(), short13.end())));
  ASSERT_TRUE(arrange(JoinPath(files, "short.hex")));
  EXPECT_EQ(app.Answer("Error", "エラー"),
            Ansi(Pick("The palette file lacks 3 of the picture's colours, so the order stays as it is.",
                      "パレットファイルには画像の色のうち 3 色がありません. 順序は変わりません.")));
  ExpectCells(app.PaletteShowing(reversed), reversed, "after the refusal");
}

TEST(Mirtav, CopyPltAndTheSettingsDialog) {
  const std::string pictures = Pictures();
  if (pictures.empty()) GTEST_SKIP() << "E2E_PICTURES is set by run-tier.sh";
  Shuffler app;
  std::string error;
  ASSERT_TRUE(app.Start(&error)) << error;

  // Yes before any open: one row of 16 black cells.
  HWND dialog = OpenSettings(app);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(Checked(dialog, 119));
  EXPECT_EQ(ItemText(dialog, 119), Ansi(Pick("Yes", "する")));
  PressButton(dialog, 119);
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitGone(dialog, kPatienceMs));
  ASSERT_TRUE(WaitUntil([&] { return app.Palette() != nullptr; }, kPatienceMs));
  ExpectCells(app.PaletteShowing(std::vector<uint32_t>(16, 0)), std::vector<uint32_t>(16, 0), "before any open");

  ASSERT_TRUE(app.Open(JoinPath(pictures, "im8_257x131.bmp")));
  ASSERT_TRUE(app.Randomise());
  // Emptied first, so what is awaited is this copy, not one a case before left there.
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  PostMessageA(app.main(), WM_COMMAND, kCopyPlt, 0);
  std::vector<uint8_t> dib;
  ASSERT_TRUE(WaitUntil([&] { dib = ClipboardDib(); return dib.size() >= 209128; }, kPatienceMs)) << dib.size();
  const uint32_t header[] = {40, 264, 264, 24 << 16 | 1, 0, 209088, 0, 0, 0, 0};
  EXPECT_EQ(U32(dib, 0), 40u);
  EXPECT_EQ(U32(dib, 4), 264u);
  EXPECT_EQ(U32(dib, 8), 264u);
  EXPECT_EQ(dib[12] | dib[13] << 8, 1);
  EXPECT_EQ(dib[14] | dib[15] << 8, 24);
  for (int field = 4; field < 10; ++field) EXPECT_EQ(U32(dib, 4 * field), header[field]) << "field " << field;
  // Entry 17's cell: x 22..33, y 22..33 counted from the top, frame black.
  auto at = [&](int x, int y) {
    const size_t p = 40 + static_cast<size_t>(263 - y) * 792 + 3 * static_cast<size_t>(x);
    return static_cast<uint32_t>(dib[p] | dib[p + 1] << 8 | dib[p + 2] << 16);
  };
  // The whole copied picture is what the window shows, once it shows it.
  Image copied;
  copied.width = copied.height = 264;
  for (int y = 0; y < 264; ++y)
    for (int x = 0; x < 264; ++x) copied.pixels.push_back(at(x, y));
  Image palette;
  WaitUntil([&] { palette = app.PaletteClient(); return DifferentPixels(copied, palette) == 0; }, kPatienceMs);
  ASSERT_FALSE(palette.empty()) << "no palette window";
  for (int y = 22; y <= 33; ++y) {
    for (int x = 22; x <= 33; ++x) {
      const bool frame = x == 22 || x == 33 || y == 22 || y == 33;
      ASSERT_EQ(at(x, y), frame ? 0u : palette.At(27, 27)) << x << "," << y;
    }
  }
  EXPECT_EQ(at(21, 21), 0xFFFFFFu);
  EXPECT_NE(palette.At(27, 27), palette.At(43, 27)) << "cells 17 and 18 should differ in this picture";
  if (DifferentPixels(copied, palette) != 0) {
    palette.SaveBmp(ShotPath("palette-window-" + Lang()));
    copied.SaveBmp(ShotPath("palette-copied-" + Lang()));
  }
  EXPECT_EQ(DifferentPixels(copied, palette), 0u);

  // No then Cancel, and No then close: nothing changes.
  for (int ending : {0, 1}) {
    dialog = OpenSettings(app);
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, 120);
    ASSERT_TRUE(WaitUntil([&] { return Checked(dialog, 120); }, kPatienceMs));
    if (ending == 0) PressButton(dialog, IDCANCEL); else PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitGone(dialog, kPatienceMs));
    // Once the dialog's command has ended. Under Wine the window is hidden
    // and shown again for a moment when the main window is activated (see
    // KeepPaletteWindowInFront), so it is awaited rather than looked at once.
    ASSERT_TRUE(SyncPosted(app.main())) << "ending " << ending;
    EXPECT_TRUE(Await("the palette window kept", [&] { return app.Palette() != nullptr; },
                      [] { return std::string("none visible"); })) << "ending " << ending;
    dialog = OpenSettings(app);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Checked(dialog, 119)) << "the setting was restored";
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitGone(dialog, kPatienceMs));
  }

  // No and OK hides the window; Copy PLT then leaves the clipboard alone.
  dialog = OpenSettings(app);
  ASSERT_NE(dialog, nullptr);
  PressButton(dialog, 120);
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitGone(dialog, kPatienceMs));
  ASSERT_TRUE(WaitUntil([&] { return app.Palette() == nullptr; }, kPatienceMs));
  PutTextOnClipboard("unchanged");
  PostMessageA(app.main(), WM_COMMAND, kCopyPlt, 0);
  ASSERT_TRUE(SyncPosted(app.main())) << "Copy PLT was not taken";
  EXPECT_TRUE(ClipboardDib().empty() || ClipboardDib().size() < 100) << "Copy PLT copied while hidden";
  // The next open shows it again, while the dialog still opens with No; the
  // order randomised above is not saved, so the open asks first.
  ASSERT_TRUE(app.Open(JoinPath(pictures, "im4_101x67.bmp")));
  HWND question = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (question = QuestionBox(app.run().pid())) != nullptr; }, kPatienceMs))
      << "a randomised order left without a question";
  PressButton(question, IDNO);
  EXPECT_TRUE(WaitUntil([&] { return app.Palette() != nullptr; }, kPatienceMs));
  dialog = OpenSettings(app);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(Checked(dialog, 120));
  // The three windows on the screen, for a person to look at.
  EXPECT_TRUE(AwaitPainted(dialog));
  CaptureScreen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN))
      .SaveBmp(ShotPath("mirtav-settings-" + Lang()));
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitGone(dialog, kPatienceMs));
  EXPECT_TRUE(AwaitPainted(app.main()));
  CaptureScreen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN))
      .SaveBmp(ShotPath("mirtav-with-palette-" + Lang()));
}

// While a file dialog or a message box is up, the palette window is
// disabled with the main window, and Alt+F4 on it does not take it away.
TEST(Mirtav, ThePaletteWindowFollowsTheMainWindowUnderDialogsAndStaysOnAltF4) {
  const std::string pictures = Pictures();
  if (pictures.empty()) GTEST_SKIP() << "E2E_PICTURES is set by run-tier.sh";
  Shuffler app;
  std::string error;
  ASSERT_TRUE(app.Start(&error)) << error;
  ASSERT_TRUE(app.Open(JoinPath(pictures, "im4_101x67.bmp")));
  HWND palette = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (palette = app.Palette()) != nullptr; }, 5000));
  auto enabledBecomes = [&](bool enabled) {
    return WaitUntil([&] { return (IsWindowEnabled(palette) != FALSE) == enabled; }, 3000);
  };
  ASSERT_TRUE(enabledBecomes(true));
  PostMessageA(app.main(), WM_COMMAND, kOpen, 0);
  HWND dialog = WaitForDialog(Ansi(Pick("Select a 4bit/8bit bitmap file.", "16色/256色 Bitmap ファイルの選択")).c_str(),
                              app.run().pid(), 8000);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(enabledBecomes(false)) << "under the open dialog";
  // A 24-bit picture is refused with a box.
  HWND name = GetDlgItem(dialog, 0x47c);
  const std::string deep = JoinPath(pictures, "im4_101x67.ref.bmp");
  SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(deep.c_str()), SMTO_ABORTIFHUNG, 3000, nullptr);
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitGone(dialog, 8000));
  // Wine keeps untitled hidden dialogs of its own: the box is the visible one.
  auto visibleBox = [&]() -> HWND {
    for (HWND w : FindTopLevel("#32770", nullptr, app.run().pid())) {
      if (IsWindowVisible(w) && !WindowText(w).empty()) return w;
    }
    return nullptr;
  };
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = visibleBox()) != nullptr; }, 8000)) << "no refusal";
  EXPECT_TRUE(enabledBecomes(false)) << "under a message box";
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitGone(box, 8000));
  EXPECT_TRUE(enabledBecomes(true)) << "after the box";

  ASSERT_TRUE(SyncPosted(app.main()));  // the main window's own activation after the box is done
  ASSERT_TRUE(BringForward(palette));
  INPUT keys[4] = {};
  const WORD order[4] = {VK_MENU, VK_F4, VK_F4, VK_MENU};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = order[i];
    keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(4, keys, sizeof(INPUT));
  Sleep(500);  // a window Alt+F4 destroyed would be gone by now
  EXPECT_TRUE(IsWindow(palette) && IsWindowVisible(palette)) << "Alt+F4 took the palette window away";
  EXPECT_TRUE(IsWindow(app.main())) << "Alt+F4 on the palette window ended the shuffler";
}

// On a display of 256 colours the copied palette still holds the file's exact
// colours: it is drawn on memory at 24 bits (run-tier.sh runs LowColour.* there).
TEST(LowColour, ShufflerCopiesExactColoursOnA256ColourDisplay) {
  const std::string pictures = Pictures();
  if (pictures.empty()) GTEST_SKIP() << "E2E_PICTURES is set by run-tier.sh";
  const std::string file = JoinPath(pictures, "im8_257x131.bmp");
  const std::vector<uint32_t> stored = PaletteOf(ReadBytes(file));
  ASSERT_EQ(stored.size(), 256u);
  Shuffler app;
  std::string error;
  ASSERT_TRUE(app.Start(&error)) << error;
  ASSERT_TRUE(app.Open(file));
  ASSERT_TRUE(WaitUntil([&] { return app.Palette() != nullptr; }, kPatienceMs));
  PostMessageA(app.main(), WM_COMMAND, kCopyPlt, 0);
  std::vector<uint8_t> dib;
  ASSERT_TRUE(WaitUntil([&] { dib = ClipboardDib(); return dib.size() >= 209128; }, kPatienceMs)) << dib.size();
  for (int entry = 0; entry < 256; ++entry) {
    const int x = 16 * (entry % 16) + 12, y = 16 * (entry / 16) + 12;
    const size_t p = 40 + static_cast<size_t>(263 - y) * 792 + 3 * static_cast<size_t>(x);
    EXPECT_EQ(static_cast<uint32_t>(dib[p] | dib[p + 1] << 8 | dib[p + 2] << 16), stored[entry]) << "entry " << entry;
  }
}

}  // namespace
