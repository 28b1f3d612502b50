// Many instruments at once and ports over the network: the command-line tool, qlx-sim and the
// real ser2net as separate programs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <vector>

#include "support/crafted_files.h"
#include "support/strict_sim.h"

namespace zizara {
namespace {

struct Result {
  int code;
  QString out;
  QString err;
};

struct Sim {
  QString port;
  QString dump;
  QString strict;
  std::unique_ptr<QProcess> process;
};

class FleetTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (Sim& s : sims_) {
      Stop(s);
      testing::ExpectStrictFileEmpty(s.strict);
    }
    if (ser2net_ && ser2net_->state() != QProcess::NotRunning) {
      ser2net_->terminate();
      ser2net_->waitForFinished(5000);
    }
  }

  Sim& StartSim(const QString& name, QStringList options = {}) {
    Sim s;
    s.port = dir_.filePath(name);
    s.dump = dir_.filePath(name + ".dump");
    s.strict = dir_.filePath(name + ".strict");
    options << "--link" << s.port << "--dump" << s.dump << "--strict" << s.strict;
    s.process = std::make_unique<QProcess>();
    s.process->start(ZIZARA_QLX_SIM, options);
    EXPECT_TRUE(s.process->waitForStarted());
    EXPECT_TRUE(s.process->waitForReadyRead(10000));
    const QByteArray ready = s.process->readLine();
    EXPECT_TRUE(ready.startsWith("qlx-sim: ready on ")) << ready.toStdString();
    sims_.push_back(std::move(s));
    return sims_.back();
  }

  static QByteArray Stop(Sim& s) {
    if (s.process->state() != QProcess::NotRunning) {
      s.process->terminate();
      s.process->waitForFinished(5000);
    }
    QFile f(s.dump);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  Result Cli(const QStringList& args, int timeout_ms = 240000) {
    QProcess p;
    p.setWorkingDirectory(dir_.path());
    p.start(ZIZARA_CLI, args);
    EXPECT_TRUE(p.waitForFinished(timeout_ms));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
  }

  QString WritePreset() {
    image_ = testing::CraftImage();
    return testing::WriteFile(QDir(dir_.path()), "in.PRE",
                              testing::CraftPresetFile(image_, {.version = 0x0510}));
  }

  // What the instrument holds equals what was sent, apart from its own serial word.
  void ExpectHoldsImage(const QByteArray& dump) {
    ASSERT_EQ(dump.size(), 16384);
    EXPECT_EQ(dump.left(2), image_.left(2));
    EXPECT_EQ(dump.mid(4), image_.mid(4));
  }

  QTemporaryDir dir_;
  std::vector<Sim> sims_;
  std::unique_ptr<QProcess> ser2net_;
  QByteArray image_;
};

TEST_F(FleetTest, OneOfEightUnpluggedHalfwayTheOtherSevenCompleteAndVerify) {
  QStringList args;
  for (int i = 0; i < 8; ++i) {
    QStringList options{"--serial", QString::number(10001 + i)};
    if (i == 5) {
      options << "--hangup-after-bytes"
              << "9000";  // about half of the download
    }
    args << "--port" << StartSim(QStringLiteral("qlx%1").arg(i), options).port;
  }
  const QString file = WritePreset();
  const Result r = Cli(args << "--json"
                            << "download" << file << "--verify"
                            << "--no-upgrade");
  EXPECT_EQ(r.code, 1) << r.err.toStdString();
  const QJsonArray list = QJsonDocument::fromJson(r.out.toUtf8()).array();
  ASSERT_EQ(list.size(), 8) << r.out.toStdString();
  for (int i = 0; i < 8; ++i) {
    const QJsonObject o = list[i].toObject();
    EXPECT_EQ(o["port"].toString(), sims_[i].port);
    EXPECT_EQ(o["serial"].toInt(), 10001 + i);
    EXPECT_EQ(o["model"].toString(), "QLX-A");
    EXPECT_EQ(o["version"].toString(), "05.10");
    EXPECT_EQ(o["ok"].toBool(), i != 5) << i;
    EXPECT_TRUE(o["seconds"].toDouble() > 0);
    if (i == 5) {
      EXPECT_FALSE(o["error"].toString().isEmpty());
    } else {
      EXPECT_TRUE(o["error"].isNull());
      ExpectHoldsImage(Stop(sims_[i]));
    }
  }
  EXPECT_TRUE(r.err.contains("8 instruments: 7 done, 1 failed")) << r.err.toStdString();
}

TEST_F(FleetTest, UploadKeepsOneFilePerInstrumentFromAPortsFile) {
  QString list = "# rack 1\n\n";
  for (int i = 0; i < 3; ++i) {
    list +=
        StartSim(QStringLiteral("qlx%1").arg(i), {"--serial", QString::number(31000 + i)}).port +
        "\n";
  }
  testing::WriteFile(QDir(dir_.path()), "ports.txt", list.toUtf8());
  ASSERT_TRUE(QDir(dir_.path()).mkdir("backup"));
  const Result r = Cli({"--ports", "ports.txt", "upload", "backup/{serial}-{port}-{date}.PRE"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString() << r.out.toStdString();
  const QString date = QDate::currentDate().toString("yyyy-MM-dd");
  for (int i = 0; i < 3; ++i) {
    const QString name = QStringLiteral("backup/%1-qlx%2-%3.PRE").arg(31000 + i).arg(i).arg(date);
    EXPECT_EQ(QFileInfo(dir_.filePath(name)).size(), 16416) << name.toStdString();
    EXPECT_TRUE(
        r.out.contains(sims_[i].port + ": done (QLX-BC, serial " + QString::number(31000 + i)))
        << r.out.toStdString();
  }
  EXPECT_TRUE(r.out.endsWith("3 instruments: 3 done, 0 failed\n")) << r.out.toStdString();
}

TEST_F(FleetTest, BackupKeepsOnePackagePerInstrument) {
  const QString a = StartSim("qlxa", {"--serial", "31000"}).port;
  const QString b = StartSim("qlxb", {"--serial", "31001"}).port;
  const Result r = Cli({"--port", a, "--port", b, "backup", "sw-{serial}.CDP"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString() << r.out.toStdString();
  for (const char* serial : {"31000", "31001"}) {
    const QString name = QStringLiteral("sw-%1.CDP").arg(serial);
    const Result info = Cli({"package", "info", name, "--json"});
    EXPECT_EQ(info.code, 0) << name.toStdString() << info.err.toStdString();
    EXPECT_TRUE(info.out.contains(QStringLiteral("Serial No.: %1").arg(serial)))
        << info.out.toStdString();
  }
  EXPECT_TRUE(r.out.endsWith("2 instruments: 2 done, 0 failed\n")) << r.out.toStdString();
}

TEST_F(FleetTest, PatternsExpandAndAMissingPortFailsAlone) {
  StartSim("qlx-a", {"--serial", "12000"});
  StartSim("qlx-b", {"--serial", "12001"});
  const Result r =
      Cli({"--port", dir_.filePath("qlx-*"), "--port", dir_.filePath("gone"), "identify"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.out.contains(sims_[0].port + ": done")) << r.out.toStdString();
  EXPECT_TRUE(r.out.contains(sims_[1].port + ": done"));
  EXPECT_TRUE(r.out.contains(dir_.filePath("gone") + ": failed: " + dir_.filePath("gone") +
                             " cannot be opened: there is no such device."))
      << r.out.toStdString();
  EXPECT_TRUE(r.out.contains("3 instruments: 2 done, 1 failed"));

  const Result none = Cli({"--port", dir_.filePath("nothing-*"), "identify"});
  EXPECT_EQ(none.code, 2);
  EXPECT_TRUE(none.err.contains("no port matches")) << none.err.toStdString();
}

TEST_F(FleetTest, TwoNamesOfOneDeviceOrOneFileAreRefusedBeforeAnythingStarts) {
  const Sim& s = StartSim("qlx", {});
  ASSERT_TRUE(QFile::link(s.port, dir_.filePath("by-id-qlx")));
  const Result same = Cli({"--port", s.port, "--port", dir_.filePath("by-id-qlx"), "identify"});
  EXPECT_EQ(same.code, 2);
  EXPECT_TRUE(same.err.contains("name the same device")) << same.err.toStdString();

  StartSim("qlx2", {});
  const Result file = Cli({"--port", sims_[0].port, "--port", sims_[1].port, "upload", "one.PRE"});
  EXPECT_EQ(file.code, 2);
  EXPECT_TRUE(file.err.contains("would both write one.PRE")) << file.err.toStdString();
  EXPECT_FALSE(QFile::exists(dir_.filePath("one.PRE")));

  const Result verb = Cli({"--port", sims_[0].port, "--port", sims_[1].port, "/i"});
  EXPECT_EQ(verb.code, 2);
}

quint16 FreeTcpPort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}

// The real serial-to-network server between the tool and the simulator's pseudo-terminal.
TEST_F(FleetTest, ThroughSer2netIdentifyUploadAndVerifiedDownload) {
  const QString ser2net = QStandardPaths::findExecutable("ser2net", {"/usr/sbin", "/usr/bin"});
  if (ser2net.isEmpty()) {
    GTEST_SKIP() << "ser2net is not installed (scripts/setup installs it)";
  }
  const Sim& s = StartSim("qlx", {"--serial", "31000"});
  const quint16 port = FreeTcpPort();
  ser2net_ = std::make_unique<QProcess>();
  ser2net_->start(ser2net,
                  {"-n", "-u", "-P", dir_.filePath("ser2net.pid"), "-Y", "connection: &qlx", "-Y",
                   QStringLiteral("  accepter: tcp,127.0.0.1,%1").arg(port), "-Y",
                   "  connector: serialdev," + s.port + ",9600n81,local"});
  ASSERT_TRUE(ser2net_->waitForStarted());
  bool listening = false;
  for (int i = 0; i < 100 && !listening; ++i) {
    QTcpSocket probe;
    probe.connectToHost("127.0.0.1", port);
    listening = probe.waitForConnected(100);
    probe.abort();
    if (!listening) QThread::msleep(50);
  }
  ASSERT_TRUE(listening) << ser2net_->readAllStandardError().toStdString();
  const QString name = QStringLiteral("tcp:127.0.0.1:%1").arg(port);

  const Result id = Cli({"--port", name, "identify", "--json"});
  ASSERT_EQ(id.code, 0) << id.err.toStdString();
  EXPECT_EQ(QJsonDocument::fromJson(id.out.toUtf8()).object()["serial"].toInt(), 31000);
  const Result up = Cli({"--port", name, "upload", "up.PRE"});
  ASSERT_EQ(up.code, 0) << up.err.toStdString();
  EXPECT_EQ(QFileInfo(dir_.filePath("up.PRE")).size(), 16416);
  const Result down = Cli({"--port", name, "download", WritePreset(), "--verify"});
  ASSERT_EQ(down.code, 0) << down.err.toStdString();
  EXPECT_TRUE(down.err.contains("Verified"));
  ExpectHoldsImage(Stop(sims_[0]));

  // The server is gone: said in words, nothing written.
  ser2net_->terminate();
  ser2net_->waitForFinished(5000);
  const Result gone = Cli({"--port", name, "upload", "again.PRE"});
  EXPECT_EQ(gone.code, 1);
  EXPECT_TRUE(
      gone.err.contains(QStringLiteral("Cannot reach 127.0.0.1:%1: connection refused").arg(port)))
      << gone.err.toStdString();
  EXPECT_FALSE(QFile::exists(dir_.filePath("again.PRE")));
}

}  // namespace
}  // namespace zizara
