// The shape of an icon bar's button table, one row per button holding its
// picture, control id, command, place, first state and hover caption, and
// what is read from it; each program owns its own table.
#pragma once

#include <cstddef>

#include "common/base/core/message.h"

namespace ui_core {

constexpr int kButtonHeight = 20;
constexpr size_t kBitmapNameSize = 12;  // 11 characters and the terminating zero

struct ButtonSpec {
  int controlId;
  const char* baseName;
  int x;
  int width;              // 0: the rest of the screen (the space)
  bool initiallyEnabled;
  int command;            // WM_COMMAND sent to the main window; 0 sends nothing
  BilingualText caption = {nullptr, nullptr};  // the hover caption's label; none for the gap and space
};

struct ButtonTable {
  const ButtonSpec* rows;
  size_t count;
};

// Width of a row on a screen of the given width (the space takes the rest,
// never less than 0).
int ButtonWidth(const ButtonSpec& row, int screenWidth);

// The row with this control id, or null.
const ButtonSpec* FindButton(const ButtonTable& table, int controlId);

// Whether a command number is one that a button of the table sends.
bool IsBarCommand(const ButtonTable& table, int command);

// The row whose button sends this command, or null (a key's command is
// judged by its button's state).
const ButtonSpec* FindButtonOfCommand(const ButtonTable& table, int command);

// The button's rectangle in the main window's client area (right and bottom
// excluded), its top at `top`; false when no row has this control id.
struct ButtonBox {
  int left, top, right, bottom;
};
bool ButtonRectangle(const ButtonTable& table, int controlId, int top, int screenWidth, ButtonBox* box);

// Whether the row has a hover caption, and the caption's left edge (added to
// SM_CXBORDER): one pixel inside its button.
inline bool HasCaption(const ButtonSpec& row) { return row.caption.english != nullptr; }
inline int CaptionLeft(const ButtonSpec& row) { return row.x + 1; }

// Writes base + variant + state ("Up", "Dn", "In") into out; false, with out
// emptied, when the name would not fit into kBitmapNameSize bytes.
bool ComposeBitmapName(char (&out)[kBitmapNameSize], const char* base, const char* variant,
                       const char* state);

}  // namespace ui_core
