#include <gtest/gtest.h>

#include "support/link_fixture.h"

// Identification and transfers on lines that answer late or damage what they carry.

namespace zizara::core::link {
namespace {

using testing::LinkFixture;

TEST(NoisyLineTest, DamagedRepliesNeverPassForBiosMode) {
  // One percent of the instrument's bytes damaged, over fixed seeds: a block read of 128
  // bytes then fails about three times in four.
  int found = 0;
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    sim::QlxOptions o;
    o.corrupt = 0.01;
    o.seed = seed;
    LinkFixture f(o);
    const bool ok = f.engine.GetInstrumentID();
    EXPECT_FALSE(f.record.bios_mode) << "seed " << seed;
    EXPECT_FALSE(f.state.bios_mode) << "seed " << seed;
    found += ok ? 1 : 0;
    EXPECT_EQ(f.record.no_reliable_answer, !ok) << "seed " << seed;
  }
  EXPECT_GT(found, 25);  // the retries carry most identifications through
}

TEST(NoisyLineTest, BadCheckBytesOnEveryReadAreALineProblem) {
  LinkFixture f;
  // Every block arrives with a damaged first byte, so its check byte never matches.
  f.transport.on_read = [](QByteArray& bytes) {
    if (bytes.size() > 1) bytes[0] = static_cast<char>(bytes[0] ^ 0x01);
  };
  EXPECT_FALSE(f.engine.GetInstrumentID());
  EXPECT_FALSE(f.record.bios_mode);
  EXPECT_TRUE(f.record.no_reliable_answer);
  EXPECT_TRUE(f.record.serial_text.isEmpty());
  EXPECT_EQ(f.prompts.Texts(), QStringList{"No reliable answer from the QLX on simulator"});
}

TEST(NoisyLineTest, OneAcknowledgeMisreadAsARefusalIsNoBiosMode) {
  LinkFixture f;
  // One bit turns the acknowledge (0x05) of the first address command into a refusal (0x15).
  int acknowledges = 0;
  f.transport.on_read = [&](QByteArray& bytes) {
    if (bytes.size() == 1 && bytes[0] == 0x05 && ++acknowledges == 2) bytes[0] = 0x15;
  };
  ASSERT_TRUE(f.engine.GetInstrumentID());
  EXPECT_FALSE(f.record.bios_mode);
  EXPECT_EQ(f.record.serial_text, "12345");
}

TEST(NoisyLineTest, RefusalsOnEveryAttemptAreBiosMode) {
  sim::QlxOptions o;
  o.bios = true;
  LinkFixture f(o);
  ASSERT_TRUE(f.engine.GetInstrumentID());
  EXPECT_TRUE(f.record.bios_mode);
  EXPECT_FALSE(f.record.no_reliable_answer);
}

TEST(SlowLineTest, AnswersSixtyMillisecondsLateStillIdentifyUploadAndDownload) {
  // A USB serial adapter alone can add this much before the first byte of every answer.
  sim::QlxOptions o;
  o.latency_ms = 60;
  LinkFixture f(o);
  const ConnectOutcome connected = f.identification.Connect(false, false);
  ASSERT_EQ(connected.result, ConnectResult::kConnected);
  EXPECT_TRUE(f.record.remote_capable);
  EXPECT_EQ(f.record.serial_text, "12345");

  ASSERT_EQ(f.transfers.UploadSerial(), TransferOutcome::kDone);
  EXPECT_EQ(f.config.image, f.instrument.Image());

  for (int i = 0; i < 16384; ++i) f.config.image.SetByte(i, static_cast<std::uint8_t>(i * 7));
  const TransferOutcome out = f.transfers.DownloadSerial();
  ASSERT_EQ(out, TransferOutcome::kDone);
  EXPECT_EQ(f.instrument.Image(), f.config.image);
  EXPECT_FALSE(f.prompts.Texts().contains("RS232 Timeout"));
}

}  // namespace
}  // namespace zizara::core::link
