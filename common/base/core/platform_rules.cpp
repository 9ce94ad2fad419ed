#include "common/base/core/platform_rules.h"

#include <cstring>

namespace ui_core {

namespace {

bool Contains(const char* text, const char* part) {
  return text != nullptr && std::strstr(text, part) != nullptr;
}

}  // namespace

int StyleFromNtVersion(const char* text, const NewerNtStyles& newer) {
  if (Contains(text, "4.0")) return 3;
  if (Contains(text, "5.0")) return 4;
  if (Contains(text, "5.1") || Contains(text, "5.2")) return 5;
  if (Contains(text, "6.0") || Contains(text, "6.1")) return newer.sixZeroOrOne;
  return newer.later;
}

int StyleFromProductName(const char* text) {
  if (Contains(text, "Windows ME")) return 2;
  if (Contains(text, "Windows 98")) return 1;
  return 0;
}

int DecideStyle(const RegistryReading& reading, const NewerNtStyles& newer, int previousStyle) {
  if (reading.ntVersionRead) return StyleFromNtVersion(reading.ntVersion, newer);
  if (!reading.windowsKeyOpened) return previousStyle;
  return StyleFromProductName(reading.productName);
}

const char* VariantLetter(int style) {
  switch (style) {
    case 2: return "9";
    case 4: return "8";
    case 5: return "X";
    default: return "";
  }
}

}  // namespace ui_core
