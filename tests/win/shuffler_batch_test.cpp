// Arrange pictures to palette in-process: a set of BMP and PNG files made
// here (one in the palette's order, one BMP and one PNG arranged, one lacking
// a colour, one damaged, one of another name) arranged in place and into
// another folder, each file's bytes judged afterwards; Cancel in the
// progress window between files; and the picture on the screen untouched.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/png_codec.h"
#include "common/bitmap/png_picture.h"
#include "common/ui/program_description.h"
#include "kestro98/description.h"
#include "mirtav00/batch_arrange.h"
#include "mirtav00/core/messages.h"
#include "mirtav00/description.h"
#include "mirtav00/load_bitmap.h"
#include "mirtav00/picture.h"
#include "tests/win/per_language.h"
#include "tests/win/win_test_support.h"

namespace {

using namespace mirtav;
using batch::Outcome;

constexpr int kW = 13, kH = 5;  // odd: rows padded in both formats

uint32_t Colour(int i) { return 0x100000u * static_cast<uint32_t>(i) + 0x0301u * static_cast<uint32_t>(15 - i) + 7; }

void Put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A bottom-up 8-bit BMP, its table `table` (0xRRGGBB), pixel (x, y) = (x + 3y) % n.
std::vector<uint8_t> Bmp(const std::vector<uint32_t>& table) {
  const uint32_t stride = (kW + 3) & ~3u, n = static_cast<uint32_t>(table.size());
  const uint32_t offset = 54 + 4 * n;
  std::vector<uint8_t> b = {'B', 'M'};
  Put32(b, offset + stride * kH);
  Put32(b, 0);
  Put32(b, offset);
  for (uint32_t v : {40u, uint32_t(kW), uint32_t(kH), 0x00080001u, 0u, stride * kH, 2835u, 2835u, n, 0u}) Put32(b, v);
  for (uint32_t c : table) Put32(b, c);
  for (int y = kH - 1; y >= 0; --y) {
    for (uint32_t x = 0; x < stride; ++x) b.push_back(x < kW ? static_cast<uint8_t>((x + 3 * y) % n) : 0);
  }
  return b;
}

std::vector<uint8_t> Png(const std::vector<uint32_t>& table) {
  std::vector<uint8_t> rows(kW * kH);
  for (int i = 0; i < kW * kH; ++i) rows[i] = static_cast<uint8_t>((i % kW + 3 * (i / kW)) % table.size());
  IndexRows source;
  source.rows = rows.data();
  source.size = rows.size();
  source.stride = source.width = kW;
  source.height = kH;
  source.depth = 8;
  std::vector<uint32_t> argb;
  for (uint32_t c : table) argb.push_back(0xFF000000u | c);
  std::vector<uint8_t> out;
  EXPECT_EQ(EncodeIndexedPng(source, 8, argb.data(), static_cast<uint32_t>(argb.size()), false, &out), PngResult::kOk);
  return out;
}

// Each pixel's colour, top row first: what a viewer shows.
std::vector<uint32_t> BmpColours(const std::vector<uint8_t>& b, std::vector<uint32_t>* table) {
  std::vector<uint32_t> colours;
  if (b.size() < 54) return colours;
  auto u32 = [&](size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; };
  const uint32_t n = u32(46), offset = u32(10), stride = (kW + 3) & ~3u;
  table->clear();
  for (uint32_t i = 0; i < n; ++i) table->push_back(u32(54 + 4 * i) & 0xFFFFFF);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const size_t at = offset + (kH - 1 - y) * stride + x;
      colours.push_back(at < b.size() && b[at] < n ? (*table)[b[at]] : 0xDEAD);
    }
  return colours;
}

std::vector<uint32_t> PngColours(const std::vector<uint8_t>& b, std::vector<uint32_t>* table) {
  IndexedPngFrame frame;
  std::vector<uint32_t> colours;
  if (frame.Open(b.data(), b.size()) != PngResult::kOk) return colours;
  std::vector<uint8_t> rows(kW * kH);
  if (frame.CopyIndexRows(rows.data(), rows.size(), kW, 8, false) != PngResult::kOk) return colours;
  table->clear();
  for (uint32_t c : frame.Palette()) table->push_back(c & 0xFFFFFF);
  for (uint8_t i : rows) colours.push_back(i < table->size() ? (*table)[i] : 0xDEAD);
  return colours;
}

std::vector<uint8_t> Read(const std::string& path) {
  std::vector<uint8_t> bytes;
  wintest::ReadWholeFile(path, &bytes);
  return bytes;
}

std::string Formatted(const Message& m, unsigned long n) {
  std::string text = wintest::Ansi(IsJapanese() ? m.text.japanese : m.text.english);
  const size_t at = text.find("%lu");
  return at == std::string::npos ? text : text.replace(at, 3, std::to_string(n));
}

// Sixteen colours in order and backwards, and the palette file's colours (in order).
struct Sixteen {
  std::vector<uint32_t> order, reversed;
  std::vector<palette_file::Colour> palette;
  Sixteen() {
    for (int i = 0; i < 16; ++i) {
      order.push_back(Colour(i));
      reversed.insert(reversed.begin(), Colour(i));
      palette.push_back({uint8_t(Colour(i) >> 16), uint8_t(Colour(i) >> 8), uint8_t(Colour(i))});
    }
  }
};

HWND progressSeen = nullptr;
void CancelAfterFirst(HWND progress, size_t done) {
  progressSeen = progress;
  if (done == 1 && progress != nullptr) PostMessageA(progress, WM_COMMAND, IDCANCEL, 0);
}

// The progress window's template is in the program's resources.
HMODULE ProgramResources() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  path = path.substr(0, path.find_last_of('\\') + 1) + "..\\..\\bin\\MIRTAV00.EXE";
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

class ShufflerBatch : public wintest::PerLanguage {
 protected:
  void SetUp() override {
    PerLanguage::SetUp();
    AdoptProgram(mirtav::kDescription);
  }
  void TearDown() override {
    ReleaseDibBlock();
    pictureState = PictureState::kNoPicture;
    AdoptProgram(kestro::kDescription);
    PerLanguage::TearDown();
  }
};

TEST_P(ShufflerBatch, EachFileArrangedOrLeftAsItWasAndTheShownPictureKept) {
  const Sixteen colours;
  const std::vector<uint32_t>& order = colours.order;
  const std::vector<uint32_t>& reversed = colours.reversed;
  const std::vector<palette_file::Colour>& palette = colours.palette;
  std::vector<uint32_t> lacking = reversed;
  lacking[4] = 0x123456;
  std::vector<uint32_t> shuffled = order;
  std::swap(shuffled[0], shuffled[9]);
  std::swap(shuffled[3], shuffled[15]);
  std::vector<uint8_t> damaged = Png(reversed);
  damaged[45] ^= 0x55;  // inside PLTE: its CRC no longer holds

  const std::string dir = wintest::ScratchFolder(), out = dir + "out";
  ASSERT_TRUE(CreateDirectoryA(out.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    Outcome want;
    std::string reason;
  };
  const Case cases[] = {
      {"inorder.bmp", Bmp(order), Outcome::kInOrder, ""},
      {"reversed.bmp", Bmp(reversed), Outcome::kArranged, ""},
      {"shuffled.png", Png(shuffled), Outcome::kArranged, ""},
      {"lacking.bmp", Bmp(lacking), Outcome::kRefused, Formatted(kMsgColoursMissing, 1)},
      {"damaged.png", damaged, Outcome::kRefused, Formatted(PngReadMessage(PngRead::kDamaged), 0)},
      {"other.gif", Bmp(reversed), Outcome::kRefused, Formatted(kMsgOpenNotBmp, 0)},
  };
  std::vector<std::string> paths;
  for (const Case& c : cases) {
    paths.push_back(dir + c.name);
    ASSERT_TRUE(wintest::WriteWholeFile(paths.back(), c.bytes)) << c.name;
  }

  // A picture shown, its order changed and not saved.
  const std::string shown = dir + "shown.bmp";
  ASSERT_TRUE(wintest::WriteWholeFile(shown, Bmp(reversed)));
  ASSERT_TRUE(LoadBmpFile(mainWindow, shown.c_str()));
  pictureState = PictureState::kChanged;
  std::swap(sourceOrder[0], sourceOrder[1]);  // an order not yet saved
  SetWindowTextA(mainWindow, "shown picture");
  shuffle::PaletteEntry tableBefore[256];
  std::memcpy(tableBefore, PaletteTable, sizeof tableBefore);
  const HGLOBAL blockBefore = dibBlockHandle;
  auto shownBytes = [] {
    const uint8_t* start = static_cast<uint8_t*>(GlobalLock(dibBlockHandle));
    std::vector<uint8_t> bytes(start, start + dibBlockSize);
    GlobalUnlock(dibBlockHandle);
    return bytes;
  };
  const std::vector<uint8_t> bytesBefore = shownBytes();

  wintest::BoxCatcher boxes;
  // Into another folder first: the sources stay, the targets are written.
  const BatchRun elsewhere = ArrangeFiles(nullptr, palette, {paths[1], paths[2]}, out);
  ASSERT_EQ(elsewhere.results.size(), 2u);
  EXPECT_EQ(Read(paths[1]), cases[1].bytes);
  EXPECT_EQ(Read(paths[2]), cases[2].bytes);
  std::vector<uint32_t> table;
  EXPECT_EQ(BmpColours(Read(out + "\\reversed.bmp"), &table), BmpColours(cases[1].bytes, &table));
  EXPECT_EQ(table, order);

  const BatchRun run = ArrangeFiles(nullptr, palette, paths, "");
  ASSERT_EQ(run.results.size(), paths.size());
  EXPECT_FALSE(run.cancelled);
  for (size_t i = 0; i < paths.size(); ++i) {
    const Case& c = cases[i];
    const batch::FileResult& r = run.results[i];
    EXPECT_EQ(r.path, paths[i]);
    EXPECT_EQ(static_cast<int>(r.outcome), static_cast<int>(c.want)) << c.name << ": " << r.reason;
    EXPECT_EQ(r.reason, c.reason) << c.name;
    const std::vector<uint8_t> now = Read(paths[i]);
    if (c.want != Outcome::kArranged) {
      EXPECT_EQ(now, c.bytes) << c.name << " was written";
      continue;
    }
    std::vector<uint32_t> before, after;
    const bool png = std::strstr(c.name, ".png") != nullptr;
    EXPECT_EQ(png ? PngColours(now, &after) : BmpColours(now, &after),
              png ? PngColours(c.bytes, &before) : BmpColours(c.bytes, &before))
        << c.name << ": a pixel changed its colour";
    EXPECT_EQ(after, order) << c.name << ": the table is not in the palette's order";
    if (png) {
      EXPECT_EQ(std::memcmp(now.data() + 1, "PNG", 3), 0) << c.name << " is no longer a PNG";
    }
  }
  EXPECT_TRUE(boxes.Boxes().empty()) << "a box: " << boxes.Boxes()[0].text;
  // Arranged once more: everything in order now, nothing written.
  const BatchRun again = ArrangeFiles(nullptr, palette, {paths[1], paths[2]}, "");
  for (const batch::FileResult& r : again.results) EXPECT_EQ(static_cast<int>(r.outcome), static_cast<int>(Outcome::kInOrder)) << r.path;

  // The shown picture as it was.
  EXPECT_EQ(std::memcmp(PaletteTable, tableBefore, sizeof tableBefore), 0);
  EXPECT_EQ(dibBlockHandle, blockBefore);
  EXPECT_EQ(shownBytes(), bytesBefore);
  EXPECT_EQ(pictureState, PictureState::kChanged);
  EXPECT_TRUE(OrderUnsaved());
  EXPECT_STREQ(shufflerPicture.openPath, shown.c_str());
  char title[64] = {};
  GetWindowTextA(mainWindow, title, sizeof title);
  EXPECT_STREQ(title, "shown picture");
  EXPECT_FALSE(HoldsCandidateBlock());
}

TEST_P(ShufflerBatch, CancelLeavesTheFilesNotReachedAsTheyWere) {
  const HMODULE resources = ProgramResources();
  ASSERT_NE(resources, nullptr) << "MIRTAV00.EXE is not built";
  const Sixteen colours;
  const std::vector<uint32_t>& reversed = colours.reversed;
  const std::string dir = wintest::ScratchFolder();
  std::vector<std::string> paths;
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
    paths.push_back(dir + name);
    ASSERT_TRUE(wintest::WriteWholeFile(paths.back(), Bmp(reversed)));
  }
  const HINSTANCE ownInstance = appInstance;
  appInstance = resources;
  progressSeen = nullptr;
  arrangeFileDone = CancelAfterFirst;
  const BatchRun run = ArrangeFiles(mainWindow, colours.palette, paths, "");
  arrangeFileDone = nullptr;
  appInstance = ownInstance;
  FreeLibrary(resources);

  EXPECT_NE(progressSeen, nullptr) << "no progress window";
  EXPECT_FALSE(IsWindow(progressSeen));
  EXPECT_TRUE(IsWindowEnabled(mainWindow));
  ASSERT_TRUE(run.cancelled);
  EXPECT_EQ(run.notReached, 2u);
  ASSERT_EQ(run.results.size(), 1u);
  EXPECT_EQ(static_cast<int>(run.results[0].outcome), static_cast<int>(Outcome::kArranged));
  EXPECT_NE(Read(paths[0]), Bmp(reversed));
  EXPECT_EQ(Read(paths[1]), Bmp(reversed));
  EXPECT_EQ(Read(paths[2]), Bmp(reversed));
}

INSTANTIATE_TEST_SUITE_P(Languages, ShufflerBatch, testing::Values(kEnglish, kJapanese),
                         [](const testing::TestParamInfo<int>& info) {
                           return std::string(info.param == kJapanese ? "Japanese" : "English");
                         });

}  // namespace
