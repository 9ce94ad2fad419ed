#include "common/bitmap/clipboard_offer.h"

#include "common/bitmap/global_memory.h"

namespace {

// The one offer a program has at a time: the block and the format it was
// offered as. Null when nothing is waiting.
HGLOBAL offeredBlock = nullptr;
UINT offeredFormat = 0;

void ForgetOffer() {
  if (offeredBlock != nullptr) GlobalFree(offeredBlock);
  offeredBlock = nullptr;
  offeredFormat = 0;
}

// Inside WM_RENDERFORMAT the clipboard is already open for the asking
// program, and SetClipboardData is called without opening it.
void HandOver(UINT format) {
  if (offeredBlock == nullptr || format != offeredFormat) return;
  if (SetClipboardData(offeredFormat, offeredBlock) != nullptr) {
    offeredBlock = nullptr;  // the clipboard owns it now
    offeredFormat = 0;
  }
}

}  // namespace

bool OfferClipboardBlock(MyClipboard& clipboard, UINT format, HGLOBAL block) {
  // Emptying sends WM_DESTROYCLIPBOARD to the owner, which may be this
  // window with an earlier offer; that offer is dropped here as well, in
  // case the owner was another window of this program.
  if (!clipboard.Empty()) return false;
  ForgetOffer();
  // A delayed hand-over returns null whether it succeeded or not; the
  // format's presence on the clipboard tells.
  clipboard.SetData(format, nullptr);
  if (!clipboard.IsFormatAvailable(format)) return false;
  offeredBlock = block;
  offeredFormat = format;
  return true;
}

bool AnswerClipboardOwnerMessage(HWND window, UINT message, WPARAM wParam) {
  switch (message) {
    case WM_RENDERFORMAT:
      HandOver(static_cast<UINT>(wParam));
      return true;
    case WM_RENDERALLFORMATS:
      HandOverPendingOffer(window);
      return true;
    case WM_DESTROYCLIPBOARD:
      ForgetOffer();
      return true;
    default:
      return false;
  }
}

void HandOverPendingOffer(HWND window) {
  // The data goes over now, if the clipboard still holds this program's offer.
  if (offeredBlock != nullptr) {
    MyClipboard clipboard;  // waits a moment for a program holding it
    if (clipboard.Open(window) && GetClipboardOwner() == window) HandOver(offeredFormat);
  }
  ForgetOffer();
}

bool ClipboardOfferPending() { return offeredBlock != nullptr; }
