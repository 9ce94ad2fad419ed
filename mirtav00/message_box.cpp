#include "mirtav00/message_box.h"

#include <cstdio>
#include <string>
#include <vector>

#include "common/base/text.h"

namespace mirtav {

namespace {

UINT FlagsOf(const Message& message) {
  switch (message.icon) {
    case Icon::kError: return MB_OK | MB_ICONERROR;
    case Icon::kWarning: return MB_OK | MB_ICONEXCLAMATION;
    case Icon::kInformation: return MB_OK | MB_ICONINFORMATION;
    case Icon::kQuestion: return MB_YESNO | MB_ICONQUESTION;
  }
  return MB_OK;
}

template <typename Arg>
std::string Format(const Message& message, Arg argument) {
  // The template is converted first, so an ANSI argument keeps its bytes.
  const std::string pattern = ToAnsi(message.text.Pick(IsJapanese()));
  const int needed = std::snprintf(nullptr, 0, pattern.c_str(), argument);
  if (needed < 0) return pattern;
  std::vector<char> out(static_cast<size_t>(needed) + 1);
  std::snprintf(out.data(), out.size(), pattern.c_str(), argument);
  return std::string(out.data());
}

int Show(HWND owner, const std::string& ansiText, const Message& message) {
  const std::string title = ToAnsi(message.title.Pick(IsJapanese()));
  return MessageBoxA(owner, ansiText.c_str(), title.c_str(), FlagsOf(message));
}

}  // namespace

int ShowShufflerMessage(HWND owner, const Message& message) {
  return Show(owner, ToAnsi(message.text.Pick(IsJapanese())), message);
}

int ShowShufflerMessageWithText(HWND owner, const Message& message, const char* ansiArgument) {
  return Show(owner, Format(message, ansiArgument != nullptr ? ansiArgument : ""), message);
}

int ShowShufflerMessageWithNumber(HWND owner, const Message& message, unsigned long number) {
  return Show(owner, Format(message, number), message);
}

}  // namespace mirtav
