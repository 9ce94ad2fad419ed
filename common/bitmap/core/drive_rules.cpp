#include "common/bitmap/core/drive_rules.h"

#include <limits>

namespace drive {

bool IsFixedDriveType(uint32_t driveType) { return driveType == kDriveFixed; }

bool UseExtendedFreeSpaceQuery(int32_t platformStyle, uint32_t platformId, uint32_t buildNumber) {
  if (platformStyle != 0) return true;
  return platformId == kPlatformWin32Windows && (buildNumber & 0xFFFF) > 1000;
}

bool EnoughFreeSpace(uint64_t freeBytes, uint64_t n) {
  // Nothing fits a need beyond the largest 64-bit count.
  if (n > std::numeric_limits<uint64_t>::max() - kMargin) return false;
  return n + kMargin <= freeBytes;
}

uint64_t ClusterFreeBytes(uint32_t sectorsPerCluster, uint32_t bytesPerSector,
                          uint32_t freeClusters) {
  const uint64_t clusterBytes = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
  if (freeClusters != 0 && clusterBytes > std::numeric_limits<uint64_t>::max() / freeClusters) {
    return std::numeric_limits<uint64_t>::max();
  }
  return clusterBytes * freeClusters;
}

void RootPathOf(const char* path, char out[4]) {
  int i = 0;
  if (path != nullptr) {
    for (; i < 3 && path[i] != '\0'; ++i) out[i] = path[i];
  }
  out[i] = '\0';
}

}  // namespace drive
