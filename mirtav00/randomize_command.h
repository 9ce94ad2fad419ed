// The Randomize PLT command (102): PaletteTable, the block's colour table and
// its pixels put into a new random order that looks exactly the same.
#pragma once

#include <windows.h>

namespace mirtav {

void RandomizePalette(HWND mainWindow);

}  // namespace mirtav
