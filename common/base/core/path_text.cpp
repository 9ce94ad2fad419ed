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

}  // namespace path_text
