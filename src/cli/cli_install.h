#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "cli/cli.h"
#include "cli/cli_link.h"

namespace zizara::cli {

// "package info", "install" and "backup": software packages and the instrument's software.
bool IsInstallVerb(const QString& verb);
int RunInstallVerb(const GlobalOptions& options, const QString& verb, const QStringList& args,
                   QTextStream& out, QTextStream& err, const CliEnvironment& env);

}  // namespace zizara::cli
