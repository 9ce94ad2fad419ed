// Copy: the picture on the clipboard as CF_DIB exactly as the image view
// shows it, at the displayed size, with the picture's own bit depth, its own
// pixel indices and the current palette of the history.
#pragma once

#include <windows.h>

namespace kestro {

// Command 105: CopyImageAtLevel at the view's zoom step.
void CopyImageCommand(HWND mainWindow);

// The picture at zoom step `level` on the clipboard. Nothing happens without
// an open picture; when memory for the copy cannot be had, the allocation
// message is shown and the clipboard is left as it was. True when the
// clipboard holds the copy.
bool CopyImageAtLevel(HWND mainWindow, int level);

}  // namespace kestro
