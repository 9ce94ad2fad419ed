// What is open in the editor, program-wide.
#include "kestro98/picture.h"

#include "common/base/text.h"
#include "common/bitmap/dib_block.h"

namespace kestro {

PictureFacts pictureFacts;
PaletteHistory paletteHistory;

void WriteCurrentColours(HWND mainWindow) {
  ScopedDibLock lock(mainWindow);
  if (!lock.Locked() || dibColourTable == nullptr) return;
  const size_t tableBytes = dibBlockSize - static_cast<size_t>(dibColourTable - dibBlockStart);
  paletteHistory.WriteIntoBlockTable(dibColourTable, tableBytes, dibLayout.entrySize);
}

const char* TitlePrefix() { return Pick("Kestro - ", "ＢＭＰケストロ - "); }
const char* PaletteWindowTitle() { return Pick("Kestro", "ケストロ"); }

}  // namespace kestro
