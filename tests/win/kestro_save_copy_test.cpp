// The editor's Save Image and Copy in-process, on pictures set up as Open
// leaves them (the DIB block, the picture facts, a palette history with three
// changes and one Undo). A saved BMP differs from its source only in the
// colour table; a failure leaves the destination as it was and no file
// behind; the clipboard DIB has the displayed size, the current palette and
// the picture's own indices. With WIN_TEST_OUTPUT set, each saved BMP and its
// TIFF are left there for run-tier.sh's independent readers; with
// WIN_TEST_PICTURES set, the pictures of tests/pictures/make_pictures.py are
// saved too.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/core/bmp_rules.h"
#include "common/bitmap/clipboard_offer.h"
#include "common/bitmap/dib_block.h"
#include "kestro98/copy_command.h"
#include "common/bitmap/core/view_sampling.h"
#include "kestro98/core/clipboard_layout.h"
#include "kestro98/core/open_rules.h"
#include "kestro98/load_bitmap.h"
#include "kestro98/main_window.h"
#include "kestro98/picture.h"
#include "kestro98/save_command.h"
#include "tests/win/per_language.h"
#include "tests/win/win_test_support.h"

namespace {

using namespace kestro;
using wintest::BmpShape;

uint32_t U32(const std::vector<uint8_t>& v, size_t at) { return bmp::GetU32(&v[at]); }

// What Open leaves behind for the file at path: the block, the facts and
// level 0 of the history; then three changes and one Undo, written into the
// block as the palette window does. The expected file table (level 2).
std::vector<uint8_t> OpenAndEdit(const std::string& path, const std::vector<uint8_t>& bytes) {
  int32_t colours = 0;
  TableSpot spot;
  EXPECT_EQ(CheckHeader(bytes.data(), bytes.size(), &colours, &spot), OpenVerdict::kOk) << path;
  EXPECT_TRUE(LoadBmpFile(mainWindow, path.c_str())) << path;
  pictureFacts.sourcePath = path;
  std::memcpy(pictureFacts.opened.fileHeader, bytes.data(), 14);
  pictureFacts.opened.sizeImage = U32(bytes, 34);
  pictureFacts.opened.clrUsed = U32(bytes, 46);
  pictureFacts.opened.infoSize = U32(bytes, 14);
  pictureFacts.opened.fileSize = static_cast<int64_t>(bytes.size());
  const size_t tableBytes = spot.entrySize * static_cast<size_t>(colours);
  EXPECT_TRUE(paletteHistory.Reset(&bytes[spot.offset], tableBytes, colours, spot.entrySize));
  paletteHistory.Press(1 % colours, Rgb{255, 0, 128});
  paletteHistory.Press(0, Rgb{1, 2, 3});
  paletteHistory.Press(colours - 1, Rgb{9, 9, 9});
  paletteHistory.Undo();
  std::vector<uint8_t> table(tableBytes);
  paletteHistory.WriteFileTable(table.data(), table.size(), spot.entrySize);
  EXPECT_EQ(LockDibBlock(mainWindow), 1);
  paletteHistory.WriteIntoBlockTable(dibColourTable, table.size(), spot.entrySize);
  UnlockDibBlock();
  pictureFacts.state = PictureState::kOpened;
  return table;
}

std::string OutputFolder() {
  const char* out = std::getenv("WIN_TEST_OUTPUT");
  return out != nullptr ? std::string(out) + "\\" : wintest::ScratchFolder();
}

bool TemporaryLeftIn(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((folder + "~*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

class SaveAndCopy : public wintest::PerLanguage {
 protected:
  void TearDown() override {
    pictureFacts.state = PictureState::kNoPicture;
    pictureFacts = PictureFacts();
    wintest::PerLanguage::TearDown();
  }
  bool Japanese() const { return GetParam() == kJapanese; }
  std::string Text(SaveMessage m) const {
    const Message& b = SaveMessageText(m);
    return wintest::Ansi(Japanese() ? b.text.japanese : b.text.english);
  }
  std::string Title(SaveMessage m) const {
    const Message& b = SaveMessageText(m);
    return wintest::Ansi(Japanese() ? b.title.japanese : b.title.english);
  }
  std::string SavedText(const std::string& path) const {
    std::string t = Text(SaveMessage::kSaved);
    t.replace(t.find("%s"), 2, path);
    return t;
  }

  // Saves the edited picture as BMP and TIFF beside each other in the output
  // folder and checks the BMP byte for byte against its source.
  void SaveBoth(const std::string& name, const std::vector<uint8_t>& source) {
    const std::string sourcePath = wintest::ScratchFolder() + name + "_source.bmp";
    ASSERT_TRUE(wintest::WriteWholeFile(sourcePath, source));
    const std::vector<uint8_t> table = OpenAndEdit(sourcePath, source);
    const std::string bmpPath = OutputFolder() + "ksave_" + name + ".bmp";
    const std::string tifPath = OutputFolder() + "ksave_" + name + ".tif";
    DeleteFileA(bmpPath.c_str());
    DeleteFileA(tifPath.c_str());
    wintest::BoxCatcher boxes;
    ASSERT_TRUE(SaveImageTo(mainWindow, bmpPath.c_str())) << name;
    ASSERT_TRUE(SaveImageTo(mainWindow, tifPath.c_str())) << name;
    ASSERT_EQ(boxes.Boxes().size(), 2u) << name;
    EXPECT_EQ(boxes.Boxes()[0].text, SavedText(bmpPath)) << name;
    EXPECT_EQ(boxes.Boxes()[0].title, Title(SaveMessage::kSaved)) << name;
    EXPECT_EQ(boxes.Boxes()[1].text, SavedText(tifPath)) << name;
    std::vector<uint8_t> saved;
    ASSERT_TRUE(wintest::ReadWholeFile(bmpPath, &saved)) << name;
    ASSERT_EQ(saved.size(), source.size()) << name;
    const size_t tableStart = 14 + U32(source, 14);
    const size_t tableEnd = tableStart + table.size();
    EXPECT_TRUE(std::equal(saved.begin(), saved.begin() + tableStart, source.begin())) << name;
    EXPECT_TRUE(std::equal(saved.begin() + tableStart, saved.begin() + tableEnd, table.begin()))
        << name << ": the table of level 2, reserved bytes 0";
    EXPECT_TRUE(std::equal(saved.begin() + tableEnd, saved.end(), source.begin() + tableEnd))
        << name << ": nothing after the table changes";
    EXPECT_FALSE(TemporaryLeftIn(OutputFolder())) << name;
    ReleaseDibBlock();
  }
};

TEST_P(SaveAndCopy, BmpDiffersFromItsSourceOnlyInTheColourTable) {
  std::vector<wintest::NamedShape> cases;
  auto add = [&](const char* name, int32_t w, int32_t h, uint16_t bits) {
    return wintest::AddShape(&cases, name, w, h, bits);
  };
  add("bits1_33x5", 33, 5, 1);
  add("bits4_odd_35x9", 35, 9, 4);
  add("bits8_17x6", 17, 6, 8);
  add("bits8_topdown_12x7", 12, 7, 8)->topDown = true;
  add("bits4_gap_9x4", 9, 4, 4)->gap = 22;
  add("bits8_16colours_7x4", 7, 4, 8)->clrUsed = 16;
  add("bits8_trailing_5x5", 5, 5, 8)->trailing = 9;
  for (const wintest::NamedShape& c : cases) {
    std::vector<uint8_t> bytes = wintest::MakeBmp(c.shape);
    if (std::strcmp(c.name, "bits1_33x5") == 0) {
      bytes[57] = 0x5A;  // reserved bytes that are not 0
      bytes[61] = 0xA5;
    }
    SaveBoth(std::string(c.name) + (Japanese() ? "_ja" : ""), bytes);
  }
  // RLE8 4 x 2 and RLE4 5 x 2 (see the TIFF writer's tests).
  SaveBoth(Japanese() ? "rle8_ja" : "rle8",
           wintest::RleBmp(4, 2, 8, {4, 5, 0, 0, 0, 4, 1, 2, 3, 4, 0, 1}));
  SaveBoth(Japanese() ? "rle4_ja" : "rle4",
           wintest::RleBmp(5, 2, 4, {5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 1}));
}

// The pictures made by ImageMagick, Pillow and byte surgery, when the tier
// has made them; those the editor's Open would refuse are passed over.
TEST_P(SaveAndCopy, IndependentPicturesSaveAsBmpAndTiff) {
  const char* folder = std::getenv("WIN_TEST_PICTURES");
  if (folder == nullptr || *folder == 0 || Japanese()) GTEST_SKIP() << "no pictures made for this run";
  std::ifstream manifest(std::string(folder) + "\\manifest.tsv");
  ASSERT_TRUE(manifest.good());
  std::string line;
  int used = 0;
  while (std::getline(manifest, line)) {
    const std::string name = line.substr(0, line.find('\t'));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(wintest::ReadWholeFile(std::string(folder) + "\\" + name, &bytes)) << name;
    int32_t colours = 0;
    if (CheckHeader(bytes.data(), bytes.size(), &colours) != OpenVerdict::kOk) continue;
    SaveBoth("pic_" + name.substr(0, name.size() - 4), bytes);
    ++used;
  }
  EXPECT_GE(used, 15);
}

TEST_P(SaveAndCopy, OverTheSourceAndOverAnExistingFile) {
  const std::vector<uint8_t> source = wintest::MakeBmp(BmpShape());
  const std::string path = wintest::ScratchFolder() + "Self.bmp";
  ASSERT_TRUE(wintest::WriteWholeFile(path, source));
  const std::vector<uint8_t> table = OpenAndEdit(path, source);
  {
    wintest::BoxCatcher boxes;
    boxes.Answer(IDNO);
    EXPECT_FALSE(SaveImageTo(mainWindow, path.c_str()));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, Text(SaveMessage::kDestinationExists));
    EXPECT_EQ(boxes.Boxes()[0].title, Title(SaveMessage::kDestinationExists));
    std::vector<uint8_t> after;
    ASSERT_TRUE(wintest::ReadWholeFile(path, &after));
    EXPECT_EQ(after, source) << "No leaves the file untouched";
    // The same for a TIFF destination.
    const std::string tif = wintest::ScratchFolder() + "kept.tif";
    ASSERT_TRUE(wintest::WriteWholeFile(tif, {1, 2, 3}));
    EXPECT_FALSE(SaveImageTo(mainWindow, tif.c_str()));
    ASSERT_TRUE(wintest::ReadWholeFile(tif, &after));
    EXPECT_EQ(after, (std::vector<uint8_t>{1, 2, 3}));
  }
  wintest::BoxCatcher boxes;
  boxes.Answer(IDYES);
  // The source named with other letter case is still the source.
  const std::string other = wintest::ScratchFolder() + "SELF.bMp";
  ASSERT_TRUE(SaveImageTo(mainWindow, other.c_str()));
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[1].text, SavedText(other));
  std::vector<uint8_t> after;
  ASSERT_TRUE(wintest::ReadWholeFile(path, &after));
  ASSERT_EQ(after.size(), source.size());
  EXPECT_TRUE(std::equal(after.begin() + 54, after.begin() + 54 + table.size(), table.begin()));
  std::copy(table.begin(), table.end(), after.begin() + 54);
  std::vector<uint8_t> want = source;
  std::copy(table.begin(), table.end(), want.begin() + 54);
  EXPECT_EQ(after, want) << "the source patched in its table only";
  EXPECT_FALSE(TemporaryLeftIn(wintest::ScratchFolder()));
  // A second save over it, later, still verifies against what Open read.
  EXPECT_TRUE(SaveImageTo(mainWindow, path.c_str()));
  // A source another program holds open for writing is still read.
  HANDLE holder = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const std::string beside = wintest::ScratchFolder() + "held.bmp";
  EXPECT_TRUE(SaveImageTo(mainWindow, beside.c_str()));
  CloseHandle(holder);
  ASSERT_TRUE(wintest::ReadWholeFile(beside, &after));
  EXPECT_EQ(after, want);
}

TEST_P(SaveAndCopy, RefusalsBeforeAnythingIsWritten) {
  const std::vector<uint8_t> source = wintest::MakeBmp(BmpShape());
  const std::string path = wintest::ScratchFolder() + "refusals.bmp";
  ASSERT_TRUE(wintest::WriteWholeFile(path, source));
  OpenAndEdit(path, source);
  struct Case { std::string target; SaveMessage message; };
  const Case cases[] = {
      {wintest::ScratchFolder() + "a.tiff", SaveMessage::kWrongExtension},
      {wintest::ScratchFolder() + "a", SaveMessage::kWrongExtension},
      {"\\\\server\\share\\a.tiff", SaveMessage::kNotFixedDisk},  // before the extension
  };
  for (const Case& c : cases) {
    wintest::BoxCatcher boxes;
    EXPECT_FALSE(SaveImageTo(mainWindow, c.target.c_str())) << c.target;
    ASSERT_EQ(boxes.Boxes().size(), 1u) << c.target;
    EXPECT_EQ(boxes.Boxes()[0].text, Text(c.message)) << c.target;
    EXPECT_EQ(boxes.Boxes()[0].title, Title(c.message)) << c.target;
    EXPECT_FALSE(wintest::FileExists(c.target)) << c.target;
  }
}

// Each failure: its message, the destination as it was, nothing left behind.
TEST_P(SaveAndCopy, FailuresLeaveTheDestinationAsItWas) {
  const std::string folder = wintest::ScratchFolder();
  const std::vector<uint8_t> old(700, 0x42);
  struct Case {
    const char* label;
    std::string target;
    SaveMessage message;
    bool existing;                                          // an old file stands at the target
    void (*before)(const std::string& source, const std::string& target);
  };
  auto noop = [](const std::string&, const std::string&) {};
  const Case cases[] = {
      {"read-only destination", folder + "ro.bmp", SaveMessage::kCannotCreate, true,
       [](const std::string&, const std::string& t) {
         SetFileAttributesA(t.c_str(), FILE_ATTRIBUTE_READONLY);
       }},
      {"destination is a folder", folder + "dir.bmp", SaveMessage::kCannotCreate, false,
       [](const std::string&, const std::string& t) { CreateDirectoryA(t.c_str(), nullptr); }},
      {"missing folder", folder + "no such folder\\x.bmp", SaveMessage::kCannotCreate, false,
       noop},
      {"source deleted", folder + "d.bmp", SaveMessage::kSourceChanged, true,
       [](const std::string& s, const std::string&) { DeleteFileA(s.c_str()); }},
      {"source pixel changed", folder + "c.bmp", SaveMessage::kSourceChanged, true,
       [](const std::string& s, const std::string&) {
         std::vector<uint8_t> v;
         wintest::ReadWholeFile(s, &v);
         v.back() ^= 1;
         wintest::WriteWholeFile(s, v);
       }},
      {"source header changed", folder + "h.bmp", SaveMessage::kSourceChanged, true,
       [](const std::string& s, const std::string&) {
         std::vector<uint8_t> v;
         wintest::ReadWholeFile(s, &v);
         v[18] ^= 1;  // biWidth
         wintest::WriteWholeFile(s, v);
       }},
      {"source shortened", folder + "s.bmp", SaveMessage::kSourceChanged, false,
       [](const std::string& s, const std::string&) {
         std::vector<uint8_t> v;
         wintest::ReadWholeFile(s, &v);
         v.pop_back();
         wintest::WriteWholeFile(s, v);
       }},
      {"source longer", folder + "l.bmp", SaveMessage::kSourceChanged, false,
       [](const std::string& s, const std::string&) {
         std::vector<uint8_t> v;
         wintest::ReadWholeFile(s, &v);
         v.push_back(7);
         wintest::WriteWholeFile(s, v);
       }},
  };
  (void)noop;
  for (const Case& c : cases) {
    const std::vector<uint8_t> source = wintest::MakeBmp(BmpShape());
    const std::string sourcePath = folder + "failing source.bmp";
    ASSERT_TRUE(wintest::WriteWholeFile(sourcePath, source));
    OpenAndEdit(sourcePath, source);
    if (c.existing) {
      ASSERT_TRUE(wintest::WriteWholeFile(c.target, old)) << c.label;
    }
    c.before(sourcePath, c.target);
    wintest::BoxCatcher boxes;
    boxes.Answer(IDYES);
    EXPECT_FALSE(SaveImageTo(mainWindow, c.target.c_str())) << c.label;
    ASSERT_FALSE(boxes.Boxes().empty()) << c.label;
    const wintest::CapturedBox& last = boxes.Boxes().back();
    EXPECT_EQ(last.text, Text(c.message)) << c.label;
    EXPECT_EQ(last.title, Title(c.message)) << c.label;
    EXPECT_TRUE(last.errorIcon) << c.label;
    EXPECT_EQ(last.owner, mainWindow) << c.label;
    if (c.existing) {
      std::vector<uint8_t> after;
      ASSERT_TRUE(wintest::ReadWholeFile(c.target, &after)) << c.label;
      EXPECT_EQ(after, old) << c.label;
    }
    EXPECT_FALSE(TemporaryLeftIn(folder)) << c.label;
    EXPECT_FALSE(TemporaryLeftIn(folder + "dir.bmp\\")) << c.label;
    SetFileAttributesA(c.target.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(c.target.c_str());
    RemoveDirectoryA(c.target.c_str());
    ReleaseDibBlock();
  }
}

// The clipboard's CF_DIB, read back.
std::vector<uint8_t> ClipboardDib() {
  std::vector<uint8_t> v;
  if (!OpenClipboard(mainWindow)) return v;
  HANDLE data = GetClipboardData(CF_DIB);
  if (data != nullptr) {
    const uint8_t* p = static_cast<const uint8_t*>(GlobalLock(data));
    if (p != nullptr) v.assign(p, p + GlobalSize(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return v;
}

void PutTextOnClipboard(const char* text) {
  ASSERT_TRUE(OpenClipboard(mainWindow));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
  std::memcpy(GlobalLock(block), text, std::strlen(text) + 1);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

std::string ClipboardText() {
  std::string s;
  if (!OpenClipboard(mainWindow)) return s;
  HANDLE data = GetClipboardData(CF_TEXT);
  if (data != nullptr) {
    s = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return s;
}

uint8_t DibPixel(const std::vector<uint8_t>& dib, int32_t x, int32_t yFromTop) {
  const int32_t w = bmp::GetI32(&dib[4]), h = bmp::GetI32(&dib[8]);
  const uint16_t bits = bmp::GetU16(&dib[14]);
  const uint32_t n = U32(dib, 32);
  const size_t row = static_cast<size_t>(((static_cast<int64_t>(w) * bits + 31) / 32) * 4);
  const uint8_t b = dib[40 + 4 * n + (h - 1 - yFromTop) * row + x * bits / 8];
  if (bits == 8) return b;
  if (bits == 4) return x % 2 ? b & 0x0F : b >> 4;
  return (b >> (7 - x % 8)) & 1;
}

TEST_P(SaveAndCopy, CopyGivesTheDisplayedSizeTheCurrentPaletteAndTheIndices) {
  struct Case { int32_t w, h; uint16_t bits; int level; int32_t dw, dh; uint32_t row; };
  const Case cases[] = {
      {33, 5, 1, 0, 33, 5, 8},       // ceil(33 / 32) words
      {33, 5, 1, 1, 66, 10, 12},     // at 2:1
      {100, 50, 4, -1, 50, 25, 28},  // at 1:2, 7 words
      {17, 6, 8, 2, 51, 18, 52},
  };
  for (const Case& c : cases) {
    BmpShape shape;
    shape.width = c.w;
    shape.height = c.h;
    shape.bitCount = c.bits;
    std::vector<uint8_t> bytes = wintest::MakeBmp(shape);
    const uint32_t n = 1u << c.bits;
    if (c.bits == 8) {
      // Entry 4 holds entry 3's colour: the copy must keep both indices.
      std::copy(bytes.begin() + 66, bytes.begin() + 70, bytes.begin() + 70);
    }
    const std::string path = wintest::ScratchFolder() + "copy.bmp";
    ASSERT_TRUE(wintest::WriteWholeFile(path, bytes));
    const std::vector<uint8_t> table = OpenAndEdit(path, bytes);
    wintest::BoxCatcher boxes;
    ASSERT_TRUE(CopyImageAtLevel(mainWindow, c.level));
    EXPECT_TRUE(boxes.Boxes().empty());
    // Made now, handed over at the first paste; a later change is not in it.
    EXPECT_TRUE(ClipboardOfferPending());
    paletteHistory.Press(1, Rgb{1, 2, 3});
    const std::vector<uint8_t> dib = ClipboardDib();
    EXPECT_FALSE(ClipboardOfferPending()) << "the paste took the block";
    EXPECT_EQ(ClipboardDib(), dib) << "a second paste";
    const uint32_t image = c.row * static_cast<uint32_t>(c.dh);
    ASSERT_EQ(dib.size(), 40 + 4 * n + image) << c.w << " at " << c.level;
    EXPECT_EQ(U32(dib, 0), 40u);
    EXPECT_EQ(bmp::GetI32(&dib[4]), c.dw);
    EXPECT_EQ(bmp::GetI32(&dib[8]), c.dh) << "positive: bottom-up";
    EXPECT_EQ(bmp::GetU16(&dib[12]), 1);
    EXPECT_EQ(bmp::GetU16(&dib[14]), c.bits);
    EXPECT_EQ(U32(dib, 16), 0u);
    EXPECT_EQ(U32(dib, 20), image);
    EXPECT_EQ(U32(dib, 24), 0u);
    EXPECT_EQ(U32(dib, 28), 0u);
    EXPECT_EQ(U32(dib, 32), n);
    EXPECT_EQ(U32(dib, 36), n);
    EXPECT_TRUE(std::equal(table.begin(), table.end(), dib.begin() + 40))
        << "the current level, fourth bytes 0";
    EXPECT_EQ(dib[40 + 4 + 2], 255) << "the changed colour's red";
    // The source pixel the view shows at each place, by index.
    int wrong = 0, twins = 0;
    for (int32_t y = 0; y < c.dh; ++y) {
      const int64_t sy = sampling::SourceFor(sampling::Axis::kRows, 0, c.h, 0, c.dh, y);
      for (int32_t x = 0; x < c.dw; ++x) {
        const int64_t sx = sampling::SourceFor(sampling::Axis::kColumns, 0, c.w, 0, c.dw, x);
        const uint8_t want = wintest::FixturePixel(shape, static_cast<int32_t>(sx),
                                                   static_cast<int32_t>(sy));
        if (DibPixel(dib, x, y) != want) ++wrong;
        if (want == 4) ++twins;
      }
    }
    EXPECT_EQ(wrong, 0) << c.w << " x " << c.h << " at " << c.level;
    if (c.bits == 8) {
      EXPECT_GT(twins, 0) << "the twin index appears in the copy";
    }
    ReleaseDibBlock();
  }
}

TEST_P(SaveAndCopy, CopyThatCannotBeMadeLeavesTheClipboardAsItWas) {
  // A copy no one pasted goes when another program fills the clipboard.
  const std::vector<uint8_t> small = wintest::MakeBmp(BmpShape{});
  const std::string smallPath = wintest::ScratchFolder() + "small.bmp";
  ASSERT_TRUE(wintest::WriteWholeFile(smallPath, small));
  OpenAndEdit(smallPath, small);
  ASSERT_TRUE(CopyImageAtLevel(mainWindow, 0));
  EXPECT_TRUE(ClipboardOfferPending());
  PutTextOnClipboard("before");
  EXPECT_FALSE(ClipboardOfferPending()) << "the unpasted copy is still held";
  ReleaseDibBlock();

  {
    wintest::BoxCatcher boxes;
    pictureFacts.state = PictureState::kNoPicture;
    EXPECT_FALSE(CopyImageAtLevel(mainWindow, 0));
    EXPECT_TRUE(boxes.Boxes().empty()) << "no picture: nothing shown";
    EXPECT_EQ(ClipboardText(), "before");
  }
  // An RLE file of a few bytes claiming 7000 x 7000: at 10:1 the copy would
  // pass 4 GiB.
  const std::vector<uint8_t> tiny = wintest::RleBmp(7000, 7000, 8, {0, 1});
  const std::string path = wintest::ScratchFolder() + "claims.bmp";
  ASSERT_TRUE(wintest::WriteWholeFile(path, tiny));
  OpenAndEdit(path, tiny);
  wintest::BoxCatcher boxes;
  EXPECT_FALSE(CopyImageAtLevel(mainWindow, 9));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, wintest::Ansi(Japanese() ? kClipboardNoMemory.text.japanese
                                                            : kClipboardNoMemory.text.english));
  EXPECT_EQ(boxes.Boxes()[0].title, wintest::Ansi(Japanese() ? "エラー" : "Error"));
  EXPECT_TRUE(boxes.Boxes()[0].errorIcon);
  EXPECT_EQ(ClipboardText(), "before");
}

std::string LanguageName(const testing::TestParamInfo<int>& info) {
  return info.param == kJapanese ? "Japanese" : "English";
}

INSTANTIATE_TEST_SUITE_P(Languages, SaveAndCopy, testing::Values(kEnglish, kJapanese), LanguageName);

}  // namespace
