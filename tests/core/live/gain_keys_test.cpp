#include <gtest/gtest.h>

#include "core/live/gain.h"
#include "core/live/keypad.h"
#include "support/link_fixture.h"

namespace zizara::core::live {
namespace {

using testing::LinkFixture;

TEST(GainValueTest, ParsesCommaOrPointAndRefusesTheRest) {
  EXPECT_EQ(ParseGainText("-3,5"), -3.5);
  EXPECT_EQ(ParseGainText(" 2.5 "), 2.5);
  EXPECT_EQ(ParseGainText("0"), 0.0);
  EXPECT_FALSE(ParseGainText("abc"));
  EXPECT_FALSE(ParseGainText(""));
  EXPECT_FALSE(ParseGainText("1,2,3"));
}

TEST(GainValueTest, ClampsAndSendsWholeTenths) {
  EXPECT_EQ(GainTenths(25), 210);
  EXPECT_EQ(GainTenths(-30), -210);
  EXPECT_EQ(GainTenths(-3.5), -35);
  EXPECT_EQ(GainTenths(0.7), 7);  // 0.7 * 10 is 7.000000000000001 in binary
  EXPECT_EQ(GainTenths(2.55), 26);
  EXPECT_EQ(SetGainCommand(12, -35), QByteArray(".SG12,-35\r"));
}

TEST(GainValueTest, SpinStepsByATenthWithTheCommaRule) {
  EXPECT_EQ(StepGainText("20,95", +1), QStringLiteral("21,0"));
  EXPECT_EQ(StepGainText("21", +1), QStringLiteral("21,0"));
  EXPECT_EQ(StepGainText("-21,0", -1), QStringLiteral("-21,0"));
  EXPECT_EQ(StepGainText("0,2", +1), QStringLiteral("0,3"));
  EXPECT_EQ(StepGainText("0,1", -1), QStringLiteral("0,0"));
  EXPECT_EQ(StepGainText("-0,1", +1), QStringLiteral("0,0"));
  EXPECT_EQ(StepGainText("3", -1), QStringLiteral("2,9"));
  EXPECT_FALSE(StepGainText("x", +1));
}

TEST(GainValueTest, RepliesAndDecimals) {
  EXPECT_EQ(GainTenthsFromReply(".AG3,-15"), -15);
  EXPECT_EQ(GainTenthsFromReply(".AG3,210"), 210);
  EXPECT_FALSE(GainTenthsFromReply(".NG3,-"));
  EXPECT_EQ(TenthsAsDecimal(-15), QStringLiteral("-1.5"));
  EXPECT_EQ(TenthsAsDecimal(-5), QStringLiteral("-0.5"));
  EXPECT_EQ(TenthsAsDecimal(30), QStringLiteral("3.0"));
}

QList<QByteArray> GainCommands(const testing::RecordingTransport& t) {
  QList<QByteArray> commands;
  for (const QByteArray& w : t.writes) {
    if (w.startsWith(".SG")) commands << w;
  }
  return commands;
}

TEST(GainSendTest, OutputsGoInAscendingOrderAndTheInstrumentStoresThem) {
  LinkFixture f;
  const auto results = SendGain(f.link, {7, 3}, GainTenths(*ParseGainText("25")));
  EXPECT_EQ(GainCommands(f.transport), (QList<QByteArray>{".SG3,210\r", ".SG7,210\r"}));
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].output, 3);
  EXPECT_EQ(results[0].attempts, 1);
  EXPECT_EQ(results[0].reply, QByteArray(".AG3,210"));
  EXPECT_EQ(results[1].reply, QByteArray(".AG7,210"));
  EXPECT_EQ(f.instrument.Gain(3), 210);
  EXPECT_EQ(f.instrument.Gain(7), 210);
  EXPECT_FALSE(f.state.busy);
  EXPECT_EQ(ReadGainTenths(f.link, 7), 210);
}

TEST(GainSendTest, ALostReplyIsSentAgain) {
  LinkFixture f;
  bool lost = false;
  f.transport.on_read = [&lost](QByteArray& bytes) {
    if (!lost && !bytes.isEmpty()) {
      lost = true;
      bytes.clear();
    }
  };
  const auto results = SendGain(f.link, {5}, -35);
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].attempts, 2);
  EXPECT_EQ(results[0].reply, QByteArray(".AG5,-35"));
  EXPECT_EQ(GainCommands(f.transport).size(), 2);
}

TEST(GainSendTest, SilenceGivesFiveAttemptsThenTheNextOutput) {
  sim::QlxOptions options;
  options.no_dot = true;
  LinkFixture f(options);
  const auto results = SendGain(f.link, {2}, 10);
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].attempts, kGainAttempts);
  EXPECT_TRUE(results[0].reply.isEmpty());
  EXPECT_EQ(GainCommands(f.transport).size(), kGainAttempts);
}

TEST(KeypadTest, PausesAndRange) {
  EXPECT_EQ(KeyPauseMs(1), 2000);
  EXPECT_EQ(KeyPauseMs(4), 2000);
  EXPECT_EQ(KeyPauseMs(5), 1000);
  EXPECT_EQ(KeyPauseMs(8), 1000);
  LinkFixture f;
  EXPECT_FALSE(PressFrontKey(f.link, 0));
  EXPECT_FALSE(PressFrontKey(f.link, 9));
  EXPECT_TRUE(f.transport.writes.isEmpty());
}

TEST(KeypadTest, AKeyPressIsSentWithBreakCommandAndCode) {
  LinkFixture f;
  ASSERT_TRUE(PressFrontKey(f.link, 3));
  EXPECT_EQ(f.transport.Sent(), testing::Bytes({0xA6, 0x6D, 0x0F, 0x03}));
  EXPECT_EQ(f.instrument.stats().keys, std::vector<int>{3});
}

TEST(KeypadTest, ARefusedKeyIsTriedOnceMore) {
  LinkFixture f;
  int spoiled = 0;
  // The acknowledge of the key code comes back wrong, once or always.
  const auto spoil = [&f, &spoiled](int times) {
    f.transport.on_read = [&f, &spoiled, times](QByteArray& bytes) {
      if (spoiled < times && !bytes.isEmpty() && f.transport.writes.last() == QByteArray("\x06")) {
        bytes[0] = '\x15';
        ++spoiled;
      }
    };
  };
  spoil(1);
  ASSERT_TRUE(PressFrontKey(f.link, 6));
  EXPECT_EQ(spoiled, 1);
  EXPECT_EQ(f.transport.Sent().count('\x0F'), 2);
  EXPECT_EQ(f.instrument.stats().keys, (std::vector<int>{6, 6}));

  f.transport.writes.clear();
  spoiled = 0;
  spoil(100);
  EXPECT_FALSE(PressFrontKey(f.link, 6));
  EXPECT_EQ(spoiled, 2);  // the first press and its one retry
  EXPECT_EQ(f.transport.Sent().count('\x0F'), 2);
}

}  // namespace
}  // namespace zizara::core::live
