#include "core/config/preset_options.h"

#include <gtest/gtest.h>

namespace zizara::core::config {
namespace {

TEST(PresetNamesTest, NamesArePaddedAndListed) {
  ConfigurationImage img;
  SetPresetName(img, 0, "");
  EXPECT_EQ(PresetName(img, 0), QByteArray("          "));
  SetPresetName(img, 10, "Exactly10!");
  EXPECT_EQ(PresetName(img, 10), QByteArray("Exactly10!"));
  EXPECT_EQ(img.Byte(0x2480 + 100), 'x');  // first character in the low byte
  EXPECT_EQ(img.Byte(0x2480 + 101), 'E');
  SetPresetName(img, 1, "Far too long a name");
  EXPECT_EQ(PresetName(img, 1), QByteArray("Far too lo"));
  EXPECT_EQ(PresetName(img, 2), QByteArray(10, '\0'));  // neighbour untouched

  const QStringList items = PresetDropDownItems(img);
  ASSERT_EQ(items.size(), 11);
  EXPECT_EQ(items[0], QStringLiteral("Preset 1 -           "));
  EXPECT_EQ(items[10], QStringLiteral("Preset 11 - Exactly10!"));
}

TEST(PresetNamesTest, LegalCharacters) {
  EXPECT_TRUE(IsLegalNameText(QStringLiteral(" Az~09")));
  EXPECT_TRUE(IsLegalNameText(QString()));
  EXPECT_FALSE(IsLegalNameText(QStringLiteral("Bob's")));
  EXPECT_FALSE(IsLegalNameText(QString(QChar(0x7F))));
  EXPECT_FALSE(IsLegalNameText(QStringLiteral("\u00e4")));
  EXPECT_FALSE(IsLegalNameText(QStringLiteral("tab\t")));
}

TEST(StartupSettingsTest, BytesAndListItems) {
  ConfigurationImage img;
  SetStartupPreset(img, 7);
  SetStartupApplication(img, 12);
  EXPECT_EQ(img.Byte(0x3F93), 7);
  EXPECT_EQ(img.Byte(0x3F81), 12);
  EXPECT_STREQ(kStartupApplications[StartupApplicationItem(12)], "ToneGenerator");
  EXPECT_STREQ(kStartupApplications[StartupApplicationItem(14)], "Start Menu");
  EXPECT_EQ(StartupPresetItem(10), 10);
  EXPECT_EQ(StartupPresetItem(11), 0);
}

TEST(OffsetStandardTest, KnownWordsAndUnknown) {
  ConfigurationImage img;
  EXPECT_EQ(OffsetStandardText(img), QStringLiteral("International Offset"));
  img.SetWord(0x010A, 0x1E1E);
  EXPECT_EQ(OffsetStandardText(img), QStringLiteral("German Offset"));
  img.SetWord(0x010A, 0xC4C4);
  EXPECT_EQ(OffsetStandardText(img), QStringLiteral("US Offset"));
  img.SetWord(0x010A, 0xC41E);
  EXPECT_EQ(OffsetStandardText(img), QStringLiteral("Unknown Offset"));
}

TEST(LockCodeTest, OneDigitPerWordLowByte) {
  ConfigurationImage img;
  img.Fill(0xFF);
  SetLockCode(img, "1234");
  const std::uint8_t expected[] = {0, '1', 0, '2', 0, '3', 0, '4'};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(img.Byte(0x3F9E + i), expected[i]);
  }
  EXPECT_EQ(LockCode(img), QByteArray("1234"));
}

TEST(SumGainTest, StorageDependsOnVersion) {
  const MemoryMap map = MemoryMap::ForPreset(3);
  ConfigurationImage img;
  WriteSumGain(img, 0x0380, map, SumGain::kPlus0dB);
  EXPECT_EQ(img.Byte(0x012B), 1);
  EXPECT_EQ(img.Word(map.SumGainExtBaseAdr), 0);
  EXPECT_EQ(ReadSumGain(img, 0x0380, map), SumGain::kPlus0dB);
  WriteSumGain(img, 0x0380, map, SumGain::kMinus3dB);
  EXPECT_EQ(img.Byte(0x012B), 0);
  img.SetByte(0x012B, 7);
  EXPECT_EQ(ReadSumGain(img, 0x0380, map), SumGain::kPlus0dB);  // any non-zero byte

  ConfigurationImage v5;
  WriteSumGain(v5, 0x0500, map, SumGain::kMinus3dB);
  EXPECT_EQ(v5.Word(0x147C + 3 * 0x80), 0xFFF1);
  EXPECT_EQ(v5.Word(0x147E + 3 * 0x80), 0xFFF1);
  EXPECT_EQ(v5.Byte(0x012B), 0);
  EXPECT_EQ(ReadSumGain(v5, 0x0510, map), SumGain::kMinus3dB);
  WriteSumGain(v5, 0x0500, map, SumGain::kPlus0dB);
  EXPECT_EQ(ReadSumGain(v5, 0x0500, map), SumGain::kPlus0dB);
  v5.SetWord(map.SumGainExtBaseAdr + 2, 0xFFF1);
  EXPECT_FALSE(ReadSumGain(v5, 0x0500, map).has_value());
}

TEST(ChannelNamesTest, EachRangeComesFromItsArea) {
  ConfigurationImage img;
  img.SetText(0x1000, "IN01");
  img.SetText(0x1000 + 31 * 4, "IN32");
  img.SetText(0x1080, "P1_33");  // preset 1, input 33 (odd last character dropped)
  img.SetText(0x2580, "P2IN");   // preset 2, input 33
  img.SetText(0x2580 + 23 * 4, "P256");
  img.SetText(0x0F00, "SH57");  // input 57 and output 65
  img.SetText(0x0E00, "OUT1");

  const ChannelNames p1 = ChannelNamesFromImage(img, MemoryMap::ForPreset(0));
  EXPECT_EQ(p1.inputs[0], QByteArray("IN01"));
  EXPECT_EQ(p1.inputs[31], QByteArray("IN32"));
  EXPECT_EQ(p1.inputs[32], QByteArray("P1_3"));
  EXPECT_EQ(p1.inputs[56], QByteArray("SH57"));
  EXPECT_EQ(p1.outputs[64], QByteArray("SH57"));
  EXPECT_EQ(p1.outputs[0], QByteArray("OUT1"));

  const ChannelNames p2 = ChannelNamesFromImage(img, MemoryMap::ForPreset(1));
  EXPECT_EQ(p2.inputs[32], QByteArray("P2IN"));
  EXPECT_EQ(p2.inputs[55], QByteArray("P256"));
  EXPECT_EQ(p2.inputs[0], QByteArray("IN01"));
  EXPECT_EQ(InputNameOffset(MemoryMap::ForPreset(0), 88), OutputNameOffset(96));
}

}  // namespace
}  // namespace zizara::core::config
