#include <gtest/gtest.h>

#include "core/config/configuration_image.h"
#include "core/config/preset_trailer.h"
#include "core/options/assignment.h"
#include "core/options/config_diff.h"
#include "core/options/settings_view.h"

namespace zizara::core::options {
namespace {

using config::ConfigurationImage;

AssignOutcome Apply(ConfigurationImage& img, int version, const char* text, int p = 0) {
  return ApplyAssignment(img, version, p, QString::fromLatin1(text)).outcome;
}

TEST(AssignmentTest, PpmRangeTouchesOnlyTheField) {
  ConfigurationImage img;
  const int base = 0x2500 + 0x2C;  // preset 2
  for (int c = 0; c < 32; ++c) {
    img.SetByte(base + 2 * c, 0x4F);
  }
  EXPECT_EQ(Apply(img, 0x510, "ppm.1-8.width=X-Wide", 1), AssignOutcome::kApplied);
  for (int c = 0; c < 32; ++c) {
    EXPECT_EQ(img.Byte(base + 2 * c), c < 8 ? 0x2F : 0x4F) << c;
  }
  EXPECT_EQ(Apply(img, 0x510, "ppm.32.trace_colour=white", 1), AssignOutcome::kApplied);
  EXPECT_EQ(img.Byte(base + 63), 0x60);
  EXPECT_EQ(Apply(img, 0x510, "ppm.33.space=on"), AssignOutcome::kRefused);
  EXPECT_EQ(Apply(img, 0x510, "ppm.8-1.space=on"), AssignOutcome::kRefused);
  EXPECT_EQ(Apply(img, 0x510, "ppm.1.width=Huge"), AssignOutcome::kRefused);
  EXPECT_EQ(Apply(img, 0x510, "ppm.1.size=1"), AssignOutcome::kRefused);
}

TEST(AssignmentTest, ChecksOfTheWindows) {
  ConfigurationImage img;
  const ConfigurationImage before = img;
  const AssignResult name = ApplyAssignment(img, 0x510, 0, QStringLiteral("preset_name=Bob's"));
  EXPECT_EQ(name.outcome, AssignOutcome::kRefused);
  EXPECT_TRUE(
      name.message.contains(QStringLiteral("The text contains one or more illegal characters.")));
  EXPECT_EQ(Apply(img, 0x510, "lock_code=123"), AssignOutcome::kRefused);
  EXPECT_EQ(Apply(img, 0x510, "leqm.trip_level=94"), AssignOutcome::kRefused);
  EXPECT_EQ(Apply(img, 0x510, "lcd.backlight=8"), AssignOutcome::kRefused);
  EXPECT_EQ(Apply(img, 0x510, "lcd.theme.12=on"), AssignOutcome::kRefused);
  EXPECT_EQ(Apply(img, 0x510, "scale.number=0"), AssignOutcome::kRefused);
  EXPECT_EQ(Apply(img, 0x510, "write_protect=on"), AssignOutcome::kRefused);
  EXPECT_EQ(Apply(img, 0x510, "volume=11"), AssignOutcome::kRefused);
  EXPECT_EQ(Apply(img, 0x510, "preset_name"), AssignOutcome::kRefused);
  EXPECT_EQ(img, before);
  const AssignResult unknown = ApplyAssignment(img, 0x510, 0, QStringLiteral("volume=11"));
  EXPECT_TRUE(unknown.message.startsWith(QStringLiteral("volume: ")));
  EXPECT_TRUE(unknown.message.contains(QStringLiteral("ppm.C.width")));
}

TEST(AssignmentTest, SettingsTheVersionLacks) {
  ConfigurationImage img;
  EXPECT_EQ(Apply(img, 0x500, "lock_code=1234"), AssignOutcome::kNotInVersion);
  EXPECT_EQ(Apply(img, 0x4FF, "startup_preset=3"), AssignOutcome::kNotInVersion);
  EXPECT_EQ(Apply(img, 0x4FF, "leqm.trip_level=80"), AssignOutcome::kNotInVersion);
  EXPECT_EQ(Apply(img, 0x409, "lcd.backlight=3"), AssignOutcome::kNotInVersion);
  EXPECT_EQ(Apply(img, 0, "scale.dual=on"), AssignOutcome::kNotInVersion);
  EXPECT_EQ(img, ConfigurationImage{});
  EXPECT_EQ(Apply(img, 0x4FF, "phase.integration=Slow"), AssignOutcome::kApplied);
}

TEST(AssignmentTest, AppliesAsOkWould) {
  ConfigurationImage img;
  EXPECT_EQ(Apply(img, 0x510, "write_protect=off"), AssignOutcome::kApplied);
  EXPECT_EQ(img.Byte(0x3F9F), '8');
  EXPECT_EQ(Apply(img, 0x510, "lock_code=0420"), AssignOutcome::kApplied);
  EXPECT_EQ(img.Byte(0x3FA3), '2');
  EXPECT_EQ(Apply(img, 0x510, "startup_application=tonegenerator"), AssignOutcome::kApplied);
  EXPECT_EQ(img.Byte(0x3F81), 12);
  EXPECT_EQ(Apply(img, 0x510, "startup_preset=11"), AssignOutcome::kApplied);
  EXPECT_EQ(img.Byte(0x3F93), 10);
  // Leq(m) OK writes every field: the untouched sum colour code 0 becomes 6.
  EXPECT_EQ(Apply(img, 0x510, "leqm.graph_colour=Blue", 3), AssignOutcome::kApplied);
  EXPECT_EQ(img.Byte(0x1400 + 3 * 0x80 + 0x0F), 1);
  EXPECT_EQ(img.Byte(0x1400 + 3 * 0x80 + 0x0E), 6);
  EXPECT_EQ(img.Byte(0x1400 + 3 * 0x80 + 0x11), 85);
  img.SetByte(0x111, 0x35);
  EXPECT_EQ(Apply(img, 0x500, "scale.number=1"), AssignOutcome::kApplied);
  EXPECT_EQ(img.Byte(0x111), 0x05);
  EXPECT_EQ(Apply(img, 0x510, "preset_name=", 4), AssignOutcome::kApplied);
  EXPECT_EQ(ReadPresetName(img, 4), QStringLiteral("          "));
  EXPECT_EQ(Apply(img, 0x510, "lcd.theme.11=on"), AssignOutcome::kApplied);
  EXPECT_EQ(img.Byte(0x3280), 0x40);
}

TEST(SettingsViewTest, RowsFollowVersionAndShowingRules) {
  ConfigurationImage img;
  img.SetByte(0x12C, 0x60);  // width field 3
  img.SetByte(0x12D, 0x07);  // colour past the list
  const OptionsView old_view = ReadOptionsView(img, 0x0380, 0);
  const QList<SettingRow> config_rows = ConfigurationRows(old_view);
  EXPECT_EQ(config_rows[0].key, QStringLiteral("startup_preset"));
  EXPECT_FALSE(config_rows[0].value.has_value());
  EXPECT_FALSE(config_rows[2].value.has_value());  // lock code
  const QList<SettingRow> rows = PresetRows(old_view);
  EXPECT_EQ(rows[1].key, QStringLiteral("ppm.1.colour"));
  EXPECT_FALSE(rows[1].value.has_value());
  EXPECT_EQ(rows[4].value, QStringLiteral("Wide"));
  const OptionsView v5 = ReadOptionsView(img, 0x0510, 0);
  EXPECT_EQ(ConfigurationRows(v5)[1].value, QStringLiteral("Start Menu"));
  EXPECT_EQ(ConfigurationRows(v5)[3].value, QStringLiteral("on"));  // "\0\0\0\0" is no 8246
}

TEST(ConfigDiffTest, SameMeaningIsNoDifference) {
  ConfigurationImage a;
  ConfigurationImage b;
  b.SetByte(0x3F00, 0x12);  // unused bytes do not count
  b.SetByte(0x12D, 0x80);   // trace bit 7 is not shown
  config::PresetTrailer ta;
  config::PresetTrailer tb;
  tb.checksum = 0xDEADBEEF;
  EXPECT_TRUE(DiffConfigurations({a, ta}, {b, tb}).isEmpty());
}

TEST(ConfigDiffTest, RoutingNamesAndOptions) {
  ConfigurationImage a;
  a.SetText(0x1000 + 4 * 4, "IN05");
  a.SetText(0x1000 + 4 * 6, "IN07");
  a.SetText(0x0E00 + 4 * 4, "OU05");
  const int routing3 = 0x2500 + 0x180 + 0x100;  // preset 3
  a.SetArrayElement(routing3, 4, 4);            // output 5 from input 5
  a.SetArrayElement(routing3, 5, 0x7F);         // output 6 unrouted
  ConfigurationImage b = a;
  b.SetArrayElement(routing3, 4, 6);
  b.SetText(0x0E00 + 4 * 95, "LAST");
  b.SetByte(0x2500 + 0x180 + 0x2C + 3, 0x01);  // preset 3, PPM 2 colour Green
  config::PresetTrailer ta;
  config::PresetTrailer tb;
  tb.software_version = 0x0510;
  for (int i = 0; i < 4; ++i) {
    b.SetWord(0x3F9E + 2 * i, static_cast<std::uint16_t>('1' + i));
  }
  const QList<Difference> d = DiffConfigurations({a, ta}, {b, tb});
  QStringList lines;
  for (const Difference& x : d) {
    lines << x.text;
  }
  EXPECT_EQ(lines, (QStringList{
                       QStringLiteral("software_version=05.10 (was 00.00)"),
                       QStringLiteral("startup_preset=1 (was (none))"),
                       QStringLiteral("startup_application=Start Menu (was (none))"),
                       QStringLiteral("lock_code=\"1234\" (was (none))"),
                       QStringLiteral("Preset 3: output 5 \"OU05\" from input 7 \"IN07\" (was "
                                      "input 5 \"IN05\")"),
                       QStringLiteral("Preset 3: ppm.2.colour=Green (was Black)"),
                       QStringLiteral("output_name.96=\"LAST\" (was \"\\0\\0\\0\\0\")")
                           .replace(QStringLiteral("\\0"), QString(QChar(0))),
                   }));
  ASSERT_EQ(d.size(), 7);
  EXPECT_EQ(d[4].preset, 3);
  EXPECT_EQ(d[4].setting, QStringLiteral("routing.5"));
  EXPECT_EQ(d[4].old_value, QStringLiteral("5"));
  EXPECT_EQ(d[4].new_value, QStringLiteral("7"));
  EXPECT_FALSE(d[0].preset.has_value());
}

}  // namespace
}  // namespace zizara::core::options
