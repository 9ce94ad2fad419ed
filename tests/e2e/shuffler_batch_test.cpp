// Arrange pictures to palette with the real shuffler: /arrange from a command
// line (exit codes, the printed summary, the refused file untouched, no
// window and nothing handed to the copy that runs), then the palette
// window's menu command through its dialogs into another folder, with the
// picture shown left as it was. One shuffler runs for both. The arranged
// files go to E2E_OUT, where ImageMagick (out-LANGbatch-NAME.bmp) and Pillow
// (pout-LANG-NAME@batch.png) judge them against their sources.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/shuffler_session.h"

using namespace e2e;
using namespace e2e::shuffler;

namespace {

const char* const kBmp = "im4_101x67";
const char* const kPng = "spng_pil4_12c_45x21";
const char* const kLacking = "im8_257x131";

// The PNG's palette as 0x00RRGGBB, from its PLTE chunk.
std::vector<uint32_t> PngPalette(const std::vector<uint8_t>& b) {
  std::vector<uint32_t> colours;
  for (size_t at = 8; at + 12 <= b.size();) {
    const uint32_t n = static_cast<uint32_t>(b[at] << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3]);
    if (std::string(b.begin() + at + 4, b.begin() + at + 8) == "PLTE" && at + 8 + n <= b.size()) {
      for (uint32_t i = 0; i + 2 < n; i += 3) {
        colours.push_back(b[at + 8 + i] << 16 | b[at + 9 + i] << 8 | b[at + 10 + i]);
      }
      break;
    }
    at += 12 + n;
  }
  return colours;
}

struct Finished {
  DWORD exitCode = 259;
  std::string output;
  bool windowSeen = false;
};

// Runs MIRTAV00.EXE with arguments, its standard output into a file, and
// watches for a window of its own until it ends.
Finished RunCommandLine(const std::string& arguments, const std::string& folder) {
  Finished done;
  const std::string log = JoinPath(folder, "out.txt");
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE file = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return done;
  STARTUPINFOA start = {};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdOutput = file;
  start.hStdError = file;
  start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process = {};
  std::string line = "\"" + Mirtav().Path() + "\" " + arguments;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &start, &process)) {
    const DWORD error = GetLastError();
    CloseHandle(file);
    done.output = "(not started: error " + std::to_string(error) + ")";
    return done;
  }
  // Thirty seconds by the clock, however long each look takes.
  for (const DWORD began = GetTickCount(); GetTickCount() - began < 30000;) {
    if (!FindTopLevel(nullptr, nullptr, process.dwProcessId).empty()) done.windowSeen = true;
    if (WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0) break;
  }
  GetExitCodeProcess(process.hProcess, &done.exitCode);
  if (done.exitCode == STILL_ACTIVE) TerminateProcess(process.hProcess, 99);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(file);
  done.output = ReadTextFile(log);
  return done;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

TEST(MirtavBatch, CommandLineAndMenuArrangeASetLeavingTheRefusedAndTheShownPicture) {
  const std::string pictures = Pictures(), out = OutDir();
  if (pictures.empty() || out.empty()) GTEST_SKIP() << "E2E_PICTURES / E2E_OUT are set by run-tier.sh";
  const std::string dir = MakeTempDir("mirtav-batch");
  const std::string lang = Lang();
  // The palette: both pictures' tables backwards, as a hex list.
  const std::vector<uint8_t> bmp = ReadBytes(JoinPath(pictures, std::string(kBmp) + ".bmp"));
  const std::vector<uint8_t> png = ReadBytes(JoinPath(pictures, std::string(kPng) + ".png"));
  const std::vector<uint8_t> lacking = ReadBytes(JoinPath(pictures, std::string(kLacking) + ".bmp"));
  const std::vector<uint32_t> bmpTable = PaletteOf(bmp), pngTable = PngPalette(png);
  ASSERT_EQ(bmpTable.size(), 16u);
  ASSERT_EQ(pngTable.size(), 12u);
  std::vector<uint32_t> palette(bmpTable.rbegin(), bmpTable.rend());
  palette.insert(palette.end(), pngTable.rbegin(), pngTable.rend());
  std::string hex;
  char entry[16];
  for (uint32_t c : palette) std::snprintf(entry, sizeof entry, "%06X\r\n", static_cast<unsigned>(c)), hex += entry;
  ASSERT_TRUE(WriteBytes(JoinPath(dir, "order.hex"), std::vector<uint8_t>(hex.begin(), hex.end())));
  // Where each picture's colours come in the file: the order its table takes.
  auto inFileOrder = [&](const std::vector<uint32_t>& table) {
    std::vector<uint32_t> sorted;
    for (uint32_t c : palette)
      for (uint32_t t : table)
        if (c == t && std::count(sorted.begin(), sorted.end(), c) < std::count(table.begin(), table.end(), c)) {
          sorted.push_back(c);
          break;
        }
    return sorted;
  };
  auto place = [&](const std::string& folder) {
    return WriteBytes(JoinPath(folder, "a.bmp"), bmp) && WriteBytes(JoinPath(folder, "b.png"), png) &&
           WriteBytes(JoinPath(folder, "c.bmp"), lacking);
  };
  ASSERT_TRUE(place(dir));

  Shuffler app;
  std::string error;
  ASSERT_TRUE(app.Start(&error)) << error;
  ASSERT_TRUE(app.Open(JoinPath(pictures, std::string(kBmp) + ".bmp")));
  const std::string title = ExpectedTitle(std::string(kBmp) + ".bmp", 1);
  ASSERT_TRUE(AwaitTitle(app.main(), title));
  ASSERT_TRUE(app.Randomise());  // an unsaved order, which nothing below may touch
  HWND palette_window = nullptr;
  ASSERT_TRUE(app.AwaitPalette(&palette_window));
  const Image shownPalette = app.PaletteClient();

  // The command line, with a copy running: one refused file (a 256-colour
  // table the palette lacks), two arranged; then the same set again.
  // Each colour of the file matches one entry of the table at most.
  std::vector<bool> taken(palette.size(), false);
  unsigned long missing = 0;
  for (uint32_t c : PaletteOf(lacking)) {
    size_t j = 0;
    while (j < palette.size() && (taken[j] || palette[j] != c)) ++j;
    if (j < palette.size()) taken[j] = true; else ++missing;
  }
  ASSERT_GT(missing, 0u);
  char lacks[200];
  std::snprintf(lacks, sizeof lacks,
                Ansi(Pick("The palette file lacks %lu of the picture's colours, so the order stays as it is.",
                          "パレットファイルには画像の色のうち %lu 色がありません. 順序は変わりません.")).c_str(),
                missing);
  const std::string refusedLine = JoinPath(dir, "c.bmp") + ": " + lacks;
  Finished first = RunCommandLine("/ARRANGE order.hex a.bmp \"b.png\" c.bmp", dir);
  EXPECT_EQ(first.exitCode, 1u);
  EXPECT_FALSE(first.windowSeen);
  const std::vector<std::string> want = {
      Ansi(Pick("Arranged: 2", "並べ替えた画像: 2")),
      Ansi(Pick("Already in the palette's order (left untouched): 0", "すでにパレットの順 (書き換えず): 0")),
      Ansi(Pick("Refused (left untouched): 1", "断った画像 (書き換えず): 1")), refusedLine};
  EXPECT_EQ(Lines(first.output), want) << first.output;
  EXPECT_EQ(ReadBytes(JoinPath(dir, "c.bmp")), lacking) << "the refused file was written";
  const std::vector<uint8_t> arrangedBmp = ReadBytes(JoinPath(dir, "a.bmp"));
  const std::vector<uint8_t> arrangedPng = ReadBytes(JoinPath(dir, "b.png"));
  EXPECT_EQ(PaletteOf(arrangedBmp), inFileOrder(bmpTable));
  EXPECT_EQ(PngPalette(arrangedPng), inFileOrder(pngTable));
  EXPECT_TRUE(WriteBytes(JoinPath(out, "out-" + lang + "batch-" + kBmp + ".bmp"), arrangedBmp));
  EXPECT_TRUE(WriteBytes(JoinPath(out, "pout-" + lang + "-" + kPng + "@batchline.png"), arrangedPng));

  Finished again = RunCommandLine("/arrange order.hex a.bmp b.png", dir);
  EXPECT_EQ(again.exitCode, 0u) << again.output;
  EXPECT_NE(again.output.find(Ansi(Pick("Already in the palette's order (left untouched): 2",
                                         "すでにパレットの順 (書き換えず): 2"))), std::string::npos) << again.output;
  EXPECT_EQ(ReadBytes(JoinPath(dir, "a.bmp")), arrangedBmp) << "a file in order was written again";
  const std::string usage = Ansi(Pick("Usage: MIRTAV00.EXE /arrange", "使い方: MIRTAV00.EXE /arrange"));
  for (const char* bad : {"/arrange", "/arrange order.hex", "/arrange missing.hex a.bmp"}) {
    Finished refused = RunCommandLine(bad, dir);
    EXPECT_EQ(refused.exitCode, 2u) << bad;
    EXPECT_NE(refused.output.find(usage), std::string::npos) << bad << ": " << refused.output;
    EXPECT_FALSE(refused.windowSeen) << bad;
  }
  EXPECT_EQ(ReadBytes(JoinPath(dir, "a.bmp")), arrangedBmp);
  EXPECT_TRUE(app.NoBox(300));
  EXPECT_TRUE(AwaitTitle(app.main(), title)) << "the running copy took a command line's file";

  // The menu command: palette file, pictures, a folder of its own.
  const std::string menuDir = MakeTempDir("mirtav-batch-menu"), target = MakeTempDir("mirtav-batch-target");
  ASSERT_TRUE(place(menuDir));
  ASSERT_TRUE(ChooseFromContextMenu(palette_window, 100, 100, kMenuArrangePictures, kMenuItems, app.run().pid()));
  HWND dialog = WaitForDialog(Ansi(Pick("Select a palette file to arrange the pictures to.",
                                        "画像を並べる順のパレットファイルの選択")).c_str(), app.run().pid(), kPatienceMs);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(FillFileDialog(dialog, JoinPath(dir, "order.hex")));
  dialog = WaitForDialog(Ansi(Pick("Select the pictures to arrange.", "並べる画像の選択")).c_str(), app.run().pid(),
                         kPatienceMs);
  ASSERT_NE(dialog, nullptr);
  HWND name = GetDlgItem(dialog, 0x47c);
  SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(menuDir.c_str()), SMTO_ABORTIFHUNG, 3000, nullptr);
  PressButton(dialog, IDOK);  // into the folder
  ASSERT_TRUE(Await("the folder entered", [&] { return ItemText(dialog, 0x47c).empty(); },
                    [&] { return ItemText(dialog, 0x47c); }));
  ASSERT_TRUE(FillFileDialog(dialog, "\"a.bmp\" \"b.png\" \"c.bmp\""));
  EXPECT_NE(app.Answer("Arrange pictures to palette", "画像をパレットの順に並べる", IDNO), "(no box)");
  dialog = WaitForDialog(Ansi(Pick("Choose the folder for the arranged pictures (the name is not used).",
                                   "並べた画像を書くフォルダーの選択 (ファイル名は使いません)")).c_str(),
                         app.run().pid(), kPatienceMs);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(FillFileDialog(dialog, JoinPath(target, "a.bmp")));
  const std::string summary = app.Answer("Arrange pictures to palette", "画像をパレットの順に並べる");
  EXPECT_EQ(Lines(summary), (std::vector<std::string>{want[0], want[1], want[2],
                                                      JoinPath(menuDir, "c.bmp") + refusedLine.substr(JoinPath(dir, "c.bmp").size())}))
      << summary;
  EXPECT_EQ(ReadBytes(JoinPath(menuDir, "a.bmp")), bmp) << "a source was written";
  EXPECT_EQ(ReadBytes(JoinPath(menuDir, "b.png")), png) << "a source was written";
  EXPECT_EQ(ReadBytes(JoinPath(target, "a.bmp")), arrangedBmp);
  const std::vector<uint8_t> menuPng = ReadBytes(JoinPath(target, "b.png"));
  EXPECT_EQ(PngPalette(menuPng), inFileOrder(pngTable));
  EXPECT_TRUE(WriteBytes(JoinPath(out, "pout-" + lang + "-" + kPng + "@batchmenu.png"), menuPng));
  EXPECT_FALSE(FileExists(JoinPath(target, "c.bmp")));

  // The shown picture: its title, its unsaved order (the buttons), its palette.
  EXPECT_TRUE(AwaitTitle(app.main(), title));
  EXPECT_TRUE(app.AwaitButtons("-CS"));
  // Drawn again where the boxes lay: awaited, not caught half painted.
  EXPECT_TRUE(Await("the palette as it was shown", [&] { return DifferentPixels(app.PaletteClient(), shownPalette) == 0; },
                    [&] { return std::to_string(DifferentPixels(app.PaletteClient(), shownPalette)) + " pixels differing"; }));
}

}  // namespace
