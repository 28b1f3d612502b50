#pragma once

// Runs vt-zizara-cli in-process and keeps what it printed.

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "cli/cli.h"

namespace zizara::testing {

struct CliRun {
  int code;
  QString out;
  QString err;
};

inline CliRun RunCliCaptured(const QStringList& args,
                             const cli::CliEnvironment& env = cli::DefaultEnvironment()) {
  QString out_text;
  QString err_text;
  QTextStream out(&out_text);
  QTextStream err(&err_text);
  const int code = cli::RunCli(args, out, err, env);
  out.flush();
  err.flush();
  return {code, out_text, err_text};
}

}  // namespace zizara::testing
