#pragma once

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

// What the tool needs from its surroundings; tests replace the port with a simulator.
struct CliEnvironment {
  std::function<std::unique_ptr<core::link::Transport>(const QString& port)> make_transport;
  bool interactive = false;    // questions may be asked on the terminal
  bool progress_bar = false;   // stderr is a terminal
  QString working_dir;         // where "memory.cod" goes; empty: the current folder
  QString gui_program;         // the program file types open with; empty: vt-zizara beside us
};

CliEnvironment DefaultEnvironment();

// Runs vt-zizara-cli with its arguments (without the program name).
int RunCli(const QStringList& args, QTextStream& out, QTextStream& err,
           const CliEnvironment& env = DefaultEnvironment());

}  // namespace zizara::cli
