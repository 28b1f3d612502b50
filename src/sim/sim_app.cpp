#include "sim/sim_app.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QSocketNotifier>
#include <cstdio>
#include <algorithm>
#include <limits>

#include "core/config/model_table.h"
#include "sim/control_server.h"
#include "sim/module_codes.h"
#include "sim/pty_server.h"
#include "sim/tcp_server.h"

namespace zizara::sim {

namespace cfg = core::config;

namespace {

int g_signal_pipe[2] = {-1, -1};

void OnSignal(int /*signal*/) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = write(g_signal_pipe[1], &byte, 1);
  errno = saved;
}

bool InstallSignalPipe() {
  if (pipe2(g_signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    return false;
  }
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  signal(SIGPIPE, SIG_IGN);
  return sigaction(SIGINT, &action, nullptr) == 0 && sigaction(SIGTERM, &action, nullptr) == 0;
}

void Print(FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
  std::fflush(stream);
}

bool ParseInteger(const QString& option, const QString& text, qint64 min, qint64 max, qint64* value,
                  QString* error) {
  bool ok = false;
  const qint64 v = text.toLongLong(&ok);
  if (!ok || v < min || v > max) {
    *error = QStringLiteral("%1 wants a whole number from %2 to %3, not \"%4\"")
                 .arg(option)
                 .arg(min)
                 .arg(max)
                 .arg(text);
    return false;
  }
  *value = v;
  return true;
}

bool ParseProbability(const QString& option, const QString& text, double* value, QString* error) {
  bool ok = false;
  const double v = QLocale::c().toDouble(text, &ok);
  if (!ok || !(v >= 0.0 && v <= 1.0)) {
    *error = QStringLiteral("%1 wants a probability from 0 to 1, not \"%2\"").arg(option, text);
    return false;
  }
  *value = v;
  return true;
}

}  // namespace

QString SimUsage() {
  return QStringLiteral(
      "Usage: qlx-sim --link PATH [--serial N | --model NAME] [--version 5.10] [--bios]\n"
      "               [--no-dot] [--image FILE.PRE] [--baud N] [--latency-ms N] [--boot-ms N]\n"
      "               [--drop P] [--corrupt P] [--hangup-after-bytes N] [--seed N]\n"
      "               [--dump FILE] [--memory-dump FILE] [--stats FILE] [--log FILE]\n"
      "               [--control PATH] [--strict FILE] [--tcp PORT]\n"
      "\n"
      "Serves a simulated QLX instrument on a pseudo-terminal; PATH becomes a symbolic link\n"
      "to its device. Runs until SIGINT or SIGTERM.\n"
      "\n"
      "  --link PATH             symbolic link to create (this or --tcp is required)\n"
      "  --tcp PORT              also serve the instrument on 127.0.0.1:PORT, one client at\n"
      "                          a time, as a serial-to-network server in raw mode does\n"
      "                          (0 picks a free port; no pacing on this side)\n"
      "  --serial N              serial number, 0..65535 (default 12345)\n"
      "  --model NAME            first serial number of a model, e.g. QLX-A\n"
      "  --version TEXT          software version (default 5.10)\n"
      "  --bios                  BIOS mode: memory reads refused, no text protocol\n"
      "  --no-dot                no text protocol\n"
      "  --image FILE            configuration from a preset file or bare image\n"
      "  --baud N                pace both directions to N baud, 8N1 (default 0: no pacing)\n"
      "  --latency-ms N          delay every answer (default 0)\n"
      "  --boot-ms N             restart time before \".P\" (default 300)\n"
      "  --drop P                lose each answered byte with probability P\n"
      "  --corrupt P             flip one bit of an answered byte with probability P\n"
      "  --hangup-after-bytes N  close the line after N received bytes\n"
      "  --seed N                random seed, for repeatable faults\n"
      "  --dump FILE             on exit, write the 16384 configuration bytes\n"
      "  --memory-dump FILE      on exit, write memory from address 0 through the end of the\n"
      "                          configuration, or of the software when that is larger\n"
      "  --stats FILE            on exit, write statistics as JSON\n"
      "  --log FILE              on exit, write one JSON line per event\n"
      "  --control PATH          Unix socket for: route O I, update, powerup, dump FILE, stats\n"
      "  --strict FILE           witness the host's side of the protocol: append one line\n"
      "                          \"TIME_MS RULE: seen BYTES, expected BYTES\" to FILE for every\n"
      "                          rule the host breaks (answers stay as usual); an empty FILE\n"
      "                          after a run means the host spoke the protocol exactly.\n"
      "                          Rules: fresh-break, restart-break, restart-zero,\n"
      "                          restart-pause, restart-quiet, address-middle-byte,\n"
      "                          write-count, read-count, check-byte, download-handshake,\n"
      "                          download-range, protect-unread, protect-set,\n"
      "                          text-leading-cr, text-terminator, text-unterminated,\n"
      "                          text-not-command\n"
      "  --modules I1,I2,I3,I4/O1,O2,O3,O4  slot module codes in hexadecimal (identity 10-17)\n");
}

ParseOutcome ParseSimArguments(const QStringList& arguments, SimAppOptions* options,
                               QString* error) {
  SimAppOptions result;
  QlxOptions& sim = result.instrument;
  bool serial_given = false;
  bool model_given = false;
  const auto fail = [error](const QString& text) {
    *error = text;
    return ParseOutcome::kError;
  };

  for (int i = 0; i < arguments.size(); ++i) {
    QString option = arguments[i];
    std::optional<QString> inline_value;
    if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
      return ParseOutcome::kHelp;
    }
    if (!option.startsWith(QLatin1String("--"))) {
      return fail(QStringLiteral("unexpected argument \"%1\"").arg(option));
    }
    if (const qsizetype eq = option.indexOf(QLatin1Char('=')); eq > 0) {
      inline_value = option.mid(eq + 1);
      option.truncate(eq);
    }
    if (option == QLatin1String("--bios") || option == QLatin1String("--no-dot")) {
      if (inline_value) {
        return fail(QStringLiteral("%1 takes no value").arg(option));
      }
      (option == QLatin1String("--bios") ? sim.bios : sim.no_dot) = true;
      continue;
    }
    static const QStringList kValued = {
        QStringLiteral("--link"),
        QStringLiteral("--serial"),
        QStringLiteral("--model"),
        QStringLiteral("--version"),
        QStringLiteral("--image"),
        QStringLiteral("--baud"),
        QStringLiteral("--latency-ms"),
        QStringLiteral("--boot-ms"),
        QStringLiteral("--drop"),
        QStringLiteral("--corrupt"),
        QStringLiteral("--hangup-after-bytes"),
        QStringLiteral("--seed"),
        QStringLiteral("--dump"),
        QStringLiteral("--memory-dump"),
        QStringLiteral("--stats"),
        QStringLiteral("--log"),
        QStringLiteral("--control"),
        QStringLiteral("--strict"),
        QStringLiteral("--modules"),
        QStringLiteral("--tcp"),
    };
    if (!kValued.contains(option)) {
      return fail(QStringLiteral("unknown option \"%1\"").arg(option));
    }
    QString value;
    if (inline_value) {
      value = *inline_value;
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      return fail(QStringLiteral("%1 needs a value").arg(option));
    }

    qint64 number = 0;
    if (option == QLatin1String("--link")) {
      if (value.isEmpty()) {
        return fail(QStringLiteral("--link needs a path"));
      }
      result.link = value;
    } else if (option == QLatin1String("--serial")) {
      if (!ParseInteger(option, value, 0, 0xFFFF, &number, error)) {
        return ParseOutcome::kError;
      }
      sim.serial = static_cast<int>(number);
      serial_given = true;
    } else if (option == QLatin1String("--model")) {
      if (!FirstSerialOfModel(value)) {
        QString reason;
        QlxOptions probe;
        probe.model = value;
        QlxInstrument::ValidateOptions(probe, &reason);
        return fail(reason);
      }
      sim.model = value;
      model_given = true;
    } else if (option == QLatin1String("--version")) {
      sim.version = value;
    } else if (option == QLatin1String("--image")) {
      sim.image_file = value;
    } else if (option == QLatin1String("--baud")) {
      if (!ParseInteger(option, value, 0, 4'000'000, &number, error)) {
        return ParseOutcome::kError;
      }
      sim.baud = static_cast<int>(number);
    } else if (option == QLatin1String("--latency-ms") || option == QLatin1String("--boot-ms")) {
      if (!ParseInteger(option, value, 0, 600'000, &number, error)) {
        return ParseOutcome::kError;
      }
      (option == QLatin1String("--boot-ms") ? sim.boot_ms : sim.latency_ms) =
          static_cast<int>(number);
    } else if (option == QLatin1String("--drop")) {
      if (!ParseProbability(option, value, &sim.drop, error)) {
        return ParseOutcome::kError;
      }
    } else if (option == QLatin1String("--corrupt")) {
      if (!ParseProbability(option, value, &sim.corrupt, error)) {
        return ParseOutcome::kError;
      }
    } else if (option == QLatin1String("--hangup-after-bytes")) {
      if (!ParseInteger(option, value, 0, std::numeric_limits<qint64>::max(), &number, error)) {
        return ParseOutcome::kError;
      }
      sim.hangup_after_bytes = number;
    } else if (option == QLatin1String("--seed")) {
      if (!ParseInteger(option, value, 0, std::numeric_limits<std::uint32_t>::max(), &number,
                        error)) {
        return ParseOutcome::kError;
      }
      sim.seed = static_cast<std::uint32_t>(number);
    } else if (option == QLatin1String("--dump")) {
      result.dump_file = value;
    } else if (option == QLatin1String("--memory-dump")) {
      result.memory_dump_file = value;
    } else if (option == QLatin1String("--stats")) {
      result.stats_file = value;
    } else if (option == QLatin1String("--log")) {
      result.log_file = value;
    } else if (option == QLatin1String("--control")) {
      result.control_path = value;
    } else if (option == QLatin1String("--tcp")) {
      if (!ParseInteger(option, value, 0, 65535, &number, error)) {
        return ParseOutcome::kError;
      }
      result.tcp_port = static_cast<int>(number);
    } else if (option == QLatin1String("--strict")) {
      if (value.isEmpty()) {
        return fail(QStringLiteral("--strict needs a file"));
      }
      sim.strict_file = value;
    } else if (option == QLatin1String("--modules")) {
      if (!ParseModuleCodes(value, &sim.input_modules, &sim.output_modules, error)) {
        return ParseOutcome::kError;
      }
    }
  }

  if (result.link.isEmpty() && result.tcp_port < 0) {
    return fail(QStringLiteral("--link PATH or --tcp PORT is required"));
  }
  if (serial_given && model_given) {
    return fail(QStringLiteral("give --serial or --model, not both"));
  }
  QString reason;
  if (!QlxInstrument::ValidateOptions(sim, &reason)) {
    return fail(reason);
  }
  *options = result;
  return ParseOutcome::kRun;
}

QByteArray MemoryDump(const QlxInstrument& instrument) {
  const int software = cfg::ModelIndexForSerial(instrument.serial()) == cfg::kModelQlxMPlus
                           ? 2048 * kSoftwareBlockSize
                           : 1024 * kSoftwareBlockSize;
  return instrument.ReadMemory(0, std::max(software, kMemoryDumpSize));
}

bool WriteExitFiles(const QlxInstrument& instrument, const SimAppOptions& options, QString* error) {
  bool ok = true;
  const auto write = [&](const QString& path, const QByteArray& data) {
    QString reason;
    if (!path.isEmpty() && !WriteFileAtomically(path, data, &reason) && ok) {
      ok = false;
      *error = reason;
    }
  };
  write(options.dump_file, instrument.Image().ToByteArray());
  if (!options.memory_dump_file.isEmpty()) {
    write(options.memory_dump_file, MemoryDump(instrument));
  }
  write(options.stats_file, instrument.StatsJson() + '\n');
  QByteArray log;
  for (const QByteArray& line : instrument.EventLog()) {
    log += line + '\n';
  }
  write(options.log_file, log);
  return ok;
}

int RunSimApp(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  SimAppOptions options;
  QString error;
  switch (ParseSimArguments(QCoreApplication::arguments().mid(1), &options, &error)) {
    case ParseOutcome::kHelp:
      Print(stdout, SimUsage());
      return 0;
    case ParseOutcome::kError:
      Print(stderr, QStringLiteral("qlx-sim: %1\nTry 'qlx-sim --help'.\n").arg(error));
      return 2;
    case ParseOutcome::kRun:
      break;
  }

  const std::unique_ptr<QlxInstrument> instrument =
      QlxInstrument::Create(options.instrument, &error);
  if (!instrument) {
    Print(stderr, QStringLiteral("qlx-sim: %1\n").arg(error));
    return 2;
  }
  if (!options.instrument.strict_file.isEmpty()) {
    // Created now, so that an empty file after the run says the host made no mistake.
    QFile strict(options.instrument.strict_file);
    if (!strict.open(QIODevice::WriteOnly | QIODevice::Append)) {
      Print(stderr, QStringLiteral("qlx-sim: cannot write %1: %2\n")
                        .arg(options.instrument.strict_file, strict.errorString()));
      return 2;
    }
  }
  if (!InstallSignalPipe()) {
    Print(stderr, QStringLiteral("qlx-sim: cannot set up signal handling\n"));
    return 1;
  }
  QSocketNotifier signal_notifier(g_signal_pipe[0], QSocketNotifier::Read);
  QObject::connect(&signal_notifier, &QSocketNotifier::activated, &app, [] {
    char buffer[16];
    while (read(g_signal_pipe[0], buffer, sizeof buffer) > 0) {
    }
    QCoreApplication::quit();
  });

  PtyServer pty(instrument.get());
  if (!options.link.isEmpty() && !pty.Start(options.link, &error)) {
    Print(stderr, QStringLiteral("qlx-sim: %1\n").arg(error));
    return 1;
  }
  TcpServer tcp(instrument.get());
  if (options.tcp_port >= 0 && !tcp.Listen(static_cast<quint16>(options.tcp_port), &error)) {
    pty.Stop();
    Print(stderr, QStringLiteral("qlx-sim: %1\n").arg(error));
    return 1;
  }
  ControlServer control(instrument.get());
  if (!options.control_path.isEmpty() && !control.Listen(options.control_path, &error)) {
    pty.Stop();
    tcp.Close();
    Print(stderr, QStringLiteral("qlx-sim: %1\n").arg(error));
    return 1;
  }
  const auto report_hangup = [&instrument] {
    Print(stderr, QStringLiteral("qlx-sim: line closed after %1 received bytes\n")
                      .arg(instrument->stats().bytes_in));
  };
  QObject::connect(&pty, &PtyServer::HungUp, &app, report_hangup);
  QObject::connect(&tcp, &TcpServer::HungUp, &app, report_hangup);

  if (!options.link.isEmpty()) {
    Print(stdout,
          QStringLiteral("qlx-sim: ready on %1 (%2)\n").arg(options.link, pty.DevicePath()));
  }
  if (options.tcp_port >= 0) {
    Print(stdout, QStringLiteral("qlx-sim: ready on tcp:127.0.0.1:%1\n").arg(tcp.Port()));
  }
  QCoreApplication::exec();

  control.Close();
  tcp.Close();
  pty.Stop();
  if (!WriteExitFiles(*instrument, options, &error)) {
    Print(stderr, QStringLiteral("qlx-sim: %1\n").arg(error));
    return 1;
  }
  return 0;
}

}  // namespace zizara::sim
