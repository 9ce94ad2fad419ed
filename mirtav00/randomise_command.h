// The commands of the order: Randomize PLT (102), Arrange to palette, the
// sorts, a move by hand, Remove unused entries, Merge duplicate colours,
// Undo and Redo. Each puts PaletteTable, the block's
// colour table and its pixels into a new order that looks exactly the same.
#pragma once

#include <windows.h>

#include <cstdint>

#include "mirtav00/core/order_tools.h"

namespace mirtav {

void RandomisePalette(HWND mainWindow);

// Arrange to palette... (the palette window's menu): asks for a palette file
// holding every colour of the table and puts the table in the file's order,
// every pixel remapped, so the picture looks the same. Refused with a message,
// nothing changed, when the file lacks colours of the table.
void ArrangeToPalette(HWND mainWindow);

// Every order below is one step of the order's history and changes nothing
// when it leaves the table as it is.
// The table (and every pixel) in a new order: entry i moves to order[i].
void ApplyOrderStep(HWND mainWindow, const int32_t* order);
// The last step taken back, or the next one taken again.
void UndoOrder(HWND mainWindow);
void RedoOrder(HWND mainWindow);
// Sort by hue, lightness or use (the pixels counted first).
void SortPalette(HWND mainWindow, SortKey key);
// The entry at `from` moved to `to`, the ones between shifting by one.
void MovePaletteEntry(HWND mainWindow, int32_t from, int32_t to);

// Remove unused entries: the entries no pixel uses leave the table, the
// others keep their order; a message when every entry is used.
void RemoveUnusedEntries(HWND mainWindow);
// Merge duplicate colours: entries of one colour (and, from a PNG, one
// alpha) become the first of them, pixels following, and the others leave
// the table; a message says how many went, or that there were none.
void MergeDuplicateColours(HWND mainWindow);

// Called, when set, as the work starts: the notice (null when it could not be
// made) has been drawn and nothing has changed yet. The in-process tests look
// at the screen there; the program leaves it null.
extern void (*randomiseWorkStarting)(HWND notice);

}  // namespace mirtav
