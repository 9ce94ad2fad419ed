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
#include "kestro98/core/messages.h"

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


// The path ends in ".BMP", any letter case.
bool HasBmpExtension(const char* path);
// The path ends in ".BMP" or ".PNG", any letter case: the extensions Open
// takes (the file's content then decides how it is read).
bool HasPictureExtension(const char* path);

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

// What the image-information line makes of the dialog's selected file: a
// path not taken (InfoPathAccepted refuses it, or it cannot be read), a file
// that is not a BMP, or a BMP described. Only kDescribed fills the field.
enum class InfoVerdict { kNotTaken, kNotBitmap, kDescribed };

// The path must pass InfoPathAccepted (.BMP or .PNG); then ImageInformation
// gives kNotBitmap, or kDescribed with *text set to "320(W) x 200(H) x
// 16(Colors) RGB (32118 Bytes)" ("16M" for 24 bits, empty colours for any
// other depth). A PNG (its signature, then IHDR) reads "320(W) x 200(H) x
// 16(Colors) PNG (32118 Bytes)": 2^depth colours for an indexed or grey
// picture of up to 8 bits, "16M" for colour with or without alpha, empty
// otherwise. `bytes` are the file's first bytes (fewer than 31 count as not
// a BMP, fewer than 29 as not a PNG); fileSize is its length.
bool InfoPathAccepted(const char* path);
InfoVerdict ImageInformation(const uint8_t* bytes, size_t size, int64_t fileSize, std::string* text);

}  // namespace kestro
