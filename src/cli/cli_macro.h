#pragma once

#include <QStringList>
#include <QTextStream>

#include "cli/cli.h"
#include "cli/cli_link.h"

namespace zizara::cli {

// `macro FILE.MCR`: connects for remote control and runs the macro, one outcome per line.
int RunMacroVerb(const GlobalOptions& options, const QStringList& args, QTextStream& out,
                 QTextStream& err, const CliEnvironment& env);

}  // namespace zizara::cli
