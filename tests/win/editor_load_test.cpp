// The editor's load by path: the fit level in a window of known size, and the
// failures that must leave the picture values alone.
#include <gtest/gtest.h>

#include "common/bitmap/dib_block.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "kestro98/image_view.h"
#include "kestro98/load_bitmap.h"
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
    EXPECT_EQ(pictureWidth, c.w);
    EXPECT_EQ(pictureHeight, c.h);
    EXPECT_EQ(fitLevel, c.level) << c.w << " x " << c.h;
    EXPECT_EQ(zoomLevel, c.level);
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
  EXPECT_EQ(pictureHeight, 30);
  EXPECT_EQ(fitLevel, 0);
}

TEST_F(EditorLoad, WindowWithoutRoomStillGetsABoundedLevel) {
  SetClient(10, 10);  // less than the strip and the scroll bars
  ASSERT_TRUE(LoadBmpFile(mainWindow, Fixture(640, 480, "tiny.bmp").c_str()));
  EXPECT_EQ(fitLevel, 1 - 321);
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
  pictureWidth = 123;
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
  EXPECT_EQ(pictureWidth, 123) << "a failed load leaves the picture values";
}

TEST_P(EditorLoadMessages, RefusedFileReturnsFalseAfterOneMessage) {
  BmpShape shape;
  shape.infoSize = 108;
  const std::string path = wintest::ScratchFolder() + "v4.bmp";
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
