#include <gtest/gtest.h>

#include "core/link/wait.h"
#include "support/link_fixture.h"

namespace zizara::core::link {
namespace {

using testing::Bytes;
using testing::LinkFixture;

TEST(ProtocolTest, CheckBytesAndAddresses) {
  std::array<std::uint8_t, 128> zeros{};
  std::array<std::uint8_t, 128> ones{};
  ones.fill(0xFF);
  EXPECT_EQ(CheckByte(zeros.data(), 128), 0xFF);
  EXPECT_EQ(CheckByte(ones.data(), 128), 0x7F);
  EXPECT_EQ(AddressBytes(0x1C000), (std::array<std::uint8_t, 3>{0x00, 0x00, 0x07}));
  EXPECT_EQ(AddressBytes(0x01F80), (std::array<std::uint8_t, 3>{0x80, 0x1F, 0x00}));
  EXPECT_EQ(AddressBytes(0x3FFFFF), (std::array<std::uint8_t, 3>{0xFF, 0x3F, 0xFF}));
}

TEST(PrimitivesTest, SetAddressSendsBreakOnlyWhenTheLinkIsNotOk) {
  LinkFixture f;
  ASSERT_TRUE(f.link.WriteBDMAaddr(0x1C000));
  EXPECT_EQ(f.transport.Sent(), Bytes({0xA6, 0x6D, 0x00, 0x00, 0x00, 0x07}));
  EXPECT_TRUE(f.state.link_ok);
  f.transport.writes.clear();
  ASSERT_TRUE(f.link.WriteBDMAaddr(0x01F80));
  EXPECT_EQ(f.transport.Sent(), Bytes({0x00, 0x80, 0x1F, 0x00}));  // no break this time
}

TEST(PrimitivesTest, ReadBlockSendsCountAndChecksTheData) {
  LinkFixture f;
  std::array<std::uint8_t, 128> block{};
  ASSERT_TRUE(f.link.WriteBDMAaddr(0x1C000));
  f.transport.writes.clear();
  ASSERT_TRUE(f.link.ReadBDMA(Command::kReadBlock, 128, block.data()));
  EXPECT_EQ(f.transport.Sent(), Bytes({0x11, 0x80}));
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(block.data()), 128),
            f.instrument.ReadMemory(0x1C000, 128));
}

TEST(PrimitivesTest, WriteBlockSendsCountMinusOneAndCheckByte) {
  LinkFixture f;
  f.strict.Allow("protect-unread");  // the test unlocks by hand
  std::array<std::uint8_t, 128> data{};
  data.fill(0xFF);
  ASSERT_TRUE(f.link.WriteBDMAaddr(0x1C000));
  ASSERT_TRUE(f.link.ToggleProtectFlag());
  f.transport.writes.clear();
  ASSERT_TRUE(f.link.WriteBDMA(128, data.data()));
  const QByteArray sent = f.transport.Sent();
  ASSERT_EQ(sent.size(), 1 + 1 + 128 + 1);
  EXPECT_EQ(sent.left(2), Bytes({0x01, 0x7F}));
  EXPECT_EQ(static_cast<std::uint8_t>(sent.back()), 0x7F);
  EXPECT_EQ(f.instrument.ReadMemory(0x1C000, 128), QByteArray(128, '\xFF'));
}

TEST(PrimitivesTest, RefusedCommandClearsLinkOkSoTheNextOneBreaksAgain) {
  LinkFixture f;
  std::array<std::uint8_t, 128> data{};
  ASSERT_TRUE(f.link.WriteBDMAaddr(0x1C000));
  EXPECT_FALSE(f.link.WriteBDMA(128, data.data()));  // write-protect flag still 0: refused
  EXPECT_FALSE(f.state.link_ok);
  EXPECT_TRUE(f.prompts.records().empty());  // a refusal is not a time-out
  f.transport.writes.clear();
  ASSERT_TRUE(f.link.WriteBDMAaddr(0x1C000));
  EXPECT_EQ(f.transport.Sent().left(2), Bytes({0xA6, 0x6D}));
}

TEST(PrimitivesTest, ProtectFlagReadAndToggle) {
  LinkFixture f;
  std::uint8_t flag = 9;
  ASSERT_TRUE(f.link.ReadProtectFlag(&flag));
  EXPECT_EQ(flag, 0);
  ASSERT_TRUE(f.link.SendBreak());
  ASSERT_TRUE(f.link.ToggleProtectFlag());
  ASSERT_TRUE(f.link.ReadProtectFlag(&flag));
  EXPECT_EQ(flag, 1);
}

TEST(PrimitivesTest, KeyPressAndRestart) {
  LinkFixture f;
  f.transport.writes.clear();
  ASSERT_TRUE(f.link.PressKey(0x21));
  EXPECT_EQ(f.transport.Sent(), Bytes({0xA6, 0x6D, 0x0F, 0x21}));
  EXPECT_EQ(f.instrument.stats().keys, std::vector<int>{0x21});
  f.transport.writes.clear();
  f.strict.Allow("restart-zero");  // the bare primitive, as the /I switch sends it
  ASSERT_TRUE(f.link.RestartQLX());
  EXPECT_EQ(f.transport.Sent(), Bytes({0xA6, 0x6D, 0x0E}));  // always a fresh break
  EXPECT_EQ(f.instrument.stats().restarts, 1);
}

TEST(PrimitivesTest, MissingReplyTimesOutOnceWithTheStickyFlag) {
  LinkFixture f;
  ASSERT_TRUE(f.link.SendBreak());
  QObject::disconnect(&f.instrument, nullptr, &f.memory_transport, nullptr);  // falls silent
  std::uint8_t reply = 0;
  EXPECT_FALSE(f.link.SendByte(true, 0x00, &reply));
  EXPECT_EQ(reply, kTimeoutFiller);
  EXPECT_TRUE(f.state.timed_out);
  EXPECT_EQ(f.prompts.Texts(), QStringList{"RS232 Timeout"});
  f.state.timed_out = false;
  f.state.link_ok = false;
  EXPECT_FALSE(f.link.SendBreak());  // six silent attempts, no message of its own
  EXPECT_EQ(f.transport.Sent().count(Bytes({0xA6, 0x6D})), 6 + 1);
}

TEST(PrimitivesTest, BiosModeTimeOutsAreSilent) {
  sim::QlxOptions options;
  options.bios = true;
  LinkFixture f(options);
  f.state.bios_mode = true;
  std::array<std::uint8_t, 128> block{};
  ASSERT_TRUE(f.link.WriteBDMAaddr(0x1C100));
  EXPECT_FALSE(f.link.ReadBDMA(Command::kReadBlock, 128, block.data()));
  std::uint8_t reply = 0;
  QObject::disconnect(&f.instrument, nullptr, &f.memory_transport, nullptr);
  f.strict.Allow("fresh-break");  // a raw byte, not a primitive
  EXPECT_FALSE(f.link.SendByte(true, 0x00, &reply));
  EXPECT_TRUE(f.prompts.records().empty());
  EXPECT_FALSE(f.state.timed_out);
}

TEST(LineReceiverTest, JoinsSplitLinesAndKeepsInnerLineBreaks) {
  testing::FakeTransport t;
  LinkState state;
  ui_port::ScriptedPrompts prompts;
  InstrumentLink link(t, state, prompts);
  link.OpenLink(nullptr);
  QList<QByteArray> lines;
  QObject::connect(&link, &InstrumentLink::LineReceived,
                   [&lines](const QByteArray& l) { lines << l; });
  t.Push(".AA1");
  EXPECT_TRUE(lines.isEmpty());
  t.Push("2,3\r");
  EXPECT_TRUE(lines.isEmpty());
  t.Push("\n");
  EXPECT_EQ(lines, QList<QByteArray>{".AA12,3"});
  EXPECT_TRUE(state.line_received);
  t.Push(".AA5,7\r\n.U\r\n");
  EXPECT_EQ(lines.back(), QByteArray(".AA5,7\r\n.U"));
  EXPECT_TRUE(state.line_buffer.isEmpty());
}

TEST(LineReceiverTest, TextWithoutALineEndIsCappedAndReportedOnce) {
  testing::FakeTransport t;
  LinkState state;
  ui_port::ScriptedPrompts prompts;
  InstrumentLink link(t, state, prompts);
  link.OpenLink(nullptr);
  QList<QByteArray> lines;
  QList<qint64> dropped;
  QObject::connect(&link, &InstrumentLink::LineReceived,
                   [&lines](const QByteArray& l) { lines << l; });
  QObject::connect(&link, &InstrumentLink::InvalidCharacters,
                   [&dropped](qint64 n) { dropped << n; });
  const QByteArray start = ".AA1,1" + QByteArray(kMaxLineLength - 7, 'x');
  t.Push(start);  // one byte short of the cap
  EXPECT_TRUE(dropped.isEmpty());
  t.Push("yz");
  EXPECT_EQ(state.line_buffer.size(), kMaxLineLength);
  EXPECT_EQ(state.line_buffer, start + "y");
  EXPECT_EQ(dropped, QList<qint64>{1});
  t.Push(QByteArray(100000, 'n'));  // still the same line: dropped, not reported again
  EXPECT_EQ(state.line_buffer.size(), kMaxLineLength);
  EXPECT_EQ(dropped.size(), 1);
  EXPECT_TRUE(lines.isEmpty());
  // A line end split over two events still ends the line.
  t.Push(QByteArray(10, 'n') + "\r");
  t.Push("\n");
  ASSERT_EQ(lines.size(), 1);
  EXPECT_EQ(lines[0], start + "y");
  EXPECT_TRUE(state.line_buffer.isEmpty());
  // The next long line is reported again.
  t.Push(QByteArray(kMaxLineLength + 5, 'q') + "\r\n");
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[1], QByteArray(kMaxLineLength, 'q'));
  EXPECT_EQ(dropped, (QList<qint64>{1, 5}));
}

TEST(LineReceiverTest, HandshakeKeepsLinesForTheCaller) {
  LinkFixture f;
  QList<QByteArray> lines;
  QObject::connect(&f.link, &InstrumentLink::LineReceived,
                   [&lines](const QByteArray& l) { lines << l; });
  f.state.handshake_active = true;
  f.link.SendText("\r.LP9,-\r");
  f.link.WaitForLine(100);
  EXPECT_TRUE(lines.isEmpty());
  EXPECT_EQ(f.state.line_buffer, QByteArray(".AP9,1"));
  EXPECT_FALSE(f.state.line_received);  // the wait consumed it
}

TEST(LineReceiverTest, BusyLeavesBytesForTheByteLayer) {
  LinkFixture f;
  f.state.busy = true;
  f.link.SendText("\r.LP9,-\r");
  WaitUntil([&] { return f.transport.BytesAvailable() >= 8; }, 1000);
  Pause(5);
  EXPECT_TRUE(f.state.line_buffer.isEmpty());
  EXPECT_TRUE(f.state.received);
  EXPECT_EQ(f.transport.BytesAvailable(), 8);
}

TEST(DownloadModeTest, HandshakeEntersDownloadMode) {
  LinkFixture f;
  EXPECT_TRUE(f.link.EnterDownloadMode(true));
  EXPECT_TRUE(f.instrument.DownloadMode());
  EXPECT_FALSE(f.state.handshake_active);
  EXPECT_TRUE(f.transport.Sent().contains("\r.SP15,20\r\r.SP15,21\r"));
}

TEST(DownloadModeTest, OnlyForRemoteCapableOutsideBiosMode) {
  LinkFixture f;
  EXPECT_FALSE(f.link.EnterDownloadMode(false));
  f.state.bios_mode = true;
  EXPECT_FALSE(f.link.EnterDownloadMode(true));
  EXPECT_TRUE(f.transport.writes.isEmpty());
  EXPECT_FALSE(f.instrument.DownloadMode());
}

TEST(DownloadModeTest, CommandLineSendsThePhaseTwoLineOnce) {
  LinkFixture f;
  f.state.command_line = true;
  EXPECT_FALSE(f.link.EnterDownloadMode(true));  // does not wait for the answer
  EXPECT_EQ(f.transport.Sent().count(".SP15,21"), 1);
}

}  // namespace
}  // namespace zizara::core::link
