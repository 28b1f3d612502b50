// Gain, keys and the module report through the real programs over a pseudo-terminal.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace zizara {
namespace {

struct Result {
  int code;
  QString out;
  QString err;
};

class CliLivePtyTest : public ::testing::Test {
 protected:
  void TearDown() override { StopSim(); }

  void StartSim(QStringList options = {}) {
    port_ = dir_.filePath("qlx");
    options << "--link" << port_ << "--stats" << dir_.filePath("stats.json") << "--log"
            << dir_.filePath("log.jsonl");
    sim_.start(ZIZARA_QLX_SIM, options);
    ASSERT_TRUE(sim_.waitForStarted());
    ASSERT_TRUE(sim_.waitForReadyRead(10000));
    ASSERT_TRUE(sim_.readLine().startsWith("qlx-sim: ready on "));
  }
  void StopSim() {
    if (sim_.state() != QProcess::NotRunning) {
      sim_.terminate();
      sim_.waitForFinished(5000);
    }
  }
  Result Cli(QStringList args) {
    QProcess p;
    p.start(ZIZARA_CLI, QStringList{"--port", port_} + args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
  }
  QByteArray ReadFile(const QString& name) {
    QFile f(dir_.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
  QProcess sim_;
  QString port_;
};

TEST_F(CliLivePtyTest, GainKeysAndModules) {
  StartSim({"--modules", "24,0,E2,31/10,0,0,11"});
  Result r = Cli({"identify", "--json"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_EQ(o["modules"].toObject()["inputs"].toArray().toVariantList(),
            (QVariantList{"4 Channel Digital Input Module, 4-AES (24)", "Not installed.",
                          "HD-SDI DeEmbedder, HD-SDI (E2)",
                          "96 KHz Analogue Input Module, 1-AES 2-ANA (31)"}));
  EXPECT_EQ(o["modules"].toObject()["outputs"].toArray()[0].toString(), "GPIO Module (10)");

  r = Cli({"gain", "9,2", "-3,5"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, "2: -3.5 dB\n9: -3.5 dB\n");
  r = Cli({"--json", "gain", "2"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_DOUBLE_EQ(QJsonDocument::fromJson(r.out.toUtf8()).array()[0].toObject()["gain"].toDouble(),
                   -3.5);
  r = Cli({"key", "7"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();

  StopSim();
  EXPECT_TRUE(ReadFile("stats.json").contains("\"keys\":[7]"));
  const QByteArray log = ReadFile("log.jsonl");
  EXPECT_LT(log.indexOf(".SG2,-35"), log.indexOf(".SG9,-35"));
  EXPECT_TRUE(log.contains("\"event\":\"key\""));
}

}  // namespace
}  // namespace zizara
