// The Randomize PLT command (102) and Arrange to palette: PaletteTable, the
// block's colour table and its pixels put into a new order (a random one, or
// a palette file's) that looks exactly the same.
#pragma once

#include <windows.h>

namespace mirtav {

void RandomisePalette(HWND mainWindow);

// Arrange to palette... (the palette window's menu): asks for a palette file
// holding every colour of the table and puts the table in the file's order,
// every pixel remapped, so the picture looks the same. Refused with a message,
// nothing changed, when the file lacks colours of the table.
void ArrangeToPalette(HWND mainWindow);

// Called, when set, as the work starts: the notice (null when it could not be
// made) has been drawn and nothing has changed yet. The in-process tests look
// at the screen there; the program leaves it null.
extern void (*randomiseWorkStarting)(HWND notice);

}  // namespace mirtav
