#pragma once

#include <QStringList>
#include <QTextStream>

#include "cli/cli.h"
#include "cli/cli_link.h"

namespace zizara::cli {

// `gain OUT[,OUT...] [VALUE]` and `key K`: driving a connected instrument by hand.
bool IsLiveVerb(const QString& verb);
int RunLiveVerb(const GlobalOptions& options, const QString& verb, const QStringList& args,
                QTextStream& out, QTextStream& err, const CliEnvironment& env);

}  // namespace zizara::cli
