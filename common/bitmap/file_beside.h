// Replacing a file only when its successor is complete: the new bytes go to a
// temporary file of its own in the target's folder, which is renamed over the
// target once every write and the close have succeeded. A failed save thus
// leaves an existing target as it was and no half-written file behind.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "common/bitmap/core/tiff_layout.h"

class FileBeside {
 public:
  enum class Outcome { kPlaced, kWriteFailed, kCannotReplace };

  FileBeside() = default;
  ~FileBeside();  // a file still open is closed and deleted
  FileBeside(const FileBeside&) = delete;
  FileBeside& operator=(const FileBeside&) = delete;

  // Opens a new temporary file beside targetPath for binary writing; null
  // when the target is read-only or a folder, or no file can be made there.
  FILE* Open(const char* targetPath);

  // Flushes and closes the file; when `written` and both succeed, moves it
  // over the target (kPlaced). Otherwise deletes it and keeps the target.
  Outcome Finish(bool written);

 private:
  std::string target_;
  std::string temporary_;
  FILE* file_ = nullptr;
};

// A ByteSink over an open file: every refused byte is reported.
class FileSink final : public tiff::ByteSink {
 public:
  explicit FileSink(FILE* f) : file_(f) {}
  bool Put(const uint8_t* data, size_t n) override { return std::fwrite(data, 1, n, file_) == n; }

 private:
  FILE* file_;
};
