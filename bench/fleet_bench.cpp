// Two figures for a facility's use of the tool:
//  - a 16 KB upload through the real ser2net to qlx-sim paced at 9600 baud, against the wire
//    time of the bytes exchanged (limit 1.05);
//  - a verified download to 8 simulated instruments at once against the same download to one,
//    in the same run (limit 1.15), with the tool's peak memory (limit 100 MB).
// Exit 0 when all limits hold, 1 when a run failed, 3 when the protocol was broken, 4 when a
// limit was missed.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench_simulator.h"
#include "cli/cli.h"
#include "core/link/identification.h"
#include "core/link/tcp_transport.h"
#include "core/ui_port/progress.h"
#include "core/ui_port/prompts.h"

namespace zl = zizara::core::link;
using zizara::bench::StrictLog;

namespace {

constexpr int kBaud = 9600;
constexpr int kInstruments = 8;

// Peak resident memory of a process in MB, from /proc (VmHWM).
double PeakMegabytes(const QString& pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) {
    return -1;
  }
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmHWM:")) {
      return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
  }
  return -1;
}

struct Run {
  int code;
  double seconds;
  QString out;
  QString err;
};

Run Cli(const QStringList& args) {
  QString out_text;
  QString err_text;
  QTextStream out(&out_text);
  QTextStream err(&err_text);
  QElapsedTimer t;
  t.start();
  const int code = zizara::cli::RunCli(args, out, err);
  const double seconds = static_cast<double>(t.nsecsElapsed()) / 1e9;
  out.flush();
  err.flush();
  return {code, seconds, out_text, err_text};
}

quint16 FreeTcpPort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}

// Returns the ratio of elapsed to wire time, or -1 when it could not be measured.
double NetworkUpload(const QTemporaryDir& dir, const StrictLog& strict) {
  const QString ser2net = QStandardPaths::findExecutable(
      QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
  if (ser2net.isEmpty()) {
    std::printf("network upload: ser2net is not installed, skipped\n");
    return 0;
  }
  const QString port = dir.filePath(QStringLiteral("net-qlx"));
  QProcess sim;
  if (!zizara::bench::StartQlxSim(sim, QStringLiteral(ZIZARA_QLX_SIM), port,
                                  {QStringLiteral("--baud"), QString::number(kBaud)}, strict)) {
    return -1;
  }
  const quint16 tcp_port = FreeTcpPort();
  QProcess server;
  server.start(
      ser2net,
      {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-P"),
       dir.filePath(QStringLiteral("ser2net.pid")), QStringLiteral("-Y"),
       QStringLiteral("connection: &qlx"), QStringLiteral("-Y"),
       QStringLiteral("  accepter: tcp,127.0.0.1,%1").arg(tcp_port), QStringLiteral("-Y"),
       QStringLiteral("  connector: serialdev,%1,9600n81,local").arg(port), QStringLiteral("-Y"),
       QStringLiteral("  options:"), QStringLiteral("-Y"), QStringLiteral("    chardelay: false")});
  bool listening = false;
  for (int i = 0; i < 100 && !listening; ++i) {
    QTcpSocket probe;
    probe.connectToHost(QStringLiteral("127.0.0.1"), tcp_port);
    listening = probe.waitForConnected(100);
    probe.abort();
    if (!listening) {
      QThread::msleep(50);
    }
  }
  double ratio = -1;
  if (listening) {
    zizara::bench::BenchLink bench_link(
        std::make_unique<zl::TcpTransport>(QStringLiteral("tcp:127.0.0.1:%1").arg(tcp_port)));
    auto& l = bench_link.link;
    auto& driver = bench_link.driver;
    auto& identification = bench_link.identification;
    if (identification.Connect(false, false).result == zl::ConnectResult::kConnected) {
      std::vector<std::uint8_t> image(16384);
      const qint64 before = l.bytes_sent() + l.bytes_received();
      QElapsedTimer t;
      t.start();
      const bool ok =
          driver.ReadBlocks(zl::Command::kReadBlock, zl::kConfigurationAddress, 128, image.data());
      const double seconds = static_cast<double>(t.nsecsElapsed()) / 1e9;
      const qint64 bytes = l.bytes_sent() + l.bytes_received() - before;
      const double wire = static_cast<double>(bytes) * 10.0 / kBaud;
      if (ok) {
        ratio = seconds / wire;
        std::printf(
            "network upload through ser2net: %.3f s  bytes %lld  wire %.3f s  ratio %.4f"
            " (limit 1.05)\n",
            seconds, static_cast<long long>(bytes), wire, ratio);
      }
    }
    l.CloseLink();
  }
  if (ratio < 0) {
    std::fprintf(stderr, "network upload failed\n");
  }
  server.terminate();
  server.waitForFinished(5000);
  sim.terminate();
  sim.waitForFinished(5000);
  return ratio;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  const StrictLog strict;
  int verdict = 0;

  const double network_ratio = NetworkUpload(dir, strict);
  if (qEnvironmentVariableIsSet("FLEET_BENCH_NETWORK_ONLY")) {
    return network_ratio < 0 ? 1 : network_ratio > 1.05 ? 4 : strict.Verdict();
  }
  if (network_ratio < 0) {
    verdict = 1;
  } else if (network_ratio > 1.05) {
    verdict = 4;
  }

  std::vector<std::unique_ptr<QProcess>> sims;
  QStringList ports;
  for (int i = 0; i < kInstruments; ++i) {
    ports << dir.filePath(QStringLiteral("qlx%1").arg(i));
    sims.push_back(std::make_unique<QProcess>());
    if (!zizara::bench::StartQlxSim(*sims.back(), QStringLiteral(ZIZARA_QLX_SIM), ports.last(),
                                    {QStringLiteral("--baud"), QString::number(kBaud),
                                     QStringLiteral("--serial"), QString::number(10001 + i)},
                                    strict)) {
      return 1;
    }
  }
  const QString preset = dir.filePath(QStringLiteral("fleet.PRE"));
  const Run up = Cli({QStringLiteral("--port"), ports.first(), QStringLiteral("upload"), preset});
  if (up.code != 0) {
    std::fprintf(stderr, "upload for the preset failed:\n%s", qPrintable(up.err));
    return 1;
  }
  const QStringList download = {QStringLiteral("download"), preset, QStringLiteral("--verify"),
                                QStringLiteral("--no-upgrade")};
  const Run one = Cli(QStringList{QStringLiteral("--port"), ports.first()} + download);
  QStringList all;
  for (const QString& p : ports) {
    all << QStringLiteral("--port") << p;
  }
  const Run many = Cli(all + download);
  if (one.code != 0 || many.code != 0) {
    std::fprintf(stderr, "a verified download failed:\n%s%s%s", qPrintable(one.err),
                 qPrintable(many.out), qPrintable(many.err));
    return 1;
  }
  const double ratio = many.seconds / one.seconds;
  const double tool_mb = PeakMegabytes(QStringLiteral("self"));
  double sims_mb = 0;
  for (const auto& sim : sims) {
    sims_mb += PeakMegabytes(QString::number(sim->processId()));
  }
  std::printf(
      "verified download at %d baud: 1 instrument %.3f s, %d instruments %.3f s, "
      "ratio %.4f (limit 1.15)\n",
      kBaud, one.seconds, kInstruments, many.seconds, ratio);
  std::printf("peak memory: tool %.1f MB (limit 100 MB); the %d simulators %.1f MB together\n",
              tool_mb, kInstruments, sims_mb);
  std::printf("%s", qPrintable(many.out));
  if (ratio > 1.15 || tool_mb > 100) {
    verdict = 4;
  }
  for (const auto& sim : sims) {
    sim->terminate();
    sim->waitForFinished(5000);
  }
  const int protocol = strict.Verdict();
  return protocol != 0 ? protocol : verdict;
}
