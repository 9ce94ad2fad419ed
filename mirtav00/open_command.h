// The Open BMP command and the picture it leaves: ShufflerPicture,
// PaletteTable and the colour count the palette window and Randomize PLT read.
#pragma once

#include <windows.h>

#include "mirtav00/core/open_rules.h"
#include "mirtav00/core/shuffle.h"

namespace mirtav {

extern ShufflerPicture shufflerPicture;
extern shuffle::PaletteEntry PaletteTable[256];
extern int32_t paletteColourCount;  // 0 before the first open, then 16 or 256

// Command 101: the open dialog, the checks, then the new picture shown.
void OpenCommand(HWND mainWindow);

// The title "Mirtav - flower.bmp [1:2]" for the open picture.
void SetPictureTitle(HWND mainWindow);

}  // namespace mirtav
