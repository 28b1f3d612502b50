// Measures a configuration upload and download against qlx-sim paced to 9600 baud and
// compares the time with the wire-time limit of the bytes actually exchanged.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "bench_simulator.h"
#include "core/link/identification.h"
#include "core/link/serial_transport.h"
#include "core/link/wait.h"
#include "core/ui_port/progress.h"
#include "core/ui_port/prompts.h"

namespace zl = zizara::core::link;

namespace {

struct Figures {
  double seconds;
  qint64 bytes;
};

template <typename Fn>
Figures Measure(zl::InstrumentLink& l, Fn&& fn) {
  const qint64 before = l.bytes_sent() + l.bytes_received();
  QElapsedTimer t;
  t.start();
  if (!fn()) {
    std::fprintf(stderr, "transfer failed\n");
    std::exit(1);
  }
  return {static_cast<double>(t.nsecsElapsed()) / 1e9, l.bytes_sent() + l.bytes_received() - before};
}

void Report(const char* what, const Figures& f, int baud) {
  const double wire = static_cast<double>(f.bytes) * 10.0 / baud;
  std::printf("%-9s %6.3f s  bytes %6lld  wire limit %6.3f s  ratio %.4f\n", what, f.seconds,
              static_cast<long long>(f.bytes), wire, f.seconds / wire);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int baud = 9600;
  QTemporaryDir dir;
  const QString port = dir.filePath(QStringLiteral("qlx"));
  QProcess sim;
  const zizara::bench::StrictLog strict;
  if (!zizara::bench::StartQlxSim(sim, QStringLiteral(ZIZARA_QLX_SIM), port,
                                  {QStringLiteral("--baud"), QString::number(baud)}, strict)) {
    return 1;
  }
  zizara::bench::BenchLink bench_link(std::make_unique<zl::SerialTransport>(port));
  auto& l = bench_link.link;
  auto& driver = bench_link.driver;
  auto& record = bench_link.record;
  if (!bench_link.Connect(port)) {
    return 1;
  }
  std::vector<std::uint8_t> image(16384);
  const Figures up = Measure(l, [&] {
    return driver.ReadBlocks(zl::Command::kReadBlock, zl::kConfigurationAddress, 128,
                             image.data());
  });
  const QByteArray data(reinterpret_cast<const char*>(image.data()), 16384);
  // A configuration download announces itself first; not part of what is measured.
  l.EnterDownloadMode(record.remote_capable);
  const Figures down =
      Measure(l, [&] { return driver.WriteBlocks(zl::kConfigurationAddress, data); });
  std::printf("configuration transfers at %d baud (8N1, 10 bits a byte)\n", baud);
  Report("upload", up, baud);
  Report("download", down, baud);
  sim.terminate();
  sim.waitForFinished(5000);
  return strict.Verdict();
}
