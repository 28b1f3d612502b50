#include "core/remote/remote_session.h"

#include <gtest/gtest.h>

#include "core/link/wait.h"
#include "core/remote/dot_messages.h"
#include "core/remote/remote_test_support.h"
#include "support/link_fixture.h"

namespace zizara::core::remote {
namespace {

using testing::LinkFixture;
using testing::RecordingListener;

// The program's wiring: lines the receiver hands on go to the interpreter, and a preset report
// starts the X-point reading.
struct SessionFixture : LinkFixture {
  explicit SessionFixture(const sim::QlxOptions& options = {}) : LinkFixture(options) {
    QObject::connect(&link, &link::InstrumentLink::LineReceived,
                     [this](const QByteArray& text) { parser.Parse(text); });
  }
  QList<QByteArray> WritesFrom(qsizetype first) const { return transport.writes.mid(first); }

  RemoteState remote;
  MacroState macro;
  RecordingListener listener;
  DotMessageParser parser{remote, macro, record, prompts, listener};
  RemoteSession session{identification, transfers, link, engine_state, remote};
};

TEST(RemoteSessionTest, QuietStartProbesThenAsksForThePreset) {
  SessionFixture f;
  ASSERT_EQ(f.session.Start(true, QStringLiteral("QLX-M+")), StartResult::kStarted);
  EXPECT_TRUE(f.remote.connected);
  EXPECT_FALSE(f.state.handshake_active);
  EXPECT_EQ(f.WritesFrom(f.transport.writes.size() - 3),
            QList<QByteArray>({"\r", "\r", ".LP9,-\r"}));
  EXPECT_TRUE(f.transport.Sent().startsWith("\r.LI1,-\r"));
  EXPECT_TRUE(link::WaitUntil([&f] { return !f.listener.events.isEmpty(); }, 2000, &f.transport));
  EXPECT_EQ(f.listener.events, QStringList({"preset 1"}));
}

TEST(RemoteSessionTest, StartWithoutRemoteInstrumentChangesNothing) {
  SessionFixture f;
  f.flags.skip_probe_once = true;  // fails the probe without its time-outs
  EXPECT_EQ(f.session.Start(true, QStringLiteral("QLX-A")), StartResult::kProbeFailed);
  EXPECT_FALSE(f.remote.connected);
  EXPECT_FALSE(f.transport.Sent().contains(".LP9"));
}

TEST(RemoteSessionTest, FullStartReadsNamesBeforeConnecting) {
  SessionFixture f;
  bool probed = false;
  ASSERT_EQ(f.session.Start(false, QStringLiteral("QLX-A"), [&] { probed = true; }),
            StartResult::kStarted);
  EXPECT_TRUE(probed);
  EXPECT_EQ(f.config.image.ToByteArray().mid(0x0E00, 7 * 128),
            f.instrument.ReadMemory(0x1C000 + 0x0E00, 7 * 128));
  EXPECT_TRUE(f.transport.Sent().endsWith("\r\r.LP9,-\r"));
}

TEST(RemoteSessionTest, ReadsAllNinetySixRoutingsMarkedRemote) {
  SessionFixture f;
  f.remote.connected = true;
  // A change at the instrument itself reports the routing and asks about a reload.
  ASSERT_TRUE(f.instrument.RouteLocal(7, 12));
  ASSERT_TRUE(link::WaitUntil([&f] { return !f.prompts.records().empty(); }, 2000, &f.transport));
  EXPECT_EQ(f.prompts.Texts(), QStringList({kUpdateQuestion}));
  f.listener.events.clear();
  f.listener.log.clear();
  QList<int> steps;
  const qsizetype first = f.transport.writes.size();
  f.session.ReadRemoteXPoints([&](int a) { steps << a; });
  QList<QByteArray> expected;
  for (int n = 1; n <= 91; n += 10) expected << ".LA" + QByteArray::number(n) + ",-\r";
  EXPECT_EQ(f.WritesFrom(first), expected);
  EXPECT_EQ(steps, QList<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  ASSERT_EQ(f.listener.events.size(), 96);
  EXPECT_EQ(f.listener.events[6], QStringLiteral("xpoint 7 12 remote"));
  EXPECT_FALSE(f.remote.origin_remote);
  EXPECT_TRUE(f.listener.log.isEmpty());
}

}  // namespace
}  // namespace zizara::core::remote
