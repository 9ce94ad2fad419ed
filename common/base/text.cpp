#include "common/base/text.h"

#include <cstdio>
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

namespace {

UINT FlagsOf(const Message& message) {
  UINT flags = message.systemModal ? MB_SYSTEMMODAL : 0;
  switch (message.icon) {
    case MessageIcon::kError: return flags | MB_OK | MB_ICONERROR;
    case MessageIcon::kWarning: return flags | MB_OK | MB_ICONEXCLAMATION;
    case MessageIcon::kInformation: return flags | MB_OK | MB_ICONINFORMATION;
    case MessageIcon::kQuestion: return flags | MB_YESNO | MB_ICONQUESTION;
    case MessageIcon::kQuestionOrCancel: return flags | MB_YESNOCANCEL | MB_ICONQUESTION;
  }
  return flags | MB_OK;
}

CaughtMessage* catcher = nullptr;

int Show(HWND owner, const std::string& ansiText, const Message& message) {
  if (catcher != nullptr) {
    catcher->Keep(ansiText);
    const bool question = message.icon == MessageIcon::kQuestion || message.icon == MessageIcon::kQuestionOrCancel;
    return question ? IDNO : IDOK;
  }
  const std::string title = ToAnsi(Pick(message.title));
  return MessageBoxA(owner, ansiText.c_str(), title.c_str(), FlagsOf(message));
}

template <typename Arg>
std::string Format(const Message& message, Arg argument) {
  // The template is converted first, so an ANSI argument keeps its bytes.
  const std::string pattern = ToAnsi(Pick(message.text));
  const int needed = std::snprintf(nullptr, 0, pattern.c_str(), argument);
  if (needed < 0) return pattern;
  std::vector<char> out(static_cast<size_t>(needed) + 1);
  std::snprintf(out.data(), out.size(), pattern.c_str(), argument);
  return std::string(out.data());
}

}  // namespace

int ShowMessage(HWND owner, const Message& message) {
  return Show(owner, ToAnsi(Pick(message.text)), message);
}

int ShowMessage(HWND owner, const Message& message, const char* ansiArgument) {
  return Show(owner, Format(message, ansiArgument != nullptr ? ansiArgument : ""), message);
}

int ShowMessage(HWND owner, const Message& message, unsigned long number) {
  return Show(owner, Format(message, number), message);
}

CaughtMessage::CaughtMessage() : outer_(catcher) { catcher = this; }

CaughtMessage::~CaughtMessage() { catcher = outer_; }

void CaughtMessage::Keep(const std::string& ansiText) {
  if (caught_) return;
  caught_ = true;
  text_ = ansiText;
}
