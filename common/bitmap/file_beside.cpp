#include "common/bitmap/file_beside.h"

#include "common/bitmap/replace_file.h"

FileBeside::~FileBeside() {
  if (file_ != nullptr) {
    std::fclose(file_);
    DeleteFileA(temporary_.c_str());
  }
}

FILE* FileBeside::Open(const char* targetPath) {
  if (file_ != nullptr || !TargetCanBeReplaced(targetPath)) return nullptr;
  target_ = targetPath;
  file_ = OpenTemporaryBeside(targetPath, &temporary_);
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
  return ReplaceWithTemporary(temporary_, target_.c_str()) ? Outcome::kPlaced
                                                           : Outcome::kCannotReplace;
}
