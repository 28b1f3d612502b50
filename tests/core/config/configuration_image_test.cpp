#include "core/config/configuration_image.h"

#include <gtest/gtest.h>

namespace zizara::core::config {
namespace {

TEST(ConfigurationImageTest, WordsAreHighByteFirst) {
  ConfigurationImage img;
  img.SetWord(0x010A, 0xC4C5);
  EXPECT_EQ(img.Byte(0x010A), 0xC4);
  EXPECT_EQ(img.Byte(0x010B), 0xC5);
  EXPECT_EQ(img.Word(0x010A), 0xC4C5);
}

TEST(ConfigurationImageTest, TextHasFirstCharacterInLowByte) {
  ConfigurationImage img;
  img.SetByte(0x1000, 0x42);
  img.SetByte(0x1001, 0x41);
  img.SetByte(0x1002, 0x44);
  img.SetByte(0x1003, 0x43);
  EXPECT_EQ(img.Text(0x1000, 2), QByteArray("ABCD"));

  ConfigurationImage written;
  written.SetText(0x1000, "ABCD");
  EXPECT_EQ(written.Byte(0x1000), 0x42);
  EXPECT_EQ(written.Byte(0x1001), 0x41);
  EXPECT_EQ(written.Byte(0x1002), 0x44);
  EXPECT_EQ(written.Byte(0x1003), 0x43);
}

TEST(ConfigurationImageTest, OddLastCharacterIsNotWritten) {
  ConfigurationImage img;
  img.Fill(0xEE);
  img.SetText(0x2000, "XYZ");
  EXPECT_EQ(img.Text(0x2000, 1), QByteArray("XY"));
  EXPECT_EQ(img.Byte(0x2002), 0xEE);
  EXPECT_EQ(img.Byte(0x2003), 0xEE);
}

TEST(ConfigurationImageTest, TextKeepsEightBitCharacters) {
  ConfigurationImage img;
  img.SetText(0x0E00, QByteArray("\xC4\xD6\xDC\xDF"));
  EXPECT_EQ(img.Byte(0x0E01), 0xC4);
  EXPECT_EQ(img.Text(0x0E00, 2), QByteArray("\xC4\xD6\xDC\xDF"));
}

TEST(ConfigurationImageTest, ByteArrayElementsAreSwappedPerWord) {
  ConfigurationImage img;
  for (int k = 0; k < 96; ++k) {
    img.SetArrayElement(0x1100, k, static_cast<std::uint8_t>(k + 1));
  }
  EXPECT_EQ(img.Byte(0x1101), 1);   // element 0
  EXPECT_EQ(img.Byte(0x1100), 2);   // element 1
  EXPECT_EQ(img.Byte(0x115E), 96);  // element 95
  EXPECT_EQ(img.ArrayElement(0x1100, 95), 96);
}

TEST(ConfigurationImageTest, BitsCountFromLeastSignificant) {
  ConfigurationImage img;
  img.SetBit(0x0100, 6);
  EXPECT_EQ(img.Byte(0x0100), 0x40);
  EXPECT_TRUE(img.Bit(0x0100, 6));
  img.SetBit(0x0100, 0);
  img.ClearBit(0x0100, 6);
  EXPECT_EQ(img.Byte(0x0100), 0x01);
}

TEST(ConfigurationImageTest, AssignRefusesWrongSizeAndKeepsContent) {
  ConfigurationImage img;
  img.Fill(0x5A);
  EXPECT_FALSE(img.AssignFrom(QByteArray(16383, '\0')));
  EXPECT_FALSE(img.AssignFrom(QByteArray(16385, '\0')));
  EXPECT_EQ(img.Byte(0), 0x5A);
  EXPECT_TRUE(img.AssignFrom(QByteArray(16384, '\1')));
  EXPECT_EQ(img.Byte(0x3FFF), 1);
}

TEST(ConfigurationImageTest, StrayOffsetsStayInsideTheBuffer) {
  ConfigurationImage img;
  img.SetWord(0x3FFF, 0x1234);  // second byte wraps instead of writing past the end
  EXPECT_EQ(img.Byte(0x3FFF), 0x12);
  EXPECT_EQ(img.Byte(0x0000), 0x34);
}

}  // namespace
}  // namespace zizara::core::config
