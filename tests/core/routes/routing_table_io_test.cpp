#include "core/routes/routing_table_io.h"

#include <gtest/gtest.h>

#include <QJsonObject>

#include "core/config/memory_map.h"
#include "core/options/config_diff.h"
#include "support/crafted_files.h"

namespace zizara::core::routes {
namespace {

config::ConfigurationImage Crafted() {
  config::ConfigurationImage image;
  image.AssignFrom(testing::CraftImage());
  return image;
}

QList<QByteArray> Lines(const QByteArray& csv) {
  QList<QByteArray> lines = csv.split('\n');
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  return lines;
}

TEST(RoutesExportTest, OneCsvRowPerOutputWithTrimmedNamesAndEmptyHiddenRoutings) {
  // Preset 1 of the crafted image: output 1 <- input 5, output 2 <- input 6 with bit 7 set,
  // output 96 <- 0x7F (not shown), all others <- input 1.
  const QByteArray csv = RoutesToCsv(PresetRoutes(Crafted(), 0));
  const QList<QByteArray> lines = Lines(csv);
  ASSERT_EQ(lines.size(), 97);
  EXPECT_EQ(lines[0], "preset,output,output_name,input,input_name\r");
  EXPECT_EQ(lines[1], "1,1,O001,5,I005\r");
  EXPECT_EQ(lines[2], "1,2,O002,6,I006\r");
  EXPECT_EQ(lines[3], "1,3,O003,1,I001\r");
  EXPECT_EQ(lines[96], "1,96,O096,,\r");
  // Every line ends in CR LF.
  EXPECT_EQ(csv.count("\r\n"), 97);
}

TEST(RoutesExportTest, AllPresetsAndPerPresetInputNames) {
  const QList<RouteRow> rows = AllRoutes(Crafted());
  ASSERT_EQ(rows.size(), 11 * 96);
  EXPECT_EQ(rows[96].preset, 2);
  EXPECT_EQ(rows[96].output, 1);
  // Input 33's name belongs to the preset; blank names come out empty, not as blanks.
  config::ConfigurationImage image = Crafted();
  image.SetArrayElement(config::MemoryMap::ForPreset(1).RoutingTable, 0, 32);
  image.SetArrayElement(config::MemoryMap::ForPreset(2).RoutingTable, 0, 32);
  EXPECT_EQ(PresetRoutes(image, 1)[0].input_name, QStringLiteral("P2IN"));
  EXPECT_EQ(PresetRoutes(image, 2)[0].input_name, QString());
}

TEST(RoutesExportTest, QuotesNamesHoldingCommasOrQuotesAsRfc4180Says) {
  EXPECT_EQ(CsvField(QStringLiteral("A,B")), QStringLiteral("\"A,B\""));
  EXPECT_EQ(CsvField(QStringLiteral("A\"B")), QStringLiteral("\"A\"\"B\""));
  EXPECT_EQ(CsvField(QStringLiteral("AB C")), QStringLiteral("AB C"));
  config::ConfigurationImage image = Crafted();
  image.SetText(0x0E00, "A,\"B");  // output 1's name, characters swapped by the image's words
  const QByteArray csv = RoutesToCsv(PresetRoutes(image, 0));
  EXPECT_EQ(Lines(csv)[1], "1,1,\"A,\"\"B\",5,I005\r");
  // And it reads back to the same fields.
  const CsvParse parse = ParseCsv(csv);
  ASSERT_FALSE(parse.error_line);
  EXPECT_EQ(parse.records[1].fields, QStringList({"1", "1", "A,\"B", "5", "I005"}));
}

TEST(RoutesExportTest, JsonRowsCarryTheSameKeysAndNullForHiddenRoutings) {
  const QJsonArray json = RoutesToJson(PresetRoutes(Crafted(), 0));
  ASSERT_EQ(json.size(), 96);
  const QJsonObject first = json[0].toObject();
  EXPECT_EQ(first.keys(), QStringList({"input", "input_name", "output", "output_name", "preset"}));
  EXPECT_EQ(first[QStringLiteral("input")].toInt(), 5);
  EXPECT_EQ(first[QStringLiteral("output_name")].toString(), QStringLiteral("O001"));
  EXPECT_TRUE(json[95].toObject()[QStringLiteral("input")].isNull());
}

TEST(CsvParseTest, QuotedLineBreaksBareLineEndsByteOrderMarkAndErrors) {
  const CsvParse p = ParseCsv("\xEF\xBB\xBFh1,h2\n\"a\r\nb\",c\r\n\r\nx,\"\"\n");
  ASSERT_FALSE(p.error_line);
  ASSERT_EQ(p.records.size(), 3);
  EXPECT_EQ(p.records[0].fields, QStringList({"h1", "h2"}));
  EXPECT_EQ(p.records[1].fields, QStringList({"a\r\nb", "c"}));
  EXPECT_EQ(p.records[1].line, 2);
  EXPECT_EQ(p.records[2].line, 5);  // the record spans lines 2 and 3, line 4 is empty
  EXPECT_EQ(p.records[2].fields, QStringList({"x", ""}));

  const CsvParse open = ParseCsv("a,b\n1,\"never closed\n");
  EXPECT_EQ(open.error_line, 2);
  const CsvParse trailing = ParseCsv("a,b\n\"x\"y,1\n");
  EXPECT_EQ(trailing.error_line, 2);
}

TEST(RoutesImportTest, RoundTripThroughASpreadsheetChangesOnlyTheEditedRows) {
  const config::ConfigurationImage before = Crafted();
  QByteArray csv = RoutesToCsv(AllRoutes(before));
  // Unchanged, it changes nothing, including the hidden routing and bit 7 of output 2.
  const ImportResult same = ImportRoutes(before, csv);
  ASSERT_TRUE(same.ok()) << same.refused.first().reason.toStdString();
  EXPECT_EQ(same.changed, 0);
  EXPECT_EQ(same.image, before);

  // A spreadsheet edits two rows, renames a channel (ignored) and quotes some fields.
  csv.replace("\n1,3,O003,1,I001\r\n", "\n1,3,O003,51,\"I051, new\"\r\n");
  csv.replace("\n4,10,O010,1,I001\r\n", "\n\"4\",\"10\",Renamed,88,\r\n");
  csv.replace("\n1,4,O004,1,I001", "\n1,4,XXXX,1,I001");
  const ImportResult edited = ImportRoutes(before, csv);
  ASSERT_TRUE(edited.ok()) << edited.refused.first().reason.toStdString();
  EXPECT_EQ(edited.changed, 2);
  config::PresetTrailer trailer;
  const QList<options::Difference> diffs =
      options::DiffConfigurations({before, trailer}, {edited.image, trailer});
  ASSERT_EQ(diffs.size(), 2);
  EXPECT_EQ(diffs[0].preset, 1);
  EXPECT_EQ(diffs[0].setting, QStringLiteral("routing.3"));
  EXPECT_EQ(diffs[0].new_value, QStringLiteral("51"));
  EXPECT_EQ(diffs[1].preset, 4);
  EXPECT_EQ(diffs[1].setting, QStringLiteral("routing.10"));
  EXPECT_EQ(diffs[1].new_value, QStringLiteral("88"));
  // The written element is the plain 0-based input.
  EXPECT_EQ(edited.image.Byte(0x1100 + (2 ^ 1)), 50);
}

TEST(RoutesImportTest, RefusedRowsAreNamedByLineAndNothingIsApplied) {
  const config::ConfigurationImage before = Crafted();
  const QByteArray csv =
      "preset,output,output_name,input,input_name\r\n"
      "1,55,x,2,y\r\n"         // 2: illegal crosspoint, and a change
      "12,1,,1,\r\n"           // 3: preset out of range
      "1,97,,1,\r\n"           // 4: output out of range
      "1,5,,89,\r\n"           // 5: input out of range
      "1,6,,abc,\r\n"          // 6: not a number
      "1,7,,2\r\n"             // 7: four fields
      "1,8,,2,\r\n"            // 8: fine
      "1,8,,3,\r\n"            // 9: output 8 again
      "1,9,,,\r\n"             // 10: routed output left without input
      "1,96,,,\r\n"            // 11: hidden routing stays hidden: fine
      "1,56,O056,1,I001\r\n";  // 12: already routed so in the image: fine although illegal
  const ImportResult r = ImportRoutes(before, csv);
  ASSERT_EQ(r.refused.size(), 8);
  const QList<int> lines = {2, 3, 4, 5, 6, 7, 9, 10};
  for (int i = 0; i < lines.size(); ++i) EXPECT_EQ(r.refused[i].line, lines[i]);
  EXPECT_EQ(r.refused[0].reason,
            QStringLiteral("input 2 can never be routed to output 55 of preset 1"));
  EXPECT_EQ(r.refused[1].reason, QStringLiteral("preset \"12\" is not a number from 1 to 11"));
  EXPECT_EQ(r.refused[6].reason, QStringLiteral("output 8 of preset 1 is already given on line 8"));
  EXPECT_EQ(r.image, before);
}

TEST(RoutesImportTest, WrongHeaderOrEmptyFileIsRefusedOnItsLine) {
  const config::ConfigurationImage before = Crafted();
  const ImportResult wrong = ImportRoutes(before, "preset,output,input\r\n1,1,3\r\n");
  ASSERT_EQ(wrong.refused.size(), 1);
  EXPECT_EQ(wrong.refused[0].line, 1);
  EXPECT_FALSE(ImportRoutes(before, "").ok());
  EXPECT_FALSE(ImportRoutes(before, "preset,output,output_name,input,input_name\n1,\"2").ok());
}

TEST(RoutesImportTest, OnePresetChosenAppliesOnlyItsRows) {
  const config::ConfigurationImage before = Crafted();
  const QByteArray csv =
      "preset,output,output_name,input,input_name\n"
      "1,3,,7,\n"
      "2,3,,7,\n";
  const ImportResult r = ImportRoutes(before, csv, 1);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.rows, 1);
  EXPECT_EQ(r.changed, 1);
  EXPECT_EQ(r.image.ArrayElement(config::MemoryMap::ForPreset(1).RoutingTable, 2), 6);
  EXPECT_EQ(r.image.ArrayElement(config::MemoryMap::ForPreset(0).RoutingTable, 2), 0);
}

}  // namespace
}  // namespace zizara::core::routes
