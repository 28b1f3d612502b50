#pragma once

#include <QStringList>
#include <QTextStream>

#include "cli/cli_link.h"

namespace zizara::cli {

// `routes FILE [--preset N | --all] [--csv | --json]` prints the routings;
// `routes IN OUT --import FILE.csv [--preset N]` sets them from a CSV and saves OUT.
int RunRoutesVerb(const GlobalOptions& options, const QStringList& args, QTextStream& out,
                  QTextStream& err);
// `render FILE --preset N --png OUT.png`: the picture of the matrix the window exports.
int RunRenderVerb(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace zizara::cli
