#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>

namespace zizara::core::link {
class Transport;
}

namespace zizara::cli {

// Exit codes scripts can rely on.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // bad file, instrument problem
inline constexpr int kExitUsage = 2;

// What one run on one port found out, for the many-ports report.
struct PortReport {
  bool identified = false;
  int serial = -1;
  QString model;
  QString version;  // "5.10"; empty when unknown
};

// What the tool needs from its surroundings; tests replace the port with a simulator.
struct CliEnvironment {
  std::function<std::unique_ptr<core::link::Transport>(const QString& port)> make_transport;
  bool interactive = false;    // questions may be asked on the terminal
  bool progress_bar = false;   // stderr is a terminal
  QString working_dir;         // where "memory.cod" goes; empty: the current folder
  QString gui_program;         // the program file types open with; empty: vt-zizara beside us
  QString serial_dir = QStringLiteral("/dev/serial");  // where the stable port names live
  // Set by the many-ports runner for each port's run: what was found, and the progress.
  PortReport* report = nullptr;
  std::function<void(int percent)> progress_sink;
};

CliEnvironment DefaultEnvironment();

// Runs vt-zizara-cli with its arguments (without the program name).
int RunCli(const QStringList& args, QTextStream& out, QTextStream& err,
           const CliEnvironment& env = DefaultEnvironment());

}  // namespace zizara::cli
