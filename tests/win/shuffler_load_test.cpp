// The shuffler's load by path, the read of its Open: the doubling rule for
// reductionFactor in a window of known size, refusals that change nothing,
// the "Please wait a moment." notice on screen as Randomize PLT starts its
// work, and the TIFF writer's texts as the shuffler words them.
#include <gtest/gtest.h>

#include <cstring>

#include "common/bitmap/dib_block.h"
#include "common/bitmap/tiff_writer.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/ui/program_description.h"
#include "kestro98/description.h"
#include "mirtav00/description.h"
#include "mirtav00/load_bitmap.h"
#include "mirtav00/main_window.h"
#include "mirtav00/open_command.h"
#include "mirtav00/picture.h"
#include "mirtav00/picture_view.h"
#include "mirtav00/randomise_command.h"
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
    ReleaseDibBlock();
    ForgetPictureSamples();
    pictureState = PictureState::kNoPicture;
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
    shufflerPicture.reductionFactor = -7;
    EXPECT_TRUE(LoadBmpFile(mainWindow, Fixture(c.w, c.h).c_str()));
    EXPECT_EQ(shufflerPicture.reductionFactor, c.factor) << c.w << " x " << c.h << " in " << c.clientW << " x " << c.clientH;
    EXPECT_TRUE(boxes.Boxes().empty());
    ReleaseDibBlock();
  }
}

// Each refusal shows its own message and leaves the adopted picture, its
// table, its facts and its reduction exactly as they were.
TEST_P(ShufflerLoad, RefusalsReturnOneAfterTheirMessageAndChangeNothing) {
  ASSERT_TRUE(LoadBmpFile(mainWindow, Fixture(2000, 300).c_str()));
  ASSERT_EQ(shufflerPicture.reductionFactor, 4);
  const HGLOBAL block = dibBlockHandle;
  const int factor = shufflerPicture.reductionFactor;
  const std::string openPath = shufflerPicture.openPath;
  shuffle::PaletteEntry table[256];
  std::memcpy(table, PaletteTable, sizeof table);

  // Each refused file with its message (English, Japanese) and whether it is a warning.
  struct Refused {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* english;
    const char* japanese;
    bool warning;
  };
  const char* const kFourOrEight[] = {"Select a 4bit or 8bit bitmap file.",
                                      "16色・256色のビットマップを選定してください."};
  const char* const kNotBitmap[] = {"Not a bitmap file with correct format.",
                                    "正しいビットマップファイルではありません."};
  BmpShape oneBit, short4;
  oneBit.bitCount = 1;
  short4.bitCount = 4;
  short4.clrUsed = 17;
  std::vector<uint8_t> swapped = wintest::MakeBmp(BmpShape());
  swapped[0] = 'M';
  swapped[1] = 'B';
  std::vector<uint8_t> cut = wintest::MakeBmp(BmpShape());
  cut.resize(cut.size() - 7);  // rows reach past the end of the file
  std::vector<uint8_t> compressed = wintest::MakeBmp(BmpShape());
  compressed[30] = 2;  // BI_RLE4 at 8 bits
  BmpShape os2v2;
  os2v2.infoSize = 64;
  const Refused refused[] = {
      {"1-bit", wintest::MakeBmp(oneBit), kFourOrEight[0], kFourOrEight[1], true},
      {"4-bit listing 17 colours", wintest::MakeBmp(short4), kFourOrEight[0], kFourOrEight[1], true},
      {"RLE4 at 8 bits", compressed, kFourOrEight[0], kFourOrEight[1], true},
      {"64-byte header", wintest::MakeBmp(os2v2), kNotBitmap[0], kNotBitmap[1], false},
      {"swapped magic", swapped, kNotBitmap[0], kNotBitmap[1], false},
      {"cut short", cut, kNotBitmap[0], kNotBitmap[1], false},
      {"missing", {}, "Unable to open the assigned bitmap file.",
       "指定されたビットマップファイルを開けません.", false},
  };
  for (const Refused& r : refused) {
    const std::string name = r.name;
    const bool missing = r.bytes.empty();
    const std::string path = wintest::ScratchFolder() + (missing ? "missing.bmp" : "refused.bmp");
    if (!missing) {
      ASSERT_TRUE(wintest::WriteWholeFile(path, r.bytes)) << name;
    }
    wintest::BoxCatcher boxes;
    EXPECT_FALSE(LoadBmpFile(mainWindow, path.c_str())) << name;
    ASSERT_EQ(boxes.Boxes().size(), 1u) << name;
    EXPECT_EQ(boxes.Boxes()[0].text, wintest::Ansi(Japanese() ? r.japanese : r.english)) << name;
    EXPECT_EQ(boxes.Boxes()[0].title,
              wintest::Ansi(r.warning ? (Japanese() ? "警告" : "Warning") : (Japanese() ? "エラー" : "Error")))
        << name;
    EXPECT_EQ(dibBlockHandle, block) << name;
    EXPECT_FALSE(HoldsCandidateBlock()) << name;
    EXPECT_EQ(shufflerPicture.reductionFactor, factor) << name;
    EXPECT_EQ(shufflerPicture.openPath, openPath) << name;
    EXPECT_EQ(std::memcmp(table, PaletteTable, sizeof table), 0) << name;
  }
}

// The notice is on the screen, with its text drawn, when the work starts;
// nothing has changed yet then, and the notice is gone afterwards.
struct NoticeSeen {
  bool called = false;
  bool visible = false;
  bool mainTopmost = false;
  std::string text;
  int area = 0, facePixels = 0, darkPixels = 0;
  bool tableUnchanged = false;
  HWND notice = nullptr;
};
NoticeSeen noticeSeen;
shuffle::PaletteEntry tableBefore[256];

void LookAtNotice(HWND notice) {
  noticeSeen.called = true;
  noticeSeen.notice = notice;
  noticeSeen.tableUnchanged = std::memcmp(tableBefore, PaletteTable, sizeof tableBefore) == 0;
  noticeSeen.mainTopmost = (GetWindowLongA(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (notice == nullptr) return;
  noticeSeen.visible = IsWindowVisible(notice) != 0;
  char text[128] = {};
  GetWindowTextA(GetWindow(notice, GW_CHILD), text, sizeof text);
  noticeSeen.text = text;
  const std::vector<uint32_t> pixels = wintest::CaptureClient(notice);
  const COLORREF face = GetSysColor(COLOR_3DFACE);
  const uint32_t faceRgb = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
  noticeSeen.area = static_cast<int>(pixels.size());
  for (uint32_t p : pixels) {
    noticeSeen.facePixels += (p & 0xFFFFFF) == faceRgb;
    const int sum = static_cast<int>((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
    noticeSeen.darkPixels += sum < 200;
  }
}

// The notice's template is in the program's resources, not in this EXE's:
// MIRTAV00.EXE beside the tests' build folder, loaded as data.
HMODULE ProgramResources() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  path = path.substr(0, path.find_last_of('\\') + 1) + "..\\..\\bin\\MIRTAV00.EXE";
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

TEST_P(ShufflerLoad, TheNoticeIsDrawnBeforeTheWorkStarts) {
  const HMODULE resources = ProgramResources();
  ASSERT_NE(resources, nullptr) << "MIRTAV00.EXE is not built";
  const HINSTANCE ownInstance = appInstance;
  ShowWindow(mainWindow, SW_SHOWNORMAL);
  ASSERT_TRUE(LoadBmpFile(mainWindow, Fixture(300, 200).c_str()));
  pictureState = PictureState::kOpened;
  std::memcpy(tableBefore, PaletteTable, sizeof tableBefore);
  noticeSeen = NoticeSeen();
  randomiseWorkStarting = LookAtNotice;
  appInstance = resources;
  RandomisePalette(mainWindow);
  appInstance = ownInstance;
  randomiseWorkStarting = nullptr;
  FreeLibrary(resources);

  ASSERT_TRUE(noticeSeen.called);
  ASSERT_NE(noticeSeen.notice, nullptr);
  EXPECT_TRUE(noticeSeen.visible);
  EXPECT_TRUE(noticeSeen.mainTopmost);
  EXPECT_TRUE(noticeSeen.tableUnchanged);
  EXPECT_EQ(noticeSeen.text,
            wintest::Ansi(Japanese() ? "ちょっとお待ちください." : "Please wait a moment."));
  ASSERT_GT(noticeSeen.area, 0) << "the screen could not be read";
  // A drawn notice is mostly the dialog face, with its text in dark pixels;
  // one not yet drawn shows neither.
  EXPECT_GT(noticeSeen.facePixels, noticeSeen.area / 2);
  EXPECT_GT(noticeSeen.darkPixels, 20);
  EXPECT_LT(noticeSeen.darkPixels, noticeSeen.area / 4);

  EXPECT_FALSE(IsWindow(noticeSeen.notice));
  EXPECT_TRUE(pictureState == PictureState::kChanged);
  EXPECT_EQ((GetWindowLongA(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST), 0);
  EXPECT_NE(std::memcmp(tableBefore, PaletteTable, sizeof tableBefore), 0);
}

TEST_P(ShufflerLoad, TiffCreationFailureUsesTheShufflersWording) {
  ASSERT_TRUE(LoadBmpFile(mainWindow, Fixture(16, 16).c_str()));
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
