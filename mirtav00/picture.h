// What is open in the shuffler, each fact once: the state, the picture's
// facts (paths, size, depth, rows, the reduction it is shown at), its colour
// table in the current order, the PNG file it came from (if it came from
// one) with the order that leads from that file's palette to the table, and
// the title. Open writes them only after the new file has passed every
// check; Randomize PLT and Arrange to palette change the table, the order
// and the state; every window and command reads them here.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/base/core/picture_state.h"
#include "common/bitmap/png_picture.h"
#include "mirtav00/core/open_rules.h"
#include "mirtav00/core/order_history.h"
#include "mirtav00/core/shuffle.h"

namespace mirtav {

extern PictureState pictureState;
extern ShufflerPicture shufflerPicture;       // shown at 1 / shufflerPicture.reductionFactor
extern shuffle::PaletteEntry PaletteTable[256];
// 0 before the first open, then the table's length: the file's, or fewer
// once entries were removed or merged.
extern int32_t paletteColourCount;
// The table's length as opened: sourceOrder covers that many entries, and
// those it sends past paletteColourCount are out of the table.
extern int32_t openedColourCount;
// The PNG file the picture was read from, as read; empty for a BMP.
extern PngSource pngSource;
// Where each entry of the opened file's table stands in PaletteTable now
// (identity at Open); the PNG save moves the file's own chunks through it.
extern int32_t sourceOrder[256];
// sourceOrder as it was last opened or written to a file: leaving a picture
// whose sourceOrder differs asks first.
extern int32_t savedOrder[256];
extern int32_t savedColourCount;
// The steps of the order since the picture was opened, for Undo and Redo.
extern OrderHistory orderHistory;

// True when the table's order or length differs from the one last opened or
// saved.
bool OrderUnsaved();
// The source's order and length become the saved ones.
void MarkOrderSaved();
// The source's order follows a step of `count` entries (entry i went to
// step[i]); the entries past count stay where they are.
void FollowOrder(const int32_t* step, int32_t count);
// True when the table is the source's, in its order and at its length.
bool OrderAsOpened();

// Each entry's alpha when the picture came from a PNG (its tRNS, 255 past
// it), in *alpha; null for a BMP, whose entries have none.
const uint8_t* EntryAlpha(uint8_t alpha[256]);

// How many pixels use each entry of PaletteTable, counted once after an open
// and then following every order; null when the block cannot be counted.
const uint64_t* EntryUses(HWND mainWindow);
// The same when they are known, without counting; null otherwise.
const uint64_t* KnownEntryUses();
// The counts follow a step taken or (back) taken back; where they cannot,
// they are made again when next asked for.
void FollowStepUses(const OrderStep& step, bool back);
// A new picture: the counts made now, so Sort by use, Remove unused entries
// and the palette window's caption find them ready.
void CountEntryUses(HWND mainWindow);

// The palette window's title, UTF-8: "Color Palette" or "カラーパレット".
const char* PaletteWindowTitle();

// The title "Mirtav - flower.bmp [1:2]" for the open picture.
void SetPictureTitle(HWND mainWindow);

}  // namespace mirtav
