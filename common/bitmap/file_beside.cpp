#include "common/bitmap/file_beside.h"

namespace {

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

}  // namespace

FileBeside::~FileBeside() {
  if (file_ != nullptr) {
    std::fclose(file_);
    DeleteFileA(temporary_.c_str());
  }
}

FILE* FileBeside::Open(const char* targetPath) {
  if (file_ != nullptr) return nullptr;
  // A read-only file or a folder at the target cannot be replaced; the
  // rename would not refuse it everywhere.
  const DWORD existing = GetFileAttributesA(targetPath);
  if (existing != INVALID_FILE_ATTRIBUTES &&
      (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return nullptr;
  }
  target_ = targetPath;
  temporary_ = ReserveTemporaryBeside(targetPath);
  if (temporary_.empty()) return nullptr;
  file_ = std::fopen(temporary_.c_str(), "w+b");
  if (file_ == nullptr) DeleteFileA(temporary_.c_str());
  return file_;
}

FileBeside::Outcome FileBeside::Finish(bool written) {
  if (file_ == nullptr) return Outcome::kWriteFailed;
  // Both run whatever happened before, so the file is always closed.
  const bool flushed = std::fflush(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!written || !flushed || !closed) {
    DeleteFileA(temporary_.c_str());
    return Outcome::kWriteFailed;
  }
  // The temporary file stands in the target's folder, so this is a rename
  // within one drive.
  if (!MoveFileExA(temporary_.c_str(), target_.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary_.c_str());
    return Outcome::kCannotReplace;
  }
  return Outcome::kPlaced;
}
