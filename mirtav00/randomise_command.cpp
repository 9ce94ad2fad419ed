// Randomize PLT under the modeless "Please wait a moment." notice. The notice
// is painted before the work starts (no message loop runs during it); the
// order, the table and the picture change together in RandomisePicture or,
// should the block not fit the open picture, not at all.
#include "mirtav00/randomise_command.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <utility>
#include <vector>

#include "common/base/gdi_guards.h"
#include "common/base/no_bad_alloc.h"
#include "common/base/shell_state.h"
#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "common/ui/palette_file_commands.h"
#include "mirtav00/core/arrange.h"
#include "mirtav00/core/messages.h"
#include "mirtav00/core/order_history.h"
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
    FollowOrder(shuffler.OrderMap, paletteColourCount);
    // Kept as a step, which the counted uses then follow as they follow any.
    if (orderHistory.Record(shuffler.OrderMap)) {
      FollowStepUses(*orderHistory.StepToUndo(), false);
    } else {
      CountEntryUses(window);
    }
  }
  return done;
}

// The picture through a step, forward or (back) taken back; the source's
// order and the counted uses follow. False, with nothing changed, when the
// block refuses it.
bool TakeStep(HWND window, const OrderStep& step, bool back, shuffle::IndexPatch* merged = nullptr) {
  bool done = false;
  {
    ScopedDibLock lock(window);
    done = lock.Locked() &&
           (back ? RevertStep(PaletteTable, &paletteColourCount, dibBlockStart, dibBlockSize, &dibLayout, step)
                 : ApplyStep(PaletteTable, &paletteColourCount, dibBlockStart, dibBlockSize, &dibLayout, step,
                             merged));
  }
  if (!done) return false;
  dibTableLength = paletteColourCount;  // the later locks' table, entries removed or not
  int32_t order[shuffle::kMaxColours];
  StepOrder(step, back, order);
  FollowOrder(order, step.Before());
  FollowStepUses(step, back);
  return true;
}

// After a new order: the picture is changed (or, back in the order it was
// opened in, as opened), its samples drawn again, the palette window shows
// the new table.
void ShowNewOrder(HWND window) {
  pictureState = OrderAsOpened() ? PictureState::kOpened : PictureState::kChanged;
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

namespace {

// A new step taken and kept in the history, the picture shown anew. A merge
// keeps the bytes it changes, in room made before the picture changes: a
// byte and a byte of its gap for each moved pixel, and a byte more for every
// 127 bytes the gaps cover, so the patch does not grow by copies as it fills
// and running out of memory stops the merge with nothing changed.
void TakeNewStep(HWND window, OrderStep step) {
  shuffle::IndexPatch merged;
  if (!step.pixelMap.empty()) {
    const uint64_t* uses = EntryUses(window);
    if (uses == nullptr) return;
    step.usesBefore.assign(uses, uses + 256);
    uint64_t moved = 0;
    for (int32_t i = 0; i < step.Before(); ++i) moved += step.pixelMap[i] != step.order[i] ? uses[i] : 0;
    const uint64_t room = std::min<uint64_t>(2 * moved, SIZE_MAX / 2) + dibBlockSize / 127 + 16;
    try {
      merged.stream.reserve(static_cast<size_t>(room));
    } catch (const std::exception&) {  // bad_alloc, or length_error past what a vector can hold
      ShowMessage(window, kMsgNoMemory);
      return;
    }
  }
  if (!TakeStep(window, step, false, step.pixelMap.empty() ? nullptr : &merged)) return;
  step.patch = std::move(merged);
  orderHistory.Record(std::move(step));
  ShowNewOrder(window);
}

// One step back (undo) or forward through the history, applied as any order is.
void StepThroughHistory(HWND window, bool undo) {
  if (pictureState == PictureState::kNoPicture) return;
  const OrderStep* step = undo ? orderHistory.StepToUndo() : orderHistory.StepToRedo();
  if (step == nullptr) return;
  WaitCursor wait;
  if (!TakeStep(window, *step, undo)) return;
  if (undo) {
    orderHistory.Undone();
  } else {
    orderHistory.Redone();
  }
  ShowNewOrder(window);
}

}  // namespace

void ApplyOrderStep(HWND window, const int32_t* order) {
  if (pictureState == PictureState::kNoPicture || IsIdentity(order, paletteColourCount)) return;
  WaitCursor wait;
  OrderStep step;
  if (MakeStep(order, paletteColourCount, paletteColourCount, nullptr, &step)) TakeNewStep(window, std::move(step));
}

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

void RemoveUnusedEntries(HWND window) {
  if (pictureState == PictureState::kNoPicture) return;
  const int32_t count = paletteColourCount;
  int32_t order[shuffle::kMaxColours];
  int32_t kept = -1;
  {
    WaitCursor wait;
    const uint64_t* uses = EntryUses(window);
    if (uses != nullptr) kept = UnusedRemovalOrder(uses, count, order);
    OrderStep step;
    if (kept > 0 && kept < count && MakeStep(order, count, kept, nullptr, &step)) TakeNewStep(window, std::move(step));
  }
  if (kept == count) ShowMessage(window, kMsgNothingUnused);
}

void MergeDuplicateColours(HWND window) {
  if (pictureState == PictureState::kNoPicture) return;
  const int32_t before = paletteColourCount;
  int32_t order[shuffle::kMaxColours], pixelMap[shuffle::kMaxColours];
  uint8_t alpha[shuffle::kMaxColours];
  const int32_t kept = DuplicateMergeOrder(PaletteTable, EntryAlpha(alpha), before, order, pixelMap);
  if (kept < 0) return;
  if (kept == before) {
    ShowMessage(window, kMsgNoDuplicates);
    return;
  }
  {
    WaitCursor wait;
    OrderStep step;
    if (!MakeStep(order, before, kept, pixelMap, &step)) return;
    TakeNewStep(window, std::move(step));
  }
  if (paletteColourCount == kept) {
    ShowMessage(window, kMsgDuplicatesMerged, static_cast<unsigned long>(before - kept));
  }
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
