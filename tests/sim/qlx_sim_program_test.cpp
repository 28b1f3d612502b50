#include <gtest/gtest.h>
#include <signal.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>

#include "core/config/memory_map.h"
#include "sim/pty_client.h"
#include "sim/sim_test_util.h"

namespace zizara::sim {
namespace {

using testing::Bytes;
using testing::PtyClient;

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Waits for the first stdout line of a started process.
QByteArray FirstLine(QProcess& process, int timeout_ms = 5000) {
  const QDeadlineTimer deadline(timeout_ms);
  while (!process.canReadLine() && !deadline.hasExpired() &&
         process.state() != QProcess::NotRunning) {
    process.waitForReadyRead(50);
  }
  return process.readLine();
}

TEST(QlxSimProgramTest, ServesUntilSigtermThenWritesItsFiles) {
  QTemporaryDir dir;
  const QString link = dir.filePath(QStringLiteral("qlx"));
  const QString control = dir.filePath(QStringLiteral("control"));
  const QString dump = dir.filePath(QStringLiteral("dump.bin"));
  const QString stats = dir.filePath(QStringLiteral("stats.json"));
  const QString log = dir.filePath(QStringLiteral("log.jsonl"));
  QProcess process;
  process.start(QStringLiteral(QLX_SIM_PATH),
                {"--link", link, "--serial", "30001", "--dump", dump, "--stats", stats, "--log",
                 log, "--control", control});
  ASSERT_TRUE(process.waitForStarted(5000));

  const QByteArray ready = FirstLine(process);
  const QString device = QFileInfo(link).symLinkTarget();
  EXPECT_EQ(ready, "qlx-sim: ready on " + link.toUtf8() + " (" + device.toUtf8() + ")\n");

  PtyClient client(link);
  ASSERT_TRUE(client.ok());
  ASSERT_TRUE(client.Send(Bytes({0xA6, 0x6D})));
  EXPECT_EQ(client.Receive(1), Bytes({0x05}));
  ASSERT_TRUE(client.Send(Bytes({0x00, 0x80, 0x1F, 0x00, 0x11, 0x02})));
  // 30001 = 0x7531, high byte first, then the check byte.
  EXPECT_EQ(client.Receive(6), Bytes({0x05, 0x05, 0x05, 0x75, 0x31, 0x59}));

  QLocalSocket socket;
  socket.connectToServer(control);
  ASSERT_TRUE(socket.waitForConnected(3000));
  socket.write("route 7 2\n");
  ASSERT_TRUE(socket.waitForReadyRead(3000));
  EXPECT_EQ(socket.readLine(), "ok\n");
  EXPECT_EQ(client.Receive(12), ".AA7,2\r\n.U\r\n");
  socket.disconnectFromServer();

  ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), SIGTERM), 0);
  ASSERT_TRUE(process.waitForFinished(5000));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();

  const QByteArray image = ReadFile(dump);
  ASSERT_EQ(image.size(), 16384);
  const int table = core::config::MemoryMap::ForPreset(0).RoutingTable;
  EXPECT_EQ(image[table + (6 ^ 1)], 1);  // output 7 <- input 2, stored 0-based
  EXPECT_EQ(static_cast<std::uint8_t>(image[2]), 0x75);

  const QJsonObject json = QJsonDocument::fromJson(ReadFile(stats)).object();
  EXPECT_EQ(json.value("bytes_in").toInt(), 8);
  EXPECT_EQ(json.value("blocks_read").toInt(), 1);
  EXPECT_EQ(json.value("restarts").toInt(), 0);
  EXPECT_FALSE(json.value("download_mode").toBool(true));
  EXPECT_TRUE(json.value("keys").isArray());

  const QList<QByteArray> lines = ReadFile(log).trimmed().split('\n');
  ASSERT_GE(lines.size(), 3);
  for (const QByteArray& line : lines) {
    EXPECT_TRUE(QJsonDocument::fromJson(line).isObject()) << line.toStdString();
  }
  EXPECT_FALSE(QFileInfo(link).isSymLink());
  EXPECT_FALSE(QFileInfo::exists(control));
}

TEST(QlxSimProgramTest, StrictWritesOneLinePerBrokenRule) {
  QTemporaryDir dir;
  const QString link = dir.filePath(QStringLiteral("qlx"));
  const QString strict = dir.filePath(QStringLiteral("strict.txt"));
  QProcess process;
  process.start(QStringLiteral(QLX_SIM_PATH), {"--link", link, "--strict", strict});
  ASSERT_TRUE(process.waitForStarted(5000));
  ASSERT_TRUE(FirstLine(process).startsWith("qlx-sim: ready on "));
  EXPECT_TRUE(QFileInfo::exists(strict));  // there from the start, empty while all is well
  EXPECT_TRUE(ReadFile(strict).isEmpty());

  PtyClient client(link);
  ASSERT_TRUE(client.ok());
  ASSERT_TRUE(client.Send(".LI1,-\r"));  // the probe without its leading CR
  EXPECT_TRUE(client.Receive(6).startsWith(".AI1,"));  // still answered
  ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), SIGTERM), 0);
  ASSERT_TRUE(process.waitForFinished(5000));
  const QByteArray lines = ReadFile(strict);
  EXPECT_EQ(lines.count('\n'), 1);
  EXPECT_TRUE(lines.contains(
      " text-leading-cr: seen \".LI1,-\" 0D, expected 0D \".LI1,-\" 0D\n"))
      << lines.toStdString();
}

TEST(QlxSimProgramTest, BadArgumentsExitWithTwoAndSayWhy) {
  QProcess process;
  process.start(QStringLiteral(QLX_SIM_PATH), {"--link", "/tmp/never", "--drop", "2"});
  ASSERT_TRUE(process.waitForFinished(5000));
  EXPECT_EQ(process.exitCode(), 2);
  EXPECT_TRUE(process.readAllStandardError().startsWith("qlx-sim: --drop"));
  EXPECT_FALSE(QFileInfo(QStringLiteral("/tmp/never")).isSymLink());
}

}  // namespace
}  // namespace zizara::sim
