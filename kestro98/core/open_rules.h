// The Open command's own checks on the chosen file, before the BMP reader
// runs: the path's extension, then the header bytes (signature, a header
// size the reader takes, non-zero size, a colour table of 1 to 2^bits
// entries), each
// refusal with its message in both languages (UTF-8; the Win32 layer converts
// with ToAnsi before MessageBoxA). Also the dialog's "Image information:"
// line and the file name shown in the title. Paths are the dialog's ANSI
// bytes; with shiftJis set, a double-byte character's trail byte is never
// taken for a backslash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/base/core/message.h"

namespace kestro {

enum class OpenVerdict {
  kOk,
  kNotFixedDisk,
  kWrongExtension,
  kCannotOpen,
  kBadFormat,        // also a file too short for its header or colour table
  kZeroSize,
  kNoColourTable,
  kWrongColourCount,
};

// The message of a refusal (not of kOk).
const Message& OpenMessage(OpenVerdict verdict);

// "GetOpenFileName error 0x%lx" and its title; the code in lower-case hex.
extern const Message kOpenDialogFailed;

// The path ends in ".BMP", any letter case.
bool HasBmpExtension(const char* path);

// Bytes the header checks read: up to the colour table's end after the
// largest header.
constexpr size_t kHeaderBytes = 14 + 124 + 4 * 256;

// Where the colour table lies in the file, for level 0 of the history.
struct TableSpot {
  uint32_t offset = 54;     // file offset of entry 0: right after the header
  uint32_t entrySize = 4;   // 3 after a core header
};

// Steps 8 to 11 of the check chain on the file's first `size` bytes;
// *colourCount (and *table when given) are set on kOk. The colour table must
// lie within them too, so level 0 of the history can be read from them.
OpenVerdict CheckHeader(const uint8_t* bytes, size_t size, int32_t* colourCount,
                        TableSpot* table = nullptr);

// The image-information line for the dialog's selected file. The path must
// pass InfoPathAccepted (otherwise the answer is 0); then ImageInformation
// gives 1 for a file that is not a BMP, or 2 with *text set to
// "320(W) x 200(H) x 16(Colors) RGB (32118 Bytes)" ("16M" for 24 bits, empty
// colours for any other depth). `bytes` are the file's first bytes (fewer
// than 31 count as not a BMP); fileSize is its length. Only 2 fills the field.
bool InfoPathAccepted(const char* path);
int ImageInformation(const uint8_t* bytes, size_t size, int64_t fileSize, std::string* text);

// The part of the path after its last backslash (the whole path when none).
std::string FileNameOfPath(const std::string& path, bool shiftJis);

}  // namespace kestro
