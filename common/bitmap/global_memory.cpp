#include "common/bitmap/global_memory.h"

#include "common/base/shell_state.h"

GlobalMemoryData::GlobalMemoryData(HGLOBAL block)
    : handle(block), locked(0), address(nullptr) {}

GlobalMemoryData::~GlobalMemoryData() { Unlock(); }

void* GlobalMemoryData::Lock() {
  if (!locked) {
    address = GlobalLock(handle);
    locked = 1;
  }
  return address;
}

SIZE_T GlobalMemoryData::Size() const { return GlobalSize(handle); }

void GlobalMemoryData::Unlock() {
  if (!locked) return;
  GlobalUnlock(handle);
  locked = 0;
}

MyClipboard::MyClipboard() : open(0) {}

MyClipboard::~MyClipboard() { CloseClipboard(); }

int32_t MyClipboard::Open(HWND owner) {
  if (open) return 1;
  // Another program (a clipboard viewer, a paste in progress) may hold the
  // clipboard for a moment: a copy should not be lost to that, so wait a
  // little before giving up.
  for (int attempt = 0; attempt < 20 && !open; ++attempt) {
    if (attempt > 0) Sleep(10);
    open = OpenClipboard(owner) ? 1 : 0;
  }
  return open;
}

// Every operation goes on whether or not this open succeeded; the platform
// then answers as for a clipboard that is not open.
void MyClipboard::OpenImplicitly() {
  if (!open) open = OpenClipboard(mainWindow) ? 1 : 0;
}

BOOL MyClipboard::Empty() {
  OpenImplicitly();
  return EmptyClipboard();
}

HANDLE MyClipboard::SetData(UINT format, HANDLE block) {
  OpenImplicitly();
  return SetClipboardData(format, block);
}

HANDLE MyClipboard::GetData(UINT format) {
  OpenImplicitly();
  return GetClipboardData(format);
}

BOOL MyClipboard::IsFormatAvailable(UINT format) {
  OpenImplicitly();
  return IsClipboardFormatAvailable(format);
}
