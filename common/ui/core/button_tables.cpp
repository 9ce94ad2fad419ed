#include "common/ui/core/button_tables.h"

#include <cstring>

namespace ui_core {

int ButtonWidth(const ButtonSpec& row, int screenWidth) {
  if (row.width != 0) return row.width;
  const int rest = screenWidth - row.x;
  return rest > 0 ? rest : 0;
}

const ButtonSpec* FindButton(const ButtonTable& table, int controlId) {
  for (size_t i = 0; i < table.count; ++i) {
    if (table.rows[i].controlId == controlId) return &table.rows[i];
  }
  return nullptr;
}

bool ComposeBitmapName(char (&out)[kBitmapNameSize], const char* base, const char* variant,
                       const char* state) {
  out[0] = '\0';
  if (base == nullptr || variant == nullptr || state == nullptr) return false;
  const size_t a = std::strlen(base);
  const size_t b = std::strlen(variant);
  const size_t c = std::strlen(state);
  if (a + b + c >= kBitmapNameSize) return false;
  std::memcpy(out, base, a);
  std::memcpy(out + a, variant, b);
  std::memcpy(out + a + b, state, c);
  out[a + b + c] = '\0';
  return true;
}

bool IsBarCommand(const ButtonTable& table, int command) {
  return FindButtonOfCommand(table, command) != nullptr;
}

const ButtonSpec* FindButtonOfCommand(const ButtonTable& table, int command) {
  if (command == 0) return nullptr;
  for (size_t i = 0; i < table.count; ++i) {
    if (table.rows[i].command == command) return &table.rows[i];
  }
  return nullptr;
}

bool ButtonRectangle(const ButtonTable& table, int controlId, int top, int screenWidth,
                     ButtonBox* box) {
  const ButtonSpec* row = FindButton(table, controlId);
  if (row == nullptr) return false;
  *box = ButtonBox{row->x, top, row->x + ButtonWidth(*row, screenWidth), top + kButtonHeight};
  return true;
}

}  // namespace ui_core
