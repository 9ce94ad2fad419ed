// The editor's load by path: the fit level in a window of known size, and the
// failures that must leave the picture values alone.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/bitmap/dib_block.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "kestro98/image_view.h"
#include "kestro98/load_bitmap.h"
#include "kestro98/main_window.h"
#include "kestro98/open_command.h"
#include "kestro98/palette_window.h"
#include "kestro98/picture.h"
#include "common/bitmap/replace_file.h"
#include "tests/win/win_test_support.h"

namespace {

using namespace kestro;
using wintest::BmpShape;

class EditorLoad : public testing::Test {
 protected:
  void SetUp() override {
    languageFlag = kEnglish;
    ReleaseDibBlock();
    vertScrollWidth = 17;
    horzScrollHeight = 17;
  }
  void TearDown() override {
    ReleaseDibBlock();
    SetClient(800, 600);
  }
  static void SetClient(int w, int h) {
    SetWindowPos(mainWindow, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  static std::string Fixture(int32_t w, int32_t h, const char* name) {
    BmpShape shape;
    shape.width = w;
    shape.height = h;
    shape.bitCount = 4;
    const std::string path = wintest::ScratchFolder() + name;
    EXPECT_TRUE(wintest::WriteWholeFile(path, wintest::MakeBmp(shape)));
    return path;
  }
};

TEST_F(EditorLoad, FitLevelFromTheClientAreaLessScrollBarsAndStrip) {
  struct Case { int32_t w, h; int clientW, clientH; int level; };
  const Case cases[] = {
      {640, 480, 640 + 17, 480 + 21 + 17, 0},  // exactly fits
      {640, 480, 640 + 16, 480 + 21 + 17, -1},  // one column short: the scroll bar counts
      {1000, 700, 780 + 17, 560 + 21 + 17, -1},
      {300, 2000, 800, 600, -3},                 // 2000 / 4 = 500 <= 562
  };
  for (const Case& c : cases) {
    SetClient(c.clientW, c.clientH);
    RECT client;
    GetClientRect(mainWindow, &client);
    ASSERT_EQ(client.right, c.clientW);
    ASSERT_EQ(client.bottom, c.clientH);
    wintest::BoxCatcher boxes;
    ASSERT_TRUE(LoadBmpFile(mainWindow, Fixture(c.w, c.h, "fit.bmp").c_str()));
    EXPECT_EQ(dibLayout.width, c.w);
    EXPECT_EQ(dibLayout.height, c.h);
    EXPECT_EQ(pictureFacts.fitLevel, c.level) << c.w << " x " << c.h;
    EXPECT_EQ(pictureFacts.zoomLevel, c.level);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(wintest::LockCount(dibBlockHandle), 0u);
  }
}

TEST_F(EditorLoad, TopDownPictureTakesItsAbsoluteHeight) {
  BmpShape shape;
  shape.width = 20;
  shape.height = 30;
  shape.topDown = true;
  const std::string path = wintest::ScratchFolder() + "topdown.bmp";
  ASSERT_TRUE(wintest::WriteWholeFile(path, wintest::MakeBmp(shape)));
  ASSERT_TRUE(LoadBmpFile(mainWindow, path.c_str()));
  EXPECT_EQ(dibLayout.height, 30);
  EXPECT_EQ(pictureFacts.fitLevel, 0);
}

TEST_F(EditorLoad, WindowWithoutRoomStillGetsABoundedLevel) {
  SetClient(10, 10);  // less than the strip and the scroll bars
  ASSERT_TRUE(LoadBmpFile(mainWindow, Fixture(640, 480, "tiny.bmp").c_str()));
  EXPECT_EQ(pictureFacts.fitLevel, 1 - 321);
}

// Open reads a file once: what is shown is judged by the bytes read, and its
// palette comes from them too; a file refused after another was shown leaves
// that one's palette.
TEST_F(EditorLoad, OpenJudgesAndTakesThePaletteFromTheBytesItReads) {
  BmpShape shape;
  shape.width = 16;
  shape.height = 8;
  shape.bitCount = 4;
  const std::vector<uint8_t> first = wintest::MakeBmp(shape);
  std::vector<uint8_t> second = first;
  second[54] = 3, second[55] = 2, second[56] = 1;  // entry 0 as blue, green, red
  std::vector<uint8_t> refused = first;
  refused[28] = 1;  // a 1-bit picture listing three colours: the reader takes
  refused[46] = 3;  // it, the editor's own check does not
  const std::string path = wintest::ScratchFolder() + "replaced.bmp";
  struct Case {
    const char* name;
    const std::vector<uint8_t>* replacement;
    bool opens;
  };
  const Case cases[] = {{"another palette", &second, true}, {"another colour count", &refused, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(wintest::WriteWholeFile(path, first));
    wintest::BoxCatcher boxes;
    ASSERT_TRUE(OpenPicturePath(mainWindow, path));
    ASSERT_TRUE(wintest::WriteWholeFile(path, *c.replacement));
    const Rgb shownBefore = paletteHistory.Entry(0);
    EXPECT_EQ(OpenPicturePath(mainWindow, path), c.opens);
    const Rgb entry = paletteHistory.Entry(0);
    if (c.opens) {
      EXPECT_TRUE(boxes.Boxes().empty());
      EXPECT_EQ(entry.red, 1);
      EXPECT_EQ(entry.green, 2);
      EXPECT_EQ(entry.blue, 3);
      EXPECT_EQ(pictureFacts.opened.fileSize, static_cast<int64_t>(second.size()));
    } else {
      ASSERT_EQ(boxes.Boxes().size(), 1u);
      EXPECT_EQ(boxes.Boxes()[0].text, "The assigned file has not the 2/16/256 color array!");
      EXPECT_EQ(entry.red, shownBefore.red) << "a refused file changed the shown palette";
      EXPECT_EQ(entry.blue, shownBefore.blue);
      EXPECT_FALSE(HoldsCandidateBlock());
    }
  }
  DestroyPaletteWindow();
  pictureFacts.state = PictureState::kNoPicture;
}

// The file a save writes first is named after the program, so one left by a
// killed save says whose it is, and shortened where the path has no room.
TEST(TemporaryBeside, NamedAfterTheProgramAndShortenedWhereThePathHasNoRoom) {
  struct Case {
    size_t folderLength;  // the folder's path with its final backslash
    const char* prefix;
    const char* suffix;
  };
  const Case cases[] = {{0, "~win_tests-", ".tmp"}, {MAX_PATH - 12, "~", ".tmp"}};
  for (const Case& c : cases) {
    std::string folder = wintest::ScratchFolder();
    while (folder.size() < c.folderLength) {
      folder += std::string(std::min<size_t>(c.folderLength - folder.size(), 40), 'd');
      folder.back() = '\\';
      ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << folder;
    }
    const std::string made = ReserveTemporaryBeside((folder + "target.bmp").c_str());
    ASSERT_FALSE(made.empty()) << folder.size();
    const std::string name = made.substr(folder.size());
    const std::string prefix = c.prefix, suffix = c.suffix;
    ASSERT_GT(name.size(), prefix.size() + suffix.size()) << name;
    EXPECT_EQ(_strnicmp(name.c_str(), prefix.c_str(), prefix.size()), 0) << name;
    EXPECT_EQ(name.substr(name.size() - suffix.size()), suffix) << name;
    const std::string hex = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    EXPECT_TRUE(hex.size() <= 4 && hex.find_first_not_of("0123456789abcdef") == std::string::npos) << name;
    EXPECT_LT(made.size(), static_cast<size_t>(MAX_PATH));
    EXPECT_TRUE(wintest::FileExists(made));
    DeleteFileA(made.c_str());
  }
}

class EditorLoadMessages : public EditorLoad, public testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    EditorLoad::SetUp();
    if (GetParam() == kJapanese && !wintest::JapaneseCodePage()) {
      GTEST_SKIP() << "Japanese texts are checked in the run with code page 932";
    }
    languageFlag = GetParam();
  }
  void TearDown() override {
    EditorLoad::TearDown();
    languageFlag = kEnglish;
  }
};

TEST_P(EditorLoadMessages, MissingFileNamesTheFullPath) {
  pictureFacts.fitLevel = 123;
  const std::string path = wintest::ScratchFolder() + "no such file.bmp";
  wintest::BoxCatcher boxes;
  EXPECT_FALSE(LoadBmpFile(mainWindow, path.c_str()));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  const bool japanese = GetParam() == kJapanese;
  const std::string expected = japanese ? wintest::Ansi("ファイル '") + path + wintest::Ansi("' を開けません.")
                                        : "Unable to open file '" + path + "'.";
  EXPECT_EQ(boxes.Boxes()[0].text, expected);
  EXPECT_EQ(boxes.Boxes()[0].title, wintest::Ansi(japanese ? "エラー" : "Error"));
  EXPECT_EQ(boxes.Boxes()[0].owner, mainWindow);
  EXPECT_TRUE(boxes.Boxes()[0].errorIcon);
  EXPECT_EQ(pictureFacts.fitLevel, 123) << "a failed load leaves the picture values";
}

TEST_P(EditorLoadMessages, RefusedFileReturnsFalseAfterOneMessage) {
  BmpShape shape;
  shape.infoSize = 64;
  const std::string path = wintest::ScratchFolder() + "os2v2.bmp";
  ASSERT_TRUE(wintest::WriteWholeFile(path, wintest::MakeBmp(shape)));
  wintest::BoxCatcher boxes;
  EXPECT_FALSE(LoadBmpFile(mainWindow, path.c_str()));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text,
            wintest::Ansi(GetParam() == kJapanese ? "ビットマップのファイル構造ではありません."
                                                  : "Illegal structure size is found in info header."));
  // The file was closed whatever the result: it can be deleted now.
  EXPECT_TRUE(DeleteFileA(path.c_str()));
}

std::string LanguageName(const testing::TestParamInfo<int>& info) {
  return info.param == kJapanese ? "Japanese" : "English";
}

INSTANTIATE_TEST_SUITE_P(Languages, EditorLoadMessages, testing::Values(kEnglish, kJapanese),
                         LanguageName);

}  // namespace
