#pragma once

#include <QStringList>
#include <QTextStream>

#include "cli/cli.h"
#include "cli/cli_link.h"

namespace zizara::cli {

// "scale info|image|download|preview LIB.dat ..."
int RunScaleVerb(const GlobalOptions& options, const QStringList& args, QTextStream& out,
                 QTextStream& err, const CliEnvironment& env);

}  // namespace zizara::cli
