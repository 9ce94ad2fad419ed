// A reader message as the screen shows it: the box is captured from the
// desktop while it is up, in each language, and must differ from the screen
// before it and carry dark text pixels.
#include <gtest/gtest.h>

#include "common/bitmap/dib_block.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "tests/win/per_language.h"
#include "tests/win/win_test_support.h"

namespace {

class MessageOnScreen : public wintest::PerLanguage {};

TEST_P(MessageOnScreen, BoxIsDrawnWithItsText) {
  std::vector<uint8_t> bytes = wintest::MakeBmp(wintest::BmpShape());
  bytes[0] = 0x89;
  bytes[1] = 0x50;
  const std::string path = wintest::ScratchFolder() + "screen.bmp";
  ASSERT_TRUE(wintest::WriteWholeFile(path, bytes));
  HFILE file = _lopen(path.c_str(), OF_READ);
  ASSERT_NE(file, HFILE_ERROR);
  wintest::BoxCatcher boxes(true);
  EXPECT_EQ(ReadBmpFile(mainWindow, file), 0);
  _lclose(file);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  const wintest::CapturedBox& box = boxes.Boxes()[0];
  EXPECT_EQ(box.text, wintest::Ansi(GetParam() == kJapanese
                                        ? "ビットマップのMAGIC NUMBER (0x5089) が違っています."
                                        : "Bad magic number (0x5089) in bitmap."));
  ASSERT_GT(box.area, 0) << "no screenshot taken";
  EXPECT_GT(box.changedPixels, box.area / 2) << "the box is not on the screen";
  // Text, icon outline and button frame; a blank box has none.
  EXPECT_GT(box.darkPixels, 100);
  EXPECT_FALSE(box.timedOut);
}

std::string LanguageName(const testing::TestParamInfo<int>& info) {
  return info.param == kJapanese ? "Japanese" : "English";
}

INSTANTIATE_TEST_SUITE_P(Languages, MessageOnScreen, testing::Values(kEnglish, kJapanese),
                         LanguageName);

}  // namespace
