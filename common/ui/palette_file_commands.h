// What both palette windows do with palette files: the right-click menu, the
// choice of a file to read (its colours, or the refusal's message and nothing
// else), and the choice of a file and format to write (beside the target,
// moved into place only when complete, as the pictures are saved).
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

#include "common/base/core/message.h"
#include "common/bitmap/core/palette_file.h"

// One command of a palette window's right-click menu.
struct PaletteMenuItem {
  UINT command;
  BilingualText text;
  bool enabled;
  bool checked = false;  // a radio mark before the text
};

// Shows the menu at the WM_CONTEXTMENU point (screen coordinates; -1, -1
// from the keyboard puts it at the window's top left) and returns the chosen
// command, or 0 when none was chosen.
UINT ChoosePaletteCommand(HWND window, LPARAM screenPoint, const PaletteMenuItem* items,
                          size_t count);

// Asks for a palette file and reads it, whatever its format. True with its
// colours (1 to 256); false when the user cancelled, or after the message of
// a file that cannot be read or is no palette file.
bool ReadPaletteFile(HWND owner, const BilingualText& dialogTitle,
                     std::vector<palette_file::Colour>* colours);

// Reads the palette file at path, whatever its format: true with its colours
// (1 to 256), false after the message of a file that cannot be read or is no
// palette file.
bool ReadPaletteFromPath(HWND owner, const char* path, std::vector<palette_file::Colour>* colours);

// Asks for a file name and a format (the dialog's filter) and writes the
// colours there; a name without an extension gets the format's. An existing
// file is replaced only after the user agreed and the new file is complete.
// True when written; false after a cancel, or after the failure's message.
bool WritePaletteFile(HWND owner, const std::vector<palette_file::Colour>& colours);
