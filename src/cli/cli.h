#pragma once

#include <QStringList>
#include <QTextStream>

namespace zizara::cli {

// Exit codes scripts can rely on.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // bad file, instrument problem
inline constexpr int kExitUsage = 2;

// Runs vt-zizara-cli with its arguments (without the program name).
int RunCli(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace zizara::cli
