// The open picture: one movable global memory block holding the BMP file
// minus its 14-byte file header (information header, colour table, pixels),
// and the five operations on it. The block is locked for the length of one
// operation only; between a lock and its unlock the addresses below are set
// and dibLayout / dibBlockSize bound every access.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "common/base/text.h"
#include "common/bitmap/core/bmp_rules.h"

// Reader state, one set per program.
extern HGLOBAL dibBlockHandle;                      // null while no picture is held
extern uint8_t keptFileHeader[bmp::kFileHeaderSize];  // as read; zeroed by release
extern int32_t blockColourCount;                    // worked out at every lock

// Valid between a lock and the next unlock, null otherwise.
extern uint8_t* dibBlockStart;
extern uint8_t* dibInfoHeader;   // same as dibBlockStart
extern uint8_t* dibColourTable;  // right after the header; null when the lock was refused
extern uint8_t* dibPixelData;    // by the pixel address rule; null when the lock was refused

// Of the last lock that the rules accepted (or of the adopted candidate),
// kept until the block is released: a user reads nothing outside
// [dibBlockStart, dibBlockStart + dibBlockSize).
extern bmp::BlockLayout dibLayout;
extern size_t dibBlockSize;      // bytes of the block that hold the file
// The colour table's length as the program keeps it when shorter than the
// block's header gives (entries taken out of the table, their bytes left in
// place for an Undo); 0: the header's. Every lock's dibLayout takes it. A
// new or released block sets it back to 0.
extern int32_t dibTableLength;

// The reader's messages (also used by the loads).
extern const Message kMsgCannotOpenFile;       // "%s": the full path
extern const Message kMsgNoFileHeader;
extern const Message kMsgBadMagic;             // "%04lx": the type field
extern const Message kMsgNoMemory;
extern const Message kMsgShortFile;            // title "Read Error"
extern const Message kMsgBadInfoSize;
extern const Message kMsgBadInfoHeader;        // title "Error"

// The first bytes of a file, read once: a program's own checks of Open run
// on them, and the reader goes on from them, so every check is made on the
// very bytes that will be shown.
struct FileFront {
  static constexpr size_t kBytes = bmp::kFrontBytes;
  uint8_t bytes[kBytes] = {};
  size_t size = 0;          // bytes read: fewer for a shorter file
  int64_t fileLength = -1;  // the file's length; -1 when it cannot be told
};
// Reads the front from the file's current position (its start); false when
// the file cannot be read. The file stays open, positioned after the front.
bool ReadFileFront(HFILE file, FileFront* front);

// Reads the file into a new block and checks it with one lock and unlock:
// 1 on success, 0 after a message. The file stays open. A block read but
// refused stays held until the next ReleaseDibBlock.
//
// The block holds the file from byte 14 to its end: the file header's size
// field is not trusted for that (writers of the core header often store the
// two headers' size there); only a file shorter than that field says it is
// cut short, which the reader refuses.
int ReadBmpFile(HWND window, HFILE file);

// Opening a new picture without touching the one shown: the new file goes
// into a candidate block of its own, is read and checked there, and only then
// becomes the current block.
//
// Reads and checks like ReadBmpFile (the same messages) into the candidate,
// replacing any earlier candidate; the current block, its kept header and the
// addresses stay as they were. 1 on success; 0 after a message, with no
// candidate held. The file stays open. The first form goes on from a front
// already read from the same file; the second reads the front itself.
int ReadCandidateBmpFile(HWND window, HFILE file, const FileFront& front);
int ReadCandidateBmpFile(HWND window, HFILE file);
// A candidate made by another reader (a PNG's decoder): a new block of
// blockSize bytes, written by fill(start, blockSize) while locked, with
// fileHeader as the file header it would have as a BMP; the lock rules
// check it then like a read file's. True with the candidate held; false,
// with none held and no message, when memory runs out, fill answers false
// or the rules refuse the block.
bool MakeCandidateBlock(const uint8_t fileHeader[bmp::kFileHeaderSize], size_t blockSize,
                        bool (*fill)(uint8_t* start, size_t size, void* context), void* context);
bool HoldsCandidateBlock();
// The lock rules' layout of the held candidate and its size in bytes; false
// without a candidate. Lets a program refuse a picture it cannot work on
// before the current one is released.
bool CandidateLayout(bmp::BlockLayout* layout, size_t* blockSize);
// Makes the candidate the current block, freeing the old one as
// ReleaseDibBlock does, with its layout as dibLayout; the block is then
// locked with LockDibBlock as usual. Nothing happens without a candidate.
void AdoptCandidateBlock();
// Frees the candidate, if one is held.
void DiscardCandidateBlock();
// Hands the held candidate over instead of adopting it: its handle (the
// caller's to free with GlobalFree), the lock rules' layout and its size in
// bytes; null, with nothing set, when none is held. A picture worked on and
// written apart from the shown one (the shuffler's Arrange pictures) is read
// by the same reader this way.
HGLOBAL TakeCandidateBlock(bmp::BlockLayout* layout, size_t* blockSize);

// Locks the block and applies the block rules: 1 when they accept it, 0 after
// a message. The block stays locked either way; pair it with UnlockDibBlock.
int LockDibBlock(HWND window);
void UnlockDibBlock();

// The block locked for the length of one operation, the way
// ScopedSelectObject holds a selection: LockDibBlock when made (with the
// rules' message on a refusal), UnlockDibBlock when it goes, whatever the
// lock answered. Locked() tells whether the rules accepted the block.
class ScopedDibLock {
 public:
  explicit ScopedDibLock(HWND window) : locked_(LockDibBlock(window) != 0) {}
  ~ScopedDibLock() { UnlockDibBlock(); }
  ScopedDibLock(const ScopedDibLock&) = delete;
  ScopedDibLock& operator=(const ScopedDibLock&) = delete;
  bool Locked() const { return locked_; }

 private:
  bool locked_;
};

// Frees the block if one is held; always zeroes the kept file header.
void ReleaseDibBlock();
