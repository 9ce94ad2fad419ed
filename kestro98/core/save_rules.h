// The Save command's rules as pure functions: the format by the path's
// extension (.BMP, .TIF or .PNG in any case; .TIFF and anything else refused), the
// decision sequence from the dialog's result to the write, the size whose
// free space is checked (the file that will be written), the messages in
// both languages, and the check that a written BMP equals the picture read at
// Open in every byte Open read outside the colour table (bytes 54 to
// 54 + 4n - 1), so a source changed since Open is never mixed with the
// edited palette.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kestro98/core/open_rules.h"

namespace kestro {

enum class SaveFormat { kBmp, kTiff, kPng, kRefused };
SaveFormat SaveFormatOfPath(const char* path);

enum class DialogResult { kChosen, kCancelled, kFailed };
enum class Answer { kNotAsked, kYes, kNo };

struct SaveInputs {
  DialogResult dialog = DialogResult::kCancelled;
  bool fixedDisk = false;      // the fixed-disk check of the path's root
  bool enoughSpace = false;    // the free-space check for BytesToWrite
  SaveFormat format = SaveFormat::kRefused;
  bool destinationExists = false;
  Answer overwrite = Answer::kNotAsked;
};

enum class SaveAction {
  kShowDialogError,  // "GetSaveFileName error 0x%lx"
  kStop,             // cancelled, or No to the overwrite question: nothing shown
  kNotFixedDisk,
  kNotEnoughSpace,
  kWrongExtension,
  kAskOverwrite,     // ask, then decide again with the answer
  kWriteBmp,         // copy beside the destination, patch, verify, replace
  kWriteTiff,
  kWritePng,
};

// The next step of the sequence for what is known so far. The Save Image
// button area is repainted after any dialog result other than kFailed.
SaveAction DecideSave(const SaveInputs& in);

// The size the free-space check uses: the source file's when the picture is
// saved in its source's own format (a copy with a new table or PLTE), else the
// new file's (a TIFF, a BMP made from a PNG, a PNG made from a BMP; a TIFF of
// an RLE source is larger than the source).
int64_t BytesToWrite(SaveFormat format, SaveFormat sourceFormat, int64_t sourceFileSize, int64_t newFileSize);

// At most how many bytes the encoder writes for an indexed PNG of this size
// and depth: the rows with their filter bytes as stored deflate blocks (its
// worst case), the chunks around them and a palette of 256 entries with tRNS.
uint64_t NewPngBound(uint32_t width, uint32_t height, uint32_t depth);

// Two ANSI paths name the same file: letter case folded on single-byte
// characters only (a Shift-JIS trail byte is compared as it is).
bool SamePath(const char* a, const char* b, bool shiftJis);

enum class SaveMessage {
  kDialogFailed, kNotFixedDisk, kNotEnoughSpace, kWrongExtension, kDestinationExists,
  kCannotCreate, kCannotOpen, kSaved, kCannotWrite, kSourceChanged,
  kIndexPastTable,  // a PNG from a picture with an index that has no table entry
  kNoMemory,
};
// kDialogFailed has "%lx" ; kSaved has "%s", the save path.
const Message& SaveMessageText(SaveMessage message);

// What Open read of the source: the file header, the two information-header
// fields the lock rules may fill in (as the file held them; a core header has
// neither), the header size, the file length.
struct OpenedFile {
  uint8_t fileHeader[14] = {};
  uint32_t clrUsed = 0;     // bytes 46..49 of the file
  uint32_t sizeImage = 0;   // bytes 34..37 of the file
  uint32_t infoSize = 40;   // the colour table starts at 14 + infoSize
  int64_t fileSize = 0;

  uint32_t EntrySize() const { return infoSize == 12 ? 3 : 4; }
  uint64_t TableStart() const { return 14 + uint64_t{infoSize}; }
};

// Compares bytes [offset, offset + n) of a written file with the opened
// picture: the file header, then the block (the file from byte 14), the two
// fields against their file values, the colour table (colourCount entries
// from TableStart) skipped, bytes after the block not compared. A byte at or
// past opened.fileSize never matches. Call it for consecutive chunks and
// check the written length equals opened.fileSize.
bool MatchesOpenedFile(const OpenedFile& opened, const uint8_t* block, size_t blockSize,
                       int32_t colourCount, uint64_t offset, const uint8_t* bytes, size_t n);

}  // namespace kestro
