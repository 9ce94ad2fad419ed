#include "common/bitmap/tiff_writer.h"

#include <cstdio>
#include <string>

#include "common/bitmap/core/tiff_layout.h"
#include "common/bitmap/dib_block.h"

namespace {

class FileSink final : public tiff::ByteSink {
 public:
  explicit FileSink(FILE* f) : file(f) {}
  bool Put(const uint8_t* data, size_t n) override {
    return std::fwrite(data, 1, n, file) == n;
  }

 private:
  FILE* file;
};

const TiffWriterMessages* messages = nullptr;

void ShowFailure(HWND owner, const BitmapMessage TiffWriterMessages::*which) {
  if (messages != nullptr) ShowBitmapError(owner, messages->*which);
}

// Reserves a new, empty file beside the target and returns its path, or ""
// when none can be made. Its name, "~" and at most four hex digits, is no
// longer than a picture's name with its extension (".tif" alone is four
// characters), so it fits wherever the target does; and it is never a file
// that was there before.
std::string ReserveTemporaryBeside(const char* savePath) {
  // The folder ends after the last separator that starts a character (in
  // code page 932 the byte '\' is also the second half of some characters).
  const char* folderEnd = savePath;
  for (const char* p = savePath; *p != '\0'; p = CharNextA(p)) {
    if (*p == '\\' || *p == '/' || *p == ':') folderEnd = p + 1;
  }
  const std::string folder(savePath, static_cast<size_t>(folderEnd - savePath));
  const DWORD seed = GetTickCount();
  for (DWORD i = 0; i < 0x1000; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "~%lx", static_cast<unsigned long>((seed + i) & 0xFFFF));
    const std::string candidate = folder + name;
    HANDLE file = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return candidate;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return std::string();
}

// Writes the locked block's picture; true when every byte reached the file.
bool WriteLockedPicture(FILE* file) {
  FileSink sink(file);
  return tiff::WriteTiff(dibBlockStart, dibBlockSize, dibLayout, sink) == tiff::TiffResult::kOk;
}

}  // namespace

void UseTiffWriterMessages(const TiffWriterMessages& programMessages) {
  messages = &programMessages;
}

int WriteTiffFile(HWND mainWindow, const char* savePath) {
  // A read-only file or a folder at the target cannot be replaced; the
  // rename below would not refuse it everywhere.
  const DWORD existing = GetFileAttributesA(savePath);
  if (existing != INVALID_FILE_ATTRIBUTES &&
      (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    ShowFailure(mainWindow, &TiffWriterMessages::cannotCreate);
    return 1;
  }
  // The temporary file stands in the target's folder, so the final move is a
  // rename within one drive and a failed save leaves the target as it was.
  const std::string temporary = ReserveTemporaryBeside(savePath);
  FILE* file = temporary.empty() ? nullptr : std::fopen(temporary.c_str(), "w+b");
  if (file == nullptr) {
    if (!temporary.empty()) DeleteFileA(temporary.c_str());
    ShowFailure(mainWindow, &TiffWriterMessages::cannotCreate);
    return 1;
  }
  SetCursor(LoadCursor(nullptr, IDC_WAIT));

  const bool locked = LockDibBlock(mainWindow) != 0;
  const bool written = locked && WriteLockedPicture(file);
  // A lock refused on a held block has shown its own message.
  const bool refusalShown = !locked && dibBlockHandle != nullptr;
  UnlockDibBlock();
  // Both run whatever happened before, so the file is always closed.
  const bool flushed = std::fflush(file) == 0;
  const bool closed = std::fclose(file) == 0;
  SetCursor(LoadCursor(nullptr, IDC_ARROW));

  if (!written || !flushed || !closed) {
    DeleteFileA(temporary.c_str());
    if (!refusalShown) ShowFailure(mainWindow, &TiffWriterMessages::cannotWrite);
    return 1;
  }
  if (!MoveFileExA(temporary.c_str(), savePath,
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary.c_str());
    ShowFailure(mainWindow, &TiffWriterMessages::cannotCreate);
    return 1;
  }
  return 0;
}
