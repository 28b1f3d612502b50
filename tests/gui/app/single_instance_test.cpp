#include "gui/app/single_instance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QUuid>

namespace zizara::gui::app {
namespace {

constexpr int kWaitMs = 10000;  // a bound for a stuck process, not a measurement

QString UniqueKey() {
  return QStringLiteral("single-instance-test-") + QUuid::createUuid().toString(QUuid::Id128);
}

// An event loop run in between may already have seen it end.
bool Ended(QProcess& p) { return p.state() == QProcess::NotRunning || p.waitForFinished(kWaitMs); }

// Runs the peer program to its end and returns its output.
QString RunPeer(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(ZIZARA_SINGLE_INSTANCE_PEER), args);
  EXPECT_TRUE(Ended(p));
  return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// Waits until the serving peer has printed `line`.
bool WaitForLine(QProcess& p, const QString& line, QString* seen) {
  while (!seen->contains(line)) {
    if (!p.waitForReadyRead(kWaitMs)) {
      return false;
    }
    *seen += QString::fromUtf8(p.readAllStandardOutput());
  }
  return true;
}

TEST(SingleInstanceTest, AStartWithoutAPathLeavesTheRunningInstanceReachable) {
  const QString key = UniqueKey();
  QProcess running;
  running.start(QStringLiteral(ZIZARA_SINGLE_INSTANCE_PEER), {key, QStringLiteral("serve")});
  QString seen;
  ASSERT_TRUE(WaitForLine(running, QStringLiteral("listening 1"), &seen));

  // A second start with no file: it must not take the socket, even after it has ended.
  EXPECT_EQ(RunPeer({key, QStringLiteral("start")}), "listening 0");
  EXPECT_EQ(RunPeer({key, QStringLiteral("start")}), "listening 0");

  EXPECT_EQ(RunPeer({key, QStringLiteral("send"), QStringLiteral("/abs/file.PRE")}), "sent");
  EXPECT_TRUE(WaitForLine(running, QStringLiteral("got /abs/file.PRE"), &seen))
      << seen.toStdString();

  EXPECT_EQ(RunPeer({key, QStringLiteral("send"), QStringLiteral("/quit")}), "sent");
  EXPECT_TRUE(Ended(running));
}

TEST(SingleInstanceTest, ASocketLeftByACrashedRunIsReplaced) {
  const QString key = UniqueKey();
  QProcess crashed;
  crashed.start(QStringLiteral(ZIZARA_SINGLE_INSTANCE_PEER), {key, QStringLiteral("serve")});
  QString seen;
  ASSERT_TRUE(WaitForLine(crashed, QStringLiteral("listening 1"), &seen));
  crashed.kill();  // no chance to remove its socket
  ASSERT_TRUE(Ended(crashed));

  SingleInstance instance(key);
  ASSERT_TRUE(instance.Listen());
  QSignalSpy received(&instance, &SingleInstance::PathReceived);
  QProcess sender;
  sender.start(QStringLiteral(ZIZARA_SINGLE_INSTANCE_PEER),
               {key, QStringLiteral("send"), QStringLiteral("/abs/other.MCR")});
  ASSERT_TRUE(received.wait(kWaitMs));
  EXPECT_EQ(received.first().first().toString(), "/abs/other.MCR");
  ASSERT_TRUE(Ended(sender));
  EXPECT_EQ(QString::fromUtf8(sender.readAllStandardOutput()).trimmed(), "sent");
}

}  // namespace
}  // namespace zizara::gui::app
