#pragma once

#include <QStringList>
#include <QTextStream>

#include "cli/cli.h"
#include "cli/cli_link.h"

namespace zizara::cli {

// `options FILE [--preset N] [--json]`: the settings of one preset and of the configuration.
int RunOptionsVerb(const GlobalOptions& options, const QStringList& args, QTextStream& out,
                   QTextStream& err);
// `set IN OUT [--preset N] KEY=VALUE...`: applies the assignments and saves a full preset file.
int RunSetVerb(const QStringList& args, QTextStream& out, QTextStream& err);
// `diff A B [--json]`, B may be --instrument. Exit status as diff(1): 0 same, 1 different,
// 2 trouble.
int RunDiffVerb(const GlobalOptions& options, const QStringList& args, QTextStream& out,
                QTextStream& err, const CliEnvironment& env);

}  // namespace zizara::cli
