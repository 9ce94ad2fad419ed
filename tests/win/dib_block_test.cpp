// The DIB block on real global memory: reading, the lock rules as the block
// sees them, lock counts, release, and every message of the reader in both
// languages as the message box shows it.
#include <gtest/gtest.h>

#include <string>

#include "common/bitmap/dib_block.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "tests/win/per_language.h"
#include "tests/win/win_test_support.h"

namespace {

using wintest::BmpShape;
using wintest::BoxCatcher;
using wintest::LockCount;
using wintest::MakeBmp;

struct ReadOutcome {
  int result = -1;
  LONG positionAfter = -1;  // file position when ReadBmpFile returned
};

ReadOutcome ReadBytes(const std::vector<uint8_t>& bytes, const char* name,
                      int (*read)(HWND, HFILE) = ReadBmpFile) {
  const std::string path = wintest::ScratchFolder() + name;
  ReadOutcome out;
  if (!wintest::WriteWholeFile(path, bytes)) return out;
  HFILE file = _lopen(path.c_str(), OF_READ);
  if (file == HFILE_ERROR) return out;
  out.result = read(mainWindow, file);
  out.positionAfter = _llseek(file, 0, FILE_CURRENT);
  _lclose(file);
  return out;
}

uint32_t BlockU32(size_t offset) { return bmp::GetU32(dibBlockStart + offset); }

class DibBlock : public testing::Test {
 protected:
  void SetUp() override {
    languageFlag = kEnglish;
    ReleaseDibBlock();
  }
  void TearDown() override {
    DiscardCandidateBlock();
    ReleaseDibBlock();
  }
  BoxCatcher boxes;
};

// The current block as it stands: handle, kept header, size and every byte.
struct BlockSnapshot {
  HGLOBAL handle = nullptr;
  std::vector<uint8_t> header;
  size_t size = 0;
  std::vector<uint8_t> bytes;
  bool operator==(const BlockSnapshot& o) const {
    return handle == o.handle && header == o.header && size == o.size && bytes == o.bytes;
  }
};

BlockSnapshot Snapshot() {
  BlockSnapshot s;
  s.handle = dibBlockHandle;
  s.header.assign(keptFileHeader, keptFileHeader + sizeof keptFileHeader);
  s.size = dibBlockSize;
  const uint8_t* p = static_cast<const uint8_t*>(GlobalLock(dibBlockHandle));
  if (p != nullptr) s.bytes.assign(p, p + GlobalSize(dibBlockHandle));
  GlobalUnlock(dibBlockHandle);
  return s;
}

TEST_F(DibBlock, OneBitPictureGetsItsColourCountAndPixelAddress) {
  for (bool zeroOffset : {false, true}) {
    BmpShape shape;
    shape.width = 16;
    shape.height = 2;
    shape.bitCount = 1;
    shape.zeroPixelOffset = zeroOffset;  // else the field says 62
    ASSERT_EQ(ReadBytes(MakeBmp(shape), "one_bit.bmp").result, 1);
    ASSERT_NE(dibBlockHandle, nullptr);
    EXPECT_EQ(LockCount(dibBlockHandle), 0u) << "the read leaves the block unlocked";
    EXPECT_EQ(dibBlockStart, nullptr);
    ASSERT_EQ(LockDibBlock(mainWindow), 1);
    EXPECT_EQ(LockCount(dibBlockHandle), 1u);
    EXPECT_EQ(blockColourCount, 2);
    EXPECT_EQ(dibInfoHeader, dibBlockStart);
    EXPECT_EQ(dibColourTable - dibBlockStart, 40);
    EXPECT_EQ(dibPixelData - dibBlockStart, 48) << "zero offset field: " << zeroOffset;
    EXPECT_EQ(BlockU32(bmp::kBiClrUsed), 2u) << "the lock writes the count into the block";
    EXPECT_EQ(BlockU32(bmp::kBiSizeImage), 8u);
    EXPECT_EQ(dibBlockSize, 62u - 14u + 8u);
    UnlockDibBlock();
    EXPECT_EQ(LockCount(dibBlockHandle), 0u);
    EXPECT_EQ(dibBlockStart, nullptr);
    EXPECT_EQ(dibColourTable, nullptr);
    EXPECT_EQ(dibPixelData, nullptr);
    ReleaseDibBlock();
  }
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DibBlock, PixelAddressFollowsTheOffsetFieldAcrossAGap) {
  BmpShape shape;
  shape.bitCount = 8;
  shape.gap = 22;  // pixel-data offset field 1100
  ASSERT_EQ(ReadBytes(MakeBmp(shape), "gap.bmp").result, 1);
  ASSERT_EQ(LockDibBlock(mainWindow), 1);
  EXPECT_EQ(dibPixelData - dibBlockStart, 1086);
  EXPECT_EQ(dibLayout.pixelOffset, 1086u);
  EXPECT_EQ(dibPixelData[0], wintest::FixturePixel(shape, 0, shape.height - 1))
      << "the first stored row is the bottom row";
  UnlockDibBlock();
}

TEST_F(DibBlock, LocksNestByCountAndEachUnlockEndsOne) {
  ASSERT_EQ(ReadBytes(MakeBmp(BmpShape()), "nest.bmp").result, 1);
  ASSERT_EQ(LockDibBlock(mainWindow), 1);
  ASSERT_EQ(LockDibBlock(mainWindow), 1);
  EXPECT_EQ(LockCount(dibBlockHandle), 2u);
  UnlockDibBlock();
  EXPECT_EQ(LockCount(dibBlockHandle), 1u);
  UnlockDibBlock();
  EXPECT_EQ(LockCount(dibBlockHandle), 0u);
}

TEST_F(DibBlock, BytesAfterTheTotalSizeAreNeverRead) {
  BmpShape shape;
  shape.trailing = 100;
  const std::vector<uint8_t> bytes = MakeBmp(shape);
  const ReadOutcome out = ReadBytes(bytes, "trailing.bmp");
  ASSERT_EQ(out.result, 1);
  EXPECT_EQ(static_cast<size_t>(out.positionAfter), bytes.size() - 100);
  EXPECT_EQ(dibBlockSize, bytes.size() - 100 - 14);
}

TEST_F(DibBlock, RefusedHeaderKeepsTheBlockUntilRelease) {
  BmpShape shape;
  shape.infoSize = 64;  // OS/2's second header: no size the reader takes
  ASSERT_EQ(ReadBytes(MakeBmp(shape), "os2v2.bmp").result, 0);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Illegal structure size is found in info header.");
  ASSERT_NE(dibBlockHandle, nullptr) << "the block stays allocated";
  EXPECT_EQ(LockCount(dibBlockHandle), 0u) << "and unlocked";
  EXPECT_EQ(keptFileHeader[0], 'B');
  EXPECT_EQ(LockDibBlock(mainWindow), 0) << "every lock applies the rules";
  EXPECT_EQ(LockCount(dibBlockHandle), 1u) << "the refused lock still holds the block";
  EXPECT_EQ(dibPixelData, nullptr);
  UnlockDibBlock();
  EXPECT_EQ(LockCount(dibBlockHandle), 0u);
  EXPECT_EQ(boxes.Boxes().size(), 2u) << "a refusing lock shows its message too";
  ReleaseDibBlock();
  EXPECT_EQ(dibBlockHandle, nullptr);
  for (uint8_t b : keptFileHeader) EXPECT_EQ(b, 0);
}

TEST_F(DibBlock, ReleaseWithoutBlockClearsTheKeptHeaderSilently) {
  ASSERT_EQ(dibBlockHandle, nullptr);
  for (uint8_t& b : keptFileHeader) b = 0x5A;
  ReleaseDibBlock();
  for (uint8_t b : keptFileHeader) EXPECT_EQ(b, 0);
  EXPECT_EQ(dibBlockHandle, nullptr);
  EXPECT_EQ(LockDibBlock(mainWindow), 0) << "nothing to lock";
  UnlockDibBlock();
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DibBlock, ANewReadReplacesAHeldBlock) {
  ASSERT_EQ(ReadBytes(MakeBmp(BmpShape()), "first.bmp").result, 1);
  BmpShape second;
  second.width = 33;
  second.bitCount = 4;
  ASSERT_EQ(ReadBytes(MakeBmp(second), "second.bmp").result, 1);
  ASSERT_EQ(LockDibBlock(mainWindow), 1);
  EXPECT_EQ(dibLayout.width, 33);
  EXPECT_EQ(BlockU32(bmp::kBiSizeImage), 20u * 4u);
  UnlockDibBlock();
}

TEST_F(DibBlock, ACandidateTouchesTheCurrentBlockOnlyWhenAdopted) {
  BmpShape shown;
  shown.width = 13;
  shown.bitCount = 4;
  ASSERT_EQ(ReadBytes(MakeBmp(shown), "shown.bmp").result, 1);
  const BlockSnapshot before = Snapshot();

  // Refused at each stage: the file header, the length, the block rules.
  std::vector<uint8_t> badMagic = MakeBmp(BmpShape());
  badMagic[0] = 'M';
  BmpShape shortFile;
  shortFile.totalSizeDelta = 64;
  BmpShape badInfo;
  badInfo.infoSize = 64;
  const std::vector<uint8_t> refused[] = {badMagic, MakeBmp(shortFile), MakeBmp(badInfo)};
  size_t messages = 0;
  for (const std::vector<uint8_t>& bytes : refused) {
    EXPECT_EQ(ReadBytes(bytes, "refused.bmp", ReadCandidateBmpFile).result, 0);
    EXPECT_EQ(boxes.Boxes().size(), ++messages) << "each refusal shows its own message";
    EXPECT_FALSE(HoldsCandidateBlock());
    EXPECT_TRUE(Snapshot() == before) << "the shown picture is untouched, byte for byte";
    EXPECT_EQ(LockCount(dibBlockHandle), 0u);
  }
  AdoptCandidateBlock();  // nothing to adopt
  EXPECT_TRUE(Snapshot() == before);

  // Accepted but discarded: still untouched.
  BmpShape next;
  next.width = 40;
  next.bitCount = 8;
  ASSERT_EQ(ReadBytes(MakeBmp(next), "next.bmp", ReadCandidateBmpFile).result, 1);
  EXPECT_TRUE(HoldsCandidateBlock());
  EXPECT_TRUE(Snapshot() == before);
  DiscardCandidateBlock();
  EXPECT_FALSE(HoldsCandidateBlock());
  EXPECT_TRUE(Snapshot() == before);

  // Accepted and adopted: the new picture is the current one, the old block is freed.
  ASSERT_EQ(ReadBytes(MakeBmp(next), "next.bmp", ReadCandidateBmpFile).result, 1);
  AdoptCandidateBlock();
  EXPECT_FALSE(HoldsCandidateBlock());
  EXPECT_NE(dibBlockHandle, before.handle);
  EXPECT_EQ(GlobalFlags(before.handle), static_cast<UINT>(GMEM_INVALID_HANDLE)) << "old block freed";
  ASSERT_EQ(LockDibBlock(mainWindow), 1);
  EXPECT_EQ(dibLayout.width, 40);
  EXPECT_EQ(blockColourCount, 256);
  UnlockDibBlock();
  EXPECT_EQ(boxes.Boxes().size(), messages) << "accepted candidates show nothing";
}

// --- every message of the reader, in both languages -------------------------

struct MessageCase {
  const char* name;
  std::vector<uint8_t> bytes;
  const char* english;
  const char* japanese;
  const char* titleEnglish;
  const char* titleJapanese;
  bool blockKept;
};

std::vector<uint8_t> Truncated(std::vector<uint8_t> v, size_t n) {
  v.resize(n);
  return v;
}

std::vector<MessageCase> ReaderCases() {
  std::vector<MessageCase> cases;
  cases.push_back({"ten_bytes", Truncated(MakeBmp(BmpShape()), 10),
                   "Unable to read bitmap file header.",
                   "ビットマップ・ファイル・ヘッダーを読めません.", "Error", "エラー", false});
  std::vector<uint8_t> png = MakeBmp(BmpShape());
  png[0] = 0x89;
  png[1] = 0x50;
  cases.push_back({"png", png, "Bad magic number (0x5089) in bitmap.",
                   "ビットマップのMAGIC NUMBER (0x5089) が違っています.", "Error", "エラー",
                   false});
  BmpShape tiny;
  tiny.totalSizeDelta = -(static_cast<int64_t>(54 + 1024 + 32) - 25);  // total size 25
  cases.push_back({"total25", MakeBmp(tiny), "Unable to read bitmap info header.",
                   "ビットマップ・インフォ・ヘッダーを読めません.", "Error", "エラー", false});
  BmpShape beyond;
  beyond.totalSizeDelta = 1;
  cases.push_back({"beyond", MakeBmp(beyond), "Unable to read bitmap info header.",
                   "ビットマップ・インフォ・ヘッダーを読めません.", "Read Error", "エラー",
                   false});
  BmpShape huge;
  huge.totalSizeDelta = 0x7FFF0000;
  cases.push_back({"huge", MakeBmp(huge), "Unable to read bitmap info header.",
                   "ビットマップ・インフォ・ヘッダーを読めません.", "Read Error", "エラー",
                   false});
  BmpShape os2v2;
  os2v2.infoSize = 64;
  cases.push_back({"os2v2", MakeBmp(os2v2), "Illegal structure size is found in info header.",
                   "ビットマップのファイル構造ではありません.", "Error", "エラー", true});
  BmpShape odd;
  odd.infoSize = 41;
  cases.push_back({"size41", MakeBmp(odd), "Illegal structure size is found in info header.",
                   "ビットマップのファイル構造ではありません.", "Error", "エラー", true});
  BmpShape pastBlock;
  pastBlock.pixelOffsetDelta = 4096;
  cases.push_back({"offset_past_block", MakeBmp(pastBlock), "Unable to read bitmap info header.",
                   "ビットマップ・インフォ・ヘッダーを読めません.", "Error", "エラー", true});
  BmpShape shortPixels;
  shortPixels.totalSizeDelta = -1;  // the last row lacks a byte
  cases.push_back({"short_pixels", Truncated(MakeBmp(shortPixels), MakeBmp(shortPixels).size() - 1),
                   "Unable to read bitmap info header.",
                   "ビットマップ・インフォ・ヘッダーを読めません.", "Error", "エラー", true});
  return cases;
}

class ReaderMessages : public wintest::PerLanguage {};

TEST_P(ReaderMessages, EachRefusalShowsItsTextAndTitle) {
  const bool japanese = GetParam() == kJapanese;
  for (const MessageCase& c : ReaderCases()) {
    ReleaseDibBlock();
    BoxCatcher boxes;
    EXPECT_EQ(ReadBytes(c.bytes, "message.bmp").result, 0) << c.name;
    ASSERT_EQ(boxes.Boxes().size(), 1u) << c.name;
    const wintest::CapturedBox& box = boxes.Boxes()[0];
    EXPECT_EQ(box.text, wintest::Ansi(japanese ? c.japanese : c.english)) << c.name;
    EXPECT_EQ(box.title, wintest::Ansi(japanese ? c.titleJapanese : c.titleEnglish)) << c.name;
    EXPECT_EQ(box.owner, mainWindow) << c.name;
    EXPECT_TRUE(box.errorIcon) << c.name;
    EXPECT_FALSE(box.timedOut) << c.name;
    EXPECT_EQ(dibBlockHandle != nullptr, c.blockKept) << c.name;
    if (dibBlockHandle != nullptr) {
      EXPECT_EQ(LockCount(dibBlockHandle), 0u) << c.name;
    }
  }
}

std::string LanguageName(const testing::TestParamInfo<int>& info) {
  return info.param == kJapanese ? "Japanese" : "English";
}

INSTANTIATE_TEST_SUITE_P(Languages, ReaderMessages, testing::Values(kEnglish, kJapanese),
                         LanguageName);

}  // namespace
