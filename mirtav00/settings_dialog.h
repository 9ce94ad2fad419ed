// The settings dialog of system command 118: whether the palette window is
// shown ("Display of color palette window").
#pragma once

#include <windows.h>

namespace mirtav {

void SettingsDialog(HWND mainWindow);

}  // namespace mirtav
