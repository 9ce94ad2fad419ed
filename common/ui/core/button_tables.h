// The shapes of an icon bar's button table and of its hover captions' labels,
// and what is read from them; each program owns its own tables.
#pragma once

#include <cstddef>

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

// Writes base + variant + state ("Up", "Dn", "In") into out; false, with out
// emptied, when the name would not fit into kBitmapNameSize bytes.
bool ComposeBitmapName(char (&out)[kBitmapNameSize], const char* base, const char* variant,
                       const char* state);

// One hover caption: the cursor's x range over its button, the labels (UTF-8)
// and the value added to SM_CXBORDER for the caption's left edge.
struct CaptionLabel {
  int number;
  int xFirst;
  int xLast;
  const char* english;
  const char* japanese;
  int captionLeft;
};

struct CaptionTable {
  const CaptionLabel* rows;
  size_t count;
};

}  // namespace ui_core
