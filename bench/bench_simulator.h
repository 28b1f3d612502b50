#pragma once

// How every benchmark starts the simulated instrument, in one place, so that an option every
// run should carry is added here once.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <memory>

#include "sim/qlx_instrument.h"

namespace zizara::bench {

// An in-process instrument with the given options.
inline std::unique_ptr<sim::QlxInstrument> MakeInstrument(const sim::QlxOptions& options) {
  QString error;
  std::unique_ptr<sim::QlxInstrument> instrument = sim::QlxInstrument::Create(options, &error);
  if (!instrument) {
    std::fprintf(stderr, "simulator options refused: %s\n", qPrintable(error));
  }
  return instrument;
}

// Starts the qlx-sim program at `program` serving a pty linked at `port`, with `extra`
// options, and waits for its ready line. False (with a message on stderr) when it did not
// come up.
inline bool StartQlxSim(QProcess& sim, const QString& program, const QString& port,
                        const QStringList& extra) {
  QStringList args{QStringLiteral("--link"), port};
  args << extra;
  sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  sim.start(program, args);
  if (!sim.waitForStarted() || !sim.waitForReadyRead(10000)) {
    std::fprintf(stderr, "qlx-sim did not start\n");
    return false;
  }
  sim.readAllStandardOutput();
  return true;
}

}  // namespace zizara::bench
