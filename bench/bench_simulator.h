#pragma once

// How every benchmark starts the simulated instrument, in one place, so that an option every
// run should carry is added here once.

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "core/link/identification.h"
#include "core/link/transport.h"
#include "core/ui_port/progress.h"
#include "core/ui_port/prompts.h"
#include "sim/qlx_instrument.h"

namespace zizara::bench {

// The program's own link stack over `transport`, quiet, for timing transfers the way the
// program makes them.
struct BenchLink {
  explicit BenchLink(std::unique_ptr<core::link::Transport> line)
      : transport(std::move(line)),
        link(*transport, state, prompts),
        driver(link, engine, record, progress),
        identification(driver, flags) {}
  // Connects as the program does at start-up; says so on stderr when nothing answers.
  bool Connect(const QString& port) {
    if (identification.Connect(false, false).result == core::link::ConnectResult::kConnected) {
      return true;
    }
    std::fprintf(stderr, "no instrument on %s\n", qPrintable(port));
    return false;
  }

  std::unique_ptr<core::link::Transport> transport;
  core::link::LinkState state;
  core::link::InstrumentRecord record;
  core::link::EngineState engine;
  core::link::ConnectFlags flags;
  core::ui_port::SilentPrompts prompts;
  core::ui_port::NullProgress progress;
  core::link::InstrumentLink link;
  core::link::DriverEngine driver;
  core::link::Identification identification;
};

// The simulator witnesses every run: a benchmark that broke the protocol measured the wrong
// thing, so it fails however fast it was.
class StrictLog {
 public:
  StrictLog() : path_(dir_.filePath(QStringLiteral("strict.txt"))) {}
  const QString& path() const { return path_; }
  // 0 when the program kept to the protocol; otherwise prints what it broke and returns 3.
  int Verdict() const {
    QFile file(path_);
    const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (text.trimmed().isEmpty()) {
      return 0;
    }
    std::fprintf(stderr, "the program broke the protocol:\n%s", text.constData());
    return 3;
  }

 private:
  QTemporaryDir dir_;
  QString path_;
};

// An in-process instrument with the given options, witnessed into `strict`.
inline std::unique_ptr<sim::QlxInstrument> MakeInstrument(sim::QlxOptions options,
                                                          const StrictLog& strict) {
  QString error;
  options.strict_file = strict.path();
  std::unique_ptr<sim::QlxInstrument> instrument = sim::QlxInstrument::Create(options, &error);
  if (!instrument) {
    std::fprintf(stderr, "simulator options refused: %s\n", qPrintable(error));
  }
  return instrument;
}

// Starts the qlx-sim program at `program` serving a pty linked at `port`, with `extra`
// options, witnessed into `strict`, and waits for its ready line. False (with a message on
// stderr) when it did not come up.
inline bool StartQlxSim(QProcess& sim, const QString& program, const QString& port,
                        const QStringList& extra, const StrictLog& strict) {
  QStringList args{QStringLiteral("--link"), port, QStringLiteral("--strict"), strict.path()};
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
