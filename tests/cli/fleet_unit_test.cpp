// The parts of the many-ports runner that need no instrument, and the ports listing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "cli/fleet.h"
#include "support/cli_runner.h"

namespace zizara::cli {
namespace {

TEST(FleetNamesTest, FileNamesPerInstrument) {
  const QDate date(2026, 3, 9);
  EXPECT_EQ(ExpandFileName("backup/{serial}-{date}.PRE", "/dev/serial/by-id/usb-QLX-port0", "12345",
                           date),
            "backup/12345-2026-03-09.PRE");
  EXPECT_EQ(ExpandFileName("{port}.PRE", "/dev/serial/by-id/usb-QLX-port0", {}, date),
            "usb-QLX-port0.PRE");
  EXPECT_EQ(ExpandFileName("{port}.PRE", "ttyUSB0", {}, date), "ttyUSB0.PRE");
  // Not known yet: left for later.
  EXPECT_EQ(ExpandFileName("{serial}.PRE", "ttyUSB0", {}, date), "{serial}.PRE");
}

TEST(FleetNamesTest, PortsFileAndDuplicates) {
  QTemporaryDir dir;
  QFile list(dir.filePath("ports.txt"));
  ASSERT_TRUE(list.open(QIODevice::WriteOnly));
  list.write("# rack 3\n\n  tcp:rack3:4001  \n#tcp:rack3:4002\ntcp:rack3:4003\n");
  list.close();
  QString error;
  EXPECT_EQ(ExpandPortNames({"ttyS0"}, list.fileName(), &error),
            QStringList({"ttyS0", "tcp:rack3:4001", "tcp:rack3:4003"}));
  EXPECT_TRUE(ExpandPortNames({"tcp:rack3:4001"}, list.fileName(), &error).isEmpty());
  EXPECT_EQ(error, "tcp:rack3:4001 is named twice");
  EXPECT_TRUE(ExpandPortNames({}, dir.filePath("missing.txt"), &error).isEmpty());
  EXPECT_TRUE(error.startsWith("cannot read ")) << error.toStdString();
  EXPECT_FALSE(IsPortPattern("tcp:rack3:4001"));
  EXPECT_TRUE(IsPortPattern("/dev/serial/by-id/*QLX*"));
}

TEST(FleetNamesTest, SummaryAndJson) {
  QList<FleetResult> results(3);
  results[0] = {"ttyUSB0", 12345, "QLX-A", "05.10", true, {}, 1.5};
  results[1] = {"ttyUSB1", -1, {}, {}, false, "No instrument found.", 0.25};
  results[2] = {"ttyUSB2", 12346, "QLX-A", "05.10", true, {}, 1.5};
  EXPECT_EQ(FleetSummary(results), "3 instruments: 2 done, 1 failed");
  const QJsonArray a = QJsonDocument::fromJson(FleetJson(results)).array();
  ASSERT_EQ(a.size(), 3);
  const QJsonObject failed = a[1].toObject();
  EXPECT_EQ(failed.keys(),
            QStringList({"error", "model", "ok", "port", "seconds", "serial", "version"}));
  EXPECT_EQ(failed["error"].toString(), "No instrument found.");
  EXPECT_TRUE(failed["serial"].isNull());
  EXPECT_TRUE(a[0].toObject()["error"].isNull());
  EXPECT_EQ(a[0].toObject()["serial"].toInt(), 12345);
}

TEST(PortsVerbTest, StableNamesListedWithTheirDevice) {
  QTemporaryDir dir;
  QDir root(dir.path());
  ASSERT_TRUE(root.mkpath("by-id"));
  ASSERT_TRUE(QFile::link("/dev/null", root.filePath("by-id/usb-FTDI_FT232R_A1B2C3-if00-port0")));
  CliEnvironment env = DefaultEnvironment();
  env.serial_dir = dir.path();
  const testing::CliRun json = testing::RunCliCaptured({"ports", "--json"}, env);
  ASSERT_EQ(json.code, 0) << json.err.toStdString();
  const QJsonArray list = QJsonDocument::fromJson(json.out.toUtf8()).array();
  ASSERT_FALSE(list.isEmpty());
  const QJsonObject last = list.last().toObject();
  EXPECT_EQ(last["name"].toString(), root.filePath("by-id/usb-FTDI_FT232R_A1B2C3-if00-port0"));
  EXPECT_EQ(last["device"].toString(), "null");
  EXPECT_EQ(last["description"].toString(), "usb-FTDI_FT232R_A1B2C3-if00-port0 (null)");

  const testing::CliRun text = testing::RunCliCaptured({"ports"}, env);
  EXPECT_TRUE(text.out.endsWith(root.filePath("by-id/usb-FTDI_FT232R_A1B2C3-if00-port0") +
                                "  usb-FTDI_FT232R_A1B2C3-if00-port0 (null)\n"))
      << text.out.toStdString();
  EXPECT_EQ(testing::RunCliCaptured({"ports", "extra"}, env).code, 2);
}

}  // namespace
}  // namespace zizara::cli
