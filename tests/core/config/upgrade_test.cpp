#include "core/config/upgrade.h"

#include <gtest/gtest.h>

#include "core/config/lcd_character_set.h"
#include "core/config/resource_tables.h"

namespace zizara::core::config {
namespace {

ConfigurationImage Upgraded(std::uint8_t fill) {
  ConfigurationImage img;
  img.Fill(fill);
  UpgradeToV5(img);
  return img;
}

TEST(UpgradeToV5Test, WritesEveryPresetsDefaults) {
  const ConfigurationImage img = Upgraded(0xFF);
  for (int p = 0; p < 11; ++p) {
    SCOPED_TRACE(p);
    const int s = p == 0 ? 0x0100 : 0x2500 + (p - 1) * 0x180;
    const int e = 0x1400 + p * 0x80;
    for (int i = 0; i < 0x80; ++i) {
      if (i == 0x0E || i == 0x0F || i == 0x10 || i == 0x11 || i >= 0x7C) {
        continue;
      }
      ASSERT_EQ(img.Byte(e + i), 0) << i;
    }
    EXPECT_EQ(img.Word(s + 0x08), 0);
    EXPECT_EQ(img.Word(s + 0x24), 0);
    EXPECT_EQ(img.Word(s + 0x28), 0);
    EXPECT_EQ(img.Word(s + 0x12), 0x0050);
    EXPECT_EQ(img.Word(e + 0x7C), 0xFFF1);
    EXPECT_EQ(img.Word(e + 0x7E), 0xFFF1);
    EXPECT_EQ(img.Word(e + 0x0E), 0x0602);
    EXPECT_EQ(img.Word(e + 0x10), 0x0055);
    EXPECT_EQ(img.Byte(s), 0xBF);  // bit 6 cleared, the rest left alone
    EXPECT_EQ(img.Byte(s + 1), 0xFF);
  }
  EXPECT_EQ(img.Byte(0x0113), 0x50);  // layout marker
}

TEST(UpgradeToV5Test, PresetOptionsAndLockCode) {
  const ConfigurationImage img = Upgraded(0xFF);
  for (int o = 0x3F80; o < 0x3F9E; ++o) {
    if (o != 0x3F81) {
      EXPECT_EQ(img.Byte(o), 0) << std::hex << o;
    }
  }
  EXPECT_EQ(img.Byte(0x3F81), 1);
  EXPECT_EQ(img.Byte(0x3F93), 0);
  const std::uint8_t lock[] = {0, '8', 0, '2', 0, '4', 0, '6'};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(img.Byte(0x3F9E + i), lock[i]) << i;
  }
  EXPECT_EQ(img.Byte(0x3FA6), 0xFF);  // just past the lock code: untouched
}

TEST(UpgradeToV5Test, CopiesTheTables) {
  const ConfigurationImage img = Upgraded(0x00);
  EXPECT_EQ(img.Word(0x0400 + 0x62), 0x0294);
  EXPECT_EQ(img.Word(0x04FE), 0x0707);
  EXPECT_EQ(img.Text(0x0C00, 2), QByteArray("LEQM"));
  EXPECT_EQ(img.Text(0x1A00, 2), QByteArray("DMU1"));
  EXPECT_EQ(img.Text(0x1B00, 2), QByteArray("DMU2"));
  EXPECT_EQ(img.Byte(0x0CC1), 0x38);  // last non-zero byte of the Leq(m) table
  EXPECT_EQ(img.Byte(0x1AA5), 0x36);
  EXPECT_EQ(img.Byte(0x1B9B), 0x2E);
  for (std::size_t i = 0; i < kLcdCharacterSetSize; ++i) {
    ASSERT_EQ(img.Byte(0x3400 + static_cast<int>(i)), LcdCharacterSet()[i]) << i;
  }
}

TEST(UpgradeToV5Test, LeavesOtherBytesAlone) {
  const ConfigurationImage img = Upgraded(0xA5);
  for (int o : {0x0000, 0x0002, 0x0E00, 0x0F7F, 0x1000, 0x1100, 0x2480, 0x2600, 0x33FF, 0x3FFF}) {
    EXPECT_EQ(img.Byte(o), 0xA5) << std::hex << o;
  }
}

TEST(UpgradeToV5Test, IsIdempotent) {
  ConfigurationImage once;
  for (int i = 0; i < 0x4000; ++i) {
    once.SetByte(i, static_cast<std::uint8_t>(i * 7 + 3));
  }
  UpgradeToV5(once);
  ConfigurationImage twice = once;
  UpgradeToV5(twice);
  EXPECT_EQ(once, twice);
}

}  // namespace
}  // namespace zizara::core::config
