// Measures an installation backup (the instrument software, 1024 blocks from address 0)
// against qlx-sim paced to 9600 baud, compares the time with the wire-time limit of the bytes
// actually exchanged, and checks the package against the simulator's memory dump.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "bench_simulator.h"
#include "core/install/installation.h"
#include "core/install/package.h"
#include "core/link/identification.h"
#include "core/link/serial_transport.h"
#include "core/ui_port/progress.h"
#include "core/ui_port/prompts.h"

namespace zl = zizara::core::link;
namespace inst = zizara::core::install;

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int baud = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 9600;
  QTemporaryDir dir;
  const QString port = dir.filePath(QStringLiteral("qlx"));
  const QString dump = dir.filePath(QStringLiteral("memory.bin"));
  QProcess sim;
  const zizara::bench::StrictLog strict;
  if (!zizara::bench::StartQlxSim(
          sim, QStringLiteral(ZIZARA_QLX_SIM), port,
          {QStringLiteral("--baud"), QString::number(baud), QStringLiteral("--memory-dump"), dump},
          strict)) {
    return 1;
  }
  zizara::bench::BenchLink bench_link(std::make_unique<zl::SerialTransport>(port));
  auto& l = bench_link.link;
  auto& driver = bench_link.driver;
  auto& record = bench_link.record;
  if (!bench_link.Connect(port)) {
    return 1;
  }
  const qint64 before = l.bytes_sent() + l.bytes_received();
  QElapsedTimer timer;
  timer.start();
  QByteArray package;
  if (!inst::ReadSoftwareBackup(driver, &package)) {
    std::fprintf(stderr, "backup read failed\n");
    return 1;
  }
  const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
  const qint64 bytes = l.bytes_sent() + l.bytes_received() - before;
  sim.terminate();
  sim.waitForFinished(10000);

  QFile memory(dump);
  const QByteArray software = memory.open(QIODevice::ReadOnly) ? memory.readAll() : QByteArray();
  const inst::PackageVerdict v = inst::ReadPackage(package);
  const qint64 size = record.backup_block_count.toInt() * 128LL;
  const bool same = v.ok() && !v.items.isEmpty() && software.size() >= size &&
                    v.items[0].data == software.left(size);
  const double wire = static_cast<double>(bytes) * 10.0 / baud;
  std::printf("software backup at %d baud (8N1, 10 bits a byte), %s blocks\n", baud,
              qPrintable(record.backup_block_count));
  std::printf("backup    %7.3f s  bytes %7lld  wire limit %7.3f s  ratio %.4f  %s\n", seconds,
              static_cast<long long>(bytes), wire, seconds / wire,
              same ? "matches the memory dump" : "DIFFERS from the memory dump");
  return same ? strict.Verdict() : 1;
}
