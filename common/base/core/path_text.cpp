#include "common/base/core/path_text.h"

#include <cstring>

namespace path_text {

bool EndsWithIgnoringCase(const char* path, const char* upperSuffix) {
  if (path == nullptr) return false;
  const size_t n = std::strlen(path), e = std::strlen(upperSuffix);
  if (n < e) return false;
  for (size_t i = 0; i < e; ++i) {
    if (AsciiUpper(path[n - e + i]) != upperSuffix[i]) return false;
  }
  return true;
}

const char* FileNameOf(const char* path, bool shiftJis) {
  if (path == nullptr) return "";
  const char* name = path;
  for (const char* p = path; *p != '\0'; ++p) {
    if (shiftJis && IsShiftJisLead(static_cast<unsigned char>(*p)) && p[1] != '\0') {
      ++p;
      continue;
    }
    if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
  }
  return name;
}

}  // namespace path_text
