// What is open in the shuffler, program-wide, and its title.
#include "mirtav00/picture.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "common/base/text.h"
#include "common/bitmap/dib_block.h"
#include "mirtav00/core/order_tools.h"
#include "mirtav00/core/view_rules.h"

namespace mirtav {

PictureState pictureState = PictureState::kStarting;
ShufflerPicture shufflerPicture;
shuffle::PaletteEntry PaletteTable[256];
int32_t paletteColourCount = 0;
int32_t openedColourCount = 0;
PngSource pngSource;
int32_t sourceOrder[256] = {};
int32_t savedOrder[256] = {};
int32_t savedColourCount = 0;
OrderHistory orderHistory;

bool OrderUnsaved() {
  return pictureState != PictureState::kNoPicture &&
         (savedColourCount != paletteColourCount ||
          std::memcmp(sourceOrder, savedOrder, sizeof(int32_t) * static_cast<size_t>(openedColourCount)) != 0);
}

void MarkOrderSaved() {
  std::memcpy(savedOrder, sourceOrder, sizeof savedOrder);
  savedColourCount = paletteColourCount;
}

void FollowOrder(const int32_t* step, int32_t count) {
  int32_t whole[256];
  for (int32_t i = 0; i < 256; ++i) whole[i] = i < count ? step[i] : i;
  shuffle::ComposeOrder(sourceOrder, whole, openedColourCount);
}

bool OrderAsOpened() {
  return paletteColourCount == openedColourCount && IsIdentity(sourceOrder, openedColourCount);
}

const uint8_t* EntryAlpha(uint8_t alpha[256]) {
  if (pngSource.bytes.empty()) return nullptr;
  std::fill(alpha, alpha + 256, uint8_t{255});
  const std::vector<uint8_t>& trns = pngSource.layout.alpha;
  for (int32_t i = 0; i < openedColourCount && static_cast<size_t>(i) < trns.size(); ++i) {
    alpha[sourceOrder[i]] = trns[i];
  }
  return alpha;
}

namespace {
uint64_t entryUses[256] = {};
bool entryUsesKnown = false;

// Pixels an RLE stream never reaches show index 0 whatever entry stands
// there, so their counts do not move with entry 0: such a picture's uses are
// counted again after a change.
bool UsesFollowOrders() { return entryUsesKnown && dibLayout.compression == bmp::kBiRgb; }
}  // namespace

void CountEntryUses(HWND window) {
  ScopedDibLock lock(window);
  entryUsesKnown = lock.Locked() && CountUses(dibBlockStart, dibBlockSize, dibLayout, entryUses);
}

const uint64_t* EntryUses(HWND window) {
  if (!entryUsesKnown && pictureState != PictureState::kNoPicture) CountEntryUses(window);
  return entryUsesKnown ? entryUses : nullptr;
}

const uint64_t* KnownEntryUses() { return entryUsesKnown ? entryUses : nullptr; }

void FollowStepUses(const OrderStep& step, bool back) {
  entryUsesKnown = UsesFollowOrders() && UsesAfterStep(step, back, entryUses);
}

const char* PaletteWindowTitle() { return Pick("Color Palette", "カラーパレット"); }

void SetPictureTitle(HWND window) {
  const std::string prefix = ToAnsi(TitlePrefix(IsJapanese()));
  const std::string title = MainTitle(prefix, shufflerPicture.openPath, IsJapanese(),
                                      shufflerPicture.reductionFactor);
  SetWindowTextA(window, title.c_str());
}

}  // namespace mirtav
