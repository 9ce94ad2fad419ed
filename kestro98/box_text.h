// Shows one of the editor's message boxes (a core BoxText: texts, titles and
// icon in both languages) modal to the main window, in the language of the
// flag.
#pragma once

#include <windows.h>

#include "kestro98/core/open_rules.h"

namespace kestro {

// ansiArgument, when given, replaces the text's "%s": a path from a file
// dialog, inserted after the text is converted so its bytes stay as they are.
// Returns MessageBoxA's answer.
int ShowBoxText(HWND owner, const BoxText& box, const char* ansiArgument = nullptr);

// A text already formatted (UTF-8) with the box's title and icon.
int ShowBoxTextAs(HWND owner, const BoxText& box, const char* utf8Text);

}  // namespace kestro
