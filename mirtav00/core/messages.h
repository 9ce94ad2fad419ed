// The shuffler's own message boxes: every text and title in English and
// Japanese (UTF-8 here, shown by ShowMessage of common/base/text.h) and the
// icon the box carries. The rules that choose a message (open_rules,
// save_rules) return one of these; the Win32 layer only shows it. The
// reader's messages stay with the reader (common/bitmap/dib_block).
#pragma once

#include "common/base/core/message.h"

namespace mirtav {

extern const Message kMsgOpenDialogFailed;    // "%lx": CommDlgExtendedError
extern const Message kMsgOpenNotFixedDisk;
extern const Message kMsgOpenNotBmp;
extern const Message kMsgCannotOpenBitmap;
extern const Message kMsgNotBitmap;
extern const Message kMsgZeroSize;
extern const Message kMsgNotFourOrEightBit;
extern const Message kMsgSaveDialogFailed;    // "%lx": CommDlgExtendedError
extern const Message kMsgSaveOntoOpened;
extern const Message kMsgOverwrite;           // Yes and No buttons
extern const Message kMsgSaveNotFixedDisk;
extern const Message kMsgNoSpace;
extern const Message kMsgBmpSaved;            // "%s": the full save path
extern const Message kMsgTiffSaved;           // "%s": the full save path
extern const Message kMsgPngSaved;            // "%s": the full save path
extern const Message kMsgSaveExtension;
extern const Message kMsgCannotCreateBmp;
extern const Message kMsgCannotCreatePng;
extern const Message kMsgPngIndexPastTable;   // a BMP's pixel past its table, saved as PNG
extern const Message kMsgColoursMissing;      // "%lu": colours of the table the palette file lacks
extern const Message kMsgNothingUnused;
extern const Message kMsgNoDuplicates;
extern const Message kMsgDuplicatesMerged;    // "%lu": entries merged into an earlier one
extern const Message kMsgSettingsNotShown;  // system modal

}  // namespace mirtav
