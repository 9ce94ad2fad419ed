// The shuffler's open and save dialogs: one set-up for both, the button that
// opened the dialog repainted once it is gone, and the dialog's own failure
// reported with its error number.
#pragma once

#include <windows.h>

#include "mirtav00/core/messages.h"

namespace mirtav {

struct FileDialog {
  bool save;                 // GetSaveFileNameA, else GetOpenFileNameA
  const char* titleEnglish;  // UTF-8, as the message tables hold texts
  const char* titleJapanese;
  const char* filter;        // double-zero-terminated
  RECT button;               // the icon-bar button repainted afterwards
  const Message* failed;     // shown with the dialog's error number
};

// Runs the dialog on `path` (kPathBufferSize bytes, filled by the user's
// choice). False when the user cancelled or the dialog failed.
bool RunFileDialog(HWND window, const FileDialog& spec, char* path);

}  // namespace mirtav
