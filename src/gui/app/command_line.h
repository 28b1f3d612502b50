#pragma once

#include <QString>
#include <QStringList>

namespace zizara::gui::app {

// What the program was started with. Switches are recognised in any case and are never taken
// for paths.
struct CommandLine {
  bool advanced_mode = false;  // "/A" as the first argument
  bool download_mode = false;  // "/DLM"
  bool restart = false;        // "/I"
  bool simulate = false;       // --simulate
  QStringList simulator_options;
  QString port;  // --port NAME: a device, a stable name or tcp:HOST:PORT
  bool help = false;
  QString file;                // the first argument that is not a switch
  QStringList arguments;       // all of them, in order
  QString error;               // an unknown "--" option

  // Only an absolute path goes to an instance that already runs.
  bool ForwardsToRunningInstance() const;
};

CommandLine ParseCommandLine(const QStringList& arguments_without_program);

// By the file's last four characters: ".PRE", ".MCR", ".CDP", or empty.
QString FileKind(const QString& path);

QString CommandLineHelp();

}  // namespace zizara::gui::app
