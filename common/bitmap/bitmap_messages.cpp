#include "common/bitmap/bitmap_messages.h"

#include <cstdio>
#include <string>
#include <vector>

#include "common/base/text.h"

namespace {

const char* TextOf(const BilingualText& t) { return Pick(t); }

template <typename Arg>
std::string FormatAnsi(const BitmapMessage& message, Arg argument) {
  const std::string pattern = ToAnsi(TextOf(message.text));
  const int needed = std::snprintf(nullptr, 0, pattern.c_str(), argument);
  if (needed < 0) return pattern;
  std::vector<char> out(static_cast<size_t>(needed) + 1);
  std::snprintf(out.data(), out.size(), pattern.c_str(), argument);
  return std::string(out.data());
}

void Show(HWND owner, const std::string& ansiText, const BitmapMessage& message) {
  const std::string title = ToAnsi(TextOf(message.title));
  MessageBoxA(owner, ansiText.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace

void ShowBitmapError(HWND owner, const BitmapMessage& message) {
  Show(owner, ToAnsi(TextOf(message.text)), message);
}

void ShowBitmapErrorWithText(HWND owner, const BitmapMessage& message, const char* ansiArgument) {
  Show(owner, FormatAnsi(message, ansiArgument ? ansiArgument : ""), message);
}

void ShowBitmapErrorWithNumber(HWND owner, const BitmapMessage& message, unsigned number) {
  Show(owner, FormatAnsi(message, number), message);
}
