// The pure rules of the drive checks used by Open and Save: which drive type
// counts as a fixed disk, which free-space query a system gets, and the
// comparison with a 1000-byte margin, all in 64 bits.
#pragma once

#include <cstdint>

namespace drive {

constexpr uint32_t kDriveFixed = 3;           // DRIVE_FIXED
constexpr uint32_t kPlatformWin32Windows = 1;  // VER_PLATFORM_WIN32_WINDOWS
constexpr uint64_t kMargin = 1000;

// True only for DRIVE_FIXED.
bool IsFixedDriveType(uint32_t driveType);

// The extended query (GetDiskFreeSpaceExA) for every detected platform style;
// with style 0 only on a Windows 95-family system whose build (low 16 bits)
// is above 1000, otherwise the cluster query.
bool UseExtendedFreeSpaceQuery(int32_t platformStyle, uint32_t platformId, uint32_t buildNumber);

// True when a file of n bytes plus the margin fits into freeBytes. n is the
// real file size, so a source of 2 GiB or more needs all of its bytes.
bool EnoughFreeSpace(uint64_t freeBytes, uint64_t n);

// Free bytes from the cluster query, multiplied without wrapping (saturates
// at the largest 64-bit value, which no drive reaches).
uint64_t ClusterFreeBytes(uint32_t sectorsPerCluster, uint32_t bytesPerSector,
                          uint32_t freeClusters);

// The first three characters of path ("C:\" of "C:\pictures\a.bmp"), fewer
// when the path is shorter; out is always terminated.
void RootPathOf(const char* path, char out[4]);

}  // namespace drive
