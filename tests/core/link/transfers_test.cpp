#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "core/config/preset_file.h"
#include "core/config/upgrade.h"
#include "core/link/external_command.h"
#include "support/crafted_files.h"
#include "support/link_fixture.h"

namespace zizara::core::link {
namespace {

using testing::LinkFixture;
using ui_port::Answer;

TEST(UploadTest, ReadsTheWholeImageAndTheIdentity) {
  LinkFixture f;
  f.identification.Connect(false, false);
  f.config.file_name = "old.PRE";
  const int hidden_before = f.progress.hidden;
  EXPECT_EQ(f.transfers.UploadSerial(), TransferOutcome::kDone);
  EXPECT_EQ(f.config.image, f.instrument.Image());
  EXPECT_TRUE(f.config.modified);
  EXPECT_TRUE(f.config.file_name.isEmpty());
  EXPECT_EQ(f.config.trailer.serial_number, 12345);
  EXPECT_EQ(f.config.trailer.model_index, 5);
  EXPECT_EQ(f.config.trailer.software_version, 0x0510);
  EXPECT_EQ(f.config.trailer.checksum, 0u);
  EXPECT_EQ(f.prompts.Texts(), QStringList{"Configuration is uploaded correctly..."});
  EXPECT_EQ(f.progress.positions.back(), 16384);
  EXPECT_EQ(f.progress.hidden, hidden_before + 1);
}

TEST(UploadTest, WithoutTextProtocolTheVersionComesFromMemory) {
  sim::QlxOptions o;
  o.no_dot = true;
  o.version = "3.8";
  LinkFixture f(o);
  f.identification.Connect(false, false);
  ASSERT_EQ(f.transfers.UploadSerial(), TransferOutcome::kDone);
  EXPECT_EQ(f.config.trailer.software_version, 0x0380);
  EXPECT_EQ(f.config.trailer.extended_bios_id, 0);
}

TEST(UploadTest, AbortLeavesTheConfigurationExactlyAsItWas) {
  LinkFixture f;
  f.config.image.Fill(0x42);
  const config::Configuration before = f.config;
  f.engine.AddStepListener([&f](int done) {
    if (done == 128 * 10) f.engine_state.abort = true;
  });
  EXPECT_EQ(f.transfers.UploadSerial(), TransferOutcome::kAborted);
  EXPECT_EQ(f.config.image, before.image);
  EXPECT_EQ(f.config.trailer, before.trailer);
  EXPECT_FALSE(f.config.modified);
  EXPECT_EQ(f.prompts.Texts(), QStringList{"Upload is terminated..."});
}

TEST(UploadTest, DroppedLineIsReportedAndChangesNothing) {
  sim::QlxOptions o;
  o.hangup_after_bytes = 300;  // about 40 blocks into the upload
  LinkFixture f(o);
  f.config.image.Fill(0x42);
  const config::ConfigurationImage before = f.config.image;
  EXPECT_EQ(f.transfers.UploadSerial(), TransferOutcome::kFailed);
  EXPECT_EQ(f.config.image, before);
  EXPECT_FALSE(f.config.modified);
  EXPECT_TRUE(f.prompts.Texts().contains(UploadErrorText()));
  EXPECT_LE(f.prompts.records().size(), 2u);  // no chain of boxes
}

// Damages chosen replies on their way to the program: 128-byte blocks with a single flipped
// bit (which the check byte catches) or two flips of bit 7 (which it cannot), and the first
// answer to the write-protect flag read.
class TamperingTransport : public Transport {
 public:
  explicit TamperingTransport(Transport* inner) : inner_(inner) {
    connect(inner, &Transport::ReadyRead, this, &Transport::ReadyRead);
    connect(inner, &Transport::Failed, this, &Transport::Failed);
  }
  bool Open(QString* error) override { return inner_->Open(error); }
  void Close() override { inner_->Close(); }
  bool IsOpen() const override { return inner_->IsOpen(); }
  QString Name() const override { return inner_->Name(); }
  qint64 Write(const QByteArray& bytes) override {
    flag_read_pending_ = bytes == QByteArray(1, '\x1A');
    return inner_->Write(bytes);
  }
  QByteArray Read(qint64 max_bytes) override {
    QByteArray bytes = inner_->Read(max_bytes);
    if (flag_read_pending_ && bytes.size() == 1 && flag_reply_ >= 0) {
      bytes[0] = static_cast<char>(flag_reply_);
      flag_reply_ = -1;
    }
    flag_read_pending_ = false;
    if (bytes.size() == kBlockSize) {
      ++blocks;
      if (blocks == detected_at) {
        bytes[10] = static_cast<char>(bytes[10] ^ 0x01);
      } else if (blocks == unseen_at) {
        bytes[20] = static_cast<char>(bytes[20] ^ 0x80);
        bytes[21] = static_cast<char>(bytes[21] ^ 0x80);
      }
    }
    return bytes;
  }
  qint64 BytesAvailable() const override { return inner_->BytesAvailable(); }
  void Clear(bool input, bool output) override { inner_->Clear(input, output); }

  int blocks = 0;
  int detected_at = -1;
  int unseen_at = -1;
  int flag_reply_ = -1;  // what the first flag read answers instead, when set

 private:
  Transport* inner_;
  bool flag_read_pending_ = false;
};

struct TamperedLine {
  TamperedLine()
      : instrument(strict.Apply({})),
        memory(&instrument),
        tampering(&memory),
        link(tampering, state, prompts),
        engine(link, engine_state, record, progress),
        identification(engine, flags),
        transfers(engine, identification, config) {
    link.OpenLink(nullptr);
  }
  testing::StrictCheck strict;
  sim::QlxInstrument instrument;
  sim::InMemoryTransport memory;
  TamperingTransport tampering;
  LinkState state;
  InstrumentRecord record;
  EngineState engine_state;
  ConnectFlags flags;
  ui_port::ScriptedPrompts prompts;
  ui_port::NullProgress progress;
  config::Configuration config;
  InstrumentLink link;
  DriverEngine engine;
  Identification identification;
  ConfigurationTransfers transfers;
};

// Identification reads two blocks; the upload's first block is the third 128-byte reply.
TEST(UploadTest, AfterADamagedReplyTheImageIsTakenOnlyWhenTwoReadsAgree) {
  TamperedLine t;
  t.tampering.detected_at = 3;
  t.tampering.unseen_at = 9;
  ASSERT_EQ(t.transfers.UploadSerial(), TransferOutcome::kDone);
  EXPECT_EQ(t.config.image, t.instrument.Image());
  EXPECT_EQ(t.tampering.blocks, 2 + 1 + 3 * 128);  // the retry, the read, two more to agree
}

TEST(DownloadTest, AWriteProtectFlagMisreadAsOffDoesNotStallTheDownload) {
  TamperedLine t;
  t.tampering.flag_reply_ = 1;  // the instrument says 0: the program skips the toggle
  // Only a guard: the download ends in milliseconds unless it keeps repeating a refused block.
  QTimer::singleShot(20000, [&t] { t.engine_state.abort = true; });
  QByteArray data(16384, '\0');
  for (int i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  t.config.image.CopyIn(0, std::vector<std::uint8_t>(data.begin(), data.end()));
  ASSERT_EQ(t.transfers.DownloadSerial(), TransferOutcome::kDone);
  EXPECT_EQ(t.instrument.Image().ToByteArray(), data);
}

TEST(UploadTest, OnACleanLineTheImageIsReadOnce) {
  TamperedLine t;
  ASSERT_EQ(t.transfers.UploadSerial(), TransferOutcome::kDone);
  EXPECT_EQ(t.config.image, t.instrument.Image());
  EXPECT_EQ(t.tampering.blocks, 2 + 128);
}

TEST(DownloadTest, VersionQuestionOnlyWhenTheInstrumentIsNewer) {
  struct Case {
    const char* instrument;
    int trailer;
    bool asked;
  };
  for (const Case& c : {Case{"5.10", 0x0380, true}, Case{"5.10", 0x0500, false},
                        Case{"3.80", 0x0380, false}}) {
    sim::QlxOptions o;
    o.version = c.instrument;
    LinkFixture f(o);
    f.identification.Connect(false, false);
    f.config.trailer.software_version = c.trailer;
    f.prompts.Queue(Answer::kYes);
    const bool upgraded = f.transfers.OfferUpgrade(false);
    EXPECT_EQ(upgraded, c.asked) << c.instrument << " " << c.trailer;
    EXPECT_EQ(f.prompts.records().size(), c.asked ? 1u : 0u);
  }
}

TEST(DownloadTest, ForcedUpgradeAfterYesGivesTheSameImage) {
  LinkFixture f;
  f.identification.Connect(false, false);
  f.config.trailer.software_version = 0x0380;
  f.prompts.Queue(Answer::kYes);
  EXPECT_TRUE(f.transfers.OfferUpgrade(true));
  config::ConfigurationImage once;
  config::UpgradeToV5(once);
  EXPECT_EQ(f.config.image, once);
  EXPECT_EQ(f.config.trailer.software_version, 0x0380);  // the trailer stays
}

TEST(DownloadTest, WritesTheImageThenRestarts) {
  LinkFixture f;
  f.identification.Connect(false, false);
  for (int i = 0; i < 16384; ++i) f.config.image.SetByte(i, static_cast<std::uint8_t>(i ^ 0x5A));
  const TransferOutcome out = f.transfers.DownloadSerial();
  ASSERT_EQ(out, TransferOutcome::kDone);
  EXPECT_TRUE(f.instrument.DownloadMode());
  EXPECT_EQ(f.instrument.Image(), f.config.image);
  f.transfers.FinishDownload(out);
  EXPECT_EQ(f.instrument.stats().restarts, 1);
  EXPECT_EQ(f.prompts.Texts().back(), "Download complete.");
}

TEST(DownloadTest, TimeOutIsAFailureNeverComplete) {
  sim::QlxOptions o;
  o.hangup_after_bytes = 5000;
  LinkFixture f(o);
  f.identification.Connect(false, false);
  const TransferOutcome out = f.transfers.DownloadSerial();
  EXPECT_EQ(out, TransferOutcome::kFailed);
  f.transfers.FinishDownload(out);
  EXPECT_FALSE(f.prompts.Texts().contains("Download complete."));
}

TEST(DownloadTest, AfterATimeOutTheNextDownloadOnTheSameLineSucceeds) {
  LinkFixture f;
  f.identification.Connect(false, false);
  for (int i = 0; i < 16384; ++i) f.config.image.SetByte(i, static_cast<std::uint8_t>(i * 7));
  // The instrument falls silent five blocks into the first download.
  bool silenced = false;
  f.engine.AddStepListener([&](int done) {
    if (done == 128 * 5 && !silenced) {
      silenced = true;
      f.instrument.blockSignals(true);
    }
  });
  EXPECT_EQ(f.transfers.DownloadSerial(), TransferOutcome::kFailed);
  EXPECT_TRUE(f.prompts.Texts().contains("RS232 Timeout"));
  ASSERT_TRUE(f.state.timed_out);

  // It answers again; the port was never closed, as in the program between two commands.
  f.instrument.blockSignals(false);
  f.prompts.Clear();
  ASSERT_EQ(f.identification.Connect(false, false).result, ConnectResult::kConnected);
  const TransferOutcome out = f.transfers.DownloadSerial();
  ASSERT_EQ(out, TransferOutcome::kDone) << f.prompts.Texts().join('|').toStdString();
  EXPECT_EQ(f.instrument.Image(), f.config.image);
  EXPECT_TRUE(f.prompts.Texts().isEmpty());
  f.transfers.FinishDownload(out);
  EXPECT_EQ(f.instrument.stats().restarts, 1);
  EXPECT_EQ(f.prompts.Texts().back(), "Download complete.");
}

TEST(DownloadTest, ATimeOutLeftOverDoesNotStopAFreshTransfer) {
  LinkFixture f;
  f.identification.Connect(false, false);
  f.state.timed_out = true;  // what an earlier failed exchange leaves behind
  f.state.link_ok = true;
  ASSERT_EQ(f.transfers.DownloadSerial(), TransferOutcome::kDone);
  EXPECT_EQ(f.instrument.Image(), f.config.image);
}

TEST(DownloadTest, AbortIsReportedAsAbort) {
  LinkFixture f;
  f.identification.Connect(false, false);
  f.engine.AddStepListener([&f](int done) {
    if (done == 128 * 5) f.engine_state.abort = true;
  });
  EXPECT_EQ(f.transfers.DownloadSerial(), TransferOutcome::kAborted);
  EXPECT_EQ(f.instrument.stats().blocks_written, 5);
}

TEST(PartialReadTest, NamesAndPresetNamesLandAtTheirOffsets) {
  LinkFixture f;
  const config::ConfigurationImage sim_image = f.instrument.Image();
  ASSERT_TRUE(f.transfers.ReadTextBlock("QLX-A"));
  ASSERT_TRUE(f.transfers.ReadInputNames("QLX-A"));
  ASSERT_TRUE(f.transfers.ReadPresetNames("QLX-A"));
  for (int o : {0x0E00, 0x117F, 0x1080, 0x3300, 0x337F, 0x2480, 0x24FF}) {
    EXPECT_EQ(f.config.image.Byte(o), sim_image.Byte(o)) << std::hex << o;
  }
  EXPECT_EQ(f.config.image.Byte(0x1180), 0);  // beyond the text block: untouched
  EXPECT_TRUE(f.engine.caption().isEmpty());
}

class ExternalCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    script_ = QDir(bin_.path()).filePath("extcmd.sh");
  }
  // A stand-in for the external program: records its arguments, then runs `body`.
  void WriteScript(const QByteArray& body) {
    QFile f(script_);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\necho \"$@\" > args.txt\n" + body + "\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
  }
  QString ReadTemp(const char* name) {
    QFile f(QDir(temp_.path()).filePath(name));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).trimmed() : QString();
  }
  ExternalCommand Command() { return ExternalCommand(bin_.path(), "extcmd.sh", temp_.path()); }

  QTemporaryDir bin_;
  QTemporaryDir temp_;
  QString script_;
  ui_port::ScriptedPrompts prompts_;
  config::Configuration config_;
};

TEST_F(ExternalCommandTest, UploadLoadsMemoryCod) {
  WriteScript("head -c 16384 /dev/zero | tr '\\0' 'Q' > memory.cod");
  config_.trailer.serial_number = 77;
  ASSERT_TRUE(Command().Upload(config_, prompts_));
  EXPECT_EQ(ReadTemp("args.txt"), "/r $1c000 128");
  EXPECT_EQ(config_.image.Byte(100), 'Q');
  EXPECT_EQ(config_.trailer.serial_number, 0);  // a bare image
  EXPECT_TRUE(config_.modified);
  EXPECT_FALSE(QFile::exists(QDir(temp_.path()).filePath("memory.cod")));
}

TEST_F(ExternalCommandTest, UploadWithoutMemoryCodFails) {
  WriteScript("exit 0");
  QFile stale(QDir(temp_.path()).filePath("memory.cod"));  // left by an earlier run
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.write(QByteArray(16384, 'S'));
  stale.close();
  EXPECT_FALSE(Command().Upload(config_, prompts_));
  EXPECT_EQ(prompts_.Texts(), QStringList{UploadErrorText()});
  EXPECT_EQ(config_.image.Byte(0), 0);
}

TEST_F(ExternalCommandTest, DownloadHandsOverAPresetFileAndChecksTheExitCode) {
  WriteScript("cp memory.380 seen.380");
  config_.image.SetByte(5, 0xAB);
  ASSERT_TRUE(Command().Download(config_, prompts_));
  EXPECT_EQ(ReadTemp("args.txt"), "/d memory.380");
  QFile seen(QDir(temp_.path()).filePath("seen.380"));
  ASSERT_TRUE(seen.open(QIODevice::ReadOnly));
  const QByteArray bytes = seen.readAll();
  ASSERT_EQ(bytes.size(), 16416);
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[5]), 0xAB);
  EXPECT_FALSE(QFile::exists(QDir(temp_.path()).filePath("memory.380")));

  WriteScript("exit 3");
  EXPECT_FALSE(Command().Download(config_, prompts_));
  ASSERT_EQ(prompts_.records().size(), 1u);
  EXPECT_TRUE(prompts_.Texts()[0].contains("exit code 3"));
}

TEST_F(ExternalCommandTest, NotConfiguredOrMissingProgram) {
  ExternalCommand none(bin_.path(), "", temp_.path());
  EXPECT_FALSE(none.Upload(config_, prompts_));
  EXPECT_EQ(prompts_.Texts(), QStringList{NoInterfaceText()});
  prompts_.Clear();
  ExternalCommand missing(bin_.path(), "no-such-program", temp_.path());
  EXPECT_FALSE(missing.Download(config_, prompts_));
  EXPECT_EQ(prompts_.records().size(), 1u);
}

}  // namespace
}  // namespace zizara::core::link
