#include "common/base/text.h"

#include <vector>

int languageFlag = kEnglish;

std::string ToAnsi(const char* utf8) {
  if (utf8 == nullptr || *utf8 == '\0') return std::string();
  int wide = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (wide <= 0) return std::string(utf8);
  std::vector<wchar_t> w(static_cast<size_t>(wide));
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w.data(), wide);
  int narrow = WideCharToMultiByte(CP_ACP, 0, w.data(), -1, nullptr, 0, nullptr, nullptr);
  if (narrow <= 0) return std::string(utf8);
  std::vector<char> a(static_cast<size_t>(narrow));
  WideCharToMultiByte(CP_ACP, 0, w.data(), -1, a.data(), narrow, nullptr, nullptr);
  return std::string(a.data());
}

int ShowMessage(HWND owner, const char* utf8Text, const char* utf8Title, UINT flags) {
  const std::string text = ToAnsi(utf8Text);
  const std::string title = ToAnsi(utf8Title);
  return MessageBoxA(owner, text.c_str(), title.c_str(), flags);
}
