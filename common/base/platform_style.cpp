#include "common/base/platform_style.h"

#include <windows.h>

#include "common/base/core/platform_rules.h"

int platformStyle = 0;

namespace {

constexpr DWORD kValueLimit = 256;

// One value of an open key into a zero-filled buffer, always terminated:
// the buffer holds one byte more than the size limit handed to the registry.
bool ReadValue(HKEY key, const char* name, char (&text)[kValueLimit + 1]) {
  ZeroMemory(text, sizeof(text));
  DWORD size = kValueLimit;
  const LONG rc = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
  if (rc != ERROR_SUCCESS) {
    ZeroMemory(text, sizeof(text));
    return false;
  }
  return true;
}

}  // namespace

void DetectPlatformStyle(const ui_core::NewerNtStyles& newer) {
  ui_core::RegistryReading reading;
  char ntVersion[kValueLimit + 1] = {};
  char productName[kValueLimit + 1] = {};

  // Read access only: full access is refused to every user without
  // administrator rights, which would make any current system look like 95.
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                    KEY_READ, &key) == ERROR_SUCCESS) {
    reading.ntVersionRead = ReadValue(key, "CurrentVersion", ntVersion);
    reading.ntVersion = ntVersion;
    RegCloseKey(key);
  }
  if (!reading.ntVersionRead) {
    key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_READ, &key) == ERROR_SUCCESS) {
      reading.windowsKeyOpened = true;
      if (ReadValue(key, "ProductName", productName)) reading.productName = productName;
      RegCloseKey(key);
    }
  }
  platformStyle = ui_core::DecideStyle(reading, newer, platformStyle);
}

const char* BitmapVariant() { return ui_core::VariantLetter(platformStyle); }
