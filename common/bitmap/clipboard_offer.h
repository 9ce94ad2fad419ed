// A large copy put on the clipboard by delayed rendering. The block is made
// complete when the user copies, so a paste gets exactly what was shown then,
// but the clipboard is given only its format; the block itself goes over
// when a program first asks for the data (WM_RENDERFORMAT) or when the owner
// window goes (WM_RENDERALLFORMATS). Handing a block of a hundred megabytes
// to the clipboard at once costs seconds on some systems; this way Copy costs
// the fill alone and the hand-over is paid only by a paste.
#pragma once

#include <windows.h>

class MyClipboard;

// Empties the open clipboard and offers `block` (complete, unlocked) as
// `format`. True on success: the offer owns the block from then on and frees
// it when the clipboard is emptied by anyone. False leaves the block to the
// caller and the clipboard emptied only if Empty succeeded.
bool OfferClipboardBlock(MyClipboard& clipboard, UINT format, HGLOBAL block);

// The clipboard owner's messages, for the window that made the offer. True
// when `message` was one of WM_RENDERFORMAT, WM_RENDERALLFORMATS and
// WM_DESTROYCLIPBOARD (answered with 0).
bool AnswerClipboardOwnerMessage(HWND window, UINT message, WPARAM wParam);

// Hands a waiting offer over to the clipboard now (the owner window is about
// to go, or the session ends) and forgets it; nothing when none waits.
void HandOverPendingOffer(HWND window);

// Whether an offer is waiting to be handed over (for tests).
bool ClipboardOfferPending();
