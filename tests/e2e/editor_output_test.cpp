// The colour editor's outputs used as a person would: Save Image through the
// real save dialog (BMP byte for byte against the source, TIFF judged by
// ImageMagick and libtiff after the run, the extension and drive refusals,
// the overwrite question, the failures that must leave the destination as
// it was) and Copy read back from the clipboard by this process. One editor
// serves the whole suite. TIFFs and the BMPs saved beside them go to E2E_OUT
// as pair-LANG-NAME.tif / .bmp, where run-tier.sh compares their pixels.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "tests/e2e/editor_session.h"

using namespace e2e;

namespace {

constexpr int kCopyButton = 115, kCopyCommand = 105, kZoomOutCommand = 102, kUndo = 124;


// The colour count a BMP's header gives: colours used, or 2 to the bit count.
uint32_t ColourCount(const std::vector<uint8_t>& bmp) {
  const uint32_t used = Le32(bmp, 46);
  return used != 0 ? used : 1u << bmp[28];
}

// Where two byte strings first differ; -1 when they are equal.
long FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return static_cast<long>(i);
  return a.size() == b.size() ? -1 : static_cast<long>(n);
}

// Files beginning with "~" in a folder: what an unfinished save would leave.
std::vector<std::string> Leftovers(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(JoinPath(dir, "~*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName); while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// A 16-colour bottom-up picture whose index runs in diagonal bands.
std::vector<uint8_t> Bands4(int width, int height) {
  size_t stride = 0;
  std::vector<uint8_t> b = Bmp4(width, height, &stride);
  for (int i = 0; i < 16; ++i) {
    b[54 + 4 * i] = static_cast<uint8_t>(i * 16);
    b[55 + 4 * i] = static_cast<uint8_t>(255 - i * 13);
    b[56 + 4 * i] = static_cast<uint8_t>(i * 5 + 40);
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int index = (x / 3 + (height - 1 - y) / 2) % 16;
      b[54 + 64 + y * stride + x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? index << 4 : index);
    }
  }
  return b;
}

// The index at (x, y), top-down, of a packed bottom-up DIB of 1, 4 or 8 bits.
int DibIndex(const std::vector<uint8_t>& dib, size_t pixels, int x, int y) {
  const int width = static_cast<int>(Le32(dib, 4)), height = static_cast<int>(Le32(dib, 8)), bits = dib[14];
  const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  const uint8_t* row = dib.data() + pixels + stride * (height - 1 - y);
  const int bit = x * bits;
  return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1);
}

class EditorOutput : public EditorSession {};

TEST_F(EditorOutput, CopyWithNoPictureOpenLeavesTheClipboardAsItWas) {
  PutTextOnClipboard("unchanged");
  EXPECT_FALSE(IsWindowEnabled(run_->Button(kCopyButton)));
  // The button is disabled, so the command is sent as the icon bar would.
  SendMessageA(main(), WM_COMMAND, kCopyCommand, 0);
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE text = GetClipboardData(CF_TEXT);
  const std::string got = text != nullptr ? static_cast<const char*>(GlobalLock(text)) : "(none)";
  if (text != nullptr) GlobalUnlock(text);
  const bool dib = IsClipboardFormatAvailable(CF_DIB) != FALSE;
  CloseClipboard();
  EXPECT_EQ(got, "unchanged");
  EXPECT_FALSE(dib);
  EXPECT_EQ(VisibleBox(), nullptr) << "a message for nothing to copy";
}

TEST_F(EditorOutput, BmpAfterThreeChangesAndOneUndoDiffersFromTheSourceOnlyInItsColourTable) {
  const std::string out = OutDir();
  ASSERT_FALSE(out.empty()) << "E2E_OUT is not set";
  const char* names[] = {"im1_33x20.bmp",     "resv4_320x200.bmp", "im8_257x131.bmp",
                         "td8_257x131.bmp",   "im8rle_150x90.bmp", "gap8_257x131.bmp",
                         "zero4_101x67.bmp"};
  const Rgb first = {255, 0, 128}, second = {10, 200, 30}, third = {0, 0, 255};
  bool shotTaken = false;
  for (const char* name : names) {
    SCOPED_TRACE(name);
    const std::string stem = std::string(name).substr(0, std::strlen(name) - 4);
    const std::string source = Copy(name);
    std::vector<uint8_t> original;
    ASSERT_TRUE(ReadFileBytes(source, &original));
    ASSERT_NO_FATAL_FAILURE(OpenOk(source, name, "1:1"));
    ASSERT_NO_FATAL_FAILURE(Change(1, first));
    ASSERT_NO_FATAL_FAILURE(Change(0, second));
    ASSERT_NO_FATAL_FAILURE(Change(1, third));
    PressButton(Palette(), kUndo);
    ASSERT_TRUE(WaitUntil([&] { return ChipColour(1) == first.Colour(); }, kPatienceMs)) << "Undo did not step back";
    Rest();

    // The source with its table at the level after the second change, reserved bytes 0.
    std::vector<uint8_t> want = original;
    const uint32_t n = ColourCount(original);
    for (uint32_t i = 0; i < n; ++i) want[54 + 4 * i + 3] = 0;
    for (const auto& [chip, c] : {std::pair<int, Rgb>{1, first}, {0, second}}) {
      want[54 + 4 * chip] = static_cast<uint8_t>(c.b);
      want[55 + 4 * chip] = static_cast<uint8_t>(c.g);
      want[56 + 4 * chip] = static_cast<uint8_t>(c.r);
    }

    const std::string saved = Scratch("saved-" + stem + ".bmp");
    if (!shotTaken) {
      // The dialog and the Saved box as a user sees them.
      HWND dialog = ShowSaveDialog();
      ASSERT_NE(dialog, nullptr);
      EXPECT_TRUE(AwaitPainted(dialog)) << "for the screenshot";
      RECT d = ScreenRect(dialog);
      CaptureScreen(d.left, d.top, d.right - d.left, d.bottom - d.top)
          .SaveBmp(ShotPath(std::string("save-dialog-") + Lang()));
      Choose(dialog, saved);
      HWND box = WaitForDialog(Saved(saved).title.c_str(), run_->pid(), kPatienceMs);
      ASSERT_NE(box, nullptr);
      EXPECT_TRUE(AwaitPainted(box)) << "for the screenshot";
      RECT b = ScreenRect(box);
      CaptureScreen(b.left, b.top, b.right - b.left, b.bottom - b.top)
          .SaveBmp(ShotPath(std::string("save-saved-") + Lang()));
      ExpectBox(Box{WindowText(box), ItemText(box, 0xFFFF)}, Saved(saved), saved);
      PressButton(box, IDOK);
      ASSERT_TRUE(WaitGone(box, kPatienceMs));
      shotTaken = true;
    } else {
      ExpectBox(SaveAnswering(saved, false), Saved(saved), saved);
    }
    std::vector<uint8_t> got;
    ASSERT_TRUE(ReadFileBytes(saved, &got));
    EXPECT_EQ(FirstDifference(got, want), -1) << "sizes " << got.size() << " / " << want.size();

    // The same level as TIFF and as BMP, side by side for ImageMagick after the run.
    const std::string pair = Scratch(std::string("pair-") + Lang() + "-" + stem);
    ExpectBox(SaveAnswering(pair + ".tif", false), Saved(pair + ".tif"), "tif");
    ExpectBox(SaveAnswering(pair + ".bmp", false), Saved(pair + ".bmp"), "bmp");
    for (const char* ext : {".tif", ".bmp"}) {
      const std::string to = JoinPath(out, std::string("pair-") + Lang() + "-" + stem + ext);
      EXPECT_TRUE(CopyFileA((pair + ext).c_str(), to.c_str(), FALSE)) << to;
    }
    ASSERT_TRUE(ReadFileBytes(pair + ".bmp", &got));
    EXPECT_EQ(FirstDifference(got, want), -1) << "the BMP beside the TIFF";
    std::vector<uint8_t> tif;
    ASSERT_TRUE(ReadFileBytes(pair + ".tif", &tif));
    EXPECT_TRUE(tif.size() > 8 && (std::memcmp(tif.data(), "II*", 4) == 0 || std::memcmp(tif.data(), "MM\0*", 4) == 0))
        << "not a TIFF";

    // Over the source itself, after Yes: the source is patched.
    ExpectBox(SaveAnswering(source, true), Saved(source), "over the source");
    ASSERT_TRUE(ReadFileBytes(source, &got));
    EXPECT_EQ(FirstDifference(got, want), -1) << "the source after the save over it";
    EXPECT_TRUE(Leftovers(dir_).empty()) << Leftovers(dir_)[0];
  }
}

TEST_F(EditorOutput, DestinationsByNameAndDriveAndTheOverwriteQuestion) {
  const std::string source = Copy("im4_101x67.bmp");
  ASSERT_NO_FATAL_FAILURE(OpenOk(source, "im4_101x67.bmp", "1:1"));
  ASSERT_NO_FATAL_FAILURE(Change(2, Rgb{1, 2, 3}));
  Rest();
  const Box extension = Expected("Error", "エラー", "Assign a file with BMP, TIF or PNG extension.",
                                 "ファイルは拡張子 BMP, TIF or PNG を持つ必要があります.");
  const Box notFixed = Expected("Warning", "警告", "Unable to save a file other than to the fixed disk.",
                                "ハードディスク以外へはファイル保存はできません.");
  struct Case {
    std::string path;
    Box want;           // empty title: saved
    const char* magic;  // the saved file's first bytes
  };
  const Case cases[] = {
      {Scratch("A.Bmp"), {}, "BM"},
      {Scratch("a.tif"), {}, "II*"},
      {Scratch("a.tiff"), extension, nullptr},
      {Scratch("a"), extension, nullptr},
      // The drive is judged first: these names would pass the extension rule or not.
      {"E:\\kout.tiff", notFixed, nullptr},
      {"E:\\kout.bmp", notFixed, nullptr},
      {"F:\\kout.bmp", notFixed, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const Box got = SaveAnswering(c.path, false);
    if (c.want.title.empty()) {
      ExpectBox(got, Saved(c.path), c.path);
      std::vector<uint8_t> bytes;
      ASSERT_TRUE(ReadFileBytes(c.path, &bytes));
      EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + std::strlen(c.magic)), c.magic);
    } else {
      ExpectBox(got, c.want, c.path);
      EXPECT_FALSE(FileExists(c.path));
    }
  }

  // No keeps an existing file as it was, for BMP and TIFF.
  for (const char* name : {"keep.bmp", "keep.tif"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> before(300, 'k');
    ASSERT_TRUE(WriteFileBytes(Scratch(name), before));
    EXPECT_EQ(SaveAnswering(Scratch(name), true, IDNO).title, "");
    EXPECT_TRUE(NotWithin("a message after No", [&] { return VisibleBox() != nullptr; }, 300));
    std::vector<uint8_t> after;
    ASSERT_TRUE(ReadFileBytes(Scratch(name), &after));
    EXPECT_EQ(after, before);
  }
}

TEST_F(EditorOutput, FailedSavesLeaveTheDestinationAsItWasAndNothingBehind) {
  const std::string folder = MakeTempDir("kout-fail");
  const std::vector<uint8_t> existing(500, 'e');
  const Box cannotCreate = Expected("Error", "エラー", "Cannot create a file to be saved.",
                                    "保存するファイルを新規作成できません.");
  const Box changed = Expected("Error", "エラー", "The source file has changed since it was opened.",
                               "開いた後に元のファイルが変更されました.");
  struct Case {
    const char* name;
    Box want;
    const char* picture = "im8_257x131.bmp";  // a PNG is saved as PNG
  };
  const Case cases[] = {{"readonly", cannotCreate},
                        {"deleted", changed},
                        {"changed", changed},
                        {"changed-png", changed, "png_pil8_41x13.png"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string ext = std::string(c.picture).substr(std::strlen(c.picture) - 4);
    const std::string source = JoinPath(folder, std::string(c.name) + "-source" + ext);
    ASSERT_TRUE(CopyFileA(Picture(c.picture).c_str(), source.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(OpenOk(source, std::string(c.name) + "-source" + ext, "1:1"));
    ASSERT_NO_FATAL_FAILURE(Change(4, Rgb{9, 9, 9}));
    Rest();
    const std::string dest = JoinPath(folder, std::string(c.name) + "-dest" + ext);
    ASSERT_TRUE(WriteFileBytes(dest, existing));
    if (std::strcmp(c.name, "readonly") == 0) {
      ASSERT_TRUE(SetFileAttributesA(dest.c_str(), FILE_ATTRIBUTE_READONLY));
    } else if (std::strcmp(c.name, "deleted") == 0) {
      ASSERT_TRUE(DeleteFileA(source.c_str()));
    } else {
      std::vector<uint8_t> bytes;
      ASSERT_TRUE(ReadFileBytes(source, &bytes));
      bytes[bytes.size() - 7] ^= 0x55;  // one pixel, or IEND of a PNG
      ASSERT_TRUE(WriteFileBytes(source, bytes));
    }
    ExpectBox(SaveAnswering(dest, true), c.want, c.name);
    SetFileAttributesA(dest.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::vector<uint8_t> after;
    ASSERT_TRUE(ReadFileBytes(dest, &after));
    EXPECT_EQ(after, existing) << "the destination changed";
    const std::vector<std::string> left = Leftovers(folder);
    EXPECT_TRUE(left.empty()) << "left behind: " << left[0];
  }
}

TEST_F(EditorOutput, CopyReadBackByAnotherProcessAtEachZoom) {
  ASSERT_TRUE(WriteFileBytes(Scratch("bands4_100x50.bmp"), Bands4(100, 50)));
  struct Case {
    std::string file;
    int zoomIn;       // Zoom In presses (negative: Zoom Out) after Open at 1:1
    const char* zoom;
    int width, height, bits, colours, rowBytes;
  };
  const Case cases[] = {
      {Copy("im1_33x20.bmp"), 0, "1:1", 33, 20, 1, 2, 8},
      {Copy("im1_33x20.bmp"), 1, "2:1", 66, 40, 1, 2, 12},
      {Scratch("bands4_100x50.bmp"), -1, "1:2", 50, 25, 4, 16, 28},
      {Copy("dup8_320x200.bmp"), 0, "1:1", 320, 200, 8, 256, 320},
  };
  const Rgb changed = {201, 17, 99};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + " " + c.zoom);
    const std::string name = c.file.substr(c.file.rfind('\\') + 1);
    ASSERT_NO_FATAL_FAILURE(OpenOk(c.file, name, "1:1"));
    // The change first: the zoom buttons bring the main window forward.
    ASSERT_NO_FATAL_FAILURE(Change(0, changed));
    for (int i = 0; i < c.zoomIn; ++i) run_->ClickButton(kZoomIn);
    // Zoom Out is disabled at the fit level of a picture that fits; the
    // command still reduces it, and it is sent as the button would.
    for (int i = 0; i > c.zoomIn; --i) PostMessageA(main(), WM_COMMAND, kZoomOutCommand, 0);
    ASSERT_TRUE(AwaitTitle(main(), TitleOf(name, c.zoom)));
    Rest();
    PutTextOnClipboard("before");
    run_->ClickButton(kCopyButton);
    std::vector<uint8_t> dib;
    ASSERT_TRUE(WaitUntil([&] { dib = ClipboardDib(); return !dib.empty(); }, kPatienceMs)) << "nothing copied";
    Rest();
    const size_t image = static_cast<size_t>(c.rowBytes) * c.height, pixels = 40 + 4 * c.colours;
    ASSERT_GE(dib.size(), 40u);
    EXPECT_EQ(dib.size(), pixels + image) << "block size";
    const uint32_t header[] = {40, static_cast<uint32_t>(c.width), static_cast<uint32_t>(c.height),
                               1u | static_cast<uint32_t>(c.bits) << 16, 0, static_cast<uint32_t>(image),
                               0, 0, static_cast<uint32_t>(c.colours), static_cast<uint32_t>(c.colours)};
    for (int f = 0; f < 10; ++f) EXPECT_EQ(Le32(dib, 4 * f), header[f]) << "header field at byte " << 4 * f;
    ASSERT_GE(dib.size(), pixels + image);

    // The table: the changed colour, every fourth byte 0, the rest as in the file.
    std::vector<uint8_t> file;
    ASSERT_TRUE(ReadFileBytes(c.file, &file));
    std::vector<uint32_t> table;
    for (int i = 0; i < c.colours; ++i) {
      const uint8_t* e = dib.data() + 40 + 4 * i;
      table.push_back(e[2] << 16 | e[1] << 8 | e[0]);
      EXPECT_EQ(e[3], 0) << "entry " << i;
      if (i > 0) {
        EXPECT_EQ(std::memcmp(e, file.data() + 54 + 4 * i, 3), 0) << "entry " << i;
      }
    }
    EXPECT_EQ(table[0], changed.Colour());

    // Drawn with its own table, the copy is the view at this zoom.
    Image drawn;
    drawn.width = c.width;
    drawn.height = c.height;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) drawn.pixels.push_back(table[DibIndex(dib, pixels, x, y)]);
    EXPECT_TRUE(ViewEquals(drawn, std::string("copy-") + Lang() + "-" + name + "-" + std::to_string(c.zoomIn)));

    // A palette holding one colour twice: the copy keeps the file's own indices.
    if (name.rfind("dup8", 0) == 0) {
      Indexed source;
      ASSERT_TRUE(LoadIndexed8(c.file, &source));
      ASSERT_EQ(source.table[1], source.table[2]) << "the picture has no twin colours";
      size_t differ = 0, twins = 0;
      for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
          const int want = source.index[static_cast<size_t>(y) * c.width + x];
          differ += DibIndex(dib, pixels, x, y) != want;
          twins += want == 2;
        }
      }
      EXPECT_GT(twins, 0u) << "index 2 is not used";
      EXPECT_EQ(differ, 0u) << "indices changed";
    }
  }
}

// Its own suite, since it ends the editor: a copy holds what was shown when
// Copy was pressed, whatever is changed before the paste, and it is still on
// the clipboard after the editor has been closed.
class EditorCopyLifetime : public EditorOutput {};

TEST_F(EditorCopyLifetime, ACopyKeepsWhatWasShownThroughLaterChangesAndTheEditorsEnd) {
  const std::string file = Copy("im4_101x67.bmp");
  ASSERT_NO_FATAL_FAILURE(OpenOk(file, "im4_101x67.bmp", "1:1"));
  const Rgb first = {12, 34, 56}, second = {210, 190, 170};
  // The table's first entry of what the clipboard holds now; -1 for no DIB.
  auto firstEntry = [](const std::vector<uint8_t>& dib) -> long {
    if (dib.size() < 44) return -1;
    return dib[42] << 16 | dib[41] << 8 | dib[40];
  };
  std::vector<uint8_t> dib;

  ASSERT_NO_FATAL_FAILURE(Change(0, first));
  run_->ClickButton(kCopyButton);
  ASSERT_TRUE(WaitUntil([] { return IsClipboardFormatAvailable(CF_DIB) != FALSE; }, kPatienceMs)) << "nothing copied";
  // The icon bar brought the main window forward; its button brings the palette back.
  run_->ClickButton(kPopup);
  Rest();
  ASSERT_NO_FATAL_FAILURE(Change(0, second));
  dib = ClipboardDib();
  EXPECT_EQ(firstEntry(dib), static_cast<long>(first.Colour())) << "the paste took a later change";
  EXPECT_EQ(dib.size(), 40u + 64 + 52 * 67) << "block size";

  // A second copy, never asked for while the editor runs.
  PutTextOnClipboard("before");
  run_->ClickButton(kCopyButton);
  ASSERT_TRUE(WaitUntil([] { return IsClipboardFormatAvailable(CF_DIB) != FALSE; }, kPatienceMs)) << "nothing copied";
  Process& process = run_->process();
  run_->Close();
  DWORD code = 1;
  ASSERT_TRUE(process.WaitExit(0, &code)) << "the editor did not end";
  EXPECT_EQ(code, 0u) << "the editor did not end by itself";
  dib = ClipboardDib();
  EXPECT_EQ(firstEntry(dib), static_cast<long>(second.Colour())) << "the copy went with the editor";
  ASSERT_EQ(dib.size(), 40u + 64 + 52 * 67) << "block size";
  std::vector<uint8_t> source;
  ASSERT_TRUE(ReadFileBytes(file, &source));
  const size_t offset = Le32(source, 10);
  ASSERT_GE(source.size(), offset + 52 * 67);
  EXPECT_EQ(std::memcmp(dib.data() + 40 + 64, source.data() + offset, 52 * 67), 0) << "the pixels differ at 1:1";
}

}  // namespace
