// The platform style: one small number read from the registry's Windows
// version at start, on which the icon bar's bitmap set, a few fonts and the
// free-space query rest.
#pragma once

#include "common/base/core/platform_rules.h"

// 0 at program start; written only by DetectPlatformStyle.
extern int platformStyle;

// Reads the registry (read access only) and sets platformStyle, the newer NT
// versions read as the program reads them.
void DetectPlatformStyle(const ui_core::NewerNtStyles& newer);

// The letter the current style gives every icon-bar bitmap name: "9", "8", "X" or "".
const char* BitmapVariant();
