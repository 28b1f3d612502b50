#include "gui/app/command_line.h"

#include <QDir>

#include "core/i18n/tr.h"

namespace zizara::gui::app {

using core::i18n::Tr;

CommandLine ParseCommandLine(const QStringList& args) {
  CommandLine cl;
  cl.arguments = args;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const QString upper = a.toUpper();
    if (i == 0 && upper == QStringLiteral("/A")) {
      cl.advanced_mode = true;
    } else if (upper == QStringLiteral("/A")) {
      // only meaningful first; still a switch, never a path
    } else if (upper == QStringLiteral("/DLM")) {
      cl.download_mode = true;
    } else if (upper == QStringLiteral("/I")) {
      cl.restart = true;
    } else if (a == QStringLiteral("--simulate")) {
      cl.simulate = true;
      cl.simulator_options = args.mid(i + 1);
      break;
    } else if (a == QStringLiteral("--port")) {
      if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
        cl.error = Tr("--port needs a port name");
      } else {
        cl.port = args[++i];
      }
    } else if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
      cl.help = true;
    } else if (a.startsWith(QStringLiteral("--"))) {
      cl.error = Tr("unknown option: ") + a;
    } else if (cl.file.isEmpty()) {
      cl.file = a;
    }
  }
  return cl;
}

bool CommandLine::ForwardsToRunningInstance() const {
  return !file.isEmpty() && !arguments.isEmpty() && arguments.first() == file &&
         QDir::isAbsolutePath(file);
}

QString FileKind(const QString& path) {
  const QString tail = path.right(4).toUpper();
  if (tail == QStringLiteral(".PRE") || tail == QStringLiteral(".MCR") ||
      tail == QStringLiteral(".CDP")) {
    return tail;
  }
  return {};
}

QString CommandLineHelp() {
  return Tr(
      "Usage: vt-zizara [FILE | /A | /DLM | /I] [--port PORT] [--simulate [qlx-sim options]]\n"
      "\n"
      "  FILE         a preset (.PRE), macro (.MCR) or software package (.CDP) to act on;\n"
      "               an absolute path is handed to a VT-Zizara that already runs\n"
      "  /A           advanced mode\n"
      "  /DLM         put the connected QLX into download mode and end\n"
      "  /I           restart the connected QLX and end\n"
      "  --port PORT  use this port: a device (ttyUSB0), a stable name\n"
      "               (/dev/serial/by-id/...) or tcp:HOST:PORT for a serial-to-network server\n"
      "  --simulate   use a simulated QLX instead of a serial port\n"
      "  --help       this text\n");
}

}  // namespace zizara::gui::app
