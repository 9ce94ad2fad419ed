// The shuffler's main window rules: the title after an open, the painted
// rectangle at the reduction factor, the picture buttons by state, and the
// order of the Save command's questions and refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/base/core/path_text.h"
#include "common/bitmap/core/load_fit.h"
#include "mirtav00/core/save_rules.h"
#include "mirtav00/core/view_rules.h"

using mirtav::SaveVerdict;

TEST(MirtavWindow, TitleNamesTheFileAndTheReduction) {
  // 1000 x 700 in a client area of 800 x 600: 500 <= 800 and 350 <= 579.
  const int32_t k = fit::ShufflerReductionFactor(1000, 700, 800, 600);
  EXPECT_EQ(k, 2);
  EXPECT_EQ(mirtav::MainTitle(mirtav::TitlePrefix(false), "C:\\pics\\flower.bmp", false, k),
            "Mirtav - flower.bmp [1:2]");
  EXPECT_EQ(mirtav::MainTitle(mirtav::TitlePrefix(true), "C:\\pics\\flower.bmp", true, k),
            "ミルタヴ - flower.bmp [1:2]");
  EXPECT_EQ(mirtav::MainTitle("Mirtav - ", "flower.bmp", false, 1), "Mirtav - flower.bmp [1:1]");
  // Shift-JIS 0x95 0x5C (a character whose second byte is a backslash) is no separator.
  EXPECT_STREQ(path_text::FileNameOf("C:\\\x95\x5C\\a\x95\x5C.bmp", true), "a\x95\x5C.bmp");
  EXPECT_STREQ(path_text::FileNameOf("C:\\dir\\", false), "");

  const mirtav::PictureRect r = mirtav::PicturePaintRect(1000, 700, k);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 21);
  EXPECT_EQ(r.width, 500);
  EXPECT_EQ(r.height, 350);
  EXPECT_EQ(mirtav::PicturePaintRect(7, 5, 4).width, 1);
}

TEST(MirtavWindow, PictureButtonsFollowTheState) {
  struct { PictureState state; bool block; mirtav::PictureButtons want; } const cases[] = {
      {PictureState::kNoPicture, false, {true, false, false, false}},
      {PictureState::kNoPicture, true, {true, false, false, false}},
      {PictureState::kOpened, true, {true, true, true, false}},
      {PictureState::kChanged, true, {true, false, true, true}},
      {PictureState::kOpened, false, {false, true, true, false}},      // left as they are
      {PictureState::kChanged, false, {false, false, true, true}},
  };
  for (const auto& c : cases) {
    const mirtav::PictureButtons b = mirtav::ButtonsFor(c.state, c.block);
    EXPECT_EQ(b.apply, c.want.apply) << static_cast<int>(c.state) << c.block;
    if (!b.apply) continue;
    EXPECT_EQ(b.randomise, c.want.randomise) << static_cast<int>(c.state);
    EXPECT_EQ(b.copy, c.want.copy) << static_cast<int>(c.state);
    EXPECT_EQ(b.save, c.want.save) << static_cast<int>(c.state);
  }
}

namespace {

// Answers as configured and records which questions were asked, in order.
class Answers final : public mirtav::SaveQuestions {
 public:
  bool exists = false, yes = true, fixed = true, space = true;
  std::string asked;
  int32_t spaceAsked = -1;
  std::string root;
  bool TargetExists(const char*) override { asked += "E"; return exists; }
  bool OverwriteConfirmed() override { asked += "Q"; return yes; }
  bool IsFixedDisk(const char* r) override { asked += "F"; root = r; return fixed; }
  bool HasFreeSpace(const char*, int32_t n) override { asked += "S"; spaceAsked = n; return space; }
};

}  // namespace

TEST(MirtavSave, DecisionsComeInTheirOrderAndTheExtensionLast) {
  struct Case {
    const char* savePath;
    bool exists, yes, fixed, space;
    SaveVerdict verdict;
    const char* asked;
  } const cases[] = {
      {"C:\\pics\\out.bmp", false, true, true, true, SaveVerdict::kWriteBmp, "EFS"},
      {"C:\\pics\\out.TIF", false, true, true, true, SaveVerdict::kWriteTiff, "EFS"},
      {"C:\\pics\\out.Bmp", true, true, true, true, SaveVerdict::kWriteBmp, "EQFS"},
      {"c:\\PICS\\FLOWER.BMP", true, true, true, true, SaveVerdict::kSameFile, ""},
      {"C:\\pics\\out.bmp", true, false, true, true, SaveVerdict::kDeclined, "EQ"},
      {"E:\\out.bmp", false, true, false, true, SaveVerdict::kNotFixedDisk, "EF"},
      {"C:\\out.bmp", false, true, true, false, SaveVerdict::kNoSpace, "EFS"},
      {"C:\\pics\\out.png", true, true, true, true, SaveVerdict::kWritePng, "EQFS"},
      {"C:\\pics\\OUT.Png", false, true, true, true, SaveVerdict::kWritePng, "EFS"},
      {"C:\\pics\\FLOWER.png", false, true, true, true, SaveVerdict::kWritePng, "EFS"},
      {"C:\\pics\\out.gif", true, true, true, true, SaveVerdict::kBadExtension, "EQFS"},
      {"C:\\pics\\out.tiff", false, true, true, true, SaveVerdict::kBadExtension, "EFS"},
  };
  for (const Case& c : cases) {
    Answers a;
    a.exists = c.exists;
    a.yes = c.yes;
    a.fixed = c.fixed;
    a.space = c.space;
    const mirtav::SaveRequest request = {c.savePath, "C:\\pics\\flower.bmp", false, 5000, 4000};
    EXPECT_EQ(mirtav::DecideSave(request, a), c.verdict) << c.savePath;
    EXPECT_EQ(a.asked, c.asked) << c.savePath;
    if (a.asked.find('F') != std::string::npos) {
      EXPECT_EQ(a.root, std::string(c.savePath, 3));
    }
    if (a.asked.find('S') != std::string::npos) {
      EXPECT_EQ(a.spaceAsked, 5000);
    }
  }
  EXPECT_STREQ(mirtav::MessageOf(SaveVerdict::kSameFile)->text.english,
               "Assign a file other than the opened file.");
  EXPECT_STREQ(mirtav::MessageOf(SaveVerdict::kBadExtension)->text.japanese,
               "ファイルは拡張子 BMP, TIF or PNG を持つ必要があります.");
  EXPECT_EQ(mirtav::MessageOf(SaveVerdict::kDeclined), nullptr);
  EXPECT_EQ(mirtav::MessageOf(SaveVerdict::kWriteBmp), nullptr);
}

TEST(MirtavSave, SameFileAndSpaceEdges) {
  EXPECT_TRUE(mirtav::SamePathIgnoringCase("C:\\\xC4\\a.bmp", "c:\\\xE4\\A.BMP", false));  // Ä, ä
  EXPECT_FALSE(mirtav::SamePathIgnoringCase("C:\\a.bmp", "C:\\a.bmp2", false));
  // In code page 932 the second byte of 0x83 0x41 and of 0x83 0x61 are
  // different characters, though they read as 'A' and 'a' alone.
  EXPECT_FALSE(mirtav::SamePathIgnoringCase("C:\\\x83\x41.bmp", "C:\\\x83\x61.bmp", true));
  EXPECT_TRUE(mirtav::SamePathIgnoringCase("C:\\\x83\x41.bmp", "c:\\\x83\x41.BMP", true));

  EXPECT_EQ(mirtav::SpaceToAsk(1000, 1200), 1200);
  EXPECT_EQ(mirtav::SpaceToAsk(1300, 1200), 1300);
  EXPECT_EQ(mirtav::SpaceToAsk(uint64_t{1} << 33, 0), INT32_MAX);
}
