// The language flag and the one place where text meets the "A" functions:
// every user-visible text in the sources is UTF-8 and is converted to the
// system's ANSI code page (1252, or 932 in Japanese) right before the call.
#pragma once

#include <windows.h>

#include <string>

#include "common/base/core/message.h"

enum Language { kEnglish = 0, kJapanese = 1 };

// Set once when the main window is created (DetectLanguage); read everywhere.
extern int languageFlag;

inline bool IsJapanese() { return languageFlag == kJapanese; }

// Picks the text of the current language.
inline const char* Pick(const char* english, const char* japanese) {
  return IsJapanese() ? japanese : english;
}

inline const char* Pick(const BilingualText& text) { return Pick(text.english, text.japanese); }

// UTF-8 to the ANSI code page of the system.
std::string ToAnsi(const char* utf8);

// The one way a message box is shown: modal to owner, text and title in the
// language of the flag, with the message's icon (and Yes and No for a
// question, Yes, No and Cancel for a question that can be cancelled). With an argument, the text's one printf conversion takes it; an
// ANSI argument (a path from a file dialog) is put in after the text is
// converted, so its bytes reach the box as they are. Returns the answer
// (IDOK, IDYES, IDNO, IDCANCEL).
int ShowMessage(HWND owner, const Message& message);
int ShowMessage(HWND owner, const Message& message, const char* ansiArgument);
int ShowMessage(HWND owner, const Message& message, unsigned long number);

// While one lives, ShowMessage shows no box: it keeps the text (as the box
// would have shown it, in the ANSI code page) of the first message and
// answers IDOK, or IDNO to a question. A run over many files (the
// shuffler's Arrange pictures to palette, its command line) collects each
// file's refusal this way through the very code the one-file commands run.
class CaughtMessage {
 public:
  CaughtMessage();
  ~CaughtMessage();
  CaughtMessage(const CaughtMessage&) = delete;
  CaughtMessage& operator=(const CaughtMessage&) = delete;
  bool Caught() const { return caught_; }
  const std::string& Text() const { return text_; }
  void Keep(const std::string& ansiText);

 private:
  CaughtMessage* outer_;
  bool caught_ = false;
  std::string text_;
};
