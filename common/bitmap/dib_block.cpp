#include "common/bitmap/dib_block.h"

#include <cstring>

#include "common/bitmap/global_memory.h"

HGLOBAL dibBlockHandle = nullptr;
uint8_t keptFileHeader[bmp::kFileHeaderSize] = {};
int32_t blockColourCount = 0;
uint8_t* dibBlockStart = nullptr;
uint8_t* dibInfoHeader = nullptr;
uint8_t* dibColourTable = nullptr;
uint8_t* dibPixelData = nullptr;
bmp::BlockLayout dibLayout;
size_t dibBlockSize = 0;

const Message kMsgCannotOpenFile = {
    {"Unable to open file '%s'.", "ファイル '%s' を開けません."}, {"Error", "エラー"}, MessageIcon::kError};
const Message kMsgNoFileHeader = {
    {"Unable to read bitmap file header.", "ビットマップ・ファイル・ヘッダーを読めません."},
    {"Error", "エラー"}, MessageIcon::kError};
const Message kMsgBadMagic = {
    {"Bad magic number (0x%04lx) in bitmap.",
     "ビットマップのMAGIC NUMBER (0x%04lx) が違っています."},
    {"Error", "エラー"}, MessageIcon::kError};
const Message kMsgNoMemory = {
    {"Unable to allocate space for bitmap.", "ビットマップ用のメモリーを確保できません."},
    {"Error", "エラー"}, MessageIcon::kError};
const Message kMsgShortFile = {
    {"Unable to read bitmap info header.", "ビットマップ・インフォ・ヘッダーを読めません."},
    {"Read Error", "エラー"}, MessageIcon::kError};
const Message kMsgBadInfoSize = {
    {"Illegal structure size is found in info header.",
     "ビットマップのファイル構造ではありません."},
    {"Error", "エラー"}, MessageIcon::kError};
const Message kMsgBadInfoHeader = {
    {"Unable to read bitmap info header.", "ビットマップ・インフォ・ヘッダーを読めません."},
    {"Error", "エラー"}, MessageIcon::kError};

namespace {

void ClearAddresses() {
  dibBlockStart = dibInfoHeader = dibColourTable = dibPixelData = nullptr;
}

// _hread takes a signed 32-bit count: a block past 2 GiB is read in pieces.
bool ReadExactly(HFILE file, uint8_t* into, uint64_t count) {
  constexpr uint64_t kPiece = 0x40000000;
  while (count > 0) {
    const uint64_t piece = count < kPiece ? count : kPiece;
    const long got = _hread(file, into, static_cast<long>(piece));
    if (got < 0 || static_cast<uint64_t>(got) != piece) return false;
    into += piece;
    count -= piece;
  }
  return true;
}

// Bytes from the current position to the end of the file, or -1 when the
// file cannot be sought (then the read itself finds a short file).
int64_t BytesLeft(HFILE file) {
  const LONG here = _llseek(file, 0, FILE_CURRENT);
  if (here == HFILE_ERROR) return -1;
  const LONG end = _llseek(file, 0, FILE_END);
  _llseek(file, here, FILE_BEGIN);
  if (end == HFILE_ERROR) return -1;
  return static_cast<int64_t>(static_cast<uint32_t>(end)) -
         static_cast<int64_t>(static_cast<uint32_t>(here));
}

// A block read from a file, with the file header that came with it.
struct HeldBlock {
  HGLOBAL handle = nullptr;
  uint8_t header[bmp::kFileHeaderSize] = {};
  // The two header fields the lock rules may fill in, as the file holds them.
  uint8_t sizeImageAsRead[4] = {};
  uint8_t clrUsedAsRead[4] = {};
  size_t size = 0;  // bytes of the block that hold the file
  int64_t fileLength = 0;  // the file's length when it was read
};

HeldBlock candidate;
bmp::BlockLayout candidateLayout;  // of the candidate, set when the rules accepted it

void Free(HeldBlock* block) {
  if (block->handle != nullptr) GlobalFree(block->handle);
  *block = HeldBlock();
}

// Reads the file header and the rest of the file into a new block: 1 when
// all was read, 0 after a message. What was allocated is in *block either way.
int ReadBlockFrom(HWND window, HFILE file, HeldBlock* block) {
  const long got = _hread(file, block->header, bmp::kFileHeaderSize);
  if (got != static_cast<long>(bmp::kFileHeaderSize)) {
    ShowMessage(window, kMsgNoFileHeader);
    return 0;
  }
  const bmp::FileHeader header = bmp::ParseFileHeader(block->header);
  if (header.type != bmp::kMagicBM) {
    ShowMessage(window, kMsgBadMagic, static_cast<unsigned long>(header.type));
    return 0;
  }
  if (!bmp::FileHeaderSizeIsSound(header)) {
    ShowMessage(window, kMsgBadInfoHeader);
    return 0;
  }
  const uint64_t bodySize = static_cast<uint64_t>(header.totalSize) - bmp::kFileHeaderSize;
  const int64_t left = BytesLeft(file);
  block->fileLength = left >= 0 ? static_cast<int64_t>(bmp::kFileHeaderSize) + left
                                : static_cast<int64_t>(header.totalSize);
  if (left >= 0 && static_cast<uint64_t>(left) < bodySize) {
    ShowMessage(window, kMsgShortFile);
    return 0;
  }
  if (bodySize > static_cast<uint64_t>(SIZE_MAX)) {
    ShowMessage(window, kMsgNoMemory);
    return 0;
  }
  block->handle = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(bodySize));
  if (block->handle == nullptr) {
    ShowMessage(window, kMsgNoMemory);
    return 0;
  }
  block->size = static_cast<size_t>(bodySize);
  GlobalMemoryData guard(block->handle);
  uint8_t* into = static_cast<uint8_t*>(guard.Lock());
  if (into == nullptr) {
    ShowMessage(window, kMsgNoMemory);
    return 0;
  }
  if (!ReadExactly(file, into, bodySize)) {
    ShowMessage(window, kMsgShortFile);
    return 0;
  }
  return 1;
}

// The block rules over a locked block of `size` bytes: true when they accept
// it, else false after the message of the refusal.
bool AcceptedByLockRules(HWND window, uint8_t* start, size_t size,
                         const uint8_t* fileHeader, bmp::BlockLayout* layout) {
  switch (bmp::ApplyLockRules(start, size, bmp::ParseFileHeader(fileHeader), layout)) {
    case bmp::BlockCheck::kBadInfoSize:
      ShowMessage(window, kMsgBadInfoSize);
      return false;
    case bmp::BlockCheck::kBadLayout:
      ShowMessage(window, kMsgBadInfoHeader);
      return false;
    case bmp::BlockCheck::kOk:
      break;
  }
  return true;
}

// Notes the two fields the lock rules may fill in before they run, so the
// front handed on is the file's own.
void KeepFieldsAsRead(const uint8_t* start, size_t size, HeldBlock* block) {
  if (size >= bmp::kBiClrUsed + 4) {
    std::memcpy(block->sizeImageAsRead, start + bmp::kBiSizeImage, 4);
    std::memcpy(block->clrUsedAsRead, start + bmp::kBiClrUsed, 4);
  }
}

// GlobalSize may round up; only the bytes the file filled count.
size_t FilledSize(HGLOBAL handle, size_t filled) {
  const size_t size = GlobalSize(handle);
  return filled < size ? filled : size;
}

}  // namespace

int ReadBmpFile(HWND window, HFILE file) {
  // A block still held would be lost when the new handle replaces it.
  if (dibBlockHandle != nullptr) {
    GlobalFree(dibBlockHandle);
    dibBlockHandle = nullptr;
    ClearAddresses();
  }
  dibBlockSize = 0;
  dibLayout = bmp::BlockLayout();

  HeldBlock block;
  const int read = ReadBlockFrom(window, file, &block);
  dibBlockHandle = block.handle;
  std::memcpy(keptFileHeader, block.header, sizeof keptFileHeader);
  dibBlockSize = block.size;
  if (!read) return 0;
  const int result = LockDibBlock(window);
  UnlockDibBlock();
  return result;
}

int ReadCandidateBmpFile(HWND window, HFILE file) {
  Free(&candidate);
  if (!ReadBlockFrom(window, file, &candidate)) {
    Free(&candidate);
    return 0;
  }
  GlobalMemoryData guard(candidate.handle);
  uint8_t* start = static_cast<uint8_t*>(guard.Lock());
  bmp::BlockLayout layout;
  if (start == nullptr) {
    ShowMessage(window, kMsgNoMemory);
  } else {
    const size_t filled = FilledSize(candidate.handle, candidate.size);
    KeepFieldsAsRead(start, filled, &candidate);
    if (AcceptedByLockRules(window, start, filled, candidate.header, &layout)) {
      candidateLayout = layout;
      return 1;
    }
  }
  guard.Unlock();
  Free(&candidate);
  return 0;
}

bool HoldsCandidateBlock() { return candidate.handle != nullptr; }

bool CandidateLayout(bmp::BlockLayout* layout, size_t* blockSize) {
  if (candidate.handle == nullptr) return false;
  *layout = candidateLayout;
  *blockSize = candidate.size;
  return true;
}

size_t CandidateFileFront(uint8_t* out, size_t count, int64_t* fileLength) {
  if (candidate.handle == nullptr || count < bmp::kFileHeaderSize) return 0;
  GlobalMemoryData guard(candidate.handle);
  const uint8_t* start = static_cast<const uint8_t*>(guard.Lock());
  if (start == nullptr) return 0;
  std::memcpy(out, candidate.header, bmp::kFileHeaderSize);
  const size_t filled = FilledSize(candidate.handle, candidate.size);
  const size_t body = count - bmp::kFileHeaderSize < filled ? count - bmp::kFileHeaderSize : filled;
  std::memcpy(out + bmp::kFileHeaderSize, start, body);
  // The lock rules filled these in when they were 0; the file holds 0.
  if (filled >= bmp::kBiClrUsed + 4) {
    const struct { uint32_t at; const uint8_t* bytes; } fields[] = {
        {bmp::InFile(bmp::kBiSizeImage), candidate.sizeImageAsRead},
        {bmp::InFile(bmp::kBiClrUsed), candidate.clrUsedAsRead}};
    for (const auto& f : fields) {
      for (uint32_t i = 0; i < 4 && f.at + i < bmp::kFileHeaderSize + body; ++i) out[f.at + i] = f.bytes[i];
    }
  }
  *fileLength = candidate.fileLength;
  return bmp::kFileHeaderSize + body;
}

void AdoptCandidateBlock() {
  if (candidate.handle == nullptr) return;
  ReleaseDibBlock();
  dibBlockHandle = candidate.handle;
  std::memcpy(keptFileHeader, candidate.header, sizeof keptFileHeader);
  dibBlockSize = candidate.size;
  candidate = HeldBlock();
}

void DiscardCandidateBlock() { Free(&candidate); }

int LockDibBlock(HWND window) {
  blockColourCount = 0;
  dibColourTable = dibPixelData = nullptr;
  if (dibBlockHandle == nullptr) {
    ClearAddresses();
    return 0;
  }
  uint8_t* start = static_cast<uint8_t*>(GlobalLock(dibBlockHandle));
  dibBlockStart = dibInfoHeader = start;
  if (start == nullptr) {
    ShowMessage(window, kMsgNoMemory);
    return 0;
  }
  const size_t size = FilledSize(dibBlockHandle, dibBlockSize);
  bmp::BlockLayout layout;
  if (!AcceptedByLockRules(window, start, size, keptFileHeader, &layout)) return 0;
  dibLayout = layout;
  dibBlockSize = size;
  blockColourCount = layout.colourCount;
  dibColourTable = start + layout.colourTableOffset;
  dibPixelData = start + layout.pixelOffset;
  return 1;
}

void UnlockDibBlock() {
  if (dibBlockHandle != nullptr) GlobalUnlock(dibBlockHandle);
  ClearAddresses();
}

void ReleaseDibBlock() {
  if (dibBlockHandle != nullptr) {
    GlobalFree(dibBlockHandle);
    dibBlockHandle = nullptr;
  }
  ClearAddresses();
  dibBlockSize = 0;
  dibLayout = bmp::BlockLayout();
  blockColourCount = 0;
  std::memset(keptFileHeader, 0, sizeof keptFileHeader);
}
