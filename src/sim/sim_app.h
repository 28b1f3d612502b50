#pragma once

#include <QString>
#include <QStringList>

#include "sim/qlx_instrument.h"

namespace zizara::sim {

struct SimAppOptions {
  QString link;
  QlxOptions instrument;
  QString dump_file;
  QString memory_dump_file;
  QString stats_file;
  QString log_file;
  QString control_path;
  int tcp_port = -1;  // --tcp: also served on this local TCP port (0: a free one)
};

enum class ParseOutcome { kRun, kHelp, kError };

// Parses the arguments after the program name. kError comes with a one-line reason.
ParseOutcome ParseSimArguments(const QStringList& arguments, SimAppOptions* options,
                               QString* error);
QString SimUsage();

// Memory from address 0 through the end of the configuration area, or through the end of the
// software when that is larger (model index 4).
inline constexpr int kMemoryDumpSize = 0x20000;
QByteArray MemoryDump(const QlxInstrument& instrument);

// Writes --dump, --memory-dump, --stats and --log as asked; tries all of them, reports the first failure.
bool WriteExitFiles(const QlxInstrument& instrument, const SimAppOptions& options, QString* error);

// The whole qlx-sim program. Exit codes: 0 done, 1 failure while serving, 2 bad arguments.
int RunSimApp(int argc, char** argv);

}  // namespace zizara::sim
