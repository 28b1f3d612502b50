// Port names and the link through a serial-to-network server, against the simulator served on
// a local TCP port.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>

#include "core/link/port_names.h"
#include "core/link/tcp_transport.h"
#include "core/link/transport_factory.h"
#include "sim/tcp_server.h"
#include "support/link_fixture.h"

namespace zizara::core::link {
namespace {

TEST(PortNamesTest, StableNamesSayWhichDeviceTheyAre) {
  QTemporaryDir dir;
  QDir root(dir.path());
  ASSERT_TRUE(root.mkpath("by-id") && root.mkpath("by-path") && root.mkpath("dev"));
  QFile device(root.filePath("dev/ttyUSB0"));
  ASSERT_TRUE(device.open(QIODevice::WriteOnly));
  device.close();
  ASSERT_TRUE(
      QFile::link("../dev/ttyUSB0", root.filePath("by-id/usb-FTDI_FT232R_A1B2C3-if00-port0")));
  ASSERT_TRUE(
      QFile::link("../dev/ttyUSB0", root.filePath("by-path/pci-0000:00:14.0-usb-0:2:1.0-port0")));
  ASSERT_TRUE(QFile::link("../dev/ttyUSB9", root.filePath("by-id/usb-gone-if00-port0")));

  const QList<PortEntry> stable = StablePortNames(dir.path());
  ASSERT_EQ(stable.size(), 2);  // the link whose device is gone is no port
  EXPECT_EQ(stable[0].name, root.filePath("by-id/usb-FTDI_FT232R_A1B2C3-if00-port0"));
  EXPECT_EQ(stable[0].device, "ttyUSB0");
  EXPECT_EQ(stable[0].description, "usb-FTDI_FT232R_A1B2C3-if00-port0 (ttyUSB0)");
  EXPECT_EQ(stable[1].description, "pci-0000:00:14.0-usb-0:2:1.0-port0 (ttyUSB0)");

  const QList<PortEntry> all = ListPorts(QString(), dir.path());
  ASSERT_GE(all.size(), 2);
  EXPECT_EQ(all.last().name, stable[1].name);  // kernel names first, stable names after
}

TEST(PortNamesTest, NetworkPortNames) {
  QString host;
  quint16 port = 0;
  QString error;
  EXPECT_TRUE(ParseTcpPortName("tcp:rack3:4001", &host, &port, &error));
  EXPECT_EQ(host, "rack3");
  EXPECT_EQ(port, 4001);
  EXPECT_TRUE(ParseTcpPortName("tcp:[::1]:4001", &host, &port, &error));
  EXPECT_EQ(host, "::1");
  EXPECT_FALSE(ParseTcpPortName("tcp:rack3", &host, &port, &error));
  EXPECT_EQ(error, "tcp:rack3 names no TCP port; write tcp:HOST:PORT.");
  EXPECT_FALSE(ParseTcpPortName("tcp:rack3:70000", &host, &port, &error));
  EXPECT_FALSE(ParseTcpPortName("tcp::4001", &host, &port, &error));
  EXPECT_FALSE(ParseTcpPortName("tcp:rack3:x", &host, &port, &error));
  EXPECT_FALSE(IsTcpPortName("/dev/ttyUSB0"));
  EXPECT_TRUE(dynamic_cast<TcpTransport*>(MakeTransport("tcp:rack3:4001").get()) != nullptr);
  EXPECT_TRUE(dynamic_cast<TcpTransport*>(MakeTransport("/dev/ttyUSB0").get()) == nullptr);
}

// The program's layers over a TcpTransport.
struct NetworkStack {
  explicit NetworkStack(const QString& name)
      : transport(name),
        link(transport, state, prompts),
        engine(link, engine_state, record, progress),
        identification(engine, flags),
        transfers(engine, identification, config) {}
  TcpTransport transport;
  LinkState state;
  InstrumentRecord record;
  EngineState engine_state;
  ConnectFlags flags;
  ui_port::ScriptedPrompts prompts;
  testing::RecordingProgress progress;
  config::Configuration config;
  InstrumentLink link;
  DriverEngine engine;
  Identification identification;
  ConfigurationTransfers transfers;
};

quint16 UnusedPort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  const quint16 port = probe.serverPort();
  probe.close();
  return port;
}

TEST(NetworkLinkTest, IdentifyUploadAndVerifiedDownload) {
  testing::StrictCheck strict;
  sim::QlxOptions o;
  o.serial = 31000;
  sim::QlxInstrument instrument(strict.Apply(o));
  sim::TcpServer server(&instrument);
  QString error;
  ASSERT_TRUE(server.Listen(0, &error)) << error.toStdString();
  NetworkStack s(QStringLiteral("tcp:127.0.0.1:%1").arg(server.Port()));
  ASSERT_EQ(s.identification.Connect(false, false).result, ConnectResult::kConnected);
  EXPECT_EQ(s.record.serial_number, 31000);
  EXPECT_TRUE(s.record.remote_capable);
  ASSERT_EQ(s.transfers.UploadSerial(), TransferOutcome::kDone);
  EXPECT_EQ(s.config.image, instrument.Image());

  QByteArray data(16384, '\0');
  for (int i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 13);
  s.config.image.CopyIn(0, std::vector<std::uint8_t>(data.begin(), data.end()));
  ASSERT_EQ(s.transfers.DownloadSerial(), TransferOutcome::kDone);
  EXPECT_EQ(instrument.Image().ToByteArray(), data);
}

TEST(NetworkLinkTest, RefusedAndUnknownAreSaidInWords) {
  const quint16 port = UnusedPort();
  NetworkStack s(QStringLiteral("tcp:127.0.0.1:%1").arg(port));
  EXPECT_EQ(s.identification.Connect(false, false).result, ConnectResult::kPortUnavailable);
  EXPECT_EQ(s.prompts.Texts().last(),
            QStringLiteral("Cannot reach 127.0.0.1:%1: connection refused").arg(port));

  NetworkStack unknown(QStringLiteral("tcp:no-such-host.invalid:4001"));
  EXPECT_EQ(unknown.identification.Connect(false, false).result, ConnectResult::kPortUnavailable);
  EXPECT_EQ(unknown.prompts.Texts().last(), "Cannot reach no-such-host.invalid:4001: unknown host");
}

// The server goes away in the middle of a block: the download fails like a pulled cable,
// says nothing about completing, and the same port opens again once a server listens.
TEST(NetworkLinkTest, DropInTheMiddleOfABlockIsAPulledCable) {
  testing::StrictCheck strict;
  sim::QlxOptions o;
  o.hangup_after_bytes = 1000;  // a few blocks into the download
  auto instrument = std::make_unique<sim::QlxInstrument>(strict.Apply(o));
  auto server = std::make_unique<sim::TcpServer>(instrument.get());
  QString error;
  ASSERT_TRUE(server->Listen(0, &error));
  const quint16 port = server->Port();
  NetworkStack s(QStringLiteral("tcp:127.0.0.1:%1").arg(port));
  ASSERT_EQ(s.identification.Connect(false, false).result, ConnectResult::kConnected);
  s.config.image.Fill(0x42);
  EXPECT_EQ(s.transfers.DownloadSerial(), TransferOutcome::kFailed);
  EXPECT_TRUE(s.link.LineFailed());
  EXPECT_TRUE(s.link.LineFailureReason().startsWith(
      QStringLiteral("Connection to 127.0.0.1:%1 lost").arg(port)))
      << s.link.LineFailureReason().toStdString();
  EXPECT_FALSE(s.prompts.Texts().contains("Download complete."));
  ASSERT_FALSE(s.prompts.Texts().isEmpty());
  EXPECT_TRUE(s.prompts.Texts().last().startsWith("The download did not complete"));
  EXPECT_LE(s.prompts.records().size(), 2u);  // no chain of boxes

  server.reset();
  sim::QlxOptions fresh;
  fresh.serial = 12000;
  sim::QlxInstrument back(strict.Apply(fresh));
  sim::TcpServer again(&back);
  ASSERT_TRUE(again.Listen(port, &error)) << error.toStdString();
  EXPECT_EQ(s.identification.Connect(false, false).result, ConnectResult::kConnected);
  EXPECT_EQ(s.record.serial_number, 12000);
}

}  // namespace
}  // namespace zizara::core::link
