// The platform-style decision from the registry's version texts, apart from
// the registry itself so that every row of the tables can be checked natively.
#pragma once

namespace ui_core {

// The styles a program gives the NT versions after 5.2, which the programs
// read differently: 6.0 and 6.1, and anything later (or unrecognised).
struct NewerNtStyles {
  int sixZeroOrOne;
  int later;
};

// Style from the NT key's "CurrentVersion" text (the value was read).
int StyleFromNtVersion(const char* text, const NewerNtStyles& newer);

// Style from the Windows 95-family key's "ProductName" text; null or empty
// text (the value could not be read) gives 0.
int StyleFromProductName(const char* text);

// What the registry gave, as the Win32 half read it.
struct RegistryReading {
  bool ntVersionRead = false;         // "Windows NT\CurrentVersion" value CurrentVersion
  const char* ntVersion = nullptr;
  bool windowsKeyOpened = false;      // "Windows\CurrentVersion" key
  const char* productName = nullptr;  // its ProductName, null when not read
};

// The whole decision: NT first, then the 95 family; when neither key gave
// anything the previous style is kept.
int DecideStyle(const RegistryReading& reading, const NewerNtStyles& newer, int previousStyle);

// The letter a style gives every icon-bar bitmap name: "9", "8", "X" or "".
const char* VariantLetter(int style);

}  // namespace ui_core
