#include "sim/pty_server.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "sim/pty_client.h"
#include "sim/qlx_instrument.h"
#include "sim/sim_test_util.h"

namespace zizara::sim {
namespace {

using testing::Bytes;
using testing::PtyClient;

void Pump() { QCoreApplication::processEvents(); }

struct Served {
  explicit Served(const QlxOptions& options = {}) : instrument(options), server(&instrument) {
    link = dir.filePath(QStringLiteral("qlx"));
    started = server.Start(link, &error);
  }
  QTemporaryDir dir;
  QlxInstrument instrument;
  PtyServer server;
  QString link;
  QString error;
  bool started = false;
};

TEST(PtyServerTest, ServesTheByteProtocolThroughTheLink) {
  Served served;
  ASSERT_TRUE(served.started) << served.error.toStdString();
  EXPECT_EQ(QFileInfo(served.link).symLinkTarget(), served.server.DevicePath());

  PtyClient client(served.link, Pump);
  ASSERT_TRUE(client.ok());
  ASSERT_TRUE(client.Send(Bytes({0xA6, 0x6D})));
  EXPECT_EQ(client.Receive(1), Bytes({0x05}));
  ASSERT_TRUE(client.Send(Bytes({0x00, 0x00, 0x00, 0x07, 0x11, 0x80})));
  const QByteArray reply = client.Receive(3 + 129);
  ASSERT_EQ(reply.size(), 3 + 129);
  EXPECT_EQ(reply.left(3), Bytes({0x05, 0x05, 0x05}));
  EXPECT_EQ(reply.mid(3, 128), served.instrument.ReadMemory(0x1C000, 128));
}

TEST(PtyServerTest, ClientsMayComeAndGo) {
  Served served;
  ASSERT_TRUE(served.started);
  for (int round = 0; round < 2; ++round) {
    PtyClient client(served.link, Pump);
    ASSERT_TRUE(client.Send("\r.LP9,-\r"));
    EXPECT_EQ(client.Receive(8), ".AP9,1\r\n") << "round " << round;
  }
}

TEST(PtyServerTest, PacesBothDirectionsToTheBaudRate) {
  QlxOptions options;
  options.baud = 9600;  // 960 bytes a second
  Served served(options);
  ASSERT_TRUE(served.started);
  PtyClient client(served.link, Pump);

  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(client.Send(Bytes({0x11, 0x00})));  // 1 + 257 bytes back
  EXPECT_EQ(client.Receive(258).size(), 258);
  EXPECT_GE(clock.elapsed(), 250);

  clock.restart();
  ASSERT_TRUE(client.Send(QByteArray(190, '\r') + ".LP9,-\r"));  // 197 bytes in
  EXPECT_EQ(client.Receive(8), ".AP9,1\r\n");
  EXPECT_GE(clock.elapsed(), 190);
}

TEST(PtyServerTest, HangUpClosesTheLine) {
  QlxOptions options;
  options.hangup_after_bytes = 2;
  Served served(options);
  ASSERT_TRUE(served.started);
  int hung_up = 0;
  QObject::connect(&served.server, &PtyServer::HungUp, [&] { ++hung_up; });
  PtyClient client(served.link, Pump);
  ASSERT_TRUE(client.Send(Bytes({0xA6, 0x6D, 0x1A})));
  client.Receive(1 << 10);
  EXPECT_TRUE(client.closed());
  EXPECT_EQ(hung_up, 1);
  EXPECT_FALSE(served.server.IsRunning());
}

TEST(PtyServerTest, ReplacesAStaleLinkButNoOtherFile) {
  QTemporaryDir dir;
  const QString link = dir.filePath(QStringLiteral("stale"));
  ASSERT_EQ(symlink("/nonexistent/pts/99", QFile::encodeName(link).constData()), 0);
  QlxInstrument instrument;
  QString error;
  {
    PtyServer server(&instrument);
    ASSERT_TRUE(server.Start(link, &error)) << error.toStdString();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), server.DevicePath());
    server.Stop();
    EXPECT_FALSE(QFileInfo(link).isSymLink());
  }

  const QString plain = dir.filePath(QStringLiteral("plain"));
  QFile file(plain);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  PtyServer server(&instrument);
  EXPECT_FALSE(server.Start(plain, &error));
  EXPECT_TRUE(error.contains(plain));
  EXPECT_FALSE(server.IsRunning());
  EXPECT_TRUE(QFileInfo(plain).isFile());
}

TEST(PtyServerTest, RefusesALinkThatARunningServerServes) {
  Served first;
  ASSERT_TRUE(first.started) << first.error.toStdString();
  QlxInstrument instrument;
  QString error;
  {
    PtyServer second(&instrument);
    EXPECT_FALSE(second.Start(first.link, &error));
    EXPECT_TRUE(error.contains(first.link)) << error.toStdString();
    EXPECT_FALSE(second.IsRunning());
  }
  // The first server keeps its link, and clients still reach it.
  EXPECT_EQ(QFileInfo(first.link).symLinkTarget(), first.server.DevicePath());
  PtyClient client(first.link, Pump);
  ASSERT_TRUE(client.Send("\r.LP9,-\r"));
  EXPECT_EQ(client.Receive(8), ".AP9,1\r\n");
}

}  // namespace
}  // namespace zizara::sim
