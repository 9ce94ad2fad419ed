// The rules of the fixed-disk and free-space checks.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

#include "common/bitmap/core/drive_rules.h"

TEST(DriveRules, OnlyFixedDisksCount) {
  struct Case { const char* label; uint32_t type; bool fixed; };
  const Case cases[] = {
      {"DRIVE_UNKNOWN", 0, false}, {"DRIVE_NO_ROOT_DIR", 1, false}, {"DRIVE_REMOVABLE", 2, false},
      {"DRIVE_FIXED", 3, true},    {"DRIVE_REMOTE", 4, false},      {"DRIVE_CDROM", 5, false},
      {"DRIVE_RAMDISK", 6, false},
  };
  for (const Case& c : cases) EXPECT_EQ(drive::IsFixedDriveType(c.type), c.fixed) << c.label;
}

TEST(DriveRules, QuerySelection) {
  struct Case { const char* label; int32_t style; uint32_t platform; uint32_t build; bool extended; };
  const Case cases[] = {
      {"style 0, Windows 95 build 950", 0, 1, 950, false},
      {"style 0, Windows 95 build 1111", 0, 1, 1111, true},
      {"style 0, build 1000 is not above 1000", 0, 1, 1000, false},
      {"style 0, build 1111 with a version in the high word", 0, 1, 0x040A0457, true},
      {"style 0, build 950 with a version in the high word", 0, 1, 0x040003B6, false},
      {"style 0, NT platform", 0, 2, 1381, false},
      {"style 0, Win32s", 0, 0, 5000, false},
      {"style 1", 1, 2, 0, true},
      {"style 3", 3, 0, 0, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(drive::UseExtendedFreeSpaceQuery(c.style, c.platform, c.build), c.extended) << c.label;
  }
}

TEST(DriveRules, MarginOfAThousandBytes) {
  struct Case { const char* label; uint64_t free; uint64_t n; bool enough; };
  const Case cases[] = {
      {"exactly n + 1000", 5000, 4000, true},
      {"n + 999", 4999, 4000, false},
      {"empty drive, empty file", 0, 0, false},
      {"1000 free, empty file", 1000, 0, true},
      {"2 GiB less a byte, just enough", 2147483647ull + 1000, 2147483647ull, true},
      {"2 GiB less a byte, one byte short", 2147483647ull + 999, 2147483647ull, false},
      {"free space beyond 4 GiB", 0x100000000ull + 5, 2000000000, true},
      // A source of 2 GiB or more needs all of its bytes, never less than nothing.
      {"2 GiB source, no room at all", 0, 0x80000000ull, false},
      {"2 GiB source, just enough", 0x80000000ull + 1000, 0x80000000ull, true},
      {"4 GiB source on 3 GiB free", 0xC0000000ull, 0x100000000ull, false},
      {"largest count fits nowhere", std::numeric_limits<uint64_t>::max(),
       std::numeric_limits<uint64_t>::max(), false},
  };
  for (const Case& c : cases) EXPECT_EQ(drive::EnoughFreeSpace(c.free, c.n), c.enough) << c.label;
}

TEST(DriveRules, ClusterProductDoesNotWrapAtFourGib) {
  // 64 sectors x 512 bytes x 200000 clusters = 6.5 GB, which wraps in 32 bits.
  EXPECT_EQ(drive::ClusterFreeBytes(64, 512, 200000), 6553600000ull);
  EXPECT_TRUE(drive::EnoughFreeSpace(drive::ClusterFreeBytes(64, 512, 200000), 2000000000));
  EXPECT_EQ(drive::ClusterFreeBytes(8, 512, 0), 0u);
  EXPECT_EQ(drive::ClusterFreeBytes(0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu),
            std::numeric_limits<uint64_t>::max());
}

TEST(DriveRules, RootPathIsTheFirstThreeCharacters) {
  struct Case { const char* path; const char* root; };
  const Case cases[] = {
      {"C:\\pictures\\a.bmp", "C:\\"}, {"\\\\server\\share\\a.bmp", "\\\\s"},
      {"C:", "C:"}, {"", ""}, {"E:\\", "E:\\"},
  };
  for (const Case& c : cases) {
    char out[4] = {'x', 'x', 'x', 'x'};
    drive::RootPathOf(c.path, out);
    EXPECT_STREQ(out, c.root) << c.path;
  }
  char out[4] = {'x', 'x', 'x', 'x'};
  drive::RootPathOf(nullptr, out);
  EXPECT_STREQ(out, "");
}
