// The error boxes of the bitmap layer: each text in English and Japanese
// (UTF-8 in the source), shown modal to the window handed in with the error
// icon, in the language of languageFlag.
#pragma once

#include <windows.h>

#include "common/base/text.h"

struct BitmapMessage {
  BilingualText text;
  BilingualText title;
};

// Shows message; when the text holds one printf conversion, argument fills it.
// An ANSI argument (a path from a file dialog) is inserted after the template
// is converted, so its bytes reach the box unchanged.
void ShowBitmapError(HWND owner, const BitmapMessage& message);
void ShowBitmapErrorWithText(HWND owner, const BitmapMessage& message, const char* ansiArgument);
void ShowBitmapErrorWithNumber(HWND owner, const BitmapMessage& message, unsigned number);
