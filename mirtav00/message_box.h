// Shows one of the shuffler's messages (mirtav00/core/messages.h) in the
// language of the program, modal to the main window, with its icon.
#pragma once

#include <windows.h>

#include "mirtav00/core/messages.h"

namespace mirtav {

// The box's answer (IDOK, IDYES, IDNO).
int ShowShufflerMessage(HWND owner, const Message& message);
// The text holds one "%s", filled with ansiArgument (a path from a dialog).
int ShowShufflerMessageWithText(HWND owner, const Message& message, const char* ansiArgument);
// The text holds one "%lx", filled with number.
int ShowShufflerMessageWithNumber(HWND owner, const Message& message, unsigned long number);

}  // namespace mirtav
