// Indexed PNG in the shuffler, used as a person would, one started shuffler
// for the suite: PNGs of Pillow and ImageMagick (4 and 8 bits, tRNS, bKGD,
// hIST, text and private chunks, interlaced) opened, randomised twice and
// saved as BMP, TIFF and PNG; BMPs saved as PNG; the PNGs it refuses. The
// saved BMPs and TIFFs are judged by check-out.sh against ImageMagick's
// renderings, the saved PNGs (pout-LANG-NAME.png from a PNG, bout-LANG-NAME.png
// from a BMP) by check_shuffled_png.py with Pillow.
#include <gtest/gtest.h>

#include <set>

#include "tests/e2e/shuffler_session.h"

using namespace e2e;
using namespace e2e::shuffler;

namespace {

// The PLTE colours of a PNG file as 0x00RRGGBB.
std::vector<uint32_t> PngPalette(const std::vector<uint8_t>& file) {
  std::vector<uint32_t> colours;
  for (size_t at = 8; at + 12 <= file.size();) {
    const size_t length = static_cast<size_t>(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
    if (length > file.size() - at - 12) break;
    if (std::memcmp(&file[at + 4], "PLTE", 4) == 0) {
      for (size_t i = at + 8; i + 3 <= at + 8 + length; i += 3) {
        colours.push_back(static_cast<uint32_t>(file[i]) << 16 | file[i + 1] << 8 | file[i + 2]);
      }
    }
    at += 12 + length;
  }
  return colours;
}

std::string SavedText(const char* english, const char* japanese, const std::string& path) {
  return Ansi(Pick(english, japanese)) + path + Ansi(Pick("\nhas been successfully saved.", "\nが保存されました."));
}

class MirtavPng : public testing::Test {
 protected:
  inline static Shuffler* app_ = nullptr;
  static void SetUpTestSuite() {
    app_ = new Shuffler;
    std::string error;
    if (!app_->Start(&error)) std::fprintf(stderr, "the shuffler did not start: %s\n", error.c_str());
  }
  static void TearDownTestSuite() {
    delete app_;
    app_ = nullptr;
  }
  void SetUp() override {
    if (Pictures().empty() || OutDir().empty()) GTEST_SKIP() << "E2E_PICTURES / E2E_OUT are set by run-tier.sh";
    ASSERT_NE(app_->main(), nullptr) << "the shuffler did not start";
  }
  // Opens a picture and waits until it shows as its reference, its palette in the window.
  void OpenShown(const std::string& path, const std::string& name, const Image& reference,
                 const std::vector<uint32_t>& palette, int bits) {
    ASSERT_TRUE(app_->Open(path));
    ASSERT_TRUE(AwaitTitle(app_->main(), ExpectedTitle(name, 1)));
    EXPECT_TRUE(app_->AwaitButtons("RC-"));
    HWND window = nullptr;
    ASSERT_TRUE(app_->AwaitPalette(&window));
    ExpectCells(app_->PaletteShowing(palette, CellsOf(palette, bits)), palette, name, bits);
    ASSERT_TRUE(app_->Shows(reference)) << name;
  }
};

TEST_F(MirtavPng, OpensRandomisesTwiceAndSavesAsBmpTiffAndPng) {
  const struct { const char* name; int width, height, bits; } pngs[] = {
      {"spng_pil8_chunks_64x40", 64, 40, 8},    {"spng_pil4_12c_45x21", 45, 21, 4},
      {"spng_im8_trns_50x30", 50, 30, 8},       {"spng_im8_interlaced_77x43", 77, 43, 8},
      {"spng_im4_interlaced_47x29", 47, 29, 4},
  };
  const std::string pictures = Pictures(), out = OutDir();
  for (const auto& p : pngs) {
    SCOPED_TRACE(p.name);
    const std::string file = std::string(p.name) + ".png";
    Image reference;
    ASSERT_TRUE(LoadReference(JoinPath(pictures, std::string(p.name) + ".ref.bmp"), &reference));
    const std::vector<uint32_t> stored = PngPalette(ReadBytes(JoinPath(pictures, file)));
    OpenShown(JoinPath(pictures, file), file, reference, stored, p.bits);
    ASSERT_TRUE(app_->Randomise());
    EXPECT_TRUE(app_->Shows(reference)) << "randomised";
    const std::string bmp = JoinPath(out, "out-" + Lang() + "-" + p.name + ".bmp");
    const std::string tif = JoinPath(out, "out-" + Lang() + "-" + p.name + ".tif");
    ASSERT_TRUE(app_->Save(bmp));
    EXPECT_EQ(app_->Answer("Information", "お知らせ"), SavedText("A bitmap file (BMP)\n", "ビットマップファイル (BMP)\n", bmp));
    EXPECT_EQ(PaletteOf(ReadBytes(bmp)).size(), stored.size()) << "the table at PLTE's length";
    ASSERT_TRUE(app_->Save(tif));
    EXPECT_EQ(app_->Answer("Information", "お知らせ"), SavedText("A tiff file (TIF)\n", "ティフファイル (TIF)\n", tif));

    // A second order on top of the first: the PNG follows both.
    ASSERT_TRUE(app_->Randomise());
    EXPECT_TRUE(app_->Shows(reference)) << "randomised again";
    const std::string png = JoinPath(out, "pout-" + Lang() + "-" + p.name + ".png");
    ASSERT_TRUE(app_->Save(png));
    EXPECT_EQ(app_->Answer("Information", "お知らせ"), SavedText("A png file (PNG)\n", "ピングファイル (PNG)\n", png));
    const std::vector<uint32_t> saved = PngPalette(ReadBytes(png));
    EXPECT_EQ(std::multiset<uint32_t>(saved.begin(), saved.end()), std::multiset<uint32_t>(stored.begin(), stored.end()));
    ExpectCells(app_->PaletteShowing(saved, CellsOf(saved, p.bits)), saved, "the window shows the saved order", p.bits);
    // What was saved opens again and looks the same.
    OpenShown(png, png.substr(png.rfind('\\') + 1), reference, saved, p.bits);
  }

  // BMPs saved as PNG: 4 bits with a short table, 8 bits RLE, top-down.
  const struct { const char* name; int bits; } bmps[] = {
      {"im4_101x67", 4}, {"list12_4_101x67", 4}, {"im8rle_150x90", 8}, {"td8_257x131", 8}};
  for (const auto& b : bmps) {
    SCOPED_TRACE(b.name);
    const std::string file = std::string(b.name) + ".bmp";
    Image reference;
    ASSERT_TRUE(LoadReference(JoinPath(pictures, std::string(b.name) + ".ref.bmp"), &reference));
    OpenShown(JoinPath(pictures, file), file, reference, PaletteOf(ReadBytes(JoinPath(pictures, file))), b.bits);
    ASSERT_TRUE(app_->Randomise());
    const std::string png = JoinPath(out, "bout-" + Lang() + "-" + b.name + ".png");
    ASSERT_TRUE(app_->Save(png));
    EXPECT_EQ(app_->Answer("Information", "お知らせ"), SavedText("A png file (PNG)\n", "ピングファイル (PNG)\n", png));
  }

  // The content decides, the extension only gates: a PNG named .bmp opens as a PNG.
  const std::string named = JoinPath(out, "png-inside-" + Lang() + ".bmp");
  ASSERT_TRUE(WriteBytes(named, ReadBytes(JoinPath(pictures, "spng_pil4_12c_45x21.png"))));
  Image reference;
  ASSERT_TRUE(LoadReference(JoinPath(pictures, "spng_pil4_12c_45x21.ref.bmp"), &reference));
  OpenShown(named, named.substr(named.rfind('\\') + 1), reference,
            PngPalette(ReadBytes(JoinPath(pictures, "spng_pil4_12c_45x21.png"))), 4);
}

TEST_F(MirtavPng, RefusalsLeaveTheShownPictureAsItWas) {
  const std::string pictures = Pictures(), out = OutDir();
  std::vector<uint8_t> badCrc = ReadBytes(JoinPath(pictures, "spng_pil4_12c_45x21.png"));
  ASSERT_GT(badCrc.size(), 40u);
  badCrc[29] ^= 0x01;  // IHDR's CRC
  ASSERT_TRUE(WriteBytes(JoinPath(out, "bad-crc.png"), badCrc));
  ASSERT_TRUE(WriteBytes(JoinPath(out, "picture.gif"), badCrc));
  const char* kDepth[] = {"Select a 4bit or 8bit bitmap file.", "16色・256色のビットマップを選定してください.", "Warning", "警告"};
  const char* kDamaged[] = {"Not a PNG file with correct format.", "正しいPNGファイルではありません.", "Error", "エラー"};
  const char* kNotIndexed[] = {"No color table in a PNG picture of gray or full colors.",
                               "グレーやフルカラーのPNG画像にはカラーテーブルはありません.", "Warning", "警告"};
  const char* kExtension[] = {"Select a file with BMP or PNG extension.", "拡張子 BMP or PNG のファイルを選択してください.",
                              "Error", "エラー"};
  const struct { std::string path; const char* const* message; } cases[] = {
      {JoinPath(pictures, "spng_pil2_21x9.png"), kDepth},    {JoinPath(pictures, "spng_pil1_19x7.png"), kDepth},
      {JoinPath(pictures, "spng_rgba_16x8.png"), kNotIndexed}, {JoinPath(pictures, "spng_bad_idat.png"), kDamaged},
      {JoinPath(out, "bad-crc.png"), kDamaged},              {JoinPath(out, "picture.gif"), kExtension},
  };

  const std::string shown = "spng_pil8_chunks_64x40.png";
  Image picture;
  ASSERT_TRUE(LoadReference(JoinPath(pictures, "spng_pil8_chunks_64x40.ref.bmp"), &picture));
  OpenShown(JoinPath(pictures, shown), shown, picture, PngPalette(ReadBytes(JoinPath(pictures, shown))), 8);
  ASSERT_TRUE(app_->Randomise());
  HWND paletteWindow = nullptr;
  ASSERT_TRUE(app_->AwaitPalette(&paletteWindow));
  ASSERT_TRUE(AwaitPainted(paletteWindow));
  const Image palette = app_->PaletteClient();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    ASSERT_TRUE(app_->Open(c.path));
    EXPECT_EQ(app_->Answer(c.message[2], c.message[3]), Ansi(Pick(c.message[0], c.message[1])));
    EXPECT_TRUE(app_->NoBox(200)) << "a second message";
    EXPECT_EQ(WindowText(app_->main()), ExpectedTitle(shown, 1));
    EXPECT_EQ(app_->Buttons(), "-CS") << "the randomised picture is still the one offered";
    EXPECT_TRUE(app_->Shows(picture));
    Image now;
    EXPECT_TRUE(WaitUntil([&] { now = app_->PaletteClient(); return DifferentPixels(now, palette) == 0; }, kPatienceMs))
        << "the palette window changed";
  }
  // Still saved from the PNG it came from: its chunks, the new order.
  const std::string saved = JoinPath(out, "pout-" + Lang() + "-spng_pil8_chunks_64x40@refusals.png");
  ASSERT_TRUE(app_->Save(saved));
  EXPECT_EQ(app_->Answer("Information", "お知らせ"), SavedText("A png file (PNG)\n", "ピングファイル (PNG)\n", saved));
}

}  // namespace
