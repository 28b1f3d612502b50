#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>

#include "cli/cli.h"
#include "core/config/configuration.h"

namespace zizara::cli {

struct GlobalOptions {
  QString port;
  QStringList ports;   // every --port, in order; patterns not yet expanded
  QString ports_file;  // --ports FILE
  bool yes = false;
  bool json = false;
};

int UsageError(QTextStream& err, const QString& message);
// The verb's arguments without "--json", which may stand anywhere among them; sets options.json.
QStringList WithoutJsonFlag(const QStringList& args, GlobalOptions& options);
// "--preset N" at args[i]: the 0-based preset into `preset` and i past the number; false with
// the usage error's exit code in `code` when N is not 1..11.
bool TakePresetArgument(const QStringList& args, int& i, int& preset, QTextStream& err, int* code);
// Loads a file the way the program opens one; messages go to stderr.
bool LoadForCli(const QString& path, core::config::Configuration& config, QTextStream& err);

// Control characters from files or the instrument shown escaped ("\\x1b"), so that nothing
// printed can steer the terminal.
QString ForTerminal(const QString& text);

bool IsLinkVerb(const QString& verb);
int RunLinkVerb(const GlobalOptions& options, const QString& verb, const QStringList& args,
                QTextStream& out, QTextStream& err, const CliEnvironment& env);

// A verb that can run on one port of many: it gets the options with that one port.
using PortVerb = std::function<int(const GlobalOptions& options, const QStringList& args,
                                   QTextStream& out, QTextStream& err, const CliEnvironment& env)>;
// The verbs that run on every port at once when several are named. A verb that writes a file
// per instrument names, in `output_arg`, which of its arguments is that file (-1: none).
struct FleetVerb {
  PortVerb run;
  int output_arg = -1;
};
QMap<QString, FleetVerb> FleetVerbs();
// Runs `verb` on every port in parallel: one line per port as it finishes, then the summary;
// with --json one array. 0 when all succeeded, 1 when any failed, 2 for a usage error.
int RunFleetVerb(const GlobalOptions& options, const QStringList& ports, const QString& verb,
                 const QStringList& args, QTextStream& out, QTextStream& err,
                 const CliEnvironment& env);

// Reads the whole configuration from the instrument on the resolved port into `config`, with
// the instrument's identity as its trailer. Messages go to stderr.
bool UploadForCli(const GlobalOptions& options, core::config::Configuration& config,
                  QTextStream& err, const CliEnvironment& env);

// --port, else $VTZIZARA_PORT, else ComInterface from the settings file, else the first port
// the system lists ("ttyS0" when none). Empty with a message in `why_not` when the settings
// name the external command instead of a port.
QString ResolvePort(const QString& option, QString* why_not);

}  // namespace zizara::cli
