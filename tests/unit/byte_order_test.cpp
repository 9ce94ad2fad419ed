// Little-endian helpers: every multi-byte number of the BMP and TIFF formats
// goes through them.
#include <gtest/gtest.h>

#include "common/bitmap/core/bmp_rules.h"

TEST(ByteOrder, ReadsAndWritesLeastSignificantFirst) {
  uint8_t b[4] = {0x78, 0x56, 0x34, 0x12};
  EXPECT_EQ(bmp::GetU16(b), 0x5678u);
  EXPECT_EQ(bmp::GetU32(b), 0x12345678u);
  uint8_t neg[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(bmp::GetI32(neg), -1);
  uint8_t out[4] = {};
  bmp::PutU32(out, 0xA1B2C3D4u);
  EXPECT_EQ(out[0], 0xD4); EXPECT_EQ(out[1], 0xC3); EXPECT_EQ(out[2], 0xB2); EXPECT_EQ(out[3], 0xA1);
  bmp::PutU16(out, 0x0102);
  EXPECT_EQ(out[0], 0x02); EXPECT_EQ(out[1], 0x01);
}
