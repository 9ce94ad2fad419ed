// The open picture on the main window: painted at 1 / reduction through the
// shared sampled paint, whose samples are kept until the window's size, the
// picture or its pixels change.
#pragma once

#include <windows.h>

namespace mirtav {

// The picture into the main window's paint DC (nothing without a block).
void PaintPictureView(HWND mainWindow, HDC dc);

// Drops the kept samples: a new picture was adopted or its pixels changed.
void ForgetPictureSamples();

// Repaints the client area below the icon bar at once, background erased.
void RepaintPicture(HWND mainWindow);

}  // namespace mirtav
