// The colour editor's own message boxes: every text and title in English and
// Japanese (UTF-8 here, shown by ShowMessage of common/base/text.h) and the
// icon the box carries. The rules that choose a message (open_rules,
// save_rules) return one of these; the Win32 layer only shows it. The
// reader's messages stay with the reader (common/bitmap/dib_block), the
// palette files' with the palette file commands.
#pragma once

#include "common/base/core/message.h"

namespace kestro {

extern const Message kOpenMessages[8];   // by OpenVerdict (kOk's is empty)
extern const Message kOpenDialogFailed;  // "%lx": CommDlgExtendedError
extern const Message kSaveMessages[12];  // by SaveMessage; kDialogFailed "%lx", kSaved "%s"
extern const Message kClipboardNoMemory;
extern const Message kMsgTiffCannotCreate;
extern const Message kMsgTiffCannotWrite;
extern const Message kMsgReadmeMissing;
extern const Message kMsgNoViewer;
extern const Message kMsgDialogNotShown;  // system modal

}  // namespace kestro
