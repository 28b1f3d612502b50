#include "core/scale/scale_download.h"

#include <gtest/gtest.h>

#include "support/link_fixture.h"

namespace zizara::core::scale {
namespace {

using testing::LinkFixture;

ScaleImage SampleImage() {
  ScaleRecord r;
  r.SetShortName("PPM");
  r.SetReference(18.0);
  r.SetLineStyle(0, 1);
  r.SetLineLabel(0, "0");
  r.SetLineStyle(1, 3);
  r.SetLineLevel(1, -20);
  return BuildScaleImage(r);
}

TEST(ScaleDownloadTest, ImageLandsAtTheKeyAddressHighByteFirst) {
  LinkFixture f;
  ASSERT_EQ(f.identification.Connect(false, false).result, link::ConnectResult::kConnected);
  const ScaleImage image = SampleImage();
  const config::ConfigurationImage before = f.instrument.Image();
  f.transport.writes.clear();
  EXPECT_EQ(DownloadScaleImage(f.engine, image, 2), ScaleDownloadOutcome::kDone);
  // Key 3 lives at 0x1C700, offset 0x700 of the configuration.
  const QByteArray written = f.instrument.ReadMemory(0x1C700, 256);
  EXPECT_EQ(written, ImageBytes(image));
  EXPECT_EQ(static_cast<std::uint8_t>(written[0]), image[0] >> 8);
  EXPECT_EQ(static_cast<std::uint8_t>(written[1]), image[0] & 0xFF);
  EXPECT_EQ(written.mid(2 * 8, 2), QByteArray("\xD2\xF2"));
  // Nothing else in the configuration changed.
  config::ConfigurationImage expected = before;
  const QByteArray bytes = ImageBytes(image);
  for (int i = 0; i < 256; ++i) {
    expected.bytes()[static_cast<std::size_t>(0x700 + i)] = static_cast<std::uint8_t>(bytes[i]);
  }
  EXPECT_EQ(f.instrument.Image(), expected);
  EXPECT_TRUE(f.instrument.DownloadMode());  // the handshake ran first
  EXPECT_EQ(f.engine_state.kind, link::TransferKind::kIdle);
  EXPECT_EQ(f.progress.positions.back(), 256);
  EXPECT_GE(f.progress.hidden, 1);
  // The two blocks were addressed at 0x1C700 and 0x1C780: 00 07 07 and 80 07 07 on the wire.
  const QByteArray sent = f.transport.Sent();
  EXPECT_TRUE(sent.contains(testing::Bytes({0x00, 0x07, 0x07})));
  EXPECT_TRUE(sent.contains(testing::Bytes({0x80, 0x07, 0x07})));
}

TEST(ScaleDownloadTest, EveryKeyHasItsAddress) {
  const std::uint32_t addresses[] = {0x1C500, 0x1C600, 0x1C700, 0x1C800, 0x1C900,
                                     0x1CA00, 0x1CB00, 0x1CC00, 0x1DA00, 0x1DB00};
  LinkFixture f;
  f.identification.Connect(false, false);
  const ScaleImage image = SampleImage();
  for (int key = 0; key < 10; ++key) {
    ASSERT_EQ(DownloadScaleImage(f.engine, image, key), ScaleDownloadOutcome::kDone);
    EXPECT_EQ(f.instrument.ReadMemory(addresses[key], 256), ImageBytes(image)) << key;
  }
}

TEST(ScaleDownloadTest, NoAddressOrNoInstrumentWritesNothing) {
  LinkFixture f;
  f.identification.Connect(false, false);
  const qint64 blocks = f.instrument.stats().blocks_written;
  EXPECT_EQ(DownloadScaleImage(f.engine, SampleImage(), 10), ScaleDownloadOutcome::kNoAddress);
  EXPECT_EQ(DownloadScaleImage(f.engine, SampleImage(), 255), ScaleDownloadOutcome::kNoAddress);
  f.link.CloseLink();  // nobody answers now
  EXPECT_EQ(DownloadScaleImage(f.engine, SampleImage(), 0), ScaleDownloadOutcome::kNoInstrument);
  EXPECT_EQ(f.instrument.stats().blocks_written, blocks);
}

TEST(ScaleDownloadTest, BiosModeSkipsIdentificationAndStillWrites) {
  sim::QlxOptions o;
  o.bios = true;
  LinkFixture f(o);
  f.identification.Connect(false, false);
  ASSERT_TRUE(f.record.bios_mode);
  const ScaleImage image = SampleImage();
  EXPECT_EQ(DownloadScaleImage(f.engine, image, 7), ScaleDownloadOutcome::kDone);
  EXPECT_EQ(f.instrument.ReadMemory(0x1CC00, 256), ImageBytes(image));
}

}  // namespace
}  // namespace zizara::core::scale
