// The palette window pPaletteWindow ("Color Palette"), which shows
// PaletteTable in its current order, and the Copy PLT command.
#pragma once

#include <windows.h>

namespace mirtav {

// Posted to the main window after its activation: KeepPaletteWindowInFront.
constexpr UINT kRestackPalette = WM_APP + 1;
// Posted to the main window by the palette window's "Arrange to palette...",
// which the main window runs as a command.
constexpr UINT kArrangeToPalette = WM_APP + 2;
// Posted the same way by "Arrange pictures to palette...".
constexpr UINT kArrangePictures = WM_APP + 3;
// Posted by a drag in the palette window: the entry wParam to place lParam.
constexpr UINT kMovePaletteEntry = WM_APP + 4;

// Yes (0) or No (1): whether the palette window is shown; Yes at every start.
enum ShowPaletteValue { kShowPaletteYes = 0, kShowPaletteNo = 1 };
extern int showPaletteWindow;

// SM_CYCAPTION + 25, read at start: where the palette window stands.
extern int paletteWindowOffset;

// The program's palette window, found by class and title; null when none.
HWND FindPaletteWindow();

// Registers the window's class once, at start; true when it is registered.
bool RegisterPaletteWindowClass();

// Creates, shows and updates the window at the main window's top right;
// nothing when the class is not registered.
void CreatePaletteWindow();

// Puts the palette window back in front of the main window on the screen
// (while its menu is up, once the menu has ended).
// Wine without a window manager raises an owner that becomes active over its
// owned windows while its own z-order still has them in front; showing the
// window again restacks it there. Nothing happens on Windows itself.
void KeepPaletteWindowInFront();

// Follows the main window's WM_ENABLE: disabled while a modal dialog or box
// has disabled the main window.
void EnablePaletteWindow(bool enable);

// Destroys the window, if it exists.
void DestroyPaletteWindow();

// Command 103: the palette as a 264 x 264 24-bit CF_DIB on the clipboard.
void CopyPalette(HWND mainWindow);

}  // namespace mirtav
