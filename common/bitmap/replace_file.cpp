#include "common/bitmap/replace_file.h"

#include <windows.h>

#include <cstdio>

bool TargetCanBeReplaced(const char* targetPath) {
  const DWORD existing = GetFileAttributesA(targetPath);
  return existing == INVALID_FILE_ATTRIBUTES ||
         (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

std::string ReserveTemporaryBeside(const char* targetPath) {
  // The folder ends after the last separator that starts a character (in
  // code page 932 the byte '\' is also the second half of some characters).
  const char* folderEnd = targetPath;
  for (const char* p = targetPath; *p != '\0'; p = CharNextA(p)) {
    if (*p == '\\' || *p == '/' || *p == ':') folderEnd = p + 1;
  }
  const std::string folder(targetPath, static_cast<size_t>(folderEnd - targetPath));
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

bool ReplaceWithTemporary(const std::string& temporary, const char* targetPath) {
  if (MoveFileExA(temporary.c_str(), targetPath,
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  DeleteFileA(temporary.c_str());
  return false;
}
