// Randomize PLT under the modeless "Please wait a moment." notice. The notice
// is painted before the work starts (no message loop runs during it); the
// order, the table and the picture change together in RandomisePicture or,
// should the block not fit the open picture, not at all.
#include "mirtav00/randomise_command.h"

#include <vector>

#include "common/base/gdi_guards.h"
#include "common/base/no_bad_alloc.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "common/ui/palette_file_commands.h"
#include "mirtav00/core/arrange.h"
#include "mirtav00/core/order_tools.h"
#include "mirtav00/core/randomise.h"
#include "mirtav00/core/view_rules.h"
#include "mirtav00/palette_window.h"
#include "mirtav00/picture.h"
#include "mirtav00/picture_view.h"
#include "resources/mirtav00/resource.h"

namespace mirtav {

void (*randomiseWorkStarting)(HWND notice) = nullptr;

namespace {

// The generator, its pool and OrderMap: about 140 KiB, one for the run.
shuffle::Shuffler shuffler;

HWND waitNotice = nullptr;

INT_PTR CALLBACK WaitNoticeProc(HWND, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_DESTROY: waitNotice = nullptr; return TRUE;
    default: return FALSE;
  }
}

void SetTopmost(HWND window, HWND where) {
  HDWP positions = BeginDeferWindowPos(1);
  if (positions == nullptr) return;
  positions = DeferWindowPos(positions, window, where, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  if (positions != nullptr) EndDeferWindowPos(positions);
}

TimeOfDay LocalTimeOfDay() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  TimeOfDay time;
  time.hour = now.wHour;
  time.minute = now.wMinute;
  time.second = now.wSecond;
  time.milliseconds = now.wMilliseconds;
  return time;
}

// Runs one randomisation on the locked block, kept as a step; false when it
// was refused.
bool RandomiseBlock(HWND window) {
  bool done = false;
  {
    ScopedDibLock lock(window);
    done = lock.Locked() && RandomisePicture(shuffler, PaletteTable, paletteColourCount, dibBlockStart,
                                             dibBlockSize, dibLayout, LocalTimeOfDay());
  }
  if (done) {
    shuffle::ComposeOrder(sourceOrder, shuffler.OrderMap, paletteColourCount);
    MoveEntryUses(shuffler.OrderMap);
    orderHistory.Record(shuffler.OrderMap);
  }
  return done;
}

// Entry i of the table moves to order[i], every pixel following; sourceOrder
// follows too. False, with nothing changed, when the block refuses it.
bool ApplyOrder(HWND window, const int32_t* order) {
  bool done = false;
  {
    ScopedDibLock lock(window);
    done = lock.Locked() &&
           ReorderPicture(PaletteTable, paletteColourCount, dibBlockStart, dibBlockSize, dibLayout, order);
  }
  if (done) {
    shuffle::ComposeOrder(sourceOrder, order, paletteColourCount);
    MoveEntryUses(order);
  }
  return done;
}

// After a new order: the picture is changed (or, back in the order it was
// opened in, as opened), its samples drawn again, the palette window shows
// the new table.
void ShowNewOrder(HWND window) {
  pictureState = IsIdentity(sourceOrder, paletteColourCount) ? PictureState::kOpened : PictureState::kChanged;
  ForgetPictureSamples();  // the same colours, other indices
  RepaintPicture(window);
  HWND palette = FindPaletteWindow();
  if (palette != nullptr) {
    InvalidateRect(palette, nullptr, TRUE);
    UpdateWindow(palette);
  }
}

}  // namespace

void ArrangeToPalette(HWND window) {
  if (pictureState == PictureState::kNoPicture) return;
  std::vector<palette_file::Colour> colours;
  if (!ReadPaletteFile(window, {"Select a palette file to arrange to.", "並べる順のパレットファイルの選択"},
                       &colours)) {
    return;
  }
  int32_t order[shuffle::kMaxColours] = {};
  const int32_t missing =
      ArrangeOrder(PaletteTable, paletteColourCount, colours.data(), colours.size(), order);
  if (missing != 0) {
    ShowMessage(window, kMsgColoursMissing, static_cast<unsigned long>(missing));
    return;
  }
  ApplyOrderStep(window, order);
}

void ApplyOrderStep(HWND window, const int32_t* order) {
  if (pictureState == PictureState::kNoPicture || IsIdentity(order, paletteColourCount)) return;
  WaitCursor wait;
  if (!ApplyOrder(window, order)) return;
  orderHistory.Record(order);
  ShowNewOrder(window);
}

namespace {

// One step back (undo) or forward through the history, applied as any order is.
void StepThroughHistory(HWND window, bool undo) {
  int32_t order[shuffle::kMaxColours];
  if (pictureState == PictureState::kNoPicture) return;
  if (!(undo ? orderHistory.UndoOrder(order) : orderHistory.RedoOrder(order))) return;
  WaitCursor wait;
  if (!ApplyOrder(window, order)) return;
  if (undo) {
    orderHistory.Undone();
  } else {
    orderHistory.Redone();
  }
  ShowNewOrder(window);
}

}  // namespace

void UndoOrder(HWND window) { StepThroughHistory(window, true); }

void RedoOrder(HWND window) { StepThroughHistory(window, false); }

void SortPalette(HWND window, SortKey key) {
  if (pictureState == PictureState::kNoPicture) return;
  const uint64_t* uses = nullptr;
  if (key == SortKey::kUse) {
    WaitCursor wait;
    if ((uses = EntryUses(window)) == nullptr) return;
  }
  int32_t order[shuffle::kMaxColours];
  if (SortOrder(PaletteTable, paletteColourCount, key, uses, order)) ApplyOrderStep(window, order);
}

void MovePaletteEntry(HWND window, int32_t from, int32_t to) {
  int32_t order[shuffle::kMaxColours];
  if (MoveOrder(paletteColourCount, from, to, order)) ApplyOrderStep(window, order);
}

void RandomisePalette(HWND window) {
  SetTopmost(window, HWND_TOPMOST);
  waitNotice = CreateDialogParamA(appInstance,
                                  IsJapanese() ? RES_NAME_PLEASE_WAIT_J : RES_NAME_PLEASE_WAIT,
                                  window, NoBadAlloc<INT_PTR, WaitNoticeProc>, 0);
  // Drawn now: no message is dispatched until the work is done.
  if (waitNotice != nullptr) {
    RedrawWindow(waitNotice, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
  if (randomiseWorkStarting != nullptr) randomiseWorkStarting(waitNotice);

  const bool done = RandomiseBlock(window);

  if (waitNotice != nullptr) DestroyWindow(waitNotice);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  SetTopmost(window, HWND_NOTOPMOST);
  if (done) {
    ShowNewOrder(window);
  } else {
    RepaintPicture(window);
  }
  SetFocus(window);
}

}  // namespace mirtav
