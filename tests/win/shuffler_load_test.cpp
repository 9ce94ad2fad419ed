// The shuffler's load by path: the doubling rule for reductionFactor in a
// window of known size, its return codes, and the TIFF writer's texts as the
// shuffler words them.
#include <gtest/gtest.h>

#include "common/bitmap/dib_block.h"
#include "common/bitmap/tiff_writer.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/ui/program_description.h"
#include "kestro98/description.h"
#include "mirtav00/description.h"
#include "mirtav00/load_bitmap.h"
#include "tests/win/per_language.h"
#include "tests/win/win_test_support.h"

namespace {

using namespace mirtav;
using wintest::BmpShape;

void SetClient(int w, int h) {
  SetWindowPos(mainWindow, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string Fixture(int32_t w, int32_t h) {
  BmpShape shape;
  shape.width = w;
  shape.height = h;
  shape.bitCount = 8;
  const std::string path = wintest::ScratchFolder() + "shuffler.bmp";
  EXPECT_TRUE(wintest::WriteWholeFile(path, wintest::MakeBmp(shape)));
  return path;
}

class ShufflerLoad : public wintest::PerLanguage {
 protected:
  void SetUp() override {
    PerLanguage::SetUp();
    AdoptProgram(mirtav::kDescription);
  }
  void TearDown() override {
    AdoptProgram(kestro::kDescription);
    PerLanguage::TearDown();
    SetClient(800, 600);
  }
  bool Japanese() const { return GetParam() == kJapanese; }
};

TEST_P(ShufflerLoad, ReductionFactorDoublesUntilThePictureFits) {
  struct Case { int32_t w, h; int clientW, clientH; int factor; };
  const Case cases[] = {
      {640, 480, 640, 480 + 21, 1},
      {640, 480, 639, 480 + 21, 2},
      {640, 480, 640, 480 + 20, 2},  // the strip under the icon bar counts
      {2000, 300, 400, 600, 8},
      {100, 100, 10, 10, 64},        // client smaller than the strip: still bounded
  };
  for (const Case& c : cases) {
    SetClient(c.clientW, c.clientH);
    wintest::BoxCatcher boxes;
    reductionFactor = -7;
    EXPECT_EQ(LoadBmpFile(mainWindow, Fixture(c.w, c.h).c_str()), 0);
    EXPECT_EQ(reductionFactor, c.factor) << c.w << " x " << c.h << " in " << c.clientW << " x " << c.clientH;
    EXPECT_TRUE(boxes.Boxes().empty());
    ReleaseDibBlock();
  }
}

TEST_P(ShufflerLoad, FailuresReturnOneAfterTheirMessage) {
  const std::string missing = wintest::ScratchFolder() + "missing.bmp";
  {
    wintest::BoxCatcher boxes;
    EXPECT_EQ(LoadBmpFile(mainWindow, missing.c_str()), 1);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text,
              Japanese() ? wintest::Ansi("ファイル '") + missing + wintest::Ansi("' を開けません.")
                         : "Unable to open file '" + missing + "'.");
    EXPECT_EQ(boxes.Boxes()[0].title, wintest::Ansi(Japanese() ? "エラー" : "Error"));
  }
  std::vector<uint8_t> bytes = wintest::MakeBmp(BmpShape());
  bytes[0] = 'M';
  bytes[1] = 'B';
  const std::string swapped = wintest::ScratchFolder() + "swapped.bmp";
  ASSERT_TRUE(wintest::WriteWholeFile(swapped, bytes));
  wintest::BoxCatcher boxes;
  EXPECT_EQ(LoadBmpFile(mainWindow, swapped.c_str()), 1);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text,
            wintest::Ansi(Japanese() ? "ビットマップのMAGIC NUMBER (0x424d) が違っています."
                                     : "Bad magic number (0x424d) in bitmap."));
}

TEST_P(ShufflerLoad, TiffCreationFailureUsesTheShufflersWording) {
  ASSERT_EQ(LoadBmpFile(mainWindow, Fixture(16, 16).c_str()), 0);
  const std::string target = wintest::ScratchFolder() + "no folder\\out.tif";
  wintest::BoxCatcher boxes;
  EXPECT_EQ(WriteTiffFile(mainWindow, target.c_str()), 1);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text,
            wintest::Ansi(Japanese() ? "像保存用の TIF ファイルを新規に作成できません."
                                     : "Unable to create a new TIF file for saving the image."));
  EXPECT_EQ(boxes.Boxes()[0].title, wintest::Ansi(Japanese() ? "エラー" : "Error"));
  EXPECT_TRUE(boxes.Boxes()[0].errorIcon);
}

std::string LanguageName(const testing::TestParamInfo<int>& info) {
  return info.param == kJapanese ? "Japanese" : "English";
}

INSTANTIATE_TEST_SUITE_P(Languages, ShufflerLoad, testing::Values(kEnglish, kJapanese),
                         LanguageName);

}  // namespace
