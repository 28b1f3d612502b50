// The command-line tool against qlx-sim over a real pseudo-terminal, both as separate programs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "support/crafted_files.h"
#include "support/strict_sim.h"

namespace zizara {
namespace {

struct Result {
  int code;
  QString out;
  QString err;
};

class CliPtyTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (sim_.state() != QProcess::NotRunning) {
      sim_.terminate();
      sim_.waitForFinished(5000);
    }
    // The faults only damage the simulator's answers: the program must keep to the protocol
    // while it recovers from them.
    testing::ExpectStrictFileEmpty(dir_.filePath("strict.txt"));
  }

  void StartSim(QStringList options = {}) {
    port_ = dir_.filePath("qlx");
    options << "--link" << port_ << "--dump" << dir_.filePath("dump.bin") << "--stats"
            << dir_.filePath("stats.json") << "--strict" << dir_.filePath("strict.txt");
    sim_.start(ZIZARA_QLX_SIM, options);
    ASSERT_TRUE(sim_.waitForStarted());
    ASSERT_TRUE(sim_.waitForReadyRead(10000));
    const QByteArray ready = sim_.readLine();
    ASSERT_TRUE(ready.startsWith("qlx-sim: ready on ")) << ready.toStdString();
  }

  Result Cli(QStringList args, int timeout_ms = 120000) {
    QProcess p;
    p.setWorkingDirectory(dir_.path());
    args.prepend(port_);
    args.prepend("--port");
    p.start(ZIZARA_CLI, args);
    EXPECT_TRUE(p.waitForFinished(timeout_ms));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
  }

  QByteArray SimDump() {
    sim_.terminate();
    sim_.waitForFinished(5000);
    QFile f(dir_.filePath("dump.bin"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  QByteArray ReadFile(const QString& name) {
    QFile f(dir_.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
  QProcess sim_;
  QString port_;
};

TEST_F(CliPtyTest, IdentifyUploadDownloadVerify) {
  StartSim({"--serial", "31000"});
  const Result id = Cli({"identify", "--json"});
  ASSERT_EQ(id.code, 0) << id.err.toStdString();
  const QJsonObject o = QJsonDocument::fromJson(id.out.toUtf8()).object();
  EXPECT_EQ(o["model"].toString(), "QLX-BC");
  EXPECT_EQ(o["serial"].toInt(), 31000);

  const Result up = Cli({"upload", "up.PRE"});
  ASSERT_EQ(up.code, 0) << up.err.toStdString();
  ASSERT_EQ(ReadFile("up.PRE").size(), 16416);

  const QByteArray image = testing::CraftImage();
  testing::WriteFile(QDir(dir_.path()), "in.PRE",
                     testing::CraftPresetFile(image, {.version = 0x0510}));
  const Result down = Cli({"download", "in.PRE", "--verify"});
  ASSERT_EQ(down.code, 0) << down.err.toStdString();
  EXPECT_TRUE(down.err.contains("Verified"));
  const QByteArray dump = SimDump();
  ASSERT_EQ(dump.size(), 16384);
  QByteArray expected = image;
  expected[2] = dump[2];  // the instrument keeps its serial word there after a restart
  expected[3] = dump[3];
  EXPECT_EQ(dump.left(2), image.left(2));
  EXPECT_EQ(dump.mid(4), image.mid(4));
}

TEST_F(CliPtyTest, RestartOverARealLineSendsTheZeroFirst) {
  // Cleared output buffers once swallowed the "0" before it left; the witness in TearDown
  // checks that it arrived, then the pause, the break, the restart and the quiet.
  StartSim();
  const Result r = Cli({"restart"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  SimDump();
  EXPECT_TRUE(ReadFile("stats.json").contains("\"restarts\":1"));
}

TEST_F(CliPtyTest, BiosModeRefusesUpload) {
  StartSim({"--bios"});
  const Result up = Cli({"upload", "up.PRE"});
  EXPECT_EQ(up.code, 1);
  EXPECT_TRUE(up.err.contains("BIOS mode"));
  EXPECT_FALSE(QFile::exists(dir_.filePath("up.PRE")));
}

TEST_F(CliPtyTest, UnavailablePortSaysSo) {
  port_ = dir_.filePath("nothing-here");
  const Result r = Cli({"identify"});
  EXPECT_EQ(r.code, 1);
  // Only a busy port "could be in use"; a missing one says what is wrong.
  EXPECT_TRUE(r.err.contains("nothing-here cannot be opened: there is no such device."))
      << r.err.toStdString();
  EXPECT_FALSE(r.err.contains("could be in use"));
}

TEST_F(CliPtyTest, HangUpMidTransferFailsCleanly) {
  StartSim({"--hangup-after-bytes", "500"});
  const Result up = Cli({"upload", "up.PRE"}, 60000);
  EXPECT_EQ(up.code, 1);
  EXPECT_FALSE(QFile::exists(dir_.filePath("up.PRE")));
  EXPECT_LE(up.err.count("RS232 Timeout"), 1);
}

TEST_F(CliPtyTest, OccasionalDamageIsRetriedAway) {
  StartSim({"--corrupt", "0.0005", "--drop", "0.0005", "--seed", "3"});
  const Result up = Cli({"upload", "up.PRE"}, 600000);
  ASSERT_EQ(up.code, 0) << up.err.toStdString();
  EXPECT_EQ(ReadFile("up.PRE").left(16384), SimDump());
}

TEST_F(CliPtyTest, LossyLineNeverYieldsAWrongResult) {
  for (const char* fault : {"--drop", "--corrupt"}) {
    SCOPED_TRACE(fault);
    StartSim({fault, "0.01", "--seed", "7"});
    const Result up = Cli({"upload", "up.PRE"}, 600000);
    if (up.code == 0) {
      const QByteArray file = ReadFile("up.PRE");
      ASSERT_EQ(file.size(), 16416);
      EXPECT_EQ(file.left(16384), SimDump()) << "a damaged upload was reported as success";
    } else {
      EXPECT_EQ(up.code, 1);
      EXPECT_FALSE(QFile::exists(dir_.filePath("up.PRE")));
      SimDump();
    }
    QFile::remove(dir_.filePath("up.PRE"));
  }
}

}  // namespace
}  // namespace zizara
