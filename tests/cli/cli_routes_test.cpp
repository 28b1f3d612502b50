#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "cli/cli.h"
#include "support/cli_runner.h"
#include "support/crafted_files.h"

namespace zizara::cli {
namespace {

using testing::CraftImage;
using testing::CraftPresetFile;

class CliRoutesTest : public ::testing::Test {
 protected:
  QString Write(const QString& name, const QByteArray& bytes) {
    return testing::WriteFile(QDir(dir_.path()), name, bytes);
  }
  QString Crafted() { return Write("a.PRE", CraftPresetFile(CraftImage())); }
  QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  static QStringList Lines(const QString& text) {
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
  }
  QTemporaryDir dir_;
};

TEST_F(CliRoutesTest, PrintsOnePresetOrAllAsCsvOrJson) {
  const QString file = Crafted();
  const testing::CliRun one = testing::RunCliCaptured({"routes", file});
  ASSERT_EQ(one.code, 0) << one.err.toStdString();
  const QStringList lines = Lines(one.out);
  ASSERT_EQ(lines.size(), 97);
  EXPECT_EQ(lines[0], QStringLiteral("preset,output,output_name,input,input_name"));
  EXPECT_EQ(lines[2], QStringLiteral("1,2,O002,6,I006"));  // bit 7 of the element ignored
  EXPECT_EQ(lines[96], QStringLiteral("1,96,O096,,"));

  const testing::CliRun third = testing::RunCliCaptured({"routes", file, "--preset", "3", "--csv"});
  EXPECT_EQ(Lines(third.out)[1], QStringLiteral("3,1,O001,1,I001"));
  EXPECT_EQ(Lines(testing::RunCliCaptured({"routes", file, "--all"}).out).size(), 1 + 11 * 96);

  const testing::CliRun json = testing::RunCliCaptured({"--json", "routes", file});
  ASSERT_EQ(json.code, 0);
  const QJsonArray rows = QJsonDocument::fromJson(json.out.toUtf8()).array();
  ASSERT_EQ(rows.size(), 96);
  EXPECT_EQ(rows[0].toObject()[QStringLiteral("input_name")].toString(), QStringLiteral("I005"));
  EXPECT_TRUE(rows[95].toObject()[QStringLiteral("input")].isNull());
  EXPECT_EQ(testing::RunCliCaptured({"routes", file, "--json", "--all"}).code, 0);
}

TEST_F(CliRoutesTest, UsageErrorsExitTwo) {
  const QString file = Crafted();
  EXPECT_EQ(testing::RunCliCaptured({"routes"}).code, kExitUsage);
  EXPECT_EQ(testing::RunCliCaptured({"routes", file, "--preset", "12"}).code, kExitUsage);
  EXPECT_EQ(testing::RunCliCaptured({"routes", file, "--preset", "2", "--all"}).code, kExitUsage);
  EXPECT_EQ(testing::RunCliCaptured({"routes", file, "--csv", "--json"}).code, kExitUsage);
  EXPECT_EQ(testing::RunCliCaptured({"routes", file, "--import", "x.csv"}).code, kExitUsage);
  EXPECT_EQ(testing::RunCliCaptured({"render", file}).code, kExitUsage);
  EXPECT_EQ(testing::RunCliCaptured({"routes", Write("bad.PRE", "short")}).code, kExitFailed);
}

TEST_F(CliRoutesTest, ExportEditImportAndDiffShowsOnlyTheEditedRows) {
  const QString a = Crafted();
  const QString b = dir_.filePath("b.PRE");
  QString csv = testing::RunCliCaptured({"routes", a, "--all"}).out;
  csv.replace(QStringLiteral("\r\n2,7,O007,1,I001\r\n"),
              QStringLiteral("\r\n2,7,O007,33,P2IN\r\n"));
  csv.replace(QStringLiteral("\r\n1,1,O001,5,I005\r\n"),
              QStringLiteral("\r\n1,1,\"Mine, too\",12,\r\n"));
  const QString sheet = Write("sheet.csv", csv.toUtf8());
  const testing::CliRun imported = testing::RunCliCaptured({"routes", a, b, "--import", sheet});
  ASSERT_EQ(imported.code, 0) << imported.err.toStdString();

  // A full preset file with a fresh checksum.
  const QByteArray written = Read(b);
  ASSERT_EQ(written.size(), 16416);
  QByteArray zeroed = written;
  testing::PutLe32(zeroed, 0x401C, 0);
  EXPECT_EQ(testing::Le32(written, 0x401C), testing::Crc(zeroed));

  const testing::CliRun diff = testing::RunCliCaptured({"diff", a, b, "--json"});
  EXPECT_EQ(diff.code, 1);
  const QJsonArray changes = QJsonDocument::fromJson(diff.out.toUtf8()).array();
  ASSERT_EQ(changes.size(), 2) << diff.out.toStdString();
  EXPECT_EQ(changes[0].toObject()[QStringLiteral("setting")].toString(),
            QStringLiteral("routing.1"));
  EXPECT_EQ(changes[0].toObject()[QStringLiteral("new")].toString(), QStringLiteral("12"));
  EXPECT_EQ(changes[1].toObject()[QStringLiteral("preset")].toInt(), 2);
  EXPECT_EQ(changes[1].toObject()[QStringLiteral("setting")].toString(),
            QStringLiteral("routing.7"));
}

TEST_F(CliRoutesTest, RefusedRowsAreListedWithLineNumbersAndNothingIsWritten) {
  const QString a = Crafted();
  const QString b = dir_.filePath("b.PRE");
  const QString sheet = Write("sheet.csv",
                              "preset,output,output_name,input,input_name\n"
                              "1,3,,7,\n"
                              "1,57,,20,\n"
                              "1,65,,57,\n");
  const testing::CliRun r = testing::RunCliCaptured({"routes", a, b, "--import", sheet});
  EXPECT_EQ(r.code, kExitFailed);
  EXPECT_TRUE(r.err.contains(
      sheet + QStringLiteral(":3: input 20 can never be routed to output 57 of preset 1")))
      << r.err.toStdString();
  EXPECT_TRUE(r.err.contains(QStringLiteral(":4: input 57 can never be routed to output 65")));
  EXPECT_FALSE(r.err.contains(QStringLiteral(":2:")));
  EXPECT_TRUE(r.err.contains(QStringLiteral("Nothing was written.")));
  EXPECT_FALSE(QFile::exists(b));
}

TEST_F(CliRoutesTest, ImportOfOnePresetLeavesTheOthersAlone) {
  const QString a = Crafted();
  const QString b = dir_.filePath("b.PRE");
  const QString sheet = Write("sheet.csv",
                              "preset,output,output_name,input,input_name\r\n"
                              "1,3,,7,\r\n"
                              "2,3,,8,\r\n");
  const testing::CliRun r =
      testing::RunCliCaptured({"routes", a, b, "--import", sheet, "--preset", "2"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QByteArray written = Read(b);
  EXPECT_EQ(static_cast<int>(written[0x1100 + (2 ^ 1)]), 0);          // preset 1 unchanged
  EXPECT_EQ(static_cast<int>(written[0x2500 + 0x100 + (2 ^ 1)]), 7);  // preset 2, input 8
}

TEST_F(CliRoutesTest, RenderDrawsTheWholeGridWithItsLabels) {
  const QString a = Crafted();
  const QString one = dir_.filePath("one.png");
  const QString two = dir_.filePath("two.png");
  ASSERT_EQ(testing::RunCliCaptured({"render", a, "--preset", "1", "--png", one}).code, 0);
  ASSERT_EQ(testing::RunCliCaptured({"render", a, "--preset", "2", "--png", two}).code, 0);
  const QImage p1(one);
  const QImage p2(two);
  ASSERT_FALSE(p1.isNull());
  // The output labels and the input labels, 88 columns and 96 rows of 17 pixels.
  EXPECT_EQ(p1.size(), QSize(80 + 88 * 17, 80 + 96 * 17 + 1));
  const auto centre = [](int input, int output) {
    return QPoint(80 + 17 * (input - 1) + 8, 80 + 17 * (output - 1) + 9);
  };
  // Preset 1 routes input 5 to output 1; preset 2 routes input 1 there.
  EXPECT_NE(p1.pixelColor(centre(5, 1)), QColor(Qt::white));
  EXPECT_EQ(p2.pixelColor(centre(5, 1)), QColor(Qt::white));
  EXPECT_NE(p2.pixelColor(centre(1, 1)), QColor(Qt::white));
  EXPECT_EQ(p1.pixelColor(centre(1, 1)), QColor(Qt::white));
  // The bottom-right cell is drawn too: input 88 of output 96 is the illegal diagonal.
  EXPECT_NE(p1.pixelColor(centre(88, 96)), QColor(Qt::white));
}

}  // namespace
}  // namespace zizara::cli
