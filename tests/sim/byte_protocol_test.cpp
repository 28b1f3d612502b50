#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "sim/qlx_instrument.h"
#include "sim/sim_test_util.h"

namespace zizara::sim {
namespace {

using testing::Bench;
using testing::Bytes;
using testing::WaitFor;

const QByteArray kAck = Bytes({0x05});
const QByteArray kRefuse = Bytes({0x15});

std::uint8_t SumOf(const QByteArray& data) {
  std::uint8_t sum = 0;
  for (char c : data) {
    sum = static_cast<std::uint8_t>(sum + static_cast<std::uint8_t>(c));
  }
  return sum;
}

QByteArray WithCheck(const QByteArray& data) {
  return data + QByteArray(1, static_cast<char>(static_cast<std::uint8_t>(~SumOf(data))));
}

TEST(ByteProtocolTest, BreakIsAcknowledgedAndDropsAPartialLine) {
  Bench bench;
  EXPECT_EQ(bench.Exchange(".LP9"), QByteArray());
  EXPECT_EQ(bench.Exchange(Bytes({0xA6, 0x6D})), kAck);
  EXPECT_TRUE(bench.instrument.InBinaryMode());
  // The dropped ".LP9" must not come back joined to the next line.
  EXPECT_EQ(bench.Exchange(",-\r"), QByteArray());
  EXPECT_EQ(bench.Line(".LP9,-"), ".AP9,1\r\n");
}

TEST(ByteProtocolTest, BreakBytesArrivingSeparatelyStillBreak) {
  Bench bench;
  EXPECT_EQ(bench.Exchange(Bytes({0xA6})), QByteArray());
  EXPECT_EQ(bench.Exchange(Bytes({0x6D})), kAck);
  // A lone 0xA6 is not printable and leaves the next byte to be read on its own.
  EXPECT_EQ(bench.Exchange(Bytes({0xA6}) + ".LP9,-\r"), ".AP9,1\r\n");
}

TEST(ByteProtocolTest, ReadsTheConfigurationBlockAtAddress0x1C000) {
  Bench bench;
  EXPECT_EQ(bench.Exchange(Bytes({0xA6, 0x6D})), kAck);
  EXPECT_EQ(bench.Exchange(Bytes({0x00})), kAck);
  EXPECT_EQ(bench.Exchange(Bytes({0x00, 0x00, 0x07})), kAck);
  EXPECT_EQ(bench.Exchange(Bytes({0x11})), kAck);
  const QByteArray reply = bench.Exchange(Bytes({0x80}));
  ASSERT_EQ(reply.size(), 129);
  EXPECT_EQ(reply.left(128), bench.instrument.ReadMemory(0x1C000, 128));
  EXPECT_EQ(
      static_cast<std::uint8_t>(SumOf(reply.left(128)) + static_cast<std::uint8_t>(reply[128])),
      0xFF);
  // Image offset 2 holds the serial number 12345 = 0x3039, high byte first.
  EXPECT_EQ(reply.mid(2, 2), Bytes({0x30, 0x39}));
  EXPECT_EQ(bench.instrument.stats().blocks_read, 1);
}

TEST(ByteProtocolTest, ReadsTheSerialWordAndACountOfZeroMeans256) {
  Bench bench;
  EXPECT_EQ(bench.ReadBlock(Bytes({0x80, 0x1F, 0x00}), 0x02), WithCheck(Bytes({0x30, 0x39})));
  const QByteArray block = bench.ReadBlock(Bytes({0x00, 0x00, 0x00}), 0x00);
  ASSERT_EQ(block.size(), 257);
  EXPECT_EQ(block.left(256), bench.instrument.ReadMemory(0, 256));
}

TEST(ByteProtocolTest, AddressWithBitsSixOrSevenOfTheMiddleByteIsRefused) {
  Bench bench;
  bench.Exchange(Bytes({0xA6, 0x6D}));
  EXPECT_EQ(bench.Exchange(Bytes({0x00, 0x00, 0x00, 0x07})), kAck + kAck);
  EXPECT_EQ(bench.Exchange(Bytes({0x00, 0x00, 0x40, 0x00})), kAck + kRefuse);
  EXPECT_EQ(bench.Exchange(Bytes({0x00, 0x00, 0x80, 0x00})), kAck + kRefuse);
  // The refused address leaves the old one in place.
  EXPECT_EQ(bench.Exchange(Bytes({0x11, 0x01})).mid(1, 1), bench.instrument.ReadMemory(0x1C000, 1));
}

TEST(ByteProtocolTest, WriteBlockNeedsTheWriteProtectFlagAndAGoodCheckByte) {
  Bench bench;
  const QByteArray data(128, '\x5A');
  bench.Exchange(Bytes({0xA6, 0x6D}));
  bench.Exchange(Bytes({0x00, 0x00, 0x00, 0x07}));
  const QByteArray before = bench.instrument.ReadMemory(0x1C000, 128);

  EXPECT_EQ(bench.Exchange(Bytes({0x1A})), Bytes({0x00}));
  EXPECT_EQ(bench.Exchange(Bytes({0x01})), kAck);
  EXPECT_EQ(bench.Exchange(Bytes({0x7F}) + WithCheck(data)), kRefuse);
  EXPECT_EQ(bench.instrument.ReadMemory(0x1C000, 128), before);

  EXPECT_EQ(bench.Exchange(Bytes({0x0A})), kAck);
  EXPECT_EQ(bench.Exchange(Bytes({0x1A})), Bytes({0x01}));
  QByteArray bad = WithCheck(data);
  bad[128] = static_cast<char>(bad[128] ^ 1);
  EXPECT_EQ(bench.Exchange(Bytes({0x01, 0x7F}) + bad), kAck + kRefuse);
  EXPECT_EQ(bench.instrument.ReadMemory(0x1C000, 128), before);

  EXPECT_EQ(bench.Exchange(Bytes({0x01, 0x7F}) + WithCheck(data)), kAck + kAck);
  EXPECT_EQ(bench.instrument.ReadMemory(0x1C000, 128), data);
  EXPECT_EQ(bench.instrument.stats().blocks_written, 1);
  // Toggling again protects once more.
  EXPECT_EQ(bench.Exchange(Bytes({0x0A, 0x1A})), kAck + Bytes({0x00}));
}

TEST(ByteProtocolTest, BlockDataMayHoldTheBreakBytes) {
  Bench bench;
  QByteArray data(128, '\0');
  data[10] = static_cast<char>(0xA6);
  data[11] = static_cast<char>(0x6D);
  data[127] = static_cast<char>(0xA6);
  bench.Exchange(Bytes({0xA6, 0x6D, 0x00, 0x00, 0x00, 0x07, 0x0A}));
  EXPECT_EQ(bench.Exchange(Bytes({0x01, 0x7F}) + WithCheck(data)), kAck + kAck);
  EXPECT_EQ(bench.instrument.ReadMemory(0x1C000, 128), data);
}

TEST(ByteProtocolTest, WriteProtectQueryWorksInTextModeAndEntersBinaryMode) {
  Bench bench;
  EXPECT_FALSE(bench.instrument.InBinaryMode());
  // LF in text mode ends a line; it is no toggle.
  EXPECT_EQ(bench.Exchange(Bytes({0x0A})), QByteArray());
  EXPECT_EQ(bench.Exchange(Bytes({0x1A})), Bytes({0x00}));
  EXPECT_TRUE(bench.instrument.InBinaryMode());
  EXPECT_EQ(bench.Exchange(Bytes({0x0A})), kAck);
  EXPECT_TRUE(bench.instrument.WriteProtectFlag());
}

TEST(ByteProtocolTest, CommandBytesInTextModeOnlyCountOutsideALine) {
  Bench bench;
  EXPECT_EQ(bench.Exchange(Bytes({0x11, 0x02})).size(), 1 + 3);
  bench.Exchange("\r");  // back to text mode
  EXPECT_FALSE(bench.instrument.InBinaryMode());
  EXPECT_EQ(bench.Exchange(".LP9" + Bytes({0x11}) + ",-\r"), ".AP9,1\r\n");
}

TEST(ByteProtocolTest, OtherBytesLeaveBinaryModeAsText) {
  Bench bench;
  bench.Exchange(Bytes({0xA6, 0x6D}));
  EXPECT_EQ(bench.Exchange(".LP9,-\r"), ".AP9,1\r\n");
  EXPECT_FALSE(bench.instrument.InBinaryMode());
}

TEST(ByteProtocolTest, KeyPressIsAcknowledgedTwiceAndLogged) {
  Bench bench;
  EXPECT_EQ(bench.Exchange(Bytes({0xA6, 0x6D, 0x0F})), kAck + kAck);
  EXPECT_EQ(bench.Exchange(Bytes({0x05})), kAck);
  EXPECT_EQ(bench.instrument.stats().keys, std::vector<int>{5});
  EXPECT_TRUE(bench.instrument.EventLog().back().contains("\"key\":5"));
}

TEST(ByteProtocolTest, BiosModeRefusesReadsOnlyAndAnswersNoText) {
  QlxOptions options;
  options.bios = true;
  Bench bench(options);
  EXPECT_EQ(bench.Exchange(Bytes({0xA6, 0x6D, 0x00, 0x00, 0x01, 0x07})), kAck + kAck + kAck);
  EXPECT_EQ(bench.Exchange(Bytes({0x11})), kRefuse);
  // The refusal consumed nothing more: the next byte is a command again.
  EXPECT_EQ(bench.Exchange(Bytes({0x0A})), kAck);
  const QByteArray data(128, '\x11');
  EXPECT_EQ(bench.Exchange(Bytes({0x01, 0x7F}) + WithCheck(data)), kAck + kAck);
  EXPECT_EQ(bench.instrument.ReadMemory(0x1C100, 128), data);
  EXPECT_EQ(bench.Line("\r.LI1,-"), QByteArray());
}

TEST(ByteProtocolTest, RestartResetsStateAndAnnouncesPowerUpAfterBooting) {
  QlxOptions options;
  options.boot_ms = 20;
  Bench bench(options);
  EXPECT_EQ(bench.Line(".SP9,4"), ".AP9,4\r\n");
  EXPECT_EQ(bench.Line(".SP15,21"), ".AP15,20.AP15,21\r\n");
  bench.Exchange(Bytes({0xA6, 0x6D, 0x0A}));
  ASSERT_TRUE(bench.instrument.WriteProtectFlag());

  EXPECT_EQ(bench.Exchange(Bytes({0x0E})), kAck);
  EXPECT_FALSE(bench.instrument.InBinaryMode());
  EXPECT_FALSE(bench.instrument.WriteProtectFlag());
  EXPECT_FALSE(bench.instrument.DownloadMode());
  EXPECT_EQ(bench.instrument.CurrentPreset(), 1);
  EXPECT_EQ(bench.instrument.stats().restarts, 1);
  EXPECT_EQ(bench.line.BytesAvailable(), 0);

  ASSERT_TRUE(WaitFor([&] { return bench.line.BytesAvailable() >= 4; }));
  EXPECT_EQ(bench.line.Read(100), ".P\r\n");
  EXPECT_EQ(bench.Exchange(Bytes({0x1A})), Bytes({0x00}));
}

TEST(ByteProtocolTest, AbandonedBlockWriteLetsABreakThroughAfterAPause) {
  QlxOptions options;
  options.payload_timeout_ms = 250;
  Bench bench(options);
  bench.Exchange(Bytes({0xA6, 0x6D, 0x01, 0x7F, 0x01, 0x02}));
  // Straight away the break bytes are still block data.
  EXPECT_EQ(bench.Exchange(Bytes({0xA6, 0x6D})), QByteArray());
  QElapsedTimer pause;
  pause.start();
  ASSERT_TRUE(WaitFor([&] { return pause.elapsed() > 300; }));
  EXPECT_EQ(bench.Exchange(Bytes({0xA6, 0x6D})), kAck);
}

}  // namespace
}  // namespace zizara::sim
