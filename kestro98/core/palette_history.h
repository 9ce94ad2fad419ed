// The palette editor's history of whole palettes: level 0 is the file's
// colour table, level k the palette after k changes; a chip press is one
// change, Undo steps back one and Redo forward again over the levels Undo
// left, at most 299 changes are in effect at once. It also knows whether the
// current colours are kept in a file: the opened one or the last one saved.
// The history is the master copy of the palette: the Win32 layer writes the
// current level into the DIB block (WriteIntoBlockTable) after every change
// and undo, and Save and Copy read it (WriteFileTable).
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestro {

constexpr int32_t kLevels = 300;
constexpr int32_t kChangeLimit = 299;

struct Rgb {
  uint8_t red = 0, green = 0, blue = 0;
};

class PaletteHistory {
 public:
  // Level 0 from a BMP colour table of colourCount (1..256) entries of
  // entrySize bytes each (blue, green, red, then a reserved byte when 4; 3
  // after a core header); every other level and entry is 0. False, with an
  // empty history, for another count or size, or too few bytes.
  bool Reset(const uint8_t* table, size_t tableBytes, int32_t colourCount,
             uint32_t entrySize = 4);

  // A chip press: a new level copied from the current one with `entry` set
  // to `colour`. False (nothing changes) at the limit or for an entry that is
  // not a chip.
  bool Press(int32_t entry, Rgb colour);

  // Colours from a palette file: a new level copied from the current one with
  // its first min(count, ColourCount()) entries set to colours[0..], one
  // change like a chip press (it forgets what Redo could put back). False (nothing changes) at the limit, with no
  // picture, or for no colours.
  bool Load(const Rgb* colours, int32_t count);

  // One step back; false at level 0. The level left stays for Redo.
  bool Undo();

  // Puts back the change the last Undo took away; false when none is left.
  // A press after an Undo forgets every level above it.
  bool Redo();

  int32_t ChangeCounter() const { return counter_; }
  int32_t ColourCount() const { return count_; }
  Rgb Entry(int32_t index) const;  // of the current level; black outside the count

  bool UndoEnabled() const { return counter_ > 0; }
  bool LimitReached() const { return counter_ >= kChangeLimit; }  // shows the limit message
  bool SaveEnabled() const { return counter_ != 0; }
  bool RedoEnabled() const { return counter_ < top_; }

  // The current colours have just been written to a file.
  void MarkSaved();
  // True when the current colours are neither the opened file's (level 0)
  // nor those last saved: leaving now would lose them.
  bool HasUnsavedColours() const;

  // Blue, green, red of the current level into a colour table of the DIB
  // block (entrySize bytes an entry); a reserved byte is left as it is.
  bool WriteIntoBlockTable(uint8_t* table, size_t tableBytes, uint32_t entrySize = 4) const;

  // The current level as a file's colour table: blue, green, red, and 0 in a
  // 4-byte entry's reserved byte.
  bool WriteFileTable(uint8_t* table, size_t tableBytes, uint32_t entrySize = 4) const;

 private:
  bool SameColours(const Rgb* a, const Rgb* b) const;

  Rgb levels_[kLevels][256] = {};
  Rgb saved_[256] = {};
  bool savedValid_ = false;
  int32_t counter_ = 0;
  int32_t top_ = 0;  // the highest level that Redo can reach
  int32_t count_ = 0;
};

// The limit message (UTF-8).
const char* LimitText(bool japanese);

// The status line: empty, or the limit message (UTF-8).
const char* StatusText(const PaletteHistory& history, bool japanese);

}  // namespace kestro
