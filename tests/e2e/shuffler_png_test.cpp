// Indexed PNGs in one started shuffler: Pillow's and ImageMagick's opened,
// randomised twice, saved as BMP, TIFF and PNG; BMPs saved as PNG; refusals.
// run-tier.sh judges the files: check-out.sh the BMPs and TIFFs,
// check_shuffled_png.py the PNGs (pout-LANG-NAME.png, bout-LANG-NAME.png).
#include <gtest/gtest.h>

#include "tests/e2e/shuffler_session.h"

using namespace e2e;
using namespace e2e::shuffler;

namespace {

// The success box of a save, answered, against its text for that path.
testing::AssertionResult Saved(Shuffler& app, const char* english, const char* japanese, const std::string& path) {
  const std::string got = app.Answer("Information", "お知らせ");
  const std::string want = Ansi(Pick(english, japanese)) + path + Ansi(Pick("\nhas been successfully saved.", "\nが保存されました."));
  return got == want ? testing::AssertionSuccess() : testing::AssertionFailure() << got;
}

// One shuffler for the suite, started by the first case; only one copy may run.
class MirtavPng : public testing::Test {
 protected:
  inline static Shuffler app_;
  Image shown_;  // the reference of the picture OpenShown opened
  static void TearDownTestSuite() { app_.run().Close(); }
  void SetUp() override {
    if (Pictures().empty() || OutDir().empty()) GTEST_SKIP() << "E2E_PICTURES / E2E_OUT are set by run-tier.sh";
    std::string error;
    ASSERT_TRUE(IsWindow(app_.main()) || app_.Start(&error)) << error;
  }
  // Opens a file and waits until it shows as the reference of `stem`, its
  // palette (BMP or PNG, as the content says) in the window; the palette.
  std::vector<uint32_t> OpenShown(const std::string& path, const std::string& stem, int bits) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    const std::vector<uint32_t> palette = !bytes.empty() && bytes[0] == 'B' ? PaletteOf(bytes) : PngPalette(bytes);
    EXPECT_TRUE(LoadReference(JoinPath(Pictures(), stem + ".ref.bmp"), &shown_)) << stem;
    EXPECT_TRUE(app_.Open(path));
    EXPECT_TRUE(AwaitTitle(app_.main(), ExpectedTitle(path.substr(path.rfind('\\') + 1), 1)));
    EXPECT_TRUE(app_.AwaitButtons("RC-"));
    ExpectCells(app_.PaletteShowing(palette, CellsOf(palette, bits)), palette, path, bits);
    EXPECT_TRUE(app_.Shows(shown_)) << path;
    return palette;
  }
};

TEST_F(MirtavPng, OpensRandomisesTwiceAndSavesAsBmpTiffAndPng) {
  const struct { const char* name; int bits; } pngs[] = {
      {"spng_pil8_chunks_64x40", 8}, {"spng_pil4_12c_45x21", 4}, {"spng_im8_trns_50x30", 8},
      {"spng_im8_interlaced_77x43", 8}, {"spng_im4_interlaced_47x29", 4}};
  const std::string out = OutDir(), lang = Lang();
  for (const auto& p : pngs) {
    SCOPED_TRACE(p.name);
    const std::vector<uint32_t> stored = OpenShown(JoinPath(Pictures(), std::string(p.name) + ".png"), p.name, p.bits);
    ASSERT_TRUE(app_.Randomise());
    EXPECT_TRUE(app_.Shows(shown_)) << "randomised";
    const std::string bmp = JoinPath(out, "out-" + lang + "-" + p.name + ".bmp");
    const std::string tif = JoinPath(out, "out-" + lang + "-" + p.name + ".tif");
    ASSERT_TRUE(app_.Save(bmp));
    EXPECT_TRUE(Saved(app_, "A bitmap file (BMP)\n", "ビットマップファイル (BMP)\n", bmp));
    EXPECT_EQ(PaletteOf(ReadBytes(bmp)).size(), stored.size()) << "the table at PLTE's length";
    ASSERT_TRUE(app_.Save(tif));
    EXPECT_TRUE(Saved(app_, "A tiff file (TIF)\n", "ティフファイル (TIF)\n", tif));
    // A second order on top of the first: the PNG follows both, in the order the window shows.
    ASSERT_TRUE(app_.Randomise());
    EXPECT_TRUE(app_.Shows(shown_)) << "randomised again";
    const std::string png = JoinPath(out, "pout-" + lang + "-" + p.name + ".png");
    ASSERT_TRUE(app_.Save(png));
    EXPECT_TRUE(Saved(app_, "A png file (PNG)\n", "ピングファイル (PNG)\n", png));
    const std::vector<uint32_t> saved = PngPalette(ReadBytes(png));
    ExpectCells(app_.PaletteShowing(saved, CellsOf(saved, p.bits)), saved, "the window and the saved PLTE", p.bits);
    OpenShown(png, p.name, p.bits);  // what was saved opens again and looks the same
  }
  // BMPs saved as PNG (4 bits with a short table, 8 bits RLE, top-down), and
  // a PNG named .bmp: the content decides, the extension only gates.
  const struct { const char* name; int bits; } bmps[] = {
      {"im4_101x67", 4}, {"list12_4_101x67", 4}, {"im8rle_150x90", 8}, {"td8_257x131", 8}};
  for (const auto& b : bmps) {
    OpenShown(JoinPath(Pictures(), std::string(b.name) + ".bmp"), b.name, b.bits);
    ASSERT_TRUE(app_.Randomise());
    const std::string png = JoinPath(out, "bout-" + lang + "-" + b.name + ".png");
    ASSERT_TRUE(app_.Save(png));
    EXPECT_TRUE(Saved(app_, "A png file (PNG)\n", "ピングファイル (PNG)\n", png));
  }
  const std::string named = JoinPath(out, "png-inside-" + lang + ".bmp");
  ASSERT_TRUE(WriteBytes(named, ReadBytes(JoinPath(Pictures(), "spng_pil4_12c_45x21.png"))));
  OpenShown(named, "spng_pil4_12c_45x21", 4);
}

TEST_F(MirtavPng, RefusalsLeaveTheShownPictureAsItWas) {
  const char* kDepth[] = {"Select a 4bit or 8bit bitmap file.", "16色・256色のビットマップを選定してください.", "Warning", "警告"};
  const char* kDamaged[] = {"Not a PNG file with correct format.", "正しいPNGファイルではありません.", "Error", "エラー"};
  const char* kNotIndexed[] = {"No color table in a PNG picture of gray or full colors.",
                               "グレーやフルカラーのPNG画像にはカラーテーブルはありません.", "Warning", "警告"};
  const struct { const char* file; const char* const* message; } cases[] = {
      {"spng_pil2_21x9.png", kDepth},      {"spng_pil1_19x7.png", kDepth},        {"spng_rgba_16x8.png", kNotIndexed},
      {"spng_bad_idat.png", kDamaged},     {"spng_bad_crc.png", kDamaged}};

  const std::string shown = "spng_pil8_chunks_64x40";
  OpenShown(JoinPath(Pictures(), shown + ".png"), shown, 8);
  ASSERT_TRUE(app_.Randomise());
  HWND paletteWindow = nullptr;
  ASSERT_TRUE(app_.AwaitPalette(&paletteWindow) && AwaitPainted(paletteWindow));
  const Image palette = app_.PaletteClient();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(app_.Open(JoinPath(Pictures(), c.file)));
    EXPECT_EQ(app_.Answer(c.message[2], c.message[3]), Ansi(Pick(c.message[0], c.message[1])));
    EXPECT_TRUE(app_.NoBox(200)) << "a second message";
    EXPECT_EQ(WindowText(app_.main()), ExpectedTitle(shown + ".png", 1));
    EXPECT_EQ(app_.Buttons(), "-CS") << "the randomised picture is still the one offered";
    EXPECT_TRUE(app_.Shows(shown_));
    EXPECT_TRUE(WaitUntil([&] { return DifferentPixels(app_.PaletteClient(), palette) == 0; }, kPatienceMs))
        << "the palette window changed";
  }
  // Still saved from the PNG it came from: its chunks, the new order.
  const std::string saved = JoinPath(OutDir(), "pout-" + Lang() + "-" + shown + "@refusals.png");
  ASSERT_TRUE(app_.Save(saved));
  EXPECT_TRUE(Saved(app_, "A png file (PNG)\n", "ピングファイル (PNG)\n", saved));
}

}  // namespace
