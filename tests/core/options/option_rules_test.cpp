#include <gtest/gtest.h>

#include "core/config/memory_map.h"
#include "core/options/lcd_options.h"
#include "core/options/leqm_options.h"
#include "core/options/phase_options.h"
#include "core/options/ppm_options.h"
#include "core/options/preset_settings.h"
#include "core/options/rgb_colours.h"
#include "core/options/scale_options.h"

namespace zizara::core::options {
namespace {

using config::ConfigurationImage;
using config::MemoryMap;

TEST(PpmOptionsTest, FieldsReadFromTheDocumentedBits) {
  ConfigurationImage img;
  const MemoryMap map = MemoryMap::ForPreset(0);
  // Channel 3: byte 0 = width Normal, space, underload 5; byte 1 = bit 7, trace 6, colour 2.
  img.SetByte(0x12C + 4, 0x40 | 0x10 | 0x05);
  img.SetByte(0x12C + 5, 0x80 | 0x60 | 0x02);
  const PpmChannel ch = ReadPpmChannel(img, map, 2);
  EXPECT_EQ(ch.width, kPpmWidthNormal);
  EXPECT_TRUE(ch.space);
  EXPECT_EQ(ch.underload_colour, 5);
  EXPECT_EQ(ch.trace_colour, 6);  // bit 7 dropped
  EXPECT_EQ(ch.colour, 2);
  EXPECT_EQ(PpmColourText(1), QStringLiteral("Green"));
  EXPECT_EQ(PpmColourText(7), QString());
}

TEST(PpmOptionsTest, WidthReadingAndWriting) {
  EXPECT_EQ(PpmWidthPosition(0x00), kPpmWidthWide);  // field 0
  EXPECT_EQ(PpmWidthPosition(0x60), kPpmWidthWide);  // field 3
  EXPECT_EQ(PpmWidthPosition(0xE0), kPpmWidthWide);
  EXPECT_EQ(PpmWidthPosition(0x80), kPpmWidthWide);
  EXPECT_EQ(PpmWidthPosition(0x40), kPpmWidthNormal);
  EXPECT_EQ(PpmWidthPosition(0x3F), kPpmWidthXWide);

  ConfigurationImage img;
  const MemoryMap map = MemoryMap::ForPreset(1);
  const int at = 0x2500 + 0x2C + 2 * 31;
  img.SetByte(at, 0xFF);
  WritePpmField(img, map, 31, PpmField::kWidth, kPpmWidthXWide);
  EXPECT_EQ(img.Byte(at), 0x3F);  // 0x20 in bits 5-7, bits 0-4 kept
  WritePpmField(img, map, 31, PpmField::kWidth, kPpmWidthNormal);
  EXPECT_EQ(img.Byte(at), 0x5F);
  WritePpmField(img, map, 31, PpmField::kWidth, kPpmWidthWide);
  EXPECT_EQ(img.Byte(at), 0x9F);
}

TEST(PpmOptionsTest, WritesKeepOtherBitsAndClearTraceBit7) {
  ConfigurationImage img;
  const MemoryMap map = MemoryMap::ForPreset(0);
  img.SetByte(0x12C, 0xFF);
  img.SetByte(0x12D, 0xFF);
  WritePpmField(img, map, 0, PpmField::kTraceColour, 3);
  EXPECT_EQ(img.Byte(0x12D), 0x3F);
  WritePpmField(img, map, 0, PpmField::kColour, 0);
  EXPECT_EQ(img.Byte(0x12D), 0x30);
  WritePpmField(img, map, 0, PpmField::kUnderloadColour, 6);
  EXPECT_EQ(img.Byte(0x12C), 0xF6);
  WritePpmField(img, map, 0, PpmField::kSpace, 0);
  EXPECT_EQ(img.Byte(0x12C), 0xE6);
  WritePpmField(img, map, 0, PpmField::kSpace, 1);
  EXPECT_EQ(img.Byte(0x12C), 0xF6);
  EXPECT_EQ(img.Byte(0x12E), 0);  // neighbour untouched
}

TEST(PpmOptionsTest, SelectionRules) {
  ConfigurationImage img;
  const MemoryMap map = MemoryMap::ForPreset(0);
  img.SetByte(0x12C + 1, 0x01);  // channel 1 Green
  img.SetByte(0x12C + 5, 0x02);  // channel 3 Yellow
  img.SetByte(0x12C + 7, 0x02);  // channel 4 Yellow
  PpmSelection sel;
  sel.outputs[0] = true;
  sel.outputs[1] = true;
  EXPECT_EQ(PpmTargetChannels(sel), (std::vector<int>{0, 1}));
  // Output-side selection is not consulted for the shown value.
  EXPECT_EQ(PpmShownField(img, map, 0, PpmField::kColour, sel), 1);
  sel.inputs[2] = true;
  sel.inputs[3] = true;
  EXPECT_EQ(PpmTargetChannels(sel), (std::vector<int>{2, 3}));  // input side first
  EXPECT_EQ(PpmShownField(img, map, 2, PpmField::kColour, sel), 2);
  EXPECT_EQ(PpmShownField(img, map, 0, PpmField::kColour, sel), std::nullopt);
  EXPECT_EQ(PpmShownField(img, map, 2, PpmField::kWidth, sel), kPpmWidthWide);
}

TEST(LcdOptionsTest, BacklightAndThemeOfEveryPreset) {
  ConfigurationImage img;
  img.SetByte(0x10D, 5);
  img.SetByte(0x2C80, 0x40 | 0x03);  // preset 7
  LcdSettings lcd = ReadLcd(img);
  EXPECT_EQ(lcd.backlight, 5);
  for (int p = 0; p < 11; ++p) {
    EXPECT_EQ(lcd.theme[p], p == 6) << p;
  }
  img.SetByte(0x10D, 200);
  EXPECT_EQ(BacklightPosition(img), 7);

  lcd.theme.fill(true);
  lcd.theme[6] = false;
  lcd.backlight = 2;
  img.SetByte(0x3280, 0x05);
  WriteLcd(img, lcd);
  EXPECT_EQ(img.Byte(0x10D), 2);
  EXPECT_EQ(img.Byte(0x100), 0x40);
  EXPECT_EQ(img.Byte(0x2C80), 0x03);
  EXPECT_EQ(img.Byte(0x3280), 0x45);  // preset 11, other bits kept
}

TEST(RgbColourTest, GraphAndSumRules) {
  const int graph[8] = {1, 3, 1, 5, 0, 4, 2, 6};
  const int sum[8] = {2, 3, 1, 5, 0, 4, 2, 6};
  for (int code = 0; code < 8; ++code) {
    EXPECT_EQ(GraphPositionFromCode(code), graph[code]) << code;
    EXPECT_EQ(SumPositionFromCode(code), sum[code]) << code;
  }
  const int graph_code[7] = {4, 2, 6, 1, 5, 3, 7};
  const int sum_code[7] = {4, 2, 6, 1, 5, 3, 7};
  for (int pos = 0; pos < 7; ++pos) {
    EXPECT_EQ(GraphCodeFromPosition(pos), graph_code[pos]);
    EXPECT_EQ(SumCodeFromPosition(pos), sum_code[pos]);
  }
  EXPECT_EQ(GraphCodeFromPosition(-1), 2);  // no selection
  EXPECT_EQ(SumCodeFromPosition(-1), 6);
  EXPECT_EQ(RgbColourText(0), QStringLiteral("Red"));
}

TEST(LeqmOptionsTest, CodeZeroOpensAsGreenAndYellowAndOkWritesTwoAndSix) {
  ConfigurationImage img;
  const MemoryMap map = MemoryMap::ForPreset(2);
  ASSERT_EQ(map.LeqGraphColor, 0x150E);
  img.SetByte(0x1510, 0x77);
  img.SetByte(0x1511, 77);
  const LeqmSettings shown = ReadLeqm(img, map);
  EXPECT_EQ(RgbColourText(shown.graph_colour), QStringLiteral("Green"));
  EXPECT_EQ(RgbColourText(shown.sum_colour), QStringLiteral("Yellow"));
  EXPECT_EQ(shown.trip_level, 85);
  WriteLeqm(img, map, shown);
  EXPECT_EQ(img.Byte(0x150F), 2);  // graph
  EXPECT_EQ(img.Byte(0x150E), 6);  // sum
  EXPECT_EQ(img.Byte(0x1510), 0);
  EXPECT_EQ(img.Byte(0x1511), 85);
}

TEST(LeqmOptionsTest, TripLevelRange) {
  EXPECT_EQ(TripLevelShown(77), 85);
  EXPECT_EQ(TripLevelShown(94), 85);
  EXPECT_EQ(TripLevelShown(78), 78);
  EXPECT_EQ(TripLevelShown(93), 93);
}

TEST(ScaleOptionsTest, NibbleByVersion) {
  ConfigurationImage img;
  const MemoryMap map = MemoryMap::ForPreset(0);
  img.SetByte(0x111, 0x35);
  EXPECT_EQ(ScalePosition(img, map, 0x4FF), 5);  // entry 6
  EXPECT_EQ(ScalePosition(img, map, 0x500), 3);  // entry 4
  SetScalePosition(img, map, 0x500, 0);
  EXPECT_EQ(img.Byte(0x111), 0x05);
  img.SetByte(0x111, 0x35);
  SetScalePosition(img, map, 0x4FF, 1);
  EXPECT_EQ(img.Byte(0x111), 0x31);
}

TEST(ScaleOptionsTest, FlagsNamesAndList) {
  ConfigurationImage img;
  const MemoryMap map = MemoryMap::ForPreset(1);
  img.SetByte(0x250F, 0x08 | 0x01);
  ScaleSettings s = ReadScale(img, map, 0x510);
  EXPECT_TRUE(s.peak_hold);
  EXPECT_FALSE(s.dual);
  s.peak_hold = false;
  s.dual = true;
  WriteScale(img, map, 0x510, s);
  EXPECT_EQ(img.Byte(0x250F), 0x41);
  img.SetText(0x0500 + 0x600, "DMU2");
  EXPECT_EQ(ScaleName(img, 7), QByteArray("DMU2"));
  EXPECT_EQ(ScaleListItems(img)[6], QStringLiteral("Scale #7 - DMU2"));
}

TEST(PhaseOptionsTest, FastClearsSlowAndKeepsTheme) {
  ConfigurationImage img;
  const MemoryMap map = MemoryMap::ForPreset(0);
  img.SetByte(0x100, 0x40 | 0x03 | 0x80);
  img.SetByte(0x121, 0);
  PhaseSettings s = ReadPhase(img, map);
  EXPECT_TRUE(s.slow);
  EXPECT_EQ(RgbColourText(s.scope_colour), QStringLiteral("Green"));
  s.slow = false;
  s.compressor_off = true;
  WritePhase(img, map, s);
  EXPECT_EQ(img.Byte(0x100), 0x40 | 0x80 | 0x02 | 0x04);
  EXPECT_EQ(img.Byte(0x121), 2);
  img.SetByte(0x100, 0);
  EXPECT_FALSE(ReadPhase(img, map).slow);  // neither bit shows Fast
}

TEST(PresetSettingsTest, StartupOnlyFromVersion5) {
  ConfigurationImage img;
  img.SetByte(0x3F93, 12);
  img.SetByte(0x3F81, 12);
  EXPECT_FALSE(ReadStartup(img, 0x0380).has_value());
  WriteStartup(img, 0x0380, {3, 4});
  EXPECT_EQ(img.Byte(0x3F93), 12);
  EXPECT_EQ(img.Byte(0x3F81), 12);
  const auto s = ReadStartup(img, 0x0500);
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->preset_item, 0);        // above 10 shows the first item
  EXPECT_EQ(s->application_item, 12);  // ToneGenerator
  img.SetByte(0x3F81, 14);
  EXPECT_EQ(ReadStartup(img, 0x0500)->application_item, 0);
  WriteStartup(img, 0x0500, {3, 4});
  EXPECT_EQ(img.Byte(0x3F93), 3);
  EXPECT_EQ(img.Byte(0x3F81), 4);
}

TEST(PresetSettingsTest, LockCodeAndNames) {
  ConfigurationImage img;
  EXPECT_FALSE(ReadLockCode(img, 0x0500).has_value());
  WriteLockCode(img, QStringLiteral("8246"));
  EXPECT_EQ(img.Word(0x3F9E), '8');
  EXPECT_EQ(img.Word(0x3FA4), '6');
  EXPECT_TRUE(IsWriteProtectOff(*ReadLockCode(img, 0x0510)));
  EXPECT_TRUE(IsFourDigitCode(QStringLiteral("0123")));
  EXPECT_FALSE(IsFourDigitCode(QStringLiteral("123")));
  EXPECT_FALSE(IsFourDigitCode(QStringLiteral("12a4")));
  EXPECT_FALSE(IsFourDigitCode(QStringLiteral("-123")));
  EXPECT_TRUE(IsAcceptedPresetName(QStringLiteral("Exactly10!")));
  EXPECT_FALSE(IsAcceptedPresetName(QStringLiteral("Bob's")));
  EXPECT_FALSE(IsAcceptedPresetName(QStringLiteral("Eleven char")));
}

}  // namespace
}  // namespace zizara::core::options
