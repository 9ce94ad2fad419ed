// The shuffler's load by path. The file is read and checked completely before
// anything shown is touched: its first bytes decide how. A BMP: the header
// bytes (open_rules), then the whole file read into a candidate block and
// checked by the reader's lock rules. A PNG: read whole and kept, its chunks
// checked and its pixels decoded into a candidate block laid out as a BMP,
// 4- and 8-bit pictures only.
// Only a file that passed everything releases what was shown (the logo or the
// previous picture) and becomes the DIB block, PaletteTable, shufflerPicture
// with its reduction, pngSource and the identity sourceOrder; a refusal at any step leaves all of them as they were.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/base/core/message.h"
#include "common/bitmap/png_picture.h"
#include "mirtav00/core/open_rules.h"
#include "mirtav00/core/shuffle.h"

namespace mirtav {

// The open dialogs' filter: the pictures the shuffler opens.
extern const char kPictureFilter[];

// A file read and accepted, its block held as the reader's candidate.
struct ReadPicture {
  ShufflerPicture facts;
  shuffle::PaletteEntry table[256];
  int32_t colourCount = 0;
  PngSource png;  // empty for a BMP
};

// The checks of a path before its file is read, as Open makes them: a path
// that fits the picture's buffers, on a fixed disk, named .BMP or .PNG. The
// refusal's message, or null. isFixedDisk answers for the path's root (a run
// over many files asks the platform once a drive).
const Message* PathRefusal(const std::string& path, bool (*isFixedDisk)(const char* root));

// Reads and checks the file at path into the reader's candidate block and
// *next; false after the refusal's message, with no candidate held. What is
// shown is not touched.
bool ReadPictureFile(HWND owner, const char* path, ReadPicture* next);

// True when the picture was read, accepted and adopted (the power-of-two
// reduction that fits it in the main window's client area set); false after
// the refusal's message, or when mayLeave (asked, when given, once the file
// has passed every check) says no, with nothing changed.
bool LoadBmpFile(HWND mainWindow, const char* path, bool (*mayLeave)(HWND) = nullptr);

}  // namespace mirtav
