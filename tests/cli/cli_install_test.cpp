#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <csignal>

#include "cli/cli.h"
#include "core/install/package.h"
#include "core/io/file_access.h"
#include "support/cli_runner.h"
#include "support/link_fixture.h"

namespace zizara::cli {
namespace {

using core::install::BuildPackage;
using core::install::PackageItemSpec;
using testing::CliRun;

class CliInstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::QlxOptions o;
    o.boot_ms = 20;
    instrument_ = std::make_unique<sim::QlxInstrument>(o);
  }
  CliRun Run(QStringList args) {
    CliEnvironment env;
    env.make_transport = [this](const QString&) {
      auto inner = std::make_unique<sim::InMemoryTransport>(instrument_.get());
      auto recording = std::make_unique<Recording>(std::move(inner));
      recording->on_read = on_read_;
      return recording;
    };
    env.working_dir = dir_.path();
    return testing::RunCliCaptured(args, env);
  }
  QString Write(const QByteArray& bytes, const QString& name = "p.CDP") {
    const QString path = dir_.filePath(name);
    QString error;
    EXPECT_TRUE(core::io::SaveFileAtomically(path, bytes, &error));
    return path;
  }

  // A recording transport that owns the line it records.
  struct Recording : testing::RecordingTransport {
    explicit Recording(std::unique_ptr<sim::InMemoryTransport> inner)
        : RecordingTransport(inner.get()), owned(std::move(inner)) {}
    std::unique_ptr<sim::InMemoryTransport> owned;
  };

  QTemporaryDir dir_;
  std::unique_ptr<sim::QlxInstrument> instrument_;
  std::function<void(QByteArray&)> on_read_;
};

PackageItemSpec Item(std::uint16_t type, std::uint32_t mask, std::uint32_t address, QByteArray data,
                     QString description) {
  PackageItemSpec s;
  s.type = type;
  s.model_mask = mask;
  s.address = address;
  s.data_size = type == 0 ? static_cast<std::uint32_t>(data.size()) : 0;
  s.data = std::move(data);
  s.description = std::move(description);
  return s;
}

TEST_F(CliInstallTest, PackageInfoJsonListsTheItems) {
  const QString path = Write(
      BuildPackage("Release 5.20", {Item(0, 0, 0x1000, QByteArray(256, '\1'), "Code."),
                                    Item(7, 0x18, 0x30010, QByteArray("\x2C\x01", 2), "Volume?")}));
  const CliRun r = Run({"package", "info", path, "--json"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
  EXPECT_TRUE(o["valid"].toBool());
  EXPECT_EQ(o["description"].toString(), "Release 5.20");
  EXPECT_EQ(o["crc"].toString().size(), 8);
  EXPECT_EQ(o["crc"].toString(), o["crc"].toString().toUpper());
  EXPECT_EQ(o["item_count"].toInt(), 2);
  const QJsonArray items = o["items"].toArray();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0].toObject()["index"].toInt(), 1);
  EXPECT_EQ(items[0].toObject()["models"].toString(), "all");
  EXPECT_EQ(items[0].toObject()["model_mask"].toString(), "00000000");
  EXPECT_EQ(items[0].toObject()["size"].toInt(), 256);
  EXPECT_EQ(items[0].toObject()["address"].toString(), "001000");
  const QJsonObject ask = items[1].toObject();
  EXPECT_EQ(ask["type"].toInt(), 7);
  EXPECT_EQ(ask["type_name"].toString(), "ask word");
  EXPECT_EQ(ask["model_mask"].toString(), "00000018");
  EXPECT_EQ(ask["models"].toArray(), (QJsonArray{"QLX-M+", "QLX-A"}));
  EXPECT_EQ(ask["description"].toString(), "Volume?");
}

TEST_F(CliInstallTest, ARefusedPackageExitsOneWithTheMessage) {
  QByteArray package = BuildPackage("P", {Item(4, 0, 0, {}, "Hi.")});
  package[400] = static_cast<char>(package[400] ^ 0x10);
  const CliRun r = Run({"package", "info", Write(package)});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("CRC Error.\nThe file is corrupted. (CRC: ")) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains(")\nTry to download the file again."));
  const CliRun install = Run({"--port", "sim", "install", Write(package, "q.CDP")});
  EXPECT_EQ(install.code, 1);
  EXPECT_EQ(instrument_->stats().bytes_in, 0);
}

TEST_F(CliInstallTest, InstallWritesTakesProposalsPrintsMessagesAndBacksUp) {
  const QByteArray software = instrument_->ReadMemory(0, 0x20000);
  const QString path =
      Write(BuildPackage("Release", {Item(0, 0, 0x30000, QByteArray(128, '\x42'), "Code."),
                                     Item(7, 0, 0x30200, QByteArray("\x34\x12", 2), "Level?"),
                                     Item(5, 0, 0, {}, "Check the meter.")}));
  const CliRun r =
      Run({"--port", "sim", "install", path, "--backup", dir_.filePath("old"), "--yes"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(instrument_->ReadMemory(0x30000, 128), QByteArray(128, '\x42'));
  EXPECT_EQ(instrument_->ReadMemory(0x30200, 2), QByteArray("\x12\x34"));
  EXPECT_TRUE(r.err.contains("Warning: Check the meter.")) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("The software installation is complete,\na backup"));
  const QByteArray backup = core::io::ReadRegularFile(dir_.filePath("old.CDP"), 1 << 20).data;
  EXPECT_EQ(backup, core::install::BuildBackupPackage(5, "12345", software));
}

TEST_F(CliInstallTest, BackupVerbWritesTheSamePackage) {
  const QByteArray software = instrument_->ReadMemory(0, 0x20000);
  const CliRun r = Run({"--port", "sim", "backup", dir_.filePath("keep.CDP")});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(core::io::ReadRegularFile(dir_.filePath("keep.CDP"), 1 << 20).data,
            core::install::BuildBackupPackage(5, "12345", software));
  EXPECT_EQ(instrument_->stats().restarts, 0);
}

TEST_F(CliInstallTest, SigintCancelsTheInstallation) {
  const QString path =
      Write(BuildPackage("Long", {Item(0, 0, 0x30000, QByteArray(128 * 200, '\x42'), "Code."),
                                  Item(4, 0, 0, {}, "Never shown.")}));
  int reads = 0;
  on_read_ = [&reads](QByteArray& bytes) {
    if (!bytes.isEmpty() && ++reads == 400) std::raise(SIGINT);
  };
  const CliRun r = Run({"--port", "sim", "install", path});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("The software installation was cancelled by the user."))
      << r.err.toStdString();
  EXPECT_FALSE(r.err.contains("Never shown."));
  EXPECT_TRUE(instrument_->ReadMemory(0x30000, 128 * 200) != QByteArray(128 * 200, '\x42'));
}

TEST_F(CliInstallTest, BiosModeProblemsAndRefusedBackupsExitOne) {
  sim::QlxOptions o;
  o.bios = true;
  o.boot_ms = 20;
  instrument_ = std::make_unique<sim::QlxInstrument>(o);
  const QString path = Write(BuildPackage("P", {Item(1, 0, 0x30000, QByteArray("\1\2", 2), "W.")}));
  const CliRun r = Run({"--port", "sim", "install", path});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("The QLX was in BIOS-Mode, some operations could not be performed,\n"))
      << r.err.toStdString();
  EXPECT_EQ(Run({"--port", "sim", "backup", dir_.filePath("b.CDP")}).code, 1);
  EXPECT_FALSE(QFile::exists(dir_.filePath("b.CDP")));
}

TEST_F(CliInstallTest, PackageInfoTextNamesEveryItem) {
  const CliRun r =
      Run({"package", "info",
           Write(BuildPackage("Two", {Item(4, 8, 0, {}, "Hi."), Item(2, 0, 0, {}, "Go.")}))});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains("Description: Two\n"));
  EXPECT_TRUE(r.out.contains("Items: 2\n"));
  EXPECT_TRUE(r.out.contains("1. 4 information, models 00000008 (QLX-M+)")) << r.out.toStdString();
  EXPECT_TRUE(r.out.contains("2. 2 restart, models 00000000 (all)"));
}

}  // namespace
}  // namespace zizara::cli
