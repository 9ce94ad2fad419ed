#include "common/bitmap/drive_checks.h"

#include <windows.h>

#include <cstring>

#include "common/bitmap/core/drive_rules.h"
#include "common/base/platform_style.h"

namespace {

typedef BOOL(WINAPI* FreeSpaceExFunction)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                          PULARGE_INTEGER);

bool ExtendedQueryWanted() {
  if (platformStyle != 0) return drive::UseExtendedFreeSpaceQuery(platformStyle, 0, 0);
  OSVERSIONINFOA version;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = 148;  // the plain OSVERSIONINFOA
  if (!GetVersionExA(&version)) return false;
  return drive::UseExtendedFreeSpaceQuery(platformStyle, version.dwPlatformId,
                                          version.dwBuildNumber);
}

// The extended query, looked up in the system's own kernel library; false
// when it is missing or fails.
bool ExtendedFreeBytes(const char* rootPath, uint64_t* freeBytes) {
  char path[258];
  std::memset(path, 0, sizeof path);
  const UINT length = GetSystemDirectoryA(path, 256);
  if (length == 0 || length >= 256) return false;
  static const char kKernel[] = "\\KERNEL32.DLL";
  if (length + sizeof kKernel > sizeof path) return false;
  std::memcpy(path + length, kKernel, sizeof kKernel);

  HMODULE kernel = LoadLibraryA(path);
  if (kernel == nullptr) return false;
  bool answered = false;
  FreeSpaceExFunction query = reinterpret_cast<FreeSpaceExFunction>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
  if (query != nullptr) {
    ULARGE_INTEGER available, total, totalFree;
    if (query(rootPath, &available, &total, &totalFree)) {
      *freeBytes = available.QuadPart;
      answered = true;
    }
  }
  FreeLibrary(kernel);
  return answered;
}

bool ClusterFreeBytesOf(const char* rootPath, uint64_t* freeBytes) {
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
  if (!GetDiskFreeSpaceA(rootPath, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &clusters)) {
    return false;
  }
  *freeBytes = drive::ClusterFreeBytes(sectorsPerCluster, bytesPerSector, freeClusters);
  return true;
}

}  // namespace

bool IsFixedDisk(const char* rootPath) {
  return drive::IsFixedDriveType(GetDriveTypeA(rootPath));
}

bool HasFreeSpace(const char* rootPath, uint64_t n) {
  uint64_t freeBytes = 0;
  bool known = ExtendedQueryWanted() && ExtendedFreeBytes(rootPath, &freeBytes);
  if (!known) known = ClusterFreeBytesOf(rootPath, &freeBytes);
  return known && drive::EnoughFreeSpace(freeBytes, n);
}
