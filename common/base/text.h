// The language flag and the one place where text meets the "A" functions:
// every user-visible text in the sources is UTF-8 and is converted to the
// system's ANSI code page (1252, or 932 in Japanese) right before the call.
#pragma once

#include <windows.h>

#include <string>

enum Language { kEnglish = 0, kJapanese = 1 };

// Set once when the main window is created (DetectLanguage); read everywhere.
extern int languageFlag;

inline bool IsJapanese() { return languageFlag == kJapanese; }

// Picks the text of the current language.
inline const char* Pick(const char* english, const char* japanese) {
  return IsJapanese() ? japanese : english;
}

// A text in both languages, UTF-8.
struct BilingualText {
  const char* english;
  const char* japanese;
};

inline const char* Pick(const BilingualText& text) { return Pick(text.english, text.japanese); }

// UTF-8 to the ANSI code page of the system.
std::string ToAnsi(const char* utf8);

// MessageBoxA with UTF-8 text and title.
int ShowMessage(HWND owner, const char* utf8Text, const char* utf8Title, UINT flags);
