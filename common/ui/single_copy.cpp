// The single-copy test: a top-level window whose title holds the product's
// name in either language means a copy already runs; a second start hands
// the picture its command line names to that copy.
#include "common/ui/app_shell.h"

#include <string>
#include <vector>

#include "common/ui/program_description.h"

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 titles are UTF-16");

// Null-terminated UTF-16 (only the terminator when the text cannot be
// converted). A vector rather than std::wstring keeps the wide string
// instantiations of the runtime out of the programs.
std::vector<wchar_t> Utf8ToWide(const char* utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (length <= 0) return std::vector<wchar_t>(1, L'\0');
  std::vector<wchar_t> wide(static_cast<size_t>(length));
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), length);
  return wide;
}

struct CopySearch {
  std::vector<std::vector<wchar_t>> needles;
  bool found = false;
};

BOOL CALLBACK TestWindowTitle(HWND window, LPARAM param) {
  CopySearch* search = reinterpret_cast<CopySearch*>(param);
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  for (const std::vector<wchar_t>& needle : search->needles) {
    if (ui_core::TitleContains(reinterpret_cast<const char16_t*>(title),
                               reinterpret_cast<const char16_t*>(needle.data()))) {
      search->found = true;
      return FALSE;
    }
  }
  return TRUE;
}

}  // namespace

bool FindRunningCopy(const char* const* needles, size_t count) {
  CopySearch search;
  for (size_t i = 0; i < count; ++i) search.needles.push_back(Utf8ToWide(needles[i]));
  EnumWindows(TestWindowTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}
