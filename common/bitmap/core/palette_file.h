// Palette files as palette users trade them: JASC-PAL and Microsoft RIFF
// palettes (both ".pal"), GIMP palettes (".gpl"), Adobe Color Tables
// (".act") and hex lists (".hex"). Reading tells the format by the content,
// never by the name; writing makes the file of a chosen format. Plain memory
// only: the Win32 layer reads and writes the files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/base/core/message.h"

namespace palette_file {

// At most this many colours are taken from a file (the rest are ignored, as
// the tools that write longer lists do) and written to one.
constexpr size_t kMaxColours = 256;

struct Colour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const Colour& o) const { return red == o.red && green == o.green && blue == o.blue; }
  bool operator!=(const Colour& o) const { return !(*this == o); }
};

enum class Format { kJasc, kRiff, kGimp, kAct, kHex };

// Why a file was refused. Text formats name the line (counted from 1).
enum class Problem {
  kNone,
  kEmpty,           // no bytes at all (or a UTF-8 byte-order mark alone)
  kUnknownFormat,   // none of the five formats
  kBadCount,        // JASC: the third line is missing or not a count 0..65535 (0 is kNoColours)
  kBadColourLine,   // a text line that should hold a colour does not
  kMissingColours,  // JASC: fewer colour lines than its count
  kNoColours,       // a well-formed file without a single colour
  kBadRiff,         // RIFF: chunk sizes, the "data" chunk or its LOGPALETTE (version
                    // 0x300) do not fit
  kBadAct,          // ACT: a count of 0 or over 256 (a file of another length than 768
                    // or 772 bytes is never taken for ACT: kUnknownFormat)
};

struct ReadResult {
  Problem problem = Problem::kNone;
  Format format = Format::kJasc;  // the format found (when the problem is not kEmpty/kUnknownFormat)
  unsigned long line = 0;         // the line of a kBadColourLine or kBadCount, else 0
  std::vector<Colour> colours;    // 1..kMaxColours on success, empty on a refusal
};

// Reads a palette file of `size` bytes. Line ends CRLF, LF or CR; a UTF-8
// byte-order mark is skipped; spaces and tabs around values and at line ends
// are ignored; blank lines are skipped in GIMP and hex files. Only the first
// kMaxColours colours are kept. Never reads outside [bytes, bytes + size).
// The format is told in this order: "RIFF" with "PAL " at 8; a first line
// "JASC-PAL" or "GIMP Palette"; a first non-blank line of six hex digits
// (with or without "#"); then any other file of 768 or 772 bytes is ACT.
// JASC's version line is not checked; lines after its colours are ignored.
// GIMP "Name:" and "Columns:" lines are skipped wherever they stand.
ReadResult Read(const uint8_t* bytes, size_t size);

// The file of `format` holding `colours` (1..kMaxColours; more are cut):
// JASC "JASC-PAL", "0100", the count, "R G B" lines, CRLF; RIFF "RIFF" size
// "PAL " and one "data" chunk with a LOGPALETTE (version 0x300, the count,
// red green blue flags 0 per entry); GIMP "GIMP Palette", "Name: <name>",
// "Columns: 16", "#", then "R G B\tUntitled" lines with the values right
// aligned in three places, LF; ACT 256 triples (black after the colours), then
// the count and 0xFFFF (no transparent entry), big-endian; hex lists one
// lowercase "rrggbb" a line, LF. A null or empty name is written "Untitled"
// (line ends in a name become spaces); only GIMP files carry it. No colours
// give no bytes.
std::vector<uint8_t> Write(Format format, const std::vector<Colour>& colours, const char* name);

// The message of a refusal, in both languages. A kBadColourLine or kBadCount
// text holds one "%lu", the line.
const Message& ProblemMessage(Problem problem);

}  // namespace palette_file
