#pragma once

#include <QStringList>
#include <QTextStream>

#include "cli/cli.h"
#include "cli/cli_link.h"

namespace zizara::cli {

// `associations [--json]`: whether each file type opens with the program.
int RunAssociationsVerb(const GlobalOptions& options, const QStringList& args, QTextStream& out,
                        QTextStream& err, const CliEnvironment& env);
// `associate TYPES [--remove]`: registers or removes a comma list of types.
int RunAssociateVerb(const QStringList& args, QTextStream& out, QTextStream& err,
                     const CliEnvironment& env);

}  // namespace zizara::cli
