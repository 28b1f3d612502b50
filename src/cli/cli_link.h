#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "cli/cli.h"
#include "core/config/configuration.h"

namespace zizara::cli {

struct GlobalOptions {
  QString port;
  bool yes = false;
  bool json = false;
};

int UsageError(QTextStream& err, const QString& message);
// Loads a file the way the program opens one; messages go to stderr.
bool LoadForCli(const QString& path, core::config::Configuration& config, QTextStream& err);

// Control characters from files or the instrument shown escaped ("\\x1b"), so that nothing
// printed can steer the terminal.
QString ForTerminal(const QString& text);

bool IsLinkVerb(const QString& verb);
int RunLinkVerb(const GlobalOptions& options, const QString& verb, const QStringList& args,
                QTextStream& out, QTextStream& err, const CliEnvironment& env);

// Reads the whole configuration from the instrument on the resolved port into `config`, with
// the instrument's identity as its trailer. Messages go to stderr.
bool UploadForCli(const GlobalOptions& options, core::config::Configuration& config,
                  QTextStream& err, const CliEnvironment& env);

// --port, else $VTZIZARA_PORT, else ComInterface from the settings file, else the first port
// the system lists ("ttyS0" when none). Empty with a message in `why_not` when the settings
// name the external command instead of a port.
QString ResolvePort(const QString& option, QString* why_not);

}  // namespace zizara::cli
