#include "common/bitmap/dib_block.h"

#include <cstring>

#include "common/base/input_file.h"
#include "common/bitmap/global_memory.h"

HGLOBAL dibBlockHandle = nullptr;
uint8_t keptFileHeader[bmp::kFileHeaderSize] = {};
int32_t blockColourCount = 0;
uint8_t* dibBlockStart = nullptr;
uint8_t* dibInfoHeader = nullptr;
uint8_t* dibColourTable = nullptr;
uint8_t* dibPixelData = nullptr;
bmp::BlockLayout dibLayout;
int32_t dibTableLength = 0;
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

// A block read from a file, with the file header that came with it.
struct HeldBlock {
  HGLOBAL handle = nullptr;
  uint8_t header[bmp::kFileHeaderSize] = {};
  size_t size = 0;  // bytes of the block that hold the file
};

HeldBlock candidate;
bmp::BlockLayout candidateLayout;  // of the candidate, set when the rules accepted it

void Free(HeldBlock* block) {
  if (block->handle != nullptr) GlobalFree(block->handle);
  *block = HeldBlock();
}

// Bytes of the block: the file from byte 14 as far as ReadEnd says; 0
// after the message of a refusal.
uint64_t BodySize(HWND window, const FileFront& front, const bmp::FileHeader& header) {
  if (!bmp::FileHeaderSizeIsSound(header)) {
    ShowMessage(window, kMsgBadInfoHeader);
    return 0;
  }
  uint64_t end = header.totalSize;
  if (front.fileLength >= 0) {
    const uint64_t length = static_cast<uint64_t>(front.fileLength);
    end = bmp::ReadEnd(header, bmp::PictureEnd(front.bytes, front.size), length);
    // A file shorter than its header says has been cut short.
    if (end > length) {
      ShowMessage(window, kMsgShortFile);
      return 0;
    }
  }
  return end - bmp::kFileHeaderSize;
}

// The file header from the front and the rest of the file (the front's bytes
// past it, then the file from where the front ended) into a new block: 1 when
// all was read, 0 after a message. What was allocated is in *block either way.
int ReadBlockFrom(HWND window, HFILE file, const FileFront& front, HeldBlock* block) {
  if (front.size < bmp::kFileHeaderSize) {
    ShowMessage(window, kMsgNoFileHeader);
    return 0;
  }
  std::memcpy(block->header, front.bytes, bmp::kFileHeaderSize);
  const bmp::FileHeader header = bmp::ParseFileHeader(block->header);
  if (header.type != bmp::kMagicBM) {
    ShowMessage(window, kMsgBadMagic, static_cast<unsigned long>(header.type));
    return 0;
  }
  const uint64_t bodySize = BodySize(window, front, header);
  if (bodySize == 0) return 0;
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
  const uint64_t inFront = front.size - bmp::kFileHeaderSize;
  const uint64_t fromFront = inFront < bodySize ? inFront : bodySize;
  std::memcpy(into, front.bytes + bmp::kFileHeaderSize, static_cast<size_t>(fromFront));
  if (!ReadExactly(file, into + fromFront, bodySize - fromFront)) {
    ShowMessage(window, kMsgShortFile);
    return 0;
  }
  // The front may have read past the end the reader takes: the file is left
  // where the picture's bytes end, as a reader of just those leaves it.
  if (inFront > bodySize) _llseek(file, static_cast<LONG>(bmp::kFileHeaderSize + bodySize), FILE_BEGIN);
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

// GlobalSize may round up; only the bytes the file filled count.
size_t FilledSize(HGLOBAL handle, size_t filled) {
  const size_t size = GlobalSize(handle);
  return filled < size ? filled : size;
}

}  // namespace

bool ReadFileFront(HFILE file, FileFront* front) {
  front->size = 0;
  const LONG here = _llseek(file, 0, FILE_CURRENT);
  const LONG end = _llseek(file, 0, FILE_END);
  if (here == HFILE_ERROR || _llseek(file, here, FILE_BEGIN) != here) return false;
  front->fileLength = end == HFILE_ERROR ? -1 : static_cast<int64_t>(static_cast<uint32_t>(end));
  uint64_t wanted = FileFront::kBytes;
  if (front->fileLength >= 0) {
    const uint64_t left = static_cast<uint64_t>(front->fileLength) - static_cast<uint32_t>(here);
    if (left < wanted) wanted = left;
  }
  const long got = _hread(file, front->bytes, static_cast<long>(wanted));
  if (got < 0) return false;
  front->size = static_cast<size_t>(got);
  return true;
}

int ReadBmpFile(HWND window, HFILE file) {
  // A block still held would be lost when the new handle replaces it.
  if (dibBlockHandle != nullptr) {
    GlobalFree(dibBlockHandle);
    dibBlockHandle = nullptr;
    ClearAddresses();
  }
  dibBlockSize = 0;
  dibLayout = bmp::BlockLayout();

  static FileFront front;  // a kilobyte: kept off the stack
  HeldBlock block;
  const int read = ReadFileFront(file, &front) ? ReadBlockFrom(window, file, front, &block)
                                               : (ShowMessage(window, kMsgNoFileHeader), 0);
  dibBlockHandle = block.handle;
  std::memcpy(keptFileHeader, block.header, sizeof keptFileHeader);
  dibBlockSize = block.size;
  if (!read) return 0;
  const int result = LockDibBlock(window);
  UnlockDibBlock();
  return result;
}

int ReadCandidateBmpFile(HWND window, HFILE file, const FileFront& front) {
  Free(&candidate);
  if (!ReadBlockFrom(window, file, front, &candidate)) {
    Free(&candidate);
    return 0;
  }
  GlobalMemoryData guard(candidate.handle);
  uint8_t* start = static_cast<uint8_t*>(guard.Lock());
  bmp::BlockLayout layout;
  if (start == nullptr) {
    ShowMessage(window, kMsgNoMemory);
  } else if (AcceptedByLockRules(window, start, FilledSize(candidate.handle, candidate.size),
                                 candidate.header, &layout)) {
    candidateLayout = layout;
    return 1;
  }
  guard.Unlock();
  Free(&candidate);
  return 0;
}

int ReadCandidateBmpFile(HWND window, HFILE file) {
  static FileFront front;
  if (!ReadFileFront(file, &front)) {
    Free(&candidate);
    ShowMessage(window, kMsgNoFileHeader);
    return 0;
  }
  return ReadCandidateBmpFile(window, file, front);
}

bool MakeCandidateBlock(const uint8_t fileHeader[bmp::kFileHeaderSize], size_t blockSize,
                        bool (*fill)(uint8_t* start, size_t size, void* context), void* context) {
  Free(&candidate);
  candidate.handle = GlobalAlloc(GMEM_MOVEABLE, blockSize);
  if (candidate.handle == nullptr) return false;
  std::memcpy(candidate.header, fileHeader, bmp::kFileHeaderSize);
  candidate.size = blockSize;
  bool made = false;
  {
    GlobalMemoryData guard(candidate.handle);
    uint8_t* start = static_cast<uint8_t*>(guard.Lock());
    bmp::BlockLayout layout;
    made = start != nullptr && fill(start, blockSize, context) &&
           bmp::ApplyLockRules(start, blockSize, bmp::ParseFileHeader(candidate.header), &layout) ==
               bmp::BlockCheck::kOk;
    if (made) candidateLayout = layout;
  }
  if (!made) Free(&candidate);
  return made;
}

bool HoldsCandidateBlock() { return candidate.handle != nullptr; }

bool CandidateLayout(bmp::BlockLayout* layout, size_t* blockSize) {
  if (candidate.handle == nullptr) return false;
  *layout = candidateLayout;
  *blockSize = candidate.size;
  return true;
}

void AdoptCandidateBlock() {
  if (candidate.handle == nullptr) return;
  ReleaseDibBlock();
  dibBlockHandle = candidate.handle;
  std::memcpy(keptFileHeader, candidate.header, sizeof keptFileHeader);
  dibBlockSize = candidate.size;
  dibLayout = candidateLayout;
  candidate = HeldBlock();
}

void DiscardCandidateBlock() { Free(&candidate); }

HGLOBAL TakeCandidateBlock(bmp::BlockLayout* layout, size_t* blockSize) {
  if (candidate.handle == nullptr) return nullptr;
  HGLOBAL handle = candidate.handle;
  *layout = candidateLayout;
  *blockSize = FilledSize(handle, candidate.size);
  candidate = HeldBlock();
  return handle;
}

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
  if (dibTableLength > 0 && dibTableLength < layout.colourCount) layout.colourCount = dibTableLength;
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
  dibTableLength = 0;
  blockColourCount = 0;
  std::memset(keptFileHeader, 0, sizeof keptFileHeader);
}
