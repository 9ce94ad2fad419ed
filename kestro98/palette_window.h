// The palette editor window (class "PaletteWindow"): the open picture's
// colour table as a 16 x 16 grid of chips, three colour scroll bars with
// their values, a swatch of the composed colour, Undo and Hide. A chip press
// gives that entry the composed colour as one change of the palette history
// (kestro98/picture.h), has the picture module write the current level into
// the picture's table and posts kRepaintPicture to the main window; Hide
// posts kHidePalette. The Undo button and the status line follow the history.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace kestro {

// The editor's own window messages, posted to the main window.
constexpr UINT kRepaintPicture = WM_APP;       // a colour of the table changed
constexpr UINT kHidePalette = WM_APP + 1;      // Hide window, Alt+F4 on the palette window
constexpr UINT kActivatePalette = WM_APP + 2;  // the main window was restored

extern HWND paletteWindow;   // null while none exists
extern bool paletteHidden;   // hidden by its Hide button or by minimising
extern POINT savedPalettePosition;  // (-100, -100) until the window was first placed

// Registers the window's class once, at start; true when it is registered.
bool RegisterPaletteWindowClass();

// Creates the window for the history's level 0 (the caller filled it), at
// its saved position or at the top right of the free screen. Silent when the
// class is not registered.
void CreatePaletteWindow();

// Destroys the window (if any): before a new picture is shown, and at exit.
void DestroyPaletteWindow();

// Popup Window: shows the hidden window again, or makes it active.
void BringPaletteWindowForward();

// Ctrl+Z: what the Undo change button does, nothing while it is disabled.
// Ctrl+Y: puts back the change the last Undo took away, nothing when no
// undone change is left (a new change forgets them).
void UndoChange();
void RedoChange();

// Follows the main window's WM_ENABLE: while a modal dialog or message box
// has disabled the main window, the palette window takes no input either, so
// nothing changes under the dialog.
void EnablePaletteWindow(bool enable);

// A click on the picture: the entry becomes the selected one and the bars
// take its colour (at the nearest colour of the depth); nothing for an entry
// past the table.
void PickEntry(int32_t entry);

// The pixel under the cursor for the status line (UTF-8), empty when the
// cursor is off the picture.
void ShowPixelLine(const std::string& line);

// A key for the palette, before the keys of the accelerator table: while the
// palette window (not its colour field) has the keyboard, the arrows move the
// selection (Home, End to the ends), Tab goes to the colour field, Ctrl+V
// takes a colour from the clipboard's text; Enter or Space there or in the
// main window apply the composed colour to the selected entry. In the field,
// Enter takes the typed colour, Tab and Escape go back to the chips. True
// when the key was taken.
bool TakePaletteKey(const MSG& message);

// kHidePalette in the main window: hide it and activate the main window.
void HidePaletteWindow(HWND mainWindow);

}  // namespace kestro
