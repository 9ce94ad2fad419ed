#include "common/bitmap/replace_file.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

bool TargetCanBeReplaced(const char* targetPath) {
  const DWORD existing = GetFileAttributesA(targetPath);
  return existing == INVALID_FILE_ATTRIBUTES ||
         (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

namespace {

// The running program's file name without its folder and extension
// ("KESTRO98"), so a temporary file left by a killed save says whose it is.
std::string ProgramStem() {
  char module[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  const char* name = module;
  for (const char* p = module; *p != '\0'; p = CharNextA(p)) {
    if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
  }
  const char* dot = nullptr;
  for (const char* p = name; *p != '\0'; p = CharNextA(p)) {
    if (*p == '.') dot = p;
  }
  return std::string(name, dot != nullptr ? dot : name + std::strlen(name));
}

// The temporary name for a number: "~KESTRO98-f82a.tmp" where the path has
// room for it, else "~f82a.tmp", else "~f82a", which is no longer than any
// picture's name with its extension and so fits wherever the target does.
std::string TemporaryName(const std::string& folder, const std::string& stem, unsigned number) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "%x", number & 0xFFFF);
  const std::string names[] = {"~" + stem + "-" + hex + ".tmp", std::string("~") + hex + ".tmp",
                               std::string("~") + hex};
  for (const std::string& name : names) {
    if (folder.size() + name.size() < MAX_PATH) return folder + name;
  }
  return folder + names[2];
}

// Makes a new file beside the target under a temporary name (*path), open
// with the access and sharing given; INVALID_HANDLE_VALUE when none can be made.
HANDLE CreateTemporaryBeside(const char* targetPath, DWORD access, DWORD share, std::string* path) {
  // The folder ends after the last separator that starts a character (in
  // code page 932 the byte '\' is also the second half of some characters).
  const char* folderEnd = targetPath;
  for (const char* p = targetPath; *p != '\0'; p = CharNextA(p)) {
    if (*p == '\\' || *p == '/' || *p == ':') folderEnd = p + 1;
  }
  const std::string folder(targetPath, static_cast<size_t>(folderEnd - targetPath));
  const std::string stem = ProgramStem();
  const DWORD seed = GetTickCount();
  for (DWORD i = 0; i < 0x1000; ++i) {
    *path = TemporaryName(folder, stem, seed + i);
    HANDLE file = CreateFileA(path->c_str(), access, share, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  path->clear();
  return INVALID_HANDLE_VALUE;
}

}  // namespace

std::string ReserveTemporaryBeside(const char* targetPath) {
  std::string path;
  HANDLE file = CreateTemporaryBeside(targetPath, GENERIC_WRITE, 0, &path);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  CloseHandle(file);
  return path;
}

FILE* OpenTemporaryBeside(const char* targetPath, std::string* path) {
  // Shared as the C library shares the files it opens; written and read
  // through the handle that made it, not opened a second time by name.
  HANDLE file = CreateTemporaryBeside(targetPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      path);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
  if (descriptor == -1) {
    CloseHandle(file);
    DeleteFileA(path->c_str());
    return nullptr;
  }
  FILE* stream = _fdopen(descriptor, "w+b");
  if (stream == nullptr) {
    _close(descriptor);  // closes the handle too
    DeleteFileA(path->c_str());
  }
  return stream;
}

bool ReplaceWithTemporary(const std::string& temporary, const char* targetPath) {
  if (MoveFileExA(temporary.c_str(), targetPath,
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  DeleteFileA(temporary.c_str());
  return false;
}
