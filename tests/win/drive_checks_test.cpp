// The drive checks on the drives the test prefix sets up: C: fixed, E: a
// floppy, F: a CD-ROM, G: a network drive; and the free-space check through
// both queries.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "common/bitmap/drive_checks.h"
#include "common/base/platform_style.h"
#include "tests/win/win_test_support.h"

namespace {

TEST(DriveChecks, OnlyAFixedDiskIsFixed) {
  struct Case { const char* root; UINT type; bool fixed; };
  const Case cases[] = {
      {"C:\\", DRIVE_FIXED, true},
      {"E:\\", DRIVE_REMOVABLE, false},
      {"F:\\", DRIVE_CDROM, false},
      {"G:\\", DRIVE_REMOTE, false},
      {"\\\\s", DRIVE_NO_ROOT_DIR, false},  // root of \\server\share
  };
  for (const Case& c : cases) {
    // The prefix must really offer each type, or the check proves nothing.
    ASSERT_EQ(GetDriveTypeA(c.root), c.type) << c.root;
    EXPECT_EQ(IsFixedDisk(c.root), c.fixed) << c.root;
  }
  const UINT unused = GetDriveTypeA("Q:\\");
  EXPECT_TRUE(unused == DRIVE_NO_ROOT_DIR || unused == DRIVE_UNKNOWN);
  EXPECT_FALSE(IsFixedDisk("Q:\\"));
}

class FreeSpace : public testing::TestWithParam<int> {
 protected:
  void SetUp() override { platformStyle = GetParam(); }
  void TearDown() override { platformStyle = 0; }
};

// Style 0 on this system (an NT platform id) takes the cluster query; any
// other style the extended one. Both must agree with the system's own figure.
TEST_P(FreeSpace, AnswersByTheDrivesRealFreeBytes) {
  ULARGE_INTEGER available, total, totalFree;
  ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &totalFree));
  EXPECT_TRUE(HasFreeSpace("C:\\", 0));
  EXPECT_TRUE(HasFreeSpace("C:\\", 1));
  // A source larger than the drive's free bytes is refused, however large.
  EXPECT_FALSE(HasFreeSpace("C:\\", available.QuadPart + 0x80000000ull));
  const uint64_t most = std::numeric_limits<int32_t>::max();
  const uint64_t need = most + 1000;
  // The two queries may round differently; only a clear margin is asserted.
  if (available.QuadPart > need + (uint64_t{1} << 30)) {
    EXPECT_TRUE(HasFreeSpace("C:\\", most)) << "free " << available.QuadPart
                                            << ": no wrap at 4 GiB";
  } else if (available.QuadPart + (uint64_t{1} << 20) < need) {
    EXPECT_FALSE(HasFreeSpace("C:\\", most)) << "free " << available.QuadPart;
  }
}

TEST_P(FreeSpace, DriveThatCannotBeAskedHasNoRoom) {
  EXPECT_FALSE(HasFreeSpace("Q:\\", 0));
  EXPECT_FALSE(HasFreeSpace("\\\\s", 0));
}

std::string StyleName(const testing::TestParamInfo<int>& info) {
  return info.param == 0 ? "ClusterQuery" : "ExtendedQuery";
}

INSTANTIATE_TEST_SUITE_P(Styles, FreeSpace, testing::Values(0, 3), StyleName);

}  // namespace
