// The portable part of what a program tells the shared framework about
// itself: its icon bar and hover captions, where they stand, its start-up
// logo and how it reads the newer Windows versions. Each program defines one
// (kestro98/bar_tables.cpp, mirtav00/bar_tables.cpp).
#pragma once

#include "common/base/core/platform_rules.h"
#include "common/ui/core/button_tables.h"
#include "common/ui/core/shell_rules.h"

namespace ui_core {

struct ProgramLook {
  ButtonTable buttons;
  int buttonTopFromBorder;       // button top in the bar = SM_CYBORDER + this
  int captionBandTopFromBorder;  // first client row of the caption band = SM_CYBORDER + this
  bool barTopLine;               // the bar paints its top pixel row in the face colour
  LogoGeometry logo;
  NewerNtStyles ntStyles;
};

}  // namespace ui_core
