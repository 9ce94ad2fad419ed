#include "kestro98/core/palette_history.h"

#include <cstring>

namespace kestro {

bool PaletteHistory::Reset(const uint8_t* table, size_t tableBytes, int32_t colourCount,
                           uint32_t entrySize) {
  std::memset(levels_, 0, sizeof levels_);
  counter_ = 0;
  top_ = 0;
  count_ = 0;
  savedValid_ = false;
  if (colourCount < 1 || colourCount > 256 || (entrySize != 3 && entrySize != 4)) return false;
  if (table == nullptr || tableBytes / entrySize < static_cast<size_t>(colourCount)) return false;
  for (int32_t i = 0; i < colourCount; ++i, table += entrySize) {
    levels_[0][i].blue = table[0];
    levels_[0][i].green = table[1];
    levels_[0][i].red = table[2];
  }
  count_ = colourCount;
  return true;
}

bool PaletteHistory::Press(int32_t entry, Rgb colour) {
  if (entry < 0 || entry >= count_ || counter_ >= kChangeLimit) return false;
  ++counter_;
  std::memcpy(levels_[counter_], levels_[counter_ - 1], sizeof levels_[0]);
  levels_[counter_][entry] = colour;
  top_ = counter_;
  return true;
}

bool PaletteHistory::Load(const Rgb* colours, int32_t count) {
  if (colours == nullptr || count < 1 || count_ == 0 || counter_ >= kChangeLimit) return false;
  ++counter_;
  std::memcpy(levels_[counter_], levels_[counter_ - 1], sizeof levels_[0]);
  const int32_t n = count < count_ ? count : count_;
  for (int32_t i = 0; i < n; ++i) levels_[counter_][i] = colours[i];
  top_ = counter_;
  return true;
}

bool PaletteHistory::Undo() {
  if (counter_ <= 0) return false;
  --counter_;
  return true;
}

bool PaletteHistory::Redo() {
  if (counter_ >= top_) return false;
  ++counter_;
  return true;
}

bool PaletteHistory::SameColours(const Rgb* a, const Rgb* b) const {
  for (int32_t i = 0; i < count_; ++i) {
    if (a[i].red != b[i].red || a[i].green != b[i].green || a[i].blue != b[i].blue) return false;
  }
  return true;
}

void PaletteHistory::MarkSaved() {
  std::memcpy(saved_, levels_[counter_], sizeof saved_);
  savedValid_ = true;
}

bool PaletteHistory::HasUnsavedColours() const {
  if (SameColours(levels_[counter_], levels_[0])) return false;
  return !(savedValid_ && SameColours(levels_[counter_], saved_));
}

Rgb PaletteHistory::Entry(int32_t index) const {
  if (index < 0 || index >= count_) return Rgb();
  return levels_[counter_][index];
}

bool PaletteHistory::WriteIntoBlockTable(uint8_t* table, size_t tableBytes,
                                         uint32_t entrySize) const {
  if (table == nullptr || count_ == 0 || (entrySize != 3 && entrySize != 4) ||
      tableBytes / entrySize < static_cast<size_t>(count_)) {
    return false;
  }
  for (int32_t i = 0; i < count_; ++i, table += entrySize) {
    table[0] = levels_[counter_][i].blue;
    table[1] = levels_[counter_][i].green;
    table[2] = levels_[counter_][i].red;
  }
  return true;
}

bool PaletteHistory::WriteFileTable(uint8_t* table, size_t tableBytes, uint32_t entrySize) const {
  if (!WriteIntoBlockTable(table, tableBytes, entrySize)) return false;
  if (entrySize == 4) {
    for (int32_t i = 0; i < count_; ++i) table[4 * i + 3] = 0;
  }
  return true;
}

const char* LimitText(bool japanese) {
  return japanese ? "これ以上変更はできません." : "No more change allowed.";
}

const char* StatusText(const PaletteHistory& history, bool japanese) {
  return history.LimitReached() ? LimitText(japanese) : "";
}

}  // namespace kestro
