// Indexed PNG in the colour editor as a person uses it: open through the
// dialog, recolour two chips, Save as PNG, BMP and TIFF; a BMP saved as PNG
// (refused when a pixel points past its table);
// PNGs that are refused leave the picture, its changes and the title as they
// were. The files go to E2E_OUT for check-png.py after the run: Pillow must
// read the saved PNG's indices as the source's and its palette with the two
// new colours, every chunk but PLTE byte for byte the source's; BMP, TIFF
// and PNG saved from one palette must show ImageMagick the same pixels.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/editor_session.h"

using namespace e2e;

namespace {

// The two colours every recoloured picture gets (check-png.py knows them).
constexpr Rgb kEntry1 = {255, 0, 128}, kEntry0 = {10, 200, 30};

class EditorPng : public EditorSession {
 protected:
  // Opens a copy of a picture (under another name when given) and recolours entries 1 and 0.
  void OpenAndRecolour(const std::string& name, const std::string& as = "") {
    const std::string copy = Scratch(as.empty() ? name : as);
    ASSERT_TRUE(CopyFileA(Picture(name).c_str(), copy.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(OpenOk(copy, as.empty() ? name : as, "1:1"));
    ASSERT_NO_FATAL_FAILURE(Change(1, kEntry1));
    ASSERT_NO_FATAL_FAILURE(Change(0, kEntry0));
    Rest();
  }
  // Saves to Scratch(file) and leaves a copy in E2E_OUT under the same name.
  void SaveAndLeave(const std::string& file) {
    const std::string path = Scratch(file);
    DeleteFileA(path.c_str());
    ExpectBox(SaveAnswering(path, false), Saved(path), file);
    EXPECT_TRUE(CopyFileA(path.c_str(), JoinPath(OutDir(), file).c_str(), FALSE)) << file;
  }
};

TEST_F(EditorPng, RecolouredPngKeepsEveryOtherChunkAndSavesAsBmpAndTiffAlike) {
  ASSERT_FALSE(OutDir().empty()) << "E2E_OUT is not set";
  for (const char* name : {"png_pil4_chunks_33x10.png", "png_pil8_trns_23x8.png", "png_im8_interlaced_45x31.png",
                           "png_im2_interlaced_13x11.png", "png_im1_interlaced_9x7.png"}) {
    SCOPED_TRACE(name);
    const std::string stem = std::string(name, std::strlen(name) - 4);
    ASSERT_NO_FATAL_FAILURE(OpenAndRecolour(name));
    // The source as it was, for the check's comparison.
    EXPECT_TRUE(CopyFileA(Picture(name).c_str(), JoinPath(OutDir(), "pngsrc-" + stem + ".png").c_str(), FALSE));
    const std::string saved = std::string("pngsave-") + Lang() + "-" + stem;
    for (const char* ext : {".png", ".bmp", ".tif"}) ASSERT_NO_FATAL_FAILURE(SaveAndLeave(saved + ext));

    // Over the source itself after Yes: the source becomes the PNG saved.
    const std::string source = Scratch(name);
    ExpectBox(SaveAnswering(source, true), Saved(source), "over the source");
    std::vector<uint8_t> over, first;
    EXPECT_TRUE(ReadFileBytes(source, &over) && ReadFileBytes(Scratch(saved + ".png"), &first) && over == first)
        << "the source after the save over it";
  }
}

TEST_F(EditorPng, BmpSavedAsPngShowsTheSamePixels) {
  ASSERT_FALSE(OutDir().empty()) << "E2E_OUT is not set";
  for (const char* name : {"im1_33x20.bmp", "im4_101x67.bmp", "td8_257x131.bmp", "im8rle_150x90.bmp"}) {
    SCOPED_TRACE(name);
    ASSERT_NO_FATAL_FAILURE(OpenAndRecolour(name));
    const std::string saved = std::string("bmppng-") + Lang() + "-" + std::string(name, std::strlen(name) - 4);
    for (const char* ext : {".png", ".bmp"}) ASSERT_NO_FATAL_FAILURE(SaveAndLeave(saved + ext));
  }
  // Two colours listed, every pixel index 5: no PNG can hold that.
  size_t stride = 0;
  std::vector<uint8_t> past = Bmp4(8, 4, &stride, 0x55);
  Put32(past, 46, 2);
  ASSERT_TRUE(WriteFileBytes(Scratch("past.bmp"), past));
  ASSERT_NO_FATAL_FAILURE(OpenOk(Scratch("past.bmp"), "past.bmp", "1:1"));
  ASSERT_NO_FATAL_FAILURE(Change(1, kEntry1));
  Rest();
  ExpectBox(SaveAnswering(Scratch("past.png"), false),
            Expected("Error", "エラー", "Unable to save as PNG: some pixels have a color number\nbeyond the color table.",
                     "カラーテーブルにない色番号の画素があるので、\nPNGでは保存できません."),
            "index past the table");
  EXPECT_FALSE(FileExists(Scratch("past.png")));
}

TEST_F(EditorPng, ContentDecidesAndRefusedPngsChangeNothing) {
  // A PNG named .bmp is read as PNG, a BMP named .png as BMP.
  ASSERT_NO_FATAL_FAILURE(OpenAndRecolour("im4_101x67.bmp", "bmp-named.png"));
  ASSERT_NO_FATAL_FAILURE(OpenAndRecolour("png_pil8_41x13.png", "png-named.bmp"));
  const std::string title = WindowText(main());
  struct Want {
    const char *titleEn, *titleJa, *textEn, *textJa;
  };
  const Want notIndexed = {"Warning", "警告", "No color table in a PNG picture of gray or full colors.",
                           "グレーやフルカラーのPNG画像にはカラーテーブルはありません."};
  const Want damaged = {"Error", "エラー", "Not a PNG file with correct format.", "正しいPNGファイルではありません."};
  const struct {
    const char* name;
    const Want& want;
  } cases[] = {{"png_rgb_16x8.png", notIndexed},
               {"png_grey_16x8.png", notIndexed},
               {"png_bad_crc.png", damaged},
               {"png_bad_inflate.png", damaged},
               {"png_bomb_65535x65535.png", damaged}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Box box = OpenRefused(Picture(c.name), c.want.titleEn, c.want.titleJa);
    EXPECT_EQ(box.text, Ansi(Pick(c.want.textEn, c.want.textJa)));
    EXPECT_EQ(WindowText(main()), title);
    // The main window came forward over the palette window with the dialog.
    ASSERT_TRUE(BringForward(Palette(), kPatienceMs));
    EXPECT_TRUE(WaitUntil([&] { return ChipColour(1) == kEntry1.Colour() && ChipColour(0) == kEntry0.Colour(); },
                          kPatienceMs))
        << "the changes were lost";
    EXPECT_TRUE(Enabled(kSave));
  }
}

}  // namespace
