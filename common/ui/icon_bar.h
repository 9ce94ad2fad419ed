// The icon bar: the child window of class IconBarWindow along the top of each
// main window, with its owner-drawn bitmap buttons.
#pragma once

#include <windows.h>

#include <cstddef>

#include "common/ui/core/button_tables.h"

// One button of the bar, with the names of its three bitmaps for the current variant.
struct ButtonEntry {
  HWND window = nullptr;  // 0 until created
  char upName[ui_core::kBitmapNameSize] = {};
  char dnName[ui_core::kBitmapNameSize] = {};
  char inName[ui_core::kBitmapNameSize] = {};
};

// The running program's buttons, left to right, as its description's table
// gives them; iconBarButtonCount entries. Filled when the bar is created.
extern ButtonEntry* iconBarButtons;
extern int iconBarButtonCount;

// Handle of the button with this control id (IDC_BAR_... of the program's
// resource.h), or null before the bar exists; for EnableWindow.
HWND IconBarButton(int controlId);

// Enables or disables the buttons with these control ids; ids without a
// button are passed over.
template <size_t N>
void EnableIconBarButtons(const int (&controlIds)[N], bool enable) {
  for (int id : controlIds) {
    HWND button = IconBarButton(id);
    if (button != nullptr) EnableWindow(button, enable ? TRUE : FALSE);
  }
}

LRESULT CALLBACK IconBarWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the class "IconBarWindow" (redraw styles, double clicks, arrow
// cursor, hollow brush, no icon).
bool RegisterIconBarClass(HINSTANCE instance);

// Creates the bar as a visible child of the main window, sizes it to the
// screen width and SM_CYBORDER + 19, shows and updates it. Null on failure.
HWND CreateIconBar(HWND mainWindow);
