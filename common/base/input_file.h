// The one way both programs read a file: opened read-only with _lopen,
// shared with any other program that holds it (every byte read is checked
// by whoever reads it), read with _hread in pieces a 32-bit count can hold,
// and closed on every path out of the reader's scope.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Exactly `count` bytes of an open file from its position into `into`;
// false on a shorter read.
bool ReadExactly(HFILE file, uint8_t* into, uint64_t count);

class InputFile {
 public:
  explicit InputFile(const char* path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool Valid() const { return file_ != HFILE_ERROR; }
  HFILE Get() const { return file_; }
  // The file's length, -1 when it cannot be told; the position is kept.
  int64_t Length() const;
  // Moves to `offset` from the start.
  bool SeekTo(uint32_t offset);
  // Exactly `count` bytes from the position; false on a shorter read.
  bool Read(uint8_t* into, uint64_t count);
  // Up to `count` bytes from the position: how many came (0 at the end or on
  // an error).
  size_t ReadUpTo(uint8_t* into, size_t count);

 private:
  HFILE file_;
};
