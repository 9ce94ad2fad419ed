// The editor's outputs: the save extension rule and decision sequence, the
// byte comparison of a written BMP with the opened picture, and the
// clipboard DIB's layout, header and sampled rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/bitmap/core/bmp_rules.h"
#include "kestro98/core/clipboard_layout.h"
#include "kestro98/core/save_rules.h"
#include "tests/unit/fixtures/bmp_fixture.h"

namespace {

using namespace kestro;

TEST(SaveRules, ExtensionsAndPaths) {
  struct Case { const char* path; SaveFormat want; };
  const Case cases[] = {
      {"C:\\out\\A.Bmp", SaveFormat::kBmp}, {"C:\\out\\a.tif", SaveFormat::kTiff},
      {"C:\\out\\a.TIF", SaveFormat::kTiff}, {"C:\\out\\a.tiff", SaveFormat::kRefused},
      {"C:\\out\\a", SaveFormat::kRefused}, {"", SaveFormat::kRefused},
      {"C:\\out\\a.png", SaveFormat::kPng}, {"C:\\out\\A.PnG", SaveFormat::kPng},
      {"C:\\out\\a.png.bmp", SaveFormat::kBmp}, {"C:\\out\\a.bmp.png", SaveFormat::kPng},
      {"C:\\out\\a.pngx", SaveFormat::kRefused},
  };
  for (const Case& c : cases) EXPECT_EQ(SaveFormatOfPath(c.path), c.want) << c.path;
  EXPECT_TRUE(SamePath("C:\\Pics\\a.BMP", "c:\\pics\\A.bmp", false));
  EXPECT_FALSE(SamePath("C:\\pics\\a.bmp", "C:\\pics\\a.bmp2", false));
  // Shift-JIS trail bytes 0x61 and 0x41 are different characters.
  EXPECT_FALSE(SamePath("\x83\x61.bmp", "\x83\x41.bmp", true));
  EXPECT_TRUE(SamePath("\x83\x61.bmp", "\x83\x61.BMP", true));
  // The source's size for a copy in its own format, the new file's otherwise.
  EXPECT_EQ(BytesToWrite(SaveFormat::kTiff, SaveFormat::kBmp, 1000, 50000), 50000);
  EXPECT_EQ(BytesToWrite(SaveFormat::kBmp, SaveFormat::kBmp, 1000, 50000), 1000);
  EXPECT_EQ(BytesToWrite(SaveFormat::kPng, SaveFormat::kPng, 1000, 50000), 1000);
  EXPECT_EQ(BytesToWrite(SaveFormat::kPng, SaveFormat::kBmp, 1000, 50000), 50000);
  EXPECT_EQ(BytesToWrite(SaveFormat::kBmp, SaveFormat::kPng, 1000, 50000), 50000);
  // Rows stored uncompressed fit: 8 bits, 1 filter byte a row.
  EXPECT_GE(NewPngBound(16384, 8192, 8), 16385ull * 8192);
  EXPECT_LT(NewPngBound(16384, 8192, 8), 16385ull * 8192 * 102 / 100);
}

TEST(SaveRules, DecisionSequence) {
  struct Case { SaveInputs in; SaveAction want; const char* what; };
  SaveInputs ok{DialogResult::kChosen, true, true, SaveFormat::kBmp, false, Answer::kNotAsked};
  auto with = [&](auto change) { SaveInputs s = ok; change(s); return s; };
  const Case cases[] = {
      {with([](SaveInputs& s) { s.dialog = DialogResult::kFailed; }), SaveAction::kShowDialogError, "dialog failed"},
      {with([](SaveInputs& s) { s.dialog = DialogResult::kCancelled; }), SaveAction::kStop, "cancelled"},
      {with([](SaveInputs& s) { s.fixedDisk = false; s.format = SaveFormat::kRefused; }),
       SaveAction::kNotFixedDisk, "floppy before the extension"},
      {with([](SaveInputs& s) { s.enoughSpace = false; s.format = SaveFormat::kTiff; }),
       SaveAction::kNotEnoughSpace, "space, also for TIFF"},
      {with([](SaveInputs& s) { s.format = SaveFormat::kRefused; }), SaveAction::kWrongExtension, ".tiff"},
      {with([](SaveInputs& s) { s.destinationExists = true; }), SaveAction::kAskOverwrite, "exists"},
      {with([](SaveInputs& s) { s.destinationExists = true; s.overwrite = Answer::kNo; }),
       SaveAction::kStop, "No"},
      {with([](SaveInputs& s) { s.destinationExists = true; s.overwrite = Answer::kYes; }),
       SaveAction::kWriteBmp, "Yes"},
      {with([](SaveInputs& s) { s.format = SaveFormat::kTiff; }), SaveAction::kWriteTiff, "TIFF"},
      {with([](SaveInputs& s) { s.format = SaveFormat::kPng; }), SaveAction::kWritePng, "PNG"},
      {with([](SaveInputs& s) { s.format = SaveFormat::kPng; s.destinationExists = true; }),
       SaveAction::kAskOverwrite, "PNG exists"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecideSave(c.in), c.want) << c.what;
  EXPECT_STREQ(SaveMessageText(SaveMessage::kSourceChanged).text.english,
               "The source file has changed since it was opened.");
}

TEST(SaveRules, WrittenBmpEqualsTheOpenedPictureOutsideTheTable) {
  // A 2-colour file of 70 bytes: header, table at 54..61, 8 bytes of pixels.
  std::vector<uint8_t> file(70);
  for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i * 3);
  std::memset(&file[34], 0, 4);  // biSizeImage 0 in the file
  std::memset(&file[46], 0, 4);  // biClrUsed 0 in the file
  OpenedFile opened;
  std::memcpy(opened.fileHeader, file.data(), 14);
  opened.fileSize = 70;
  std::vector<uint8_t> block(file.begin() + 14, file.end());
  bmp::PutU32(&block[20], 8);   // the lock rules filled these in memory
  bmp::PutU32(&block[32], 2);

  std::vector<uint8_t> written = file;
  written[55] ^= 0xFF;  // the new palette
  EXPECT_TRUE(MatchesOpenedFile(opened, block.data(), block.size(), 2, 0, written.data(), 70));
  // In two chunks as well.
  EXPECT_TRUE(MatchesOpenedFile(opened, block.data(), block.size(), 2, 0, written.data(), 40));
  EXPECT_TRUE(MatchesOpenedFile(opened, block.data(), block.size(), 2, 40, &written[40], 30));
  for (size_t at : {0u, 13u, 14u, 35u, 47u, 53u, 62u, 69u}) {
    std::vector<uint8_t> changed = written;
    changed[at] ^= 1;
    EXPECT_FALSE(MatchesOpenedFile(opened, block.data(), block.size(), 2, 0, changed.data(), 70))
        << "byte " << at;
  }
  // Chunks of every size, with a change anywhere past the table found in
  // whichever chunk holds it.
  for (size_t chunk = 1; chunk <= 70; ++chunk) {
    for (size_t at : {size_t{50}, size_t{62}, size_t{66}, size_t{69}, size_t{70}}) {
      std::vector<uint8_t> changed = written;
      if (at < 70) changed[at] ^= 1;
      bool all = true;
      for (size_t from = 0; from < 70; from += chunk) {
        all = all && MatchesOpenedFile(opened, block.data(), block.size(), 2, from,
                                       &changed[from], std::min<size_t>(chunk, 70 - from));
      }
      EXPECT_EQ(all, at == 70) << "chunks of " << chunk << ", byte " << at;
    }
  }
  written.push_back(0);
  EXPECT_FALSE(MatchesOpenedFile(opened, block.data(), block.size(), 2, 0, written.data(), 71))
      << "a longer file";
}

// Each header the editor opens, with the table as the file lists it: the
// saved file may differ from the source in the table's bytes only, wherever
// the header puts them and however long its entries are.
TEST(SaveRules, OnlyTheTableMayChangeAfterEveryHeader) {
  struct Case { const char* label; uint32_t infoSize; uint16_t bits; uint32_t clrUsed; size_t listed; };
  const Case cases[] = {
      {"version 5, 100 colours", 124, 8, 100, 100}, {"version 4, 2 colours", 108, 1, 0, 2},
      {"56 bytes, 12 of 16", 56, 4, 12, 12},       {"core header, 16", 12, 4, 0, 16},
      {"core header, 100 of 256", 12, 8, 0, 100},  {"40 bytes, 252", 40, 8, 252, 252},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    fixture::Picture p;
    p.infoSize = c.infoSize; p.width = 7; p.height = 3; p.bits = c.bits; p.clrUsed = c.clrUsed;
    p.palette = fixture::Palette(c.listed);
    p.pixels = fixture::Rows(7, 3, c.bits, [](int32_t x, int32_t y) { return x + 5 * y; });
    const std::vector<uint8_t> file = fixture::File(p);
    std::vector<uint8_t> block(file.begin() + 14, file.end());
    bmp::BlockLayout layout;
    ASSERT_EQ(bmp::ApplyLockRules(block.data(), block.size(), bmp::ParseFileHeader(file.data()),
                                  &layout), bmp::BlockCheck::kOk);
    OpenedFile opened;
    std::memcpy(opened.fileHeader, file.data(), 14);
    opened.sizeImage = bmp::GetU32(&file[34]);
    opened.clrUsed = bmp::GetU32(&file[46]);
    opened.infoSize = bmp::GetU32(&file[14]);
    opened.fileSize = static_cast<int64_t>(file.size());
    const int32_t n = static_cast<int32_t>(c.listed);
    const size_t tableStart = 14 + c.infoSize, tableEnd = tableStart + fixture::EntrySize(p) * c.listed;
    for (size_t at = 0; at < file.size(); ++at) {
      std::vector<uint8_t> written = file;
      written[at] ^= 0x40;
      const bool inTable = at >= tableStart && at < tableEnd;
      ASSERT_EQ(MatchesOpenedFile(opened, block.data(), block.size(), n, 0, written.data(),
                                  written.size()), inTable) << "byte " << at;
    }
  }
}

TEST(ClipboardLayout, TheEdgeCases) {
  struct Case { int32_t w, h; uint16_t bits; int32_t colours, level; int64_t dw, dh; uint64_t row, block; };
  const Case cases[] = {
      {33, 4, 1, 2, 0, 33, 4, 8, 40 + 8 + 8 * 4},
      {33, 4, 1, 2, 1, 66, 8, 12, 40 + 8 + 12 * 8},
      {100, 50, 4, 16, -1, 50, 25, 28, 40 + 64 + 700},
      {3, 3, 8, 256, -2, 1, 1, 4, 40 + 1024 + 4},
  };
  for (const Case& c : cases) {
    ClipLayout l;
    ASSERT_TRUE(ClipboardLayout(c.w, c.h, c.bits, c.colours, c.level, &l));
    EXPECT_EQ(l.width, c.dw);
    EXPECT_EQ(l.height, c.dh);
    EXPECT_EQ(l.rowBytes, c.row);
    EXPECT_EQ(l.blockBytes, c.block);
  }
  ClipLayout l;
  EXPECT_FALSE(ClipboardLayout(2, 2, 8, 256, -2, &l)) << "nothing to copy at 1:3";
  EXPECT_FALSE(ClipboardLayout(65536, 65536, 8, 256, 9, &l)) << "image size beyond 32 bits";
  EXPECT_GT(l.imageBytes, 0xFFFFFFFFull);
}

TEST(ClipboardLayout, HeaderPaletteAndIndices) {
  static PaletteHistory palette;
  uint8_t table[8] = {10, 20, 30, 99, 40, 50, 60, 99};
  ASSERT_TRUE(palette.Reset(table, sizeof table, 2));
  ASSERT_TRUE(palette.Press(1, Rgb{1, 2, 3}));
  ClipLayout l;
  ASSERT_TRUE(ClipboardLayout(33, 4, 1, 2, 1, &l));
  std::vector<uint8_t> dib(l.blockBytes);
  ASSERT_TRUE(WriteClipboardHeader(l, palette, dib.data(), dib.size()));
  EXPECT_EQ(bmp::GetU32(&dib[0]), 40u);
  EXPECT_EQ(bmp::GetI32(&dib[4]), 66);
  EXPECT_EQ(bmp::GetI32(&dib[8]), 8);
  EXPECT_EQ(bmp::GetU16(&dib[12]), 1);
  EXPECT_EQ(bmp::GetU16(&dib[14]), 1);
  EXPECT_EQ(bmp::GetU32(&dib[20]), 96u);
  EXPECT_EQ(bmp::GetU32(&dib[32]), 2u);
  EXPECT_EQ(bmp::GetU32(&dib[36]), 2u);
  const uint8_t wantTable[8] = {10, 20, 30, 0, 3, 2, 1, 0};
  EXPECT_EQ(std::memcmp(&dib[40], wantTable, 8), 0);

  // A table of 12 in a 4-bit picture: handed over as 16 entries, the last 4 black.
  uint8_t twelve[48];
  for (int i = 0; i < 48; ++i) twelve[i] = static_cast<uint8_t>(i + 1);
  ASSERT_TRUE(palette.Reset(twelve, sizeof twelve, 12));
  ClipLayout l4;
  ASSERT_TRUE(ClipboardLayout(5, 2, 4, 16, 0, &l4));
  std::vector<uint8_t> dib4(l4.blockBytes, 0xEE);
  ASSERT_TRUE(WriteClipboardHeader(l4, palette, dib4.data(), dib4.size()));
  EXPECT_EQ(bmp::GetU32(&dib4[32]), 16u);
  for (int i = 0; i < 16; ++i) {
    const uint8_t want[4] = {static_cast<uint8_t>(i < 12 ? 4 * i + 1 : 0),
                             static_cast<uint8_t>(i < 12 ? 4 * i + 2 : 0),
                             static_cast<uint8_t>(i < 12 ? 4 * i + 3 : 0), 0};
    EXPECT_EQ(std::memcmp(&dib4[40 + 4 * i], want, 4), 0) << "entry " << i;
  }
  ASSERT_TRUE(palette.Reset(twelve, sizeof twelve, 12));
  EXPECT_FALSE(ClipboardLayout(5, 2, 4, 8, 0, &l4) && WriteClipboardHeader(l4, palette, dib4.data(), dib4.size()))
      << "a clipboard table shorter than the palette";

  // The rows: a 1-bit 33 x 4 picture doubled, indices kept.
  std::vector<uint8_t> rows(8 * 4, 0);
  rows[0] = 0x80;  // bottom row, pixel 0 = index 1
  sampling::SourceRows src{rows.data(), rows.size(), 33, 4, 1, 8, false};
  sampling::Sampled out;
  ASSERT_TRUE(sampling::Sample(src, CopyStretch(l, 33, 4), l.imageBytes, &out));
  ASSERT_EQ(out.pixels.size(), l.imageBytes);
  EXPECT_EQ(out.rowStride, l.rowBytes);
  EXPECT_EQ(out.pixels[0], 0xC0) << "bottom row: pixels 0 and 1 of the copy";
  EXPECT_EQ(out.pixels[12], 0xC0);
  EXPECT_EQ(out.pixels[24], 0x00);
}

// The copy's rows, band by band (or whole at 1:1), are exactly what one
// Sample of the whole stretch gives, for every depth, odd widths, top-down
// rows with dirty padding, and zooms from 1:10 to 10:1 including pictures
// whose copy spans several bands.
TEST(ClipboardLayout, FilledRowsEqualOneSampleOfTheWholePicture) {
  struct Case { int32_t w, h; uint16_t bits; bool topDown; };
  const Case cases[] = {{33, 7, 1, false}, {35, 9, 4, true}, {17, 5, 8, false},
                        {2100, 700, 8, true}, {3000, 400, 4, false}};
  const int32_t levels[] = {-9, -2, -1, 0, 1, 2, 9};
  uint32_t state = 5;
  for (const Case& c : cases) {
    const uint64_t stride = bmp::PaddedRowBytes(c.w, c.bits) + 4;  // dirty padding beyond the row
    std::vector<uint8_t> bytes(static_cast<size_t>(stride * c.h));
    for (uint8_t& b : bytes) b = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 16);
    const sampling::SourceRows src{bytes.data(), bytes.size(), c.w, c.h, c.bits, stride, c.topDown};
    for (int32_t level : levels) {
      ClipLayout l;
      if (!ClipboardLayout(c.w, c.h, c.bits, 1 << c.bits, level, &l)) continue;
      if (l.imageBytes > 64u << 20) continue;
      sampling::Sampled want;
      ASSERT_TRUE(sampling::Sample(src, CopyStretch(l, c.w, c.h), l.imageBytes, &want));
      std::vector<uint8_t> got(static_cast<size_t>(l.imageBytes), 0xCD);
      ASSERT_TRUE(FillClipboardPixels(src, l, got.data(), got.size()));
      EXPECT_TRUE(got == want.pixels) << c.w << " x " << c.h << " x " << c.bits << " at " << level;
    }
  }
  ClipLayout l;
  ASSERT_TRUE(ClipboardLayout(4, 4, 8, 256, 0, &l));
  std::vector<uint8_t> small(8);
  const sampling::SourceRows shortRows{small.data(), small.size(), 4, 4, 8, 4, false};
  std::vector<uint8_t> out(static_cast<size_t>(l.imageBytes));
  EXPECT_FALSE(FillClipboardPixels(shortRows, l, out.data(), out.size()))
      << "rows that do not hold the picture";
}

}  // namespace
