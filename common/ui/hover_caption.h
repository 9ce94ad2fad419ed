// Hover captions: a boxed button name drawn straight onto the main window
// under the icon bar, with the pixels it covers saved and written back.
#pragma once

#include <windows.h>

// From the main window's WM_SETCURSOR, after DefWindowProcA.
void UpdateHoverCaption(HWND mainWindow);

// First thing on every icon-bar command: puts back the pixels, if a caption is shown.
void RemoveHoverCaption(HWND mainWindow);

// While a command runs no caption is drawn: the system sends WM_SETCURSOR
// while a dialog or message box is being created, before it disables the
// main window, and a caption drawn then would stay under the box.
void HoldHoverCaptions(bool hold);

// For the length of one icon-bar command: the caption is removed first and
// none is drawn until the command has run.
class CaptionFreeCommand {
 public:
  explicit CaptionFreeCommand(HWND mainWindow) {
    RemoveHoverCaption(mainWindow);
    HoldHoverCaptions(true);
  }
  ~CaptionFreeCommand() { HoldHoverCaptions(false); }
  CaptionFreeCommand(const CaptionFreeCommand&) = delete;
  CaptionFreeCommand& operator=(const CaptionFreeCommand&) = delete;
};

// The caption number shown (0 none) and its rectangle in whole-window
// coordinates (all 0 when none); for tests.
int ShownHoverCaption();
RECT HoverCaptionRect();
