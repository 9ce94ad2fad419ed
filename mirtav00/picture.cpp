// What is open in the shuffler, program-wide, and its title.
#include "mirtav00/picture.h"

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
PngSource pngSource;
int32_t sourceOrder[256] = {};
int32_t savedOrder[256] = {};
OrderHistory orderHistory;

bool OrderUnsaved() {
  return pictureState != PictureState::kNoPicture &&
         std::memcmp(sourceOrder, savedOrder, sizeof(int32_t) * static_cast<size_t>(paletteColourCount)) != 0;
}

namespace {
uint64_t entryUses[256] = {};
bool entryUsesKnown = false;
}  // namespace

const uint64_t* EntryUses(HWND window) {
  if (!entryUsesKnown && pictureState != PictureState::kNoPicture) {
    ScopedDibLock lock(window);
    entryUsesKnown = lock.Locked() && CountUses(dibBlockStart, dibBlockSize, dibLayout, entryUses);
  }
  return entryUsesKnown ? entryUses : nullptr;
}

void MoveEntryUses(const int32_t* order) {
  if (!entryUsesKnown) return;
  uint64_t moved[256] = {};
  for (int32_t i = 0; i < paletteColourCount; ++i) moved[order[i]] = entryUses[i];
  std::memcpy(entryUses, moved, sizeof(uint64_t) * static_cast<size_t>(paletteColourCount));
}

void ForgetEntryUses() { entryUsesKnown = false; }

const char* PaletteWindowTitle() { return Pick("Color Palette", "カラーパレット"); }

void SetPictureTitle(HWND window) {
  const std::string prefix = ToAnsi(TitlePrefix(IsJapanese()));
  const std::string title = MainTitle(prefix, shufflerPicture.openPath, IsJapanese(),
                                      shufflerPicture.reductionFactor);
  SetWindowTextA(window, title.c_str());
}

}  // namespace mirtav
