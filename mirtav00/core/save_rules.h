// The Save Image command's decisions after the save dialog, in their fixed
// order: the opened file itself (any letter case) is refused, an existing
// target needs a Yes, the drive must be a fixed disk with room, and only then
// is the extension judged (.BMP to the BMP writer, .TIF to the TIFF writer,
// .PNG to the PNG writer).
// The platform answers the questions through SaveQuestions, asked only when
// the sequence reaches them, so a test sees exactly which ones were asked.
#pragma once

#include <cstdint>

#include "mirtav00/core/messages.h"

namespace mirtav {

enum class SaveVerdict {
  kSameFile,       // kMsgSaveOntoOpened
  kDeclined,       // No to the overwrite question: ends without a message
  kNotFixedDisk,   // kMsgSaveNotFixedDisk
  kNoSpace,        // kMsgNoSpace
  kBadExtension,   // kMsgSaveExtension
  kWriteBmp,       // run the BMP writer; kMsgBmpSaved on success
  kWriteTiff,      // run the TIFF writer; kMsgTiffSaved on success
  kWritePng,       // run the PNG writer; kMsgPngSaved on success
};

// The refusal's message; nullptr for kDeclined and the writers.
const Message* MessageOf(SaveVerdict verdict);

class SaveQuestions {
 public:
  virtual bool TargetExists(const char* savePath) = 0;
  virtual bool OverwriteConfirmed() = 0;  // the question box: true for Yes
  virtual bool IsFixedDisk(const char* root) = 0;
  virtual bool HasFreeSpace(const char* root, int32_t bytes) = 0;  // the check adds its margin

 protected:
  ~SaveQuestions() = default;
};

struct SaveRequest {
  const char* savePath;
  const char* openPath;
  bool shiftJis;               // paths in code page 932
  uint64_t openedFileSize;     // measured at open
  uint64_t plannedSize;        // the largest file the picture gives (BMP, TIFF or PNG)
};

// Paths equal ignoring letter case: ASCII letters, and in code page 1252 the
// accented ones; the second byte of a Shift-JIS character compares exactly.
bool SamePathIgnoringCase(const char* a, const char* b, bool shiftJis);

// The bytes asked of the free-space check: the opened file's size, or the
// planned output when that is larger, at most INT32_MAX.
int32_t SpaceToAsk(uint64_t openedFileSize, uint64_t plannedSize);

// At most the bytes of a PNG file whose filtered rows are rawBytes (as
// png::RawDataBytes counts them) and whose other chunks come from a file of
// keptBytes: deflate's stored blocks, the zlib wrapper, the chunk frames.
uint64_t PngSizeBound(uint64_t rawBytes, uint64_t keptBytes);

// The sequence of steps 5 to 9.
SaveVerdict DecideSave(const SaveRequest& request, SaveQuestions& ask);

}  // namespace mirtav
