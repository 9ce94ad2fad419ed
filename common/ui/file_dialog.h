// The programs' open and save dialogs: each a small table (title, filter, the
// icon-bar button that opened it, by its control id in the program's button table, the message of its failure, and for the
// editor's Open a child template with its hook), run by one set-up. The
// button is repainted once the dialog is gone, and the dialog's own failure
// is reported with its error number.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <cstddef>

#include "common/base/text.h"

struct FileDialog {
  bool save;              // GetSaveFileNameA, else GetOpenFileNameA
  BilingualText title;
  const char* filter;     // double-zero-terminated
  int button;             // control id of the icon-bar button repainted afterwards
  const Message* failed;  // "%lx": the dialog's error number
  // A child template below the dialog's controls, and the hook that runs it;
  // none when hook is null.
  LPOFNHOOKPROC hook = nullptr;
  int templateEnglish = 0;
  int templateJapanese = 0;
  // Flags added to the dialog's (OFN_ALLOWMULTISELECT for a choice of many).
  DWORD moreFlags = 0;
};

// Runs the dialog on `path` (pathSize bytes, filled by the user's choice).
// With filterIndex, the dialog starts on that filter (1 = the first) and
// says which one the user left it on. False when the user cancelled or the
// dialog failed (after its message).
bool RunFileDialog(HWND window, const FileDialog& spec, char* path, size_t pathSize,
                   DWORD* filterIndex = nullptr);
