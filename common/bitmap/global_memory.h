// Two scoped guards used inside one operation each: GlobalMemoryData keeps a
// global memory block locked while it lives, MyClipboard keeps the clipboard
// open while it lives. Neither allocates nor frees a block: the caller does,
// or the clipboard after a successful SetData.
#pragma once

#include <windows.h>

#include <cstdint>

class GlobalMemoryData {
 public:
  explicit GlobalMemoryData(HGLOBAL block);
  ~GlobalMemoryData();
  GlobalMemoryData(const GlobalMemoryData&) = delete;
  GlobalMemoryData& operator=(const GlobalMemoryData&) = delete;

  // Takes one platform lock at most; a second call returns the same address.
  // A failed GlobalLock still counts as locked and yields null.
  void* Lock();
  SIZE_T Size() const;
  void Unlock();

 private:
  HGLOBAL handle;
  int32_t locked;
  void* address;
};

class MyClipboard {
 public:
  MyClipboard();
  ~MyClipboard();  // CloseClipboard, always
  MyClipboard(const MyClipboard&) = delete;
  MyClipboard& operator=(const MyClipboard&) = delete;

  int32_t Open(HWND owner);
  BOOL Empty();
  // On success the clipboard owns the block: the caller must not free or use it.
  HANDLE SetData(UINT format, HANDLE block);
  HANDLE GetData(UINT format);
  BOOL IsFormatAvailable(UINT format);

 private:
  void OpenImplicitly();
  int32_t open;
};
