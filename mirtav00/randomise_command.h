// The Randomize PLT command (102): PaletteTable, the block's colour table and
// its pixels put into a new random order that looks exactly the same.
#pragma once

#include <windows.h>

namespace mirtav {

void RandomisePalette(HWND mainWindow);

// Called, when set, as the work starts: the notice (null when it could not be
// made) has been drawn and nothing has changed yet. The in-process tests look
// at the screen there; the program leaves it null.
extern void (*randomiseWorkStarting)(HWND notice);

}  // namespace mirtav
