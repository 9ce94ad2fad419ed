// Arrange pictures to palette without the window system: the /arrange line
// read into its palette and files, the open dialog's many names, the same
// name in another folder, and the summary with its exit code.
#include "mirtav00/core/batch_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace mirtav::batch;

namespace {

std::string Same(const char* utf8) { return utf8; }

TEST(ArrangeCommandLine, PaletteAndFilesQuotedOrNotAnyLetterCase) {
  struct Row {
    const char* line;
    bool named, usable;
    const char* palette;
    std::vector<std::string> files;
  };
  const Row rows[] = {
      {"MIRTAV00.EXE", false, false, "", {}},
      {"\"C:\\Prog Files\\MIRTAV00.EXE\" c:\\a.bmp", false, false, "", {}},  // a picture to open
      {"MIRTAV00.EXE /arranged p.pal a.bmp", false, false, "", {}},
      {"MIRTAV00.EXE /arrange", true, false, "", {}},
      {"MIRTAV00.EXE /ARRANGE p.pal", true, false, "p.pal", {}},
      {"MIRTAV00.EXE /Arrange p.pal a.bmp  b.png\t", true, true, "p.pal", {"a.bmp", "b.png"}},
      {"\"C:\\Prog Files\\MIRTAV00.EXE\" /arrange \"C:\\my pal\\x.gpl\" \"C:\\in dir\\a b.bmp\" c.bmp", true,
       true, "C:\\my pal\\x.gpl", {"C:\\in dir\\a b.bmp", "c.bmp"}},
      {"m.exe /arrange p.pal C:\\\"in dir\"\\a.bmp \"\"", true, true, "p.pal", {"C:\\in dir\\a.bmp"}},
      {"m.exe /arrange \"p.pal", true, false, "p.pal", {}},  // an open quote runs to the end
      // Shift-JIS names: the second bytes are never a blank or a quote.
      {"m.exe /arrange \x83\x5c.pal \x95\x5c\\\x83\x41.bmp", true, true, "\x83\x5c.pal", {"\x95\x5c\\\x83\x41.bmp"}},
  };
  for (const Row& r : rows) {
    const ArrangeCommand c = ParseArrangeCommandLine(r.line);
    EXPECT_EQ(c.named, r.named) << r.line;
    EXPECT_EQ(c.usable, r.usable) << r.line;
    if (!r.named) continue;
    EXPECT_EQ(c.palette, r.palette) << r.line;
    EXPECT_EQ(c.files, r.files) << r.line;
  }
  EXPECT_FALSE(ParseArrangeCommandLine(nullptr).named);
}

TEST(ArrangePaths, ManyNamesOfTheDialogAndTheSameNameElsewhere) {
  struct Split {
    const char* label;
    std::string buffer;
    std::vector<std::string> want;
  };
  const Split splits[] = {
      {"one file: its full path", std::string("C:\\p\\a.bmp\0\0", 12), {"C:\\p\\a.bmp"}},
      {"a folder and names", std::string("C:\\p\0a.bmp\0b.png\0\0", 19), {"C:\\p\\a.bmp", "C:\\p\\b.png"}},
      {"a root folder", std::string("C:\\\0a.bmp\0\0", 11), {"C:\\a.bmp"}},
      {"empty", std::string("\0\0", 2), {}},
      {"no closing zero", std::string("C:\\p\0a.bmp\0", 11), {}},
      {"cut in a name", std::string("C:\\p\0a.b", 8), {}},
  };
  for (const Split& s : splits) {
    EXPECT_EQ(SplitMultiSelection(s.buffer.data(), s.buffer.size()), s.want) << s.label;
  }
  struct Place {
    const char *folder, *source;
    bool shiftJis;
    const char *sameName, *folderOfSource;
  };
  const Place places[] = {
      {"D:\\out", "C:\\p\\a.bmp", false, "D:\\out\\a.bmp", "C:\\p"},
      {"D:\\", "C:\\a.png", false, "D:\\a.png", "C:\\"},
      {"D:\\out\\", "C:\\p\\q\\b.bmp", false, "D:\\out\\b.bmp", "C:\\p\\q"},
      // A Shift-JIS character whose second byte is 0x5C stays in the name.
      {"D:\\o", "C:\\p\\\x95\x5c.bmp", true, "D:\\o\\\x95\x5c.bmp", "C:\\p"},
  };
  for (const Place& p : places) {
    EXPECT_EQ(SameNameIn(p.folder, p.source, p.shiftJis), p.sameName) << p.source;
    EXPECT_EQ(FolderOf(p.source, p.shiftJis), p.folderOfSource) << p.source;
  }
}

TEST(ArrangeSummary, CountsRefusedFilesCancelAndExitCode) {
  const FileResult arranged = {Outcome::kArranged, "C:\\a.bmp", ""};
  const FileResult inOrder = {Outcome::kInOrder, "C:\\b.png", ""};
  const FileResult lacking = {Outcome::kRefused, "C:\\c.bmp", "The palette file lacks 2 of the picture's colours."};
  const FileResult damaged = {Outcome::kRefused, "C:\\d.png", "Not a PNG file\nwith correct format."};
  struct Row {
    const char* label;
    std::vector<FileResult> results;
    bool cancelled;
    size_t notReached, listed;
    bool japanese;
    int exitCode;
    std::string want;
  };
  const Row rows[] = {
      {"nothing refused", {arranged, inOrder, arranged}, false, 0, 20, false, kExitAllDone,
       "Arranged: 2\nAlready in the palette's order (left untouched): 1\nRefused (left untouched): 0\n"},
      {"two refused, one line each", {lacking, arranged, damaged}, false, 0, 20, false, kExitSomeRefused,
       "Arranged: 1\nAlready in the palette's order (left untouched): 0\nRefused (left untouched): 2\n"
       "C:\\c.bmp: The palette file lacks 2 of the picture's colours.\n"
       "C:\\d.png: Not a PNG file with correct format.\n"},
      {"cancelled, the list cut", {damaged, lacking}, true, 5, 1, false, kExitSomeRefused,
       "Arranged: 0\nAlready in the palette's order (left untouched): 0\nRefused (left untouched): 2\n"
       "Cancelled: the files not reached (5) stay as they were.\n"
       "C:\\d.png: Not a PNG file with correct format.\n... and more refused files: 1\n"},
      {"Japanese", {inOrder, lacking}, true, 3, 20, true, kExitSomeRefused,
       "並べ替えた画像: 0\nすでにパレットの順 (書き換えず): 1\n断った画像 (書き換えず): 1\n"
       "取り消しました. 手を付けなかった画像 (3 枚) はそのままです.\n"
       "C:\\c.bmp: The palette file lacks 2 of the picture's colours.\n"},
      {"no file reached", {}, true, 4, 20, false, kExitAllDone,
       "Arranged: 0\nAlready in the palette's order (left untouched): 0\nRefused (left untouched): 0\n"
       "Cancelled: the files not reached (4) stay as they were.\n"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(SummaryText(r.results, r.cancelled, r.notReached, r.japanese, Same, r.listed), r.want) << r.label;
    EXPECT_EQ(ExitCodeOf(r.results), r.exitCode) << r.label;
  }
  EXPECT_EQ(ProgressText(3, 200, false, Same), "Arranging 3 of 200...");
  EXPECT_EQ(ProgressText(3, 200, true, Same), "3 / 200 枚目を並べています...");
}

}  // namespace
