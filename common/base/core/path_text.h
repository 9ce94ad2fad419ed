// Small facts about paths as the A functions hand them over: text in the
// system's code page, where in code page 932 the second byte of a character
// can look like an ASCII letter or a backslash. Plain bytes only.
#pragma once

namespace path_text {

// A first byte of a two-byte character in code page 932.
inline bool IsShiftJisLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// ASCII letters only: an accented letter of code page 1252 stays as it is.
inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The name part of a path: after its last \\, / or a drive's :, the whole
// path when it has none. With shiftJis set, the second byte of a two-byte
// character is never taken for a separator. A null path has the name "".
const char* FileNameOf(const char* path, bool shiftJis);

// Whether path ends in upperSuffix (".BMP"), letters compared without case.
// A null path ends in nothing.
bool EndsWithIgnoringCase(const char* path, const char* upperSuffix);

}  // namespace path_text
