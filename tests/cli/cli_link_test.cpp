#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "cli/cli.h"
#include "sim/in_memory_transport.h"
#include "sim/qlx_instrument.h"
#include "support/cli_runner.h"
#include "support/crafted_files.h"
#include "support/strict_sim.h"

namespace zizara::cli {
namespace {

using testing::CliRun;

class CliLinkTest : public ::testing::Test {
 protected:
  void Start(const sim::QlxOptions& options = {}) {
    instrument_ = std::make_unique<sim::QlxInstrument>(strict_.Apply(options));
  }
  CliRun Run(QStringList args) {
    CliEnvironment env;
    env.make_transport = [this](const QString& port) {
      port_seen_ = port;
      return std::make_unique<sim::InMemoryTransport>(instrument_.get());
    };
    env.working_dir = dir_.path();
    return testing::RunCliCaptured(args, env);
  }
  QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
  testing::StrictCheck strict_;
  std::unique_ptr<sim::QlxInstrument> instrument_;
  QString port_seen_;
};

TEST_F(CliLinkTest, IdentifyJson) {
  Start();
  const CliRun r = Run({"--port", "simport", "identify", "--json"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(port_seen_, "simport");
  const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_TRUE(o["found"].toBool());
  EXPECT_FALSE(o["bios_mode"].toBool());
  EXPECT_EQ(o["serial"].toInt(), 12345);
  EXPECT_EQ(o["serial_text"].toString(), "12345");
  EXPECT_EQ(o["model"].toString(), "QLX-A");
  EXPECT_TRUE(o["supported"].toBool());
  EXPECT_TRUE(o["remote_capable"].toBool());
  EXPECT_EQ(o["software_version_code"].toInt(), 0x0510);
  EXPECT_EQ(o["backup_blocks"].toInt(), 1024);
  EXPECT_EQ(o["reported"].toObject()["output_channels"].toInt(), 96);
}

TEST_F(CliLinkTest, UploadWritesAFullPresetFile) {
  Start();
  const QString out = dir_.filePath("up.PRE");
  const CliRun r = Run({"--port", "p", "--json", "upload", out});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QByteArray file = ReadFile(out);
  ASSERT_EQ(file.size(), 16416);
  EXPECT_EQ(file.left(16384), instrument_->Image().ToByteArray());
  EXPECT_EQ(testing::Le32(file, 0x400C), 12345u);
  const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_GT(o["bytes_received"].toInt(), 16384);
  EXPECT_GE(o["elapsed_s"].toDouble(), 0.0);
}

TEST_F(CliLinkTest, BiosModeRefusesUpload) {
  sim::QlxOptions o;
  o.bios = true;
  Start(o);
  const QString out = dir_.filePath("up.PRE");
  const CliRun r = Run({"--port", "p", "upload", out});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("BIOS mode"));
  EXPECT_FALSE(QFile::exists(out));
}

TEST_F(CliLinkTest, UnsupportedModelRefusesTransfers) {
  sim::QlxOptions o;
  o.serial = 6100;
  Start(o);
  const CliRun r = Run({"--port", "p", "upload", dir_.filePath("x.PRE")});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("The connected QLX-C2 is not supported by this program."));
}

TEST_F(CliLinkTest, DownloadWithUpgradeAndVerify) {
  Start();
  const QByteArray image = testing::CraftImage();
  const QString in = testing::WriteFile(QDir(dir_.path()), "in.PRE",
                                        testing::CraftPresetFile(image, {.version = 0x0380}));
  const CliRun r = Run({"--port", "p", "download", in, "--upgrade", "--verify"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("upgrade the preset"));
  EXPECT_TRUE(r.err.contains("Verified"));
  EXPECT_TRUE(r.err.contains("Download complete."));
  const core::config::ConfigurationImage sent = instrument_->Image();
  EXPECT_EQ(sent.Byte(0x1101), 4);        // routing from the file
  EXPECT_EQ(sent.Byte(0x3F9F), '8');      // upgraded: disabled lock code
  EXPECT_EQ(instrument_->stats().restarts, 1);
}

TEST_F(CliLinkTest, DownloadWithoutUpgradeKeepsTheFileBytes) {
  Start();
  const QByteArray image = testing::CraftImage();
  const QString in = testing::WriteFile(QDir(dir_.path()), "in.PRE",
                                        testing::CraftPresetFile(image, {.version = 0x0380}));
  const CliRun r = Run({"--port", "p", "download", in, "--no-upgrade"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(instrument_->Image().ToByteArray(), image);
}

TEST_F(CliLinkTest, BadPresetFileTouchesNothing) {
  Start();
  const core::config::ConfigurationImage before = instrument_->Image();
  const CliRun r = Run({"--port", "p", "download", dir_.filePath("missing.PRE")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(instrument_->stats().bytes_in, 0);
  EXPECT_EQ(instrument_->Image(), before);
}

TEST_F(CliLinkTest, ExternalCommandVerbs) {
  Start();
  ASSERT_EQ(Run({"--port", "p", "/r", "$1c000", "128"}).code, 0);
  const QByteArray cod = ReadFile(dir_.filePath("memory.cod"));
  EXPECT_EQ(cod, instrument_->Image().ToByteArray());

  const QString in = testing::WriteFile(QDir(dir_.path()), "memory.380",
                                        testing::CraftPresetFile(testing::CraftImage()));
  ASSERT_EQ(Run({"--port", "p", "/d", in}).code, 0);
  EXPECT_EQ(instrument_->Image().ToByteArray(), testing::CraftImage());
  EXPECT_EQ(instrument_->stats().restarts, 0);  // the caller asks about the reset
  ASSERT_EQ(Run({"--port", "p", "/i"}).code, 0);
  EXPECT_EQ(instrument_->stats().restarts, 1);
  EXPECT_EQ(Run({"--port", "p", "/r", "$0", "1"}).code, 2);
}

TEST_F(CliLinkTest, SilentLineMeansNoInstrument) {
  Start();
  CliEnvironment env;
  const CliRun r = [&] {
    instrument_->blockSignals(true);  // it hears but never answers
    return Run({"--port", "p", "identify"});
  }();
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("No instrument found."));
}

TEST_F(CliLinkTest, DestinationIsCheckedBeforeTheTransfer) {
  Start();
  for (const QString& target : {QString(), dir_.filePath("no/such/folder/up.PRE"), dir_.path()}) {
    const CliRun r = Run({"--port", "simport", "upload", target});
    EXPECT_EQ(r.code, 1) << target.toStdString();
    EXPECT_EQ(instrument_->stats().blocks_read, 0) << target.toStdString();
  }
}

TEST_F(CliLinkTest, AHangUpIsNoBiosMode) {
  sim::QlxOptions options;
  options.hangup_after_bytes = 5;
  Start(options);
  const CliRun r = Run({"--port", "simport", "identify"});
  EXPECT_EQ(r.code, 1);
  EXPECT_FALSE(r.out.contains("BIOS")) << r.out.toStdString();
}

TEST_F(CliLinkTest, SoftwareVersionComesFromMemoryWithoutTheTextProtocol) {
  sim::QlxOptions options;
  options.no_dot = true;
  Start(options);
  const CliRun r = Run({"--port", "simport", "identify"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains("Software version code: 05.10")) << r.out.toStdString();
  EXPECT_TRUE(r.out.contains("Port: simport"));
}

TEST_F(CliLinkTest, AnswersSixtyMillisecondsLateIdentifyNormally) {
  sim::QlxOptions options;
  options.latency_ms = 60;
  Start(options);
  const CliRun r = Run({"--port", "simport", "identify", "--json"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_TRUE(o["found"].toBool());
  EXPECT_FALSE(o["bios_mode"].toBool());
  EXPECT_EQ(o["serial"].toInt(), 12345);
  EXPECT_EQ(o["software_version_code"].toInt(), 0x0510);
}

TEST_F(CliLinkTest, DamagedBlocksAreNoReliableAnswerNeverBiosMode) {
  sim::QlxOptions options;
  options.corrupt = 0.05;  // a 128-byte block practically never arrives whole
  options.seed = 7;
  Start(options);
  const CliRun r = Run({"--port", "simport", "identify", "--json"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("No reliable answer from the QLX on simport")) << r.err.toStdString();
  EXPECT_FALSE(r.out.contains("\"bios_mode\": true")) << r.out.toStdString();
  const CliRun up = Run({"--port", "simport", "upload", dir_.filePath("up.PRE")});
  EXPECT_EQ(up.code, 1);
  EXPECT_FALSE(up.err.contains("BIOS mode")) << up.err.toStdString();
  EXPECT_FALSE(QFile::exists(dir_.filePath("up.PRE")));
}

}  // namespace
}  // namespace zizara::cli
