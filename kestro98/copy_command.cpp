// Copy. The clipboard block is filled directly with the header, the current
// palette (fourth bytes 0) and the picture's own indices at the positions the
// view shows (the shared sampler), never with colours matched back to
// indices, so a palette that holds one colour twice keeps both indices. All
// sizes are 64-bit; the clipboard is opened and emptied only once the block
// is complete, so a failure leaves it as it was. The block is offered by
// delayed rendering (clipboard_offer.h): made now, handed over at the first
// paste.
#include "kestro98/copy_command.h"

#include <cstdint>
#include <limits>
#include <new>

#include "common/base/gdi_guards.h"
#include "common/bitmap/clipboard_offer.h"
#include "common/bitmap/core/rle.h"
#include "common/bitmap/dib_block.h"
#include "common/bitmap/global_memory.h"
#include "kestro98/core/clipboard_layout.h"
#include "kestro98/image_view.h"
#include "kestro98/picture.h"

namespace kestro {

namespace {

// Fills a new block with the copy from the locked DIB block; null when the
// layout cannot be described or memory cannot be had.
HGLOBAL FillLockedCopy(int level) {
  const bmp::BlockLayout& picture = dibLayout;
  ClipLayout layout;
  // The whole table of the depth, so every index has a colour.
  const int32_t entries = picture.bitCount <= 8 ? 1 << picture.bitCount : 0;
  if (!ClipboardLayout(picture.width, picture.height, picture.bitCount, entries, level, &layout) ||
      layout.blockBytes > std::numeric_limits<SIZE_T>::max()) {
    return nullptr;
  }

  // An RLE picture's rows are decoded as the fill reaches them, through the
  // stream's row index: memory for the index and a band, not the picture.
  rle::RowIndex index;
  if (picture.compression != bmp::kBiRgb &&
      (picture.pixelOffset > dibBlockSize ||
       picture.pixelBytes > dibBlockSize - picture.pixelOffset ||
       !index.Build(dibBlockStart + picture.pixelOffset, static_cast<size_t>(picture.pixelBytes),
                    picture.bitCount, picture.width, picture.height))) {
    return nullptr;
  }
  const sampling::SourceRows rows =
      sampling::RowsOfBlock(dibBlockStart, dibBlockSize, picture, &index);

  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(layout.blockBytes));
  if (block == nullptr) return nullptr;
  bool filled = false;
  {
    GlobalMemoryData memory(block);
    uint8_t* out = static_cast<uint8_t*>(memory.Lock());
    filled = out != nullptr &&
             WriteClipboardHeader(layout, paletteHistory, out,
                                  static_cast<size_t>(layout.headerBytes)) &&
             FillClipboardPixels(rows, layout, out + layout.headerBytes,
                                 static_cast<size_t>(layout.imageBytes));
  }
  if (!filled) {
    GlobalFree(block);
    return nullptr;
  }
  return block;
}

}  // namespace

bool CopyImageAtLevel(HWND mainWindow, int level) {
  MyClipboard clipboard;
  if (pictureFacts.state != PictureState::kOpened || dibBlockHandle == nullptr) return false;

  bool locked = false;
  HGLOBAL block = nullptr;
  {
    WaitCursor wait;
    ScopedDibLock lock(mainWindow);
    locked = lock.Locked();
    try {
      if (locked) block = FillLockedCopy(level);
    } catch (const std::bad_alloc&) {
      block = nullptr;  // what the fill held is gone; the message below says so
    }
  }
  if (!locked) return false;  // the lock has shown its own message
  if (block == nullptr) {
    ShowMessage(mainWindow, kClipboardNoMemory);
    return false;
  }
  if (!clipboard.Open(mainWindow)) {
    GlobalFree(block);
    return false;
  }
  if (!OfferClipboardBlock(clipboard, CF_DIB, block)) {
    GlobalFree(block);
    return false;
  }
  return true;  // the offer owns the block now
}

void CopyImageCommand(HWND mainWindow) { CopyImageAtLevel(mainWindow, pictureFacts.zoomLevel); }

}  // namespace kestro
